#include "ui/child/TBrandNewChild.h"

#include "ui/child/AddNamedChild.h"
#include "ui/common/FormHost.h"
#include "ui/common/Widgets.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBrandNewChild* BrandNewChild = nullptr;

TBrandNewChild::TBrandNewChild(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("BrandNewChild"));
    setWindowTitle(QStringLiteral("Enter Child Name to Start Tinyra"));
}

void TBrandNewChild::build() {
    auto* group = Widgets::childNameGroup(this, &m_firstName, &m_middleName, &m_lastName);

    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TBrandNewChild::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TBrandNewChild::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TBrandNewChild::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TBrandNewChild::FormActivate() {
    m_firstName->setFocus();
}

bool TBrandNewChild::ask() {
    m_added = false;
    exec();
    return m_added;
}

void TBrandNewChild::OKBtnClick() {
    if (!addNamedChild(this, m_firstName, m_middleName, m_lastName, true))
        return;
    m_added = true;
    accept();
}

void TBrandNewChild::CancelBtnClick() {
    reject();
}

void TBrandNewChild::HelpBtnClick() {
    ShowHelpTopic(49);
}
