// The go dialog, the tab image list and the tab slants.
#include "controls/extra/uiPCGoDialog.h"

#include "controls/extra/uiPC.h"
#include "controls/foundation/uiGraphics.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Format.h"

K58_IMPLEMENT_CLASS(TuiPCGoDialog) {}
K58_IMPLEMENT_CLASS(TuiPCImageList) {}
K58_IMPLEMENT_CLASS(TuiTabSlants) {
  b.Prop("Kind", &TuiTabSlants::Kind, &TuiTabSlants::SetKind).Default(skSlant);
  b.Prop("Positions", &TuiTabSlants::Positions, &TuiTabSlants::SetPositions)
      .Default(TuiTabSlantPositions().Include(spLeft));
}

// ---- Go dialog ----

TuiPCGoDialog::TuiPCGoDialog(TuiCustomTabControl* AControl) : TPopupMenu(nullptr), control_(AControl) {}

void TuiPCGoDialog::Fill(bool ASorted) {
  Items()->Clear();
  TuiTabs* tabs = control_->Tabs();
  for (Integer index : GoDialogTabIndexes(*tabs, ASorted)) {
    if (!tabs->GetTab(index)->IsEnabledForUser()) continue;
    auto* item = new TMenuItem(this);
    item->SetCaption(tabs->GetTab(index)->Caption());
    item->SetTag(index);
    item->SetOnClick(TNotifyEvent(this, &TuiPCGoDialog::ItemClick));
    Items()->Add(item);
  }
}

void TuiPCGoDialog::PopupAtGoButton(bool ASorted) {
  Fill(ASorted);
  TRect r;
  control_->Painter()->GetGoDialogButtonBounds(r);
  const TPoint p = control_->ClientToScreen(TPoint{r.left, r.bottom});
  Popup(p.x, p.y);
}

void TuiPCGoDialog::ItemClick(TObject* Sender) {
  if (OnTabClick.Assigned()) OnTabClick(static_cast<TMenuItem*>(Sender)->Tag());
}

// ---- Image list ----

TuiPCImageList::TuiPCImageList(TuiCustomTabControl* AParent)
    : changeLink_(std::make_unique<TChangeLink>()), parent_(AParent) {
  changeLink_->SetOnChange(TNotifyEvent(this, &TuiPCImageList::BaseImagesChanged));
}

TuiPCImageList::~TuiPCImageList() { UnlinkBaseImages(); }

void TuiPCImageList::UnlinkBaseImages() {
  // A list being freed has already let go of its links (their sender is cleared).
  if (baseImages_ != nullptr && changeLink_->Sender() == baseImages_) baseImages_->UnRegisterChanges(changeLink_.get());
}

void TuiPCImageList::SetBaseImages(TCustomImageList* Value) {
  if (baseImages_ == Value) return;
  UnlinkBaseImages();
  baseImages_ = Value;
  if (baseImages_ != nullptr) baseImages_->RegisterChanges(changeLink_.get());
  Changed();
}

void TuiPCImageList::SetRotation(Integer Value) {
  rotation_ = Value;
  Changed();
}

void TuiPCImageList::BaseImagesChanged(TObject*) { Changed(); }

void TuiPCImageList::Changed() {
  rotated_.clear();
  if (rotation_ != 0 && baseImages_ != nullptr)
    for (Integer i = 0; i < baseImages_->Count(); ++i) {
      rotated_.push_back(std::make_unique<TBitmap>());
      rotated_.back()->SetPixelFormat(pf32bit);
    }
  if (OnChange.Assigned()) OnChange(this);
}

TSize TuiPCImageList::GetImageSize() const {
  if (baseImages_ == nullptr || baseImages_->Width() <= 0 || baseImages_->Height() <= 0) return TSize{0, 0};
  return TSize{baseImages_->Width(), baseImages_->Height()};
}

TSize TuiPCImageList::GetRotatedImageSize() const {
  const TSize size = GetImageSize();
  return rotation_ != 0 ? TSize{size.cy, size.cx} : size;
}

void TuiPCImageList::DrawOnBackground(TBitmap* ABitmap, TColor ABkColor, Integer AIndex, bool AEnabled) {
  const TSize size = GetImageSize();
  ABitmap->SetPixelFormat(pf32bit);
  ABitmap->SetSize(size.cx, size.cy);
  TCanvas* c = ABitmap->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(ABkColor);
  c->FillRect(TRect{0, 0, size.cx, size.cy});
  if (OnDrawBackground.Assigned()) OnDrawBackground(ABitmap);
  baseImages_->Draw(c, 0, 0, AIndex, AEnabled);
}

void TuiPCImageList::Draw(TCanvas* ACanvas, Integer X, bool AEnabled, TColor ABkColor, Integer AIndex, Integer Y) {
  if (baseImages_ == nullptr || baseImages_->Count() == 0)
    throw Exception("TuiPCImageList.Draw: BaseImages is not assigned");
  if (AIndex < 0 || AIndex >= baseImages_->Count())
    throw Exception("TuiPCImageList.Draw: " +
                    Format("Index (%d) must be between 0 and %d", {AIndex, baseImages_->Count() - 1}));
  if (rotation_ != 0) {
    TBitmap* bitmap = rotated_.at(static_cast<size_t>(AIndex)).get();
    DrawOnBackground(bitmap, ABkColor, AIndex, AEnabled);
    if (parent_->Painter() != nullptr && parent_->Painter()->IsNativePainting()) bitmap->SetTransparent(true);
    TuiCanvas::RotateFlipBitmap(bitmap, rotation_ == 1 ? 1 : 2, false);
    ACanvas->Draw(X, Y, bitmap);
  } else if (parent_->Painter() != nullptr && parent_->Painter()->IsNativePainting()) {
    baseImages_->Draw(ACanvas, X, Y, AIndex, AEnabled);
  } else {
    TBitmap bitmap;
    DrawOnBackground(&bitmap, ABkColor, AIndex, AEnabled);
    ACanvas->Draw(X, Y, &bitmap);
  }
}

// ---- Tab slants ----

TuiTabSlants::TuiTabSlants(TuiCustomTabControl* AOwner) : owner_(AOwner) {}

TPersistent* TuiTabSlants::GetOwner() { return owner_; }

void TuiTabSlants::Assign(TPersistent* Source) {
  if (auto* slants = dynamic_cast<TuiTabSlants*>(Source)) {
    SetKind(slants->kind_);
    SetPositions(slants->positions_);
    return;
  }
  TPersistent::Assign(Source);
}

void TuiTabSlants::SetKind(TuiTabSlantKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  Changed();
}

void TuiTabSlants::SetPositions(TuiTabSlantPositions Value) {
  if (positions_ == Value) return;
  positions_ = Value;
  Changed();
}

void TuiTabSlants::Changed() {
  if (owner_ != nullptr) owner_->LayoutChanged();
}
