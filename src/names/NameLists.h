#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Reading the two name tables, BOYA (boys) and GIRLA (girls), for the names browser.
namespace NameLists {
struct Name {
    QString name;
    QString origin;
    QString meaning;
};

// The twenty countries of the "Around the World" page, in the order of their buttons, and the
// file name (without ".svg") of each country's flag.
QStringList countries();
QString flagFile(const QString& country);

// The rows of `table` whose Origin is exactly `origin`, in table order. Throws StoreError.
QVector<Name> namesOfOrigin(const QString& table, const QString& origin);
} // namespace NameLists
