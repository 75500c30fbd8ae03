// Copying files (the options and export backups).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core_test_support.h"
#include "storage/file_copy.h"

namespace kistora {
namespace {

using namespace testing;

TEST(CopyFileTo, CopiesAndHonoursFailIfExists) {
  TempDir dir;
  const std::string source = dir.File("kistora.ini");
  const std::string target = dir.File("kistora.ini.bak");
  std::string content(200000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  WriteBytes(source, content);

  EXPECT_TRUE(CopyFileTo(source, target, true));
  EXPECT_EQ(ReadBytes(target), content);

  WriteBytes(target, "older backup");
  EXPECT_FALSE(CopyFileTo(source, target, true));
  EXPECT_EQ(ReadBytes(target), "older backup");

  EXPECT_TRUE(CopyFileTo(source, target, false));
  EXPECT_EQ(ReadBytes(target), content);
  EXPECT_EQ(ReadBytes(source), content);
}

TEST(CopyFileTo, FailuresReportFalseAndDamageNothing) {
  TempDir dir;
  const std::string source = dir.File("a.txt");
  WriteBytes(source, "content");
  EXPECT_FALSE(CopyFileTo(dir.File("missing.txt"), dir.File("b.txt"), false));
  EXPECT_FALSE(CopyFileTo(source, source, false));  // a file copied onto itself is not emptied
  EXPECT_EQ(ReadBytes(source), "content");
  EXPECT_FALSE(CopyFileTo(source, dir.File("a.txt/b.txt"), false));
  EXPECT_FALSE(CopyFileTo(dir.Path(), dir.File("b.txt"), false));  // a directory is not copied
  EXPECT_FALSE(CopyFileTo(source, dir.File(std::string(300, 'x')), false));
  EXPECT_FALSE(CopyFileTo(source, dir.Path() + std::string(8000, '/') + "b.txt", false));
  EXPECT_FALSE(CopyFileTo(std::string(70000, 'y'), dir.File("b.txt"), false));
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"a.txt"});
}

}  // namespace
}  // namespace kistora
