#include "platform/win/gdi/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/win/gdi/FontCache.h"
#include "platform/win/gdi/Gdi.h"

namespace k58::gdi {

struct FontFace {
  FT_Face face = nullptr;
  std::string path;
  int index = 0;
  bool bold = false;    // the face itself is bold
  bool italic = false;  // the face itself is slanted
  ~FontFace() {
    if (face) FT_Done_Face(face);
  }
};

namespace {

std::recursive_mutex& FontMutex() {
  static auto* m = new std::recursive_mutex();
  return *m;
}

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

using FileRef = FontFileRef;

PinnedFonts* g_pinned = nullptr;
int g_generation = 1;
std::map<std::string, std::shared_ptr<FontFace>>* g_faces = nullptr;
std::map<std::string, std::shared_ptr<RealizedFont>>* g_realized = nullptr;

std::shared_ptr<FontFace> OpenFace(const FileRef& ref) {
  if (ref.path.empty() || !Library()) return nullptr;
  if (!g_faces) g_faces = new std::map<std::string, std::shared_ptr<FontFace>>();
  std::string key = ref.path + "#" + std::to_string(ref.index);
  auto it = g_faces->find(key);
  if (it != g_faces->end()) return it->second;
  auto f = std::make_shared<FontFace>();
  if (FT_New_Face(Library(), ref.path.c_str(), ref.index, &f->face) != 0) {
    f->face = nullptr;
    return nullptr;
  }
  f->path = ref.path;
  f->index = ref.index;
  f->bold = (f->face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  f->italic = (f->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  (*g_faces)[key] = f;
  return f;
}

// ---- Face name mapping -------------------------------------------------------------------------------

std::string Lower(std::string s) {
  for (auto& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

enum class Generic { Sans, Serif, Mono, Cjk };

Generic GenericOf(const std::string& face, int charSet) {
  static const char* kMono[] = {"courier new", "courier", "fixedsys", "terminal", "lucida console", "consolas"};
  static const char* kSerif[] = {"times new roman", "times", "ms serif", "georgia"};
  static const char* kCjk[] = {"宋体", "simsun", "新宋体", "nsimsun", "黑体", "simhei", "微软雅黑", "microsoft yahei",
                               "楷体", "楷体_gb2312", "kaiti", "仿宋", "仿宋_gb2312", "fangsong", "细明体",
                               "mingliu", "新細明體", "pmingliu", "幼圆", "youyuan"};
  std::string f = Lower(face);
  for (const char* n : kCjk)
    if (f == n) return Generic::Cjk;
  for (const char* n : kMono)
    if (f == n) return Generic::Mono;
  for (const char* n : kSerif)
    if (f == n) return Generic::Serif;
  if (f.empty() && (charSet == GB2312_CHARSET || charSet == CHINESEBIG5_CHARSET)) return Generic::Cjk;
  return Generic::Sans;
}

bool IsDialogFace(const std::string& face) {
  static const char* kDialog[] = {"ms sans serif", "ms shell dlg", "ms shell dlg 2", "microsoft sans serif", "tahoma"};
  const std::string f = Lower(face);
  for (const char* n : kDialog)
    if (f == n) return true;
  return false;
}

const char* GenericName(Generic g) {
  switch (g) {
    case Generic::Serif: return "serif";
    case Generic::Mono: return "monospace";
    default: return "sans-serif";
  }
}

// One configuration for the process, kept so that everything it owns stays reachable.
FcConfig* Config() {
  static FcConfig* config = FcInitLoadConfigAndFonts();
  return config;
}

bool FcReady() { return Config() != nullptr; }

// The thread reading the configuration ahead of its first use; joined before the process's other static
// objects go, so that it never runs while they are destroyed.
std::thread& ConfigReader() {
  static std::thread* reader = new std::thread();
  return *reader;
}

void SaveDiskResolutions();

void JoinConfigReader() {
  if (ConfigReader().joinable()) ConfigReader().join();
  // Faces first resolved after the start-up.
  SaveDiskResolutions();
}

// What earlier runs resolved, read when a font is first resolved (guarded by FontMutex). A hit spares the
// wait for the configuration; what the configuration resolves is stored for the next run.
struct DiskResolutions {
  bool loaded = false;
  bool dirty = false;
  std::string fingerprint;
  std::map<std::string, FileRef> entries;
};

DiskResolutions* g_disk = nullptr;

DiskResolutions& Disk() {
  if (!g_disk) g_disk = new DiskResolutions();
  DiskResolutions* d = g_disk;
  if (!d->loaded) {
    d->loaded = true;
    d->fingerprint = FontSetupFingerprint();
    // A missing, damaged or stale file leaves no entries; it is rewritten once fonts have been resolved.
    if (!LoadFontCache(FontCacheFile(), d->fingerprint, d->entries)) d->dirty = true;
  }
  return *d;
}

bool DiskLookup(const std::string& key, FileRef& out) {
  DiskResolutions& d = Disk();
  auto it = d.entries.find(key);
  if (it == d.entries.end()) return false;
  out = it->second;
  return true;
}

void DiskRemember(const std::string& key, const FileRef& ref) {
  if (ref.path.empty()) return;
  DiskResolutions& d = Disk();
  d.entries[key] = ref;
  d.dirty = true;
}

void SaveDiskResolutions() {
  std::string fingerprint;
  std::map<std::string, FileRef> entries;
  {
    std::lock_guard<std::recursive_mutex> lock(FontMutex());
    if (!g_disk) return;  // nothing resolved
    DiskResolutions& d = *g_disk;
    if (!d.dirty || d.entries.empty()) return;
    d.dirty = false;
    fingerprint = d.fingerprint;
    entries = d.entries;
  }
  SaveFontCache(FontCacheFile(), fingerprint, entries);
}

// First font of the fontconfig order for `pattern` that has `cp` (0: any).
bool FcFind(FcPattern* pattern, char32_t cp, FileRef& out) {
  if (!FcReady()) return false;
  FcConfigSubstitute(Config(), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcFontSet* set = FcFontSort(Config(), pattern, FcTrue, nullptr, &result);
  bool found = false;
  if (set) {
    for (int i = 0; i < set->nfont && !found; ++i) {
      FcPattern* font = set->fonts[i];
      if (cp) {
        FcCharSet* cs = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, cp)) continue;
      }
      FcChar8* file = nullptr;
      if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
      int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(font, FC_SLANT, 0, &slant);
      out.path = reinterpret_cast<const char*>(file);
      out.index = index;
      out.bold = weight >= FC_WEIGHT_DEMIBOLD;
      out.italic = slant != FC_SLANT_ROMAN;
      found = true;
    }
    FcFontSetDestroy(set);
  }
  return found;
}

FileRef ResolveInstalled(const std::string& face, int weight, bool italic, int charSet) {
  static std::map<std::string, FileRef>* cache = new std::map<std::string, FileRef>();
  std::string key = Lower(face) + "|" + std::to_string(weight >= FW_SEMIBOLD) + std::to_string(italic) + "|" +
                    std::to_string(charSet == GB2312_CHARSET || charSet == CHINESEBIG5_CHARSET);
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  FileRef ref;
  if (DiskLookup(key, ref)) return (*cache)[key] = ref;

  Generic g = GenericOf(face, charSet);
  FcPattern* p = FcPatternCreate();
  if (g == Generic::Cjk) {
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  } else {
    if (!face.empty()) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    // The classic dialog faces are as narrow as Arial; the desktop's metric-compatible stand-in for Arial
    // keeps texts sized for them (column titles, labels) inside their boxes, where the generic sans face
    // is wider.
    if (IsDialogFace(face)) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("Arial"));
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(GenericName(g)));
  }
  FcPatternAddInteger(p, FC_WEIGHT, weight >= FW_SEMIBOLD ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcFind(p, g == Generic::Cjk ? U'\u4E2D' : U'A', ref);
  FcPatternDestroy(p);
  DiskRemember(key, ref);
  (*cache)[key] = ref;
  return ref;
}

FileRef ResolveCjkInstalled() {
  static FileRef* ref = nullptr;
  if (!ref) {
    ref = new FileRef();
    if (DiskLookup("*cjk", *ref)) return *ref;
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcFind(p, U'\u4E2D', *ref);
    FcPatternDestroy(p);
    DiskRemember("*cjk", *ref);
  }
  return *ref;
}

FileRef ResolvePrimary(const LOGFONTA& lf) {
  bool bold = lf.lfWeight >= FW_SEMIBOLD;
  bool italic = lf.lfItalic != 0;
  if (g_pinned) {
    FileRef r;
    const PinnedFonts& p = *g_pinned;
    if (bold && italic && !p.boldItalic.empty()) {
      r.path = p.boldItalic;
      r.bold = r.italic = true;
    } else if (bold && !p.bold.empty()) {
      r.path = p.bold;
      r.bold = true;
    } else if (italic && !p.italic.empty()) {
      r.path = p.italic;
      r.italic = true;
    } else {
      r.path = p.regular;
    }
    return r;
  }
  return ResolveInstalled(lf.lfFaceName, lf.lfWeight, italic, lf.lfCharSet);
}

FileRef ResolveFallback() {
  if (g_pinned) {
    FileRef r;
    r.path = g_pinned->cjk;
    return r;
  }
  return ResolveCjkInstalled();
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

void CopyBitmap(const FT_Bitmap& b, Glyph& g) {
  g.width = static_cast<int>(b.width);
  g.height = static_cast<int>(b.rows);
  g.pitch = (g.width + 7) / 8;
  g.bits.assign(static_cast<size_t>(g.pitch) * g.height, 0);
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = b.pitch >= 0 ? b.buffer + static_cast<ptrdiff_t>(y) * b.pitch
                                            : b.buffer + static_cast<ptrdiff_t>(g.height - 1 - y) * -b.pitch;
    std::memcpy(&g.bits[static_cast<size_t>(y) * g.pitch], row, static_cast<size_t>(g.pitch));
  }
}

}  // namespace

namespace {

// Resolves and opens the faces nearly every window draws with (the dialog faces, plain and bold, and the
// Chinese fallback), so that the first window's text does not wait for the font search.
void WarmUpFaces() {
  struct Face {
    const char* name;
    int weight;
  };
  // In the order the program's first window asks for them; the lock is taken face by face so that the
  // window can have one that is ready meanwhile.
  const Face faces[] = {{"MS Sans Serif", FW_NORMAL}, {"MS Shell Dlg", FW_NORMAL}, {"MS Sans Serif", FW_BOLD},
                        {"Tahoma", FW_NORMAL}, {"Tahoma", FW_BOLD}};
  for (const Face& f : faces) {
    std::lock_guard<std::recursive_mutex> lock(FontMutex());
    if (g_pinned) return;
    OpenFace(ResolveInstalled(f.name, f.weight, false, DEFAULT_CHARSET));
  }
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  if (!g_pinned) OpenFace(ResolveCjkInstalled());
}

}  // namespace

void PrepareFonts() {
  static const bool Started = [] {
    try {
      ConfigReader() = std::thread([] {
        // The faces first (from the stored resolutions they need no configuration), then the
        // configuration for the faces asked for later; what it resolved is kept for the next run.
        WarmUpFaces();
        Config();
        SaveDiskResolutions();
      });
      std::atexit(JoinConfigReader);
    } catch (const std::system_error&) {
      // No thread to be had: the configuration is read when it is first needed.
    }
    return true;
  }();
  (void)Started;
}

int FontGeneration() { return g_generation; }

void PinFonts(const PinnedFonts& fonts) {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  delete g_pinned;
  g_pinned = new PinnedFonts(fonts);
  ++g_generation;
  if (g_realized) g_realized->clear();
}

void UnpinFonts() {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  delete g_pinned;
  g_pinned = nullptr;
  ++g_generation;
  if (g_realized) g_realized->clear();
}

std::string ResolveFontFile(const std::string& face, int weight, bool italic, int charSet) {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  LOGFONTA lf;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charSet);
  return ResolvePrimary(lf).path;
}

RealizedFont::~RealizedFont() {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  if (primarySize) FT_Done_Size(static_cast<FT_Size>(primarySize));
  if (fallbackSize) FT_Done_Size(static_cast<FT_Size>(fallbackSize));
}

const Glyph& RealizedFont::GetGlyph(char32_t cp) {
  if (cp < 128) {
    auto& slot = ascii_[cp];
    if (!slot) slot = Load(cp);
    return *slot;
  }
  auto it = glyphs_.find(cp);
  if (it != glyphs_.end()) return *it->second;
  auto g = Load(cp);
  const Glyph& ref = *g;
  glyphs_.emplace(cp, std::move(g));
  return ref;
}

std::unique_ptr<Glyph> RealizedFont::Load(char32_t cp) {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  auto g = std::make_unique<Glyph>();
  // Control characters (tabs, line breaks) have neither ink nor width of their own.
  if (!primary || !primary->face || cp < 0x20 || cp == 0x7F) return g;
  FontFace* face = primary.get();
  FT_Size size = static_cast<FT_Size>(primarySize);
  bool bold = synthBold;
  FT_UInt index = FT_Get_Char_Index(face->face, cp);
  if (index == 0 && fallback && fallback->face && fallbackSize) {
    FT_UInt fi = FT_Get_Char_Index(fallback->face, cp);
    if (fi != 0) {
      face = fallback.get();
      size = static_cast<FT_Size>(fallbackSize);
      index = fi;
      bold = fallbackSynthBold;
    }
  }
  FT_Activate_Size(size);
  if (FT_Load_Glyph(face->face, index, FT_LOAD_TARGET_MONO) != 0) return g;
  FT_GlyphSlot slot = face->face->glyph;
  FT_Pos advance = slot->advance.x;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (bold) {
      FT_Pos strength = std::max<FT_Pos>(64, ((pixelHeight + 12) / 24) * 64);
      FT_Outline_EmboldenXY(&slot->outline, strength, 0);
      advance += strength;
    }
    if (synthItalic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (rotated) {
      FT_Matrix rot;
      rot.xx = static_cast<FT_Fixed>(std::lround(std::cos(angle) * 65536.0));
      rot.xy = static_cast<FT_Fixed>(std::lround(-std::sin(angle) * 65536.0));
      rot.yx = static_cast<FT_Fixed>(std::lround(std::sin(angle) * 65536.0));
      rot.yy = rot.xx;
      FT_Outline_Transform(&slot->outline, &rot);
    }
  }
  g->advance = static_cast<int>((advance + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
    CopyBitmap(slot->bitmap, *g);
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
  }
  return g;
}

std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& lfIn) {
  std::lock_guard<std::recursive_mutex> lock(FontMutex());
  LOGFONTA lf = lfIn;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  std::string key(reinterpret_cast<const char*>(&lf), offsetof(LOGFONTA, lfFaceName));
  key += lf.lfFaceName;
  if (!g_realized) g_realized = new std::map<std::string, std::shared_ptr<RealizedFont>>();
  auto it = g_realized->find(key);
  if (it != g_realized->end()) return it->second;

  auto rf = std::make_shared<RealizedFont>();
  rf->lf = lf;
  rf->generation = g_generation;
  rf->weight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  bool wantBold = rf->weight >= FW_SEMIBOLD;
  FileRef ref = ResolvePrimary(lf);
  rf->primary = OpenFace(ref);
  if (!rf->primary && !g_pinned) rf->primary = OpenFace(ResolveInstalled("", FW_NORMAL, false, 0));
  if (!rf->primary) {
    // No usable font at all: a font with metrics but no glyphs.
    int h = lf.lfHeight == 0 ? 16 : std::abs(static_cast<int>(lf.lfHeight));
    rf->height = h;
    rf->ascent = h * 4 / 5;
    rf->descent = h - rf->ascent;
    rf->aveCharWidth = std::max(1, h / 2);
    rf->maxCharWidth = h;
    (*g_realized)[key] = rf;
    return rf;
  }
  FT_Face face = rf->primary->face;
  rf->family = face->family_name ? face->family_name : "";
  rf->synthBold = wantBold && !rf->primary->bold;
  rf->synthItalic = lf.lfItalic && !rf->primary->italic;
  rf->fixedPitch = FT_IS_FIXED_WIDTH(face);

  const int upem = face->units_per_EM ? face->units_per_EM : 2048;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  int winAsc = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
  int winDesc = os2 && os2->usWinDescent ? os2->usWinDescent : -face->descender;
  if (winAsc + winDesc <= 0) {
    winAsc = upem * 4 / 5;
    winDesc = upem / 5;
  }
  // Negative height: character (em) height; positive: cell height; zero: a 16-pixel cell.
  int cell = lf.lfHeight == 0 ? 16 : static_cast<int>(lf.lfHeight);
  int em = cell < 0 ? -cell : std::max(1, Round(static_cast<double>(cell) * upem / (winAsc + winDesc)));
  em = std::min(em, 2000);
  double scale = static_cast<double>(em) / upem;
  rf->ascent = Round(winAsc * scale);
  rf->descent = cell > 0 ? std::max(0, cell - rf->ascent) : Round(winDesc * scale);
  rf->height = rf->ascent + rf->descent;
  rf->internalLeading = std::max(0, rf->height - em);
  if (hhea) {
    double gap = hhea->Line_Gap - ((winAsc + winDesc) - (hhea->Ascender - hhea->Descender));
    rf->externalLeading = std::max(0, Round(gap * scale));
  }
  double avg = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth * scale : em / 2.0;
  int width = 0;
  if (lf.lfWidth > 0 && avg > 0) width = std::max(1, Round(em * lf.lfWidth / avg));
  rf->pixelWidth = width ? width : em;
  rf->pixelHeight = em;
  double xscale = static_cast<double>(rf->pixelWidth) / em;
  rf->aveCharWidth = std::max(1, Round(avg * xscale));
  rf->maxCharWidth = std::max(1, Round(face->max_advance_width * scale * xscale));
  if (rf->synthBold) {
    rf->aveCharWidth += 1;
    rf->maxCharWidth += 1;
  }
  rf->underlineThickness = std::max(1, Round(face->underline_thickness * scale));
  rf->underlineTop = std::max(1, Round(-face->underline_position * scale - rf->underlineThickness / 2.0));
  if (rf->underlineTop + rf->underlineThickness > rf->descent && rf->descent > 1)
    rf->underlineTop = std::max(1, rf->descent - rf->underlineThickness);
  if (os2 && os2->yStrikeoutSize > 0) {
    rf->strikeThickness = std::max(1, Round(os2->yStrikeoutSize * scale));
    rf->strikeTop = Round(os2->yStrikeoutPosition * scale) + rf->strikeThickness - 1;
  } else {
    rf->strikeThickness = rf->underlineThickness;
    rf->strikeTop = rf->ascent / 3 + rf->strikeThickness;
  }
  int esc = static_cast<int>(lf.lfEscapement % 3600);
  if (esc != 0) {
    rf->rotated = true;
    rf->angle = esc * M_PI / 1800.0;
  }

  FT_Size size = nullptr;
  if (FT_New_Size(face, &size) == 0) {
    FT_Activate_Size(size);
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(rf->pixelWidth), static_cast<FT_UInt>(rf->pixelHeight));
    rf->primarySize = size;
  }
  FileRef fb = ResolveFallback();
  if (!fb.path.empty() && fb.path != rf->primary->path) {
    rf->fallback = OpenFace(fb);
    if (rf->fallback) {
      FT_Size fsize = nullptr;
      if (FT_New_Size(rf->fallback->face, &fsize) == 0) {
        FT_Activate_Size(fsize);
        FT_Set_Pixel_Sizes(rf->fallback->face, static_cast<FT_UInt>(rf->pixelWidth),
                           static_cast<FT_UInt>(rf->pixelHeight));
        rf->fallbackSize = fsize;
        rf->fallbackSynthBold = wantBold && !rf->fallback->bold;
      }
    }
  }
  (*g_realized)[key] = rf;
  return rf;
}

}  // namespace k58::gdi

// fontconfig keeps a few bytes of its substitution state unreachable until exit; the leak checker of
// sanitized builds is told so (weak, so a program's own list takes precedence).
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
