#include "ui/reports/PageRenderer.h"

#include "ui/reports/ReportStyle.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QtNumeric>

#include <cmath>

using namespace ReportStyle;

namespace {
constexpr double Left = 48;
constexpr double Right = PageWidth - 48;
constexpr double Width = Right - Left;
constexpr double FirstPageBody = 176; // below the title, the child's name and the stork
constexpr double PageBody = 138;      // below the title and the child's name
constexpr double BodyBottom = FooterTop - 12;

const QFont& bodyFont() {
    static const QFont f = arial(14);
    return f;
}
const QFont& boldFont() {
    static const QFont f = arial(14, true);
    return f;
}

double lineHeight(const QFont& f) {
    return QFontMetricsF(f).lineSpacing();
}

// `text` broken into lines that fit `width`; its own line breaks are kept, and a word too long for a
// line is broken where it must be.
QStringList wrap(const QString& text, const QFont& font, double width) {
    QStringList lines;
    QString clean = text;
    clean.remove(QLatin1Char('\r'));
    const QStringList paragraphs = clean.split(QLatin1Char('\n'));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& para : paragraphs) {
        if (para.trimmed().isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(para, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            lines << para.mid(l.textStart(), l.textLength());
        }
        layout.endLayout();
    }
    return lines;
}
} // namespace

PageRenderer::PageRenderer(const ReportDocument& document) : m_doc(document) {
    layout();
}

void PageRenderer::newPage() {
    Page page;
    page.top = m_pages.isEmpty() ? FirstPageBody : PageBody;
    m_pages << page;
    m_y = page.top;
}

double PageRenderer::room() const {
    return BodyBottom - m_y;
}

void PageRenderer::need(double height) {
    if (height > room() && m_y > m_pages.last().top)
        newPage();
}

void PageRenderer::text(const QRectF& rect, const QFont& font, const QColor& color, int flags,
                        const QString& s) {
    Op op;
    op.type = Op::Type::Text;
    op.rect = rect;
    op.font = font;
    op.color = color;
    op.flags = flags;
    op.text = s;
    m_pages.last().ops << op;
}

void PageRenderer::line(double x1, double y1, double x2, double y2, const QColor& color) {
    Op op;
    op.type = Op::Type::Line;
    op.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    op.color = color;
    m_pages.last().ops << op;
}

void PageRenderer::layout() {
    newPage();
    for (const ReportBlock& b : m_doc.blocks) {
        switch (b.kind) {
        case ReportBlock::Kind::Section:
            layoutSection(b);
            break;
        case ReportBlock::Kind::Fields:
            layoutFields(b);
            break;
        case ReportBlock::Kind::Entry:
            layoutEntry(b);
            break;
        case ReportBlock::Kind::Table:
            layoutTable(b);
            break;
        case ReportBlock::Kind::Paragraph:
            layoutParagraph(b.text, bodyFont(), Qt::black);
            m_y += 8;
            break;
        case ReportBlock::Kind::Note:
            layoutParagraph(b.text, arial(14, false, true), QColor(0x55, 0x55, 0x55));
            m_y += 8;
            break;
        case ReportBlock::Kind::FamilyTree:
            layoutTree(b);
            break;
        case ReportBlock::Kind::Chart:
            layoutChart(b);
            break;
        case ReportBlock::Kind::Pictures:
            layoutPictures(b);
            break;
        }
    }
}

void PageRenderer::layoutSection(const ReportBlock& b) {
    const QFont f = arial(19, true);
    const double h = lineHeight(f);
    // A heading keeps company with at least two lines of what follows.
    need(h + 10 + 2 * lineHeight(bodyFont()));
    if (m_y > m_pages.last().top)
        m_y += 10;
    text(QRectF(Left, m_y, Width, h), f, navy(), Qt::AlignLeft | Qt::AlignTop, b.title);
    m_y += h + 2;
    line(Left, m_y, Right, m_y, navy());
    m_y += 8;
}

void PageRenderer::layoutFields(const ReportBlock& b) {
    constexpr double captionWidth = 220;
    constexpr double gap = 12;
    const double lh = lineHeight(bodyFont());
    for (const auto& [caption, value] : b.fields) {
        QStringList lines = wrap(value, bodyFont(), Width - captionWidth - gap);
        if (lines.isEmpty())
            lines << QString();
        need(lh * lines.size() + 4);
        text(QRectF(Left, m_y, captionWidth, lh), boldFont(), Qt::black, Qt::AlignRight | Qt::AlignTop,
             caption + QLatin1Char(':'));
        for (const QString& l : lines) {
            need(lh);
            text(QRectF(Left + captionWidth + gap, m_y, Width - captionWidth - gap, lh), bodyFont(),
                 Qt::black, Qt::AlignLeft | Qt::AlignTop, l);
            m_y += lh;
        }
        m_y += 1;
    }
    m_y += 6;
}

