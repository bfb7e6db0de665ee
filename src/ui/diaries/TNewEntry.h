#pragma once

#include "ui/common/TDialog.h"

class MaskedDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The new-entry dialog every diary page opens: a date, a title (or word) and remarks. Ok makes the
// entry CurrentEntry and clears EntryCancelled; any other way out leaves the flag as the page set it.
class TNewEntry : public TDialog {
    Q_OBJECT
public:
    explicit TNewEntry(QWidget* parent = nullptr);

    // The caption and the prompt of the title field, set by the page before every showing.
    void prepare(const QString& caption, const QString& titlePrompt);
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
};

// The one TNewEntry, created at start-up (null before and after).
extern TNewEntry* NewEntry;
