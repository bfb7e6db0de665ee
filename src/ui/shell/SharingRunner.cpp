#include "ui/shell/SharingRunner.h"

#include "core/book/Children.h"
#include "core/store/Database.h"
#include "core/store/StoreError.h"
#include "ui/common/Messages.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QProgressDialog>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTimer>

namespace {
// How long after the folder changed the round starts: a sync program writes a batch's file and its
// neighbours within moments of each other.
constexpr int kSettleMs = 1500;
constexpr int kMinuteMs = 60 * 1000;
// How often the book is looked at for what this computer saved.
constexpr int kLocalMs = 400;

QString greatestStamp() {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT max(stamp) FROM STAMPS"));
    return q.next() ? q.value(0).toString() : QString();
}

// "him" or "her" for a child whose sex the book holds, the child's name otherwise.
QString pronounOf(const QString& uid, const QString& firstName) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT Sex FROM CHILD WHERE uid = ?"), {uid});
    const QString sex = q.next() ? q.value(0).toString() : QString();
    return sex == QLatin1String("Boy")    ? QStringLiteral("him")
           : sex == QLatin1String("Girl") ? QStringLiteral("her")
                                          : firstName;
}

QString capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}
} // namespace

SharingRunner::SharingRunner(QWidget* window, QStatusBar* bar)
    : QObject(window), m_window(window), m_bar(bar), m_status(new QLabel(bar)),
      m_watcher(new QFileSystemWatcher(this)), m_soon(new QTimer(this)), m_minute(new QTimer(this)),
      m_local(new QTimer(this)) {
    m_soon->setSingleShot(true);
    m_soon->setInterval(kSettleMs);
    m_minute->setInterval(kMinuteMs);
    m_local->setInterval(kLocalMs);
    connect(m_soon, &QTimer::timeout, this, &SharingRunner::roundWhenFree);
    connect(m_minute, &QTimer::timeout, this, &SharingRunner::roundWhenFree);
    connect(m_local, &QTimer::timeout, this, &SharingRunner::writeIfChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SharingRunner::lookSoon);
    m_status->setObjectName(QStringLiteral("SharingStatus"));
    m_bar->addWidget(m_status, 1);
    m_bar->hide();
}

void SharingRunner::restart() {
    SharedFolder::Status status;
    try {
        status = SharedFolder::status();
    } catch (const StoreError&) {
        status = {};
    }
    m_shared = status.shared;
    if (!m_shared) {
        m_minute->stop();
        m_local->stop();
        if (!m_watcher->directories().isEmpty())
            m_watcher->removePaths(m_watcher->directories());
        m_bar->hide();
        return;
    }
    m_minute->start();
    m_local->start();
    watchFolders();
    roundWhenFree();
}

void SharingRunner::formClosed() {
    // Once the dialog is gone: the one closing is still the active modal widget now.
    if (m_waiting)
        QTimer::singleShot(0, this, &SharingRunner::roundWhenFree);
}

void SharingRunner::lookSoon() {
    m_soon->start();
}

void SharingRunner::writeIfChanged() {
    if (m_inRound || !m_shared)
        return;
    QString greatest;
    try {
        greatest = greatestStamp();
    } catch (const StoreError&) {
        return;
    }
    if (greatest == m_written)
        return;
    m_written = greatest;
    // A form is open: what it saved goes to the folder now; what the others wrote waits for it.
    if (QApplication::activeModalWidget()) {
        m_waiting = true;
        try {
            SharedFolder::writeOnly();
        } catch (const StoreError&) {
            // Shown by the next whole round.
        }
        return;
    }
    roundWhenFree();
}

void SharingRunner::roundWhenFree() {
    if (!m_shared || m_inRound)
        return;
    // A form is open: what it shows must not change under the parent's hands. Its own saves are
    // written when it closes, together with what the others wrote meanwhile.
    if (QApplication::activeModalWidget()) {
        m_waiting = true;
        return;
    }
    m_waiting = false;
    const SharedFolder::RoundResult result = roundNow();
    if (result.applied > 0)
        emit bookChanged();
    askAboutRemovedChildren(result);
}

SharedFolder::RoundResult SharingRunner::roundNow(bool withProgress) {
    SharedFolder::RoundResult result;
    m_inRound = true;
    try {
        if (withProgress) {
            QProgressDialog progress(QStringLiteral("Bringing in the changes from the other computers..."),
                                     QStringLiteral("Cancel"), 0, 1000, m_window);
            progress.setObjectName(QStringLiteral("ShareProgress"));
            progress.setWindowTitle(Messages::ApplicationTitle);
            progress.setWindowModality(Qt::WindowModal);
            progress.setMinimumDuration(300);
            result = SharedFolder::syncOnce([&progress](qint64 done, qint64 total) {
                progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
                QApplication::processEvents();
                return !progress.wasCanceled();
            });
        } else {
            QApplication::setOverrideCursor(Qt::BusyCursor);
            result = SharedFolder::syncOnce();
            QApplication::restoreOverrideCursor();
        }
        m_written = greatestStamp();
    } catch (const StoreError& e) {
        if (!withProgress)
            QApplication::restoreOverrideCursor();
        result.problem = e.message();
    }
    m_inRound = false;
    watchFolders();
    showStatus();
    return result;
}

void SharingRunner::watchFolders() {
    const SharedFolder::Status status = SharedFolder::status();
    if (!status.shared)
        return;
    // The devices' folders, where batches arrive, and the folder holding them, where a new computer
    // appears.
    QStringList wanted{status.bookFolder + QStringLiteral("/devices")};
    const QDir devices(wanted.first());
    for (const QString& device : devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        wanted << devices.filePath(device);
    const QStringList watched = m_watcher->directories();
    for (const QString& path : wanted)
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher->addPath(path);
}

void SharingRunner::showStatus() {
    SharedFolder::Status status;
    try {
        status = SharedFolder::status();
    } catch (const StoreError&) {
        return;
    }
    if (!status.shared) {
        m_bar->hide();
        return;
    }
    const QString text = SharedFolder::statusText(status, QDateTime::currentDateTimeUtc());
    m_status->setText(text);
    m_status->setAccessibleName(text);
    m_bar->show();
}

void SharingRunner::askAboutRemovedChildren(const SharedFolder::RoundResult& result) {
    for (const SharedFolder::RoundResult::Held& held : result.heldRemovals) {
        try {
            const QString pronoun = pronounOf(held.uid, held.firstName);
            const QString question =
                QStringLiteral("%1 removed %2 and everything recorded for %3. Remove %3 here too?")
                    .arg(capitalised(held.computer), held.firstName, pronoun);
            if (Messages::confirmDestructive(m_window, question)) {
                // The active child cannot be removed: another one becomes active first.
                if (Children::active() == held.firstName) {
                    const QStringList others = Children::firstNames();
                    for (const QString& other : others)
                        if (other != held.firstName) {
                            Children::makeActive(other, false);
                            break;
                        }
                }
                SharedFolder::removeHeldChild(held.uid);
            } else {
                SharedFolder::keepHeldChild(held.uid);
            }
        } catch (const StoreError& e) {
            Messages::errorReport(m_window, e.message());
            return;
        }
        emit bookChanged();
    }
}
