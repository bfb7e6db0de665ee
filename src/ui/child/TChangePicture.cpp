#include "ui/child/TChangePicture.h"

#include "ui/common/PictureFile.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStringListModel>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

TChangePicture* ChangePicture = nullptr;

// The file list's rows: a file's name each, with the plain file icon; none of them can be edited.
class FileNames : public QStringListModel {
public:
    using QStringListModel::QStringListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DecorationRole && index.isValid()) {
            static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
            return icon;
        }
        return QStringListModel::data(index, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                               : Qt::NoItemFlags;
    }
};

namespace {
const QSize PreviewSize(169, 161);

// Icons by kind alone: a folder or a file. The default provider looks into a file to tell its type,
// and reading some files never ends (/proc/kmsg waits for the next kernel message), so browsing
// there would hang the program. The folder tree uses it; the file list shows the plain file icon.
class PlainIcons : public QAbstractFileIconProvider {
public:
    PlainIcons() {
        m_folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
        m_file = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
        m_drive = QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
    }
    QIcon icon(IconType type) const override {
        return type == Folder ? m_folder : type == File ? m_file : m_drive;
    }
    QIcon icon(const QFileInfo& info) const override {
        return info.isRoot() ? m_drive : info.isDir() ? m_folder : m_file;
    }
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? QStringLiteral("Folder") : QStringLiteral("File");
    }

private:
    QIcon m_folder, m_file, m_drive;
};

// One for the program's whole run: the models that use it do not own it, and may outlive the form.
QAbstractFileIconProvider* plainIcons() {
    static auto* const icons = new PlainIcons;
    return icons;
}

const QStringList& bitmapFilter() {
    static const QStringList f{QStringLiteral("*.bmp")};
    return f;
}

// Every kind of picture this program reads, as patterns in lower and upper case (a camera names
// its photos IMG_0001.JPG).
const QStringList& pictureFilter() {
    static const QStringList f = [] {
        QStringList patterns;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            const QString suffix = QString::fromLatin1(format).toLower();
            patterns << QStringLiteral("*.") + suffix << QStringLiteral("*.") + suffix.toUpper();
        }
        patterns.removeDuplicates();
        return patterns;
    }();
    return f;
}

// The patterns as the list of kinds shows them, in lower case only.
QString pictureKinds() {
    QStringList kinds;
    for (const QString& pattern : pictureFilter())
        if (pattern == pattern.toLower())
            kinds << pattern;
    return kinds.join(QStringLiteral(", "));
}

// Names in the order a parent expects, in any language setting: letters without regard to case,
// numbers by their value ("IMG_2" before "IMG_10"); names that differ only in case keep one order.
// (QCollator's numeric mode does not hold where the system's collation is used, as in the C locale.)
bool namedBefore(const QString& a, const QString& b) {
    int i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // By value: without leading zeros, the longer number is the larger.
            QStringView x = QStringView(a).mid(i, ei - i), y = QStringView(b).mid(j, ej - j);
            while (x.size() > 1 && x.front() == QLatin1Char('0'))
                x = x.mid(1);
            while (y.size() > 1 && y.front() == QLatin1Char('0'))
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int order = x.compare(y); order != 0)
                return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        const QChar p = a[i].toCaseFolded(), q = b[j].toCaseFolded();
        if (p != q)
            return p < q;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    return a < b;
}

bool isInside(const QString& path, const QString& root) {
    if (root.isEmpty())
        return false;
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

// The nearest folder at or above `path` that still exists.
QString existingFolder(QString path) {
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).absolutePath();
        if (up == path)
            break;
        path = up;
    }
    return QFileInfo(path).isDir() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : QDir::rootPath();
}
} // namespace

TChangePicture::TChangePicture(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("ChangePicture"));
    setWindowTitle(QStringLiteral("Change Picture"));
}

