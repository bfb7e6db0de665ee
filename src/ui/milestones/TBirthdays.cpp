#include "ui/milestones/TBirthdays.h"

#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/MilestoneArt.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TBirthdays* Birthdays = nullptr;

using MilestoneWidgets::Blue;

namespace {
const QSize kImage1(313, 233);
const QSize kImage2(185, 177);
const QColor kRed(0xd3, 0x2f, 0x2f);

QFrame* bevel(QWidget* parent, const QRect& r) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setLineWidth(2);
    f->setGeometry(r);
    return f;
}

QGroupBox* newEntryBox(QWidget* parent) {
    auto* g = new QGroupBox(QStringLiteral("New Entry"), parent);
    g->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } QGroupBox::title { color: #b58900; }"));
    return g;
}

QPlainTextEdit* memo(const QString& name, QWidget* parent, bool readOnly) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(name);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    // The guests and gifts lists are displays; the name box beside each offers the same names.
    if (readOnly)
        Widgets::displayMemo(m, false);
    return m;
}

QWidget* deleteRow(QToolButton* button, QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(MilestoneWidgets::label(QStringLiteral("Delete"), box, kRed, 13, true));
    row->addWidget(button);
    row->addWidget(MilestoneWidgets::label(QStringLiteral("Record"), box, kRed, 13, true));
    return box;
}

// The words under a new-entry box's add button.
QLabel* addEntryCaption(QWidget* entry) {
    auto* addLabel = MilestoneWidgets::label(QStringLiteral("Add Entry"), entry, Blue, 12);
    addLabel->setAlignment(Qt::AlignCenter);
    return addLabel;
}
} // namespace

TBirthdays::TBirthdays(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Birthdays"));
    setWindowTitle(QStringLiteral("Birthdays"));
}

