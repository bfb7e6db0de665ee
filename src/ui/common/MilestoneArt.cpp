#include "ui/common/MilestoneArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace MilestoneArt {
namespace {
QPixmap canvas(const QSize& size, const QColor& top, const QColor& bottom) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(pm.rect(), g);
    return pm;
}

void branch(QPainter& p, QPointF from, double angle, double length, double width, int depth) {
    if (depth == 0 || length < 4)
        return;
    const QPointF to(from.x() + length * qCos(angle), from.y() - length * qSin(angle));
    QPen pen(QColor(0x4a, 0x33, 0x22), width, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    QPainterPath path(from);
    const QPointF bend((from.x() + to.x()) / 2 + width * 0.6 * qSin(angle * 3), (from.y() + to.y()) / 2);
    path.quadTo(bend, to);
    p.drawPath(path);
    const double spread = 0.42 + 0.05 * (depth % 2);
    branch(p, to, angle + spread, length * 0.72, width * 0.66, depth - 1);
    branch(p, to, angle - spread, length * 0.72, width * 0.66, depth - 1);
}

void balloon(QPainter& p, QPointF c, double r, const QColor& color, QPointF knotTo) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawLine(QPointF(c.x(), c.y() + r * 1.2), knotTo);
    QRadialGradient g(c.x() - r / 3, c.y() - r / 3, r * 1.4);
    g.setColorAt(0, color.lighter(160));
    g.setColorAt(1, color);
    p.setBrush(g);
    p.setPen(QPen(color.darker(130), 1));
    p.drawEllipse(c, r, r * 1.2);
}

void roundedShape(QPainter& p, const QRectF& r, const QColor& fill, double radius = 6) {
    p.setBrush(fill);
    p.setPen(QPen(fill.darker(150), 2));
    p.drawRoundedRect(r, radius, radius);
}

void letters(QPainter& p, const QRectF& r, const QString& text, const QColor& color, double px) {
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(qMax(6, int(px)));
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}
} // namespace

QPixmap familyTree(const QSize& size) {
    QPixmap pm = canvas(size, QColor(0x8a, 0x8f, 0x3c), QColor(0x55, 0x5b, 0x1e));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    // a soft light behind the crown
    QRadialGradient glow(w / 2, h * 0.4, w * 0.55);
    glow.setColorAt(0, QColor(255, 250, 200, 90));
    glow.setColorAt(1, QColor(255, 250, 200, 0));
    p.fillRect(pm.rect(), glow);
    // ground
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0x42, 0x12));
    p.drawEllipse(QPointF(w / 2, h + 10), w * 0.6, 40);
    // trunk and branches
    const QPointF base(w / 2, h - 12);
    QPainterPath trunk;
    trunk.moveTo(base.x() - 22, base.y());
    trunk.cubicTo(base.x() - 12, h * 0.8, base.x() - 10, h * 0.7, base.x() - 8, h * 0.62);
    trunk.lineTo(base.x() + 8, h * 0.62);
    trunk.cubicTo(base.x() + 10, h * 0.7, base.x() + 12, h * 0.8, base.x() + 22, base.y());
    trunk.closeSubpath();
    p.setBrush(QColor(0x4a, 0x33, 0x22));
    p.drawPath(trunk);
    const QPointF fork(w / 2, h * 0.62);
    branch(p, fork, M_PI / 2 + 0.55, h * 0.2, 11, 6);
    branch(p, fork, M_PI / 2 - 0.55, h * 0.2, 11, 6);
    branch(p, fork, M_PI / 2, h * 0.16, 8, 5);
    return pm;
}

