#include "ui/shell/TMainWindow.h"

#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "ui/child/TBrandNewChild.h"
#include "ui/child/TChangePicture.h"
#include "ui/child/TChildInfo.h"
#include "ui/child/TPickChild.h"
#include "ui/common/Artwork.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/diaries/DiaryEditor.h"
#include "ui/diaries/TDoctor.h"
#include "ui/diaries/TGrowth.h"
#include "ui/diaries/TJournal.h"
#include "ui/diaries/TNewEntry.h"
#include "ui/diaries/TPrenatal.h"
#include "ui/diaries/TWords.h"
#include "ui/help/THelpForm.h"
#include "ui/help/TLogo2.h"
#include "ui/help/TReadmeFile.h"
#include "ui/help/TSearch.h"
#include "ui/milestones/TBirthdays.h"
#include "ui/milestones/TFamily.h"
#include "ui/milestones/THoliday.h"
#include "ui/milestones/TPickBday.h"
#include "ui/milestones/TPickEvent.h"
#include "ui/milestones/TPickHoliday.h"
#include "ui/milestones/TSkills.h"
#include "ui/milestones/TTeeth.h"
#include "ui/names/TBabyNames.h"
#include "ui/reports/TPrintReports.h"
#include "ui/shell/BookMoves.h"
#include "ui/shell/HomePanel.h"
#include "ui/shell/PublishAlbum.h"
#include "ui/shell/ShareBook.h"
#include "ui/shell/SharingRunner.h"
#include "ui/shell/Startup.h"
#include "ui/shell/TTimeline.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

const QString TMainWindow::CaptionPrefix = QStringLiteral("Tinyra 4.2 - ");

namespace {
// The main window's artwork as it was drawn; shown smaller in a narrower window.
const QSize kArtworkSize(669, 561);
const QString kDisplayNote = QStringLiteral(
    "Note:  to get the most out of Tinyra 4, you should set your display to at least 256-color mode.  "
    "A 24-bit (16.7 million) or 16-bit (64,000) color pallet is recommended.  See Windows Help for details "
    "on "
    "changing your display settings. ");
// Shows `form` modally; a form that does not exist makes its command do nothing.
template <typename Form> void showModal(Form* form) {
    if (form)
        form->exec();
}

const QString kReadmeQuestion = QStringLiteral("Would you like to read the Tinyra On-Line \"Read me\" file?");

} // namespace

