// The standard edit mask: one position per character of the mask, each a literal or a class of characters
// with a case conversion, turning values into the texts an editor shows and back.
//
// Mask characters:
//   L letter, required     l letter, optional         A letter or digit, required   a letter or digit, optional
//   C any character, req.  c any character, optional  0 digit, required            9 digit, optional
//   # digit, + or -, optional                         (letters are the ASCII letters)
//   > upper case from here  < lower case from here     <> no conversion from here
//   : and /  the locale's time and date separators (as they are when the mask is set)
//   \x  x as a literal      ! at the very start: no effect
//   ;d;x or ;d at the very end: d 0 leaves the literals out of the value, 1 keeps them; x is the blank
//   character shown in positions not filled ("_" by default)
// Every other character is a literal. Positions and texts count characters (code points) of UTF-8 text; a
// byte that is not valid UTF-8 stands for U+FFFD.
#pragma once

#include <vector>

#include "platform/classes/Object.h"

// The case conversion of a class position.
enum TuiStandardMaskCaseConversion : Byte { smccUpperCase = 0, smccLowerCase = 1, smccNone = 2 };

// A position of the mask.
class TuiStandardMaskCustomItem : public TObject {
  K58_CLASS(TuiStandardMaskCustomItem, TObject)

  // Whether the position takes ACh (one character); a class position first converts ACh's case in place.
  virtual bool Accepts(String& ACh) const = 0;
};

// A literal character: takes exactly itself.
class TuiStandardMaskLiteralItem : public TuiStandardMaskCustomItem {
  K58_CLASS(TuiStandardMaskLiteralItem, TuiStandardMaskCustomItem)

  explicit TuiStandardMaskLiteralItem(const String& AChar) : char_(AChar) {}
  const String& Char() const { return char_; }
  bool Accepts(String& ACh) const override { return ACh == char_; }

 private:
  String char_;
};

// A class of characters with its case conversion, required or optional.
class TuiStandardMaskManyItem : public TuiStandardMaskCustomItem {
  K58_CLASS(TuiStandardMaskManyItem, TuiStandardMaskCustomItem)

  TuiStandardMaskCaseConversion CaseConversion() const { return caseConversion_; }
  bool Optional() const { return optional_; }
  // Converts ACh, then answers by the character as it was.
  bool Accepts(String& ACh) const override;

 protected:
  TuiStandardMaskManyItem(TuiStandardMaskCaseConversion ACaseConversion, bool AOptional)
      : caseConversion_(ACaseConversion), optional_(AOptional) {}
  virtual bool InClass(const String& ACh) const = 0;

 private:
  TuiStandardMaskCaseConversion caseConversion_;
  bool optional_;
};

// L, l: 'A' to 'Z' and 'a' to 'z'.
class TuiStandardMaskAlphaItem : public TuiStandardMaskManyItem {
  K58_CLASS(TuiStandardMaskAlphaItem, TuiStandardMaskManyItem)

  TuiStandardMaskAlphaItem(TuiStandardMaskCaseConversion ACaseConversion, bool AOptional)
      : TuiStandardMaskManyItem(ACaseConversion, AOptional) {}

 protected:
  bool InClass(const String& ACh) const override;
};

// A, a: ASCII letters and digits.
class TuiStandardMaskAlphaNumericItem : public TuiStandardMaskManyItem {
  K58_CLASS(TuiStandardMaskAlphaNumericItem, TuiStandardMaskManyItem)

  TuiStandardMaskAlphaNumericItem(TuiStandardMaskCaseConversion ACaseConversion, bool AOptional)
      : TuiStandardMaskManyItem(ACaseConversion, AOptional) {}

 protected:
  bool InClass(const String& ACh) const override;
};

// C, c: every character.
class TuiStandardMaskASCIIItem : public TuiStandardMaskManyItem {
  K58_CLASS(TuiStandardMaskASCIIItem, TuiStandardMaskManyItem)

  TuiStandardMaskASCIIItem(TuiStandardMaskCaseConversion ACaseConversion, bool AOptional)
      : TuiStandardMaskManyItem(ACaseConversion, AOptional) {}

 protected:
  bool InClass(const String&) const override { return true; }
};

// 0, 9: '0' to '9'.
class TuiStandardMaskNumericItem : public TuiStandardMaskManyItem {
  K58_CLASS(TuiStandardMaskNumericItem, TuiStandardMaskManyItem)

  TuiStandardMaskNumericItem(TuiStandardMaskCaseConversion ACaseConversion, bool AOptional)
      : TuiStandardMaskManyItem(ACaseConversion, AOptional) {}

 protected:
  bool InClass(const String& ACh) const override;
};

// #: '0' to '9', '+' and '-'; always optional.
class TuiStandardMaskNumericSymbolItem : public TuiStandardMaskManyItem {
  K58_CLASS(TuiStandardMaskNumericSymbolItem, TuiStandardMaskManyItem)

  explicit TuiStandardMaskNumericSymbolItem(TuiStandardMaskCaseConversion ACaseConversion)
      : TuiStandardMaskManyItem(ACaseConversion, true) {}

 protected:
  bool InClass(const String& ACh) const override;
};

// A parsed mask. A mask never fails to parse: characters without a meaning of their own are literals.
class TuiStandardMask : public TObject {
  K58_CLASS(TuiStandardMask, TObject)

  TuiStandardMask() = default;
  ~TuiStandardMask() override;

  const String& Mask() const { return mask_; }
  // Parses AMask afresh (blank "_" and literals kept unless its end says otherwise).
  void SetMask(const String& AMask);
  const String& BlankChar() const { return blankChar_; }
  bool SaveLiterals() const { return saveLiterals_; }
  Integer Count() const { return static_cast<Integer>(positions_.size()); }
  TuiStandardMaskCustomItem* Items(Integer AIndex) const { return positions_.at(static_cast<size_t>(AIndex)).get(); }

  // Turns a value into the display text: each character of AText goes to the first free position that
  // takes it (a blank or space fills the first free class position with the blank); the others are dropped.
  // With AConvertCase the characters are stored in their positions' case.
  void ApplyToText(String& AText, bool AConvertCase) const;
  // Turns a display text into the value: every position (or only the class positions when literals are
  // not saved), blanks as spaces; positions past the text's end are left out.
  void ExtractValue(String& AText) const;
  // One character per position, each taken by its position or a blank (or space) at an optional class
  // position. Characters taken are left in their positions' case.
  bool IsTextValid(String& AText) const;
  // The display text of an empty value: literals, blanks elsewhere.
  String EmptyText() const;
  // The value of an empty text: spaces for the class positions, the literals when they are saved.
  String EmptyValue() const;

 private:
  bool IsClassPosition(size_t AIndex) const;

  String mask_;
  String blankChar_ = "_";
  bool saveLiterals_ = true;
  std::vector<TObjectPtr<TuiStandardMaskCustomItem>> positions_;
};
