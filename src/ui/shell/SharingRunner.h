#pragma once

#include "core/sharing/SharedFolder.h"

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QLabel;
class QStatusBar;
class QTimer;
class QWidget;

// Keeps an open book in step with its shared folder while the window is open: what this computer
// saves is in the folder within a second, and what the other computers wrote is taken in a few
// seconds after its files arrive (a watch on the folder, and a look every minute in case the watch
// misses something, as it may on a network share). Nothing is taken in while a form is open, so a
// record is never changed under the parent's hands; it comes when the form closes. The status bar's
// label says how the sharing stands.
class SharingRunner : public QObject {
    Q_OBJECT
public:
    // The status bar shows only while the book is shared.
    SharingRunner(QWidget* window, QStatusBar* bar);

    // Starts watching when the book is shared (after start-up, after Share Book... or Join); stops
    // when it is not. Runs a round at once.
    void restart();
    // One round now, with a progress dialog when `withProgress`; reports what needs the parent
    // (a child another computer removed). False when the round failed (its problem is shown).
    SharedFolder::RoundResult roundNow(bool withProgress = false);
    // A form (any dialog) closed: a round that waited for it runs now.
    void formClosed();

signals:
    // A round took changes from another computer into the book: the window shows them.
    void bookChanged();

private:
    void lookSoon();
    void writeIfChanged();
    void roundWhenFree();
    void watchFolders();
    void showStatus();
    void askAboutRemovedChildren(const SharedFolder::RoundResult& result);

    QWidget* m_window;
    QStatusBar* m_bar;
    QLabel* m_status;
    QFileSystemWatcher* m_watcher;
    QTimer* m_soon;   // a round shortly after the folder changed
    QTimer* m_minute; // a round every minute, and the status text's "2 minutes ago"
    QTimer* m_local;  // a look for what this computer saved
    QString m_written;
    bool m_shared = false;
    bool m_inRound = false;
    bool m_waiting = false;
};
