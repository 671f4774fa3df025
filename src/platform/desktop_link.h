// Opening a link with the desktop's own program for it (xdg-open).
#pragma once

#include <string>

#include "platform/result.h"

namespace kovan {

// Starts `xdg-open target` and returns without waiting for the browser or
// mail program; the target is handed over as one argument, never through a
// shell. An error when the opener could not be started.
[[nodiscard]] Status OpenWithDesktop(const std::string& target);

}  // namespace kovan
