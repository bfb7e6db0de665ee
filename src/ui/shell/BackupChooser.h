#pragma once

#include <QString>

class QWidget;

// The list of backups to restore from ("Restore a Backup..." and the damaged-book offer): every sound
// backup, the most recently made first, with when it was made and how many children and entries it
// holds.
namespace BackupChooser {
// The file of the backup the parent chose; empty when cancelled, or when there is none (then said).
QString choose(QWidget* parent, const QString& intro);
} // namespace BackupChooser
