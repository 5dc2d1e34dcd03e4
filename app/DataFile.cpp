#include "app/DataFile.h"

#include <cerrno>
#include <cstring>

#include "app/AllClass.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/Files.h"
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

// Writes Data beside the target and renames it over it, so the target is either the old file or the
// complete new one.
void SaveBytes(const String& FileName, const Byte* Data, size_t Size) {
  bool Created = false;
  const int Error = WriteFileReplacing(FileName, Data, Size, &Created);
  if (!Created) throw EFCreateError(Format(classesconsts::SFCreateErrorEx, FileName, ErrorText(Error)));
  if (Error != 0) throw EWriteError("Cannot write file \"" + FileName + "\". " + ErrorText(Error));
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
  SaveBytes(FileName, Data, sizeof Data);
  ALL->Modified = false;
}

bool ReadDataFile(String& FileName) {
  // Only the first DataFileSize bytes count; a pipe or device is refused without being read.
  String Bytes;
  if (const int Error = ReadFileHead(FileName, DataFileSize, Bytes)) {
    const String Reason = Error == EINVAL ? String("Not a regular file") : ErrorText(Error);
    const String Name = FileName;
    FileName.clear();
    throw EFOpenError(Format(classesconsts::SFOpenErrorEx, Name, Reason));
  }
  // A shorter file would mix old and new bytes in the image.
  if (Bytes.size() < static_cast<size_t>(DataFileSize)) {
    FileName.clear();
    return false;
  }
  Byte Data[DataFileSize];
  std::memcpy(Data, Bytes.data(), DataFileSize);

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
