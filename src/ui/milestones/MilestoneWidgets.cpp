#include "ui/milestones/MilestoneWidgets.h"

#include "ui/common/Widgets.h"

#include <QLabel>
#include <QToolButton>

namespace MilestoneWidgets {
const QColor Blue(0, 0, 0xff);

QLabel* label(const QString& text, QWidget* parent, const QColor& color, int px, bool bold,
              const QString& name) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // names a parent typed are shown as typed, never as markup
    if (!name.isEmpty())
        l->setObjectName(name);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}

QToolButton* glyphButton(const QString& name, const QString& hint, const QIcon& icon, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(icon);
    b->setIconSize(QSize(22, 22));
    b->setMinimumSize(30, 28);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}
} // namespace MilestoneWidgets

#include <QPainter>

namespace MilestoneWidgets {
QIcon addIcon() {
    return Widgets::standardIcon(QStyle::SP_FileDialogNewFolder);
}
} // namespace MilestoneWidgets
