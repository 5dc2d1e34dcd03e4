// The menu item and tool button painters of TSkinMenu and the sub-painters they share: bar selection,
// check marks, item text, glyphs and the gradient.
#include <cmath>

#include "platform/rtl/Strings.h"
#include "platform/win/Windows.h"
#include "skin/SkinInternal.h"
#include "platform/win/gdi/WinRect.h"
#include "skin/SkinMenu.h"

using k58::gdi::Height;
using k58::gdi::Width;

namespace {

// Rounds to the nearest integer, halves to even.
Integer RoundEven(double V) { return static_cast<Integer>(std::nearbyint(V)); }

bool IsBarItem(TMenuItem* Item) {
  auto* menu = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
  return menu != nullptr && Item->Parent() == menu->Items();
}

// The image list of an item: its parent's SubMenuImages, else its menu's Images.
TCustomImageList* ItemImages(TMenuItem* Item) {
  if (Item->Parent() != nullptr && Item->Parent()->SubMenuImages() != nullptr) return Item->Parent()->SubMenuImages();
  TMenu* menu = Item->GetParentMenu();
  return menu != nullptr ? menu->Images() : nullptr;
}

void Line(TCanvas* C, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
}

void Fill(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

// An outline in Pen over a fill in Brush (Rectangle's own semantics).
void Box(TCanvas* C, const TRect& R, TColor Pen, TColor Brush) {
  C->Pen()->SetColor(Pen);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Brush);
  C->Rectangle(R);
}

void DrawText(TCanvas* C, const String& Text, TRect R, UINT Format) {
  DrawTextExA(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, Format, nullptr);
}

// The window-system menu that holds the item, and the item's position in it.
HMENU HolderMenu(TMenuItem* Item) {
  TMenuItem* parent = Item->Parent();
  if (parent == nullptr) return nullptr;
  TMenu* menu = parent->GetParentMenu();
  if (menu != nullptr && parent == menu->Items()) return menu->Handle();
  return parent->Handle();
}

bool BorderMessageWaiting() {
  MSG msg{};
  return PeekMessageA(&msg, Application->Handle(), WM_SKINBORDERITEM, WM_SKINBORDERWINDOW, PM_NOREMOVE) != FALSE;
}

}  // namespace

// ---- Menu items ----------------------------------------------------------------------------------------

void TSkinMenu::GlyphSize(TMenuItem* Item, bool BarMenu, Integer& Width, Integer& Height) {
  Width = Height = 0;
  TCustomImageList* list = ItemImages(Item);
  if (list != nullptr && Item->ImageIndex() != -1) {
    Width = list->Width();
    Height = list->Height();
  } else if (Item->HasBitmap() && Item->Bitmap()->Width() > 0) {
    Width = Item->Bitmap()->Width();
    Height = Item->Bitmap()->Height();
  }
  if (!BarMenu) Width = std::max(Width, iconWidth_);
}

void TSkinMenu::MeasureMenuItem(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!active_ || item == nullptr || ACanvas == nullptr) return;
  String text = item->IsLine() ? String() : item->Caption();
  String shortcut = Trim(ShortCutToText(item->ShortCut()));
  if (!shortcut.empty()) text += shortcut + "WWW";
  ACanvas->Font()->Assign(font_.get());
  Integer w = ACanvas->TextWidth(text) + 5;
  if (text.find('&') != String::npos) w -= ACanvas->TextWidth("&");
  bool bar = IsBarItem(item);
  if (!bar && item->Count() > 0) w += 6;
  Integer gw = 0, gh = 0;
  GlyphSize(item, bar, gw, gh);
  Width = std::max(Width, w + gw);
  if (item->IsLine()) {
    Height = 4;
    return;
  }
  Integer th = ACanvas->TextHeight(text.empty() ? String("W") : text);
  Integer h = std::max(th + RoundEven(th * 0.75), gh + 6);
  Height = std::max(Height, h);
}

