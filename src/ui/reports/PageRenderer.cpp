#include "ui/reports/PageRenderer.h"

#include "ui/common/GrowthChartPainter.h"

#include "ui/common/MilestoneArt.h"
#include "ui/reports/ReportStyle.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QtNumeric>

#include <cmath>
#include <memory>

using namespace ReportStyle;

namespace {
constexpr double FirstPageBody = 176; // a report: below the title, the child's name and the stork
constexpr double PageBody = 138;      // a report: below the title and the child's name
constexpr double BookMargin = 72;     // a book: three quarters of an inch each side
constexpr double BookBody = 92;       // a book: below the running header
constexpr double TableChunk = 40;     // rows laid out as one part of a long table
constexpr double EntryIndent = 24;    // an entry's text under its date and title
constexpr double TablePad = 6;        // a table's cells: the room above and below a row's lines
// Pictures print at no more than 96/155 of a grid pixel per pixel of their own: over 150 per inch.
constexpr double PictureScale = 96.0 / 155.0;
// Pictures are decoded for painting at no fewer than this many pixels per inch of their printed size
// (the least they are printed at), and at no more than PaintedDpi where they have more to spare.
constexpr double LeastDpi = 150;
constexpr double PaintedDpi = 200;

// A picture of a block to read: its bytes, or its photo file (null when the file cannot be opened).
std::unique_ptr<QIODevice> pictureDevice(const ReportPicture& picture) {
    if (!picture.file.isEmpty()) {
        auto in = std::make_unique<QFile>(picture.file);
        return in->open(QIODevice::ReadOnly) ? std::move(in) : nullptr;
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(picture.bytes);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// Pictures are read upright, as their EXIF orientation says: a photo a camera stored on its side
// prints standing. The size the picture has so, from its header (invalid when it is no picture);
// `turned` says whether it is stored on its side.
QSize uprightSize(QImageReader& reader, bool* turned) {
    reader.setAutoTransform(true);
    *turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize stored = reader.size();
    return *turned ? stored.transposed() : stored;
}

// A picture decoded at the fewest pixels that print `width` (on the 96-per-inch grid) at LeastDpi.
QImage decodeFor(const ReportPicture& picture, double width) {
    const std::unique_ptr<QIODevice> device = pictureDevice(picture);
    if (!device)
        return QImage();
    QImageReader reader(device.get());
    bool turned = false;
    const QSize size = uprightSize(reader, &turned);
    const double least = width / 96.0 * LeastDpi;
    if (size.isValid() && size.width() > least) {
        // A JPEG decodes straight to an eighth of its size, or two eighths and so on, from its coded
        // blocks; any other size is decoded larger and scaled down after, at twice the cost or more.
        // So the smallest such size that still prints at LeastDpi is taken (and pictures of other
        // kinds are scaled to it alike).
        int eighths = 8;
        while (eighths > 1 && size.width() * (eighths - 1) / 8.0 >= least)
            --eighths;
        QSize scaled((size.width() * eighths + 7) / 8, (size.height() * eighths + 7) / 8);
        const double most = width / 96.0 * PaintedDpi;
        if (scaled.width() > most * 1.5) // a huge picture: an eighth of it is still far more than needed
            scaled = QSize(qRound(most), qMax(1, qRound(size.height() * most / size.width())));
        if (scaled != size) // the reader scales the picture as stored, before turning it
            reader.setScaledSize(turned ? scaled.transposed() : scaled);
    }
    // What an eighth step leaves over (up to half as wide again) is scaled away: every pixel more is
    // compressed again into the PDF, which costs more than this scaling.
    QImage image = reader.read();
    if (image.width() > least * 1.2)
        image = image.scaledToWidth(qRound(least * 1.1), Qt::SmoothTransformation);
    return image;
}

double lineHeight(const QFont& f) {
    return QFontMetricsF(f).lineSpacing();
}

// `text` broken into lines that fit `width`; its own line breaks are kept, and a word too long for a
// line is broken where it must be. `paragraphEnds` gets the number of lines through the end of each
// paragraph.
QStringList wrap(const QString& text, const QFont& font, double width,
                 QVector<int>* paragraphEnds = nullptr) {
    QStringList lines;
    QString clean = text;
    clean.remove(QLatin1Char('\r'));
    const QStringList paragraphs = clean.split(QLatin1Char('\n'));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& para : paragraphs) {
        if (para.trimmed().isEmpty()) {
            lines << QString();
        } else {
            QTextLayout layout(para, font);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
                l.setLineWidth(width);
                lines << para.mid(l.textStart(), l.textLength());
            }
            layout.endLayout();
        }
        if (paragraphEnds)
            *paragraphEnds << int(lines.size());
    }
    return lines;
}
} // namespace

