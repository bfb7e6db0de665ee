#pragma once

#include "support/TempStore.h"

#include <QString>

class QDialog;
#include <memory>

// The running program on a temporary store, for form tests: every form is created, the main window
// is shown and the start-up check has run. With a child name, that child exists in CHILD and is the
// active child (no first-run dialog); without one the store is new and the test drives the first run.
class AppFixture {
public:
    explicit AppFixture(const QString& activeChild = QStringLiteral("Ann"), bool startNow = true);
    ~AppFixture();
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    TempStore& store() { return *m_store; }
    // Creates the forms and shows the main window; waits for the start-up check unless a
    // first-run dialog is expected (then a ModalDriver must be armed before).
    void start(bool waitForCheck = true);
    // Closes the main window and destroys the forms, as at exit.
    void stop();
    // stop(), reopen the store, start() again: a restart of the program.
    void restart();

private:
    std::unique_ptr<TempStore> m_store;
    bool m_running = false;
};

// The running program's form with this object name ("Birthdays"), or null: tests that walk every
// form find them by the names the program gives them. The form's widgets are built (as at its first
// showing), so a test may look at them before showing it.
QDialog* Form(const QString& objectName);
