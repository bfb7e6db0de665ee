#pragma once

#include <QLabel>
#include <QPixmap>

class QToolButton;

// A picture the parent may replace with a file of their own. The chosen picture is stored with the
// active child (its file's bytes, under `key`), comes back after a restart and is shown for that
// child only; a child without one sees the built-in artwork.
class ReplaceablePicture : public QLabel {
    Q_OBJECT
public:
    ReplaceablePicture(const QString& objectName, const QString& key, const QPixmap& artwork,
                       QWidget* parent);

    QString key() const { return m_key; }
    QString child() const { return m_child; }
    // True while the child's own picture is shown.
    bool isCustom() const { return m_custom; }

    // Shows `child`'s stored picture, or the artwork. Throws StoreError.
    void showFor(const QString& child);
    // Shows the picture chooser and, unless it was left without a choice, replaces the picture with
    // the file chosen. Errors are reported; the picture then stays as it was.
    void chooseAndReplace();
    // Reads `path`, stores it for the child and shows it. A file that is not a readable picture (or
    // an empty path) gets a message naming it; nothing is stored and the picture stays. Returns
    // whether the picture was replaced.
    bool replaceFromFile(const QString& path);

private:
    // The box the picture is shown in (invalid before the widget has a size).
    QSize shownSize() const;
    void display(const QPixmap& pixmap);

    QString m_key;
    QString m_child;
    QPixmap m_artwork;
    bool m_custom = false;
};

// A small button with the hint "Change this picture" that replaces `picture`.
QToolButton* changePictureButton(const QString& objectName, ReplaceablePicture* picture, QWidget* parent);
