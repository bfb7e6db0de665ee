#pragma once

#include "core/book/EntryStore.h"

#include <QDialog>
#include <QListWidget>

class QLabel;
class QScrollArea;

// The photos of one entry as a row of thumbnails, upright, in their order. Enter or a double click
// opens the photo under the cursor (opened()). A photo whose file is gone shows as a blank square
// with its name.
class PhotoStrip : public QListWidget {
    Q_OBJECT
public:
    PhotoStrip(const QString& name, const QString& accessibleName, QWidget* parent);

    void setPhotos(const QVector<EntryPhoto>& photos);
    const QVector<EntryPhoto>& photos() const { return m_photos; }

    // The picture of a stored photo scaled to fit `fit` (its whole size when `fit` is empty), upright;
    // null when its file is gone or no picture.
    static QImage picture(const EntryPhoto& photo, const QSize& fit = QSize());

signals:
    void opened(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QVector<EntryPhoto> m_photos;
};

// One entry's photos, large, one at a time: previous and next, fit to the window or zoomed in and
// out. Keys: Left and Right (or Page Up and Page Down) move, + and - zoom, 0 fits, Esc closes.
class PhotoViewer : public QDialog {
    Q_OBJECT
public:
    PhotoViewer(const QVector<EntryPhoto>& photos, int index, QWidget* parent);

    int index() const { return m_index; }
    double zoom() const { return m_zoom; } // 0 while the photo is fitted to the window
    void showPhoto(int index);
    void zoomBy(double factor);
    void fit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();

    QVector<EntryPhoto> m_photos;
    int m_index = 0;
    double m_zoom = 0;
    QImage m_image;
    QScrollArea* m_scroll;
    QLabel* m_view;
    QLabel* m_caption;
};