void TBirthdays::build() {
    setWindowIcon(QIcon(MilestoneArt::birthday(1, QSize(32, 32))));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    // Blue tab text through the palette: a style sheet on the tabs would draw them flat, unlike every
    // other form's.
    Widgets::setTextColor(m_pages->tabBar(), QColor(0, 0, 0xff));
    QList<QWidget*> rows;
    Page pages[4];
    for (int i = 0; i < 4; ++i)
        pages[i] = addPage(i, &rows);
    buildBirthdayPage(pages[0]);
    buildGuestsPage(pages[1]);
    buildGiftsPage(pages[2]);
    buildRemarksPage(pages[3]);

    auto* ok = Widgets::okButton(QStringLiteral("BitBtn2"), this);
    auto* cancel = Widgets::cancelButton(QStringLiteral("BitBtn3"), this);
    connect(ok, &QPushButton::clicked, this, &TBirthdays::okClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The page's title and Help, then Ok and Cancel, in one row under the pages.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_pages);
    layout->addWidget(Widgets::pageRows(m_pages, rows, {ok, cancel}));
    // The form's own size, grown where the contents need more (the Gifts page is taller).
    setFixedSize(QSize(498, 404).expandedTo(minimumSizeHint()));
    setTitles(QStringLiteral("Birth Birthday"));
}

// Page `index`, added to the tabs, and its row of the title and Help (`rows`).
TBirthdays::Page TBirthdays::addPage(int index, QList<QWidget*>* rows) {
    static const int helpTopics[] = {25, 26, 27, 28};
    static const char* const helpNames[] = {"BitBtn1", "BitBtn4", "BitBtn5", "BitBtn6"};
    static const char* const tabNames[] = {"Birthday", "Guests", "Gifts", "Remarks"};
    Page page;
    page.widget = new QWidget;
    page.widget->setObjectName(QStringLiteral("TabSheet") + QString::number(index + 1));
    auto* v = new QVBoxLayout(page.widget);
    v->setContentsMargins(6, 6, 6, 6);
    page.contents = new QVBoxLayout;
    v->addLayout(page.contents, 1);
    m_titles[index] =
        Widgets::formTitle(QString(), this, QStringLiteral("Title") + QString::number(index + 1), 21);
    *rows << Widgets::buttonRow(
        this, m_titles[index],
        Widgets::helpButton(QString::fromLatin1(helpNames[index]), helpTopics[index], this), {});
    m_pages->addTab(page.widget, QString::fromLatin1(tabNames[index]));
    return page;
}

// "Birthday": two pictures, the second overlapping the first (made for the birthday shown).
void TBirthdays::buildBirthdayPage(const Page& page) {
    auto* scrap = new QWidget(page.widget);
    scrap->setFixedSize(462, 278);
    m_bevel1 = bevel(scrap, QRect(0, 0, kImage1.width() + 4, kImage1.height() + 4));
    m_bevel2 = bevel(scrap, QRect(462 - kImage2.width() - 4, 52, kImage2.width() + 4, kImage2.height() + 4));
    page.contents->addWidget(scrap, 0, Qt::AlignHCenter | Qt::AlignTop);
}

// "Guests": the guests at the left; the guest to delete and the new guest at the right.
void TBirthdays::buildGuestsPage(const Page& page) {
    auto* h = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(MilestoneWidgets::label(QStringLiteral("Guest Name"), page.widget, Blue, 14, true));
    m_guestsMemo = memo(QStringLiteral("Memo2"), page.widget, true);
    Widgets::setAccessibleCaption(m_guestsMemo, QStringLiteral("Guests"));
    left->addWidget(m_guestsMemo);
    h->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(guestToDeleteBox(page.widget));
    right->addWidget(newGuestBox(page.widget));
    right->addStretch();
    h->addLayout(right, 1);
    page.contents->addLayout(h);
}

QWidget* TBirthdays::guestToDeleteBox(QWidget* page) {
    auto* nameBox = new QGroupBox(page);
    auto* nameLayout = new QVBoxLayout(nameBox);
    auto* nameLabel = MilestoneWidgets::label(QStringLiteral("Name"), nameBox, Blue, 13, true);
    m_guestCombo = new QComboBox(nameBox);
    m_guestCombo->setObjectName(QStringLiteral("ComboBox1"));
    nameLabel->setBuddy(m_guestCombo);
    Widgets::setAccessibleCaption(m_guestCombo, QStringLiteral("Guest to delete"));
    auto* del =
        MilestoneWidgets::glyphButton(QStringLiteral("DelButton"), QStringLiteral("Delete this guest"),
                                      Widgets::standardIcon(QStyle::SP_TrashIcon), nameBox);
    connect(del, &QToolButton::clicked, this, &TBirthdays::DelButtonClick);
    nameLayout->addWidget(nameLabel);
    nameLayout->addWidget(m_guestCombo);
    nameLayout->addWidget(deleteRow(del, nameBox), 0, Qt::AlignHCenter);
    return nameBox;
}

QWidget* TBirthdays::newGuestBox(QWidget* page) {
    auto* entry = newEntryBox(page);
    auto* entryLayout = new QVBoxLayout(entry);
    auto* entryLabel = MilestoneWidgets::label(QStringLiteral("Name"), entry, Blue, 13, true);
    m_guestName = Widgets::lineEdit(QStringLiteral("Edit1"), entry);
    entryLabel->setBuddy(m_guestName);
    Widgets::setAccessibleCaption(m_guestName, QStringLiteral("New guest's name"));
    auto* add = MilestoneWidgets::glyphButton(QStringLiteral("BitBtn7"), QStringLiteral("Add Entry"),
                                              MilestoneWidgets::addIcon(), entry);
    connect(add, &QToolButton::clicked, this, &TBirthdays::BitBtn7Click);
    Widgets::onEnter(m_guestName, [this] { BitBtn7Click(); });
    entryLayout->addWidget(entryLabel);
    entryLayout->addWidget(m_guestName);
    entryLayout->addWidget(add, 0, Qt::AlignHCenter);
    entryLayout->addWidget(addEntryCaption(entry));
    return entry;
}

// "Gifts": the gifts at the left; the gift shown, with its counter and delete, and the new gift at
// the right.
void TBirthdays::buildGiftsPage(const Page& page) {
    auto* h = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(MilestoneWidgets::label(QStringLiteral("Name -- Gift"), page.widget, Blue, 14, true));
    m_giftsMemo = memo(QStringLiteral("Memo3"), page.widget, true);
    Widgets::setAccessibleCaption(m_giftsMemo, QStringLiteral("Gifts"));
    left->addWidget(m_giftsMemo);
    h->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(giftShownBox(page.widget));
    right->addWidget(newGiftBox(page.widget));
    right->addStretch();
    h->addLayout(right, 1);
    page.contents->addLayout(h);
}

QWidget* TBirthdays::giftShownBox(QWidget* page) {
    auto* recBox = new QGroupBox(page);
    auto* grid = new QGridLayout(recBox);
    auto* nameLabel = MilestoneWidgets::label(QStringLiteral("Name"), recBox, Blue, 13, true);
    m_giftCombo = new QComboBox(recBox);
    m_giftCombo->setObjectName(QStringLiteral("ComboBox2"));
    nameLabel->setBuddy(m_giftCombo);
    Widgets::setAccessibleCaption(m_giftCombo, QStringLiteral("Gift from"));
    connect(m_giftCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &TBirthdays::ComboBox2Change);
    auto* up = MilestoneWidgets::glyphButton(QStringLiteral("Up"), QStringLiteral("Previous record"),
                                             Widgets::standardIcon(QStyle::SP_ArrowUp), recBox);
    auto* down = MilestoneWidgets::glyphButton(QStringLiteral("Down"), QStringLiteral("Next record"),
                                               Widgets::standardIcon(QStyle::SP_ArrowDown), recBox);
    connect(up, &QToolButton::clicked, this, &TBirthdays::UpClick);
    connect(down, &QToolButton::clicked, this, &TBirthdays::DownClick);
    auto* giftLabel = MilestoneWidgets::label(QStringLiteral("Gift"), recBox, Blue, 13, true);
    m_giftShown = Widgets::lineEdit(QStringLiteral("Edit3"), recBox);
    m_giftShown->setReadOnly(true);
    giftLabel->setBuddy(m_giftShown);
    Widgets::setAccessibleCaption(m_giftShown, QStringLiteral("Gift"));
    QWidget* counter = giftCounter(recBox);
    auto* del =
        MilestoneWidgets::glyphButton(QStringLiteral("SpeedButton1"), QStringLiteral("Delete this gift"),
                                      Widgets::standardIcon(QStyle::SP_TrashIcon), recBox);
    connect(del, &QToolButton::clicked, this, &TBirthdays::SpeedButton1Click);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_giftCombo, 1, 0);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    grid->addLayout(arrows, 0, 1, 2, 1);
    grid->addWidget(giftLabel, 2, 0);
    grid->addWidget(m_giftShown, 3, 0, 1, 2);
    // The counter and the trash that deletes the record it counts, side by side.
    auto* counterAndDelete = new QHBoxLayout;
    counterAndDelete->addWidget(counter, 1);
    counterAndDelete->addWidget(deleteRow(del, recBox));
    grid->addLayout(counterAndDelete, 4, 0, 1, 2);
    return recBox;
}

