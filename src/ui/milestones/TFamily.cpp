#include "ui/milestones/TFamily.h"

#include "core/book/EntryStore.h"
#include "ui/common/FormHost.h"
#include "ui/common/MilestoneArt.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"
#include "ui/milestones/TFamilyInput.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

TFamily* Family = nullptr;

using MilestoneWidgets::Blue;

namespace {
// A name over the tree's picture sits on a plaque of its own, just behind its words, so it reads
// whatever branches or leaves lie under it: dark for the light names, light for the dark one.
class Plaque : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Only paint events, and only while the watched object is still a label (not while it is
        // being destroyed).
        auto* label = event->type() == QEvent::Paint ? qobject_cast<QLabel*>(watched) : nullptr;
        if (label && !label->text().isEmpty()) {
            QPainter p(label);
            p.setRenderHint(QPainter::Antialiasing);
            const QRect text = label->fontMetrics().boundingRect(
                label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap, label->text());
            const bool lightText = label->palette().color(QPalette::WindowText).lightnessF() > 0.5;
            p.setPen(Qt::NoPen);
            p.setBrush(lightText ? QColor(20, 24, 10, 175) : QColor(255, 250, 236, 225));
            p.drawRoundedRect(QRectF(text.adjusted(-6, -1, 6, 1)).intersected(QRectF(label->rect())), 6, 6);
        }
        return false;
    }
};

const TFamily::Relative kRelatives[14] = {
    {"Button1", "Mother", "Mother", "MomName", "Mom"},
    {"Button11", "Father", "Father", "DadName", "Dad"},
    {"Button2", "Grandmother", "Maternal Grandmother", "mgm", "Grandma"},
    {"Button3", "Grandfather", "Maternal Grandfather", "mgp", "Grandpa"},
    {"Button6", "Grandmother", "Paternal Grandmother", "pgm", "Grandma"},
    {"Button12", "Grandfather", "Paternal Grandfather", "pgp", "Grandpa"},
    {"Button7", "Gr Grandmother", "Maternal Great Grandmother", "mggm1", "Great Grandma"},
    {"Button9", "Gr Grandmother", "Maternal Great Grandmother", "mggm2", "Great Grandma"},
    {"Button5", "Gr Grandmother", "Paternal Great Grandmother", "pggm1", "Great Grandma"},
    {"Button13", "Gr Grandmother", "Paternal Great Grandmother", "pggm2", "Great Grandma"},
    {"Button8", "Gr Grandfather", "Maternal Great Grandfather", "mggp1", "Great Grandpa"},
    {"Button10", "Gr Grandfather", "Maternal Great Grandfather", "mggp2", "Great Grandpa"},
    {"Button4", "Gr Grandfather", "Paternal Great Grandfather", "pggp1", "Great Grandpa"},
    {"Button14", "Gr Grandfather", "Paternal Great Grandfather", "pggp2", "Great Grandpa"},
};

// Row and column of a slot in the tree: parents over two columns each, then one row per generation.
void place(int slot, int& row, int& column, int& span) {
    if (slot <= 2) {
        row = 0;
        column = (slot - 1) * 2;
        span = 2;
        return;
    }
    row = 1 + (slot - 3) / 4;
    column = (slot - 3) % 4;
    span = 1;
}

const QSize kTreeSize = MilestoneArt::familyTreeSize();
} // namespace

const TFamily::Relative& TFamily::relative(int slot) {
    return kRelatives[slot - 1];
}

TFamily::TFamily(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Family"));
    setWindowTitle(QStringLiteral("Family Information"));
}