QPixmap birthday(int picture, const QSize& size) {
    const double w = size.width(), h = size.height();
    if (picture == 1) {
        QPixmap pm = canvas(size, QColor(0xff, 0xe0, 0xec), QColor(0xff, 0xf5, 0xd6));
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        // bunting
        for (int i = 0; i < 9; ++i) {
            const double x = w * (i + 0.5) / 9;
            QPolygonF flag{QPointF(x - w / 20, 8), QPointF(x + w / 20, 8), QPointF(x, 8 + h / 9)};
            static const QColor colors[] = {QColor(0xe9, 0x1e, 0x63), QColor(0x21, 0x96, 0xf3),
                                            QColor(0xff, 0xc1, 0x07), QColor(0x4c, 0xaf, 0x50)};
            p.setBrush(colors[i % 4]);
            p.setPen(Qt::NoPen);
            p.drawPolygon(flag);
        }
        // table
        p.setBrush(QColor(0xb3, 0xe5, 0xfc));
        p.drawRect(QRectF(0, h * 0.78, w, h * 0.22));
        // cake: two tiers
        const QRectF low(w * 0.25, h * 0.55, w * 0.5, h * 0.25);
        const QRectF high(w * 0.33, h * 0.38, w * 0.34, h * 0.18);
        roundedShape(p, low, QColor(0xf8, 0xbb, 0xd0), 8);
        roundedShape(p, high, QColor(0xff, 0xf9, 0xc4), 8);
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        for (double x = low.left() + 10; x < low.right() - 5; x += 14)
            p.drawPoint(QPointF(x, low.top() + 6));
        // candles
        for (int i = 0; i < 3; ++i) {
            const double x = high.left() + high.width() * (i + 1) / 4;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x90, 0xca, 0xf9));
            p.drawRect(QRectF(x - 3, high.top() - h * 0.12, 6, h * 0.12));
            QRadialGradient flame(x, high.top() - h * 0.15, 8);
            flame.setColorAt(0, QColor(255, 255, 200));
            flame.setColorAt(1, QColor(255, 152, 0, 0));
            p.setBrush(flame);
            p.drawEllipse(QPointF(x, high.top() - h * 0.15), 7, 10);
        }
        return pm;
    }
    QPixmap pm = canvas(size, QColor(0xe3, 0xf2, 0xfd), QColor(0xfc, 0xe4, 0xec));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF knot(w * 0.5, h * 0.72);
    balloon(p, QPointF(w * 0.3, h * 0.28), w * 0.12, QColor(0xe5, 0x39, 0x35), knot);
    balloon(p, QPointF(w * 0.55, h * 0.2), w * 0.12, QColor(0x1e, 0x88, 0xe5), knot);
    balloon(p, QPointF(w * 0.75, h * 0.34), w * 0.11, QColor(0xfd, 0xd8, 0x35), knot);
    // present
    const QRectF box(w * 0.3, h * 0.68, w * 0.4, h * 0.26);
    roundedShape(p, box, QColor(0x8e, 0x24, 0xaa), 3);
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(box.center().x() - 5, box.top(), 10, box.height()));
    p.drawRect(QRectF(box.left(), box.center().y() - 5, box.width(), 10));
    return pm;
}

