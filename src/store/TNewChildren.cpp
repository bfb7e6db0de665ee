#include "store/TNewChildren.h"

#include "app/Forms.h"
#include "app/Guard.h"
#include "app/Messages.h"
#include "app/TMainWindow.h"
#include "app/Widgets.h"
#include "store/Table.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNewChildren::TNewChildren(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("NewChildren"));
    setWindowTitle(QStringLiteral("New Child"));

    auto* group = new QGroupBox(QStringLiteral("Your Child's Name"), this);
    group->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: blue; }"));
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight);
    m_firstName = Widgets::nameEdit(QStringLiteral("FirstName"), group);
    m_middleName = Widgets::nameEdit(QStringLiteral("MiddleName"), group);
    m_lastName = Widgets::nameEdit(QStringLiteral("LastName"), group);
    for (QLineEdit* e : {m_firstName, m_middleName, m_lastName})
        e->setMinimumWidth(240);
    Widgets::addRow(form, QStringLiteral("&First Name:"), m_firstName);
    Widgets::addRow(form, QStringLiteral("&Middle Name:"), m_middleName);
    Widgets::addRow(form, QStringLiteral("&Last Name:"), m_lastName);

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
    bool duplicate = false;
    const bool stored = guarded(this, [&] {
        Table child(QStringLiteral("CHILD"));
        child.open();
        child.insert();
        child.setFieldText(QStringLiteral("FirstName"), first);
        child.setFieldText(QStringLiteral("MiddleName"), m_middleName->text());
        child.setFieldText(QStringLiteral("LastName"), m_lastName->text());
        try {
            child.post();
        } catch (const StoreError& e) {
            if (e.kind() != StoreError::Kind::Duplicate)
                throw;
            child.cancel(); // the refused row is abandoned
            duplicate = true;
            return;
        }
        child.close();
        MainWindow->makeChildActive(first);
    });
    if (duplicate) {
        Messages::information(this, QStringLiteral("\"") + first +
                                        QStringLiteral("\" is already used.  Duplicate First Names are not allowed"));
        m_firstName->clear();
        activateWindow();
        m_firstName->setFocus();
        return;
    }
    if (stored)
        accept();
}

void TNewChildren::CancelBtnClick() { reject(); }

void TNewChildren::HelpBtnClick() { ShowHelpTopic(49); }
