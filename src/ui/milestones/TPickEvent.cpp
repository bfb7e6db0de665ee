#include "ui/milestones/TPickEvent.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/OccasionCombo.h"
#include "ui/milestones/TNewTitle.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TPickEvent* PickEvent = nullptr;

TPickEvent::TPickEvent(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("PickEvent"));
    setWindowTitle(QStringLiteral("PickEvent"));
}

void TPickEvent::build() {
    auto* label = new QLabel(QStringLiteral("Title:"), this);
    label->setStyleSheet(QStringLiteral("color: #0000ff; font-weight: bold; font-family: Arial;"));
    m_combo = OccasionCombo::create(this);
    label->setBuddy(m_combo);
    Widgets::setAccessibleCaption(m_combo, QStringLiteral("Title"));
    m_addNew = Widgets::pushButton(QStringLiteral("AddNew"), QStringLiteral("Add New"), this);
    connect(m_addNew, &QPushButton::clicked, this, &TPickEvent::AddNewClick);
    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TPickEvent::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TPickEvent::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TPickEvent::HelpBtnClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_combo);
    layout->addWidget(m_addNew);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(300, 171);
}

void TPickEvent::setAddNewCaption(const QString& caption) {
    ensureBuilt();
    m_addNew->setText(caption);
}

QString TPickEvent::occasionCaption() const {
    return windowTitle() == QLatin1String("Pick Outing") ? MilestoneSheets::OutingCaption
                                                         : MilestoneSheets::VisitorCaption;
}

void TPickEvent::FormActivate() {
    OccasionCombo::fill(m_combo, this, occasionCaption());
}

void TPickEvent::AddNewClick() {
    hide();
    if (NewTitle) {
        NewTitle->setWindowTitle(windowTitle() == QLatin1String("Pick Outing")
                                     ? QStringLiteral("New Outing")
                                     : QStringLiteral("New Visitor"));
        NewTitle->exec();
    }
    done(QDialog::Accepted);
}

void TPickEvent::OKBtnClick() {
    if (m_combo->currentIndex() < 0) {
        accept();
        return;
    }
    TNewTitle::openNamedOccasion(this, occasionCaption(), m_combo->currentData().toString());
}

void TPickEvent::CancelBtnClick() {
    reject();
}

void TPickEvent::HelpBtnClick() {
    ShowHelpTopic(windowTitle() == QLatin1String("Pick Outing") ? 33 : 30);
}
