#include "ui/shell/Forms.h"

#include "ui/child/TBrandNewChild.h"
#include "ui/shell/TMainWindow.h"
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
#include "ui/milestones/TFamilyInput.h"
#include "ui/milestones/THoliday.h"
#include "ui/milestones/TNewTitle.h"
#include "ui/milestones/TPickBday.h"
#include "ui/milestones/TPickEvent.h"
#include "ui/milestones/TPickHoliday.h"
#include "ui/milestones/TSkills.h"
#include "ui/milestones/TTeeth.h"
#include "ui/milestones/TToothDate.h"
#include "ui/names/TBabyNames.h"
#include "ui/reports/TPrintReports.h"
#include "ui/reports/TSampleReport.h"
#include "ui/child/TChangePicture.h"
#include "ui/child/TChildInfo.h"
#include "ui/child/TNewChildren.h"
#include "ui/child/TPickChild.h"

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
