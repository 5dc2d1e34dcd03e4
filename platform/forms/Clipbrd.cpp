// The clipboard object: text, raw handles and pictures in the picture format and the standard bitmap and
// metafile formats.
#include <algorithm>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/GraphicsInternal.h"
#include "platform/forms/Jpeg.h"
#include "platform/rtl/SysUtils.h"

using namespace clipbrdconsts;

UINT PictureClipboardFormat() {
  static const UINT format = RegisterClipboardFormat("K58 Picture");
  return format;
}

const UINT CF_PICTURE = PictureClipboardFormat();

namespace {

TClipboard*& CurrentClipboard() {
  static TClipboard* current = nullptr;
  return current;
}

TClipboard& OwnClipboard() {
  static auto* own = new TClipboard;
  return *own;
}

HGLOBAL CopyToBlock(const std::vector<uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) throw EOutOfMemory("Out of memory");
  if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::vector<uint8_t> BlockBytes(HANDLE block) {
  std::vector<uint8_t> bytes(GlobalSize(block));
  if (!bytes.empty()) {
    if (const void* p = GlobalLock(block)) std::memcpy(bytes.data(), p, bytes.size());
    GlobalUnlock(block);
  }
  return bytes;
}

// A GDI bitmap with the pixels of the bitmap, for the clipboard to own.
HBITMAP CopyOfBitmap(TBitmap* bitmap) {
  const Integer w = bitmap->Width();
  const Integer h = bitmap->Height();
  HBITMAP copy = k58::forms::NewBitmapHandle(w, h, false);
  k58::forms::WithBitmapDC(copy, [&](HDC dest) {
    k58::forms::BitmapAccess::WithDC(bitmap, [&](HDC src) { BitBlt(dest, 0, 0, w, h, src, 0, 0, SRCCOPY); });
  });
  return copy;
}

void BitmapFromHandle(TBitmap* bitmap, HBITMAP handle) {
  BITMAP info{};
  if (!GetObject(handle, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    throw EClipboardException(SUnknownClipboardFormat);
  }
  TBitmap result;
  result.SetSize(info.bmWidth, info.bmHeight);
  HDC dest = result.Canvas()->Handle();
  k58::forms::WithBitmapDC(handle, [&](HDC src) {
    BitBlt(dest, 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
  });
  bitmap->Assign(&result);
}

std::vector<uint8_t> PictureFormatBytes(TGraphic* graphic) {
  TMemoryStream image;
  String name = graphic->ClassName();
  if (name.size() > 255) name.resize(255);
  const uint8_t length = static_cast<uint8_t>(name.size());
  image.WriteBuffer(&length, 1);
  image.WriteBuffer(name.data(), length);
  graphic->SaveToStream(&image);
  image.SetPosition(0);
  return k58::forms::ReadRest(&image);
}

// A graphic of the class named in the picture format's data, read from the rest of it.
TObjectPtr<TGraphic> GraphicFromPictureFormat(const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() < 1u + bytes[0]) throw EInvalidGraphic(graphicsconsts::SInvalidBitmap);
  const String name(reinterpret_cast<const char*>(bytes.data() + 1), bytes[0]);
  TClass graphicClass = GetClass(name);
  if (graphicClass == nullptr || !graphicClass->InheritsFrom(TGraphic::StaticClass())) {
    throw EInvalidGraphic(Format(graphicsconsts::SUnknownGraphicClass, name));
  }
  TObjectPtr<TObject> object = graphicClass->Create();
  TObjectPtr<TGraphic> graphic(dynamic_cast<TGraphic*>(object.release()));
  TMemoryStream image;
  image.WriteBuffer(bytes.data() + 1 + bytes[0], static_cast<Integer>(bytes.size() - 1 - bytes[0]));
  image.SetPosition(0);
  graphic->LoadFromStream(&image);
  return graphic;
}

void MetafileFromBits(TMetafile* metafile, const std::vector<uint8_t>& bits, LONG mmWidth, LONG mmHeight) {
  TMemoryStream image;
  k58::forms::WriteBytes(&image, bits);
  image.SetPosition(0);
  TMetafile result;
  result.LoadFromStream(&image);
  // A bare Windows metafile without a window extent takes its size from the picture record.
  if (result.Width() <= 0 && mmWidth > 0) result.SetWidth(static_cast<Integer>(int64_t{mmWidth} * 96 / 2540));
  if (result.Height() <= 0 && mmHeight > 0) result.SetHeight(static_cast<Integer>(int64_t{mmHeight} * 96 / 2540));
  metafile->Assign(&result);
}

}  // namespace

class TClipboard::Session {
 public:
  explicit Session(TClipboard* clipboard) : clipboard_(clipboard) { clipboard_->Open(); }
  ~Session() { clipboard_->Close(); }

