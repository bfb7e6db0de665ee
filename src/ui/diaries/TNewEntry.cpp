#include "ui/diaries/TNewEntry.h"

#include "core/book/EntryStore.h"
#include "core/diaries/PhotoTaken.h"
#include "core/store/PhotoFiles.h"
#include "core/store/StoreError.h"
#include "ui/common/FormHost.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Messages.h"
#include "ui/common/PictureFile.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/EntryPhotos.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

TNewEntry* NewEntry = nullptr;

TNewEntry::TNewEntry(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("NewEntry"));
    setWindowTitle(QStringLiteral("NewEntry"));
}

void TNewEntry::build() {
    m_date = new MaskedDateEdit(this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setMaxLength(8);
    m_title = Widgets::lineEdit(QStringLiteral("Title"), this);
    m_titleTitle = new QLabel(QStringLiteral("Title:"), this);
    m_titleTitle->setObjectName(QStringLiteral("TitleTitle"));
    m_titleTitle->setBuddy(m_title);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("Remarks"));
    m_remarks->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_remarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remarks->setTabChangesFocus(true);
    m_remarks->setAccessibleName(QStringLiteral("Remarks"));
    m_remarks->setFixedSize(420, 180);

    auto* dateLabel = new QLabel(QStringLiteral("Date:"), this);
    dateLabel->setBuddy(m_date);
    Widgets::setAccessibleCaption(m_date, QStringLiteral("Date:"));
    Widgets::setAccessibleCaption(m_title, QStringLiteral("Title:"));

    auto* grid = new QGridLayout;
    grid->addWidget(dateLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(m_date, 0, 1, Qt::AlignLeft);
    grid->addWidget(m_titleTitle, 1, 0, Qt::AlignRight);
    grid->addWidget(m_title, 1, 1);
    auto* remarksLabel = new QLabel(QStringLiteral("Remarks:"), this);
    remarksLabel->setBuddy(m_remarks);
    grid->addWidget(remarksLabel, 2, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_remarks, 2, 1);
    m_photos = new PhotoStrip(QStringLiteral("Photos"), QStringLiteral("Photos"), this);
    m_photos->setFixedWidth(420);
    auto* photosLabel = new QLabel(QStringLiteral("Photos:"), this);
    photosLabel->setBuddy(m_photos);
    grid->addWidget(photosLabel, 3, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_photos, 3, 1);
    auto* add = Widgets::pushButton(QStringLiteral("AddPhotosBtn"), QStringLiteral("&Add Photos..."), this);
    add->setIcon(Widgets::standardIcon(QStyle::SP_DialogOpenButton));
    add->setAutoDefault(false);
    auto* remove =
        Widgets::pushButton(QStringLiteral("RemovePhotoBtn"), QStringLiteral("&Remove Photo"), this);
    remove->setIcon(Widgets::standardIcon(QStyle::SP_TrashIcon));
    remove->setAutoDefault(false);
    auto* photoButtons = new QHBoxLayout;
    photoButtons->addWidget(add);
    photoButtons->addWidget(remove);
    photoButtons->addStretch();
    grid->addLayout(photoButtons, 4, 1);
    connect(add, &QPushButton::clicked, this, &TNewEntry::AddPhotosClick);
    connect(remove, &QPushButton::clicked, this, &TNewEntry::RemovePhotoClick);
    connect(m_photos, &PhotoStrip::opened, this, [this](int index) {
        PhotoViewer viewer(m_photos->photos(), index, this);
        viewer.exec();
    });
    connect(m_date, &QLineEdit::textEdited, this, [this] { m_dateTouched = true; });
    setAcceptDrops(true);

    auto* buttons = Widgets::okCancelHelp(this);
    // A click on Cancel must not first try to leave a half-typed date: Cancel drops it anyway.
    Widgets::button(this, "CancelBtn")->setFocusPolicy(Qt::TabFocus);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TNewEntry::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TNewEntry::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TNewEntry::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_date, m_title);
    setTabOrder(m_title, m_remarks);
    setTabOrder(m_remarks, m_photos);
    setTabOrder(m_photos, add);
    setTabOrder(add, remove);
}

std::shared_ptr<DiaryType> TNewEntry::ask(const QString& caption, const QString& titlePrompt, Store store) {
    ensureBuilt();
    setWindowTitle(caption);
    m_titleTitle->setText(titlePrompt);
    Widgets::setAccessibleCaption(m_title, titlePrompt);
    m_store = std::move(store);
    m_stored.reset();
    exec();
    m_editing.reset();
    m_store = {};
    return std::exchange(m_stored, nullptr);
}

std::shared_ptr<DiaryType> TNewEntry::askEdit(const QString& caption, const QString& titlePrompt,
                                              const DiaryType& entry, Store store) {
    m_editing = entry;
    return ask(caption, titlePrompt, std::move(store));
}

