#include "ui/milestones/TSkills.h"

#include "core/book/ChildRecords.h"
#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/MilestoneArt.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"

#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TSkills* Skills = nullptr;

using MilestoneWidgets::Blue;

namespace {
// Captions: bold blue Arial 15 px; fields: Arial 16 px. Set through fonts and palettes: with style
// sheets the hundred boxes of this form took longer to build than all other forms together.
QFont arial(int pixels, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}
void styleCaption(QWidget* w) {
    w->setFont(arial(15, true));
    Widgets::setTextColor(w, QColor(0x00, 0x00, 0xff));
}
void styleField(QWidget* w) {
    w->setFont(arial(16, false));
}

struct PageButtons {
    const char* help;
    const char* ok;
    const char* cancel;
};
const PageButtons kButtons[7] = {{"HelpBtn", "OKBtn", "CancelBtn"},    {"BitBtn18", "BitBtn5", "BitBtn6"},
                                 {"BitBtn4", "BitBtn8", "BitBtn9"},    {"BitBtn7", "BitBtn11", "BitBtn12"},
                                 {"BitBtn10", "BitBtn14", "BitBtn15"}, {"BitBtn13", "BitBtn17", "BitBtn99"},
                                 {"BitBtn16", "BitBtn20", "BitBtn21"}};

QFrame* bevelled(QWidget* picture, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Sunken);
    f->setLineWidth(2);
    auto* l = new QVBoxLayout(f);
    l->setContentsMargins(2, 2, 2, 2);
    picture->setParent(f);
    l->addWidget(picture);
    return f;
}

QLabel* decoration(const QString& name, const QString& theme, const QSize& size, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setPixmap(MilestoneArt::scene(theme, size));
    l->setFixedSize(size);
    l->setAccessibleName(QStringLiteral("Picture"));
    return l;
}
QFormLayout* skillsForm() {
    auto* f = new QFormLayout;
    f->setLabelAlignment(Qt::AlignRight);
    f->setVerticalSpacing(4);
    return f;
}
} // namespace

TSkills::TSkills(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Skills"));
    setWindowTitle(QStringLiteral("Skills"));
}

void TSkills::build() {
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    // Blue tab text through the palette: a style sheet on the tabs would draw them flat, unlike every
    // other form's.
    Widgets::setTextColor(m_pages->tabBar(), QColor(0, 0, 0xff));

    const QStringList pageNames = MilestoneSheets::skillPages();
    QVector<SkillPage> pages;
    QList<QWidget*> buttonRows;
    for (int i = 0; i < 7; ++i)
        pages << addPage(i, pageNames.at(i), &buttonRows);
    connect(m_pages, &QTabWidget::currentChanged, this, &TSkills::makeOkDefault);
    makeOkDefault(0);

    const int fieldWidth = qMax(150, fontMetrics().averageCharWidth() * 22);
    buildListedSkills(pages, fieldWidth);
    buildFirstSkillsPage(pages[0]);
    buildCoordinationPage(pages[1]);
    buildAtTheTablePage(pages[2]);
    buildGamesPage(pages[3]);
    buildOutdoorsPage(pages[4]);
    buildLearningPage(pages[5]);
    buildOthersPage(pages[6], fieldWidth);

    for (QLineEdit* field : m_fields)
        connect(field, &QLineEdit::textEdited, this, [this, field] { fieldEdited(field); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages);
    layout->addWidget(Widgets::pageRows(m_pages, buttonRows));
}

// Page `index`, added to the tabs, and its Help, Ok and Cancel: each page's row stands in the one
// row under the pages that shows the current page's.
TSkills::SkillPage TSkills::addPage(int index, const QString& name, QList<QWidget*>* buttonRows) {
    SkillPage page;
    page.widget = new QWidget;
    page.widget->setObjectName(QStringLiteral("TabSheet") + QString::number(index + 1));
    auto* v = new QVBoxLayout(page.widget);
    v->setContentsMargins(8, 8, 8, 6);
    page.contents = new QHBoxLayout;
    v->addLayout(page.contents, 1);
    auto* help =
        Widgets::pushButton(QString::fromLatin1(kButtons[index].help), QStringLiteral("&Help"), this);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    auto* ok = Widgets::okButton(QString::fromLatin1(kButtons[index].ok), this);
    auto* cancel = Widgets::cancelButton(QString::fromLatin1(kButtons[index].cancel), this);
    connect(help, &QPushButton::clicked, this, &TSkills::HelpBtnClick);
    connect(ok, &QPushButton::clicked, this, &TSkills::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TSkills::CancelBtnClick);
    *buttonRows << Widgets::buttonRow(this, Widgets::formTitle(QStringLiteral("Skills"), this, QString(), 21),
                                      help, {ok, cancel});
    m_pages->addTab(page.widget, name);
    return page;
}

// The "Ok" of the page showing is the default button.
void TSkills::makeOkDefault(int index) {
    if (index < 0)
        return;
    for (int i = 0; i < 7; ++i)
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(kButtons[i].ok)))
            b->setDefault(i == index);
}

