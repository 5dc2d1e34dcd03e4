// The text editors' view data and view info: text rectangle, draw flags, content size, painting and the
// hint test.
#include "controls/editors/uiTextEditView.h"

#include <algorithm>

#include "controls/foundation/uiEditUtils.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Strings.h"

K58_IMPLEMENT_CLASS(TuiCustomTextEditViewData) {}
K58_IMPLEMENT_CLASS(TuiCustomTextEditViewInfo) {}

namespace {

constexpr Integer UnlimitedExtent = 0x7FFFFFFF;
constexpr Integer HintLayoutExtent = 0x3FFFFFFF;

bool IsStandaloneFixedTextMode(TuiCustomEditViewData* AViewData) {
  auto* textViewData = dynamic_cast<TuiCustomTextEditViewData*>(AViewData);
  return textViewData != nullptr && !textViewData->IsInplace && textViewData->TextMode() >= temFixedList;
}

// Single line becomes word wrap of whole rows.
TuiTextOutFlags WrappingFlags(TuiTextOutFlags AFlags) {
  if ((AFlags & tofSingleLine) != 0) AFlags = (AFlags & ~tofSingleLine) | tofWordBreak | tofWholeRows;
  return AFlags;
}

// The number of rows AText takes laid out with AFlags in (0, 0, AWidth, AHeight), at most AMaxRows when
// positive; also gives the rows.
Integer LayOutRows(TuiCanvas* ACanvas, const String& AText, TuiTextOutFlags AFlags, Integer AWidth, Integer AHeight,
                   Integer AMaxRows, TuiTextRows& ARows, TuiTextParams* AParams = nullptr) {
  const TuiTextParams params = CalculateCanvasTextParams(ACanvas->Canvas(), AFlags);
  if (AParams != nullptr) *AParams = params;
  BuildCanvasTextRows(ACanvas->Canvas(), AText, TRect{0, 0, AWidth, AHeight}, AMaxRows, params, ARows);
  return static_cast<Integer>(ARows.size());
}

}  // namespace

// ---- Unit routines -----------------------------------------------------------------------------------------

void GetTextEditContentOffsets(TuiCustomEditViewData* AViewData, TRect& R) {
  R = AViewData->State.ContentOffsets;
  if (!IsStandaloneFixedTextMode(AViewData)) return;
  // Fixed lists draw their text one pixel in from the left (and down, when top-aligned).
  R.left += 1;
  if (AViewData->VertAlignment == taTopJustify) {
    R.top += 1;
    R.bottom -= 1;
  }
}

