#pragma once

class QWidget;

// The Child menu's "Export Book..." and "Import Book...": the file dialog, a progress dialog while the
// book is written or read, and afterwards what was done (for an import, the summary of what was added
// and which version of each differing record was kept).
namespace BookMoves {
void exportBook(QWidget* parent);
// True when the book changed.
bool importBook(QWidget* parent);
} // namespace BookMoves