void TSkinMenu::DrawMenuItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!active_ || item == nullptr || ACanvas == nullptr) return;
  k58::skin::RunIgnoringPainterErrors([&] {
    const bool bar = IsBarItem(item);
    TMenu* menu = item->GetParentMenu();
    const bool rtl = menu != nullptr && menu->IsRightToLeft();
    const bool enabled = item->Enabled();
    const Integer w = Width(ARect), h = Height(ARect);
    if (w <= 0 || h <= 0) return;
    TBitmap bmp;
    bmp.SetSize(bar ? w : w + 4, h);
    TCanvas* c = bmp.Canvas();
    const TRect r = bar ? TRect(0, 0, w, h) : TRect(4, 0, w + 4, h + 1);
    if (colorsChanged_) UpdateColors(c);
    c->Font()->Assign(font_.get());
    const String text = " " + item->Caption();

    TBitmap glyph;
    if (item->HasBitmap() && item->Bitmap()->Width() > 0) {
      TBitmap* own = item->Bitmap();
      glyph.SetSize(own->Width(), own->Height());
      Fill(glyph.Canvas(), TRect(0, 0, own->Width(), own->Height()), clWhite);
      own->SetTransparent(true);
      glyph.Canvas()->Draw(0, 0, own);
    }
    TCustomImageList* list = ItemImages(item);
    if (list != nullptr && item->ImageIndex() != -1) {
      glyph.SetSize(list->Width(), list->Height());
      Fill(glyph.Canvas(), TRect(0, 0, list->Width(), list->Height()), clWhite);
      if (item->ImageIndex() < list->Count()) list->Draw(glyph.Canvas(), 0, 0, item->ImageIndex());
    }
    const Integer gw = glyph.Empty() ? 0 : glyph.Width();

    TRect ic = rtl ? TRect(r.right - iconWidth_, r.top, r.right, r.bottom) : TRect(r.left, r.top, r.left + iconWidth_, r.bottom);
    TRect cb;
    if (gw > 0) {
      cb = TRect(ic.left + 1, ic.top + 2, ic.right - 3, ic.bottom - 2);
    } else {
      Integer left = ic.left + (Width(ic) - 10) / 2, top = ic.top + (Height(ic) - 10) / 2;
      cb = TRect(left, top, left + 10, top + 10);
    }
    if (gw > iconWidth_) {
      if (rtl) cb.left = cb.right - gw;
      else cb.right = cb.left + gw;
    }
    if (bar) cb.top -= 1;

    TRect tr = r;
    if (!rtl) {
      tr.left = std::max(r.left + (bar ? 4 : iconWidth_), r.left + gw + 4);
    } else {
      tr.right = r.right - (bar ? 4 : iconWidth_);
      if (tr.right - tr.left < gw) tr.right = r.right - gw - 8;
    }
    if (bar) {
      if (gw > 0) {
        if (rtl) tr = k58::gdi::Offset(tr, 5, 0);
        else tr = k58::gdi::Offset(tr, -5, 0);
      } else {
        tr = r;
      }
    }

    if (bar) {
      if (drawMenuBar_) DrawMenuBarColor = menuBarColor_;
      c->Pen()->SetColor(DrawMenuBarColor);
      Fill(c, r, DrawMenuBarColor);
      if (drawMenuBar_ && menu != nullptr) {
        TMenuItem* root = menu->Items();
        auto* owner = dynamic_cast<TControl*>(menu->Owner());
        if (root->Count() > 0 && root->Items(root->Count() - 1) == item) {
          Integer ownerWidth = owner != nullptr ? owner->ClientWidth() : r.right;
          Fill(c, rtl ? TRect(3, r.top, r.right, r.bottom) : TRect(r.left, r.top, ownerWidth + 5, r.bottom),
               DrawMenuBarColor);
        } else if (rtl) {
          Fill(c, TRect(r.left, r.top, r.right + 7, r.bottom), DrawMenuBarColor);
        }
      }
    } else if (highColor_ && gradient_) {
      DrawGradient(c, TRect(r.left, r.top, r.right + 2, r.bottom), rtl);
    } else {
      Fill(c, TRect(r.left - 4, r.top, r.right, r.bottom), DrawColor);
      Fill(c, ic, DrawIconBackColor);
    }

    TFont itemFont;
    itemFont.Assign(font_.get());
    if (!enabled) itemFont.SetColor(disabledColor_);

    bool hot = false;
    if (Selected && drawSelect_) {
      if (bar) {
        DrawBarSelection(item, c, rtl, menuBarColor_, r);
      } else if (enabled) {
        Box(c, TRect(r.left, r.top + 1, r.right - (flatMenu_ ? 1 : 0), r.bottom - 1), DrawSelectBorderColor,
            DrawSelectColor);
      }
      hot = true;
    } else if (bar && enabled && isNT_ && CursorInRect(dynamic_cast<TCustomForm*>(menu != nullptr ? menu->Owner() : nullptr), ARect)) {
      Box(c, TRect(r.left, r.top, r.right - 7, r.bottom), DrawSelectBorderColor, DrawSelectColor);
      hot = true;
    }
    hot = hot || Selected;

    if (item->Checked() || item->RadioItem()) DrawCheck(item, Selected, cb, c, gw > 0, enabled);
    if (gw > 0) DrawMenuGlyph(item, c, rtl, bar, item->Checked(), enabled, false, hot, ic, &glyph);

    if (item->IsLine()) {
      Integer y = tr.top + RoundEven((tr.bottom - tr.top) / 2.0);
      c->Pen()->SetColor(DrawSeparatorColor);
      if (rtl) Line(c, tr.left, y, tr.right - 7, y);
      else Line(c, tr.left + 7, y, tr.right, y);
    } else {
      UINT format = DT_LEFT;
      if (rtl) {
        tr.right -= 3;
        format = DT_RIGHT | DT_RTLREADING;
      } else {
        tr.left += 3;
      }
      tr.top += (Height(tr) - c->TextHeight("W")) / 2;
      DrawItemText(item, text, format, &itemFont, rtl, bar, item->Default(), enabled, Selected, tr, c,
                   ShortCutToText(item->ShortCut()));
    }

    BitBlt(ACanvas->Handle(), bar ? ARect.left : ARect.left - 4, ARect.top, bmp.Width(), bmp.Height(), c->Handle(),
           0, 0, SRCCOPY);

    if (!Designing() && flatMenu_ && !bar && Application != nullptr) {
      HWND window = WindowFromDC(ACanvas->Handle());
      HWND formWindow = form_ != nullptr && form_->HandleAllocated() ? form_->Handle() : nullptr;
      if (window != nullptr && window != formWindow) {
        if (!BorderMessageWaiting()) {
          PostMessageA(Application->Handle(), WM_SKINBORDERWINDOW, rtl ? 1 : 0, reinterpret_cast<LPARAM>(window));
        }
      } else if (window == nullptr && !BorderMessageWaiting()) {
        PostMessageA(Application->Handle(), WM_SKINBORDERITEM, reinterpret_cast<WPARAM>(HolderMenu(item)),
                     static_cast<LPARAM>(item->MenuIndex()));
      }
    }
  });
}

