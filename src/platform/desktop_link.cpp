#include "platform/desktop_link.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace kovan {

namespace {

// The opener's full path from PATH, found before any fork so the child
// only has to call execv.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  while (!dirs.empty()) {
    const std::size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    dirs.remove_prefix(colon == std::string_view::npos ? dirs.size() : colon + 1);
    if (dir.empty()) continue;
    const std::string candidate = dir + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

}  // namespace

Status OpenWithDesktop(const std::string& target) {
  if (target.empty() || target.front() == '-') return Status::Error("not a link: " + target);
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return Status::Error("xdg-open was not found");
  std::vector<char> file(opener.begin(), opener.end());
  file.push_back('\0');
  std::vector<char> arg(target.begin(), target.end());
  arg.push_back('\0');
  char* const argv[] = {file.data(), arg.data(), nullptr};

  // Twice forked: the opener belongs to no one here and leaves no zombie
  // behind, however long the browser it starts keeps running. Between fork
  // and exec only calls that are safe there.
  const pid_t child = ::fork();
  if (child < 0) return Status::Error(std::string("cannot start xdg-open: ") + std::strerror(errno));
  if (child == 0) {
    const pid_t opener = ::fork();
    if (opener == 0) {
      ::setsid();
      // The browser's chatter stays out of the game's output.
      const int devNull = ::open("/dev/null", O_RDWR);
      if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
      }
      ::execv(argv[0], argv);
      ::_exit(127);
    }
    ::_exit(opener < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return Status::Error("cannot start xdg-open");
  return Status();
}

}  // namespace kovan
