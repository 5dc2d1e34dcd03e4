// The tab collection: tabs, their visible list, index errors and change notifications.
#include "controls/extra/uiPCTabs.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Format.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiTab) {
  b.Prop("Caption", &TuiTab::Caption, &TuiTab::SetCaption);
  b.Prop("Enabled", &TuiTab::Enabled, &TuiTab::SetEnabled).Default(true);
  b.Prop("Highlighted", &TuiTab::Highlighted, &TuiTab::SetHighlighted);
  b.Prop("ImageIndex", &TuiTab::ImageIndex, &TuiTab::SetImageIndex)
      .Type("TImageIndex")
      .Stored(&TuiTab::IsImageIndexStored);
  b.Prop("Selected", &TuiTab::Selected, &TuiTab::SetSelected);
  b.Prop("Visible", &TuiTab::Visible, &TuiTab::SetVisible).Default(true);
}
K58_IMPLEMENT_CLASS(TuiVisibleTabList) {}
K58_IMPLEMENT_CLASS(TuiTabs) {}

namespace k58::extra {

// The tab family's programming errors: "<class>.<method>: <message>".
[[noreturn]] void RaiseTabError(const char* ClassName, const char* Method, const String& Message) {
  throw Exception(String(ClassName) + "." + Method + ": " + Message);
}

String TabVisibleIndexMessage(Integer Index, Integer Count) {
  return Format("TabVisibleIndex (%d) must be between 0 and %d", {Index, Count - 1});
}

}  // namespace k58::extra

using k58::extra::RaiseTabError;

// TuiTab

TuiTab::TuiTab(TuiTabs* ATabs, Integer AIndex) : imageIndex_(AIndex), index_(AIndex), owner_(ATabs) {}

TuiTab::~TuiTab() {
  if (owner_ == nullptr) return;
  const Integer visibleIndex = GetVisibleIndex();
  if (visibleIndex != -1 && owner_->FocusedTab() == visibleIndex) owner_->focused_ = -1;
  owner_->TabDestroying(index_);
}

namespace {

std::unique_ptr<TBitmap> NewTabSurface() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetHandleType(bmDIB);
  return bitmap;
}

}  // namespace

TBitmap* TuiTab::PrepareBitmap() {
  if (!bitmap_) bitmap_ = NewTabSurface();
  return bitmap_.get();
}

TBitmap* TuiTab::CreateCaptionBitmap() {
  captionBitmap_ = NewTabSurface();
  return captionBitmap_.get();
}

void TuiTab::AssignTo(TPersistent* Dest) {
  auto* tab = dynamic_cast<TuiTab*>(Dest);
  if (tab == nullptr) {
    inherited::AssignTo(Dest);
    return;
  }
  tab->caption_ = caption_;
  tab->enabled_ = enabled_;
  tab->highlighted_ = highlighted_;
  tab->SetImageIndex(imageIndex_);
  tab->SetObject(object_);
  tab->SetVisible(visible_);
  tab->SetSelected(selected_);
}

void TuiTab::Changed(Integer AKind) { owner_->TabChanged(GetVisibleIndex(), AKind); }

void TuiTab::SetCaption(const String& Value) {
  if (caption_ == Value) return;
  TuiTabControlHost* host = owner_->Host();
  if (!host->TabsHandleAllocated() || !visible_) {
    caption_ = Value;
    return;
  }
  caption_ = Value;
  const Integer oldWidth = NormalWidth;
  NormalWidth = host->MeasureTabWidth(this);
  bool sizeChanged = NormalWidth != oldWidth;
  if (host->Rotate() && host->RecalculateRowThickness()) sizeChanged = true;
  if (sizeChanged)
    Changed(tcLayout);
  else if (IsVisibleOnScreen())
    Changed(tcCaption);
}

void TuiTab::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  const bool wasOnScreen = IsVisibleOnScreen();
  enabled_ = Value;
  if (wasOnScreen || IsVisibleOnScreen()) Changed(tcEnabled);
}

void TuiTab::SetHighlighted(bool Value) {
  if (highlighted_ == Value) return;
  const bool wasOnScreen = IsVisibleOnScreen();
  highlighted_ = Value;
  if (wasOnScreen || IsVisibleOnScreen()) Changed(tcHighlighted);
}

Integer TuiTab::ImageIndex() const { return owner_->Host()->GetImageIndex(index_); }

void TuiTab::SetImageIndex(Integer Value) {
  if (Value < 0) Value = -1;
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (IsVisibleOnScreen()) Changed(tcLayout);
}

