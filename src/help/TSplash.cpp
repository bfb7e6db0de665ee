#include "help/TSplash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture()) {
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(463, 414);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QPixmap TSplash::picture() {
    QPixmap pm(463, 414);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 414);
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(1, QColor(0xa8, 0xd8, 0xff));
    p.fillRect(pm.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    for (const QRectF& cloud : {QRectF(40, 60, 140, 50), QRectF(90, 40, 100, 60), QRectF(290, 120, 150, 50),
                                QRectF(330, 100, 90, 55)})
        p.drawEllipse(cloud);
    QFont font(QStringLiteral("Liberation Sans"), 44, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(0xff, 0xd5, 0x4f));
    p.drawText(QRectF(0, 300, 463, 90), Qt::AlignCenter, QStringLiteral("Tinyra 4.2"));
    return pm;
}

void TSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}
