#pragma once

#include <QWidget>

// The splash screen: a borderless picture shown while the program starts.
class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(QWidget* parent = nullptr);
    // The stork picture shared with the about box, 463 x 414.
    static QPixmap picture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPixmap draw();
    QPixmap m_picture;
};
