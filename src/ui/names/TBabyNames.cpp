#include "ui/names/TBabyNames.h"

#include "core/names/NameLists.h"
#include "ui/common/Artwork.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Widgets.h"
#include "ui/names/EarthPicture.h"
#include "ui/names/TCountryNames.h"

#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

TBabyNames* BabyNames = nullptr;

namespace {
const QColor kBlue(0, 0, 255);
const QColor kFuchsia(255, 0, 255);

QFont arial(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont systemFont(int pixels, bool bold = false) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont sansSerif(int pixels) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    return f;
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::ButtonText, color);
    w->setPalette(pal);
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& place,
              const QFont& font, const QColor& color,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setAlignment(align);
    setTextColor(l, color);
    l->setGeometry(place);
    return l;
}

// An outlined rectangle filled with the button-face colour.
QFrame* shape(QWidget* parent, const QString& name, const QRect& place, const QColor& outline) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setStyleSheet(QStringLiteral("QFrame#%1 { background: palette(button); border: 3px solid %2; }")
                         .arg(name, outline.name()));
    f->setGeometry(place);
    return f;
}

// The navigator's glyphs: a bar and one or two triangles pointing the way the button moves.
QIcon navigatorGlyph(int kind, const QColor& color) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const bool back = kind < 2;
    auto triangle = [&](qreal x) {
        QPolygonF t;
        if (back)
            t << QPointF(x, 8) << QPointF(x + 6, 3) << QPointF(x + 6, 13);
        else
            t << QPointF(x + 6, 8) << QPointF(x, 3) << QPointF(x, 13);
        p.drawPolygon(t);
    };
    if (kind == 0) { // first
        p.drawRect(QRectF(3, 3, 2, 10));
        triangle(6);
    } else if (kind == 1) { // previous
        triangle(5);
    } else if (kind == 2) { // next
        triangle(5);
    } else { // last
        triangle(4);
        p.drawRect(QRectF(11, 3, 2, 10));
    }
    return QIcon(pm);
}
} // namespace

TNameNavigator::TNameNavigator(const QString& name, const QColor& color, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    const struct {
        const char* name;
        const char* hint;
    } buttons[] = {
        {"First", "First Name"}, {"Prior", "Previous Name"}, {"Next", "Next Name"}, {"Last", "Last Name"}};
    QToolButton* made[4];
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttons[i].name));
        const QString hint = QString::fromLatin1(buttons[i].hint);
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setIcon(navigatorGlyph(i, color));
        b->setFocusPolicy(Qt::StrongFocus);
        b->setGeometry(i * 38, 0, 38, 25);
        made[i] = b;
    }
    m_first = made[0];
    m_prior = made[1];
    m_next = made[2];
    m_last = made[3];
    connect(m_first, &QToolButton::clicked, this, &TNameNavigator::firstClicked);
    connect(m_prior, &QToolButton::clicked, this, &TNameNavigator::priorClicked);
    connect(m_next, &QToolButton::clicked, this, &TNameNavigator::nextClicked);
    connect(m_last, &QToolButton::clicked, this, &TNameNavigator::lastClicked);
}

void TNameNavigator::setPosition(int position, int count) {
    const bool atFirst = position <= 0;
    const bool atLast = position >= count - 1;
    m_first->setEnabled(count > 0 && !atFirst);
    m_prior->setEnabled(count > 0 && !atFirst);
    m_next->setEnabled(count > 0 && !atLast);
    m_last->setEnabled(count > 0 && !atLast);
}

TBabyNames::TBabyNames(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("BabyNames"));
    setWindowTitle(QStringLiteral("Baby Names"));
}

