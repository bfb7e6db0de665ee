#include "ui/child/TChildInfo.h"

#include "core/diaries/GrowthUnits.h"

#include "ui/common/FormHost.h"
#include "ui/common/Messages.h"
#include "ui/common/ReplaceablePicture.h"
#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

TChildInfo* ChildInfo = nullptr;

namespace {
// The built-in pictures: a baby in a bonnet, and a small house with a tree.
QPixmap babyArtwork() {
    QPixmap pm(150, 140);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x6a), 2));
    // Blanket.
    p.setBrush(QColor(0xbf, 0xdc, 0xf5));
    p.drawRoundedRect(QRectF(25, 88, 100, 48), 22, 22);
    // Bonnet and face.
    p.setBrush(QColor(0xf8, 0xc8, 0xd8));
    p.drawEllipse(QRectF(30, 8, 90, 88));
    p.setBrush(QColor(0xff, 0xe4, 0xcc));
    p.drawEllipse(QRectF(42, 24, 66, 64));
    // Eyes, cheeks and smile.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x3a, 0x3a));
    p.drawEllipse(QPointF(64, 52), 3.5, 3.5);
    p.drawEllipse(QPointF(86, 52), 3.5, 3.5);
    p.setBrush(QColor(0xf4, 0x9a, 0xa8, 150));
    p.drawEllipse(QPointF(56, 64), 6, 4);
    p.drawEllipse(QPointF(94, 64), 6, 4);
    p.setPen(QPen(QColor(0x8a, 0x4a, 0x4a), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(66, 58, 18, 14), 200 * 16, 140 * 16);
    // Bow of the bonnet.
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x6a), 2));
    p.setBrush(QColor(0xe9, 0x6f, 0x96));
    p.drawEllipse(QRectF(60, 86, 14, 10));
    p.drawEllipse(QRectF(76, 86, 14, 10));
    return pm;
}

QPixmap homeArtwork() {
    QPixmap pm(150, 140);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(0x50, 0x40, 0x30), 2);
    // Lawn.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xa8, 0xd8, 0x8c));
    p.drawEllipse(QRectF(0, 112, 150, 40));
    // Tree.
    p.setPen(outline);
    p.setBrush(QColor(0x8d, 0x6e, 0x4e));
    p.drawRect(QRectF(118, 80, 8, 40));
    p.setBrush(QColor(0x5d, 0xb0, 0x5d));
    p.drawEllipse(QRectF(100, 40, 44, 50));
    // House and roof.
    p.setBrush(QColor(0xff, 0xf1, 0xc8));
    p.drawRect(QRectF(20, 62, 80, 58));
    QPainterPath roof;
    roof.moveTo(12, 66);
    roof.lineTo(60, 24);
    roof.lineTo(108, 66);
    roof.closeSubpath();
    p.setBrush(QColor(0xd2, 0x5c, 0x4c));
    p.drawPath(roof);
    // Window and door.
    p.setBrush(QColor(0x7a, 0x9c, 0xd6));
    p.drawRect(QRectF(30, 74, 22, 18));
    p.drawLine(QPointF(41, 74), QPointF(41, 92));
    p.drawLine(QPointF(30, 83), QPointF(52, 83));
    p.setBrush(QColor(0x9b, 0x6b, 0x43));
    p.drawRoundedRect(QRectF(66, 84, 22, 36), 4, 4);
    p.setBrush(QColor(0xff, 0xd7, 0x40));
    p.drawEllipse(QPointF(83, 103), 2, 2);
    return pm;
}

QLabel* heading(QWidget* parent) {
    auto* label = Widgets::formTitle(QStringLiteral("Child Information"), parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* g = new QGroupBox(title, parent);
    g->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: blue; }"));
    return g;
}

// Caption before a box with no row of its own ("inches", "lbs"): a plain label.
QLabel* word(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}
} // namespace

TChildInfo::TChildInfo(QWidget* parent) : TDialog(parent), m_table(QStringLiteral("CHILD")) {
    setObjectName(QStringLiteral("ChildInfo"));
    setWindowTitle(QStringLiteral("Child Information"));
}

