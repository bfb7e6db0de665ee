#include "ui/reports/TPrintReports.h"

#include "core/reports/AnnouncementTexts.h"
#include "core/reports/ReportCatalog.h"
#include "core/reports/ReportRegistry.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/reports/PageRenderer.h"
#include "ui/reports/ReportStyle.h"
#include "ui/reports/TSampleReport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

TPrintReports* PrintReports = nullptr;

namespace {
QFont arial(int px, bool bold = false) {
    return ReportStyle::arial(px, bold);
}

QLabel* label(const QString& name, const QString& caption, const QFont& font, const QColor& color,
              QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setFont(font);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}

// The large glyphs of the two picture buttons: a printer, and a page under a magnifying glass.
QPixmap glyph(bool printer) {
    QPixmap pm(128, 128);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x1b, 0x2a, 0x6b);
    p.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (printer) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(36, 12, 56, 40)); // paper going in
        p.setBrush(QColor(0x9f, 0xb4, 0xe0));
        p.drawRoundedRect(QRectF(14, 44, 100, 50), 10, 10); // body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(34, 76, 60, 40)); // printed page
        p.setPen(QPen(ink, 3));
        for (int y : {88, 98, 108})
            p.drawLine(42, y, 86, y);
        p.setBrush(QColor(0x3c, 0xb0, 0x4a));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(98, 58), 5, 5);
    } else {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(18, 10, 70, 92)); // page
        p.setPen(QPen(ink, 3));
        for (int y : {28, 40, 52, 64})
            p.drawLine(30, y, 76, y);
        p.setPen(QPen(ink, 6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(QColor(0xd6, 0xe6, 0xff, 200));
        p.drawEllipse(QPointF(78, 78), 24, 24); // lens
        p.setPen(QPen(ink, 12, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(96, 96), QPointF(116, 116)); // handle
    }
    return pm;
}

// The help button's glyph: a question mark in a blue disc.
QIcon helpGlyph() {
    QPixmap pm(40, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4f, 0xc4));
    p.drawEllipse(QRectF(2, 2, 36, 36));
    p.setPen(Qt::white);
    p.setFont(ReportStyle::arial(28, true));
    p.drawText(QRectF(2, 2, 36, 36), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pm);
}

