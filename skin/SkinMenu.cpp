// TSkinMenu: properties and their setters, the colour scheme and colour routines, the walk that styles
// a form's menus and tool bars, and the component's life cycle.
#include "skin/SkinMenu.h"

#include <algorithm>

#include "platform/win/Windows.h"
#include "platform/classes/ClassBuilder.h"
#include "skin/SkinInternal.h"

namespace k58::skin {

// A painter or styling step that fails must not break the menu loop or the message dispatch that runs
// it: the error is dropped, and what was drawn so far stays.
bool RunIgnoringPainterErrors(const std::function<void()>& Step) {
  try {
    Step();
    return true;
  } catch (const Exception&) {
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace k58::skin

using k58::skin::Channels;

// ---- Colour routines ------------------------------------------------------------------------------------

namespace {

Integer Clamp255(Integer V) { return std::clamp<Integer>(V, 0, 255); }

// c + round((255 - c) * Percent / 100), halves to even.
Integer LightenChannel(Integer C, Integer Percent) {
  Integer num = (255 - C) * Percent;
  Integer q = num / 100;
  Integer r = num % 100;
  if (r > 50 || (r == 50 && (q % 2) != 0)) ++q;
  return Clamp255(C + q);
}

}  // namespace

TColor Lighten(TColor Color, Integer Percent) {
  Channels c(Color);
  Percent = std::clamp<Integer>(Percent, 0, 100);
  return k58::skin::Rgb(LightenChannel(c.R, Percent), LightenChannel(c.G, Percent), LightenChannel(c.B, Percent));
}

TColor Darken(TColor Color, Integer Amount) {
  Channels c(Color);
  return k58::skin::Rgb(Clamp255(c.R - Amount), Clamp255(c.G - Amount + 2), Clamp255(c.B - Amount));
}

TColor GrayColor(TColor Color, Integer Level) {
  Channels c(Color);
  Integer v = std::min<Integer>((c.R + c.G + c.B) / 3 + Level, 240);
  v = Clamp255(v);
  return k58::skin::Rgb(v, v, v);
}

TColor AverageColors(std::initializer_list<TColor> Colors) {
  if (Colors.size() == 0) return clBlack;
  auto n = static_cast<Integer>(Colors.size());
  Integer r = 0, g = 0, b = 0;
  for (TColor col : Colors) {
    Channels c(col);
    r += c.R / n;
    g += c.G / n;
    b += c.B / n;
  }
  return k58::skin::Rgb(r, g, b);
}

namespace {

// Every pixel through Map; a run of equal pixels reuses the last result.
void MapBitmap(TBitmap* Bitmap, const std::function<TColor(TColor)>& Map) {
  if (Bitmap == nullptr || Bitmap->Empty()) return;
  TCanvas* canvas = Bitmap->Canvas();
  TColor last = clNone, lastResult = clNone;
  bool haveLast = false;
  for (Integer y = 0; y < Bitmap->Height(); ++y) {
    for (Integer x = 0; x < Bitmap->Width(); ++x) {
      TColor p = canvas->Pixels(x, y);
      if (!haveLast || p != last) {
        last = p;
        lastResult = Map(p);
        haveLast = true;
      }
      canvas->SetPixels(x, y, lastResult);
    }
  }
}

}  // namespace

void GrayBitmap(TBitmap* Bitmap, Integer Level) {
  MapBitmap(Bitmap, [Level](TColor c) { return GrayColor(c, Level); });
}

void DimBitmap(TBitmap* Bitmap, Integer Percent) {
  MapBitmap(Bitmap, [Percent](TColor c) { return Lighten(c, Percent); });
}

void DrawMask(TBitmap* Bitmap, TCanvas* Canvas, Integer X, Integer Y, TColor Color) {
  if (Bitmap == nullptr || Bitmap->Empty() || Canvas == nullptr) return;
  TCanvas* source = Bitmap->Canvas();
  TColor background = source->Pixels(0, Bitmap->Height() - 1);
  TColor ink = static_cast<TColor>(ColorToRGB(Color));
  for (Integer y = 0; y < Bitmap->Height(); ++y) {
    for (Integer x = 0; x < Bitmap->Width(); ++x) {
      if (source->Pixels(x, y) != background) Canvas->SetPixels(X + x, Y + y, ink);
    }
  }
}

TColor ContrastFontColor(TCanvas* Canvas, TColor Color) {
  Channels c(Color);
  if ((c.R + c.B) / 2 > 150 || c.G > 200) return Canvas->Font()->Color();
  return Lighten(Color, 90);
}

bool CursorInRect(TCustomForm* Form, const TRect& Rect) {
  if (Form == nullptr) return false;
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  Integer x = p.x - Form->Left();
  Integer y = p.y - Form->Top();
  return x >= Rect.left && x <= Rect.right - 1 && y >= Rect.top && y <= Rect.bottom - 2;
}

// ---- The component ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TSkinMenu) {
  b.Prop("Active", &TSkinMenu::Active, &TSkinMenu::SetActive).Default(false);
  b.Prop("AutoDetect", &TSkinMenu::AutoDetect, &TSkinMenu::SetAutoDetect).Default(false);
  b.Prop("CheckedColor", &TSkinMenu::CheckedColor, &TSkinMenu::SetCheckedColor).Type(TColorTypeInfo()).Default(clHighlight);
  b.Prop("Color", &TSkinMenu::Color, &TSkinMenu::SetColor).Type(TColorTypeInfo()).Default(clBtnFace);
  b.Prop("DimLevel", &TSkinMenu::DimLevel, &TSkinMenu::SetDimLevel).Default(30);
  b.Prop("DisableSubclassing", &TSkinMenu::DisableSubclassing, &TSkinMenu::SetDisableSubclassing).Default(false);
  b.Prop("DisabledColor", &TSkinMenu::DisabledColor, &TSkinMenu::SetDisabledColor).Type(TColorTypeInfo()).Default(clInactiveCaption);
  b.Prop("DrawMenuBar", &TSkinMenu::DrawMenuBar, &TSkinMenu::SetDrawMenuBar).Default(false);
  b.Prop("DrawSelect", &TSkinMenu::DrawSelect, &TSkinMenu::SetDrawSelect).Default(true);
  b.Prop("FlatMenu", &TSkinMenu::FlatMenu, &TSkinMenu::SetFlatMenu).Default(false);
  b.Prop("Font", &TSkinMenu::Font, &TSkinMenu::SetFont);
  b.Prop("Gradient", &TSkinMenu::Gradient, &TSkinMenu::SetGradient).Default(false);
  b.Prop("GrayLevel", &TSkinMenu::GrayLevel, &TSkinMenu::SetGrayLevel).Default(10);
  b.Prop("IconBackColor", &TSkinMenu::IconBackColor, &TSkinMenu::SetIconBackColor).Type(TColorTypeInfo()).Default(clBtnFace);
  b.Prop("IconWidth", &TSkinMenu::IconWidth, &TSkinMenu::SetIconWidth).Default(24);
  b.Prop("MenuBarColor", &TSkinMenu::MenuBarColor, &TSkinMenu::SetMenuBarColor).Type(TColorTypeInfo()).Default(clBtnFace);
  b.Prop("OverrideOwnerDraw", &TSkinMenu::OverrideOwnerDraw, &TSkinMenu::SetOverrideOwnerDraw).Default(false);
  b.Prop("SelectBorderColor", &TSkinMenu::SelectBorderColor, &TSkinMenu::SetSelectBorderColor).Type(TColorTypeInfo()).Default(clHighlight);
  b.Prop("SelectColor", &TSkinMenu::SelectColor, &TSkinMenu::SetSelectColor).Type(TColorTypeInfo()).Default(clHighlight);
  b.Prop("SelectFontColor", &TSkinMenu::SelectFontColor, &TSkinMenu::SetSelectFontColor).Type(TColorTypeInfo());
  b.Prop("SeparatorColor", &TSkinMenu::SeparatorColor, &TSkinMenu::SetSeparatorColor).Type(TColorTypeInfo()).Default(clBtnFace);
  b.Prop("SkinContainers", &TSkinMenu::SkinContainers, &TSkinMenu::SetSkinContainers);
  b.Prop("SkinControls", &TSkinMenu::SkinControls, &TSkinMenu::SetSkinControls);
  b.Prop("UseDimColor", &TSkinMenu::UseDimColor, &TSkinMenu::SetUseDimColor).Default(false);
  b.Prop("UseSystemColors", &TSkinMenu::UseSystemColors, &TSkinMenu::SetUseSystemColors).Default(true);
}

TSkinMenu::TSkinMenu(TComponent* AOwner) : TComponent(AOwner), font_(new TFont) {
  font_->Assign(Screen->MenuFont());
  selectFontColor_ = font_->Color();
  form_ = dynamic_cast<TCustomForm*>(AOwner);
  for (int i = xccForm; i <= xccPageScroller; ++i) skinContainers_.Include(static_cast<TSkinContainer>(i));
  for (int i = xcMainMenu; i <= xcHotKey; ++i) skinControls_.Include(static_cast<TSkinControl>(i));
  {
    // The form may have no window yet: the display's depth is the same.
    TCanvas screen;
    screen.SetHandle(ScreenDC());
    UpdateColors(&screen);
    screen.SetHandle(nullptr);
  }
  colorsChanged_ = false;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    isNT_ = true;
    isWin2000_ = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
    isWinXP_ = version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
  }
  if (!Designing() && TSkinMenuManager::Instance() == nullptr) new TSkinMenuManager();
}

TSkinMenu::~TSkinMenu() {
  if (form_ != nullptr && !form_->ComponentState().Contains(csDestroying)) InitComponents(form_, false, false);
  if (TSkinMenuManager* manager = TSkinMenuManager::Instance(); manager != nullptr && !Designing()) {
    manager->RemoveSkinMenu(this);
    k58::skin::ReleaseSubclasses(this);
    if (form_ != nullptr && !form_->ComponentState().Contains(csDestroying)) RedrawMenuBar();
    if (manager->SkinMenus().empty()) delete manager;
  } else {
    k58::skin::ReleaseSubclasses(this);
  }
}

void TSkinMenu::RedrawMenuBar() {
  if (form_ != nullptr && form_->HandleAllocated()) ::DrawMenuBar(form_->Handle());
}

void TSkinMenu::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  // While the form is read, its menus and tool bars may not exist yet: Loaded styles them.
  if (ComponentState().Contains(csLoading)) return;
  if (form_ != nullptr) InitComponents(form_, Value, true);
  RedrawMenuBar();
}

