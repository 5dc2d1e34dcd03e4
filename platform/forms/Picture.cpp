// Pictures: one graphic of any registered class, the registry of graphic file formats and the filters
// built from it.
#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/GraphicsInternal.h"
#include "platform/forms/Jpeg.h"
#include "platform/rtl/SysUtils.h"

using namespace graphicsconsts;

namespace {

struct FileFormat {
  String Extension;
  String Description;
  TGraphicClass GraphicClass;
};

std::mutex& FormatsLock() {
  static std::mutex lock;
  return lock;
}

// The built-in formats are there from the first use.
std::vector<FileFormat>& Formats() {
  static auto& formats = *new std::vector<FileFormat>{
      {"bmp", SVBitmaps, TBitmap::StaticClass()},
      {"ico", SVIcons, TIcon::StaticClass()},
      {"emf", SVEnhMetafiles, TMetafile::StaticClass()},
      {"wmf", SVMetafiles, TMetafile::StaticClass()},
      {"jpg", jpegconsts::SJPEGImageFile, TJPEGImage::StaticClass()},
      {"jpeg", jpegconsts::SJPEGImageFile, TJPEGImage::StaticClass()},
  };
  return formats;
}

String NormalExtension(const String& extension) {
  String ext = LowerCase(extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return ext;
}

std::vector<FileFormat> FormatsOf(TGraphicClass graphicClass) {
  std::lock_guard<std::mutex> guard(FormatsLock());
  std::vector<FileFormat> result;
  for (const FileFormat& format : Formats()) {
    if (graphicClass == nullptr || format.GraphicClass->InheritsFrom(graphicClass)) result.push_back(format);
  }
  return result;
}

// A new, empty graphic of the class.
TObjectPtr<TGraphic> NewGraphic(TGraphicClass graphicClass) {
  TObjectPtr<TObject> object = graphicClass->Create();
  auto* graphic = dynamic_cast<TGraphic*>(object.get());
  if (graphic == nullptr) throw EInvalidGraphic(Format(SUnknownGraphicClass, graphicClass->Name()));
  object.release();
  return TObjectPtr<TGraphic>(graphic);
}

}  // namespace

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TGraphicClass GraphicClass) {
  if (GraphicClass == nullptr || !GraphicClass->InheritsFrom(TGraphic::StaticClass())) {
    throw EInvalidGraphic(Format(SUnknownGraphicClass, GraphicClass ? GraphicClass->Name() : String("nil")));
  }
  const String ext = NormalExtension(Extension);
  std::lock_guard<std::mutex> guard(FormatsLock());
  auto& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(), [&](const FileFormat& f) { return f.Extension == ext; }),
                formats.end());
  formats.push_back(FileFormat{ext, Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass) {
  std::lock_guard<std::mutex> guard(FormatsLock());
  auto& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&](const FileFormat& f) { return f.GraphicClass->InheritsFrom(GraphicClass); }),
                formats.end());
}

TGraphicClass TPicture::FindGraphicClass(const String& Extension) {
  const String ext = NormalExtension(Extension);
  std::lock_guard<std::mutex> guard(FormatsLock());
  for (const FileFormat& format : Formats()) {
    if (format.Extension == ext) return format.GraphicClass;
  }
  return nullptr;
}

String GraphicFilter(TGraphicClass GraphicClass) {
  std::vector<FileFormat> formats = FormatsOf(GraphicClass);
  String masks;
  String parts;
  for (const FileFormat& format : formats) {
    const String mask = "*." + format.Extension;
    if (!masks.empty()) masks += ";";
    masks += mask;
    parts += "|" + format.Description + " (" + mask + ")|" + mask;
  }
  if (formats.empty()) return String();
  return String(SDefaultFilter) + " (" + masks + ")|" + masks + parts;
}

String GraphicExtension(TGraphicClass GraphicClass) {
  std::lock_guard<std::mutex> guard(FormatsLock());
  for (const FileFormat& format : Formats()) {
    if (format.GraphicClass == GraphicClass) return format.Extension;
  }
  for (const FileFormat& format : Formats()) {
    if (format.GraphicClass->InheritsFrom(GraphicClass)) return format.Extension;
  }
  return String();
}

String GraphicFileMask(TGraphicClass GraphicClass) {
  String masks;
  for (const FileFormat& format : FormatsOf(GraphicClass)) {
    if (!masks.empty()) masks += ";";
    masks += "*." + format.Extension;
  }
  return masks;
}

// ---- TPicture ----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TPicture) {}

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) { onChange_(this); }

void TPicture::Take(TGraphic* Graphic) {
  graphic_.reset(Graphic);
  if (graphic_) graphic_->SetOnChange(TNotifyEvent(this, &TPicture::Changed));
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == graphic_.get() && Value != nullptr) return;
  if (Value == nullptr) {
    Take(nullptr);
    return;
  }
  TObjectPtr<TGraphic> copy = NewGraphic(Value->ClassType());
  copy->Assign(Value);
  Take(copy.release());
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    if (picture != this) SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(Source);
  }
}

template <class T>
T* TPicture::ForceType() {
  if (auto* graphic = dynamic_cast<T*>(graphic_.get())) return graphic;
  Take(new T());
  return static_cast<T*>(graphic_.get());
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }

TIcon* TPicture::Icon() { return ForceType<TIcon>(); }

Integer TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }

Integer TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const String& FileName) {
  const String ext = NormalExtension(ExtractFileExt(FileName));
  TGraphicClass graphicClass = FindGraphicClass(ext);
  if (graphicClass == nullptr) throw EInvalidGraphic(Format(SUnknownExtension, ext));
  TObjectPtr<TGraphic> graphic = NewGraphic(graphicClass);
  graphic->LoadFromFile(FileName);
  Take(graphic.release());
}

void TPicture::SaveToFile(const String& FileName) {
  if (graphic_) graphic_->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
      graphic_ != nullptr);
}

void TPicture::ReadData(TStream* Stream) {
  uint8_t length = 0;
  Stream->ReadBuffer(&length, 1);
  String name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  TGraphicClass graphicClass = nullptr;
  for (const FileFormat& format : FormatsOf(nullptr)) {
    if (SameText(format.GraphicClass->Name(), name)) {
      graphicClass = format.GraphicClass;
      break;
    }
  }
  if (graphicClass == nullptr) {
    TClass registered = GetClass(name);
    if (registered && registered->InheritsFrom(TGraphic::StaticClass())) graphicClass = registered;
  }
  if (graphicClass == nullptr) throw EInvalidGraphic(Format(SUnknownGraphicClass, name));
  TObjectPtr<TGraphic> graphic = NewGraphic(graphicClass);
  graphic->ReadData(Stream);
  Take(graphic.release());
}

void TPicture::WriteData(TStream* Stream) {
  if (!graphic_) return;
  String name = graphic_->ClassName();
  if (name.size() > 255) name.resize(255);
  const uint8_t length = static_cast<uint8_t>(name.size());
  Stream->WriteBuffer(&length, 1);
  Stream->WriteBuffer(name.data(), length);
  graphic_->WriteData(Stream);
}
