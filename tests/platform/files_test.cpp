#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/instance_lock.h"
#include "test_support.h"

namespace kovan {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Touch(const std::string& path, const std::string& content = "x") {
  std::ofstream(path, std::ios::binary) << content;
}

// --- names without regard to case ------------------------------------------------

TEST(ResolveNoCase, FindsFilesAndFoldersWhateverTheirCase) {
  testing::TempDir dir;
  fs::create_directory(dir.path() + "Data");
  Touch(dir.path() + "P1.DAT");
  Touch(dir.path() + "Data/Scene01.TXT");
  EXPECT_EQ(ResolveNoCase(dir.path(), "p1.dat"), dir.path() + "P1.DAT");
  EXPECT_EQ(ResolveNoCase(dir.path(), "P1.DAT"), dir.path() + "P1.DAT");
  EXPECT_EQ(ResolveNoCase(dir.path(), "data"), dir.path() + "Data");
  EXPECT_EQ(ResolveNoCase(dir.path(), "DATA/scene01.txt"), dir.path() + "Data/Scene01.TXT");
  // A folder given without its closing slash.
  const std::string bare = dir.path().substr(0, dir.path().size() - 1);
  EXPECT_EQ(ResolveNoCase(bare, "p1.dat"), dir.path() + "P1.DAT");
  // Nothing matches: the name comes back as asked, to fail where it's opened.
  EXPECT_EQ(ResolveNoCase(dir.path(), "p2.dat"), dir.path() + "p2.dat");
  EXPECT_EQ(ResolveNoCase(dir.path(), "nodir/p1.dat"), dir.path() + "nodir/p1.dat");
  EXPECT_EQ(ResolveNoCase(dir.path() + "missing/", "p1.dat"), dir.path() + "missing/p1.dat");
  // Only ASCII letters fold: 'ｐ' (full width) is another name.
  EXPECT_EQ(ResolveNoCase(dir.path(), "ｐ1.dat"), dir.path() + "ｐ1.dat");
}

TEST(ResolveNoCase, PrefersTheExactNameThenTheFirstInOrder) {
  testing::TempDir dir;
  Touch(dir.path() + "save.dat");
  Touch(dir.path() + "SAVE.DAT");
  Touch(dir.path() + "Save.Dat");
  EXPECT_EQ(ResolveNoCase(dir.path(), "Save.Dat"), dir.path() + "Save.Dat");
  EXPECT_EQ(ResolveNoCase(dir.path(), "save.DAT"), dir.path() + "SAVE.DAT");
}

// --- whole files -------------------------------------------------------------------

// A write replaces the whole file through a new one, so a link at the path
// is replaced, never followed.
TEST(Files, WriteReadRemoveAndKindsOfPaths) {
  testing::TempDir dir;
  const std::string path = dir.path() + "f.bin";
  Touch(dir.path() + "target", "kept");
  fs::create_symlink(dir.path() + "target", path);
  Bytes bytes(100000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(WriteFileBytes(path, bytes).ok());
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(testing::ReadAll(dir.path() + "target"), "kept");
  EXPECT_EQ(FileLength(path), std::optional<std::uint64_t>(100000));
  EXPECT_EQ(*ReadFileBytes(path), bytes);

  ASSERT_TRUE(WriteFileBytes(path, Bytes{}).ok());
  EXPECT_EQ(FileLength(path), std::optional<std::uint64_t>(0));

  EXPECT_FALSE(WriteFileBytes(dir.path() + "no/such/folder.bin", bytes).ok());
  EXPECT_NE(ReadFileBytes(dir.path() + "none.bin").error().find("none.bin"), std::string::npos);
  EXPECT_TRUE(RemoveFile(path).ok());
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(RemoveFile(path).ok());  // already gone

  // Kinds of paths.
  Touch(dir.path() + "file");
  EXPECT_TRUE(DirExists(dir.path()));
  EXPECT_FALSE(DirExists(dir.path() + "file"));
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_EQ(FileLength(dir.path()), std::nullopt);
  EXPECT_FALSE(ReadFileBytes(dir.path()).ok());
  // A named pipe is refused at once rather than waited on; a file longer
  // than asked for is refused before it is read.
  ASSERT_EQ(::mkfifo((dir.path() + "pipe").c_str(), 0600), 0);
  const auto pipe = ReadFileBytes(dir.path() + "pipe");
  ASSERT_FALSE(pipe.ok());
  EXPECT_NE(pipe.error().find("not a regular file"), std::string::npos) << pipe.error();
  Touch(dir.path() + "long", "12345");
  EXPECT_TRUE(ReadFileBytes(dir.path() + "long", 5).ok());
  EXPECT_FALSE(ReadFileBytes(dir.path() + "long", 4).ok());
  fs::create_symlink(dir.path() + "long", dir.path() + "link");
  EXPECT_FALSE(PlainFileExists(dir.path() + "link"));
  EXPECT_TRUE(PlainFileExists(dir.path() + "long"));
  EXPECT_TRUE(DirWritable(dir.path()));
  EXPECT_FALSE(DirWritable(dir.path() + "file"));
  EXPECT_FALSE(DirWritable(dir.path() + "missing"));
}

// --- the single-instance lock ------------------------------------------------------

// The lock is the folder's own: every spelling of it meets the same lock,
// and a folder that isn't there is neither held nor busy.
TEST(InstanceLock, OneHolderPerFolderUntilReleased) {
  testing::TempDir dir;
  auto first = std::make_unique<InstanceLock>(dir.path());
  EXPECT_TRUE(first->Held());
  {
    InstanceLock second(dir.path());
    EXPECT_TRUE(!second.Held() && second.Busy());
    fs::create_directory_symlink(dir.path(), dir.path() + "alias");
    InstanceLock third(dir.path() + "alias/./");
    EXPECT_TRUE(third.Busy());
  }
  InstanceLock missing(dir.path() + "elsewhere");
  EXPECT_TRUE(!missing.Held() && !missing.Busy());
  fs::create_directory(dir.path() + "other");
  InstanceLock other(dir.path() + "other");
  EXPECT_TRUE(other.Held());
  first.reset();
  InstanceLock again(dir.path());
  EXPECT_TRUE(again.Held());
}

}  // namespace
}  // namespace kovan