void TChangePicture::build() {
    setSizeGripEnabled(true);
    resize(620, 430);

    m_driveList = new QComboBox(this);
    m_driveList->setObjectName(QStringLiteral("DriveList"));
    auto* drivesLabel = new QLabel(QStringLiteral("&Drives:"), this);
    drivesLabel->setBuddy(m_driveList);
    Widgets::setAccessibleCaption(m_driveList, QStringLiteral("Drives:"));

    m_dirs = new QFileSystemModel(this);
    m_dirs->setObjectName(QStringLiteral("DirModel"));
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dirs->setReadOnly(true);
    m_dirs->setIconProvider(plainIcons());
    m_dirList = new QTreeView(this);
    m_dirList->setObjectName(QStringLiteral("DirList"));
    m_dirList->setModel(m_dirs);
    for (int c = 1; c < m_dirs->columnCount(); ++c)
        m_dirList->hideColumn(c);
    m_dirList->setHeaderHidden(true);
    m_dirList->setMinimumWidth(200);
    auto* foldersLabel = new QLabel(QStringLiteral("F&lolders:"), this);
    foldersLabel->setBuddy(m_dirList);
    Widgets::setAccessibleCaption(m_dirList, QStringLiteral("Folders:"));

    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("Path"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_path->setWordWrap(true);
    m_path->setMinimumWidth(1);

    m_fileTypes = new QComboBox(this);
    m_fileTypes->setObjectName(QStringLiteral("FileTypes"));
    // It opens on every kind of picture, so that a parent's photos are seen at once; bitmaps alone
    // stay in the list.
    m_fileTypes->addItem(QStringLiteral("All pictures (%1)").arg(pictureKinds()));
    m_fileTypes->addItem(QStringLiteral("Bitmaps (*.bmp)"));
    // The list of kinds is long: the box keeps the window's size and shows the whole text when open.
    m_fileTypes->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_fileTypes->setMinimumContentsLength(16);
    m_fileTypes->setToolTip(m_fileTypes->itemText(0));
    auto* typesLabel = new QLabel(QStringLiteral("&Show:"), this);
    typesLabel->setBuddy(m_fileTypes);
    Widgets::setAccessibleCaption(m_fileTypes, QStringLiteral("Show:"));

    // The file list is flat, one row a file, so that a screen reader finds each file as an item of
    // the list (a list over the file system's tree exposed only the tree's one top row). It is made
    // from the folder's names alone: no file is opened to draw the list.
    m_files = new FileNames(this);
    m_files->setObjectName(QStringLiteral("FileModel"));
    m_fileList = new QListView(this);
    m_fileList->setObjectName(QStringLiteral("FileList"));
    m_fileList->setUniformItemSizes(true);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileList->setModel(m_files);
    // Files come and go while the chooser is open (a card read, a sync): the list follows, a moment
    // after the last change of a burst.
    m_watch = new QFileSystemWatcher(this);
    m_relist = new QTimer(this);
    m_relist->setSingleShot(true);
    m_relist->setInterval(50);
    connect(m_relist, &QTimer::timeout, this, &TChangePicture::listFiles);
    connect(m_watch, &QFileSystemWatcher::directoryChanged, this, [this](const QString& changed) {
        if (changed == m_folder)
            m_relist->start();
    });
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileList->setMinimumWidth(180);
    auto* filesLabel = new QLabel(QStringLiteral("F&iles:"), this);
    filesLabel->setBuddy(m_fileList);
    Widgets::setAccessibleCaption(m_fileList, QStringLiteral("Files:"));

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameShape(QFrame::Panel);
    m_panel->setFrameShadow(QFrame::Sunken);
    m_image = new QLabel(m_panel);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFixedSize(PreviewSize);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setWordWrap(true);
    // Read by what it shows when that is words ("This file cannot be shown..."); "Preview" describes it.
    Widgets::showsValue(m_image, QStringLiteral("Preview"));
    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(4, 4, 4, 4);
    panelLayout->addWidget(m_image);
    auto* previewLabel = new QLabel(QStringLiteral("Preview"), this);
    previewLabel->setAlignment(Qt::AlignCenter);

    auto* ok = Widgets::pushButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->setDefault(true);
    ok->setToolTip(QStringLiteral("Choose This Picture"));
    ok->setIcon(Widgets::standardIcon(QStyle::SP_DialogOkButton));
    auto* cancel = Widgets::pushButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    cancel->setIcon(Widgets::standardIcon(QStyle::SP_DialogCancelButton));

    auto* grid = new QGridLayout(this);
    grid->addWidget(drivesLabel, 0, 0);
    grid->addWidget(m_driveList, 1, 0);
    grid->addWidget(foldersLabel, 2, 0);
    grid->addWidget(m_dirList, 3, 0, 2, 1);
    grid->addWidget(m_path, 5, 0, 1, 3);
    grid->addWidget(typesLabel, 0, 1);
    grid->addWidget(m_fileTypes, 1, 1);
    grid->addWidget(filesLabel, 2, 1);
    grid->addWidget(m_fileList, 3, 1, 2, 1);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(m_panel, 0, Qt::AlignHCenter);
    previewColumn->addWidget(previewLabel, 0, Qt::AlignHCenter);
    previewColumn->addStretch();
    grid->addLayout(previewColumn, 3, 2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 6, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    connect(m_driveList, qOverload<int>(&QComboBox::activated), this, &TChangePicture::DriveListChange);
    connect(m_dirList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TChangePicture::DirListClick);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TChangePicture::FileListClick);
    // The tree fills in as folders are read; keep the chosen folder in sight until it is read.
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (!m_reveal)
            return;
        m_dirList->scrollTo(m_dirList->currentIndex(), QAbstractItemView::PositionAtCenter);
        if (loaded == m_folder)
            m_reveal = false;
    });
    connect(m_fileList, &QListView::doubleClicked, this, &TChangePicture::OKBtnClick);
    connect(m_fileTypes, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TChangePicture::FileTypesChange);
    connect(ok, &QPushButton::clicked, this, &TChangePicture::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TChangePicture::CancelBtnClick);

    FormCreate();
}