void TChildInfo::build() {
    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(QStringLiteral("TabbedNotebook1"));
    m_notebook->addTab(page(namePage(), QStringLiteral("HelpBtn"), 7), QStringLiteral("Name"));
    m_notebook->addTab(page(birthPage(), QStringLiteral("BitBtn1"), 8), QStringLiteral("Birth Information"));
    m_notebook->addTab(page(homePage(), QStringLiteral("BitBtn2"), 9), QStringLiteral("First Home"));
    m_notebook->addTab(page(headlinesPage(), QStringLiteral("BitBtn3"), 10), QStringLiteral("Headlines"));

    auto* ok = Widgets::okButton(QStringLiteral("OKBtn"), this);
    auto* cancel = Widgets::cancelButton(QStringLiteral("CancelBtn"), this);
    connect(ok, &QPushButton::clicked, this, &TChildInfo::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &TChildInfo::CancelBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notebook);
    layout->addWidget(Widgets::pageRows(m_notebook, m_rows, {ok, cancel}));
}

QWidget* TChildInfo::page(QWidget* content, const QString& helpName, int topic) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(heading(page));
    layout->addWidget(content, 1);
    auto* help = Widgets::pushButton(helpName, QStringLiteral("&Help"), this);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    help->setAccessibleName(QStringLiteral("Help"));
    // Each page's help button has its own handler and topic.
    if (topic == 7)
        connect(help, &QPushButton::clicked, this, &TChildInfo::HelpBtnClick);
    else if (topic == 8)
        connect(help, &QPushButton::clicked, this, &TChildInfo::BitBtn1Click);
    else if (topic == 9)
        connect(help, &QPushButton::clicked, this, &TChildInfo::BitBtn2Click);
    else
        connect(help, &QPushButton::clicked, this, &TChildInfo::BitBtn3Click);
    m_rows << Widgets::buttonRow(this, nullptr, help, {}); // under the pages, with Ok and Cancel
    return page;
}

QLineEdit* TChildInfo::edit(const QString& name, const QString& field, QWidget* parent, int width) {
    // The box takes its field's width as its maximum length, so nothing typed is cut when stored.
    const int maxLength = Schema::child().fields.at(Schema::child().indexOf(field)).width;
    auto* e = Widgets::lineEdit(name, parent, maxLength);
    if (width > 0)
        e->setFixedWidth(width);
    m_bindings.append({field, e, nullptr});
    return e;
}

QComboBox* TChildInfo::combo(const QString& name, const QString& field, const QStringList& items,
                             const QString& designText, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->lineEdit()->setMaxLength(Schema::child().fields.at(Schema::child().indexOf(field)).width);
    Widgets::keepCharactersWhole(c->lineEdit());
    c->setCurrentText(designText);
    m_bindings.append({field, nullptr, c});
    return c;
}

