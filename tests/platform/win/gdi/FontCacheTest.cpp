// The stored font resolutions: read back only while they are intact and still describe the system.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/gdi/FontCache.h"

namespace k58::gdi {
namespace {

class FontCacheTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/k58-fontcache-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    regular_ = dir_ + "/Sans-Regular.ttf";
    collection_ = dir_ + "/Cjk.ttc";
    Write(regular_, "regular face");
    Write(collection_, "collection of faces");
    entries_["ms sans serif|00|0"] = FontFileRef{regular_, 0, false, false};
    entries_["*cjk"] = FontFileRef{collection_, 2, true, true};
    file_ = dir_ + "/cache/k58/font-files";
  }
  void TearDown() override {
    const std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_, regular_, collection_, file_;
  std::map<std::string, FontFileRef> entries_;
};

TEST_F(FontCacheTest, StoredResolutionsReadBackUnderTheSameFingerprint) {
  ASSERT_TRUE(SaveFontCache(file_, "fp1", entries_));  // the directories are made
  std::map<std::string, FontFileRef> read;
  ASSERT_TRUE(LoadFontCache(file_, "fp1", read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read["*cjk"].path, collection_);
  EXPECT_EQ(read["*cjk"].index, 2);
  EXPECT_TRUE(read["*cjk"].bold && read["*cjk"].italic);
  EXPECT_EQ(read["ms sans serif|00|0"].path, regular_);
  EXPECT_FALSE(read["ms sans serif|00|0"].bold || read["ms sans serif|00|0"].italic);
}

TEST_F(FontCacheTest, DamagedOrStaleFileIsIgnoredAndRewritten) {
  ASSERT_TRUE(SaveFontCache(file_, "fp1", entries_));
  const std::string good = Read(file_);
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    const size_t at = s.find(from);
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  };
  struct Case {
    const char* what;
    std::function<void()> damage;
  };
  const Case cases[] = {
      {"empty", [&] { Write(file_, ""); }},
      {"other format", [&] { Write(file_, replace("k58 font files 1", "k58 font files 0")); }},
      {"cut short", [&] { Write(file_, good.substr(0, good.size() - 10)); }},
      {"no end line", [&] { Write(file_, replace("end\n", "")); }},
      {"missing field", [&] { Write(file_, replace("\t0\t0\t0\t", "\t0\t0\t")); }},
      {"bad face index", [&] { Write(file_, replace("\t2\t1\t1\t", "\tx\t1\t1\t")); }},
      {"bad flag", [&] { Write(file_, replace("\t2\t1\t1\t", "\t2\t7\t1\t")); }},
      {"relative path", [&] { Write(file_, replace(regular_, "Sans-Regular.ttf")); }},
      {"binary junk", [&] { Write(file_, std::string("\0\xff\n\t\t", 5) + good); }},
      {"font file changed", [&] { Write(regular_, "a different, longer regular face"); }},
      {"font file gone", [&] { ASSERT_EQ(unlink(collection_.c_str()), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(regular_, "regular face");
    Write(collection_, "collection of faces");
    ASSERT_TRUE(SaveFontCache(file_, "fp1", entries_));
    c.damage();
    std::map<std::string, FontFileRef> read{{"left over", {}}};
    EXPECT_FALSE(LoadFontCache(file_, "fp1", read));
    EXPECT_TRUE(read.empty());
  }
  // A file written under another description of the system is stale.
  Write(regular_, "regular face");
  Write(collection_, "collection of faces");
  ASSERT_TRUE(SaveFontCache(file_, "fp1", entries_));
  std::map<std::string, FontFileRef> read;
  EXPECT_FALSE(LoadFontCache(file_, "fp2", read));
  // Rewritten over the stale one, it is read again.
  ASSERT_TRUE(SaveFontCache(file_, "fp2", entries_));
  EXPECT_TRUE(LoadFontCache(file_, "fp2", read));
  EXPECT_EQ(read.size(), 2u);
}

TEST_F(FontCacheTest, UnstorableEntriesAreLeftOut) {
  auto entries = entries_;
  entries["tab\tin key|00|0"] = FontFileRef{regular_, 0, false, false};
  entries["gone|00|0"] = FontFileRef{dir_ + "/missing.ttf", 0, false, false};
  entries["none|00|0"] = FontFileRef{};
  ASSERT_TRUE(SaveFontCache(file_, "fp", entries));
  std::map<std::string, FontFileRef> read;
  ASSERT_TRUE(LoadFontCache(file_, "fp", read));
  EXPECT_EQ(read.size(), 2u);
}

// Sets environment variables for one test and puts back what was there.
class ScopedVariables {
public:
  void Set(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariables() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
  }

private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(FontCacheTest, FingerprintFollowsTheUsersFontSetUp) {
  ScopedVariables env;
  env.Set("XDG_CONFIG_HOME", dir_ + "/config");
  env.Set("XDG_DATA_HOME", dir_ + "/data");
  env.Set("XDG_CACHE_HOME", dir_ + "/cache");
  EXPECT_EQ(FontCacheFile(), dir_ + "/cache/k58/font-files");
  ASSERT_EQ(mkdir((dir_ + "/config").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((dir_ + "/data").c_str(), 0700), 0);

  const std::string start = FontSetupFingerprint();
  EXPECT_EQ(FontSetupFingerprint(), start);  // nothing changed
  // A configuration of the user's own.
  ASSERT_EQ(mkdir((dir_ + "/config/fontconfig").c_str(), 0700), 0);
  Write(dir_ + "/config/fontconfig/fonts.conf", "<fontconfig/>");
  const std::string configured = FontSetupFingerprint();
  EXPECT_NE(configured, start);
  Write(dir_ + "/config/fontconfig/fonts.conf", "<fontconfig><dir>/opt/fonts</dir></fontconfig>");
  const std::string edited = FontSetupFingerprint();
  EXPECT_NE(edited, configured);
  // Fonts installed for the user, in a directory of their own.
  ASSERT_EQ(mkdir((dir_ + "/data/fonts").c_str(), 0700), 0);
  const std::string fontDir = FontSetupFingerprint();
  EXPECT_NE(fontDir, edited);
  ASSERT_EQ(mkdir((dir_ + "/data/fonts/extra").c_str(), 0700), 0);
  EXPECT_NE(FontSetupFingerprint(), fontDir);
  // Another language may resolve to other faces.
  const std::string before = FontSetupFingerprint();
  env.Set("LANG", "zh_CN.UTF-8x");
  EXPECT_NE(FontSetupFingerprint(), before);
}

}  // namespace
}  // namespace k58::gdi
