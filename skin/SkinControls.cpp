// Which standard controls the walk selects (by the control's kind and its parent's), and the hand-over
// and restore hooks of the manager for subclassed controls.
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "skin/SkinInternal.h"

#include <map>

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/win/Windows.h"

namespace {

// The object's class or one of its ancestors has the name (for classes this layer may not have).
bool IsKindNamed(const TObject* Object, const char* Name) {
  for (TClass c = Object->ClassType(); c != nullptr; c = c->Parent()) {
    if (c->Name() == Name) return true;
  }
  return false;
}

bool IsCandidate(const TSkinMenu* S, const TControl* C) {
  const TSkinControls k = S->SkinControls();
  const String name = C->ClassName();
  return (IsKindNamed(C, "TCustomComboBox") && k.Contains(xcCombo)) ||
         (IsKindNamed(C, "TEdit") && k.Contains(xcEdit)) ||
         ((name == "TMaskEdit" || name == "TDBEdit") && k.Contains(xcMaskEdit)) ||
         (IsKindNamed(C, "TCustomMemo") && k.Contains(xcMemo)) ||
         (IsKindNamed(C, "TCustomCheckBox") && k.Contains(xcCheckBox)) ||
         (IsKindNamed(C, "TRadioButton") && k.Contains(xcRadioButton)) ||
         (name == "TBitBtn" && k.Contains(xcBitBtn)) ||
         ((name == "TButton" || name == "TDBNavigator" || name == "TDBLookupComboBox") && k.Contains(xcButton)) ||
         (name == "TUpDown" && k.Contains(xcUpDown)) ||
         (IsKindNamed(C, "TSpeedButton") && k.Contains(xcSpeedButton)) ||
         (IsKindNamed(C, "TCustomPanel") && k.Contains(xcPanel)) ||
         (IsKindNamed(C, "TCustomGroupBox") && k.Contains(xcGroupBox)) ||
         (IsKindNamed(C, "TCustomListBox") && k.Contains(xcListBox)) ||
         (IsKindNamed(C, "TCustomTreeView") && k.Contains(xcTreeView)) ||
         (IsKindNamed(C, "TProgressBar") && k.Contains(xcProgressBar));
}

bool ParentPasses(const TSkinMenu* S, const TWinControl* P) {
  if (P == nullptr) return false;
  const TSkinContainers k = S->SkinContainers();
  return (IsKindNamed(P, "TToolBar") && k.Contains(xccToolbar)) ||
         (IsKindNamed(P, "TCustomPanel") && k.Contains(xccPanel)) ||
         (IsKindNamed(P, "TScrollBox") && k.Contains(xccScrollBox)) ||
         (IsKindNamed(P, "TCustomGroupBox") && k.Contains(xccGroupBox)) ||
         ((IsKindNamed(P, "TTabSheet") || P->ClassName() == "TuxTabSheet") && k.Contains(xccTabSheet)) ||
         (P->ClassName() == "TDBCtrlPanel" && k.Contains(xccFrame)) ||
         (IsKindNamed(P, "TCustomForm") && k.Contains(xccForm));
}

}  // namespace


