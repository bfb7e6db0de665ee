#pragma once

#include "ui/common/TDialog.h"

class QLineEdit;

// The new-child dialog, reached from the pick-child dialog: the new child becomes active at once.
class TNewChildren : public TDialog {
    Q_OBJECT
public:
    explicit TNewChildren(QWidget* parent = nullptr);

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
};

// The one TNewChildren, created at start-up (null before and after).
extern TNewChildren* NewChildren;
