// The tree view container: the inner tree's message routing, focus and keys, the container's scroll bars
// in step with the tree, and the forwarded properties.
#include "controls/extra/uiTreeView.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"

namespace {

// The class library's message a control sends itself after its window changed size or place.
constexpr UINT CM_TREEVIEWSIZECHANGED = 0xB025;
constexpr UINT TV_FIRSTMESSAGE = 0x1100;
constexpr int TVN_DELETEITEM_CODE = -409;

}  // namespace

// ---- Inner tree view ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomInnerTreeView) {
  b.template Interface<IuiContainerInnerControl>(IID_IuiContainerInnerControl);
}

TuiCustomInnerTreeView::TuiCustomInnerTreeView(TComponent* AOwner)
    : TTreeView(AOwner), innerCanvas_(std::make_unique<TuiCanvas>(Canvas())), lookAndFeel_(new TuiLookAndFeel(this)) {
  SetBorderStyle(bsNone);
  TControlStyle style = ControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(false);
  SetParentFont(true);
}

TuiCustomInnerTreeView::~TuiCustomInnerTreeView() {
  lookAndFeel_.reset();
  innerCanvas_.reset();
}

TuiContainer* TuiCustomInnerTreeView::GetControlContainer() { return container_; }

bool TuiCustomInnerTreeView::ContainerAlive() const {
  return container_ != nullptr && !container_->IsContainerDestroying();
}

void TuiCustomInnerTreeView::SyncContainer() {
  if (ContainerAlive()) container_->SyncScrollBars(false);
}

void TuiCustomInnerTreeView::Expand(TTreeNode* Node) {
  TTreeView::Expand(Node);
  SyncContainer();
}

void TuiCustomInnerTreeView::Collapse(TTreeNode* Node) {
  TTreeView::Collapse(Node);
  SyncContainer();
}

void TuiCustomInnerTreeView::Change(TTreeNode* Node) {
  TTreeView::Change(Node);
  SyncContainer();
}

void TuiCustomInnerTreeView::CNNotify(TWMNotify& Message) {
  TTreeView::CNNotify(Message);
  if (Message.NMHdr() != nullptr && Message.NMHdr()->code == static_cast<UINT>(TVN_DELETEITEM_CODE)) SyncContainer();
}

void TuiCustomInnerTreeView::CreateWnd() {
  TTreeView::CreateWnd();
  SyncContainer();
}

void TuiCustomInnerTreeView::PaintSizeGrip() {
  if (!IsGetScrollBarInfoAvailable()) return;
  TRect grip = GetInnerControlSizeGripRect(this);
  if (IsRectEmpty(&grip)) return;
  HDC dc = GetWindowDC(Handle());
  HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &grip, brush);
  ReleaseDC(Handle(), dc);
}

void TuiCustomInnerTreeView::DefaultHandler(TMessage& Message) {
  if (ContainerAlive() && container_->HandleInnerDefaultMessage(Message)) return;
  TTreeView::DefaultHandler(Message);
}

void TuiCustomInnerTreeView::WndProc(TMessage& Message) {
  if (ContainerAlive() && container_->ProcessInnerKeyMessage(Message)) return;
  if (!ContainerAlive()) return TTreeView::WndProc(Message);
  switch (Message.Msg) {
    case WM_RBUTTONUP:
      // The tree's own right-click handling never opens the container's popup menu.
      container_->LockContextPopup(true);
      try {
        TTreeView::WndProc(Message);
      } catch (...) {
        if (ContainerAlive()) container_->LockContextPopup(false);
        throw;
      }
      if (ContainerAlive()) container_->LockContextPopup(false);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (container_->DragMode() == dmAutomatic && container_->DragKind() == dkDock && !container_->IsDesigning()) {
        container_->BeginDrag(false);
        return;
      }
      break;
    case WM_GETDLGCODE:
      TTreeView::WndProc(Message);
      Message.Result |= DLGC_WANTCHARS;
      if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_SETFOCUS:
      TTreeView::WndProc(Message);
      if (ContainerAlive() &&
          !(container_->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == container_->Handle()))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case WM_KILLFOCUS:
      TTreeView::WndProc(Message);
      if (ContainerAlive()) static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case WM_NCCALCSIZE:
    case WM_FONTCHANGE:
      TTreeView::WndProc(Message);
      SyncContainer();
      return;
    case CM_MOUSELEAVE:
      TTreeView::WndProc(Message);
      if (ContainerAlive()) container_->RefreshAtCursorPos();
      return;
    case WM_NCPAINT:
      TTreeView::WndProc(Message);
      PaintSizeGrip();
      return;
  }
  TTreeView::WndProc(Message);
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case TV_FIRSTMESSAGE:
    case CM_TREEVIEWSIZECHANGED: SyncContainer(); break;
  }
  if (Message.Msg == WM_WINDOWPOSCHANGED && ContainerAlive()) {
    // The square between the bars is repainted whenever the tree moves or changes size.
    TRect grip = GetInnerControlSizeGripRect(this);
    if (!IsRectEmpty(&grip)) {
      RECT window{};
      GetWindowRect(Handle(), &window);
      OffsetRect(&grip, window.left, window.top);
      HRGN region = CreateRectRgnIndirect(&grip);
      SendMessage(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
      DeleteObject(region);
    }
  }
}