void TuiTab::SetSelected(bool Value) {
  if (selected_ == Value) return;
  TuiTabControlHost* host = owner_->Host();
  if (host->TabsLoading()) {
    selected_ = Value;
    return;
  }
  if (host->AllowMultiSelection()) {
    if (Value) {
      for (Integer i = 0; i < owner_->Count(); ++i) {
        if (i != index_ && owner_->GetTab(i)->selected_) {
          host->EnterMultiSelection();
          break;
        }
      }
    }
  } else if (Value && host->TabIndex() != index_) {
    return;
  }
  const bool wasOnScreen = IsVisibleOnScreen();
  selected_ = Value;
  if (wasOnScreen || IsVisibleOnScreen()) Changed(tcSelected);
}

void TuiTab::SetVisible(bool Value) {
  if (visible_ == Value) return;
  TuiTabControlHost* host = owner_->Host();
  if (Value) {
    owner_->VisibleTabs().Add(index_);
    visible_ = true;
    Changed(tcLayout);
    return;
  }
  const bool wasCurrent = host->KeepsActiveTabVisible() && host->TabIndex() == index_;
  const bool wasOnScreen = IsVisibleOnScreen();
  owner_->VisibleTabs().Remove(index_);
  visible_ = false;
  if (wasOnScreen || host->MultiLine())
    owner_->TabChanged(-1, tcLayout);
  else if (!host->TabsLoading() && !host->TabsDestroying())
    host->LayoutChanged();
  if (wasCurrent) {
    // The tab now standing at the active visible position becomes current; with none left, none is.
    TuiVisibleTabList& list = owner_->VisibleTabs();
    if (list.Count() == 0) {
      host->SetTabIndex(-1);
    } else {
      Integer position = 0;
      list.Find(index_, position);
      host->SetTabIndex(list.TabIndexAt(std::min(position, list.Count() - 1)));
    }
  }
}

void TuiTab::GetNormalRect(TRect& R) const {
  const TuiTabControlHost* host = owner_->Host();
  // Along its row a tab is NormalWidth long, or TabNormalHeight with turned captions; across the rows it
  // is TabNormalHeight thick, or the row thickness with turned captions.
  const bool rotate = host->Rotate();
  const Integer along = rotate ? owner_->TabNormalHeight : NormalWidth;
  const Integer across = rotate ? host->RowThickness() : owner_->TabNormalHeight;
  const Integer width = host->RowsVertical() ? across : along;
  const Integer height = host->RowsVertical() ? along : across;
  R = TRect{Left, Top, Left + width, Top + height};
}

void TuiTab::GetFullRect(TRect& R) {
  GetNormalRect(R);
  Correction = owner_->Host()->TabCorrection(this);
  R.left += Correction.left;
  R.top += Correction.top;
  R.right += Correction.right;
  R.bottom += Correction.bottom;
}

void TuiTab::GetVisibleRect(TRect& R) {
  R = TRect{};
  if (!visible_) return;
  const TuiTabControlHost* host = owner_->Host();
  const Integer visibleIndex = GetVisibleIndex();
  if (visibleIndex == -1) return;
  if (!host->MultiLine() &&
      (visibleIndex < host->FirstVisibleTab() || visibleIndex > host->LastVisibleTab()))
    return;
  TRect full;
  GetFullRect(full);
  const TRect area = host->RowsArea(GetSide());
  if (!IntersectRect(&R, &full, &area)) R = TRect{};
}

Integer TuiTab::GetWidthInRow() const {
  return owner_->Host()->Rotate() ? owner_->TabNormalHeight : NormalWidth;
}

bool TuiTab::IsVisibleOnScreen() {
  TRect r;
  GetVisibleRect(r);
  return r.right > r.left && r.bottom > r.top;
}

Integer TuiTab::GetVisibleIndex() const { return owner_->VisibleTabs().IndexOf(index_); }

TuiTabSide TuiTab::GetSide() const {
  const TuiTabControlHost* host = owner_->Host();
  const bool firstSide = DisplayRow < host->SplitRow();
  switch (host->TabPosition()) {
    case tpTop:
    case tpBottom: return firstSide ? tsTop : tsBottom;
    default: return firstSide ? tsLeft : tsRight;
  }
}

Integer TuiTab::GetOrientationCode(Integer TextMode) const {
  static constexpr Integer kCodes[4][3] = {{1, 2, 3}, {10, 11, 12}, {6, 4, 5}, {9, 7, 8}};
  return kCodes[GetSide()][std::clamp(TextMode, 0, 2)];
}

