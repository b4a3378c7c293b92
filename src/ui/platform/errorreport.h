// The general error report: a failure a handler does not foresee ends that handler and is
// shown as a message box with the failure's own text, the application title, the error icon
// and an OK button; the program goes on.
#pragma once

#include "core/platform/dialogs.h"

#include <exception>
#include <stdexcept>
#include <functional>

namespace mtl::ui {

void showGeneralError(Dialogs& dialogs, const std::exception& error);

// Runs a handler at its boundary: any exception it throws becomes the general error report.
// Returns false when the handler failed.
bool runGuarded(Dialogs& dialogs, const std::function<void()>& handler);

} // namespace mtl::ui