QPushButton* pictureButton(const QString& name, bool printer, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(name);
    b->setFixedSize(89, 97);
    b->setIcon(QIcon(glyph(printer)));
    b->setIconSize(QSize(64, 64));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TPrintReports::TPrintReports(QWidget* parent) : TDialog(parent), ChildTable(QStringLiteral("CHILD")) {
    setObjectName(QStringLiteral("PrintReports"));
    setWindowTitle(QStringLiteral("Reports"));
}

void TPrintReports::build() {
    const QColor blue(Qt::blue);

    Label1 =
        label(QStringLiteral("Label1"), QStringLiteral("&Report to Print:"), arial(16, true), blue, this);
    ReportName = new QComboBox(this);
    ReportName->setObjectName(QStringLiteral("ReportName"));
    ReportName->setEditable(true);
    ReportName->setInsertPolicy(QComboBox::NoInsert); // a typed name is acted on, not added to the list
    ReportName->setFont(arial(16));
    ReportName->setMinimumWidth(240);
    Label1->setBuddy(ReportName);
    ReportName->setAccessibleName(QStringLiteral("Report to Print"));

    // The paper the pages are laid out on: the locale's own, or the other one.
    PaperLabel = label(QStringLiteral("PaperLabel"), QStringLiteral("P&aper:"), arial(13, true), blue, this);
    PaperSize = new QComboBox(this);
    PaperSize->setObjectName(QStringLiteral("PaperSize"));
    PaperSize->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    PaperSize->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    PaperSize->setCurrentIndex(ReportStyle::localPaper() == QPageSize::A4 ? 1 : 0);
    PaperSize->setAccessibleName(QStringLiteral("Paper"));
    PaperLabel->setBuddy(PaperSize);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    BitBtn1 = pictureButton(QStringLiteral("BitBtn1"), true, QStringLiteral("Print"), GroupBox1);
    BitBtn2 = pictureButton(QStringLiteral("BitBtn2"), false, QStringLiteral("Preview"), GroupBox1);
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Print"), arial(13, true), blue, GroupBox1);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("Preview"), arial(13, true), blue, GroupBox1);
    Label3->setAlignment(Qt::AlignHCenter);
    Label2->setAlignment(Qt::AlignHCenter);
    auto* group = new QGridLayout(GroupBox1);
    group->setContentsMargins(8, 16, 8, 8);
    group->setHorizontalSpacing(23);
    group->addWidget(BitBtn1, 0, 0);
    group->addWidget(BitBtn2, 0, 1);
    group->addWidget(Label3, 1, 0);
    group->addWidget(Label2, 1, 1);

    HelpBtn = new QPushButton(QStringLiteral(" "), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setIcon(helpGlyph());
    HelpBtn->setIconSize(QSize(20, 20));
    HelpBtn->setFixedSize(31, 31);
    HelpBtn->setToolTip(QStringLiteral("Help"));
    HelpBtn->setAccessibleName(QStringLiteral("Help"));
    HelpBtn->setAutoDefault(false);

    OKBtn = new QPushButton(QStringLiteral("Close"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setFont(arial(19, true));
    OKBtn->setMinimumSize(93, 31);
    QPalette green = OKBtn->palette();
    green.setColor(QPalette::ButtonText, QColor(0x00, 0x80, 0x00));
    OKBtn->setPalette(green);

    Title = label(QStringLiteral("Title"), QStringLiteral("Title"), arial(24), blue, this);
    Title->setMinimumWidth(345);

    auto* middle = new QHBoxLayout;
    middle->addWidget(GroupBox1);
    middle->addSpacing(16);
    auto* side = new QVBoxLayout;
    side->addWidget(HelpBtn, 0, Qt::AlignRight);
    side->addStretch();
    middle->addLayout(side, 1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(OKBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 12, 8);
    layout->addWidget(Label1);
    layout->addWidget(ReportName, 0, Qt::AlignLeft);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(PaperLabel);
    paperRow->addWidget(PaperSize);
    paperRow->addStretch();
    layout->addLayout(paperRow);
    layout->addSpacing(8);
    layout->addLayout(middle);
    layout->addLayout(closeRow);
    layout->addStretch();
    layout->addWidget(Title);
    resize(370, 367);

    setTabOrder(ReportName, PaperSize);
    setTabOrder(PaperSize, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, HelpBtn);
    setTabOrder(HelpBtn, OKBtn);

    connect(BitBtn1, &QPushButton::clicked, this, &TPrintReports::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TPrintReports::BitBtn2Click);
    connect(HelpBtn, &QPushButton::clicked, this, &TPrintReports::HelpBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TPrintReports::OKBtnClick);
}

void TPrintReports::setCategory(const QString& title) {
    ensureBuilt();
    Title->setText(title);
    ReportName->clear();
    ReportName->clearEditText();
    const ReportCategory* category = ReportCatalog::find(title);
    if (!category)
        return;
    ReportName->addItems(ReportCatalog::sortedForList(category->names));
    ReportName->setEditText(category->defaultText);
}

void TPrintReports::FormActivate() {
    // Read the table afresh at each showing, so a child added or edited since is found as stored.
    ChildTable.close();
    ChildTable.open();
    m_onChildRow = ChildTable.findKey(ActiveChildName());
}

void TPrintReports::BitBtn1Click() {
    produce(true);
}

void TPrintReports::BitBtn2Click() {
    produce(false);
}

void TPrintReports::produce(bool print) {
    ensureBuilt();
    const QString name = ReportName->currentText();
    const QString child = ActiveChildName();
    guarded(this, [&] {
        if (name == ReportCatalog::BirthAnnouncement) {
            if (!ChildTable.isOpen())
                FormActivate();
            bool onRow = m_onChildRow;
            if (onRow) {
                // The row as stored now; if it is gone, the child's name alone, never the next row.
                ChildTable.refresh();
                onRow = !ChildTable.eof() && ChildTable.fieldText(QStringLiteral("FirstName")) == child;
            }
            std::unique_ptr<TSampleReport> fallback;
            TSampleReport* report = SampleReport;
            if (!report) {
                fallback = std::make_unique<TSampleReport>();
                report = fallback.get();
            }
            report->setTexts(AnnouncementTexts::fromFields(ChildRow::fromTable(ChildTable, onRow, child),
                                                           GrowthUnits::preferred()));
            report->setPaper(QPageSize::PageSizeId(PaperSize->currentData().toInt()));
            if (print)
                report->Print(this, child);
            else
                report->Preview(this, child);
            return;
        }
        if (!ReportRegistry::find(name)) {
            Messages::information(this, QStringLiteral("Choose a report from the list."));
            return;
        }
        ReportOutput::Job job{
            name, child,
            std::make_shared<PageRenderer>(ReportRegistry::build(name, child),
                                           QPageSize::PageSizeId(PaperSize->currentData().toInt()))};
        // The book is printed as a book: through the print dialog, pages and copies as chosen.
        job.askPrinter = name == ReportCatalog::BabyBook;
        if (print)
            ReportOutput::print(this, job);
        else
            ReportOutput::preview(this, job);
    });
}

void TPrintReports::HelpBtnClick() {
    ShowHelpTopic(36);
}

void TPrintReports::OKBtnClick() {
    ChildTable.close();
    accept();
}