void GetTextEditContentSize(TuiCanvas* ACanvas, TuiCustomEditViewData* AViewData, const String& AText,
                            TuiTextOutFlags ADrawTextFlags, const TSize& AEditSizeProperties, Integer ALineCount,
                            bool AAddOffsetsWidth, TSize& ASize) {
  auto* textViewData = dynamic_cast<TuiCustomTextEditViewData*>(AViewData);
  const bool extraPixel = IsStandaloneFixedTextMode(AViewData) &&
                          !(textViewData->IsComboBoxStyle() &&
                            TuiCustomEditViewData::IsNativeStyleUsed(AViewData->GetStyle()->LookAndFeel()));
  ACanvas->SetCanvasFont(AViewData->GetStyle()->GetVisibleFont());
  TSize offsets{};
  AViewData->GetContentOffsetsExtent(offsets);
  const Integer lineHeight = ACanvas->MeasureTextHeight("Zg");
  const Integer maxRows = AEditSizeProperties.cy;
  const bool emptyGivesNoHeight = (AViewData->State.Flag & tevfEmptyTextNoHeight) != 0;
  TuiTextRows rows;
  if (AEditSizeProperties.cx >= 0) {
    if (ALineCount > 0) {
      ASize = TSize{AEditSizeProperties.cx, lineHeight * ALineCount};
    } else {
      const Integer textWidth = AEditSizeProperties.cx - (AViewData->IsInplace ? 2 : 0) - (extraPixel ? 1 : 0);
      if (textWidth <= 0) {
        ASize.cx = 0;
        ASize.cy = emptyGivesNoHeight && AText.empty() ? 0 : lineHeight;
      } else {
        ASize.cx = AEditSizeProperties.cx;
        if (AText.empty()) {
          ASize.cy = emptyGivesNoHeight ? 0 : lineHeight;
        } else {
          const TuiTextOutFlags flags = WrappingFlags(ADrawTextFlags) & ~tofAlignVertMask;
          Integer count = LayOutRows(ACanvas, AText, flags, textWidth, UnlimitedExtent, maxRows, rows);
          if (maxRows > 0 && maxRows < count) count = maxRows;
          ASize.cy = lineHeight * count;
        }
      }
    }
    if (ASize.cy > 0) ASize.cy += offsets.cy;
    return;
  }
  if ((ADrawTextFlags & tofSingleLine) != 0) {
    ASize.cy = lineHeight;
    if (AText.empty()) {
      ASize.cx = 0;
    } else {
      TRect r{0, 0, UnlimitedExtent, 0};
      ACanvas->CalculateTextRect(AText, r, TextOutFlagsToCanvasFlags(ADrawTextFlags));
      ASize.cx = r.right - r.left;
    }
  } else {
    Integer count = LayOutRows(ACanvas, AText, ADrawTextFlags | tofCalcRect, UnlimitedExtent, UnlimitedExtent, 0, rows);
    if (ALineCount > 0 && ALineCount < count)
      count = ALineCount;
    else if (ALineCount <= 0 && maxRows > 0 && maxRows < count)
      count = maxRows;
    ASize.cx = GetMaxTextRowWidth(rows, count);
    ASize.cy = ALineCount > 0 ? lineHeight * ALineCount : lineHeight;
  }
  if (extraPixel) ASize.cx += 1;
  if (AAddOffsetsWidth) ASize.cx += offsets.cx;
  if (ASize.cy > 0) ASize.cy += offsets.cy;
}

void DrawTextEditText(TCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo, const String& AText, Integer ARightIndent,
                      Integer ALeftIndent, Integer AMaxRows, TColor ASelTextColor, TColor ASelBkColor,
                      Integer ASelLength, Integer ASelStart, TuiTextOutFlags AFlags, const TRect& ARect) {
  if (AText != AViewInfo->Text) {
    AViewInfo->Text = AText;
    AViewInfo->RowsPrepared = false;
  }
  HDC dc = ACanvas->Handle();
  if (!AViewInfo->RowsPrepared)
    AViewInfo->PrepareTextRows(dc, ARect, ARightIndent, ALeftIndent, AMaxRows, ASelTextColor, ASelBkColor, ASelLength,
                               ASelStart, AFlags);
  if (AViewInfo->RowCount == 0) return;
  SetTextColor(dc, ColorToRGB(ACanvas->Font()->Color()));
  DrawTextRows(dc, AViewInfo->RowsRect, AViewInfo->TextParams, AViewInfo->LastRowEllipsis,
               AViewInfo->PreparedSelTextColor, AViewInfo->PreparedSelBackgroundColor, AViewInfo->PreparedSelLength,
               AViewInfo->PreparedSelStart, AViewInfo->RowCount, AViewInfo->Rows);
}

// ---- View data ----------------------------------------------------------------------------------------------

Byte TuiCustomTextEditViewData::TextMode() const {
  TuiCustomTextEditProperties* properties = TextProperties();
  return properties != nullptr ? properties->GetTextMode() : temFree;
}

bool TuiCustomTextEditViewData::InnerEditShowsText() { return Edit != nullptr && Edit->ShowsInnerEdit(); }

void TuiCustomTextEditViewData::ApplyProperties() {
  TuiCustomEditViewData::ApplyProperties();
  ProviderFormat = Properties->UsesProviderDisplayFormat();
}

void TuiCustomTextEditViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) {
  TuiCustomTextEditProperties* properties = TextProperties();
  try {
    if (ProviderFormat || properties == nullptr) {
      AText = VarToStr(AEditValue);
    } else {
      Variant display;
      properties->MakeDisplayValue(AEditValue, IsEditFocused(), display);
      AText = VarToStr(display);
    }
  } catch (...) {
    if (properties != nullptr) properties->ApplyEchoMode(AText);
    throw;
  }
  if (properties != nullptr) properties->ApplyEchoMode(AText);
}

