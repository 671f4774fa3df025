#include "platform/files.h"

#include <gtest/gtest.h>

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

TEST(Files, WriteReadPatchAndRemove) {
  testing::TempDir dir;
  const std::string path = dir.path() + "f.bin";
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(FileLength(path), std::nullopt);
  Result<Bytes> missing = ReadFileBytes(path);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find(path), std::string::npos);

  Bytes bytes(100000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(WriteFileBytes(path, bytes).ok());
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(FileLength(path), std::optional<std::uint64_t>(100000));
  EXPECT_EQ(*ReadFileBytes(path), bytes);

  // Patching keeps the rest; writing replaces the whole.
  const std::uint8_t head[] = {0xFF, 0xFE, 0x00};
  ASSERT_TRUE(PatchFileStart(path, head, sizeof head).ok());
  Bytes patched = bytes;
  std::copy(head, head + 3, patched.begin());
  EXPECT_EQ(*ReadFileBytes(path), patched);
  ASSERT_TRUE(WriteFileBytes(path, Bytes{1, 2}).ok());
  EXPECT_EQ(*ReadFileBytes(path), (Bytes{1, 2}));
  ASSERT_TRUE(WriteFileBytes(path, Bytes{}).ok());
  EXPECT_EQ(FileLength(path), std::optional<std::uint64_t>(0));

  EXPECT_FALSE(PatchFileStart(dir.path() + "none.bin", head, 3).ok());
  EXPECT_FALSE(FileExists(dir.path() + "none.bin"));
  EXPECT_FALSE(WriteFileBytes(dir.path() + "no/such/folder.bin", bytes).ok());

  EXPECT_TRUE(RemoveFile(path).ok());
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(RemoveFile(path).ok());  // already gone
}

TEST(Files, KindsOfPaths) {
  testing::TempDir dir;
  Touch(dir.path() + "file");
  EXPECT_TRUE(DirExists(dir.path()));
  EXPECT_FALSE(DirExists(dir.path() + "file"));
  EXPECT_FALSE(FileExists(dir.path()));
  EXPECT_EQ(FileLength(dir.path()), std::nullopt);
  EXPECT_FALSE(ReadFileBytes(dir.path()).ok());
  EXPECT_TRUE(DirWritable(dir.path()));
  EXPECT_FALSE(DirWritable(dir.path() + "file"));
  EXPECT_FALSE(DirWritable(dir.path() + "missing"));

  const std::string exeDir = ExecutableDir();
  ASSERT_FALSE(exeDir.empty());
  EXPECT_EQ(exeDir.back(), '/');
  EXPECT_TRUE(FileExists(exeDir + "platform_tests"));
}

// --- the single-instance lock ------------------------------------------------------

TEST(InstanceLock, OneHolderPerKeyUntilReleased) {
  testing::TempDir dir;
  auto first = std::make_unique<InstanceLock>(dir.path());
  EXPECT_TRUE(first->Held());
  {
    InstanceLock second(dir.path());
    EXPECT_FALSE(second.Held());
    // The same folder spelt another way is the same game.
    InstanceLock third(dir.path() + "./");
    EXPECT_FALSE(third.Held());
  }
  InstanceLock other(dir.path() + "elsewhere");
  EXPECT_TRUE(other.Held());
  first.reset();
  InstanceLock again(dir.path());
  EXPECT_TRUE(again.Held());
}

}  // namespace
}  // namespace kovan