 private:
  TClipboard* clipboard_;
};

K58_IMPLEMENT_CLASS(TClipboard) {}

TClipboard::~TClipboard() {
  if (openRefCount_ > 0) CloseClipboard();
}

void TClipboard::Open() {
  if (openRefCount_ == 0) {
    if (!OpenClipboard(nullptr)) throw EClipboardException(SCannotOpenClipboard);
    emptied_ = false;
  }
  ++openRefCount_;
}

void TClipboard::Close() {
  if (openRefCount_ == 0) return;
  if (--openRefCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Session session(this);
  EmptyClipboard();
  emptied_ = true;
}

bool TClipboard::HasFormat(UINT Format) { return IsClipboardFormatAvailable(Format) != FALSE; }

HANDLE TClipboard::GetAsHandle(UINT Format) {
  Session session(this);
  return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
  Session session(this);
  // Several formats set within one Open describe the same contents.
  if (!emptied_) Clear();
  SetClipboardData(Format, Value);
}

String TClipboard::AsText() {
  Session session(this);
  HANDLE block = GetClipboardData(CF_TEXT);
  if (!block) return String();
  std::vector<uint8_t> bytes = BlockBytes(block);
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return String(bytes.begin(), end);
}

void TClipboard::SetAsText(const String& Value) {
  std::vector<uint8_t> bytes(Value.begin(), Value.end());
  bytes.push_back(0);
  Session session(this);
  Clear();
  SetAsHandle(CF_TEXT, CopyToBlock(bytes));
}

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* graphic = nullptr;
  if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    graphic = picture->Graphic();
  } else {
    graphic = dynamic_cast<TGraphic*>(Source);
  }
  if (graphic == nullptr && Source != nullptr && dynamic_cast<TPicture*>(Source) == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  Session session(this);
  Clear();
  if (graphic == nullptr) return;
  SetAsHandle(CF_PICTURE, CopyToBlock(PictureFormatBytes(graphic)));
  if (auto* metafile = dynamic_cast<TMetafile*>(graphic)) {
    if (metafile->Empty()) return;
    const std::vector<uint8_t> bits = metafile->RecordBytes();
    if (metafile->Enhanced()) {
      SetAsHandle(CF_ENHMETAFILE, SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data()));
    } else {
      METAFILEPICT pict;
      pict.mm = MM_ANISOTROPIC_PICT;
      pict.xExt = metafile->MMWidth();
      pict.yExt = metafile->MMHeight();
      pict.hMF = SetMetaFileBitsEx(static_cast<UINT>(bits.size()), bits.data());
      std::vector<uint8_t> block(sizeof(pict));
      std::memcpy(block.data(), &pict, sizeof(pict));
      SetAsHandle(CF_METAFILEPICT, CopyToBlock(block));
    }
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
    if (!bitmap->Empty()) SetAsHandle(CF_BITMAP, CopyOfBitmap(bitmap));
  } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
    if (!jpeg->Empty()) SetAsHandle(CF_BITMAP, CopyOfBitmap(jpeg->Bitmap()));
  }
}

void TClipboard::AssignTo(TPersistent* Dest) {
  Session session(this);
  if (auto* picture = dynamic_cast<TPicture*>(Dest)) {
    if (HANDLE block = GetClipboardData(CF_PICTURE)) {
      TObjectPtr<TGraphic> graphic = GraphicFromPictureFormat(BlockBytes(block));
      picture->SetGraphic(graphic.get());
    } else if (HasFormat(CF_ENHMETAFILE) || HasFormat(CF_METAFILEPICT)) {
      TMetafile metafile;
      AssignTo(&metafile);
      picture->SetGraphic(&metafile);
    } else if (HasFormat(CF_BITMAP)) {
      TBitmap bitmap;
      AssignTo(&bitmap);
      picture->SetGraphic(&bitmap);
    } else {
      throw EClipboardException(SUnknownClipboardFormat);
    }
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    HANDLE handle = GetClipboardData(CF_BITMAP);
    if (!handle) throw EClipboardException(SUnknownClipboardFormat);
    BitmapFromHandle(bitmap, static_cast<HBITMAP>(handle));
  } else if (auto* metafile = dynamic_cast<TMetafile*>(Dest)) {
    if (HANDLE handle = GetClipboardData(CF_ENHMETAFILE)) {
      std::vector<uint8_t> bits(GetEnhMetaFileBits(handle, 0, nullptr));
      GetEnhMetaFileBits(handle, static_cast<UINT>(bits.size()), bits.data());
      MetafileFromBits(metafile, bits, 0, 0);
    } else if (HANDLE block = GetClipboardData(CF_METAFILEPICT)) {
      METAFILEPICT pict;
      const std::vector<uint8_t> bytes = BlockBytes(block);
      if (bytes.size() < sizeof(pict)) throw EClipboardException(SUnknownClipboardFormat);
      std::memcpy(&pict, bytes.data(), sizeof(pict));
      std::vector<uint8_t> bits(GetMetaFileBitsEx(pict.hMF, 0, nullptr));
      if (bits.empty()) throw EClipboardException(SUnknownClipboardFormat);
      GetMetaFileBitsEx(pict.hMF, static_cast<UINT>(bits.size()), bits.data());
      MetafileFromBits(metafile, bits, pict.xExt, pict.yExt);
    } else {
      throw EClipboardException(SUnknownClipboardFormat);
    }
  } else {
    TPersistent::AssignTo(Dest);
  }
}

TClipboard* Clipboard() {
  TClipboard* current = CurrentClipboard();
  return current ? current : &OwnClipboard();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
  TClipboard* previous = Clipboard();
  CurrentClipboard() = NewClipboard == &OwnClipboard() ? nullptr : NewClipboard;
  return previous;
}
