// A small but complete data folder for tests, written from scratch.
#pragma once

#include <string>
#include <vector>

namespace kovan::testing {

struct DataFolderSpec {
  std::vector<std::string> configLines;  // "90.dat", UTF-8; default 25 valid lines
  std::string scenario;                  // "91.dat" plain text, UTF-8
  std::string choices;                   // "92.dat" plain text, UTF-8
};

// Writes 90/91/92, the skin texture and logos, the eight bitmaps and fourteen places (headers
// scrambled), and the music named by the configuration, into dir.
void WriteDataFolder(const std::string& dir, const DataFolderSpec& spec = {});
// The default 25 lines of "90.dat".
std::vector<std::string> DefaultConfig();
// The first two bytes of a file, or "" when it can't be read.
std::string HeaderOf(const std::string& path);

}  // namespace kovan::testing
