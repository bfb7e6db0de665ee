#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

class MaskedDateEdit;
class QLineEdit;
class QWidget;

// Binds a form's plain fields to one of the active child's sheets: they are loaded when the form
// is shown, stored as they are typed (a date once it is complete or blank; after a failed store only
// at the next save()) and stored again when the form closes. Field names are the boxes' object names.
class SheetFields : public QObject {
    Q_OBJECT
public:
    SheetFields(const QString& sheet, QWidget* owner);

    void addText(QLineEdit* edit);
    void addDate(MaskedDateEdit* edit, const QString& blank);

    // Shows `child`'s sheet. Throws StoreError; nothing is stored for the form until a load succeeds.
    void load(const QString& child);
    // Stores every field that differs from what is stored (a date only when it can be left). The
    // first error is reported and ends the saving; returns false then, so that Ok keeps the form open
    // with what was typed.
    bool save();
    // True when every date can be left; otherwise the first that cannot is refused.
    bool validate();

private:
    bool storeField(QLineEdit* edit);
    void storeTyped(QLineEdit* edit);
    QString valueOf(QLineEdit* edit, bool* storable) const;

    struct Field {
        QLineEdit* edit;
        MaskedDateEdit* date; // null for a text field
        QString blank;
    };
    QString m_sheet;
    QWidget* m_owner;
    QVector<Field> m_fields;
    QString m_child;
    bool m_loaded = false;
    bool m_holding = false; // a store failed: typing is kept in the boxes until save()
    QHash<QString, QString> m_stored;
};
