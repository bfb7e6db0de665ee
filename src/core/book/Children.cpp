#include "core/book/Children.h"

#include "core/book/ChildRecords.h"
#include "core/book/EntryStore.h"
#include "core/store/StoreError.h"
#include "core/store/Table.h"

namespace Children {
QStringList firstNames() {
    QStringList names;
    Table child(QStringLiteral("CHILD"));
    child.open();
    for (child.first(); !child.eof(); child.next())
        names << child.fieldText(QStringLiteral("FirstName"));
    return names;
}

bool exists(const QString& firstName) {
    Table child(QStringLiteral("CHILD"));
    child.open();
    return child.findKey(firstName);
}

QString nameRefusal(const QString& firstName) {
    if (firstName.isEmpty())
        return QStringLiteral("A First Name is required.");
    if (firstName.trimmed().compare(NoChildYet, Qt::CaseInsensitive) == 0)
        return QStringLiteral("\"%1\" cannot be a child's first name: Tinyra uses the word \"%2\" for a book "
                              "that has no child yet. Please type another first name (a nickname will do).")
            .arg(firstName.trimmed(), NoChildYet);
    return QString();
}

AddResult add(const QString& firstName, const QString& middleName, const QString& lastName) {
    if (firstName.isEmpty())
        return AddResult::EmptyName;
    if (!nameRefusal(firstName).isEmpty())
        return AddResult::ReservedName;
    Table child(QStringLiteral("CHILD"));
    child.open();
    child.insert();
    child.setFieldText(QStringLiteral("FirstName"), firstName);
    child.setFieldText(QStringLiteral("MiddleName"), middleName);
    child.setFieldText(QStringLiteral("LastName"), lastName);
    try {
        child.post();
    } catch (const StoreError& e) {
        if (e.kind() != StoreError::Kind::Duplicate)
            throw;
        child.cancel(); // the refused row is abandoned
        return AddResult::Duplicate;
    }
    return AddResult::Added;
}

QString previous() {
    Table previousTable(QStringLiteral("PREVIOUS"));
    previousTable.open();
    previousTable.first();
    // A table without its row (or with an empty name) keeps no active child, as at the first run:
    // an empty name must never become the active child, whose name keys everything it records.
    const QString name =
        previousTable.isEmpty() ? QString() : previousTable.fieldText(QStringLiteral("FirstName"));
    return name.isEmpty() ? NoChildYet : name;
}

void makeActive(const QString& firstName, bool freshStart) {
    Table previousTable(QStringLiteral("PREVIOUS"));
    previousTable.open();
    previousTable.first();
    // Written only when it changes: a start on the same child writes nothing (a book opened
    // read-only, from a folder that cannot be written, opens too).
    if (previousTable.isEmpty() || previousTable.fieldText(QStringLiteral("FirstName")) != firstName) {
        previousTable.edit();
        previousTable.setFieldText(QStringLiteral("FirstName"), firstName);
        previousTable.post();
    }
    if (freshStart)
        Entries().freshStart(firstName);
    else
        Entries().childSwitch(firstName);
}

QString active() {
    return Entries().isActive() ? Entries().child() : QString();
}

bool mayRemove(const QString& firstName, const QString& activeChild) {
    return firstName != activeChild;
}

bool remove(const QString& firstName, const QString& activeChild) {
    if (!mayRemove(firstName, activeChild))
        return false;
    ChildRecords::deleteChild(firstName);
    return true;
}
} // namespace Children