void TuiCustomInnerTreeView::Click() {
  TTreeView::Click();
  if (ContainerAlive()) static_cast<TControl*>(container_)->Click();
}

void TuiCustomInnerTreeView::DblClick() {
  TTreeView::DblClick();
  if (ContainerAlive()) static_cast<TControl*>(container_)->DblClick();
}

void TuiCustomInnerTreeView::KeyDown(Word& Key, TShiftState Shift) {
  if (ContainerAlive()) static_cast<TWinControl*>(container_)->KeyDown(Key, Shift);
  if (Key != 0) TTreeView::KeyDown(Key, Shift);
}

void TuiCustomInnerTreeView::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (ContainerAlive() && Key != 0) static_cast<TWinControl*>(container_)->KeyUp(Key, Shift);
  if (Key != 0) TTreeView::KeyUp(Key, Shift);
}

void TuiCustomInnerTreeView::KeyPress(char& Key) {
  // Tab never reaches the tree; Enter stops at the container.
  if (Key == '\t') Key = 0;
  if (ContainerAlive() && Key != 0) static_cast<TWinControl*>(container_)->KeyPress(Key);
  if (Key == '\r') Key = 0;
  if (Key != 0) TTreeView::KeyPress(Key);
}

void TuiCustomInnerTreeView::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TTreeView::MouseDown(Button, Shift, X, Y);
  if (alive.expired() || !ContainerAlive()) return;
  if (Dragging()) {
    // A drag of the tree becomes a drag of the whole control.
    EndDrag(false);
    container_->BeginDrag(true, -1);
  }
  container_->InnerMouseDown(Button, Shift, X + Left(), Y + Top());
}

void TuiCustomInnerTreeView::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TTreeView::MouseMove(Shift, X, Y);
  if (ContainerAlive()) static_cast<TControl*>(container_)->MouseMove(Shift, X + Left(), Y + Top());
}

void TuiCustomInnerTreeView::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TTreeView::MouseUp(Button, Shift, X, Y);
  if (ContainerAlive()) static_cast<TControl*>(container_)->MouseUp(Button, Shift, X + Left(), Y + Top());
}

bool TuiCustomInnerTreeView::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (ContainerAlive() && static_cast<TControl*>(container_)->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return TTreeView::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TuiCustomInnerTreeView::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (ContainerAlive())
    static_cast<TControl*>(container_)->DragOver(Source, X + Left(), Y + Top(), State, Accept);
  else
    TTreeView::DragOver(Source, X, Y, State, Accept);
}

void TuiCustomInnerTreeView::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (ContainerAlive())
    static_cast<TControl*>(container_)->DragDrop(Source, X + Left(), Y + Top());
  else
    TTreeView::DragDrop(Source, X, Y);
}

// ---- Container ----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomTreeView) {}

TuiCustomTreeView::TuiCustomTreeView(TComponent* AOwner) : TuiContainer(AOwner) {}

void TuiCustomTreeView::AfterConstruction() {
  // The inner tree comes from the final class's factory, so it is made once the object is complete.
  inner_ = CreateInnerTreeView();
  inner_->SetAlign(alClient);
  inner_->SetBorderStyle(bsNone);
  inner_->SetParent(this);
  inner_->SetContainer(this);
  SetInnerControl(inner_);
  inner_->LookAndFeel()->SetMaster(Style()->LookAndFeel());
  SetWidth(120);
  SetHeight(100);
  TuiContainer::AfterConstruction();
}

void TuiCustomTreeView::BeforeDestruction() {
  // The inner tree goes first, before the control tree frees the children.
  SetInnerControl(nullptr);
  if (inner_ != nullptr) inner_->SetContainer(nullptr);
  FreeAndNil(inner_);
  TuiContainer::BeforeDestruction();
}

TuiCustomTreeView::~TuiCustomTreeView() = default;

TuiCustomInnerTreeView* TuiCustomTreeView::CreateInnerTreeView() {
  TComponent* component = GetInnerTreeViewClass()->CreateComponent(this);
  auto* inner = dynamic_cast<TuiCustomInnerTreeView*>(component);
  if (inner == nullptr) RaiseInvalidCast();
  return inner;
}