void PageRenderer::layoutEntry(const ReportBlock& b) {
    const QFont head = arial(15, true);
    const double hh = lineHeight(head);
    const double lh = lineHeight(bodyFont());
    const QStringList lines = wrap(b.text, bodyFont(), Width - 24);
    // The heading never stands alone at the foot of a page.
    need(hh + 4 + (lines.isEmpty() ? 0 : lh));
    const QFontMetricsF fm(head);
    const double dateWidth = qMax(90.0, fm.horizontalAdvance(b.date) + 16);
    text(QRectF(Left, m_y, dateWidth, hh), head, navy(), Qt::AlignLeft | Qt::AlignTop, b.date);
    text(QRectF(Left + dateWidth, m_y, Width - dateWidth, hh), head, Qt::black, Qt::AlignLeft | Qt::AlignTop,
         fm.elidedText(b.title, Qt::ElideRight, Width - dateWidth));
    m_y += hh + 2;
    for (const QString& l : lines) {
        need(lh);
        text(QRectF(Left + 24, m_y, Width - 24, lh), bodyFont(), Qt::black, Qt::AlignLeft | Qt::AlignTop, l);
        m_y += lh;
    }
    m_y += 4;
    line(Left, m_y, Right, m_y, QColor(0xc8, 0xcc, 0xdc));
    m_y += 10;
}

void PageRenderer::layoutTable(const ReportBlock& b) {
    constexpr double pad = 6;
    const double lh = lineHeight(bodyFont());
    QVector<double> x{Left};
    double total = 0;
    for (double w : b.widths)
        total += w;
    for (int c = 0; c < b.columns.size(); ++c)
        x << x.last() +
                 Width * (c < b.widths.size() && total > 0 ? b.widths[c] / total : 1.0 / b.columns.size());

    auto header = [&] {
        Op fill;
        fill.type = Op::Type::Fill;
        fill.rect = QRectF(Left, m_y, Width, lh + 6);
        fill.color = QColor(0xdd, 0xe4, 0xf3);
        m_pages.last().ops << fill;
        for (int c = 0; c < b.columns.size(); ++c)
            text(QRectF(x[c] + pad, m_y + 3, x[c + 1] - x[c] - 2 * pad, lh), boldFont(), navy(),
                 Qt::AlignLeft | Qt::AlignTop, b.columns[c]);
        m_y += lh + 6;
    };
    need(2 * (lh + 6));
    header();
    for (const QStringList& row : b.rows) {
        QVector<QStringList> cells;
        int lines = 1;
        for (int c = 0; c < b.columns.size(); ++c) {
            cells << wrap(row.value(c), bodyFont(), x[c + 1] - x[c] - 2 * pad);
            lines = qMax(lines, int(cells.last().size()));
        }
        if (lines * lh + 6 > room()) {
            newPage();
            header();
        }
        // A row taller than a whole page goes on over the next pages, so no line of it is lost.
        for (int first = 0; first < lines;) {
            const int fit = qMax(1, int((room() - 6) / lh));
            const int end = qMin(lines, first + fit);
            for (int c = 0; c < cells.size(); ++c)
                for (int i = first; i < qMin(end, int(cells[c].size())); ++i)
                    text(QRectF(x[c] + pad, m_y + 3 + (i - first) * lh, x[c + 1] - x[c] - 2 * pad, lh),
                         bodyFont(), Qt::black, Qt::AlignLeft | Qt::AlignTop, cells[c][i]);
            m_y += (end - first) * lh + 6;
            first = end;
            if (first < lines) {
                newPage();
                header();
            }
        }
        line(Left, m_y, Right, m_y, QColor(0xc8, 0xcc, 0xdc));
    }
    m_y += 12;
}

void PageRenderer::layoutParagraph(const QString& s, const QFont& font, const QColor& color) {
    const double lh = lineHeight(font);
    for (const QString& l : wrap(s, font, Width)) {
        need(lh);
        text(QRectF(Left, m_y, Width, lh), font, color, Qt::AlignLeft | Qt::AlignTop, l);
        m_y += lh;
    }
}

