#pragma once

#include <QString>

// The rows delivered with the program for the read-only tables BABYHELP, BOYA and GIRLA.
//
// Each table's rows come from the resource ":/data/<table in lower case>.json":
//   { "version": 3, "rows": [ [field1, field2, field3], ... ] }
// with the values in the table's field order. When the delivered version is newer than the one the
// store holds (none on a new store), the table's rows are replaced in one transaction. These tables
// are never written by the user, so nothing of the user's is touched.
namespace DeliveredData {
void refresh();
// Loads one table from a JSON document as above; throws StoreError on a malformed document.
void load(const QString& table, const QByteArray& json);
// The version of the rows the store holds for `table` (0 for none).
int storedVersion(const QString& table);
} // namespace DeliveredData