void TSkinMenu::DrawBarSelection(TObject* Target, TCanvas* Canvas, bool RightToLeft, TColor BackColor, TRect Rect) {
  const Integer l = Rect.left, t = Rect.top, r = Rect.right, b = Rect.bottom;
  Fill(Canvas, Rect, DrawSelectColor);
  if (RightToLeft || !highColor_ || dynamic_cast<TMenuItem*>(Target) == nullptr) {
    Canvas->Pen()->SetColor(DrawSelectBorderColor);
    Canvas->Brush()->SetColor(Darken(BackColor, 70));
    Canvas->Polyline({{l, b - 1}, {l, t}, {r - 3, t}, {r - 3, b}});
    Fill(Canvas, TRect(r - 2, t + 2, r, b), Darken(BackColor, 70));
    Fill(Canvas, TRect(r - 2, t, r, t + 2), BackColor);
    return;
  }
  Canvas->Pen()->SetColor(DrawSelectBorderColor);
  Canvas->Polyline({{l, b - 1}, {l, t}, {r - 8, t}, {r - 8, b}});
  const TColor m = DrawMenuBarColor;
  Fill(Canvas, TRect(r - 7, t, r, b), Darken(m, 10));
  Fill(Canvas, TRect(r - 7, t + 3, r - 2, b), Darken(m, 30));
  Fill(Canvas, TRect(r - 7, t + 5, r - 3, b), Darken(m, 60));
  Fill(Canvas, TRect(r - 7, t + 6, r - 5, b), Darken(m, 100));
  Canvas->Pen()->SetColor(m);
  Canvas->Polyline({{r - 5, t + 1}, {r - 1, t + 1}, {r - 1, t + 6}});
  Canvas->Polyline({{r - 3, t + 2}, {r - 2, t + 2}, {r - 2, t + 3}, {r - 3, t + 3}});
  Canvas->Pen()->SetColor(Darken(m, 10));
  Canvas->Polyline({{r - 6, t + 3}, {r - 3, t + 3}, {r - 3, t + 6}, {r - 4, t + 6}, {r - 4, t + 3}});
  Canvas->Pen()->SetColor(Darken(m, 30));
  Canvas->Polyline({{r - 5, t + 5}, {r - 4, t + 5}, {r - 4, t + 9}});
  Canvas->Pen()->SetColor(Darken(m, 40));
  Line(Canvas, r - 6, t + 5, r - 6, t + 7);
}

