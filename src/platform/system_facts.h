// The machine facts of the start-up report, read from Linux: the clock,
// /proc, uname, sysinfo and the resource limits. Both backends report them.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kovan {

SystemFacts ReadSystemFacts();

// The pieces, exposed so their handling of odd input can be checked.

// "6.1.0-28-amd64" → 6, 1, 0. Missing or non-numeric parts read as 0.
struct KernelVersion {
  int major = 0;
  int minor = 0;
  int build = 0;
};
KernelVersion ParseKernelRelease(std::string_view release);

// The first processor's "cpu family", "model" and "stepping" of
// /proc/cpuinfo; absent fields read as 0.
struct CpuSignature {
  int family = 0;
  int model = 0;
  int stepping = 0;
};
CpuSignature ParseCpuInfo(std::string_view cpuinfo);

// A "Name:   1234 kB" line of /proc/meminfo or /proc/self/status, in bytes.
std::optional<std::uint64_t> ParseKbField(std::string_view text, std::string_view name);

// "yyyy/mm/dd h:mm:ss", the hour without a leading zero.
std::string FormatLocalTime(const std::tm& tm);

// Percent of memory in use, rounded; 0 when total is 0.
int MemoryLoadPercent(std::uint64_t total, std::uint64_t available);

}  // namespace kovan
