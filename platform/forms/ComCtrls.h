// Common controls: status bars, progress bars, tree views, tool bars and tool buttons, page controls with
// tab sheets, and up-down buttons.
//
// The status bar, progress bar, tree view, tab control and up-down are subclasses of the built-in window
// classes; the tool bar paints its buttons itself (each button a control without a window placed by the
// bar), so custom drawing and the buttons' states are the same with and without a window system.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/builtin/CommCtrl.h"

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;
class TToolBar;
class TToolButton;
class TStatusBar;
class TPageControl;

namespace comctrlsconsts {
inline constexpr const char* SInvalidIndex = "Invalid index";
inline constexpr const char* SPageIndexError = "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d";
}  // namespace comctrlsconsts

// ---- Types -------------------------------------------------------------------------------------------
enum TStatusPanelStyle { psText, psOwnerDraw };
K58_ENUM_TYPE(TStatusPanelStyle, psText, psOwnerDraw)
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
K58_ENUM_TYPE(TStatusPanelBevel, pbNone, pbLowered, pbRaised)
enum TProgressBarOrientation { pbHorizontal, pbVertical };
K58_ENUM_TYPE(TProgressBarOrientation, pbHorizontal, pbVertical)
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
K58_ENUM_TYPE(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
K58_ENUM_TYPE(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
K58_SET_TYPE(TEdgeBorders, TEdgeBorder)
enum TEdgeStyle { esNone, esRaised, esLowered };
K58_ENUM_TYPE(TEdgeStyle, esNone, esRaised, esLowered)
enum TCustomDrawStateItem {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
K58_ENUM_TYPE(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault,
              cdsHot, cdsMarked, cdsIndeterminate)
K58_SET_TYPE(TCustomDrawState, TCustomDrawStateItem)
enum THitTest {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
  htToLeft, htToRight
};
K58_ENUM_TYPE(THitTest, htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel,
              htOnRight, htOnStateIcon, htToLeft, htToRight)
K58_SET_TYPE(THitTests, THitTest)
enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
K58_ENUM_TYPE(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)
enum TUDAlignButton { udLeft, udRight };
K58_ENUM_TYPE(TUDAlignButton, udLeft, udRight)
enum TUDOrientation { udHorizontal, udVertical };
K58_ENUM_TYPE(TUDOrientation, udHorizontal, udVertical)
enum TUDBtnType { btNext, btPrev };
K58_ENUM_TYPE(TUDBtnType, btNext, btPrev)

class TStatusPanel;
K58_EVENT_TYPE(TDrawPanelEvent, void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect))
K58_EVENT_TYPE(TTVChangedEvent, void(TObject* Sender, TTreeNode* Node))
K58_EVENT_TYPE(TTVChangingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowChange))
// Events of the same signature as another share its delegate; their own type names are given where they
// are published.
using TTVExpandingEvent = TTVChangingEvent;
using TTVCollapsingEvent = TTVChangingEvent;
using TTVExpandedEvent = TTVChangedEvent;
K58_EVENT_TYPE(TTVCustomDrawItemEvent,
               void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw))
enum TMultiSelectStyles { msControlSelect, msShiftSelect, msVisibleOnly, msSiblingOnly };
K58_ENUM_TYPE(TMultiSelectStyles, msControlSelect, msShiftSelect, msVisibleOnly, msSiblingOnly)
K58_SET_TYPE(TMultiSelectStyle, TMultiSelectStyles)
enum TSortType { stNone, stData, stText, stBoth };
K58_ENUM_TYPE(TSortType, stNone, stData, stText, stBoth)
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
K58_ENUM_TYPE(TCustomDrawStage, cdPrePaint, cdPostPaint, cdPreErase, cdPostErase)
using TTVEditingEvent = TTVChangingEvent;
K58_EVENT_TYPE(TTVEditedEvent, void(TObject* Sender, TTreeNode* Node, String& S))
K58_EVENT_TYPE(TTVCustomDrawEvent, void(TCustomTreeView* Sender, const TRect& ARect, bool& DefaultDraw))
K58_EVENT_TYPE(TTVAdvancedCustomDrawEvent,
               void(TCustomTreeView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw))
