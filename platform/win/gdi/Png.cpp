// Surfaces written as PNG files (for failing tests and screenshots).
#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/win/gdi/Gdi.h"

namespace k58::gdi {

bool WritePng(const Surface& surface, const std::string& path, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (surface.Width() <= 0 || surface.Height() <= 0) return fail("empty surface");
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return fail("cannot create the file");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return fail("out of memory");
  }
  std::vector<png_byte> row(static_cast<size_t>(surface.Width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return fail("write error");
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const uint32_t* src = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      row[3 * x] = static_cast<png_byte>(src[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  bool closed = std::fclose(file) == 0;
  return closed ? true : fail("write error");
}

bool WriteBitmapPng(HBITMAP bitmap, const std::string& path, std::string* error) {
  SurfacePtr s = SurfaceOfBitmap(bitmap);
  if (!s) {
    if (error) *error = "invalid bitmap";
    return false;
  }
  return WritePng(*s, path, error);
}

bool WriteDCPng(HDC hdc, const std::string& path, std::string* error) {
  SurfacePtr s = SurfaceOfDC(hdc);
  if (!s) {
    if (error) *error = "invalid device context";
    return false;
  }
  return WritePng(*s, path, error);
}

}  // namespace k58::gdi
