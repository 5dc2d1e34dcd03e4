// The hyperlink edit: the prefix rule, what starts the link (start key, double or single click), that
// handlers replace the opener, the refused and failed starts, the hand cursor, the link look and the
// streamed prefix. A recording opener stands in for the desktop's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "controls/editors/uiHyperLink.h"
#include "platform/win/ui/WinShell.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

class HyperLinkTest : public EditorKindsTest {
 protected:
  HyperLinkTest() {
    k58::editors::SetHyperLinkOpener([this](const String& AAddress) {
      Opened.push_back(AAddress);
      return OpenerSucceeds;
    });
  }
  ~HyperLinkTest() override { k58::editors::SetHyperLinkOpener(nullptr); }

  TuiHyperLinkEdit* NewLink(const String& AText) {
    auto* edit = NewObject<TuiHyperLinkEdit>(Form);
    edit->SetBounds(10, 10, 200, 21);
    edit->SetParent(Form);
    edit->SetText(AText);
    Pump();
    return edit;
  }
  int Beeps() { return Display.Headless().BeepCount(); }

  std::vector<String> Opened;
  bool OpenerSucceeds = true;
};

TEST_F(HyperLinkTest, PrefixGoesInFrontOfTextsWithoutIt) {
  struct Case {
    const char* prefix;
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {"http://", "  www.example.org ", "http://www.example.org"},
      {"http://", "http://example.org", "http://example.org"},
      {"http://", " HTTP://Example.org", " HTTP://Example.org"},  // the prefix is found in any letter case
      {"http://", "", ""},
      {"http://", "   ", "   "},
      {"", "www.example.org", "www.example.org"},
      {"mailto:", "a@b.c", "mailto:a@b.c"},
  };
  TObjectPtr<TuiCustomEditProperties> made(
      TuiCustomEditProperties::CreateOfClass(TuiHyperLinkEditProperties::StaticClass(), nullptr));
  auto* properties = static_cast<TuiHyperLinkEditProperties*>(made.get());
  for (const Case& c : cases) {
    properties->SetPrefix(c.prefix);
    EXPECT_EQ(properties->AddPrefix(c.text), c.result) << "'" << c.prefix << "' '" << c.text << "'";
  }
  // Validation completes the text only with AutoComplete on.
  properties->SetPrefix("http://");
  for (bool autoComplete : {true, false}) {
    properties->SetAutoComplete(autoComplete);
    Variant value(String(" x.org"));
    String error;
    bool failed = false;
    properties->ValidateDisplayValue(value, error, failed, nullptr);
    EXPECT_EQ(VarToStr(value), autoComplete ? "http://x.org" : " x.org");
  }
}

TEST_F(HyperLinkTest, StartKeyAndClicksStartTheLink) {
  auto* edit = NewLink("example.org");
  auto* other = NewObject<TuiHyperLinkEdit>(Form);
  other->SetBounds(10, 60, 100, 21);
  other->SetParent(Form);
  edit->SetFocus();
  Pump();

  Display.Chord({VK_CONTROL}, VK_RETURN);
  Pump();
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0], "http://example.org");
  EXPECT_EQ(edit->Text(), "example.org") << "starting leaves the text alone";

  edit->Properties()->SetStartKey(0);
  Display.Chord({VK_CONTROL}, VK_RETURN);
  Pump();
  EXPECT_EQ(Opened.size(), 1u) << "with no start key no key starts it";

  struct Case {
    const char* name;
    bool singleClick;
    bool doubleClick;
    bool selectFirst;
    bool starts;
  };
  const Case cases[] = {
      {"double click", false, true, false, true},
      {"single click without SingleClick", false, false, false, false},
      {"single click", true, false, false, true},
      {"single click that ends with a selection", true, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Opened.clear();
    edit->Properties()->SetSingleClick(c.singleClick);
    other->SetFocus();
    // Past the double-click time: the last case's click does not pair with this one.
    Display.Advance(2000);
    Pump();
    const POINT at = At(edit, 30, 10);
    if (c.selectFirst) {
      // A drag across the text selects part of it before the button goes up.
      Display.Drag(At(edit, 8, 10), At(edit, 60, 10));
    } else if (c.doubleClick) {
      Display.DoubleClick(at);
    } else {
      Display.Click(at);
    }
    Pump();
    EXPECT_EQ(Opened.size(), c.starts ? 1u : 0u);
  }
}

TEST_F(HyperLinkTest, StartClickHandlersReplaceTheOpener) {
  auto* edit = NewLink("example.org");
  std::vector<TObject*> senders;
  edit->Properties()->SetOnStartClick([&](TObject* Sender) { senders.push_back(Sender); });
  edit->DoStart();
  EXPECT_TRUE(Opened.empty());
  ASSERT_EQ(senders.size(), 1u);
  EXPECT_EQ(senders[0], edit);
}