void TChangePicture::FormCreate() {
    // Parents keep their photos in their pictures folder; start there (or at home) rather than
    // wherever the program happened to be started from.
    QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();
    if (!QFileInfo(start).isDir())
        start = QDir::currentPath();
    showFolder(start);
}

void TChangePicture::FormActivate() {
    // The drives may have changed since the last showing (a card or stick put in or taken out), and
    // the folder may be gone.
    const QString folder = existingFolder(m_folder);
    if (folder != m_folder)
        showFolder(folder);
    else
        selectDriveFor(m_folder);
    m_fileList->setFocus();
}

void TChangePicture::selectDriveFor(const QString& path) {
    m_driveList->blockSignals(true);
    m_driveList->clear();
    const QString home = QDir::homePath();
    m_driveList->addItem(QStringLiteral("Home (") + QDir::toNativeSeparators(home) + QLatin1Char(')'), home);
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || roots.contains(volume.rootPath()))
            continue;
        roots << volume.rootPath();
        QString caption = QDir::toNativeSeparators(volume.rootPath());
        if (!volume.displayName().isEmpty() && volume.displayName() != volume.rootPath())
            caption += QStringLiteral(" [") + volume.displayName() + QLatin1Char(']');
        m_driveList->addItem(caption, volume.rootPath());
    }
    // The entry holding `path` most closely: home when the folder is under it, else its volume.
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < m_driveList->count(); ++i) {
        const QString root = m_driveList->itemData(i).toString();
        if (isInside(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = int(root.size());
        }
    }
    if (best >= 0)
        m_driveList->setCurrentIndex(best);
    m_driveList->blockSignals(false);
}