TMainWindow* MainWindow = nullptr;

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Tinyra 4.2"));
    m_quitAfterPaint = qEnvironmentVariableIsSet("TINYRA_QUIT_AFTER_PAINT");

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Client"));
    central->setAutoFillBackground(true);
    QPalette pal = central->palette();
    pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0)); // silver
    central->setPalette(pal);

    auto* bar = new QFrame(central);
    bar->setObjectName(QStringLiteral("GroupBox1"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setFixedHeight(89);
    buildToolBar(bar);

    m_image = new QLabel(central);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(Artwork::mainPicture());
    m_image->setScaledContents(true);
    m_image->setFixedSize(kArtworkSize);
    m_image->setAccessibleName(QStringLiteral("Tinyra"));

    m_childName = new QLineEdit(QStringLiteral("ChildName"), central);
    m_childName->setObjectName(QStringLiteral("ChildName"));
    m_childName->hide();

    m_home = new HomePanel(central);
    connect(m_home, &HomePanel::newJournalEntryClicked, this, [] {
        // The journal opens with its new-entry dialog over it, so the new entry is seen in its place.
        if (!Journal)
            return;
        QTimer::singleShot(0, Journal->editor(), &DiaryEditor::NewEntryClick);
        Journal->exec();
    });
    connect(m_home, &HomePanel::openItem, this, &TMainWindow::openTimelineItem);
    connect(m_home, &HomePanel::addPhotosClicked, this, [] {
        // The same, with the photo chooser opened over the new-entry dialog: the photos become a new
        // journal entry, dated by the first photo that tells its day.
        if (!Journal || !NewEntry)
            return;
        NewEntry->choosePhotosOnNextShowing();
        QTimer::singleShot(0, Journal->editor(), &DiaryEditor::NewEntryClick);
        Journal->exec();
    });

    auto* below = new QHBoxLayout;
    below->setContentsMargins(0, 0, 12, 12);
    below->setSpacing(12);
    below->addWidget(m_image, 0, Qt::AlignTop);
    below->addWidget(m_home, 1);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addLayout(below, 1);
    setCentralWidget(central);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    m_sharing = new SharingRunner(this, statusBar());
    connect(m_sharing, &SharingRunner::bookChanged, this, &TMainWindow::showChangesFromElsewhere);
    // A shared book takes in what the other computers wrote once the window is up.
    connect(this, &TMainWindow::firstPainted, m_sharing, &SharingRunner::restart);

    buildMenus();
}

void TMainWindow::showChangesFromElsewhere() {
    guarded(this, [] {
        // The active child may have been renamed or removed on another computer.
        QString child = Children::active();
        const QStringList children = Children::firstNames();
        if (!children.contains(child)) {
            const QString previous = Children::previous();
            child = children.contains(previous) ? previous : children.value(0);
        }
        if (!child.isEmpty())
            Children::makeActive(child, false);
    });
    showActiveChild();
    m_home->refreshSoon();
}

QString TMainWindow::childName() const {
    return Children::active();
}

void TMainWindow::showActiveChild() {
    const QString name = Children::active();
    m_childName->setText(name);
    setWindowTitle(name.isEmpty() ? QStringLiteral("Tinyra 4.2") : CaptionPrefix + name);
    if (!name.isEmpty())
        m_home->showChild(name);
}

QAction* TMainWindow::addItem(QMenu* menu, const QString& caption, const QString& name,
                              void (TMainWindow::*slot)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return action;
}

void TMainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [bar](const QString& caption, const QString& name) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };

    QMenu* prenatal = menu(QStringLiteral("&Prenatal"), QStringLiteral("Prenatal1"));
    addItem(prenatal, QStringLiteral("&Prenatal History"), QStringLiteral("PrenatalHistory1"),
            &TMainWindow::PrenatalHistory1Click);
    addItem(prenatal, QStringLiteral("&Baby Names"), QStringLiteral("BabyNames1"),
            &TMainWindow::BabyNames1Click);

    QMenu* child = menu(QStringLiteral("&Child"), QStringLiteral("Child1"));
    addItem(child, QStringLiteral("&Pick Child"), QStringLiteral("PickChild1"),
            &TMainWindow::PickChild1Click);
    addItem(child, QStringLiteral("&Child Information"), QStringLiteral("ChildInformation1"),
            &TMainWindow::ChildInformation1Click);
    addItem(child, QStringLiteral("&Family"), QStringLiteral("Family1"), &TMainWindow::Family1Click);
    addItem(child, QStringLiteral("&Timeline"), QStringLiteral("Timeline1"), &TMainWindow::Timeline1Click);
    child->addSeparator();
    addItem(child, QStringLiteral("&Export Book..."), QStringLiteral("ExportBook1"),
            &TMainWindow::ExportBook1Click);
    addItem(child, QStringLiteral("&Import Book..."), QStringLiteral("ImportBook1"),
            &TMainWindow::ImportBook1Click);
    addItem(child, QStringLiteral("&Restore a Backup..."), QStringLiteral("RestoreBackup1"),
            &TMainWindow::RestoreBackup1Click);
    child->addSeparator();
    addItem(child, QStringLiteral("&Share Book..."), QStringLiteral("ShareBook1"),
            &TMainWindow::ShareBook1Click);
    addItem(child, QStringLiteral("Publish &Album..."), QStringLiteral("PublishAlbum1"),
            &TMainWindow::PublishAlbum1Click);
    QMenu* shared = child->addMenu(QStringLiteral("S&hared Book"));
    shared->setObjectName(QStringLiteral("SharedBook1"));
    addItem(shared, QStringLiteral("Changes from &Other Computers"),
            QStringLiteral("ChangesfromOtherComputers1"), &TMainWindow::ChangesfromOtherComputers1Click);

    QMenu* health = menu(QStringLiteral("&Health"), QStringLiteral("Health2"));
    addItem(health, QStringLiteral("&At the Doctors"), QStringLiteral("AttheDoctors1"),
            &TMainWindow::AttheDoctors1Click);
    addItem(health, QStringLiteral("&Growth"), QStringLiteral("Growth1"), &TMainWindow::Growth1Click);
    addItem(health, QStringLiteral("&Teeth"), QStringLiteral("Teeth1"), &TMainWindow::Teeth1Click);

    QMenu* firsts = menu(QStringLiteral("&Firsts"), QStringLiteral("Firsts1"));
    addItem(firsts, QStringLiteral("&Skills"), QStringLiteral("Skills1"), &TMainWindow::Skills1Click);
    addItem(firsts, QStringLiteral("&Words"), QStringLiteral("Words1"), &TMainWindow::Words1Click);

    QMenu* birthdays = menu(QStringLiteral("&Birthdays"), QStringLiteral("Birthdays1"));
    static const char* const ordinals[] = {"Birth", "1st",  "2nd",  "3rd",  "4th",  "5th",
                                           "6th",   "7th",  "8th",  "9th",  "10th", "11th",
                                           "12th",  "13th", "14th", "15th", "16th"};
    for (const char* ordinal : ordinals) {
        const QString caption = QString::fromLatin1(ordinal);
        QAction* action = birthdays->addAction(caption);
        action->setObjectName(caption == QLatin1String("Birth")
                                  ? QStringLiteral("Birth1")
                                  : QStringLiteral("N") + caption + QStringLiteral("1"));
        connect(action, &QAction::triggered, this,
                [this, caption] { BirthdayItemClick(caption + QStringLiteral(" Birthday")); });
    }

    QMenu* holidays = menu(QStringLiteral("&Holidays"), QStringLiteral("Holidays1"));
    addItem(holidays, QStringLiteral("&Easter"), QStringLiteral("Easter1"), &TMainWindow::Easter1Click);
    addItem(holidays, QStringLiteral("&Fourth of July"), QStringLiteral("FourthofJuly1"),
            &TMainWindow::FourthofJuly1Click);
    addItem(holidays, QStringLiteral("&Halloween"), QStringLiteral("Halloween1"),
            &TMainWindow::Halloween1Click);
    addItem(holidays, QStringLiteral("&Thanksgiving"), QStringLiteral("Thanksgiving1"),
            &TMainWindow::Thanksgiving1Click);
    addItem(holidays, QStringLiteral("&Christmas"), QStringLiteral("Christmas1"),
            &TMainWindow::Christmas1Click);
    addItem(holidays, QStringLiteral("&Other Holidays"), QStringLiteral("OtherHolidays1"),
            &TMainWindow::OtherHolidays1Click);

    QMenu* special = menu(QStringLiteral("&Special Events"), QStringLiteral("SpecialEvents1"));
    addItem(special, QStringLiteral("&Christening"), QStringLiteral("Christening1"),
            &TMainWindow::Christening1Click);
    addItem(special, QStringLiteral("&Outings"), QStringLiteral("Outings1"), &TMainWindow::Outings1Click);
    addItem(special, QStringLiteral("&Visitors"), QStringLiteral("Visitors1"), &TMainWindow::Visitors1Click);
    addItem(special, QStringLiteral("&Journal"), QStringLiteral("Journal1"), &TMainWindow::Journal1Click);

    QMenu* reports = menu(QStringLiteral("&Reports"), QStringLiteral("Reports1"));
    const struct {
        const char* caption;
        const char* name;
        const char* title;
    } categories[] = {{"&Prenatal", "Prenatal2", "Prenatal Reports"},
                      {"&Child", "Child2", "Child Reports"},
                      {"&Health", "Health1", "Health Reports"},
                      {"&Firsts", "Firsts2", "Firsts Reports"},
                      {"&Birthdays", "Holidays2", "Birthday Reports"},
                      {"H&olidays", "Holidays3", "Holiday Reports"},
                      {"&Special Events", "SpecialEvents2", "Special Reports"},
                      {"&Journal", "Journal2", "Journal Report"}};
    for (const auto& c : categories) {
        QAction* action = reports->addAction(QString::fromLatin1(c.caption));
        action->setObjectName(QString::fromLatin1(c.name));
        const QString title = QString::fromLatin1(c.title);
        connect(action, &QAction::triggered, this, [this, title] { ReportsClick(title); });
    }

    QMenu* help = menu(QStringLiteral("&Help"), QStringLiteral("Help1"));
    addItem(help, QStringLiteral("&About Tinyra"), QStringLiteral("AboutTinyra1"),
            &TMainWindow::AboutTinyra1Click);
    addItem(help, QStringLiteral("&OnLine \"Readme\" File"), QStringLiteral("OnLineReadmeFile1"),
            &TMainWindow::OnLineReadmeFile1Click);
    addItem(help, QStringLiteral("&What's new"), QStringLiteral("Whatsnew1"), &TMainWindow::Whatsnew1Click);
    addItem(help, QStringLiteral("&Importing pictures into Tinyra"),
            QStringLiteral("ImportingpicturesintoTinyra1"), &TMainWindow::ImportingpicturesintoTinyra1Click);
    addItem(help, QStringLiteral("&Search"), QStringLiteral("Search1"), &TMainWindow::Search1Click);
}