K58_EVENT_TYPE(TTVAdvancedCustomDrawItemEvent,
               void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                    bool& PaintImages, bool& DefaultDraw))
K58_EVENT_TYPE(TTVCreateNodeClassEvent, void(TCustomTreeView* Sender, TClass& NodeClass))
K58_EVENT_TYPE(TToolBarCustomDrawEvent, void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw))
K58_EVENT_TYPE(TToolBarCustomDrawButtonEvent,
               void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw))
using TTabChangingEvent = Delegate<void(TObject* Sender, bool& AllowChange)>;
K58_EVENT_TYPE(TUDClickEvent, void(TObject* Sender, TUDBtnType Button))
using TUDChangingEvent = TTabChangingEvent;

// ---- Status bars -------------------------------------------------------------------------------------
class TStatusPanel : public TCollectionItem {
  K58_CLASS(TStatusPanel, TCollectionItem)

  explicit TStatusPanel(TCollection* Collection);

  const String& Text() const { return text_; }
  void SetText(const String& Value);
  Integer Width() const { return width_; }
  void SetWidth(Integer Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel Value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle Value);
  void Assign(TPersistent* Source) override;
  String GetDisplayName() override { return text_.empty() ? TCollectionItem::GetDisplayName() : text_; }

 private:
  String text_;
  Integer width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TCollection {
  K58_CLASS(TStatusPanels, TCollection)

  explicit TStatusPanels(TStatusBar* StatusBar);
  TStatusPanels() : TStatusPanels(nullptr) {}

  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(Integer Index) const { return static_cast<TStatusPanel*>(GetItem(Index)); }

 protected:
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* Item) override;

 private:
  friend class TStatusBar;
  TStatusBar* statusBar_;
};

// A status bar over the "msctls_statusbar32" class, aligned to the bottom of its parent. Panels run from
// the left, each Width wide (the last to the right edge); SimplePanel shows SimpleText alone.
class TStatusBar : public TWinControl {
  K58_CLASS(TStatusBar, TWinControl)

  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* Value) { panels_->Assign(Value); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool Value);
  const String& SimpleText() const { return simpleText_; }
  void SetSimpleText(const String& Value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool Value);
  bool UseSystemFont() const { return useSystemFont_; }
  void SetUseSystemFont(bool Value) { useSystemFont_ = Value; }
  TCanvas* Canvas() const { return canvas_.get(); }

  const TDrawPanelEvent& OnDrawPanel() const { return onDrawPanel_; }
  void SetOnDrawPanel(const TDrawPanelEvent& Value) { onDrawPanel_ = Value; }

  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
  // Sends the panels (parts, texts, drawing kinds) to the window.
  void UpdatePanels();
  void UpdatePanel(Integer Index);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void WMSize(TWMSize& Message) override;

 private:
  TObjectPtr<TStatusPanels> panels_;
  TObjectPtr<TControlCanvas> canvas_;
  bool simplePanel_ = false;
  String simpleText_;
  bool sizeGrip_ = true;
  bool useSystemFont_ = true;
  TDrawPanelEvent onDrawPanel_;
};

// ---- Progress bars -----------------------------------------------------------------------------------
class TProgressBar : public TWinControl {
  K58_CLASS(TProgressBar, TWinControl)

  explicit TProgressBar(TComponent* AOwner);

  Integer Min() const { return min_; }
  void SetMin(Integer Value);
  Integer Max() const { return max_; }
  void SetMax(Integer Value);
  // Kept within Min..Max.
  Integer Position();
  void SetPosition(Integer Value);
  Integer Step() const { return step_; }
  void SetStep(Integer Value);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool Value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation Value);
  // StepIt advances by Step, starting over from Min past Max as the window does; StepBy moves by Delta
  // within the range.
  void StepIt();
  void StepBy(Integer Delta);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  Integer min_ = 0;
  Integer max_ = 100;
  Integer position_ = 0;
  Integer step_ = 10;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
};

// ---- Tree views --------------------------------------------------------------------------------------
// A node of a tree view. Nodes live in the control's TTreeNodes (with or without a window); while the
// window exists each node has its item there (ItemId).
class TTreeNode : public TPersistent {
  K58_CLASS(TTreeNode, TPersistent)

