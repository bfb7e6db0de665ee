#include "support/RunCommand.h"

#include "support/ModalDriver.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

bool runCommand(const std::function<void()>& command, ModalDriver& driver, QString* error, int limitMs) {
    driver.start();
    // The command runs inside the wait below; while its dialogs are open, that wait cannot return, so
    // only this timer can end a chain that the driver no longer watches.
    QElapsedTimer clock;
    clock.start();
    QTimer watchdog;
    bool timedOut = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (clock.elapsed() > limitMs && QApplication::activeModalWidget()) {
            timedOut = true;
            ModalDriver::closeAllModals();
        }
    });
    watchdog.start(200);
    auto returned = std::make_shared<bool>(false);
    QTimer::singleShot(0, MainWindow, [command, returned] {
        command();
        *returned = true;
    });
    const bool finished = driver.waitFinished(limitMs + 5000);
    // A driver with nothing to do finishes before the command has even started: wait for it to end.
    const bool back = QTest::qWaitFor([&] { return *returned; }, limitMs + 5000);
    if (timedOut) {
        *error =
            QStringLiteral("the command did not return to the main window within %1 s").arg(limitMs / 1000);
        if (!driver.error().isEmpty())
            *error += QStringLiteral("; ") + driver.error();
        return false;
    }
    if (!finished) {
        *error = driver.error();
        return false;
    }
    if (!back) {
        *error = QStringLiteral("the command did not run to its end");
        return false;
    }
    if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 5000)) {
        *error = QStringLiteral("still showing ") + QApplication::activeModalWidget()->objectName() +
                 QStringLiteral(" instead of the main window");
        ModalDriver::closeAllModals();
        return false;
    }
    return true;
}
