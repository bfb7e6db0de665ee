#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"

#include "core/book/ChildRecords.h"
#include "core/store/PhotoFiles.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/PictureFile.h"
#include "ui/common/TDialog.h"

#include <QDir>
#include <QFile>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {
// The most a picture is read at for a box not laid out yet: it is shown scaled down to its box.
const QSize kLargestBox(1600, 1600);
} // namespace

ReplaceablePicture::ReplaceablePicture(const QString& objectName, const QString& key, const QPixmap& artwork,
                                       QWidget* parent)
    : QLabel(parent), m_key(key), m_artwork(artwork) {
    setObjectName(objectName);
    setAlignment(Qt::AlignCenter);
    setAccessibleName(QStringLiteral("Picture"));
    display(m_artwork);
}

QSize ReplaceablePicture::shownSize() const {
    return size().isValid() && !size().isEmpty() ? size() : QSize();
}

void ReplaceablePicture::display(const QPixmap& pixmap) {
    // Pictures are shown at their own size, centred; one larger than the box is scaled down to fit.
    // The program's own drawings come at the screen's pixel ratio: their size is counted in the box's
    // units, not in device pixels, or a drawing made crisp for 200% would be halved.
    const QSize own = pixmap.deviceIndependentSize().toSize();
    const QSize box = shownSize().isValid() ? shownSize() : own;
    if (own.width() > box.width() || own.height() > box.height())
        setPixmap(pixmap.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        setPixmap(pixmap);
}

void ReplaceablePicture::showFor(const QString& child) {
    m_child = child;
    m_pending.clear();
    // A picture in the photo folder is shown from its thumbnail for the box, made once; one an
    // earlier version kept in the store is read from there.
    const QString file = ChildRecords::pictureFile(child, m_key);
    const QSize box = shownSize();
    QImage stored;
    if (!file.isEmpty() && box.isValid()) {
        stored = PictureFile::thumbnail(file, std::max(box.width(), box.height()));
    } else {
        const QByteArray bytes = ChildRecords::picture(child, m_key);
        stored = bytes.isEmpty() ? QImage() : PictureFile::read(bytes, box.isValid() ? box : kLargestBox);
    }
    m_custom = !stored.isNull();
    display(m_custom ? QPixmap::fromImage(stored) : m_artwork);
}

void ReplaceablePicture::chooseAndReplace() {
    if (!formHost())
        return;
    if (const std::optional<QString> chosen = formHost()->choosePicture())
        replaceFromFile(*chosen);
}

bool ReplaceablePicture::replaceFromFile(const QString& path) {
    if (path.isEmpty()) {
        Messages::information(this,
                              QStringLiteral("No picture file was chosen, so the picture stays as it was."));
        return false;
    }
    // The file named is read, and nothing else: when it is gone, nothing changes. It is kept byte
    // for byte (it is the family's photo) once it has shown itself to be a picture.
    QFile file(path);
    QImage image;
    if (file.open(QIODevice::ReadOnly))
        image = PictureFile::read(&file, shownSize().isValid() ? shownSize() : kLargestBox);
    file.close();
    if (image.isNull()) {
        Messages::information(this,
                              QStringLiteral("The file \"%1\" cannot be read as a picture, so the picture "
                                             "stays as it was.")
                                  .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (qobject_cast<TDialog*>(window())) {
        // A copy is kept in the photo folder at once, so that the choice holds even when the file
        // chosen is moved or its card taken out before the form's Ok.
        QString kept;
        if (!guarded(this, [&] { kept = PhotoFiles::pathOf(PhotoFiles::store(path)); }))
            return false;
        m_pending = kept;
    } else if (!guarded(this, [&] { ChildRecords::setPictureFrom(m_child, m_key, path); })) {
        return false;
    }
    m_custom = true;
    display(QPixmap::fromImage(image));
    return true;
}

bool ReplaceablePicture::keepChoice() {
    if (m_pending.isEmpty())
        return true;
    if (!guarded(this, [&] { ChildRecords::setPictureFrom(m_child, m_key, m_pending); }))
        return false;
    m_pending.clear();
    return true;
}

void ReplaceablePicture::dropChoice() {
    if (m_pending.isEmpty())
        return;
    guarded(this, [&] { showFor(m_child); });
}

QToolButton* changePictureButton(const QString& objectName, ReplaceablePicture* picture, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setIcon(Widgets::standardIcon(QStyle::SP_DirOpenIcon));
    b->setToolTip(QStringLiteral("Change this picture"));
    b->setAccessibleName(QStringLiteral("Change this picture"));
    QObject::connect(b, &QToolButton::clicked, picture, &ReplaceablePicture::chooseAndReplace);
    return b;
}