namespace {

// Posted to a subclassed control to switch its 3D border off.
constexpr UINT WM_SKINFLATTEN = WM_APP + 0x3B58;

std::map<TControl*, TControlSubClass*>& Registry() {
  static std::map<TControl*, TControlSubClass*> registry;
  return registry;
}

TColor ParentColour(TControl* C) {
  TWinControl* p = C->Parent();
  return p != nullptr ? p->Brush()->Color() : clBtnFace;
}

// Runs Paint on a canvas of the control's client area, or of its whole window.
void OnCanvas(TControl* Control, bool WindowDc, const std::function<void(TCanvas*, TRect)>& Paint) {
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (WindowDc) {
    if (win == nullptr || !win->HandleAllocated()) return;
    HDC dc = GetWindowDC(win->Handle());
    if (dc == nullptr) return;
    RECT wr{};
    GetWindowRect(win->Handle(), &wr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    Paint(&canvas, TRect{0, 0, wr.right - wr.left, wr.bottom - wr.top});
    canvas.SetHandle(nullptr);
    ReleaseDC(win->Handle(), dc);
    return;
  }
  if (win != nullptr && !win->HandleAllocated()) return;
  if (win == nullptr && (Control->Parent() == nullptr || !Control->Parent()->HandleAllocated())) return;
  TControlCanvas canvas;
  canvas.SetControl(Control);
  Paint(&canvas, Control->ClientRect());
}

}  // namespace

K58_IMPLEMENT_CLASS(TControlSubClass) {}

TControlSubClass::TControlSubClass(TComponent* AOwner) : TComponent(AOwner) {}

TControlSubClass::~TControlSubClass() {
  if (Control != nullptr) {
    Restore();
    Registry().erase(Control);
    Control->RemoveFreeNotification(this);
  }
}

TControlSubClass* TControlSubClass::Of(TControl* Control) {
  auto found = Registry().find(Control);
  return found != Registry().end() ? found->second : nullptr;
}

void TControlSubClass::Attach(TControl* AControl, TSkinMenu* ASkinMenu) {
  Control = AControl;
  SkinMenu = ASkinMenu;
  TWndMethod ours(this, &TControlSubClass::SubclassWindowProc);
  if (!(Control->WindowProc() == ours)) {
    SavedWindowProc = Control->WindowProc();
    Control->SetWindowProc(ours);
  }
  if (auto* edit = dynamic_cast<TCustomEdit*>(Control)) {
    SavedCtl3D = edit->Ctl3D();
    SavedBorderStyle = static_cast<Byte>(edit->BorderStyle());
  } else if (auto* list = dynamic_cast<TCustomListBox*>(Control)) {
    SavedCtl3D = list->Ctl3D();
    SavedBorderStyle = static_cast<Byte>(list->BorderStyle());
  } else if (auto* tree = dynamic_cast<TCustomTreeView*>(Control)) {
    SavedCtl3D = tree->Ctl3D();
    SavedBorderStyle = static_cast<Byte>(tree->BorderStyle());
  } else if (auto* win = dynamic_cast<TWinControl*>(Control); win != nullptr && Control->ClassName() == "TDBLookupComboBox") {
    SavedCtl3D = win->Ctl3D();
  }
  Registry()[Control] = this;
  Control->FreeNotification(this);
}

void TControlSubClass::Restore() {
  if (Control == nullptr) return;
  if (Control->WindowProc() == TWndMethod(this, &TControlSubClass::SubclassWindowProc)) {
    Control->SetWindowProc(SavedWindowProc);
  }
  // A control that goes (with its form) is not given a new window for its old look.
  if (Control->ComponentState().Contains(csDestroying)) return;
  k58::skin::RunIgnoringPainterErrors([&] {
    if (auto* edit = dynamic_cast<TCustomEdit*>(Control)) {
      edit->SetCtl3D(SavedCtl3D);
      edit->SetBorderStyle(static_cast<TBorderStyle>(SavedBorderStyle));
    } else if (auto* list = dynamic_cast<TCustomListBox*>(Control)) {
      list->SetCtl3D(SavedCtl3D);
      list->SetBorderStyle(static_cast<TBorderStyle>(SavedBorderStyle));
    } else if (auto* tree = dynamic_cast<TCustomTreeView*>(Control)) {
      tree->SetCtl3D(SavedCtl3D);
      tree->SetBorderStyle(static_cast<TBorderStyle>(SavedBorderStyle));
    } else if (auto* win = dynamic_cast<TWinControl*>(Control); win != nullptr && Control->ClassName() == "TDBLookupComboBox") {
      win->SetCtl3D(SavedCtl3D);
    }
  });
}

void TControlSubClass::FreeSelf() {
  Restore();
  Registry().erase(Control);
  Control->RemoveFreeNotification(this);
  Control = nullptr;
  FreeObject(this);
}

void TControlSubClass::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Control && Control != nullptr) {
    // The control goes: nothing is left to restore.
    Registry().erase(Control);
    Control = nullptr;
  }
}

