#include "ui/reports/TReportPreview.h"

#include "ui/reports/ReportStyle.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// The page shown: painted from the report each time it is drawn, at the chosen scale.
class PreviewPage : public QWidget {
public:
    PreviewPage(ReportOutput::Job job, QWidget* parent) : QWidget(parent), m_job(std::move(job)) {
        setObjectName(QStringLiteral("PreviewPages"));
        setAccessibleName(QStringLiteral("Report pages"));
        setFocusPolicy(Qt::StrongFocus);
        m_grid = ReportStyle::gridSize(m_job.pages->paper());
    }
    QSizeF grid() const { return m_grid; }
    double scale() const { return m_scale; }
    void showPage(int page, double scale) {
        m_page = page;
        m_scale = scale;
        setFixedSize((m_grid * scale).toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(m_scale, m_scale);
        m_job.pages->paintPage(p, m_page);
    }

private:
    ReportOutput::Job m_job;
    QSizeF m_grid;
    int m_page = 0;
    double m_scale = 1;
};

namespace {
QToolButton* tool(const QString& name, const QString& text, const QString& hint, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}
} // namespace

TReportPreview::TReportPreview(const ReportOutput::Job& job, QWidget* parent) : QDialog(parent), m_job(job) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Preview - ") + job.name);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PreviewArea"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PreviewPage(m_job, m_scroll);
    m_scroll->setWidget(m_view);

    auto* bar = new QHBoxLayout;
    auto* zoomIn =
        tool(QStringLiteral("ZoomInBtn"), QStringLiteral("Zoom &In"), QStringLiteral("Zoom in"), this);
    auto* zoomOut =
        tool(QStringLiteral("ZoomOutBtn"), QStringLiteral("Zoom &Out"), QStringLiteral("Zoom out"), this);
    auto* fitWidth =
        tool(QStringLiteral("FitWidthBtn"), QStringLiteral("Fit &Width"), QStringLiteral("Fit width"), this);
    auto* wholePage = tool(QStringLiteral("WholePageBtn"), QStringLiteral("W&hole Page"),
                           QStringLiteral("Whole page"), this);
    auto* prev = tool(QStringLiteral("PrevPageBtn"), QStringLiteral("< P&revious"),
                      QStringLiteral("Previous page"), this);
    auto* next =
        tool(QStringLiteral("NextPageBtn"), QStringLiteral("&Next >"), QStringLiteral("Next page"), this);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("PageLabel"));
    connect(zoomIn, &QToolButton::clicked, this, [this] { setScale(m_view->scale() * 1.25); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { setScale(m_view->scale() / 1.25); });
    connect(fitWidth, &QToolButton::clicked, this, [this] { fit(true); });
    connect(wholePage, &QToolButton::clicked, this, [this] { fit(false); });
    connect(prev, &QToolButton::clicked, this, [this] { setCurrentPage(currentPage() - 1); });
    connect(next, &QToolButton::clicked, this, [this] { setCurrentPage(currentPage() + 1); });
    for (QWidget* w :
         {static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(fitWidth),
          static_cast<QWidget*>(wholePage), static_cast<QWidget*>(prev), static_cast<QWidget*>(next),
          static_cast<QWidget*>(m_pageLabel)})
        bar->addWidget(w);
    bar->addStretch();
    // The buttons that act on the report in a row of their own, so the window fits a narrow screen.
    auto* actions = new QHBoxLayout;
    actions->addStretch();
    auto* print = new QPushButton(QStringLiteral("&Print"), this);
    print->setObjectName(QStringLiteral("PrintBtn"));
    print->setAutoDefault(false);
    auto* pdf = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    pdf->setObjectName(QStringLiteral("SavePdfBtn"));
    pdf->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    close->setDefault(true);
    connect(print, &QPushButton::clicked, this, &TReportPreview::PrintBtnClick);
    connect(pdf, &QPushButton::clicked, this, &TReportPreview::SavePdfBtnClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    actions->addWidget(print);
    actions->addWidget(pdf);
    actions->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(actions);

    // As tall as the screen allows (less the window's frame), a page's width wide.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int frame = 40;
    const int height = qMax(200, available.height() - frame);
    const QSizeF grid = m_view->grid();
    const int width =
        qMin(available.width() - 16, qMax(640, int(height * grid.width() / grid.height()) + 60));
    resize(width, height);
    move(available.left() + (available.width() - width) / 2, available.top());
    const double inner = double(height - 130) / grid.height();
    m_view->showPage(0, qMax(0.2, inner));
    updatePageLabel();

    // The first page shows as soon as it is laid out; the rest is laid out a little at a time while
    // the window answers, and the page count fills in meanwhile.
    if (!m_job.pages->laidOut()) {
        auto* layingOut = new QTimer(this);
        connect(layingOut, &QTimer::timeout, this, [this, layingOut] {
            if (m_job.pages->layoutStep()) {
                layingOut->stop();
                m_view->update(); // the footer now gives the page count
            }
            updatePageLabel();
        });
        layingOut->start(0);
    }
}

int TReportPreview::pageCount() const {
    return m_job.pages->pageCount();
}

void TReportPreview::setCurrentPage(int page) {
    // While the layout goes on, the page after those laid out may be asked for: painting lays it out.
    const int last = m_job.pages->laidOut() ? m_job.pages->pageCount() - 1 : m_job.pages->pagesReady();
    m_page = qBound(0, page - 1, last);
    m_view->showPage(m_page, m_view->scale());
    m_scroll->verticalScrollBar()->setValue(0);
    updatePageLabel();
}

void TReportPreview::setScale(double scale) {
    m_view->showPage(m_page, qBound(0.1, scale, 6.0));
}

void TReportPreview::fit(bool width) {
    const QSize room = m_scroll->viewport()->size() - QSize(4, 4);
    const QSizeF grid = m_view->grid();
    const double byWidth = room.width() / grid.width();
    setScale(width ? byWidth : qMin(byWidth, room.height() / grid.height()));
}

void TReportPreview::PrintBtnClick() {
    ReportOutput::print(this, m_job);
}

void TReportPreview::SavePdfBtnClick() {
    ReportOutput::saveAsPdf(this, m_job);
}

void TReportPreview::updatePageLabel() {
    const bool done = m_job.pages->laidOut();
    const int known = qMax(currentPage(), done ? m_job.pages->pageCount() : m_job.pages->pagesReady());
    m_pageLabel->setText(QStringLiteral("Page ") + QString::number(currentPage()) + QStringLiteral(" of ") +
                         QString::number(known) + (done ? QString() : QStringLiteral("...")));
}
