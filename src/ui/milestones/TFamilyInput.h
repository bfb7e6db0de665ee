#pragma once

#include "ui/common/TDialog.h"

class MaskedDateEdit;
class QLabel;
class QLineEdit;

// Edits one relative of the family tree: the slot MemberNo of the active child's family.
class TFamilyInput : public TDialog {
    Q_OBJECT
public:
    explicit TFamilyInput(QWidget* parent = nullptr);

    int MemberNo = 1;
    void setTitle(const QString& title);

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    QLabel* m_title;
    QLineEdit* m_name;
    QLineEdit* m_pob;
    MaskedDateEdit* m_dob;
};

// The one TFamilyInput, created at start-up (null before and after).
extern TFamilyInput* FamilyInput;
