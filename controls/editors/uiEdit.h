// The editor framework's base: the registry of properties classes, repositories of shared properties,
// the properties base with its provider of defaults, embedded buttons, edit styles and their controller,
// the layout (view data) and painting state (view info) of an editor, its data binding and change-event
// catcher, and the editor control TuiCustomEdit with its value life cycle, keyboard, focus and mouse.
//
// Threads: GUI thread only.
// Ownership: an editor owns its own properties, its data binding, its catcher and its view info; a
// repository item owns one properties object shared by the editors that listen to it; a repository frees
// every item it lists, whoever owns the item. A default-values provider belongs to its data binding and
// detaches itself from every properties object when it dies.
// Coordinates: view data and view info work in the editor's client coordinates; a view info's paint offset
// is added when its rectangles are compared with window coordinates.
// Re-entrancy: validation handlers (OnValidate) and change events may move the focus or raise; the editor
// releases its locks and restores its modified state on the way out.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/Foundation.h"
#include "platform/classes/Collection.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

class TuiCustomEdit;
class TuiCustomEditProperties;
class TuiCustomEditViewData;
class TuiCustomEditViewInfo;
class TuiEditRepository;
class TuiEditRepositoryItem;
class TuiEditStyle;
class TuiEditStyleController;

// ---- Enumerations -------------------------------------------------------------------------------------

enum TuiEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
K58_ENUM_TYPE(TuiEditButtonKind, bkEllipsis, bkDown, bkGlyph, bkText)
enum TuiEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
K58_ENUM_TYPE(TuiEditButtonStyle, btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11)
enum TuiEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
K58_ENUM_TYPE(TuiEditButtonTransparency, ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected)
enum TuiEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
K58_ENUM_TYPE(TuiEditPopupBorderStyle, epbsDefault, epbsSingle, epbsFrame3D, epbsFlat)
// The container's border styles under the editors' names (same values).
enum TuiEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
enum TuiEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
K58_ENUM_TYPE(TuiEditVertAlignment, taTopJustify, taBottomJustify, taVCenter)

// Button states of a button view info.
inline constexpr Byte ebsDisabledState = 0;
inline constexpr Byte ebsNormalState = 1;
inline constexpr Byte ebsPressedState = 2;
inline constexpr Byte ebsHotState = 3;

// The edit style values after the container's ten.
inline constexpr Integer svButtonStyle = 10;
inline constexpr Integer svButtonTransparency = 11;
inline constexpr Integer svPopupBorderStyle = 12;
inline constexpr Integer svGradientButtons = 13;

// Capability bit of properties with buttons.
inline constexpr Word ecsButtons = 32;

// Ctrl+Enter.
inline constexpr TShortCut DefaultClickKey = 0x400D;

// Screen cursor of the mouse-wheel panning mark.
inline constexpr TCursor crEditMouseWheel = 4101;

using TuiEditButtonClickEvent = Delegate<void(TObject* Sender, Integer AButtonIndex)>;
using TuiEditClosePopupEvent = Delegate<void(TObject* Sender, Byte AReason)>;
using TuiEditValidateEvent =
    Delegate<void(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error)>;
using TuiEditEditingEvent = Delegate<void(TObject* Sender, bool& CanEdit)>;
using TuiEditKeyEvent = Delegate<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TuiGetDefaultButtonWidthEvent = Delegate<void(TObject* Sender, Integer AIndex, Integer& AWidth)>;
using TuiGetDisplayTextEvent = Delegate<void(TObject* Sender, String& AText)>;
using TuiEditCustomDrawEvent = Delegate<void(TObject* Sender, TuiCanvas* ACanvas, bool& AHandled)>;
using TuiEditCustomDrawButtonEvent =
    Delegate<void(TObject* Sender, TuiCanvas* ACanvas, Integer AButtonIndex, bool& AHandled)>;
using TuiEditDrawButtonBackgroundEvent =
    Delegate<void(TObject* Sender, TuiCanvas* ACanvas, const TRect& ARect, Integer AButtonIndex, bool& AHandled)>;
using TuiEditButtonStateEvent = Delegate<void(TObject* Sender, Integer AIndex, Byte& AState)>;

// ---- Buttons ------------------------------------------------------------------------------------------

class TuiEditButton : public TCollectionItem {
  K58_CLASS(TuiEditButton, TCollectionItem)

  explicit TuiEditButton(TCollection* ACollection);
  ~TuiEditButton() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Made on first read.
  TBitmap* Glyph();
  TBitmap* GlyphIfAny() const { return glyph_.get(); }
  // Copies Value into the own glyph; nil frees it. Always reports a change.
  void SetGlyph(TBitmap* Value);
  TuiEditButtonKind Kind() const { return kind_; }
  void SetKind(TuiEditButtonKind Value);
  bool LeftAlignment() const { return leftAlignment_; }
  void SetLeftAlignment(bool Value);
  bool Stretchable() const { return stretchable_; }
  void SetStretchable(bool Value);
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  const String& VisibleCaption() const { return visibleCaption_; }
  Integer Width() const { return width_; }
  // A negative width is refused (it would mean automatic width anyway).
  void SetWidth(Integer Value);
  bool IsGlyphStored() const { return glyph_ != nullptr && !glyph_->Empty(); }

 private:
  void GlyphChanged(TObject* Sender);

  String caption_;
  bool default_ = false;
  bool enabled_ = true;
  TObjectPtr<TBitmap> glyph_;
  TuiEditButtonKind kind_ = bkDown;
  bool leftAlignment_ = false;
  bool stretchable_ = true;
  TColor textColor_ = clBtnText;
  bool visible_ = true;
  String visibleCaption_;
  Integer width_ = 0;
};

class TuiEditButtons : public TCollection {
  K58_CLASS(TuiEditButtons, TCollection)

  explicit TuiEditButtons(TPersistent* AOwner = nullptr);

  TuiEditButton* Items(Integer Index) const { return static_cast<TuiEditButton*>(GetItem(Index)); }
  TuiEditButton* Add() { return static_cast<TuiEditButton*>(TCollection::Add()); }
  Integer VisibleCount() const;
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

 protected:
  TPersistent* GetOwner() override { return owner_; }
  void Update(TCollectionItem* Item) override;

 private:
  TPersistent* owner_;
  TNotifyEvent onChange_;
};

struct TuiEditButtonViewInfoData {
  TColor BackgroundColor = clBtnFace;
  String Caption;
  bool Default = false;
  bool Gradient = false;
  bool IsInplace = false;
  TuiEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool Leftmost = false;
  bool NativeStyle = false;
  bool Rightmost = false;
  Byte State = ebsDisabledState;
  TuiEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  String VisibleCaption;
  bool BackgroundPartiallyTransparent = false;
  bool ComboBoxStyle = false;
  Integer NativePart = 0;
  Integer NativeState = 0;
};

class TuiEditButtonViewInfo : public TPersistent {
  K58_CLASS(TuiEditButtonViewInfo, TPersistent)

