#include "app/Forms.h"

#include "app/TBrandNewChild.h"
#include "app/TMainWindow.h"
#include "diaries/TDoctor.h"
#include "diaries/TGrowth.h"
#include "diaries/TJournal.h"
#include "diaries/TNewEntry.h"
#include "diaries/TPrenatal.h"
#include "diaries/TWords.h"
#include "help/THelpForm.h"
#include "help/TLogo2.h"
#include "help/TReadmeFile.h"
#include "help/TSearch.h"
#include "milestones/TBirthdays.h"
#include "milestones/TFamily.h"
#include "milestones/TFamilyInput.h"
#include "milestones/THoliday.h"
#include "milestones/TNewTitle.h"
#include "milestones/TPickBday.h"
#include "milestones/TPickEvent.h"
#include "milestones/TPickHoliday.h"
#include "milestones/TSkills.h"
#include "milestones/TTeeth.h"
#include "milestones/TToothDate.h"
#include "names/TBabyNames.h"
#include "reports/TPrintReports.h"
#include "reports/TSampleReport.h"
#include "store/TChangePicture.h"
#include "store/TChildInfo.h"
#include "store/TNewChildren.h"
#include "store/TPickChild.h"

#include <QDialog>
#include <QHash>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>

TMainWindow* MainWindow = nullptr;
TPrenatal* Prenatal = nullptr;
TBabyNames* BabyNames = nullptr;
TPickChild* PickChild = nullptr;
TChildInfo* ChildInfo = nullptr;
TDoctor* Doctor = nullptr;
TFamily* Family = nullptr;
TFamilyInput* FamilyInput = nullptr;
TGrowth* Growth = nullptr;
THoliday* Holiday = nullptr;
TJournal* Journal = nullptr;
TNewChildren* NewChildren = nullptr;
TNewEntry* NewEntry = nullptr;
TNewTitle* NewTitle = nullptr;
TPickBday* PickBday = nullptr;
TPickHoliday* PickHoliday = nullptr;
TPickEvent* PickEvent = nullptr;
TReadmeFile* ReadmeFile = nullptr;
TPrintReports* PrintReports = nullptr;
TTeeth* Teeth = nullptr;
TToothDate* ToothDate = nullptr;
TBirthdays* Birthdays = nullptr;
TSkills* Skills = nullptr;
TWords* Words = nullptr;
TLogo2* Logo2 = nullptr;
THelpForm* HelpForm = nullptr;
TSearch* Search = nullptr;
TBrandNewChild* BrandNewChild = nullptr;
TSampleReport* SampleReport = nullptr;
TChangePicture* ChangePicture = nullptr;

namespace {
QHash<QString, QPointer<QDialog>>& registry() {
    static QHash<QString, QPointer<QDialog>> forms;
    return forms;
}

template <typename Form> Form* create(Form*& global) {
    global = new Form(MainWindow);
    RegisterForm(global);
    return global;
}
} // namespace

void CreateForms() {
    // Every form once, the main window first, then in this order; none reads the store here.
    MainWindow = new TMainWindow;
    create(Prenatal);
    create(BabyNames);
    create(PickChild);
    create(ChildInfo);
    create(Doctor);
    create(Family);
    create(FamilyInput);
    create(Growth);
    create(Holiday);
    create(Journal);
    create(NewChildren);
    create(NewEntry);
    create(NewTitle);
    create(PickBday);
    create(PickHoliday);
    create(PickEvent);
    create(ReadmeFile);
    create(PrintReports);
    create(Teeth);
    create(ToothDate);
    create(Birthdays);
    create(Skills);
    create(Words);
    create(Logo2);
    create(HelpForm);
    create(Search);
    create(BrandNewChild);
    create(SampleReport);
    create(ChangePicture);
}

void DestroyForms() {
    delete MainWindow; // every dialog is its child
    MainWindow = nullptr;
    registry().clear();
    Prenatal = nullptr;
    BabyNames = nullptr;
    PickChild = nullptr;
    ChildInfo = nullptr;
    Doctor = nullptr;
    Family = nullptr;
    FamilyInput = nullptr;
    Growth = nullptr;
    Holiday = nullptr;
    Journal = nullptr;
    NewChildren = nullptr;
    NewEntry = nullptr;
    NewTitle = nullptr;
    PickBday = nullptr;
    PickHoliday = nullptr;
    PickEvent = nullptr;
    ReadmeFile = nullptr;
    PrintReports = nullptr;
    Teeth = nullptr;
    ToothDate = nullptr;
    Birthdays = nullptr;
    Skills = nullptr;
    Words = nullptr;
    Logo2 = nullptr;
    HelpForm = nullptr;
    Search = nullptr;
    BrandNewChild = nullptr;
    SampleReport = nullptr;
    ChangePicture = nullptr;
}

QDialog* Form(const QString& objectName) { return registry().value(objectName).data(); }

void RegisterForm(QDialog* form) { registry().insert(form->objectName(), form); }

void UnregisterForm(QDialog* form) {
    if (registry().value(form->objectName()) == form)
        registry().remove(form->objectName());
}

int ShowForm(const QString& objectName) {
    QDialog* form = Form(objectName);
    return form ? form->exec() : 0;
}

void ShowHelpTopic(int topic) {
    QDialog* form = Form(QStringLiteral("HelpForm"));
    if (!form)
        return;
    QMetaObject::invokeMethod(form, "setTopicNumber", Q_ARG(int, topic));
    form->exec();
}

QString ActiveChildName() { return MainWindow ? MainWindow->childName() : QString(); }
