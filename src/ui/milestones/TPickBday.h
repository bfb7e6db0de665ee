#pragma once

#include "ui/common/TDialog.h"

// Chooses one of the seventeen birthdays and opens it; closing the birthday returns to the main window.
class TPickBday : public TDialog {
    Q_OBJECT
public:
    explicit TPickBday(QWidget* parent = nullptr);

public slots:
    void openBirthday(const QString& title);
    void CancelBtnClick();

protected:
    void build() override;
};

// The one TPickBday, created at start-up (null before and after).
extern TPickBday* PickBday;
