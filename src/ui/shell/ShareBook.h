#pragma once

class QWidget;
class SharingRunner;

// The Child menu's "Share Book..." and "Shared Book" items: the Share dialog (choose a folder that a
// sync program keeps in step, share this book there or join the book already there, name this
// computer, stop sharing) and the list of changes from other computers that were set aside.
namespace ShareBook {
// True when the book changed (joined a shared book).
bool open(QWidget* parent, SharingRunner* runner);
void showChanges(QWidget* parent);
} // namespace ShareBook