PageRenderer::PageRenderer(ReportDocument document, QPageSize::PageSizeId paper)
    : m_paper(paper), m_book(document.book) {
    // A long table is laid out in parts, so that painting one of its pages lays out no more than a part.
    m_doc.title = document.title;
    m_doc.child = document.child;
    m_doc.book = document.book;
    m_doc.blocks.reserve(document.blocks.size());
    for (ReportBlock& b : document.blocks) {
        if (b.kind != ReportBlock::Kind::Table || b.rows.size() <= TableChunk) {
            m_doc.blocks << std::move(b);
            continue;
        }
        // The last part holds two rows at least, so that the table's last two rows are laid out
        // together and never parted by a page.
        const int n = int(b.rows.size());
        for (int from = 0; from < n;) {
            int take = int(TableChunk);
            if (n - from - take < 2)
                take = n - from > take ? n - from - 2 : n - from;
            ReportBlock part;
            part.kind = ReportBlock::Kind::Table;
            part.columns = b.columns;
            part.widths = b.widths;
            part.rows = b.rows.mid(from, take);
            part.continued = from > 0;
            from += take;
            part.continues = from < n;
            part.rowsAfter = n - from;
            m_doc.blocks << part;
        }
    }
    const QSizeF size = gridSize(paper);
    m_pageWidth = size.width();
    m_pageHeight = size.height();
    m_left = m_book ? BookMargin : 48;
    m_right = m_pageWidth - m_left;
    m_width = m_right - m_left;
    m_bodyBottom = m_book ? m_pageHeight - 76 : m_pageHeight - BottomMargin - FooterHeight - 12;
}

QFont PageRenderer::bodyFont() const {
    return m_book ? serif(15) : arial(14);
}
QFont PageRenderer::boldFont() const {
    return m_book ? serif(15, true) : arial(14, true);
}
QFont PageRenderer::noteFont() const {
    return m_book ? serif(15, false, true) : arial(14, false, true);
}
QFont PageRenderer::sectionFont() const {
    return m_book ? serif(21, true) : arial(19, true);
}
QFont PageRenderer::entryFont() const {
    return m_book ? serif(16, true) : arial(15, true);
}
QFont PageRenderer::captionFont() const {
    return m_book ? serif(13, false, true) : arial(13, true);
}

// ---- The first pass and the pages laid out again ----------------------------------------------------

void PageRenderer::beginLayout() {
    if (!m_pages.isEmpty())
        return;
    m_emit = -1;
    m_page = -1;
    m_chapter.clear();
    m_blockStart = Resume{0, -1, 0, QString()};
    newPage(!m_doc.blocks.isEmpty() && m_doc.blocks[0].kind == ReportBlock::Kind::Cover);
}

bool PageRenderer::layoutStep() {
    if (m_next >= m_doc.blocks.size() && !m_pages.isEmpty())
        return true;
    m_emit = -1;
    beginLayout();
    QElapsedTimer timer;
    timer.start();
    while (m_next < m_doc.blocks.size() && timer.elapsed() < 30)
        layoutBlock(m_next++);
    return m_next >= m_doc.blocks.size();
}

double PageRenderer::layoutProgress() const {
    return m_doc.blocks.isEmpty() ? 1.0 : double(m_next) / m_doc.blocks.size();
}

void PageRenderer::layoutAll() const {
    auto* self = const_cast<PageRenderer*>(this);
    while (!self->layoutStep()) {
    }
}

int PageRenderer::pageCount() const {
    layoutAll();
    return int(m_pages.size());
}

bool PageRenderer::laidOut() const {
    return m_next >= m_doc.blocks.size() && !m_pages.isEmpty();
}

int PageRenderer::pagesReady() const {
    // The last page begun may still be filling up until the layout is done.
    return laidOut() ? int(m_pages.size()) : qMax(0, int(m_pages.size()) - 1);
}

QVector<QPair<QString, int>> PageRenderer::contents() const {
    layoutAll();
    return m_chapters;
}

void PageRenderer::layoutBlock(int index) {
    const ReportBlock& b = m_doc.blocks[index];
    m_blockStart = Resume{index, m_page, m_y, m_chapter};
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
        layoutParagraph(b.text, noteFont(), QColor(0x55, 0x55, 0x55));
        m_y += 8;
        break;
    case ReportBlock::Kind::FamilyTree:
        layoutTree(index);
        break;
    case ReportBlock::Kind::Chart:
        layoutChart(index);
        break;
    case ReportBlock::Kind::Pictures:
        layoutPictures(index);
        break;
    case ReportBlock::Kind::Cover:
        layoutCover(index);
        break;
    case ReportBlock::Kind::Contents:
        layoutContents();
        break;
    case ReportBlock::Kind::Chapter:
        layoutChapter(b);
        break;
    case ReportBlock::Kind::TeethChart:
        layoutTeeth(index);
        break;
    }
}

double PageRenderer::pageTop(int page, bool cover) const {
    if (m_book)
        return cover ? 0 : BookBody;
    return page == 0 ? FirstPageBody : PageBody;
}

void PageRenderer::newPage(bool cover, bool opening) {
    ++m_page;
    if (m_emit < 0) {
        PageInfo info;
        info.resume = m_blockStart;
        info.top = pageTop(m_page, cover);
        info.chapter = m_chapter;
        info.cover = cover;
        info.opening = opening;
        m_pages << info;
    }
    m_y = m_page < m_pages.size() ? m_pages[m_page].top : pageTop(m_page, cover);
}

bool PageRenderer::pageEmpty() const {
    return m_page >= 0 && m_page < m_pages.size() && m_y <= m_pages[m_page].top && !m_pages[m_page].cover;
}

double PageRenderer::room() const {
    return m_bodyBottom - m_y;
}

void PageRenderer::need(double height) {
    if (height > room() && !pageEmpty())
        newPage();
}

