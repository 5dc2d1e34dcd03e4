// The data file: header bytes, saving, opening, and files that are not data files of a known model.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "app/AllClass.h"
#include "app/DataFile.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"
#include "tests/app/AppTestSupport.h"

namespace {

using app_test::ReadBytes;
using app_test::ReadFile;
using app_test::TFixedClock;
using app_test::WriteFile;

std::vector<Byte> Header(const String& Ident, const String& BandDigits, const String& TimeText) {
  std::vector<Byte> Bytes(DataFileHeaderSize, 0);
  EncodeFileHeader(Bytes.data(), Ident, BandDigits, TimeText);
  return Bytes;
}

TEST(FileHeader, EncodeAndDecode) {
  const std::vector<Byte> Golden = {'P',  'Z',  'R',  'Q',  'X',  0x45, 0x04, 0x70,
                                    0xEA, 0x07, 0x03, 0x07, 0x09, 0x05, 0xFF, 0xFF};
  EXPECT_EQ(Header("PZRQX", "450470", "2026-03-07 09:05"), Golden);

  String Ident, Digits, Time;
  DecodeFileHeader(Golden.data(), Ident, Digits, Time);
  EXPECT_EQ(Ident, "PZRQX");
  EXPECT_EQ(Digits, "450470");
  EXPECT_EQ(Time, "2026-03-07 09:05");
}

TEST(FileHeader, ShortOrUnreadableFieldsStayFilled) {
  // The ident is padded with blanks; fields that are no numbers stay 0xFF.
  EXPECT_EQ(Header("P", "4x0470", "2026-3-7"),
            (std::vector<Byte>{'P', ' ', ' ', ' ', ' ', 0xFF, 0x04, 0x70, 0xEA, 0x07, 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0xFF}));
  EXPECT_EQ(Header("PZRQXY", "", ""), (std::vector<Byte>{'P', 'Z', 'R', 'Q', 'X', 0xFF, 0xFF, 0xFF, 0xFF,
                                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  String Ident, Digits, Time;
  const std::vector<Byte> Blank(DataFileHeaderSize, 0xFF);
  DecodeFileHeader(Blank.data(), Ident, Digits, Time);
  EXPECT_EQ(Digits, "FFFFFF");
  EXPECT_EQ(Time, "65535-255-255 255:255");
}

class DataFile : public app_test::DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    TFixedClock Clock;
    SelectDefaultModelAndNewImage();
    FileName = Dir().Path() + "radio.dat";
  }

  // Fills the image with a pattern that survives the settings clamp.
  void FillImage() {
    for (Integer I = 0; I < ImageSize; ++I) ALL->Image[I] = static_cast<Byte>(I * 7 + 3);
    ALL->SanitizeSettings();
  }

  // A data file made of a saved image with some bytes changed.
  String SavedFileWith(std::initializer_list<std::pair<Integer, Byte>> Changes) {
    WriteDataFile(FileName);
    String Bytes = ReadFile(FileName);
    for (const auto& [Offset, Value] : Changes) Bytes[Offset] = static_cast<char>(Value);
    return Bytes;
  }

  String FileName;
};

TEST_F(DataFile, BlankImageWithTheDefaultModel) {
  {
    TFixedClock Clock;
    WriteDataFile(FileName);
  }
  const auto Bytes = ReadBytes(FileName);
  ASSERT_EQ(Bytes.size(), 448u);
  EXPECT_EQ(std::vector<Byte>(Bytes.begin(), Bytes.begin() + 16),
            (std::vector<Byte>{'P', 'Z', 'R', 'Q', 'X', 0x45, 0x04, 0x70, 0xEA, 0x07, 0x03, 0x07, 0x09, 0x05,
                               0xFF, 0xFF}));
  EXPECT_TRUE(std::equal(Bytes.begin() + 16, Bytes.end(), ALL->Image.begin() + 16));
}

TEST_F(DataFile, SaveThenOpenReproducesTheImage) {
  FillImage();
  ALL->Modified = true;
  WriteDataFile(FileName);
  EXPECT_FALSE(ALL->Modified);
  const TMemoryImage Saved = ALL->Image;

  TFixedClock Clock;
  ALL->NewImage();
  ALL->Modified = true;
  const TMemoryImage Blank = ALL->Image;
  String Name = FileName;
  ASSERT_TRUE(ReadDataFile(Name));
  EXPECT_EQ(Name, FileName);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_TRUE(std::equal(Saved.begin() + 16, Saved.end(), ALL->Image.begin() + 16));
  // The password bytes show the header's first 8 bytes; the new password is not in the file.
  const auto File = ReadBytes(FileName);
  EXPECT_TRUE(std::equal(File.begin(), File.begin() + 8, ALL->Image.begin()));
  EXPECT_TRUE(std::equal(Blank.begin() + 8, Blank.begin() + 16, ALL->Image.begin() + 8));
}

TEST_F(DataFile, OpeningSanitizesTheSettings) {
  WriteFile(FileName, SavedFileWith({{308, 0x20}, {323, 0x40}}));
  ASSERT_TRUE(ReadDataFile(FileName));
  EXPECT_EQ(ALL->Image[308], 4);
  EXPECT_EQ(ALL->Image[323], 6);
}

TEST_F(DataFile, TheBandCodeDecidesTheModel) {
  // The header says 450-470 MHz, the band code 150-174 MHz.
  WriteFile(FileName, SavedFileWith({{ofsBandCode, 0xF0}}));
  ASSERT_TRUE(ReadDataFile(FileName));
  EXPECT_EQ(ALL->ModelName, "K58(VHF)");
  EXPECT_EQ(ALL->BandText, "150 - 174MHz");
  EXPECT_EQ(ALL->BandLow, 150);
  EXPECT_EQ(ALL->BandHigh, 174);
  EXPECT_EQ(ALL->Image[ofsBandCode], 0xF0);
}

TEST_F(DataFile, ABandCodeNoModelListsKeepsTheCurrentModel) {
  ALL->SelectModelByBand(nullptr, 0xF6, true);
  WriteFile(FileName, SavedFileWith({{ofsBandCode, 0xFD}, {5, 0x02}, {6, 0x70}, {7, 0x72}}));
  ASSERT_TRUE(ReadDataFile(FileName));
  EXPECT_EQ(ALL->CurrentModel, MacList->GetItem(0));
  EXPECT_EQ(ALL->BandText, "470 - 650MHz");
  EXPECT_EQ(ALL->BandLow, 470);
  EXPECT_EQ(ALL->BandHigh, 650);
  EXPECT_EQ(ALL->Image[ofsBandCode], 0xF6);
}

TEST_F(DataFile, FilesThatAreNoDataFilesAreRefusedAndChangeNothing) {
  FillImage();
  const String Valid = SavedFileWith({});
  std::mt19937 Random(58);
  String Noise(448, '\0');
  for (char& C : Noise) C = static_cast<char>(Random());
  String UnknownType = Valid;
  UnknownType.replace(0, 5, "PABCD");

  struct {
    const char* Name;
    String Bytes;
  } const Cases[] = {
      {"empty", ""},
      {"shorter than the header", Valid.substr(0, 15)},
      {"truncated", Valid.substr(0, 447)},
      {"random bytes", Noise},
      {"unknown type code", UnknownType},
  };
  ALL->SelectModelByBand(nullptr, 0xF0, true);
  ALL->NewImage();
  ALL->Modified = true;
  const TMemoryImage Before = ALL->Image;
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    WriteFile(FileName, Case.Bytes);
    String Name = FileName;
    EXPECT_FALSE(ReadDataFile(Name));
    EXPECT_EQ(Name, "");
    EXPECT_EQ(ALL->Image, Before);
    EXPECT_EQ(ALL->ModelName, "K58(VHF)");
    EXPECT_EQ(ALL->BandText, "150 - 174MHz");
    EXPECT_TRUE(ALL->Modified);
  }
}

TEST_F(DataFile, OfALongerFileOnlyTheFirstBytesAreRead) {
  FillImage();
  const String Valid = SavedFileWith({});
  ALL->NewImage();
  String Name = FileName;
  ASSERT_TRUE(ReadDataFile(Name));
  const TMemoryImage Expected = ALL->Image;
  String Other = Valid;
  for (Integer I = DataFileHeaderSize; I < DataFileSize; ++I) Other[I] = static_cast<char>(0xA5);

  for (const String& Bytes : {Valid + "x", Valid + Other, Valid + String(100000, '\0')}) {
    SCOPED_TRACE(Bytes.size());
    ALL->NewImage();
    ALL->Modified = true;
    WriteFile(FileName, Bytes);
    Name = FileName;
    ASSERT_TRUE(ReadDataFile(Name));
    EXPECT_EQ(Name, FileName);
    EXPECT_EQ(ALL->Image, Expected);
    EXPECT_FALSE(ALL->Modified);
  }
}

TEST_F(DataFile, ARandomImageBehindAValidHeaderOpensWithSettingsInRange) {
  std::mt19937 Random(1958);
  for (Integer Round = 0; Round < 20; ++Round) {
    SCOPED_TRACE(Round);
    String Bytes = SavedFileWith({});
    for (Integer I = DataFileHeaderSize; I < DataFileSize; ++I) Bytes[I] = static_cast<char>(Random());
    WriteFile(FileName, Bytes);
    String Name = FileName;
    ASSERT_TRUE(ReadDataFile(Name));
    ASSERT_NE(ALL->CurrentModel, nullptr);
    EXPECT_EQ(ALL->Image[ofsBandCode], FrqList->CodeOfBand(ALL->BandText));
    EXPECT_LE(ALL->Image[308], 8);
    EXPECT_LE(ALL->Image[316] & 0x0F, 2);
    EXPECT_LE(ALL->Image[316] >> 4, 2);
    EXPECT_LE(ALL->Image[317], 2);
    EXPECT_LE(ALL->Image[318], 4);
    EXPECT_LE(ALL->Image[321], 9);
    EXPECT_LE(ALL->Image[322], 3);
    EXPECT_LE(ALL->Image[323], 30);
    const std::vector<Byte> File(Bytes.begin(), Bytes.end());
    EXPECT_TRUE(std::equal(File.begin() + 384, File.end(), ALL->Image.begin() + 384));
  }
}

TEST_F(DataFile, AFileThatCannotBeOpenedRaisesAndClearsTheName) {
  const TMemoryImage Before = ALL->Image;
  for (const String& Path : {Dir().Path() + "missing.dat", Dir().Path()}) {
    SCOPED_TRACE(Path);
    String Name = Path;
    EXPECT_THROW(ReadDataFile(Name), EFOpenError);
    EXPECT_EQ(Name, "");
    EXPECT_EQ(ALL->Image, Before);
  }
}

TEST_F(DataFile, APipeOrADeviceIsRefusedWithoutBeingRead) {
  // A pipe with no writer would block the open for ever; a device like /dev/zero never ends.
  const String Pipe = Dir().Path() + "pipe.dat";
  ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
  const TMemoryImage Before = ALL->Image;
  ALL->Modified = true;
  for (const String& Path : {Pipe, String("/dev/zero"), String("/dev/null")}) {
    SCOPED_TRACE(Path);
    String Name = Path;
    try {
      ReadDataFile(Name);
      ADD_FAILURE() << "no error";
    } catch (const EFOpenError& E) {
      EXPECT_EQ(E.Message(), "Cannot open file \"" + Path + "\". Not a regular file");
    }
    EXPECT_EQ(Name, "");
    EXPECT_EQ(ALL->Image, Before);
    EXPECT_TRUE(ALL->Modified);
  }
}

TEST_F(DataFile, SavingIntoAMissingDirectoryRaises) {
  ALL->Modified = true;
  EXPECT_THROW(WriteDataFile(Dir().Path() + "no/such/dir/radio.dat"), EFCreateError);
  EXPECT_TRUE(ALL->Modified);
}

// Writes fail beyond this file size for the lifetime of the guard.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Limit) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit Small = saved_;
    Small.rlim_cur = Limit;
    ::setrlimit(RLIMIT_FSIZE, &Small);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, handler_);
  }

