#include "ui/common/Widgets.h"

#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>

namespace {
class EnterAction : public QObject {
public:
    EnterAction(QLineEdit* edit, std::function<void()> action) : QObject(edit), m_action(std::move(action)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};
} // namespace

namespace Widgets {
QIcon standardIcon(QStyle::StandardPixmap which) {
    // Kept for the whole run and never destroyed: icons must not outlive the application object.
    static auto* cache = new QHash<QPair<const QStyle*, int>, QIcon>;
    const QStyle* style = QApplication::style();
    const auto key = qMakePair(style, int(which));
    auto it = cache->find(key);
    if (it == cache->end()) {
        // The help glyph is the program's own question mark, the same as on the main tool bar.
        const QIcon icon = which == QStyle::SP_DialogHelpButton
                               ? Artwork::glyph(QStringLiteral("help-circle"), QColor(0x0d, 0x47, 0xa1), 32)
                               : style->standardIcon(which);
        it = cache->insert(key, icon);
    }
    return *it;
}

QLineEdit* lineEdit(const QString& name, QWidget* parent, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
        keepCharactersWhole(edit);
    }
    return edit;
}

void onEnter(QLineEdit* edit, std::function<void()> action) {
    edit->installEventFilter(new EnterAction(edit, std::move(action)));
}

void displayMemo(QPlainTextEdit* memo, bool reachedByTab) {
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    memo->setTabChangesFocus(true);
    memo->setFocusPolicy(reachedByTab ? Qt::StrongFocus : Qt::ClickFocus);
    QPalette pal = memo->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::Base, pal.color(group, QPalette::Window));
    memo->setPalette(pal);
}

QString memoText(const QPlainTextEdit* memo) {
    QString text = memo->document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c.unicode() == 0xfdd0 ||
            c.unicode() == 0xfdd1)
            c = QLatin1Char('\n');
    return text;
}

void keepCharactersWhole(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        QString whole;
        whole.reserve(text.size());
        int cursor = edit->cursorPosition();
        for (int i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                whole += text[i];
                whole += text[++i];
            } else if (text[i].isSurrogate()) {
                if (i < edit->cursorPosition())
                    --cursor;
            } else {
                whole += text[i];
            }
        }
        if (whole.size() == text.size())
            return;
        edit->setText(whole); // comes back here once, with nothing left to drop
        edit->setCursorPosition(cursor);
    });
}

QLineEdit* nameEdit(const QString& name, QWidget* parent) {
    return lineEdit(name, parent, 50);
}

void setAccessibleCaption(QWidget* field, const QString& caption) {
    QString text = caption;
    text.remove(QLatin1Char('&'));
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    field->setAccessibleName(text);
}

void showsValue(QLabel* value, const QString& caption, QLabel* captionLabel) {
    setAccessibleCaption(value, caption);
    value->setAccessibleDescription(value->accessibleName());
    value->setAccessibleName(QString());
    if (captionLabel)
        captionLabel->setBuddy(value);
}

QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    if (auto* value = qobject_cast<QLabel*>(field))
        showsValue(value, caption);
    else
        setAccessibleCaption(field, caption);
    form->addRow(label, field);
    return label;
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, color);
    w->setPalette(pal);
}

QGroupBox* childNameGroup(QWidget* parent, QLineEdit** first, QLineEdit** middle, QLineEdit** last) {
    auto* group = new QGroupBox(QStringLiteral("Your Child's Name"), parent);
    group->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: blue; }"));
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight);
    *first = nameEdit(QStringLiteral("FirstName"), group);
    *middle = nameEdit(QStringLiteral("MiddleName"), group);
    *last = nameEdit(QStringLiteral("LastName"), group);
    for (QLineEdit* e : {*first, *middle, *last})
        e->setMinimumWidth(240);
    addRow(form, QStringLiteral("First Name:"), *first);
    addRow(form, QStringLiteral("Middle Name:"), *middle);
    addRow(form, QStringLiteral("Last Name:"), *last);
    return group;
}

QPushButton* pushButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPushButton* helpButton(const QString& name, int topic, QWidget* parent) {
    auto* b = pushButton(name, QStringLiteral("&Help"), parent);
    b->setIcon(standardIcon(QStyle::SP_DialogHelpButton));
    b->setAccessibleName(QStringLiteral("Help"));
    QObject::connect(b, &QPushButton::clicked, b, [topic] { ShowHelpTopic(topic); });
    return b;
}

QWidget* okCancelHelp(QWidget* dialog, bool withHelp) {
    auto* row = new QWidget(dialog);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    auto* ok = pushButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), row);
    ok->setDefault(true);
    ok->setIcon(standardIcon(QStyle::SP_DialogOkButton));
    auto* cancel = pushButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), row);
    cancel->setIcon(standardIcon(QStyle::SP_DialogCancelButton));
    layout->addWidget(ok);
    layout->addWidget(cancel);
    if (withHelp) {
        auto* help = pushButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), row);
        help->setIcon(standardIcon(QStyle::SP_DialogHelpButton));
        layout->addWidget(help);
    }
    return row;
}

QPushButton* button(QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(QString::fromLatin1(name));
}
} // namespace Widgets
