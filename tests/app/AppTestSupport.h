// Fixtures shared by the application tests: temporary directories and a started document.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/AllClass.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Types.h"

namespace app_test {

// A fresh directory (with a trailing delimiter), removed with its contents.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const String& Path() const { return path_; }

private:
  String path_;
};

void WriteFile(const String& FileName, const String& Bytes);
String ReadFile(const String& FileName);
std::vector<Byte> ReadBytes(const String& FileName);
// The strings of a list, in order.
std::vector<String> Lines(const TStrings& Strings);

// The document objects as start-up leaves them, with the program in Dir/app/ (created unless told
// otherwise) and the user's configuration directory at Dir/config/. Torn down after each test.
class DocumentTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // (Re)starts the document objects with AppDir as the program directory.
  void Start(const String& AppDir);
  // The default model and band and a new blank image, as the main window does on show.
  void SelectDefaultModelAndNewImage();
  // Frees the document objects.
  static void Stop();

  String AppDir() const { return dir_.Path() + "app/"; }
  String ConfigDir() const { return dir_.Path() + "config/"; }
  const TTempDir& Dir() const { return dir_; }

private:
  TTempDir dir_;
  String savedConfigHome_;
  bool hadConfigHome_ = false;
};

// Pins Now() to 2026-03-07 09:05:01 for its lifetime.
class TFixedClock {
public:
  TFixedClock();
  ~TFixedClock();
};

}  // namespace app_test
