// Solid brushes for the many small plain fills of editors: the system's brushes for the system colour
// constants 0 to 30, and one process-wide cache of at most 128 brushes for every other colour, sorted by
// colour, evicting its least-used brush when full and emptied when the system colours change.
//
// A brush handle from here belongs to the cache (or to the system): callers fill with it at once and
// never delete it. A cached brush that is evicted while a device context still has it selected stays
// valid until that context lets go of it (the window layer defers the deletion).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "controls/foundation/uiGraphics.h"

class TuiSystemPaletteChangedNotifier;

namespace k58::foundation {

// How a cache makes and frees its brushes; the default is CreateSolidBrush and DeleteObject.
struct TSolidBrushFactory {
  std::function<HBRUSH(COLORREF AColor)> Create;
  std::function<void(HBRUSH ABrush)> Delete;
};

}  // namespace k58::foundation

// A table of solid brushes sorted by colour (as unsigned 32-bit numbers), each with a use count.
class TuiSolidBrushCache : public TObject {
  K58_CLASS(TuiSolidBrushCache, TObject)

  // Capacity 128.
  TuiSolidBrushCache();
  // Follows the system colours through a primary palette notifier.
  explicit TuiSolidBrushCache(Integer ACapacity, k58::foundation::TSolidBrushFactory AFactory = {});
  ~TuiSolidBrushCache() override;

  // The system's brush for the system colour constants 0 to 30 (the cache untouched); else the cached
  // brush of the colour, made (and the least-used one evicted when the table is full) on a miss.
  HBRUSH GetBrush(TColor AColor);
  // Deletes every cached brush; the table keeps its capacity.
  void DeleteAllBrushes();
  // Empties the cache (a system colour change).
  virtual void PaletteChanged();

  Integer Count() const { return count_; }
  Integer Capacity() const { return capacity_; }
  // Entry Index of the table (0 to Count - 1), in colour order.
  TColor ColorAt(Integer Index) const { return colors_[static_cast<size_t>(Index)]; }
  Cardinal UseCountAt(Integer Index) const { return useCounts_[static_cast<size_t>(Index)]; }

 private:
  // The place of the colour in the table and whether it is there.
  bool FindColor(TColor AColor, Integer& AIndex) const;
  // The first entry in colour order with the smallest use count.
  Integer FindLeastUsed() const;
  HBRUSH InsertBrush(Integer AIndex, TColor AColor);

  std::vector<TColor> colors_;
  std::vector<HBRUSH> brushes_;
  std::vector<Cardinal> useCounts_;
  Integer count_ = 0;
  Integer capacity_;
  k58::foundation::TSolidBrushFactory factory_;
  std::unique_ptr<TuiSystemPaletteChangedNotifier> paletteNotifier_;
};

// The process-wide cache's brush of a colour (see TuiSolidBrushCache::GetBrush).
HBRUSH GetSolidBrush(TColor AColor);
// The same; the canvas is not used.
inline HBRUSH GetCanvasSolidBrush(TCanvas*, TColor AColor) { return GetSolidBrush(AColor); }
inline HBRUSH GetCanvasSolidBrush(TuiCanvas*, TColor AColor) { return GetSolidBrush(AColor); }

namespace k58::foundation {
// The process-wide cache while the unit runs, else nil.
TuiSolidBrushCache* SolidBrushCache();

// Unit start: the 31 system colour brushes, then the process-wide cache. Unit end: the cache (its brushes
// deleted), then the system brushes (the system's, not deleted).
void StartEditPaintUtilsUnit();
void StopEditPaintUtilsUnit();
}  // namespace k58::foundation
