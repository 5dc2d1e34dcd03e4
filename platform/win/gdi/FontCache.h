// The font files that font requests resolved to, kept on disk between runs so that a start-up can open
// its faces without waiting for the system's font configuration to be read.
#pragma once

#include <map>
#include <string>

namespace k58::gdi {

// A font file (and the face inside it) that a request resolved to.
struct FontFileRef {
  std::string path;
  int index = 0;
  bool bold = false;    // the face is bold
  bool italic = false;  // the face is slanted
};

// Describes everything the system's font search depends on (its environment, its configuration files and
// the font directories with their change times); a stored resolution is valid only under the same one.
std::string FontSetupFingerprint();

// $XDG_CACHE_HOME/k58/font-files (by default ~/.cache/k58/font-files); empty without a home directory.
std::string FontCacheFile();

// Reads the resolutions stored under fingerprint. False (entries left empty) when the file is missing,
// damaged, written under another fingerprint, or names a font file that has changed or gone since.
bool LoadFontCache(const std::string& file, const std::string& fingerprint,
                   std::map<std::string, FontFileRef>& entries);

// Replaces the file with entries stored under fingerprint (the directory is made when missing).
bool SaveFontCache(const std::string& file, const std::string& fingerprint,
                   const std::map<std::string, FontFileRef>& entries);

}  // namespace k58::gdi
