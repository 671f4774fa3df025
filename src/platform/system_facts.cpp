#include "platform/system_facts.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kovan {

namespace {

// The user address space of a 47-bit x86-64 process, less the guard page.
constexpr std::uint64_t kUserAddressSpace = (std::uint64_t{1} << 47) - 4096;

std::string ReadTextFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The leading decimal digits of s (at most 9, so no overflow), or 0.
int LeadingNumber(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && n < 9 && s[n] >= '0' && s[n] <= '9') ++n;
  int value = 0;
  std::from_chars(s.data(), s.data() + n, value);
  return value;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

void FillProcessor(SystemFacts& f) {
#if defined(__x86_64__)
  f.oemId = 9;
  f.processorType = 8664;
#elif defined(__i386__)
  f.oemId = 0;
  f.processorType = 586;
#endif
  const CpuSignature cpu = ParseCpuInfo(ReadTextFile("/proc/cpuinfo"));
  f.processorLevel = cpu.family;
  f.processorRevision = (cpu.model << 8) | (cpu.stepping & 0xFF);
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  f.processorCount = online > 0 ? static_cast<int>(online) : 1;
}

void FillSystem(SystemFacts& f) {
  f.platformId = 3;  // none of the report's known systems
  utsname u{};
  if (::uname(&u) == 0) {
    const KernelVersion v = ParseKernelRelease(u.release);
    f.majorVersion = v.major;
    f.minorVersion = v.minor;
    f.buildNumber = v.build;
    f.servicePack = (std::string(u.sysname) + " " + u.release).substr(0, 20);
  }
  f.systemRoot = "/";
  f.systemFolder = "/usr/lib";
}

void FillMemory(SystemFacts& f) {
  struct sysinfo si {};
  if (::sysinfo(&si) == 0) {
    const std::uint64_t unit = si.mem_unit == 0 ? 1 : si.mem_unit;
    f.totalPhys = std::uint64_t{si.totalram} * unit;
    f.availPhys = std::uint64_t{si.freeram} * unit;
    const std::uint64_t swapTotal = std::uint64_t{si.totalswap} * unit;
    const std::uint64_t swapFree = std::uint64_t{si.freeswap} * unit;
    if (auto avail = ParseKbField(ReadTextFile("/proc/meminfo"), "MemAvailable")) {
      f.availPhys = std::min(*avail, f.totalPhys);
    }
    // The page file stands for the commit limit: memory plus swap.
    f.totalPageFile = f.totalPhys + swapTotal;
    f.availPageFile = f.availPhys + swapFree;
  }
  f.memoryLoad = MemoryLoadPercent(f.totalPhys, f.availPhys);

  rlimit limit{};
  f.totalVirtual = kUserAddressSpace;
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    f.totalVirtual = limit.rlim_cur;
  }
  const std::uint64_t used = ParseKbField(ReadTextFile("/proc/self/status"), "VmSize").value_or(0);
  f.availVirtual = used < f.totalVirtual ? f.totalVirtual - used : 0;
}

}  // namespace

KernelVersion ParseKernelRelease(std::string_view release) {
  int parts[3] = {0, 0, 0};
  for (int& part : parts) {
    part = LeadingNumber(release);
    std::size_t n = 0;
    while (n < release.size() && release[n] >= '0' && release[n] <= '9') ++n;
    // Only a dot right after the digits leads to the next part.
    if (n == 0 || n >= release.size() || release[n] != '.') break;
    release.remove_prefix(n + 1);
  }
  return {parts[0], parts[1], parts[2]};
}

CpuSignature ParseCpuInfo(std::string_view cpuinfo) {
  CpuSignature sig;
  bool any = false;
  while (!cpuinfo.empty()) {
    std::size_t eol = cpuinfo.find('\n');
    std::string_view line = cpuinfo.substr(0, eol);
    cpuinfo.remove_prefix(eol == std::string_view::npos ? cpuinfo.size() : eol + 1);
    if (Trim(line).empty()) {
      if (any) break;  // a blank line ends the first processor's block
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, colon));
    const int value = LeadingNumber(Trim(line.substr(colon + 1)));
    int* field = key == "cpu family" ? &sig.family
                 : key == "model"    ? &sig.model
                 : key == "stepping" ? &sig.stepping
                                     : nullptr;
    if (field != nullptr) *field = value;
    any = true;
  }
  return sig;
}

std::optional<std::uint64_t> ParseKbField(std::string_view text, std::string_view name) {
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
        line[name.size()] != ':') {
      continue;
    }
    const std::string_view rest = Trim(line.substr(name.size() + 1));
    std::uint64_t kb = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), kb);
    if (ec != std::errc() || end == rest.data() || kb > (UINT64_MAX >> 10)) return std::nullopt;
    return kb * 1024;
  }
  return std::nullopt;
}

std::string FormatLocalTime(const std::tm& tm) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

int MemoryLoadPercent(std::uint64_t total, std::uint64_t available) {
  if (total == 0) return 0;
  const std::uint64_t used = available < total ? total - available : 0;
  // Long double keeps the product exact for any realistic memory size.
  const long double percent = static_cast<long double>(used) * 100.0L / total;
  return static_cast<int>(percent + 0.5L);
}

SystemFacts ReadSystemFacts() {
  SystemFacts f;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) != nullptr) f.localTime = FormatLocalTime(local);
  FillProcessor(f);
  FillSystem(f);
  FillMemory(f);
  return f;
}

}  // namespace kovan
