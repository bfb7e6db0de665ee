#pragma once

#include <QDialog>

#include <functional>

// Base of the program's modal forms. Every form exists from start-up, but builds its widgets only on
// its first showing (build()), so starting the program costs little more than a bare window.
// FormActivate() runs once each time the form is shown (not when a dialog opened from it closes),
// inside the error guard, so forms rebuild their displays there.
class TDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDialog(QWidget* parent = nullptr);

    // Builds the widgets now if they are not built yet. A form's own calls that touch its widgets
    // before it is shown (a caller preparing a title, say) start with this.
    void ensureBuilt();
    bool isBuilt() const { return m_built; }

    void setVisible(bool visible) override;
    // Ok stores the pictures chosen on the form (the form stays open when one cannot be stored);
    // Cancel, Escape or the close box puts the stored ones back.
    void done(int result) override;

    // Ok (or Save) of a form that stores what the parent typed: runs `store` inside the error guard
    // and closes the form, accepted, only when it finished. When storing failed (a full disk, say)
    // the report says why and the form stays open with everything typed, so that Ok stores it once
    // the cause is gone. Returns whether it was stored.
    bool acceptWhenStored(const std::function<void()>& store);

protected:
    // Creates the form's widgets and layouts; runs once, before the first showing.
    virtual void build() {}
    virtual void FormActivate() {}
    void showEvent(QShowEvent* event) override;

private:
    bool m_built = false;
};
