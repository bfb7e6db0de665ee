#pragma once

#include "ui/common/TDialog.h"

class QPushButton;
class QTextBrowser;

// The about box: the stork picture without border or caption, with an "Ok" button over it, and a
// "Credits" button turning the picture into the page of credits and licences (and back).
class TLogo2 : public TDialog {
    Q_OBJECT
public:
    explicit TLogo2(QWidget* parent = nullptr);

protected:
    void build() override;
    void FormActivate() override;

private:
    void OKBtnClick();
    void CreditsBtnClick();
    void showCredits(bool shown);

    QTextBrowser* m_credits = nullptr;
    QPushButton* m_creditsButton = nullptr;
};

// The one TLogo2, created at start-up (null before and after).
extern TLogo2* Logo2;
