// State shared by the files of the controls: the control with the mouse capture, the canvases holding a
// device context of a window, and the control whose window is being created.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"

namespace k58::forms {

// The graphic control that took the mouse capture through its parent's window.
extern TControl* CaptureControl;
// The control whose window CreateWindowEx is making now (its first message binds the window to it).
extern thread_local TWinControl* CreationControl;

// Canvases that hold a device context of a window, released after every message a control handles.
void AddCanvasWithContext(TControlCanvas* Canvas);
void RemoveCanvasWithContext(TControlCanvas* Canvas);
void FreeDeviceContexts();

// The procedure of every control's window class.
LRESULT ControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Name of the window property that holds a window's control.
inline constexpr const char* ControlProp = "K58.Control";

// Tells the drag manager, the application and the screen that a control goes away.
void ControlDestroying(TControl* Control);

// Sends the message to the control; a control freed by its handler is no error.
LRESULT PerformIfAlive(TControl* Control, UINT Msg, WPARAM WParam, LPARAM LParam);

// Drag manager entry points used by the controls.
void DragInitControl(TControl* Control, bool Immediate, Integer Threshold);
void DragDone(bool Drop);
bool DragActive();
// A control going away while it is dragged cancels the drag and is forgotten by its drag object.
void DragControlDestroyed(TControl* Control);

}  // namespace k58::forms

// Access to private parts for the other classes of the library.
struct ControlsAccess {
  static std::vector<TControl*>& GraphicChildren(TWinControl* C) { return C->controls_; }
  static std::vector<TWinControl*>& WindowedChildren(TWinControl* C) { return C->winControls_; }
  static void SetHandle(TWinControl* C, HWND H) { C->handle_ = H; }
  static void SetShowing(TWinControl* C, bool V) { C->showing_ = V; }
  static void SetVisibleField(TControl* C, bool V) { C->visible_ = V; }
  static void SetBoundsFields(TControl* C, Integer L, Integer T, Integer W, Integer H) {
    C->left_ = L;
    C->top_ = T;
    C->width_ = W;
    C->height_ = H;
  }
  static void SetHostDockSite(TControl* C, TWinControl* S) { C->hostDockSite_ = S; }
  static std::vector<TControl*>& DockClients(TWinControl* C) { return C->dockClients_; }
  static void SetDockedOnce(TControl* C) { C->dockedOnce_ = true; }
};