QWidget* TChildInfo::namePage() {
    auto* w = new QWidget;
    auto* names = group(QStringLiteral("Your Child's Name"), w);
    auto* nameForm = new QFormLayout(names);
    nameForm->setLabelAlignment(Qt::AlignRight);
    m_firstName = new QLabel(names);
    m_firstName->setObjectName(QStringLiteral("FirstName"));
    m_firstName->setTextFormat(Qt::PlainText); // the name as typed, never as markup
    m_firstName->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_firstName->setFocusPolicy(Qt::StrongFocus); // a screen reader reaches it by Tab
    m_firstName->setFrameShape(QFrame::StyledPanel);
    m_firstName->setMinimumWidth(220);
    Widgets::addRow(nameForm, QStringLiteral("First Name:"), m_firstName);
    Widgets::addRow(nameForm, QStringLiteral("&Middle Name:"),
                    edit(QStringLiteral("MiddleName"), QStringLiteral("MiddleName"), names));
    Widgets::addRow(nameForm, QStringLiteral("&Last Name:"),
                    edit(QStringLiteral("LastName"), QStringLiteral("LastName"), names));

    auto* vitals = group(QStringLiteral("Vital Statistics"), w);
    auto* vitalForm = new QFormLayout(vitals);
    vitalForm->setLabelAlignment(Qt::AlignRight);
    Widgets::addRow(vitalForm, QStringLiteral("H&air Color:"),
                    edit(QStringLiteral("Hair"), QStringLiteral("Hair"), vitals));
    Widgets::addRow(vitalForm, QStringLiteral("&Eye Color:"),
                    edit(QStringLiteral("Eyes"), QStringLiteral("Eyes"), vitals));

    m_image1 = new ReplaceablePicture(QStringLiteral("Image1"), QStringLiteral("ChildInfo/Image1"),
                                      babyArtwork(), w);
    m_image1->setFixedSize(180, 160);
    auto* change = changePictureButton(QStringLiteral("SpeedButton2"), m_image1, w);

    auto* grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(names, 0, 0);
    grid->addWidget(vitals, 1, 0);
    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_image1, 0, Qt::AlignCenter);
    pictureColumn->addWidget(change, 0, Qt::AlignCenter);
    pictureColumn->addStretch();
    grid->addLayout(pictureColumn, 0, 1, 2, 1);
    grid->setRowStretch(2, 1);
    return w;
}

