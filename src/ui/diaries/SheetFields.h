#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

class MaskedDateEdit;
class QLineEdit;
class QWidget;

// Binds a form's plain fields to one of the active child's sheets: they are loaded when the form
// is shown, stored as they are typed (a date once it is complete or blank) and stored again when
// the form closes. Field names are the boxes' object names.
class SheetFields : public QObject {
    Q_OBJECT
public:
    SheetFields(const QString& sheet, QWidget* owner);

    void addText(QLineEdit* edit);
    void addDate(MaskedDateEdit* edit, const QString& blank);

    // Shows `child`'s sheet. Throws StoreError; nothing is stored for the form until a load succeeds.
    void load(const QString& child);
    // Stores every field that differs from what is stored (a date only when it can be left). Errors
    // are reported.
    void save();
    // True when every date can be left; otherwise the first that cannot is refused.
    bool validate();

private:
    void storeField(QLineEdit* edit);
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
    QHash<QString, QString> m_stored;
};
