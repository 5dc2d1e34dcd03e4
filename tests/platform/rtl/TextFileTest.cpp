#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "platform/rtl/SysUtils.h"

namespace rtl_test {

namespace {

class TextFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/k58txtXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    unlink((dir_ + "/log.txt").c_str());
    rmdir(dir_.c_str());
  }
  String ReadAll(const String& name) {
    TextFile f;
    AssignFile(f, name);
    String all, line;
    if (Reset(f) != 0) return "<none>";
    while (ReadLn(f, line) == 0) all += line + "|";
    CloseFile(f);
    return all;
  }
  String dir_;
};

}  // namespace

TEST_F(TextFileTest, RewriteAppendAndRead) {
  const String name = dir_ + "/log.txt";
  TextFile f;
  AssignFile(f, name);
  EXPECT_EQ(Append(f), 2);  // append needs an existing file
  ASSERT_EQ(Rewrite(f), 0);
  EXPECT_EQ(WriteLn(f, "first"), 0);
  EXPECT_EQ(Write(f, "sec"), 0);
  EXPECT_EQ(WriteLn(f, "ond"), 0);
  EXPECT_EQ(CloseFile(f), 0);
  ASSERT_EQ(Append(f), 0);
  EXPECT_EQ(WriteLn(f, String(600, 'x')), 0);  // longer than the buffer
  EXPECT_EQ(CloseFile(f), 0);
  EXPECT_EQ(ReadAll(name), "first|second|" + String(600, 'x') + "|");
}

TEST_F(TextFileTest, ErrorsComeBackAsNumbers) {
  TextFile f;
  EXPECT_EQ(Rewrite(f), 102);
  EXPECT_EQ(Write(f, "x"), 103);
  EXPECT_EQ(CloseFile(f), 103);
  AssignFile(f, dir_ + "/missing/log.txt");
  EXPECT_EQ(Rewrite(f), 2);
  AssignFile(f, dir_);
  EXPECT_EQ(Rewrite(f), 5);  // a directory
  try {
    InOutCheck(5);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, 5);
    EXPECT_EQ(e.Message(), "I/O error 5");
  }
  EXPECT_NO_THROW(InOutCheck(0));
}

}  // namespace rtl_test
