#pragma once

#include <QString>
#include <QStringList>

// The children of the book and which of them is active. The first-run dialog, New Child, Pick Child
// and the main window all go through here, so each rule about a child is kept once. Store failures
// throw StoreError.
namespace Children {
// PREVIOUS holds this before the first child has been added.
inline const QString NoChildYet = QStringLiteral("New");

// Every child's first name, in key order.
QStringList firstNames();
bool exists(const QString& firstName);

// Why `firstName` cannot name a child, in a parent's words, or an empty text when it can. Empty is
// refused, and so is NoChildYet in any case and with spaces around it ("new", " New "): the book
// would take that child for no child at all and ask for a first child at every start. Every way a
// child is named goes through here (add() calls it).
QString nameRefusal(const QString& firstName);

enum class AddResult { Added, EmptyName, ReservedName, Duplicate };
// Adds a child with its three names. An empty first name, the book's name for no child
// (nameRefusal), or one another child already has, is refused and nothing is stored.
AddResult add(const QString& firstName, const QString& middleName, const QString& lastName);

// The first name PREVIOUS holds: the last active child, or NoChildYet (also when PREVIOUS has no row
// or an empty name).
QString previous();
// Makes `firstName` the active child: PREVIOUS holds it, and the Entry store loads the child (a fresh
// start at the first run, a child switch otherwise).
void makeActive(const QString& firstName, bool freshStart);
// The active child's first name: the one place the program keeps it (the Entry store's child, made so
// by makeActive() or a fresh start), which the main window's ChildName box and caption show and every
// form reads. Empty while no child is active.
QString active();

// The active child cannot be deleted; any other can.
bool mayRemove(const QString& firstName, const QString& activeChild);
// Deletes the child's row and everything recorded for the child, in one transaction. Returns false,
// and deletes nothing, for the active child.
bool remove(const QString& firstName, const QString& activeChild);
} // namespace Children
