#include "ui/diaries/SheetFields.h"

#include "core/book/ChildRecords.h"
#include "ui/common/Guard.h"
#include "ui/common/MaskedDateEdit.h"

#include <QLineEdit>

SheetFields::SheetFields(const QString& sheet, QWidget* owner)
    : QObject(owner), m_sheet(sheet), m_owner(owner) {}

void SheetFields::addText(QLineEdit* edit) {
    m_fields.append({edit, nullptr, QString()});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { storeTyped(edit); });
}

void SheetFields::addDate(MaskedDateEdit* edit, const QString& blank) {
    m_fields.append({edit, edit, blank});
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { storeTyped(edit); });
}

// After a failed store (a full disk) the fields are not stored key by key, which would report the
// failure at every key: save() tries them all again.
void SheetFields::storeTyped(QLineEdit* edit) {
    if (!m_holding)
        m_holding = !storeField(edit);
}

void SheetFields::load(const QString& child) {
    m_loaded = false;
    m_holding = false;
    const QHash<QString, QString> values = ChildRecords::sheet(child, m_sheet);
    m_stored.clear();
    for (const Field& f : m_fields) {
        const QString name = f.edit->objectName();
        const QString value = values.value(name, f.blank);
        m_stored.insert(name, value);
        if (f.date)
            f.date->setStoredText(value);
        else
            f.edit->setText(value);
        f.edit->setCursorPosition(0);
    }
    m_child = child;
    m_loaded = true;
}

QString SheetFields::valueOf(QLineEdit* edit, bool* storable) const {
    for (const Field& f : m_fields) {
        if (f.edit != edit)
            continue;
        if (f.date) {
            *storable = f.date->isLeavable();
            return f.date->storedText();
        }
        *storable = true;
        return edit->text();
    }
    *storable = false;
    return QString();
}

bool SheetFields::storeField(QLineEdit* edit) {
    if (!m_loaded)
        return true;
    bool storable = false;
    const QString value = valueOf(edit, &storable);
    const QString name = edit->objectName();
    if (!storable || m_stored.value(name) == value)
        return true;
    if (!guarded(m_owner, [&] { ChildRecords::setSheetValue(m_child, m_sheet, name, value); }))
        return false;
    m_stored.insert(name, value);
    return true;
}

bool SheetFields::save() {
    m_holding = false;
    for (const Field& f : m_fields)
        if (!storeField(f.edit)) {
            m_holding = true;
            return false;
        }
    return true;
}

bool SheetFields::validate() {
    for (const Field& f : m_fields)
        if (f.date && !f.date->validate())
            return false;
    return true;
}