void TBabyNames::build() {
    setWindowIcon(Artwork::glyph(QStringLiteral("abc"), kBlue));
    setFont(systemFont(13));
    setFixedSize(491, 372);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_tabs->setGeometry(0, 0, 491, 372);
    QFont tabFont = sansSerif(12);
    m_tabs->tabBar()->setFont(tabFont);
    setTextColor(m_tabs->tabBar(), kBlue);
    m_tabs->addTab(buildNamesPage(), QStringLiteral("Names"));
    m_tabs->addTab(buildWorldPage(), QStringLiteral("Around the World"));
    m_tabs->addTab(buildEncyclopediaPage(), QStringLiteral("Name Encyclopedia"));

    // The buttons lie over the lower edge of the notebook, the same on every page.
    auto* ok = Widgets::pushButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->setDefault(true);
    ok->setFont(arial(19, true));
    setTextColor(ok, QColor(0, 128, 0));
    ok->setIcon(Widgets::standardIcon(QStyle::SP_DialogOkButton));
    ok->setGeometry(288, 330, 93, 31);
    auto* cancel = Widgets::pushButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    cancel->setFont(arial(19, true));
    setTextColor(cancel, QColor(255, 0, 0));
    cancel->setIcon(Widgets::standardIcon(QStyle::SP_DialogCancelButton));
    cancel->setGeometry(384, 330, 93, 31);
    connect(ok, &QPushButton::clicked, this, &TBabyNames::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TBabyNames::CancelBtnClick);
}

void TBabyNames::addPageTitle(QWidget* page, const QString& helpName, int topic) {
    Widgets::formTitle(QStringLiteral("Baby Names"), page)->setGeometry(8, 304, 220, 30);
    auto* help = new QPushButton(QStringLiteral(" "), page);
    help->setObjectName(helpName);
    help->setAutoDefault(false);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    help->setToolTip(QStringLiteral("Help"));
    help->setAccessibleName(QStringLiteral("Help"));
    help->setGeometry(240, 304, 25, 31);
    connect(help, &QPushButton::clicked, this, [topic] { ShowHelpTopic(topic); });
}

QWidget* TBabyNames::buildNamesPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("NamesPage"));
    shape(page, QStringLiteral("Shape1"), QRect(16, 24, 217, 225), kBlue);
    shape(page, QStringLiteral("Shape2"), QRect(248, 24, 217, 225), kFuchsia);
    label(page, QStringLiteral("Label1"), QStringLiteral("Boy Names"), QRect(24, 48, 201, 32),
          arial(27, true), kBlue, Qt::AlignCenter);
    label(page, QStringLiteral("Label2"), QStringLiteral("Girl Names"), QRect(256, 48, 201, 32),
          arial(27, true), kFuchsia, Qt::AlignCenter);

    const struct {
        Side* side;
        const char* name;
        const char* caption;
        int left;
        QColor color;
    } lists[] = {{&m_boys, "BoyNames", "Boy Names", 32, kBlue},
                 {&m_girls, "GirlNames", "Girl Names", 264, kFuchsia}};
    for (const auto& l : lists) {
        auto* combo = new QComboBox(page);
        combo->setObjectName(QString::fromLatin1(l.name));
        combo->setAccessibleName(QString::fromLatin1(l.caption));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert); // typing never adds to the list
        combo->setFont(arial(16));
        setTextColor(combo, l.color);
        // The lists can be long: no measuring of every entry, and a popup of rows of one height.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(10);
        combo->setMaxVisibleItems(15);
        if (auto* view = qobject_cast<QListView*>(combo->view()))
            view->setUniformItemSizes(true);
        l.side->model = new QStringListModel(combo);
        combo->setModel(l.side->model);
        auto* completer = new QCompleter(l.side->model, combo);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setFilterMode(Qt::MatchStartsWith);
        combo->setCompleter(completer);
        combo->installEventFilter(this);
        combo->lineEdit()->installEventFilter(this);
        combo->setGeometry(l.left, 112, 185, 26);
        l.side->list = combo;

        // What the typed or picked name means, shown as the parent types.
        auto* found = new QLabel(page);
        found->setObjectName(
            QString::fromLatin1(l.name).replace(QStringLiteral("Names"), QStringLiteral("Found")));
        found->setFont(arial(14));
        found->setWordWrap(true);
        found->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        found->setTextFormat(Qt::PlainText);
        found->setGeometry(l.left, 146, 185, 96);
        l.side->found = found;
        Side* side = l.side;
        connect(combo, &QComboBox::editTextChanged, this, [this, side] { showFound(*side); });
    }
    addPageTitle(page, QStringLiteral("HelpBtn"), 3);
    return page;
}