void TFamily::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));

    // Page "Family Information": the buttons in the tree layout.
    auto* info = new QWidget;
    info->setObjectName(QStringLiteral("TabSheet1"));
    auto* group = new QGroupBox(info);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    m_childName = MilestoneWidgets::label(QString(), group, Blue, 24, false, QStringLiteral("ChildName"));
    m_childName->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_childName, 0, 0, 1, 4);
    for (int slot = 1; slot <= 14; ++slot) {
        const Relative& r = relative(slot);
        auto* b = Widgets::pushButton(QString::fromLatin1(r.button), QString::fromLatin1(r.caption), group);
        b->setAccessibleName(QString::fromLatin1(r.title));
        b->setToolTip(QString::fromLatin1(r.title));
        b->setMinimumHeight(30);
        if (slot <= 2) {
            QFont bold = b->font();
            bold.setBold(true);
            b->setFont(bold);
        }
        Widgets::setTextColor(b, QColor(0x00, 0x00, 0xff)); // lightened on a dark desktop

        int row, column, span;
        place(slot, row, column, span);
        grid->addWidget(b, row + 1, column, 1, span, slot <= 2 ? Qt::AlignHCenter : Qt::Alignment());
        if (slot <= 2)
            b->setMinimumWidth(140);
        connect(b, &QPushButton::clicked, this, [this, slot] { memberButtonClick(slot); });
    }
    auto* sides = new QHBoxLayout;
    for (const char* side : {"Mother's side", "Father's side"}) {
        auto* l = MilestoneWidgets::label(QString::fromLatin1(side), group, QColor(0x55, 0x55, 0x55), 12);
        l->setAlignment(Qt::AlignCenter);
        sides->addWidget(l);
    }
    grid->addLayout(sides, 5, 0, 1, 4);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(group, 1);
    QWidget* infoRow = Widgets::buttonRow(
        this, Widgets::formTitle(QStringLiteral("Family Information"), this, QStringLiteral("text111"), 21),
        Widgets::helpButton(QStringLiteral("BitBtn3"), 11, this), {});
    m_pages->addTab(info, QStringLiteral("Family Information"));

    // Page "Family Tree": the names over the picture, at fixed places.
    auto* treePage = new QWidget;
    treePage->setObjectName(QStringLiteral("TabSheet2"));
    auto* bevel = new QFrame(treePage);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setLineWidth(2);
    bevel->setFixedSize(kTreeSize + QSize(4, 4));
    auto* image = new QLabel(bevel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(MilestoneArt::familyTree(kTreeSize));
    image->setGeometry(2, 2, kTreeSize.width(), kTreeSize.height());
    image->setAccessibleName(QStringLiteral("Family tree"));

    auto* plaque = new Plaque(this);
    auto overlay = [image, plaque](QLabel* l, const QRect& r) {
        l->setParent(image);
        l->setGeometry(r);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->installEventFilter(plaque);
    };
    // A deep blue, clear on the tree's leaves.
    m_childName2 = MilestoneWidgets::label(QString(), nullptr, QColor(0x0d, 0x1b, 0x6e), 24, true,
                                           QStringLiteral("ChildName2"));
    m_childName2->setAlignment(Qt::AlignCenter);
    overlay(m_childName2, QRect(0, 4, kTreeSize.width(), 30));
    for (int slot = 1; slot <= 14; ++slot) {
        const Relative& r = relative(slot);
        auto* l = MilestoneWidgets::label(
            QString::fromLatin1(r.labelCaption), nullptr, MilestoneArt::familyNameColor(slot),
            MilestoneArt::familyNamePixels(slot), true, QString::fromLatin1(r.label));
        const bool greatGrandma = slot >= 7 && slot <= 10;
        l->setAlignment((greatGrandma ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
        l->setWordWrap(true);
        overlay(l, MilestoneArt::familyNameRect(slot));
        m_names[size_t(slot - 1)] = l;
    }
    // On the tree's picture the title keeps its white letters.
    auto* label2 =
        Widgets::formTitle(QStringLiteral("Family Information"), nullptr, QStringLiteral("Label2"), 21);
    Widgets::setTextColor(label2, Qt::white);
    label2->setParent(image);
    label2->setGeometry(QRect(8, kTreeSize.height() - 32, 260, 28));
    label2->setAttribute(Qt::WA_TranslucentBackground);
    auto* shadow = new QGraphicsDropShadowEffect(label2);
    shadow->setBlurRadius(4);
    shadow->setOffset(1, 1);
    shadow->setColor(QColor(0, 0, 0, 200));
    label2->setGraphicsEffect(shadow);
    auto* treeLayout = new QVBoxLayout(treePage);
    treeLayout->addWidget(bevel, 0, Qt::AlignHCenter);
    QWidget* treeRow =
        Widgets::buttonRow(this, nullptr, Widgets::helpButton(QStringLiteral("BitBtn1"), 12, this), {});
    m_pages->addTab(treePage, QStringLiteral("Family Tree"));

    auto* close = Widgets::closeButton(QStringLiteral("BitBtn2"), this);
    connect(close, &QPushButton::clicked, this, &TFamily::BitBtn2Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(Widgets::pageRows(m_pages, {infoRow, treeRow}, {close}));
}

void TFamily::FormActivate() {
    m_childName->setText(ActiveChildName());
    m_childName2->setText(ActiveChildName());
    RefreshNames();
}

void TFamily::RefreshNames() {
    ensureBuilt();
    for (int slot = 1; slot <= 14; ++slot)
        m_names[size_t(slot - 1)]->setText(Entries().familyMember(slot).Name);
}

void TFamily::memberButtonClick(int slot) {
    if (!FamilyInput)
        return;
    FamilyInput->setTitle(QString::fromLatin1(relative(slot).title));
    FamilyInput->MemberNo = slot;
    FamilyInput->exec();
}

void TFamily::BitBtn2Click() {
    accept();
}
