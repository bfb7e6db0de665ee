#include "ui/common/Artwork.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>

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

QIcon glyph(const QString& name, const QColor& color, int size) {
    QFile file(QStringLiteral(":/assets/third_party/tabler/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    QByteArray svg = file.readAll();
    svg.replace("currentColor", color.name().toLatin1());
    QSvgRenderer renderer(svg);
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p);
    return QIcon(pm);
}
} // namespace Artwork
