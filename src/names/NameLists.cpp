#include "names/NameLists.h"

#include "store/Table.h"

namespace {
struct Country {
    const char* name;
    const char* flag;
};
// "Philipines" is spelled as the page's label spells it; the names carry the same spelling.
const Country kCountries[] = {
    {"Australia", "au"}, {"Canada", "ca"},      {"China", "cn"},       {"Egypt", "eg"},
    {"England", "gb-eng"}, {"France", "fr"},    {"Germany", "de"},     {"Greece", "gr"},
    {"Ireland", "ie"},   {"Israel", "il"},      {"Italy", "it"},       {"Japan", "jp"},
    {"Mexico", "mx"},    {"New Zealand", "nz"}, {"Nigeria", "ng"},     {"Norway", "no"},
    {"Philipines", "ph"}, {"Poland", "pl"},     {"Russia", "ru"},      {"Sweden", "se"},
};
} // namespace

namespace NameLists {
QStringList countries() {
    QStringList list;
    for (const Country& c : kCountries)
        list << QString::fromLatin1(c.name);
    return list;
}

QString flagFile(const QString& country) {
    for (const Country& c : kCountries)
        if (country == QLatin1String(c.name))
            return QString::fromLatin1(c.flag);
    return {};
}

QVector<Name> namesOfOrigin(const QString& table, const QString& origin) {
    Table t(table);
    t.open();
    QVector<Name> found;
    for (t.first(); !t.eof(); t.next()) {
        if (t.fieldText(QStringLiteral("Origin")) != origin)
            continue;
        found.append({t.fieldText(QStringLiteral("Name")), t.fieldText(QStringLiteral("Origin")),
                      t.fieldText(QStringLiteral("Meaning"))});
    }
    t.close();
    return found;
}
} // namespace NameLists
