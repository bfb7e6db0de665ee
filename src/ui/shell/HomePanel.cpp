#include "ui/shell/HomePanel.h"

#include "core/overview/ChildSummary.h"
#include "core/store/StoreError.h"
#include "ui/common/PictureFile.h"
#include "ui/common/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kPictureSide = 180;
constexpr int kThumbSide = 48; // a moment's first photo

QLabel* line(const QString& name, QWidget* parent, int pointSize = 0, bool bold = false) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // names and titles as typed, never markup
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = l->font();
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    return l;
}

// A child without a chosen picture gets a soft circle with their initial.
QPixmap placeholder(const QString& firstName) {
    QPixmap pm(kPictureSide, kPictureSide);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf3, 0xd9, 0xe6));
    p.drawEllipse(QRectF(6, 6, kPictureSide - 12, kPictureSide - 12));
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(kPictureSide / 2);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0xa0, 0x3a, 0x6a));
    p.drawText(QRect(0, 0, kPictureSide, kPictureSide), Qt::AlignCenter, firstName.left(1).toUpper());
    return pm;
}
} // namespace

HomePanel::HomePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("HomePanel"));
    setAccessibleName(QStringLiteral("The active child"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xfd, 0xfa, 0xf6));
    pal.setColor(QPalette::WindowText, QColor(0x2b, 0x2b, 0x2b));
    pal.setColor(QPalette::Base, QColor(0xfd, 0xfa, 0xf6));
    pal.setColor(QPalette::Text, QColor(0x2b, 0x2b, 0x2b));
    // The row chosen in a section stands out only while that section has the keyboard.
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Text));
    setPalette(pal);
    setMinimumWidth(300);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("HomePicture"));
    m_picture->setFixedSize(kPictureSide, kPictureSide);
    m_picture->setAlignment(Qt::AlignCenter);
    m_name = line(QStringLiteral("HomeName"), this, 20, true);
    m_name->setAlignment(Qt::AlignHCenter);
    m_age = line(QStringLiteral("HomeAge"), this, 12);
    m_age->setAlignment(Qt::AlignHCenter);
    m_nothingYet = line(QStringLiteral("HomeNothingYet"), this, 11);
    m_newJournalEntry =
        Widgets::pushButton(QStringLiteral("NewJournalEntryBtn"), QStringLiteral("New Journal Entry"), this);
    connect(m_newJournalEntry, &QPushButton::clicked, this, &HomePanel::newJournalEntryClicked);
    m_addPhotos = Widgets::pushButton(QStringLiteral("AddPhotosBtn"), QStringLiteral("Add Photos..."), this);
    connect(m_addPhotos, &QPushButton::clicked, this, &HomePanel::addPhotosClicked);

    m_momentsHeading = line(QStringLiteral("HomeMomentsHeading"), this, 12, true);
    m_momentsHeading->setText(QStringLiteral("Newest moments"));
    m_moments = section(QStringLiteral("HomeMoments"), m_momentsHeading);
    m_moments->setIconSize(QSize(kThumbSide, kThumbSide));
    m_growthHeading = line(QStringLiteral("HomeGrowthHeading"), this, 12, true);
    m_growthHeading->setText(QStringLiteral("Latest growth"));
    m_growth = section(QStringLiteral("HomeGrowth"), m_growthHeading);
    m_onThisDayHeading = line(QStringLiteral("HomeOnThisDayHeading"), this, 12, true);
    m_onThisDayHeading->setText(QStringLiteral("On this day"));
    m_onThisDay = section(QStringLiteral("HomeOnThisDay"), m_onThisDayHeading);
    m_onThisDay->setIconSize(QSize(kThumbSide, kThumbSide));
    m_birthdayHeading = line(QStringLiteral("HomeBirthdayHeading"), this, 12, true);
    m_birthdayHeading->setText(QStringLiteral("Next birthday"));
    m_birthday = section(QStringLiteral("HomeBirthday"), m_birthdayHeading);

    // The child at the left; what was recorded, in sections, at the right.
    auto* card = new QVBoxLayout;
    card->setSpacing(8);
    card->addWidget(m_picture, 0, Qt::AlignHCenter);
    card->addWidget(m_name);
    card->addWidget(m_age);
    card->addSpacing(12);
    card->addWidget(m_newJournalEntry);
    card->addWidget(m_addPhotos);
    card->addStretch(1);
    auto* records = new QVBoxLayout;
    records->setSpacing(4);
    records->addWidget(m_nothingYet);
    for (auto [heading, list] :
         {std::pair{m_momentsHeading, m_moments}, std::pair{m_growthHeading, m_growth},
          std::pair{m_onThisDayHeading, m_onThisDay}, std::pair{m_birthdayHeading, m_birthday}}) {
        records->addWidget(heading);
        records->addWidget(list);
        records->addSpacing(8);
    }
    records->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(24);
    layout->addLayout(card, 0);
    layout->addLayout(records, 1);
}

