#include "ui/shell/Startup.h"

#include "core/book/EntryStore.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/StoreError.h"
#include "ui/common/FocusRing.h"
#include "ui/common/Messages.h"
#include "ui/help/TSplash.h"
#include "ui/shell/BackupChooser.h"
#include "ui/shell/Forms.h"
#include "ui/shell/RunningCopy.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <future>
#include <memory>
#include <optional>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
const QString kChooseIntro =
    QStringLiteral("Choose the backup to put in place of the book. The book as it is now is kept beside it.");

// The restore offer for a damaged book: Yes restores `newest`, "Choose a Backup..." lists them all.
// The backup to restore, or empty when the parent declined.
QString offerRestore(const QString& question, const QString& newest) {
    for (;;) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question,
                        QMessageBox::Yes | QMessageBox::No);
        box.setObjectName(QStringLiteral("ConfirmBox"));
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Yes"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
        QPushButton* choose = box.addButton(QStringLiteral("&Choose a Backup..."), QMessageBox::ActionRole);
        choose->setObjectName(QStringLiteral("ChooseBtn"));
        box.setDefaultButton(QMessageBox::Yes);
        box.exec();
        if (box.clickedButton() == box.button(QMessageBox::Yes))
            return newest;
        if (box.clickedButton() != choose)
            return QString();
        const QString chosen = BackupChooser::choose(nullptr, kChooseIntro);
        if (!chosen.isEmpty())
            return chosen;
    }
}

// A book that cannot be written (a read-only folder or disk) is opened for reading, with a word
// to the parent; no backup is made of it, since none could be written.
bool openForReading(const QString& why, bool* backUpToday) {
    *backUpToday = false;
    try {
        Database::openReadOnly();
    } catch (const StoreError& again) {
        Messages::errorReport(nullptr,
                              why + QStringLiteral("\n\nIt cannot be read either:\n\n") + again.message());
        return false;
    }
    Messages::information(
        nullptr,
        QStringLiteral("The book is on a folder or disk that cannot be written to:\n%1\n\nTinyra opens it "
                       "read-only. You can look at everything, print it and export it, but nothing new "
                       "can be kept until the folder can be written to again.")
            .arg(QDir::toNativeSeparators(Database::filePath())));
    return true;
}