  explicit TTreeNode(TTreeNodes* AOwner);
  TTreeNode() : TTreeNode(nullptr) {}
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  TTreeNode* Parent() const { return parent_; }
  const String& Text() const { return text_; }
  void SetText(const String& Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  Integer SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(Integer Value);
  Integer StateIndex() const { return stateIndex_; }
  void SetStateIndex(Integer Value);
  Integer OverlayIndex() const { return overlayIndex_; }
  void SetOverlayIndex(Integer Value) { overlayIndex_ = Value; }
  void* Data() const { return data_; }
  void SetData(void* Value) { data_ = Value; }
  HTREEITEM ItemId() const { return itemId_; }

  Integer Count() const { return static_cast<Integer>(children_.size()); }
  // Child Index; outside 0..Count-1 raises ETreeViewError "Invalid index".
  TTreeNode* Item(Integer Index) const;
  bool HasChildren() const { return !children_.empty() || hasChildren_; }
  void SetHasChildren(bool Value);
  // Position among its siblings.
  Integer Index() const;
  // Position in the tree's order (TTreeNodes::Item).
  Integer AbsoluteIndex() const;
  Integer Level() const;
  bool Expanded() const;
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  bool Focused() const { return Selected(); }
  bool IsVisible() const;
  bool Deleting() const { return deleting_; }

  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
  // The next node in the tree's order (the first child, else the next sibling of this node or an
  // ancestor).
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  TTreeNode* GetNextChild(TTreeNode* Value) const { return Value != nullptr ? Value->GetNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(TTreeNode* Value) const { return Value != nullptr ? Value->GetPrevSibling() : nullptr; }
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  TTreeNode* GetLastDescendant() const;
  bool HasAsParent(TTreeNode* Value) const;
  Integer IndexOf(TTreeNode* Value) const;

  // Removes the node (and its children) from the tree and frees it.
  void Delete();
  void DeleteChildren();
  // Sorts the children by text (or with the tree view's OnCompare).
  bool AlphaSort(bool ARecurse = false);
  // The rectangle of the node's row (TextOnly: of its label) in client coordinates; empty when hidden.
  TRect DisplayRect(bool TextOnly) const;
  void MakeVisible();
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  void Assign(TPersistent* Source) override;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  String text_;
  Integer imageIndex_ = -1;
  Integer selectedIndex_ = -1;
  Integer stateIndex_ = -1;
  Integer overlayIndex_ = -1;
  void* data_ = nullptr;
  HTREEITEM itemId_ = nullptr;
  bool expanded_ = false;
  bool hasChildren_ = false;
  bool deleting_ = false;
};

K58_DECLARE_EXCEPTION(ETreeViewError, Exception);

class TTreeNodes : public TPersistent {
  K58_CLASS(TTreeNodes, TPersistent)

  explicit TTreeNodes(TCustomTreeView* AOwner);
  TTreeNodes() : TTreeNodes(nullptr) {}
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // Every node; Item(i) counts in the tree's order (depth first, parents before their children).
  Integer Count() const;
  TTreeNode* Item(Integer Index) const;
  TTreeNode* operator[](Integer Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  TTreeNode* GetNode(HTREEITEM ItemId) const;

  // Add: the last sibling of Sibling (nil: a top-level node); AddFirst: the first one; AddChild: the last
  // child of Parent; AddChildFirst: its first child; Insert: before Sibling.
  TTreeNode* Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* Insert(TTreeNode* Sibling, const String& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();
  bool AlphaSort(bool ARecurse = false);
  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }
  void Assign(TPersistent* Source) override;

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  // Puts Node into Parent's children (nil: the top level) at Index and into the window.
  void Attach(TTreeNode* Node, TTreeNode* Parent, size_t Index);
  void Detach(TTreeNode* Node);
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent);
  TTreeNode* AddAt(TTreeNode* Parent, size_t Index, const String& S, void* Ptr);

  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  Integer updateCount_ = 0;
};

K58_EVENT_TYPE(TTVCompareEvent, void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, Integer Data,
                                     Integer& Compare))

// A tree view over the "SysTreeView32" class.
class TCustomTreeView : public TWinControl {
  K58_CLASS(TCustomTreeView, TWinControl)

  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  void SetItems(TTreeNodes* Value) { items_->Assign(Value); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* Value);
  TTreeNode* TopItem() const;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool Value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool Value);
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool Value) { autoExpand_ = Value; }
  Integer Indent() const { return indent_; }
  void SetIndent(Integer Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* Value);
  TCanvas* Canvas() const { return canvas_.get(); }

  // The node of the row at a client point (anywhere on the row), or nil; GetHitTestInfoAt tells where on
  // the row the point is.
  TTreeNode* GetNodeAt(Integer X, Integer Y);
  THitTests GetHitTestInfoAt(Integer X, Integer Y);
  void FullExpand();
  void FullCollapse();
  bool AlphaSort(bool ARecurse = true);
  // Puts every node into the window again (after the order of nodes changed).
  void RecreateItems();

  const TTVChangedEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TTVChangedEvent& Value) { onChange_ = Value; }
  const TTVChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TTVChangingEvent& Value) { onChanging_ = Value; }
  const TTVExpandingEvent& OnExpanding() const { return onExpanding_; }
  void SetOnExpanding(const TTVExpandingEvent& Value) { onExpanding_ = Value; }
  const TTVExpandedEvent& OnExpanded() const { return onExpanded_; }
  void SetOnExpanded(const TTVExpandedEvent& Value) { onExpanded_ = Value; }
  const TTVCollapsingEvent& OnCollapsing() const { return onCollapsing_; }
  void SetOnCollapsing(const TTVCollapsingEvent& Value) { onCollapsing_ = Value; }
  const TTVExpandedEvent& OnCollapsed() const { return onCollapsed_; }
  void SetOnCollapsed(const TTVExpandedEvent& Value) { onCollapsed_ = Value; }
  const TTVExpandedEvent& OnDeletion() const { return onDeletion_; }
  void SetOnDeletion(const TTVExpandedEvent& Value) { onDeletion_ = Value; }
  const TTVCompareEvent& OnCompare() const { return onCompare_; }
  void SetOnCompare(const TTVCompareEvent& Value) { onCompare_ = Value; }
  const TTVCustomDrawItemEvent& OnCustomDrawItem() const { return onCustomDrawItem_; }
  void SetOnCustomDrawItem(const TTVCustomDrawItemEvent& Value) { onCustomDrawItem_ = Value; }

  // ---- Multiple selection, hot tracking, sorting, tips; events kept for callers that set them ----
  bool MultiSelect() const { return multiSelect_; }
  // Turning it off keeps the primary selection only.
  void SetMultiSelect(bool Value);
  TMultiSelectStyle MultiSelectStyle() const { return multiSelectStyle_; }
  void SetMultiSelectStyle(TMultiSelectStyle Value) { multiSelectStyle_ = Value; }
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool Value) { rightClickSelect_ = Value; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value);
  Integer ChangeDelay() const { return changeDelay_; }
  void SetChangeDelay(Integer Value) { changeDelay_ = Value; }
  TSortType SortType() const { return sortType_; }
  // stText and stBoth sort the nodes by text at once.
  void SetSortType(TSortType Value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);
  // The selected nodes in the order they were selected; the primary one (Selected) among them.
  Integer SelectionCount() const { return static_cast<Integer>(selections_.size()); }
  TTreeNode* Selections(Integer Index) const { return selections_.at(static_cast<size_t>(Index)); }
  // Shift selects the run from the primary node, Ctrl adds or removes Node, neither selects Node alone
  // (the modifiers count only with multiple selection and the matching style).
  void Select(TTreeNode* Node, TShiftState ShiftState = TShiftState{});
  void Select(const std::vector<TTreeNode*>& Nodes);
  void Select(TList* Nodes);
  // Adds Node to the selection; with Validate only when the selection style allows it.
  void Subselect(TTreeNode* Node, bool Validate = false);
  void Deselect(TTreeNode* Node);
  void ClearSelection(bool KeepPrimary = false);
  // The node a deselection of the primary node would select next: the next selected node, else nil.
  TTreeNode* FindNextToSelect();
  const TTVChangedEvent& OnAddition() const { return onAddition_; }
  void SetOnAddition(const TTVChangedEvent& Value) { onAddition_ = Value; }
  const TTVCreateNodeClassEvent& OnCreateNodeClass() const { return onCreateNodeClass_; }
  void SetOnCreateNodeClass(const TTVCreateNodeClassEvent& Value) { onCreateNodeClass_ = Value; }
  const TTVEditingEvent& OnEditing() const { return onEditing_; }
  void SetOnEditing(const TTVEditingEvent& Value) { onEditing_ = Value; }
  const TTVEditedEvent& OnEdited() const { return onEdited_; }
  void SetOnEdited(const TTVEditedEvent& Value) { onEdited_ = Value; }
  const TTVChangedEvent& OnCancelEdit() const { return onCancelEdit_; }
  void SetOnCancelEdit(const TTVChangedEvent& Value) { onCancelEdit_ = Value; }
  const TTVCustomDrawEvent& OnCustomDraw() const { return onCustomDraw_; }
  void SetOnCustomDraw(const TTVCustomDrawEvent& Value) { onCustomDraw_ = Value; }
  const TTVAdvancedCustomDrawEvent& OnAdvancedCustomDraw() const { return onAdvancedCustomDraw_; }
  void SetOnAdvancedCustomDraw(const TTVAdvancedCustomDrawEvent& Value) { onAdvancedCustomDraw_ = Value; }
  const TTVAdvancedCustomDrawItemEvent& OnAdvancedCustomDrawItem() const { return onAdvancedCustomDrawItem_; }
  void SetOnAdvancedCustomDrawItem(const TTVAdvancedCustomDrawItemEvent& Value) { onAdvancedCustomDrawItem_ = Value; }
  const TTVExpandedEvent& OnGetImageIndex() const { return onGetImageIndex_; }
  void SetOnGetImageIndex(const TTVExpandedEvent& Value) { onGetImageIndex_ = Value; }
  const TTVExpandedEvent& OnGetSelectedIndex() const { return onGetSelectedIndex_; }
  void SetOnGetSelectedIndex(const TTVExpandedEvent& Value) { onGetSelectedIndex_ = Value; }

  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual void Delete(TTreeNode* Node);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void CNNotify(TWMNotify& Message);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  // Being destroyed: nodes go without events or window traffic.
  bool Dying() const { return destroying_ || ComponentState().Contains(csDestroying); }
  // Puts a node (and its children) into the window after Prior (nil: first).
  void InsertItem(TTreeNode* Node, TTreeNode* Prior);
  void UpdateItem(TTreeNode* Node);
  void SetStyleBit(DWORD Bit, bool On);
  TTreeNode* NodeOf(HTREEITEM Item) const;

  // A node added to the tree: the addition event.
  void Added(TTreeNode* Node);
  // Makes the selection Nodes, the first of them primary.
  void SetSelections(const std::vector<TTreeNode*>& Nodes);

  TObjectPtr<TTreeNodes> items_;
  TObjectPtr<TControlCanvas> canvas_;
  bool multiSelect_ = false;
  TMultiSelectStyle multiSelectStyle_{msControlSelect};
  bool rightClickSelect_ = false;
  bool hotTrack_ = false;
  Integer changeDelay_ = 0;
  TSortType sortType_ = stNone;
  bool toolTips_ = true;
  std::vector<TTreeNode*> selections_;
  TTVChangedEvent onAddition_;
  TTVCreateNodeClassEvent onCreateNodeClass_;
  TTVEditingEvent onEditing_;
  TTVEditedEvent onEdited_;
  TTVChangedEvent onCancelEdit_;
  TTVCustomDrawEvent onCustomDraw_;
  TTVAdvancedCustomDrawEvent onAdvancedCustomDraw_;
  TTVAdvancedCustomDrawItemEvent onAdvancedCustomDrawItem_;
  TTVExpandedEvent onGetImageIndex_;
  TTVExpandedEvent onGetSelectedIndex_;
  TTreeNode* selected_ = nullptr;  // while there is no window
  bool readOnly_ = false;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool showButtons_ = true;
  bool hideSelection_ = true;
  bool rowSelect_ = false;
  bool autoExpand_ = false;
  Integer indent_ = 19;
  TBorderStyle borderStyle_ = bsSingle;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  bool expanding_ = false;   // expanding in code: the window's notifications are not events
  bool rebuilding_ = false;  // items going into the window again: no selection events
  bool destroying_ = false;
  TTVChangedEvent onChange_;
  TTVChangingEvent onChanging_;
  TTVExpandingEvent onExpanding_;
  TTVExpandedEvent onExpanded_;
  TTVCollapsingEvent onCollapsing_;
  TTVExpandedEvent onCollapsed_;
  TTVExpandedEvent onDeletion_;
  TTVCompareEvent onCompare_;
  TTVCustomDrawItemEvent onCustomDrawItem_;
};