void TSkinMenu::DrawCheck(TMenuItem* Item, bool Selected, TRect Rect, TCanvas* Canvas, bool HasGlyph, bool Enabled) {
  const Integer l = Rect.left, t = Rect.top, r = Rect.right, b = Rect.bottom;
  auto framedColours = [&] {
    Canvas->Brush()->SetStyle(bsSolid);
    if (!Enabled) {
      Canvas->Pen()->SetColor(DrawDisabledColor);
    } else {
      Canvas->Pen()->SetColor(DrawSelectBorderColor);
      Canvas->Brush()->SetColor(Selected ? DrawCheckedSelectFill : DrawCheckedFill);
    }
  };
  if (Item->RadioItem()) {
    if (!Item->Checked()) return;
    framedColours();
    if (HasGlyph) {
      Canvas->RoundRect(l, t, r, b, 6, 6);
    } else {
      Canvas->Ellipse(l, t, r, b);
      Canvas->Brush()->SetColor(Canvas->Pen()->Color());
      Canvas->Ellipse(l + 2, t + 2, r - 2, b - 2);
    }
    return;
  }
  if (!Item->Checked()) return;
  if (HasGlyph) {
    framedColours();
    Canvas->Rectangle(Rect);
    return;
  }
  if (!Enabled) {
    // The fill is the item's background, already drawn.
    Canvas->Pen()->SetColor(DrawDisabledColor);
    Canvas->Brush()->SetStyle(bsClear);
  } else {
    Canvas->Pen()->SetColor(DrawCheckedColor);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Selected ? DrawCheckedSelectFill : DrawCheckedFill);
  }
  Canvas->Rectangle(Rect);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Pen()->SetColor(Enabled ? clBlack : DrawDisabledColor);
  Line(Canvas, l + 1, t + 5, l + 4, b - 2);
  Line(Canvas, l + 2, t + 5, l + 4, b - 3);
  Line(Canvas, l + 2, t + 4, l + 5, b - 3);
  Line(Canvas, l + 4, b - 3, r + 2, t - 1);
  Line(Canvas, l + 4, b - 2, r - 2, t + 3);
}