void TuiCustomTextEditViewData::GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                                   const TSize& AEditSizeProperties, TSize& ASize) {
  TSize inherited{};
  TuiCustomEditViewData::GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties, inherited);
  String text;
  GetDisplayTextForValue(AEditValue, text);
  GetTextEditContentSize(ACanvas, this, text, GetDrawTextFlags(), AEditSizeProperties, 0, true, ASize);
  ASize.cx = std::max<Integer>(ASize.cx, inherited.cx);
  ASize.cy = std::max<Integer>(ASize.cy, inherited.cy);
}

void TuiCustomTextEditViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                          TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TuiCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TuiCustomTextEditViewInfo*>(AViewInfo);
  if (vi == nullptr) return;
  vi->WholeFieldHighlight = false;
  vi->TextMode = TextMode();
  vi->InnerEditShowsText = InnerEditShowsText();
  vi->PopupShown = Edit != nullptr && Edit->HasPopupWindow();
  TRect offsets;
  GetTextContentOffsets(offsets);
  const TRect& client = vi->ClientRect;
  vi->TextRect = TRect{client.left + offsets.left, client.top + offsets.top, client.right - offsets.right,
                       client.bottom - offsets.bottom};
  if (!IsInplace) {
    if (vi->Font != nullptr) ACanvas->SetCanvasFont(vi->Font);
    const Integer textHeight = ACanvas->MeasureTextHeight("Zg");
    if (vi->TextRect.bottom - vi->TextRect.top < textHeight)
      vi->TextRect.bottom = std::min<Integer>(vi->TextRect.top + textHeight, client.bottom);
  }
  vi->MaxRows = GetVisibleLineCount();
  vi->RowsPrepared = false;
  CalculateTextDrawFlags(ACanvas, vi);
}

TuiTextOutFlags TuiCustomTextEditViewData::GetDrawTextFlags() {
  static constexpr TuiTextOutFlags Horz[] = {tofAlignLeft, tofAlignRight, tofAlignHCenter};
  static constexpr TuiTextOutFlags Vert[] = {tofAlignTop, tofAlignBottom, tofAlignVCenter};
  return Horz[HorzAlignment] | Vert[VertAlignment] | tofSingleLine | tofClampLeft | tofClampTop;
}

void TuiCustomTextEditViewData::CalculateTextDrawFlags(TuiCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo) {
  TuiCustomTextEditProperties* properties = TextProperties();
  if (properties != nullptr && !properties->IsMultiLineText() && (properties->GetEditCapabilities() & 0x02) != 0 &&
      (State.Flag & tevfAutoHeight) != 0)
    AdjustForAutoHeight(ACanvas, AViewInfo);
  else
    AViewInfo->DrawTextFlags = GetDrawTextFlags();
  if ((State.Flag & tevfEndEllipsis) != 0) AViewInfo->DrawTextFlags |= tofEndEllipsis;
  AViewInfo->ComboBoxStyle = IsComboBoxStyle();
}

// A single-line text that does not fit the width wraps into whole rows, from the top when they overflow.
void TuiCustomTextEditViewData::AdjustForAutoHeight(TuiCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo) {
  ACanvas->SetCanvasFont(style_->GetVisibleFont());
  AViewInfo->DrawTextFlags = GetDrawTextFlags();
  const TuiTextOutFlags flags = (AViewInfo->DrawTextFlags & ~tofSingleLine) | tofWordBreak | tofWholeRows;
  TRect offsets;
  GetTextContentOffsets(offsets);
  TSize extent{};
  GetContentOffsetsExtent(extent);
  const TRect& text = AViewInfo->TextRect;
  Integer width = (text.right - text.left) + offsets.left + offsets.right - extent.cx - StoredExtent.left -
                  StoredExtent.right;
  if (HorzAlignment == taRightJustify) width += 1;
  TuiTextRows rows;
  TuiTextParams params;
  const Integer count = LayOutRows(ACanvas, AViewInfo->Text, flags, width, UnlimitedExtent, 0, rows, &params);
  if (count <= 1) return;
  AViewInfo->DrawTextFlags = (AViewInfo->DrawTextFlags & ~tofSingleLine) | tofWordBreak | tofWholeRows;
  if (count * params.RowHeight > text.bottom - text.top) AViewInfo->DrawTextFlags &= ~tofAlignVertMask;
}

