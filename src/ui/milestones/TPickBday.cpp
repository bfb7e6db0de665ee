#include "ui/milestones/TPickBday.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"
#include "ui/milestones/TBirthdays.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TPickBday* PickBday = nullptr;

TPickBday::TPickBday(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("PickBday"));
    setWindowTitle(QStringLiteral("Pick Birthday"));
}

void TPickBday::build() {
    auto* heading = MilestoneWidgets::label(QStringLiteral("Which Birthday?"), this, MilestoneWidgets::Blue,
                                            24, false, QStringLiteral("Label1"));
    heading->setAlignment(Qt::AlignCenter);
    auto* grid = new QGridLayout;
    const QStringList titles = MilestoneSheets::birthdayTitles();
    for (int i = 0; i < titles.size(); ++i) {
        const QString title = titles.at(i);
        QString caption = title;
        caption.chop(QStringLiteral(" Birthday").size());
        auto* b = Widgets::pushButton(QStringLiteral("BitBtn") + QString::number(i + 1), caption, this);
        b->setAccessibleName(title);
        b->setMinimumSize(64, 32);
        b->setStyleSheet(QStringLiteral("color: #0000ff; font-weight: bold; font-family: Arial;"));
        connect(b, &QPushButton::clicked, this, [this, title] { openBirthday(title); });
        grid->addWidget(b, i / 6, i % 6);
    }
    auto* cancel = Widgets::pushButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    cancel->setIcon(Widgets::standardIcon(QStyle::SP_DialogCancelButton));
    connect(cancel, &QPushButton::clicked, this, &TPickBday::CancelBtnClick);
    grid->addWidget(cancel, 2, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
}

void TPickBday::openBirthday(const QString& title) {
    hide();
    if (Birthdays) {
        Birthdays->setTitles(title);
        Birthdays->exec();
    }
    done(QDialog::Accepted);
}

void TPickBday::CancelBtnClick() {
    reject();
}
