#include "ui/shell/Forms.h"

#include "ui/common/FormHost.h"

#include "ui/child/TBrandNewChild.h"
#include "ui/child/TChangePicture.h"
#include "ui/child/TChildInfo.h"
#include "ui/child/TNewChildren.h"
#include "ui/child/TPickChild.h"
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
#include "ui/shell/TMainWindow.h"
#include "ui/shell/TTimeline.h"

namespace {
template <typename Form> void create(Form*& global) {
    global = new Form(MainWindow);
}
} // namespace

void CreateForms() {
    // Every form once, the main window first, then in this order; none reads the store here.
    MainWindow = new TMainWindow;
    setFormHost(MainWindow);
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
    create(Timeline);
    QObject::connect(Timeline, &TTimeline::openItem, MainWindow, &TMainWindow::openTimelineItem);
}

void DestroyForms() {
    delete MainWindow; // every dialog is its child
    MainWindow = nullptr;
    setFormHost(nullptr);
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
    Timeline = nullptr;
}
