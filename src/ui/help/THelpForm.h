#pragma once

#include "core/store/Table.h"
#include "ui/common/TDialog.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The help viewer: shows the topic whose number a caller put into TopicNumber before showing it.
// Every help button opens it the same way, through ShowHelpTopic().
class THelpForm : public TDialog {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* parent = nullptr);

    // The topic to show, the HelpID of BABYHELP. Kept between showings; nothing resets it.
    int TopicNumber = 0;

    // The title and text on show (for the screen reader and the tests).
    QString shownTitle() const;
    QString shownText() const;
    // The title shown when no topic bears the number asked for.
    static const QString NotFoundTitle;

public slots:
    void setTopicNumber(int topic) { TopicNumber = topic; }

protected:
    void build() override;
    void FormActivate() override;

private:
    void BitBtn1Click();
    void BitBtn2Click();
    // Searches the open table for `topic` and shows it, or says plainly that there is no such topic.
    void showTopic(int topic);

    Table m_helpTable{QStringLiteral("BABYHELP")};
    QLabel* m_title;        // DBText1
    QPlainTextEdit* m_text; // DBMemo1
};

// The one THelpForm, created at start-up (null before and after).
extern THelpForm* HelpForm;
