// The system colour brushes and the solid brush cache.
#include "controls/foundation/uiEditPaintUtils.h"

#include <algorithm>
#include <array>

#include "controls/foundation/uiLookAndFeels.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"

namespace {

constexpr Integer kSystemBrushCount = 31;
constexpr Integer kDefaultCapacity = 128;

// The system's brushes of the system colours 0 to 30, while the unit runs.
bool systemBrushesMade = false;
std::array<HBRUSH, kSystemBrushCount> systemColorBrushes{};

TuiSolidBrushCache* brushCache = nullptr;

Cardinal AsUnsigned(TColor AColor) { return static_cast<Cardinal>(AColor); }

k58::foundation::TSolidBrushFactory WithDefaults(k58::foundation::TSolidBrushFactory AFactory) {
  if (!AFactory.Create) AFactory.Create = [](COLORREF AColor) { return ::CreateSolidBrush(AColor); };
  if (!AFactory.Delete) AFactory.Delete = [](HBRUSH ABrush) { ::DeleteObject(ABrush); };
  return AFactory;
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiSolidBrushCache) {}

TuiSolidBrushCache::TuiSolidBrushCache() : TuiSolidBrushCache(kDefaultCapacity) {}

TuiSolidBrushCache::TuiSolidBrushCache(Integer ACapacity, k58::foundation::TSolidBrushFactory AFactory)
    : colors_(static_cast<size_t>(std::max(ACapacity, 1))),
      brushes_(colors_.size()),
      useCounts_(colors_.size()),
      capacity_(static_cast<Integer>(colors_.size())),
      factory_(WithDefaults(std::move(AFactory))),
      paletteNotifier_(std::make_unique<TuiSystemPaletteChangedNotifier>(true)) {
  paletteNotifier_->SetOnPaletteChanged([this](TObject*) { PaletteChanged(); });
}

TuiSolidBrushCache::~TuiSolidBrushCache() {
  paletteNotifier_.reset();
  DeleteAllBrushes();
}

HBRUSH TuiSolidBrushCache::GetBrush(TColor AColor) {
  const Cardinal value = AsUnsigned(AColor);
  if (systemBrushesMade && value >= AsUnsigned(clSystemColor) && value < AsUnsigned(clSystemColor) + kSystemBrushCount)
    return systemColorBrushes[value & 0x00FFFFFF];
  Integer index = 0;
  if (FindColor(AColor, index)) {
    ++useCounts_[static_cast<size_t>(index)];
    return brushes_[static_cast<size_t>(index)];
  }
  return InsertBrush(index, AColor);
}

void TuiSolidBrushCache::DeleteAllBrushes() {
  for (Integer i = 0; i < count_; ++i) factory_.Delete(brushes_[static_cast<size_t>(i)]);
  count_ = 0;
}

void TuiSolidBrushCache::PaletteChanged() { DeleteAllBrushes(); }

bool TuiSolidBrushCache::FindColor(TColor AColor, Integer& AIndex) const {
  if (count_ == 0) {
    AIndex = 0;
    return false;
  }
  const Cardinal value = AsUnsigned(AColor);
  auto at = [this](Integer I) { return AsUnsigned(colors_[static_cast<size_t>(I)]); };
  Integer lo = 0, hi = count_ - 1;
  while (hi - lo > 1) {
    const Integer mid = (lo + hi) / 2;
    if (at(mid) == value) {
      AIndex = mid;
      return true;
    }
    if (value > at(mid))
      lo = mid;
    else
      hi = mid;
  }
  AIndex = value <= at(lo) ? lo : value <= at(hi) ? hi : hi + 1;
  return AIndex < count_ && at(AIndex) == value;
}

Integer TuiSolidBrushCache::FindLeastUsed() const {
  Integer least = 0;
  for (Integer i = 1; i < count_; ++i)
    if (useCounts_[static_cast<size_t>(i)] < useCounts_[static_cast<size_t>(least)]) least = i;
  return least;
}

HBRUSH TuiSolidBrushCache::InsertBrush(Integer AIndex, TColor AColor) {
  auto moveDown = [](auto& AArray, Integer AFrom, Integer ACount) {  // entries after AFrom one place down
    std::move(AArray.begin() + AFrom + 1, AArray.begin() + ACount, AArray.begin() + AFrom);
  };
  auto moveUp = [](auto& AArray, Integer AFrom, Integer ACount) {  // entries from AFrom one place up
    std::move_backward(AArray.begin() + AFrom, AArray.begin() + ACount, AArray.begin() + ACount + 1);
  };
  if (count_ == capacity_) {
    const Integer evicted = FindLeastUsed();
    factory_.Delete(brushes_[static_cast<size_t>(evicted)]);
    --count_;
    if (evicted < count_) {
      moveDown(colors_, evicted, count_ + 1);
      moveDown(brushes_, evicted, count_ + 1);
      moveDown(useCounts_, evicted, count_ + 1);
    }
    if (evicted < AIndex) --AIndex;
  }
  if (AIndex < count_) {
    moveUp(colors_, AIndex, count_);
    moveUp(brushes_, AIndex, count_);
    moveUp(useCounts_, AIndex, count_);
  }
  ++count_;
  const HBRUSH brush = factory_.Create(ColorToRGB(AColor));
  colors_[static_cast<size_t>(AIndex)] = AColor;
  brushes_[static_cast<size_t>(AIndex)] = brush;
  useCounts_[static_cast<size_t>(AIndex)] = 0;
  return brush;
}

HBRUSH GetSolidBrush(TColor AColor) {
  if (brushCache == nullptr) throw EInvalidOperation("The solid brush cache is used before its unit started");
  return brushCache->GetBrush(AColor);
}

namespace k58::foundation {

TuiSolidBrushCache* SolidBrushCache() { return brushCache; }

void StartEditPaintUtilsUnit() {
  for (Integer i = 0; i < kSystemBrushCount; ++i) systemColorBrushes[static_cast<size_t>(i)] = ::GetSysColorBrush(i);
  systemBrushesMade = true;
  if (brushCache == nullptr) brushCache = new TuiSolidBrushCache(kDefaultCapacity);
}

void StopEditPaintUtilsUnit() {
  FreeAndNil(brushCache);
  systemBrushesMade = false;
  systemColorBrushes.fill(nullptr);
}

}  // namespace k58::foundation
