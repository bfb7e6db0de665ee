#pragma once

#include "core/reports/ReportDocument.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QVector>

class QPagedPaintDevice;
class QPainter;

// Lays a ReportDocument out on Letter pages of the 96-per-inch grid and paints them on any paged
// device (a printer, the preview, a PDF writer). Every page carries the report's title and the
// child's name at the top (the first page also the stork) and a footer with "Page n of m" and the
// program's credit. Entries and running text flow across pages line by line; an entry's heading is
// never left alone at the foot of a page, and a table repeats its column headings on each page.
class PageRenderer {
public:
    explicit PageRenderer(const ReportDocument& document);

    int pageCount() const { return int(m_pages.size()); }
    // Paints every page on `device` (its page layout is set first). False when the device cannot be
    // painted on (for example a PDF file that cannot be written).
    bool render(QPagedPaintDevice* device) const;
    // Paints page `index` (0-based) on a painter already scaled to the grid.
    void paintPage(QPainter& painter, int index) const;

private:
    struct Op {
        enum class Type { Text, Line, Fill, Frame, Tree, Chart, Image };
        Type type = Type::Text;
        QRectF rect;
        QFont font;
        QColor color;
        int flags = 0;
        QString text;
        QStringList names;
        QVector<double> values;
        QString unit;
        QImage image;
    };
    struct Page {
        QVector<Op> ops;
        double top = 0;
    };

    void layout();
    void newPage();
    double room() const;
    // Starts a new page unless `height` fits below the current position (or the page is still empty).
    void need(double height);
    void text(const QRectF& rect, const QFont& font, const QColor& color, int flags, const QString& s);
    void line(double x1, double y1, double x2, double y2, const QColor& color);
    void layoutSection(const ReportBlock& b);
    void layoutFields(const ReportBlock& b);
    void layoutEntry(const ReportBlock& b);
    void layoutTable(const ReportBlock& b);
    void layoutParagraph(const QString& text, const QFont& font, const QColor& color);
    void layoutTree(const ReportBlock& b);
    void layoutChart(const ReportBlock& b);
    void layoutPictures(const ReportBlock& b);
    void paintHeader(QPainter& p, int index) const;
    void paintFooter(QPainter& p, int index) const;
    static void paintTree(QPainter& p, const QRectF& rect, const QStringList& names);
    static void paintChart(QPainter& p, const Op& op);

    ReportDocument m_doc;
    QVector<Page> m_pages;
    double m_y = 0;
};
