#include "ui/help/TSplash.h"

#include "ui/common/Artwork.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture()) {
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(463, 414);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

namespace {
// A soft cumulus cloud made of overlapping puffs, lit from above.
void drawCloud(QPainter& p, QPointF at, qreal scale) {
    const QList<QRectF> puffs = {QRectF(-60, -10, 60, 40), QRectF(-35, -32, 55, 55), QRectF(0, -40, 60, 60),
                                 QRectF(35, -22, 50, 45), QRectF(-50, 0, 130, 32)};
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 175, 215, 120)); // the shaded underside
    for (const QRectF& r : puffs)
        p.drawEllipse(r.translated(3, 6));
    for (const QRectF& r : puffs) {
        QRadialGradient g(r.center() - QPointF(0, r.height() / 4), r.width() * 0.7);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(232, 240, 252));
        p.setBrush(g);
        p.drawEllipse(r);
    }
    p.restore();
}

// A sleeping baby's face peeking out of the sling.
void drawBaby(QPainter& p, QPointF c, const QColor& hair, const QColor& bonnet) {
    p.save();
    p.setPen(QPen(QColor(0xb0, 0x7a, 0x5a), 1.2));
    p.setBrush(QColor(0xfb, 0xd9, 0xbd));
    p.drawEllipse(c, 17, 16);
    // bonnet or curl of hair
    p.setPen(Qt::NoPen);
    p.setBrush(bonnet);
    QPainterPath cap;
    cap.moveTo(c + QPointF(-18, 2));
    cap.cubicTo(c + QPointF(-20, -24), c + QPointF(20, -24), c + QPointF(18, 2));
    cap.cubicTo(c + QPointF(12, -10), c + QPointF(-12, -10), c + QPointF(-18, 2));
    p.drawPath(cap);
    p.setPen(QPen(hair, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath curl;
    curl.moveTo(c + QPointF(-2, -9));
    curl.cubicTo(c + QPointF(-4, -15), c + QPointF(4, -16), c + QPointF(3, -10));
    p.drawPath(curl);
    // closed eyes, cheeks and a smile
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x2a), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 9, c.y() - 2, 6, 5), 200 * 16, 140 * 16);
    p.drawArc(QRectF(c.x() + 3, c.y() - 2, 6, 5), 200 * 16, 140 * 16);
    p.drawArc(QRectF(c.x() - 4, c.y() + 3, 8, 6), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 130, 150, 110));
    p.drawEllipse(QRectF(c.x() - 13, c.y() + 2, 6, 4));
    p.drawEllipse(QRectF(c.x() + 7, c.y() + 2, 6, 4));
    p.restore();
}