// "Record 2 of 5".
QWidget* TBirthdays::giftCounter(QWidget* parent) {
    auto* counter = new QFrame(parent);
    counter->setObjectName(QStringLiteral("GroupBox4"));
    counter->setFrameShape(QFrame::StyledPanel);
    auto* counterRow = new QHBoxLayout(counter);
    counterRow->setContentsMargins(6, 2, 6, 2);
    counterRow->addWidget(MilestoneWidgets::label(QStringLiteral("Record"), counter, Blue, 13));
    counterRow->addStretch();
    m_recordNo =
        MilestoneWidgets::label(QStringLiteral("0"), counter, Blue, 13, true, QStringLiteral("Label17"));
    auto* of =
        MilestoneWidgets::label(QStringLiteral("of"), counter, Blue, 13, false, QStringLiteral("Label19"));
    m_recordCount =
        MilestoneWidgets::label(QStringLiteral("0"), counter, Blue, 13, true, QStringLiteral("Label18"));
    counterRow->addWidget(m_recordNo);
    counterRow->addWidget(of);
    counterRow->addWidget(m_recordCount);
    counterRow->addStretch();
    return counter;
}

QWidget* TBirthdays::newGiftBox(QWidget* page) {
    auto* entry = newEntryBox(page);
    auto* form = new QGridLayout(entry);
    m_giftName = Widgets::lineEdit(QStringLiteral("Edit2"), entry);
    m_giftText = Widgets::lineEdit(QStringLiteral("Edit4"), entry);
    auto* n = MilestoneWidgets::label(QStringLiteral("Name"), entry, Blue, 13, true);
    auto* g = MilestoneWidgets::label(QStringLiteral("Gift"), entry, Blue, 13, true);
    n->setBuddy(m_giftName);
    g->setBuddy(m_giftText);
    Widgets::setAccessibleCaption(m_giftName, QStringLiteral("New gift's giver"));
    Widgets::setAccessibleCaption(m_giftText, QStringLiteral("New gift"));
    auto* add = MilestoneWidgets::glyphButton(QStringLiteral("BitBtn8"), QStringLiteral("Add Entry"),
                                              MilestoneWidgets::addIcon(), entry);
    connect(add, &QToolButton::clicked, this, &TBirthdays::BitBtn8Click);
    // Enter in either box adds the gift; the form stays open for the next one.
    Widgets::onEnter(m_giftName, [this] { BitBtn8Click(); });
    Widgets::onEnter(m_giftText, [this] { BitBtn8Click(); });
    form->addWidget(n, 0, 0);
    form->addWidget(m_giftName, 0, 1);
    form->addWidget(g, 1, 0);
    form->addWidget(m_giftText, 1, 1);
    form->addWidget(add, 2, 1, Qt::AlignHCenter);
    form->addWidget(addEntryCaption(entry), 3, 1);
    return entry;
}

