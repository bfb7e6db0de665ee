#include "ui/common/Artwork.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgRenderer>

namespace {
void star(QPainter& p, QPointF c, qreal r) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal a = M_PI / 2 + i * M_PI / 5;
        const qreal rr = (i % 2) ? r * 0.45 : r;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() - rr * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.drawPath(path);
}
// A glyph drawn from its outlines at whatever size and pixel ratio it is shown: crisp at any scaling,
// never stretched out of its square. Disabled, it is drawn in grey.
class GlyphEngine : public QIconEngine {
public:
    GlyphEngine(QByteArray svg, const QColor& color) : m_svg(std::move(svg)), m_color(color) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QSvgRenderer renderer(coloured(mode));
        const int side = qMin(rect.width(), rect.height());
        QRect square(0, 0, side, side);
        square.moveCenter(rect.center());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        renderer.render(painter, square);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap pm(size * scale);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, pm.rect(), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }
    QIconEngine* clone() const override { return new GlyphEngine(m_svg, m_color); }

private:
    QByteArray coloured(QIcon::Mode mode) const {
        QByteArray svg = m_svg;
        const QColor c = mode == QIcon::Disabled ? QColor(0x9e, 0x9e, 0x9e) : m_color;
        svg.replace("currentColor", c.name().toLatin1());
        return svg;
    }
    QByteArray m_svg;
    QColor m_color;
};
} // namespace

namespace Artwork {
QPixmap drawnOnce(const QString& name, const std::function<QPixmap()>& draw) {
    // The program file's time stamp and size stand for its build: a rebuilt program draws afresh.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/tinyra");
    const QString file = QStringLiteral("%1/%2-%3-%4.pixels")
                             .arg(dir, name)
                             .arg(program.lastModified().toMSecsSinceEpoch())
                             .arg(program.size());
    // The pixels as they are in memory, after their width and height: nothing to decode. They are
    // read straight into the picture, which becomes the pixmap without another copy.
    QFile in(file);
    qint32 size[2] = {0, 0};
    if (in.open(QIODevice::ReadOnly) &&
        in.read(reinterpret_cast<char*>(size), sizeof size) == qint64(sizeof size) && size[0] > 0 &&
        size[1] > 0 && size[0] <= 4096 && size[1] <= 4096) {
        QImage kept(size[0], size[1], QImage::Format_RGB32);
        if (!kept.isNull() && in.size() == qint64(sizeof size) + kept.sizeInBytes() &&
            in.read(reinterpret_cast<char*>(kept.bits()), kept.sizeInBytes()) == kept.sizeInBytes())
            return QPixmap::fromImage(std::move(kept));
    }
    const QPixmap drawn = draw();
    if (QDir().mkpath(dir)) {
        // Pictures of earlier builds are of no further use.
        for (const QString& old : QDir(dir).entryList({name + QStringLiteral("-*")}, QDir::Files))
            QFile::remove(dir + QLatin1Char('/') + old);
        const QImage image = drawn.toImage().convertToFormat(QImage::Format_RGB32);
        const qint32 dimensions[2] = {image.width(), image.height()};
        QSaveFile out(file); // written whole or not at all
        if (out.open(QIODevice::WriteOnly) &&
            out.write(reinterpret_cast<const char*>(dimensions), sizeof dimensions) ==
                qint64(sizeof dimensions) &&
            out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) ==
                image.sizeInBytes())
            out.commit();
    }
    return drawn;
}

QPixmap mainPicture() {
    return drawnOnce(QStringLiteral("nursery"), drawMainPicture);
}

