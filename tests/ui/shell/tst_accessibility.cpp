// What a screen reader finds on every form of a filled book: each control has a name, each picture
// a description, and each label reads what it shows (a label showing "Park day" is read as such,
// not as "Title").

#include "core/book/EntryStore.h"
#include "support/AppFixture.h"
#include "support/ModalDriver.h"
#include "ui/common/TDialog.h"
#include "ui/shell/TMainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

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
        } else if (isControl(w) && name.isEmpty()) {
            faults << where + QStringLiteral(": no name");
        }
    }
    return faults;
}
} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyFormReadsWhatItShows();
};

void AccessibilityTest::everyFormReadsWhatItShows() {
    AppFixture app;
    // A child with something in every diary, the growth log and the family tree.
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

    // A form that asks something on its own at showing is answered, so the walk never waits.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && !qobject_cast<TDialog*>(modal))
            modal->close();
    });
    answerer.start(50);

    QStringList faults;
    const auto forms = MainWindow->findChildren<TDialog*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(forms.size() >= 25);
    for (TDialog* form : forms) {
        form->show();
        QCoreApplication::processEvents();
        faults << faultsOf(form);
        // Every page of a tabbed form is read as the parent would turn to it.
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
            for (int page = 1; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                QCoreApplication::processEvents();
                faults << faultsOf(form);
            }
            tabs->setCurrentIndex(0);
        }
        form->hide();
        ModalDriver::closeAllModals();
    }
    faults.removeDuplicates();
    for (const QString& fault : faults)
        qWarning("%s", qPrintable(fault));
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
