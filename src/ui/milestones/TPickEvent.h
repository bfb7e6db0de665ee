#pragma once

#include "ui/common/TDialog.h"

class QComboBox;
class QPushButton;

// Picks one of the active child's outings or visitors (the caption says which), or names a new one.
class TPickEvent : public TDialog {
    Q_OBJECT
public:
    explicit TPickEvent(QWidget* parent = nullptr);

public slots:
    void setAddNewCaption(const QString& caption);
    void AddNewClick();
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    QString occasionCaption() const;
    QComboBox* m_combo;
    QPushButton* m_addNew;
};

// The one TPickEvent, created at start-up (null before and after).
extern TPickEvent* PickEvent;
