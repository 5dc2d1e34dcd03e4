// The date editor: a drop-down editor for TDateTime values whose popup is the month calendar. Text and
// dates convert through the format controller and the smart date texts (free text, the standard date or
// date-time edit mask, or the regular-expression mask with smart words); MinDate and MaxDate bound the
// value; a date-only editor keeps the time of day of its value apart (SaveTime) so that typing a new date
// does not lose it; DateOnError says what an unconvertible text becomes.
//
// Threads: GUI thread only.
// Ownership: the editor owns its popup calendar (a component it owns) for its whole life; the calendar is
// parented by the popup window while the popup shows.
// Values: NullDate (-700000) and an edit value of Null both stand for no date. Times of day count away from
// zero: a date before 30 December 1899 gets its time subtracted (DateSign).
#pragma once

#include "controls/editors/uiCalendar.h"
#include "controls/editors/uiPopupEdit.h"
#include "controls/editors/uiTimeEdit.h"

namespace uidateeditconsts {
inline constexpr const char* scxDateEditDescription = "DateEdit|Represents an edit control with a dropdown calendar";
inline constexpr const char* scxInvalidDate = "Invalid Date";
inline constexpr const char* scxCouldNotConvertToDate = "Could not convert to date";
}  // namespace uidateeditconsts

enum TDateOnError { deNoChange, deToday, deNull };
K58_ENUM_TYPE(TDateOnError, deNoChange, deToday, deNull)
enum TuiInputKind { ikStandard, ikMask, ikRegExpr };
K58_ENUM_TYPE(TuiInputKind, ikStandard, ikMask, ikRegExpr)

class TuiCustomDateEdit;

// ---- Assigned-value flags -------------------------------------------------------------------------------

class TuiDateEditPropertiesValues : public TuiTextEditPropertiesValues {
  K58_CLASS(TuiDateEditPropertiesValues, TuiTextEditPropertiesValues)

  explicit TuiDateEditPropertiesValues(TPersistent* AOwner = nullptr) : TuiTextEditPropertiesValues(AOwner) {}
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool DateButtons() const { return dateButtons_; }
  void SetDateButtons(bool Value);
  bool InputKind() const { return inputKind_; }
  void SetInputKind(bool Value);
  // The range flags under their date names.
  bool MaxDate() const { return MaxValue(); }
  void SetMaxDate(bool Value) { SetMaxValue(Value); }
  bool MinDate() const { return MinValue(); }
  void SetMinDate(bool Value) { SetMinValue(Value); }

 private:
  bool dateButtons_ = false;
  bool inputKind_ = false;
};

// ---- Properties -----------------------------------------------------------------------------------------

class TuiCustomDateEditProperties : public TuiCustomPopupEditProperties {
  K58_CLASS(TuiCustomDateEditProperties, TuiCustomPopupEditProperties)

  TuiCustomDateEditProperties();
  void Assign(TPersistent* Source) override;

  TuiDateEditPropertiesValues* AssignedValues() const {
    return static_cast<TuiDateEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  }
  void SetAssignedValues(TuiDateEditPropertiesValues* Value) { TuiCustomEditProperties::SetAssignedValues(Value); }

