#pragma once

#include "core/reports/ReportDocument.h"
#include "ui/reports/ReportOutput.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QVector>

#include <future>
#include <map>

class QPagedPaintDevice;
class QPainter;

// Lays a ReportDocument out on pages of the 96-per-inch grid and paints them on any paged device (a
// printer, the preview, a PDF writer).
//
// A report: every page carries the report's title and the child's name at the top (the first page
// also the stork) and a footer with "Page n of m" and the program's credit. A book: a cover, a
// contents page, chapters that each start a page, serif type, a running header with the child's name
// and the chapter, and the page number at the foot.
//
// Entries and running text flow across pages line by line; a heading is never left alone at the foot
// of a page, a break never leaves a single line of an entry or paragraph on either page, an entry
// that fits on a page is broken only between its paragraphs, and a table parts only with two rows at
// least on each side and repeats its column headings on each page. Pictures keep their shape and print
// at 150 pixels per inch or more; in a book a photo alone spans the text column. A book's chapter
// opens a page unless the page before holds little and the chapter's start fits below it.
//
// The layout keeps no page's contents: a first pass only finds where each page begins, a little at a
// time (layoutStep), and a page is laid out again when it is painted, so memory stays small however
// long the report is. A page may be painted as soon as the first pass has passed it. Pictures are decoded
// only for the page being painted and the two after it (on workers, while the page is painted).
class PageRenderer : public ReportOutput::PageSource {
public:
    explicit PageRenderer(ReportDocument document, QPageSize::PageSizeId paper = QPageSize::Letter);

    QPageSize::PageSizeId paper() const override { return m_paper; }
    bool layoutStep() override;
    double layoutProgress() const override;
    // The page count; lays the whole report out first when that is not done yet.
    int pageCount() const override;
    bool laidOut() const override;
    int pagesReady() const override;
    // Paints page `index` (0-based) on a painter already scaled to the grid, laying out only as far
    // as that page (and the whole book for its contents page). Until the whole report is laid out,
    // the footer gives the page's number without the count.
    void paintPage(QPainter& painter, int index) override;
    // Paints every page on `device` (its page layout is set first). False when the device cannot be
    // painted on (for example a PDF file that cannot be written).
    bool render(QPagedPaintDevice* device);
    // A book's chapters with the page (1-based) each starts on.
    QVector<QPair<QString, int>> contents() const;

private:
    struct Op {
        enum class Type { Text, Line, Fill, Frame, Tree, BookTree, Chart, Image, Teeth };
        Type type = Type::Text;
        QRectF rect;
        QFont font;
        QColor color;
        int flags = 0;
        QString text;
        int block = -1; // the block whose names, values or pictures the op paints
        int index = 0;  // which picture of the block
    };
    // Where a page's layout starts again: the block under way when the page began, and the state at
    // that block's start.
    struct Resume {
        int block = 0;
        int page = 0;
        double y = 0;
        QString chapter;
    };
    struct PageInfo {
        Resume resume;
        double top = 0;
        QString chapter;
        bool cover = false;
        bool opening = false;  // the first page of a chapter, or the contents
        bool contents = false; // the book's contents, which needs every chapter's page
    };

    void layoutAll() const;
    // Starts the first pass on the first page, unless it has begun.
    void beginLayout();
    void layoutBlock(int index);
    void newPage(bool cover = false, bool opening = false);
    bool pageEmpty() const;
    bool past() const { return m_emit >= 0 && m_page > m_emit; }
    bool emitting() const { return m_page == m_emit; }
    double room() const;
    double pageTop(int page, bool cover) const;
    // Starts a new page unless `height` fits below the current position (or the page is still empty).
    void need(double height);
    void text(const QRectF& rect, const QFont& font, const QColor& color, int flags, const QString& s);
    void line(double x1, double y1, double x2, double y2, const QColor& color);
    void addOp(Op::Type type, const QRectF& rect, int block, int index = 0);
    // Lays out lines of running text from `from`, breaking over pages so that neither side of a break
    // holds a single line; `paragraphEnds` lists the lines that end a paragraph.
    void flowLines(const QStringList& lines, int from, double x, double width, const QFont& font,
                   const QColor& color);
    double sectionHeight(const ReportBlock& b) const;
    void layoutSection(const ReportBlock& b);
    void layoutFields(const ReportBlock& b);
    void layoutEntry(const ReportBlock& b);
    // The left edge of each column of a table and the right edge of the last.
    QVector<double> columnEdges(const ReportBlock& b) const;
    // A row's cells broken into lines; `lines` gets the most lines of any cell.
    QVector<QStringList> rowCells(const ReportBlock& b, const QStringList& row, const QVector<double>& x,
                                  int* lines) const;
    double rowHeight(const ReportBlock& b, int row, const QVector<double>& x) const;
    // What must fit where a table starts: its column headings and the rows that may not be parted.
    double tableStartHeight(const ReportBlock& b) const;
    // What of rows `height` tall must fit on a page before they start on it.
    double keptRows(double height) const;
    void layoutTable(const ReportBlock& b);
    void layoutParagraph(const QString& text, const QFont& font, const QColor& color);
    void layoutTree(int index);
    void layoutChart(int index);
    void layoutPictures(int index);
    void layoutCover(int index);
    void layoutContents();
    void layoutChapter(const ReportBlock& b);
    void layoutTeeth(int index);
    QVector<QSize> pictureSizes(int index);
    QVector<QSizeF> pictureBoxes(int index, double* tallest);
    double picturesHeight(int index);
    double keptHeight(int index);
    void paintHeader(QPainter& p, int index) const;
    void paintFooter(QPainter& p, int index) const;
    void paintImage(QPainter& p, const Op& op);
    void decodeAhead(int index);
    static void paintTree(QPainter& p, const QRectF& rect, const QStringList& names);
    static void paintChart(QPainter& p, const QRectF& rect, const ReportBlock& b);

    QFont bodyFont() const;
    QFont boldFont() const;
    QFont noteFont() const;
    QFont sectionFont() const;
    QFont entryFont() const;
    QFont captionFont() const;

    ReportDocument m_doc;
    QPageSize::PageSizeId m_paper;
    bool m_book;
    double m_pageWidth, m_pageHeight, m_left, m_right, m_width, m_bodyBottom;

    // The first pass: where each page begins, and each chapter's first page.
    QVector<PageInfo> m_pages;
    QVector<QPair<QString, int>> m_chapters;
    int m_next = 0; // the next block the first pass lays out
    QHash<int, QVector<QSize>> m_pictureSizes;

    // The layout under way.
    int m_page = -1;
    double m_y = 0;
    QString m_chapter;
    Resume m_blockStart;
    int m_emit = -1; // the page whose ops are kept, or -1 in the first pass
    QVector<Op> m_ops;
    // Pictures being decoded for the pages after the one painted, by block and picture.
    std::map<std::pair<int, int>, std::future<QImage>> m_decoding;
};
