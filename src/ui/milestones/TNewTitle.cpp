#include "ui/milestones/TNewTitle.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/THoliday.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TNewTitle* NewTitle = nullptr;

TNewTitle::TNewTitle(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("NewTitle"));
    setWindowTitle(QStringLiteral("New Holiday"));
}

void TNewTitle::build() {
    m_title = Widgets::lineEdit(QStringLiteral("Title"), this);
    Widgets::setAccessibleCaption(m_title, QStringLiteral("Title"));
    m_title->setPlaceholderText(QStringLiteral("Name of the occasion"));
    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TNewTitle::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TNewTitle::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TNewTitle::HelpBtnClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(buttons);
    resize(300, 103);
}

int TNewTitle::helpTopicFor(const QString& caption) {
    if (caption == QLatin1String("New Holiday"))
        return 56;
    if (caption == QLatin1String("New Visitor"))
        return 31;
    if (caption == QLatin1String("New Outing"))
        return 34;
    return 0;
}

QString TNewTitle::holidayCaptionFor(const QString& caption) {
    if (caption == QLatin1String("New Holiday"))
        return MilestoneSheets::HolidaysCaption;
    if (caption == QLatin1String("New Outing"))
        return MilestoneSheets::OutingCaption;
    if (caption == QLatin1String("New Visitor"))
        return MilestoneSheets::VisitorCaption;
    return QString();
}

void TNewTitle::openNamedOccasion(QDialog* from, const QString& holidayCaption, const QString& name) {
    const QString child = ActiveChildName();
    const QString title = MilestoneSheets::titleForName(holidayCaption, name, child);
    from->hide();
    // Listing the occasion lets the picker offer it next time; if the store fails the report is
    // shown and the occasion still opens (its remarks are then stored, and listed, as they are typed).
    guarded(from, [&] { MilestoneSheets::recordOccasion(child, holidayCaption, title, true, name); });
    if (Holiday) {
        Holiday->setWindowTitle(holidayCaption);
        Holiday->setTitle(title);
        Holiday->exec();
    }
    from->done(QDialog::Accepted);
}

void TNewTitle::FormActivate() {
    m_title->clear();
    m_title->setFocus();
}

void TNewTitle::OKBtnClick() {
    const QString caption = holidayCaptionFor(windowTitle());
    if (caption.isEmpty()) {
        accept();
        return;
    }
    openNamedOccasion(this, caption, m_title->text());
}

void TNewTitle::CancelBtnClick() {
    reject();
}

void TNewTitle::HelpBtnClick() {
    if (const int topic = helpTopicFor(windowTitle()))
        ShowHelpTopic(topic);
}