void TSkinMenu::SetFont(TFont* Value) {
  font_->Assign(Value);
  RedrawMenuBar();
}

void TSkinMenu::SetMenuBarColor(TColor Value) {
  SetColour(menuBarColor_, Value);
  RedrawMenuBar();
}

void TSkinMenu::SetUseSystemColors(bool Value) {
  useSystemColors_ = Value;
  colorsChanged_ = true;
  RedrawMenuBar();
}

void TSkinMenu::SetOverrideOwnerDraw(bool Value) {
  overrideOwnerDraw_ = Value;
  if (active_ && form_ != nullptr && !ComponentState().Contains(csLoading)) InitComponents(form_, true, true);
}

void TSkinMenu::SwitchSet(const std::function<void()>& Store) {
  if (!active_ || form_ == nullptr || ComponentState().Contains(csLoading)) {
    Store();
    return;
  }
  active_ = false;
  InitComponents(form_, false, true);
  active_ = true;
  Store();
  InitComponents(form_, true, true);
}

void TSkinMenu::SetSkinContainers(TSkinContainers Value) {
  if (Value == skinContainers_) return;
  SwitchSet([&] { skinContainers_ = Value; });
}

void TSkinMenu::SetSkinControls(TSkinControls Value) {
  if (Value == skinControls_) return;
  SwitchSet([&] { skinControls_ = Value; });
}

