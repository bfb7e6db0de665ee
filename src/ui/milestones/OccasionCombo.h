#pragma once

#include <QString>

class QComboBox;
class QWidget;

// The pick lists of the holiday and event pickers: a drop-down showing "Empty" until an occasion is
// chosen, filled with the active child's occasions named under `caption`; each item carries the
// typed name.
namespace OccasionCombo {
QComboBox* create(QWidget* parent);
void fill(QComboBox* combo, QWidget* parent, const QString& caption);
} // namespace OccasionCombo
