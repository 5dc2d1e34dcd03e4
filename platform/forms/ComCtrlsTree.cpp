// Tree views over the "SysTreeView32" class: the nodes, their collection and the control.
#include <algorithm>
#include <cstring>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/rtl/SysUtils.h"

// ---- Nodes ----------------------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : owner_(AOwner) {}

TTreeNode::~TTreeNode() {
  deleting_ = true;
  while (!children_.empty()) delete children_.back();
  TCustomTreeView* tree = TreeView();
  if (tree != nullptr && !tree->Dying()) tree->Delete(this);
  if (owner_ != nullptr) owner_->Detach(this);
}

TCustomTreeView* TTreeNode::TreeView() const { return owner_ != nullptr ? owner_->Owner() : nullptr; }

void TTreeNode::SetText(const String& Value) {
  if (text_ == Value) return;
  text_ = Value;
  if (TCustomTreeView* tree = TreeView()) tree->UpdateItem(this);
}

void TTreeNode::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (TCustomTreeView* tree = TreeView()) tree->UpdateItem(this);
}

void TTreeNode::SetSelectedIndex(Integer Value) {
  if (selectedIndex_ == Value) return;
  selectedIndex_ = Value;
  if (TCustomTreeView* tree = TreeView()) tree->UpdateItem(this);
}

void TTreeNode::SetStateIndex(Integer Value) {
  if (stateIndex_ == Value) return;
  stateIndex_ = Value;
  if (TCustomTreeView* tree = TreeView()) tree->UpdateItem(this);
}

void TTreeNode::SetHasChildren(bool Value) {
  if (hasChildren_ == Value) return;
  hasChildren_ = Value;
  if (TCustomTreeView* tree = TreeView()) tree->UpdateItem(this);
}

TTreeNode* TTreeNode::Item(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw ETreeViewError(comctrlsconsts::SInvalidIndex);
  return children_[static_cast<size_t>(Index)];
}

Integer TTreeNode::Index() const {
  if (owner_ == nullptr) return -1;
  const std::vector<TTreeNode*>& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.begin(), siblings.end(), this);
  return it == siblings.end() ? -1 : static_cast<Integer>(it - siblings.begin());
}

Integer TTreeNode::AbsoluteIndex() const {
  Integer index = 0;
  for (TTreeNode* n = owner_ != nullptr ? owner_->GetFirstNode() : nullptr; n != nullptr; n = n->GetNext()) {
    if (n == this) return index;
    ++index;
  }
  return -1;
}

Integer TTreeNode::Level() const {
  Integer level = 0;
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
  return level;
}

Integer TTreeNode::IndexOf(TTreeNode* Value) const {
  auto it = std::find(children_.begin(), children_.end(), Value);
  return it == children_.end() ? -1 : static_cast<Integer>(it - children_.begin());
}

bool TTreeNode::Expanded() const { return expanded_; }

void TTreeNode::SetExpanded(bool Value) {
  if (Value) {
    Expand(false);
  } else {
    Collapse(false);
  }
}

void TTreeNode::Expand(bool Recurse) {
  TCustomTreeView* tree = TreeView();
  if (!expanded_ && HasChildren() && (tree == nullptr || tree->CanExpand(this))) {
    expanded_ = true;
    if (tree != nullptr && tree->HandleAllocated() && itemId_ != nullptr) {
      tree->expanding_ = true;
      ::SendMessage(tree->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(itemId_));
      tree->expanding_ = false;
    }
    if (tree != nullptr) tree->Expand(this);
  }
  if (Recurse) {
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Expand(true);
  }
}

void TTreeNode::Collapse(bool Recurse) {
  TCustomTreeView* tree = TreeView();
  if (expanded_ && (tree == nullptr || tree->CanCollapse(this))) {
    expanded_ = false;
    if (tree != nullptr && tree->HandleAllocated() && itemId_ != nullptr) {
      tree->expanding_ = true;
      ::SendMessage(tree->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(itemId_));
      tree->expanding_ = false;
    }
    if (tree != nullptr) tree->Collapse(this);
  }
  if (Recurse) {
    for (TTreeNode* child : std::vector<TTreeNode*>(children_)) child->Collapse(true);
  }
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tree = TreeView();
  return tree != nullptr && tree->Selected() == this;
}

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* tree = TreeView();
  if (tree == nullptr) return;
  if (Value) {
    tree->SetSelected(this);
  } else if (Selected()) {
    tree->SetSelected(nullptr);
  }
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) {
    if (!p->expanded_) return false;
  }
  return true;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  if (owner_ == nullptr) return nullptr;
  const std::vector<TTreeNode*>& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end() || ++it == siblings.end()) return nullptr;
  return *it;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  if (owner_ == nullptr) return nullptr;
  const std::vector<TTreeNode*>& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end() || it == siblings.begin()) return nullptr;
  return *(it - 1);
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n != nullptr; n = n->parent_) {
    if (TTreeNode* next = n->GetNextSibling()) return next;
  }
  return nullptr;
}

