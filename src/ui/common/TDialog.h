#pragma once

#include <QDialog>

// Base of the program's modal forms. FormActivate() runs once each time the form is shown (not when
// a dialog opened from it closes), inside the error guard, so forms rebuild their displays there.
class TDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDialog(QWidget* parent = nullptr);

protected:
    virtual void FormActivate() {}
    void showEvent(QShowEvent* event) override;
};
