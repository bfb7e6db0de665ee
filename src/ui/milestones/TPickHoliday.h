#pragma once

#include "ui/common/TDialog.h"

class QComboBox;

// Picks one of the active child's other holidays, or names a new one.
class TPickHoliday : public TDialog {
    Q_OBJECT
public:
    explicit TPickHoliday(QWidget* parent = nullptr);

public slots:
    void BitBtn1Click();
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    QComboBox* m_combo;
};

// The one TPickHoliday, created at start-up (null before and after).
extern TPickHoliday* PickHoliday;
