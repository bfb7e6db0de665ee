#include "ui/shell/Startup.h"

#include "core/book/EntryStore.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/StoreError.h"
#include "ui/common/Messages.h"
#include "ui/help/TSplash.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include <future>
#include <optional>

namespace {
// Opens the store. When the file itself is damaged and a sound backup exists, says so and offers to
// put the backup in its place (the damaged file is kept, renamed); when the file is missing, offers
// the backup before a new, empty book is made. False when Tinyra cannot start; *backUpToday false
// when the parent chose an empty book over the backups, whose newest must then not be replaced.
// `look` is the read-only look for damage, started on another thread while the file existed.
bool openStore(QWidget* splash, bool* backUpToday, std::future<QString>& look) {
    *backUpToday = true;
    std::optional<QString> damageFound;
    if (QFileInfo::exists(Database::filePath())) {
        if (look.valid())
            damageFound = look.get();
    } else {
        const QString backup = Backups::newestSound();
        if (!backup.isEmpty()) {
            splash->hide();
            if (Messages::confirm(nullptr, Backups::missingStoreQuestion(backup))) {
                try {
                    Backups::restore(backup);
                } catch (const StoreError& e) {
                    Messages::errorReport(nullptr, e.message());
                    return false;
                }
            } else {
                *backUpToday = false;
            }
        }
    }
    try {
        Database::open(damageFound);
        return true;
    } catch (const StoreError& e) {
        splash->hide();
        const QString backup = e.kind() == StoreError::Kind::CannotOpen && !Backups::damage().isEmpty()
                                   ? Backups::newestSound()
                                   : QString();
        if (backup.isEmpty()) {
            Messages::errorReport(nullptr, e.message());
            return false;
        }
        const QDateTime now = QDateTime::currentDateTime();
        if (!Messages::confirm(nullptr, Backups::restoreQuestion(e.message(), backup, now)))
            return false;
        try {
            const QString kept = Backups::restore(backup, now);
            Database::open();
            Messages::information(
                nullptr, QStringLiteral("The backup has been restored. The damaged file is kept as\n") +
                             QDir::toNativeSeparators(kept));
            return true;
        } catch (const StoreError& again) {
            Messages::errorReport(nullptr, again.message());
            return false;
        }
    }
}

// Today's backup, made only from a store that opened cleanly, on a thread of its own so that the
// parent never waits for the copy. A failure does not stop the program, but the parent is told,
// since the book then has no fresh copy.
QThread* backUp() {
    QThread* worker = QThread::create([] {
        try {
            Backups::makeFromFile();
        } catch (const StoreError& e) {
            const QString message = e.message();
            QMetaObject::invokeMethod(
                qApp, [message] { Messages::errorReport(MainWindow, message); }, Qt::QueuedConnection);
        }
    });
    worker->start(QThread::LowPriority);
    return worker;
}

// The look for damage reads the whole book: it runs on its own thread while the application starts,
// the splash is painted and the forms are made. A book that is missing now is looked at again when it
// is opened.
std::future<QString> g_look;
} // namespace

void startLookingForDamage() {
    if (!g_look.valid() && QFileInfo::exists(Database::filePath()))
        g_look = std::async(std::launch::async, [] { return Backups::damage(); });
}

int runTinyra() {
    startLookingForDamage();
    std::future<QString> look = std::move(g_look);
    // The font database is filled on a worker thread while the splash is shown: otherwise the first
    // text the main window measures waits several milliseconds for it. QFontDatabase may be used
    // from any thread.
    std::future<void> fonts = std::async(std::launch::async, [] { (void)QFontDatabase::families(); });

    // The splash is painted before anything else is made.
    auto* splash = new TSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(Messages::ApplicationTitle);
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinyra.Tinyra"));
    // The forms read nothing from the store when they are made, so they are made while the look
    // runs; should the store not open, they are taken down again.
    CreateForms();
    bool backUpToday = true;
    if (!openStore(splash, &backUpToday, look)) {
        DestroyForms();
        delete splash;
        return 1;
    }
    splash->hide();
    delete splash;

    // The copy reads the whole book: make it once the window is up and the start-up check is done,
    // so a parent never waits for it.
    QThread* backup = nullptr;
    if (backUpToday)
        QObject::connect(MainWindow, &TMainWindow::started, MainWindow, [&backup] { backup = backUp(); });
    MainWindow->showMaximized();
    const int result = QApplication::exec();
    if (backup) {
        backup->wait();
        delete backup;
    }

    Entries().release();
    DestroyForms();
    Database::close();
    return result;
}