TTreeNode* TTreeNode::GetLastDescendant() const {
  const TTreeNode* n = this;
  while (!n->children_.empty()) n = n->children_.back();
  return const_cast<TTreeNode*>(n);
}

TTreeNode* TTreeNode::GetPrev() const {
  if (TTreeNode* prev = GetPrevSibling()) return prev->GetLastDescendant();
  return parent_;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (expanded_ && !children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n != nullptr; n = n->parent_) {
    if (TTreeNode* next = n->GetNextSibling()) return next;
  }
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  TTreeNode* prev = GetPrevSibling();
  if (prev == nullptr) return parent_;
  while (prev->expanded_ && !prev->children_.empty()) prev = prev->children_.back();
  return prev;
}

bool TTreeNode::HasAsParent(TTreeNode* Value) const {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) {
    if (p == Value) return true;
  }
  return false;
}

void TTreeNode::Delete() { delete this; }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) delete children_.back();
  hasChildren_ = false;
  expanded_ = false;
}

namespace {

void SortNodes(std::vector<TTreeNode*>& Nodes, TCustomTreeView* Tree, bool Recurse) {
  std::stable_sort(Nodes.begin(), Nodes.end(), [Tree](TTreeNode* a, TTreeNode* b) {
    Integer compare = 0;
    if (Tree != nullptr && Tree->OnCompare()) {
      Tree->OnCompare()(Tree, a, b, 0, compare);
    } else {
      compare = AnsiCompareText(a->Text(), b->Text());
    }
    return compare < 0;
  });
  if (!Recurse) return;
  for (TTreeNode* n : Nodes) {
    if (n->Count() > 0) n->AlphaSort(true);
  }
}

}  // namespace

bool TTreeNode::AlphaSort(bool ARecurse) {
  SortNodes(children_, TreeView(), ARecurse);
  if (TCustomTreeView* tree = TreeView()) tree->RecreateItems();
  return true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TRect r{0, 0, 0, 0};
  TCustomTreeView* tree = TreeView();
  if (tree == nullptr || !tree->HandleAllocated() || itemId_ == nullptr) return r;
  RECT rect{};
  HTREEITEM item = itemId_;
  std::memcpy(static_cast<void*>(&rect), &item, sizeof item);
  if (::SendMessage(tree->Handle(), TVM_GETITEMRECT, TextOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect))) {
    r = TRect(rect);
  }
  return r;
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* p = parent_; p != nullptr; p = p->parent_) p->Expand(false);
  TCustomTreeView* tree = TreeView();
  if (tree != nullptr && tree->HandleAllocated() && itemId_ != nullptr) {
    ::SendMessage(tree->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(itemId_));
  }
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this || (Destination != nullptr && Destination->HasAsParent(this))) {
    throw ETreeViewError("Cannot move a node onto itself or one of its children");
  }
  TTreeNodes* nodes = owner_;
  TTreeNode* parent = nullptr;
  size_t index = 0;
  nodes->Detach(this);
  std::vector<TTreeNode*>& destSiblings = nodes->SiblingsOf(Destination != nullptr ? Destination->parent_ : nullptr);
  auto position = [&](TTreeNode* n) {
    return static_cast<size_t>(std::find(destSiblings.begin(), destSiblings.end(), n) - destSiblings.begin());
  };
  switch (Mode) {
    case naAdd:
      parent = Destination != nullptr ? Destination->parent_ : nullptr;
      index = nodes->SiblingsOf(parent).size();
      break;
    case naAddFirst: parent = Destination != nullptr ? Destination->parent_ : nullptr; break;
    case naAddChild:
      parent = Destination;
      index = nodes->SiblingsOf(parent).size();
      break;
    case naAddChildFirst: parent = Destination; break;
    case naInsert:
      parent = Destination != nullptr ? Destination->parent_ : nullptr;
      index = Destination != nullptr ? position(Destination) : 0;
      break;
  }
  parent_ = parent;
  std::vector<TTreeNode*>& siblings = nodes->SiblingsOf(parent);
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(std::min(index, siblings.size())), this);
  if (TCustomTreeView* tree = TreeView()) tree->RecreateItems();
}