void TSkinMenu::SetDisableSubclassing(bool Value) {
  if (Value == disableSubclassing_) return;
  bool wasEnabled = !disableSubclassing_;
  disableSubclassing_ = Value;
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  if (manager == nullptr) return;
  if (manager->ActiveSkinMenu() == this) {
    manager->SwitchActive(this);
  } else if (manager->ActiveSkinMenu() == nullptr && wasEnabled) {
    manager->SwitchActive(nullptr);
  }
}

void TSkinMenu::UpdateColors(TCanvas* Canvas) {
  colorsChanged_ = false;
  highColor_ = GetDeviceCaps(Canvas->Handle(), BITSPIXEL) > 15;
  faceLighten_ = 16;
  faceLightenHot_ = 40;
  DrawColor = color_;
  DrawIconBackColor = iconBackColor_;
  if (highColor_) {
    if (useDimColor_) {
      DrawSelectColor = Lighten(selectColor_, 68);
      DrawCheckedFill = Lighten(selectColor_, 80);
      DrawCheckedSelectFill = Lighten(selectColor_, 50);
    } else {
      DrawSelectColor = DrawCheckedFill = DrawCheckedSelectFill = selectColor_;
    }
    DrawBorderColor = Darken(clBtnFace, 90);
    DrawShadowColor = Darken(clBtnFace, 76);
  } else {
    DrawSelectColor = selectColor_;
    DrawCheckedFill = clWhite;
    DrawCheckedSelectFill = clSilver;
    DrawBorderColor = DrawShadowColor = clBtnShadow;
  }
  DrawSelectBorderColor = selectBorderColor_;
  DrawSelectFontColor = selectFontColor_;
  DrawMenuBarColor = menuBarColor_;
  DrawDisabledColor = disabledColor_;
  DrawCheckedColor = checkedColor_;
  DrawSeparatorColor = separatorColor_;
  if (!useSystemColors_) return;
  DrawSelectFontColor = font_->Color();
  DrawSelectBorderColor = clHighlight;
  DrawMenuBarColor = clBtnFace;
  DrawCheckedColor = clHighlight;
  if (highColor_) {
    DrawColor = Lighten(clBtnFace, 86);
    DrawIconBackColor = Lighten(clBtnFace, 16);
    DrawSelectColor = Lighten(clHighlight, 68);
    DrawDisabledColor = Lighten(clBtnShadow, 10);
    DrawSeparatorColor = Lighten(clBtnShadow, 25);
    DrawCheckedFill = Lighten(clHighlight, 80);
    DrawCheckedSelectFill = Lighten(clHighlight, 50);
  } else {
    DrawColor = clWhite;
    DrawIconBackColor = clBtnFace;
    DrawSelectColor = clWhite;
    DrawDisabledColor = clBtnShadow;
    DrawSeparatorColor = clBtnShadow;
    DrawCheckedFill = DrawCheckedSelectFill = clWhite;
  }
}