void TSkinMenu::DrawItemText(TObject* Target, const String& Text, UINT Format, TFont* AFont, bool RightToLeft,
                             bool IsBar, bool IsDefault, bool Enabled, bool Selected, TRect Rect, TCanvas* Canvas,
                             const String& ShortCutText) {
  Canvas->Font()->Assign(AFont);
  TColor col = Selected ? DrawSelectFontColor : AFont->Color();
  if (!Enabled) {
    col = DrawDisabledColor;
    if (dynamic_cast<TToolButton*>(Target) != nullptr) {
      // Disabled tool button captions go through a bitmap on the bar's current brush colour.
      Rect.top += (Height(Rect) - Canvas->TextHeight("W")) / 2;
      if (Width(Rect) <= 0 || Height(Rect) <= 0) return;
      TBitmap bmp;
      bmp.SetSize(Width(Rect), Height(Rect));
      Fill(bmp.Canvas(), TRect(0, 0, Width(Rect), Height(Rect)), Canvas->Brush()->Color());
      bmp.Canvas()->Font()->Assign(AFont);
      bmp.Canvas()->Font()->SetColor(col);
      SetBkMode(bmp.Canvas()->Handle(), TRANSPARENT);
      DrawText(bmp.Canvas(), Text, TRect(0, 0, Width(Rect), Height(Rect)), Format | DT_EXPANDTABS | DT_VCENTER);
      BitBlt(Canvas->Handle(), Rect.left, Rect.top, Width(Rect), Height(Rect), bmp.Canvas()->Handle(), 0, 0,
             SRCCOPY);
      return;
    }
  }
  if (Selected && IsBar && useSystemColors_) col = ContrastFontColor(Canvas, DrawIconBackColor);
  Canvas->Font()->SetColor(col);
  SetBkMode(Canvas->Handle(), TRANSPARENT);
  Format |= DT_EXPANDTABS;
  if (IsDefault && Enabled) {
    struct Layer {
      Integer Dx, Dy, Amount;
    };
    for (const Layer& layer : {Layer{1, 0, 30}, Layer{1, 2, 30}, Layer{0, 1, 40}, Layer{1, 1, 60}}) {
      TRect copy = Rect;
      copy = k58::gdi::Offset(copy, layer.Dx, layer.Dy);
      if (layer.Dx > 0) copy.left -= 0, copy.right += 1;
      TColor under = Canvas->Pixels(copy.left, copy.top);
      Canvas->Font()->SetColor(Darken(under, layer.Amount));
      DrawText(Canvas, Text, copy, Format);
    }
    Canvas->Font()->SetColor(col);
  }
  DrawText(Canvas, Text, Rect, Format);
  if (!ShortCutText.empty()) {
    TRect sc = Rect;
    if (RightToLeft) {
      sc.left += 10;
      DrawText(Canvas, ShortCutText + " ", sc, DT_LEFT);
    } else {
      sc.right -= 10;
      DrawText(Canvas, ShortCutText + " ", sc, DT_RIGHT);
    }
  }
}

