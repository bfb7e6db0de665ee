#include "ui/common/GrowthChartPainter.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QImage>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
using GrowthReference::Measure;
using GrowthReference::Sex;

struct Line {
    double centile;
    const char* label;
};
constexpr Line kLines[] = {{3, "3rd"}, {15, "15th"}, {50, "50th"}, {85, "85th"}, {97, "97th"}};

// The child's dots. On paper each is drawn as the circle it is. On a screen one dot is drawn once
// and copied to each place, at whole pixels, and a dot is left out where one already is: with
// thousands of records most fall on a place already drawn, and copying a dot costs a fraction of
// drawing a circle.
void drawDots(QPainter& p, const QPolygonF& at, double r, const QPen& pen, const QColor& fill) {
    p.setPen(pen);
    p.setBrush(fill);
    if (!p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster) {
        for (const QPointF& pt : at)
            p.drawEllipse(pt, r, r);
        return;
    }
    const QTransform toDevice = p.deviceTransform();
    const double scale = std::sqrt(std::abs(toDevice.determinant()));
    const double half = (r + pen.widthF()) * scale;
    const int side = int(std::ceil(2 * half)) + 1;
    QImage dot(side, side, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    {
        QPainter d(&dot);
        d.setRenderHint(QPainter::Antialiasing);
        d.scale(scale, scale);
        d.setPen(pen);
        d.setBrush(fill);
        d.drawEllipse(QPointF(side / 2.0, side / 2.0) / scale, r, r);
    }
    dot.setDevicePixelRatio(scale);
    const QTransform toLogical = toDevice.inverted();
    QSet<quint64> drawn;
    drawn.reserve(int(at.size()));
    for (const QPointF& pt : at) {
        const QPointF d = toDevice.map(pt);
        const int x = int(std::lround(d.x() - side / 2.0)), y = int(std::lround(d.y() - side / 2.0));
        const quint64 key = (quint64(quint32(x)) << 32) | quint32(y);
        if (drawn.contains(key))
            continue;
        drawn.insert(key);
        p.drawImage(toLogical.map(QPointF(x, y)), dot);
    }
}

double niceStep(double rough) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * magnitude >= rough)
            return m * magnitude;
    return 10 * magnitude;
}

QString numberText(double v) {
    return QLocale::c().toString(v, 'g', 6);
}

// The stretches of the age range [from, to] the reference draws without a break.
QVector<QPair<double, double>> stretches(Sex sex, Measure m, GrowthReference::Choice choice, double from,
                                         double to) {
    QVector<QPair<double, double>> out;
    const double first = std::max(from, GrowthReference::firstAge(sex, m, choice));
    const double last = std::min(to, GrowthReference::lastAge(sex, m, choice));
    if (sex == Sex::Unknown || last <= first)
        return out;
    double start = first;
    for (double b : GrowthReference::breaks(sex, m, choice)) {
        if (b <= start || b >= last)
            continue;
        out.append({start, b});
        start = b + 1e-6;
    }
    if (last - start > 1e-3) // not a sliver at the end of the axis
        out.append({start, last});
    return out;
}
} // namespace

GrowthChartPainter::GrowthChartPainter(const GrowthPlot::Plot& plot, GrowthReference::Measure measure,
                                       GrowthUnits::System units, const QFont& font)
    : m_data(plot), m_measure(measure), m_units(units), m_font(font) {}

QString GrowthChartPainter::measureName(GrowthReference::Measure measure) {
    switch (measure) {
    case Measure::Weight:
        return QStringLiteral("Weight");
    case Measure::Height:
        return QStringLiteral("Length/Height");
    case Measure::Head:
        return QStringLiteral("Head circumference");
    case Measure::Bmi:
        return QStringLiteral("BMI");
    }
    return {};
}

QString GrowthChartPainter::title() const {
    const QString unit = m_measure == Measure::Bmi      ? QStringLiteral("kg/m\u00b2")
                         : m_measure == Measure::Weight ? GrowthUnits::weightUnit(m_units)
                                                        : GrowthUnits::lengthUnit(m_units);
    return measureName(m_measure) + QStringLiteral(" (") + unit + QLatin1Char(')');
}

