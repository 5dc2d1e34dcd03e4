// The settings of every text-like editor: character case and password echo, lookup items, maximum length,
// a numeric range with its check, display and edit formats, the text mode, and the thousand-separator
// routines shared with the numeric editors.
//
// Threads: GUI thread only.
// Ownership: a properties object owns its lookup item list and its assigned-value flags; it registers itself
// with the process-wide format controller while it lives.
// Value-like settings (formats, MaxLength, MinValue, MaxValue) answer in this order: the own value when it
// was assigned, then the data binding's default-values provider, then the class default.
#pragma once

#include <bitset>

#include "controls/editors/uiEdit.h"
#include "platform/classes/StringList.h"

// Input-method modes handed on to the inner edit.
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
K58_ENUM_TYPE(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
              imChinese, imSHanguel, imHanguel)
using TImeName = String;

enum TuiEditEchoMode { eemNormal, eemPassword };
K58_ENUM_TYPE(TuiEditEchoMode, eemNormal, eemPassword)

// Scoped: the container's visual states own the unqualified vsNormal. Streamed under the plain names.
enum class TuiTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };
template <>
struct TypeInfoTraits<TuiTextEditViewStyle> {
  static const TTypeInfo* Get() {
    static const TTypeInfo* info = MakeEnumTypeInfo(
        "TuiTextEditViewStyle", "vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth", {0, 1, 2, 3});
    return info;
  }
};

// Text modes (GetTextMode).
inline constexpr Byte temFree = 0;           // free text; lookup items only complete and select
inline constexpr Byte temEditFixedList = 1;  // editable text that must be one of the lookup items
inline constexpr Byte temFixedList = 2;      // only items can be chosen; typing searches
inline constexpr Byte temNoCursor = 3;       // no caret, not editable, selection always whole

// Error kind of a value outside MinValue..MaxValue (GetValidateErrorText).
inline constexpr Integer evkValueOutOfBounds = 1;

K58_EVENT_TYPE(TuiNewLookupDisplayTextEvent, void(TObject* Sender, const String& AText))
K58_EVENT_TYPE(TuiEditValidateEvent, void(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error))
using TuiCharSet = std::bitset<256>;

namespace uitexteditconsts {
extern const char* const scxEditValueOutOfBounds;     // "Value out of bounds"
extern const char* const scxConvertToNumericError;    // "Could not convert to numeric value"
extern const char* const scxTextEditDescription;      // "TextEdit|Represents a single line text editor"
}  // namespace uitexteditconsts

// ---- Assigned-value flags -------------------------------------------------------------------------------

class TuiTextEditPropertiesValues : public TuiCustomEditPropertiesValues {
  K58_CLASS(TuiTextEditPropertiesValues, TuiCustomEditPropertiesValues)

  explicit TuiTextEditPropertiesValues(TPersistent* AOwner = nullptr) : TuiCustomEditPropertiesValues(AOwner) {}
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

  bool DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(bool Value);
  bool EditFormat() const { return editFormat_; }
  void SetEditFormat(bool Value);
  bool MaxLength() const { return maxLength_; }
  void SetMaxLength(bool Value);
  bool MaxValue() const { return maxValue_; }
  void SetMaxValue(bool Value);
  bool MinValue() const { return minValue_; }
  void SetMinValue(bool Value);

  // A flag is streamed only when the value it marks, being at its default, would not carry it.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;
  bool IsMaxValueStored() const;
  bool IsMinValueStored() const;

 private:
  bool displayFormat_ = false;
  bool editFormat_ = false;
  bool maxLength_ = false;
  bool maxValue_ = false;
  bool minValue_ = false;
};

// ---- Properties -----------------------------------------------------------------------------------------

class TuiCustomTextEditProperties : public TuiCustomEditProperties, public IuiFormatControllerListener {
  K58_CLASS(TuiCustomTextEditProperties, TuiCustomEditProperties)

  TuiCustomTextEditProperties();
  ~TuiCustomTextEditProperties() override;

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  TuiTextEditPropertiesValues* AssignedValues() const {
    return static_cast<TuiTextEditPropertiesValues*>(TuiCustomEditProperties::AssignedValues());
  }
  void SetAssignedValues(TuiTextEditPropertiesValues* Value) { TuiCustomEditProperties::SetAssignedValues(Value); }

