// The growth chart as drawn: the centile band, its five labels at the right edge, and every one of
// the child's points inside the plot, for the screen and for paper alike (one painter).
#include "core/diaries/GrowthPlot.h"
#include "ui/common/GrowthChartPainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {
const QColor kGirlBand(0xf7, 0xd9, 0xe6);
const QColor kGirlCurve(0xb8, 0x4a, 0x7c);
const QColor kPoint(0xf0, 0x8a, 0x3c);

bool near(QRgb a, const QColor& b, int tolerance = 6) {
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

GrowthPlot::Plot girlWithExtremes(GrowthPlot::Sex sex) {
    // Birth day, a weight far above the top line, one far below, and the last at nearly three years.
    const QVector<GrowthType> records{{"01-01-24", "19", "7", "4"},  {"03-01-24", "22", "9", "0"},
                                      {"07-01-24", "26", "30", "0"}, {"10-01-24", "28", "9", "0"},
                                      {"01-01-25", "30", "20", ""},  {"12-01-26", "37", "31", "0"}};
    return GrowthPlot::make(records, QDate(2024, 1, 1), sex, 0, QDate(2026, 12, 8));
}

struct Drawn {
    QImage image;
    QRectF plot;
    QVector<QPointF> points;
    QStringList labels;
};

// Drawn at `ratio` device pixels to a point, as on a scaled screen.
Drawn draw(const GrowthPlot::Plot& plot, GrowthReference::Measure measure, GrowthUnits::System units,
           double ratio = 1) {
    Drawn d;
    d.image = QImage(QSize(820, 460) * ratio, QImage::Format_RGB32);
    d.image.setDevicePixelRatio(ratio);
    d.image.fill(Qt::white);
    QPainter p(&d.image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    GrowthChartPainter chart(plot, measure, units, font);
    chart.paint(p, QRectF(10, 10, 800, 440));
    p.end();
    d.plot = chart.plotArea();
    for (int i = 0; i < plot.points(measure).size(); ++i)
        d.points << chart.position(i);
    d.labels = chart.labels();
    return d;
}
} // namespace

class GrowthChartTest : public QObject {
    Q_OBJECT
private slots:
    void bandLabelsAndEveryPointAreDrawn();
};

void GrowthChartTest::bandLabelsAndEveryPointAreDrawn() {
    for (GrowthUnits::System units : {GrowthUnits::System::Metric, GrowthUnits::System::Imperial}) {
        const GrowthPlot::Plot plot = girlWithExtremes(GrowthPlot::Sex::Girl);
        QCOMPARE(plot.weight.size(), 6);
        const Drawn d = draw(plot, GrowthReference::Measure::Weight, units);
        // On a screen scaled by half again, every point is painted where it lies too.
        const Drawn scaled = draw(plot, GrowthReference::Measure::Weight, units, 1.5);
        for (const QPointF& pt : scaled.points)
            QVERIFY(near(scaled.image.pixel((pt * 1.5).toPoint()), kPoint, 40));
        // The band fills a good part of the plot.
        int band = 0, total = 0;
        for (int y = int(d.plot.top()) + 1; y < int(d.plot.bottom()); y += 2)
            for (int x = int(d.plot.left()) + 1; x < int(d.plot.right()); x += 2, ++total)
                band += near(d.image.pixel(x, y), kGirlBand) ? 1 : 0;
        QVERIFY2(band > total / 10, qPrintable(QString::number(band) + " of " + QString::number(total)));
        // Five labels in the curve's colour right of the plot, one above the other.
        QCOMPARE(d.labels, (QStringList{"3rd", "15th", "50th", "85th", "97th"}));
        int runs = 0;
        bool inRun = false;
        for (int y = int(d.plot.top()) - 8; y < int(d.plot.bottom()) + 8; ++y) {
            bool ink = false;
            for (int x = int(d.plot.right()) + 2; x < d.image.width() && !ink; ++x)
                ink = near(d.image.pixel(x, y), kGirlCurve, 60) &&
                      qRed(d.image.pixel(x, y)) > qGreen(d.image.pixel(x, y)) + 40;
            if (ink && !inRun)
                ++runs;
            inRun = ink;
        }
        QCOMPARE(runs, 5);
        // Every point, the heaviest and the lightest too, lies inside the plot and is painted there.
        QCOMPARE(d.points.size(), 6);
        for (const QPointF& pt : d.points) {
            QVERIFY2(d.plot.adjusted(3, 3, -3, -3).contains(pt),
                     qPrintable(QString("%1,%2").arg(pt.x()).arg(pt.y())));
            QVERIFY(near(d.image.pixel(pt.toPoint()), kPoint, 40));
        }
        // The age axis is true time: equal ages, equal distances.
        const double perYear =
            (d.points[4].x() - d.points[0].x()) / (plot.weight[4].age - plot.weight[0].age);
        QVERIFY(qAbs((d.points[1].x() - d.points[0].x()) - perYear * plot.weight[1].age) < 0.5);
        QVERIFY(qAbs((d.points[5].x() - d.points[0].x()) - perYear * plot.weight[5].age) < 0.5);
    }
    // Without a sex no curve is drawn, only the points.
    const Drawn bare = draw(girlWithExtremes(GrowthPlot::Sex::Unknown), GrowthReference::Measure::Weight,
                            GrowthUnits::System::Metric);
    QVERIFY(bare.labels.isEmpty());
    int band = 0;
    for (int y = int(bare.plot.top()) + 1; y < int(bare.plot.bottom()); y += 2)
        for (int x = int(bare.plot.left()) + 1; x < int(bare.plot.right()); x += 2)
            band += near(bare.image.pixel(x, y), kGirlBand) ||
                            near(bare.image.pixel(x, y), QColor(0xd8, 0xe6, 0xf7))
                        ? 1
                        : 0;
    QCOMPARE(band, 0);
    for (const QPointF& pt : bare.points)
        QVERIFY(bare.plot.contains(pt));
}

QTEST_MAIN(GrowthChartTest)
#include "tst_growthchart.moc"
