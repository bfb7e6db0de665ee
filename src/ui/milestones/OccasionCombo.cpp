#include "ui/milestones/OccasionCombo.h"

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"

#include <QComboBox>

namespace OccasionCombo {
QComboBox* create(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("ComboBox1"));
    combo->setPlaceholderText(QStringLiteral("Empty"));
    combo->setMinimumWidth(200);
    return combo;
}

void fill(QComboBox* combo, QWidget* parent, const QString& caption) {
    combo->clear();
    guarded(parent, [&] {
        for (const MilestoneSheets::Occasion& o :
             MilestoneSheets::namedOccasions(ActiveChildName(), caption)) {
            const QString shown = o.title.trimmed().isEmpty() ? QStringLiteral("(untitled)") : o.title;
            combo->addItem(shown, o.name);
        }
    });
    combo->setCurrentIndex(-1);
}
} // namespace OccasionCombo
