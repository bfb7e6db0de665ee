#include "ui/diaries/DiaryEditor.h"

#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"
#include "ui/diaries/EntryPhotos.h"
#include "ui/diaries/TNewEntry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Enter in a search box's text picks the item spelled exactly so (if any) instead of closing the form.
class SearchEnter : public QObject {
public:
    explicit SearchEnter(QComboBox* combo) : QObject(combo), m_combo(combo) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        const int index =
            m_combo->findText(m_combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) {
            m_combo->setCurrentIndex(index);
            emit m_combo->activated(index);
        }
        return true;
    }

private:
    QComboBox* m_combo;
};
} // namespace

namespace DiaryWidgets {
QToolButton* pictureButton(const char* name, const QString& hint, const QIcon& icon, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(24, 24));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAutoRaise(false);
    return b;
}

QWidget* deleteBox(const char* name, const QString& below, QToolButton** button, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    auto* top = new QLabel(QStringLiteral("Delete"), frame);
    auto* bottom = new QLabel(below, frame);
    top->setAlignment(Qt::AlignCenter);
    bottom->setAlignment(Qt::AlignCenter);
    *button = pictureButton(name, QStringLiteral("Delete ") + below,
                            Widgets::standardIcon(QStyle::SP_TrashIcon), frame);
    (*button)->setToolTip(QString());
    layout->addWidget(top);
    layout->addWidget(*button, 0, Qt::AlignCenter);
    layout->addWidget(bottom);
    return frame;
}

QComboBox* searchBox(const char* name, const QString& caption, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);
    combo->setMaxVisibleItems(15);
    combo->setMinimumContentsLength(12);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* enter = new SearchEnter(combo);
    combo->installEventFilter(enter);
    combo->lineEdit()->installEventFilter(enter);
    Widgets::setAccessibleCaption(combo, caption);
    return combo;
}

QPlainTextEdit* display(const char* name, const QString& accessibleName, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    Widgets::displayMemo(memo, true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setAccessibleName(accessibleName);
    return memo;
}
} // namespace DiaryWidgets

namespace {
QLabel* valueLabel(const char* name, const QString& text, const QString& accessible, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // a title is shown as typed, never as markup
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text); border: "
                                        "1px solid #9a9a9a; border-radius: 2px; padding: 2px 4px; }"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Widgets::showsValue(label, accessible);
    return label;
}
} // namespace