QWidget* TChildInfo::birthPage() {
    auto* w = new QWidget;
    auto* form = new QFormLayout(w);
    form->setLabelAlignment(Qt::AlignRight);

    const QStringList days{QStringLiteral("Sunday"),    QStringLiteral("Monday"),   QStringLiteral("Tuesday"),
                           QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                           QStringLiteral("Saturday"),  QStringLiteral("Sunday")};
    auto* birthDay =
        combo(QStringLiteral("BirthDay"), QStringLiteral("BirthDay"), days, QStringLiteral("Monday"), w);
    auto* month = edit(QStringLiteral("BDateMonth"), QStringLiteral("BDayMonth"), w, 50);
    auto* day = edit(QStringLiteral("BDateDay"), QStringLiteral("BDateDay"), w, 50);
    auto* year = edit(QStringLiteral("BDateYear"), QStringLiteral("BDayYear"), w, 80);
    Widgets::setAccessibleCaption(month, QStringLiteral("Birth month"));
    Widgets::setAccessibleCaption(day, QStringLiteral("Birth day"));
    Widgets::setAccessibleCaption(year, QStringLiteral("Birth year"));
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(birthDay);
    dateRow->addSpacing(8);
    dateRow->addWidget(month);
    dateRow->addWidget(word(QStringLiteral("/"), w));
    dateRow->addWidget(day);
    dateRow->addWidget(word(QStringLiteral("/"), w));
    dateRow->addWidget(year);
    dateRow->addStretch();
    auto* caption = new QLabel(QStringLiteral("&Birthdate:"), w);
    caption->setBuddy(birthDay);
    Widgets::setAccessibleCaption(birthDay, QStringLiteral("Birthdate: weekday"));
    form->addRow(caption, dateRow);

    auto* hour = edit(QStringLiteral("BTimeHr"), QStringLiteral("BTimeHr"), w, 50);
    auto* minute = edit(QStringLiteral("BTimeMin"), QStringLiteral("BTimeMin"), w, 50);
    auto* ampm = combo(QStringLiteral("AmPm"), QStringLiteral("BTimeAmPm"),
                       {QStringLiteral("a.m."), QStringLiteral("p.m.")}, QStringLiteral("a.m."), w);
    ampm->setFixedWidth(80);
    Widgets::setAccessibleCaption(hour, QStringLiteral("Birth time: hour"));
    Widgets::setAccessibleCaption(minute, QStringLiteral("Birth time: minutes"));
    Widgets::setAccessibleCaption(ampm, QStringLiteral("Birth time: a.m. or p.m."));
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(hour);
    timeRow->addWidget(word(QStringLiteral(":"), w));
    timeRow->addWidget(minute);
    timeRow->addWidget(ampm);
    timeRow->addStretch();
    auto* timeCaption = new QLabel(QStringLiteral("Birth &Time:"), w);
    timeCaption->setBuddy(hour);
    form->addRow(timeCaption, timeRow);

    auto* height = edit(QStringLiteral("Height"), QStringLiteral("BirthHt"), w, 60);
    Widgets::setAccessibleCaption(height, QStringLiteral("Birth Height in inches"));
    auto* lengthCm = edit(QStringLiteral("LengthCm"), QStringLiteral("BirthLengthCm"), w, 60);
    Widgets::setAccessibleCaption(lengthCm, QStringLiteral("Birth Height in centimetres"));
    auto* inches = word(QStringLiteral("inches"), w);
    auto* cm = word(QStringLiteral("cm"), w);
    auto* heightRow = new QHBoxLayout;
    heightRow->addWidget(height);
    heightRow->addWidget(inches);
    heightRow->addWidget(lengthCm);
    heightRow->addWidget(cm);
    heightRow->addStretch();
    m_heightCaption = new QLabel(QStringLiteral("Birth H&eight:"), w); // Alt+H is the page's Help
    form->addRow(m_heightCaption, heightRow);

    auto* lb = edit(QStringLiteral("WeightLb"), QStringLiteral("BirthWeightLb"), w, 50);
    auto* oz = edit(QStringLiteral("WeightOz"), QStringLiteral("BirthWeightOz"), w, 50);
    auto* kg = edit(QStringLiteral("WeightKg"), QStringLiteral("BirthWeightKg"), w, 60);
    Widgets::setAccessibleCaption(lb, QStringLiteral("Birth Weight in pounds"));
    Widgets::setAccessibleCaption(oz, QStringLiteral("Birth Weight, ounces"));
    Widgets::setAccessibleCaption(kg, QStringLiteral("Birth Weight in kilograms"));
    auto* lbs = word(QStringLiteral("lbs"), w);
    auto* ounces = word(QStringLiteral("oz"), w);
    auto* kilograms = word(QStringLiteral("kg"), w);
    auto* weightRow = new QHBoxLayout;
    weightRow->addWidget(lb);
    weightRow->addWidget(lbs);
    weightRow->addWidget(oz);
    weightRow->addWidget(ounces);
    weightRow->addWidget(kg);
    weightRow->addWidget(kilograms);
    weightRow->addStretch();
    auto* weightCaption = new QLabel(QStringLiteral("Birth &Weight:"), w);
    weightCaption->setBuddy(lb);
    form->addRow(weightCaption, weightRow);
    m_birthImperial = {height, inches, lb, lbs, oz, ounces};
    m_birthMetric = {lengthCm, cm, kg, kilograms};
    weightCaption->setObjectName(QStringLiteral("BirthWeightCaption")); // its buddy follows the units

    auto* head = edit(QStringLiteral("Head"), QStringLiteral("BirthHead"), w, 60);
    m_headUnit = word(QStringLiteral("inches"), w);
    auto* headRow = new QHBoxLayout;
    headRow->addWidget(head);
    headRow->addWidget(m_headUnit);
    headRow->addStretch();
    auto* headCaption = new QLabel(QStringLiteral("Birth Hea&d:"), w);
    headCaption->setBuddy(head);
    form->addRow(headCaption, headRow);

    // The sex chooses the growth standards; a birth before 37 weeks corrects the age on the charts.
    auto* sex = new QComboBox(w);
    sex->setObjectName(QStringLiteral("Sex"));
    sex->addItems({QString(), QStringLiteral("Girl"), QStringLiteral("Boy")});
    sex->setAccessibleName(QStringLiteral("Sex"));
    m_bindings.append({QStringLiteral("Sex"), nullptr, sex});
    auto* gestation = edit(QStringLiteral("Gestation"), QStringLiteral("Gestation"), w, 40);
    Widgets::setAccessibleCaption(gestation, QStringLiteral("Born at weeks of pregnancy"));
    auto* bornAt = new QLabel(QStringLiteral("Born &at"), w);
    bornAt->setBuddy(gestation);
    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(sex);
    sexRow->addSpacing(16);
    sexRow->addWidget(bornAt);
    sexRow->addWidget(gestation);
    sexRow->addWidget(word(QStringLiteral("weeks"), w));
    sexRow->addStretch();
    auto* sexCaption = new QLabel(QStringLiteral("Se&x:"), w);
    sexCaption->setBuddy(sex);
    form->addRow(sexCaption, sexRow);

    Widgets::addRow(form, QStringLiteral("Attending &Physician:"),
                    edit(QStringLiteral("Physician"), QStringLiteral("Physician"), w));
    Widgets::addRow(form, QStringLiteral("H&ospital:"),
                    edit(QStringLiteral("Hospital"), QStringLiteral("Hospital"), w));
    Widgets::addRow(form, QStringLiteral("&City:"),
                    edit(QStringLiteral("City"), QStringLiteral("BirthCity"), w));
    Widgets::addRow(form, QStringLiteral("&State:"),
                    edit(QStringLiteral("State"), QStringLiteral("BirthState"), w, 50));
    Widgets::addRow(form, QStringLiteral("Co&untry:"),
                    edit(QStringLiteral("Country"), QStringLiteral("BirthCountry"), w));
    return w;
}