void TSkinMenu::DrawMenuGlyph(TObject* Target, TCanvas* Canvas, bool RightToLeft, bool IsBar, bool Checked,
                              bool Enabled, bool Down, bool Hot, TRect Rect, TBitmap* Glyph) {
  if (Glyph == nullptr || Glyph->Empty() || Glyph->Width() <= 0) return;
  const Integer gw = Glyph->Width();
  Integer x, y;
  if (dynamic_cast<TMenuItem*>(Target) != nullptr) {
    y = Rect.top + 3;
    if (gw < iconWidth_) x = Rect.left + (iconWidth_ - gw) / 2;
    else x = RightToLeft ? Rect.right - gw - 2 : Rect.left + 2;
  } else {
    y = Rect.top + 1;
    x = Rect.left;
  }
  if (IsBar) x = RightToLeft ? Rect.right - gw - 5 : Rect.left + 1;
  if (Hot && IsBar && Enabled && !Down) {
    y -= 2;
    x -= 1;
  } else if (Hot && !IsBar && Enabled && !Checked && !Down) {
    x -= 1;
    y -= 1;
  }
  if (!Hot && Enabled && !Checked && highColor_) DimBitmap(Glyph, dimLevel_);
  if (!Enabled) {
    GrayBitmap(Glyph, grayLevel_);
    DimBitmap(Glyph, 40);
  }
  if (Hot && Enabled && !Checked) {
    TColor s = dynamic_cast<TToolButton*>(Target) != nullptr && highColor_ && !useSystemColors_
                   ? Lighten(selectColor_, 68)
                   : DrawSelectColor;
    DrawMask(Glyph, Canvas, x + 2, y + 2, Darken(s, 50));
  }
  Glyph->SetTransparent(true);
  Canvas->Draw(x, y, Glyph);
}

void TSkinMenu::DrawGradient(TCanvas* Canvas, TRect Rect, bool RightToLeft) {
  Integer step = 0;
  Canvas->Brush()->SetStyle(bsSolid);
  const Integer width = Width(Rect);
  for (Integer i = 0; i < width; ++i) {
    Integer x = RightToLeft ? Rect.right - 1 - i : Rect.left + i;
    bool iconZone = RightToLeft ? (x > Rect.right - iconWidth_ + 5 && x < Rect.right)
                                : (x > Rect.left && x < Rect.left + iconWidth_ + 5);
    Fill(Canvas, TRect(x, Rect.top, x + 1, Rect.bottom), Lighten(DrawIconBackColor, step));
    step = std::min<Integer>(step + (iconZone ? 3 : 1), 96);
  }
}

// ---- Tool buttons ---------------------------------------------------------------------------------------

void TSkinMenu::DrawDropArrow(TCanvas* Canvas, Integer X, Integer Y) {
  Line(Canvas, X, Y, X + 5, Y);
  Line(Canvas, X + 1, Y + 1, X + 4, Y + 1);
  Line(Canvas, X + 2, Y + 2, X + 3, Y + 2);
}