void TMainWindow::buildToolBar(QFrame* bar) {
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    const struct {
        const char* name;
        const char* hint;
        const char* glyph;
        QColor color;
        void (TMainWindow::*slot)();
    } buttons[] = {
        {"SpeedButton1", "Prenatal", "baby-carriage", QColor(0xc2, 0x18, 0x5b),
         &TMainWindow::PrenatalHistory1Click},
        {"SpeedButton2", "Baby Names", "abc", QColor(0x1e, 0x5a, 0xb4), &TMainWindow::BabyNames1Click},
        {"SpeedButton3", "Child Information", "user-heart", QColor(0xd8, 0x43, 0x15),
         &TMainWindow::ChildInformation1Click},
        {"SpeedButton5", "Family Information", "hierarchy-2", QColor(0x2e, 0x7d, 0x32),
         &TMainWindow::Family1Click},
        {"SpeedButton4", "At the doctors", "stethoscope", QColor(0x00, 0x69, 0x7c),
         &TMainWindow::AttheDoctors1Click},
        {"SpeedButton12", "Growth", "ruler-measure", QColor(0x6a, 0x1b, 0x9a), &TMainWindow::Growth1Click},
        {"SpeedButton6", "Birthdays", "cake", QColor(0xe9, 0x1e, 0x63), &TMainWindow::PickBdayClick},
        {"SpeedButton9", "Holidays", "christmas-tree", QColor(0x1b, 0x5e, 0x20),
         &TMainWindow::OtherHolidays1Click},
        {"SpeedButton10", "Daily Journal", "notebook", QColor(0x5d, 0x40, 0x37), &TMainWindow::Journal1Click},
        {"SpeedButton13", "Timeline", "timeline", QColor(0x37, 0x47, 0x4f), &TMainWindow::Timeline1Click},
        {"SpeedButton11", "Tinyra Help", "help-circle", QColor(0x0d, 0x47, 0xa1), &TMainWindow::Search1Click},
    };
    for (const auto& b : buttons) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(b.name));
        const QString hint = QString::fromLatin1(b.hint);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        button->setIcon(Artwork::glyph(QString::fromLatin1(b.glyph), b.color));
        const bool help = qstrcmp(b.name, "SpeedButton11") == 0;
        button->setIconSize(help ? QSize(26, 26) : QSize(40, 40));
        button->setFixedSize(help ? 33 : 57, 57);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, [this, slot = b.slot] { (this->*slot)(); });
        layout->addWidget(button);
    }
    layout->addStretch();
}

void TMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_firstShow) {
        m_firstShow = false;
        // The check shows modal dialogs: run it once the window is on screen, not inside the event.
        QTimer::singleShot(0, this, &TMainWindow::FormCreate);
    }
}

void TMainWindow::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (m_startupDone && !m_paintedOnce) {
        m_paintedOnce = true;
        QTimer::singleShot(0, this, &TMainWindow::firstPainted);
    }
    if (m_quitAfterPaint && m_startupDone) {
        // For the benchmark: say when the window is first painted after the start-up check, then end.
        m_quitAfterPaint = false;
        std::fputs("painted\n", stdout);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    Entries().release();
    QMainWindow::closeEvent(event);
}

void TMainWindow::makeChildActive(const QString& name, bool freshStart) {
    Children::makeActive(name, freshStart);
    showActiveChild();
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
    // At most a third and a little of the width goes to the artwork, never more than its own size, so
    // that the child's side keeps at least 60% of a 1366-pixel window.
    const int width = qMin(kArtworkSize.width(), int(event->size().width() * 0.35));
    m_image->setFixedSize(width, width * kArtworkSize.height() / kArtworkSize.width());
    QMainWindow::resizeEvent(event);
}

void TMainWindow::childEvent(QChildEvent* event) {
    if (event->added())
        event->child()->installEventFilter(this);
    QMainWindow::childEvent(event);
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && qobject_cast<QDialog*>(watched)) {
        m_home->refreshSoon();
        m_sharing->formClosed();
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {
// The dialogs of the start-up check stand in the middle of the screen. Centred on the main window
// they would follow its geometry from before the window manager maximised it, and sit off to a side.
class CentreOnScreen : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog && dialog->isWindow()) {
            const QScreen* screen = MainWindow ? MainWindow->screen() : QGuiApplication::primaryScreen();
            if (screen) {
                const QRect free = screen->availableGeometry();
                QRect frame = dialog->frameGeometry();
                frame.moveCenter(free.center());
                dialog->move(frame.topLeft());
            }
        }
        return false;
    }
};
} // namespace