void TuiCustomTreeView::ScrollContent(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TuiContainer::ScrollContent(AScrollBarKind, AScrollCode, AScrollPos);
  if (inner_ == nullptr || !inner_->HandleAllocated()) return;
  const bool horizontal = AScrollBarKind == sbHorizontal;
  TuiControlScrollBar* bar = horizontal ? HScrollBar() : VScrollBar();
  const LPARAM barWindow = bar != nullptr && bar->HandleAllocated() ? reinterpret_cast<LPARAM>(bar->Handle()) : 0;
  TMessage message{};
  message.Msg = horizontal ? WM_HSCROLL : WM_VSCROLL;
  message.WParam = MAKEWPARAM(static_cast<WORD>(AScrollCode), static_cast<WORD>(AScrollPos));
  message.LParam = barWindow;
  inner_->DefaultHandler(message);
  AScrollPos = GetScrollPos(inner_->Handle(), horizontal ? SB_HORZ : SB_VERT);
  SyncScrollBars(false);
}

void TuiCustomTreeView::StyleChanged(TObject* Sender) {
  TuiContainer::StyleChanged(Sender);
  if (inner_ == nullptr) return;
  inner_->Items()->BeginUpdate();
  if (HScrollBar() != nullptr) HScrollBar()->Invalidate();
  if (VScrollBar() != nullptr) VScrollBar()->Invalidate();
  inner_->Items()->EndUpdate();
}

void TuiCustomTreeView::AdjustInnerControlBounds() {
  if (ComponentState().Contains(csLoading) || inner_ == nullptr) return;
  const TRect before{inner_->Left(), inner_->Top(), inner_->Left() + inner_->Width(), inner_->Top() + inner_->Height()};
  TuiContainer::AdjustInnerControlBounds();
  const TRect after{inner_->Left(), inner_->Top(), inner_->Left() + inner_->Width(), inner_->Top() + inner_->Height()};
  if (!EqualRect(&before, &after) && inner_->HandleAllocated()) {
    // Mouse moves queued against the old place no longer mean anything.
    MSG msg;
    while (PeekMessage(&msg, inner_->Handle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
  }
}

void TuiCustomTreeView::SelectNode(TTreeNode* Node, TShiftState ShiftState) { inner_->Select(Node, ShiftState); }

void TuiCustomTreeView::SelectNodeArray(TTreeNode* const* Nodes, Integer High) {
  inner_->Select(std::vector<TTreeNode*>(Nodes, Nodes + High + 1));
}

void TuiCustomTreeView::SelectNodeList(TList* List) { inner_->Select(List); }
void TuiCustomTreeView::DeselectNode(TTreeNode* Node) { inner_->Deselect(Node); }
void TuiCustomTreeView::SubselectNode(TTreeNode* Node, bool Validate) { inner_->Subselect(Node, Validate); }
void TuiCustomTreeView::ClearNodeSelection(bool KeepPrimary) { inner_->ClearSelection(KeepPrimary); }
TTreeNode* TuiCustomTreeView::FindNextNodeToSelect() { return inner_->FindNextToSelect(); }

void TuiCustomTreeView::ExpandAll() { inner_->FullExpand(); }

TTreeNode* TuiCustomTreeView::GetNodeAtPos(Integer X, Integer Y) { return inner_->GetNodeAt(X, Y); }
TTreeNode* TuiCustomTreeView::GetSelectedNode() { return inner_->Selected(); }
void TuiCustomTreeView::SetSelectedNode(TTreeNode* Node) { inner_->SetSelected(Node); }

void TuiCustomTreeView::InnerMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  innerMouseDown_ = true;
  try {
    MouseDown(Button, Shift, X, Y);
  } catch (...) {
    innerMouseDown_ = false;
    throw;
  }
  innerMouseDown_ = false;
}

void TuiCustomTreeView::ControlFontChanged() {
  TuiContainer::ControlFontChanged();
  AdjustInnerControlBounds();
  if (inner_ != nullptr) inner_->Invalidate();
}

void TuiCustomTreeView::WndProc(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    if (inner_ != nullptr)
      inner_->CNNotify(static_cast<TWMNotify&>(Message));
    else
      DefaultHandler(Message);
    return;
  }
  TuiContainer::WndProc(Message);
}

