// File access for the data folder. File names of the game's data came from
// a system that ignores case, so names inside a folder are matched without
// regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace kovan {

// The path of name inside dir (dir ends with '/'): the exact name if it
// exists, else the first entry whose name equals it ignoring ASCII case,
// else dir + name unchanged.
std::string ResolveNoCase(const std::string& dir, const std::string& name);

bool FileExists(const std::string& path);  // a regular file
bool DirExists(const std::string& path);
// Length in bytes, or nothing when the file doesn't exist.
std::optional<std::uint64_t> FileLength(const std::string& path);

// The largest file ReadFileBytes takes unless told otherwise.
constexpr std::uint64_t kMaxReadBytes = std::uint64_t{64} << 20;

// Reads a whole regular file (a link to one is followed). A folder, a named
// pipe or a device, and a file longer than maxBytes, are refused before a
// byte is read, so a hostile name can neither block the reader nor make it
// take all the memory. Errors name the path.
[[nodiscard]] Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                              std::uint64_t maxBytes = kMaxReadBytes);
// Replaces the file (created if missing) through a temporary file in the
// same folder renamed into place: a link is replaced, not followed, and on
// any failure the old file stays as it was.
[[nodiscard]] Status WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// A regular file that is not a link.
bool PlainFileExists(const std::string& path);
// Deletes a file; a missing file is no error.
[[nodiscard]] Status RemoveFile(const std::string& path);
// Whether the folder lets us create files.
bool DirWritable(const std::string& dir);

// The folder of the running program, ending with '/'.
std::string ExecutableDir();

}  // namespace kovan
