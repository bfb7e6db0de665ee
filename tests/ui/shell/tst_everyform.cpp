// Every form of a filled book as a parent meets it: what a screen reader finds (each control has a
// name, each picture a description, each label reads what it shows: "Park day", not "Title"), and
// whether the form fits the smallest screen Tinyra supports, whole and unsqueezed, and whether every
// label stays readable under a dark desktop palette; whether the keyboard focus is always seen, and
// Help stands in one place on every page.

#include "core/book/EntryStore.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/common/FocusRing.h"
#include "ui/common/TDialog.h"
#include "ui/common/Widgets.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

namespace {
QString shownText(const QLabel* label) {
    QString text = label->text();
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    return text.remove(QLatin1Char('&')).simplified();
}

bool insideCompound(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p))
            return true;
    return false;
}

bool isControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// The faults of the widgets shown now inside `window`.
QStringList faultsOf(QWidget* window) {
    QStringList faults;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || insideCompound(w))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface)
            continue;
        const QString name = iface->text(QAccessible::Name).simplified();
        const QString where = window->objectName() + QLatin1Char('/') + w->objectName() + QLatin1Char(' ') +
                              QString::fromLatin1(w->metaObject()->className());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->pixmap().isNull()) {
                if (name.isEmpty() && iface->text(QAccessible::Description).isEmpty())
                    faults << where + QStringLiteral(": a picture without a description");
                continue;
            }
            const QString shown = shownText(label);
            if (!shown.isEmpty() && !name.contains(shown))
                faults << where + QStringLiteral(": shows \"%1\" but reads \"%2\"").arg(shown, name);
            // A label that shows a value (empty until filled, or selectable to be copied) reads
            // whatever value it is given, in its name or its description.
            if (label->text().isEmpty() || (label->textInteractionFlags() & Qt::TextSelectableByMouse)) {
                const QString before = label->text();
                label->setText(QStringLiteral("7.3 kg, 50th centile"));
                const QString read =
                    iface->text(QAccessible::Name) + QLatin1Char(' ') + iface->text(QAccessible::Description);
                label->setText(before);
                if (!read.contains(QLatin1String("7.3 kg, 50th centile")))
                    faults << where + QStringLiteral(": its name \"%1\" hides the value it shows").arg(name);
            }
        } else if (isControl(w) && name.isEmpty()) {
            faults << where + QStringLiteral(": no name");
        }
    }
    return faults;
}

// A child with something in every diary, the growth log and the family tree.
void fillBook() {
    const DiaryList lists[] = {DiaryList::PrenatalDiary,  DiaryList::PrenatalMedicalDiary,
                               DiaryList::JournalEntries, DiaryList::WordEntries,
                               DiaryList::DoctorVisits,   DiaryList::ChildhoodDiseases};
    for (DiaryList list : lists)
        Entries().append(list, std::make_shared<DiaryType>(DiaryType{QStringLiteral("05-06-24"),
                                                                     QStringLiteral("Park day"),
                                                                     QStringLiteral("We fed the ducks.")}));
    Entries().appendGrowth(std::make_shared<GrowthType>(GrowthType{
        QStringLiteral("05-06-24"), QStringLiteral("26"), QStringLiteral("16"), QStringLiteral("2")}));
    Entries().setFamilyMember(
        1, FamilyMember{QStringLiteral("Rose Miller"), QStringLiteral("03-04-60"), QStringLiteral("Leeds")});
}

// With TINYRA_SHOTS set to a folder, each form and page is saved there as the walk shows it, to be
// looked at (the screen tests: tst_everyform_fits_1366x768 and _1920x1080).
void saveShot(TDialog* form, int page) {
    const QString folder = qEnvironmentVariable("TINYRA_SHOTS");
    if (!folder.isEmpty())
        form->grab().save(QStringLiteral("%1/%2-%3.png").arg(folder, form->objectName()).arg(page));
}

