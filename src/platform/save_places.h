// Where the saved games live, and the local time they are stamped with.
#pragma once

#include <string>

#include "platform/result.h"

namespace kovan {

// The folder for saves, ending with '/': saveDir when given; else the data
// folder when it takes writes; else, for an installed (read-only) game,
// $XDG_DATA_HOME/kovan/<the data folder's name>/ (~/.local/share when
// XDG_DATA_HOME is unset or not absolute). A folder that doesn't exist yet
// is created. The error says which folder could not be had.
[[nodiscard]] Result<std::string> ChooseSaveFolder(const std::string& dataPath,
                                                   const std::string& saveDir);

// The decision itself, without the system: dataWritable says whether the
// data folder takes writes; xdgDataHome and home are the environment's
// values ("" when unset).
std::string SaveFolderFor(const std::string& dataPath, const std::string& saveDir,
                          bool dataWritable, const std::string& xdgDataHome,
                          const std::string& home);

// The name a data folder's saves are kept under: the folder's own name, or
// its parent's when the folder is called "data" (as it is beside the
// program); characters other than letters, digits, '-', '_' and '.' become
// '_'.
std::string SaveFolderName(const std::string& dataPath);

// The local time now as "yyyy/mm/dd hh:mm".
std::string LocalMinuteStamp();

}  // namespace kovan
