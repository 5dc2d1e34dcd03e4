// What the common dialogs share: a modal dialog window built of child controls, with the keyboard
// handling of a dialog (Tab order, Enter for the default button, Esc, Alt+letter of a label), the modal
// loop with the test seam, and the thread's extended error.
#pragma once

#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/CommDlg.h"

namespace k58::builtin::commdlg {

void SetError(DWORD Code);

class Dialog {
public:
  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the hidden dialog with a client area of W x H, centred on Owner (on the work area without
  // one). False when the window could not be created.
  bool Create(HWND Owner, const std::string& Caption, int W, int H);
  // Adds a child control; TabStop puts it in the Tab order (in the order of the calls). A label's
  // underlined letter (Alt+letter) moves the focus to the next control in the Tab order after it.
  HWND Add(const char* Class, const char* Text, DWORD Style, int X, int Y, int W, int H, int Id,
           bool TabStop);
  // Shows the dialog modally and answers IDOK or IDCANCEL (0 when WM_QUIT ended the loop). The dialog
  // is destroyed before the call returns.
  int Run(CommonDialogKind Kind);
  void End(int Result);
  HWND Item(int Id) const;
  HWND Window() const { return hwnd_; }
  HWND OwnerWindow() const { return owner_; }
  // Text of a control, and a control's text replaced.
  static std::string TextOf(HWND Control);
  // Moves the focus to Control (an edit gets its whole text selected).
  void FocusOn(HWND Control);

  // The window procedure's and the subclassed children's entry points.
  LRESULT DialogMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
  bool ChildKey(HWND Child, UINT Msg, WPARAM WParam);
  void ChildFocused(HWND Child) { lastFocus_ = Child; }

protected:
  // WM_COMMAND from a child (IDOK and IDCANCEL also come from the keyboard).
  virtual void Command(int Id, int Code, HWND Control) = 0;
  // Enter while Focus holds the focus; false presses the default button (IDOK).
  virtual bool EnterOn(HWND Focus) {
    (void)Focus;
    return false;
  }
  virtual void Paint(HDC Dc) { (void)Dc; }
  // A press or double click of the left button on the dialog itself (client coordinates).
  virtual void Mouse(UINT Msg, POINT P) {
    (void)Msg;
    (void)P;
  }
  // The control that gets the focus when the dialog is shown (the first in the Tab order when null).
  HWND initialFocus_ = nullptr;

private:
  void MoveFocus(HWND From, int Dir);
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HWND lastFocus_ = nullptr;
  int result_ = 0;
  std::vector<HWND> tabs_;
  struct Mnemonic {
    char32_t Letter;
    HWND Label;
  };
  std::vector<Mnemonic> mnemonics_;
  std::vector<HWND> controls_;
};

// The colour dialog's swatches: the basic colours (48, in rows of 8) and the custom ones (16), with their
// cells in the dialog's client area.
inline constexpr int kBasicColors = 48;
inline constexpr int kCustomColors = 16;
COLORREF BasicColor(int Index);
RECT BasicColorCell(int Index);
RECT CustomColorCell(int Index);

// Case-insensitive match of a name against a pattern with '*' and '?', code point by code point.
bool MatchPattern(const std::string& Name, const std::string& Pattern);

}  // namespace k58::builtin::commdlg
