// The inner list box: incremental search by typed characters.
#include "controls/foundation/uiInnerListBox.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"
#include "platform/win/core/WinBase.h"

namespace {

// The length of the character a byte leads in UTF-8; 0 for a continuation byte.
int CharLengthOfLead(unsigned char ALead) {
  if (ALead < 0x80) return 1;
  if (ALead < 0xC0) return 0;
  if (ALead < 0xE0) return 2;
  if (ALead < 0xF0) return 3;
  return 4;
}

// Drops the last whole character of a text.
void RemoveLastCharacter(String& AText) {
  while (!AText.empty() && CharLengthOfLead(static_cast<unsigned char>(AText.back())) == 0) AText.pop_back();
  if (!AText.empty()) AText.pop_back();
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiCustomInnerListBox) {
  b.Prop("AutoCompleteDelay", &TuiCustomInnerListBox::AutoCompleteDelay, &TuiCustomInnerListBox::SetAutoCompleteDelay)
      .Default(Cardinal{500});
}

TuiCustomInnerListBox::TuiCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  SetBorderStyle(bsNone);
  TControlStyle style = ControlStyle();
  style.Exclude(csOpaque);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(false);
  SetParentFont(true);
}

void TuiCustomInnerListBox::KeyPress(char& Key) {
  if (Key == '\t') Key = 0;
  if (Key == '\r') Key = 0;
  TListBox::KeyPress(Key);
  if (Key != 0) DoAutoComplete(Key);
}

void TuiCustomInnerListBox::DoAutoComplete(char& Key) {
  if (!autoComplete_) return;
  const DWORD now = GetTickCount();
  if (!searched_ || now - lastKeyTime_ >= autoCompleteDelay_) searchText_.clear();
  searched_ = true;
  lastKeyTime_ = now;
  const auto byte = static_cast<unsigned char>(Key);
  if (Key == '\b') {
    RemoveLastCharacter(searchText_);
  } else if (const int length = CharLengthOfLead(byte); length == 1) {
    searchText_ += Key;
  } else if (length > 1) {
    // The rest of the character follows as further WM_CHARs; a character cut short is dropped whole.
    String character(1, Key);
    MSG msg;
    while (static_cast<int>(character.size()) < length && HandleAllocated() &&
           PeekMessage(&msg, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
           CharLengthOfLead(static_cast<unsigned char>(msg.wParam)) == 0) {
      PeekMessage(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
      character += static_cast<char>(msg.wParam);
    }
    if (static_cast<int>(character.size()) == length) searchText_ += character;
    Key = 0;
  }
  Integer found = -1;
  if (searchText_.empty()) {
    found = Count() > 0 ? 0 : -1;
  } else {
    const String wanted = AnsiUpperCase(searchText_);
    for (Integer i = 0; i < Count() && found < 0; ++i)
      if (AnsiUpperCase(Items()->Strings(i)).compare(0, wanted.size(), wanted) == 0) found = i;
  }
  if (found >= 0) {
    if (MultiSelect()) {
      ClearSelection();
      SetSelected(found, true);
    }
    const bool changed = found != ItemIndex();
    SetItemIndex(found);
    if (changed) Click();
  }
  if (Key != '\b' && Key != '\r' && Key != 27) Key = 0;
}
