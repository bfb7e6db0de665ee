#pragma once

#include "core/names/NameLists.h"

#include <QDialog>

class QTreeWidget;

// The boy and girl names of one country, each with its meaning, shown from a country button of the
// names browser. Object name "CountryNames"; the lists are "BoyList" and "GirlList".
class TCountryNames : public QDialog {
    Q_OBJECT
public:
    TCountryNames(const QString& country, const QVector<NameLists::Name>& boys,
                  const QVector<NameLists::Name>& girls, QWidget* parent = nullptr);

private:
    QTreeWidget* makeList(const QString& name, const QString& caption, const QColor& color,
                          const QVector<NameLists::Name>& names, const QString& country);
};
