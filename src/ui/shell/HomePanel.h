#pragma once

#include "core/overview/Timeline.h"

#include <QFrame>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

// The active child at a glance, beside the main window's picture: their picture, full name and age,
// the newest moments by date with their first photos, the latest growth with its centiles, what was
// recorded on this day in earlier years, and the next birthday. Each item opens its record (Enter or a
// double-click), as the timeline's do. It is read again whenever the child changes or a form closes,
// so what was just typed shows at once.
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
    // An item was chosen to be opened in its own form.
    void openItem(const ChildTimeline::Item& item);

private:
    void refresh();
    void showPicture(const QString& file, const QByteArray& bytes, const QString& firstName);
    // A section's list: the heading's words name it for a screen reader.
    QListWidget* section(const QString& name, QLabel* heading);
    void addItem(QListWidget* list, const QString& text, const ChildTimeline::Item& item, bool photo = false);
    void fitHeight(QListWidget* list);

    QString m_child;
    bool m_refreshWaiting = false;
    QLabel* m_picture;
    QLabel* m_name;
    QLabel* m_age;
    QLabel* m_momentsHeading;
    QLabel* m_growthHeading;
    QLabel* m_onThisDayHeading;
    QLabel* m_birthdayHeading;
    QListWidget* m_moments;
    QListWidget* m_growth;
    QListWidget* m_onThisDay;
    QListWidget* m_birthday;
    QLabel* m_nothingYet;
    QPushButton* m_newJournalEntry;
    QPushButton* m_addPhotos;
};
