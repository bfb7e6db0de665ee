#include "ui/help/TLogo2.h"

#include "ui/help/HelpStyle.h"
#include "ui/help/TSplash.h"

#include <QLabel>
#include <QPushButton>

TLogo2* Logo2 = nullptr;

TLogo2::TLogo2(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Logo2"));
}

void TLogo2::build() {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("About Tinyra"));
    setAccessibleName(QStringLiteral("About Tinyra"));
    setAccessibleDescription(QStringLiteral("Tinyra 4.2, the baby book for your computer"));
    setFixedSize(463, 414);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(0, 0, 465, 417);
    image->setPixmap(TSplash::picture());
    image->setAccessibleName(
        QStringLiteral("A stork flying through a blue, cloudy sky with two babies in a sling: Tinyra 4.2"));

    auto* ok = HelpStyle::greenButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->move(344, 346);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TLogo2::OKBtnClick);
}

void TLogo2::OKBtnClick() {
    accept();
}
