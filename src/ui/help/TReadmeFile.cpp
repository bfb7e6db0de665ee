#include "ui/help/TReadmeFile.h"
#include "ui/common/Widgets.h"

#include "ui/help/HelpStyle.h"

#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

TReadmeFile* ReadmeFile = nullptr;

namespace {
const QStringList kHeadings = {QStringLiteral("DISCLAIMER"), QStringLiteral("What's New with Tinyra 4"),
                               QStringLiteral("About Tinyra for Windows 95"), QStringLiteral("Menus"),
                               QStringLiteral("Toolbar")};
}

QList<TReadmeFile::Section> TReadmeFile::sections() {
    QList<Section> result;
    QFile file(QStringLiteral(":/data/readme.json"));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QJsonArray array =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("sections")).toArray();
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        QStringList paragraphs;
        const QJsonValue text = o.value(QStringLiteral("text"));
        if (text.isArray()) {
            for (const QJsonValue& p : text.toArray())
                paragraphs << p.toString();
        } else {
            paragraphs << text.toString();
        }
        result.append(
            {o.value(QStringLiteral("heading")).toString(), paragraphs.join(QStringLiteral("\n\n"))});
    }
    return result;
}

TReadmeFile::TReadmeFile(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("ReadmeFile"));
    setWindowTitle(QStringLiteral("Tinyra 3.0 OnLine \"Readme\" File"));
}

void TReadmeFile::build() {
    setFixedSize(438, 399);

    m_notebook = new QTabWidget(this);
    m_notebook->setObjectName(QStringLiteral("TabbedNotebook1"));
    m_notebook->setGeometry(0, 0, 438, 353);
    m_notebook->setFont(HelpStyle::font(QStringLiteral("System"), 13, true));
    m_notebook->tabBar()->setFont(HelpStyle::font(QStringLiteral("MS Sans Serif"), 11, true));
    m_notebook->setStyleSheet(QStringLiteral("QTabBar::tab { color: blue; min-width: 28px; }"));
    m_notebook->setAccessibleName(QStringLiteral("Readme sections"));

    QList<Section> texts = sections();
    while (texts.size() < kHeadings.size())
        texts.append({QString(), QStringLiteral("This section of the readme could not be read.")});

    // Page "i": the title and the table of contents.
    auto* contents = new QWidget;
    contents->setObjectName(QStringLiteral("PageContents"));
    auto* title = new QLabel(QStringLiteral("Tinyra 4.2"), contents);
    title->setObjectName(QStringLiteral("ReadmeTitle"));
    title->setFont(HelpStyle::font(QStringLiteral("Times New Roman"), 27));
    Widgets::setTextColor(title, QColor(0, 0, 0x80)); // navy, lightened on a dark palette
    title->move(8, 8);
    title->adjustSize();
    auto* group = new QGroupBox(QStringLiteral("Table of Contents"), contents);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setFont(HelpStyle::font(QStringLiteral("Arial"), 19));
    group->setStyleSheet(QStringLiteral("QGroupBox { color: blue; }"));
    group->setGeometry(8, 64, 409, 249);
    for (int i = 0; i < kHeadings.size(); ++i) {
        auto* line = new QLabel(QString::number(i + 1) + QStringLiteral(".  ") + kHeadings[i], group);
        line->setObjectName(QStringLiteral("Contents") + QString::number(i + 1));
        line->setFont(HelpStyle::font(QStringLiteral("Arial"), 16));
        Widgets::setTextColor(line, QColor(QStringLiteral("blue")));
        line->setGeometry(16, 40 + 24 * i, 380, 24);
    }
    m_notebook->addTab(contents, QStringLiteral("i"));
    m_notebook->setTabToolTip(0, QStringLiteral("Table of Contents"));

    for (int i = 0; i < kHeadings.size(); ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("Page") + QString::number(i + 1));
        auto* heading = new QLabel(kHeadings[i], page);
        heading->setObjectName(QStringLiteral("Heading") + QString::number(i + 1));
        heading->setFont(HelpStyle::font(QStringLiteral("Arial"), 19));
        Widgets::setTextColor(heading, QColor(QStringLiteral("blue")));
        heading->move(8, 24);
        heading->adjustSize();
        auto* memo = new QPlainTextEdit(page);
        memo->setObjectName(QStringLiteral("Memo") + QString::number(i + 1));
        memo->setFont(HelpStyle::font(QStringLiteral("Arial"), 16));
        memo->setStyleSheet(QStringLiteral("QPlainTextEdit { color: black; }"));
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setTabChangesFocus(true);
        memo->setGeometry(8, 48, 409, 265);
        memo->setPlainText(texts[i].text);
        memo->setAccessibleName(kHeadings[i]);
        heading->setBuddy(memo);
        m_notebook->addTab(page, QString::number(i + 1));
        m_notebook->setTabToolTip(i + 1, kHeadings[i]);
    }

    auto* note =
        new QLabel(QStringLiteral("Click on the Tab above to view the corresponding numbered section"), this);
    note->setObjectName(QStringLiteral("Label1"));
    note->setFont(HelpStyle::font(QStringLiteral("Arial"), 16));
    Widgets::setTextColor(note, QColor(QStringLiteral("red")));
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    note->setGeometry(0, 352, 249, 41);

    auto* ok = HelpStyle::closingButton(QStringLiteral("OKBtn"), QStringLiteral("Close"), this);
    ok->move(337, 362);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TReadmeFile::OKBtnClick);
}

void TReadmeFile::OKBtnClick() {
    accept();
}
