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

// A write replaces the whole file through a new one, so a link at the path
// is replaced, never followed; patching keeps the rest of the file.
TEST(Files, WriteReadPatchAndRemove) {
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

  const std::uint8_t head[] = {0xFF, 0xFE, 0x00};
  ASSERT_TRUE(PatchFileStart(path, head, sizeof head).ok());
  std::copy(head, head + 3, bytes.begin());
  EXPECT_EQ(*ReadFileBytes(path), bytes);
  ASSERT_TRUE(WriteFileBytes(path, Bytes{}).ok());
  EXPECT_EQ(FileLength(path), std::optional<std::uint64_t>(0));

  EXPECT_FALSE(PatchFileStart(dir.path() + "none.bin", head, 3).ok());
  EXPECT_FALSE(FileExists(dir.path() + "none.bin"));
  EXPECT_FALSE(WriteFileBytes(dir.path() + "no/such/folder.bin", bytes).ok());
  EXPECT_NE(ReadFileBytes(dir.path() + "none.bin").error().find("none.bin"), std::string::npos);
  EXPECT_TRUE(RemoveFile(path).ok());
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(RemoveFile(path).ok());  // already gone
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
