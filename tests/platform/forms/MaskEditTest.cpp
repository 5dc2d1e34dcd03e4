// Masked edits: mask fields and characters, text set in code, typing in overwrite mode, deleting,
// selections, validation on leaving, read-only, Esc, and a multi-line masked edit.
#include "StdCtlTesting.h"

#include "platform/forms/Mask.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/win/builtin/CommCtrl.h"

namespace forms_test {
namespace {

class MaskEditTest : public FormTest {
 protected:
  TMaskEdit* NewEdit(TForm* Form, const String& Mask) {
    auto* edit = Make<TMaskEdit>(Form, 10, 10, 150);
    edit->SetEditMask(Mask);
    return edit;
  }
  // Shows the form, focuses the edit and puts the caret at Caret.
  void Focus(TForm* Form, TCustomMaskEdit* Edit, Integer Caret = 0) {
    ShowForm(Form);
    Edit->SetFocus();
    Pump();
    Edit->SetSelStart(Caret);
    Edit->SetSelLength(0);
  }
};

TEST_F(MaskEditTest, TextSetInCodeIsFormattedIntoTheMask) {
  TFormatSettingsGuard guard;
  FormatSettings.DateSeparator = '-';
  FormatSettings.TimeSeparator = ':';
  struct Case {
    const char* Mask;
    const char* Value;
    const char* EditText;
    const char* Text;
  } cases[] = {
      {"9999/99/99;1; ", "2024-01-02", "2024-01-02", "2024-01-02"},
      {"9999/99/99;1; ", "", "    -  -  ", "    -  -  "},
      {"00:00:00;1; ", "12:34:56", "12:34:56", "12:34:56"},
      {"00:00:00;1;_", "1234", "12:34:__", "12:34:  "},
      // Without saved literals the value fills the input positions; "!" puts its blanks in front.
      {"(999)000-0000;0;_", "5551234567", "(555)123-4567", "5551234567"},
      {"999;0;_", "12", "12_", "12"},
      {"!999;0;_", "12", "_12", "12"},
      // Case conversion, literals by backslash, characters a position refuses.
      {">LL<ll;1;_", "abCD", "ABcd", "ABcd"},
      {"\\A99;1;_", "A12", "A12", "A12"},
      {"LL;1;_", "a1", "a_", "a "},
      {"#99;1;_", "-12", "-12", "-12"},
      // No options: literals saved, "_" for blanks.
      {"00-00", "1", "1_-__", "1 -  "},
  };
  TForm* form = NewForm();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Value);
    auto* edit = NewEdit(form, c.Mask);
    edit->SetText(c.Value);
    EXPECT_EQ(edit->EditText(), c.EditText);
    EXPECT_EQ(edit->Text(), c.Text);
    EXPECT_EQ(edit->MaxLength(), static_cast<Integer>(String(c.EditText).size()));
  }
  // The same on a shown edit (its window holds the text).
  auto* shown = NewEdit(form, "00:00:00;1;_");
  ShowForm(form);
  shown->SetText("235");
  EXPECT_EQ(shown->EditText(), "23:5_:__");
  // Without a mask the text stays as it is; a new mask re-formats the value.
  auto* plain = NewEdit(form, "");
  plain->SetText("0930");
  EXPECT_FALSE(plain->IsMasked());
  plain->SetEditMask("00:00;0;_");
  EXPECT_EQ(plain->EditText(), "09:30");
  EXPECT_EQ(plain->Text(), "0930");
}

TEST_F(MaskEditTest, TypingOverwritesStepsOverLiteralsAndRefusesWhatThePositionDoesNot) {
  struct Case {
    const char* Mask;
    const char* Start;
    Integer Caret;
    const char* Typed;
    const char* EditText;
    Integer CaretAfter;
    bool Modified;
  } cases[] = {
      {"00:00:00;1;_", "", 0, "123456", "12:34:56", 8, true},
      {"00:00:00;1;_", "", 0, "12x3", "12:3_:__", 4, true},  // x refused
      {"00:00;1;_", "", 0, "12:34", "12:34", 5, true},        // a typed literal steps over it
      {"00:00:00;1;_", "11:22:33", 3, "9", "11:92:33", 4, true},
      {">LL;1;_", "", 0, "ab", "AB", 2, true},
      {"00;1;_", "12", 2, "3", "12", 2, false},  // at the end: refused
      {"CCC;1;_", "", 0, "\xE4\xB8\xAD", "\xE4\xB8\xAD__", 1, true},
  };
  TForm* form = NewForm();
  auto* edit = NewEdit(form, "");
  Recorder r;
  edit->SetOnChange(r.Note("change"));
  ShowForm(form);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " typing " + c.Typed);
    edit->SetEditMask(c.Mask);
    edit->SetText(c.Start);
    edit->SetModified(false);
    Focus(form, edit, c.Caret);
    r.Calls.clear();
    Type(c.Typed);
    EXPECT_EQ(edit->EditText(), c.EditText);
    EXPECT_EQ(edit->SelStart(), c.CaretAfter);
    EXPECT_EQ(edit->Modified(), c.Modified);
  }
  // Every accepted character is one change.
  edit->SetEditMask("0000;1;_");
  edit->SetText("");
  Focus(form, edit);
  r.Calls.clear();
  Type("123");
  EXPECT_EQ(r.Count("change"), 3);
  EXPECT_TRUE(edit->Modified());
}