// The listed skills, page by page. A box holds a date or a few words ("at Grandma's, 7 months").
void TSkills::buildListedSkills(QVector<SkillPage>& pages, int fieldWidth) {
    const QStringList pageNames = MilestoneSheets::skillPages();
    QHash<QString, QList<QLineEdit*>> pageFields;
    SkillPage& coordinationPage = pages[int(pageNames.indexOf(QStringLiteral("Coordination")))];
    coordinationPage.moreSkills = skillsForm();
    int coordination = 0;
    for (const MilestoneSheets::SkillField& s : MilestoneSheets::listedSkills()) {
        SkillPage& page = pages[int(pageNames.indexOf(s.page))];
        if (!page.skills)
            page.skills = skillsForm();
        auto* field = Widgets::lineEdit(s.field, page.widget);
        field->setFixedWidth(fieldWidth);
        styleField(field);
        QFormLayout* target = page.skills;
        if (s.page == QLatin1String("Coordination") && ++coordination > 9)
            target = coordinationPage.moreSkills;
        styleCaption(Widgets::addRow(target, s.caption, field));
        m_fields << field;
        pageFields[s.page] << field;
    }
    // "At the Table" and "Games" are filled in from the bottom field up.
    for (const char* page : {"At the Table", "Games"}) {
        const QList<QLineEdit*> f = pageFields.value(QString::fromLatin1(page));
        for (int i = int(f.size()) - 1; i > 0; --i)
            setTabOrder(f.at(i), f.at(i - 1));
    }
}

ReplaceablePicture* TSkills::addPicture(const QString& name, const QSize& size, const QString& theme,
                                        QWidget* owner) {
    auto* p = new ReplaceablePicture(name, MilestoneSheets::skillsPictureKey(name),
                                     MilestoneArt::scene(theme, size), owner);
    p->setFixedSize(size);
    m_pictures << p;
    return p;
}

// A bevelled picture with its change button under it.
QWidget* TSkills::pictureWithButton(const QString& name, const QString& button, const QSize& size,
                                    const QString& theme, QWidget* page) {
    auto* box = new QWidget(page);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    ReplaceablePicture* p = addPicture(name, size, theme, box);
    v->addWidget(bevelled(p, box));
    v->addWidget(changePictureButton(button, p, box), 0, Qt::AlignLeft);
    return box;
}

// "1st Skills": the picture at the left, the skills at the right.
void TSkills::buildFirstSkillsPage(const SkillPage& page) {
    page.contents->addWidget(pictureWithButton(QStringLiteral("Image1"), QStringLiteral("SpeedButton2"),
                                               QSize(281, 225), QStringLiteral("bath"), page.widget),
                             0, Qt::AlignTop);
    page.contents->addStretch();
    page.contents->addLayout(page.skills);
}

// "Coordination": two columns, the picture at the lower right.
void TSkills::buildCoordinationPage(const SkillPage& page) {
    page.contents->addLayout(page.skills);
    auto* right = new QVBoxLayout;
    right->addLayout(page.moreSkills);
    right->addStretch();
    right->addWidget(pictureWithButton(QStringLiteral("Image2"), QStringLiteral("SpeedButton3"),
                                       QSize(177, 137), QStringLiteral("rattle"), page.widget),
                     0, Qt::AlignRight);
    page.contents->addLayout(right);
}

// "At the Table": the skills, the picture at the right.
void TSkills::buildAtTheTablePage(const SkillPage& page) {
    page.contents->addLayout(page.skills);
    page.contents->addStretch();
    page.contents->addWidget(pictureWithButton(QStringLiteral("Image3"), QStringLiteral("SpeedButton1"),
                                               QSize(257, 217), QStringLiteral("highchair"), page.widget),
                             0, Qt::AlignTop);
}

// "Games": the skills and seven decorations.
void TSkills::buildGamesPage(const SkillPage& page) {
    page.contents->addLayout(page.skills);
    auto* games = new QGridLayout;
    const char* const gameThemes[] = {"peekaboo", "ball", "cards", "dice", "blocks", "kite", "puzzle"};
    for (int i = 0; i < 7; ++i)
        games->addWidget(decoration(QStringLiteral("Image") + QString::number(4 + i),
                                    QString::fromLatin1(gameThemes[i]), QSize(64, 64), page.widget),
                         i / 3, (i % 3) + (i / 3 == 2 ? 1 : 0));
    page.contents->addStretch();
    page.contents->addLayout(games);
}