  TuiEditButtonViewInfo() = default;
  // From another button view info: native state, background colour, bounds, state and rightmost flag.
  void Assign(TPersistent* Source) override;
  // An empty region when the state, rightmost flag, background colour and native state are unchanged.
  virtual std::unique_ptr<TuiRegion> GetChangedRegion(TuiEditButtonViewInfo* AOldViewInfo);
  // Invalidates Bounds (moved by AOffset) when it changed; True then.
  virtual bool RepaintIfChanged(TWinControl* AControl, TuiEditButtonViewInfo* AOldViewInfo, const TPoint& AOffset);
  bool HasChanged(TuiEditButtonViewInfo* AOldViewInfo) const;

  TRect Bounds{};
  TuiEditButtonViewInfoData Data;
  TBitmap* Glyph = nullptr;
  bool HasBackground = false;
  Integer ButtonIndex = -1;
  bool Stretchable = true;
  TRect VisibleBounds{};
  Integer Width = 0;
};
using TuiEditButtonViewInfoClass = TuiEditButtonViewInfo* (*)();

// ---- Alignment and assigned values ----------------------------------------------------------------------

class TuiEditAlignment : public TPersistent {
  K58_CLASS(TuiEditAlignment, TPersistent)

  explicit TuiEditAlignment(TPersistent* AOwner = nullptr) : owner_(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  TAlignment Horz() const { return horz_; }
  void SetHorz(TAlignment Value);
  TuiEditVertAlignment Vert() const { return vert_; }
  void SetVert(TuiEditVertAlignment Value);
  bool IsHorzAssigned() const { return isHorzAssigned_; }
  // Horz becomes unassigned.
  void Reset();
  bool IsHorzStored() const { return isHorzAssigned_; }
  bool IsVertStored() const { return vert_ != taTopJustify; }
  // Sets Horz without marking it assigned and without notification.
  void SetHorzQuietly(TAlignment Value) { horz_ = Value; }
  void CopyFrom(const TuiEditAlignment& ASource) {
    horz_ = ASource.horz_;
    vert_ = ASource.vert_;
    isHorzAssigned_ = ASource.isHorzAssigned_;
  }

  const TNotifyEvent& OnChanged() const { return onChanged_; }
  void SetOnChanged(const TNotifyEvent& Value) { onChanged_ = Value; }

 private:
  void DoChanged() { onChanged_(this); }

  TAlignment horz_ = taLeftJustify;
  bool isHorzAssigned_ = false;
  TPersistent* owner_;
  TuiEditVertAlignment vert_ = taTopJustify;
  TNotifyEvent onChanged_;
};

class TuiCustomEditPropertiesValues : public TPersistent {
  K58_CLASS(TuiCustomEditPropertiesValues, TPersistent)

  explicit TuiCustomEditPropertiesValues(TPersistent* AOwner = nullptr) : owner_(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }
  void SetOwner(TPersistent* AOwner) { owner_ = AOwner; }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  virtual void RestoreDefaults();

  void BeginUpdate();
  void EndUpdate();
  // True when the owner's class publishes a property of that name.
  bool IsPropertyPublished(const String& AName);

 protected:
  void Changed();

 private:
  TPersistent* owner_;
  bool readOnly_ = false;
};

// ---- Default values provider --------------------------------------------------------------------------

// Where a data source supplies defaults to properties objects.
class IuiEditDefaultValuesProvider {
 public:
  virtual void DetachFromProperties() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual Byte DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual void DefaultDisplayFormat(String& AFormat) = 0;
  virtual void DefaultEditFormat(String& AFormat) = 0;
  virtual void DefaultEditMask(String& AMask) = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual Integer DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsDataAware() = 0;
  virtual bool IsBlobField() = 0;
  virtual bool DefaultIsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDisplayTextDefined(bool ACurrencyCounts) = 0;
  virtual bool IsDisplayTextByEvent() = 0;
  virtual bool IsValidChar(char AChar) = 0;

 protected:
  ~IuiEditDefaultValuesProvider() = default;
};

// The neutral answers: nothing is bound, everything may be edited.
class TuiCustomEditDefaultValuesProvider : public TuiInterfacedPersistent, public IuiEditDefaultValuesProvider {
  K58_CLASS(TuiCustomEditDefaultValuesProvider, TuiInterfacedPersistent)

  explicit TuiCustomEditDefaultValuesProvider(TPersistent* AOwner = nullptr) : TuiInterfacedPersistent(AOwner) {}
  ~TuiCustomEditDefaultValuesProvider() override;

  void DetachFromProperties() override;
  TAlignment DefaultAlignment() override { return taLeftJustify; }
  Byte DefaultBlobKind() override { return 3; }
  bool DefaultCanModify() override { return true; }
  void DefaultDisplayFormat(String& AFormat) override { AFormat.clear(); }
  void DefaultEditFormat(String& AFormat) override { AFormat.clear(); }
  void DefaultEditMask(String& AMask) override { AMask.clear(); }
  bool DefaultIsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0.0; }
  double DefaultMinValue() override { return 0.0; }
  Integer DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool IsDataAware() override { return false; }
  bool IsBlobField() override { return false; }
  bool DefaultIsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDisplayTextDefined(bool) override { return false; }
  bool IsDisplayTextByEvent() override { return false; }
  bool IsValidChar(char) override { return true; }
};

// ---- Properties base ----------------------------------------------------------------------------------

// Made with the class's default constructor; the creator then gives it its owner.
class TuiCustomEditProperties : public TuiInterfacedPersistent {
  K58_CLASS(TuiCustomEditProperties, TuiInterfacedPersistent)

  TuiCustomEditProperties();
  ~TuiCustomEditProperties() override;
  // An object of AClass (a descendant of this class) owned by AOwner.
  static TuiCustomEditProperties* CreateOfClass(TClass AClass, TPersistent* AOwner);

  TPersistent* GetOwner() override { return owner_; }
  TPersistent* Owner() const { return owner_; }
  void SetOwner(TPersistent* AOwner) { owner_ = AOwner; }

  void Assign(TPersistent* Source) override;
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate(bool AInvokeChanged = true);
  TuiCustomEditProperties* LockChanged(bool ALock) {
    changeLock_ = ALock;
    return this;
  }
  bool IsChangeLocked() const { return changeLock_ || updateCount_ > 0; }
  bool CanModify();
  void GetEditSize(TuiCanvas* ACanvas, TuiEditStyle* AStyle, bool AIsInplace, const Variant& AEditValue,
                   const TSize& AEditSizeProperties, TSize& ASize);
  void SetDefaultValuesProvider(IuiEditDefaultValuesProvider* AValuesProvider);
  IuiEditDefaultValuesProvider* DefaultValuesProvider() const { return provider_; }
  bool UsesProviderDisplayFormat();
  void DoValidate(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit,
                  bool& ADisplayValueModified);