void drawStork(QPainter& p) {
    const QColor black(0x1c, 0x1c, 0x22);
    const QColor orange(0xf0, 0x6a, 0x1a);
    const QColor white(0xfb, 0xfb, 0xf8);
    const QColor shade(0xd6, 0xdc, 0xe6);

    // Far wing, behind the body, in shadow.
    QPainterPath farWing;
    farWing.moveTo(235, 140);
    farWing.cubicTo(260, 110, 300, 80, 330, 62);
    farWing.lineTo(318, 84);
    farWing.lineTo(306, 94);
    farWing.lineTo(292, 106);
    farWing.cubicTo(280, 122, 262, 138, 250, 150);
    farWing.closeSubpath();
    p.setPen(QPen(QColor(0x60, 0x66, 0x70), 1.2));
    p.setBrush(QColor(0x3a, 0x3a, 0x44));
    p.drawPath(farWing);

    // Legs trailing behind, with feet.
    p.setPen(QPen(orange, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(165, 168), QPointF(88, 190));
    p.drawLine(QPointF(170, 172), QPointF(92, 200));
    p.setPen(QPen(orange, 3, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& foot : {QPointF(88, 190), QPointF(92, 200)}) {
        p.drawLine(foot, foot + QPointF(-12, -4));
        p.drawLine(foot, foot + QPointF(-12, 3));
    }

    // Tail feathers.
    QPainterPath tail;
    tail.moveTo(170, 150);
    tail.lineTo(132, 142);
    tail.lineTo(128, 152);
    tail.lineTo(134, 160);
    tail.lineTo(172, 166);
    tail.closeSubpath();
    p.setPen(QPen(QColor(0x90, 0x98, 0xa6), 1));
    p.setBrush(white);
    p.drawPath(tail);

    // Body.
    QLinearGradient bodyShade(0, 125, 0, 180);
    bodyShade.setColorAt(0, white);
    bodyShade.setColorAt(1, shade);
    QPainterPath body;
    body.moveTo(160, 152);
    body.cubicTo(175, 122, 250, 118, 285, 132);
    body.cubicTo(292, 138, 280, 160, 250, 170);
    body.cubicTo(215, 180, 170, 175, 160, 152);
    p.setPen(QPen(QColor(0x80, 0x88, 0x96), 1.3));
    p.setBrush(bodyShade);
    p.drawPath(body);

    // Neck stretched forward and the head.
    QPainterPath neck;
    neck.moveTo(270, 128);
    neck.cubicTo(295, 118, 315, 110, 335, 104);
    neck.lineTo(340, 118);
    neck.cubicTo(318, 126, 300, 138, 282, 150);
    neck.closeSubpath();
    p.setBrush(white);
    p.drawPath(neck);
    p.drawEllipse(QPointF(342, 108), 14, 12);

    // Long beak, slightly open at the tip where the sling's knot hangs.
    QPainterPath beak;
    beak.moveTo(352, 102);
    beak.lineTo(408, 122);
    beak.lineTo(404, 126);
    beak.lineTo(352, 116);
    beak.closeSubpath();
    p.setPen(QPen(QColor(0xa8, 0x3e, 0x10), 1.2));
    p.setBrush(orange);
    p.drawPath(beak);
    p.setPen(Qt::NoPen);
    p.setBrush(black);
    p.drawEllipse(QPointF(344, 105), 2.6, 2.6);
    p.setBrush(QColor(0xff, 0x5a, 0x40, 150)); // bare red skin round the eye
    p.drawEllipse(QPointF(344, 105), 5, 4);
    p.setBrush(black);
    p.drawEllipse(QPointF(344, 105), 2.4, 2.4);

    // Near wing raised high: white coverts and black flight feathers at the edge.
    QPainterPath coverts;
    coverts.moveTo(190, 138);
    coverts.cubicTo(190, 100, 200, 60, 215, 30);
    coverts.cubicTo(240, 55, 260, 100, 262, 132);
    coverts.closeSubpath();
    QPainterPath feathers;
    feathers.moveTo(215, 30);
    feathers.cubicTo(200, 20, 175, 12, 150, 14);
    for (int i = 0; i < 6; ++i) {
        const qreal x = 150 + i * 3;
        const qreal y = 14 + i * 20;
        feathers.lineTo(x - 6, y + 14);
        feathers.lineTo(x + 8, y + 20);
    }
    feathers.lineTo(190, 138);
    feathers.cubicTo(190, 100, 200, 60, 215, 30);
    p.setPen(QPen(QColor(0x10, 0x10, 0x14), 1));
    p.setBrush(black);
    p.drawPath(feathers);
    QLinearGradient wingShade(190, 30, 260, 130);
    wingShade.setColorAt(0, white);
    wingShade.setColorAt(1, shade);
    p.setPen(QPen(QColor(0x80, 0x88, 0x96), 1.3));
    p.setBrush(wingShade);
    p.drawPath(coverts);
    p.setPen(QPen(QColor(0xb8, 0xc0, 0xcc), 1));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(200 + i * 4, 130 - i * 22), QPointF(214 + i * 10, 126 - i * 20));
}

void drawSling(QPainter& p) {
    const QPointF knot(404, 125);
    const QPointF left(318, 222);
    const QPointF right(404, 218);
    // The two ends of the cloth, tied at the beak.
    p.setPen(QPen(QColor(0xc8, 0x6a, 0x8a), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(knot, left + QPointF(4, 0));
    p.drawLine(knot, right + QPointF(-2, 0));
    p.setPen(QPen(QColor(0x9a, 0x40, 0x62), 1));
    p.setBrush(QColor(0xf2, 0x9c, 0xb8));
    p.drawEllipse(knot + QPointF(0, 4), 7, 5);

    drawBaby(p, QPointF(343, 216), QColor(0x8a, 0x5a, 0x2a), QColor(0x9c, 0xc8, 0xff));
    drawBaby(p, QPointF(381, 213), QColor(0xd8, 0xa0, 0x40), QColor(0xff, 0xc0, 0xd6));

    // The sling itself, a soft pink cloth with little stars.
    QPainterPath cloth;
    cloth.moveTo(left);
    cloth.cubicTo(left + QPointF(6, 6), right + QPointF(-6, 6), right);
    cloth.cubicTo(right + QPointF(10, 30), right + QPointF(-10, 62), QPointF(362, 272));
    cloth.cubicTo(QPointF(330, 268), left + QPointF(-12, 30), left);
    QLinearGradient clothShade(0, 215, 0, 272);
    clothShade.setColorAt(0, QColor(0xff, 0xd0, 0xe0));
    clothShade.setColorAt(1, QColor(0xe8, 0x88, 0xaa));
    p.setPen(QPen(QColor(0x9a, 0x40, 0x62), 1.5));
    p.setBrush(clothShade);
    p.drawPath(cloth);
    p.setPen(QPen(QColor(0xff, 0xf4, 0xa0), 1.6));
    for (const QPointF& s : {QPointF(338, 240), QPointF(372, 248), QPointF(352, 258), QPointF(390, 232)}) {
        p.drawLine(s + QPointF(-3, 0), s + QPointF(3, 0));
        p.drawLine(s + QPointF(0, -3), s + QPointF(0, 3));
    }
}

void drawTitle(QPainter& p) {
    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(70);
    big.setBold(true);
    const QString name = QStringLiteral("Tinyra");
    const QList<QColor> colours = {QColor(0xe5, 0x39, 0x35), QColor(0xfb, 0x8c, 0x00),
                                   QColor(0xfd, 0xd8, 0x35), QColor(0x43, 0xa0, 0x47),
                                   QColor(0x1e, 0x88, 0xe5), QColor(0x8e, 0x24, 0xaa)};
    const QFontMetricsF fm(big);
    qreal x = 18;
    const qreal baseline = 362;
    for (int i = 0; i < name.size(); ++i) {
        QPainterPath letter;
        letter.addText(QPointF(x, baseline), big, name.mid(i, 1));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 60, 90));
        p.drawPath(letter.translated(3, 4)); // shadow
        p.setPen(QPen(QColor(0x1a, 0x23, 0x7e), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(colours[i % colours.size()]);
        p.drawPath(letter);
        x += fm.horizontalAdvance(name.mid(i, 1)) + 1;
    }
    QFont version = big;
    version.setPixelSize(50);
    QPainterPath number;
    number.addText(QPointF(x + 12, baseline), version, QStringLiteral("4.2"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 60, 90));
    p.drawPath(number.translated(3, 4));
    p.setPen(QPen(QColor(0x1a, 0x23, 0x7e), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawPath(number);

    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(15);
    small.setItalic(true);
    p.setFont(small);
    p.setPen(QColor(0x0d, 0x2a, 0x6e));
    p.drawText(QPointF(22, 394), QStringLiteral("The baby book for your computer"));
}
} // namespace

QPixmap TSplash::picture() {
    // Drawn once per run: the splash and the about box show the same picture.
    // Kept for the whole run and never destroyed: a pixmap must not outlive the application object.
    static const QPixmap* cached = new QPixmap(Artwork::drawnOnce(QStringLiteral("stork"), draw));
    return *cached;
}

QPixmap TSplash::draw() {
    QPixmap pm(463, 414);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, 414);
    sky.setColorAt(0, QColor(0x1f, 0x5f, 0xc4));
    sky.setColorAt(0.6, QColor(0x6a, 0xb0, 0xf2));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    p.fillRect(pm.rect(), sky);
    drawCloud(p, QPointF(395, 52), 0.9);
    drawCloud(p, QPointF(70, 262), 1.1);
    drawCloud(p, QPointF(250, 235), 0.7);
    drawCloud(p, QPointF(420, 300), 0.8);
    drawCloud(p, QPointF(95, 62), 0.55);
    drawStork(p);
    drawSling(p);
    drawTitle(p);
    p.end();
    return pm;
}

void TSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}