void TTreeNode::Assign(TPersistent* Source) {
  if (auto* node = dynamic_cast<TTreeNode*>(Source)) {
    SetText(node->text_);
    SetImageIndex(node->imageIndex_);
    SetSelectedIndex(node->selectedIndex_);
    SetStateIndex(node->stateIndex_);
    overlayIndex_ = node->overlayIndex_;
    data_ = node->data_;
    hasChildren_ = node->hasChildren_;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- The nodes of a tree view ---------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : owner_(AOwner) {}

TTreeNodes::~TTreeNodes() { Clear(); }

std::vector<TTreeNode*>& TTreeNodes::SiblingsOf(TTreeNode* Parent) {
  return Parent != nullptr ? Parent->children_ : roots_;
}

Integer TTreeNodes::Count() const {
  Integer count = 0;
  for (TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::Item(Integer Index) const {
  if (Index >= 0) {
    Integer i = 0;
    for (TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext()) {
      if (i++ == Index) return n;
    }
  }
  throw ETreeViewError(comctrlsconsts::SInvalidIndex);
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (ItemId == nullptr) return nullptr;
  for (TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext()) {
    if (n->itemId_ == ItemId) return n;
  }
  return nullptr;
}

void TTreeNodes::Attach(TTreeNode* Node, TTreeNode* Parent, size_t Index) {
  std::vector<TTreeNode*>& siblings = SiblingsOf(Parent);
  Index = std::min(Index, siblings.size());
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(Index), Node);
  Node->parent_ = Parent;
  if (owner_ != nullptr && owner_->HandleAllocated()) {
    owner_->InsertItem(Node, Index > 0 ? siblings[Index - 1] : nullptr);
    // The parent shows its button now.
    if (Parent != nullptr && siblings.size() == 1) owner_->UpdateItem(Parent);
  }
}

void TTreeNodes::Detach(TTreeNode* Node) {
  std::vector<TTreeNode*>& siblings = SiblingsOf(Node->parent_);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), Node), siblings.end());
  if (owner_ != nullptr) {
    if (owner_->selected_ == Node) owner_->selected_ = nullptr;
    if (owner_->HandleAllocated() && Node->itemId_ != nullptr && !owner_->Dying()) {
      HTREEITEM item = Node->itemId_;
      Node->itemId_ = nullptr;
      ::SendMessage(owner_->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    }
  }
  Node->itemId_ = nullptr;
  if (Node->parent_ != nullptr && Node->parent_->children_.empty()) Node->parent_->expanded_ = false;
}

TTreeNode* TTreeNodes::AddAt(TTreeNode* Parent, size_t Index, const String& S, void* Ptr) {
  auto* node = new TTreeNode(this);
  node->text_ = S;
  node->data_ = Ptr;
  Attach(node, Parent, Index);
  if (TCustomTreeView* view = Owner()) view->Added(node);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  TTreeNode* parent = Sibling != nullptr ? Sibling->parent_ : nullptr;
  return AddAt(parent, SiblingsOf(parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr) {
  return AddAt(Sibling != nullptr ? Sibling->parent_ : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) {
  return AddAt(Parent, SiblingsOf(Parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr) {
  return AddAt(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  if (Sibling == nullptr) return AddObject(nullptr, S, Ptr);
  Integer index = Sibling->Index();
  return AddAt(Sibling->parent_, static_cast<size_t>(std::max<Integer>(0, index)), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (Node != nullptr) delete Node;
}

void TTreeNodes::Clear() {
  while (!roots_.empty()) delete roots_.back();
}

bool TTreeNodes::AlphaSort(bool ARecurse) {
  SortNodes(roots_, owner_, ARecurse);
  if (owner_ != nullptr) owner_->RecreateItems();
  return true;
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0 && owner_ != nullptr && owner_->HandleAllocated()) {
    ::SendMessage(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
  }
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && owner_ != nullptr && owner_->HandleAllocated()) {
    ::SendMessage(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    owner_->Invalidate();
  }
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TTreeNodes*>(Source);
  if (source == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  // Copies a subtree under Parent.
  auto copy = [this](auto& self, TTreeNode* From, TTreeNode* Parent) -> void {
    TTreeNode* node = AddChildObject(Parent, From->Text(), From->Data());
    node->Assign(From);
    for (TTreeNode* child : From->children_) self(self, child, node);
    if (From->expanded_) node->Expand(false);
  };
  for (TTreeNode* root : source->roots_) copy(copy, root, nullptr);
  EndUpdate();
}

// ---- Tree views -----------------------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), items_(new TTreeNodes(this)), canvas_(new TControlCanvas) {
  SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
  canvas_->SetControl(this);
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
  destroying_ = true;
  items_.reset();
  canvas_->SetControl(nullptr);
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEW);
  if (showLines_) Params.Style |= TVS_HASLINES;
  if (showRoot_) Params.Style |= TVS_LINESATROOT;
  if (showButtons_) Params.Style |= TVS_HASBUTTONS;
  if (!readOnly_) Params.Style |= TVS_EDITLABELS;
  if (!hideSelection_) Params.Style |= TVS_SHOWSELALWAYS;
  if (rowSelect_) Params.Style |= TVS_FULLROWSELECT;
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::InsertItem(TTreeNode* Node, TTreeNode* Prior) {
  TVINSERTSTRUCTA insert;
  insert.hParent = Node->parent_ != nullptr ? Node->parent_->itemId_ : TVI_ROOT;
  insert.hInsertAfter = Prior != nullptr ? Prior->itemId_ : TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
  insert.item.pszText = const_cast<char*>(Node->text_.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(Node);
  insert.item.iImage = Node->imageIndex_;
  insert.item.iSelectedImage = Node->selectedIndex_;
  insert.item.cChildren = Node->HasChildren() ? 1 : 0;
  insert.item.stateMask = TVIS_STATEIMAGEMASK;
  insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(std::max<Integer>(0, Node->stateIndex_)));
  Node->itemId_ = reinterpret_cast<HTREEITEM>(
      ::SendMessage(Handle(), TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
  TTreeNode* prior = nullptr;
  for (TTreeNode* child : Node->children_) {
    InsertItem(child, prior);
    prior = child;
  }
  if (Node->expanded_ && Node->itemId_ != nullptr) {
    expanding_ = true;
    ::SendMessage(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->itemId_));
    expanding_ = false;
  }
}

void TCustomTreeView::UpdateItem(TTreeNode* Node) {
  if (!HandleAllocated() || Node->itemId_ == nullptr) return;
  TVITEMA item;
  item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
  item.hItem = Node->itemId_;
  item.pszText = const_cast<char*>(Node->text_.c_str());
  item.iImage = Node->imageIndex_;
  item.iSelectedImage = Node->selectedIndex_;
  item.cChildren = Node->HasChildren() ? 1 : 0;
  item.stateMask = TVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(std::max<Integer>(0, Node->stateIndex_)));
  ::SendMessage(Handle(), TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomTreeView::RecreateItems() {
  if (!HandleAllocated()) return;
  TTreeNode* selected = Selected();
  rebuilding_ = true;
  try {
    for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) n->itemId_ = nullptr;
    ::SendMessage(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    TTreeNode* prior = nullptr;
    for (TTreeNode* root : items_->roots_) {
      InsertItem(root, prior);
      prior = root;
    }
    if (selected != nullptr && selected->itemId_ != nullptr) {
      ::SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected->itemId_));
    }
  } catch (...) {
    rebuilding_ = false;
    throw;
  }
  rebuilding_ = false;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessage(Handle(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  TTreeNode* selected = selected_;
  rebuilding_ = true;
  try {
    TTreeNode* prior = nullptr;
    for (TTreeNode* root : items_->roots_) {
      InsertItem(root, prior);
      prior = root;
    }
    if (selected != nullptr && selected->itemId_ != nullptr) {
      ::SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected->itemId_));
    }
  } catch (...) {
    rebuilding_ = false;
    throw;
  }
  rebuilding_ = false;
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated()) {
    selected_ = Selected();
    rebuilding_ = true;
    for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) n->itemId_ = nullptr;
    rebuilding_ = false;
  }
  TWinControl::DestroyWnd();
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM Item) const {
  if (Item == nullptr || !HandleAllocated()) return nullptr;
  TVITEMA item;
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = Item;
  if (!::SendMessage(const_cast<TCustomTreeView*>(this)->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item))) {
    return nullptr;
  }
  return reinterpret_cast<TTreeNode*>(item.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return selected_;
  auto item = reinterpret_cast<HTREEITEM>(
      ::SendMessage(const_cast<TCustomTreeView*>(this)->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  return NodeOf(item);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (Value != nullptr && Value->TreeView() != this) return;
  if (!HandleAllocated()) {
    selected_ = Value;
    return;
  }
  ::SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET,
                reinterpret_cast<LPARAM>(Value != nullptr ? Value->itemId_ : nullptr));
}

TTreeNode* TCustomTreeView::TopItem() const {
  if (!HandleAllocated()) return items_->GetFirstNode();
  auto item = reinterpret_cast<HTREEITEM>(
      ::SendMessage(const_cast<TCustomTreeView*>(this)->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  return NodeOf(item);
}

void TCustomTreeView::SetStyleBit(DWORD Bit, bool On) {
  if (!HandleAllocated()) return;
  LONG_PTR style = ::GetWindowLongPtr(Handle(), GWL_STYLE);
  style = On ? (style | static_cast<LONG_PTR>(Bit)) : (style & ~static_cast<LONG_PTR>(Bit));
  ::SetWindowLongPtr(Handle(), GWL_STYLE, style);
  Invalidate();
}

void TCustomTreeView::SetReadOnly(bool Value) {
  readOnly_ = Value;
  SetStyleBit(TVS_EDITLABELS, !Value);
}

void TCustomTreeView::SetShowLines(bool Value) {
  showLines_ = Value;
  SetStyleBit(TVS_HASLINES, Value);
}

void TCustomTreeView::SetShowRoot(bool Value) {
  showRoot_ = Value;
  SetStyleBit(TVS_LINESATROOT, Value);
}

void TCustomTreeView::SetShowButtons(bool Value) {
  showButtons_ = Value;
  SetStyleBit(TVS_HASBUTTONS, Value);
}

void TCustomTreeView::SetHideSelection(bool Value) {
  hideSelection_ = Value;
  SetStyleBit(TVS_SHOWSELALWAYS, !Value);
}

void TCustomTreeView::SetRowSelect(bool Value) {
  rowSelect_ = Value;
  SetStyleBit(TVS_FULLROWSELECT, Value);
}

void TCustomTreeView::SetIndent(Integer Value) {
  if (indent_ == Value) return;
  indent_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), TVM_SETINDENT, static_cast<WPARAM>(Value), 0);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_ != nullptr) images_->FreeNotification(this);
  Invalidate();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (stateImages_ != nullptr) stateImages_->RemoveFreeNotification(this);
  stateImages_ = Value;
  if (stateImages_ != nullptr) stateImages_->FreeNotification(this);
  Invalidate();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) images_ = nullptr;
  if (AComponent == stateImages_) stateImages_ = nullptr;
}

TTreeNode* TCustomTreeView::GetNodeAt(Integer X, Integer Y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO info;
  info.pt = POINT{X, Y};
  ::SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  return NodeOf(info.hItem);
}

THitTests TCustomTreeView::GetHitTestInfoAt(Integer X, Integer Y) {
  THitTests result;
  if (!HandleAllocated()) return result;
  TVHITTESTINFO info;
  info.pt = POINT{X, Y};
  ::SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  UINT f = info.flags;
  if (f & TVHT_ABOVE) result.Include(htAbove);
  if (f & TVHT_BELOW) result.Include(htBelow);
  if (f & TVHT_NOWHERE) result.Include(htNowhere);
  if ((f & TVHT_ONITEM) != 0) result.Include(htOnItem);
  if (f & TVHT_ONITEMBUTTON) result.Include(htOnButton);
  if (f & TVHT_ONITEMICON) result.Include(htOnIcon);
  if (f & TVHT_ONITEMINDENT) result.Include(htOnIndent);
  if (f & TVHT_ONITEMLABEL) result.Include(htOnLabel);
  if (f & TVHT_ONITEMRIGHT) result.Include(htOnRight);
  if (f & TVHT_ONITEMSTATEICON) result.Include(htOnStateIcon);
  if (f & TVHT_TOLEFT) result.Include(htToLeft);
  if (f & TVHT_TORIGHT) result.Include(htToRight);
  return result;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* root : std::vector<TTreeNode*>(items_->roots_)) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* root : std::vector<TTreeNode*>(items_->roots_)) root->Collapse(true);
}

bool TCustomTreeView::AlphaSort(bool ARecurse) { return items_->AlphaSort(ARecurse); }

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  onChanging_(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { onChange_(this, Node); }

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  onExpanding_(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) { onExpanded_(this, Node); }

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  onCollapsing_(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) { onCollapsed_(this, Node); }

void TCustomTreeView::Delete(TTreeNode* Node) {
  selections_.erase(std::remove(selections_.begin(), selections_.end(), Node), selections_.end());
  onDeletion_(this, Node);
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(static_cast<TWMNotify&>(Message));
    return;
  }
  TWinControl::Dispatch(Message);
}

namespace {

TCustomDrawState DrawStateOf(UINT ItemState) {
  TCustomDrawState state;
  if (ItemState & CDIS_SELECTED) state.Include(cdsSelected);
  if (ItemState & CDIS_GRAYED) state.Include(cdsGrayed);
  if (ItemState & CDIS_DISABLED) state.Include(cdsDisabled);
  if (ItemState & CDIS_CHECKED) state.Include(cdsChecked);
  if (ItemState & CDIS_FOCUS) state.Include(cdsFocused);
  if (ItemState & CDIS_DEFAULT) state.Include(cdsDefault);
  if (ItemState & CDIS_HOT) state.Include(cdsHot);
  if (ItemState & CDIS_MARKED) state.Include(cdsMarked);
  if (ItemState & CDIS_INDETERMINATE) state.Include(cdsIndeterminate);
  return state;
}

}  // namespace

void TCustomTreeView::CNNotify(TWMNotify& Message) {
  NMHDR* hdr = Message.NMHdr();
  Message.Result = 0;
  if (rebuilding_ || Dying()) return;
  switch (hdr->code) {
    case TVN_SELCHANGING: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      Message.Result = CanChange(NodeOf(nm->itemNew.hItem)) ? 0 : 1;
      break;
    }
    case TVN_SELCHANGED: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      Change(NodeOf(nm->itemNew.hItem));
      break;
    }
    case TVN_ITEMEXPANDING: {
      if (expanding_) break;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = NodeOf(nm->itemNew.hItem);
      if (node == nullptr) break;
      bool allow = (nm->action & TVE_EXPAND) != 0 ? CanExpand(node) : CanCollapse(node);
      Message.Result = allow ? 0 : 1;
      break;
    }
    case TVN_ITEMEXPANDED: {
      if (expanding_) break;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = NodeOf(nm->itemNew.hItem);
      if (node == nullptr) break;
      node->expanded_ = (nm->itemNew.state & TVIS_EXPANDED) != 0;
      if (node->expanded_) {
        Expand(node);
      } else {
        Collapse(node);
      }
      break;
    }
    case NM_CUSTOMDRAW: {
      auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(hdr);
      if (!onCustomDrawItem_) {
        Message.Result = CDRF_DODEFAULT;
        break;
      }
      if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
        Message.Result = CDRF_NOTIFYITEMDRAW;
        break;
      }
      if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) break;
      TTreeNode* node = reinterpret_cast<TTreeNode*>(cd->nmcd.lItemlParam);
      if (node == nullptr) node = NodeOf(reinterpret_cast<HTREEITEM>(cd->nmcd.dwItemSpec));
      if (node == nullptr) break;
      canvas_->SetHandle(cd->nmcd.hdc);
      bool defaultDraw = true;
      try {
        canvas_->SetFont(Font());
        canvas_->Brush()->SetColor(Color());
        canvas_->Brush()->SetStyle(bsSolid);
        onCustomDrawItem_(this, node, DrawStateOf(cd->nmcd.uItemState), defaultDraw);
        cd->clrText = static_cast<COLORREF>(ColorToRGB(canvas_->Font()->Color()));
        cd->clrTextBk = static_cast<COLORREF>(ColorToRGB(canvas_->Brush()->Color()));
      } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
      }
      canvas_->SetHandle(nullptr);
      Message.Result = defaultDraw ? CDRF_NEWFONT : CDRF_SKIPDEFAULT;
      break;
    }
    default: break;
  }
}