void PageRenderer::layoutTree(const ReportBlock& b) {
    constexpr double height = 340;
    need(height);
    Op op;
    op.type = Op::Type::Tree;
    op.rect = QRectF(Left, m_y, Width, height);
    op.names = b.names;
    m_pages.last().ops << op;
    m_y += height + 16;
}

void PageRenderer::layoutChart(const ReportBlock& b) {
    constexpr double height = 250;
    need(height);
    Op op;
    op.type = Op::Type::Chart;
    op.rect = QRectF(Left, m_y, Width, height);
    op.text = b.title;
    op.unit = b.text;
    op.names = b.names;
    op.values = b.values;
    m_pages.last().ops << op;
    m_y += height + 16;
}

void PageRenderer::layoutPictures(const ReportBlock& b) {
    // Pictures stand side by side, each in an equal share of the width and at most MaxHeight tall,
    // scaled by one factor both ways so nothing is stretched; a small picture keeps its own size.
    constexpr double MaxHeight = 300;
    constexpr double gap = 16;
    const QFont captionFont = arial(13, true);
    const double ch = lineHeight(captionFont);
    const int n = int(b.images.size());
    if (n == 0)
        return;
    const double cell = (Width - gap * (n - 1)) / n;
    QVector<QImage> images;
    QVector<QSizeF> sizes;
    double tallest = ch * 2;
    for (const QByteArray& bytes : b.images) {
        QImage img = QImage::fromData(bytes);
        QSizeF size(cell, ch * 2);
        if (!img.isNull()) {
            const double scale = qMin(1.0, qMin(cell / img.width(), MaxHeight / img.height()));
            size = QSizeF(img.width() * scale, img.height() * scale);
        }
        tallest = qMax(tallest, size.height());
        images << img;
        sizes << size;
    }
    need(tallest + ch + 8);
    for (int i = 0; i < n; ++i) {
        const double x = Left + i * (cell + gap);
        const QRectF area(x + (cell - sizes[i].width()) / 2, m_y, sizes[i].width(), sizes[i].height());
        if (images[i].isNull()) {
            // Bytes that are no picture (a damaged file) are said to be so rather than left out unseen.
            text(QRectF(x, m_y, cell, ch), arial(13, false, true), QColor(0x55, 0x55, 0x55), Qt::AlignHCenter,
                 QStringLiteral("This picture could not be read."));
        } else {
            Op op;
            op.type = Op::Type::Image;
            op.rect = area;
            op.image = images[i];
            m_pages.last().ops << op;
            Op frame;
            frame.type = Op::Type::Frame;
            frame.rect = area.adjusted(-1, -1, 1, 1);
            frame.color = QColor(0x8a, 0x94, 0xb8);
            m_pages.last().ops << frame;
        }
        if (!b.names.value(i).isEmpty())
            text(QRectF(x, m_y + tallest + 4, cell, ch), captionFont, navy(), Qt::AlignHCenter, b.names[i]);
    }
    m_y += tallest + ch + 16;
}

bool PageRenderer::render(QPagedPaintDevice* device) const {
    preparePage(device);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    scaleToGrid(painter);
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0 && !device->newPage())
            return false;
        paintPage(painter, i);
    }
    return painter.end();
}

