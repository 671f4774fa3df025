#include "test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace kovan::testing {

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("kovan-test-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string() + "/";
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto& e : fs::recursive_directory_iterator(path_, ec)) {
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string DemoDataDir() { return std::string(KOVAN_BINARY_DIR) + "/data/"; }

void CopyDemoData(const std::string& dir) {
  for (auto& e : fs::directory_iterator(DemoDataDir())) {
    // Only the generated files: a game played on the build's folder leaves
    // its log and saves there.
    const std::string name = e.path().filename().string();
    const bool played = name == "kovan.log" || (name.starts_with('0') && name.ends_with(".dat"));
    if (e.is_regular_file() && name != ".stamp" && !played) {
      fs::copy_file(e.path(), fs::path(dir) / e.path().filename(),
                    fs::copy_options::overwrite_existing);
    }
  }
}

std::string KovanBinary() { return std::string(KOVAN_BINARY_DIR) + "/kovan"; }
std::string KovanToolBinary() { return std::string(KOVAN_BINARY_DIR) + "/kovan-tool"; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> TraceEvents(std::string_view trace, std::string_view ev) {
  const std::string tag = "\"ev\":\"" + std::string(ev) + "\"";
  std::vector<std::string> out;
  std::istringstream in{std::string(trace)};
  for (std::string line; std::getline(in, line);) {
    if (line.find(tag) != std::string::npos) out.push_back(line);
  }
  return out;
}

std::string FieldOf(std::string_view event, std::string_view key) {
  const std::string name = "\"" + std::string(key) + "\":";
  const std::size_t at = event.find(name);
  if (at == std::string_view::npos) return "";
  std::string_view rest = event.substr(at + name.size());
  if (rest.starts_with('"')) return std::string(rest.substr(1, rest.find('"', 1) - 1));
  if (rest.starts_with('[')) return std::string(rest.substr(0, rest.find(']') + 1));
  return std::string(rest.substr(0, rest.find_first_of(",}")));
}

std::int64_t NumberOf(std::string_view event, std::string_view key) {
  const std::string value = FieldOf(event, key);
  return value.empty() ? -1 : std::stoll(value);
}

std::vector<std::string> FieldsOf(std::string_view trace, std::string_view ev,
                                  std::string_view key) {
  std::vector<std::string> out;
  for (const std::string& e : TraceEvents(trace, ev)) out.push_back(FieldOf(e, key));
  return out;
}

}  // namespace kovan::testing