  // ---- Settings ----
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value);
  bool BeepOnError() const { return beepOnError_; }
  void SetBeepOnError(bool Value) { beepOnError_ = Value; }
  TuiEditButtons* Buttons() const { return buttons_.get(); }
  void SetButtons(TuiEditButtons* Value) { buttons_->Assign(Value); }
  Byte ButtonsViewStyle() const { return buttonsViewStyle_; }
  void SetButtonsViewStyle(Byte Value);
  TShortCut ClearKey() const { return clearKey_; }
  void SetClearKey(TShortCut Value) { clearKey_ = Value; }
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut Value) { clickKey_ = Value; }
  bool ImmediatePost() const { return immediatePost_; }
  void SetImmediatePost(bool Value) { immediatePost_ = Value; }
  bool ReadOnly();
  void SetReadOnly(bool Value);
  bool IsReadOnlyStored() const { return assignedValues_->ReadOnly(); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool UseLeftAlignmentOnEditing() const { return useLeftAlignmentOnEditing_; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool IsUseLeftAlignmentOnEditingStored() { return useLeftAlignmentOnEditing_ != GetDefaultUseLeftAlignmentOnEditing(); }
  bool UseMouseWheel() const { return useMouseWheel_; }
  void SetUseMouseWheel(bool Value) { useMouseWheel_ = Value; }
  bool ValidateOnEnter() const { return validateOnEnter_; }
  void SetValidateOnEnter(bool Value) { validateOnEnter_ = Value; }
  // The published face of the stored alignment, refreshed on every read (see the .cpp).
  TuiEditAlignment* Alignment();
  TuiEditAlignment* InnerAlignment() const { return innerAlignment_.get(); }
  TuiCustomEditPropertiesValues* AssignedValues() const { return assignedValues_.get(); }
  void SetAssignedValues(TuiCustomEditPropertiesValues* Value) { assignedValues_->Assign(Value); }
  TuiFreeNotificator* FreeNotificator() const { return freeNotificator_.get(); }
  Integer UpdateCount() const { return updateCount_; }

  // ---- Events ----
  const TuiEditButtonClickEvent& OnButtonClick() const { return onButtonClick_; }
  void SetOnButtonClick(const TuiEditButtonClickEvent& Value) { onButtonClick_ = Value; }
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TuiEditClosePopupEvent& OnClosePopup() const { return onClosePopup_; }
  void SetOnClosePopup(const TuiEditClosePopupEvent& Value) { onClosePopup_ = Value; }
  const TNotifyEvent& OnEditValueChanged() const { return onEditValueChanged_; }
  void SetOnEditValueChanged(const TNotifyEvent& Value) { onEditValueChanged_ = Value; }
  const TuiEditValidateEvent& OnValidate() const { return onValidate_; }
  void SetOnValidate(const TuiEditValidateEvent& Value) { onValidate_ = Value; }
  // Set by the owner (an editor or a repository item); not copied by Assign.
  const TNotifyEvent& OnPropertiesChanged() const { return onPropertiesChanged_; }
  void SetOnPropertiesChanged(const TNotifyEvent& Value) { onPropertiesChanged_ = Value; }

  // ---- Operations of descendants ----
  virtual void AlignmentChanged(TObject* Sender);
  virtual void SetAlignment(TuiEditAlignment* Value);
  virtual void ButtonsChanged(TObject* Sender);
  virtual bool CanValidate() { return false; }
  virtual bool GetDefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void ClearDefaultValuesProvider();
  virtual void FreeNotification(TComponent*) {}
  virtual TuiCustomEditPropertiesValues* CreateAssignedValues() { return new TuiCustomEditPropertiesValues(this); }
  virtual TAlignment GetDefaultHorzAlignment();
  // Bit 1: the kind may take a display format from the data source; bit 2: a currency flag alone counts
  // as no display format.
  virtual Byte GetDisplayFormatOptions() { return 0; }
  virtual String GetValidateErrorText(Integer AErrorKind);
  virtual bool HasDefaultDisplayFormat(bool AEditFocused);
  virtual TClass GetViewDataClass() const;
  virtual bool AreChangeEventsSeparate() { return false; }
  virtual bool IsTabKeyWanted() { return false; }
  virtual bool IsValueChangeTrackedByStore() { return false; }
  virtual TClass GetEditClass() const;
  virtual TClass GetStyleClass() const;
  virtual TClass GetViewInfoClass() const;
  virtual void Changed();
  virtual bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2);
  virtual TuiCustomEditProperties* CreateOfSameClass() { return CreateOfClass(ClassType(), nullptr); }
  virtual TuiCustomEditViewData* CreateViewData(TuiEditStyle* AStyle, bool AIsInplace, bool ALockedState);
  virtual WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false);
  virtual Word GetEditCapabilities();
  virtual bool IsActivationKey(char) { return false; }
  virtual bool IsEditValueValid(Variant&, bool) { return true; }
  virtual bool CanRevertValue() { return false; }
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused);
  virtual void RestoreDefaults();
  virtual void AssignItemsTo(TuiCustomEditProperties*) {}
  virtual void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError, TuiCustomEdit* AEdit);
  virtual bool SupportsValueFormatting(bool) { return false; }

 private:
  TPersistent* owner_ = nullptr;
  bool autoSelect_ = true;
  bool beepOnError_ = false;
  TObjectPtr<TuiEditButtons> buttons_;
  Byte buttonsViewStyle_ = 0;
  TShortCut clearKey_ = 0;
  TShortCut clickKey_ = DefaultClickKey;
  TObjectPtr<TuiFreeNotificator> freeNotificator_;
  bool immediatePost_ = false;
  TObjectPtr<TuiEditAlignment> innerAlignment_;
  bool readOnly_ = false;
  bool transparent_ = false;
  Integer updateCount_ = 0;
  bool useLeftAlignmentOnEditing_ = true;
  bool useMouseWheel_ = true;
  bool validateOnEnter_ = false;
  TuiEditButtonClickEvent onButtonClick_;
  TNotifyEvent onChange_;
  TuiEditClosePopupEvent onClosePopup_;
  TNotifyEvent onEditValueChanged_;
  TuiEditValidateEvent onValidate_;
  TNotifyEvent onPropertiesChanged_;
  TObjectPtr<TuiEditAlignment> alignment_;
  TObjectPtr<TuiCustomEditPropertiesValues> assignedValues_;
  bool changeLock_ = false;
  IuiEditDefaultValuesProvider* provider_ = nullptr;
};

// ---- Edit styles --------------------------------------------------------------------------------------

class TuiCustomEditStyle : public TuiContainerStyle {
  K58_CLASS(TuiCustomEditStyle, TuiContainerStyle)

  TuiCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TuiContainerStyle* AParentStyle, Byte AState);
  void Assign(TPersistent* Source) override;

  TuiEditButtonStyle ButtonStyle() const;
  void SetButtonStyle(TuiEditButtonStyle Value);
  TuiEditButtonTransparency ButtonTransparency() const;
  void SetButtonTransparency(TuiEditButtonTransparency Value);
  TuiEditPopupBorderStyle PopupBorderStyle() const;
  void SetPopupBorderStyle(TuiEditPopupBorderStyle Value);
  bool GradientButtons() const;
  void SetGradientButtons(bool Value);
  bool PopupCloseButton() const;
  void SetPopupCloseButton(bool Value);
  TuiEditBorderStyle EditBorderStyle() const { return static_cast<TuiEditBorderStyle>(BorderStyle()); }
  TuiEditStyleController* EditStyleController() const;
  void SetEditStyleController(TuiEditStyleController* Value);
  // The editor the style belongs to, or nil.
  TuiCustomEdit* GetEdit() const;

  // The container's assigned values alone: the edit values are written as their own properties.
  TuiContainerStyleValues ContainerAssignedValues() const;
  void SetContainerAssignedValues(TuiContainerStyleValues Value);

  bool IsButtonStyleStored() const { return IsEditValueStored(svButtonStyle, "ButtonStyle"); }
  bool IsButtonTransparencyStored() const { return IsEditValueStored(svButtonTransparency, "ButtonTransparency"); }
  bool IsPopupBorderStyleStored() const { return IsEditValueStored(svPopupBorderStyle, "PopupBorderStyle"); }
  bool IsEditBorderStyleStored() const { return IsEditValueStored(csvBorderStyle, "BorderStyle"); }

  virtual TuiEditButtonStyle GetDefaultButtonStyle() const;
  virtual TuiEditButtonTransparency GetDefaultButtonTransparency() const;
  virtual bool GetDefaultGradientButtons() const;
  virtual TuiEditPopupBorderStyle GetDefaultPopupBorderStyle() const;

  Integer GetValueCount() const override { return 14; }
  bool GetValueName(Integer AValue, String& AName) const override;
  bool IsValueAssigned(Integer AValue) const override;
  TuiContainerStyleValues GetNonStoredStateValues() const override;
  TuiStyleController* GetDefaultStyleController() const override;

 private:
  // The style that holds the value: this one, or the same state's style along the controller chain.
  const TuiCustomEditStyle* FindEditValue(Integer AValue) const;
  bool IsEditValueStored(Integer AValue, const char* AName) const;
  TuiCustomEditStyle* NormalEditStyle() const { return static_cast<TuiCustomEditStyle*>(GetMasterStyle()); }

  TuiEditButtonStyle buttonStyle_ = btsDefault;
  TuiEditButtonTransparency buttonTransparency_ = ebtNone;
  bool gradientButtons_ = false;
  TuiEditPopupBorderStyle popupBorderStyle_ = epbsDefault;
  bool popupCloseButton_ = true;
};

class TuiEditStyle : public TuiCustomEditStyle {
  K58_CLASS(TuiEditStyle, TuiCustomEditStyle)
  using TuiCustomEditStyle::TuiCustomEditStyle;
};

class TuiEditStyleController : public TuiStyleController {
  K58_CLASS(TuiEditStyleController, TuiStyleController)

  explicit TuiEditStyleController(TComponent* AOwner);

  TuiEditStyle* Style() const { return static_cast<TuiEditStyle*>(TuiStyleController::Style()); }
  void SetStyle(TuiEditStyle* Value) { TuiStyleController::SetStyle(Value); }
  TuiEditStyle* StyleDisabled() const { return static_cast<TuiEditStyle*>(TuiStyleController::StyleDisabled()); }
  void SetStyleDisabled(TuiEditStyle* Value) { TuiStyleController::SetStyleDisabled(Value); }
  TuiEditStyle* StyleFocused() const { return static_cast<TuiEditStyle*>(TuiStyleController::StyleFocused()); }
  void SetStyleFocused(TuiEditStyle* Value) { TuiStyleController::SetStyleFocused(Value); }
  TuiEditStyle* StyleHot() const { return static_cast<TuiEditStyle*>(TuiStyleController::StyleHot()); }
  void SetStyleHot(TuiEditStyle* Value) { TuiStyleController::SetStyleHot(Value); }

  TuiContainerStyleClass GetStyleClass() const override { return StyleClassOf<TuiEditStyle>(); }
};

// ---- Repository ---------------------------------------------------------------------------------------

// Told by a repository item about its changes and its end.
class IuiEditRepositoryItemListener {
 public:
  virtual void ItemRemoved(TuiEditRepositoryItem* Sender) = 0;
  virtual void ItemPropertiesChanged(TuiEditRepositoryItem* Sender) = 0;

 protected:
  ~IuiEditRepositoryItemListener() = default;
};

class TuiEditRepositoryItem : public TComponent {
  K58_CLASS(TuiEditRepositoryItem, TComponent)

  explicit TuiEditRepositoryItem(TComponent* AOwner);
  ~TuiEditRepositoryItem() override;
  void BeforeDestruction() override;

  TuiCustomEditProperties* Properties() const { return properties_; }
  // Copies Value into the item's own properties object.
  void SetProperties(TuiCustomEditProperties* Value) { properties_->Assign(Value); }
  TuiEditRepository* Repository() const { return repository_; }
  void SetRepository(TuiEditRepository* ARepository);
  const TNotifyEvent& PropertiesEvents() const { return propertiesEvents_; }
  void SetPropertiesEvents(const TNotifyEvent& Value) { propertiesEvents_ = Value; }
  Integer ListenerCount() const { return static_cast<Integer>(listeners_.size()); }

  virtual void PropertiesChanged(TObject* Sender);
  virtual void AddListener(IuiEditRepositoryItemListener* AListener);
  virtual TClass GetPropertiesClass() const;
  virtual void RemoveListener(IuiEditRepositoryItemListener* AListener);

  bool HasParent() const override { return repository_ != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;

 protected:
  // The item's properties object, of GetPropertiesClass; descendants call it from their constructor when
  // they name another class.
  void RecreateProperties();

 private:
  std::vector<IuiEditRepositoryItemListener*> listeners_;
  TuiCustomEditProperties* properties_ = nullptr;
  TNotifyEvent propertiesEvents_;
  TuiEditRepository* repository_ = nullptr;
};

class TuiEditRepository : public TComponent {
  K58_CLASS(TuiEditRepository, TComponent)

  explicit TuiEditRepository(TComponent* AOwner);
  ~TuiEditRepository() override;

  // A new item of AItemClass owned by the repository.
  TuiEditRepositoryItem* CreateItem(TClass AItemClass) { return CreateItemEx(AItemClass, this); }
  virtual TuiEditRepositoryItem* CreateItemEx(TClass AItemClass, TComponent* AOwner);
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TuiEditRepositoryItem* Items(Integer Index) const;
  void AddItem(TuiEditRepositoryItem* AItem);
  void RemoveItem(TuiEditRepositoryItem* AItem);

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 private:
  std::vector<TuiEditRepositoryItem*> items_;
};

// ---- Change-event catcher, data binding, edit data ------------------------------------------------------

class TuiEditChangeEventsCatcher : public TObject {
  K58_CLASS(TuiEditChangeEventsCatcher, TObject)

  explicit TuiEditChangeEventsCatcher(TuiCustomEdit* AEdit) : edit_(AEdit) {}

  bool IsLocked() const { return lockCount_ > 0; }
  void Lock(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool OnChangeEvent = false;
  bool OnEditValueChangedEvent = false;

 private:
  TuiCustomEdit* edit_;
  Integer lockCount_ = 0;
};

class TuiEditDataBinding : public TPersistent {
  K58_CLASS(TuiEditDataBinding, TPersistent)

  explicit TuiEditDataBinding(TuiCustomEdit* AEdit = nullptr);
  ~TuiEditDataBinding() override;
  TPersistent* GetOwner() override;

