#include "ui/milestones/TFamilyInput.h"

#include "core/book/EntryStore.h"
#include "core/book/StoredDate.h"
#include "ui/common/FormHost.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"
#include "ui/milestones/TFamily.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFamilyInput* FamilyInput = nullptr;

TFamilyInput::TFamilyInput(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("FamilyInput"));
    setWindowTitle(QStringLiteral("Family Information"));
}

void TFamilyInput::build() {
    m_title = Widgets::formTitle(QStringLiteral("Title"), this, QStringLiteral("Title"), 21, true, true);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    m_name = Widgets::lineEdit(QStringLiteral("Name"), this);
    m_pob = Widgets::lineEdit(QStringLiteral("Pob"), this);
    m_dob = new MaskedDateEdit(this);
    m_dob->setObjectName(QStringLiteral("Dob"));
    for (auto [caption, field] : {std::pair<const char*, QWidget*>{"Name:", m_name},
                                  {"Place of Birth:", m_pob},
                                  {"Date of Birth:", m_dob}}) {
        QLabel* l = Widgets::addRow(form, QString::fromLatin1(caption), field);
        l->setStyleSheet(QStringLiteral("color: #0000ff; font-weight: bold; font-family: Arial;"));
    }
    m_dob->setMaximumWidth(90);

    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TFamilyInput::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TFamilyInput::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TFamilyInput::HelpBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(358, 234);
}

void TFamilyInput::setTitle(const QString& title) {
    ensureBuilt();
    m_title->setText(title);
}

void TFamilyInput::FormActivate() {
    const FamilyMember m = Entries().familyMember(MemberNo);
    m_name->setText(m.Name);
    m_pob->setText(m.Text);
    m_dob->setStoredText(StoredDate::isBlank(m.Date) ? QString() : m.Date);
    m_name->setFocus();
}

void TFamilyInput::OKBtnClick() {
    if (!m_dob->validate())
        return;
    acceptWhenStored([this] {
        Entries().setFamilyMember(MemberNo, FamilyMember{m_name->text(), m_dob->storedText(), m_pob->text()});
        if (Family)
            Family->RefreshNames();
    });
}

void TFamilyInput::CancelBtnClick() {
    reject();
}

void TFamilyInput::HelpBtnClick() {
    ShowHelpTopic(48);
}