// "Remarks": one memo, stored as it is typed.
void TBirthdays::buildRemarksPage(const Page& page) {
    m_remarks = memo(QStringLiteral("Remarks"), page.widget, false);
    Widgets::setAccessibleCaption(m_remarks, QStringLiteral("Remarks"));
    connect(m_remarks, &QPlainTextEdit::textChanged, this, &TBirthdays::RemarksChange);
    page.contents->addWidget(m_remarks);
}

// Ok closes; remarks whose storing failed are stored first, and the form stays open while they
// cannot be.
void TBirthdays::okClick() {
    if (!m_remarksUnstored) {
        accept();
        return;
    }
    acceptWhenStored([this] {
        MilestoneSheets::setBirthdayRemarks(m_child, m_title, m_record.remarks);
        m_remarksUnstored = false;
    });
}

void TBirthdays::setTitles(const QString& title) {
    ensureBuilt();
    m_title = title;
    for (QLabel* l : m_titles)
        l->setText(title);
}

void TBirthdays::FormActivate() {
    m_child = ActiveChildName();
    load();
}

void TBirthdays::load() {
    m_loading = true;
    m_record = MilestoneSheets::BirthdayRecord{};
    m_record.title = m_title;
    const bool ok = guarded(this, [this] { m_record = MilestoneSheets::birthday(m_child, m_title); });
    m_remarks->setPlainText(m_record.remarks);
    m_remarks->setReadOnly(!ok); // a record that could not be read is not overwritten
    m_remarksUnstored = false;
    m_guestName->clear();
    m_giftName->clear();
    m_giftText->clear();
    refreshGuests();
    m_gift = m_record.gifts.isEmpty() ? -1 : 0;
    refreshGifts();
    m_loading = false;
    showPictures();
}

void TBirthdays::showPictures() {
    // Each birthday has its own two pictures; the picture controls are made for the birthday shown.
    const QString key1 = MilestoneSheets::birthdayPictureKey(m_title, 1);
    if (!m_image1 || m_image1->key() != key1) {
        delete m_image1;
        delete m_image2;
        delete m_change1;
        delete m_change2;
        m_image1 = new ReplaceablePicture(QStringLiteral("Image1"), key1, MilestoneArt::birthday(1, kImage1),
                                          m_bevel1);
        m_image1->setGeometry(2, 2, kImage1.width(), kImage1.height());
        m_image2 =
            new ReplaceablePicture(QStringLiteral("Image2"), MilestoneSheets::birthdayPictureKey(m_title, 2),
                                   MilestoneArt::birthday(2, kImage2), m_bevel2);
        m_image2->setGeometry(2, 2, kImage2.width(), kImage2.height());
        QWidget* scrap = m_bevel1->parentWidget();
        m_change1 = changePictureButton(QStringLiteral("SpeedButton2"), m_image1, scrap);
        m_change1->move(m_bevel1->x(), m_bevel1->geometry().bottom() + 6);
        m_change2 = changePictureButton(QStringLiteral("SpeedButton3"), m_image2, scrap);
        m_change2->adjustSize();
        m_change2->move(m_bevel2->geometry().right() - m_change2->width() - 3,
                        m_bevel2->geometry().bottom() - m_change2->height() - 3);
        m_image1->setAccessibleName(QStringLiteral("Birthday picture 1"));
        m_image2->setAccessibleName(QStringLiteral("Birthday picture 2"));
        for (QWidget* w : {static_cast<QWidget*>(m_image1), static_cast<QWidget*>(m_image2),
                           static_cast<QWidget*>(m_change1), static_cast<QWidget*>(m_change2)})
            w->show();
        m_change2->raise();
    }
    guarded(this, [this] {
        m_image1->showFor(m_child);
        m_image2->showFor(m_child);
    });
}

