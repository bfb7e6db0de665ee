#pragma once

#include "core/reports/ReportDocument.h"

#include <QString>
#include <QStringList>

#include <functional>

// Report name -> the function that gathers the report from the child's stored data. Each report is
// one small builder registered in ReportBuilders.cpp; the birth announcement has its own fixed page
// and is not listed here.
namespace ReportRegistry {
using Builder = std::function<ReportDocument(const QString& child)>;

// The builder of the report with exactly this name (case counts), or null.
const Builder* find(const QString& name);
// Every registered report name.
QStringList names();
// Builds the named report for `child`; throws StoreError. The name must be registered.
ReportDocument build(const QString& name, const QString& child);
} // namespace ReportRegistry