void TuiCustomTextEditViewData::DisplayValueToDrawValue(const Variant& AValue, TuiCustomTextEditViewInfo* AViewInfo) {
  AViewInfo->Text = VarToStr(AValue);
  if (TuiCustomTextEditProperties* properties = TextProperties()) properties->ApplyEchoMode(AViewInfo->Text);
  AViewInfo->RowsPrepared = false;
}

void TuiCustomTextEditViewData::GetTextContentOffsets(TRect& R) { GetTextEditContentOffsets(this, R); }

void TuiCustomTextEditViewData::EditValueToDrawValue(TuiCanvas*, const Variant& AEditValue,
                                                     TuiCustomEditViewInfo* AViewInfo) {
  auto* vi = dynamic_cast<TuiCustomTextEditViewInfo*>(AViewInfo);
  if (vi == nullptr) return;
  if (EmptyDrawValue)
    vi->Text.clear();
  else
    GetDisplayTextForValue(AEditValue, vi->Text);
  vi->SelStart = 0;
  vi->SelLength = 0;
  vi->RowsPrepared = false;
}

void TuiCustomTextEditViewData::CalculateClientRect(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R) {
  TuiCustomEditViewData::CalculateClientRect(ACanvas, AViewInfo, R);
  if (!IsInplace && IsComboBoxStyle() && IsNativeStyleUsed(style_->LookAndFeel())) R.right += 1;
}

// ---- View info ----------------------------------------------------------------------------------------------

void TuiCustomTextEditViewInfo::Paint(TuiCanvas* ACanvas) {
  const Integer contentKind = !ComboBoxStyle ? 0 : (TextMode >= temFixedList ? 2 : 1);
  DrawEditButtons(ACanvas, this, !WholeFieldHighlight, contentKind);
  TRect r = ClientRect;
  if (!IsInplace) {
    if ((!NativeStyle || WholeFieldHighlight) && TextMode != temNoCursor)
      ACanvas->DrawBorderLines(r, BackgroundColor, 1, uiAllBorders);
    InflateRect(&r, -1, -1);
  }
  if (OwnerDraw && DrawTextProc.Assigned()) {
    DrawTextProc(ACanvas, r);
  } else {
    if (WholeFieldHighlight) ACanvas->FillRectWithColor(r, clHighlight);
    if (!(HasInnerControl && InnerEditShowsText)) PaintText(ACanvas);
  }
  if (!InnerEditShowsText && Focused && !IsInplace && !PopupShown) {
    ACanvas->GetCanvasFont()->SetColor(WholeFieldHighlight ? clHighlightText : clBtnText);
    ACanvas->SetBrushColor(WholeFieldHighlight ? clHighlight : BackgroundColor);
    ACanvas->DrawFocusRectangle(r);
  }
}

void TuiCustomTextEditViewInfo::PaintText(TuiCanvas* ACanvas) {
  if (Text.empty()) return;
  if (Font != nullptr) ACanvas->SetCanvasFont(Font);
  ACanvas->GetCanvasFont()->SetColor(WholeFieldHighlight ? clHighlightText : TextColor);
  PrepareCanvasFont(ACanvas->Canvas());
  DrawTextEditText(ACanvas->Canvas(), this, Text, 0, 0, MaxRows, SelTextColor, SelBackgroundColor, SelLength, SelStart,
                   DrawTextFlags, TextRect);
}

