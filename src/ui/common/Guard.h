#pragma once

#include "core/store/StoreError.h"
#include "ui/common/Messages.h"

#include <exception>

// Runs one handler's work. A store error (or any other exception) is shown in the generic error
// report and the command stops there; no exception ever reaches the event loop.
// Returns true when the work finished.
template <typename Work> bool guarded(QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const StoreError& e) {
        Messages::errorReport(parent, e.message());
    } catch (const std::exception& e) {
        Messages::errorReport(parent, QString::fromUtf8(e.what()));
    }
    return false;
}