void TSkinMenu::DrawToolButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) {
  DefaultDraw = false;
  if (Sender == nullptr || Button == nullptr) return;
  TCanvas* c = Sender->Canvas();
  TRect b = Button->BoundsRect();
  auto usable = [&](TCustomImageList* list) {
    return list != nullptr && Button->ImageIndex() != -1 && Button->ImageIndex() < list->Count();
  };
  const bool hotUsable = usable(Sender->HotImages()), disabledUsable = usable(Sender->DisabledImages()),
             normalUsable = usable(Sender->Images());
  if (colorsChanged_) UpdateColors(c);
  const TColor v = highColor_ && !useSystemColors_ ? Lighten(selectColor_, 68) : DrawSelectColor;
  const TColor background = highColor_ ? Lighten(Sender->Color(), 16) : static_cast<TColor>(ColorToRGB(Sender->Color()));
  const bool transparent = Sender->Transparent();
  const bool dropDown = Button->Style() == tbsDropDown;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(background);
  if (!transparent) c->FillRect(b);

  const bool hot = State.Contains(cdsHot), checked = State.Contains(cdsChecked),
             selected = State.Contains(cdsSelected);
  bool fill = false, frame = false;
  TColor fillColor = v;
  if (hot) {
    fill = frame = true;
    fillColor = checked || selected || Button->Down() ? DrawCheckedSelectFill : v;
  } else if (checked) {
    fill = frame = true;
    fillColor = DrawCheckedFill;
  } else if (State.Contains(cdsIndeterminate)) {
    fill = true;
  } else if (Button->MenuItem() != nullptr && State.Empty()) {
    fill = !transparent;
    fillColor = Sender->Color();
  }
  if (fill) Fill(c, TRect(b.left, b.top + 1, b.right, b.bottom), fillColor);
  if (frame) {
    if (dropDown) {
      k58::skin::OutlineRect(c, TRect(b.left, b.top + 1, b.right - 13, b.bottom), DrawSelectBorderColor);
      k58::skin::OutlineRect(c, TRect(b.right - 14, b.top + 1, b.right, b.bottom), DrawSelectBorderColor);
    } else {
      k58::skin::OutlineRect(c, TRect(b.left, b.top + 1, b.right, b.bottom), DrawSelectBorderColor);
    }
  }
  if ((Button->MenuItem() != nullptr || Button->DropdownMenu() != nullptr) && selected) {
    DrawBarSelection(Button, c, false, Sender->Color(), TRect(b.left, b.top + 1, b.right, b.bottom));
  }
  if (dropDown) {
    c->Pen()->SetColor(clBlack);
    DrawDropArrow(c, b.right - 10, b.top + (Height(b) - 3) / 2 + 1);
  }

  TCustomImageList* list = nullptr;
  if (hot && hotUsable) list = Sender->HotImages();
  else if (State.Contains(cdsDisabled) && disabledUsable) list = Sender->DisabledImages();
  else if (normalUsable) list = Sender->Images();
  Integer gw = 0;
  const bool rtl = false;  // the controls of this layer read left to right
  if (list != nullptr) {
    TBitmap glyph;
    glyph.SetSize(list->Width(), list->Height());
    TColor bottomLeft = glyph.Canvas()->Pixels(0, list->Height() - 1);
    Fill(glyph.Canvas(), TRect(0, 0, list->Width(), list->Height()), bottomLeft);
    list->Draw(glyph.Canvas(), 0, 0, Button->ImageIndex());
    gw = list->Width();
    TRect area = b;
    if (dropDown) area.right -= 12;
    Integer left;
    if (!Sender->List()) left = RoundEven((Width(area) - gw) / 2.0 + area.left);
    else left = rtl ? area.right - 3 - gw : area.left + 3;
    TRect g(left, b.top + 2, left + gw, b.top + 2 + list->Height() + 6);
    DrawMenuGlyph(Button, c, false, false, checked, Button->Enabled(), selected, hot, g, &glyph);
  }

  if (Sender->ShowCaptions()) {
    TRect area = b;
    if (dropDown) area.right -= 12;
    UINT format = DT_CENTER;
    if (!Sender->List()) {
      area.top = area.bottom - c->TextHeight("W") - 6;
    } else if (rtl) {
      area.right -= gw + 7;
      format = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
    } else {
      if (gw > 0) area.left += gw + 6;
      format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    }
    if (Button->MenuItem() != nullptr) format = DT_CENTER;
    if (rtl) format |= DT_RTLREADING;
    if (Button->Down() && !Button->Enabled()) InflateRect(&area, -1, -1);
    area.top += (Height(area) - c->TextHeight("W")) / 2;
    DrawItemText(Button, Button->Caption(), format, font_.get(), rtl, Button->MenuItem() != nullptr, false,
                 Button->Enabled(), selected, area, c, String());
  }

  const Integer index = Button->Index();
  if (index > 0) {
    TToolButton* previous = Sender->Buttons(index - 1);
    if (previous->Style() == tbsSeparator || previous->Style() == tbsDivider) {
      TRect sep = previous->BoundsRect();
      if (!transparent) Fill(c, sep, background);
      if (previous->Tag() > 0) {
        Integer x = sep.left + Width(sep) / 2;
        c->Pen()->SetColor(Darken(Sender->Color(), 30));
        Line(c, x, sep.top + 2, x, sep.bottom - 1);
      }
    }
  }
}
