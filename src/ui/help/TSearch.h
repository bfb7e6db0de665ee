#pragma once

#include "ui/common/TDialog.h"

class QComboBox;

// The topic search: lists every help title, sorted without regard to case, and opens the viewer on
// the title the user picks.
class TSearch : public TDialog {
    Q_OBJECT
public:
    explicit TSearch(QWidget* parent = nullptr);

    // The HelpID that the title `title` opens: the largest HelpID bearing exactly that title, or
    // 45 (how to use help) when no topic bears it.

protected:
    void build() override;
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TopicClick();
    // Enter in the box: opens the title typed (or the first one containing it) like a pick.
    void openTyped();
    void BitBtn2Click();

    QComboBox* m_topic;
};

// The one TSearch, created at start-up (null before and after).
extern TSearch* Search;
