// The tree view: the class library's tree view inside the library's container, which gives it container
// styles, the look-and-feel border and its own scroll bars kept in step with the tree. The container
// draws no nodes and keeps no node data; it forwards the tree view's properties and events and routes the
// tree's input to itself in its own coordinates.
//
// Threads: GUI thread only.
// Ownership: the container owns the inner tree view and frees it first; the inner tree owns its canvas
// wrapper and look-and-feel.
// Coordinates: GetNodeAtPos takes points of the inner tree's client area; input events reach the
// container in the container's client coordinates.
#pragma once

#include "controls/foundation/Foundation.h"
#include "platform/forms/ComCtrls.h"

class TuiCustomTreeView;

class TuiCustomInnerTreeView : public TTreeView, public IuiContainerInnerControl {
  K58_CLASS(TuiCustomInnerTreeView, TTreeView)

  explicit TuiCustomInnerTreeView(TComponent* AOwner);
  ~TuiCustomInnerTreeView() override;

  TuiContainer* GetControlContainer() override;
  TuiCustomTreeView* Container() const { return container_; }
  void SetContainer(TuiCustomTreeView* Value) { container_ = Value; }
  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  TuiCanvas* InnerCanvas() const { return innerCanvas_.get(); }

  bool CanExpand(TTreeNode* Node) override { return TTreeView::CanExpand(Node); }
  void Expand(TTreeNode* Node) override;
  void Collapse(TTreeNode* Node) override;
  void Change(TTreeNode* Node) override;
  void CNNotify(TWMNotify& Message) override;
  // The container's hook first, then the tree's own default handling.
  void DefaultHandler(TMessage& Message) override;

 protected:
  void WndProc(TMessage& Message) override;
  void CreateWnd() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

 private:
  void SyncContainer();
  bool ContainerAlive() const;
  // Fills the square between the container's two scroll bars, which the tree's own frame would leave
  // unpainted.
  void PaintSizeGrip();

  std::unique_ptr<TuiCanvas> innerCanvas_;
  TObjectPtr<TuiLookAndFeel> lookAndFeel_;
  TuiCustomTreeView* container_ = nullptr;
};

class TuiCustomTreeView : public TuiContainer {
  K58_CLASS(TuiCustomTreeView, TuiContainer)

  explicit TuiCustomTreeView(TComponent* AOwner);
  ~TuiCustomTreeView() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  bool HasScrollBars() override { return true; }
  void ScrollContent(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void StyleChanged(TObject* Sender) override;
  void AdjustInnerControlBounds() override;

  virtual TuiCustomInnerTreeView* GetInnerTreeView() { return inner_; }
  virtual TClass GetInnerTreeViewClass() const { return TuiCustomInnerTreeView::StaticClass(); }
  virtual TuiCustomInnerTreeView* CreateInnerTreeView();
  virtual void SelectNode(TTreeNode* Node, TShiftState ShiftState = TShiftState{});
  virtual void SelectNodeArray(TTreeNode* const* Nodes, Integer High);
  virtual void SelectNodeList(TList* List);
  virtual void DeselectNode(TTreeNode* Node);
  virtual void SubselectNode(TTreeNode* Node, bool Validate = false);
  virtual void ClearNodeSelection(bool KeepPrimary = false);
  virtual TTreeNode* FindNextNodeToSelect();

  void ExpandAll();
  // The node at a point of the inner tree's client area; nil below the last node.
  TTreeNode* GetNodeAtPos(Integer X, Integer Y);
  TTreeNode* GetSelectedNode();
  void SetSelectedNode(TTreeNode* Node);

  // The container's own input handlers, for the inner tree.
  void InnerMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  bool InnerMouseDownActive() const { return innerMouseDown_; }

  void ControlFontChanged() override;

 protected:
  void WndProc(TMessage& Message) override;

 private:
  TuiCustomInnerTreeView* inner_ = nullptr;
  bool innerMouseDown_ = false;
};

// Property and event forwarding: each reads and writes the inner tree view's own.
#define K58_TREE_FORWARD(Type, Name)                                          \
  Type Name() const { return inner_()->Name(); }                              \
  void Set##Name(Type Value) { inner_()->Set##Name(Value); }
#define K58_TREE_FORWARD_EVENT(Type, Name)                                    \
  const Type& Name() const { return inner_()->Name(); }                       \
  void Set##Name(const Type& Value) { inner_()->Set##Name(Value); }

class TuiTreeView : public TuiCustomTreeView {
  K58_CLASS(TuiTreeView, TuiCustomTreeView)

