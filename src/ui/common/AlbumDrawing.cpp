#include "ui/common/AlbumDrawing.h"

#include "ui/common/GrowthChartPainter.h"
#include "ui/common/PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace {
// The pixels alone, as a JPEG: the image is wrapped afresh so that no text or colour data the
// reader kept from the camera's file goes along.
QByteArray bareJpeg(const QImage& image, int quality) {
    const QImage rgb =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const QImage bare(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), rgb.format());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(bare) ? bytes : QByteArray();
}
} // namespace

bool AlbumDrawing::picture(const QString& path, int side, int smallSide, QByteArray* large,
                           QByteArray* small) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QImage image = PictureFile::read(&file, QSize(side, side));
    if (image.isNull())
        return false;
    // A transparent picture is laid on white, as a page shows it.
    QImage flat = image;
    if (image.hasAlphaChannel()) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    *large = bareJpeg(flat, 85);
    *small = bareJpeg(flat.scaled(QSize(smallSide, smallSide).boundedTo(flat.size()), Qt::KeepAspectRatio,
                                  Qt::SmoothTransformation),
                      80);
    return !large->isEmpty() && !small->isEmpty();
}

QByteArray AlbumDrawing::growthChart(const GrowthPlot::Plot& plot, GrowthReference::Measure measure,
                                     GrowthUnits::System units, int width, int height) const {
    const QSize size(width, height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    GrowthChartPainter chart(plot, measure, units, font);
    svg.setTitle(chart.title());
    svg.setDescription(QStringLiteral("Drawn by Tinyra"));
    QPainter p(&svg);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    chart.paint(p, QRectF(QPointF(0, 0), size));
    p.end();
    return bytes;
}
