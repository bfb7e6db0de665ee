#include "ui/child/TNewChildren.h"

#include "ui/child/AddNamedChild.h"
#include "ui/common/FormHost.h"
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
    if (addNamedChild(this, m_firstName, m_middleName, m_lastName, false))
        accept();
}

void TNewChildren::CancelBtnClick() {
    reject();
}

void TNewChildren::HelpBtnClick() {
    ShowHelpTopic(49);
}
