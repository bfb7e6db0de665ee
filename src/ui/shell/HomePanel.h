#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

// The active child at a glance, beside the main window's picture: their picture, full name, age and
// next birthday, and the entries recorded last. It is read again whenever the child changes or a
// form closes, so what was just typed shows at once.
class HomePanel : public QFrame {
    Q_OBJECT
public:
    explicit HomePanel(QWidget* parent = nullptr);

    // Shows `child` (nothing for an empty name).
    void showChild(const QString& child);
    // Reads the shown child again once the events now waiting have run; many calls make one reading.
    void refreshSoon();

signals:
    void newJournalEntryClicked();
    void addPhotosClicked();

private:
    void refresh();
    void showPicture(const QString& file, const QByteArray& bytes, const QString& firstName);

    QString m_child;
    bool m_refreshWaiting = false;
    QLabel* m_picture;
    QLabel* m_name;
    QLabel* m_age;
    QLabel* m_birthday;
    QLabel* m_latestHeading;
    QLabel* m_latest[3];
    QPushButton* m_newJournalEntry;
    QPushButton* m_addPhotos;
};
