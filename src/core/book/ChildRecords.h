#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// What a child has besides its CHILD row and its Entry store lists: named sheets of text fields
// (a form's boxes, such as the pediatrician card) and pictures chosen for the child. Each write is
// stored at once in its own transaction.
namespace ChildRecords {
QString sheetValue(const QString& child, const QString& sheet, const QString& field,
                   const QString& fallback = QString());
QHash<QString, QString> sheet(const QString& child, const QString& sheet);
void setSheetValue(const QString& child, const QString& sheet, const QString& field, const QString& value);
// Replaces the whole sheet with `values`.
void setSheet(const QString& child, const QString& sheet, const QHash<QString, QString>& values);

// The stored bytes of a picture, empty when the child has none under that key.
QByteArray picture(const QString& child, const QString& key);
// The picture's file in the photo folder (PhotoFiles), empty when the child has none under that key
// or the book still keeps its bytes in the store.
QString pictureFile(const QString& child, const QString& key);
void setPicture(const QString& child, const QString& key, const QByteArray& bytes);
// Keeps the file at `source`, byte for byte, as the child's picture under `key`. Throws StoreError
// with a message for the parent when it cannot be read or written; the picture then stays.
void setPictureFrom(const QString& child, const QString& key, const QString& source);
void removePicture(const QString& child, const QString& key);

// Deletes the child's CHILD row and every record kept for the child, in one transaction.
void deleteChild(const QString& child);
} // namespace ChildRecords