  explicit TuiTreeView(TComponent* AOwner) : TuiCustomTreeView(AOwner) {}

  K58_TREE_FORWARD(bool, AutoExpand)
  K58_TREE_FORWARD(Integer, ChangeDelay)
  K58_TREE_FORWARD(bool, HideSelection)
  K58_TREE_FORWARD(bool, HotTrack)
  K58_TREE_FORWARD(TCustomImageList*, Images)
  K58_TREE_FORWARD(Integer, Indent)
  K58_TREE_FORWARD(bool, MultiSelect)
  K58_TREE_FORWARD(TMultiSelectStyle, MultiSelectStyle)
  K58_TREE_FORWARD(bool, ReadOnly)
  K58_TREE_FORWARD(bool, RightClickSelect)
  K58_TREE_FORWARD(bool, RowSelect)
  K58_TREE_FORWARD(bool, ShowButtons)
  K58_TREE_FORWARD(bool, ShowLines)
  K58_TREE_FORWARD(bool, ShowRoot)
  K58_TREE_FORWARD(TSortType, SortType)
  K58_TREE_FORWARD(TCustomImageList*, StateImages)
  K58_TREE_FORWARD(bool, ToolTips)
  // Setting copies the nodes.
  TTreeNodes* Items() const { return inner_()->Items(); }
  void SetItems(TTreeNodes* Value) { inner_()->SetItems(Value); }

  K58_TREE_FORWARD_EVENT(TTVChangedEvent, OnAddition)
  K58_TREE_FORWARD_EVENT(TTVAdvancedCustomDrawEvent, OnAdvancedCustomDraw)
  K58_TREE_FORWARD_EVENT(TTVAdvancedCustomDrawItemEvent, OnAdvancedCustomDrawItem)
  K58_TREE_FORWARD_EVENT(TTVChangedEvent, OnCancelEdit)
  K58_TREE_FORWARD_EVENT(TTVChangedEvent, OnChange)
  K58_TREE_FORWARD_EVENT(TTVChangingEvent, OnChanging)
  K58_TREE_FORWARD_EVENT(TTVExpandedEvent, OnCollapsed)
  K58_TREE_FORWARD_EVENT(TTVCollapsingEvent, OnCollapsing)
  K58_TREE_FORWARD_EVENT(TTVCompareEvent, OnCompare)
  K58_TREE_FORWARD_EVENT(TTVCreateNodeClassEvent, OnCreateNodeClass)
  K58_TREE_FORWARD_EVENT(TTVCustomDrawEvent, OnCustomDraw)
  K58_TREE_FORWARD_EVENT(TTVCustomDrawItemEvent, OnCustomDrawItem)
  K58_TREE_FORWARD_EVENT(TTVExpandedEvent, OnDeletion)
  K58_TREE_FORWARD_EVENT(TTVEditedEvent, OnEdited)
  K58_TREE_FORWARD_EVENT(TTVEditingEvent, OnEditing)
  K58_TREE_FORWARD_EVENT(TTVExpandedEvent, OnExpanded)
  K58_TREE_FORWARD_EVENT(TTVExpandingEvent, OnExpanding)
  K58_TREE_FORWARD_EVENT(TTVExpandedEvent, OnGetImageIndex)
  K58_TREE_FORWARD_EVENT(TTVExpandedEvent, OnGetSelectedIndex)

 private:
  TuiCustomInnerTreeView* inner_() const { return const_cast<TuiTreeView*>(this)->GetInnerTreeView(); }
};

#undef K58_TREE_FORWARD
#undef K58_TREE_FORWARD_EVENT
