#include "ui/reports/TReportPreview.h"

#include "ui/reports/ReportStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

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

TReportPreview::TReportPreview(const ReportOutput::Job& job, QWidget* parent)
    : QDialog(parent), m_job(job), m_printer(new QPrinter(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Preview - ") + job.name);
    m_printer->setFullPage(true);
    m_printer->setDocName(job.name);
    ReportStyle::preparePage(m_printer);

    m_view = new QPrintPreviewWidget(m_printer, this);
    m_view->setObjectName(QStringLiteral("PreviewPages"));
    m_view->setAccessibleName(QStringLiteral("Report pages"));
    connect(m_view, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { m_job.render(printer); });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &TReportPreview::updatePageLabel);

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
    connect(zoomIn, &QToolButton::clicked, m_view, [this] { m_view->zoomIn(); });
    connect(zoomOut, &QToolButton::clicked, m_view, [this] { m_view->zoomOut(); });
    connect(fitWidth, &QToolButton::clicked, m_view, &QPrintPreviewWidget::fitToWidth);
    connect(wholePage, &QToolButton::clicked, m_view, &QPrintPreviewWidget::fitInView);
    connect(prev, &QToolButton::clicked, this, [this] {
        m_view->setCurrentPage(m_view->currentPage() - 1);
        updatePageLabel();
    });
    connect(next, &QToolButton::clicked, this, [this] {
        m_view->setCurrentPage(m_view->currentPage() + 1);
        updatePageLabel();
    });
    for (QWidget* w :
         {static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(fitWidth),
          static_cast<QWidget*>(wholePage), static_cast<QWidget*>(prev), static_cast<QWidget*>(next),
          static_cast<QWidget*>(m_pageLabel)})
        bar->addWidget(w);
    bar->addStretch();
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
    bar->addWidget(print);
    bar->addWidget(pdf);
    bar->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    resize(760, 900);
    m_view->fitInView();
    updatePageLabel();
}

TReportPreview::~TReportPreview() {
    delete m_view; // before the printer it paints on
    delete m_printer;
}

void TReportPreview::PrintBtnClick() {
    ReportOutput::print(this, m_job);
}

void TReportPreview::SavePdfBtnClick() {
    ReportOutput::saveAsPdf(this, m_job);
}

void TReportPreview::updatePageLabel() {
    m_pageLabel->setText(QStringLiteral("Page ") + QString::number(m_view->currentPage()) +
                         QStringLiteral(" of ") + QString::number(m_view->pageCount()));
}
