#pragma once

#include "core/overview/Timeline.h"

#include "ui/common/FormHost.h"

#include <QMainWindow>

class HomePanel;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class SharingRunner;

// The hub of every command: menu bar, tool bar of picture buttons, the artwork and the hidden ChildName
// box holding the active child's first name. It is the forms' host: they ask it for the active child,
// help topics and the picture chooser.
class TMainWindow : public QMainWindow, public FormHost {
    Q_OBJECT
public:
    explicit TMainWindow(QWidget* parent = nullptr);

    static const QString CaptionPrefix; // "Tinyra 4.2 - "

    // The active child's first name, as core keeps it (Children::active()).
    QString childName() const;
    // Shows the active child in the hidden ChildName box, the caption and the home panel.
    void showActiveChild();
    // Makes `name` the active child: ChildName, PREVIOUS, caption, then the Entry store loads the
    // child (a fresh start at first run, a child switch otherwise). Throws StoreError.
    void makeChildActive(const QString& name, bool freshStart = false) override;

    // FormHost
    QString activeChildName() const override { return childName(); }
    void showHelpTopic(int topic) override;
    std::optional<QString> choosePicture() override;
    bool startupCheckDone() const { return m_startupDone; }
    // After another book was put in place of the open one: its active child, as at start-up.
    void reloadBook();

signals:
    // The start-up check has finished (after the first-run dialogs, when there were any).
    void started();
    // The window was painted for the first time after the start-up check (emitted just after).
    void firstPainted();

public slots:
    // The start-up check, run once at the first activation.
    void FormCreate();

    void PrenatalHistory1Click();
    void BabyNames1Click();
    void PickChild1Click();
    void ChildInformation1Click();
    void Family1Click();
    void ExportBook1Click(); // the whole book to a file, and back
    void ImportBook1Click();
    void RestoreBackup1Click(); // a backup in place of the book, the book kept beside it
    void PublishAlbum1Click();  // the book as a family web album in a folder
    void ShareBook1Click();     // the book kept in step with other computers through a folder
    void ChangesfromOtherComputers1Click();
    // Another computer's changes were taken in (or the parent chose one): the active child is read
    // again, and shown.
    void showChangesFromElsewhere();
    void AttheDoctors1Click();
    void Growth1Click();
    void Teeth1Click();
    void Skills1Click();
    void Words1Click();
    void PickBdayClick();                         // the "Birthdays" tool button
    void BirthdayItemClick(const QString& title); // "Birth" and "1st" to "16th"
    void Easter1Click();
    void FourthofJuly1Click();
    void Halloween1Click();
    void Thanksgiving1Click();
    void Christmas1Click();
    void OtherHolidays1Click();
    void Christening1Click();
    void Outings1Click();
    void Visitors1Click();
    void Journal1Click();
    void Timeline1Click();
    // Shows a timeline item in its own form: the diary at that entry, the birthday, the holiday...
    void openTimelineItem(const ChildTimeline::Item& item);
    void ReportsClick(const QString& title); // the eight report categories
    void AboutTinyra1Click();
    void OnLineReadmeFile1Click();
    void Whatsnew1Click();
    void ImportingpicturesintoTinyra1Click();
    void Search1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The artwork scales down so that the home panel keeps most of the window.
    void resizeEvent(QResizeEvent* event) override;
    // Every form the window opens is watched: when one closes, the home panel is read again.
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // The active child at start-up: the one PREVIOUS names, one picked from the book's children, or
    // a first child the parent adds. False when the store could not be read (the error was shown).
    bool openBook();
    void buildToolBar(QFrame* bar);
    QAction* addItem(QMenu* menu, const QString& caption, const QString& name, void (TMainWindow::*slot)());
    void showHoliday(const QString& caption, const QString& title);
    void showPickEvent(const QString& caption, const QString& addNew);

    QLineEdit* m_childName;
    QLabel* m_image;
    HomePanel* m_home;
    SharingRunner* m_sharing;
    bool m_firstShow = true;
    bool m_startupDone = false;
    bool m_quitAfterPaint = false;
    bool m_paintedOnce = false;
};

// The one main window, created first at start-up (null before and after).
extern TMainWindow* MainWindow;
