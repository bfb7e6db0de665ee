#pragma once

#include "ui/common/TDialog.h"

class QComboBox;

// The pick-child dialog: choose the active child, delete a child, or start adding one.
class TPickChild : public TDialog {
    Q_OBJECT
public:
    explicit TPickChild(QWidget* parent = nullptr);

public slots:
    void FormCreate(); // runs on every showing
    void RefreshCombo();
    void OKBtnClick();
    void AddButtonClick();
    void DeleteButtonClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override { FormCreate(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* m_name;
};

// The one TPickChild, created at start-up (null before and after).
extern TPickChild* PickChild;
