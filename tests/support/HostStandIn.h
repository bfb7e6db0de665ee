#pragma once

#include "ui/common/FormHost.h"

#include <QList>
#include <functional>

// Stands in front of the running program's form host while it lives: help topics the forms ask for
// are recorded instead of shown, and the picture chooser can be answered by `chooser`. Everything
// else goes to the program's own host. A restart of the program installs its new main window as the
// host, which ends the stand-in's turn.
class HostStandIn : public FormHost {
public:
    HostStandIn() : m_program(setFormHost(this)) {}
    ~HostStandIn() override {
        if (formHost() == this)
            setFormHost(m_program);
    }
    HostStandIn(const HostStandIn&) = delete;
    HostStandIn& operator=(const HostStandIn&) = delete;

    QList<int> topics;
    // Stands in for the picture chooser when set: the path chosen, or nothing for a cancel.
    std::function<std::optional<QString>()> chooser;

    QString activeChildName() const override { return m_program->activeChildName(); }
    void makeChildActive(const QString& name, bool freshStart) override {
        m_program->makeChildActive(name, freshStart);
    }
    void showHelpTopic(int topic) override { topics << topic; }
    std::optional<QString> choosePicture() override {
        return chooser ? chooser() : m_program->choosePicture();
    }

private:
    FormHost* m_program;
};
