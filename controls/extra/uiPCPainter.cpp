// The tab painter base: the control as a painter sees it, the paint order, the clip-region stack, the
// client and frame rectangles, invalidation, and the painters factory.
#include "controls/extra/uiPCPainter.h"

#include <algorithm>

#include "controls/extra/uiPC.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/gdi/WinRect.h"

K58_IMPLEMENT_CLASS(TuiPCPainterParentInfo) {}
K58_IMPLEMENT_CLASS(TuiPCCustomPainter) {}
K58_IMPLEMENT_CLASS(TuiPCPaintersFactory) {}

// ---- Parent info ----

TuiCanvas* TuiPCPainterParentInfo::Canvas() const { return parent_->Canvas(); }
TColor TuiPCPainterParentInfo::Color() const { return parent_->Color(); }
TColor TuiPCPainterParentInfo::FontColor() const { return parent_->Font()->Color(); }
Integer TuiPCPainterParentInfo::Width() const { return parent_->Width(); }
Integer TuiPCPainterParentInfo::Height() const { return parent_->Height(); }
bool TuiPCPainterParentInfo::HideTabs() const { return parent_->HideTabs(); }
Integer TuiPCPainterParentInfo::ImageBorder() const { return parent_->ImageBorder(); }
bool TuiPCPainterParentInfo::MultiLine() const { return parent_->MultiLine(); }
bool TuiPCPainterParentInfo::RaggedRight() const { return parent_->RaggedRight(); }
bool TuiPCPainterParentInfo::Rotate() const { return parent_->Rotate(); }
bool TuiPCPainterParentInfo::ScrollOpposite() const { return parent_->ScrollOpposite(); }
bool TuiPCPainterParentInfo::ShowFrame() const { return parent_->ShowFrame(); }
Integer TuiPCPainterParentInfo::TabHeight() const { return parent_->TabHeight(); }
Integer TuiPCPainterParentInfo::TabWidth() const { return parent_->TabWidth(); }
TuiTabPosition TuiPCPainterParentInfo::TabPosition() const { return parent_->TabPosition(); }
TuiPCNavigatorPosition TuiPCPainterParentInfo::NavigatorPosition() const { return parent_->NavigatorPosition(); }
TuiPCOptions TuiPCPainterParentInfo::Options() const { return parent_->Options(); }
Integer TuiPCPainterParentInfo::ActiveTabVisibleIndex() const { return parent_->Tabs()->ActiveTab(); }
TuiPCNavigatorButtons TuiPCPainterParentInfo::NavigatorButtons() const { return parent_->NavigatorButtons(); }
TuiPCNavigatorButtonState TuiPCPainterParentInfo::NavigatorButtonState(TuiPCNavigatorButton Button) const {
  return parent_->NavigatorButtonState(Button);
}
Integer TuiPCPainterParentInfo::RowCount() const { return parent_->RowCount(); }
Integer TuiPCPainterParentInfo::SplitRow() const { return parent_->SplitRow(); }
TRect TuiPCPainterParentInfo::NearRowsArea() const { return parent_->NearRowsArea(); }
TRect TuiPCPainterParentInfo::FarRowsArea() const { return parent_->FarRowsArea(); }

bool TuiPCPainterParentInfo::HasOppositeRows() const {
  const TuiTabPosition position = parent_->TabPosition();
  if (position == tpTop || position == tpLeft) return parent_->SplitRow() != parent_->RowCount();
  return parent_->SplitRow() != 0;
}

TuiTab* TuiPCPainterParentInfo::GetTab(Integer VisibleIndex) const { return parent_->Tabs()->GetVisibleTab(VisibleIndex); }

TControl* TuiPCPainterParentInfo::GetPage(Integer VisibleIndex) const {
  return parent_->GetPage(GetTab(VisibleIndex)->Index());
}

TColor TuiPCPainterParentInfo::PageColor(Integer VisibleIndex) const {
  TControl* page = GetPage(VisibleIndex);
  return page != nullptr ? page->Color() : parent_->Color();
}

