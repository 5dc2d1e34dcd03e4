// The event thread of the X11 display: reads X events and turns them into device input and
// window-manager events of the window layer.
#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <string>

#include "platform/rtl/Utf.h"
#include "platform/win/ui/UiInternal.h"
#include "platform/win/ui/WinClipboard.h"
#include "platform/win/ui/x11/X11Internal.h"
#include "platform/win/ui/x11/X11Keys.h"

// X headers last: they define macros (None, Bool, Status, ...) that would clash with names above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace k58::winui::x11 {

namespace {

constexpr unsigned kButtonsHeld = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

RECT XRect(int X, int Y, int W, int H) { return RECT{X, Y, X + W, Y + H}; }

// What the X window of a layer rectangle measures (X windows are at least one pixel each way).
RECT AsCreated(const RECT& R) {
  return RECT{R.left, R.top, R.left + std::clamp(Width(R), 1, 32767), R.top + std::clamp(Height(R), 1, 32767)};
}

// The spacing accent of a dead key, for a server without an input method (which composes itself).
WCHAR DeadKeyAccent(KeySym Sym) {
  switch (Sym) {
    case XK_dead_grave: return u'`';
    case XK_dead_acute: return 0x00B4;
    case XK_dead_circumflex: return u'^';
    case XK_dead_tilde: return u'~';
    case XK_dead_diaeresis: return 0x00A8;
    case XK_dead_cedilla: return 0x00B8;
    default: return 0;
  }
}

}  // namespace

