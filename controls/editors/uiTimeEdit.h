// The time editor: a masked spin editor for the time of day, and the entry rules of masked time parts
// that the date editor shares.
//
// Entry rules: a character typed into a time part (hour, minute, second or AM/PM) of a masked text is
// tested against the part and corrected part by part. The rules are pure functions of the text, so the
// time editor and the date editor apply them to their own parts and own mask modes alike.
//
// Threads: GUI thread only.
#pragma once

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Types.h"

// The kinds of time parts; the AM/PM kind is also the answer of GetTimePartAt for the designator.
enum TuiTimePartKind : Integer { tpkHour = 0, tpkMinute = 1, tpkSecond = 2, tpkAmPm = 3 };

// The designator texts of an AM/PM part: "A"/"P", "AM"/"PM", or the locale's own.
enum TuiAmPmKind : Integer { apkAP = 0, apkAMPM = 1, apkLocale = 2 };

// One time part of a masked text.
struct TuiTimePart {
  Integer Kind = tpkHour;
  // One-based position of the part's first character.
  Integer Start = 1;
  // Digit parts have two characters; a designator as many as its text.
  Integer Length = 2;
  Integer AmPmKind = apkLocale;
  // The hour runs 0..23; else 1..12.
  bool Use24Hour = true;
};

// What the entry rules made of a typed character.
//  - Refused (Accepted false): nothing changes; the key is dropped.
//  - Accepted without Rewritten: the mask goes on and writes Key at the typed position, as for any key.
//  - Accepted and Rewritten: Text is the new text and Caret the one-based caret position; when Key is not
//    empty it is then typed at Caret (it runs through the rules again there), else the key is consumed.
struct TuiTimeCharResult {
  bool Accepted = false;
  bool Rewritten = false;
  String Text;
  String Key;
  Integer Caret = 1;
};

namespace k58::editors {

// The designators of AKind. The locale's texts fall back to "AM" and "PM" when the locale has none,
// so that a morning and an afternoon text stay apart.
void GetAmPmStrings(Integer AKind, String& AAm, String& APm, const TFormatSettings& AFormat = FormatSettings);
// One-based index of the first character where A and P differ, case-insensitively; when one is a prefix of
// the other, the shorter length + 1.
Integer FirstDifference(const String& A, const String& P);
// The values a digit part may hold.
void GetTimePartRange(const TuiTimePart& APart, Integer& AMin, Integer& AMax);

// The rules for AKey (one character) typed at the one-based APosition of AText, inside APart.
TuiTimeCharResult ProcessTimePartChar(const String& AText, Integer APosition, const String& AKey,
                                      const TuiTimePart& APart, const TFormatSettings& AFormat = FormatSettings);

}  // namespace k58::editors
