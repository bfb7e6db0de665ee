#pragma once

// Creates every form once, the main window first, in the program's start-up order; every dialog is a
// child of the main window and is reached through its global pointer, declared in its own header
// (`Doctor` in ui/diaries/TDoctor.h). The main window becomes the forms' host (ui/common/FormHost.h).
void CreateForms();
// Destroys every form (at exit, or between tests) and sets every pointer back to null.
void DestroyForms();