QWidget* TBabyNames::buildWorldPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("WorldPage"));

    auto* bevel = new QFrame(page);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setLineWidth(2);
    bevel->setGeometry(8, 56, 201, 193);
    auto* image = new QLabel(bevel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(2, 2, 197, 189);
    image->setPixmap(EarthPicture(QSize(197, 189)));
    image->setAccessibleName(QStringLiteral("The Earth seen from space"));

    auto* group = new QGroupBox(page);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(224, 8, 249, 265);
    const QStringList countries = NameLists::countries();
    for (int i = 0; i < countries.size(); ++i) {
        const QString& country = countries[i];
        const int left = 16 + (i % 4) * 56;
        const int top = 16 + (i / 4) * 48;
        auto* button = new QToolButton(group);
        button->setObjectName(QStringLiteral("SpeedButton") + QString::number(i + 1));
        button->setToolTip(country);
        button->setAccessibleName(country);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setIcon(FlagPicture(NameLists::flagFile(country), QSize(32, 20)));
        button->setIconSize(QSize(32, 20));
        button->setGeometry(left, top, 49, 33);
        const int number = i + 1;
        connect(button, &QToolButton::clicked, this, [this, number] { SpeedButtonClick(number); });
        const bool wide = country == QLatin1String("New Zealand");
        // "New Zealand" gets a wider label, centred under its button like the others.
        label(group, QString(), country, QRect(wide ? 60 : left - 2, top + 32, wide ? 73 : 53, 14),
              sansSerif(wide ? 10 : 11), kBlue, Qt::AlignCenter);
    }
    addPageTitle(page, QStringLiteral("BitBtn1"), 4);
    return page;
}

void TBabyNames::buildEncyclopediaSide(QWidget* page, Side& side, int left, const QColor& color,
                                       const QString& prefix, const QString& navigatorName,
                                       const QString& labelName, const QString& caption,
                                       const QString& originLabel, const QString& meaningLabel) {
    label(page, labelName, caption, QRect(left - 8, 16, 201, 32), arial(27, true), color, Qt::AlignCenter);
    side.name = Widgets::lineEdit(prefix + QStringLiteral("Name"), page);
    side.name->setReadOnly(true);
    side.name->setFont(arial(16));
    side.name->setAccessibleName(caption.chopped(1));
    side.name->setGeometry(left, 48, 185, 26);
    auto* o = label(page, originLabel, QStringLiteral("Origin"), QRect(left, 80, 185, 20),
                    systemFont(13, true), Qt::black);
    side.origin = Widgets::lineEdit(prefix + QStringLiteral("Origin"), page);
    side.origin->setReadOnly(true);
    side.origin->setGeometry(left, 104, 185, 24);
    o->setBuddy(side.origin);
    Widgets::setAccessibleCaption(side.origin, caption.chopped(6) + QStringLiteral(" Origin"));
    auto* m = label(page, meaningLabel, QStringLiteral("Meaning"), QRect(left, 136, 185, 20),
                    systemFont(13, true), Qt::black);
    side.meaning = new QPlainTextEdit(page);
    side.meaning->setObjectName(prefix + QStringLiteral("Meaning"));
    Widgets::displayMemo(side.meaning, true);
    side.meaning->setGeometry(left, 160, 185, 73);
    m->setBuddy(side.meaning);
    Widgets::setAccessibleCaption(side.meaning, caption.chopped(6) + QStringLiteral(" Meaning"));
    side.navigator = new TNameNavigator(navigatorName, color, page);
    side.navigator->setGeometry(left + 16, 240, 152, 25);
    for (QWidget* w : std::initializer_list<QWidget*>{side.name, side.origin})
        setTextColor(w, color);
    connectNavigator(side);
}

QWidget* TBabyNames::buildEncyclopediaPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("EncyclopediaPage"));
    shape(page, QStringLiteral("Shape3"), QRect(16, 8, 217, 265), kBlue);
    shape(page, QStringLiteral("Shape4"), QRect(248, 8, 217, 265), kFuchsia);
    buildEncyclopediaSide(page, m_boys, 32, kBlue, QStringLiteral("Boy"), QStringLiteral("DBNavigator1"),
                          QStringLiteral("Label26"), QStringLiteral("Boy Names"), QStringLiteral("Label29"),
                          QStringLiteral("Label30"));
    buildEncyclopediaSide(page, m_girls, 264, kFuchsia, QStringLiteral("Girl"),
                          QStringLiteral("DBNavigator2"), QStringLiteral("Label28"),
                          QStringLiteral("Girl Names"), QStringLiteral("Label31"), QStringLiteral("Label32"));
    addPageTitle(page, QStringLiteral("BitBtn2"), 5);
    return page;
}