bool TBirthdays::save() {
    if (m_remarks->isReadOnly()) { // the birthday could not be read: writing would overwrite it
        Messages::information(this,
                              QStringLiteral("This birthday could not be read, so nothing is changed. Close "
                                             "the page and open it again."));
        return false;
    }
    return guarded(this, [this] { MilestoneSheets::setBirthday(m_child, m_record); });
}

void TBirthdays::refreshGuests() {
    m_guestsMemo->setPlainText(m_record.guests.join(QLatin1Char('\n')));
    m_guestCombo->clear();
    m_guestCombo->addItems(m_record.guests);
    m_guestCombo->setCurrentIndex(m_record.guests.isEmpty() ? -1 : 0);
}

void TBirthdays::refreshGifts() {
    QStringList lines;
    const QSignalBlocker quiet(m_giftCombo);
    m_giftCombo->clear();
    for (const MilestoneSheets::Gift& g : m_record.gifts) {
        lines << g.name + QStringLiteral(" -- ") + g.gift;
        m_giftCombo->addItem(g.name);
    }
    m_giftsMemo->setPlainText(lines.join(QLatin1Char('\n')));
    showGift(m_gift);
}

void TBirthdays::showGift(int index) {
    const int count = int(m_record.gifts.size());
    m_gift = count == 0 ? -1 : qBound(0, index, count - 1);
    {
        const QSignalBlocker quiet(m_giftCombo);
        m_giftCombo->setCurrentIndex(m_gift);
    }
    m_giftShown->setText(m_gift < 0 ? QString() : m_record.gifts.at(m_gift).gift);
    m_recordNo->setText(QString::number(m_gift + 1));
    m_recordCount->setText(QString::number(count));
}

void TBirthdays::BitBtn7Click() {
    const QString name = m_guestName->text().trimmed();
    if (name.isEmpty()) {
        Messages::information(this, QStringLiteral("Type the guest's name first, then press Add Entry."));
        m_guestName->setFocus();
        return;
    }
    m_record.guests << name;
    if (!save()) {
        m_record.guests.removeLast();
        return;
    }
    m_guestName->clear();
    refreshGuests();
    m_guestCombo->setCurrentIndex(int(m_record.guests.size()) - 1);
    m_guestName->setFocus();
}

void TBirthdays::DelButtonClick() {
    const int index = m_guestCombo->currentIndex();
    if (index < 0 || index >= m_record.guests.size()) {
        Messages::information(this, QStringLiteral("Choose the guest to delete in the Name box first."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Delete this record?")))
        return;
    const QString removed = m_record.guests.takeAt(index);
    if (!save()) {
        m_record.guests.insert(index, removed);
        return;
    }
    refreshGuests();
}

void TBirthdays::BitBtn8Click() {
    const MilestoneSheets::Gift gift{m_giftName->text().trimmed(), m_giftText->text().trimmed()};
    if (gift.name.isEmpty() && gift.gift.isEmpty()) {
        Messages::information(
            this, QStringLiteral("Type who gave the gift and what it was, then press Add Entry."));
        m_giftName->setFocus();
        return;
    }
    m_record.gifts << gift;
    if (!save()) {
        m_record.gifts.removeLast();
        return;
    }
    m_giftName->clear();
    m_giftText->clear();
    m_gift = int(m_record.gifts.size()) - 1;
    refreshGifts();
    m_giftName->setFocus();
}

void TBirthdays::SpeedButton1Click() {
    if (m_gift < 0) {
        Messages::information(this, QStringLiteral("There is no gift to delete."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Delete this record?")))
        return;
    const int index = m_gift;
    const MilestoneSheets::Gift removed = m_record.gifts.takeAt(index);
    if (!save()) {
        m_record.gifts.insert(index, removed);
        return;
    }
    refreshGifts();
}

void TBirthdays::UpClick() {
    if (m_gift > 0)
        showGift(m_gift - 1);
}

void TBirthdays::DownClick() {
    if (m_gift >= 0 && m_gift + 1 < m_record.gifts.size())
        showGift(m_gift + 1);
}

void TBirthdays::ComboBox2Change(int index) {
    showGift(index);
}

// The remarks are stored as they are typed. After a failed store (a full disk) they are kept, not
// stored (and reported) again at every key, until Ok.
void TBirthdays::RemarksChange() {
    if (m_loading || m_remarks->isReadOnly())
        return;
    m_record.remarks = Widgets::memoText(m_remarks);
    if (!m_remarksUnstored)
        m_remarksUnstored = !guarded(
            this, [this] { MilestoneSheets::setBirthdayRemarks(m_child, m_title, m_record.remarks); });
}
