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
    // Reads `path` and shows it. A picture on a form waits for the form's Ok to be stored for the
    // child (TDialog::done), and any other way out of the form puts the stored one back; elsewhere
    // it is stored at once. A file that is not a readable picture (or an empty path) gets a message
    // naming it; nothing changes. Returns whether the picture was replaced.
    bool replaceFromFile(const QString& path);
    // Whether a picture chosen on the form waits for its Ok.
    bool hasPendingChoice() const { return !m_pending.isEmpty(); }
    // Stores the picture chosen on the form. False, with the error reported, when it could not be
    // stored; the choice then still waits.
    bool keepChoice();
    // Forgets the picture chosen on the form and shows the stored one again.
    void dropChoice();

private:
    // The box the picture is shown in (invalid before the widget has a size).
    QSize shownSize() const;
    void display(const QPixmap& pixmap);

    QString m_key;
    QString m_child;
    QPixmap m_artwork;
    bool m_custom = false;
    QString m_pending; // the file chosen on the form, not stored yet
};

// A small button with the hint "Change this picture" that replaces `picture`.
QToolButton* changePictureButton(const QString& objectName, ReplaceablePicture* picture, QWidget* parent);