void PageRenderer::text(const QRectF& rect, const QFont& font, const QColor& color, int flags,
                        const QString& s) {
    if (!emitting())
        return;
    Op o;
    o.type = Op::Type::Text;
    o.rect = rect;
    o.font = font;
    o.color = color;
    o.flags = flags;
    o.text = s;
    m_ops << o;
}

void PageRenderer::line(double x1, double y1, double x2, double y2, const QColor& color) {
    if (!emitting())
        return;
    Op o;
    o.type = Op::Type::Line;
    o.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    o.color = color;
    m_ops << o;
}

void PageRenderer::addOp(Op::Type type, const QRectF& rect, int block, int index) {
    if (!emitting())
        return;
    Op o;
    o.type = type;
    o.rect = rect;
    o.block = block;
    o.index = index;
    m_ops << o;
}

void PageRenderer::flowLines(const QStringList& lines, int from, double x, double width, const QFont& font,
                             const QColor& color) {
    const double lh = lineHeight(font);
    const int n = int(lines.size());
    int i = from;
    while (i < n && !past()) {
        const int fit = int((room() + 0.01) / lh);
        const int left = n - i;
        int take = left;
        if (fit < left) {
            // Two lines at least stay on this page and go on to the next.
            take = qMin(fit, left - 2);
            if (take < 2) {
                if (!pageEmpty()) {
                    newPage();
                    continue;
                }
                take = qMax(1, fit); // a page too small for two lines: nothing better can be done
            }
        }
        for (int k = 0; k < take; ++k) {
            text(QRectF(x, m_y, width, lh), font, color, Qt::AlignLeft | Qt::AlignTop, lines[i + k]);
            m_y += lh;
        }
        i += take;
        if (i < n)
            newPage();
    }
}

// ---- The blocks ---------------------------------------------------------------------------------------

double PageRenderer::keptHeight(int index) {
    // What must stand on the same page as a heading above block `index`: its first lines, its table
    // headings and first row, or the whole of a picture or a drawing.
    const double lh = lineHeight(bodyFont());
    if (index >= m_doc.blocks.size())
        return 0;
    const ReportBlock& b = m_doc.blocks[index];
    switch (b.kind) {
    case ReportBlock::Kind::Entry: {
        // Its date, title and first lines; an entry kept whole with its first row of photos, whole.
        const double head = lineHeight(entryFont()) + 2;
        const int next = index + 1;
        if (next < m_doc.blocks.size() && m_doc.blocks[next].kind == ReportBlock::Kind::Pictures) {
            const double whole =
                head + wrap(b.text, bodyFont(), m_width - EntryIndent).size() * lh + picturesHeight(next);
            if (whole <= m_bodyBottom - pageTop(1, false))
                return whole;
        }
        return head + 3 * lh;
    }
    case ReportBlock::Kind::Section:
        return sectionHeight(b) + keptHeight(index + 1);
    case ReportBlock::Kind::Table:
        return tableStartHeight(b);
    case ReportBlock::Kind::FamilyTree:
        return m_book ? m_width * MilestoneArt::familyTreeSize().height() /
                            MilestoneArt::familyTreeSize().width()
                      : 340;
    case ReportBlock::Kind::Chart:
        return 250;
    case ReportBlock::Kind::TeethChart:
        return 308;
    case ReportBlock::Kind::Pictures:
        return picturesHeight(index);
    default:
        return 3 * lh;
    }
}

double PageRenderer::sectionHeight(const ReportBlock& b) const {
    return 10 + lineHeight(sectionFont()) + 10 + (b.date.isEmpty() ? 0.0 : lineHeight(captionFont()) + 4);
}

void PageRenderer::layoutSection(const ReportBlock& b) {
    const QFont f = sectionFont();
    const double h = lineHeight(f);
    // A heading keeps company with the start of what follows.
    need(sectionHeight(b) + keptHeight(m_blockStart.block + 1));
    if (!pageEmpty())
        m_y += 10;
    text(QRectF(m_left, m_y, m_width, h), f, navy(), Qt::AlignLeft | Qt::AlignTop, b.title);
    m_y += h + 2;
    line(m_left, m_y, m_right, m_y, navy());
    m_y += 8;
    if (!b.date.isEmpty()) {
        // A line under the heading, such as a birthday's date and the child's age then.
        const QFont under = captionFont();
        text(QRectF(m_left, m_y, m_width, lineHeight(under)), under, QColor(0x44, 0x44, 0x44),
             Qt::AlignLeft | Qt::AlignTop, b.date);
        m_y += lineHeight(under) + 4;
    }
}

void PageRenderer::layoutFields(const ReportBlock& b) {
    constexpr double captionWidth = 220;
    constexpr double gap = 12;
    const double lh = lineHeight(bodyFont());
    for (const auto& [caption, value] : b.fields) {
        if (past())
            return;
        QStringList lines = wrap(value, bodyFont(), m_width - captionWidth - gap);
        if (lines.isEmpty())
            lines << QString();
        need(lh * qMin(int(lines.size()), 3) + 4);
        text(QRectF(m_left, m_y, captionWidth, lh), boldFont(), Qt::black, Qt::AlignRight | Qt::AlignTop,
             caption + QLatin1Char(':'));
        flowLines(lines, 0, m_left + captionWidth + gap, m_width - captionWidth - gap, bodyFont(), Qt::black);
        m_y += 1;
    }
    m_y += 6;
}

