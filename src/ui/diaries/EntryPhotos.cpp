#include "ui/diaries/EntryPhotos.h"

#include "core/store/PhotoFiles.h"
#include "ui/common/PictureFile.h"
#include "ui/common/Widgets.h"

#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
constexpr int kThumb = 96;

// A thumbnail, framed in the highlight colour while it is the chosen photo: the list's own mark
// would be drawn around the text, which these items do not have.
// The help topic on an entry's photos.
constexpr int kPhotosHelp = 68;

class ThumbnailDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        QRect shown(QPoint(), icon.actualSize(QSize(kThumb, kThumb)));
        shown.moveCenter(option.rect.center());
        icon.paint(p, shown);
        if (option.state & QStyle::State_Selected) {
            p->save();
            p->setPen(QPen(option.palette.color(QPalette::Highlight), 3));
            p->setBrush(Qt::NoBrush);
            p->drawRect(shown.adjusted(-2, -2, 1, 1));
            p->restore();
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(kThumb + 8, kThumb + 8);
    }
};
} // namespace

PhotoStrip::PhotoStrip(const QString& name, const QString& accessibleName, QWidget* parent)
    : QListWidget(parent) {
    setObjectName(name);
    setAccessibleName(accessibleName);
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setIconSize(QSize(kThumb, kThumb));
    setGridSize(QSize(kThumb + 16, kThumb + 8));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedHeight(kThumb + 16 + horizontalScrollBar()->sizeHint().height());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new ThumbnailDelegate(this));
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit opened(row(item)); });
}

QImage PhotoStrip::picture(const EntryPhoto& photo, const QSize& fit) {
    QFile file(PhotoFiles::pathOf(photo.File));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return PictureFile::read(&file, fit);
}

void PhotoStrip::setPhotos(const QVector<EntryPhoto>& photos) {
    m_photos = photos;
    clear();
    for (const EntryPhoto& photo : photos) {
        // Thumbnails are made once and kept on disk, and held for the session, whichever entry shows
        // the photo.
        const QString key = QStringLiteral("thumb:") + photo.File;
        QPixmap thumb;
        if (!QPixmapCache::find(key, &thumb)) {
            thumb = QPixmap::fromImage(PictureFile::thumbnail(photo.File, kThumb));
            if (thumb.isNull()) {
                thumb = QPixmap(kThumb, kThumb);
                thumb.fill(Qt::lightGray);
            }
            QPixmapCache::insert(key, thumb);
        }
        auto* item = new QListWidgetItem(QIcon(thumb), QString(), this);
        item->setToolTip(photo.Name);
        item->setData(Qt::AccessibleTextRole, photo.Name.isEmpty() ? QStringLiteral("Photo") : photo.Name);
    }
    if (count() > 0)
        setCurrentRow(0);
}