// ---- The walk -----------------------------------------------------------------------------------------

void TSkinMenu::InitComponents(TComponent* Owner, bool Enable, bool Repaint) {
  if (Owner == nullptr) return;
  // Styling a component may add others (a tool bar's buttons): walk a copy of the list.
  std::vector<TComponent*> owned;
  for (Integer i = 0; i < Owner->ComponentCount(); ++i) owned.push_back(Owner->Components(i));
  for (TComponent* c : owned) InitComponent(c, Enable, Repaint);
}

void TSkinMenu::HookItem(TMenuItem* Item, bool Enable) {
  TMenuDrawItemEvent draw(this, &TSkinMenu::DrawMenuItem);
  TMenuMeasureItemEvent measure(this, &TSkinMenu::MeasureMenuItem);
  if (Enable) {
    if (Item->Tag() != SkinSkipTag) {
      if (!Item->OnDrawItem() || overrideOwnerDraw_) Item->SetOnDrawItem(draw);
      if (!Item->OnMeasureItem() || overrideOwnerDraw_) Item->SetOnMeasureItem(measure);
    }
  } else {
    if (Item->OnDrawItem() == draw) Item->SetOnDrawItem(nullptr);
    if (Item->OnMeasureItem() == measure) Item->SetOnMeasureItem(nullptr);
  }
  for (Integer i = 0; i < Item->Count(); ++i) HookItem(Item->Items(i), Enable);
}