// Shows every form in turn, and each page of its tabs, collecting what `look` finds there.
QStringList walkEveryForm(const std::function<QStringList(TDialog*)>& look) {
    // A form that asks something on its own at showing is answered, so the walk never waits.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && !qobject_cast<TDialog*>(modal))
            modal->close();
    });
    answerer.start(50);

    QStringList faults;
    const auto forms = MainWindow->findChildren<TDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (forms.size() < 25)
        faults << QStringLiteral("only %1 forms").arg(forms.size());
    for (TDialog* form : forms) {
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents(); // and what the showing posted in turn (a palette taken on)
        faults << look(form);
        saveShot(form, 0);
        // Every page of a tabbed form is looked at as the parent would turn to it.
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
            for (int page = 1; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                QCoreApplication::processEvents();
                faults << look(form);
                saveShot(form, page);
            }
            tabs->setCurrentIndex(0);
        }
        form->hide();
        ModalDriver::closeAllModals();
    }
    faults.removeDuplicates();
    for (const QString& fault : faults)
        qWarning("%s", qPrintable(fault));
    return faults;
}

// Where a form stands on its screen: inside the available area with room for its title bar, and
// never smaller than its contents need.
QStringList placementOf(TDialog* form) {
    QStringList faults;
    const QRect screen = form->screen()->availableGeometry();
    QRect frame = form->frameGeometry();
    if (frame == form->geometry()) // no window manager here: allow for the title bar one would add
        frame.setTop(frame.top() - 32);
    const QString name = form->objectName();
    if (frame.width() > screen.width() || frame.height() > screen.height())
        faults << name + QStringLiteral(": %1x%2 is larger than the screen's %3x%4")
                             .arg(frame.width())
                             .arg(frame.height())
                             .arg(screen.width())
                             .arg(screen.height());
    else if (!screen.contains(frame))
        faults << name + QStringLiteral(": stands partly off the screen");
    const QSize needed = form->minimumSizeHint();
    if (needed.isValid() && (form->width() < needed.width() || form->height() < needed.height()))
        faults << name + QStringLiteral(": %1x%2 squeezes contents that need %3x%4")
                             .arg(form->width())
                             .arg(form->height())
                             .arg(needed.width())
                             .arg(needed.height());
    return faults;
}
// Labels whose letters nearly vanish against what they are drawn on: the colour the label writes in
// against the colour most of its own rectangle shows in the form as painted (its background, whoever
// paints it: the window, a frame with colours of its own, a picture).
QStringList faintLabelsOf(TDialog* form) {
    QStringList faults;
    const qreal ratio = form->devicePixelRatioF();
    const QImage shot = form->grab().toImage();
    // Labels, and buttons with words on them, against what is most of their own ground.
    QVector<QPair<QWidget*, QString>> inked;
    for (QLabel* label : form->findChildren<QLabel*>())
        if (label->pixmap().isNull())
            inked.append({label, shownText(label)});
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>())
        if (button->styleSheet().isEmpty())
            inked.append({button, button->text()});
    for (const auto& [label, words] : inked) {
        if (!label->isVisible() || words.isEmpty())
            continue;
        const QRect area(QRectF(QRectF(label->mapTo(form, QPoint(0, 0)), label->size()).topLeft() * ratio,
                                QSizeF(label->size()) * ratio)
                             .toRect()
                             .intersected(shot.rect()));
        QHash<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); y += 2)
            for (int x = area.left(); x <= area.right(); x += 2)
                ++counts[shot.pixel(x, y)];
        QRgb ground = 0;
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most)
                most = it.value(), ground = it.key();
        const QColor ink = label->palette().color(label->foregroundRole());
        if (most > 0 && Widgets::contrast(ink, QColor(ground)) < 3.0)
            faults << QStringLiteral("%1/%2 \"%3\": %4 on %5")
                          .arg(form->objectName(), label->objectName(), words.left(30), ink.name(),
                               QColor(ground).name());
    }
    return faults;
}

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::ToolTipBase, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xee));
    return dark;
}

