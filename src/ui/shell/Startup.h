#pragma once

#include <QString>

#include <functional>

// The program once its application object exists: the splash, opening the store (with the restore
// offer for a damaged book), the forms, the main window, today's backup, and shutdown. Returns the
// exit status. The start-up tests run it inside their own application object.
int runTinyra();
// Starts the read-only look for damage in the book on a worker thread, before the application
// object is made, so that it runs while the program starts; runTinyra() starts it otherwise.
void startLookingForDamage();
// For the start-up tests: what the look for damage runs in place of Backups::damage(), e.g. to answer
// only once the window shows.
void setLookForDamageForTesting(std::function<QString()> look);

class QWidget;
// The Child menu's "Restore a Backup...": the parent chooses a backup, which takes the book's place;
// the book as it was is kept beside it, and the restored book's child becomes active.
void restoreBackup(QWidget* parent);