class TTreeView : public TCustomTreeView {
  K58_CLASS(TTreeView, TCustomTreeView)

  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ---- Tool bars ---------------------------------------------------------------------------------------
// A button of a tool bar. Check buttons stay down when clicked (Grouped ones: one of the adjacent grouped
// buttons at a time); a drop-down button shows DropdownMenu from its arrow part (the whole button when it
// has no OnClick and no MenuItem); a button with a MenuItem and no OnClick runs the item's click.
class TToolButton : public TGraphicControl {
  K58_CLASS(TToolButton, TGraphicControl)

  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolBar* ToolBar() const { return toolBar_; }
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle Value);
  bool Down() const { return down_; }
  void SetDown(bool Value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool Value) { grouped_ = Value; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value) { allowAllUp_ = Value; }
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool Value);
  bool Marked() const { return marked_; }
  void SetMarked(bool Value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* Value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* Value);
  // Position on the bar; -1 off a bar.
  Integer Index() const;
  // Pressed by the mouse (shown down while the mouse is over it) / under the mouse.
  bool Pressed() const { return pressed_; }
  bool Hot() const { return hot_; }
  // Width of the arrow part of a drop-down button.
  static constexpr Integer DropDownWidth = 14;
  // Whether the button is a separator or divider (no image, no click).
  bool IsSeparator() const { return style_ == tbsSeparator || style_ == tbsDivider; }
  // Shows DropdownMenu below the button; true when there was one.
  bool CheckMenuDropdown();

  void Click() override;
  void SetParent(TWinControl* AParent) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;

 private:
  friend class TToolBar;
  void Changed(bool Relayout);
  // Puts the other down buttons of its group up.
  void UpdateGroup();

  TToolBar* toolBar_ = nullptr;
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  bool grouped_ = false;
  bool allowAllUp_ = false;
  bool indeterminate_ = false;
  bool marked_ = false;
  bool wrap_ = false;
  Integer imageIndex_ = -1;
  TMenuItem* menuItem_ = nullptr;
  TPopupMenu* dropdownMenu_ = nullptr;
  bool pressed_ = false;
  bool hot_ = false;
  bool mouseInside_ = false;
};

