#pragma once

#include "ui/common/TDialog.h"

class MaskedDateEdit;

// The date of one tooth: slot ToothNo of the active child's tooth dates.
class TToothDate : public TDialog {
    Q_OBJECT
public:
    explicit TToothDate(QWidget* parent = nullptr);

    int ToothNo = 1;

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    MaskedDateEdit* m_date;
};

// The one TToothDate, created at start-up (null before and after).
extern TToothDate* ToothDate;