void PageRenderer::layoutEntry(const ReportBlock& b) {
    const QFont head = entryFont();
    const double hh = lineHeight(head) + 2;
    const double lh = lineHeight(bodyFont());
    const double indent = EntryIndent;
    QVector<int> ends;
    QStringList lines = wrap(b.text, bodyFont(), m_width - indent, &ends);
    // Blank lines at the end of a text print nothing.
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const int n = int(lines.size());
    const double total = hh + n * lh;
    const double freshPage = m_bodyBottom - pageTop(1, false);
    // An entry keeps its first row of photos with it: both go to the next page when they do not fit here.
    const int next = m_blockStart.block + 1;
    if (next < m_doc.blocks.size() && m_doc.blocks[next].kind == ReportBlock::Kind::Pictures &&
        !pageEmpty()) {
        const double withPhotos = total + picturesHeight(next);
        if (withPhotos > room() && withPhotos <= freshPage)
            newPage();
    }
    int split = -1; // the line the entry goes on from on the next page, when broken at a paragraph's end
    if (total > room() && !pageEmpty()) {
        const int fit = int((room() - hh + 0.01) / lh);
        for (int e : ends)
            if (e >= 2 && e <= fit && n - e >= 2)
                split = e; // the last paragraph end that fits
        if (split < 0 && (total <= freshPage || fit < 2 || n < 4))
            newPage(); // kept whole on the next page, or begun there when too long for any page
    }
    const QFontMetricsF fm(head);
    const double dateWidth = b.date.isEmpty() ? 0.0 : qMax(90.0, fm.horizontalAdvance(b.date) + 16);
    text(QRectF(m_left, m_y, dateWidth, hh), head, navy(), Qt::AlignLeft | Qt::AlignTop, b.date);
    text(QRectF(m_left + dateWidth, m_y, m_width - dateWidth, hh), head, Qt::black,
         Qt::AlignLeft | Qt::AlignTop, fm.elidedText(b.title, Qt::ElideRight, m_width - dateWidth));
    m_y += hh;
    if (split > 0) {
        flowLines(lines.mid(0, split), 0, m_left + indent, m_width - indent, bodyFont(), Qt::black);
        newPage();
        flowLines(lines, split, m_left + indent, m_width - indent, bodyFont(), Qt::black);
    } else {
        flowLines(lines, 0, m_left + indent, m_width - indent, bodyFont(), Qt::black);
    }
    m_y += 4;
    line(m_left, m_y, m_right, m_y, QColor(0xc8, 0xcc, 0xdc));
    m_y += 10;
}

QVector<double> PageRenderer::columnEdges(const ReportBlock& b) const {
    QVector<double> x{m_left};
    double total = 0;
    for (double w : b.widths)
        total += w;
    for (int c = 0; c < b.columns.size(); ++c)
        x << x.last() +
                 m_width * (c < b.widths.size() && total > 0 ? b.widths[c] / total : 1.0 / b.columns.size());
    return x;
}

QVector<QStringList> PageRenderer::rowCells(const ReportBlock& b, const QStringList& row,
                                            const QVector<double>& x, int* lines) const {
    QVector<QStringList> cells;
    *lines = 1;
    for (int c = 0; c < b.columns.size(); ++c) {
        cells << wrap(row.value(c), bodyFont(), x[c + 1] - x[c] - 2 * TablePad);
        *lines = qMax(*lines, int(cells.last().size()));
    }
    return cells;
}

double PageRenderer::rowHeight(const ReportBlock& b, int row, const QVector<double>& x) const {
    int lines = 1;
    rowCells(b, b.rows.value(row), x, &lines);
    return lines * lineHeight(bodyFont()) + TablePad;
}

double PageRenderer::tableStartHeight(const ReportBlock& b) const {
    // The column headings with the first two rows, since a table parts only with two rows at least on
    // each side; a table of three rows cannot be parted so, and starts where all three fit.
    const QVector<double> x = columnEdges(b);
    const int total = int(b.rows.size()) + b.rowsAfter;
    const int first = qMin(int(b.rows.size()), total == 3 ? 3 : 2);
    const double headings = lineHeight(bodyFont()) + TablePad;
    double rows = 0;
    for (int r = 0; r < first; ++r)
        rows += rowHeight(b, r, x);
    return headings + keptRows(rows);
}

double PageRenderer::keptRows(double height) const {
    // Rows too tall for any page go on over the pages that follow: they start where three of their
    // lines fit.
    const double lh = lineHeight(bodyFont());
    const double fresh = m_bodyBottom - pageTop(1, false) - (lh + TablePad);
    return height > fresh ? 3 * lh + TablePad : height;
}

