#include "ui/names/EarthPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QSvgRenderer>

#include <cmath>

namespace {
struct LonLat {
    double lon, lat;
};

// Coastlines, coarse but recognisable, as longitude and latitude in degrees.
const LonLat kAfrica[] = {{-17, 21},  {-16, 28}, {-10, 30}, {-6, 36},  {10, 37},  {11, 33},  {20, 31},
                          {25, 31.5}, {32, 31},  {34, 28},  {37, 22},  {39, 15},  {43, 12},  {51, 11},
                          {48, 5},    {40, -3},  {40, -10}, {35, -20}, {33, -26}, {27, -34}, {20, -35},
                          {18, -30},  {15, -27}, {12, -17}, {13, -10}, {9, -1},   {9, 4},    {5, 6},
                          {-3, 5},    {-8, 4.5}, {-13, 8},  {-15, 11}, {-17, 14}};
const LonLat kMadagascar[] = {{44, -25}, {47, -25}, {50, -15}, {49, -12}, {44, -17}};
const LonLat kEurasia[] = {
    {-9, 37},  {-9, 43}, {-1.5, 43.5}, {-4, 48}, {2, 51},  {8, 54},   {9, 57},   {12, 55},  {21, 55},
    {24, 59},  {30, 60}, {40, 65},     {60, 69}, {80, 73}, {100, 77}, {115, 73}, {115, 20}, {100, 14},
    {105, 10}, {100, 3}, {98, 16},     {92, 22}, {80, 15}, {77, 8},   {72, 20},  {67, 25},  {57, 25},
    {52, 27},  {48, 30}, {50, 26},     {56, 24}, {59, 22}, {52, 17},  {43, 12},  {39, 21},  {35, 28},
    {34, 31},  {36, 36}, {28, 37},     {26, 40}, {24, 38}, {22, 37},  {20, 40},  {19, 42},  {13, 45},
    {16, 41},  {18, 40}, {16, 38},     {12, 41}, {8, 44},  {3, 43},   {0, 39},   {-2, 37},  {-6, 36}};
const LonLat kScandinavia[] = {{5, 58},  {5, 62},    {10, 64}, {14, 67}, {20, 70},   {28, 71},
                               {30, 70}, {28, 66},   {24, 65}, {21, 63}, {22, 60.5}, {18, 60},
                               {16, 56}, {13, 55.5}, {11, 58}, {8, 58}};
const LonLat kBritain[] = {{-5, 50},   {1, 51},  {2, 53},  {0, 54},    {-2, 56}, {-2, 58},
                           {-5, 58.5}, {-6, 57}, {-5, 55}, {-3, 54.5}, {-4, 53}, {-5, 52}};
const LonLat kIreland[] = {{-10, 52}, {-6, 52}, {-6, 54.5}, {-8, 55}, {-10, 54}};
const LonLat kSouthAmerica[] = {{-35, -7},  {-40, -3},  {-50, 0},   {-60, 8},   {-72, 12},  {-77, 8},
                                {-80, -2},  {-81, -5},  {-75, -15}, {-70, -18}, {-72, -30}, {-74, -45},
                                {-68, -55}, {-64, -55}, {-58, -38}, {-48, -28}, {-40, -22}, {-39, -13}};
const LonLat kGreenland[] = {{-45, 60}, {-40, 65}, {-22, 70}, {-20, 80}, {-60, 82}, {-70, 77}, {-55, 68}};
const LonLat kArabianIsle[] = {{43, 12}, {52, 17}, {59, 22}, {56, 24},
                               {50, 26}, {48, 30}, {35, 28}, {39, 21}};

constexpr double kLon0 = 15, kLat0 = 12; // the point facing the viewer

// Orthographic projection; points on the far side are pulled to the rim.
QPointF project(const LonLat& p, const QPointF& centre, double r) {
    const double d = M_PI / 180;
    const double lam = (p.lon - kLon0) * d, phi = p.lat * d, phi0 = kLat0 * d;
    double x = std::cos(phi) * std::sin(lam);
    double y = std::cos(phi0) * std::sin(phi) - std::sin(phi0) * std::cos(phi) * std::cos(lam);
    const double facing = std::sin(phi0) * std::sin(phi) + std::cos(phi0) * std::cos(phi) * std::cos(lam);
    if (facing < 0) {
        const double len = std::hypot(x, y);
        if (len > 0) {
            x /= len;
            y /= len;
        }
    }
    return {centre.x() + r * x, centre.y() - r * y};
}

template <size_t N> QPainterPath land(const LonLat (&coast)[N], const QPointF& centre, double r) {
    QPolygonF poly;
    for (const LonLat& p : coast)
        poly << project(p, centre, r);
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}
} // namespace

