#include "test_support.h"

#include <filesystem>
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
    if (e.is_regular_file() && e.path().filename() != ".stamp") {
      fs::copy_file(e.path(), fs::path(dir) / e.path().filename(),
                    fs::copy_options::overwrite_existing);
    }
  }
}

std::vector<std::string> TraceEvents(const std::string& trace, const std::string& ev) {
  std::vector<std::string> out;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"ev\":\"" + ev + "\"") != std::string::npos) out.push_back(line);
  }
  return out;
}

std::string KovanBinary() { return std::string(KOVAN_BINARY_DIR) + "/kovan"; }
std::string KovanToolBinary() { return std::string(KOVAN_BINARY_DIR) + "/kovan-tool"; }

}  // namespace kovan::testing