// A bar of tool buttons placed left to right in their order (rows wrap when Wrapable and a button does
// not fit; Wrap breaks the row after a button). Each button is drawn on the bar's canvas; OnCustomDraw
// runs before the bar's background and OnCustomDrawButton before each button, and either can take over
// the drawing by clearing DefaultDraw.
class TToolBar : public TCustomControl {
  K58_CLASS(TToolBar, TCustomControl)

  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  Integer ButtonCount() const { return static_cast<Integer>(buttons_.size()); }
  TToolButton* Buttons(Integer Index) const { return buttons_.at(static_cast<size_t>(Index)); }
  Integer ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(Integer Value);
  Integer ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(Integer Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool List() const { return list_; }
  void SetList(bool Value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool Value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool Value);
  Integer Indent() const { return indent_; }
  void SetIndent(Integer Value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders Value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle Value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle Value);
  Integer RowCount() const { return rowCount_; }

  const TToolBarCustomDrawEvent& OnCustomDraw() const { return onCustomDraw_; }
  void SetOnCustomDraw(const TToolBarCustomDrawEvent& Value) { onCustomDraw_ = Value; }
  const TToolBarCustomDrawButtonEvent& OnCustomDrawButton() const { return onCustomDrawButton_; }
  void SetOnCustomDrawButton(const TToolBarCustomDrawButtonEvent& Value) { onCustomDrawButton_ = Value; }

  // The state a button is drawn in.
  TCustomDrawState ButtonState(TToolButton* Button) const;
  // Lays the buttons out.
  void UpdateButtons();

  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // Draws a button in its default look.
  virtual void DrawButton(TToolButton* Button, TCustomDrawState State);

 private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  // Size of a button on this bar.
  TSize ButtonSize(TToolButton* Button);
  Integer EdgeWidth(TEdgeBorder Side) const;
  void ImageListChange(TObject* Sender);

  std::vector<TToolButton*> buttons_;
  Integer buttonWidth_ = 23;
  Integer buttonHeight_ = 22;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  TObjectPtr<TChangeLink> imageChangeLink_;
  bool flat_ = false;
  bool transparent_ = false;
  bool list_ = false;
  bool showCaptions_ = false;
  bool wrapable_ = true;
  Integer indent_ = 0;
  TEdgeBorders edgeBorders_{ebTop};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
  Integer rowCount_ = 1;
  bool updating_ = false;
  TToolBarCustomDrawEvent onCustomDraw_;
  TToolBarCustomDrawButtonEvent onCustomDrawButton_;
};

// ---- Page controls -----------------------------------------------------------------------------------
class TTabSheet : public TWinControl {
  K58_CLASS(TTabSheet, TWinControl)

  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* Value);
  // Position among the pages of the control (-1 without one).
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  // Position among the visible tabs (-1 when the tab is hidden).
  Integer TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool Value);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer Value);

  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(const TNotifyEvent& Value) { onShow_ = Value; }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(const TNotifyEvent& Value) { onHide_ = Value; }

  void SetParent(TWinControl* AParent) override;
  void ReadState(TReader* Reader) override;
  void CMTextChanged(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  Integer imageIndex_ = 0;
  TNotifyEvent onShow_;
  TNotifyEvent onHide_;
};