QPixmap EarthPicture(const QSize& size) {
    QPixmap pm(size);
    pm.fill(QColor(4, 6, 20));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // Stars, always the same ones.
    QRandomGenerator stars(1969);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const int shade = 150 + int(stars.bounded(105));
        p.setBrush(QColor(shade, shade, 255 - int(stars.bounded(40))));
        const double s = stars.bounded(10) < 8 ? 0.7 : 1.3;
        p.drawEllipse(QPointF(stars.bounded(size.width()), stars.bounded(size.height())), s, s);
    }

    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double r = std::min(size.width(), size.height()) * 0.42;

    // The thin blue glow of the atmosphere.
    QRadialGradient glow(centre, r * 1.12);
    glow.setColorAt(0.86, QColor(90, 160, 255, 150));
    glow.setColorAt(1.0, QColor(90, 160, 255, 0));
    p.setBrush(glow);
    p.drawEllipse(centre, r * 1.12, r * 1.12);

    // The oceans.
    QRadialGradient sea(centre - QPointF(r * 0.35, r * 0.35), r * 1.4);
    sea.setColorAt(0, QColor(60, 130, 215));
    sea.setColorAt(0.6, QColor(18, 70, 160));
    sea.setColorAt(1, QColor(6, 24, 70));
    p.setBrush(sea);
    p.drawEllipse(centre, r, r);

    QPainterPath globe;
    globe.addEllipse(centre, r, r);
    p.setClipPath(globe);

    // The land: deserts in the north of Africa and in Arabia, green to the south and in Europe.
    const QPainterPath africa = land(kAfrica, centre, r);
    QLinearGradient africaColour(project({15, 35}, centre, r), project({20, -30}, centre, r));
    africaColour.setColorAt(0, QColor(214, 180, 112));
    africaColour.setColorAt(0.38, QColor(196, 160, 96));
    africaColour.setColorAt(0.5, QColor(92, 140, 60));
    africaColour.setColorAt(1, QColor(70, 120, 56));
    p.setBrush(africaColour);
    p.drawPath(africa);
    p.setBrush(QColor(80, 130, 60));
    p.drawPath(land(kMadagascar, centre, r));
    p.setBrush(QColor(86, 136, 66));
    p.drawPath(land(kEurasia, centre, r));
    p.setBrush(QColor(205, 172, 110));
    p.drawPath(land(kArabianIsle, centre, r));
    p.setBrush(QColor(80, 128, 64));
    p.drawPath(land(kScandinavia, centre, r));
    p.drawPath(land(kBritain, centre, r));
    p.drawPath(land(kIreland, centre, r));
    p.drawPath(land(kSouthAmerica, centre, r));
    p.setBrush(QColor(236, 242, 250));
    p.drawPath(land(kGreenland, centre, r));

    // Clouds: a few thin, soft white wisps.
    const struct {
        LonLat at;
        double w, h, angle;
    } clouds[] = {{{-25, 48}, 0.30, 0.035, -20}, {{25, 6}, 0.34, 0.03, 4},     {{-8, -42}, 0.32, 0.035, 12},
                  {{45, -20}, 0.20, 0.03, -30},  {{-32, 18}, 0.16, 0.035, 30}, {{0, 60}, 0.22, 0.03, -8}};
    for (const auto& c : clouds) {
        p.save();
        p.translate(project(c.at, centre, r));
        p.rotate(c.angle);
        QRadialGradient wisp(QPointF(0, 0), r * c.w / 2);
        wisp.setColorAt(0, QColor(255, 255, 255, 150));
        wisp.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(wisp);
        p.scale(1, c.h * 2 / c.w);
        p.drawEllipse(QPointF(0, 0), r * c.w / 2, r * c.w / 2);
        p.restore();
    }

    // Night falls towards the lower right.
    QRadialGradient shade(centre - QPointF(r * 0.45, r * 0.45), r * 2.0);
    shade.setColorAt(0.45, QColor(0, 0, 0, 0));
    shade.setColorAt(0.8, QColor(0, 0, 20, 170));
    shade.setColorAt(1.0, QColor(0, 0, 20, 230));
    p.setBrush(shade);
    p.drawEllipse(centre, r, r);
    return pm;
}

QPixmap FlagPicture(const QString& file, const QSize& size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/assets/third_party/flag-icons/") + file + QStringLiteral(".svg"));
    if (!svg.isValid())
        return pm;
    QSizeF natural = svg.viewBoxF().size();
    if (natural.isEmpty())
        natural = QSizeF(4, 3);
    const QSizeF fitted = natural.scaled(QSizeF(size), Qt::KeepAspectRatio);
    const QRectF target(QPointF((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2),
                        fitted);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, target);
    p.setPen(QColor(0, 0, 0, 60));
    p.setBrush(Qt::NoBrush);
    p.drawRect(target.adjusted(0, 0, -0.5, -0.5));
    return pm;
}