void X11Display::EventLoop() {
  const int XFd = ConnectionNumber(dpy_);
  while (!stop_) {
    // Sleeps only when nothing waits in the library's queues either: writing (answers to selection
    // requests) can read events off the socket without handing them over.
    bool Queued;
    {
      std::lock_guard<std::mutex> G(lock_);
      Queued = XEventsQueued(dpy_, QueuedAfterReading) > 0;
    }
    if (!Queued) {
      pollfd Fds[2] = {{XFd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
      if (poll(Fds, 2, -1) < 0 && errno != EINTR) break;
      if (Fds[1].revents & POLLIN) {
        uint64_t Count = 0;
        [[maybe_unused]] ssize_t N = read(wakeFd_, &Count, sizeof Count);
      }
    }
    if (stop_) break;
    Actions Out;
    std::vector<PendingRequest> Requests;
    {
      std::lock_guard<std::mutex> G(lock_);
      // Only the events waiting now: under a steady stream of events (another client changing a root
      // property all the time) the loop must still come round to the stop flag and hand its actions over.
      for (int Count = XPending(dpy_); Count > 0 && !stop_; --Count) {
        XEvent E;
        XNextEvent(dpy_, &E);
        // The input method sees every event first; what it takes is not ours.
        if (XFilterEvent(&E, None)) continue;
        Translate(E, Out);
      }
      XFlush(dpy_);
      Requests.swap(requests_);
    }
    // Handed over without the lock: the layer's calls take its own locks.
    for (auto& A : Out) A();
    if (!Requests.empty()) {
      std::string Text;
      const bool HasText = ReadOwnClipboardText(Text);
      std::lock_guard<std::mutex> G(lock_);
      for (PendingRequest& R : Requests) {
        R.HasText = HasText;
        if (HasText) R.Text = Text;
        AnswerSelectionRequest(R);
      }
      XFlush(dpy_);
    }
  }
}

void X11Display::Translate(XEvent& E, Actions& Out) {
  switch (E.type) {
    case MappingNotify:
      XRefreshKeyboardMapping(&E.xmapping);
      return;
    case SelectionRequest: {
      const XSelectionRequestEvent& R = E.xselectionrequest;
      PendingRequest P;
      P.Requestor = R.requestor;
      P.Selection = R.selection;
      P.Target = R.target;
      P.Property = R.property;
      P.Time = R.time;
      requests_.push_back(std::move(P));
      return;
    }
    case SelectionNotify:
      HandleSelectionNotify(E);
      return;
    case SelectionClear:
      // Another program took the clipboard, unless we took it back meanwhile (a late event).
      if (E.xselectionclear.window == helper_ && E.xselectionclear.selection == At(A_CLIPBOARD) && ownClipboard_ &&
          XGetSelectionOwner(dpy_, At(A_CLIPBOARD)) != helper_) {
        ownClipboard_ = false;
        Out.push_back([] { HostClipboardLost(); });
      }
      return;
    default: break;
  }
  if (fixesEvent_ && E.type == fixesEvent_ + XFixesSelectionNotify) {
    // A new owner (or none): what the layer converted from the previous owner's text is stale. Our own
    // taking of the clipboard, and late news of an owner we replaced since, change nothing.
    const auto& N = reinterpret_cast<const XFixesSelectionNotifyEvent&>(E);
    if (N.selection == At(A_CLIPBOARD) && N.owner != helper_ && XGetSelectionOwner(dpy_, At(A_CLIPBOARD)) != helper_) {
      ownClipboard_ = false;
      Out.push_back([] { HostClipboardLost(); });
    }
    return;
  }
  const Window W = E.xany.window;
  if (W == root_) {
    if (E.type == ConfigureNotify) {
      Out.push_back([] { HostScreenChanged(); });
    } else if (E.type == PropertyNotify) {
      if (E.xproperty.atom == At(A_NET_WORKAREA)) Out.push_back([] { HostScreenChanged(); });
      if (E.xproperty.atom == At(A_NET_SUPPORTING_WM_CHECK)) DetectWindowManager();
    }
    return;
  }
  if (W == helper_) {
    if (E.type == PropertyNotify) HandleSelectionProperty(E);
    return;
  }
  Top* T = FindX(W);
  if (!T) {
    // Requestors of incremental transfers tell through their properties when they want more.
    ContinueOutgoing(E);
    return;
  }
  const HWND H = T->Hwnd;
  switch (E.type) {
    case Expose:
      Trace("expose %lx %d,%d %dx%d", W, E.xexpose.x, E.xexpose.y, E.xexpose.width, E.xexpose.height);
      // The put of the whole image after the first paint, or one the server carries out after this
      // exposure, covers it.
      if (T->FirstPaint || E.xexpose.serial < T->FullPutSerial) break;
      PutArea(*T, XRect(E.xexpose.x, E.xexpose.y, E.xexpose.width, E.xexpose.height));
      break;
    case MotionNotify: {
      POINT P{E.xmotion.x_root, E.xmotion.y_root};
      Out.push_back([P] { InjectMouseMove(P); });
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& B = E.xbutton;
      lastTime_ = B.time;
      const bool Down = E.type == ButtonPress;
      POINT P{B.x_root, B.y_root};
      switch (B.button) {
        case Button1: Out.push_back([P, Down] { InjectMouseButton(P, MouseButton::Left, Down); }); break;
        case Button2: Out.push_back([P, Down] { InjectMouseButton(P, MouseButton::Middle, Down); }); break;
        case Button3: Out.push_back([P, Down] { InjectMouseButton(P, MouseButton::Right, Down); }); break;
        case 8: Out.push_back([P, Down] { InjectMouseButton(P, MouseButton::X1, Down); }); break;
        case 9: Out.push_back([P, Down] { InjectMouseButton(P, MouseButton::X2, Down); }); break;
        case Button4:  // wheel away from the user
        case Button5:  // towards the user
        case 6:        // tilted left
        case 7:        // tilted right
          if (Down) {
            const bool Horizontal = B.button >= 6;
            const int Delta = (B.button == Button4 || B.button == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
            Out.push_back([P, Delta, Horizontal] { InjectMouseWheel(P, Delta, Horizontal); });
          }
          break;
        default: break;
      }
      break;
    }
    case EnterNotify:
      if (E.xcrossing.mode != NotifyGrab) {
        POINT P{E.xcrossing.x_root, E.xcrossing.y_root};
        Out.push_back([P] { InjectMouseMove(P); });
      }
      break;
    case LeaveNotify:
      // While a button is held the pointer is grabbed and its events keep coming to us.
      if (E.xcrossing.mode == NotifyNormal && E.xcrossing.detail != NotifyInferior &&
          !(E.xcrossing.state & kButtonsHeld))
        Out.push_back([] { InjectPointerLeft(); });
      break;
    case KeyPress:
    case KeyRelease:
      TranslateKey(E, *T, Out);
      break;
    case FocusIn:
    case FocusOut:
      TranslateFocus(E, *T, Out);
      break;
    case ConfigureNotify:
      TranslateConfigure(E, *T, Out);
      break;
    case ReparentNotify:
      T->Parent = E.xreparent.parent;
      break;
    case MapNotify:
      Trace("mapped %lx", W);
      T->Viewable = true;
      FocusWhenMapped(*T);
      break;
    case UnmapNotify:
      T->Viewable = false;
      break;
    case PropertyNotify:
      TranslateProperty(E, *T, Out);
      break;
    case ClientMessage:
      if (E.xclient.message_type == At(A_WM_PROTOCOLS) && E.xclient.format == 32 &&
          static_cast<Atom>(E.xclient.data.l[0]) == At(A_WM_DELETE_WINDOW)) {
        if (E.xclient.data.l[1]) lastTime_ = static_cast<unsigned long>(E.xclient.data.l[1]);
        Out.push_back([H] { HostCloseRequested(H); });
      }
      break;
    default: break;
  }
}

void X11Display::TranslateKey(XEvent& E, Top& T, Actions& Out) {
  XKeyEvent& K = E.xkey;
  if (K.time) lastTime_ = K.time;
  const unsigned Code = K.keycode;
  auto MapOf = [&](KeySym Sym) {
    const int Group = XkbGroupForCoreState(K.state);
    KeySym Unshifted = Code ? XkbKeycodeToKeysym(dpy_, static_cast<KeyCode>(Code), Group, 0) : NoSymbol;
    KeySym First = Code ? XkbKeycodeToKeysym(dpy_, static_cast<KeyCode>(Code), 0, 0) : NoSymbol;
    return MapKey(static_cast<uint32_t>(Sym), static_cast<uint32_t>(Unshifted), static_cast<uint32_t>(First), Code);
  };

  if (E.type == KeyRelease) {
    // Only keys whose press we reported go up: presses taken by the input method, or made while another
    // program had the focus, were never down for the layer.
    auto It = keysDown_.find(Code);
    if (It == keysDown_.end()) return;
    const WORD Vk = It->second;  // the key the press reported, even if the layout changed meanwhile
    keysDown_.erase(It);
    KeyMapping M = MapOf(XLookupKeysym(&K, 0));
    Out.push_back([Vk, M] { InjectKey(Vk, M.Scan, false, M.Extended); });
    return;
  }

  std::string Text;
  KeySym Sym = NoSymbol;
  if (T.Ic) {
    char Buf[64];
    Status St = 0;
    int N = Xutf8LookupString(T.Ic, &K, Buf, sizeof Buf, &Sym, &St);
    if (St == XBufferOverflow) {
      std::string Big(static_cast<size_t>(N), '\0');
      N = Xutf8LookupString(T.Ic, &K, Big.data(), N, &Sym, &St);
      Text.assign(Big.data(), static_cast<size_t>(std::max(N, 0)));
    } else if (N > 0) {
      Text.assign(Buf, static_cast<size_t>(N));
    }
    if (St == XLookupNone) return;
    if (St == XLookupChars) Sym = NoSymbol;  // text committed by the input method, no key
    if (St == XLookupKeySym) Text.clear();
  } else {
    char Buf[16];
    int N = XLookupString(&K, Buf, sizeof Buf, &Sym, nullptr);
    // Control characters come as bytes; other characters follow from the symbol (the bytes are Latin-1).
    if (N == 1 && (static_cast<unsigned char>(Buf[0]) < 0x20 || Buf[0] == 0x7F))
      Text.assign(1, Buf[0]);
    else if (char32_t C = KeysymToChar(static_cast<uint32_t>(Sym)))
      k58::rtl::AppendUtf8(Text, C);
  }
  std::u16string U = k58::rtl::Utf8ToUtf16(Text);

  if (Code == 0 || Sym == NoSymbol) {
    // Text from the input method (composed or converted, Chinese for example) without a key of its own.
    if (!U.empty()) Out.push_back([U] { InjectText(U); });
    return;
  }

  KeyMapping M = MapOf(Sym);
  WCHAR Char = 0;
  bool Dead = false;
  bool Packet = false;
  if (WCHAR Accent = T.Ic ? 0 : DeadKeyAccent(Sym)) {
    Char = Accent;
    Dead = true;
  } else if (U.size() == 1) {
    Char = U[0];
    // X gives Delete the DEL character; the original platform gives it none.
    if (Char == 0x7F && M.Vk != VK_BACK) Char = 0;
  } else if (U.size() > 1) {
    Packet = true;  // more than one code unit (a character beyond the BMP): sent as text
  }
  WORD Vk = Packet ? VK_PACKET : M.Vk;
  if (!Vk) {
    if (!U.empty()) Out.push_back([U] { InjectText(U); });
    return;
  }
  keysDown_[Code] = Vk;
  Out.push_back([Vk, M, Char, Dead] { InjectKey(Vk, M.Scan, true, M.Extended, 0, Char, Dead); });
  if (Packet) Out.push_back([U] { InjectText(U); });
}

void X11Display::ReleaseHeldKeys(Actions& Out) {
  // Keys released while another program had the focus would otherwise stay down for the layer (an Alt
  // of Alt+Tab turning every later key into a system key).
  for (auto& [Code, Vk] : keysDown_) {
    WORD K = Vk;
    Out.push_back([K] { InjectKey(K, 0, false); });
  }
  keysDown_.clear();
}

void X11Display::TranslateFocus(XEvent& E, Top& T, Actions& Out) {
  const XFocusChangeEvent& F = E.xfocus;
  // Grabs (the window manager's key bindings, a menu of another program) do not move the focus.
  if (F.mode == NotifyGrab || F.mode == NotifyUngrab) return;
  if (F.detail == NotifyPointer || F.detail == NotifyInferior) return;
  if (E.type == FocusIn) {
    FXFocus = T.Win;
    if (T.Ic) XSetICFocus(T.Ic);
    ReportActivation(T.Hwnd, F.serial, Out);
    return;
  }
  if (FXFocus == T.Win) FXFocus = 0;
  if (T.Ic) XUnsetICFocus(T.Ic);
  // Moving between two of our windows: the FocusIn of the other activates it, without the application
  // losing the activation in between.
  Window Focus = 0;
  int Revert = 0;
  XGetInputFocus(dpy_, &Focus, &Revert);
  if (FindX(Focus)) return;
  ReleaseHeldKeys(Out);
  ReportActivation(nullptr, F.serial, Out);
}

void X11Display::ReportActivation(HWND Window, unsigned long Serial, Actions& Out) {
  // A focus change newer than the layer's latest own activation wins over it: a window still waiting to
  // be mapped no longer takes the focus then.
  const bool Newer = Serial >= track_->WishSerial.load();
  if (Newer && focusWanted_ && focusWanted_ != Window) focusWanted_ = nullptr;
  // Applied on the GUI thread in turn with the device input, where it is checked once more: the layer
  // may have activated a window meanwhile (its request moves the focus again, and this change is
  // stale), or a newer change may follow (the layer passes through this one without asking for the
  // focus, see TopLevelActivated).
  std::shared_ptr<FocusTrack> Track = track_;
  Out.push_back([Track, Window, Serial] {
    QueueCall([Track, Window, Serial] {
      if (!Track->Alive || Serial < Track->WishSerial.load()) return;
      if (Window && !IsWindow(Window)) return;
      // A window disabled by a modal loop passes the activation on to its popup.
      HWND Target = !Window || IsWindowEnabled(Window) ? Window : GetLastActivePopup(Window);
      if (Target && !CanActivate(Target)) return;
      Track->Applying = Target;
      ActivateWindow(Target, false);
      Track->Applying = nullptr;
    });
  });
}

void X11Display::TranslateConfigure(XEvent& E, Top& T, Actions& Out) {
  const XConfigureEvent& C = E.xconfigure;
  if (C.window != T.Win || T.Minimized) return;
  int X = C.x, Y = C.y;
  // Real events of a reparented window are relative to the window manager's frame; synthetic ones
  // (sent by the window manager) are in root coordinates.
  if (!C.send_event && T.Parent && T.Parent != root_) {
    Window Child = 0;
    if (!XTranslateCoordinates(dpy_, T.Win, root_, 0, 0, &X, &Y, &Child)) return;
  }
  RECT R = XRect(X, Y, C.width, C.height);
  // Echoes of our own requests are not moves by the user; each echo also retires the older requests.
  for (size_t I = T.Requested.size(); I-- > 0;) {
    if (SameRect(AsCreated(T.Requested[I]), R)) {
      T.Requested.erase(T.Requested.begin(), T.Requested.begin() + static_cast<ptrdiff_t>(I) + 1);
      return;
    }
  }
  if (SameRect(AsCreated(T.Rect), R)) return;
  T.Rect = R;
  T.Requested.clear();
  const HWND H = T.Hwnd;
  Out.push_back([H, R] { HostMovedWindow(H, R); });
}

void X11Display::TranslateProperty(XEvent& E, Top& T, Actions& Out) {
  const XPropertyEvent& P = E.xproperty;
  const HWND H = T.Hwnd;
  // Minimising and maximising by the window manager (task bar, key bindings) reach the layer as the
  // system commands its own buttons send. Only changes of the property count: our own requests show
  // up there too, already matching the layer's state.
  if (P.atom == At(A_WM_STATE)) {
    std::vector<long> V = ReadLongs(T.Win, At(A_WM_STATE), At(A_WM_STATE), 2);
    const int Iconic = (!V.empty() && V[0] == IconicState) ? 1 : 0;
    if (Iconic == T.PropIconic) return;
    const bool First = T.PropIconic < 0;
    T.PropIconic = Iconic;
    if (First && !Iconic) return;
    if (Iconic && !T.Minimized)
      Out.push_back([H] { PostMessage(H, WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    else if (!Iconic && T.Minimized)
      Out.push_back([H] { PostMessage(H, WM_SYSCOMMAND, SC_RESTORE, 0); });
  } else if (P.atom == At(A_NET_WM_STATE)) {
    std::vector<long> V = ReadLongs(T.Win, At(A_NET_WM_STATE), XA_ATOM, 32);
    bool Vert = false, Horz = false;
    for (long A : V) {
      if (static_cast<Atom>(A) == At(A_NET_WM_STATE_MAXIMIZED_VERT)) Vert = true;
      if (static_cast<Atom>(A) == At(A_NET_WM_STATE_MAXIMIZED_HORZ)) Horz = true;
    }
    const int Max = (Vert && Horz) ? 1 : 0;
    if (Max == T.PropMaximized) return;
    const bool First = T.PropMaximized < 0;
    T.PropMaximized = Max;
    if (First && !Max) return;
    if (Max && !T.Maximized && !T.Minimized)
      Out.push_back([H] { PostMessage(H, WM_SYSCOMMAND, SC_MAXIMIZE, 0); });
    else if (!Max && T.Maximized && !T.Minimized)
      Out.push_back([H] { PostMessage(H, WM_SYSCOMMAND, SC_RESTORE, 0); });
  }
}

void X11Display::FocusWhenMapped(Top& T) {
  if (focusWanted_ != T.Hwnd) return;
  focusWanted_ = nullptr;
  RequestFocus(T);
}

}  // namespace k58::winui::x11
