#include "ui/milestones/TTeeth.h"

#include "core/book/EntryStore.h"
#include "ui/common/FormHost.h"
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
struct Tooth {
    const char* button;
    int left;
    int top;
};
const Tooth kTeeth[20] = {
    {"Tooth1", 99, 23},    {"BitBtn11", 139, 23},  {"BitBtn5", 59, 31},   {"BitBtn10", 179, 31},
    {"BitBtn4", 43, 63},   {"BitBtn9", 195, 63},   {"BitBtn3", 27, 95},   {"BitBtn8", 211, 95},
    {"BitBtn1", 19, 127},  {"BitBtn7", 219, 127},  {"BitBtn2", 19, 175},  {"BitBtn12", 219, 175},
    {"BitBtn13", 27, 207}, {"BitBtn20", 211, 207}, {"BitBtn14", 43, 239}, {"BitBtn19", 195, 239},
    {"BitBtn15", 59, 271}, {"BitBtn18", 179, 271}, {"BitBtn16", 99, 287}, {"BitBtn17", 139, 287},
};
const char* const kKinds[] = {"Central Incisor", "Lateral Incisor", "Cuspid", "First Molar", "Second Molar"};

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
    return QString::fromLatin1(kTeeth[slot - 1].button);
}

QString TTeeth::kind(int slot) {
    // Upper arch 1..10 runs front to back, lower arch 11..20 back to front; each kind is a pair.
    const int pair = (slot - 1) / 2; // 0..9
    const int fromFront = pair < 5 ? pair : 9 - pair;
    return QString::fromLatin1(kKinds[fromFront]);
}

bool TTeeth::hasDate(const QString& date) {
    for (QChar c : date)
        if (c.isDigit())
            return true;
    return false;
}

TTeeth::TTeeth(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Teeth"));
    setWindowTitle(QStringLiteral("Teeth"));
}

void TTeeth::build() {
    setFixedSize(415, 372);

    for (int slot = 1; slot <= 20; ++slot) {
        auto* b = Widgets::pushButton(buttonName(slot), QString::number(slot), this);
        b->setGeometry(kTeeth[slot - 1].left + 8, kTeeth[slot - 1].top, 30, 26);
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

    MilestoneWidgets::label(QStringLiteral("Teeth"), this, Blue, 24, false, QStringLiteral("Label3"))
        ->setGeometry(12, 330, 120, 32);
    auto* help = Widgets::pushButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), this);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    help->setGeometry(215, 332, 88, 30);
    connect(help, &QPushButton::clicked, this, &TTeeth::HelpBtnClick);
    auto* ok = Widgets::pushButton(QStringLiteral("OKBtn"), QStringLiteral("Close"), this);
    ok->setDefault(true);
    ok->setIcon(Widgets::standardIcon(QStyle::SP_DialogApplyButton));
    ok->setGeometry(311, 332, 92, 30);
    connect(ok, &QPushButton::clicked, this, &TTeeth::OKBtnClick);
}

void TTeeth::FormActivate() {
    RefreshTeeth();
}

void TTeeth::RefreshTeeth() {
    for (int slot = 1; slot <= 20; ++slot) {
        QPushButton* b = m_teeth[size_t(slot - 1)];
        const QString date = Entries().toothDate(slot);
        const bool dated = hasDate(date);
        const QString hint =
            QStringLiteral("Tooth ") + QString::number(slot) + QStringLiteral(", ") + kind(slot) +
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
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xf8, 0xbb, 0xd0), 22, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath upper(QPointF(42, 150));
    upper.cubicTo(30, 20, 254, 20, 242, 150);
    QPainterPath lower(QPointF(42, 178));
    lower.cubicTo(30, 318, 254, 318, 242, 178);
    p.drawPath(upper);
    p.drawPath(lower);
}
