#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace kovan {

namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of dir whose name matches part ignoring case; of several, the
// one that sorts first, so the choice doesn't depend on directory order.
std::string FindEntryNoCase(const std::string& dir, const std::string& part) {
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.empty() ? "." : dir.c_str()), ::closedir);
  if (!d) return {};
  std::string best;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string_view entry = e->d_name;
    if (EqualsNoCase(entry, part) && (best.empty() || entry < best)) best = entry;
  }
  return best;
}

// Writes all of bytes, retrying short writes and interruptions.
bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

// Each folder along a name like "Data/P1.DAT" is matched on its own.
std::string ResolveNoCase(const std::string& dir, const std::string& name) {
  std::string base = dir;
  if (!base.empty() && base.back() != '/') base += '/';
  if (name.empty() || PathExists(base + name)) return base + name;
  std::string resolved = base;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t slash = name.find('/', start);
    if (slash == std::string::npos) slash = name.size();
    const std::string part = name.substr(start, slash - start);
    const bool last = slash == name.size();
    if (!part.empty() && part != "." && part != ".." && !PathExists(resolved + part)) {
      const std::string found = FindEntryNoCase(resolved, part);
      if (found.empty()) return base + name;
      resolved += found;
    } else {
      resolved += part;
    }
    if (last) break;
    resolved += '/';
    start = slash + 1;
  }
  return resolved;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileLength(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
  using Bytes = std::vector<std::uint8_t>;
  // Without O_NONBLOCK, opening a named pipe waits for a writer for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Result<Bytes>::Error(ErrnoText("cannot open", path));
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    std::string error = ErrnoText("cannot read", path);
    ::close(fd);
    return Result<Bytes>::Error(std::move(error));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return Result<Bytes>::Error(path + ": not a regular file");
  }
  const auto tooLong = [&] {
    return Result<Bytes>::Error(path + ": longer than the " + std::to_string(maxBytes) +
                                " bytes such a file may have");
  };
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return tooLong();
  }
  Bytes bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      std::string error = ErrnoText("cannot read", path);
      ::close(fd);
      return Result<Bytes>::Error(std::move(error));
    }
    // The file may grow while it is read.
    if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
      ::close(fd);
      return tooLong();
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fd);
  return bytes;
}

// The new contents go to a temporary file beside the old one, which is
// flushed and renamed over it: a link at path is replaced, never followed,
// and a failed or interrupted write leaves the old file as it was.
Status WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Status::Error(ErrnoText("cannot create a file in", dir));
  bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  std::string error = ok ? std::string() : ErrnoText("cannot write", path);
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = ErrnoText("cannot write", path);
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = ErrnoText("cannot replace", path);
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return Status::Error(std::move(error));
  }
  // The rename itself is made lasting by flushing the folder.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    (void)::fsync(dirFd);
    ::close(dirFd);
  }
  return Status();
}

bool PlainFileExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Status RemoveFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Status::Error(ErrnoText("cannot delete", path));
  }
  return Status();
}

bool DirWritable(const std::string& dir) {
  return DirExists(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string ExecutableDir() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  const std::string path(buf, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

}  // namespace kovan