QPixmap scene(const QString& theme, const QSize& size) {
    const double w = size.width(), h = size.height();
    const double s = qMin(w, h);
    QPixmap pm = canvas(size, QColor(0xe1, 0xf5, 0xfe), QColor(0xff, 0xfd, 0xe7));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(w / 2, h / 2);
    if (theme == QLatin1String("bath")) {
        for (int i = 0; i < 7; ++i) {
            p.setPen(QPen(QColor(0x81, 0xd4, 0xfa), 2));
            p.setBrush(QColor(255, 255, 255, 180));
            p.drawEllipse(QPointF(w * (0.2 + 0.1 * i), h * (0.25 + 0.07 * (i % 3))), s * 0.05, s * 0.05);
        }
        QPainterPath tub;
        tub.moveTo(w * 0.1, h * 0.5);
        tub.lineTo(w * 0.9, h * 0.5);
        tub.cubicTo(w * 0.9, h * 0.85, w * 0.75, h * 0.88, w * 0.5, h * 0.88);
        tub.cubicTo(w * 0.25, h * 0.88, w * 0.1, h * 0.85, w * 0.1, h * 0.5);
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(0x90, 0xa4, 0xae), 3));
        p.drawPath(tub);
        // duck
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xd6, 0x00));
        p.drawEllipse(QPointF(w * 0.62, h * 0.46), s * 0.13, s * 0.08);
        p.drawEllipse(QPointF(w * 0.7, h * 0.36), s * 0.07, s * 0.07);
        p.setBrush(QColor(0xff, 0x6f, 0x00));
        p.drawPolygon(QPolygonF{QPointF(w * 0.7 + s * 0.06, h * 0.36), QPointF(w * 0.7 + s * 0.13, h * 0.37),
                                QPointF(w * 0.7 + s * 0.06, h * 0.39)});
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(w * 0.715, h * 0.345), 2.5, 2.5);
    } else if (theme == QLatin1String("rattle")) {
        p.setPen(QPen(QColor(0x79, 0x55, 0x48), s * 0.06, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.4, h * 0.55), QPointF(w * 0.25, h * 0.85));
        QRadialGradient g(w * 0.5, h * 0.35, s * 0.3);
        g.setColorAt(0, QColor(0xff, 0xab, 0x91));
        g.setColorAt(1, QColor(0xf4, 0x51, 0x1e));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(w * 0.5, h * 0.38), s * 0.25, s * 0.25);
        p.setBrush(QColor(255, 255, 255, 200));
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(w * 0.5 + s * 0.14 * qCos(i * 1.26), h * 0.38 + s * 0.14 * qSin(i * 1.26)),
                          s * 0.03, s * 0.03);
    } else if (theme == QLatin1String("highchair")) {
        p.setPen(QPen(QColor(0x8d, 0x6e, 0x63), s * 0.04, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.35, h * 0.55), QPointF(w * 0.25, h * 0.95));
        p.drawLine(QPointF(w * 0.65, h * 0.55), QPointF(w * 0.75, h * 0.95));
        roundedShape(p, QRectF(w * 0.3, h * 0.15, w * 0.4, h * 0.42), QColor(0xff, 0xcc, 0x80), 10);
        roundedShape(p, QRectF(w * 0.2, h * 0.5, w * 0.6, h * 0.07), QColor(0xa1, 0x88, 0x7f), 3);
        // bowl and spoon
        p.setBrush(QColor(0x4f, 0xc3, 0xf7));
        p.setPen(Qt::NoPen);
        p.drawChord(QRectF(w * 0.38, h * 0.36, w * 0.24, h * 0.26), 0, -180 * 16);
        p.setPen(QPen(QColor(0x9e, 0x9e, 0x9e), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.62, h * 0.47), QPointF(w * 0.75, h * 0.32));
    } else if (theme == QLatin1String("swing") || theme == QLatin1String("slide")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9c, 0xcc, 0x65));
        p.drawRect(QRectF(0, h * 0.85, w, h * 0.15));
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), s * 0.06, Qt::SolidLine, Qt::RoundCap));
        if (theme == QLatin1String("swing")) {
            p.drawLine(QPointF(w * 0.15, h * 0.9), QPointF(w * 0.3, h * 0.1));
            p.drawLine(QPointF(w * 0.85, h * 0.9), QPointF(w * 0.7, h * 0.1));
            p.drawLine(QPointF(w * 0.28, h * 0.1), QPointF(w * 0.72, h * 0.1));
            p.setPen(QPen(QColor(0x61, 0x61, 0x61), 2));
            p.drawLine(QPointF(w * 0.43, h * 0.1), QPointF(w * 0.4, h * 0.68));
            p.drawLine(QPointF(w * 0.57, h * 0.1), QPointF(w * 0.6, h * 0.68));
            roundedShape(p, QRectF(w * 0.37, h * 0.66, w * 0.26, h * 0.06), QColor(0x19, 0x76, 0xd2), 3);
        } else {
            p.drawLine(QPointF(w * 0.2, h * 0.9), QPointF(w * 0.2, h * 0.2));
            p.setPen(QPen(QColor(0x19, 0x76, 0xd2), s * 0.08, Qt::SolidLine, Qt::RoundCap));
            QPainterPath slide(QPointF(w * 0.22, h * 0.22));
            slide.cubicTo(w * 0.5, h * 0.3, w * 0.6, h * 0.85, w * 0.9, h * 0.85);
            p.setBrush(Qt::NoBrush);
            p.drawPath(slide);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xeb, 0x3b));
        p.drawEllipse(QPointF(w * 0.88, h * 0.18), s * 0.1, s * 0.1);
    } else if (theme == QLatin1String("tricycle")) {
        p.setBrush(QColor(0x9c, 0xcc, 0x65));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(0, h * 0.85, w, h * 0.15));
        p.setPen(QPen(QColor(0x37, 0x47, 0x4f), s * 0.04));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(w * 0.3, h * 0.68), s * 0.17, s * 0.17);
        p.drawEllipse(QPointF(w * 0.75, h * 0.74), s * 0.11, s * 0.11);
        p.setPen(QPen(QColor(0xe5, 0x39, 0x35), s * 0.05, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.3, h * 0.68), QPointF(w * 0.4, h * 0.25));
        p.drawLine(QPointF(w * 0.3, h * 0.68), QPointF(w * 0.75, h * 0.74));
        p.drawLine(QPointF(w * 0.33, h * 0.25), QPointF(w * 0.48, h * 0.25));
        roundedShape(p, QRectF(w * 0.58, h * 0.45, w * 0.2, h * 0.06), QColor(0x42, 0x42, 0x42), 3);
        p.setPen(QPen(QColor(0xe5, 0x39, 0x35), s * 0.05, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.68, h * 0.5), QPointF(w * 0.75, h * 0.74));
    } else if (theme == QLatin1String("sandbox")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xe0, 0x82));
        p.drawRoundedRect(QRectF(w * 0.05, h * 0.55, w * 0.9, h * 0.38), 8, 8);
        p.setBrush(QColor(0xff, 0xb3, 0x00));
        p.drawChord(QRectF(w * 0.3, h * 0.45, w * 0.3, h * 0.3), 0, 180 * 16);
        roundedShape(p, QRectF(w * 0.7, h * 0.3, w * 0.12, h * 0.3), QColor(0x29, 0xb6, 0xf6), 4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xeb, 0x3b));
        p.drawEllipse(QPointF(w * 0.12, h * 0.2), s * 0.1, s * 0.1);
    } else if (theme == QLatin1String("ball")) {
        QRadialGradient g(c.x() - s * 0.1, c.y() - s * 0.1, s * 0.45);
        g.setColorAt(0, QColor(0xff, 0x8a, 0x80));
        g.setColorAt(1, QColor(0xd5, 0x00, 0x00));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, s * 0.38, s * 0.38);
        p.setPen(QPen(Qt::white, s * 0.05));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - s * 0.38, c.y() - s * 0.15, s * 0.76, s * 0.3), 0, -180 * 16);
    } else if (theme == QLatin1String("blocks") || theme == QLatin1String("abc")) {
        const QString t = theme == QLatin1String("abc") ? QStringLiteral("ABC") : QStringLiteral("123");
        const QColor colors[] = {QColor(0xef, 0x53, 0x50), QColor(0x42, 0xa5, 0xf5),
                                 QColor(0x66, 0xbb, 0x6a)};
        const double b = s * 0.36;
        const QPointF at[] = {QPointF(c.x() - b, c.y()), QPointF(c.x(), c.y()),
                              QPointF(c.x() - b / 2, c.y() - b)};
        for (int i = 0; i < 3; ++i) {
            const QRectF r(at[i].x(), at[i].y(), b, b);
            roundedShape(p, r, colors[i], 3);
            letters(p, r, t.mid(i, 1), Qt::white, b * 0.7);
        }
    } else if (theme == QLatin1String("cards")) {
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(c);
            p.rotate(-20 + 20 * i);
            roundedShape(p, QRectF(-s * 0.2, -s * 0.32, s * 0.4, s * 0.6), Qt::white, 4);
            letters(p, QRectF(-s * 0.2, -s * 0.32, s * 0.4, s * 0.6),
                    i == 1 ? QStringLiteral("\u2665") : QStringLiteral("\u2660"),
                    i == 1 ? QColor(Qt::red) : QColor(Qt::black), s * 0.3);
            p.restore();
        }
    } else if (theme == QLatin1String("dice")) {
        const QRectF r(c.x() - s * 0.32, c.y() - s * 0.32, s * 0.64, s * 0.64);
        roundedShape(p, r, Qt::white, 8);
        p.setBrush(QColor(0x21, 0x21, 0x21));
        p.setPen(Qt::NoPen);
        for (const QPointF d : {r.center(), r.topLeft() + QPointF(r.width() * 0.25, r.height() * 0.25),
                                r.bottomRight() - QPointF(r.width() * 0.25, r.height() * 0.25)})
            p.drawEllipse(d, s * 0.06, s * 0.06);
    } else if (theme == QLatin1String("kite")) {
        QPolygonF kite{QPointF(c.x(), h * 0.08), QPointF(c.x() + s * 0.28, c.y() - s * 0.05),
                       QPointF(c.x(), h * 0.78), QPointF(c.x() - s * 0.28, c.y() - s * 0.05)};
        p.setBrush(QColor(0xab, 0x47, 0xbc));
        p.setPen(QPen(QColor(0x4a, 0x14, 0x8c), 2));
        p.drawPolygon(kite);
        p.drawLine(kite.at(0), kite.at(2));
        p.drawLine(kite.at(1), kite.at(3));
        p.setPen(QPen(QColor(0x4a, 0x14, 0x8c), 1));
        p.drawLine(kite.at(2), QPointF(c.x() + s * 0.2, h * 0.98));
    } else if (theme == QLatin1String("puzzle")) {
        roundedShape(p, QRectF(c.x() - s * 0.3, c.y() - s * 0.3, s * 0.6, s * 0.6), QColor(0xff, 0xa7, 0x26),
                     4);
        p.setBrush(QColor(0xff, 0xa7, 0x26));
        p.drawEllipse(QPointF(c.x() + s * 0.3, c.y()), s * 0.1, s * 0.1);
        p.setBrush(QColor(0xe1, 0xf5, 0xfe));
        p.drawEllipse(QPointF(c.x(), c.y() - s * 0.3), s * 0.1, s * 0.1);
    } else if (theme == QLatin1String("peekaboo")) {
        p.setBrush(QColor(0xff, 0xe0, 0xb2));
        p.setPen(QPen(QColor(0xd7, 0xa8, 0x6e), 2));
        p.drawEllipse(c, s * 0.36, s * 0.36);
        p.setBrush(QColor(0xff, 0xcc, 0x80));
        p.drawRoundedRect(QRectF(c.x() - s * 0.3, c.y() - s * 0.2, s * 0.25, s * 0.18), 6, 6);
        p.drawRoundedRect(QRectF(c.x() + s * 0.05, c.y() - s * 0.2, s * 0.25, s * 0.18), 6, 6);
        p.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - s * 0.15, c.y(), s * 0.3, s * 0.2), 200 * 16, 140 * 16);
    } else if (theme == QLatin1String("book")) {
        roundedShape(p, QRectF(c.x() - s * 0.38, c.y() - s * 0.28, s * 0.37, s * 0.56),
                     QColor(0x42, 0xa5, 0xf5), 3);
        roundedShape(p, QRectF(c.x() + s * 0.01, c.y() - s * 0.28, s * 0.37, s * 0.56),
                     QColor(0x42, 0xa5, 0xf5), 3);
        p.setPen(QPen(Qt::white, 2));
        for (int i = 0; i < 4; ++i) {
            const double y = c.y() - s * 0.15 + i * s * 0.09;
            p.drawLine(QPointF(c.x() - s * 0.3, y), QPointF(c.x() - s * 0.08, y));
            p.drawLine(QPointF(c.x() + s * 0.08, y), QPointF(c.x() + s * 0.3, y));
        }
    } else if (theme == QLatin1String("pencil")) {
        p.save();
        p.translate(c);
        p.rotate(-35);
        roundedShape(p, QRectF(-s * 0.35, -s * 0.08, s * 0.55, s * 0.16), QColor(0xff, 0xca, 0x28), 2);
        p.setBrush(QColor(0xff, 0xe0, 0xb2));
        p.drawPolygon(
            QPolygonF{QPointF(s * 0.2, -s * 0.08), QPointF(s * 0.38, 0), QPointF(s * 0.2, s * 0.08)});
        p.restore();
    } else if (theme == QLatin1String("house")) {
        roundedShape(p, QRectF(c.x() - s * 0.28, c.y() - s * 0.05, s * 0.56, s * 0.38),
                     QColor(0xff, 0xf1, 0x76), 2);
        p.setBrush(QColor(0xe5, 0x39, 0x35));
        p.drawPolygon(QPolygonF{QPointF(c.x() - s * 0.38, c.y() - s * 0.03), QPointF(c.x(), c.y() - s * 0.4),
                                QPointF(c.x() + s * 0.38, c.y() - s * 0.03)});
        roundedShape(p, QRectF(c.x() - s * 0.07, c.y() + s * 0.12, s * 0.14, s * 0.21),
                     QColor(0x8d, 0x6e, 0x63), 2);
    } else if (theme == QLatin1String("phone")) {
        roundedShape(p, QRectF(c.x() - s * 0.22, c.y() - s * 0.36, s * 0.44, s * 0.72),
                     QColor(0x26, 0xa6, 0x9a), 8);
        roundedShape(p, QRectF(c.x() - s * 0.17, c.y() - s * 0.28, s * 0.34, s * 0.22),
                     QColor(0xe0, 0xf2, 0xf1), 3);
        for (int i = 0; i < 9; ++i)
            roundedShape(p,
                         QRectF(c.x() - s * 0.16 + (i % 3) * s * 0.115, c.y() - s * 0.02 + (i / 3) * s * 0.11,
                                s * 0.08, s * 0.07),
                         Qt::white, 2);
    }
    return pm;
}