void TBabyNames::connectNavigator(Side& side) {
    Side* s = &side;
    auto step = [this, s](void (NameLists::NameCursor::*go)()) {
        guarded(this, [&] {
            (s->table.*go)();
            showRow(*s);
        });
    };
    // Each side moves alone; at either end the cursor stays on the first or last name.
    connect(side.navigator, &TNameNavigator::firstClicked, this,
            [=] { step(&NameLists::NameCursor::first); });
    connect(side.navigator, &TNameNavigator::priorClicked, this,
            [=] { step(&NameLists::NameCursor::prior); });
    connect(side.navigator, &TNameNavigator::nextClicked, this, [=] { step(&NameLists::NameCursor::next); });
    connect(side.navigator, &TNameNavigator::lastClicked, this, [=] { step(&NameLists::NameCursor::last); });
}

void TBabyNames::showRow(Side& side) {
    side.name->setText(side.table.name());
    side.origin->setText(side.table.origin());
    side.meaning->setPlainText(side.table.meaning());
    side.name->setCursorPosition(0);
    side.origin->setCursorPosition(0);
    side.navigator->setPosition(side.table.position(), side.table.isOpen() ? side.table.recordCount() : 0);
}

void TBabyNames::showFound(Side& side) {
    const QString typed = side.list->currentText().trimmed();
    QString text = QStringLiteral("Type a name to see its origin and meaning.");
    if (!typed.isEmpty()) {
        NameLists::Name row;
        guarded(this, [&] { row = side.table.rowAt(side.table.find(typed)); });
        text = row.name.isEmpty()
                   ? QStringLiteral("No name begins with \"%1\".").arg(typed)
                   : QStringLiteral("%1\nOrigin: %2\nMeaning: %3").arg(row.name, row.origin, row.meaning);
    }
    side.found->setText(text);
    side.found->setAccessibleName(text);
}

void TBabyNames::fillSide(Side& side) {
    side.list->clearEditText();
    side.model->setStringList({});
    // One reading of the table gives both the list and the encyclopedia's cursor on the first name.
    side.table.open();
    side.model->setStringList(side.table.names());
    side.list->setCurrentIndex(-1);
    side.list->clearEditText();
    showRow(side);
    showFound(side);
}

void TBabyNames::FormActivate() {
    for (Side* side : {&m_boys, &m_girls}) {
        // An unreadable table leaves its side empty and the other side working.
        if (!guarded(this, [&] { fillSide(*side); })) {
            side->table.close();
            side->model->setStringList({});
            showRow(*side);
            showFound(*side);
        }
    }
}

bool TBabyNames::eventFilter(QObject* watched, QEvent* event) {
    // Enter in a name list picks the typed name there; it does not close the form.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (QComboBox* list : {m_boys.list, m_girls.list}) {
                if (watched != list && watched != list->lineEdit())
                    continue;
                const int found = list->findText(list->currentText(), Qt::MatchFixedString);
                if (found >= 0)
                    list->setCurrentIndex(found);
                return true;
            }
        }
    }
    return TDialog::eventFilter(watched, event);
}

void TBabyNames::SpeedButtonClick(int number) {
    const QStringList countries = NameLists::countries();
    if (number >= 1 && number <= countries.size())
        ShowCountry(countries[number - 1]);
}

void TBabyNames::ShowCountry(const QString& country) {
    QVector<NameLists::Name> boys, girls;
    if (!guarded(this, [&] {
            boys = NameLists::namesOfOrigin(QStringLiteral("BOYA"), country);
            girls = NameLists::namesOfOrigin(QStringLiteral("GIRLA"), country);
        }))
        return;
    TCountryNames dialog(country, boys, girls, this);
    dialog.exec();
}

void TBabyNames::OKBtnClick() {
    accept();
}

void TBabyNames::CancelBtnClick() {
    reject();
}