  // ---- Settings ----
  bool ArrowsForYear() const { return arrowsForYear_; }
  void SetArrowsForYear(bool Value);
  // While not assigned: Clear and Now for the date-time kind, Clear and Today for the date kind.
  TDateButtons DateButtons() const;
  void SetDateButtons(TDateButtons Value);
  bool IsDateButtonsStored() const { return IsDateButtonsAssigned(); }
  TDateOnError DateOnError() const { return dateOnError_; }
  void SetDateOnError(TDateOnError Value);
  // While not assigned: the standard mask for the date-time kind, the regular-expression mask for dates.
  TuiInputKind InputKind() const;
  void SetInputKind(TuiInputKind Value);
  bool IsInputKindStored() const { return IsInputKindAssigned(); }
  TuiCalendarKind Kind() const { return kind_; }
  void SetKind(TuiCalendarKind Value);
  // 0 = no bound.
  TDateTime MaxDate() { return MaxValue(); }
  void SetMaxDate(TDateTime Value) { SetMaxValue(Value); }
  bool IsMaxDateStored() const { return IsMaxValueStored(); }
  TDateTime MinDate() { return MinValue(); }
  void SetMinDate(TDateTime Value) { SetMinValue(Value); }
  bool IsMinDateStored() const { return IsMinValueStored(); }
  bool SaveTime() const { return saveTime_; }
  void SetSaveTime(bool Value);
  bool ShowTime() const { return showTime_; }
  void SetShowTime(bool Value);
  bool YearsInMonthList() const { return yearsInMonthList_; }
  void SetYearsInMonthList(bool Value);

  // ---- Conversions ----
  // Sets the mask kind and edit mask that InputKind and Kind call for.
  void UpdateMask();
  // The text of no date: the mask's empty text; a focused masked date-time editor shows zeros in its time
  // positions instead of blanks.
  String GetEmptyText(bool AFocused);
  // Whether the text of V shows its time of day.
  bool IsTimeShown(bool AFocused, TDateTime V);
  // Null for the empty text; else the date of AText, or what DateOnError makes of a text that is none.
  Variant TextToDateEx(const String& AText);
  // The masked time part at the 1-based APosition; False outside one (and without masked time parts).
  bool GetTimePart(Integer APosition, TuiTimePart& APart);
  // The character a cleared position takes: "0" in a time digit, '' (kept) in an AM/PM designator, else
  // a blank.
  String GetBlankAt(Integer APosition);
  // Whether the text has time parts under the standard date-time mask.
  bool HasMaskedTimeParts();

  // ---- Overrides ----
  TuiCustomEditPropertiesValues* CreateAssignedValues() override { return new TuiDateEditPropertiesValues(this); }
  Byte GetDisplayFormatOptions() override { return 3; }
  TClass GetEditClass() const override;
  void Changed() override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool AEditFocused) override { return HasDefaultDisplayFormat(AEditFocused); }
  void FormatChanged() override { Changed(); }
  bool HasRangeCheck() override { return true; }
  bool IsValueBoundSet(bool AIsMax) override;
  bool HasValueRange() override;
  bool AdjustTextValue(Variant& AValue, bool AEditFocused) override;
  TClass GetModeClass(TuiEditMaskKind AMaskKind) const override;
  TObjectPtr<TuiMaskEditCustomMode> CreateMode(TuiEditMaskKind AMaskKind, IuiMaskEditHost* AEdit) override;
  bool IsPopupValueEditor() override { return true; }
  TClass GetPopupWindowClass() const override;
  bool IsPopupLimitedToWorkArea() override { return false; }

 private:
  // The flags (the date flags exist only once the object is complete: none while it is constructed).
  bool IsDateButtonsAssigned() const;
  bool IsInputKindAssigned() const;
  // Today, or now for the date-time kind.
  TDateTime TodayForKind() const;
  bool UsesSmartTexts() const;

  bool arrowsForYear_ = true;
  TDateButtons dateButtons_;
  TDateOnError dateOnError_ = deNoChange;
  TuiInputKind inputKind_ = ikRegExpr;
  TuiCalendarKind kind_ = ckDate;
  bool saveTime_ = true;
  bool showTime_ = true;
  bool yearsInMonthList_ = true;
};

class TuiDateEditProperties : public TuiCustomDateEditProperties {
  K58_CLASS(TuiDateEditProperties, TuiCustomDateEditProperties)
};

// ---- Popup window and mask mode -----------------------------------------------------------------------------

class TuiDateEditPopupWindow : public TuiPopupEditPopupWindow {
  K58_CLASS(TuiDateEditPopupWindow, TuiPopupEditPopupWindow)