private:
  rlimit saved_{};
  sighandler_t handler_;
};

TEST_F(DataFile, AFailedSaveKeepsThePreviousFile) {
  FillImage();
  WriteDataFile(FileName);
  const String Previous = ReadFile(FileName);

  ALL->NewImage();
  ALL->Modified = true;
  {
    TFileSizeLimit Limit(100);
    EXPECT_THROW(WriteDataFile(FileName), EWriteError);
  }
  EXPECT_EQ(ReadFile(FileName), Previous);
  EXPECT_TRUE(ALL->Modified);
  // No temporary file is left behind.
  Integer Files = 0;
  for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator(Dir().Path()))
    if (Entry.is_regular_file()) ++Files;
  EXPECT_EQ(Files, 1);
}

TEST_F(DataFile, SavingReplacesTheFileALinkPointsTo) {
  const String Target = Dir().Path() + "target.dat";
  const String Link = Dir().Path() + "link.dat";
  WriteFile(Target, "old");
  std::filesystem::create_symlink(Target, Link);
  WriteDataFile(Link);
  EXPECT_TRUE(std::filesystem::is_symlink(Link));
  EXPECT_EQ(ReadFile(Target).size(), 448u);
}

std::vector<String> FileNames(const String& Dir) {
  std::vector<String> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(Dir)) Names.push_back(Entry.path().filename());
  std::sort(Names.begin(), Names.end());
  return Names;
}

TEST_F(DataFile, ASaveRemovesTheTemporaryFilesOfAKilledSave) {
  WriteFile(FileName, "old");
  const String Stale = Dir().Path() + ".radio.dat.Ab3xYz";
  WriteFile(Stale, "part of a save that was killed");
  WriteFile(Dir().Path() + ".other.dat.Ab3xYz", "another file's");
  WriteFile(Dir().Path() + "radio.dat.Ab3xYz", "not hidden");
  WriteFile(Dir().Path() + ".radio.dat.Ab3x", "shorter");
  // A save still running holds a lock on its temporary file.
  const String Running = Dir().Path() + ".radio.dat.Run123";
  WriteFile(Running, "");
  const int Handle = ::open(Running.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(Handle, LOCK_EX), 0);

  WriteDataFile(FileName);
  ::close(Handle);
  EXPECT_EQ(FileNames(Dir().Path()), (std::vector<String>{".other.dat.Ab3xYz", ".radio.dat.Ab3x",
                                                         ".radio.dat.Run123", "app", "radio.dat",
                                                         "radio.dat.Ab3xYz"}));
  EXPECT_EQ(ReadFile(FileName).size(), 448u);
}

}  // namespace
