#include "ui/reports/TSampleReport.h"

#include "ui/reports/ReportStyle.h"

#include <QPagedPaintDevice>
#include <QPainter>

TSampleReport* SampleReport = nullptr;

using namespace ReportStyle;

TSampleReport::TSampleReport(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("SampleReport"));
    setWindowTitle(QStringLiteral("Birth Announcement"));
}

void TSampleReport::build() {}

void TSampleReport::paintPage(QPainter& p, const AnnouncementTexts& t) {
    const double band1 = TopMargin;
    const double band2 = band1 + 209;
    const double band3 = FooterTop;
    const QColor black(Qt::black);

    // Title band.
    drawLabel(p, QRectF(48, band1 + 72, 388, 27), Qt::AlignLeft, arial(24), navy(),
              QStringLiteral("Birth Announcement Sample Report"));
    drawStork(p, QRectF(515, band1 + 10, 254, 183));
    drawLabel(p, QRectF(648, band1 + 136, 100, 25), Qt::AlignHCenter, arial(13, true), navy(),
              QStringLiteral("by Tinyra 4 "));

    // Details band: fixed captions and the ten values.
    drawLabel(p, QRectF(48, band2 + 24, 689, 33), Qt::AlignHCenter, arial(21), black, t.Announcing);
    const QFont caption = arial(16, true);
    const QFont value = arial(16);
    struct Row {
        double top;
        const char* caption;
        const QString* text;
        double width;
    };
    const Row rows[] = {
        {80, "Arrival:", &t.ArrivalDate, 481}, {104, nullptr, &t.ArrivalTime, 481},
        {144, "Height:", &t.Height, 481},      {176, "Weight:", &t.Weight, 489},
        {208, "Hair:", &t.Hair, 489},          {240, "Eyes:", &t.Eyes, 489},
        {272, "Hospital:", &t.Hospital, 489},  {304, "City:", &t.City, 489},
        {336, "State:", &t.State, 489},
    };
    for (const Row& r : rows) {
        if (r.caption)
            drawLabel(p, QRectF(208, band2 + r.top, 75, 19), Qt::AlignRight, caption, black,
                      QString::fromLatin1(r.caption));
        drawLabel(p, QRectF(288, band2 + r.top, r.width, 18), Qt::AlignLeft, value, black, *r.text);
    }

    // Footer band.
    drawLabel(p, QRectF(160, band3 + 17, 603, 16), Qt::AlignRight, arial(13, true), navy(), creditLine());
}

bool TSampleReport::render(QPagedPaintDevice* device, const AnnouncementTexts& texts) {
    preparePage(device);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    scaleToGrid(painter);
    paintPage(painter, texts);
    return painter.end();
}

ReportOutput::Job TSampleReport::job(const QString& child) const {
    // The job carries a copy of the texts, so the page stays as it was set while it is shown.
    const AnnouncementTexts texts = m_texts;
    return ReportOutput::onePage(
        QStringLiteral("Birth Announcement"), child,
        [texts](QPainter& painter) { paintPage(painter, texts); }, m_paper);
}

bool TSampleReport::Print(QWidget* parent, const QString& child) {
    return ReportOutput::print(parent, job(child));
}

void TSampleReport::Preview(QWidget* parent, const QString& child) {
    ReportOutput::preview(parent, job(child));
}