DiaryEditor::DiaryEditor(const DiaryEditorSetup& setup, QWidget* parent)
    : QWidget(parent), m_setup(setup), m_cursor(setup.list) {
    const QString wordOrTitle = setup.wordLog ? QStringLiteral("Word:") : QStringLiteral("Title:");
    m_date = valueLabel(setup.dateLabel, EntryStore::EmptyDate, QStringLiteral("Date"), this);
    m_title = valueLabel(setup.titleLabel, QString::fromLatin1(setup.emptyTitle),
                         setup.wordLog ? QStringLiteral("Word") : QStringLiteral("Title"), this);
    m_date->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00-00-00")) + 16);
    // The title takes the room there is; a very long one is cut at the edge instead of widening the
    // form beyond the screen (the search list still shows it whole).
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_title->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Diary Empty")) + 24);
    m_memo = DiaryWidgets::display(setup.memo, QStringLiteral("Remarks"), this);
    m_memo->setMinimumSize(320, 160);

    auto* shown = new QGridLayout;
    auto* dateCaption = new QLabel(QStringLiteral("Date:"), this);
    dateCaption->setBuddy(m_date);
    auto* titleCaption = new QLabel(wordOrTitle, this);
    titleCaption->setBuddy(m_title);
    shown->addWidget(dateCaption, 0, 0, Qt::AlignRight);
    shown->addWidget(m_date, 0, 1);
    shown->addWidget(titleCaption, 0, 2, Qt::AlignRight);
    shown->addWidget(m_title, 0, 3);
    shown->setColumnStretch(3, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(shown);
    if (setup.wordLog)
        left->addWidget(new QLabel(QStringLiteral("Remarks"), this));
    left->addWidget(m_memo, 1);
    m_photos = new PhotoStrip(QString::fromLatin1(setup.photoStrip), QStringLiteral("Photos"), this);
    left->addWidget(m_photos);

    m_dateSearch = DiaryWidgets::searchBox(setup.dateCombo, QStringLiteral("Date Search:"), this);
    m_titleSearch = DiaryWidgets::searchBox(
        setup.titleCombo, setup.wordLog ? QStringLiteral("Word Search:") : QStringLiteral("Title Search:"),
        this);
    // The lists are handed to the boxes in one go, however long they are.
    m_dates = new QStringListModel(this);
    m_titles = new QStringListModel(this);
    m_dateSearch->setModel(m_dates);
    m_titleSearch->setModel(m_titles);

    auto* search = new QVBoxLayout;
    auto addSearch = [&](const QString& caption, QComboBox* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        search->addWidget(label);
        search->addWidget(box);
    };
    if (setup.wordLog) {
        addSearch(QStringLiteral("Word Search:"), m_titleSearch);
        addSearch(QStringLiteral("Date Search:"), m_dateSearch);
    } else {
        addSearch(QStringLiteral("Date Search:"), m_dateSearch);
        addSearch(QStringLiteral("Title Search:"), m_titleSearch);
    }

    auto* previous =
        DiaryWidgets::pictureButton(setup.previousButton, QString::fromLatin1(setup.previousHint),
                                    Widgets::standardIcon(QStyle::SP_ArrowLeft), this);
    auto* next = DiaryWidgets::pictureButton(setup.nextButton, QString::fromLatin1(setup.nextHint),
                                             Widgets::standardIcon(QStyle::SP_ArrowRight), this);
    QToolButton* del = nullptr;
    auto* delBox = DiaryWidgets::deleteBox(
        setup.deleteButton, setup.wordLog ? QStringLiteral("Word") : QStringLiteral("Record"), &del, this);
    auto* nav = new QHBoxLayout;
    nav->addWidget(previous);
    nav->addWidget(next);
    nav->addStretch();
    nav->addWidget(delBox);
    search->addSpacing(8);
    search->addLayout(nav);

    auto* newButton = Widgets::pushButton(QString::fromLatin1(setup.newButton),
                                          QString::fromLatin1(setup.newCaption), this);
    newButton->setIcon(Widgets::standardIcon(QStyle::SP_FileIcon));
    auto* editButton =
        Widgets::pushButton(QString::fromLatin1(setup.editButton), QStringLiteral("&Edit Entry"), this);
    editButton->setIcon(Widgets::standardIcon(QStyle::SP_FileDialogDetailedView));
    m_help = Widgets::helpButton(QString::fromLatin1(setup.helpButton), setup.helpTopic, this);
    search->addSpacing(8);
    search->addWidget(newButton);
    search->addWidget(editButton);
    search->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addLayout(search);

    connect(previous, &QToolButton::clicked, this, &DiaryEditor::PreviousClick);
    connect(next, &QToolButton::clicked, this, &DiaryEditor::NextClick);
    connect(del, &QToolButton::clicked, this, &DiaryEditor::DelButtonClick);
    connect(newButton, &QPushButton::clicked, this, &DiaryEditor::NewEntryClick);
    connect(editButton, &QPushButton::clicked, this, &DiaryEditor::EditEntryClick);
    connect(m_photos, &PhotoStrip::opened, this, &DiaryEditor::OpenPhoto);
    connect(m_dateSearch, qOverload<int>(&QComboBox::activated), this, &DiaryEditor::DateSearchClick);
    connect(m_titleSearch, qOverload<int>(&QComboBox::activated), this, &DiaryEditor::TitleSearchClick);
}

void DiaryEditor::Activate() {
    m_cursor.activate();
    RefreshCombos();
    showCurrent();
}

void DiaryEditor::FillData() {
    const auto& entry = m_shown;
    if (!entry) {
        showEmpty();
        return;
    }
    m_date->setText(entry->Date);
    m_title->setText(entry->Title);
    m_memo->setPlainText(entry->Text);
    m_photos->setPhotos(entry->Photos);
    m_photos->setVisible(!entry->Photos.isEmpty());
}

void DiaryEditor::RefreshCombos() {
    m_dates->setStringList(m_cursor.dates());
    const QStringList titles = m_cursor.titles();
    m_titles->setStringList(titles);
    // The drop-down list is wide enough for the longest title (up to half the screen), so titles
    // that begin alike can be told apart.
    int longest = 0;
    for (const QString& title : titles)
        longest = qMax(longest, int(title.size()));
    const QFontMetrics metrics(m_titleSearch->view()->font());
    const int wanted =
        metrics.averageCharWidth() * (longest + 2) + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    const int room = screen() ? screen()->availableGeometry().width() / 2 : 600;
    m_titleSearch->view()->setMinimumWidth(qMin(qMax(wanted, m_titleSearch->width()), room));
    m_dateSearch->setCurrentIndex(-1);
    m_titleSearch->setCurrentIndex(-1);
    m_dateSearch->setEditText(QString());
    m_titleSearch->setEditText(QString());
}

void DiaryEditor::showEmpty() {
    m_date->setText(EntryStore::EmptyDate);
    m_title->setText(QString::fromLatin1(m_setup.emptyTitle));
    m_memo->clear();
    m_photos->setPhotos({});
    m_photos->setVisible(false);
}

void DiaryEditor::showCurrent() {
    const auto entry = m_cursor.current();
    if (!entry) {
        showEmpty();
        return;
    }
    m_shown = entry;
    FillData();
}

void DiaryEditor::showEntry(int position) {
    for (QWidget* page = this; page; page = page->parentWidget())
        for (QWidget* up = page->parentWidget(); up; up = up->parentWidget())
            if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
                if (const int index = tabs->indexOf(page); index >= 0)
                    tabs->setCurrentIndex(index);
                break;
            }
    if (m_cursor.moveTo(position))
        showCurrent();
}

