#include "ui/child/TNewChildren.h"

#include "core/book/Children.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNewChildren* NewChildren = nullptr;

TNewChildren::TNewChildren(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("NewChildren"));
    setWindowTitle(QStringLiteral("New Child"));
}

void TNewChildren::build() {
    auto* group = Widgets::childNameGroup(this, &m_firstName, &m_middleName, &m_lastName);

    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TNewChildren::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TNewChildren::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TNewChildren::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TNewChildren::FormActivate() {
    m_firstName->clear();
    m_middleName->clear();
    m_lastName->clear();
    m_firstName->setFocus();
}

void TNewChildren::OKBtnClick() {
    const QString first = m_firstName->text();
    if (first.isEmpty()) {
        Messages::information(this, QStringLiteral("A First Name is required."));
        m_firstName->setFocus();
        return;
    }
    Children::AddResult added = Children::AddResult::EmptyName;
    const bool stored = guarded(this, [&] {
        added = Children::add(first, m_middleName->text(), m_lastName->text());
        if (added == Children::AddResult::Added)
            formHost()->makeChildActive(first, false);
    });
    if (stored && added == Children::AddResult::Duplicate) {
        Messages::information(
            this, QStringLiteral("\"") + first +
                      QStringLiteral("\" is already used.  Duplicate First Names are not allowed"));
        m_firstName->clear();
        activateWindow();
        m_firstName->setFocus();
        return;
    }
    if (stored)
        accept();
}

void TNewChildren::CancelBtnClick() {
    reject();
}

void TNewChildren::HelpBtnClick() {
    ShowHelpTopic(49);
}
