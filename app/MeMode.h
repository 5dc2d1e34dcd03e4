// The radio's memory image: layout, channel and tone codecs, write time, password scramble and the small
// byte and text helpers the editing windows share.
//
// Image offset = radio address + 16. Offsets 0-15 (password texts) and 384-447 exist only in the program
// and the data file; 16-383 are the radio's memory.
#pragma once

#include <array>

#include "platform/rtl/Types.h"

constexpr Integer ImageSize = 448;
using TMemoryImage = std::array<Byte, ImageSize>;

// Image offsets.
constexpr Integer ofsPassword = 0;     // 8 characters, blank-padded
constexpr Integer ofsNewPassword = 8;  // 8 characters, blank-padded
constexpr Integer ofsRadio = 16;       // first byte that goes to the radio (address 0x000)
constexpr Integer ofsChannels = 32;    // channel n at 16 + 16 * n
constexpr Integer ChannelRecordSize = 16;
constexpr Integer MaxChannels = 16;
constexpr Integer ofsFunction = 304;  // 20 function-setting bytes
constexpr Integer FunctionSize = 20;
constexpr Integer ofsIdent = 336;  // "P", type code, band code, 0, 0
constexpr Integer ofsBandCode = 341;
constexpr Integer ofsPasswordBlock = 344;              // scrambled password as the radio holds it
constexpr Integer ofsSerial = 352;                     // 16 ASCII characters
constexpr Integer ofsWriteTime = 368;                  // year lo, year hi, month, day, hour, minute, second
constexpr Integer ofsRadioEnd = 384;                   // first file-only byte
constexpr Integer RadioSize = ofsRadioEnd - ofsRadio;  // 368 bytes, radio addresses 0x000-0x16F

// Offset of the 16-byte record of channel Channel (1..16).
constexpr Integer ChannelOffset(Integer Channel) { return ofsRadio + ChannelRecordSize * Channel; }

// Flag byte (byte 12 of a channel record). Bits 0, 4, 5 and 6 are active-low.
constexpr Byte flBusyLock = 0x01;   // 0 = on
constexpr Byte flBit1 = 0x02;       // decoded, edited nowhere
constexpr Byte flNarrow = 0x04;     // 0 = wide, 1 = narrow
constexpr Byte flHighPower = 0x08;  // 0 = low, 1 = high
constexpr Byte flNoScan = 0x10;     // 0 = in the scan list
constexpr Byte flCompander = 0x20;  // 0 = on
constexpr Byte flScrambler = 0x40;  // 0 = on
constexpr Byte flWhisper = 0x80;    // 0 = on

// Kinds of SetChannelField.
enum TChannelField : Integer {
  cfRxFrequency = 0,
  cfTxFrequency = 1,
  cfRxTone = 2,
  cfTxTone = 3,
  cfFlagBit0 = 4,  // kinds 4..11 are flag bits 0..7
  cfFlagBit7 = 11,
};

// Function-setting values of the blank image, bytes 304 to 323.
extern const std::array<Byte, FunctionSize> DefaultFunctionSettings;

// Key of the password scramble.
constexpr Byte PasswordKey = 0x6B;

// Frequency text in MHz ("450.0125", "450.0125MHz") to 8 BCD digits of 10 Hz, least significant pair
// first. Empty text gives FF FF FF FF. Not a number, negative, or 1000 MHz and above raises EConvertError.
std::array<Byte, 4> EncodeFrequency(const String& Text);

// 4 BCD bytes to MHz; -1.0 when the bytes are not BCD (FF FF FF FF = no frequency).
double DecodeFrequency(const Byte* Bytes);

// Tone text to the 2-byte tone word, low byte first: "" gives FF FF, "D023N" 23 80, "D754I" 54 C7,
// "88.5" 85 08. A text ending in "Hz" is read before it. Text the word cannot hold raises EConvertError.
std::array<Byte, 2> EncodeTone(const String& Text);

// Tone word (low byte, high byte) to its text: "" for no tone or a word that is not a tone.
String DecodeTone(Byte Low, Byte High);

// Decoded channel record as the windows show it.
struct TChannelValues {
  double RxMHz = -1.0;
  double TxMHz = -1.0;  // -1.0: no transmit frequency
  String RxTone;        // "" = none
  String TxTone;
  std::array<Integer, 7> Flags{};  // bits 0 to 6 as 0 or 1
};

// Decodes one 16-byte record. False for an empty channel (receive bytes not BCD); then only RxMHz is
// set (-1.0) and the other outputs are left as they were.
bool DecodeChannel(const Byte* Record, TChannelValues& Values);

// Snaps a frequency to the channel steps: unchanged when it is a multiple of StepB or of StepA (units
// of 10 Hz), else rounded down to a multiple of StepA.
double SnapToStep(double MHz, Integer StepA, Integer StepB);

// The tone text the windows store: CTCSS clamped to 30.0..290.0 and formatted "0.0", a valid DCS text
// ("D" + three octal digits + N/I/n/i) as it is, anything else "D777N".
String NormalizeTone(const String& Text);

// "yyyy-MM-dd HH:mm:ss" (positions as written, any separators) to the 7 write-time bytes.
// Raises EConvertError when a field is not a number; the output is then unchanged.
void EncodeWriteTime(const String& Text, Byte* Bytes);

// 7 write-time bytes to "yyyy-MM-dd HH:mm:ss" (year without leading zeros).
String FormatWriteTime(const Byte* Bytes);

// Radio password block from the 8 bytes of the new password.
std::array<Byte, 8> ScramblePassword(const Byte* Password);

// Small helpers.
char PrintableChar(char C);                            // A-Z, a-z, 0-9 kept, anything else a blank
String BytesToText(const Byte* Bytes, Integer Count);  // one character per byte
Byte HexToByte(const String& Text);                    // two hex characters; HexToInt is the rtl's
bool ContainsAnyChar(const String& Text, const String& Chars);
void FillFF(Byte* Bytes, Integer N);  // fills N + 1 bytes with 0xFF
String IfThenStr(bool Condition, const String& WhenTrue, const String& WhenFalse);