QWidget* TChildInfo::homePage() {
    auto* w = new QWidget;
    auto* home = group(QStringLiteral("Your Child's First Home"), w);
    auto* form = new QFormLayout(home);
    form->setLabelAlignment(Qt::AlignRight);
    Widgets::addRow(form, QStringLiteral("&Address:"),
                    edit(QStringLiteral("Address"), QStringLiteral("Address"), home));
    Widgets::addRow(form, QStringLiteral("&City:"),
                    edit(QStringLiteral("AddCity"), QStringLiteral("City"), home));
    Widgets::addRow(form, QStringLiteral("C&ounty:"),
                    edit(QStringLiteral("AddCounty"), QStringLiteral("County"), home));
    Widgets::addRow(form, QStringLiteral("&State:"),
                    edit(QStringLiteral("AddState"), QStringLiteral("State"), home));

    m_image2 = new ReplaceablePicture(QStringLiteral("Image2"), QStringLiteral("ChildInfo/Image2"),
                                      homeArtwork(), w);
    m_image2->setFixedSize(180, 160);
    auto* change = changePictureButton(QStringLiteral("SpeedButton3"), m_image2, w);

    auto* layout = new QGridLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(home, 0, 0);
    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_image2, 0, Qt::AlignCenter);
    pictureColumn->addWidget(change, 0, Qt::AlignCenter);
    pictureColumn->addStretch();
    layout->addLayout(pictureColumn, 0, 1);
    layout->setRowStretch(1, 1);
    return w;
}

QWidget* TChildInfo::headlinesPage() {
    auto* w = new QWidget;
    auto* form = new QFormLayout(w);
    form->setLabelAlignment(Qt::AlignRight);
    auto* intro = new QLabel(QStringLiteral("Headlines of the day your child was born:"), w);
    form->addRow(intro);
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("H") + QString::number(i);
        auto* e = edit(name, name, w);
        e->setMinimumWidth(420);
        Widgets::addRow(form, QString::number(i), e);
        Widgets::setAccessibleCaption(e, QStringLiteral("Headline ") + QString::number(i));
    }
    return w;
}

void TChildInfo::setText(const Binding& b, const QString& text) {
    if (b.edit) {
        b.edit->setText(text);
        b.edit->home(false);
    } else {
        b.combo->setCurrentText(text);
    }
}

QString TChildInfo::text(const Binding& b) const {
    return b.edit ? b.edit->text() : b.combo->currentText();
}

void TChildInfo::FormActivate() {
    GetData();
    m_notebook->setCurrentIndex(0);
}

