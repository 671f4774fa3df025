#include "platform/save_places.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/files.h"

namespace kovan {

namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Whether a file can be made in the folder, tried for real: permission bits
// don't tell (a read-only mount, or the super-user).
bool TakesWrites(const std::string& dir) {
  if (!DirExists(dir)) return false;
  std::string probe = WithSlash(dir) + ".kovan-probe-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

std::string SaveFolderName(const std::string& dataPath) {
  std::filesystem::path path(dataPath);
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
  if (!ec) path = canonical;
  if (!path.has_filename()) path = path.parent_path();
  std::string name = path.filename().string();
  if (Lower(name) == "data" && path.has_parent_path()) {
    name = path.parent_path().filename().string();
  }
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    if (!plain) c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "game";
  return name;
}

std::string SaveFolderFor(const std::string& dataPath, const std::string& saveDir,
                          bool dataWritable, const std::string& xdgDataHome,
                          const std::string& home) {
  if (!saveDir.empty()) return WithSlash(saveDir);
  if (dataWritable) return WithSlash(dataPath);
  // A relative XDG_DATA_HOME is ignored, as the XDG base directories require.
  const std::string base = !xdgDataHome.empty() && xdgDataHome.front() == '/'
                               ? xdgDataHome
                               : WithSlash(home.empty() ? "/tmp" : home) + ".local/share";
  return WithSlash(base) + "kovan/" + SaveFolderName(dataPath) + "/";
}

Result<std::string> ChooseSaveFolder(const std::string& dataPath, const std::string& saveDir) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const std::string folder = SaveFolderFor(dataPath, saveDir, saveDir.empty() && TakesWrites(dataPath),
                                           xdg != nullptr ? xdg : "", home != nullptr ? home : "");
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!DirExists(folder)) {
    return Result<std::string>::Error("cannot use the save folder " + folder +
                                      (ec ? ": " + ec.message() : ""));
  }
  return folder;
}

std::string LocalMinuteStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return "1970/01/01 00:00";
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}

}  // namespace kovan
