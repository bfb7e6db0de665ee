#pragma once

#include "core/book/EntryStore.h"
#include "ui/common/TDialog.h"

#include <functional>
#include <memory>
#include <optional>

class MaskedDateEdit;
class PhotoStrip;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The entry dialog every diary page opens, for a new entry or to change the shown one: a date, a
// title (or word), remarks and photos (added with the button or dropped on the dialog). Ok stores the
// entry through the page's `Store` and, once it is stored, closes; when storing fails the dialog
// stays open with everything typed (see TDialog::acceptWhenStored).
class TNewEntry : public TDialog {
    Q_OBJECT
public:
    using Store = std::function<void(const std::shared_ptr<DiaryType>&)>;

    explicit TNewEntry(QWidget* parent = nullptr);

    // Shows the dialog modally with the caption and the prompt of the title field; Ok stores the
    // entry through `store`. Returns the entry stored, or null when the parent left without one.
    std::shared_ptr<DiaryType> ask(const QString& caption, const QString& titlePrompt, Store store = {});
    // As ask, for changing `entry`: the dialog opens with its date, title and remarks. Ok stores a new
    // entry of what the dialog then holds; `entry` itself is never touched.
    std::shared_ptr<DiaryType> askEdit(const QString& caption, const QString& titlePrompt,
                                       const DiaryType& entry, Store store = {});
    // Adds the photos at `paths` to the entry, in their order (the Add Photos button and a drop call
    // it). Each is checked and kept in the photo folder at once; one that is no picture, too large,
    // unreadable or cannot be kept (a full disk) is named in a message and left out. While the date
    // is untouched, the first photo that tells the day it was taken gives the entry its date.
    // Returns how many were added.
    int addPhotoFiles(const QStringList& paths);
    // The next showing opens the photo chooser at once (the main window's "Add Photos...").
    void choosePhotosOnNextShowing() { m_chooseAtOnce = true; }
    // The help topic for a dialog caption (0 when the caption names no diary).
    static int helpTopicFor(const QString& caption);

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();
    void AddPhotosClick();
    void RemovePhotoClick();

protected:
    void build() override;
    void FormActivate() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    MaskedDateEdit* m_date;
    QLineEdit* m_title;
    QLabel* m_titleTitle;
    QPlainTextEdit* m_remarks;
    PhotoStrip* m_photos;
    bool m_dateTouched = false;
    bool m_chooseAtOnce = false;
    std::optional<DiaryType> m_editing; // the entry being changed; none for a new one
    Store m_store;
    std::shared_ptr<DiaryType> m_stored;
};

// The one TNewEntry, created at start-up (null before and after).
extern TNewEntry* NewEntry;