// ---- The family tree with its names --------------------------------------------------------------

QSize familyTreeSize() {
    return QSize(498, 337);
}

QRect familyNameRect(int slot) {
    // Parents over two columns each, then one row per generation; the great grandmothers' names start
    // at the left of their column, clear of the branch.
    const int colW = familyTreeSize().width() / 4;
    static const int tops[] = {48, 120, 200, 262};
    int row = 0, column = 0, span = 1;
    if (slot <= 2) {
        column = (slot - 1) * 2;
        span = 2;
    } else {
        row = 1 + (slot - 3) / 4;
        column = (slot - 3) % 4;
    }
    const bool greatGrandma = slot >= 7 && slot <= 10;
    const int inset = greatGrandma ? 10 : 2;
    return QRect(column * colW + inset, tops[row], span * colW - inset - 2, slot <= 2 ? 44 : 36);
}

QColor familyNameColor(int slot) {
    return slot <= 2 ? QColor(Qt::white) : slot <= 6 ? QColor(Qt::yellow) : QColor(0, 0xff, 0);
}

int familyNamePixels(int slot) {
    return slot <= 2 ? 19 : 13;
}

void paintFamilyTree(QPainter& p, const QRectF& target, const QString& child, const QStringList& names) {
    const QSize size = familyTreeSize();
    p.save();
    // The picture at three times its screen size, so it prints sharp.
    p.drawPixmap(target, familyTree(size * 3), QRectF(0, 0, size.width() * 3, size.height() * 3));
    p.translate(target.topLeft());
    p.scale(target.width() / size.width(), target.height() / size.height());
    p.setRenderHint(QPainter::Antialiasing);
    auto shadowed = [&p](const QRectF& r, int flags, const QFont& f, const QColor& color,
                         const QString& text) {
        p.setFont(f);
        p.setPen(QColor(0, 0, 0, 200));
        p.drawText(r.translated(1, 1), flags | Qt::TextWordWrap, text);
        p.setPen(color);
        p.drawText(r, flags | Qt::TextWordWrap, text);
    };
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(24);
    nameFont.setBold(true);
    shadowed(QRectF(0, 4, size.width(), 30), Qt::AlignCenter, nameFont, QColor(0x40, 0x60, 0xff), child);
    for (int slot = 1; slot <= 14; ++slot) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(familyNamePixels(slot));
        f.setBold(true);
        const bool greatGrandma = slot >= 7 && slot <= 10;
        shadowed(familyNameRect(slot), (greatGrandma ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                 f, familyNameColor(slot), names.value(slot - 1));
    }
    p.restore();
}

