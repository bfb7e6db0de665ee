#include "ui/milestones/TPickHoliday.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/OccasionCombo.h"
#include "ui/milestones/TNewTitle.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TPickHoliday* PickHoliday = nullptr;

TPickHoliday::TPickHoliday(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("PickHoliday"));
    setWindowTitle(QStringLiteral("Pick Holiday"));
}

void TPickHoliday::build() {
    m_combo = OccasionCombo::create(this);
    Widgets::setAccessibleCaption(m_combo, QStringLiteral("Holiday"));
    auto* add = Widgets::pushButton(QStringLiteral("BitBtn1"), QStringLiteral("Add New Holiday"), this);
    connect(add, &QPushButton::clicked, this, &TPickHoliday::BitBtn1Click);
    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TPickHoliday::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TPickHoliday::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TPickHoliday::HelpBtnClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_combo);
    layout->addWidget(add);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(300, 150);
}

void TPickHoliday::FormActivate() {
    OccasionCombo::fill(m_combo, this, MilestoneSheets::HolidaysCaption);
}

void TPickHoliday::BitBtn1Click() {
    hide();
    if (NewTitle) {
        NewTitle->setWindowTitle(QStringLiteral("New Holiday"));
        NewTitle->exec();
    }
    done(QDialog::Accepted);
}

void TPickHoliday::OKBtnClick() {
    if (m_combo->currentIndex() < 0) {
        accept();
        return;
    }
    TNewTitle::openNamedOccasion(this, MilestoneSheets::HolidaysCaption, m_combo->currentData().toString());
}

void TPickHoliday::CancelBtnClick() {
    reject();
}

void TPickHoliday::HelpBtnClick() {
    ShowHelpTopic(44);
}
