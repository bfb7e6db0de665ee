#pragma once

class QWidget;

// The Child menu's "Publish Album...": choose the children, a folder and what to leave out, and the
// book is written there as a family web album (Album), under a progress dialog with Cancel. The
// choices are kept in the book for the next time; when it is done, "Open in Browser" shows it.
namespace PublishAlbum {
void open(QWidget* parent);
} // namespace PublishAlbum