  virtual bool CanModify() { return true; }
  virtual void DefaultValuesChanged();
  virtual void GetDisplayValue(Variant& AValue);
  virtual bool IsModified();
  virtual void GetStoredValue(Variant& AValue);
  virtual void Reset();
  virtual void SetDisplayValue(const Variant& AValue);
  virtual bool SetEditMode() { return true; }
  virtual void SetStoredValue(const Variant&) {}
  virtual bool IsInDesignMode();
  virtual bool ExecuteAction(TObject*) { return false; }
  virtual bool UpdateAction(TObject*) { return false; }
  virtual void UpdateDisplayValue();
  virtual void Refresh() {}

  TuiCustomEdit* Edit() const { return edit_; }
  void SetEdit(TuiCustomEdit* AEdit) { edit_ = AEdit; }
  // Made on first use by CreateDefaultValuesProvider.
  IuiEditDefaultValuesProvider* DefaultValuesProvider() {
    EnsureProvider();
    return provider_.get();
  }

 protected:
  virtual TuiCustomEditDefaultValuesProvider* CreateDefaultValuesProvider() {
    return new TuiCustomEditDefaultValuesProvider;
  }
  void EnsureProvider();

 private:
  TObjectPtr<TuiCustomEditDefaultValuesProvider> provider_;
  TuiCustomEdit* edit_;
};

class TuiCustomEditData : public TObject {
  K58_CLASS(TuiCustomEditData, TObject)

  explicit TuiCustomEditData(TuiCustomEdit* AEdit);
  ~TuiCustomEditData() override;

  void Clear();
  bool Cleared = false;
  TuiCustomEdit* Edit() const { return edit_; }

 private:
  TuiCustomEdit* edit_;
  TObjectPtr<TuiFreeNotificator> notificator_;
};

// ---- View info ----------------------------------------------------------------------------------------

class TuiCustomEditViewInfo : public TuiContainerViewInfo {
  K58_CLASS(TuiCustomEditViewInfo, TuiContainerViewInfo)

  TuiCustomEditViewInfo() = default;
  ~TuiCustomEditViewInfo() override;

  TuiContainerBorderStyle GetBorderStyle() const override { return static_cast<TuiContainerBorderStyle>(EditBorderStyle); }
  void Paint(TuiCanvas* ACanvas) override;
  bool Assign(TuiContainerViewInfo* AViewInfo) override;
  TuiRegion* CreateRegionToRepaint(TuiContainerViewInfo* AOldViewInfo) override;
  void OffsetRects(Integer DX, Integer DY) override;

  virtual TuiEditButtonViewInfo* CreateButtonViewInfo() { return new TuiEditButtonViewInfo; }
  virtual bool IsRepaintOnStateChange() { return true; }
  virtual void DrawButton(TuiCanvas* ACanvas, Integer AIndex);
  virtual void DrawButtonBorder(TuiCanvas* ACanvas, Integer AIndex, TuiEditButtonStyle AButtonStyle, TRect R);
  virtual void DrawButtonContent(TuiCanvas* ACanvas, Integer AIndex, const TRect& ABackgroundRect,
                                 const TRect& AContentRect, TColor ATextColor, TColor AFillColor);
  virtual bool HasHotButton() const;
  virtual bool IsHotTrackPoint(const TPoint& P) const;
  virtual bool NeedShowHint(TuiCanvas* ACanvas, const TPoint& P, String& AText);
  virtual bool NeedShowHintForRect(TRect& ARect);
  virtual void PrepareCanvasFont(TCanvas*) {}
  virtual bool Repaint(TWinControl* AControl, TuiContainerViewInfo* AOldViewInfo);
  virtual bool RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect, TuiContainerViewInfo* AOldViewInfo);

  void SetButtonCount(Integer ACount);
  Integer ButtonCount() const { return static_cast<Integer>(Buttons.size()); }
  void DrawButtonBackground(TuiCanvas* ACanvas, Integer AIndex, TColor AColor, const TRect& ARect);
  bool CustomDrawInplaceBackground(TuiCanvas* ACanvas);
  bool IsBackgroundEventAssigned() const { return OnCustomDrawBackground.Assigned(); }
  // The state painters take for a button (the view data's states map onto them).
  static TuiButtonState ButtonStateToPainterState(Byte AState);

  TuiEditCustomDrawEvent OnCustomDrawBackground;
  TuiEditCustomDrawButtonEvent OnCustomDrawButton;
  TuiEditDrawButtonBackgroundEvent OnDrawButtonBackground;
  TuiEditButtonStateEvent OnButtonState;
  TuiEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<TuiEditButtonViewInfo*> Buttons;
  TuiCustomEditProperties* EditProperties = nullptr;
  bool Enabled = true;
  bool Focused = false;
  TFont* Font = nullptr;
  bool HasBackground = false;
  bool HasStoredExtent = false;
  bool HasInnerControl = false;
  bool HasTextButton = false;
  TRect InnerEditRect{};
  bool MouseOnButton = false;
  bool ImplementsInnerControl = false;
  bool IsBoundPaintCopy = false;
  bool IsDesigning = false;
  bool IsInplace = false;
  TPoint PaintOffset{0, 0};
  Byte Flags = 0;
  Integer PressedButton = -1;
  Integer HotButton = -1;
  TRect BorderRectCopy{};
  TColor TextColor = clWindowText;
  TuiEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  TuiLookAndFeelKind LookAndFeelKind = lfStandard;
};

// ---- View data ----------------------------------------------------------------------------------------

// The state a view data prepares and an in-place editor keeps between view datas.
struct TuiEditViewDataState {
  TRect StoredRect{};
  TRect ContentOffsets{};
  Byte Flag = 0;
  Integer ExtraContentWidth = 0;
  Integer ExtraContentHeight = 0;
};

class TuiCustomEditViewData : public TObject {
  K58_CLASS(TuiCustomEditViewData, TObject)

  TuiCustomEditViewData(TuiCustomEditProperties* AEditProperties, TuiEditStyle* AStyle, bool AIsInplace);
  // An object of AClass (a descendant) made for the properties.
  static TuiCustomEditViewData* CreateOfClass(TClass AClass, TuiCustomEditProperties* AEditProperties,
                                              TuiEditStyle* AStyle, bool AIsInplace);

