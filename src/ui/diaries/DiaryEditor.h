#pragma once

#include "core/diaries/DiaryCursor.h"

#include <QWidget>

class PhotoStrip;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QToolButton;

// What sets one diary page apart from another: its list, the names of its controls, its texts and
// its help topic.
struct DiaryEditorSetup {
    DiaryList list;
    const char* dateLabel;
    const char* titleLabel;
    const char* memo;
    const char* dateCombo;
    const char* titleCombo;
    const char* previousButton;
    const char* previousHint;
    const char* nextButton;
    const char* nextHint;
    const char* deleteButton;
    const char* newButton;
    const char* newCaption; // "New Entry" or "New Word"
    const char* helpButton;
    int helpTopic;
    const char* dialogCaption; // the new-entry dialog's caption
    const char* titlePrompt;   // "Title:" or "Word:"
    const char* emptyTitle;    // "Diary Empty" or "Empty"
    bool wordLog;              // the word log's captions ("Word:", "Remarks", "Delete Word")
    const char* editButton = "EditBtn";
    const char* photoStrip = "Photos";
};

// One diary page: the shown entry (date, title, remarks, photos), the date and title searches, previous,
// next, delete, new entry, edit entry and help. The entries live in the Entry store; the page only shows
// them.
class DiaryEditor : public QWidget {
    Q_OBJECT
public:
    DiaryEditor(const DiaryEditorSetup& setup, QWidget* parent);

    const DiaryCursor& cursor() const { return m_cursor; }
    // Rebuilds the search boxes and shows the newest entry (or the empty state).
    void Activate();
    // Turns the form to this diary's page and shows the entry at `position` (from the timeline).
    void showEntry(int position);
    // The diary's Help. The form puts it in its button row under the pages, where every page has
    // its Help; the editor does not place it.
    QPushButton* helpButton() const { return m_help; }

signals:
    // The list changed (an entry was added or deleted).
    void listChanged();

public slots:
    void PreviousClick();
    void NextClick();
    void DateSearchClick(int index);
    void TitleSearchClick(int index);
    void NewEntryClick();
    void EditEntryClick();
    void DelButtonClick();
    // Shows the shown entry's photo `index` large.
    void OpenPhoto(int index);

private:
    void FillData();
    void RefreshCombos();
    void showEmpty();
    void showCurrent();

    DiaryEditorSetup m_setup;
    DiaryCursor m_cursor;
    // The entry the page shows (none while its list is empty).
    std::shared_ptr<DiaryType> m_shown;
    QLabel* m_date;
    QLabel* m_title;
    QPlainTextEdit* m_memo;
    PhotoStrip* m_photos;
    QComboBox* m_dateSearch;
    QComboBox* m_titleSearch;
    QStringListModel* m_dates;
    QStringListModel* m_titles;
    QPushButton* m_help;
};

namespace DiaryWidgets {
// A picture button with a hint that is also its accessible name.
QToolButton* pictureButton(const char* name, const QString& hint, const QIcon& icon, QWidget* parent);
// The framed delete button between "Delete" and `below` ("Record" or "Word").
QWidget* deleteBox(const char* name, const QString& below, QToolButton** button, QWidget* parent);
// A drop-down search box: editable text part, unsorted, items set only by the program.
QComboBox* searchBox(const char* name, const QString& caption, QWidget* parent);
// A read-only display for remarks or logs; it keeps line breaks.
QPlainTextEdit* display(const char* name, const QString& accessibleName, QWidget* parent);
} // namespace DiaryWidgets
