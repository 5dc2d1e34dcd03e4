// The windowed control's keys: the key events and their preview by the form, typed characters handed to
// OnKeyPress as UTF-8 bytes, menu short cuts, and the CN_ key messages by which the form sees keys first.
#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Utf.h"

using namespace k58::forms;

void TWinControl::KeyDown(Word& Key, TShiftState Shift) { onKeyDown_(this, Key, Shift); }

void TWinControl::KeyUp(Word& Key, TShiftState Shift) { onKeyUp_(this, Key, Shift); }

void TWinControl::KeyPress(char& Key) { onKeyPress_(this, Key); }

bool TWinControl::DoKeyDown(TWMKey& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
  TShiftState shift = KeyDataToShiftState(Message.KeyData());
  if (!controlStyle_.Contains(csNoStdEvents)) {
    Word key = Message.CharCode();
    KeyDown(key, shift);
    Message.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
  TShiftState shift = KeyDataToShiftState(Message.KeyData());
  if (!controlStyle_.Contains(csNoStdEvents)) {
    Word key = Message.CharCode();
    KeyUp(key, shift);
    Message.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

// WM_CHAR carries UTF-16 code units; OnKeyPress sees the character's UTF-8 bytes one by one (a single
// byte for ASCII). A handler that sets a byte to #0 swallows the character; a changed character is
// passed on when it is again a single UTF-16 code unit.
bool TWinControl::DoKeyPress(TWMKey& Message) {
  char32_t cp;
  if (!k58::rtl::JoinTypedUnit(pendingHighSurrogate_, Message.CharCode(), cp)) return false;
  String bytes;
  k58::rtl::AppendUtf8(bytes, cp);
  TCustomForm* form = GetParentForm(this);
  bool preview = form != nullptr && form != this && form->KeyPreview();
  String changed;
  for (char ch : bytes) {
    if (preview && !form->ControlStyle().Contains(csNoStdEvents)) {
      form->KeyPress(ch);
      if (ch == 0) return true;
    }
    if (!controlStyle_.Contains(csNoStdEvents)) {
      KeyPress(ch);
      if (ch == 0) return true;
    }
    changed += ch;
  }
  if (changed != bytes) {
    // The new character goes on when the bytes are again one character of a single code unit.
    size_t pos = 0;
    char32_t value;
    if (k58::rtl::TryDecodeUtf8(changed, pos, value) && pos == changed.size() && value < 0x10000) {
      Message.SetCharCode(static_cast<Word>(value));
    }
  }
  return false;
}

bool TWinControl::IsMenuKey(TWMKey& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    for (TWinControl* control = this; control != nullptr; control = control->parent_) {
      TPopupMenu* menu = control->GetPopupMenu();
      if (menu != nullptr && menu->WindowHandle() != nullptr && menu->IsShortCut(Message)) return true;
    }
    if (TCustomForm* form = GetParentForm(this)) {
      if (form->IsShortCut(Message)) return true;
    }
  }
  if (Application != nullptr && Application->HandleAllocated()) {
    if (::SendMessage(Application->Handle(), CM_APPKEYDOWN, Message.WParam, Message.LParam) != 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TWMKey& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TWMKey& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

// Keys go to the focused control as CN_ messages before the window sees them: menu short cuts, then Tab,
// arrows, Enter and Esc for the form (unless the control asks for them with WM_GETDLGCODE).
void TWinControl::CNKeyDown(TWMKey& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.CharCode(), reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (Message.CharCode()) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), 0) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form != nullptr && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.LParam) != 0) return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    if (Message.CharCode() == VK_TAB || Message.CharCode() == VK_ESCAPE) {
      Message.Result = Perform(CM_WANTSPECIALKEY, Message.CharCode(), 0);
    }
  }
}

void TWinControl::CNChar(TWMKey& Message) {
  if (ComponentState().Contains(csDesigning)) return;
  Message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.CharCode(), reinterpret_cast<LPARAM>(this)) != 0) return;
    TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNSysChar(TWMKey& Message) {
  if (ComponentState().Contains(csDesigning) || Message.CharCode() == VK_SPACE) return;
  TCustomForm* form = GetParentForm(this);
  if (form != nullptr) Message.Result = form->Perform(CM_DIALOGCHAR, Message.CharCode(), Message.LParam);
}
