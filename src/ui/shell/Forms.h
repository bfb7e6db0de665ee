#pragma once

#include <QString>

class QDialog;
class QWidget;

class TMainWindow;
class TPrenatal;
class TBabyNames;
class TPickChild;
class TChildInfo;
class TDoctor;
class TFamily;
class TFamilyInput;
class TGrowth;
class THoliday;
class TJournal;
class TNewChildren;
class TNewEntry;
class TNewTitle;
class TPickBday;
class TPickHoliday;
class TPickEvent;
class TReadmeFile;
class TPrintReports;
class TTeeth;
class TToothDate;
class TBirthdays;
class TSkills;
class TWords;
class TLogo2;
class THelpForm;
class TSearch;
class TBrandNewChild;
class TSampleReport;
class TChangePicture;

// Every form, created once at start-up by CreateForms() in this order and reached through its
// object's name. A pointer stays null while its form does not exist.
extern TMainWindow* MainWindow;
extern TPrenatal* Prenatal;
extern TBabyNames* BabyNames;
extern TPickChild* PickChild;
extern TChildInfo* ChildInfo;
extern TDoctor* Doctor;
extern TFamily* Family;
extern TFamilyInput* FamilyInput;
extern TGrowth* Growth;
extern THoliday* Holiday;
extern TJournal* Journal;
extern TNewChildren* NewChildren;
extern TNewEntry* NewEntry;
extern TNewTitle* NewTitle;
extern TPickBday* PickBday;
extern TPickHoliday* PickHoliday;
extern TPickEvent* PickEvent;
extern TReadmeFile* ReadmeFile;
extern TPrintReports* PrintReports;
extern TTeeth* Teeth;
extern TToothDate* ToothDate;
extern TBirthdays* Birthdays;
extern TSkills* Skills;
extern TWords* Words;
extern TLogo2* Logo2;
extern THelpForm* HelpForm;
extern TSearch* Search;
extern TBrandNewChild* BrandNewChild;
extern TSampleReport* SampleReport;
extern TChangePicture* ChangePicture;

// Creates every form once, the main window first; all dialogs are children of the main window.
void CreateForms();
// Destroys every form (at exit, or between tests).
void DestroyForms();

// The registered dialog with this object name, or null when that form does not exist. The main
// window's commands reach their target forms through it, and prepare them through these slots of
// the target (a missing slot leaves the command without effect):
//   Birthdays:    setTitles(QString)          the four title labels
//   Holiday:      setTitle(QString)           the occasion's title (the caption is the window title)
//   PickEvent:    setAddNewCaption(QString)   the AddNew button's caption
//   PrintReports: setCategory(QString)        the chooser's title; it fills its names from it
//   HelpForm:     setTopicNumber(int)         the topic to show
QDialog* Form(const QString& objectName);
void RegisterForm(QDialog* form);
void UnregisterForm(QDialog* form);

// Shows a form modally; does nothing when it does not exist. Returns the dialog's result.
int ShowForm(const QString& objectName);
// Shows help topic `topic` in the help viewer.
void ShowHelpTopic(int topic);
// The active child's first name: the text of the main window's ChildName box.
QString ActiveChildName();