  virtual void CalculateButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo);
  virtual bool CanPressButton(TuiCustomEditViewInfo*, Integer) { return true; }
  virtual TuiContainerState GetContainerState(const TRect& ABounds, const TPoint& P, TShiftState AShift);
  virtual void GetContentOffsets(TRect& R);
  virtual void ApplyProperties();
  virtual void PrepareEditState(TuiEditViewDataState& AState);
  virtual void InitDefaults();
  virtual void EditValueToDisplayText(const Variant&, String& AText) { AText.clear(); }
  virtual void GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TSize& AConstantPartSize,
                                        TSize& AMinContentSize);
  virtual void GetEditContentSize(TuiCanvas*, const Variant&, const TSize&, TSize& ASize) { ASize = TSize{0, 0}; }
  virtual bool IsButtonPressedByEditor(TuiCustomEditViewInfo*, Integer) { return false; }
  virtual void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                         TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  virtual void CalculateButtonBounds(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R, Integer AIndex);
  virtual void CalculateButtonsViewInfo(TuiCanvas* ACanvas, const TRect& ABounds, TuiCustomEditViewInfo* AViewInfo,
                                        Byte AButton, TShiftState AShift, const TPoint& P, bool AIsMouseEvent);
  virtual void CalculateButtonViewInfo(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R, Integer AIndex);
  virtual void EditValueToDrawValue(TuiCanvas*, const Variant&, TuiCustomEditViewInfo*) {}
  virtual TColor GetBorderColor();
  virtual void GetBorderExtent(TRect& R);
  virtual TuiEditBorderStyle GetBorderStyle();
  virtual void GetClientExtent(TuiCanvas* ACanvas, TRect& R);
  virtual void CalculateClientRect(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R);
  virtual void GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize& AEditSizeProperties, TSize& AMinContentSize,
                                       TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo = nullptr);
  virtual void GetEditValueSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties,
                                TSize& ASize);
  virtual void GetContentOffsetsExtent(TSize& ASize);
  virtual bool HasShadow();
  // The look and feel asks for native drawing and an edit theme is there.
  static bool IsNativeStyleUsed(TuiLookAndFeel* ALookAndFeel);

  void GetEditSize(TuiCanvas* ACanvas, const Variant& AEditValue, const TSize& AEditSizeProperties, TSize& ASize);
  void GetDisplayTextForValue(const Variant& AEditValue, String& AText);
  Integer GetCapturedButtonIndex() const;
  bool IsEditFocused() const;
  TuiEditStyle* GetStyle() const { return style_; }
  // The state of a button view info of the last calculation; ebsDisabledState for an unknown index.
  Byte GetButtonState(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) const;

  // ---- Inputs (set by the editor before Calculate) ----
  TuiCustomEdit* Edit = nullptr;
  HWND WindowHandle = 0;
  bool Enabled = true;
  bool Focused = false;
  bool IsDesigning = false;
  bool IsHot = false;
  TuiCustomEditProperties* Properties = nullptr;
  bool EmptyDrawValue = false;
  TRect StoredExtent{};
  TWinControl* HScrollBar = nullptr;
  TWinControl* VScrollBar = nullptr;
  TuiEditViewDataState State;
  TuiGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TuiGetDisplayTextEvent OnGetDisplayText;

  // ---- Results ----
  bool IsInplace;
  Integer LeftSideLeftmostButtonIndex = -1, LeftSideRightmostButtonIndex = -1;
  Integer RightSideLeftmostButtonIndex = -1, RightSideRightmostButtonIndex = -1;
  TRect Bounds{};
  bool ButtonsStretch = false;
  Integer ButtonVisibleCount = 0;
  TuiContainerState ContainerState = vsNormal;
  TAlignment HorzAlignment = taLeftJustify;
  TuiEditVertAlignment VertAlignment = taTopJustify;
  bool NoEditFormatting = false;
  bool NativeStyleUsed = false;
  bool Selected = false;
  TColor DescendantColor1 = clDefault;
  TColor DescendantColor2 = clDefault;

 protected:
  TuiEditStyle* style_;
};

// ---- Editor -------------------------------------------------------------------------------------------

// The contract of an inner edit window.
class IuiCustomInnerEdit : public IuiContainerInnerControl {
 public:
  virtual TWinControl* GetControl() = 0;
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& Value) = 0;
  virtual void SetParent(TWinControl* Value) = 0;
  virtual void SetOnChange(const TNotifyEvent& Value) = 0;
  virtual void SetReadOnly(bool Value) = 0;

 protected:
  ~IuiCustomInnerEdit() = default;
};

// The modified pair the editor saves and restores.
struct TuiEditModifiedState {
  bool ModifiedAfterEnter;
  bool Modified;
};

class TuiCustomEdit : public TuiContainer, public IuiEditRepositoryItemListener {
  K58_CLASS(TuiCustomEdit, TuiContainer)

  explicit TuiCustomEdit(TComponent* AOwner);
  // An editor whose styles are of AStyleClass (a descendant of the edit style).
  TuiCustomEdit(TComponent* AOwner, TuiContainerStyleClass AStyleClass);
  ~TuiCustomEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- Value life cycle ----
  TuiCustomEditProperties* ActiveProperties();
  TuiCustomEditProperties* Properties() const { return properties_; }
  void SetProperties(TuiCustomEditProperties* Value) { properties_->Assign(Value); }
  Variant EditValue() {
    Variant v;
    GetEditValue(v);
    return v;
  }
  const Variant& StoredEditValue() const { return editValue_; }
  bool ValidateEdit(bool ARaiseOnError);
  void PostEditValue(bool AValidateEdit = true);
  bool DoEditing();
  bool Modified() const { return modified_; }
  bool ModifiedAfterEnter() const { return modifiedAfterEnter_; }
  void SetModified(bool Value);
  void SetModifiedAfterEnter(bool Value);
  void SaveModified();
  void RestoreModified();
  void SetModifiedAndClick();
  void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool AreChangeEventsLocked() const { return catcher_->IsLocked(); }
  void LockClick(bool ALock);
  TuiCustomEdit* LockDataBindingEdit(bool ALock);
  bool CanPostEditValue();
  bool IsDataAvailable();
  bool IsDataBound();
  bool IsBoundPaintCopy();
  bool UpdateAtCursorPos(bool ARepaintChanges = true);
  void CalculateViewInfoAtCursorPos();
  void DoClosePopup(Byte AReason);
  static bool VarEqualsSameType(const Variant& V1, const Variant& V2);
  bool IsValidated() const { return validated_; }
  bool IsPosting() const { return posting_; }
  bool IsUserAction() const { return userAction_; }
  void SetUserAction(bool Value) { userAction_ = Value; }
  const Variant& PrevEditValue() const { return prevEditValue_; }
  Integer CapturedButton() const { return capturedButton_; }
  TuiEditDataBinding* DataBinding() const { return dataBinding_.get(); }
  TuiCustomEditData* EditData() const { return editData_; }
  void ApplyEditData(TuiCustomEditData* AEditData);
  IuiCustomInnerEdit* InnerEdit() const { return innerEdit_; }
  TuiEditChangeEventsCatcher* ChangeEventsCatcher() const { return catcher_.get(); }

  // The edit view info (the container's view info mirrors its container part).
  TuiCustomEditViewInfo* EditViewInfo() const { return editViewInfo_.get(); }
  TuiEditStyle* ActiveEditStyle() { return static_cast<TuiEditStyle*>(GetActiveStyle()); }
  TuiEditStyle* Style() const { return static_cast<TuiEditStyle*>(TuiContainer::Style()); }
  void SetStyle(TuiEditStyle* Value) { TuiContainer::SetStyle(Value); }
  TuiEditStyle* StyleDisabled() const { return static_cast<TuiEditStyle*>(TuiContainer::StyleDisabled()); }
  void SetStyleDisabled(TuiEditStyle* Value) { TuiContainer::SetStyleDisabled(Value); }
  TuiEditStyle* StyleFocused() const { return static_cast<TuiEditStyle*>(TuiContainer::StyleFocused()); }
  void SetStyleFocused(TuiEditStyle* Value) { TuiContainer::SetStyleFocused(Value); }
  TuiEditStyle* StyleHot() const { return static_cast<TuiEditStyle*>(TuiContainer::StyleHot()); }
  void SetStyleHot(TuiEditStyle* Value) { TuiContainer::SetStyleHot(Value); }