double GrowthChartPainter::shown(double metric) const {
    if (m_measure == Measure::Bmi)
        return metric;
    return m_measure == Measure::Weight ? GrowthUnits::weightIn(metric, m_units)
                                        : GrowthUnits::lengthIn(metric, m_units);
}

QStringList GrowthChartPainter::labels() const {
    QStringList out;
    if (m_data.sex == Sex::Unknown || !m_laidOut ||
        stretches(m_data.sex, m_measure, m_data.choice, m_x0, m_x1).isEmpty())
        return out;
    for (const Line& l : kLines)
        out << QString::fromLatin1(l.label);
    return out;
}

QString GrowthChartPainter::describe(int i) const {
    const GrowthPlot::Point& pt = m_data.points(m_measure).at(i);
    using GrowthUnits::System;
    const System other = m_units == System::Metric ? System::Imperial : System::Metric;
    auto text = [&](System s) {
        return m_measure == Measure::Weight ? GrowthUnits::weightText(pt.value, s)
                                            : GrowthUnits::lengthText(pt.value, s);
    };
    QString name = m_measure == Measure::Head ? QStringLiteral("Head") : measureName(m_measure);
    if (m_measure == Measure::Height)
        name = pt.age < 2 ? QStringLiteral("Length") : QStringLiteral("Height");
    if (pt.atBirth)
        name = QStringLiteral("Birth ") + name.toLower();
    QString s = m_measure == Measure::Bmi ? name + QLatin1Char(' ') + QLocale::c().toString(pt.value, 'f', 1)
                                          : name + QLatin1Char(' ') + text(m_units) + QStringLiteral(" (") +
                                                text(other) + QLatin1Char(')');
    // A length read as the other way of measuring it: the parent sees how it was measured.
    if (pt.reading.adjusted != 0)
        s += pt.reading.adjusted > 0 ? QStringLiteral(", measured standing")
                                     : QStringLiteral(", measured lying");
    if (pt.reading.known)
        s += QStringLiteral(", ") + GrowthReference::centileText(pt.reading.z) +
             QStringLiteral(" centile, ") + GrowthReference::sdsText(pt.reading.z) + QStringLiteral(" (") +
             pt.reading.source + QLatin1Char(')');
    return s;
}

void GrowthChartPainter::layout(const QRectF& rect) {
    m_rect = rect;
    m_laidOut = true;
    const QVector<GrowthPlot::Point>& points = m_data.points(m_measure);
    // The age axis: the child's ages, at least the first year, ending on a round figure.
    double maxAge = 1.0;
    for (const GrowthPlot::Point& pt : points)
        maxAge = std::max(maxAge, pt.age);
    const double from = m_measure == Measure::Bmi ? 2.0 : 0.0; // the BMI chart starts at 2 years
    if (m_measure == Measure::Bmi)
        m_x1 = std::max(5.0, std::ceil(maxAge * 1.02));
    else if (maxAge <= 1.0)
        m_x1 = 1.0;
    else if (maxAge <= 2.0)
        m_x1 = std::ceil(maxAge * 1.02 * 4) / 4;
    else
        m_x1 = std::ceil(maxAge * 1.02);
    // A little room before the first age so that a birth-day point is not on the frame.
    m_x0 = from - (m_x1 - from) * 0.015;

    // The values: the child's points and the band over the ages shown.
    double lo = qInf(), hi = -qInf();
    for (const GrowthPlot::Point& pt : points) {
        lo = std::min(lo, shown(pt.value));
        hi = std::max(hi, shown(pt.value));
    }
    for (const auto& s : stretches(m_data.sex, m_measure, m_data.choice, 0, m_x1))
        for (int k = 0; k <= 20; ++k) {
            const double age = s.first + (s.second - s.first) * k / 20;
            lo = std::min(lo,
                          shown(GrowthReference::valueAt(m_data.sex, m_measure, age, -1.881, m_data.choice)));
            hi = std::max(hi,
                          shown(GrowthReference::valueAt(m_data.sex, m_measure, age, 1.881, m_data.choice)));
        }
    if (!std::isfinite(lo) || !std::isfinite(hi)) { // nothing to draw: a first year's usual range
        const double fallback[4][2] = {{2, 12}, {45, 80}, {32, 48}, {13, 20}};
        lo = shown(fallback[int(m_measure)][0]);
        hi = shown(fallback[int(m_measure)][1]);
    }
    if (hi - lo <= 0)
        hi = lo + std::max(1.0, std::abs(lo) * 0.1);
    m_yStep = niceStep((hi - lo) / 6);
    m_y0 = std::floor(lo / m_yStep) * m_yStep;
    if (lo - m_y0 < m_yStep * 0.15)
        m_y0 -= m_yStep;
    m_y1 = std::ceil(hi / m_yStep) * m_yStep;
    if (m_y1 - hi < m_yStep * 0.15)
        m_y1 += m_yStep;
    m_y0 = std::max(0.0, m_y0);

    const QFontMetricsF fm(m_font);
    const double labelWidth = fm.horizontalAdvance(QStringLiteral("97th")) + fm.height() * 0.6;
    double axisWidth = 0;
    for (double v = m_y0; v <= m_y1 + m_yStep / 2; v += m_yStep)
        axisWidth = std::max(axisWidth, fm.horizontalAdvance(numberText(v)));
    const double line = fm.height();
    // The plot starts two lines down: the title above, and room for half the top value's label.
    m_plot =
        QRectF(rect.left() + axisWidth + line * 0.6, rect.top() + line * 2,
               rect.width() - axisWidth - line * 0.6 - labelWidth, rect.height() - line * 2 - line * 2.6);
}

