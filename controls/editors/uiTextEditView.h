// The layout and painting of text-like editors: where the text goes inside the client area, with which
// text-out flags, how much room a text needs, the drawing of the text with its selection, the frame, the
// whole-field highlight of a focused fixed list and the focus rectangle, and whether a truncated text
// needs a hint.
//
// Threads: GUI thread only.
// Ownership: a view info owns its laid-out rows; rows point into the view info's own text.
// Coordinates: the editor's client space; PaintOffset turns them into window coordinates.
#pragma once

#include "controls/editors/uiTextEditProperties.h"
#include "controls/foundation/uiEditTextLayout.h"

class TuiCustomTextEditViewInfo;

// Bits of the view data's flag set that hosts set (the text editors never do).
inline constexpr Byte tevfEmptyTextNoHeight = 0x01;
inline constexpr Byte tevfAutoHeight = 0x02;
inline constexpr Byte tevfEndEllipsis = 0x08;

using TuiTextEditDrawTextProc = Delegate<void(TuiCanvas* ACanvas, TRect& ARect)>;

class TuiCustomTextEditViewData : public TuiCustomEditViewData {
  K58_CLASS(TuiCustomTextEditViewData, TuiCustomEditViewData)

  TuiCustomTextEditViewData() = default;

  // The properties as text properties (nil for other properties).
  TuiCustomTextEditProperties* TextProperties() const {
    return dynamic_cast<TuiCustomTextEditProperties*>(Properties);
  }
  Byte TextMode() const;

  virtual bool InnerEditShowsText();
  virtual Integer GetVisibleLineCount() { return 0; }
  virtual bool IsComboBoxStyle() { return false; }
  virtual void CalculateTextDrawFlags(TuiCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo);
  virtual void DisplayValueToDrawValue(const Variant& AValue, TuiCustomTextEditViewInfo* AViewInfo);
  virtual TuiTextOutFlags GetDrawTextFlags();
  virtual void GetTextContentOffsets(TRect& R);

  void ApplyProperties() override;
  void EditValueToDisplayText(const Variant& AEditValue, String& AText) override;
  void GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                          TSize& ASize) override;
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  void CalculateClientRect(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R) override;

  // The value's display text is left to the data binding's provider.
  bool ProviderFormat = false;

 private:
  void AdjustForAutoHeight(TuiCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo);
};

class TuiCustomTextEditViewInfo : public TuiCustomEditViewInfo {
  K58_CLASS(TuiCustomTextEditViewInfo, TuiCustomEditViewInfo)

  TuiCustomTextEditViewInfo() = default;

  void Paint(TuiCanvas* ACanvas) override;
  void OffsetRects(Integer DX, Integer DY) override;
  bool NeedShowHint(TuiCanvas* ACanvas, const TPoint& P, String& AText) override;
  // Whether the text is truncated at P (window coordinates). AVisibleRect (0, 0, 0, 0) means the whole
  // text rectangle; ATextRect is the text rectangle in window coordinates.
  virtual bool NeedShowHintForRect(TuiCanvas* ACanvas, const TPoint& P, const TRect& AVisibleRect, String& AText,
                                   bool& AIsMultiLine, TRect& ATextRect);
  using TuiCustomEditViewInfo::NeedShowHintForRect;
  virtual void PaintText(TuiCanvas* ACanvas);

  // Lays the rows out (once per calculation) in ARect narrowed by the indents.
  void PrepareTextRows(HDC DC, const TRect& ARect, Integer ARightIndent, Integer ALeftIndent, Integer AMaxRows,
                       TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength, Integer ASelStart,
                       TuiTextOutFlags AFlags);

  bool ComboBoxStyle = false;
  TuiTextEditDrawTextProc DrawTextProc;
  bool WholeFieldHighlight = false;
  TuiTextOutFlags DrawTextFlags = 0;
  Byte TextMode = 0;
  bool PopupShown = false;
  bool InnerEditShowsText = false;
  bool OwnerDraw = false;
  Integer MaxRows = 0;
  Integer SelStart = 0;
  Integer SelLength = 0;
  TColor SelTextColor = clHighlightText;
  TColor SelBackgroundColor = clHighlight;
  String Text;
  bool LastRowEllipsis = false;
  bool RowsPrepared = false;
  Integer RowCount = 0;
  Integer PreparedSelStart = 0;
  Integer PreparedSelLength = 0;
  TColor PreparedSelBackgroundColor = clHighlight;
  TColor PreparedSelTextColor = clHighlightText;
  TuiTextParams TextParams;
  TRect RowsRect{};
  TuiTextRows Rows;
  TRect TextRect{};
};

// The size AText needs in AViewData's editor (see the .cpp for the rules); ALineCount > 0 fixes the rows.
void GetTextEditContentSize(TuiCanvas* ACanvas, TuiCustomEditViewData* AViewData, const String& AText,
                            TuiTextOutFlags ADrawTextFlags, const TSize& AEditSizeProperties, Integer ALineCount,
                            bool AAddOffsetsWidth, TSize& ASize);
// The text margins inside the client rectangle.
void GetTextEditContentOffsets(TuiCustomEditViewData* AViewData, TRect& R);
// Lays out (when not yet done for this calculation) and draws the view info's text rows.
void DrawTextEditText(TCanvas* ACanvas, TuiCustomTextEditViewInfo* AViewInfo, const String& AText, Integer ARightIndent,
                      Integer ALeftIndent, Integer AMaxRows, TColor ASelTextColor, TColor ASelBkColor,
                      Integer ASelLength, Integer ASelStart, TuiTextOutFlags AFlags, const TRect& ARect);
