#include "ui/help/TLogo2.h"

#include "ui/help/HelpStyle.h"
#include "ui/help/TSplash.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

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

    auto* ok = HelpStyle::closingButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->move(344, 346);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TLogo2::OKBtnClick);

    // The credits: the notices file installed beside the licence, compiled in.
    m_credits = new QTextBrowser(this);
    m_credits->setObjectName(QStringLiteral("Credits"));
    m_credits->setGeometry(12, 50, 439, 288);
    m_credits->setAccessibleName(QStringLiteral("Credits"));
    m_credits->setFont(HelpStyle::font(QStringLiteral("DejaVu Sans Mono"), 11));
    QFile notices(QStringLiteral(":/doc/NOTICES"));
    if (notices.open(QIODevice::ReadOnly))
        m_credits->setPlainText(QString::fromUtf8(notices.readAll()));
    m_credits->hide();

    m_creditsButton = HelpStyle::closingButton(QStringLiteral("CreditsBtn"), QStringLiteral("Credits"), this);
    // In the sky at the top left, clear of the stork and of the name and version along the bottom.
    m_creditsButton->move(12, 12);
    connect(m_creditsButton, &QPushButton::clicked, this, &TLogo2::CreditsBtnClick);
    setTabOrder(ok, m_creditsButton);
    setTabOrder(m_creditsButton, m_credits);
}

void TLogo2::FormActivate() {
    showCredits(false);
}

void TLogo2::showCredits(bool shown) {
    m_credits->setVisible(shown);
    m_creditsButton->setText(shown ? QStringLiteral("Picture") : QStringLiteral("Credits"));
    m_creditsButton->setAccessibleName(shown ? QStringLiteral("Back to the picture")
                                             : QStringLiteral("Credits"));
}

void TLogo2::CreditsBtnClick() {
    showCredits(!m_credits->isVisible());
}

void TLogo2::OKBtnClick() {
    accept();
}