QPixmap drawMainPicture() {
    const QSize size(669, 561);
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // Evening sky seen through the nursery window.
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x1f, 0x2f, 0x6b));
    sky.setColorAt(0.6, QColor(0x6f, 0x8f, 0xd8));
    sky.setColorAt(1, QColor(0xf6, 0xc9, 0xd8));
    p.fillRect(pm.rect(), sky);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 190));
    const QPointF stars[] = {{60, 50},   {140, 110}, {230, 40}, {330, 90},  {430, 35},
                             {470, 150}, {610, 60},  {90, 190}, {600, 200}, {380, 170}};
    for (const QPointF& s : stars)
        star(p, s, 9);

    // The moon.
    QRadialGradient glow(QPointF(540, 90), 80);
    glow.setColorAt(0, QColor(255, 250, 215, 200));
    glow.setColorAt(1, QColor(255, 250, 215, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(540, 90), 80, 80);
    // A crescent: the full disc less a smaller one set off towards the upper right.
    QPainterPath disc, bite;
    disc.addEllipse(QPointF(540, 90), 38, 38);
    bite.addEllipse(QPointF(556, 80), 32, 32);
    p.setBrush(QColor(255, 248, 205));
    p.drawPath(disc.subtracted(bite));

    // Soft hills.
    p.setBrush(QColor(0xb8, 0xe0, 0xc0));
    p.drawEllipse(QRectF(-120, 400, 520, 300));
    p.setBrush(QColor(0xa0, 0xd4, 0xb0));
    p.drawEllipse(QRectF(260, 420, 560, 300));

    // A crib.
    const QColor wood(0xf3, 0xe2, 0xc7);
    p.setBrush(wood);
    p.setPen(QPen(QColor(0x9c, 0x6b, 0x3f), 3));
    p.drawRoundedRect(QRectF(200, 330, 270, 26), 8, 8);
    p.drawRoundedRect(QRectF(200, 440, 270, 22), 8, 8);
    p.drawRoundedRect(QRectF(186, 300, 22, 200), 8, 8);
    p.drawRoundedRect(QRectF(462, 300, 22, 200), 8, 8);
    for (int x = 232; x < 460; x += 28)
        p.drawLine(QPointF(x, 356), QPointF(x, 440));
    // A blanket with a heart.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf7, 0x9a, 0xb8));
    p.drawRoundedRect(QRectF(222, 392, 226, 46), 12, 12);
    QPainterPath heart;
    heart.moveTo(335, 430);
    heart.cubicTo(300, 405, 318, 390, 335, 405);
    heart.cubicTo(352, 390, 370, 405, 335, 430);
    p.setBrush(Qt::white);
    p.drawPath(heart);

    // A mobile over the crib.
    p.setPen(QPen(QColor(0x55, 0x44, 0x33), 2));
    p.drawLine(QPointF(335, 200), QPointF(335, 240));
    p.drawLine(QPointF(265, 240), QPointF(405, 240));
    const QColor toys[] = {QColor(0xff, 0xd1, 0x66), QColor(0x7e, 0xd3, 0xf7), QColor(0xff, 0x9e, 0x9e)};
    for (int i = 0; i < 3; ++i) {
        const qreal x = 265 + i * 70;
        p.setPen(QPen(QColor(0x55, 0x44, 0x33), 1.5));
        p.drawLine(QPointF(x, 240), QPointF(x, 275));
        p.setPen(Qt::NoPen);
        p.setBrush(toys[i]);
        star(p, QPointF(x, 290), 15);
    }

    // The name.
    QFont font(QStringLiteral("Liberation Serif"), 40, QFont::Bold, true);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 235));
    p.drawText(QRectF(0, 500, size.width(), 56), Qt::AlignCenter, QStringLiteral("Tinyra"));
    return pm;
}

namespace {
// A square picture drawn on a 200 x 200 canvas, scaled to `side` units at `ratio`, kept per size
// and ratio for the run (the forms show it again at every showing).
QPixmap squarePicture(const char* name, int side, qreal ratio, void (*draw)(QPainter&)) {
    static auto* kept = new QHash<QString, QPixmap>;
    const QString key = QStringLiteral("%1-%2-%3").arg(QLatin1String(name)).arg(side).arg(ratio);
    auto it = kept->find(key);
    if (it != kept->end())
        return *it;
    QPixmap pm(QSize(side, side) * ratio);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side * ratio / 200.0, side * ratio / 200.0);
        draw(p);
    }
    pm.setDevicePixelRatio(ratio);
    return *kept->insert(key, pm);
}