// ---- Published tree view ----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTreeView) {
  using S = TuiTreeView;
  // The ordinary control settings, so a form can place the tree and handle its mouse and keys.
  PublishControl(b, {"Align",        "Anchors",      "Constraints",    "DragCursor", "DragKind",    "DragMode",
                     "Enabled",      "ParentFont",   "ParentShowHint", "PopupMenu",  "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup", "OnDblClick", "OnDragDrop",
                     "OnDragOver",   "OnEndDock",    "OnEndDrag",      "OnEnter",    "OnExit",      "OnKeyDown",
                     "OnKeyPress",   "OnKeyUp",      "OnMouseDown",    "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
                     "OnMouseUp",    "OnStartDock",  "OnStartDrag"});
  b.Prop("Style", &S::Style, &S::SetStyle);
  b.Prop("StyleDisabled", &S::StyleDisabled, &S::SetStyleDisabled);
  b.Prop("StyleFocused", &S::StyleFocused, &S::SetStyleFocused);
  b.Prop("StyleHot", &S::StyleHot, &S::SetStyleHot);
  b.Prop("Width", &S::Width, &S::SetWidth).Default(120);
  b.Prop("Height", &S::Height, &S::SetHeight).Default(100);
  b.Prop("AutoExpand", &S::AutoExpand, &S::SetAutoExpand).Default(false);
  b.Prop("ChangeDelay", &S::ChangeDelay, &S::SetChangeDelay).Default(0);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("HotTrack", &S::HotTrack, &S::SetHotTrack).Default(false);
  b.Prop("Images", &S::Images, &S::SetImages);
  b.Prop("Indent", &S::Indent, &S::SetIndent).Default(19);
  b.Prop("Items", &S::Items, &S::SetItems);
  b.Prop("MultiSelect", &S::MultiSelect, &S::SetMultiSelect).Default(false);
  b.Prop("MultiSelectStyle", &S::MultiSelectStyle, &S::SetMultiSelectStyle).Default(TMultiSelectStyle{msControlSelect});
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Default(false);
  b.Prop("RightClickSelect", &S::RightClickSelect, &S::SetRightClickSelect).Default(false);
  b.Prop("RowSelect", &S::RowSelect, &S::SetRowSelect).Default(false);
  b.Prop("ShowButtons", &S::ShowButtons, &S::SetShowButtons).Default(true);
  b.Prop("ShowLines", &S::ShowLines, &S::SetShowLines).Default(true);
  b.Prop("ShowRoot", &S::ShowRoot, &S::SetShowRoot).Default(true);
  b.Prop("SortType", &S::SortType, &S::SetSortType).Default(stNone);
  b.Prop("StateImages", &S::StateImages, &S::SetStateImages);
  b.Prop("ToolTips", &S::ToolTips, &S::SetToolTips).Default(true);
  b.Prop("OnAddition", &S::OnAddition, &S::SetOnAddition).Type("TTVExpandedEvent");
  b.Prop("OnAdvancedCustomDraw", &S::OnAdvancedCustomDraw, &S::SetOnAdvancedCustomDraw);
  b.Prop("OnAdvancedCustomDrawItem", &S::OnAdvancedCustomDrawItem, &S::SetOnAdvancedCustomDrawItem);
  b.Prop("OnCancelEdit", &S::OnCancelEdit, &S::SetOnCancelEdit);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnChanging", &S::OnChanging, &S::SetOnChanging);
  b.Prop("OnCollapsed", &S::OnCollapsed, &S::SetOnCollapsed).Type("TTVExpandedEvent");
  b.Prop("OnCollapsing", &S::OnCollapsing, &S::SetOnCollapsing).Type("TTVCollapsingEvent");
  b.Prop("OnCompare", &S::OnCompare, &S::SetOnCompare);
  b.Prop("OnCreateNodeClass", &S::OnCreateNodeClass, &S::SetOnCreateNodeClass);
  b.Prop("OnCustomDraw", &S::OnCustomDraw, &S::SetOnCustomDraw);
  b.Prop("OnCustomDrawItem", &S::OnCustomDrawItem, &S::SetOnCustomDrawItem);
  b.Prop("OnDeletion", &S::OnDeletion, &S::SetOnDeletion).Type("TTVExpandedEvent");
  b.Prop("OnEdited", &S::OnEdited, &S::SetOnEdited);
  b.Prop("OnEditing", &S::OnEditing, &S::SetOnEditing).Type("TTVEditingEvent");
  b.Prop("OnExpanded", &S::OnExpanded, &S::SetOnExpanded).Type("TTVExpandedEvent");
  b.Prop("OnExpanding", &S::OnExpanding, &S::SetOnExpanding).Type("TTVExpandingEvent");
  b.Prop("OnGetImageIndex", &S::OnGetImageIndex, &S::SetOnGetImageIndex).Type("TTVExpandedEvent");
  b.Prop("OnGetSelectedIndex", &S::OnGetSelectedIndex, &S::SetOnGetSelectedIndex).Type("TTVExpandedEvent");
}