bool TuiTab::IsActive() const { return owner_->Host()->TabIndex() == index_; }
bool TuiTab::IsHotTracked() const { return owner_->HotTrackTab() != -1 && owner_->HotTrackTab() == GetVisibleIndex(); }
bool TuiTab::IsPressed() const { return owner_->PressedTab() != -1 && owner_->PressedTab() == GetVisibleIndex(); }
bool TuiTab::IsFocused() const { return owner_->FocusedTab() != -1 && owner_->FocusedTab() == GetVisibleIndex(); }
bool TuiTab::IsEnabledForUser() const { return owner_->Host()->TabsEnabled() && enabled_; }

void TuiTab::ImagesChanged() {
  if (imageIndex_ != -1 && IsVisibleOnScreen()) Changed(tcCaption);
}

// TuiVisibleTabList

TuiTab* TuiVisibleTabList::GetTab(Integer VisibleIndex) const {
  if (items_.empty()) RaiseTabError("TuiVisibleTabList", "GetTab", "There are no visible tabs");
  if (VisibleIndex < 0 || VisibleIndex >= Count())
    RaiseTabError("TuiVisibleTabList", "GetTab", k58::extra::TabVisibleIndexMessage(VisibleIndex, Count()));
  return tabs_->GetTab(TabIndexAt(VisibleIndex));
}

Integer TuiVisibleTabList::IndexOf(Integer TabIndex) const {
  Integer position;
  return Find(TabIndex, position) ? position : -1;
}

bool TuiVisibleTabList::Find(Integer TabIndex, Integer& Position) const {
  const auto it = std::lower_bound(items_.begin(), items_.end(), TabIndex);
  Position = static_cast<Integer>(it - items_.begin());
  return it != items_.end() && *it == TabIndex;
}

void TuiVisibleTabList::Add(Integer TabIndex) {
  Integer position;
  if (!Find(TabIndex, position)) items_.insert(items_.begin() + position, TabIndex);
}

void TuiVisibleTabList::Remove(Integer TabIndex) {
  Integer position;
  if (Find(TabIndex, position)) items_.erase(items_.begin() + position);
}

void TuiVisibleTabList::Rebuild() {
  items_.clear();
  for (Integer i = 0; i < tabs_->Count(); ++i)
    if (tabs_->GetTab(i)->Visible()) items_.push_back(i);
}

// TuiTabs

TuiTabs::TuiTabs(TuiTabControlHost* AHost) : host_(AHost), visible_(this) {}

TuiTabs::~TuiTabs() {
  // The tabs go without telling anyone: the control is going too.
  for (auto it = tabs_.rbegin(); it != tabs_.rend(); ++it) {
    (*it)->owner_ = nullptr;
    delete *it;
  }
}

void TuiTabs::IndexError(const char* Method, Integer Index) const {
  RaiseTabError("TuiTabs", Method, Format("Tab's index (%d) out of bounds", {Index}));
}

void TuiTabs::CheckIndex(const char* Method, Integer Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Method, Index);
}

String TuiTabs::Get(Integer Index) const {
  CheckIndex("Get", Index);
  return tabs_[static_cast<size_t>(Index)]->Caption();
}

void TuiTabs::Put(Integer Index, const String& S) { GetTab(Index)->SetCaption(S); }

TObject* TuiTabs::GetObject(Integer Index) const { return GetTab(Index)->Object(); }

void TuiTabs::PutObject(Integer Index, TObject* AObject) { GetTab(Index)->SetObject(AObject); }

TuiTab* TuiTabs::GetTab(Integer Index) const {
  CheckIndex("GetTab", Index);
  return tabs_[static_cast<size_t>(Index)];
}

TuiTab* TuiTabs::GetVisibleTab(Integer VisibleIndex) const {
  if (VisibleIndex < 0 || VisibleIndex >= visible_.Count())
    RaiseTabError("TuiTabs", "GetVisibleTab", k58::extra::TabVisibleIndexMessage(VisibleIndex, visible_.Count()));
  return tabs_[static_cast<size_t>(visible_.TabIndexAt(VisibleIndex))];
}

void TuiTabs::RenumberTabs(Integer First, Integer Last) {
  for (Integer i = std::max(First, 0); i <= std::min(Last, Count() - 1); ++i)
    tabs_[static_cast<size_t>(i)]->index_ = i;
}

void TuiTabs::Insert(Integer Index, const String& S) {
  if (Index < 0 || Index > Count()) IndexError("Insert", Index);
  auto* tab = new TuiTab(this, Index);
  tabs_.insert(tabs_.begin() + Index, tab);
  RenumberTabs(Index + 1, Count() - 1);
  tab->SetCaptionSilently(S);
  // The list is rebuilt first: making the tab current lays the tabs out.
  visible_.Rebuild();
  if (!host_->TabsLoading() && host_->TabIndex() == -1 && Count() == 1) host_->SetTabIndex(0);
  TabChanged(-1, tcLayout);
}

