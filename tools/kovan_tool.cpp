// kovan-tool: the modder's companion to the game's data files.
//   kovan-tool decode 91.dat            the scenario (or 92.dat) as UTF-8 text
//   kovan-tool encode FILE.csv OUT.dat  the inverse of decode
//   kovan-tool headers scramble|restore DIR
#include <iostream>
#include <string>
#include <vector>

#include "engine/data_files.h"
#include "engine/scenario.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr const char* kUsage =
    "usage: kovan-tool decode FILE.dat\n"
    "       kovan-tool encode FILE.csv OUT.dat\n"
    "       kovan-tool headers scramble|restore DIR\n";

// Line number (1-based) of a byte offset.
int LineOf(const Bytes& bytes, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) line += bytes[i] == '\n';
  return line;
}

int Decode(const std::string& path) {
  auto stored = ReadFileBytes(path, kMaxScenarioBytes);
  if (!stored) {
    std::cerr << "kovan-tool: " << path << ": " << stored.error() << "\n";
    return 1;
  }
  const Bytes plain = Complement(std::move(stored.value()));
  const std::string raw(plain.begin(), plain.end());
  auto text = Cp932ToUtf8(raw);
  if (!text) {
    std::cerr << "kovan-tool: " << path << ": " << text.error() << "\n";
    return 1;
  }
  // A few characters have two codes in the code page; the game writes them
  // back in one form only, so say where encoding won't give the same bytes.
  auto back = Utf8ToCp932(text.value());
  if (back && back.value() != raw) {
    std::size_t i = 0;
    while (i < raw.size() && i < back->size() && raw[i] == (*back)[i]) ++i;
    std::cerr << "kovan-tool: warning: " << path << " line " << LineOf(plain, i)
              << " holds a character with a second code; encode writes its usual code\n";
  }
  std::cout << text.value();
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "kovan-tool: cannot write the decoded text of " << path << "\n";
    return 1;
  }
  return 0;
}

// The output replaces OUT.dat only once it is written in full: a failed
// write leaves the old file as it was.
int Encode(const std::string& in, const std::string& out) {
  auto source = ReadFileBytes(in, kMaxScenarioBytes);
  if (!source) {
    std::cerr << "kovan-tool: " << in << ": " << source.error() << "\n";
    return 1;
  }
  auto cp932 = Utf8ToCp932(std::string(source->begin(), source->end()));
  if (!cp932) {
    std::cerr << "kovan-tool: " << in << ": " << cp932.error() << "\n";
    return 1;
  }
  const Bytes stored = Complement(Bytes(cp932->begin(), cp932->end()));
  if (Status st = WriteFileBytes(out, stored); !st) {
    std::cerr << "kovan-tool: " << out << ": " << st.error() << "\n";
    return 1;
  }
  return 0;
}

int Headers(const std::string& mode, std::string dir) {
  if (mode != "scramble" && mode != "restore") {
    std::cerr << kUsage;
    return 2;
  }
  if (dir.empty() || dir.back() != '/') dir += '/';
  if (!DirExists(dir)) {
    std::cerr << "kovan-tool: " << dir << ": no such folder\n";
    return 1;
  }
  // Each file is rewritten through a temporary file; links and files too
  // short for a header are left alone and named.
  const DataFiles files(dir);
  if (Status st = files.PatchAllHeaders(mode == "scramble"); !st) {
    std::cerr << "kovan-tool: " << st.error() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kovan

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "decode") return kovan::Decode(args[1]);
  if (args.size() == 3 && args[0] == "encode") return kovan::Encode(args[1], args[2]);
  if (args.size() == 3 && args[0] == "headers") return kovan::Headers(args[1], args[2]);
  std::cerr << kovan::kUsage;
  return 2;
}