// ---- The teeth -----------------------------------------------------------------------------------

namespace {
const QPoint kToothPlaces[20] = {{107, 23},  {147, 23},  {67, 31},   {187, 31},  {51, 63},
                                 {203, 63},  {35, 95},   {219, 95},  {27, 127},  {227, 127},
                                 {27, 175},  {227, 175}, {35, 207},  {219, 207}, {51, 239},
                                 {203, 239}, {67, 271},  {187, 271}, {107, 287}, {147, 287}};
} // namespace

void paintGums(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xf8, 0xbb, 0xd0), 22, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath upper(QPointF(42, 150));
    upper.cubicTo(30, 20, 254, 20, 242, 150);
    QPainterPath lower(QPointF(42, 178));
    lower.cubicTo(30, 318, 254, 318, 242, 178);
    p.drawPath(upper);
    p.drawPath(lower);
    p.restore();
}

QPoint toothPlace(int slot) {
    return kToothPlaces[slot - 1];
}

QSize toothSize() {
    return QSize(30, 26);
}

QSize teethChartSize() {
    return QSize(284, 326);
}

void paintTeethChart(QPainter& p, const QRectF& target, const QVector<bool>& dated) {
    const QSize size = teethChartSize();
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / size.width(), target.height() / size.height());
    paintGums(p);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(19);
    f.setBold(true);
    p.setFont(f);
    for (int slot = 1; slot <= 20; ++slot) {
        const QRectF r(toothPlace(slot), toothSize());
        const bool filled = dated.value(slot - 1);
        p.setPen(QPen(filled ? QColor(0x1b, 0x5e, 0x20) : QColor(0x9e, 0x9e, 0x9e), 1));
        p.setBrush(filled ? QColor(0x2e, 0x7d, 0x32) : QColor(Qt::white));
        p.drawRoundedRect(r, 9, 9);
        p.setPen(filled ? QColor(Qt::white) : QColor(0, 0, 0xff));
        p.drawText(r, Qt::AlignCenter, QString::number(slot));
    }
    QFont label(QStringLiteral("Arial"));
    label.setPixelSize(16);
    label.setBold(true);
    p.setFont(label);
    p.setPen(QColor(0, 0, 0xff));
    p.drawText(QRectF(62, 90, 160, 24), Qt::AlignCenter, QStringLiteral("Top Teeth"));
    p.drawText(QRectF(62, 222, 160, 24), Qt::AlignCenter, QStringLiteral("Bottom Teeth"));
    p.restore();
}
} // namespace MilestoneArt
