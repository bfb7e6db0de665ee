#include "ui/milestones/TToothDate.h"

#include "core/book/EntryStore.h"
#include "core/book/StoredDate.h"
#include "ui/common/FormHost.h"
#include "ui/common/MaskedDateEdit.h"
#include "ui/common/Widgets.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TToothDate* ToothDate = nullptr;

TToothDate::TToothDate(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("ToothDate"));
    setWindowTitle(QStringLiteral("Tooth Date"));
}

void TToothDate::build() {
    m_date = new MaskedDateEdit(this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setMaximumWidth(100);
    auto* form = new QFormLayout;
    Widgets::addRow(form, QStringLiteral("Date:"), m_date)
        ->setStyleSheet(QStringLiteral("color: #0000ff; font-weight: bold; font-family: Arial;"));
    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TToothDate::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TToothDate::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TToothDate::HelpBtnClick);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(300, 112);
}

void TToothDate::FormActivate() {
    const QString date = Entries().toothDate(ToothNo);
    m_date->setStoredText(StoredDate::isBlank(date) ? QString() : date);
    m_date->setFocus();
    m_date->home(false);
}

void TToothDate::OKBtnClick() {
    if (!m_date->validate())
        return;
    acceptWhenStored([this] { Entries().setToothDate(ToothNo, m_date->storedText()); });
}

void TToothDate::CancelBtnClick() {
    reject();
}

void TToothDate::HelpBtnClick() {
    ShowHelpTopic(58);
}
