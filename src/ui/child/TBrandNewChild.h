#pragma once

#include "ui/common/TDialog.h"

class QLineEdit;
class QPushButton;

// The first-run dialog: it insists on a first name before the program can be used.
class TBrandNewChild : public TDialog {
    Q_OBJECT
public:
    explicit TBrandNewChild(QWidget* parent = nullptr);
    // Shows the dialog modally; true once a child was added through OK.
    bool ask();

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    QLineEdit* m_firstName;
    QLineEdit* m_middleName;
    QLineEdit* m_lastName;
    bool m_added = false;
};

// The one TBrandNewChild, created at start-up (null before and after).
extern TBrandNewChild* BrandNewChild;
