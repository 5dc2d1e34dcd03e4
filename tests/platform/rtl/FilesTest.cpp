#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

TEST(Files, NameParts) {
  const struct {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  } cases[] = {
      {"/a/b/c.dat", "/a/b/", "/a/b", "c.dat", ".dat"},
      {"c.dat", "", "", "c.dat", ".dat"},
      {"/a.b/c", "/a.b/", "/a.b", "c", ""},
      {"/x", "/", "/", "x", ""},
      {"/a/b/", "/a/b/", "/a/b", "", ""},
      {"a/.hidden", "a/", "a", ".hidden", ".hidden"},
      {"a/b.tar.gz", "a/", "a", "b.tar.gz", ".gz"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("/a/b.rpf", ".prn"), "/a/b.prn");
  EXPECT_EQ(ChangeFileExt("/a.d/b", ".ini"), "/a.d/b.ini");
  EXPECT_EQ(ChangeFileExt("b.dat", ""), "b");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(PathCombine("/a/", "/b"), "/a/b");
}

TEST(Files, ExistenceAndDirectories) {
  char tmpl[] = "/tmp/k58rtlXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const String dir = tmpl;
  const String file = dir + "/f.txt";
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(dir));  // a directory is not a file
  EXPECT_FALSE(FileExists(file));
  FILE* f = fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(""));
  const String deep = dir + "/x/y/z/";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(ForceDirectories(file + "/sub"));  // a file is in the way
  rmdir((dir + "/x/y/z").c_str());
  rmdir((dir + "/x/y").c_str());
  rmdir((dir + "/x").c_str());
  unlink(file.c_str());
  rmdir(dir.c_str());
}

TEST(Files, ProgramLocation) {
  const String exe = ParamStr(0);
  EXPECT_EQ(ExtractFileName(exe), "rtl_tests");
  EXPECT_EQ(exe[0], '/');
  EXPECT_EQ(ProgramDir(), ExtractFilePath(exe));
  EXPECT_EQ(ProgramDir().back(), '/');
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
  EXPECT_GE(ParamCount(), 0);
}

}  // namespace rtl_test
