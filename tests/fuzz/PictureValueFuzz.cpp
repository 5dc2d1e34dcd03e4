// Fuzz target of picture values: any bytes, with or without a graphic-field header, read under every
// graphic class the image editor offers (and under none) either give an empty picture or a picture that
// writes back exactly the bytes it was read from and draws without fault; never an exception.
#include <cstdint>
#include <string>

#include "controls/editors/uiImage.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The bytes after the 8-byte header of a graphic field, when the value starts with one.
std::string Payload(const std::string& AValue) {
  if (AValue.size() < 8) return AValue;
  const auto* p = reinterpret_cast<const uint8_t*>(AValue.data());
  const uint32_t size = p[4] | (p[5] << 8) | (p[6] << 16) | (static_cast<uint32_t>(p[7]) << 24);
  const bool header = p[0] == 1 && p[1] == 0 && p[2] == 0 && p[3] == 1 && size == AValue.size() - 8;
  return header ? AValue.substr(8) : AValue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string bytes(reinterpret_cast<const char*>(Data), Size);
  const Variant value{String(bytes)};
  std::vector<TGraphicClass> classes = GetRegisteredGraphicClasses();
  classes.push_back(nullptr);
  TBitmap target;
  target.SetSize(16, 16);
  for (TGraphicClass graphicClass : classes) {
    TPicture picture;
    LoadPictureFromValue(&picture, graphicClass, value);
    if (picture.Graphic() == nullptr) continue;
    const Variant saved = SavePictureToValue(&picture);
    K58_FUZZ_CHECK(saved.IsString());
    K58_FUZZ_CHECK(saved.StringRef() == Payload(bytes));
    K58_FUZZ_CHECK(picture.Width() >= 0 && picture.Height() >= 0);
    if (!IsPictureEmpty(&picture)) target.Canvas()->StretchDraw(TRect{0, 0, 16, 16}, picture.Graphic());
  }
  // Text is never a picture.
  TPicture text;
  LoadPictureFromValue(&text, nullptr, Variant(WideString(bytes.begin(), bytes.end())));
  K58_FUZZ_CHECK(text.Graphic() == nullptr);
  return 0;
}