void softGround(QPainter& p, const QColor& inner, const QColor& outer) {
    QRadialGradient ground(QPointF(100, 90), 110);
    ground.setColorAt(0, inner);
    ground.setColorAt(1, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawEllipse(QRectF(6, 6, 188, 188));
}

void heartAt(QPainter& p, QPointF c, qreal r, const QColor& colour) {
    QPainterPath heart;
    heart.moveTo(c.x(), c.y() + r);
    heart.cubicTo(c.x() - 1.6 * r, c.y() - 0.2 * r, c.x() - 0.7 * r, c.y() - 1.3 * r, c.x(), c.y() - 0.4 * r);
    heart.cubicTo(c.x() + 0.7 * r, c.y() - 1.3 * r, c.x() + 1.6 * r, c.y() - 0.2 * r, c.x(), c.y() + r);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(heart);
}

void drawDoctor(QPainter& p) {
    softGround(p, QColor(0xe6, 0xf2, 0xfb), QColor(0xc4, 0xdc, 0xf2));
    // A heart the stethoscope listens to.
    heartAt(p, QPointF(128, 128), 26, QColor(0xf7, 0x9a, 0xb8));
    // The tube: from the two ear pieces down to a bow, then round to the chest piece.
    const QColor tube(0x4a, 0x6f, 0xa5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(tube, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath bow;
    bow.moveTo(58, 38);
    bow.cubicTo(50, 90, 70, 112, 86, 112);
    bow.cubicTo(102, 112, 122, 90, 114, 38);
    p.drawPath(bow);
    QPainterPath lead;
    lead.moveTo(86, 112);
    lead.cubicTo(86, 160, 50, 170, 48, 140);
    lead.cubicTo(46, 124, 56, 118, 64, 124);
    p.drawPath(lead);
    // Ear tips.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xb8, 0xde));
    p.drawEllipse(QPointF(58, 36), 8, 8);
    p.drawEllipse(QPointF(114, 36), 8, 8);
    // The chest piece, bright metal with a soft rim.
    p.setBrush(QColor(0xd8, 0xe0, 0xea));
    p.setPen(QPen(tube, 4));
    p.drawEllipse(QPointF(68, 132), 17, 17);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf7, 0xfb));
    p.drawEllipse(QPointF(65, 128), 7, 7);
    // Two small stars of good health.
    p.setBrush(QColor(0xff, 0xd1, 0x66));
    star(p, QPointF(150, 54), 11);
    star(p, QPointF(168, 86), 7);
}

void drawGrowth(QPainter& p) {
    softGround(p, QColor(0xee, 0xf8, 0xee), QColor(0xc8, 0xe8, 0xcc));
    // The growth ruler on the wall, with its marks.
    const QColor wood(0xf3, 0xe2, 0xc7), line(0x9c, 0x6b, 0x3f);
    p.setPen(QPen(line, 3));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(120, 28, 34, 150), 6, 6);
    for (int i = 0; i < 13; ++i) {
        const qreal y = 40 + i * 11;
        p.setPen(QPen(line, i % 2 ? 1.5 : 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(120, y), QPointF(i % 2 ? 130 : 138, y));
    }
    // A child standing beside it, a mark at the top of the head.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7e, 0xb6, 0xe8));
    p.drawRoundedRect(QRectF(62, 100, 44, 52), 16, 16); // body
    p.setBrush(QColor(0x5c, 0x8f, 0xc4));
    p.drawRoundedRect(QRectF(66, 144, 15, 34), 7, 7); // legs
    p.drawRoundedRect(QRectF(87, 144, 15, 34), 7, 7);
    p.setBrush(QColor(0xf6, 0xd5, 0xb8));
    p.drawEllipse(QPointF(84, 78), 24, 24); // head
    p.setBrush(QColor(0x8a, 0x5a, 0x3c));
    p.drawChord(QRectF(60, 54, 48, 40), 20 * 16, 140 * 16); // hair
    p.setBrush(QColor(0x55, 0x44, 0x33));
    p.drawEllipse(QPointF(76, 82), 2.6, 2.6);
    p.drawEllipse(QPointF(92, 82), 2.6, 2.6);
    p.setBrush(QColor(0xf7, 0x9a, 0xb8));
    p.drawEllipse(QPointF(70, 90), 4, 3);
    p.drawEllipse(QPointF(98, 90), 4, 3);
    p.setPen(QPen(QColor(0xe0, 0x40, 0x60), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(84, 52), QPointF(148, 52));
    // A star for every mark reached.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd1, 0x66));
    star(p, QPointF(168, 44), 12);
    star(p, QPointF(40, 60), 8);
}
} // namespace

QPixmap doctorPicture(int side, qreal ratio) {
    return squarePicture("doctor", side, ratio, drawDoctor);
}

QPixmap growthPicture(int side, qreal ratio) {
    return squarePicture("growth", side, ratio, drawGrowth);
}

QIcon glyph(const QString& name, const QColor& color) {
    QFile file(QStringLiteral(":/assets/third_party/tabler/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    return QIcon(new GlyphEngine(file.readAll(), color));
}

QPixmap glyphPicture(const QString& name, const QColor& color, int size, const QWidget* shownOn) {
    const qreal ratio = shownOn ? shownOn->devicePixelRatioF() : qGuiApp->devicePixelRatio();
    return glyph(name, color).pixmap(QSize(size, size), ratio);
}
} // namespace Artwork
