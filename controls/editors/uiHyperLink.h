// The hyperlink edit: a text editor whose text is shown as a link (underlined, in the link colour) and
// can be started by a key, a double click or (SingleClick) a single click. Starting runs the OnStartClick
// handlers, or, when there are none, opens the text with a prefix such as "http://" put in front when it
// is missing.
//
// Threads: GUI thread only.
// Opening: the text goes to the process-wide opener (ShellExecute by default, which starts the desktop's
// opener with an argument vector, never through a shell). A text that would read as an option ("-x") is
// refused, and a refused or failed start beeps.
#pragma once

#include <functional>

#include "controls/editors/uiTextEdit.h"

namespace uihyperlinkconsts {
inline constexpr const char* SHyperLinkPrefix = "http://";
inline constexpr const char* SHyperLinkDescription = "HyperLink|Represents a text editor with hyperlink functionality";
}  // namespace uihyperlinkconsts

class TuiCustomHyperLinkEdit;

class TuiCustomHyperLinkEditProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TuiCustomHyperLinkEditProperties, TuiCustomTextEditProperties)

  TuiCustomHyperLinkEditProperties();
  void Assign(TPersistent* Source) override;

  // Validation puts Prefix in front of the text.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool Value) { autoComplete_ = Value; }
  TColor LinkColor() const { return linkColor_; }
  void SetLinkColor(TColor Value);
  const String& Prefix() const { return prefix_; }
  void SetPrefix(const String& Value) { prefix_ = Value; }
  // One click (without selecting text) starts the link.
  bool SingleClick() const { return singleClick_; }
  void SetSingleClick(bool Value);
  TShortCut StartKey() const { return startKey_; }
  void SetStartKey(TShortCut Value) { startKey_ = Value; }
  // Replaces the opening of the text when assigned.
  const TNotifyEvent& OnStartClick() const { return onStartClick_; }
  void SetOnStartClick(const TNotifyEvent& Value) { onStartClick_ = Value; }

  // AText, or Prefix followed by the trimmed AText when that does not begin with Prefix (compared without
  // regard to case); empty and blank texts and an empty Prefix leave AText as it is.
  void AddPrefix(const String& AText, String& AResult) const;
  String AddPrefix(const String& AText) const {
    String result;
    AddPrefix(AText, result);
    return result;
  }

  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetStyleClass() const override;
  TClass GetViewInfoClass() const override;
  Word GetEditCapabilities() override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  // Prefix is written only when it differs from the (translated) default.
  void DefineProperties(TFiler* Filer) override;

 private:
  bool autoComplete_ = true;
  TColor linkColor_ = clBlue;
  String prefix_;
  bool singleClick_ = false;
  TShortCut startKey_ = 0x400D;
  TNotifyEvent onStartClick_;
};

class TuiHyperLinkEditProperties : public TuiCustomHyperLinkEditProperties {
  K58_CLASS(TuiHyperLinkEditProperties, TuiCustomHyperLinkEditProperties)
};

// The link colour (unless the style is a direct-access copy) and an underline on top of the edit style.
class TuiHyperLinkStyle : public TuiEditStyle {
  K58_CLASS(TuiHyperLinkStyle, TuiEditStyle)
  using TuiEditStyle::TuiEditStyle;

  TColor GetTextColor() const override;
  TFontStyles GetTextStyle() const override;
};

class TuiHyperLinkEditViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiHyperLinkEditViewInfo, TuiCustomTextEditViewInfo)

  TuiHyperLinkEditViewInfo() = default;
  bool HasHotButton() const override;
  bool IsHotTrackPoint(const TPoint& P) const override;
  // For a data cell (no editor): underlined, in the link colour unless the cell is drawn as selected.
  void PrepareCanvasFont(TCanvas* ACanvas) override;

  // The editor the view info paints for; nil for a data cell.
  TuiCustomHyperLinkEdit* Edit = nullptr;
  bool Selected = false;
};

class TuiHyperLinkEditViewData : public TuiCustomTextEditViewData {
  K58_CLASS(TuiHyperLinkEditViewData, TuiCustomTextEditViewData)

  TuiHyperLinkEditViewData() = default;
  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
};

class TuiCustomHyperLinkEdit : public TuiCustomTextEdit {
  K58_CLASS(TuiCustomHyperLinkEdit, TuiCustomTextEdit)

  explicit TuiCustomHyperLinkEdit(TComponent* AOwner);
  TuiCustomHyperLinkEditProperties* ActiveProperties() {
    return static_cast<TuiCustomHyperLinkEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomHyperLinkEditProperties* Properties() const {
    return static_cast<TuiCustomHyperLinkEditProperties*>(TuiCustomEdit::Properties());
  }
  TuiHyperLinkStyle* Style() const { return static_cast<TuiHyperLinkStyle*>(TuiCustomEdit::Style()); }

  // Runs the OnStartClick handlers, or opens the display text with the prefix put in front.
  virtual void DoStart();

  TClass GetPropertiesClass() const override;
  void PropertiesChanged(TObject* Sender) override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData) override;
  void SelectAll() override;
  void MouseEntered(TControl* AControl) override;
  void MouseLeft(TControl* AControl) override;

 protected:
  // True when a handler was there: the own Properties' and, with a repository item, the active ones'.
  bool DoStartClick();
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  void ShowHandCursor();
  void RestoreCursor();

  TCursor savedCursor_ = crDefault;
  bool cursorSaved_ = false;
};

class TuiHyperLinkEdit : public TuiCustomHyperLinkEdit {
  K58_CLASS(TuiHyperLinkEdit, TuiCustomHyperLinkEdit)

  explicit TuiHyperLinkEdit(TComponent* AOwner) : TuiCustomHyperLinkEdit(AOwner) {}
  TuiHyperLinkEditProperties* Properties() const {
    return static_cast<TuiHyperLinkEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiHyperLinkEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  void SetStyle(TuiHyperLinkStyle* Value) { TuiCustomEdit::SetStyle(Value); }
  TClass GetPropertiesClass() const override;
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
// Opens an address or document; answers whether it started.
using THyperLinkOpener = std::function<bool(const String& AAddress)>;
// Replaces the process-wide opener (tests record instead of starting programs); an empty one restores
// the default. Answers the previous one.
THyperLinkOpener SetHyperLinkOpener(THyperLinkOpener AOpener);

void StartHyperLinkUnit();
void StopHyperLinkUnit();
}  // namespace k58::editors