void TChildInfo::GetData() {
    m_child = ActiveChildName();
    // Read the rows afresh on every showing: children are added and removed by the roster.
    m_table.close();
    m_table.open();
    m_hasRow = m_table.findKey(m_child);
    if (m_hasRow)
        m_table.refresh();
    m_firstName->setText(m_child);
    // A child without a row (a name typed in the pick dialog) starts with empty boxes; OK creates
    // its row. Another child's row is never shown.
    for (const Binding& b : m_bindings)
        setText(b, m_hasRow ? m_table.fieldText(b.field) : QString());
    // The birth measurements in the units they were typed in; the family's units before any is.
    bool typed = false;
    for (const char* f :
         {"BirthHt", "BirthWeightLb", "BirthWeightOz", "BirthLengthCm", "BirthWeightKg", "BirthHead"})
        typed = typed || (m_hasRow && !m_table.fieldText(QLatin1String(f)).trimmed().isEmpty());
    m_birthInMetric = typed ? m_table.fieldText(QStringLiteral("BirthUnits")) ==
                                  GrowthUnits::storedName(GrowthUnits::System::Metric)
                            : GrowthUnits::preferred() == GrowthUnits::System::Metric;
    showBirthUnits();
    m_image1->showFor(m_child);
    m_image2->showFor(m_child);
}

void TChildInfo::SaveData() {
    m_table.close();
    m_table.open();
    m_hasRow = m_table.findKey(m_child);
    if (m_hasRow) {
        m_table.edit();
    } else {
        m_table.insert();
        m_table.setFieldText(QStringLiteral("FirstName"), m_child);
    }
    for (const Binding& b : m_bindings)
        m_table.setFieldText(b.field, text(b));
    m_table.setFieldText(QStringLiteral("BirthUnits"),
                         GrowthUnits::storedName(m_birthInMetric ? GrowthUnits::System::Metric
                                                                 : GrowthUnits::System::Imperial));
    try {
        m_table.post();
    } catch (...) {
        m_table.cancel();
        throw;
    }
    m_table.close();
    m_hasRow = true;
}

void TChildInfo::showBirthUnits() {
    for (QWidget* w : m_birthImperial)
        w->setVisible(!m_birthInMetric);
    for (QWidget* w : m_birthMetric)
        w->setVisible(m_birthInMetric);
    m_heightCaption->setBuddy(m_birthInMetric ? m_birthMetric[0] : m_birthImperial[0]);
    if (auto* weight = findChild<QLabel*>(QStringLiteral("BirthWeightCaption")))
        weight->setBuddy(m_birthInMetric ? m_birthMetric[2] : m_birthImperial[2]);
    m_headUnit->setText(m_birthInMetric ? QStringLiteral("cm") : QStringLiteral("inches"));
    findChild<QLineEdit*>(QStringLiteral("Head"))
        ->setAccessibleName(m_birthInMetric ? QStringLiteral("Birth head circumference in centimetres")
                                            : QStringLiteral("Birth head circumference in inches"));
}

void TChildInfo::OKBtnClick() {
    // Everything a child records is keyed by the first name: a row without one would list a blank
    // child in the roster.
    if (m_child.isEmpty()) {
        Messages::information(this, QStringLiteral("There is no active child, so nothing is stored. Pick or "
                                                   "add a child first."));
        return;
    }
    acceptWhenStored([this] { SaveData(); });
}

void TChildInfo::CancelBtnClick() {
    reject();
}

void TChildInfo::HelpBtnClick() {
    ShowHelpTopic(7);
}
void TChildInfo::BitBtn1Click() {
    ShowHelpTopic(8);
}
void TChildInfo::BitBtn2Click() {
    ShowHelpTopic(9);
}
void TChildInfo::BitBtn3Click() {
    ShowHelpTopic(10);
}
void TChildInfo::SpeedButton2Click() {
    m_image1->chooseAndReplace();
}
void TChildInfo::SpeedButton3Click() {
    m_image2->chooseAndReplace();
}
