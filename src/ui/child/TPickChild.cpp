#include "ui/child/TPickChild.h"

#include "core/book/Children.h"
#include "ui/child/TNewChildren.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPickChild* PickChild = nullptr;

TPickChild::TPickChild(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("PickChild"));
    setWindowTitle(QStringLiteral("Pick Child"));
}

void TPickChild::build() {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(frame);

    m_name = new QComboBox(frame);
    m_name->setObjectName(QStringLiteral("Name"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->lineEdit()->setMaxLength(50);
    Widgets::keepCharactersWhole(m_name->lineEdit());
    m_name->setMinimumWidth(220);
    auto* form = new QFormLayout;
    Widgets::addRow(form, QStringLiteral("&Child:"), m_name);
    // Enter in the box is Ok, also the first one on the name as shown, which the box's completion
    // would otherwise take for itself.
    m_name->lineEdit()->installEventFilter(this);
    inner->addLayout(form);

    auto* add = Widgets::pushButton(QStringLiteral("AddButton"), QStringLiteral("&Add New Child"), frame);
    auto* del = Widgets::pushButton(QStringLiteral("DeleteButton"), QStringLiteral("&Delete!"), frame);
    auto* row = new QHBoxLayout;
    row->addWidget(add);
    row->addStretch();
    row->addWidget(del);
    inner->addLayout(row);

    auto* buttons = Widgets::okCancelHelp(this);
    connect(Widgets::button(this, "OKBtn"), &QPushButton::clicked, this, &TPickChild::OKBtnClick);
    connect(Widgets::button(this, "CancelBtn"), &QPushButton::clicked, this, &TPickChild::CancelBtnClick);
    connect(Widgets::button(this, "HelpBtn"), &QPushButton::clicked, this, &TPickChild::HelpBtnClick);
    connect(add, &QPushButton::clicked, this, &TPickChild::AddButtonClick);
    connect(del, &QPushButton::clicked, this, &TPickChild::DeleteButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

bool TPickChild::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_name->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBtnClick();
            return true;
        }
    }
    return TDialog::eventFilter(watched, event);
}

void TPickChild::FormCreate() {
    RefreshCombo();
    m_name->setFocus();
    m_name->lineEdit()->selectAll();
}

void TPickChild::RefreshCombo() {
    m_name->clear();
    const QStringList names = Children::firstNames();
    m_name->addItems(names);
    // Without an active child among them (a book that keeps none) the first child is offered.
    const QString active = ActiveChildName();
    if (!names.isEmpty())
        m_name->setCurrentText(names.contains(active) ? active : names.first());
}

void TPickChild::OKBtnClick() {
    const QString name = m_name->currentText();
    // An empty name would make a nameless child active and keep its records under no name at all.
    if (name.isEmpty()) {
        Messages::information(this, QStringLiteral("Please choose or type the first name of a child."));
        m_name->setFocus();
        return;
    }
    // A name that is no child is only made active once it is a child of the book: otherwise what is
    // recorded for it would be kept under a name the roster never lists.
    bool known = false;
    if (!guarded(this, [&] { known = Children::exists(name); }))
        return;
    if (!known) {
        if (const QString refusal = Children::nameRefusal(name); !refusal.isEmpty()) {
            Messages::information(this, refusal);
            m_name->setFocus();
            m_name->lineEdit()->selectAll();
            return;
        }
        if (!Messages::confirm(this, QStringLiteral("There is no child named %1. Add %1?").arg(name))) {
            m_name->setFocus();
            m_name->lineEdit()->selectAll();
            return;
        }
        // The name is not empty and no child has it, so the row is added (or was just added by
        // another copy of the program, which is as good).
        if (!guarded(this, [&] { Children::add(name, QString(), QString()); }))
            return;
    }
    // Birthday pages load the remarks of the child being shown, so nothing of the previous child
    // stays on them after the switch.
    if (guarded(this, [&] { formHost()->makeChildActive(name, false); }))
        accept();
}

void TPickChild::AddButtonClick() {
    hide();
    if (NewChildren)
        NewChildren->exec();
    done(QDialog::Rejected);
}

void TPickChild::DeleteButtonClick() {
    const QString name = m_name->currentText();
    if (!Children::mayRemove(name, ActiveChildName())) {
        Messages::information(this, QStringLiteral("You cannot delete the active child."));
        return;
    }
    if (!Messages::confirmDestructive(
            this, QStringLiteral("Are you sure you want to delete all records relating to this Child?")))
        return;
    guarded(this, [&] {
        Children::remove(name, ActiveChildName());
        RefreshCombo();
    });
}

void TPickChild::CancelBtnClick() {
    reject();
}

void TPickChild::HelpBtnClick() {
    ShowHelpTopic(6);
}
