#include "ui/milestones/THoliday.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Widgets.h"
#include "ui/milestones/MilestoneWidgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

THoliday* Holiday = nullptr;

THoliday::THoliday(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Holiday"));
    setWindowTitle(QStringLiteral("Holiday"));
}

void THoliday::build() {
    m_title = Widgets::formTitle(QStringLiteral("Title"), this, QStringLiteral("Title"), 24, true);
    m_title->setWordWrap(true);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("Remarks"));
    m_remarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remarks->setTabChangesFocus(true);
    m_remarks->setMinimumSize(353, 313);
    Widgets::setAccessibleCaption(m_remarks, QStringLiteral("Remarks"));
    connect(m_remarks, &QPlainTextEdit::textChanged, this, &THoliday::RemarksChange);

    auto* help = Widgets::pushButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), this);
    help->setIcon(Widgets::standardIcon(QStyle::SP_DialogHelpButton));
    auto* ok = Widgets::pushButton(QStringLiteral("OKBtn"), QStringLiteral("Ok"), this);
    ok->setDefault(true);
    ok->setIcon(Widgets::standardIcon(QStyle::SP_DialogOkButton));
    auto* cancel = Widgets::pushButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    cancel->setIcon(Widgets::standardIcon(QStyle::SP_DialogCancelButton));
    connect(help, &QPushButton::clicked, this, &THoliday::HelpBtnClick);
    connect(ok, &QPushButton::clicked, this, &THoliday::OKBtnClick);
    connect(cancel, &QPushButton::clicked, this, &THoliday::CancelBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_remarks, 1);
    layout->addWidget(Widgets::buttonRow(this, nullptr, help, {ok, cancel}));
    setFixedWidth(487);
}

QString THoliday::title() const {
    return m_title->text();
}

void THoliday::setTitle(const QString& title) {
    ensureBuilt();
    m_title->setText(title);
}

int THoliday::helpTopicFor(const QString& caption) {
    if (caption == MilestoneSheets::HolidaysCaption)
        return 29;
    if (caption == MilestoneSheets::ChristeningCaption)
        return 59;
    if (caption == MilestoneSheets::VisitorCaption)
        return 32;
    if (caption == MilestoneSheets::OutingCaption)
        return 35;
    return 0;
}

void THoliday::FormActivate() {
    m_child = ActiveChildName();
    m_caption = windowTitle();
    m_shownTitle = m_title->text();
    m_loading = true;
    QString remarks;
    const bool ok =
        guarded(this, [&] { remarks = MilestoneSheets::occasionRemarks(m_child, m_caption, m_shownTitle); });
    m_remarks->setPlainText(remarks);
    m_remarks->setReadOnly(!ok); // remarks that could not be read are not overwritten
    m_loading = false;
    m_unstored = false;
    m_remarks->setFocus();
    m_remarks->moveCursor(QTextCursor::End);
}

// The remarks are stored as they are typed. After a failed store (a full disk) they are kept in the
// box, not stored (and reported) again at every key, until Ok.
void THoliday::RemarksChange() {
    if (m_loading || m_remarks->isReadOnly() || m_unstored)
        return;
    m_unstored = !guarded(this, [this] { storeRemarks(); });
}

void THoliday::storeRemarks() {
    MilestoneSheets::setOccasionRemarks(m_child, m_caption, m_shownTitle, Widgets::memoText(m_remarks));
}

void THoliday::OKBtnClick() {
    if (!m_unstored) {
        accept();
        return;
    }
    acceptWhenStored([this] {
        storeRemarks();
        m_unstored = false;
    });
}

void THoliday::CancelBtnClick() {
    reject();
}

void THoliday::HelpBtnClick() {
    if (const int topic = helpTopicFor(windowTitle()))
        ShowHelpTopic(topic);
}