double GrowthChartPainter::xOf(double age) const {
    return m_plot.left() + (age - m_x0) / (m_x1 - m_x0) * m_plot.width();
}

double GrowthChartPainter::yOf(double value) const {
    return m_plot.bottom() - (value - m_y0) / (m_y1 - m_y0) * m_plot.height();
}

QPointF GrowthChartPainter::position(int i) const {
    const GrowthPlot::Point& pt = m_data.points(m_measure).at(i);
    return {xOf(pt.age), yOf(shown(pt.value))};
}

int GrowthChartPainter::pointAt(const QPointF& at, double radius) const {
    int best = -1;
    double bestDistance = radius * radius;
    const int n = int(m_data.points(m_measure).size());
    for (int i = 0; i < n; ++i) {
        const QPointF d = position(i) - at;
        const double dist = d.x() * d.x() + d.y() * d.y();
        if (dist <= bestDistance) {
            bestDistance = dist;
            best = i;
        }
    }
    return best;
}

void GrowthChartPainter::paint(QPainter& p, const QRectF& rect) {
    layout(rect);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(m_font);
    const QFontMetricsF fm(m_font);
    const double line = fm.height();
    const Sex sex = m_data.sex;
    const QColor ink(0x22, 0x22, 0x33);
    const QColor band = sex == Sex::Girl ? QColor(0xf7, 0xd9, 0xe6) : QColor(0xd8, 0xe6, 0xf7);
    const QColor curve = sex == Sex::Girl ? QColor(0xb8, 0x4a, 0x7c) : QColor(0x3a, 0x6e, 0xb0);

    // Title
    QFont bold = m_font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(ink);
    p.drawText(QRectF(rect.left(), rect.top(), rect.width(), line * 1.4), Qt::AlignLeft | Qt::AlignVCenter,
               title());
    p.setFont(m_font);

    // Frame and grid
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(m_plot);
    p.setBrush(Qt::NoBrush);
    const QPen grid(QColor(0xe2, 0xe4, 0xea), 1);
    for (double v = m_y0; v <= m_y1 + m_yStep / 2; v += m_yStep) {
        const double y = yOf(v);
        p.setPen(grid);
        p.drawLine(QPointF(m_plot.left(), y), QPointF(m_plot.right(), y));
        p.setPen(ink);
        p.drawText(QRectF(rect.left(), y - line / 2, m_plot.left() - rect.left() - line * 0.3, line),
                   Qt::AlignRight | Qt::AlignVCenter, numberText(v));
    }
    // Age ticks: months while the axis spans up to two years, then half years or years.
    struct Tick {
        double age;
        QString label;
    };
    QVector<Tick> ticks;
    const double years = m_x1;
    if (years <= 2.01) {
        const int every = years <= 1.01 ? 1 : 2;
        for (int mo = 0; mo <= int(std::round(years * 12)); mo += every)
            ticks.append(
                {mo / 12.0, mo == 0 ? QStringLiteral("birth") : QString::number(mo) + QStringLiteral(" mo")});
    } else {
        const int every = years <= 10 ? 1 : years <= 20 ? 2 : 5;
        for (int y = int(std::ceil(m_x0)); y <= int(years); y += every)
            ticks.append({double(y), y == 0 ? QStringLiteral("birth")
                                            : QString::number(y) +
                                                  (y == 1 ? QStringLiteral(" yr") : QStringLiteral(" yrs"))});
    }
    double lastRight = -qInf();
    for (const Tick& t : ticks) {
        const double x = xOf(t.age);
        p.setPen(grid);
        p.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        const double w = fm.horizontalAdvance(t.label);
        if (x - w / 2 > lastRight + line * 0.3 && x + w / 2 <= rect.right()) {
            p.setPen(ink);
            p.drawText(QRectF(x - w / 2 - 2, m_plot.bottom() + line * 0.2, w + 4, line), Qt::AlignCenter,
                       t.label);
            lastRight = x + w / 2;
        }
    }
    p.setPen(ink);
    QString ageCaption = QStringLiteral("Age");
    if (m_data.corrected)
        ageCaption += QStringLiteral(" (corrected for prematurity until 2 years)");
    p.drawText(QRectF(m_plot.left(), m_plot.bottom() + line * 1.3, m_plot.width(), line), Qt::AlignCenter,
               ageCaption);

    // The reference: the band, then its lines, clipped to the plot.
    const GrowthReference::Choice choice = m_data.choice;
    const auto parts = stretches(sex, m_measure, choice, 0, m_x1);
    if (!parts.isEmpty()) {
        p.save();
        p.setClipRect(m_plot);
        const int samples = std::max(8, int(m_plot.width() / 3));
        auto curveOf = [&](double z, const QPair<double, double>& s) {
            QPolygonF poly;
            const int n = std::max(2, int(samples * (s.second - s.first) / (m_x1 - m_x0)));
            for (int k = 0; k <= n; ++k) {
                const double age = s.first + (s.second - s.first) * k / n;
                poly << QPointF(xOf(age),
                                yOf(shown(GrowthReference::valueAt(sex, m_measure, age, z, choice))));
            }
            return poly;
        };
        for (const auto& s : parts) {
            QPolygonF area = curveOf(GrowthReference::zOfCentile(3), s);
            QPolygonF top = curveOf(GrowthReference::zOfCentile(97), s);
            std::reverse(top.begin(), top.end());
            area << top;
            p.setPen(Qt::NoPen);
            p.setBrush(band);
            p.drawPolygon(area);
            p.setBrush(Qt::NoBrush);
            for (const Line& l : kLines) {
                QPen pen(curve, l.centile == 50 ? 1.6 : 0.9);
                if (l.centile == 15 || l.centile == 85)
                    pen.setStyle(Qt::DashLine);
                p.setPen(pen);
                p.drawPolyline(curveOf(GrowthReference::zOfCentile(l.centile), s));
            }
        }
        p.restore();
        // The labels at the right edge, at each line's end, pushed apart where they would touch.
        const double endAge = parts.last().second;
        QVector<double> ys;
        for (const Line& l : kLines)
            ys << yOf(shown(GrowthReference::valueAt(sex, m_measure, endAge,
                                                     GrowthReference::zOfCentile(l.centile), choice)));
        // The 3rd is lowest on the page (largest y): each label keeps a line's room from the next, and
        // the five stay within the plot's height.
        const double gap = line * 0.85;
        for (int i = int(ys.size()) - 2; i >= 0; --i)
            ys[i] = std::max(ys[i], ys[i + 1] + gap);
        const double excess = ys[0] - (m_plot.bottom() - line / 2);
        if (excess > 0)
            for (double& y : ys)
                y -= excess;
        for (int i = 1; i < ys.size(); ++i)
            ys[i] = std::min(ys[i], ys[i - 1] - gap);
        p.setPen(curve);
        const double labelX = xOf(endAge) + line * 0.25;
        for (int i = 0; i < ys.size(); ++i)
            p.drawText(QRectF(labelX, ys[i] - line / 2, rect.right() - labelX, line),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(kLines[i].label));
    }
    // Where the reference changes from the WHO's to the CDC's: a dotted line, named at its top.
    const double change = GrowthReference::changeAge(sex, m_measure, choice);
    if (!parts.isEmpty() && change > m_x0 && change < m_x1) {
        const double x = xOf(change);
        QPen dotted(QColor(0x6a, 0x70, 0x80), 1, Qt::DotLine);
        p.setPen(dotted);
        p.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        p.setPen(ink);
        const QString who = QStringLiteral("WHO"), cdc = QStringLiteral("CDC");
        p.drawText(QRectF(x - fm.horizontalAdvance(who) - line * 0.3, m_plot.top() + line * 0.1,
                          fm.horizontalAdvance(who) + 2, line),
                   Qt::AlignRight | Qt::AlignVCenter, who);
        p.drawText(QRectF(x + line * 0.3, m_plot.top() + line * 0.1, fm.horizontalAdvance(cdc) + 2, line),
                   Qt::AlignLeft | Qt::AlignVCenter, cdc);
    }
    p.setPen(QPen(QColor(0x9a, 0xa0, 0xb0), 1));
    p.drawRect(m_plot);

    // The child's line and points on top.
    const QVector<GrowthPlot::Point>& points = m_data.points(m_measure);
    if (!points.isEmpty()) {
        QPolygonF poly;
        poly.reserve(points.size());
        for (int i = 0; i < points.size(); ++i)
            poly << position(i);
        p.setPen(QPen(ink, 1.6));
        p.drawPolyline(poly);
        const double r = points.size() > 400 ? 2.0 : 3.5;
        drawDots(p, poly, r, QPen(ink, 1.1), QColor(0xf0, 0x8a, 0x3c));
    }
    p.restore();
}

