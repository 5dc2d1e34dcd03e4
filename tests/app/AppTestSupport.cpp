#include "tests/app/AppTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/Startup.h"
#include "platform/rtl/SysUtils.h"

namespace app_test {

TTempDir::TTempDir() {
  char Pattern[] = "/tmp/k58app.XXXXXX";
  const char* Made = ::mkdtemp(Pattern);
  if (Made == nullptr) throw std::runtime_error("cannot create a temporary directory");
  path_ = String(Made) + "/";
}

TTempDir::~TTempDir() {
  namespace fs = std::filesystem;
  std::error_code Error;
  // Directories made read-only by a test must be writable again to be emptied.
  for (auto It = fs::recursive_directory_iterator(path_, Error); !Error && It != fs::end(It);
       It.increment(Error))
    if (It->is_directory(Error))
      fs::permissions(It->path(), fs::perms::owner_all, fs::perm_options::add, Error);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, Error);
  fs::remove_all(path_, Error);
}

void WriteFile(const String& FileName, const String& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  Out << Bytes;
  if (!Out) throw std::runtime_error("cannot write " + FileName);
}

String ReadFile(const String& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

std::vector<Byte> ReadBytes(const String& FileName) {
  const String Text = ReadFile(FileName);
  return std::vector<Byte>(Text.begin(), Text.end());
}

void DocumentTest::SetUp() {
  if (const char* Value = std::getenv("XDG_CONFIG_HOME")) {
    hadConfigHome_ = true;
    savedConfigHome_ = Value;
  }
  ::setenv("XDG_CONFIG_HOME", ConfigDir().c_str(), 1);
  std::filesystem::create_directories(AppDir());
  Start(AppDir());
}

void DocumentTest::TearDown() {
  Stop();
  if (hadConfigHome_)
    ::setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

void DocumentTest::Start(const String& Dir) {
  Stop();
  CreateDocumentObjects(Dir + "k58");
}

void DocumentTest::SelectDefaultModelAndNewImage() {
  ALL->SelectModelByBand(MacList->GetItem(0), 0, false);
  ALL->NewImage();
  ParseBand(ALL->BandText, ALL->BandLow, ALL->BandHigh);
}

void DocumentTest::Stop() {
  delete ALL;
  delete Language;
  delete FrqList;
  delete MacList;
  ALL = nullptr;
  Language = nullptr;
  FrqList = nullptr;
  MacList = nullptr;
}

TFixedClock::TFixedClock() {
  SetNowProvider([] { return EncodeDateTime(2026, 3, 7, 9, 5, 1, 0); });
}

TFixedClock::~TFixedClock() { SetNowProvider({}); }

std::vector<String> Lines(const TStrings& Strings) {
  std::vector<String> Result;
  for (Integer I = 0; I < Strings.Count(); ++I) Result.push_back(Strings.Get(I));
  return Result;
}

}  // namespace app_test