QListWidget* HomePanel::section(const QString& name, QLabel* heading) {
    auto* list = new QListWidget(this);
    list->setObjectName(name);
    list->setAccessibleName(heading->text());
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSizeAdjustPolicy(QAbstractScrollArea::AdjustIgnored);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setTextElideMode(Qt::ElideRight);
    list->setWordWrap(false);
    QFont font = list->font();
    font.setPointSize(11);
    list->setFont(font);
    heading->setBuddy(list);
    // Enter and a double-click open the item, as on the timeline.
    connect(list, &QListWidget::activated, this, [this, list](const QModelIndex& index) {
        const QVariant item = list->item(index.row())->data(Qt::UserRole);
        if (item.isValid())
            emit openItem(item.value<ChildTimeline::Item>());
    });
    return list;
}

void HomePanel::addItem(QListWidget* list, const QString& text, const ChildTimeline::Item& item, bool photo) {
    auto* row = new QListWidgetItem(text, list);
    row->setData(Qt::UserRole, QVariant::fromValue(item));
    row->setData(Qt::AccessibleTextRole, text);
    row->setToolTip(text);
    if (photo) {
        const qreal ratio = devicePixelRatioF();
        QPixmap thumb(QSize(kThumbSide, kThumbSide) * ratio);
        thumb.fill(Qt::transparent);
        if (!item.photo.File.isEmpty()) {
            const QImage image =
                PictureFile::thumbnail(item.photo.File, int(std::lround(kThumbSide * ratio)));
            QPainter p(&thumb);
            p.drawImage(
                QPointF((thumb.width() - image.width()) / 2.0, (thumb.height() - image.height()) / 2.0),
                image);
        }
        thumb.setDevicePixelRatio(ratio);
        row->setIcon(QIcon(thumb));
    }
}

void HomePanel::fitHeight(QListWidget* list) {
    int height = 0;
    for (int i = 0; i < list->count(); ++i)
        height += list->sizeHintForRow(i);
    list->setFixedHeight(height + 2 * list->frameWidth() + 2);
}

void HomePanel::showChild(const QString& child) {
    m_child = child;
    refreshSoon(); // after the window is painted: start-up never waits for the panel
}

void HomePanel::refreshSoon() {
    if (m_refreshWaiting)
        return;
    m_refreshWaiting = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshWaiting = false;
        refresh();
    });
}

namespace {
QString dated(const ChildTimeline::Item& item) {
    return item.date.isValid() ? item.dateText.trimmed() + QStringLiteral("   ") : QString();
}

// "Journal: Park day", "Measured: height 24 in", "Tooth 5".
QString moment(const ChildTimeline::Item& item) {
    if (item.kind == ChildTimeline::Kind::Diary)
        return ChildSummary::diaryName(item.list) + QStringLiteral(": ") + item.title;
    if (item.kind == ChildTimeline::Kind::Growth)
        return item.detail;
    return item.detail.isEmpty() ? item.title : item.title + QStringLiteral(": ") + item.detail;
}
} // namespace

