// The tab collection of the tab control: the tabs, the list of the visible ones and the change kinds.
//
// Contract: main thread only. The control owns its TuiTabs and TuiVisibleTabList; TuiTabs owns its
// TuiTab objects. The application addresses a tab by its tab index (place in TuiTabs); layout,
// painting and input address it by its visible index (place among the visible tabs). Every change of a
// tab is reported to the control through TuiTabControlHost as a change kind; the host may re-enter the
// collection from LayoutChanged and RepaintTab (read only). Positions are in client coordinates.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/forms/Graphics.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/WinTypes.h"

class TuiTabs;
class TuiTab;

// Kinds of tab change passed with every change notification.
enum TuiTabChangeKind : Integer {
  tcCaption = 0,
  tcEnabled = 1,
  tcFocus = 2,
  tcHighlighted = 3,
  tcHotTrack = 4,
  tcActive = 5,
  tcLayout = 6,
  tcPressed = 7,
  tcSelected = 8,
  tcKeyboardFocus = 9,
};

// Where the tab rows lie.
enum TuiTabPosition : Integer { tpTop, tpBottom, tpLeft, tpRight };
K58_ENUM_TYPE(TuiTabPosition, tpTop, tpBottom, tpLeft, tpRight)

// Side of one tab: 0 top, 1 bottom, 2 left, 3 right.
enum TuiTabSide : Integer { tsTop, tsBottom, tsLeft, tsRight };

// What the collection needs of its control. The tab control implements it; the state it keeps for the
// collection (hot, focused, active and pressed visible indexes) lives in TuiTabs.
class TuiTabControlHost {
 public:
  virtual ~TuiTabControlHost() = default;

  virtual bool TabsLoading() const = 0;
  virtual bool TabsDestroying() const = 0;
  virtual bool TabsHandleAllocated() const = 0;
  virtual bool TabsEnabled() const = 0;

  virtual Integer TabIndex() const = 0;
  virtual void SetTabIndex(Integer Value) = 0;
  virtual bool MultiLine() const = 0;
  virtual bool Rotate() const = 0;
  virtual TuiTabPosition TabPosition() const = 0;
  // The page control keeps a current tab among the visible ones when the current one is hidden.
  virtual bool KeepsActiveTabVisible() const = 0;

  // The layout: rows laid vertically (left or right tabs), the thickness of a row with Rotate, the
  // first row on the second side, the single row's first and last shown visible index, and the area
  // of the rows on one side.
  virtual bool RowsVertical() const = 0;
  virtual Integer RowThickness() const = 0;
  virtual Integer SplitRow() const = 0;
  virtual Integer FirstVisibleTab() const = 0;
  virtual Integer LastVisibleTab() const = 0;
  virtual TRect RowsArea(TuiTabSide Side) const = 0;

  // The painter: width of a tab along its row, what it adds to each edge of the layout rectangle,
  // whether more than one tab may be selected.
  virtual Integer MeasureTabWidth(TuiTab* Tab) = 0;
  // Recomputes the row thickness for Rotate; true when it changed.
  virtual bool RecalculateRowThickness() = 0;
  virtual TRect TabCorrection(TuiTab* Tab) = 0;
  virtual bool AllowMultiSelection() const = 0;
  virtual void EnterMultiSelection() = 0;
  // The image index the control shows for a tab (the stored one, the event's, limited to the images).
  virtual Integer GetImageIndex(Integer TabIndex) = 0;

  virtual void LayoutChanged() = 0;
  virtual void RepaintTab(Integer VisibleIndex, Integer Kind) = 0;
  virtual void UpdateNavigatorButtons() = 0;
  // Scrolls a single row so that the visible index is seen.
  virtual void MakeTabVisibleInRow(Integer VisibleIndex) = 0;
  virtual void UpdateHotTracking() = 0;
};

class TuiTab : public TPersistent {
  K58_CLASS(TuiTab, TPersistent)

  TuiTab(TuiTabs* ATabs, Integer AIndex);
  ~TuiTab() override;

  void AssignTo(TPersistent* Dest) override;

  const String& Caption() const { return caption_; }
  void SetCaption(const String& Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value);
  Integer ImageIndex() const;
  void SetImageIndex(Integer Value);
  bool IsImageIndexStored() const { return imageIndex_ != index_; }
  // The stored image index, before the control's event and limits.
  Integer StoredImageIndex() const { return imageIndex_; }
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  TObject* Object() const { return object_; }
  void SetObject(TObject* Value) { object_ = Value; }

  Integer Index() const { return index_; }
  TuiTabs* Tabs() const { return owner_; }

  // Layout state, written by the layout.
  Integer Row = 0;
  Integer DisplayRow = 0;
  Integer Left = 0;
  Integer Top = 0;
  Integer NormalWidth = 0;
  TRect Correction{};