// The controls of the page showing, reached by Tab from the first as the keyboard alone reaches them:
// each one, as it has the focus, is ringed, and the ring is painted over its edge in a colour that
// stands out from the window.
QStringList unseenFocusOf(TDialog* form) {
    QStringList faults;
    QApplication::setActiveWindow(form);
    form->activateWindow();
    QWidget* first = nullptr;
    QWidget* w = form;
    for (int step = 0; step < 80; ++step) {
        // Tab's way: the next in the chain that takes the focus by Tab and is shown on this page.
        do
            w = w->nextInFocusChain();
        while (w != form &&
               (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || !w->isEnabled() || w->focusProxy()));
        if (w == form || w == first)
            break;
        if (!first)
            first = w;
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QString where = form->objectName() + QLatin1Char('/') + w->objectName() + QLatin1Char(' ') +
                              QString::fromLatin1(w->metaObject()->className());
        QWidget* ringed = FocusRing::ringed();
        if (!w->hasFocus())
            continue; // it gave the focus on (a memo that only shows)
        if (!ringed || (ringed != w && !ringed->isAncestorOf(w))) {
            faults << where + QStringLiteral(": has the focus without a ring");
            continue;
        }
        const QImage shot = ringed->grab().toImage();
        const QRect ring = FocusRing::ringRect(ringed);
        const QPoint edge(ring.center().x(), ring.top() + 1);
        const QColor seen = shot.pixelColor(QPointF(edge * shot.devicePixelRatio()).toPoint());
        const QColor wanted = FocusRing::colour(ringed);
        if (qAbs(seen.red() - wanted.red()) + qAbs(seen.green() - wanted.green()) +
                qAbs(seen.blue() - wanted.blue()) >
            60)
            faults << where + QStringLiteral(": the ring's edge shows %1, not %2")
                                  .arg(seen.name(), wanted.name());
        if (Widgets::contrast(wanted, form->palette().color(QPalette::Window)) < 3.0)
            faults << where + QStringLiteral(": a ring of %1 hardly shows").arg(wanted.name());
    }
    return faults;
}
} // namespace

class EveryFormTest : public QObject {
    Q_OBJECT
private slots:
    void everyFormReadsWhatItShows();
    void everyFormFitsTheScreen();
    void everyFormReadsOnADarkPalette();
    void theFocusIsAlwaysSeen_data();
    void theFocusIsAlwaysSeen();
    void helpStandsInOnePlaceOnEveryPage();
};

void EveryFormTest::everyFormReadsWhatItShows() {
    AppFixture app;
    fillBook();
    const QStringList faults = walkEveryForm(&faultsOf);
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

// Run with the screens of 1366x768 at 100% and 1920x1080 at 150% (1280x720 to the forms).
void EveryFormTest::everyFormFitsTheScreen() {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (screen.width() < 1280 || screen.height() < 720)
        QSKIP("a screen smaller than any Tinyra supports; the screen tests set one up");
    AppFixture app;
    fillBook();
    const QStringList faults = walkEveryForm(&placementOf);
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

// A dark desktop scheme: forms that keep colours of their own keep letters that can be read on them.
void EveryFormTest::everyFormReadsOnADarkPalette() {
    AppFixture app;
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    fillBook();
    const QStringList faults = walkEveryForm(&faintLabelsOf);
    QApplication::setPalette(light);
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

void EveryFormTest::theFocusIsAlwaysSeen_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light palette") << false;
    QTest::newRow("dark palette") << true;
}

void EveryFormTest::theFocusIsAlwaysSeen() {
    QFETCH(bool, dark);
    AppFixture app;
    FocusRing::install();
    const QPalette before = QApplication::palette();
    if (dark)
        QApplication::setPalette(darkPalette());
    fillBook();
    const QStringList faults = walkEveryForm(&unseenFocusOf);
    QApplication::setPalette(before);
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

// Turning the pages of a form never moves its Help: the parent finds it where it was.
void EveryFormTest::helpStandsInOnePlaceOnEveryPage() {
    AppFixture app;
    fillBook();
    QHash<QString, QRect> firstSeen; // by form, Help's place on the first page that has one
    const QStringList faults = walkEveryForm([&firstSeen](TDialog* form) {
        QStringList moved;
        for (QAbstractButton* b : form->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || (b->accessibleName() != QLatin1String("Help") &&
                                    b->text().remove(QLatin1Char('&')) != QLatin1String("Help")))
                continue;
            const QRect place(b->mapTo(form, QPoint(0, 0)), b->size());
            const auto seen = firstSeen.constFind(form->objectName());
            if (seen == firstSeen.constEnd())
                firstSeen.insert(form->objectName(), place);
            else if (*seen != place)
                moved << QStringLiteral("%1/%2: Help at %3,%4, elsewhere at %5,%6")
                             .arg(form->objectName(), b->objectName())
                             .arg(place.x())
                             .arg(place.y())
                             .arg(seen->x())
                             .arg(seen->y());
        }
        return moved;
    });
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

QTEST_MAIN(EveryFormTest)
#include "tst_everyform.moc"