void HomePanel::refresh() {
    ChildSummary::Summary s;
    const QDate today = QDate::currentDate();
    // The panel only summarises: a part of the book that cannot be read is told here, in the panel,
    // not in a message after every form that closes (the form that reads that part reports it).
    bool unreadable = false;
    try {
        if (!m_child.isEmpty())
            s = ChildSummary::read(m_child, today);
    } catch (const StoreError&) {
        unreadable = true;
    }
    m_name->setText(s.fullName.isEmpty() ? m_child : s.fullName);
    const QString age = ChildSummary::ageInWords(s.birth, today);
    if (m_child.isEmpty())
        m_age->clear();
    else if (!s.birth.isValid())
        m_age->setText(QStringLiteral("Type the birth date on Child Information to see the age here."));
    else
        m_age->setText(age.isEmpty() ? QString() : QStringLiteral("Age: ") + age);

    for (QListWidget* list : {m_moments, m_growth, m_onThisDay, m_birthday})
        list->clear();
    for (const ChildTimeline::Item& item : s.latest)
        addItem(m_moments, dated(item) + moment(item), item, true);
    if (s.growth.item.position >= 0) {
        QString text = dated(s.growth.item) + s.growth.item.detail.section(QStringLiteral(": "), 1);
        if (!s.growth.centiles.isEmpty())
            text += QStringLiteral("\nCentiles (%1): ").arg(s.growth.reference) +
                    s.growth.centiles.join(QStringLiteral(", "));
        else if (s.growth.sexUnknown)
            text += QStringLiteral("\nChoose Girl or Boy on Child Information to see the centiles.");
        addItem(m_growth, text, s.growth.item);
    }
    for (const ChildSummary::OnThisDay& d : s.onThisDay)
        addItem(m_onThisDay,
                (d.yearsAgo == 1 ? QStringLiteral("A year ago: ")
                                 : QStringLiteral("%1 years ago: ").arg(d.yearsAgo)) +
                    moment(d.item),
                d.item, true);
    const QString next = ChildSummary::nextBirthdayInWords(s.birth, today);
    if (!next.isEmpty()) {
        const QString text = next.left(1).toUpper() + next.mid(1);
        if (s.nextBirthday.key.isEmpty()) { // due, or past the last birthday kept: nothing to open
            addItem(m_birthday, text, ChildTimeline::Item{});
            m_birthday->item(0)->setData(Qt::UserRole, QVariant());
        } else
            addItem(m_birthday, text + QStringLiteral(" (") + s.nextBirthday.title + QLatin1Char(')'),
                    s.nextBirthday);
    }
    const bool shown = !m_child.isEmpty();
    m_nothingYet->setText(
        unreadable ? QStringLiteral("Some of this child's records could not be read, so they are not "
                                    "shown here.")
                   : QStringLiteral("Nothing written yet: start with a journal entry."));
    m_nothingYet->setVisible(shown && s.latest.isEmpty());
    for (auto [heading, list] :
         {std::pair{m_momentsHeading, m_moments}, std::pair{m_growthHeading, m_growth},
          std::pair{m_onThisDayHeading, m_onThisDay}, std::pair{m_birthdayHeading, m_birthday}}) {
        fitHeight(list);
        heading->setVisible(list->count() > 0);
        list->setVisible(list->count() > 0);
        if (list->count() > 0)
            list->setCurrentRow(0); // shown chosen once the section has the keyboard
    }
    m_newJournalEntry->setEnabled(shown);
    m_addPhotos->setEnabled(shown);
    showPicture(s.pictureFile, s.picture, m_child);
}

void HomePanel::showPicture(const QString& file, const QByteArray& bytes, const QString& firstName) {
    // A picture in the photo folder is shown from its thumbnail, made once; one the store still
    // keeps is read at the panel's size. A small picture is enlarged to the panel's size.
    QImage image = !file.isEmpty()   ? PictureFile::thumbnail(file, kPictureSide)
                   : bytes.isEmpty() ? QImage()
                                     : PictureFile::read(bytes, QSize(kPictureSide, kPictureSide));
    if (!image.isNull() && image.width() < kPictureSide && image.height() < kPictureSide)
        image = image.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const bool chosen = !image.isNull();
    m_picture->setPixmap(chosen ? QPixmap::fromImage(image) : placeholder(firstName));
    m_picture->setAccessibleName(chosen ? QStringLiteral("Picture of ") + firstName
                                        : QStringLiteral("No picture of %1 chosen yet").arg(firstName));
}
