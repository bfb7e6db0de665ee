#pragma once

#include <QString>
#include <QTest>

#include <functional>

class ModalDriver;

// Runs `command` from the event loop, as a menu choice would, with `driver` armed for the dialogs it
// opens. Returns false, with the reason in `error`, unless the command ran to its end, every step of
// the driver ran and the program is back at its main window. A chain of dialogs that never returns
// cannot keep the test waiting: after `limitMs` every dialog is closed, again and again, until the
// command has returned, and the run fails.
bool runCommand(const std::function<void()>& command, ModalDriver& driver, QString* error,
                int limitMs = 60000);

// RUN(command, driver) inside a test function: runCommand, failing the test with the reason.
#define RUN(command, driver)                                                                                 \
    do {                                                                                                     \
        QString runError;                                                                                    \
        QVERIFY2(runCommand(command, driver, &runError), qPrintable(runError));                              \
    } while (0)