void TuiTabs::Delete(Integer Index) {
  if (updating_) return;
  updating_ = true;
  try {
    if (!notifying_) {
      CheckIndex("Delete", Index);
      TuiTab* tab = tabs_[static_cast<size_t>(Index)];
      tab->owner_ = nullptr;  // its destructor must not come back here
      if (focused_ != -1 && focused_ == visible_.IndexOf(Index)) focused_ = -1;
      delete tab;
    }
    tabs_.erase(tabs_.begin() + Index);
    RenumberTabs(Index, Count() - 1);
    visible_.Rebuild();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
  TabChanged(-1, tcLayout);
}

void TuiTabs::Clear() {
  for (auto it = tabs_.rbegin(); it != tabs_.rend(); ++it) {
    (*it)->owner_ = nullptr;
    delete *it;
  }
  tabs_.clear();
  visible_.Rebuild();
  hotTrack_ = focused_ = pressed_ = -1;
  TabChanged(-1, tcLayout);
}

void TuiTabs::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  // Both positions are checked: a move outside the list would run past its end.
  CheckIndex("Delete", CurIndex);
  CheckIndex("Delete", NewIndex);
  TuiTab* tab = tabs_[static_cast<size_t>(CurIndex)];
  tabs_.erase(tabs_.begin() + CurIndex);
  tabs_.insert(tabs_.begin() + NewIndex, tab);
  RenumberTabs(std::min(CurIndex, NewIndex), std::max(CurIndex, NewIndex));
  visible_.Rebuild();
  TabChanged(-1, tcLayout);
}

void TuiTabs::TabDestroying(Integer Index, bool AInsideDelete) {
  notifying_ = true;
  try {
    if (!AInsideDelete) Delete(Index);
  } catch (...) {
    notifying_ = false;
    throw;
  }
  notifying_ = false;
}

void TuiTabs::TabChanged(Integer VisibleIndex, Integer AKind) {
  if (host_->TabsLoading() || host_->TabsDestroying()) return;
  if (VisibleIndex == -1 || AKind == tcLayout)
    host_->LayoutChanged();
  else
    host_->RepaintTab(VisibleIndex, AKind);
}

void TuiTabs::SendPair(Integer OldIndex, Integer NewIndex, Integer AKind) {
  if (OldIndex != -1) TabChanged(OldIndex, AKind);
  if (NewIndex != -1) TabChanged(NewIndex, AKind);
}

void TuiTabs::SetHotTrackTab(Integer VisibleIndex) {
  if (hotTrack_ == VisibleIndex) return;
  const Integer old = hotTrack_;
  hotTrack_ = VisibleIndex;
  SendPair(old, hotTrack_, tcHotTrack);
}

void TuiTabs::SetPressedTab(Integer VisibleIndex) {
  if (pressed_ == VisibleIndex) return;
  const Integer old = pressed_;
  pressed_ = VisibleIndex;
  SendPair(old, pressed_, tcPressed);
}

void TuiTabs::SetFocusedTab(Integer VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= visible_.Count()) VisibleIndex = -1;
  if (focused_ == VisibleIndex) return;
  const Integer old = focused_;
  focused_ = VisibleIndex;
  SendPair(old, focused_, tcKeyboardFocus);
  if (focused_ != -1 && !host_->MultiLine()) {
    host_->MakeTabVisibleInRow(focused_);
    if (!host_->TabsLoading() && !host_->TabsDestroying()) host_->LayoutChanged();
    host_->UpdateHotTracking();
  }
}

void TuiTabs::UpdateActiveTab() {
  Integer active = -1;
  const Integer tabIndex = host_->TabIndex();
  if (tabIndex != -1 && visible_.Count() > 0) {
    visible_.Find(tabIndex, active);
    active = std::min(active, visible_.Count() - 1);
  }
  if (active == active_) return;
  const Integer old = active_;
  active_ = active;
  SendPair(old, active_, tcActive);
  host_->UpdateNavigatorButtons();
}

void TuiTabs::ClampIndexes() {
  for (Integer* index : {&hotTrack_, &active_, &pressed_})
    if (*index >= visible_.Count()) *index = -1;
}

void TuiTabs::FreeCaptionBitmaps() {
  for (TuiTab* tab : tabs_) tab->FreeCaptionBitmap();
}

void TuiTabs::ImagesChanged() {
  for (TuiTab* tab : tabs_) tab->ImagesChanged();
}
