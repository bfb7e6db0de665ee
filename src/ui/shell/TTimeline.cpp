#include "ui/shell/TTimeline.h"

#include "core/store/StoreError.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/PictureFile.h"
#include "ui/common/Widgets.h"

#include <QAbstractListModel>
#include <QCache>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <cmath>
#include <iterator>

TTimeline* Timeline = nullptr;

using ChildTimeline::Item;
using ChildTimeline::Kind;

namespace {
QColor kindColor(Kind kind) {
    switch (kind) {
    case Kind::Diary:
        return QColor(0x8d, 0x6e, 0x63);
    case Kind::Growth:
        return QColor(0x6a, 0x1b, 0x9a);
    case Kind::Tooth:
        return QColor(0x00, 0x69, 0x7c);
    case Kind::Skill:
        return QColor(0x1e, 0x5a, 0xb4);
    case Kind::Birthday:
        return QColor(0xe9, 0x1e, 0x63);
    case Kind::Occasion:
        return QColor(0x2e, 0x7d, 0x32);
    default:
        return Qt::gray;
    }
}

// The kind of one row, beneath its date.
QString rowKind(Kind kind) {
    static const char* const names[] = {"Diary", "Growth", "Tooth", "First", "Birthday", "Event"};
    const int i = int(kind);
    return i >= 0 && i < int(std::size(names)) ? QString::fromLatin1(names[i]) : QStringLiteral("Other");
}

// A date that cannot be read (blank, or "13-45-26" from an old file) is shown as none, as it is placed.
QString shownDate(const Item& item) {
    return item.date.isValid() ? item.dateText : QStringLiteral("no date");
}

// Each item painted on demand from the list the model keeps: a child may have tens of thousands.
// A diary entry's first photo is shown as a thumbnail, read when its row is first painted and kept
// for the rows scrolled past (a few hundred small pictures, whatever the size of the photos).
// The timeline's help topic.
constexpr int kTimelineHelp = 66;

class TimelineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable QCache<QString, QPixmap> thumbnails{400};

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(400, 2 * option.fontMetrics.lineSpacing() + 14);
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
} // namespace

// Shows the index's items, all or those of one kind (filtering keeps the rows' places). An item is
// read from the store when its row is first asked for, and the rows shown lately are kept.
class TimelineModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setIndex(ChildTimeline::Index index, int kind) {
        beginResetModel();
        m_index = std::move(index);
        m_items.clear();
        choose(kind);
        endResetModel();
    }
    void setKind(int kind) {
        beginResetModel();
        choose(kind);
        endResetModel();
    }
    Item at(int row) const {
        const int i = m_kind < 0 ? row : m_rows.at(row);
        if (const Item* kept = m_items.object(i))
            return *kept;
        Item item;
        try {
            item = m_index.item(i);
        } catch (const StoreError&) {
            item.kind = m_index.kind(i);
            item.title = QStringLiteral("(this item could not be read)");
        }
        m_items.insert(i, new Item(item));
        return item;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_kind < 0 ? m_index.size() : m_rows.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        // What a screen reader reads for the row: the same words the row shows.
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            const Item item = at(index.row());
            return QStringLiteral("%1, %2. %3").arg(shownDate(item), item.title, item.detail);
        }
        return {};
    }

private:
    // All items when `kind` is negative, else those of that kind.
    void choose(int kind) {
        m_kind = kind;
        m_rows.clear();
        if (kind >= 0)
            for (int i = 0; i < m_index.size(); ++i)
                if (int(m_index.kind(i)) == kind)
                    m_rows.append(i);
    }

    ChildTimeline::Index m_index;
    int m_kind = -1;
    QVector<int> m_rows;
    mutable QCache<int, Item> m_items{2000};
};

void TimelineDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const auto* model = static_cast<const TimelineModel*>(index.model());
    const Item item = model->at(index.row());
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);

    p->save();
    const QRect r = option.rect.adjusted(0, 3, 0, -3);
    p->fillRect(QRect(r.left() + 4, r.top(), 5, r.height()), kindColor(item.kind));
    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QColor soft = text;
    soft.setAlphaF(0.72);

    int right = r.right();
    if (!item.photo.File.isEmpty()) {
        const int side = r.height() - 4;
        QPixmap* thumb = thumbnails.object(item.photo.File);
        if (!thumb) {
            const qreal ratio = p->device()->devicePixelRatioF();
            const QImage image = PictureFile::thumbnail(item.photo.File, int(std::lround(side * ratio)));
            thumb = new QPixmap(QPixmap::fromImage(image));
            thumb->setDevicePixelRatio(ratio);
            thumbnails.insert(item.photo.File, thumb);
        }
        const QSize shown = thumb->deviceIndependentSize().toSize();
        if (!thumb->isNull())
            p->drawPixmap(QRect(QPoint(r.right() - 6 - side + (side - shown.width()) / 2,
                                       r.top() + 2 + (side - shown.height()) / 2),
                                shown),
                          *thumb);
        right = r.right() - side - 12;
    }
    const int line = option.fontMetrics.lineSpacing();
    const int dateWidth = option.fontMetrics.horizontalAdvance(QStringLiteral("00-00-0000")) + 16;
    QFont bold = option.font;
    bold.setBold(true);
    p->setFont(bold);
    p->setPen(text);
    const QRect dateBox(r.left() + 16, r.top() + 4, dateWidth, line);
    p->drawText(dateBox, Qt::AlignLeft | Qt::AlignVCenter, shownDate(item));
    const QRect body(dateBox.right() + 4, r.top() + 4, right - dateBox.right() - 12, line);
    p->drawText(body, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(bold).elidedText(item.title, Qt::ElideRight, body.width()));
    p->setFont(option.font);
    p->setPen(soft);
    p->drawText(QRect(dateBox.left(), body.bottom() + 2, dateWidth, line), Qt::AlignLeft | Qt::AlignVCenter,
                rowKind(item.kind));
    p->drawText(body.translated(0, line + 2), Qt::AlignLeft | Qt::AlignVCenter,
                option.fontMetrics.elidedText(item.detail, Qt::ElideRight, body.width()));
    p->restore();
}

TTimeline::TTimeline(QWidget* parent) : TDialog(parent) {
    setObjectName(QStringLiteral("Timeline"));
    setWindowTitle(QStringLiteral("Timeline"));
}

void TTimeline::build() {
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("KindFilter"));
    m_filter->addItem(QStringLiteral("Everything"), -1);
    for (int k = 0; k < ChildTimeline::KindCount; ++k)
        m_filter->addItem(ChildTimeline::kindName(Kind(k)), k);
    auto* filterRow = new QFormLayout;
    Widgets::addRow(filterRow, QStringLiteral("&Show:"), m_filter);

    m_model = new TimelineModel(this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("TimelineList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new TimelineDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setMinimumSize(560, 380);
    m_list->setAccessibleName(QStringLiteral("Timeline"));

    auto* open = Widgets::pushButton(QStringLiteral("OpenBtn"), QStringLiteral("&Open"), this);
    open->setToolTip(QStringLiteral("Show the chosen item in its own window"));
    auto* close = Widgets::pushButton(QStringLiteral("CloseBtn"), QStringLiteral("Close"), this);
    close->setIcon(Widgets::standardIcon(QStyle::SP_DialogCloseButton));
    // No default button: Enter on the list opens the item (activated), and nothing else.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Widgets::helpButton(QStringLiteral("HelpBtn"), kTimelineHelp, this));
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_filter, qOverload<int>(&QComboBox::activated), this, &TTimeline::KindFilterChange);
    connect(open, &QPushButton::clicked, this, &TTimeline::OpenBtnClick);
    connect(close, &QPushButton::clicked, this, &TTimeline::CloseBtnClick);
    connect(m_list, &QListView::activated, this, &TTimeline::OpenBtnClick);
}

void TTimeline::FormActivate() {
    reread();
    m_list->setFocus();
}

void TTimeline::reread() {
    const int row = m_list->currentIndex().row();
    m_model->setIndex(ChildTimeline::Index::read(ActiveChildName(), QDate::currentDate()),
                      m_filter->currentData().toInt());
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(qBound(0, row, m_model->rowCount() - 1)));
}

QVector<Item> TTimeline::shown() const {
    QVector<Item> items;
    if (isBuilt())
        for (int row = 0; row < m_model->rowCount(); ++row)
            items.append(m_model->at(row));
    return items;
}

void TTimeline::KindFilterChange() {
    m_model->setKind(m_filter->currentData().toInt());
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
}

void TTimeline::OpenBtnClick() {
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid())
        return;
    const Item item = m_model->at(current.row());
    emit openItem(item);
    // What was opened may have been changed or deleted there.
    guarded(this, [this] { reread(); });
}

void TTimeline::CloseBtnClick() {
    close();
}
