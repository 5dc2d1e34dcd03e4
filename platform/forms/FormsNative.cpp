// The window system's menus and MDI windows as the forms use them.
#include "platform/forms/FormsInternal.h"

namespace k58::forms {

void SetWindowMenuBar(TCustomForm* Form, HMENU Bar) {
  (void)Form;
  (void)Bar;
}

void RedrawMenuBar(HWND Window) { (void)Window; }

HWND CreateMDIClientWindow(HWND Frame, const TRect& Rect, HMENU WindowMenu) {
  (void)Frame;
  (void)Rect;
  (void)WindowMenu;
  return nullptr;
}

HWND CreateMDIChildWindow(HWND Client, const TCreateParams& Params) {
  (void)Client;
  (void)Params;
  return nullptr;
}

LRESULT DefFrameProcFor(HWND Frame, HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam) {
  (void)Client;
  return ::DefWindowProc(Frame, Msg, WParam, LParam);
}

LRESULT DefMDIChildProcFor(HWND Child, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return ::DefWindowProc(Child, Msg, WParam, LParam);
}

void SetMDIMenu(HWND Client, HMENU Bar, HMENU WindowMenu) {
  (void)Client;
  (void)Bar;
  (void)WindowMenu;
}

bool MenuDrawItem(TCustomForm* Form, TWMDrawItem& Message) {
  (void)Form;
  (void)Message;
  return false;
}

bool MenuMeasureItem(TCustomForm* Form, TWMMeasureItem& Message) {
  (void)Form;
  (void)Message;
  return false;
}

}  // namespace k58::forms

namespace k58::forms {

HMENU NativeCreateMenu(bool Popup) {
  (void)Popup;
  return nullptr;
}

void NativeDestroyMenu(HMENU Menu) { (void)Menu; }

void NativeClearMenu(HMENU Menu) { (void)Menu; }

void NativeAppendItem(HMENU Menu, const NativeMenuItem& Item) {
  (void)Menu;
  (void)Item;
}

void NativeTrackPopupMenu(HMENU Menu, UINT Flags, Integer X, Integer Y, HWND Owner) {
  (void)Menu;
  (void)Flags;
  (void)X;
  (void)Y;
  (void)Owner;
}

}  // namespace k58::forms