void TControlSubClass::SubclassWindowProc(TMessage& Message) {
  TControl* c = Control;
  if (c == nullptr) return;
  if (Message.Msg == WM_SKINFLATTEN) {
    flattenPosted_ = false;
    auto* win = dynamic_cast<TWinControl*>(c);
    if (win != nullptr && win->Ctl3D() && SkinMenu != nullptr && SkinMenu->Active()) {
      KeepOnDestroy = true;
      win->SetCtl3D(false);
    }
    return;
  }
  const bool graphic = dynamic_cast<TWinControl*>(c) == nullptr;
  if (Message.Msg == WM_PAINT && graphic) {
    Message.Result = 1;
  } else if (Message.Msg == WM_NCPAINT && c->ClassName() == "TDBLookupComboBox") {
    Message.Result = 1;
  } else {
    SavedWindowProc(Message);
  }
  // Without a painter the control only passes its messages on.
  if (SkinMenu == nullptr || Control == nullptr) return;
  if (!SkinMenu->Active()) {
    // Switched off: the control gets its own procedure back; the message keeps its result.
    FreeSelf();
    return;
  }
  LastMessage = Message.Msg;
  switch (Message.Msg) {
    case WM_DESTROY:
      flattenPosted_ = false;  // a request posted to this window is gone with it
      if (!KeepOnDestroy) FreeSelf();
      return;
    case WM_SETFOCUS: Hot = true; PaintControl(); break;
    case WM_KILLFOCUS: Hot = false; PaintControl(); break;
    case WM_PAINT: KeepOnDestroy = false; PaintControl(); break;
    case WM_WINDOWPOSCHANGED:
    case 0xBE10:
    case 0xB8:
    case CM_INVALIDATE:
    case CM_CTL3DCHANGED:
    case CM_PARENTCTL3DCHANGED: KeepOnDestroy = true; break;
    case WM_NCPAINT:
      if (dynamic_cast<TCustomListBox*>(c) != nullptr || dynamic_cast<TCustomTreeView*>(c) != nullptr) PaintControl();
      break;
    case BM_GETCHECK:
    case BM_SETCHECK: Hot = false; PaintControl(); break;
    case BM_SETSTATE: PaintControl(); break;
    case WM_KEYDOWN:
      if (Message.WParam == VK_SPACE) {
        SpaceDown = true;
        if (!SpaceRepainted) PaintControl();
        SpaceRepainted = true;
      }
      break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE) {
        SpaceDown = SpaceRepainted = false;
        PaintControl();
      }
      break;
    case WM_MOUSEMOVE:
      if (c->Enabled() && c->ClassName() == "TUpDown") PaintControl();
      break;
    case WM_LBUTTONDOWN: Pressed = true; PaintControl(); break;
    case WM_LBUTTONUP:
      Pressed = false;
      if (graphic) c->Repaint();
      else PaintControl();
      break;
    case WM_LBUTTONDBLCLK:
      if (c->ClassName() == "TButton" || IsKindNamed(c, "TSpeedButton") || IsKindNamed(c, "TCheckBox")) {
        c->Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam);
      }
      break;
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_TEXTCHANGED: PaintControl(); break;
    case CM_ENABLEDCHANGED:
      if (Message.WParam == 0) Hot = false;
      PaintControl();
      break;
    case CM_MOUSEENTER:
      if (c->Enabled()) {
        Hot = true;
        if (graphic) c->Repaint();
        else PaintControl();
      }
      break;
    case CM_MOUSELEAVE:
      if (c->Enabled()) {
        Hot = false;
        if (graphic) c->Invalidate();
        else PaintControl();
      }
      break;
    case CM_EXIT: Hot = false; PaintControl(); break;
    default: break;
  }
}

// Switching Ctl3D off re-creates the window, which must not happen inside one of its own messages: it is
// asked for by a message of our own, handled when the current one is done.
void TControlSubClass::FlattenLater(TWinControl* Control) {
  if (!Control->Ctl3D() || flattenPosted_ || !Control->HandleAllocated()) return;
  flattenPosted_ = true;
  PostMessage(Control->Handle(), WM_SKINFLATTEN, 0, 0);
}