// Pages with tabs over the "SysTabControl32" class: the tab of each page with TabVisible, the active page
// shown in the display area. A click on a tab (or Ctrl+Tab) asks OnChanging, then shows the page and
// fires OnChange; setting ActivePage in code fires neither.
class TPageControl : public TWinControl {
  K58_CLASS(TPageControl, TWinControl)

  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  Integer PageCount() const { return static_cast<Integer>(pages_.size()); }
  TTabSheet* Pages(Integer Index) const { return pages_.at(static_cast<size_t>(Index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* Value);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  // The tab of the active page among the visible tabs (-1: none).
  Integer TabIndex() const;
  void SetTabIndex(Integer Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  // The page after (or before) Current among the pages with a visible tab, wrapping.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TTabChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TTabChangingEvent& Value) { onChanging_ = Value; }

  virtual bool CanChange();
  virtual void Change();

  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  void CMDialogKey(TCMDialogKey& Message) override;
  virtual void CNNotify(TWMNotify& Message);

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTabs();
  void ShowActive();

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TCustomImageList* images_ = nullptr;
  bool multiLine_ = false;
  bool updatingTabs_ = false;
  TNotifyEvent onChange_;
  TTabChangingEvent onChanging_;
};

// ---- Up-down buttons ---------------------------------------------------------------------------------
// Arrow buttons over the "msctls_updown32" class that step Position between Min and Max (wrapping with
// Wrap) and show it in the Associate control's text.
class TUpDown : public TWinControl {
  K58_CLASS(TUpDown, TWinControl)

  explicit TUpDown(TComponent* AOwner);

  Integer Min() const { return min_; }
  void SetMin(Integer Value);
  Integer Max() const { return max_; }
  void SetMax(Integer Value);
  Integer Position();
  void SetPosition(Integer Value);
  Integer Increment() const { return increment_; }
  void SetIncrement(Integer Value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool Value);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool Value);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool Value);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation Value);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton Value);
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* Value);

  const TUDClickEvent& OnClick() const { return onClick_; }
  void SetOnClick(const TUDClickEvent& Value) { onClick_ = Value; }
  const TUDChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TUDChangingEvent& Value) { onChanging_ = Value; }

  virtual bool CanChange();
  virtual void Click(TUDBtnType Button);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 private:
  void ShowInAssociate();

  Integer min_ = 0;
  Integer max_ = 100;
  Integer position_ = 0;
  Integer increment_ = 1;
  bool wrap_ = false;
  bool thousands_ = true;
  bool arrowKeys_ = true;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  TWinControl* associate_ = nullptr;
  TUDClickEvent onClick_;
  TUDChangingEvent onChanging_;
};
