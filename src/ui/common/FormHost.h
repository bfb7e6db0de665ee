#pragma once

#include <QString>

#include <optional>

// What a form may ask of the program around it: the active child, help topics and the picture
// chooser. The main window provides it; a form reaches it through these calls and never includes
// the shell, so every request is checked by the compiler and none is looked up by name.
class FormHost {
public:
    virtual ~FormHost() = default;

    // The active child's first name, as core keeps it (Children::active()).
    virtual QString activeChildName() const = 0;
    // Makes `name` the active child: PREVIOUS, the Entry store (a fresh start at the first run, a
    // child switch otherwise), ChildName and the caption. Throws StoreError.
    virtual void makeChildActive(const QString& name, bool freshStart) = 0;
    // Shows help topic `topic` in the help viewer.
    virtual void showHelpTopic(int topic) = 0;
    // Shows the picture chooser modally: the chosen file's path, or nothing when the parent left
    // without choosing (or there is no chooser).
    virtual std::optional<QString> choosePicture() = 0;
};

// Installs `host` (null: none) and returns the one installed before, so a test can put its own in
// front of the program's and restore it afterwards.
FormHost* setFormHost(FormHost* host);
// The installed host, or null.
FormHost* formHost();

// Shorthands for the requests every form makes. Without a host they do nothing (or return "").
QString ActiveChildName();
void ShowHelpTopic(int topic);