void PageRenderer::paintPage(QPainter& p, int index) const {
    paintHeader(p, index);
    for (const Op& op : m_pages[index].ops) {
        switch (op.type) {
        case Op::Type::Text:
            p.setFont(op.font);
            p.setPen(op.color);
            p.drawText(op.rect, op.flags | Qt::TextSingleLine, op.text);
            break;
        case Op::Type::Line:
            p.setPen(QPen(op.color, 1));
            p.drawLine(op.rect.topLeft(), op.rect.bottomRight());
            break;
        case Op::Type::Fill:
            p.fillRect(op.rect, op.color);
            break;
        case Op::Type::Frame:
            p.setPen(QPen(op.color, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(op.rect);
            break;
        case Op::Type::Tree:
            paintTree(p, op.rect, op.names);
            break;
        case Op::Type::Chart:
            paintChart(p, op);
            break;
        case Op::Type::Image:
            p.save();
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(op.rect, op.image);
            p.restore();
            break;
        }
    }
    paintFooter(p, index);
}

void PageRenderer::paintHeader(QPainter& p, int index) const {
    const bool first = index == 0;
    drawLabel(p, QRectF(Left, 56, first ? 540 : Width, 32), Qt::AlignLeft, arial(24), navy(), m_doc.title);
    drawLabel(p, QRectF(Left, 94, first ? 540 : Width, 22), Qt::AlignLeft, arial(16, true), Qt::black,
              m_doc.child);
    if (first) {
        drawStork(p, QRectF(620, 30, 150, 108));
        drawLabel(p, QRectF(660, 140, 100, 18), Qt::AlignHCenter, arial(13, true), navy(),
                  QStringLiteral("by Tinyra 4 "));
    }
    const double y = (first ? FirstPageBody : PageBody) - 12;
    p.setPen(QPen(navy(), 2));
    p.drawLine(QPointF(Left, y), QPointF(Right, y));
}

void PageRenderer::paintFooter(QPainter& p, int index) const {
    p.setPen(QPen(navy(), 1));
    p.drawLine(QPointF(Left, FooterTop + 8), QPointF(Right, FooterTop + 8));
    const QFont f = arial(13, true);
    drawLabel(p, QRectF(Left, FooterTop + 17, 200, 16), Qt::AlignLeft, f, navy(),
              QStringLiteral("Page ") + QString::number(index + 1) + QStringLiteral(" of ") +
                  QString::number(pageCount()));
    drawLabel(p, QRectF(160, FooterTop + 17, 603, 16), Qt::AlignRight, f, navy(), creditLine());
}

void PageRenderer::paintTree(QPainter& p, const QRectF& r, const QStringList& names) {
    // Rows: the child; the parents over two columns each; the four grandparents; under each of them
    // their mother and their father.
    auto name = [&names](int i) { return names.value(i); };
    const double colW = r.width() / 4;
    auto colCentre = [&](double col) { return r.left() + colW * col; }; // col in quarters: 0.5 .. 3.5
    struct Box {
        QRectF rect;
        QString role;
        QString name;
        QColor fill;
    };
    const double h = 44;
    const double rows[] = {r.top(), r.top() + 70, r.top() + 150, r.top() + 230, r.top() + 290};
    QVector<Box> boxes;
    auto box = [&](double centre, double top, double w, const QString& role, const QString& who,
                   QColor fill) {
        boxes << Box{QRectF(centre - w / 2, top, w, h), role, who, fill};
    };
    const QColor childFill(0xff, 0xf4, 0xd6), parentFill(0xe4, 0xec, 0xfa), grandFill(0xea, 0xf5, 0xe6),
        greatFill(0xf6, 0xf6, 0xf6);
    box(r.center().x(), rows[0], 220, QStringLiteral("Child"), name(0), childFill);
    box(colCentre(1), rows[1], 240, QStringLiteral("Mother"), name(1), parentFill);
    box(colCentre(3), rows[1], 240, QStringLiteral("Father"), name(2), parentFill);
    const char* grand[] = {"Grandmother", "Grandfather", "Grandmother", "Grandfather"};
    for (int c = 0; c < 4; ++c) {
        box(colCentre(c + 0.5), rows[2], colW - 12, QString::fromLatin1(grand[c]), name(3 + c), grandFill);
        box(colCentre(c + 0.5) + 6, rows[3], colW - 24, QStringLiteral("Great Grandmother"), name(7 + c),
            greatFill);
        box(colCentre(c + 0.5) + 6, rows[4], colW - 24, QStringLiteral("Great Grandfather"), name(11 + c),
            greatFill);
    }

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPen connector(QColor(0x6a, 0x74, 0x9a), 1.4);
    p.setPen(connector);
    auto down = [&](const QRectF& from, const QVector<QRectF>& to) {
        const double midY = (from.bottom() + to.first().top()) / 2;
        p.drawLine(QPointF(from.center().x(), from.bottom()), QPointF(from.center().x(), midY));
        p.drawLine(QPointF(to.first().center().x(), midY), QPointF(to.last().center().x(), midY));
        for (const QRectF& t : to)
            p.drawLine(QPointF(t.center().x(), midY), QPointF(t.center().x(), t.top()));
    };
    down(boxes[0].rect, {boxes[1].rect, boxes[2].rect});
    // boxes: 0 child, 1 mother, 2 father, then per column c: 3+3c grandparent, 4+3c great grandmother,
    // 5+3c great grandfather.
    down(boxes[1].rect, {boxes[3].rect, boxes[6].rect});
    down(boxes[2].rect, {boxes[9].rect, boxes[12].rect});
    for (int c = 0; c < 4; ++c) {
        const QRectF g = boxes[3 + 3 * c].rect;
        const QRectF gm = boxes[4 + 3 * c].rect;
        const QRectF gf = boxes[5 + 3 * c].rect;
        const double x = g.left() + 8;
        p.drawLine(QPointF(x, g.bottom()), QPointF(x, gf.center().y()));
        p.drawLine(QPointF(x, gm.center().y()), QPointF(gm.left(), gm.center().y()));
        p.drawLine(QPointF(x, gf.center().y()), QPointF(gf.left(), gf.center().y()));
    }
    const QFont roleFont = arial(11);
    const QFont nameFont = arial(13, true);
    const QFontMetricsF fm(nameFont);
    for (const Box& b : boxes) {
        p.setPen(QPen(navy(), 1.2));
        p.setBrush(b.fill);
        p.drawRoundedRect(b.rect, 5, 5);
        p.setFont(roleFont);
        p.setPen(navy());
        p.drawText(b.rect.adjusted(6, 4, -6, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                   b.role);
        p.setFont(nameFont);
        p.setPen(Qt::black);
        p.drawText(b.rect.adjusted(6, 0, -6, -5), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                   fm.elidedText(b.name, Qt::ElideRight, b.rect.width() - 12));
    }
    p.restore();
}

void PageRenderer::paintChart(QPainter& p, const Op& op) {
    const QRectF r = op.rect;
    QVector<int> shown;
    double lo = 0, hi = 0;
    for (int i = 0; i < op.values.size(); ++i) {
        const double v = op.values[i];
        if (qIsNaN(v) || qIsInf(v))
            continue;
        lo = shown.isEmpty() ? v : qMin(lo, v);
        hi = shown.isEmpty() ? v : qMax(hi, v);
        shown << i;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(arial(15, true));
    p.setPen(navy());
    p.drawText(QRectF(r.left(), r.top(), r.width(), 22), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               op.text + QStringLiteral(" (") + op.unit + QLatin1Char(')'));
    const QRectF plot(r.left() + 56, r.top() + 30, r.width() - 76, r.height() - 70);
    p.setPen(QPen(QColor(0x8a, 0x94, 0xb8), 1));
    p.setBrush(QColor(0xfa, 0xfb, 0xfe));
    p.drawRect(plot);
    if (shown.isEmpty()) {
        p.setFont(arial(14, false, true));
        p.setPen(QColor(0x55, 0x55, 0x55));
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No measurements to chart."));
        p.restore();
        return;
    }
    // A scale of round steps around the values.
    double span = hi - lo;
    if (span <= 0)
        span = qMax(1.0, qAbs(hi) * 0.1);
    const double rough = span / 4;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * magnitude >= rough) {
            step = m * magnitude;
            break;
        }
    // Keep the points off the frame: a step of room below the lowest and above the highest.
    double bottom = std::floor(lo / step) * step;
    if (lo - bottom < step * 0.2)
        bottom -= step;
    double top = std::ceil(hi / step) * step;
    if (top - hi < step * 0.2)
        top += step;
    auto yOf = [&](double v) { return plot.bottom() - (v - bottom) / (top - bottom) * plot.height(); };
    const int count = int(op.values.size());
    auto xOf = [&](int i) {
        return count == 1 ? plot.center().x() : plot.left() + 16 + (plot.width() - 32) * i / (count - 1);
    };
    p.setFont(arial(11));
    for (double v = bottom; v <= top + step / 2; v += step) {
        const double y = yOf(v);
        p.setPen(QPen(QColor(0xdd, 0xe1, 0xee), 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(r.left(), y - 8, 50, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'g', 6));
    }
    // Date labels under the plot, thinned out so they never overlap.
    const int every = qMax(1, int(std::ceil(count * 70.0 / plot.width())));
    for (int i = 0; i < count; i += every)
        p.drawText(QRectF(xOf(i) - 35, plot.bottom() + 4, 70, 16), Qt::AlignHCenter | Qt::AlignTop,
                   op.names.value(i));
    p.setPen(QPen(navy(), 2));
    for (int k = 1; k < shown.size(); ++k)
        p.drawLine(QPointF(xOf(shown[k - 1]), yOf(op.values[shown[k - 1]])),
                   QPointF(xOf(shown[k]), yOf(op.values[shown[k]])));
    p.setBrush(QColor(0xf0, 0x8a, 0x3c));
    p.setPen(QPen(navy(), 1.2));
    for (int i : shown)
        p.drawEllipse(QPointF(xOf(i), yOf(op.values[i])), 3.5, 3.5);
    p.restore();
}
