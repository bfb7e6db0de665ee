#include "ui/child/TBrandNewChild.h"

#include "core/book/EntryStore.h"
#include "ui/shell/Forms.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/shell/TMainWindow.h"
#include "ui/common/Widgets.h"
#include "core/store/Table.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBrandNewChild::TBrandNewChild(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("BrandNewChild"));
    setWindowTitle(QStringLiteral("Enter Child Name to Start Tinyra"));

    auto* group = Widgets::childNameGroup(this, &m_firstName, &m_middleName, &m_lastName);

    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TBrandNewChild::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TBrandNewChild::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TBrandNewChild::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TBrandNewChild::FormActivate() { m_firstName->setFocus(); }

void TBrandNewChild::OKBtnClick() {
    if (m_firstName->text().isEmpty()) {
        Messages::information(this, QStringLiteral("A First Name is required."));
        return;
    }
    const bool stored = guarded(this, [this] {
        Table child(QStringLiteral("CHILD"));
        child.open();
        child.insert();
        child.setFieldText(QStringLiteral("FirstName"), m_firstName->text());
        child.setFieldText(QStringLiteral("MiddleName"), m_middleName->text());
        child.setFieldText(QStringLiteral("LastName"), m_lastName->text());
        child.post();
        child.close();
        MainWindow->makeChildActive(m_firstName->text(), true);
    });
    if (!stored)
        return; // the report was shown; the dialog stays open
    Entries().EntryCancelled = false;
    accept();
}

void TBrandNewChild::CancelBtnClick() { reject(); }

void TBrandNewChild::HelpBtnClick() { ShowHelpTopic(49); }