void PageRenderer::layoutTable(const ReportBlock& b) {
    const double lh = lineHeight(bodyFont());
    const QVector<double> x = columnEdges(b);

    auto header = [&] {
        if (emitting()) {
            Op fill;
            fill.type = Op::Type::Fill;
            fill.rect = QRectF(m_left, m_y, m_width, lh + TablePad);
            fill.color = QColor(0xdd, 0xe4, 0xf3);
            m_ops << fill;
        }
        for (int c = 0; c < b.columns.size(); ++c)
            text(QRectF(x[c] + TablePad, m_y + 3, x[c + 1] - x[c] - 2 * TablePad, lh), boldFont(), navy(),
                 Qt::AlignLeft | Qt::AlignTop, b.columns[c]);
        m_y += lh + TablePad;
    };
    if (!b.continued) {
        need(tableStartHeight(b));
        header();
    }
    const int n = int(b.rows.size());
    for (int r = 0; r < n; ++r) {
        if (past())
            return;
        int lines = 1;
        const QVector<QStringList> cells = rowCells(b, b.rows[r], x, &lines);
        // The last two rows of the table go over to the next page together rather than leave one
        // there alone (they are always in the last part).
        double kept = lines * lh + TablePad;
        if (r == n - 2 && b.rowsAfter == 0 && (r >= 2 || b.continued))
            kept += rowHeight(b, r + 1, x);
        if (keptRows(kept) > room() && !pageEmpty()) {
            newPage();
            header();
        }
        // A row taller than a whole page goes on over the next pages, so no line of it is lost.
        for (int first = 0; first < lines;) {
            const int fit = qMax(1, int((room() - TablePad) / lh));
            const int end = qMin(lines, first + fit);
            for (int c = 0; c < cells.size(); ++c)
                for (int i = first; i < qMin(end, int(cells[c].size())); ++i)
                    text(QRectF(x[c] + TablePad, m_y + 3 + (i - first) * lh, x[c + 1] - x[c] - 2 * TablePad,
                                lh),
                         bodyFont(), Qt::black, Qt::AlignLeft | Qt::AlignTop, cells[c][i]);
            m_y += (end - first) * lh + TablePad;
            first = end;
            if (first < lines) {
                newPage();
                header();
            }
        }
        line(m_left, m_y, m_right, m_y, QColor(0xc8, 0xcc, 0xdc));
    }
    if (!b.continues)
        m_y += 12;
}

void PageRenderer::layoutParagraph(const QString& s, const QFont& font, const QColor& color) {
    const double lh = lineHeight(font);
    QStringList lines = wrap(s, font, m_width);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    need(lh * qMin(int(lines.size()), 3));
    flowLines(lines, 0, m_left, m_width, font, color);
}

void PageRenderer::layoutTree(int index) {
    if (m_book) {
        // The tree as the family form shows it, across the width of the page.
        const QSizeF art = MilestoneArt::familyTreeSize();
        const double height = m_width * art.height() / art.width();
        need(height);
        addOp(Op::Type::BookTree, QRectF(m_left, m_y, m_width, height), index);
        m_y += height + 16;
        return;
    }
    constexpr double height = 340;
    need(height);
    addOp(Op::Type::Tree, QRectF(m_left, m_y, m_width, height), index);
    m_y += height + 16;
}

void PageRenderer::layoutChart(int index) {
    constexpr double height = 300;
    need(height);
    addOp(Op::Type::Chart, QRectF(m_left, m_y, m_width, height), index);
    m_y += height + 16;
}

void PageRenderer::layoutTeeth(int index) {
    // The arches as the teeth form draws them, in a box of its proportions.
    const QSizeF art = MilestoneArt::teethChartSize();
    const double height = 300;
    const double width = height * art.width() / art.height();
    need(height + 8);
    addOp(Op::Type::Teeth, QRectF(m_left + (m_width - width) / 2, m_y, width, height), index);
    m_y += height + 16;
}

QVector<QSize> PageRenderer::pictureSizes(int index) {
    auto it = m_pictureSizes.constFind(index);
    if (it != m_pictureSizes.constEnd())
        return it.value();
    // Only the pictures' headers are read here; the pixels wait for the page that paints them.
    QVector<QSize> sizes;
    const ReportBlock& b = m_doc.blocks[index];
    for (const ReportPicture& picture : b.images) {
        const std::unique_ptr<QIODevice> device = pictureDevice(picture);
        if (!device) {
            sizes << QSize();
            continue;
        }
        QImageReader reader(device.get());
        bool turned = false;
        sizes << (reader.canRead() ? uprightSize(reader, &turned) : QSize());
    }
    m_pictureSizes.insert(index, sizes);
    return sizes;
}

QVector<QSizeF> PageRenderer::pictureBoxes(int index, double* tallest) {
    // Each picture in an equal share of the width and at most so tall, scaled by one factor both ways
    // so nothing is stretched, and never printed at fewer than 150 pixels per inch.
    const ReportBlock& b = m_doc.blocks[index];
    const int n = int(b.images.size());
    // In a book a photo alone spans the text column (a standing one as tall as a good half of the
    // page); two or more share the width.
    const double maxHeight = m_book ? (n == 1 ? 0.6 * (m_bodyBottom - BookBody) : 380) : 300;
    constexpr double gap = 16;
    const double ch = lineHeight(captionFont());
    const double cell = n == 0 ? m_width : (m_width - gap * (n - 1)) / n;
    QVector<QSizeF> sizes;
    *tallest = ch * 2;
    for (const QSize& px : pictureSizes(index)) {
        QSizeF size(cell, ch * 2);
        if (px.isValid() && !px.isEmpty()) {
            const double scale = qMin(PictureScale, qMin(cell / px.width(), maxHeight / px.height()));
            size = QSizeF(px.width() * scale, px.height() * scale);
        }
        *tallest = qMax(*tallest, size.height());
        sizes << size;
    }
    return sizes;
}

