#include "ui/shell/HomePanel.h"

#include "core/overview/ChildSummary.h"
#include "ui/common/Guard.h"
#include "ui/common/PictureFile.h"
#include "ui/common/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kPictureSide = 180;

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
    setPalette(pal);
    setMinimumWidth(300);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("HomePicture"));
    m_picture->setFixedSize(kPictureSide, kPictureSide);
    m_picture->setAlignment(Qt::AlignCenter);
    m_name = line(QStringLiteral("HomeName"), this, 20, true);
    m_name->setAlignment(Qt::AlignHCenter);
    m_age = line(QStringLiteral("HomeAge"), this, 12);
    m_birthday = line(QStringLiteral("HomeBirthday"), this, 12);
    for (QLabel* l : {m_age, m_birthday})
        l->setAlignment(Qt::AlignHCenter);
    m_latestHeading = line(QStringLiteral("HomeLatestHeading"), this, 12, true);
    m_latestHeading->setText(QStringLiteral("Latest entries"));
    for (int i = 0; i < 3; ++i)
        m_latest[i] = line(QStringLiteral("HomeLatest%1").arg(i + 1), this, 11);
    m_newJournalEntry =
        Widgets::pushButton(QStringLiteral("NewJournalEntryBtn"), QStringLiteral("New Journal Entry"), this);
    connect(m_newJournalEntry, &QPushButton::clicked, this, &HomePanel::newJournalEntryClicked);
    m_addPhotos = Widgets::pushButton(QStringLiteral("AddPhotosBtn"), QStringLiteral("Add Photos..."), this);
    connect(m_addPhotos, &QPushButton::clicked, this, &HomePanel::addPhotosClicked);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(8);
    layout->addWidget(m_picture, 0, Qt::AlignHCenter);
    layout->addWidget(m_name);
    layout->addWidget(m_age);
    layout->addWidget(m_birthday);
    layout->addSpacing(12);
    layout->addWidget(m_latestHeading);
    for (QLabel* l : m_latest)
        layout->addWidget(l);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_newJournalEntry);
    buttons->addWidget(m_addPhotos);
    buttons->addStretch();
    layout->addLayout(buttons);
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

void HomePanel::refresh() {
    ChildSummary::Summary s;
    const QDate today = QDate::currentDate();
    if (!m_child.isEmpty() && !guarded(this, [&] { s = ChildSummary::read(m_child, today); }))
        return;
    m_name->setText(s.fullName.isEmpty() ? m_child : s.fullName);
    const QString age = ChildSummary::ageInWords(s.birth, today);
    const QString next = ChildSummary::nextBirthdayInWords(s.birth, today);
    if (m_child.isEmpty())
        m_age->clear();
    else if (!s.birth.isValid())
        m_age->setText(QStringLiteral("Type the birth date on Child Information to see the age here."));
    else
        m_age->setText(age.isEmpty() ? QString() : QStringLiteral("Age: ") + age);
    m_birthday->setText(next.isEmpty() ? QString() : QStringLiteral("Next birthday: ") + next);
    m_birthday->setVisible(!next.isEmpty());
    m_latestHeading->setVisible(!m_child.isEmpty());
    for (int i = 0; i < 3; ++i) {
        QString text;
        if (i < s.latest.size()) {
            const ChildSummary::Recent& r = s.latest[i];
            text = ChildSummary::diaryName(r.list) + QStringLiteral(": ") + r.title;
            if (r.date.contains(QRegularExpression(QStringLiteral("\\d")))) // an untouched date is left out
                text = r.date.trimmed() + QStringLiteral("   ") + text;
        } else if (i == 0 && !m_child.isEmpty()) {
            text = QStringLiteral("Nothing written yet: start with a journal entry.");
        }
        m_latest[i]->setText(text);
        m_latest[i]->setVisible(!text.isEmpty());
    }
    m_newJournalEntry->setEnabled(!m_child.isEmpty());
    m_addPhotos->setEnabled(!m_child.isEmpty());
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