void TControlSubClass::PaintControl() {
  TControl* c = Control;
  if (c == nullptr || SkinMenu == nullptr) return;
  auto* win = dynamic_cast<TWinControl*>(c);
  Focused = win != nullptr && win->HandleAllocated() && win->Focused();
  TSkinMenu* s = SkinMenu;
  const TColor parent = ParentColour(c);
  if (auto* combo = dynamic_cast<TCustomComboBox*>(c)) PaintCombo(combo);
  if (win != nullptr && c->ClassName() == "TDBLookupComboBox") PaintLookupCombo(win);
  if (auto* edit = dynamic_cast<TCustomEdit*>(c); edit != nullptr && dynamic_cast<TCustomMemo*>(c) == nullptr) {
    FlattenLater(edit);
    TColor pen = Hot || Focused ? Lighten(s->DrawSelectBorderColor, 60) : Darken(parent, 60);
    if (static_cast<TBorderStyle>(SavedBorderStyle) == bsNone) {
      pen = Hot && !Focused ? Lighten(AverageColors({c->Color(), parent}), 40) : c->Color();
    }
    OnCanvas(c, false, [&](TCanvas* k, TRect r) { k58::skin::OutlineRect(k, r, pen); });
  }
  if (auto* box = dynamic_cast<TCustomCheckBox*>(c)) {
    const Integer size = GetSystemMetrics(SM_CXHTHUMB);
    OnCanvas(c, false, [&](TCanvas* k, TRect r) {
      TColor face = clWindow, frame = clBtnShadow;
      if (Hot || Focused) {
        face = s->DrawSelectColor;
        frame = s->DrawSelectBorderColor;
      }
      if (Pressed || SpaceDown) face = s->DrawCheckedSelectFill;
      const bool grayed = box->State() == cbGrayed;
      const Integer top = r.top + 3 + (r.bottom - r.top - 6 - size) / 2;
      const bool right = box->Alignment() == taLeftJustify;
      TRect sq = right ? TRect{r.right - size, top, r.right, top + size} : TRect{r.left, top, r.left + size, top + size};
      k->Brush()->SetColor(c->Color());
      k->FillRect(sq);
      TRect in{sq.left + 2, sq.top + 2, sq.right - 2, sq.bottom - 2};
      k->Brush()->SetColor(grayed ? clSilver : face);
      k->Pen()->SetColor(frame);
      k->Rectangle(in);
      if (box->State() != cbUnchecked) {
        TColor tick = !c->Enabled() ? s->DrawDisabledColor : Pressed || SpaceDown ? clWindow : grayed ? RGB(128, 128, 128) : clHighlight;
        k->Pen()->SetColor(tick);
        const Integer x = in.left, y = in.bottom;
        for (Integer n = 0; n < 3; ++n) {
          k->Polyline({{x + 2, y - n - 5}, {x + 4, y - n - 3}, {x + 9, y - n - 8}});
        }
      }
    });
  }
  if (auto* radio = dynamic_cast<TRadioButton*>(c)) {
    const Integer size = GetSystemMetrics(SM_CXHTHUMB) - 1;
    OnCanvas(c, false, [&](TCanvas* k, TRect r) {
      TColor face = clWindow, frame = clBtnShadow;
      if (Hot) {
        face = s->DrawSelectColor;
        frame = s->DrawSelectBorderColor;
      }
      if (Focused) face = s->DrawSelectColor;
      const Integer top = r.top + 4 + (r.bottom - r.top - 8 - size) / 2;
      const bool right = radio->Alignment() == taLeftJustify;
      TRect sq = right ? TRect{r.right - size, top, r.right, top + size} : TRect{r.left, top, r.left + size, top + size};
      k->Brush()->SetColor(c->Color());
      k->FillRect(sq);
      k->Brush()->SetColor(face);
      k->Pen()->SetColor(frame);
      k->Ellipse(sq.left + 2, sq.top + 2, sq.right - 2, sq.bottom - 2);
      if (radio->Checked()) {
        TColor dot = c->Enabled() ? TColor(clHighlight) : s->DrawDisabledColor;
        k->Brush()->SetColor(dot);
        k->Pen()->SetColor(dot);
        k->Ellipse(sq.left + 4, sq.top + 4, sq.right - 4, sq.bottom - 4);
      }
    });
  }
  if (c->ClassName() == "TBitBtn" || c->ClassName() == "TButton") {
    PaintButton();
  }
  if (auto* upDown = dynamic_cast<TUpDown*>(c)) PaintUpDown(upDown);
  if (auto* speed = dynamic_cast<TSpeedButton*>(c); speed != nullptr && c->Visible()) {
    PaintSpeedButton(speed);
  }
  if (dynamic_cast<TCustomGroupBox*>(c) != nullptr && LastMessage == WM_PAINT) {
    auto* group = static_cast<TCustomGroupBox*>(c);
    OnCanvas(c, false, [&](TCanvas* k, TRect r) {
      k->Font()->Assign(group->Font());
      const String caption = c->Caption();
      const Integer th = k->TextHeight("W");
      const TColor light = Lighten(c->Color(), 60), dark = Darken(c->Color(), 60);
      const bool ctl3d = group->Ctl3D();
      TRect frame{r.left, r.top + th / 2, r.right, r.bottom};
      k->Brush()->SetColor(c->Color());
      k->FillRect(TRect{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1});
      const Integer tw = caption.empty() ? 0 : k->TextWidth(StripHotkey(caption)) + 2;
      const Integer capLeft = frame.left + 9, capRight = capLeft + tw;
      k->Pen()->SetColor(ctl3d ? light : dark);
      k->Polyline({{frame.left, frame.bottom - 1}, {frame.left, frame.top}, {capLeft, frame.top}});
      k->Polyline({{capRight, frame.top}, {frame.right - 1, frame.top}});
      k->Pen()->SetColor(dark);
      k->Polyline({{frame.right - 1, frame.top}, {frame.right - 1, frame.bottom - 1}, {frame.left - 1, frame.bottom - 1}});
      if (!caption.empty()) {
        RECT tr{capLeft + 1, r.top, capRight, r.top + th};
        k->Brush()->SetColor(c->Color());
        k->FillRect(tr);
        SetBkMode(k->Handle(), TRANSPARENT);
        k->Font()->SetColor(group->Font()->Color());
        DrawTextExA(k->Handle(), caption.c_str(), static_cast<int>(caption.size()), &tr, DT_SINGLELINE | DT_LEFT, nullptr);
      }
    });
  }
  if (auto* panel = dynamic_cast<TCustomPanel*>(c); panel != nullptr && LastMessage == WM_PAINT) {
    OnCanvas(c, false, [&](TCanvas* k, TRect r) {
      const TColor dark = Darken(c->Color(), 60), light = Lighten(c->Color(), 60);
      auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        for (Integer n = 0; n < panel->BevelWidth(); ++n) {
          k->Pen()->SetColor(cut == bvLowered ? dark : light);
          k->Polyline({{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 1, r.top}});
          k->Pen()->SetColor(cut == bvLowered ? light : dark);
          k->Polyline({{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
          InflateRect(&r, -1, -1);
        }
      };
      bevel(panel->BevelOuter());
      InflateRect(&r, -panel->BorderWidth(), -panel->BorderWidth());
      bevel(panel->BevelInner());
    });
  }
  if (dynamic_cast<TCustomListBox*>(c) != nullptr || dynamic_cast<TCustomTreeView*>(c) != nullptr) {
    FlattenLater(win);
    const bool single = static_cast<TBorderStyle>(SavedBorderStyle) == bsSingle;
    TColor pen = Hot || Focused ? Lighten(s->DrawSelectBorderColor, single ? 60 : 80) : single ? Darken(parent, 60) : parent;
    OnCanvas(c, true, [&](TCanvas* k, TRect r) { k58::skin::OutlineRect(k, r, pen); });
  }
  if (dynamic_cast<TProgressBar*>(c) != nullptr) {
    TColor pen = Hot ? s->DrawSelectBorderColor : Darken(parent, 60);
    OnCanvas(c, true, [&](TCanvas* k, TRect r) { k58::skin::OutlineRect(k, r, pen); });
  }
}

namespace {

// The border and button colours of a flat combo box by its state, and the colour of its arrow.
struct ComboColours {
  TColor Edge, Button, Arrow;
};

ComboColours ComboColoursFor(TSkinMenu* S, TControl* C, bool Hot, bool Focused, bool Dropped) {
  ComboColours k{C->Color(), clBtnFace, clBlack};
  if (Hot) {
    k.Edge = S->DrawSelectBorderColor;
    k.Button = S->DrawSelectColor;
  } else if (C->Tag() == 1000) {
    k.Button = Lighten(ParentColour(C), S->FaceLighten());
  }
  if (Focused && !Hot) {
    k.Edge = Lighten(S->DrawSelectBorderColor, 60);
    k.Button = S->DrawCheckedFill;
  }
  if (Dropped) {
    k.Edge = S->DrawSelectBorderColor;
    k.Button = S->DrawCheckedSelectFill;
    k.Arrow = clWhite;
  }
  if (!C->Enabled()) k.Arrow = clWhite;
  return k;
}

// The drop-down arrow: rows of 5, 3 and 1 pixels from (X, Y) down.
void ComboArrow(TCanvas* K, Integer X, Integer Y, TColor Color) {
  for (Integer row = 0; row < 3; ++row) {
    K->Pen()->SetColor(Color);
    K->MoveTo(X + row, Y + row);
    K->LineTo(X + 5 - row, Y + row);
  }
}

// The up-down chevron around (X, Y): its point at the top for Up, at the bottom otherwise.
void Chevron(TCanvas* K, Integer X, Integer Y, bool Up, TColor Color) {
  K->Pen()->SetColor(Color);
  auto line = [&](Integer X1, Integer Y1, Integer X2, Integer Y2) {
    K->MoveTo(X1, Y1);
    K->LineTo(X2, Y2);
  };
  if (Up) {
    K->SetPixels(X, Y, Color);
    line(X + 1, Y + 1, X + 4, Y + 4);
    line(X, Y + 1, X + 3, Y + 4);
    line(X, Y + 2, X + 2, Y + 4);
    line(X - 1, Y + 1, X - 4, Y + 4);
    line(X, Y + 2, X - 3, Y + 4);
    line(X, Y + 1, X - 2, Y + 4);
  } else {
    K->SetPixels(X, Y + 3, Color);
    line(X + 1, Y + 2, X + 4, Y - 1);
    line(X, Y + 2, X + 3, Y - 1);
    line(X, Y + 1, X + 2, Y);
    line(X - 1, Y + 2, X - 4, Y - 1);
    line(X, Y + 2, X - 3, Y - 1);
    line(X, Y + 1, X - 2, Y);
  }
}

}  // namespace

// The combo box painter. From the outside in: a frame in the parent colour, a ring in the control colour
// whose top line stays in the parent colour, and the border ring in E (one ring further out when hot or
// focused, the ring it leaves then cleared to the control colour); then the button: the last SM_CXHTHUMB + 1
// pixels inside the border (one more when hot or focused) in F, its first 5 pixels, next to the text, in
// the control colour and closed by a line in E, with the arrow.
void TControlSubClass::PaintCombo(TCustomComboBox* Combo) {
  TSkinMenu* s = SkinMenu;
  const bool focused = Focused || Combo->Focused();
  const bool hotOrFocused = Hot || focused;
  const ComboColours k = ComboColoursFor(s, Combo, Hot, focused, Combo->HandleAllocated() && Combo->DroppedDown());
  const TColor parent = ParentColour(Combo), face = Combo->Color();
  OnCanvas(Combo, false, [&](TCanvas* K, TRect r) {
    k58::skin::OutlineRect(K, r, parent);
    TRect ring{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    k58::skin::OutlineRect(K, ring, face);
    K->Pen()->SetColor(parent);
    K->MoveTo(ring.left, ring.top);
    K->LineTo(ring.right, ring.top);
    TRect border{ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1};
    if (hotOrFocused) {
      k58::skin::OutlineRect(K, border, face);
      border = ring;
    }
    k58::skin::OutlineRect(K, border, k.Edge);
    if (Combo->Style() == csSimple) return;
    const TRect inner{border.left + 1, border.top + 1, border.right - 1, border.bottom - 1};
    const Integer width = GetSystemMetrics(SM_CXHTHUMB) + 1 + (hotOrFocused ? 1 : 0);
    const TRect button{std::max<Integer>(inner.left, inner.right - width), inner.top, inner.right, inner.bottom};
    K->Brush()->SetColor(k.Button);
    K->FillRect(button);
    K->Brush()->SetColor(face);
    K->FillRect(TRect{button.left, button.top, std::min<Integer>(button.left + 5, button.right), button.bottom});
    K->Pen()->SetColor(k.Edge);
    K->MoveTo(button.left + 5, button.top);
    K->LineTo(button.left + 5, button.bottom);
    ComboArrow(K, button.right - 10, r.top + 10, k.Arrow);
  });
}

// The lookup combo painter, on the whole window with its 3D border switched off: the frame in E, a ring
// in the control colour inside it, and the button in F framed in E.
void TControlSubClass::PaintLookupCombo(TWinControl* Combo) {
  FlattenLater(Combo);
  const ComboColours k = ComboColoursFor(SkinMenu, Combo, Hot, Focused, false);
  OnCanvas(Combo, true, [&](TCanvas* K, TRect r) {
    k58::skin::OutlineRect(K, r, k.Edge);
    const TRect ring{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    k58::skin::OutlineRect(K, ring, Combo->Color());
    const TRect inner{ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1};
    const Integer width = GetSystemMetrics(SM_CXHTHUMB) + 1;
    const TRect button{std::max<Integer>(inner.left, inner.right - width), r.top, r.right, r.bottom};
    K->Brush()->SetColor(k.Button);
    K->Pen()->SetColor(k.Edge);
    K->Rectangle(button);
    ComboArrow(K, r.right - 9, r.top + 8, k.Arrow);
  });
}

// The up-down painter: a top and a bottom half, the one under the mouse hot; a half that already shows
// its frame colour is left as it is.
void TControlSubClass::PaintUpDown(TUpDown* UpDown) {
  TSkinMenu* s = SkinMenu;
  const TColor parent = ParentColour(UpDown);
  TPoint mouse{-1, -1};
  if (UpDown->HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    mouse = UpDown->ScreenToClient(p);
  }
  OnCanvas(UpDown, false, [&](TCanvas* K, TRect r) {
    const Integer half = (r.bottom - r.top) / 2;
    const TRect halves[2] = {{r.left, r.top, r.right, r.top + half}, {r.left, r.top + half, r.right, r.top + 2 * half}};
    for (Integer n = 0; n < 2; ++n) {
      const TRect& h = halves[n];
      const bool hot = UpDown->Enabled() && Hot && mouse.x >= h.left && mouse.x < h.right && mouse.y >= h.top &&
                       mouse.y < h.bottom;
      TColor pen, brush, arrow = UpDown->Enabled() ? clBlack : clWhite;
      if (hot) {
        pen = s->DrawSelectBorderColor;
        brush = Pressed ? s->DrawCheckedSelectFill : Lighten(s->DrawSelectColor, 60);
        if (Pressed) arrow = clWhite;
      } else {
        brush = Lighten(UpDown->Tag() == 1000 ? parent : s->DrawSelectColor, s->FaceLighten());
        pen = Lighten(parent, 80);
      }
      if (ColorToRGB(K->Pixels(h.left, h.top)) == ColorToRGB(pen)) continue;
      K->Pen()->SetColor(pen);
      K->Brush()->SetColor(brush);
      K->Rectangle(h);
      Chevron(K, (h.left + h.right) / 2, (h.top + h.bottom) / 2 - 2, n == 0, arrow);
    }
  });
}

// The button and bit button painter: a rounded face by the face rule, the 3D line, and the caption (with
// the glyph for a bit button) through the item text and glyph painters.
void TControlSubClass::PaintButton() {
  TControl* c = Control;
  TSkinMenu* s = SkinMenu;
  const TColor parent = ParentColour(c);
  auto* bit = dynamic_cast<TBitBtn*>(c);
  const bool parentFace = bit != nullptr ? (c->Tag() & 1000) == 1000 : c->Tag() == 1000;
  OnCanvas(c, false, [&](TCanvas* k, TRect r) {
    TColor face = parentFace ? Lighten(parent, Hot ? s->FaceLightenHot() : s->FaceLighten())
                             : Hot ? Lighten(clBtnFace, s->FaceLightenHot()) : s->DrawIconBackColor;
    TColor edge = Hot || Focused ? Lighten(s->DrawSelectBorderColor, 60) : TColor(clBtnShadow);
    const bool flatLine = bit != nullptr && (c->Tag() & 1001) == 1001;
    k->Brush()->SetColor(parent);
    k->FillRect(r);
    k->Brush()->SetColor(face);
    k->Pen()->SetColor(flatLine ? face : Lighten(edge, 30));
    k->RoundRect(r.left, r.top, r.right, r.bottom, 4, 4);
    if (c->Enabled() && !flatLine) {
      k->Pen()->SetColor(Darken(edge, 50));
      if (SpaceDown || (Pressed && Hot)) k->Polyline({{r.left + 1, r.bottom - 2}, {r.left + 1, r.top + 1}, {r.right - 1, r.top + 1}});
      else k->Polyline({{r.right - 2, r.top + 1}, {r.right - 2, r.bottom - 2}, {r.left, r.bottom - 2}});
    }
    auto* button = dynamic_cast<TButton*>(c);
    TFont font;
    font.Assign(static_cast<TWinControl*>(c)->Font());
    k->Font()->Assign(&font);
    const String caption = c->Caption();
    if (bit == nullptr) {
      s->DrawItemText(c, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, &font, false, false,
                      button != nullptr && button->Default(), c->Enabled(), false, r, k, String());
      return;
    }
    if ((c->Tag() & 1002) == 1002) {
      TRect tr{r.left + 4, r.top + 2, r.right - 4, r.bottom - 2};
      s->DrawItemText(c, caption, DT_LEFT | DT_VCENTER | DT_SINGLELINE, &font, false, false, bit->Default(),
                      c->Enabled(), false, tr, k, String());
      return;
    }
    TBitmap glyph;
    k58::forms::CopyGlyphSection(bit->Glyph(), bit->NumGlyphs(), 0, &glyph);
    TSize gs{glyph.Empty() ? 0 : glyph.Width(), glyph.Empty() ? 0 : glyph.Height()};
    TSize ts = caption.empty() ? TSize{0, 0} : k->TextExtent(StripHotkey(caption));
    auto p = k58::forms::PlaceGlyphAndCaption(r, gs, ts, bit->Layout(), caption.empty() ? 0 : bit->Spacing());
    if (gs.cx > 0) {
      s->DrawMenuGlyph(c, k, false, false, false, c->Enabled(), Focused, Hot,
                       TRect{p.Glyph.x, p.Glyph.y - 1, p.Glyph.x + gs.cx, p.Glyph.y + gs.cy}, &glyph);
    }
    if (!caption.empty()) {
      s->DrawItemText(c, caption, DT_LEFT | DT_SINGLELINE, &font, false, false, bit->Default(), c->Enabled(), false,
                      p.Text, k, String());
    }
  });
}

// The speed button painter: face and edge by state, a tint for transparent buttons, the outline, the 3D
// lines, and the glyph section of the state.
void TControlSubClass::PaintSpeedButton(TSpeedButton* B) {
  TSkinMenu* s = SkinMenu;
  TControl* c = Control;
  const TColor parent = ParentColour(c);
  if (B->Flat()) {
    POINT p{};
    GetCursorPos(&p);
    TPoint local = c->ScreenToClient(p);
    Hot = local.x >= 0 && local.y >= 0 && local.x < c->Width() && local.y < c->Height();
  }
  const bool pressed = Pressed || B->State() == bsDown;
  const bool flat = B->Flat();
  TColor face, edge;
  if (Hot) {
    face = flat ? s->DrawSelectColor : c->Tag() == 1000 ? Lighten(parent, s->FaceLightenHot()) : Lighten(clBtnFace, s->FaceLightenHot());
    edge = Lighten(s->DrawSelectBorderColor, 60);
  } else {
    face = flat || c->ClassName() == "TNavButton" ? parent : c->Tag() == 1000 ? Lighten(parent, s->FaceLighten()) : s->DrawIconBackColor;
    edge = clBtnShadow;
  }
  if (B->Down()) {
    face = Hot ? s->DrawCheckedSelectFill : s->DrawCheckedFill;
    edge = s->DrawSelectBorderColor;
  }
  if (!c->Enabled()) edge = clBtnShadow;
  const bool idle = !Hot && !B->Down() && !pressed;
  // Graphic controls paint on the parent's canvas through the control canvas.
  OnCanvas(c, false, [&](TCanvas* k, TRect r) {
    if (B->Transparent() && (B->Down() || Hot)) {
      TBitmap tint;
      tint.SetSize(r.right - r.left, r.bottom - r.top);
      TColor t = flat ? Lighten(s->DrawSelectColor, 20) : Lighten(face, 5);
      if (!s->HighColor()) t = face;
      tint.Canvas()->Brush()->SetColor(t);
      tint.Canvas()->FillRect(TRect{0, 0, tint.Width(), tint.Height()});
      BitBlt(k->Handle(), r.left, r.top, tint.Width(), tint.Height(), tint.Canvas()->Handle(), 0, 0, SRCAND);
    } else if (!B->Transparent()) {
      k->Brush()->SetColor(face);
      k->FillRect(r);
    }
    if (!(B->Transparent() && flat && idle)) {
      k58::skin::OutlineRect(k, r, flat && idle ? face : Lighten(edge, 30));
    }
    if (c->Enabled()) {
      auto leftTop = [&](TColor col) {
        k->Pen()->SetColor(col);
        k->Polyline({{r.left + 1, r.bottom - 2}, {r.left + 1, r.top + 1}, {r.right - 1, r.top + 1}});
      };
      if (flat) {
        if (pressed || B->Down()) {
          k58::skin::OutlineRect(k, r, edge);
          leftTop(Darken(edge, 50));
        } else if (Hot) {
          k58::skin::OutlineRect(k, r, s->DrawSelectBorderColor);
        }
      } else if (pressed || B->Down()) {
        leftTop(Darken(edge, 50));
      } else {
        k->Pen()->SetColor(Darken(edge, 50));
        k->Polyline({{r.right - 2, r.top + 1}, {r.right - 2, r.bottom - 2}, {r.left, r.bottom - 2}});
      }
    }
    Integer section = 0;
    if (!c->Enabled() && B->NumGlyphs() >= 2) section = 1;
    else if (pressed && B->NumGlyphs() >= 3) section = 2;
    else if (B->Down() && B->NumGlyphs() >= 4) section = 3;
    TBitmap glyph;
    k58::forms::CopyGlyphSection(B->Glyph(), B->NumGlyphs(), section, &glyph);
    k->Font()->Assign(B->Font());
    const String caption = c->Caption();
    TSize gs{glyph.Empty() ? 0 : glyph.Width(), glyph.Empty() ? 0 : glyph.Height()};
    TSize ts = caption.empty() ? TSize{0, 0} : k->TextExtent(StripHotkey(caption));
    auto p = k58::forms::PlaceGlyphAndCaption(r, gs, ts, B->Layout(), B->Spacing());
    if (gs.cx > 0) {
      s->DrawMenuGlyph(c, k, false, false, B->Down() || pressed, c->Enabled(), false, Hot,
                       TRect{p.Glyph.x, p.Glyph.y - 1, p.Glyph.x + gs.cx, p.Glyph.y + gs.cy}, &glyph);
    }
    if (!caption.empty()) {
      TFont font;
      font.Assign(B->Font());
      s->DrawItemText(c, caption, DT_LEFT | DT_SINGLELINE, &font, false, false, false, c->Enabled(), false, p.Text, k,
                      String());
    }
  });
}

namespace k58::skin {

void StyleControl(TSkinMenu* SkinMenu, TControl* Control, bool Enable, bool Repaint) {
  if (!IsCandidate(SkinMenu, Control) || !ParentPasses(SkinMenu, Control->Parent())) return;
  if (Enable && Control->Tag() != SkinSkipTag && Control->Parent()->Tag() != SkinSkipTag) {
    // A control subclassed already keeps its one subclass, which now paints for this painter.
    if (TControlSubClass* existing = TControlSubClass::Of(Control)) {
      existing->SkinMenu = SkinMenu;
    } else {
      (new TControlSubClass(SkinMenu))->Attach(Control, SkinMenu);
    }
  }
  if (Repaint) Control->Invalidate();
}

std::vector<TControlSubClass*> SubclassesOf(TSkinMenu* Owner) {
  std::vector<TControlSubClass*> list;
  for (Integer i = 0; i < Owner->ComponentCount(); ++i) {
    if (auto* sub = dynamic_cast<TControlSubClass*>(Owner->Components(i))) list.push_back(sub);
  }
  return list;
}

void ReleaseSubclasses(TSkinMenu* SkinMenu) {
  for (TControlSubClass* sub : SubclassesOf(SkinMenu)) sub->Restore();
}

void HandOverSubclasses(TSkinMenu* From, TSkinMenu* To, TCustomForm* KeepForm) {
  for (TControlSubClass* sub : SubclassesOf(From)) {
    if (sub->Control == nullptr || (KeepForm != nullptr && KeepForm->ContainsControl(sub->Control))) continue;
    // The new subclass takes the saved procedure and states; the old one leaves the control alone.
    auto* taken = new TControlSubClass(To);
    TControl* control = sub->Control;
    taken->SavedWindowProc = sub->SavedWindowProc;
    taken->SavedCtl3D = sub->SavedCtl3D;
    taken->SavedBorderStyle = sub->SavedBorderStyle;
    taken->SkinMenu = To;
    taken->Control = control;
    control->SetWindowProc(TWndMethod(taken, &TControlSubClass::SubclassWindowProc));
    control->RemoveFreeNotification(sub);
    sub->Control = nullptr;
    Registry()[control] = taken;
    control->FreeNotification(taken);
  }
}

void RestoreSubclasses(TSkinMenu* Owner, TWinControl* Container) {
  std::vector<TControlSubClass*> list = SubclassesOf(Owner);
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    TControlSubClass* sub = *it;
    if (sub->Control != nullptr && Container != nullptr && Container->ContainsControl(sub->Control)) sub->Restore();
  }
}

}  // namespace k58::skin
