// What the rest of the platform layer needs of GDI beyond the Win32 calls: device contexts over a
// window's surface, direct access to surfaces and regions, pinned fonts and system tables for tests,
// and PNG output.
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/Types.h"
#include "platform/win/gdi/Region.h"
#include "platform/win/gdi/Surface.h"
#include "platform/win/gdi/WinGdi.h"

namespace k58::gdi {

// ---- Device contexts on surfaces -----------------------------------------------------------------
// A DC drawing on `surface` whose device (0,0) is at `origin` of the surface and which never draws
// outside `visible` (surface coordinates; nullptr: the whole surface). A window DC is such a DC on the
// top-level window's surface, with the client origin and the visible part of the window. DeleteDC
// frees it.
HDC CreateSurfaceDC(SurfacePtr surface, POINT origin, const Region* visible);
BOOL SetSurfaceDCOrigin(HDC hdc, POINT origin);
BOOL SetSurfaceDCVisible(HDC hdc, const Region* visible);
// A value the owner of a DC attaches to it (the window of a window DC).
BOOL SetDCTag(HDC hdc, void* tag);
void* GetDCTag(HDC hdc);

SurfacePtr SurfaceOfDC(HDC hdc);  // the surface drawn on (a memory DC's selected bitmap)
SurfacePtr SurfaceOfBitmap(HBITMAP bitmap);
// A bitmap handle for an existing surface (shared, not copied).
HBITMAP CreateBitmapOnSurface(SurfacePtr surface);
// The surface behind CreateDC("DISPLAY"), sized by SM_CXSCREEN x SM_CYSCREEN when first used.
SurfacePtr DesktopSurface();

// ---- Regions -------------------------------------------------------------------------------------
const Region* RegionOf(HRGN rgn);  // nullptr for an invalid handle
HRGN CreateRegionHandle(const Region& region);
BOOL SetRegionOf(HRGN rgn, const Region& region);

// ---- Fonts ---------------------------------------------------------------------------------------
// Pins every face name to the given files so that results do not depend on fontconfig; empty paths
// fall back to the regular file. cjk is the fallback for characters the pinned face lacks.
struct PinnedFonts {
  std::string regular;
  std::string bold;
  std::string italic;
  std::string boldItalic;
  std::string cjk;
};
void PinFonts(const PinnedFonts& fonts);
void UnpinFonts();
// The installed file a face name maps to (for diagnostics and tests of the mapping).
std::string ResolveFontFile(const std::string& face, int weight, bool italic, int charSet);

// ---- System colours and metrics --------------------------------------------------------------------
// Restores the built-in system colours and metrics.
void ResetSystemTables();
void SetSystemMetric(int index, int value);
// Called after SetSysColors changed the table (the window layer broadcasts WM_SYSCOLORCHANGE).
void SetSysColorsChangedHandler(std::function<void()> handler);

// ---- PNG -----------------------------------------------------------------------------------------
// Writes the surface as an RGB PNG; false (with a reason in *error) when the file cannot be written.
bool WritePng(const Surface& surface, const std::string& path, std::string* error = nullptr);
bool WriteBitmapPng(HBITMAP bitmap, const std::string& path, std::string* error = nullptr);
bool WriteDCPng(HDC hdc, const std::string& path, std::string* error = nullptr);

}  // namespace k58::gdi