void TMainWindow::FormCreate() {
    if (m_startupDone)
        return;
    m_startupDone = true;
    CentreOnScreen centre;
    qApp->installEventFilter(&centre);
    const bool opened = openBook();
    qApp->removeEventFilter(&centre);
    if (!opened)
        return;
    emit started();
    if (m_quitAfterPaint)
        update();
}

void TMainWindow::reloadBook() {
    showActiveChild();
    openBook();
    m_home->refreshSoon();
}

bool TMainWindow::openBook() {
    QString first;
    QStringList children;
    if (!guarded(this, [&] {
            first = Children::previous();
            if (first == Children::NoChildYet)
                children = Children::firstNames();
        }))
        return false;

    if (first == Children::NoChildYet && !children.isEmpty()) {
        // The book has children but keeps no active one: the parent picks one of them (or adds
        // another) instead of being asked for a first child whose name may already be taken.
        while (first == Children::NoChildYet) {
            showModal(PickChild);
            if (!guarded(this, [&first] { first = Children::previous(); }))
                return false;
            if (first == Children::NoChildYet)
                Messages::information(this,
                                      QStringLiteral("Tinyra needs at least a first name to begin running."));
        }
    } else if (first != Children::NoChildYet) {
        guarded(this, [&first] { Entries().freshStart(first); });
        showActiveChild();
    } else {
        while (BrandNewChild && !BrandNewChild->ask()) {
            Messages::information(this,
                                  QStringLiteral("Tinyra needs at least a first name to begin running."));
        }
        Messages::information(this, kDisplayNote);
        if (Messages::plain(this, kReadmeQuestion, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            showModal(ReadmeFile);
    }
    return true;
}

void TMainWindow::PrenatalHistory1Click() {
    showModal(Prenatal);
}
void TMainWindow::BabyNames1Click() {
    showModal(BabyNames);
}
void TMainWindow::PickChild1Click() {
    showModal(PickChild);
}
void TMainWindow::ChildInformation1Click() {
    showModal(ChildInfo);
}
void TMainWindow::ExportBook1Click() {
    BookMoves::exportBook(this);
}
void TMainWindow::ImportBook1Click() {
    BookMoves::importBook(this);
}
void TMainWindow::ShareBook1Click() {
    if (ShareBook::open(this, m_sharing))
        showChangesFromElsewhere();
}
void TMainWindow::PublishAlbum1Click() {
    PublishAlbum::open(this);
}
void TMainWindow::ChangesfromOtherComputers1Click() {
    ShareBook::showChanges(this);
    showChangesFromElsewhere();
}
void TMainWindow::RestoreBackup1Click() {
    restoreBackup(this);
}
void TMainWindow::Family1Click() {
    showModal(Family);
}
void TMainWindow::AttheDoctors1Click() {
    showModal(Doctor);
}
void TMainWindow::Growth1Click() {
    showModal(Growth);
}
void TMainWindow::Teeth1Click() {
    showModal(Teeth);
}
void TMainWindow::Skills1Click() {
    showModal(Skills);
}
void TMainWindow::Words1Click() {
    showModal(Words);
}
void TMainWindow::PickBdayClick() {
    showModal(PickBday);
}

void TMainWindow::BirthdayItemClick(const QString& title) {
    if (!Birthdays)
        return;
    Birthdays->setTitles(title);
    Birthdays->exec();
}

void TMainWindow::showHoliday(const QString& caption, const QString& title) {
    if (!Holiday)
        return;
    Holiday->setWindowTitle(caption);
    Holiday->setTitle(title);
    Holiday->exec();
}

void TMainWindow::Easter1Click() {
    showHoliday(QStringLiteral("Holidays"), QStringLiteral("First Easter - ") + childName());
}
void TMainWindow::FourthofJuly1Click() {
    showHoliday(QStringLiteral("Holidays"), QStringLiteral("First 4th of July - ") + childName());
}
void TMainWindow::Halloween1Click() {
    showHoliday(QStringLiteral("Holidays"), QStringLiteral("First Halloween - ") + childName());
}
void TMainWindow::Thanksgiving1Click() {
    showHoliday(QStringLiteral("Holidays"), QStringLiteral("First Thanksgiving - ") + childName());
}
void TMainWindow::Christmas1Click() {
    showHoliday(QStringLiteral("Holidays"), QStringLiteral("First Christmas - ") + childName());
}
void TMainWindow::OtherHolidays1Click() {
    showModal(PickHoliday);
}
void TMainWindow::Christening1Click() {
    showHoliday(QStringLiteral("Christening"), QStringLiteral("Christening"));
}

void TMainWindow::showPickEvent(const QString& caption, const QString& addNew) {
    if (!PickEvent)
        return;
    PickEvent->setWindowTitle(caption);
    PickEvent->setAddNewCaption(addNew);
    PickEvent->exec();
}

void TMainWindow::Outings1Click() {
    showPickEvent(QStringLiteral("Pick Outing"), QStringLiteral("Add New Outing"));
}
void TMainWindow::Visitors1Click() {
    showPickEvent(QStringLiteral("Pick Visitor"), QStringLiteral("Add New Visitor"));
}
void TMainWindow::Journal1Click() {
    showModal(Journal);
}

void TMainWindow::Timeline1Click() {
    showModal(Timeline);
}

namespace {
// Shows `form` turned to the tab captioned `page`, once it is on screen.
void execAtPage(TDialog* form, const QString& page) {
    QTimer::singleShot(0, form, [form, page] {
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i).remove(QLatin1Char('&')) == page)
                    tabs->setCurrentIndex(i);
    });
    form->exec();
}
} // namespace