void DiaryEditor::PreviousClick() {
    if (m_cursor.previous())
        showCurrent();
}

void DiaryEditor::NextClick() {
    if (m_cursor.next())
        showCurrent();
}

void DiaryEditor::DateSearchClick(int index) {
    if (index >= 0 && m_cursor.searchDate(m_dateSearch->itemText(index)))
        showCurrent();
}

void DiaryEditor::TitleSearchClick(int index) {
    if (index >= 0 && m_cursor.searchTitle(m_titleSearch->itemText(index)))
        showCurrent();
}

void DiaryEditor::NewEntryClick() {
    if (!NewEntry)
        return;
    // The dialog stores the entry on Ok, and stays open with it when that fails.
    const auto added =
        NewEntry->ask(QString::fromLatin1(m_setup.dialogCaption), QString::fromLatin1(m_setup.titlePrompt),
                      [this](const std::shared_ptr<DiaryType>& entry) { m_cursor.append(entry); });
    if (!added)
        return;
    m_shown = added;
    FillData();
    RefreshCombos();
    emit listChanged();
}

void DiaryEditor::EditEntryClick() {
    const auto shown = m_cursor.current();
    if (!shown) {
        Messages::information(this, QStringLiteral("There is no entry to edit."));
        return;
    }
    if (!NewEntry)
        return;
    // "New Journal Entry" becomes "Edit Journal Entry", and so on for every diary.
    QString caption = QString::fromLatin1(m_setup.dialogCaption);
    if (caption.startsWith(QLatin1String("New ")))
        caption.replace(0, 3, QStringLiteral("Edit"));
    const auto edited = NewEntry->askEdit(
        caption, QString::fromLatin1(m_setup.titlePrompt), *shown,
        [this](const std::shared_ptr<DiaryType>& entry) { m_cursor.replaceCurrent(entry); });
    showCurrent();
    if (!edited)
        return;
    RefreshCombos();
    emit listChanged();
}

void DiaryEditor::OpenPhoto(int index) {
    PhotoViewer viewer(m_photos->photos(), index, window());
    viewer.exec();
}

void DiaryEditor::DelButtonClick() {
    if (m_cursor.count() == 0) {
        Messages::information(this, QStringLiteral("There are no records to Delete."));
        return;
    }
    if (!Messages::confirmDestructive(this, QStringLiteral("Delete this record?")))
        return;
    guarded(this, [&] { m_cursor.removeCurrent(); });
    RefreshCombos();
    showCurrent();
    emit listChanged();
}
