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
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

TChangePicture* ChangePicture = nullptr;

// The file list shows the files of one folder. QFileSystemModel keeps showing folders it was once
// rooted in (a folder left by moving up, or the home folder after a change of drive) whatever its
// filter says, so the list hides every folder among the listed folder's rows itself. It shows the
// names alone: a screen reader reads the list's columns as items, and took a file's size, kind and
// date for files of their own.
class FilesOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFolder(const QString& folder) {
        m_folder = folder;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return files->filePath(parent) != m_folder || !files->isDir(files->index(row, 0, parent));
    }
    bool filterAcceptsColumn(int column, const QModelIndex&) const override { return column == 0; }

private:
    QString m_folder;
};

namespace {
const QSize PreviewSize(169, 161);

// Icons by kind alone: a folder or a file. The default provider looks into a file to tell its type,
// and reading some files never ends (/proc/kmsg waits for the next kernel message), so browsing
// there would hang the program.
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

    m_files = new QFileSystemModel(this);
    m_files->setObjectName(QStringLiteral("FileModel"));
    m_files->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_files->setNameFilters(pictureFilter());
    m_files->setNameFilterDisables(false); // files that do not match are left out, not greyed
    m_files->setReadOnly(true);
    m_files->setIconProvider(plainIcons());
    m_fileList = new QListView(this);
    m_fileList->setObjectName(QStringLiteral("FileList"));
    // A file that disappears moves the list's current item to its neighbour; that is not the
    // parent's choice. Connected before the view's own handler, so it runs first.
    connect(m_files, &QFileSystemModel::rowsAboutToBeRemoved, this, [this] { m_filesChanging = true; });
    m_shown = new FilesOnly(this);
    m_shown->setSourceModel(m_files);
    m_fileList->setModel(m_shown);
    connect(m_files, &QFileSystemModel::rowsRemoved, this, [this] { m_filesChanging = false; });
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
    const QModelIndex listed = m_files->setRootPath(m_folder);
    m_shown->setFolder(m_folder);
    m_fileList->setRootIndex(m_shown->mapFromSource(listed));
    m_chosen.clear();
    m_fileList->clearSelection();
    m_fileList->setCurrentIndex(QModelIndex());
    m_image->clear();
}

void TChangePicture::FileTypesChange() {
    m_files->setNameFilters(m_fileTypes->currentIndex() == 0 ? pictureFilter() : bitmapFilter());
}

QString TChangePicture::selectedFile() const {
    // The file the parent chose, by its path: the list may have changed under it since.
    if (!m_chosen.isEmpty() && !QFileInfo::exists(m_chosen))
        return m_chosen; // gone: reading it says so, and nothing else is taken instead
    const QModelIndexList selected = m_fileList->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return QString();
    return m_chosen.isEmpty() ? m_files->filePath(m_shown->mapToSource(selected.first())) : m_chosen;
}

void TChangePicture::FileListClick() {
    const QString file = m_files->filePath(m_shown->mapToSource(m_fileList->currentIndex()));
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
