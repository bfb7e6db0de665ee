#pragma once

class QLineEdit;
class QWidget;

// OK of the first-run dialog and of New Child: adds the child named in the three boxes and makes it
// the active child (a fresh start at the first run). An empty first name, the book's word for no
// child (Children::nameRefusal), or one another child already has, gets its message and the
// first-name box the focus (emptied after a duplicate);
// a store failure gets the error report. Returns true when the child was added.
bool addNamedChild(QWidget* dialog, QLineEdit* firstName, QLineEdit* middleName, QLineEdit* lastName,
                   bool freshStart);