// ---- Multiple selection and the kept settings ------------------------------------------------------------

void TCustomTreeView::Added(TTreeNode* Node) {
  if (!Dying()) onAddition_(this, Node);
}

void TCustomTreeView::SetMultiSelect(bool Value) {
  if (multiSelect_ == Value) return;
  multiSelect_ = Value;
  if (!Value) ClearSelection(true);
}

void TCustomTreeView::SetHotTrack(bool Value) {
  if (hotTrack_ == Value) return;
  hotTrack_ = Value;
  SetStyleBit(TVS_TRACKSELECT, Value);
}

void TCustomTreeView::SetToolTips(bool Value) {
  if (toolTips_ == Value) return;
  toolTips_ = Value;
  SetStyleBit(TVS_NOTOOLTIPS, !Value);
}

void TCustomTreeView::SetSortType(TSortType Value) {
  if (sortType_ == Value) return;
  sortType_ = Value;
  if (Value == stText || Value == stBoth) AlphaSort(true);
}

void TCustomTreeView::SetSelections(const std::vector<TTreeNode*>& Nodes) {
  selections_.clear();
  for (TTreeNode* node : Nodes)
    if (node != nullptr && node->TreeView() == this &&
        std::find(selections_.begin(), selections_.end(), node) == selections_.end())
      selections_.push_back(node);
  SetSelected(selections_.empty() ? nullptr : selections_.front());
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::Select(TTreeNode* Node, TShiftState ShiftState) {
  if (Node == nullptr) return;
  TTreeNode* primary = Selected();
  if (multiSelect_ && ShiftState.Contains(ssCtrl) && multiSelectStyle_.Contains(msControlSelect)) {
    if (std::find(selections_.begin(), selections_.end(), Node) != selections_.end())
      Deselect(Node);
    else
      Subselect(Node);
    return;
  }
  if (multiSelect_ && ShiftState.Contains(ssShift) && multiSelectStyle_.Contains(msShiftSelect) &&
      primary != nullptr && primary->Parent() == Node->Parent()) {
    // The run of siblings from the primary node to Node, the primary node staying first.
    std::vector<TTreeNode*> run{primary};
    const std::vector<TTreeNode*>& siblings = items_->SiblingsOf(Node->Parent());
    const auto a = std::find(siblings.begin(), siblings.end(), primary);
    const auto b = std::find(siblings.begin(), siblings.end(), Node);
    const auto [first, last] = a < b ? std::pair{a, b} : std::pair{b, a};
    for (auto it = first; it != siblings.end() && it <= last; ++it)
      if (*it != primary) run.push_back(*it);
    SetSelections(run);
    return;
  }
  SetSelections({Node});
}

void TCustomTreeView::Select(const std::vector<TTreeNode*>& Nodes) {
  if (!multiSelect_ && Nodes.size() > 1) return SetSelections({Nodes.front()});
  SetSelections(Nodes);
}

void TCustomTreeView::Select(TList* Nodes) {
  std::vector<TTreeNode*> nodes;
  for (Integer i = 0; Nodes != nullptr && i < Nodes->Count(); ++i) nodes.push_back(static_cast<TTreeNode*>(Nodes->Items(i)));
  Select(nodes);
}

void TCustomTreeView::Subselect(TTreeNode* Node, bool Validate) {
  if (Node == nullptr || Node->TreeView() != this) return;
  if (!multiSelect_ || (Validate && !multiSelectStyle_.Contains(msControlSelect))) return SetSelections({Node});
  if (std::find(selections_.begin(), selections_.end(), Node) != selections_.end()) return;
  if (selections_.empty() && Selected() != nullptr && Selected() != Node) selections_.push_back(Selected());
  selections_.push_back(Node);
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::Deselect(TTreeNode* Node) {
  const auto it = std::find(selections_.begin(), selections_.end(), Node);
  if (it == selections_.end()) return;
  const bool primary = it == selections_.begin();
  selections_.erase(it);
  if (primary) SetSelected(selections_.empty() ? nullptr : selections_.front());
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::ClearSelection(bool KeepPrimary) {
  TTreeNode* primary = KeepPrimary ? Selected() : nullptr;
  selections_.clear();
  if (primary != nullptr) selections_.push_back(primary);
  if (!KeepPrimary) SetSelected(nullptr);
  if (HandleAllocated()) Invalidate();
}

TTreeNode* TCustomTreeView::FindNextToSelect() { return selections_.size() > 1 ? selections_[1] : nullptr; }
