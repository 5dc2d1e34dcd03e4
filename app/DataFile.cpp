#include "app/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/AllClass.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

String TwoDigits(Integer Value) { return Value < 10 ? "0" + IntToStr(Value) : IntToStr(Value); }

bool AllDigits(const String& Text, bool Hex) {
  for (char C : Text) {
    const bool Digit = (C >= '0' && C <= '9') || (Hex && ((C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f')));
    if (!Digit) return false;
  }
  return !Text.empty();
}

// Passes the decimal field of Text at Index to StoreValue; nothing when the field is not all digits.
template <typename Store>
void ReadField(const String& Text, Integer Index, Integer Count, Store StoreValue) {
  const String Field = Copy(Text, Index, Count);
  if (Length(Field) == Count && AllDigits(Field, false)) StoreValue(StrToInt(Field));
}

String ErrorText(int Error) { return std::strerror(Error); }

// Closes a descriptor and removes a temporary file unless released.
class TTemporaryFile {
public:
  TTemporaryFile(int Handle, String Name) : FHandle(Handle), FName(std::move(Name)) {}
  ~TTemporaryFile() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FName.empty()) ::unlink(FName.c_str());
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  int Handle() const { return FHandle; }
  const String& Name() const { return FName; }
  // Closes the descriptor; returns the error number or 0.
  int Close() {
    const int Result = ::close(FHandle);
    FHandle = -1;
    return Result == 0 ? 0 : errno;
  }
  // The file was renamed: nothing to remove any more.
  void Keep() { FName.clear(); }

private:
  int FHandle;
  String FName;
};

[[noreturn]] void RaiseWriteError(const String& FileName, int Error) {
  throw EWriteError("Cannot write file \"" + FileName + "\". " + ErrorText(Error));
}

// Writes Data under a temporary name in the target's directory, flushes it to the disk and renames it
// over the target, so the target is either the old file or the complete new one.
void WriteFileReplacing(const String& FileName, const Byte* Data, size_t Size) {
  // Replace the file a symbolic link points to, not the link.
  String Target = FileName;
  if (char* Resolved = ::realpath(FileName.c_str(), nullptr)) {
    Target = Resolved;
    std::free(Resolved);
  }
  String Dir = ExtractFilePath(Target);
  if (Dir.empty()) Dir = "./";
  String Pattern = Dir + "." + ExtractFileName(Target) + ".XXXXXX";
  const int Handle = ::mkstemp(Pattern.data());
  if (Handle < 0) throw EFCreateError("Cannot create file \"" + FileName + "\". " + ErrorText(errno));
  TTemporaryFile Temp(Handle, Pattern);

  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat Old {};
  mode_t Mode;
  if (::stat(Target.c_str(), &Old) == 0) {
    Mode = Old.st_mode & 07777;
  } else {
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    Mode = 0666 & ~Mask;
  }
  ::fchmod(Temp.Handle(), Mode);

  size_t Done = 0;
  while (Done < Size) {
    const ssize_t Count = ::write(Temp.Handle(), Data + Done, Size - Done);
    if (Count < 0) {
      if (errno == EINTR) continue;
      RaiseWriteError(FileName, errno);
    }
    if (Count == 0) RaiseWriteError(FileName, EIO);
    Done += static_cast<size_t>(Count);
  }
  if (::fsync(Temp.Handle()) != 0) RaiseWriteError(FileName, errno);
  if (const int Error = Temp.Close()) RaiseWriteError(FileName, Error);
  if (::rename(Temp.Name().c_str(), Target.c_str()) != 0) RaiseWriteError(FileName, errno);
  Temp.Keep();

  // Make the rename itself durable.
  const int DirHandle = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (DirHandle >= 0) {
    ::fsync(DirHandle);
    ::close(DirHandle);
  }
}

}  // namespace

void EncodeFileHeader(Byte* Header, const String& Ident, const String& BandDigits, const String& TimeText) {
  std::memset(Header, 0xFF, DataFileHeaderSize);
  const String Padded = Copy(Ident + "        ", 1, 5);
  for (Integer I = 0; I < Length(Padded); ++I) Header[I] = static_cast<Byte>(Padded[I]);
  for (Integer I = 0; I < 3; ++I) {
    const String Pair = Copy(BandDigits, 2 * I + 1, 2);
    if (Length(Pair) == 2 && AllDigits(Pair, true)) Header[5 + I] = static_cast<Byte>(HexToInt(Pair));
  }
  ReadField(TimeText, 1, 4, [&](Integer Year) {
    Header[8] = static_cast<Byte>(Year & 0xFF);
    Header[9] = static_cast<Byte>((Year >> 8) & 0xFF);
  });
  const Integer Positions[4] = {6, 9, 12, 15};  // month, day, hour, minute
  for (Integer I = 0; I < 4; ++I)
    ReadField(TimeText, Positions[I], 2, [&](Integer Value) { Header[10 + I] = static_cast<Byte>(Value); });
}

void DecodeFileHeader(const Byte* Header, String& IdentText, String& BandDigits, String& TimeText) {
  IdentText = BytesToText(Header, 5);
  BandDigits.clear();
  for (Integer I = 5; I < 8; ++I) BandDigits += IntToHex(static_cast<Integer>(Header[I]), 2);
  TimeText = IntToStr(Header[9] * 256 + Header[8]) + "-" + TwoDigits(Header[10]) + "-" +
             TwoDigits(Header[11]) + " " + TwoDigits(Header[12]) + ":" + TwoDigits(Header[13]);
}

void WriteDataFile(const String& FileName) {
  Byte Data[DataFileSize];
  const String BandDigits = FormatFloat("000", ALL->BandLow) + FormatFloat("000", ALL->BandHigh);
  const String TimeText = FormatDateTime("yyyy-MM-dd HH:mm", Now());
  EncodeFileHeader(Data, "P" + ALL->TypeCode, BandDigits, TimeText);
  std::copy(ALL->Image.begin() + DataFileHeaderSize, ALL->Image.end(), Data + DataFileHeaderSize);
  WriteFileReplacing(FileName, Data, sizeof Data);
  ALL->Modified = false;
}

bool ReadDataFile(String& FileName) {
  Byte Data[DataFileSize];
  Int64 Size = 0;
  try {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    Size = Stream.Size();
    if (Size == DataFileSize) Stream.ReadBuffer(Data, DataFileSize);
  } catch (...) {
    FileName.clear();
    throw;
  }
  // Every file this program writes is exactly this long; anything else would mix old and new bytes.
  if (Size != DataFileSize) {
    FileName.clear();
    return false;
  }

  String IdentText, BandDigits, TimeText;
  DecodeFileHeader(Data, IdentText, BandDigits, TimeText);
  TMacType* Model = MacList->FindByTypeCode(Trim(Copy(IdentText, 2, Length(IdentText))));
  if (Model == nullptr) {
    FileName.clear();
    return false;
  }

  // The header's band edges; the band code below replaces them with the edges of its band.
  if (AllDigits(Copy(BandDigits, 1, 3), false)) ALL->BandLow = StrToInt(Copy(BandDigits, 1, 3));
  if (AllDigits(Copy(BandDigits, 4, 3), false)) ALL->BandHigh = StrToInt(Copy(BandDigits, 4, 3));

  std::copy(Data + DataFileHeaderSize, Data + DataFileSize, ALL->Image.begin() + DataFileHeaderSize);
  std::copy(Data, Data + 8, ALL->Image.begin() + ofsPassword);
  ALL->SelectModelByBand(Model, ALL->Image[ofsBandCode], true);
  ALL->SanitizeSettings();
  ALL->Modified = false;
  return true;
}
