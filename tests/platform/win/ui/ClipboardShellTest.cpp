// The clipboard (text in both encodings, bitmaps as DIBs, registered formats, another program's
// text) and opening documents through the desktop's opener.
#include "WinUiTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace winui_test {
namespace {

using ::testing::ElementsAre;
using ClipboardTest = WinUiTest;
using ShellTest = WinUiTest;

HGLOBAL Text(const char* S) {
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, std::strlen(S) + 1);
  std::memcpy(GlobalLock(H), S, std::strlen(S) + 1);
  GlobalUnlock(H);
  return H;
}

TEST_F(ClipboardTest, TextIsOfferedInBothEncodings) {
  HWND W = Make(WS_POPUP, 0, 0, 10, 10);
  EXPECT_FALSE(SetClipboardData(CF_TEXT, nullptr));  // not open
  ASSERT_TRUE(OpenClipboard(W));
  EXPECT_FALSE(OpenClipboard(W));  // already open
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), W);
  HGLOBAL H = Text("Kan\xC3\xA4l \xE4\xB8\xAD");
  EXPECT_EQ(SetClipboardData(CF_TEXT, H), H);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(D->Headless().ClipboardChanges(), 1);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE U = GetClipboardData(CF_UNICODETEXT);
  ASSERT_TRUE(U);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(U))), u"Kan\u00E4l \u4E2D");
  GlobalUnlock(U);
  EXPECT_EQ(GetClipboardData(CF_TEXT), H);
  EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);
  CloseClipboard();
  std::u16string Export;
  EXPECT_TRUE(k58::winui::ClipboardTextForExport(Export));
  EXPECT_EQ(Export, u"Kan\u00E4l \u4E2D");
}

TEST_F(ClipboardTest, BitmapsComeBackAsDibsAndDibsAsBitmaps) {
  HBITMAP Bmp = CreateBitmap(3, 2, 1, 32, nullptr);
  HDC Mem = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  SetPixel(Mem, 2, 1, RGB(10, 20, 30));
  SelectObject(Mem, Old);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, Bmp);
  HANDLE Dib = GetClipboardData(CF_DIB);
  ASSERT_TRUE(Dib);
  auto* Hd = static_cast<const BITMAPINFOHEADER*>(GlobalLock(Dib));
  EXPECT_EQ(Hd->biWidth, 3);
  EXPECT_EQ(Hd->biBitCount, 32);
  GlobalUnlock(Dib);
  // Put the DIB back on its own and read a bitmap from it.
  std::vector<BYTE> Copy(GlobalSize(Dib));
  std::memcpy(Copy.data(), GlobalLock(Dib), Copy.size());
  GlobalUnlock(Dib);
  EmptyClipboard();
  HGLOBAL Back = GlobalAlloc(GMEM_MOVEABLE, Copy.size());
  std::memcpy(GlobalLock(Back), Copy.data(), Copy.size());
  GlobalUnlock(Back);
  SetClipboardData(CF_DIB, Back);
  auto Again = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_TRUE(Again);
  Old = SelectObject(Mem, Again);
  EXPECT_EQ(GetPixel(Mem, 2, 1), RGB(10, 20, 30));
  SelectObject(Mem, Old);
  // A DIB whose header claims more pixels than the block holds gives no bitmap.
  EmptyClipboard();
  HGLOBAL Bad = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 16);
  auto* BadHd = static_cast<BITMAPINFOHEADER*>(GlobalLock(Bad));
  *BadHd = BITMAPINFOHEADER{};
  BadHd->biWidth = 1000;
  BadHd->biHeight = 1000;
  BadHd->biBitCount = 32;
  GlobalUnlock(Bad);
  SetClipboardData(CF_DIB, Bad);
  EXPECT_FALSE(GetClipboardData(CF_BITMAP));
  CloseClipboard();
  DeleteDC(Mem);
}

TEST_F(ClipboardTest, RegisteredFormatsAndAnotherProgramsText) {
  UINT A = RegisterClipboardFormat("K58 Channels");
  EXPECT_GE(A, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("k58 channels"), A);
  EXPECT_NE(RegisterClipboardFormat("Other"), A);
  char Name[32];
  EXPECT_EQ(GetClipboardFormatName(A, Name, sizeof Name), 12);
  EXPECT_STREQ(Name, "K58 Channels");
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(A, Text("x"));
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(A));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  // Another program takes the clipboard: its text is what we read now.
  D->Headless().SetForeignClipboardText(u"from elsewhere");
  k58::winui::HostClipboardLost();
  EXPECT_FALSE(IsClipboardFormatAvailable(A));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  OpenClipboard(nullptr);
  HANDLE T = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(T);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(T)), "from elsewhere");
  GlobalUnlock(T);
  CloseClipboard();
  EXPECT_EQ(GlobalFree(reinterpret_cast<HGLOBAL>(0x1234)), reinterpret_cast<HGLOBAL>(0x1234));
}

// A stand-in opener that writes each argument it gets on a line of its own.
std::string Recorder(const std::string& Out) {
  std::string Path = ::testing::TempDir() + "winui-opener.sh";
  std::ofstream S(Path);
  S << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << Out << ".tmp\"\nmv \"" << Out
    << ".tmp\" \"" << Out << "\"\n";
  S.close();
  chmod(Path.c_str(), 0755);
  return Path;
}

std::string WaitFor(const std::string& Path) {
  for (int I = 0; I < 500; ++I) {
    std::ifstream F(Path);
    if (F) {
      std::stringstream B;
      B << F.rdbuf();
      return B.str();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "(no answer)";
}

TEST_F(ShellTest, TheOpenerGetsTheNameAsOneArgumentNeverThroughAShell) {
  std::string Out = ::testing::TempDir() + "winui-opener.out";
  std::remove(Out.c_str());
  k58::winui::SetShellOpenProgram(Recorder(Out));
  HINSTANCE R = ShellExecute(nullptr, "open", "my file; rm -rf x $(id).chm", "ignored", nullptr, SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<intptr_t>(R), 32);
  EXPECT_EQ(WaitFor(Out), "my file; rm -rf x $(id).chm\n");
  std::remove(Out.c_str());
  ShellExecuteA(nullptr, nullptr, "-x.txt", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(WaitFor(Out), "./-x.txt\n");  // never read as an option
  std::remove(Out.c_str());
  EXPECT_EQ(reinterpret_cast<intptr_t>(ShellExecute(nullptr, "print", "a.txt", nullptr, nullptr, 0)), SE_ERR_NOASSOC);
  EXPECT_EQ(reinterpret_cast<intptr_t>(ShellExecute(nullptr, "open", "", nullptr, nullptr, 0)), SE_ERR_FNF);
  k58::winui::SetShellOpenProgram("/nonexistent/opener");
  EXPECT_LE(reinterpret_cast<intptr_t>(ShellExecute(nullptr, "open", "a.txt", nullptr, nullptr, 0)), 32);
  k58::winui::SetShellOpenProgram("");
}

TEST_F(ShellTest, MessageBeepReachesTheDisplay) {
  MessageBeep(MB_ICONWARNING);
  EXPECT_EQ(D->Headless().BeepCount(), 1);
  EXPECT_EQ(D->Headless().LastBeep(), MB_ICONWARNING);
}

}  // namespace
}  // namespace winui_test
