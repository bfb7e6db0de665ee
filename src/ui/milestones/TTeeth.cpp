#include "ui/milestones/TTeeth.h"

#include "core/book/EntryStore.h"
#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/MilestoneArt.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"
#include "ui/milestones/TToothDate.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TTeeth* Teeth = nullptr;

using MilestoneWidgets::Blue;

namespace {
// Each tooth's button, by slot; its place is the teeth drawing's (MilestoneArt::toothPlace).
const char* const kTeeth[20] = {"Tooth1",   "BitBtn11", "BitBtn5",  "BitBtn10", "BitBtn4",
                                "BitBtn9",  "BitBtn3",  "BitBtn8",  "BitBtn1",  "BitBtn7",
                                "BitBtn2",  "BitBtn12", "BitBtn13", "BitBtn20", "BitBtn14",
                                "BitBtn19", "BitBtn15", "BitBtn18", "BitBtn16", "BitBtn17"};

const QString kEmptyStyle =
    QStringLiteral("QPushButton { color: #0000ff; font: bold 19px 'Arial'; padding: 0; background: #ffffff;"
                   " border: 1px solid #9e9e9e; border-radius: 9px; }"
                   "QPushButton:focus { border: 2px solid #0000ff; }");
const QString kDatedStyle =
    QStringLiteral("QPushButton { color: #ffffff; font: bold 19px 'Arial'; padding: 0; background: #2e7d32;"
                   " border: 1px solid #1b5e20; border-radius: 9px; }"
                   "QPushButton:focus { border: 2px solid #0000ff; }");
} // namespace

QString TTeeth::buttonName(int slot) {
    return QString::fromLatin1(kTeeth[slot - 1]);
}

TTeeth::TTeeth(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Teeth"));
    setWindowTitle(QStringLiteral("Teeth"));
}

void TTeeth::build() {
    setFixedSize(415, 372);

    for (int slot = 1; slot <= 20; ++slot) {
        auto* b = Widgets::pushButton(buttonName(slot), QString::number(slot), this);
        b->setGeometry(QRect(MilestoneArt::toothPlace(slot), MilestoneArt::toothSize()));
        b->setStyleSheet(kEmptyStyle);
        connect(b, &QPushButton::clicked, this, [this, slot] { toothClick(slot); });
        m_teeth[size_t(slot - 1)] = b;
    }
    auto* top =
        MilestoneWidgets::label(QStringLiteral("Top Teeth"), this, Blue, 16, true, QStringLiteral("Label1"));
    top->setAlignment(Qt::AlignCenter);
    top->setGeometry(62, 90, 160, 24);
    auto* bottom = MilestoneWidgets::label(QStringLiteral("Bottom Teeth"), this, Blue, 16, true,
                                           QStringLiteral("Label2"));
    bottom->setAlignment(Qt::AlignCenter);
    bottom->setGeometry(62, 222, 160, 24);

    auto* legend = new QGroupBox(QStringLiteral("Legend"), this);
    legend->setObjectName(QStringLiteral("GroupBox1"));
    legend->setGeometry(275, 18, 128, 250);
    auto* legendLayout = new QVBoxLayout(legend);
    legendLayout->setSpacing(0);
    static const char* const lines[][2] = {{"1,2,19,20.", "Central Incisor"},
                                           {"3,4,17,18.", "Lateral Incisor"},
                                           {"5,6,15,16.", "Cuspid"},
                                           {"7,8,13,14.", "First Molar"},
                                           {"9,10,11,12.", "Second Molar"}};
    for (const auto& line : lines) {
        legendLayout->addWidget(
            MilestoneWidgets::label(QString::fromLatin1(line[0]), legend, Blue, 13, true));
        auto* k = MilestoneWidgets::label(QString::fromLatin1(line[1]), legend, Blue, 13);
        k->setIndent(10);
        legendLayout->addWidget(k);
        legendLayout->addSpacing(6);
    }
    auto* key = MilestoneWidgets::label(QStringLiteral("Green: date recorded"), legend,
                                        QColor(0x2e, 0x7d, 0x32), 11, true);
    key->setObjectName(QStringLiteral("DatedKey"));
    key->setWordWrap(true);
    legendLayout->addWidget(key);
    legendLayout->addStretch();

    // Help at the left with the title after it, Close at the right: every form's button row, with
    // its buttons' sizes.
    auto* help = Widgets::pushButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), this);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    connect(help, &QPushButton::clicked, this, &TTeeth::HelpBtnClick);
    auto* ok = Widgets::closeButton(QStringLiteral("OKBtn"), this);
    connect(ok, &QPushButton::clicked, this, &TTeeth::OKBtnClick);
    Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Teeth"), this, QStringLiteral("Label3")),
                       help, {ok})
        ->setGeometry(12, 326, 391, 40);
}

void TTeeth::FormActivate() {
    RefreshTeeth();
}

void TTeeth::RefreshTeeth() {
    for (int slot = 1; slot <= 20; ++slot) {
        QPushButton* b = m_teeth[size_t(slot - 1)];
        const QString date = Entries().toothDate(slot);
        const bool dated = MilestoneSheets::toothHasDate(date);
        const QString hint =
            QStringLiteral("Tooth ") + QString::number(slot) + QStringLiteral(", ") +
            MilestoneSheets::toothKind(slot) +
            (dated ? QStringLiteral(": came in ") + date.trimmed() : QStringLiteral(": no date yet"));
        b->setStyleSheet(dated ? kDatedStyle : kEmptyStyle);
        b->setToolTip(hint);
        b->setAccessibleName(QStringLiteral("Tooth ") + QString::number(slot));
        b->setAccessibleDescription(hint);
        b->setProperty("dated", dated);
    }
}

void TTeeth::toothClick(int slot) {
    if (!ToothDate)
        return;
    ToothDate->ToothNo = slot;
    ToothDate->exec();
    RefreshTeeth();
}

void TTeeth::HelpBtnClick() {
    ShowHelpTopic(47);
}

void TTeeth::OKBtnClick() {
    accept();
}

void TTeeth::paintEvent(QPaintEvent* event) {
    TDialog::paintEvent(event);
    // The gums behind the two arches.
    QPainter p(this);
    MilestoneArt::paintGums(p);
}