TEST_F(HyperLinkTest, OptionLikeTextsAreRefusedAndFailuresBeep) {
  auto* edit = NewLink("");
  edit->Properties()->SetPrefix("");
  struct Case {
    const char* text;
    bool succeeds;
    const char* opened;
    int beeps;
  };
  const Case cases[] = {
      {"report.txt", true, "report.txt", 0},
      {"-x", true, "", 1},          // would read as an option of the opener
      {"  --help", true, "", 1},
      {"report.txt", false, "report.txt", 1},  // the opener failed
      {"   ", true, "", 0},         // nothing to open
  };
  for (const Case& c : cases) {
    Opened.clear();
    OpenerSucceeds = c.succeeds;
    edit->SetText(c.text);
    const int before = Beeps();
    edit->DoStart();
    EXPECT_EQ(Opened.empty() ? String() : Opened[0], c.opened) << c.text;
    EXPECT_EQ(Beeps() - before, c.beeps) << c.text;
  }
}

TEST_F(HyperLinkTest, SingleClickShowsTheHandOverTheEditor) {
  auto* edit = NewLink("example.org");
  edit->Properties()->SetSingleClick(true);
  Display.MoveTo(At(Form, 300, 300));
  Pump();
  Display.MoveTo(At(edit, 20, 10));
  Pump();
  EXPECT_EQ(edit->Cursor(), crHandPoint);
  EXPECT_EQ(edit->InnerControl()->Cursor(), crHandPoint);
  Display.MoveTo(At(Form, 300, 300));
  Pump();
  EXPECT_EQ(edit->Cursor(), crDefault);
  EXPECT_EQ(edit->InnerControl()->Cursor(), crDefault);
}

TEST_F(HyperLinkTest, TextIsUnderlinedInTheLinkColour) {
  auto* edit = NewLink("example.org");
  TFont* font = edit->ActiveEditStyle()->GetVisibleFont();
  EXPECT_EQ(font->Color(), clBlue);
  EXPECT_TRUE(font->Style().Contains(fsUnderline));
  edit->Properties()->SetLinkColor(clRed);
  EXPECT_EQ(edit->ActiveEditStyle()->GetVisibleFont()->Color(), clRed);
}

TEST_F(HyperLinkTest, OnlyAPrefixOtherThanTheDefaultIsWritten) {
  struct Case {
    const char* prefix;
    bool written;
  };
  const Case cases[] = {{"http://", false}, {"ftp://", true}, {"", true}};
  for (const Case& c : cases) {
    auto* edit = NewLink("x");
    edit->SetName("Link");
    edit->Properties()->SetPrefix(c.prefix);
    const String text = WriteComponentToText(Form);
    EXPECT_EQ(text.find("Prefix") != String::npos, c.written) << c.prefix << "\n" << text;
    FreeObject(edit);
    TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
    ReadComponentFromText(text, copy.get(), "form");
    auto* read = dynamic_cast<TuiHyperLinkEdit*>(copy->FindComponent("Link"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Properties()->Prefix(), c.prefix);
  }
}

// The default opener is the platform's ShellExecute: a recording program stands in for the desktop's.
TEST_F(HyperLinkTest, TheDefaultOpenerStartsTheDesktopOpenerWithTheAddress) {
  k58::editors::SetHyperLinkOpener(nullptr);
  const std::string out = ::testing::TempDir() + "hyperlink-opener.out";
  const std::string script = ::testing::TempDir() + "hyperlink-opener.sh";
  {
    std::ofstream s(script);
    s << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << out << ".tmp\"\nmv \"" << out << ".tmp\" \"" << out << "\"\n";
  }
  chmod(script.c_str(), 0755);
  std::remove(out.c_str());
  k58::winui::SetShellOpenProgram(script);
  auto* edit = NewLink("example.org/a b;$(id)");
  edit->DoStart();
  std::string opened = "(not started)";
  for (int i = 0; i < 500 && opened == "(not started)"; ++i) {
    std::ifstream f(out);
    if (f) {
      std::stringstream text;
      text << f.rdbuf();
      opened = text.str();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  EXPECT_EQ(opened, "http://example.org/a b;$(id)\n") << "one argument, never read by a shell";
  const int before = Beeps();
  k58::winui::SetShellOpenProgram("/nonexistent/opener");
  edit->DoStart();
  EXPECT_EQ(Beeps(), before + 1) << "a failed start beeps";
  k58::winui::SetShellOpenProgram("");
  std::remove(out.c_str());
}

}  // namespace