namespace {
const QString kUnknownItem = QStringLiteral(
    "This item belongs to a part of the book this version of Tinyra does not know, so it cannot be opened "
    "here.");
} // namespace

void TMainWindow::openTimelineItem(const ChildTimeline::Item& item) {
    using ChildTimeline::Kind;
    switch (item.kind) {
    case Kind::Diary: {
        TDialog* form = nullptr;
        DiaryEditor* editor = nullptr;
        switch (item.list) {
        case DiaryList::PrenatalDiary:
        case DiaryList::PrenatalMedicalDiary:
            form = Prenatal;
            Prenatal->ensureBuilt();
            editor = item.list == DiaryList::PrenatalDiary ? Prenatal->diary() : Prenatal->medicalDiary();
            break;
        case DiaryList::JournalEntries:
            form = Journal;
            editor = Journal->editor();
            break;
        case DiaryList::WordEntries:
            form = Words;
            editor = Words->editor();
            break;
        case DiaryList::DoctorVisits:
        case DiaryList::ChildhoodDiseases:
            form = Doctor;
            Doctor->ensureBuilt();
            editor = item.list == DiaryList::DoctorVisits ? Doctor->visits() : Doctor->diseases();
            break;
        default:
            break;
        }
        // An entry of a diary this version does not have (a store a later version wrote) has no form.
        if (!form || !editor) {
            Messages::information(this, kUnknownItem);
            return;
        }
        // The form shows its newest entry as it opens; the chosen one is shown once it is up.
        QTimer::singleShot(0, editor, [editor, position = item.position] { editor->showEntry(position); });
        form->exec();
        break;
    }
    case Kind::Growth:
        execAtPage(Growth, QStringLiteral("Growth Log"));
        break;
    case Kind::Tooth:
        showModal(Teeth);
        break;
    case Kind::Skill:
        execAtPage(Skills, item.key);
        break;
    case Kind::Birthday:
        BirthdayItemClick(item.key);
        break;
    case Kind::Occasion:
        showHoliday(item.key, item.title);
        break;
    default:
        Messages::information(this, kUnknownItem);
        break;
    }
}

void TMainWindow::ReportsClick(const QString& title) {
    if (!PrintReports)
        return;
    PrintReports->setCategory(title);
    PrintReports->exec();
}

void TMainWindow::AboutTinyra1Click() {
    showModal(Logo2);
}
void TMainWindow::OnLineReadmeFile1Click() {
    showModal(ReadmeFile);
}
void TMainWindow::Whatsnew1Click() {
    showHelpTopic(40);
}
void TMainWindow::ImportingpicturesintoTinyra1Click() {
    showHelpTopic(63);
}
void TMainWindow::Search1Click() {
    showModal(Search);
}

void TMainWindow::showHelpTopic(int topic) {
    if (!HelpForm)
        return;
    HelpForm->setTopicNumber(topic);
    HelpForm->exec();
}

std::optional<QString> TMainWindow::choosePicture() {
    if (!ChangePicture)
        return std::nullopt;
    return ChangePicture->ask();
}
