#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace kovan {

namespace {

// FNV-1a: the same key gives the same lock name in every build.
std::uint64_t HashKey(const std::string& key) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : key) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  return h;
}

// Where lock files go: the user's runtime folder, else /tmp.
std::vector<std::string> LockDirs() {
  std::vector<std::string> dirs;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') dirs.emplace_back(runtime);
  dirs.emplace_back("/tmp");
  return dirs;
}

// A key naming an existing folder is taken in its canonical spelling, so
// "data", "./data/" and the absolute path are one lock.
std::string CanonicalKey(const std::string& key) {
  std::error_code ec;
  if (key.empty() || !std::filesystem::exists(key, ec)) return key;
  const std::filesystem::path canonical = std::filesystem::canonical(key, ec);
  return ec ? key : canonical.string();
}

}  // namespace

InstanceLock::InstanceLock(const std::string& key) {
  char name[64];
  std::snprintf(name, sizeof name, "/kovan-%016llx.lock",
                static_cast<unsigned long long>(HashKey(CanonicalKey(key))));
  for (const std::string& dir : LockDirs()) {
    const std::string path = dir + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) continue;  // folder missing or read-only: try the next
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
    } else {
      ::close(fd);
    }
    return;
  }
}

InstanceLock::~InstanceLock() {
  // Closing the descriptor releases the lock. The file stays: removing it
  // would let a copy starting now lock a different file than one holding
  // the old one open.
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace kovan