// The platform reports itself as the NT family, version 5, which has the hot-light colour.
TColor TuiPCPainterParentInfo::HotColor() const { return clHotLight; }

// ---- Painter base ----

TuiPCCustomPainter::TuiPCCustomPainter(TuiCustomTabControl* AParent)
    : parent_(AParent), parentInfo_(std::make_unique<TuiPCPainterParentInfo>(AParent)) {}

TuiPCCustomPainter::~TuiPCCustomPainter() {
  for (HRGN region : clipRegions_)
    if (region != nullptr) DeleteObject(region);
}

TuiCanvas* TuiPCCustomPainter::Canvas() const { return parent_->Canvas(); }

bool TuiPCCustomPainter::HasFrame() { return parentInfo_->ShowFrame(); }

void TuiPCCustomPainter::GetFrameRectMargins(TRect& M) {
  M = TRect{};
  if (parentInfo_->HideTabs() || parentInfo_->RowCount() == 0) return;
  const TRect r1 = parentInfo_->NearRowsArea(), r2 = parentInfo_->FarRowsArea();
  const Integer width = parentInfo_->Width(), height = parentInfo_->Height();
  const bool farRows = parentInfo_->HasOppositeRows();
  switch (parentInfo_->TabPosition()) {
    case tpTop:
      M.top = r1.bottom;
      if (farRows) M.bottom = height - r2.top;
      break;
    case tpBottom:
      M.top = height - r2.top;
      if (parentInfo_->SplitRow() != 0) M.bottom = r1.bottom;
      break;
    case tpLeft:
      M.top = r1.right;
      if (farRows) M.bottom = width - r2.left;
      break;
    case tpRight:
      M.top = width - r2.left;
      if (parentInfo_->SplitRow() != 0) M.bottom = r1.right;
      break;
  }
}

void TuiPCCustomPainter::GetClientRectMargins(TRect& M) {
  GetFrameRectMargins(M);
  if (HasFrame()) {
    const Integer w = GetFrameWidth();
    M = TRect{M.left + w, M.top + w, M.right + w, M.bottom + w};
  }
}

void TuiPCCustomPainter::CalculateClientRect(TRect& R) {
  TRect m;
  GetClientRectMargins(m);
  R = NormalizeRect(DeflateRectByRotatedMargins(TRect{0, 0, parentInfo_->Width(), parentInfo_->Height()}, m,
                                                parentInfo_->TabPosition()));
}

void TuiPCCustomPainter::CalculateFrameRect(TRect& R) {
  TRect m;
  GetFrameRectMargins(m);
  R = NormalizeRect(DeflateRectByRotatedMargins(TRect{0, 0, parentInfo_->Width(), parentInfo_->Height()}, m,
                                                parentInfo_->TabPosition()));
}

TColor TuiPCCustomPainter::GetClientColor() {
  const Integer active = parentInfo_->ActiveTabVisibleIndex();
  return active != -1 ? parentInfo_->PageColor(active) : parentInfo_->Color();
}

void TuiPCCustomPainter::DoPaint() {
  if (!parentInfo_->HideTabs()) {
    DrawButtons();
    DrawTabs();
  }
  DrawFrameAndClientArea();
}

void TuiPCCustomPainter::DrawFrameAndClientArea() {
  if (HasFrame()) DrawFrame();
  DrawClientArea();
  TRect r;
  CalculateFrameRect(r);
  Canvas()->ExcludeClipRect(r);
}

void TuiPCCustomPainter::DrawClientArea() {
  TRect r;
  CalculateClientRect(r);
  Canvas()->FillRectWithColor(r, GetClientColor());
}

void TuiPCCustomPainter::SaveClipRegion() {
  HDC dc = Canvas()->GetDCHandle();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, region) != 1) {
    DeleteObject(region);
    region = nullptr;
  }
  clipRegions_.push_back(region);
}

