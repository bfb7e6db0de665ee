#pragma once

#include "core/diaries/GrowthPlot.h"
#include "core/diaries/GrowthUnits.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <memory>

class QPainter;

// One growth chart (weight, length/height, head circumference or, from 2 years, BMI by age), drawn
// the same on the screen and on paper: the age on a true time axis from birth (months in the first
// years, then years), the reference's 3rd to 97th centile band shaded with the 3rd, 15th, 50th, 85th
// and 97th lines labelled at the right edge, a dotted line where the WHO standards give way to the
// CDC charts, the child's points and line on top. The axes are fitted to the child's points (at
// least the first year) so that none is clipped.
class GrowthChartPainter {
public:
    GrowthChartPainter(const GrowthPlot::Plot& plot, GrowthReference::Measure measure,
                       GrowthUnits::System units, const QFont& font);

    // Lays the chart out in `rect` and paints it.
    void paint(QPainter& p, const QRectF& rect);
    // After paint() (or layout()): the plotting area and where each of the measure's points lies.
    void layout(const QRectF& rect);
    QRectF plotArea() const { return m_plot; }
    QPointF position(int point) const;
    // The point nearest `at` within `radius`, or -1.
    int pointAt(const QPointF& at, double radius) const;
    // "Weight", "Length/Height", "Head circumference" or "BMI" with the unit: "Weight (kg)".
    QString title() const;
    // A point in words: "Weight 7.3 kg (16 lbs 2 oz), 50th centile, SDS +0.1 (WHO)".
    QString describe(int point) const;
    // The centile labels drawn at the right edge, in the order drawn (empty without a sex).
    QStringList labels() const;

    static QString measureName(GrowthReference::Measure measure);

private:
    double xOf(double age) const;
    double yOf(double value) const;
    double shown(double metric) const;

    const GrowthPlot::Plot& m_data;
    GrowthReference::Measure m_measure;
    GrowthUnits::System m_units;
    QFont m_font;
    QRectF m_rect, m_plot;
    double m_x0 = 0, m_x1 = 1, m_y0 = 0, m_y1 = 1; // age (years), value in the shown unit
    double m_yStep = 1;
    bool m_laidOut = false;
};

// The growth chart of one measure on the screen, with a tooltip on each point.
class GrowthChartView : public QWidget {
    Q_OBJECT
public:
    GrowthChartView(GrowthReference::Measure measure, QWidget* parent = nullptr);
    void setPlot(std::shared_ptr<const GrowthPlot::Plot> plot, GrowthUnits::System units);
    GrowthReference::Measure measure() const { return m_measure; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    GrowthReference::Measure m_measure;
    std::shared_ptr<const GrowthPlot::Plot> m_plot;
    GrowthUnits::System m_units = GrowthUnits::System::Imperial;
};