double PageRenderer::picturesHeight(int index) {
    double tallest = 0;
    pictureBoxes(index, &tallest);
    bool captioned = false;
    for (const QString& c : m_doc.blocks[index].names)
        captioned = captioned || !c.isEmpty();
    return tallest + (captioned ? lineHeight(captionFont()) + 4 : 0) + 4;
}

void PageRenderer::layoutPictures(int index) {
    // Pictures stand side by side, each in an equal share of the width and at most MaxHeight tall,
    // scaled by one factor both ways so nothing is stretched, and never printed at fewer than 150
    // pixels per inch.
    const ReportBlock& b = m_doc.blocks[index];
    constexpr double gap = 16;
    const QFont cf = captionFont();
    const double ch = lineHeight(cf);
    const int n = int(b.images.size());
    if (n == 0)
        return;
    const double cell = (m_width - gap * (n - 1)) / n;
    const QVector<QSize> pixels = pictureSizes(index);
    double tallest = 0;
    const QVector<QSizeF> sizes = pictureBoxes(index, &tallest);
    bool captioned = false;
    for (const QString& c : b.names)
        captioned = captioned || !c.isEmpty();
    need(picturesHeight(index));
    for (int i = 0; i < n; ++i) {
        const double x = m_left + i * (cell + gap);
        const QRectF area(x + (cell - sizes[i].width()) / 2, m_y, sizes[i].width(), sizes[i].height());
        if (!pixels[i].isValid() || pixels[i].isEmpty()) {
            // Bytes that are no picture (a damaged file) are said to be so rather than left out unseen.
            text(QRectF(x, m_y, cell, ch), m_book ? serif(13, false, true) : arial(13, false, true),
                 QColor(0x55, 0x55, 0x55), Qt::AlignHCenter,
                 QStringLiteral("This picture could not be read."));
        } else {
            addOp(Op::Type::Image, area, index, i);
            if (emitting()) {
                Op frame;
                frame.type = Op::Type::Frame;
                frame.rect = area.adjusted(-1, -1, 1, 1);
                frame.color = QColor(0x8a, 0x94, 0xb8);
                m_ops << frame;
            }
        }
        if (!b.names.value(i).isEmpty())
            text(QRectF(x, m_y + tallest + 4, cell, ch), cf, navy(), Qt::AlignHCenter, b.names[i]);
    }
    m_y += tallest + (captioned ? ch + 4 : 0) + 16;
}

