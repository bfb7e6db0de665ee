#include "ui/common/Widgets.h"

#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"

#include <QAbstractButton>
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
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QVariant>
#include <algorithm>
#include <cmath>

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
        // The dialogs' buttons show the tool bar's line glyphs, in colours that read on a light and on a
        // dark palette alike: green to confirm or add, red to cancel, close or delete, blue otherwise.
        const QColor green(0x43, 0xa0, 0x47), red(0xe0, 0x40, 0x40), blue(0x1e, 0x88, 0xe5);
        const auto glyph = [](const char* name, const QColor& c) {
            return Artwork::glyph(QString::fromLatin1(name), c);
        };
        QIcon icon;
        switch (which) {
        case QStyle::SP_DialogOkButton:
        case QStyle::SP_DialogApplyButton:
            icon = glyph("check", green);
            break;
        case QStyle::SP_DialogCancelButton:
        case QStyle::SP_DialogCloseButton:
            icon = glyph("x", red);
            break;
        case QStyle::SP_DialogHelpButton:
            icon = glyph("help-circle", blue);
            break;
        case QStyle::SP_TrashIcon:
            icon = glyph("trash", red);
            break;
        case QStyle::SP_ArrowLeft:
            icon = glyph("chevron-left", blue);
            break;
        case QStyle::SP_ArrowRight:
            icon = glyph("chevron-right", blue);
            break;
        case QStyle::SP_ArrowUp:
            icon = glyph("chevron-up", blue);
            break;
        case QStyle::SP_ArrowDown:
            icon = glyph("chevron-down", blue);
            break;
        case QStyle::SP_FileIcon:
        case QStyle::SP_FileDialogNewFolder:
            icon = glyph("plus", green);
            break;
        case QStyle::SP_DirOpenIcon:
            icon = glyph("folder-open", blue);
            break;
        default:
            icon = style->standardIcon(which);
        }
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

bool darkPalette(const QWidget* w) {
    return w->palette().color(QPalette::Window).lightnessF() < 0.45;
}

double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void keepReadable(QWidget* root) {
    if (!darkPalette(root))
        return;
    QList<QWidget*> inked;
    for (QLabel* label : root->findChildren<QLabel*>())
        inked << label;
    for (QTabBar* tabs : root->findChildren<QTabBar*>()) // the blue tab texts
        inked << tabs;
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) // green Ok, blue relatives
        if (button->styleSheet().isEmpty())
            inked << button;
    for (QWidget* w : inked) {
        if (w->testAttribute(Qt::WA_TranslucentBackground))
            continue; // drawn over a picture, not over the window: its colour is chosen for the picture
        const QPalette pal = w->palette();
        const QColor ground = pal.color(w->backgroundRole());
        QColor ink = pal.color(w->foregroundRole());
        if (contrast(ink, ground) >= 4.5)
            continue;
        // 7 leaves room for panels a shade lighter than the window
        setTextColor(w, standingOut(ink, ground, 7.0));
    }
}

QColor standingOut(QColor ink, const QColor& ground, double wanted) {
    const bool lighten = ground.lightnessF() < 0.5;
    float h, s, l, a;
    ink.getHslF(&h, &s, &l, &a);
    while (contrast(ink, ground) < wanted && (lighten ? l < 1 : l > 0)) {
        l = lighten ? std::min(1.0f, l + 0.04f) : std::max(0.0f, l - 0.04f);
        ink.setHslF(h, s, l, a);
    }
    return ink;
}

void styleTitle(QLabel* title, int pixels, bool bold, bool italic) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    title->setFont(f);
    setTextColor(title, darkPalette(title) ? QColor(0x9c, 0xc2, 0xff) : QColor(0x1f, 0x4e, 0x9c));
}

QLabel* formTitle(const QString& text, QWidget* parent, const QString& name, int pixels, bool bold,
                  bool italic) {
    auto* title = new QLabel(text, parent);
    title->setTextFormat(Qt::PlainText);
    if (!name.isEmpty())
        title->setObjectName(name);
    styleTitle(title, pixels, bold, italic);
    return title;
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
    auto* ok = okButton(QStringLiteral("OKBtn"), dialog);
    auto* cancel = cancelButton(QStringLiteral("CancelBtn"), dialog);
    QPushButton* help = nullptr;
    if (withHelp) {
        help = pushButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), dialog);
        help->setIcon(standardIcon(QStyle::SP_DialogHelpButton));
    }
    return buttonRow(dialog, nullptr, help, {ok, cancel});
}

QPushButton* okButton(const QString& name, QWidget* parent) {
    auto* ok = pushButton(name, QStringLiteral("Ok"), parent);
    ok->setDefault(true);
    ok->setIcon(standardIcon(QStyle::SP_DialogOkButton));
    return ok;
}

QPushButton* cancelButton(const QString& name, QWidget* parent) {
    auto* cancel = pushButton(name, QStringLiteral("Cancel"), parent);
    cancel->setIcon(standardIcon(QStyle::SP_DialogCancelButton));
    return cancel;
}

QPushButton* closeButton(const QString& name, QWidget* parent) {
    auto* close = pushButton(name, QStringLiteral("Close"), parent);
    close->setDefault(true);
    close->setIcon(standardIcon(QStyle::SP_DialogCloseButton));
    return close;
}

QWidget* buttonRow(QWidget* parent, QWidget* title, QPushButton* help, const QList<QPushButton*>& closing) {
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("ButtonRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : {static_cast<QWidget*>(help), title})
        if (w) {
            w->setParent(row);
            layout->addWidget(w);
        }
    row->setProperty("help", QVariant::fromValue<QObject*>(help));
    layout->addStretch();
    for (QPushButton* b : closing) {
        b->setParent(row);
        layout->addWidget(b);
    }
    return row;
}

QWidget* pageRows(QTabWidget* pages, const QList<QWidget*>& rows, const QList<QPushButton*>& closing) {
    auto* stack = new QStackedWidget;
    stack->setObjectName(QStringLiteral("PageRows"));
    // A page without Help of its own (its Help is in the page) keeps its title where the others have it.
    QWidget* help = nullptr;
    for (QWidget* row : rows)
        if (row && !help)
            help = qobject_cast<QWidget*>(row->property("help").value<QObject*>());
    for (QWidget* row : rows) {
        if (row && help && !row->property("help").value<QObject*>())
            static_cast<QHBoxLayout*>(row->layout())
                ->insertSpacing(0, help->sizeHint().width() + row->layout()->spacing());
        stack->addWidget(row ? row : new QWidget);
    }
    stack->setCurrentIndex(pages->currentIndex());
    QObject::connect(pages, &QTabWidget::currentChanged, stack, &QStackedWidget::setCurrentIndex);
    if (closing.isEmpty()) {
        stack->setParent(pages->parentWidget());
        return stack;
    }
    auto* row = buttonRow(pages->parentWidget(), nullptr, nullptr, closing);
    static_cast<QHBoxLayout*>(row->layout())->insertWidget(0, stack, 1);
    return row;
}

QPushButton* button(QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(QString::fromLatin1(name));
}
} // namespace Widgets