  // ---- Published properties ----
  bool AutoSize() const { return autoSize_; }
  TuiEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
  void SetRepositoryItem(TuiEditRepositoryItem* Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  const TNotifyEvent& PropertiesEvents() const { return propertiesEvents_; }
  void SetPropertiesEvents(const TNotifyEvent& Value) { propertiesEvents_ = Value; }
  const TuiEditEditingEvent& OnEditing() const { return onEditing_; }
  void SetOnEditing(const TuiEditEditingEvent& Value) { onEditing_ = Value; }
  const TuiEditKeyEvent& OnAfterKeyDown() const { return onAfterKeyDown_; }
  void SetOnAfterKeyDown(const TuiEditKeyEvent& Value) { onAfterKeyDown_ = Value; }
  const TNotifyEvent& OnPostEditValue() const { return onPostEditValue_; }
  void SetOnPostEditValue(const TNotifyEvent& Value) { onPostEditValue_ = Value; }
  Variant EditValueForStreaming() { return EditValue(); }
  void SetEditValueForStreaming(Variant Value) { SetEditValue(Value); }
  bool IsEditValueStored() const { return const_cast<TuiCustomEdit*>(this)->HasStoredEditValue(); }

  // ---- Listener of the repository item ----
  void ItemRemoved(TuiEditRepositoryItem* Sender) override;
  void ItemPropertiesChanged(TuiEditRepositoryItem* Sender) override;

  // ---- Input helpers ----
  Integer GetButtonIndexAt(const TPoint& P);
  Integer GetDefaultButtonIndex();
  bool CanHandleMouseWheel(TShiftState Shift);

  // ---- Virtual operations ----
  virtual void AdjustInnerEditPosition();
  virtual TuiCustomEdit* EndPosting();
  virtual TuiCustomEdit* BeginPosting();
  virtual bool IsAutoSizeActive() { return autoSize_ && !IsInplace(); }
  virtual bool AreButtonsAutoWidth() { return ActiveProperties()->ButtonsViewStyle() == 2; }
  virtual bool IsEditorKey(Word, TShiftState) { return false; }
  virtual bool IsTextInputChar(char) { return false; }
  virtual bool CanModify();
  virtual void ContentChanged(TObject* Sender);
  virtual IuiCustomInnerEdit* CreateInnerEdit();
  virtual TuiCustomEditViewData* CreateViewData();
  // A view info of the active properties' view-info class.
  virtual TuiCustomEditViewInfo* CreateEditViewInfo();
  virtual void ClickDefaultButton();
  virtual void DoButtonClick(Integer AButtonIndex);
  virtual void DoButtonDown(Integer) {}
  virtual void DoButtonUp(Integer) {}
  virtual void DoEditKeyDown(Word& Key, TShiftState Shift);
  virtual void DoEditKeyPress(char& Key) { CanProcessChar(Key); }
  virtual void DoEditKeyUp(Word&, TShiftState) {}
  virtual void BeforeTabNavigation(TShiftState) {}
  virtual void DoChange();
  virtual void DoEditValueChanged();
  virtual void InitEditSizeProperties(TSize& ASizeProperties) { ASizeProperties = TSize{Width(), 1}; }
  virtual TuiEditDataBinding* CreateDataBinding() { return new TuiEditDataBinding(this); }
  virtual void GetDisplayText(String& AText) { AText.clear(); }
  virtual TuiCustomEditData* CreateEditData() { return nullptr; }
  virtual void GetEditValue(Variant& AValue) { AValue = editValue_; }
  virtual bool HasInnerEditClass() { return false; }
  virtual void HandleValidationError(const String& AErrorText);
  virtual void Initialize();
  virtual void ClearEditData() {}
  virtual void InitializeInnerEdit();
  virtual void InitializeViewData(TuiCustomEditViewData* AViewData);
  virtual bool CanEditValue() { return true; }
  virtual void SetInternalDisplayValue(const Variant&) {}
  virtual void StoreEditValue(const Variant& AValue, bool AValidateEditValue);
  virtual void InternalSetDisplayValue(const Variant& AValue);
  virtual bool IsActiveControl();
  virtual bool UsesDataBinding() { return false; }
  virtual bool IsClickKey(Word Key, TShiftState Shift);
  virtual bool HasStoredEditValue() { return !VarIsNull(EditValue()); }
  virtual bool NeedsParentBackground() { return false; }
  virtual bool UsesTransparency() { return transparent_ && !IsInplace(); }
  virtual bool IsValidChar(char AChar);
  virtual void PaintCopyDraw();
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused);
  virtual void ViewInfoChanged(TuiCustomEditViewInfo* AOldViewInfo);
  virtual void PropertiesChanged(TObject* Sender);
  virtual bool IsEditReadOnly();
  virtual void RepositoryItemChanged() {}
  virtual void DataChanged() {}
  virtual void Revert();
  virtual bool IsKeyForEditor(char) { return true; }
  virtual bool CanAcceptText(const String&) { return false; }
  virtual void SetAutoSize(bool Value);
  virtual void SetEditValue(const Variant& Value);
  virtual void InternalSetEditValue(const Variant& Value, bool AValidateEditValue = true);
  virtual void AssignDisplayValue(const Variant&) {}
  virtual void SynchronizeDisplayValue() {}
  virtual void SynchronizeEditValue() {}
  virtual bool SynchronizesOnFocusChange() { return true; }
  virtual void UpdateDrawValue() {}
  virtual bool CanProcessKey(Word& Key, TShiftState Shift);
  virtual bool CanProcessChar(char& Key);
  virtual bool KeepsCursorKeys() { return false; }
  virtual void InnerEditWindowProc(TMessage& Message);
  virtual void SubclassInnerEdit();
  virtual void UnsubclassInnerEdit();
  virtual void Activate(TuiCustomEditData*& AEditData);
  virtual void ActivateByKey(char AKey, TuiCustomEditData*& AEditData);
  virtual void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TuiCustomEditData*& AEditData);
  virtual void ClearValue() { SetEditValue(Variant()); }
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual bool Deactivate();
  virtual TClass GetPropertiesClass() const;
  virtual bool IsEditFocused() { return IsFocused(); }
  virtual bool IsChildWindow(HWND AWnd);
  virtual bool ShowsInnerEdit() { return false; }
  virtual bool IsRepositoryItemAcceptable(TuiEditRepositoryItem* AItem);
  virtual void PasteFromClipboard() {}
  virtual void DisplayValueToEditValue(const Variant&, Variant&, bool) {}
  virtual void SelectAll() {}

  // ---- Container overrides ----
  void GetBorderExtent(TRect& R) override;
  // The border rectangle with its frame: the buttons are inside the shape.
  void GetShapeRect(TRect& R) override;
  TuiContainerStyleClass GetStyleClass() const override;
  TuiContainerStyleValues GetUnusedStyleValues() override;
  bool IsInplace() override { return inplace_; }
  bool RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) override;
  void CalculateViewInfo(const TPoint& P, bool AHotTrack) override;
  void AdjustInnerControlBounds() override;
  bool HandlesTabKey() override { return true; }
  bool IsNativeStyle() override;
  bool IsTransparent() override { return NeedsParentBackground() || UsesTransparency(); }
  void FocusInnerControl() override;
  void GetClientBounds(TRect& R) override { R = editViewInfo_->ClientRect; }
  void Click() override;
  void DblClick() override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void DefineProperties(TFiler* Filer) override;
  void SetParent(TWinControl* AParent) override;
  void SetName(const String& NewName) override;
  // Applies auto size to a width and height.
  void CalculateAutoSize(Integer& AWidth, Integer& AHeight);

  // Forms a shortcut or mouse-state value as the input paths do.
  static TShiftState MouseButtonToShiftState(TMouseButton AButton);
  static TShiftState MouseButtonCodeToShiftState(Byte ACode);
  static WPARAM ShiftStateToMouseKeys(TShiftState AShift);

 protected:
  // Descendants with their own properties class pass it here (the constructor makes the own properties
  // from GetPropertiesClass after construction, when the class is final).
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void DoExitProcessing(bool ACallInherited);
  void FocusStateChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoAfterKeyDown(Word& Key, TShiftState Shift) {
    if (onAfterKeyDown_.Assigned()) onAfterKeyDown_(this, Key, Shift);
  }
  // Removes the character a WM_KEYDOWN being handled would produce, from the focused window's queue.
  void RemoveCharMessage();
  void NotifyChange();
  void NotifyEditValueChanged();
  // Fires a change event; an in-place editor counts as modified while its handlers run.
  void FireChangeEvent(void (TuiCustomEdit::*AEvent)());
  bool IsLoadingOrDestroying() const {
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || destroying_;
  }
  bool HasOnChange();
  bool HasOnEditValueChanged();
  void ForceHandle();
  // The inner edit's control, or nil.
  TWinControl* InnerControlOfEdit() const { return innerEdit_ != nullptr ? innerEdit_->GetControl() : nullptr; }
  void SetInnerEdit(IuiCustomInnerEdit* AInnerEdit) { innerEdit_ = AInnerEdit; }
  void SetInplace(bool Value) { inplace_ = Value; }
  // Copies the container part of the edit view info into the container's own view info.
  void MirrorViewInfo();
  void WMCut(TMessage& Message);
  void WMCopy(TMessage& Message);
  void WMPaste(TMessage& Message);
  void CMDialogChar(TMessage& Message);

 private:
  friend class TuiEditChangeEventsCatcher;
  friend class TuiCustomEditData;
  void ReadHeight(TReader* Reader);
  void WriteHeight(TWriter* Writer);
  void ReadWidth(TReader* Reader);
  void WriteWidth(TWriter* Writer);
  void DblClickTimerHandler(TObject* Sender);

  bool autoSize_ = true;
  Integer capturedButton_ = -1;
  std::unique_ptr<TuiEditChangeEventsCatcher> catcher_;
  Integer clickLockCount_ = 0;
  TObjectPtr<TuiTimer> dblClickTimer_;
  TuiCustomEditData* editData_ = nullptr;
  bool editingEvent_ = false;
  Integer dataBindingEditLock_ = 0;
  bool focusedState_ = false;
  bool forcingHandle_ = false;
  IuiCustomInnerEdit* innerEdit_ = nullptr;
  TWndMethod savedInnerWndProc_;
  bool innerSubclassed_ = false;
  bool viewDataStateValid_ = false;
  TuiEditViewDataState viewDataState_;
  bool validated_ = false;
  bool escConsumed_ = false;
  bool initialParentPending_ = false;
  bool inplace_ = false;
  bool posting_ = false;
  bool userAction_ = false;
  bool modifiedAfterEnter_ = false;
  bool modified_ = false;
  Variant prevEditValue_;
  std::vector<TuiEditModifiedState> modifiedStack_;
  TNotifyEvent propertiesEvents_;
  bool refreshing_ = false;
  TuiEditRepositoryItem* repositoryItem_ = nullptr;
  bool transparent_ = false;
  TuiEditEditingEvent onEditing_;
  TuiEditKeyEvent onAfterKeyDown_;
  TNotifyEvent onPostEditValue_;
  TObjectPtr<TuiEditDataBinding> dataBinding_;
  Variant editValue_;
  TuiCustomEditProperties* properties_ = nullptr;
  bool updatingRegion_ = false;
  bool destroying_ = false;
  // Set while the editor takes the focus back after a failed validation: no enter or exit processing.
  bool internalFocusing_ = false;
  TObjectPtr<TuiCustomEditViewInfo> editViewInfo_;
  TuiContainerStyleClass styleClass_;
};