// Opens the store. When the file itself is damaged and a sound backup exists, says so and offers to
// put the backup in its place (the damaged file is kept, renamed); when the file is missing, offers
// the backup before a new, empty book is made. False when Tinyra cannot start; *backUpToday false
// when the parent chose an empty book over the backups, whose newest must then not be replaced.
// `look` is the read-only look for damage, started on another thread while the file existed: the
// book opens while it runs, and watchTheLook() hears its answer.
bool openStore(QWidget* splash, bool* backUpToday, const std::shared_future<QString>& look) {
    *backUpToday = true;
    const bool existed = QFileInfo::exists(Database::filePath());
    if (!existed) {
        const QString backup = Backups::newestSound();
        if (!backup.isEmpty()) {
            if (splash)
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
        if (existed && look.valid())
            Database::openWhileLooking(look);
        else
            Database::open();
        return true;
    } catch (const StoreError& e) {
        if (splash)
            splash->hide();
        if (e.kind() == StoreError::Kind::ReadOnly)
            return openForReading(e.message(), backUpToday);
        const bool damaged = e.kind() == StoreError::Kind::CannotOpen && !Backups::damage().isEmpty();
        QString backup = damaged ? Backups::newestSound() : QString();
        if (backup.isEmpty()) {
            Messages::errorReport(nullptr, damaged && !Backups::all().isEmpty()
                                               ? Backups::everyBackupDamagedReport(e.message())
                                               : e.message());
            return false;
        }
        const QDateTime now = QDateTime::currentDateTime();
        const QString chosen = offerRestore(Backups::restoreQuestion(e.message(), backup, now), backup);
        if (chosen.isEmpty())
            return false;
        backup = chosen;
        QString kept;
        try {
            kept = Backups::restore(backup, now);
        } catch (const StoreError& again) {
            Messages::errorReport(nullptr, again.message());
            return false;
        }
        const QString restored =
            QStringLiteral("The backup\n%1\nhas been restored. The damaged file is kept as\n%2")
                .arg(QDir::toNativeSeparators(backup), QDir::toNativeSeparators(kept));
        try {
            Database::open();
        } catch (const StoreError& again) {
            Messages::errorReport(
                nullptr, restored + QStringLiteral("\n\nBut the restored book could not be opened:\n\n") +
                             again.message());
            return false;
        }
        Messages::information(nullptr, restored);
        return true;
    }
}

// The backup found the book's indexes (the lists it keeps to find records quickly) damaged, and
// made a sound copy: the book's own are built again from its records, and the parent is told.
void repairIndexes() {
    QString left;
    try {
        left = Backups::repairIndexes();
    } catch (const StoreError& e) {
        left = e.message();
    }
    if (left.isEmpty())
        Messages::information(
            MainWindow, QStringLiteral("Tinyra found damage in the book's indexes (the lists it keeps to "
                                       "find records quickly) and built them again from the records. "
                                       "Nothing recorded was lost, and today's backup was made."));
    else
        Messages::errorReport(MainWindow,
                              QStringLiteral("Tinyra found damage in the book's indexes and could not mend "
                                             "it. Today's backup is sound; Child > Restore a Backup... puts "
                                             "it in place of the book.\n\n") +
                                  left);
}

// The program's writes to the book when the latest copy began; -1 before today's first copy.
qint64 g_writesAtCopy = -1;

// Today's backup, made only from a store that opened cleanly, on a thread of its own so that the
// parent never waits for the copy. A failure does not stop the program, but the parent is told,
// since the book then has no fresh copy.
QThread* backUp() {
    g_writesAtCopy = Backups::writesSinceOpen();
    QThread* worker = QThread::create([] {
        try {
            bool indexesRebuilt = false;
            Backups::makeFromFile(QDate::currentDate(), &indexesRebuilt);
            if (indexesRebuilt)
                QMetaObject::invokeMethod(qApp, repairIndexes, Qt::QueuedConnection);
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
// the splash is painted, the forms are made and the window is first painted. A book that is missing
// now is looked at again when it is opened.
std::shared_future<QString> g_look;
std::function<QString()> g_lookFor = [] { return Backups::damage(); };

// Today's backup while it is being made.
QThread* g_backup = nullptr;

// Today's backup is made once the window is painted and the look has found the book sound.
struct BackupWaits {
    bool wanted = false;
    bool painted = false;
    bool sound = false;
} g_backupWaits;

void backUpWhenReady() {
    if (g_backupWaits.wanted && g_backupWaits.painted && g_backupWaits.sound && g_writesAtCopy < 0)
        g_backup = backUp();
}

// Hears the look's answer once the window is up. A sound book is backed up; damage found after the
// window showed is reported over it and handled as at start: the parent may put a backup in the
// book's place, or Tinyra closes.
void watchTheLook() {
    auto* poll = new QTimer(MainWindow);
    poll->start(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        const std::optional<QString> damage = Database::lookAnswer();
        if (!damage)
            return;
        poll->deleteLater();
        if (damage->isEmpty()) {
            g_backupWaits.sound = true;
            backUpWhenReady();
            return;
        }
        qInfo("The look for damage found the book damaged after the window showed.");
        Entries().release();
        Database::close();
        std::promise<QString> found;
        found.set_value(*damage);
        bool backUpToday = true;
        if (!openStore(nullptr, &backUpToday, found.get_future().share())) {
            QApplication::exit(1);
            return;
        }
        MainWindow->reloadBook();
        g_backupWaits.sound = true;
        backUpWhenReady();
    });
}

void waitForBackup() {
    if (!g_backup)
        return;
    g_backup->wait();
    delete g_backup;
    g_backup = nullptr;
}

// After a day's work the morning's copy is out of date: once today's first copy was made, another
// is made when the window closes and every hour while it is open, whenever the book has changed
// since the latest began. The same rules hold: the copy is checked, never replaces a fuller one of
// the day, and is made on a worker thread.
void backUpIfChanged() {
    if (g_writesAtCopy < 0 || Backups::writesSinceOpen() <= g_writesAtCopy)
        return;
    if (g_backup && !g_backup->isFinished())
        return; // the copy under way is made again at the next hour or at closing
    waitForBackup();
    g_backup = backUp();
}

// This copy's claim on the book: one running copy per book.
std::unique_ptr<RunningCopy> g_copy;

// Another start on the book asked for this copy's window.
void bringToFront() {
    qInfo("Another start of Tinyra on this book: its window is brought to the front.");
    if (!MainWindow)
        return;
    MainWindow->setWindowState(MainWindow->windowState() & ~Qt::WindowMinimized);
    MainWindow->raise();
    MainWindow->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

// A later start on a book that another program holds. A running copy comes to the front and this
// one ends, touching nothing of the book. A command-line import or export has no window to bring
// forward: this start waits, saying why, until it has finished, and then opens the book. Returns the
// exit status when this start ends, or nothing once it holds the book.
std::optional<int> waitForTheBook() {
    if (g_copy->handOver()) {
        g_copy.reset();
        return 0;
    }
    QProgressDialog waiting(
        QStringLiteral("Another program is writing this book (an import or export started from the "
                       "command line).\nTinyra opens the book as soon as it has finished."),
        QStringLiteral("Cancel"), 0, 0);
    waiting.setObjectName(QStringLiteral("WaitForBookDlg"));
    waiting.setWindowTitle(Messages::ApplicationTitle);
    waiting.setMinimumDuration(0);
    std::optional<int> ended;
    QTimer poll;
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (g_copy->claim()) {
            waiting.accept();
        } else if (++tries % 10 == 0 && g_copy->handOver()) {
            ended = 0; // a window started meanwhile and came to the front
            waiting.accept();
        }
    });
    QObject::connect(&waiting, &QProgressDialog::canceled, [&] {
        if (!g_copy->isFirst() && !ended)
            ended = 1;
    });
    poll.start(200);
    qInfo("Another program holds this book: Tinyra waits for it.");
    waiting.exec();
    poll.stop();
    if (g_copy->isFirst() && !ended)
        return std::nullopt;
    g_copy.reset();
    return ended.value_or(1);
}
} // namespace

void startLookingForDamage() {
    if (!g_copy) {
        g_copy = std::make_unique<RunningCopy>();
        g_copy->claim();
    }
    if (g_copy->isFirst() && !g_look.valid() && QFileInfo::exists(Database::filePath()))
        g_look = std::async(std::launch::async, [] {
                     // The window's first paint (and the display server) come first; a write that
                     // waits for the answer leaves the processor to the look anyway.
                     (void)setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 10);
                     return g_lookFor();
                 }).share();
}

void setLookForDamageForTesting(std::function<QString()> look) {
    g_lookFor = look ? std::move(look) : [] { return Backups::damage(); };
}

int runTinyra() {
    startLookingForDamage();
    if (!g_copy->isFirst())
        if (const std::optional<int> status = waitForTheBook())
            return *status;
    g_copy->listen();
    // What an interrupted backup or restore left is of no use; only this copy may write here now.
    Backups::removeLeftovers();
    const std::shared_future<QString> look = std::move(g_look);
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
    FocusRing::install();
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tinyra.Tinyra"));
    // The forms read nothing from the store when they are made, so they are made while the look
    // runs; should the store not open, they are taken down again.
    CreateForms();
    QObject::connect(g_copy.get(), &RunningCopy::raiseRequested, MainWindow, bringToFront);
    bool backUpToday = true;
    if (!openStore(splash, &backUpToday, look)) {
        DestroyForms();
        delete splash;
        g_copy.reset();
        return 1;
    }
    splash->hide();
    delete splash;

    // The copy reads the whole book: make it once the window is up and the start-up check is done,
    // so a parent never waits for it.
    g_backupWaits = BackupWaits{backUpToday, false, false};
    // The copy competes with the first paint for the processor: it starts once the window is painted.
    QObject::connect(MainWindow, &TMainWindow::firstPainted, MainWindow, [] {
        g_backupWaits.painted = true;
        backUpWhenReady();
    });
    MainWindow->showMaximized();
    watchTheLook();
    QTimer hourly;
    hourly.setInterval(std::chrono::hours(1));
    QObject::connect(&hourly, &QTimer::timeout, backUpIfChanged);
    hourly.start();
    const int result = QApplication::exec();
    hourly.stop();
    // A window closed before it was painted or the look answered still leaves today's backup of a
    // sound book, once the start-up check was done.
    if (g_writesAtCopy < 0 && MainWindow->startupCheckDone() && Database::isOpen() &&
        Database::lookAnswer(true) == QString()) {
        g_backupWaits.sound = g_backupWaits.painted = true;
        backUpWhenReady();
    }
    // What was entered since the copy began is copied too.
    waitForBackup();
    backUpIfChanged();
    waitForBackup();
    // A copy that failed or found damage in the indexes tells the parent before the book closes.
    QCoreApplication::sendPostedEvents(qApp, QEvent::MetaCall);
    g_writesAtCopy = -1;

    Entries().release();
    DestroyForms();
    Database::close();
    g_copy.reset();
    return result;
}

void restoreBackup(QWidget* parent) {
    const QString chosen = BackupChooser::choose(parent, kChooseIntro);
    if (chosen.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QString keptAs = Backups::replacedFileFor(now);
    if (!Messages::confirmDestructive(
            parent,
            QStringLiteral("Restore the backup\n%1?\n\nThe book as it is now is kept beside it as\n%2\nand "
                           "nothing entered since the backup was made will be in the restored book.")
                .arg(Backups::describe(Backups::infoOf(chosen)), QDir::toNativeSeparators(keptAs))))
        return;
    // The book is closed for the restore; today's backup, which reads it, is finished first.
    waitForBackup();
    Entries().release();
    Database::close();
    QString kept;
    try {
        kept = Backups::restore(chosen, now, keptAs);
    } catch (const StoreError& e) {
        Messages::errorReport(parent, e.message());
    }
    try {
        Database::open();
    } catch (const StoreError& e) {
        QString report = e.message();
        if (!kept.isEmpty())
            report = QStringLiteral(
                         "The backup\n%1\nhas been restored. The book as it was is kept as\n%2\n\nBut the "
                         "restored book could not be opened:\n\n%3")
                         .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(kept), e.message());
        Messages::errorReport(parent, report + QStringLiteral("\n\nTinyra will close."));
        QApplication::exit(1);
        return;
    }
    // The restored book is itself a copy: only what is written from now on calls for another.
    if (g_writesAtCopy >= 0)
        g_writesAtCopy = Backups::writesSinceOpen();
    if (MainWindow)
        MainWindow->reloadBook();
    if (!kept.isEmpty())
        Messages::information(
            parent, QStringLiteral("The backup\n%1\nhas been restored. The book as it was is kept as\n%2")
                        .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(kept)));
}
