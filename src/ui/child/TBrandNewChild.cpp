#include "ui/child/TBrandNewChild.h"

#include "core/book/Children.h"
#include "core/book/EntryStore.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
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

void TBrandNewChild::OKBtnClick() {
    const QString first = m_firstName->text();
    if (first.isEmpty()) {
        Messages::information(this, QStringLiteral("A First Name is required."));
        return;
    }
    Children::AddResult added = Children::AddResult::EmptyName;
    const bool stored = guarded(this, [&] {
        added = Children::add(first, m_middleName->text(), m_lastName->text());
        if (added == Children::AddResult::Added)
            formHost()->makeChildActive(first, true);
    });
    if (!stored)
        return; // the report was shown; the dialog stays open
    if (added == Children::AddResult::Duplicate) {
        // A store that already holds children but still says "New": the name is taken, as in New Child.
        Messages::information(
            this, QStringLiteral("\"") + first +
                      QStringLiteral("\" is already used.  Duplicate First Names are not allowed"));
        m_firstName->setFocus();
        return;
    }
    Entries().EntryCancelled = false;
    accept();
}

void TBrandNewChild::CancelBtnClick() {
    reject();
}

void TBrandNewChild::HelpBtnClick() {
    ShowHelpTopic(49);
}