// ---- Drawing routines of the editor classes ---------------------------------------------------------------

void DrawEditBorderAndBackground(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, bool AFillContent,
                                 Integer AContentKind);
void DrawEditButtons(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, bool AFillContent = true,
                     Integer AContentKind = 0);
void DrawEditButtonContent(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex);
void DrawEditButtonBorder(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex,
                          TuiEditButtonStyle AStyle, TRect R);
void DrawEditButtonByKind(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex,
                          const TRect& ABackgroundRect, const TRect& AContentRect, TColor ATextColor,
                          TColor AFillColor);
Integer CalculateEditButtonWidth(TuiCanvas* ACanvas, TuiEditButtonViewInfo* AButtonViewInfo);
void CalculateEditButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo);
Integer GetEditButtonBorderHeight(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo);
bool EditViewDataHasShadow(TuiCustomEditViewData* AViewData);
Integer GetInplaceButtonHeightCorrection(TuiCustomEditProperties* AEditProperties, bool AIsInplace);

// ---- Process-wide objects -------------------------------------------------------------------------------

TuiRegisteredClasses* GetEditPropertiesRegistry();
TuiEditRepository* GetDefaultEditRepository();
TuiEditStyleController* GetDefaultEditStyleController();
// The editor style of an editor's current state (its container's active style).
TuiEditStyle* GetActiveEditStyle(TuiCustomEdit* AEdit);
// Sends WM_KEYDOWN / WM_CHAR to an editor's window.
void SendKeyDownToEdit(TuiCustomEdit* AEdit, Word AKey);
void SendCharToEdit(TuiCustomEdit* AEdit, char AKey);
bool IsSpaceChar(char AChar);

namespace k58::editors {
// Sets a flag for a scope and puts its old value back, also when an error leaves the scope.
class TScopedFlag {
 public:
  TScopedFlag(bool& AFlag, bool AValue) : flag_(AFlag), saved_(AFlag) { flag_ = AValue; }
  ~TScopedFlag() { flag_ = saved_; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// The properties objects alive now.
const std::vector<TuiCustomEditProperties*>& LivePropertiesList();
// Unit start: the mouse-wheel cursor, the default style controller, the live-properties list, the filter
// captions' text hook. Unit end undoes it in the opposite sense.
void StartEditUnit();
void StopEditUnit();
// Starts the foundation's units and then the editor framework's; the matching stop.
void StartUnits();
void StopUnits();
}  // namespace k58::editors