// ---- The widget

GrowthChartView::GrowthChartView(GrowthReference::Measure measure, QWidget* parent)
    : QWidget(parent), m_measure(measure) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(GrowthChartPainter::measureName(measure) + QStringLiteral(" chart"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void GrowthChartView::setPlot(std::shared_ptr<const GrowthPlot::Plot> plot, GrowthUnits::System units) {
    m_plot = std::move(plot);
    m_units = units;
    QString description;
    if (m_plot) {
        GrowthChartPainter painter(*m_plot, m_measure, m_units, font());
        const int n = int(m_plot->points(m_measure).size());
        description = n == 0
                          ? GrowthChartPainter::measureName(m_measure) + QStringLiteral(": no measurements")
                          : QStringLiteral("Latest: ") + painter.describe(n - 1);
    }
    setAccessibleDescription(description);
    update();
}

QSize GrowthChartView::sizeHint() const {
    return {520, 300};
}

QSize GrowthChartView::minimumSizeHint() const {
    return {260, 160};
}

void GrowthChartView::paintEvent(QPaintEvent*) {
    if (!m_plot)
        return;
    QPainter p(this);
    // The chart is drawn as on paper, dark ink on white, so the widget is paper too: on a dark
    // desktop its titles and scales would otherwise be dark on dark.
    p.fillRect(rect(), Qt::white);
    GrowthChartPainter painter(*m_plot, m_measure, m_units, font());
    painter.paint(p, QRectF(rect()).adjusted(4, 2, -4, -2));
}

bool GrowthChartView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && m_plot) {
        auto* help = static_cast<QHelpEvent*>(e);
        GrowthChartPainter painter(*m_plot, m_measure, m_units, font());
        painter.layout(QRectF(rect()).adjusted(4, 2, -4, -2));
        const int i = painter.pointAt(help->pos(), 8);
        if (i >= 0)
            QToolTip::showText(
                help->globalPos(),
                QLocale::c().toString(m_plot->points(m_measure).at(i).date, QStringLiteral("MMMM d, yyyy")) +
                    QLatin1Char('\n') + painter.describe(i),
                this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
