// Shared pieces of the line and shape calls.
#pragma once

#include <vector>

#include "platform/win/gdi/Objects.h"
#include "platform/win/gdi/Raster.h"
#include "platform/win/gdi/Scan.h"

namespace k58::gdi {

// Draws the DC's pen along points in surface coordinates. A one-pixel pen walks the segments (each
// without its last pixel, so a closed figure covers every vertex once); a wide pen fills its outline.
void StrokePoints(DeviceContext& dc, const std::vector<POINT>& pts, bool closed);
// The DC's brush over a region in surface coordinates, with the DC's binary raster operation.
void FillWithBrush(DeviceContext& dc, const Region& rgn);
bool PenIsNull(const DeviceContext& dc);
// Width of the current pen in pixels (1 for one-pixel pens).
int PenWidth(const DeviceContext& dc);

// Path recording: true when the call was recorded instead of drawn.
bool RecordPath(DeviceContext& dc, const std::vector<POINT>& devicePts, bool closed, bool continues);

}  // namespace k58::gdi
