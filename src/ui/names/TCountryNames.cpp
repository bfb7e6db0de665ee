#include "ui/names/TCountryNames.h"

#include "ui/common/Widgets.h"
#include "ui/names/EarthPicture.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

TCountryNames::TCountryNames(const QString& country, const QVector<NameLists::Name>& boys,
                             const QVector<NameLists::Name>& girls, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CountryNames"));
    setWindowTitle(QStringLiteral("Names from ") + country);
    resize(620, 440);

    auto* flag = new QLabel(this);
    flag->setObjectName(QStringLiteral("Flag"));
    flag->setPixmap(FlagPicture(NameLists::flagFile(country), QSize(64, 48)));
    flag->setAccessibleName(QStringLiteral("Flag of ") + country);
    auto* title = new QLabel(QStringLiteral("Names from ") + country, this);
    title->setObjectName(QStringLiteral("Title"));
    Widgets::styleTitle(title);
    auto* head = new QHBoxLayout;
    head->addWidget(flag);
    head->addWidget(title, 1);

    auto* lists = new QHBoxLayout;
    const QColor blue(0, 0, 255), fuchsia(255, 0, 255);
    auto* boyColumn = new QVBoxLayout;
    auto* girlColumn = new QVBoxLayout;
    QTreeWidget* boyList =
        makeList(QStringLiteral("BoyList"), QStringLiteral("Boy Names"), blue, boys, country);
    QTreeWidget* girlList =
        makeList(QStringLiteral("GirlList"), QStringLiteral("Girl Names"), fuchsia, girls, country);
    for (auto [column, list, caption, color] :
         {std::tuple{boyColumn, boyList, QStringLiteral("Boy Names"), blue},
          std::tuple{girlColumn, girlList, QStringLiteral("Girl Names"), fuchsia}}) {
        auto* label = new QLabel(caption, this);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(18);
        f.setBold(true);
        label->setFont(f);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, color);
        label->setPalette(lp);
        label->setBuddy(list);
        column->addWidget(label);
        column->addWidget(list, 1);
        lists->addLayout(column, 1);
    }

    auto* ok = Widgets::pushButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->setDefault(true);
    ok->setIcon(Widgets::standardIcon(QStyle::SP_DialogOkButton));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
}

QTreeWidget* TCountryNames::makeList(const QString& name, const QString& caption, const QColor& color,
                                     const QVector<NameLists::Name>& names, const QString& country) {
    auto* list = new QTreeWidget(this);
    list->setObjectName(name);
    list->setAccessibleName(caption);
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Meaning")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setWordWrap(false);
    list->setAlternatingRowColors(true);
    QList<QTreeWidgetItem*> items;
    for (const NameLists::Name& n : names) {
        auto* item = new QTreeWidgetItem({n.name, n.meaning});
        item->setForeground(0, color);
        item->setToolTip(1, n.meaning);
        items << item;
    }
    list->addTopLevelItems(items);
    if (names.isEmpty())
        list->setHeaderLabels({QStringLiteral("No names from ") + country, QString()});
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}