void PageRenderer::layoutCover(int index) {
    // The cover page: the book's title, the child's picture, the full name and the birth date.
    const ReportBlock& b = m_doc.blocks[index];
    if (m_page < 0 || !m_pages.value(m_page).cover || m_y > 0)
        newPage(true);
    const QFont titleFont = serif(40, false, true);
    const QFont nameFont = serif(36, true);
    const QFont dateFont = serif(20, false, true);
    m_y = 110;
    text(QRectF(m_left, m_y, m_width, lineHeight(titleFont)), titleFont, navy(),
         Qt::AlignHCenter | Qt::AlignTop, m_doc.title);
    m_y += lineHeight(titleFont) + 40;
    const QVector<QSize> pixels = pictureSizes(index);
    if (!pixels.isEmpty() && pixels[0].isValid() && !pixels[0].isEmpty()) {
        const double box = 480;
        const double scale = qMin(PictureScale, qMin(box / pixels[0].width(), box / pixels[0].height()));
        const QSizeF size(pixels[0].width() * scale, pixels[0].height() * scale);
        const QRectF area(m_left + (m_width - size.width()) / 2, m_y, size.width(), size.height());
        addOp(Op::Type::Image, area, index, 0);
        if (emitting()) {
            Op frame;
            frame.type = Op::Type::Frame;
            frame.rect = area.adjusted(-2, -2, 2, 2);
            frame.color = navy();
            m_ops << frame;
        }
        m_y += size.height() + 40;
    } else {
        m_y += 120;
    }
    for (const QString& l : wrap(b.title, nameFont, m_width)) {
        text(QRectF(m_left, m_y, m_width, lineHeight(nameFont)), nameFont, Qt::black,
             Qt::AlignHCenter | Qt::AlignTop, l);
        m_y += lineHeight(nameFont);
    }
    m_y += 12;
    if (!b.date.isEmpty())
        text(QRectF(m_left, m_y, m_width, lineHeight(dateFont)), dateFont, Qt::black,
             Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Born ") + b.date);
    m_y += lineHeight(dateFont);
}

void PageRenderer::layoutChapter(const ReportBlock& b) {
    // A chapter opens a page, unless the page before holds so little (a short chapter, the end of a
    // long one) that the new chapter's start fits on it with room to spare: no page is left with only
    // a few lines on it when what follows would have fitted.
    const QFont f = serif(34, true);
    const double opening = 36 + lineHeight(f) + 4 + 28;
    const double gap = 48;
    const PageInfo* page = m_page >= 0 && m_page < m_pages.size() ? &m_pages[m_page] : nullptr;
    const bool share = page && !page->cover && !page->contents && !pageEmpty() &&
                       m_y - page->top < 0.45 * (m_bodyBottom - page->top) &&
                       gap + opening + keptHeight(m_blockStart.block + 1) <= room();
    m_chapter = b.title;
    if (share) {
        m_y += gap;
        line(m_left + m_width / 3, m_y - gap / 2, m_right - m_width / 3, m_y - gap / 2, navy());
    } else {
        newPage(false, true);
    }
    if (m_emit < 0)
        m_chapters << qMakePair(b.title, m_page + 1);
    m_y += 36;
    text(QRectF(m_left, m_y, m_width, lineHeight(f)), f, navy(), Qt::AlignLeft | Qt::AlignTop, b.title);
    m_y += lineHeight(f) + 4;
    line(m_left, m_y, m_right, m_y, navy());
    m_y += 28;
}

void PageRenderer::layoutContents() {
    // One line for each chapter of the book; their pages are known once the first pass is done, which
    // is always before this page is painted.
    m_chapter = QStringLiteral("Contents");
    newPage(false, true);
    if (m_emit < 0)
        m_pages.last().contents = true;
    const QFont f = serif(34, true);
    m_y += 36;
    text(QRectF(m_left, m_y, m_width, lineHeight(f)), f, navy(), Qt::AlignLeft | Qt::AlignTop,
         QStringLiteral("Contents"));
    m_y += lineHeight(f) + 4;
    line(m_left, m_y, m_right, m_y, navy());
    m_y += 28;
    const QFont entry = serif(18);
    const double lh = lineHeight(entry) + 10;
    int chapter = 0;
    for (const ReportBlock& b : m_doc.blocks) {
        if (b.kind != ReportBlock::Kind::Chapter)
            continue;
        const QString page = QString::number(m_chapters.value(chapter).second);
        const double pageWidth = 60;
        text(QRectF(m_left + 12, m_y, m_width - 12 - pageWidth, lh), entry, Qt::black,
             Qt::AlignLeft | Qt::AlignTop, b.title);
        text(QRectF(m_right - pageWidth, m_y, pageWidth, lh), entry, Qt::black, Qt::AlignRight | Qt::AlignTop,
             page);
        const double leaderY = m_y + lineHeight(entry) - 5;
        const double titleEnd = m_left + 12 + QFontMetricsF(entry).horizontalAdvance(b.title) + 10;
        const double pageStart = m_right - QFontMetricsF(entry).horizontalAdvance(page) - 10;
        if (emitting() && pageStart > titleEnd) {
            Op dots;
            dots.type = Op::Type::Line;
            dots.rect = QRectF(QPointF(titleEnd, leaderY), QPointF(pageStart, leaderY));
            dots.color = QColor(0x90, 0x90, 0x90);
            dots.flags = 1; // dotted
            m_ops << dots;
        }
        m_y += lh;
        ++chapter;
    }
}

// ---- Painting -----------------------------------------------------------------------------------------

bool PageRenderer::render(QPagedPaintDevice* device) {
    const int pages = pageCount();
    preparePage(device, m_paper);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    scaleToGrid(painter);
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device->newPage())
            return false;
        paintPage(painter, i);
    }
    return painter.end();
}

void PageRenderer::paintPage(QPainter& p, int index) {
    // Only as far as this page is laid out now, a block at a time.
    beginLayout();
    while (!laidOut() && (index >= pagesReady() || (index < m_pages.size() && m_pages[index].contents)))
        layoutBlock(m_next++);
    if (index < 0 || index >= m_pages.size())
        return;
    // The first pass, when not done, goes on later from where it stands.
    const Resume firstPass{m_next, m_page, m_y, m_chapter};
    const Resume firstPassBlock = m_blockStart;
    // Lay the page out again from the block under way when it began.
    const Resume r = m_pages[index].resume;
    m_emit = index;
    m_ops.clear();
    m_page = r.page;
    m_y = r.y;
    m_chapter = r.chapter;
    if (m_page < 0)
        newPage(m_pages[0].cover);
    for (int i = r.block; i < m_doc.blocks.size() && !past(); ++i)
        layoutBlock(i);
    m_emit = -1;
    m_page = firstPass.page;
    m_y = firstPass.y;
    m_chapter = firstPass.chapter;
    m_blockStart = firstPassBlock;
    decodeAhead(index);

    paintHeader(p, index);
    for (const Op& op : std::as_const(m_ops)) {
        switch (op.type) {
        case Op::Type::Text:
            p.setFont(op.font);
            p.setPen(op.color);
            p.drawText(op.rect, op.flags | Qt::TextSingleLine, op.text);
            break;
        case Op::Type::Line:
            p.setPen(QPen(op.color, 1, op.flags == 1 ? Qt::DotLine : Qt::SolidLine));
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
            paintTree(p, op.rect, m_doc.blocks[op.block].names);
            break;
        case Op::Type::BookTree: {
            const QStringList& names = m_doc.blocks[op.block].names;
            MilestoneArt::paintFamilyTree(p, op.rect, names.value(0), names.mid(1));
            break;
        }
        case Op::Type::Chart:
            paintChart(p, op.rect, m_doc.blocks[op.block]);
            break;
        case Op::Type::Image:
            paintImage(p, op);
            break;
        case Op::Type::Teeth: {
            QVector<bool> dated;
            for (const QString& d : m_doc.blocks[op.block].names)
                dated << !d.trimmed().isEmpty();
            MilestoneArt::paintTeethChart(p, op.rect, dated);
            break;
        }
        }
    }
    m_ops.clear();
    paintFooter(p, index);
}