void PhotoStrip::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit opened(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

PhotoViewer::PhotoViewer(const QVector<EntryPhoto>& photos, int index, QWidget* parent)
    : QDialog(parent), m_photos(photos) {
    setObjectName(QStringLiteral("PhotoViewer"));
    setWindowTitle(QStringLiteral("Photo"));
    m_view = new QLabel(this);
    m_view->setObjectName(QStringLiteral("Photo"));
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->viewport()->installEventFilter(this);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("PhotoCaption"));
    m_caption->setTextFormat(Qt::PlainText);

    auto button = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* b = Widgets::pushButton(QString::fromLatin1(name), caption, this);
        b->setIcon(Widgets::standardIcon(icon));
        b->setAutoDefault(false);
        return b;
    };
    auto* previous = button("PreviousPhoto", QStringLiteral("&Previous"), QStyle::SP_ArrowLeft);
    auto* next = button("NextPhoto", QStringLiteral("&Next"), QStyle::SP_ArrowRight);
    auto* fitButton = button("FitPhoto", QStringLiteral("&Fit"), QStyle::SP_TitleBarNormalButton);
    auto* zoomIn = button("ZoomIn", QStringLiteral("Zoom &In"), QStyle::SP_ArrowUp);
    auto* zoomOut = button("ZoomOut", QStringLiteral("Zoom &Out"), QStyle::SP_ArrowDown);
    auto* close = button("CloseBtn", QStringLiteral("Close"), QStyle::SP_DialogCloseButton);
    connect(previous, &QPushButton::clicked, this, [this] { showPhoto(m_index - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPhoto(m_index + 1); });
    connect(fitButton, &QPushButton::clicked, this, &PhotoViewer::fit);
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomBy(1.25); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomBy(0.8); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // The arrow and page keys turn the photos whichever control has the focus: a button would take
    // an arrow to move the focus to its neighbour.
    for (const auto& [key, step] : {std::pair(Qt::Key_Left, -1), std::pair(Qt::Key_PageUp, -1),
                                    std::pair(Qt::Key_Right, 1), std::pair(Qt::Key_PageDown, 1)})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this,
                [this, step = step] { showPhoto(m_index + step); });

    auto* help = Widgets::helpButton(QStringLiteral("HelpBtn"), kPhotosHelp, this);
    help->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(help);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(m_caption, 1);
    row->addWidget(fitButton);
    row->addWidget(zoomIn);
    row->addWidget(zoomOut);
    row->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(row);
    resize(900, 640);
    showPhoto(index);
}

void PhotoViewer::showPhoto(int index) {
    if (m_photos.isEmpty() || index < 0 || index >= m_photos.size())
        return;
    m_index = index;
    const EntryPhoto& photo = m_photos[index];
    // Read at the screen's size: a 45-megapixel photo is not decoded whole to be looked at.
    m_image = PhotoStrip::picture(photo, QSize(4096, 4096));
    m_caption->setText(
        QStringLiteral("%1 of %2   %3%4")
            .arg(index + 1)
            .arg(m_photos.size())
            .arg(photo.Name, photo.Taken.isEmpty() ? QString() : QStringLiteral("   taken ") + photo.Taken));
    m_zoom = 0;
    render();
}

void PhotoViewer::zoomBy(double factor) {
    if (m_image.isNull())
        return;
    const double now = m_zoom > 0 ? m_zoom : double(m_view->pixmap().width()) / qMax(1, m_image.width());
    m_zoom = qBound(0.05, now * factor, 8.0);
    render();
}

void PhotoViewer::fit() {
    m_zoom = 0;
    render();
}

void PhotoViewer::render() {
    if (m_image.isNull()) {
        m_view->setPixmap(QPixmap());
        m_view->setText(QStringLiteral("This photo cannot be shown: its file is missing or damaged."));
        m_view->adjustSize();
        return;
    }
    QSize size = m_image.size();
    if (m_zoom > 0)
        size = (QSizeF(size) * m_zoom).toSize();
    else if (size.width() > m_scroll->viewport()->width() || size.height() > m_scroll->viewport()->height())
        size = size.scaled(m_scroll->viewport()->size() - QSize(4, 4), Qt::KeepAspectRatio);
    m_view->setPixmap(QPixmap::fromImage(
        m_image.scaled(size.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_view->resize(m_view->pixmap().size());
    m_view->setAccessibleName(m_photos[m_index].Name);
}

void PhotoViewer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(1.25);
        return;
    case Qt::Key_Minus:
        zoomBy(0.8);
        return;
    case Qt::Key_0:
        fit();
        return;
    default:
        QDialog::keyPressEvent(event); // Esc closes
    }
}

bool PhotoViewer::eventFilter(QObject* watched, QEvent* event) {
    // Fitted to the photo's room, which takes its size only once the window is laid out and shown.
    if (event->type() == QEvent::Resize && m_zoom == 0 && watched == m_scroll->viewport())
        render();
    return QDialog::eventFilter(watched, event);
}