void TuiPCCustomPainter::RestoreClipRegion() {
  if (clipRegions_.empty()) return;
  HRGN region = clipRegions_.back();
  clipRegions_.pop_back();
  SelectClipRgn(Canvas()->GetDCHandle(), region);
  if (region != nullptr) DeleteObject(region);
}

bool TuiPCCustomPainter::SetClipRect(const TRect& R, bool AIntersect) {
  if (IsRectEmpty(&R)) return false;
  HDC dc = Canvas()->GetDCHandle();
  if (AIntersect && !RectVisible(dc, &R)) return false;
  SaveClipRegion();
  if (AIntersect) {
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
  } else {
    HRGN region = CreateRectRgnIndirect(&R);
    SelectClipRgn(dc, region);
    DeleteObject(region);
  }
  return true;
}

void TuiPCCustomPainter::InvalidateControlRect(const TRect& R) {
  if (parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &R, FALSE);
}

void TuiPCCustomPainter::InvalidateTabRect(Integer ATabVisibleIndex) {
  TRect r;
  parentInfo_->GetTab(ATabVisibleIndex)->GetVisibleRect(r);
  InvalidateControlRect(r);
}

void TuiPCCustomPainter::InvalidateRowsArea(Integer ATabVisibleIndex) {
  InvalidateControlRect(parent_->GetRowsAreaRect(ATabVisibleIndex));
}

// ---- Factory ----

namespace {

std::unique_ptr<TuiPCPaintersFactory>& FactoryInstance() {
  static std::unique_ptr<TuiPCPaintersFactory> instance;
  return instance;
}

[[noreturn]] void RaiseFactoryError(const char* Method, const char* Message) {
  throw Exception(String("TuiPCPaintersFactory.") + Method + ": " + Message);
}

}  // namespace

TuiPCPaintersFactory* TuiPCPaintersFactory::Instance() { return FactoryInstance().get(); }

void TuiPCPaintersFactory::RegisterPainterClass(TuiPCPainterClass AClass) {
  auto& instance = FactoryInstance();
  if (!instance) instance = std::make_unique<TuiPCPaintersFactory>();
  auto& classes = instance->classes_;
  if (std::find(classes.begin(), classes.end(), AClass) == classes.end()) classes.push_back(AClass);
}

void TuiPCPaintersFactory::UnregisterPainterClass(TuiPCPainterClass AClass) {
  auto& instance = FactoryInstance();
  if (!instance) return;
  auto& classes = instance->classes_;
  classes.erase(std::remove(classes.begin(), classes.end(), AClass), classes.end());
  if (classes.empty()) instance.reset();
}

TuiPCPainterClass TuiPCPaintersFactory::GetPainterClass(Integer AStyleID) const {
  for (TuiPCPainterClass c : classes_)
    if (c->GetStyleID() == AStyleID) return c;
  return nullptr;
}

TuiPCCustomPainter* TuiPCPaintersFactory::GetPainterInstance(TuiPCPainterClass AClass,
                                                             TuiCustomTabControl* AParent) const {
  if (AClass == nullptr) RaiseFactoryError("GetPainterInstance", "PCPainterClass is nil");
  return AClass->CreatePainter(AParent);
}

Integer TuiPCPaintersFactory::GetStyleIDByLookAndFeel(TuiLookAndFeel* ALookAndFeel) const {
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return -1;
}

Integer TuiPCPaintersFactory::GetDefaultStyleID(TuiLookAndFeel* ALookAndFeel) const {
  if (classes_.empty()) RaiseFactoryError("GetDefaultStyleID", "There are no styles registered");
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsNativeDefault(ALookAndFeel)) return (*it)->GetStyleID();
  return classes_.front()->GetStyleID();
}

Integer TabLookAndFeelKind(TuiLookAndFeel* ALookAndFeel) {
  return static_cast<Integer>(ALookAndFeel->GetPainterClassForObject(totTab)->GetLookAndFeelStyle());
}