void TChangePicture::showFolder(const QString& path) {
    const QString folder = existingFolder(path);
    selectDriveFor(folder);
    const QString root = m_driveList->currentData().toString();
    m_dirs->setRootPath(root.isEmpty() ? QDir::rootPath() : root);
    m_dirList->setRootIndex(m_dirs->index(root.isEmpty() ? QDir::rootPath() : root));
    const QModelIndex index = m_dirs->index(folder);
    m_reveal = true;
    if (index.isValid() && m_dirList->currentIndex() != index) {
        m_dirList->setCurrentIndex(index); // runs DirListClick
        m_dirList->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    if (m_folder != folder) {
        // The folder is the drive's root, which the tree does not show as an item.
        m_folder = folder;
        DirListClick();
    }
}

void TChangePicture::DriveListChange() {
    showFolder(m_driveList->currentData().toString());
}

void TChangePicture::DirListClick() {
    const QModelIndex index = m_dirList->currentIndex();
    if (index.isValid())
        m_folder = m_dirs->filePath(index);
    if (!isInside(m_folder, m_driveList->currentData().toString())) {
        // A folder on another drive (typed or reached by a link): the drive list follows it.
        selectDriveFor(m_folder);
        const QString root = m_driveList->currentData().toString();
        m_dirs->setRootPath(root);
        m_dirList->setRootIndex(m_dirs->index(root));
        m_reveal = true;
        m_dirList->scrollTo(m_dirList->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
    m_path->setText(QDir::toNativeSeparators(m_folder));
    QDir::setCurrent(m_folder);
    if (!m_watch->directories().isEmpty())
        m_watch->removePaths(m_watch->directories());
    m_watch->addPath(m_folder);
    m_relist->stop();
    m_files->setStringList({});
    listFiles();
    m_chosen.clear();
    m_fileList->clearSelection();
    m_fileList->setCurrentIndex(QModelIndex());
    m_image->clear();
}

void TChangePicture::FileTypesChange() {
    listFiles();
}

void TChangePicture::listFiles() {
    QStringList names = QDir(m_folder).entryList(
        m_fileTypes->currentIndex() == 0 ? pictureFilter() : bitmapFilter(), QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), namedBefore);
    if (names == m_files->stringList())
        return;
    // The list is made again as a whole, which tells a screen reader to read it again; the file the
    // parent had chosen stays chosen, its preview shown, while it is still there. When it has gone,
    // nothing else is chosen in its place.
    const QString current = m_fileList->currentIndex().data().toString();
    m_filesChanging = true;
    m_files->setStringList(names);
    if (const auto row = names.indexOf(current); row >= 0 && !current.isEmpty()) {
        m_fileList->setCurrentIndex(m_files->index(int(row)));
    } else if (!m_chosen.isEmpty() && QFileInfo::exists(m_chosen)) {
        // Still there but no longer listed (another kind of file shown): no longer chosen.
        m_chosen.clear();
        m_image->clear();
    }
    m_filesChanging = false;
}

QString TChangePicture::filePath(const QModelIndex& index) const {
    return index.isValid() ? QDir(m_folder).filePath(index.data().toString()) : QString();
}

QString TChangePicture::selectedFile() const {
    // The file the parent chose, by its path: the list may have changed under it since.
    if (!m_chosen.isEmpty() && !QFileInfo::exists(m_chosen))
        return m_chosen; // gone: reading it says so, and nothing else is taken instead
    const QModelIndexList selected = m_fileList->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return QString();
    return m_chosen.isEmpty() ? filePath(selected.first()) : m_chosen;
}

void TChangePicture::FileListClick() {
    const QString file = filePath(m_fileList->currentIndex());
    if (file.isEmpty() || QFileInfo(file).isDir()) {
        if (m_filesChanging)
            return;
        m_chosen.clear();
        m_image->clear();
        return;
    }
    if (m_filesChanging)
        return; // the choice and its preview stay
    m_chosen = file;
    QFile device(file);
    const QImage image =
        device.open(QIODevice::ReadOnly) ? PictureFile::read(&device, PreviewSize) : QImage();
    if (image.isNull()) {
        m_image->setText(QStringLiteral("This file cannot be shown as a picture."));
        return;
    }
    m_image->setPixmap(
        QPixmap::fromImage(image.scaled(PreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

std::optional<QString> TChangePicture::ask() {
    m_answer.reset();
    exec();
    return std::exchange(m_answer, std::nullopt);
}

void TChangePicture::OKBtnClick() {
    m_answer = selectedFile();
    accept();
}

void TChangePicture::CancelBtnClick() {
    reject();
}

void TChangePicture::done(int result) {
    // Cancel, Escape, the close box: anything but OK leaves the caller's picture as it was.
    if (result != QDialog::Accepted)
        m_answer.reset();
    TDialog::done(result);
}