// "Outdoors": four pictures overlapping like snapshots, the skills at the right.
void TSkills::buildOutdoorsPage(const SkillPage& page) {
    auto* board = new QWidget(page.widget);
    board->setFixedSize(262, 246);
    struct Snap {
        const char* image;
        const char* button;
        QRect rect;
        const char* theme;
        bool buttonLeft;
    };
    const Snap snaps[] = {{"Image18", "SpeedButton4", QRect(0, 0, 121, 105), "swing", false},
                          {"Image17", "SpeedButton5", QRect(132, 18, 121, 105), "slide", false},
                          {"Image19", "SpeedButton6", QRect(0, 126, 233, 105), "sandbox", true},
                          {"Image16", "SpeedButton7", QRect(108, 134, 145, 105), "tricycle", false}};
    for (const Snap& s : snaps) {
        ReplaceablePicture* p =
            addPicture(QString::fromLatin1(s.image), s.rect.size(), QString::fromLatin1(s.theme), board);
        auto* frame = bevelled(p, board);
        frame->setGeometry(s.rect.adjusted(0, 0, 8, 8));
        QToolButton* b = changePictureButton(QString::fromLatin1(s.button), p, board);
        b->adjustSize();
        const QRect f = frame->geometry();
        b->move(s.buttonLeft ? f.left() + 4 : f.right() - b->width() - 3, f.bottom() - b->height() - 3);
    }
    for (QToolButton* b : board->findChildren<QToolButton*>())
        b->raise();
    page.contents->addWidget(board, 0, Qt::AlignTop);
    page.contents->addStretch();
    page.contents->addLayout(page.skills);
}

// "Learning": the skills and five decorations.
void TSkills::buildLearningPage(const SkillPage& page) {
    page.contents->addLayout(page.skills);
    auto* learning = new QGridLayout;
    const char* const learningThemes[] = {"book", "abc", "pencil", "house", "phone"};
    for (int i = 0; i < 5; ++i)
        learning->addWidget(decoration(QStringLiteral("Image") + QString::number(11 + i),
                                       QString::fromLatin1(learningThemes[i]), QSize(72, 72), page.widget),
                            i / 3, i % 3);
    page.contents->addStretch();
    page.contents->addLayout(learning);
}

// "Others": nineteen free rows, ten at the left and nine at the right.
void TSkills::buildOthersPage(const SkillPage& page, int fieldWidth) {
    auto* others = new QGridLayout;
    others->setVerticalSpacing(3);
    const QVector<MilestoneSheets::OtherRow> rows = MilestoneSheets::otherRows();
    for (int i = 0; i < rows.size(); ++i) {
        const int column = i < 10 ? 0 : 4;
        const int row = i < 10 ? i : i - 10;
        const QString number = QStringLiteral("(") + QString::number(i + 1) + QStringLiteral(")");
        auto* n = MilestoneWidgets::label(number, page.widget, Blue, 16, true);
        auto* name = Widgets::lineEdit(rows.at(i).nameField, page.widget);
        auto* value = Widgets::lineEdit(rows.at(i).valueField, page.widget);
        name->setFixedWidth(137);
        value->setFixedWidth(fieldWidth);
        styleField(name);
        styleField(value);
        name->setPlaceholderText(QStringLiteral("Skill"));
        n->setBuddy(name);
        Widgets::setAccessibleCaption(name, QStringLiteral("Skill ") + number);
        Widgets::setAccessibleCaption(value, QStringLiteral("When ") + number);
        others->addWidget(n, row, column);
        others->addWidget(name, row, column + 1);
        others->addWidget(value, row, column + 2);
        m_fields << name << value;
    }
    others->setColumnMinimumWidth(3, 12);
    page.contents->addLayout(others);
    page.contents->addStretch();
    for (int i = 1; i < rows.size(); ++i)
        setTabOrder(findChild<QLineEdit*>(rows.at(i - 1).valueField),
                    findChild<QLineEdit*>(rows.at(i).nameField));
}

void TSkills::FormActivate() {
    m_child = ActiveChildName();
    QHash<QString, QString> values;
    m_unstored.clear();
    m_readable = guarded(this, [&] { values = ChildRecords::sheet(m_child, MilestoneSheets::SkillsSheet); });
    for (QLineEdit* field : m_fields) {
        field->setText(values.value(field->objectName()));
        field->setReadOnly(!m_readable); // skills that could not be read are not overwritten
        field->setCursorPosition(0);
    }
    for (ReplaceablePicture* p : m_pictures)
        if (!guarded(this, [&] { p->showFor(m_child); }))
            break;
}

// A field is stored as it is typed. After a failed store (a full disk) the fields are kept in their
// boxes, not stored (and reported) again at every key, until Ok.
void TSkills::fieldEdited(QLineEdit* field) {
    if (!m_readable)
        return;
    const bool failedBefore = !m_unstored.isEmpty();
    m_unstored.insert(field);
    if (!failedBefore)
        guarded(this, [this] { storeUnstored(); });
}

void TSkills::storeUnstored() {
    for (auto it = m_unstored.begin(); it != m_unstored.end(); it = m_unstored.erase(it))
        ChildRecords::setSheetValue(m_child, MilestoneSheets::SkillsSheet, (*it)->objectName(),
                                    (*it)->text());
}

void TSkills::OKBtnClick() {
    acceptWhenStored([this] { storeUnstored(); });
}

void TSkills::CancelBtnClick() {
    reject();
}

void TSkills::HelpBtnClick() {
    ShowHelpTopic(21);
}
