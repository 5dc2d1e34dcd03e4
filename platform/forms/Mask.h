// Masked edits: an edit whose text follows an edit mask.
//
// An edit mask has up to three fields separated by ";": the mask itself, whether the literal characters
// are part of Text ("0" no, anything else yes; yes by default) and the character shown for a position
// not yet filled ("_" by default). Mask characters:
//   L letter, required          l letter, optional
//   A letter or digit, required a letter or digit, optional
//   C any character, required   c any character, optional
//   0 digit, required           9 digit, optional          # digit or sign, optional
//   : time separator            / date separator           _ a space
//   > upper case from here      < lower case from here     <> no case conversion from here
//   \ the next character is a literal                      ! blanks of Text go in front instead of behind
// Any other character is a literal. "9999/99/99;1; " is a date with its separators kept and blanks
// shown as spaces.
//
// With a mask the edit works in overwrite mode: a typed character replaces the one at the caret (literals
// are stepped over) and is refused with a beep when the position does not accept it; Backspace, Delete,
// Cut and Clear blank the positions instead of closing up the text; Paste types the clipboard's
// characters in. EditText is the text as shown (every position, blanks included), Text the value
// (literals only when they are saved, blanks as spaces). Leaving a changed edit validates it: a required
// position still blank puts the caret there and calls ValidateError, which raises EDBEditError.
#pragma once

#include <vector>

#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Exception.h"

K58_DECLARE_EXCEPTION(EDBEditError, Exception);

namespace maskconsts {
inline constexpr const char* SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";
}  // namespace maskconsts

namespace k58::forms {

// A parsed edit mask. Positions count characters (code points); a character is held as its UTF-8 text.
class EditMaskLayout {
 public:
  enum class CaseMode { None, Upper, Lower };
  struct Position {
    bool Literal = false;
    String Char;          // the literal's character
    char Kind = 0;        // L l A a C c 0 9 # for an input position
    CaseMode Case = CaseMode::None;
    bool Required() const { return Kind == 'L' || Kind == 'A' || Kind == 'C' || Kind == '0'; }
  };

  EditMaskLayout() = default;
  explicit EditMaskLayout(const String& EditMask);

  bool Empty() const { return positions_.empty(); }
  const std::vector<Position>& Positions() const { return positions_; }
  Integer Length() const { return static_cast<Integer>(positions_.size()); }
  bool SaveLiterals() const { return saveLiterals_; }
  const String& Blank() const { return blank_; }
  bool LeadingBlanks() const { return leadingBlanks_; }

  // The character as the position takes it (case converted), or "" when the position refuses it.
  String Accept(Integer Index, const String& Char) const;
  // The text as shown for a value: with literals saved the value is read along the mask (a character
  // where a literal stands is skipped when it is that literal or punctuation the next input position
  // would refuse); otherwise the value fills the input positions (right-aligned with "!"). Characters a
  // position refuses leave it blank.
  String Format(const String& Value, bool WithLiterals) const;
  // The value of a shown text, as Text answers it.
  String Value(const String& EditText) const;
  // The first required position still blank (or holding a refused character), -1 when the text is valid.
  Integer FirstInvalid(const String& EditText) const;
  // Input positions at or after Index (-1 none) / before Index (-1 none).
  Integer NextInput(Integer Index) const;
  Integer PriorInput(Integer Index) const;

 private:
  std::vector<Position> positions_;
  bool saveLiterals_ = true;
  String blank_ = "_";
  bool leadingBlanks_ = false;
};

// The characters (code points) of a text, each as its UTF-8 text.
std::vector<String> SplitChars(const String& Text);

}  // namespace k58::forms

class TCustomMaskEdit : public TCustomEdit {
  K58_CLASS(TCustomMaskEdit, TCustomEdit)

  explicit TCustomMaskEdit(TComponent* AOwner);

  const String& EditMask() const { return editMask_; }
  // A new mask re-formats the current value into it.
  void SetEditMask(const String& Value);
  bool IsMasked() const { return !layout_.Empty(); }
  // The text as shown, every position of the mask included.
  String EditText();
  void SetEditText(const String& Value);
  // With a mask: the number of positions of the mask.
  Integer GetMaxLength() override;
  void SetMaxLength(Integer Value) override;

  // Raises through ValidateError (with the caret on the first bad position) when a required position
  // is blank.
  virtual void ValidateEdit();
  // Beeps and raises EDBEditError.
  virtual void ValidateError();
  // Whether the user may change the text now (not while read-only).
  virtual bool EditCanModify();
  // Puts back the text shown when the edit was entered or last set in code.
  virtual void Reset();

  void Clear() override;
  void SetSelText(const String& Value) override;

  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void WMChar(TWMKey& Message) override;
  void Dispatch(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 protected:
  String GetText() override;

 private:
  // Replaces the shown text (as the user's change when ByUser) and puts the caret at Caret.
  void Store(const std::vector<String>& Chars, Integer Caret, bool ByUser);
  // Types one character at the caret (the selection blanked first); false when it was refused.
  bool TypeChar(const String& Char);
  void BlankSelection(bool Backward);
  void PasteText();
  std::vector<String> Shown();

  String editMask_;
  k58::forms::EditMaskLayout layout_;
  String savedText_;
  Integer plainMaxLength_ = 0;
  bool storing_ = false;
  WideChar pendingHigh_ = 0;
};

class TMaskEdit : public TCustomMaskEdit {
  K58_CLASS(TMaskEdit, TCustomMaskEdit)

  explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
