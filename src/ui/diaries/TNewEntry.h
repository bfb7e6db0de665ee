#pragma once

#include "core/book/EntryStore.h"
#include "ui/common/TDialog.h"

#include <optional>

class MaskedDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The entry dialog every diary page opens, for a new entry or to change the shown one: a date, a
// title (or word) and remarks. Ok makes the
// entry CurrentEntry and clears EntryCancelled; any other way out leaves the flag as the page set it.
class TNewEntry : public TDialog {
    Q_OBJECT
public:
    explicit TNewEntry(QWidget* parent = nullptr);

    // The caption and the prompt of the title field, set by the page before every showing.
    void prepare(const QString& caption, const QString& titlePrompt);
    // As prepare, for changing `entry`: the dialog opens with its date, title and remarks. Ok makes a
    // new entry of what the dialog then holds CurrentEntry; `entry` itself is never touched.
    void prepareEdit(const QString& caption, const QString& titlePrompt, const DiaryType& entry);
    // The help topic for a dialog caption (0 when the caption names no diary).
    static int helpTopicFor(const QString& caption);

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    MaskedDateEdit* m_date;
    QLineEdit* m_title;
    QLabel* m_titleTitle;
    QPlainTextEdit* m_remarks;
    std::optional<DiaryType> m_editing; // the entry being changed; none for a new one
};

// The one TNewEntry, created at start-up (null before and after).
extern TNewEntry* NewEntry;