TEST_F(MaskEditTest, DeletingBlanksPositionsInsteadOfClosingUpTheText) {
  TForm* form = NewForm();
  auto* edit = NewEdit(form, "00:00:00;1;_");
  edit->SetText("12:34:56");
  Focus(form, edit, 5);
  Key(VK_BACK);  // the position before the caret, the literal skipped
  EXPECT_EQ(edit->EditText(), "12:3_:56");
  EXPECT_EQ(edit->SelStart(), 4);
  Key(VK_BACK);
  Key(VK_BACK);  // steps back over ":"
  EXPECT_EQ(edit->EditText(), "1_:__:56");
  edit->SetSelStart(6);
  Key(VK_DELETE);
  EXPECT_EQ(edit->EditText(), "1_:__:_6");
  // A selection is blanked as a whole, literals kept; typing over a selection blanks it first.
  edit->SetText("12:34:56");
  edit->SetSelStart(1);
  edit->SetSelLength(5);
  Key(VK_DELETE);
  EXPECT_EQ(edit->EditText(), "1_:__:56");
  edit->SetSelStart(0);
  edit->SetSelLength(8);
  Type("9");
  EXPECT_EQ(edit->EditText(), "9_:__:__");
  // Cut and Clear blank the selection; Cut copies it first.
  edit->SetText("12:34:56");
  edit->SetSelStart(0);
  edit->SetSelLength(2);
  edit->CutToClipboard();
  EXPECT_EQ(edit->EditText(), "__:34:56");
  edit->SetSelStart(3);
  edit->SetSelLength(2);
  edit->ClearSelection();
  EXPECT_EQ(edit->EditText(), "__:__:56");
  // Pasting types the clipboard's characters in from the selection.
  edit->SetSelStart(0);
  edit->SetSelLength(0);
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->EditText(), "12:__:56");
  // SelText types too; a refused character ends it.
  edit->SetSelStart(3);
  edit->SetSelText("4x5");
  EXPECT_EQ(edit->EditText(), "12:4_:56");
}

// Records validation errors instead of raising.
class RecordingMaskEdit : public TCustomMaskEdit {
 public:
  explicit RecordingMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
  int Errors = 0;
  Integer ErrorAt = -1;
  void ValidateError() override {
    ++Errors;
    ErrorAt = SelStart();
  }
};

TEST_F(MaskEditTest, LeavingAnIncompleteEditValidatesItAndKeepsTheFocus) {
  TForm* form = NewForm();
  auto* edit = Make<RecordingMaskEdit>(form, 10, 10, 150);
  auto* other = Make<TEdit>(form, 10, 50);
  edit->SetEditMask("00:00;1;_");
  Focus(form, edit);
  Type("12");
  Key(VK_TAB);
  EXPECT_EQ(edit->Errors, 1);
  EXPECT_EQ(edit->ErrorAt, 3);
  EXPECT_TRUE(edit->Focused());
  // Optional positions may stay blank.
  edit->SetEditMask("00:99;1;_");
  edit->SetText("12");
  edit->SetModified(true);
  Key(VK_TAB);
  EXPECT_EQ(edit->Errors, 1);
  EXPECT_TRUE(other->Focused());
  // An unchanged edit is not validated; ValidateEdit checks at any time.
  edit->SetEditMask("00:00;1;_");
  edit->SetText("1");
  edit->SetModified(false);
  Focus(form, edit);
  Key(VK_TAB);
  EXPECT_EQ(edit->Errors, 1);
  edit->ValidateEdit();
  EXPECT_EQ(edit->Errors, 2);
  EXPECT_EQ(edit->ErrorAt, 1);
  // The default hook raises.
  TObjectPtr<TMaskEdit> plain(new TMaskEdit(nullptr));
  plain->SetEditMask("0;1;_");
  EXPECT_THROW(plain->ValidateEdit(), EDBEditError);
}

TEST_F(MaskEditTest, ReadOnlyRefusesEditingAndEscPutsBackTheTextOfEntering) {
  TForm* form = NewForm();
  auto* edit = NewEdit(form, "00:00;1;_");
  edit->SetText("12:34");
  edit->SetReadOnly(true);
  Focus(form, edit);
  Type("99");
  Key(VK_DELETE);
  Key(VK_BACK);
  edit->SetSelLength(5);
  edit->CutToClipboard();
  EXPECT_EQ(edit->EditText(), "12:34");
  EXPECT_FALSE(edit->Modified());

  edit->SetReadOnly(false);
  Focus(form, edit);
  Type("98");
  EXPECT_EQ(edit->EditText(), "98:34");
  Key(VK_ESCAPE);
  EXPECT_EQ(edit->EditText(), "12:34");
  EXPECT_FALSE(edit->Modified());
}

// A multi-line masked edit with a formatting rectangle, as an in-cell editor makes it.
class MultiLineMaskEdit : public TCustomMaskEdit {
 public:
  explicit MultiLineMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
  void CreateParams(TCreateParams& Params) override {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  }
};

TEST_F(MaskEditTest, AMultiLineMaskedEditKeepsItsMaskAndFormattingRectangle) {
  TForm* form = NewForm();
  auto* edit = Make<MultiLineMaskEdit>(form, 10, 10, 150, 24);
  Recorder r;
  edit->SetOnChange(r.Note("change"));
  edit->SetEditMask("9999/99/99;1; ");
  ShowForm(form);
  RECT format{2, 2, edit->Width() - 2, edit->Height()};
  ::SendMessage(edit->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  edit->SetText("20240102");
  edit->SetFocus();
  Pump();
  edit->SetSelStart(5);
  r.Calls.clear();
  Type("1");
  Key(VK_RETURN);  // no line break in a masked edit
  String sep(1, FormatSettings.DateSeparator);
  EXPECT_EQ(edit->EditText(), "2024" + sep + "11" + sep + "02");
  EXPECT_EQ(r.Count("change"), 1);
  RECT got{};
  ::SendMessage(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.left, 2);
  EXPECT_EQ(got.top, 2);
}

}  // namespace
}  // namespace forms_test
