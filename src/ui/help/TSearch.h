#pragma once

#include "ui/common/TDialog.h"

class QComboBox;
class QLabel;

// The topic search: lists every help title, sorted without regard to case, and opens the viewer on
// the title the user picks.
class TSearch : public TDialog {
    Q_OBJECT
public:
    explicit TSearch(QWidget* parent = nullptr);

protected:
    void build() override;
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TopicClick();
    // Enter in the box: opens the title typed (or the first one containing it) like a pick; says so
    // when no title contains it.
    void openTyped();
    void BitBtn2Click();

    QComboBox* m_topic;
    QLabel* m_noMatch;
};

// The one TSearch, created at start-up (null before and after).
extern TSearch* Search;
