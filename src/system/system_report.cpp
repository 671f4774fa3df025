#include "system/system_report.h"

#include <cstdint>

#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr const char* kEol = "\r\n";

struct SystemName {
  std::string name;
  bool modeFixed = false;
};

// Names the system by platform id and version; the old systems that can't
// change the display mode are marked.
SystemName NameSystem(int platformId, int major, int minor) {
  switch (platformId) {
    case 0:
      return {"Windows 3.1", true};
    case 1: {
      SystemName s;
      if (major <= 4 && (major != 4 || minor >= 90 || minor <= 0)) {
        s = {"Windows 95", true};
      } else {
        s = {"Windows 98", false};
      }
      if (major == 4 && minor > 80) s.name = "Windows ME";
      return s;
    }
    case 2:
      if (major == 4) return {"Windows NT4.0", true};
      if (major == 5) return {"Windows 2000", false};
      return {};
    default:
      return {};
  }
}

std::string Num(std::uint64_t v) { return std::to_string(v); }

}  // namespace

std::string ProcessorName(int processorType) {
  switch (processorType) {
    case 386: return "(i386)";
    case 486: return "(i486)";
    case 586: return "(Pentium)";
    case 4000: return "(MIPS_R4000)";
    case 21064: return "(ALPHA_21064)";
    default: return "(unknown)";
  }
}

SystemReportResult SystemReport(const SystemFacts& f, const DisplayInfo& display,
                                const std::string& appPath, const std::string& dataPath) {
  SystemReportResult r;
  std::string& t = r.text;
  t += f.localTime + kEol;
  // Level and revision are 16-bit values of the processor record.
  t += "CPU = " + std::to_string(f.oemId) + "/" + std::to_string(f.processorType) + "/" +
       std::to_string(static_cast<std::uint16_t>(f.processorLevel)) + "/" +
       std::to_string(static_cast<std::uint16_t>(f.processorRevision)) + "/" +
       ProcessorName(f.processorType);
  // Without a processor count the line has no end of its own.
  if (f.processorCount != 0) t += "× " + std::to_string(f.processorCount) + kEol;
  t += "CRT = " + std::to_string(display.width) + "*" + std::to_string(display.height) + "(" +
       std::to_string(display.depth) + "bits)" + kEol;
  const SystemName os = NameSystem(f.platformId, f.majorVersion, f.minorVersion);
  r.modeFixed = os.modeFixed;
  t += "OS = " + os.name + " ver:" + std::to_string(f.majorVersion) + "." +
       std::to_string(f.minorVersion) + "(" + Utf8Left(f.servicePack, 20) +
       ") build:" + std::to_string(f.buildNumber) + kEol;
  t += "WINﾌｫﾙﾀﾞ = " + f.systemRoot + kEol;
  t += "ｼｽﾃﾑﾌｫﾙﾀﾞ = " + f.systemFolder + kEol;
  t += "app = " + appPath + kEol;
  t += "data= " + dataPath + kEol;
  t += "総物理ﾒﾓﾘ      = " + Num(f.totalPhys) + "Bytes" + kEol;
  t += "空物理ﾒﾓﾘ      = " + Num(f.availPhys) + "Bytes" + kEol;
  t += "総ﾍﾟｰｼﾞﾝｸﾞﾌｧｲﾙ = " + Num(f.totalPageFile) + "Bytes" + kEol;
  t += "空ﾍﾟｰｼﾞﾝｸﾞﾌｧｲﾙ = " + Num(f.availPageFile) + "Bytes" + kEol;
  t += "総仮想ﾕｰｻﾞｰﾒﾓﾘ = " + Num(f.totalVirtual) + "Bytes" + kEol;
  t += "空仮想ﾕｰｻﾞｰﾒﾓﾘ = " + Num(f.availVirtual) + "Bytes" + kEol;
  t += "ﾒﾓﾘ使用量      = " + std::to_string(f.memoryLoad) + "%" + kEol;
  return r;
}

}  // namespace kovan