  void Changed(Integer AKind);
  void GetNormalRect(TRect& R) const;
  void GetFullRect(TRect& R);
  void GetVisibleRect(TRect& R);
  Integer GetWidthInRow() const;
  bool IsVisibleOnScreen();
  Integer GetVisibleIndex() const;
  TuiTabSide GetSide() const;
  Integer GetOrientationCode(Integer TextMode) const;

  bool IsActive() const;
  bool IsHotTracked() const;
  bool IsPressed() const;
  bool IsFocused() const;
  bool IsEnabledForUser() const;

  void ImagesChanged();

  // The surface a themed painter draws the whole tab on before it goes to the screen: created on first
  // use (32 bits per pixel, device independent) and kept until freed.
  TBitmap* Bitmap() const { return bitmap_.get(); }
  TBitmap* PrepareBitmap();
  void FreeBitmap() { bitmap_.reset(); }
  // The caption drawn and turned once for vertical text; whoever changes what it shows frees it.
  TBitmap* CaptionBitmap() const { return captionBitmap_.get(); }
  TBitmap* CreateCaptionBitmap();
  void FreeCaptionBitmap() { captionBitmap_.reset(); }

 private:
  friend class TuiTabs;
  void SetCaptionSilently(const String& Value) { caption_ = Value; }

  String caption_;
  bool enabled_ = true;
  bool highlighted_ = false;
  Integer imageIndex_;
  Integer index_;
  TObject* object_ = nullptr;
  bool selected_ = false;
  TuiTabs* owner_;
  bool visible_ = true;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TBitmap> captionBitmap_;
};

class TuiVisibleTabList : public TObject {
  K58_CLASS(TuiVisibleTabList, TObject)

  explicit TuiVisibleTabList(TuiTabs* ATabs) : tabs_(ATabs) {}

  Integer Count() const { return static_cast<Integer>(items_.size()); }
  TuiTab* GetTab(Integer VisibleIndex) const;
  // The tab index at a visible index, unchecked by the callers that already range-check.
  Integer TabIndexAt(Integer VisibleIndex) const { return items_[static_cast<size_t>(VisibleIndex)]; }
  Integer IndexOf(Integer TabIndex) const;
  // Binary search: true with the position of TabIndex, or false with the position of the first entry
  // greater than it.
  bool Find(Integer TabIndex, Integer& Position) const;
  void Add(Integer TabIndex);
  void Remove(Integer TabIndex);
  void Rebuild();

 private:
  TuiTabs* tabs_;
  std::vector<Integer> items_;
};

class TuiTabs : public TStrings {
  K58_CLASS(TuiTabs, TStrings)

  explicit TuiTabs(TuiTabControlHost* AHost);
  ~TuiTabs() override;

  Integer Count() const override { return static_cast<Integer>(tabs_.size()); }
  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const String& S) override;
  void Move(Integer CurIndex, Integer NewIndex) override;

  TuiTab* GetTab(Integer Index) const;
  TuiTab* GetVisibleTab(Integer VisibleIndex) const;
  Integer VisibleCount() const { return visible_.Count(); }
  TuiVisibleTabList& VisibleTabs() { return visible_; }
  const TuiVisibleTabList& VisibleTabs() const { return visible_; }
  TuiTabControlHost* Host() const { return host_; }

  Integer TabNormalHeight = 0;

  void TabDestroying(Integer Index, bool AInsideDelete = false);
  void TabChanged(Integer VisibleIndex, Integer AKind);

  // Hot-tracked, keyboard-focused, active and pressed visible indexes (-1: none).
  Integer HotTrackTab() const { return hotTrack_; }
  void SetHotTrackTab(Integer VisibleIndex);
  Integer FocusedTab() const { return focused_; }
  void SetFocusedTab(Integer VisibleIndex);
  Integer ActiveTab() const { return active_; }
  void UpdateActiveTab();
  Integer PressedTab() const { return pressed_; }
  void SetPressedTab(Integer VisibleIndex);
  // Hot, active and pressed indexes at or past the visible count become -1, without notifications.
  void ClampIndexes();

  void ImagesChanged();
  void FreeCaptionBitmaps();
  void RenumberTabs(Integer First, Integer Last);

 private:
  friend class TuiTab;
  [[noreturn]] void IndexError(const char* Method, Integer Index) const;
  void CheckIndex(const char* Method, Integer Index) const;
  void SendPair(Integer OldIndex, Integer NewIndex, Integer AKind);

  bool notifying_ = false;
  TuiTabControlHost* host_;
  std::vector<TuiTab*> tabs_;
  bool updating_ = false;
  TuiVisibleTabList visible_;
  Integer hotTrack_ = -1;
  Integer focused_ = -1;
  Integer active_ = -1;
  Integer pressed_ = -1;
};