  // ---- Settings ----
  TEditCharCase CharCase() const { return charCase_; }
  String DisplayFormat();
  void SetDisplayFormat(const String& Value);
  bool IsDisplayFormatStored() const { return AssignedValues()->DisplayFormat(); }
  TuiEditEchoMode EchoMode() const { return echoMode_; }
  void SetEchoMode(TuiEditEchoMode Value);
  String EditFormat();
  void SetEditFormat(const String& Value);
  bool IsEditFormatStored() const { return AssignedValues()->EditFormat(); }
  // In text mode 2: keep the typed prefix as a highlighted partial match (True) or search afresh with
  // each typed character (False).
  bool FixedListSelection() const { return fixedListSelection_; }
  void SetFixedListSelection(bool Value);
  // True only while FormatChanged runs.
  bool IsFormatChanging() const { return formatChanging_; }
  bool HideCursor() const { return hideCursor_; }
  void SetHideCursor(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode Value);
  TImeName ImeName() const { return imeName_; }
  void SetImeName(const TImeName& Value);
  bool ImmediateUpdateText() const { return immediateUpdateText_; }
  void SetImmediateUpdateText(bool Value) { immediateUpdateText_ = Value; }
  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool Value);
  TStrings* LookupItems() const { return lookupItems_.get(); }
  void SetLookupItems(TStrings* Value);
  bool LookupItemsSorted() const;
  void SetLookupItemsSorted(bool Value);
  Integer MaxLength();
  void SetMaxLength(Integer Value);
  bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }
  double MaxValue();
  void SetMaxValue(double Value);
  bool IsMaxValueStored() const { return AssignedValues()->MaxValue(); }
  double MinValue();
  void SetMinValue(double Value);
  bool IsMinValueStored() const { return AssignedValues()->MinValue(); }
  bool MRUListMode() const { return mruListMode_; }
  void SetMRUListMode(bool Value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool Value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char Value);
  bool UseDisplayFormatWhenEditing() const { return useDisplayFormatWhenEditing_; }
  void SetUseDisplayFormatWhenEditing(bool Value);
  TuiTextEditViewStyle ViewStyle() const;
  void SetViewStyle(TuiTextEditViewStyle Value);
  // Characters the editor accepts without further checks.
  bool IsUseLeftAlignmentStored() const {
    return const_cast<TuiCustomTextEditProperties*>(this)->IsUseLeftAlignmentOnEditingStored();
  }
  const TuiCharSet& ValidChars() const { return validChars_; }
  TuiCharSet& ValidChars() { return validChars_; }

  const TuiNewLookupDisplayTextEvent& OnNewLookupDisplayText() const { return onNewLookupDisplayText_; }
  void SetOnNewLookupDisplayText(const TuiNewLookupDisplayTextEvent& Value) { onNewLookupDisplayText_ = Value; }

  // The display text of a value, focused (edit formatting) or not (display formatting), before echo.
  void MakeDisplayValue(const Variant& AEditValue, bool AEditFocused, Variant& ADisplayValue);

  // ---- Operations of this class and its descendants ----
  // Locale formats changed (through the format controller).
  void FormatChanged() override;
  virtual void ValidateValueRange(Variant& ADisplayValue, String& AErrorText, TuiCustomEdit* AEdit, bool& AError);
  virtual void GetEmptyDisplayValue(Variant& AValue) { AValue = Variant(String()); }
  // AText is one of the lookup items, compared upper-cased byte by byte.
  virtual bool IsLookupText(const String& AText);
  virtual void GetDefaultDisplayFormat(String& AFormat) { AFormat.clear(); }
  virtual Integer GetDefaultMaxLength();
  // Page size of lookup navigation.
  virtual Integer GetLookupRowCount() { return 8; }
  virtual Byte GetTextMode() { return hideCursor_ ? temNoCursor : temFree; }
  // The lookup data class of the editor; nullptr when it has none.
  virtual TClass GetLookupDataClass() const;
  // Whether formatted numbers get thousand separators. AInternalUpdate is the editor's display-sync flag:
  // numeric editors group only when it is False.
  virtual bool IsThousandSeparatorUsed(bool) { return false; }
  virtual void GetEditFormatInfo(bool& AIsCurrency, bool& AIsFieldText, String& AFormat, TuiCustomEdit* AEdit);
  // Gates numeric display formatting and the range check.
  virtual bool HasRangeCheck() { return false; }
  virtual bool ShowsLookupListInPopup() { return false; }
  virtual bool IsMultiLineText() { return false; }
  // A key pressed in the inner edit while the popup is open belongs to the lookup list.
  virtual bool UsesLookupList(Word, TShiftState) { return false; }
  virtual bool IsValueBoundSet(bool AIsMax);
  virtual bool HasValueRange();
  virtual void NotifyChanged() { Changed(); }
  virtual void MaxLengthChanged() { Changed(); }
  virtual void SetCharCase(TEditCharCase Value);
  bool IsLookupDataUsed() const { return GetLookupDataClass() != nullptr; }
  virtual void ApplyEchoMode(String& AText);
  // Whether a text value is acceptable in the text mode (a list-bound text must be an item); when it is,
  // the text gets the forced case.
  virtual bool AdjustTextValue(Variant& AValue, bool AEditFocused);

  // ---- Overrides of the properties base ----
  void AlignmentChanged(TObject* Sender) override;
  void SetAlignment(TuiEditAlignment* Value) override;
  bool CanValidate() override { return true; }
  TuiCustomEditPropertiesValues* CreateAssignedValues() override { return new TuiTextEditPropertiesValues(this); }
  Byte GetDisplayFormatOptions() override { return 1; }
  String GetValidateErrorText(Integer AErrorKind) override;
  TClass GetViewDataClass() const override;
  bool AreChangeEventsSeparate() override { return true; }
  bool IsValueChangeTrackedByStore() override { return true; }
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  Word GetEditCapabilities() override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  bool CanRevertValue() override { return GetTextMode() != temNoCursor; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void RestoreDefaults() override;
  void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit) override;
  bool SupportsValueFormatting(bool) override { return true; }

 private:
  void LookupItemsChanged(TObject* Sender);
  void ReadIsDisplayFormatAssigned(TReader* Reader);
  // Edit formatting of a numeric or string value.
  String FormatEditValue(const Variant& AValue);

  TEditCharCase charCase_ = ecNormal;
  String displayFormat_;
  TuiEditEchoMode echoMode_ = eemNormal;
  String editFormat_;
  bool fixedListSelection_ = true;
  bool formatChanging_ = false;
  bool hideCursor_ = false;
  bool hideSelection_ = true;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
  bool immediateUpdateText_ = false;
  bool incrementalSearch_ = true;
  TObjectPtr<TStringList> lookupItems_;
  Integer maxLength_ = 0;
  double maxValue_ = 0.0;
  double minValue_ = 0.0;
  bool mruListMode_ = false;
  bool oemConvert_ = false;
  char passwordChar_ = '\0';
  bool useDisplayFormatWhenEditing_ = false;
  TuiCharSet validChars_;
  TuiNewLookupDisplayTextEvent onNewLookupDisplayText_;
};

// The published form used on forms.
class TuiTextEditProperties : public TuiCustomTextEditProperties {
  K58_CLASS(TuiTextEditProperties, TuiCustomTextEditProperties)
};

// ---- Thousand separators and numeric text -----------------------------------------------------------------

// Deletes every thousand separator of the locale from S.
void RemoveThousandSeparators(String& S);
// Groups the integer part of S by three with the locale's thousand separator. Leading and trailing blanks,
// a leading sign and an exponent part ("E..." found in any case) are kept aside and put back unchanged.
void InsertThousandSeparators(String& S);
// Moves the part of S from its first "E" or "e" to the end into AExponent ('' when there is none).
void ExtractExponent(String& S, String& AExponent);
// S, thousand separators removed, is not empty and converts to a float.
bool IsNumericText(const String& S);