  explicit TuiDateEditPopupWindow(TComponent* AOwnerControl = nullptr);
  // Keys the calendar handles wherever the focus is inside the popup.
  virtual bool IsCalendarKey(Word Key, TShiftState Shift);

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
};

// The standard mask mode whose cleared time digits become "0".
class TuiDateEditMaskStandardMode : public TuiMaskEditStandardMode {
  K58_CLASS(TuiDateEditMaskStandardMode, TuiMaskEditStandardMode)

  TuiDateEditMaskStandardMode(IuiMaskEditHost* AEdit, IuiMaskEditModeSettings* AEditProperties)
      : TuiMaskEditStandardMode(AEdit, AEditProperties) {}
  String GetBlank(Integer APosition) const override;
};

// ---- Editor -----------------------------------------------------------------------------------------------

class TuiCustomDateEdit : public TuiCustomPopupEdit {
  K58_CLASS(TuiCustomDateEdit, TuiCustomPopupEdit)

  explicit TuiCustomDateEdit(TComponent* AOwner) : TuiCustomPopupEdit(AOwner) {}
  ~TuiCustomDateEdit() override;

  TuiCustomDateEditProperties* ActiveProperties() {
    return static_cast<TuiCustomDateEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomDateEditProperties* Properties() const {
    return static_cast<TuiCustomDateEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomDateEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // NullDate for no date.
  TDateTime Date();
  void SetDate(TDateTime Value);
  TuiPopupCalendar* Calendar() const { return calendar_; }
  TDateTime PopupDate() const { return popupDate_; }
  TDateTime SavedTime() const { return savedTime_; }
  void SetSavedTime(TDateTime Value) { savedTime_ = Value; }
  // NullDate for a text that is no date.
  TDateTime TextToDate(const String& AText);
  // The date the text stands for now: the value, or while typing, the text's date.
  TDateTime GetCurrentDate();
  // The text DateChosen shows for V.
  String GetDisplayTextForDate(TDateTime V);
  // The calendar's choice becomes the value.
  void DateChosen(TObject* Sender);

  // ---- Overrides ----
  TClass GetPropertiesClass() const override;
  void Initialize() override;
  void StoreEditValue(const Variant& AValue, bool AValidateEditValue) override;
  void InternalSetDisplayValue(const Variant& AValue) override;
  void ClearValue() override { SetDate(NullDate); }
  void DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void ApplyValueLimits() override;
  void PropertiesChanged(TObject* Sender) override;
  void GetEditingText(String& AText) override { GetDisplayText(AText); }
  bool IsCharAllowed(String& ACh, Integer APosition) override;
  void CreatePopupWindow() override;
  void DropDown() override;
  void SetupPopupWindow() override;
  void PopupWindowClosed(TObject* Sender) override;
  void PopupWindowShowed(TObject* Sender) override;

 private:
  friend class TuiCustomDateEditProperties;
  // Keeps the time of day of a stored value for a date-only editor.
  void RememberTime(const Variant& AValue);
  // Stores the value without display synchronisation; tells of a change.
  void SetEditValueDirectly(const Variant& AValue);

  TuiPopupCalendar* calendar_ = nullptr;
  TDateTime popupDate_ = NullDate;
  TDateTime savedTime_ = 0;
};

class TuiDateEdit : public TuiCustomDateEdit {
  K58_CLASS(TuiDateEdit, TuiCustomDateEdit)

  explicit TuiDateEdit(TComponent* AOwner) : TuiCustomDateEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiDateEditProperties* ActiveProperties() {
    return static_cast<TuiDateEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiDateEditProperties* Properties() const { return static_cast<TuiDateEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiDateEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
// Registers the date editor's Properties in the edit-properties registry (counted).
void StartDateEditUnit();
void StopDateEditUnit();
}  // namespace k58::editors
