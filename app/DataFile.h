// The data file: a 16-byte header (type code, band edges, save time) followed by image bytes 16-447.
#pragma once

#include "platform/rtl/Types.h"

constexpr Integer DataFileSize = 448;
constexpr Integer DataFileHeaderSize = 16;

// Fills the 16 header bytes: 0xFF, then the first 5 characters of Ident padded with blanks, the three
// digit pairs of BandDigits ("450470") as BCD, and year (little-endian), month, day, hour and minute
// from TimeText ("yyyy-MM-dd HH:mm"). A field that cannot be read stays 0xFF.
void EncodeFileHeader(Byte* Header, const String& Ident, const String& BandDigits, const String& TimeText);

// The header's ident (5 characters), band digits (6 upper-case hex digits) and save time
// ("yyyy-MM-dd HH:mm").
void DecodeFileHeader(const Byte* Header, String& IdentText, String& BandDigits, String& TimeText);

// Saves the image of ALL to FileName and clears Modified. The file is written beside the target under a
// temporary name and renamed over it, so a failed save leaves any previous file as it was; temporary
// files an earlier, killed save left there are removed.
// Raises EFCreateError or EWriteError on failure; the image and Modified are then unchanged.
void WriteDataFile(const String& FileName);

// Loads FileName into the image of ALL and makes the model and band of its band code current; of a
// longer file only the first DataFileSize bytes are read.
// False when the file is not a data file of a known model (shorter than DataFileSize or an unknown
// type code): the caller shows ModError; FileName is cleared and the image is unchanged.
// A file that cannot be opened, or is no regular file (a pipe, a device), raises EFOpenError after
// clearing FileName; the image is unchanged.
bool ReadDataFile(String& FileName);