int TNewEntry::helpTopicFor(const QString& editOrNewCaption) {
    // Changing an entry is helped by the page that tells how to add one.
    QString caption = editOrNewCaption;
    if (caption.startsWith(QLatin1String("Edit ")))
        caption.replace(0, 4, QStringLiteral("New"));
    if (caption == QLatin1String("New Prenatal Diary Entry") ||
        caption == QLatin1String("New Prenatal Medical Diary Entry"))
        return 50;
    if (caption == QLatin1String("New Doctor Visit"))
        return 52;
    if (caption == QLatin1String("New Childhood Disease"))
        return 51;
    if (caption == QLatin1String("New Journal Entry"))
        return 46;
    if (caption == QLatin1String("New Word Entry"))
        return 54;
    return 0;
}

void TNewEntry::FormActivate() {
    if (m_editing) {
        m_date->setStoredText(m_editing->Date);
        m_title->setText(m_editing->Title);
        m_remarks->setPlainText(m_editing->Text);
        m_photos->setPhotos(m_editing->Photos);
    } else {
        m_date->setStoredText(QStringLiteral("  -  -  "));
        m_title->clear();
        m_remarks->clear();
        m_photos->setPhotos({});
    }
    // An entry being changed has its date; a new one takes a photo's until the parent types one.
    m_dateTouched = m_editing.has_value();
    if (const QScreen* screen = this->screen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    m_date->setFocus();
    m_date->home(false);
    if (m_chooseAtOnce) {
        m_chooseAtOnce = false;
        QTimer::singleShot(0, this, &TNewEntry::AddPhotosClick);
    }
}

void TNewEntry::OKBtnClick() {
    if (!m_date->validate())
        return;
    auto entry = std::make_shared<DiaryType>();
    entry->Date = m_date->storedText();
    entry->Title = m_title->text();
    // The remarks keep the parent's line breaks.
    entry->Text = Widgets::memoText(m_remarks);
    entry->Photos = m_photos->photos();
    acceptWhenStored([&] {
        if (m_store)
            m_store(entry);
        m_stored = entry;
    });
}

void TNewEntry::CancelBtnClick() {
    reject();
}

void TNewEntry::HelpBtnClick() {
    const int topic = helpTopicFor(windowTitle());
    if (topic > 0)
        ShowHelpTopic(topic);
}

int TNewEntry::addPhotoFiles(const QStringList& paths) {
    ensureBuilt();
    QVector<EntryPhoto> photos = m_photos->photos();
    QStringList refused;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        // Checked as a picture first (its header: a decompression bomb is refused unread).
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            refused << QStringLiteral("%1: %2").arg(name, file.errorString());
            continue;
        }
        if (PictureFile::read(&file, QSize(96, 96)).isNull()) {
            refused << QStringLiteral("%1: it is not a picture Tinyra can show, or it is larger than %2 "
                                      "megapixels.")
                           .arg(name)
                           .arg(PictureFile::MaxPixels / 1000000);
            continue;
        }
        file.close();
        try {
            const QString stored = PhotoFiles::store(path);
            photos.append({stored, name, PhotoTaken::dateOf(path)});
        } catch (const StoreError& e) {
            refused << e.message();
            continue;
        }
        if (!m_dateTouched && !photos.last().Taken.isEmpty()) {
            m_date->setStoredText(photos.last().Taken);
            m_dateTouched = true;
        }
    }
    const int added = int(photos.size() - m_photos->photos().size());
    m_photos->setPhotos(photos);
    if (added > 0)
        m_photos->setCurrentRow(int(photos.size()) - 1);
    if (!refused.isEmpty())
        Messages::information(this, QStringLiteral("These photos were not added:\n\n") +
                                        refused.join(QStringLiteral("\n")));
    return added;
}

void TNewEntry::AddPhotosClick() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    QFileDialog chooser(this, QStringLiteral("Add Photos"));
    chooser.setObjectName(QStringLiteral("PhotoChooser"));
    chooser.setFileMode(QFileDialog::ExistingFiles);
    chooser.setNameFilter(QStringLiteral("Photos (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (chooser.exec() == QDialog::Accepted)
        addPhotoFiles(chooser.selectedFiles());
}

void TNewEntry::RemovePhotoClick() {
    const int index = m_photos->currentRow();
    if (index < 0) {
        Messages::information(this, QStringLiteral("Pick the photo to remove first."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Remove this photo from the entry?")))
        return;
    QVector<EntryPhoto> photos = m_photos->photos();
    photos.removeAt(index);
    m_photos->setPhotos(photos);
    if (!photos.isEmpty())
        m_photos->setCurrentRow(qMin(index, int(photos.size()) - 1));
}

void TNewEntry::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TNewEntry::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addPhotoFiles(paths);
}
