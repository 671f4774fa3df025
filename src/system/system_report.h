// The machine report written to the log at start-up.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kovan {

struct SystemReportResult {
  std::string text;        // UTF-8, lines ended by CR LF
  bool modeFixed = false;  // the system can't switch the display mode
};

// Builds the report from the machine's facts, the display and the game's
// two folders.
SystemReportResult SystemReport(const SystemFacts& facts, const DisplayInfo& display,
                                const std::string& appPath, const std::string& dataPath);

// The processor's name by its type, "(unknown)" for types the report
// doesn't know.
std::string ProcessorName(int processorType);

}  // namespace kovan