void TuiCustomTextEditViewInfo::PrepareTextRows(HDC DC, const TRect& ARect, Integer ARightIndent, Integer ALeftIndent,
                                                Integer AMaxRows, TColor ASelTextColor, TColor ASelBkColor,
                                                Integer ASelLength, Integer ASelStart, TuiTextOutFlags AFlags) {
  // Marked first: a preparation that fails is not retried before the next calculation.
  RowsPrepared = true;
  RowCount = 0;
  Rows.clear();
  LastRowEllipsis = false;
  if (Text.empty()) return;
  TextParams = CalculateTextParams(DC, AFlags);
  RowsRect = NarrowRect(ARect, ALeftIndent, ARightIndent);
  if (IsRectEmpty(&RowsRect)) return;
  const bool complete = BuildTextRows(DC, Text, RowsRect, AMaxRows, TextParams, Rows);
  RowCount = static_cast<Integer>(Rows.size());
  if (RowCount == 0) return;
  if (AMaxRows > 0 && RowCount >= AMaxRows) {
    // Rows past the limit are text that did not fit as well.
    const bool cutOff = RowCount > AMaxRows || !complete;
    RowCount = AMaxRows;
    LastRowEllipsis = cutOff && (AFlags & tofEndEllipsis) != 0 && (AFlags & tofWholeRows) != 0 &&
                      (AFlags & tofSingleLine) == 0;
  }
  PositionTextRows(DC, RowsRect, TextParams, RowCount, Rows);
  const Integer length = static_cast<Integer>(Utf8Length(Text));
  PreparedSelStart = ASelStart;
  PreparedSelLength = ASelLength;
  if (ASelStart < 0 || ASelStart >= length)
    PreparedSelLength = 0;
  else if (ASelStart + ASelLength > length)
    PreparedSelLength = length - ASelStart;
  PreparedSelTextColor = ASelTextColor;
  PreparedSelBackgroundColor = ASelBkColor;
}

void TuiCustomTextEditViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomEditViewInfo::OffsetRects(DX, DY);
  OffsetRect(&TextRect, DX, DY);
  if (!RowsPrepared) return;
  OffsetRect(&RowsRect, DX, DY);
  for (TuiTextRow& row : Rows) {
    row.TextOrigin.x += DX;
    row.TextOrigin.y += DY;
  }
}

bool TuiCustomTextEditViewInfo::NeedShowHint(TuiCanvas* ACanvas, const TPoint& P, String& AText) {
  bool multiLine = false;
  TRect textRect{};
  return NeedShowHintForRect(ACanvas, P, TRect{}, AText, multiLine, textRect);
}

bool TuiCustomTextEditViewInfo::NeedShowHintForRect(TuiCanvas* ACanvas, const TPoint& P, const TRect& AVisibleRect,
                                                    String& AText, bool& AIsMultiLine, TRect& ATextRect) {
  AText.clear();
  const TPoint p{P.x - PaintOffset.x, P.y - PaintOffset.y};
  TRect visible = TextRect;
  if (!(AVisibleRect.left == 0 && AVisibleRect.top == 0 && AVisibleRect.right == 0 && AVisibleRect.bottom == 0)) {
    TRect given = AVisibleRect;
    OffsetRect(&given, -PaintOffset.x, -PaintOffset.y);
    IntersectRect(&visible, &given, &TextRect);
  }
  if (!PtInRect(&visible, p)) return false;
  if (Font != nullptr) ACanvas->SetCanvasFont(Font);
  const TuiTextOutFlags flags = DrawTextFlags & ~tofAlignVertMask;
  const bool wrapped = (flags & tofWordBreak) != 0 && (flags & tofSingleLine) == 0;
  TRect layout = TextRect;
  layout.bottom = HintLayoutExtent;
  if (!wrapped) layout.right = HintLayoutExtent;
  TCanvas* canvas = ACanvas->Canvas();
  const TuiTextParams params = CalculateCanvasTextParams(canvas, flags);
  TuiTextRows rows;
  bool truncated = !BuildCanvasTextRows(canvas, Text, layout, MaxRows, params, rows);
  Integer bottom = TextRect.top;
  for (const TuiTextRow& row : rows) {
    if (truncated) break;
    String rowText(row.Text, static_cast<size_t>(row.TextLength));
    while (!rowText.empty() && (rowText.back() == ' ' || rowText.back() == '\t')) rowText.pop_back();
    SIZE size{};
    GetTextExtentPoint32A(canvas->Handle(), rowText.c_str(), static_cast<int>(rowText.size()), &size);
    bottom += params.RowHeight;
    truncated = size.cx > layout.right - layout.left || layout.left + size.cx > visible.right || bottom > visible.bottom;
  }
  if (!truncated) return false;
  AIsMultiLine = wrapped;
  AText = Text;
  ATextRect = TextRect;
  OffsetRect(&ATextRect, PaintOffset.x, PaintOffset.y);
  return true;
}