void TSkinMenu::InitComponent(TComponent* Component, bool Enable, bool Repaint) {
  if (Component == nullptr) return;
  if (auto* menu = dynamic_cast<TMainMenu*>(Component)) {
    if (skinControls_.Contains(xcMainMenu) && menu->Tag() != SkinSkipTag) {
      menu->SetOwnerDraw(Enable);
      TMenuItem* root = menu->Items();
      for (Integer i = 0; i < root->Count(); ++i) HookItem(root->Items(i), Enable);
      // Blanking and restoring a caption rebuilds the bar with the new measures; an empty menu has
      // nothing to rebuild.
      if (root->Count() > 0) {
        TMenuItem* first = root->Items(0);
        String caption = first->Caption();
        first->SetCaption("");
        first->SetCaption(caption);
      }
    }
  } else if (auto* popup = dynamic_cast<TPopupMenu*>(Component)) {
    if (skinControls_.Contains(xcPopupMenu)) {
      popup->SetOwnerDraw(Enable);
      TMenuItem* root = popup->Items();
      for (Integer i = 0; i < root->Count(); ++i) HookItem(root->Items(i), Enable);
    }
  } else if (auto* bar = dynamic_cast<TToolBar*>(Component)) {
    if (skinControls_.Contains(xcToolbar) && !Designing()) {
      if (!bar->Flat()) bar->SetFlat(true);
      TToolBarCustomDrawButtonEvent handler(this, &TSkinMenu::DrawToolButton);
      if (Enable) {
        if (!bar->OnCustomDrawButton() || overrideOwnerDraw_) bar->SetOnCustomDrawButton(handler);
      } else if (bar->OnCustomDrawButton() == handler) {
        bar->SetOnCustomDrawButton(nullptr);
      }
      if (Repaint) bar->Invalidate();
    }
  }
  if (auto* control = dynamic_cast<TControl*>(Component); control != nullptr && !Designing()) {
    k58::skin::StyleControl(this, control, Enable, Repaint);
  }
  if (Component->ClassName() == "TDBNavigator" || dynamic_cast<TCustomForm*>(Component) != nullptr) {
    InitComponents(Component, Enable, Repaint);
  }
}

// ---- Life cycle ---------------------------------------------------------------------------------------

void TSkinMenu::Loaded() {
  TComponent::Loaded();
  if (Designing()) return;
  if (active_ && form_ != nullptr) {
    InitComponents(form_, true, true);
    RedrawMenuBar();
  }
  if (TSkinMenuManager* manager = TSkinMenuManager::Instance()) manager->AddSkinMenu(this);
}

void TSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  if (manager != nullptr && !Designing()) manager->FormNotification(AComponent, Operation);
  TComponent::Notification(AComponent, Operation);
  if (active_ && autoDetect_ && Operation == opInsert && !Designing() &&
      (dynamic_cast<TMenuItem*>(AComponent) != nullptr || dynamic_cast<TToolButton*>(AComponent) != nullptr)) {
    InitComponent(AComponent, true, true);
  }
}