void PageRenderer::paintImage(QPainter& p, const Op& op) {
    // Decoded by now on a worker while an earlier page was painted, or else now; let go with the page.
    const auto key = std::make_pair(op.block, op.index);
    const auto ahead = m_decoding.find(key);
    QImage image;
    if (ahead != m_decoding.end()) {
        image = ahead->second.get();
        m_decoding.erase(ahead);
    } else {
        const ReportBlock& b = m_doc.blocks[op.block];
        image = decodeFor(b.images.value(op.index), op.rect.width());
    }
    if (image.isNull())
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(op.rect, image);
    p.restore();
}

void PageRenderer::decodeAhead(int index) {
    // The pictures of the next two pages are decoded on workers while this one is painted; what was
    // decoded for other pages (the preview goes back and forth) is let go, so that no more than a few
    // pages' pictures are ever held.
    const int first = m_pages[index].resume.block;
    const int last =
        index + 3 < m_pages.size() ? m_pages[index + 3].resume.block : int(m_doc.blocks.size()) - 1;
    for (auto it = m_decoding.begin(); it != m_decoding.end();)
        it = it->first.first < first || it->first.first > last ? m_decoding.erase(it) : std::next(it);
    if (index + 1 >= m_pages.size())
        return;
    for (int b = m_pages[index + 1].resume.block; b <= last; ++b) {
        if (m_doc.blocks[b].kind != ReportBlock::Kind::Pictures)
            continue;
        double tallest = 0;
        const QVector<QSizeF> boxes = pictureBoxes(b, &tallest);
        const QVector<QSize> pixels = pictureSizes(b);
        for (int i = 0; i < boxes.size(); ++i) {
            const auto key = std::make_pair(b, i);
            if (!pixels[i].isValid() || pixels[i].isEmpty() || m_decoding.count(key))
                continue;
            m_decoding.emplace(key, std::async(std::launch::async, decodeFor, m_doc.blocks[b].images.value(i),
                                               boxes[i].width()));
        }
    }
}

void PageRenderer::paintHeader(QPainter& p, int index) const {
    const PageInfo& page = m_pages[index];
    if (m_book) {
        if (page.cover || page.opening)
            return;
        const QFont f = serif(13, false, true);
        drawLabel(p, QRectF(m_left, 40, m_width / 2, 20), Qt::AlignLeft, f, Qt::black, m_doc.child);
        drawLabel(p, QRectF(m_left + m_width / 2, 40, m_width / 2, 20), Qt::AlignRight, f, Qt::black,
                  page.chapter);
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.8));
        p.drawLine(QPointF(m_left, 66), QPointF(m_right, 66));
        return;
    }
    const bool first = index == 0;
    drawLabel(p, QRectF(m_left, 56, first ? 540 : m_width, 32), Qt::AlignLeft, arial(24), navy(),
              m_doc.title);
    drawLabel(p, QRectF(m_left, 94, first ? 540 : m_width, 22), Qt::AlignLeft, arial(16, true), Qt::black,
              m_doc.child);
    if (first) {
        drawStork(p, QRectF(m_pageWidth - 196, 30, 150, 108));
        drawLabel(p, QRectF(m_pageWidth - 156, 140, 100, 18), Qt::AlignHCenter, arial(13, true), navy(),
                  QStringLiteral("by Tinyra 4 "));
    }
    const double y = (first ? FirstPageBody : PageBody) - 12;
    p.setPen(QPen(navy(), 2));
    p.drawLine(QPointF(m_left, y), QPointF(m_right, y));
}

void PageRenderer::paintFooter(QPainter& p, int index) const {
    if (m_book) {
        if (m_pages[index].cover)
            return;
        drawLabel(p, QRectF(m_left, m_pageHeight - 56, m_width, 20), Qt::AlignHCenter, serif(14), Qt::black,
                  QString::number(index + 1));
        return;
    }
    const double footerTop = m_pageHeight - BottomMargin - FooterHeight;
    p.setPen(QPen(navy(), 1));
    p.drawLine(QPointF(m_left, footerTop + 8), QPointF(m_right, footerTop + 8));
    const QFont f = arial(13, true);
    QString number = QStringLiteral("Page ") + QString::number(index + 1);
    if (laidOut())
        number += QStringLiteral(" of ") + QString::number(pageCount());
    drawLabel(p, QRectF(m_left, footerTop + 17, 200, 16), Qt::AlignLeft, f, navy(), number);
    drawLabel(p, QRectF(m_right - 603, footerTop + 17, 603, 16), Qt::AlignRight, f, navy(), creditLine());
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

void PageRenderer::paintChart(QPainter& p, const QRectF& r, const ReportBlock& op) {
    if (!op.growth)
        return;
    // The same painter as the growth form's chart page, so that paper and screen agree.
    GrowthChartPainter chart(*op.growth, op.measure,
                             op.metric ? GrowthUnits::System::Metric : GrowthUnits::System::Imperial,
                             arial(11));
    chart.paint(p, r);
}
