// Form resources: reading the text into components through the type information and writing it back.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "Fixtures.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Streams.h"

namespace classes_test {

namespace {

// Nested components, a collection, a string list, binary data, a forward component reference, event
// handlers, sub-object properties and values of every kind, in the order the writer produces them.
const char* const kForm = R"(object Form1: TTestForm
  Caption = 'Main'#13#10'window'
  Color = xcRed
  Font.Name = 'Tahoma'
  Font.Style = [xsBold, xsItalic]
  OnClick = FormCreate
  object Panel1: TTestControl
    Left = 8
    Align = xaTop
    Lines.Strings = (
      'first'
      'it''s'#9'second'
      '')
    object Button1: TTestControl
      Tag = 7
      Caption = 'OK'
      Visible = False
      PopupMenu = Menu1
      Items = <
        item
          Caption = 'a'
        end
        item
          Caption = 'b'
          Width = 80
        end>
      OnClick = Button1Click
      OnKey = KeyPressed
    end
  end
  object Image1: TTestControl
    Left = -3
    Color = 4210752
    Font.Size = 12
    Ratio = 0.1
    Big = 12345678901234
    Hint = '中文提示'
    Accel = 'x'
    Value = 2.5
    Glyph.Data = {
      424D3E000000000000003E000000280000000100000001000000010001000000
      000004000000000000000000000000000000000000000000FFFFFF0080000000}
  end
  object Menu1: TTestMenu
    Caption =
      'A caption longer than sixty-four characters is written in parts ' +
      'joined by plus signs'
    GroupIndex = 0
  end
end
)";

class FormStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadedLog().clear(); }
};

TEST_F(FormStreamTest, LoadsIntoTheRightObjects) {
  TTestForm form(nullptr);
  ReadComponentFromText(kForm, &form, "TFORM1");

  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Caption, "Main\r\nwindow");
  EXPECT_EQ(form.Color, xcRed);
  EXPECT_EQ(form.GetFont()->GetName(), "Tahoma");
  EXPECT_EQ((form.GetFont()->GetStyle()), (TTestStyles{xsBold, xsItalic}));
  ASSERT_EQ(form.ComponentCount(), 4);

  auto* panel = dynamic_cast<TTestControl*>(form.FindComponent("Panel1"));
  auto* button = dynamic_cast<TTestControl*>(form.FindComponent("button1"));
  auto* image = dynamic_cast<TTestControl*>(form.FindComponent("Image1"));
  auto* menu = dynamic_cast<TTestMenu*>(form.FindComponent("Menu1"));
  ASSERT_TRUE(panel && button && image && menu);
  // Every component belongs to the root; the button's parent is the panel.
  EXPECT_EQ(button->Owner(), &form);
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(panel->Parent(), &form);

  EXPECT_EQ(panel->Left, 8);
  EXPECT_EQ(panel->Align, xaTop);
  ASSERT_EQ(panel->GetLines()->Count(), 3);
  EXPECT_EQ(panel->GetLines()->Strings(1), "it's\tsecond");
  EXPECT_EQ(panel->GetLines()->Strings(2), "");

  EXPECT_EQ(button->Tag(), 7);
  EXPECT_FALSE(button->Visible);
  EXPECT_EQ(button->GetPopupMenu(), menu);
  ASSERT_EQ(button->GetItems()->Count(), 2);
  auto* second = dynamic_cast<TTestItem*>(button->GetItems()->GetItem(1));
  EXPECT_EQ(second->Caption, "b");
  EXPECT_EQ(second->Width, 80);
  EXPECT_EQ(dynamic_cast<TTestItem*>(button->GetItems()->GetItem(0))->Width, 50);

  EXPECT_EQ(image->Left, -3);
  EXPECT_EQ(image->Ratio, 0.1);
  EXPECT_EQ(image->Big, 12345678901234LL);
  EXPECT_EQ(image->Hint, u"中文提示");
  EXPECT_EQ(image->Accel, 'x');
  EXPECT_EQ(image->Value.AsDouble(), 2.5);
  ASSERT_EQ(image->GetGlyph()->Bytes.size(), 64u);
  EXPECT_EQ(image->GetGlyph()->Bytes[0], 0x42);
  EXPECT_EQ(image->GetGlyph()->Bytes[60], 0x80);
  EXPECT_EQ(image->GetFont()->GetSize(), 12);
  EXPECT_EQ(menu->Caption,
            "A caption longer than sixty-four characters is written in parts joined by plus signs");

  // Handlers are the form's methods, bound by name.
  button->OnClick(button);
  form.OnClick(&form);
  char key = 'a';
  button->OnKey(button, key);
  EXPECT_EQ(key, 'b');
  ASSERT_EQ(form.Calls.size(), 2u);
  EXPECT_EQ(form.Calls[0], "Button1Click:Button1");
  EXPECT_EQ(form.Calls[1], "FormCreate:Form1");

  // Loaded ran once per component, the root first, after reading ended.
  EXPECT_EQ(LoadedLog(), (std::vector<String>{"Form1", "Panel1", "Button1", "Image1", "Menu1"}));
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(button->ComponentState().Contains(csReading));
}

TEST_F(FormStreamTest, WritesBackTheSameText) {
  TTestForm form(nullptr);
  ReadComponentFromText(kForm, &form, "TFORM1");
  EXPECT_EQ(WriteComponentToText(&form), kForm);
}

TEST_F(FormStreamTest, CreatesTheRootFromTheClassItNames) {
  TTestMenu owner(nullptr);
  TComponent* root = ReadComponentFromText(kForm, nullptr, "text", &owner);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->ClassName(), "TTestForm");
  EXPECT_EQ(root->Owner(), &owner);
  EXPECT_EQ(root->ComponentCount(), 4);
}

TEST_F(FormStreamTest, ASecondRootOfTheSameNameGetsAUniqueName) {
  TTestMenu owner(nullptr);
  TComponent* first = ReadComponentFromText(kForm, nullptr, "text", &owner);
  TComponent* second = ReadComponentFromText(kForm, nullptr, "text", &owner);
  TComponent* third = ReadComponentFromText(kForm, nullptr, "text", &owner);
  EXPECT_EQ(first->Name(), "Form1");
  EXPECT_EQ(second->Name(), "Form1_1");
  EXPECT_EQ(third->Name(), "Form1_2");
}

TEST_F(FormStreamTest, ThroughStreams) {
  TTestForm form(nullptr);
  TStringStream in(kForm);
  in.ReadComponent(&form);
  TStringStream out;
  out.WriteComponent(&form);
  EXPECT_EQ(out.DataString(), kForm);
}

TEST_F(FormStreamTest, InheritedAndInlineEntriesKeepTheirKeyword) {
  // The descendant's resource changes a component the ancestor's resource made.
  TTestForm form(nullptr);
  ReadComponentFromText(kForm, &form, "ancestor");
  ReadComponentFromText(R"(object Form1: TTestForm
  inherited Panel1: TTestControl
    Left = 99
  end
  inline Frame1: TTestControl
  end
end
)",
                        &form, "descendant");
  auto* panel = dynamic_cast<TTestControl*>(form.FindComponent("Panel1"));
  EXPECT_EQ(panel->Left, 99);
  EXPECT_EQ(panel->ComponentState().Contains(csAncestor), true);
  auto* frame = form.FindComponent("Frame1");
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->ComponentState().Contains(csInline));
  String text = WriteComponentToText(&form);
  EXPECT_NE(text.find("  inherited Panel1: TTestControl\n    Left = 99\n"), String::npos);
  EXPECT_NE(text.find("  inline Frame1: TTestControl\n"), String::npos);
}

TEST_F(FormStreamTest, DefaultsAreNotWritten) {
  TTestForm form(nullptr);
  form.SetName("Form2");
  auto* item = new TTestControl(&form);
  item->SetName("Item1");
  item->SetParent(&form);
  item->Visible = true;  // default
  item->Align = xaNone;  // default
  item->Caption = "x";
  EXPECT_EQ(WriteComponentToText(&form),
            "object Form2: TTestForm\n"
            "  object Item1: TTestControl\n"
            "    Caption = 'x'\n"
            "  end\n"
            "end\n");
}

struct BadResource {
  const char* text;
  int line;
  const char* message;
};

TEST_F(FormStreamTest, BadResourcesNameTheResourceAndTheLine) {
  const BadResource cases[] = {
      {"object Form1: TTestForm\n  Left = 'x'\nend\n", 2, "Error reading Form1.Left: Invalid property value"},
      {"object Form1: TTestForm\n  Colour = 3\nend\n", 2, "Error reading Form1.Colour: Property Colour does not exist"},
      {"object Form1: TTestForm\n  Align = xaLeftish\nend\n", 2, "Error reading Form1.Align: Invalid property value"},
      {"object Form1: TTestForm\n\n  object B: TNoSuchControl\n  end\nend\n", 3, "Class TNoSuchControl not found"},
      {"object Form1: TTestForm\n  object P: TTestControl\n    Left = 1\n\n    object B: TNoSuchControl\n    end\n"
       "  end\nend\n",
       5, "Class TNoSuchControl not found"},
      {"object Form1: TTestForm\n  OnClick = NoSuchHandler\nend\n", 2,
       "Error reading Form1.OnClick: Method 'NoSuchHandler' not found"},
      {"object Form1: TTestForm\n  OnKey = FormCreate\nend\n", 2,
       "Error reading Form1.OnKey: Method 'FormCreate' does not match the event type TTestKeyEvent"},
      {"object Form1: TTestForm\n  PopupMenu = Nobody\nend\n", 2,
       "Error reading Form1.PopupMenu: Component 'Nobody' not found"},
      {"object Form1: TTestForm\n  object B: TTestControl\n  end\n  object B: TTestControl\n  end\nend\n", 4,
       "A component named B already exists"},
      {"object Form1: TTestForm\n  inherited Gone: TTestControl\n  end\nend\n", 2, "Ancestor for 'Gone' not found"},
      {"object Form1: TTestForm\n  Caption = 'open\nend\n", 2, "Unterminated string"},
      {"object Form1: TTestForm\n  Glyph.Data = {ABC}\nend\n", 2, "Odd number of hexadecimal digits"},
      {"object Form1: TTestForm\n  Left = 3\n", 3, "'end' expected for Form1"},
  };
  for (const BadResource& c : cases) {
    SCOPED_TRACE(c.text);
    TTestForm form(nullptr);
    try {
      ReadComponentFromText(c.text, &form, "resource TFORM1");
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "resource TFORM1, line " + std::to_string(c.line) + ": " + c.message);
    }
  }
}

TEST_F(FormStreamTest, AFailedComponentIsNotLeftBehind) {
  TTestForm form(nullptr);
  EXPECT_THROW(ReadComponentFromText("object Form1: TTestForm\n  object B: TTestControl\n    Left = x\n  end\nend\n",
                                     &form, "text"),
               EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.ChildCount(), 0);
}

TEST_F(FormStreamTest, ParsesEveryValueForm) {
  using namespace k58::formtext;
  Object tree = Parse(
      "object X: T\n"
      "  A = $FF\n"
      "  B = -12\n"
      "  C = 1.5E3\n"
      "  D = 2.5s\n"
      "  E = 'ab'#13#10'cd' +\n"
      "    'ef'\n"
      "  F = #$4E2D#25991\n"
      "  G = #55357#56832\n"
      "  H = []\n"
      "  I = ()\n"
      "  J = <>\n"
      "  K = {}\n"
      "  L = Form2.Button1\n"
      "  M = nil\n"
      "end\n",
      "t");
  ASSERT_EQ(tree.Props.size(), 13u);
  EXPECT_EQ(tree.Props[0].Val.Int, 255);
  EXPECT_EQ(tree.Props[1].Val.Int, -12);
  EXPECT_EQ(tree.Props[2].Val.Type, vaExtended);
  EXPECT_EQ(tree.Props[2].Val.Text, "1.5E3");
  EXPECT_EQ(tree.Props[3].Val.Type, vaSingle);
  EXPECT_EQ(tree.Props[4].Val.Text, "ab\r\ncdef");
  EXPECT_EQ(tree.Props[5].Val.Text, "中文");
  EXPECT_EQ(tree.Props[6].Val.Text, "\xF0\x9F\x98\x80");  // one character from a surrogate pair
  EXPECT_EQ(tree.Props[7].Val.Type, vaSet);
  EXPECT_EQ(tree.Props[8].Val.Type, vaList);
  EXPECT_EQ(tree.Props[9].Val.Type, vaCollection);
  EXPECT_EQ(tree.Props[10].Val.Type, vaBinary);
  EXPECT_EQ(tree.Props[11].Val.Text, "Form2.Button1");
  EXPECT_EQ(tree.Props[12].Val.Type, vaNil);
}

// The text of an embedded resource.
String ResourceText(const char* name) {
  const TResourceData* data = FindResourceData(HInstance, name, ResTypeRCData);
  if (data == nullptr) throw EResNotFound(name);
  return String(reinterpret_cast<const char*>(data->Data), data->Size);
}

TEST_F(FormStreamTest, IntegerLiteralsAtTheEdgesGiveAValueOrTheReadersError) {
  constexpr Int64 kMin = std::numeric_limits<Int64>::min();
  constexpr Int64 kMax = std::numeric_limits<Int64>::max();
  const struct {
    const char* literal;
    bool ok;
    Int64 value;
  } cases[] = {
      // Hexadecimal is a 64-bit pattern, the sign applied to it.
      {"-$8000000000000000", true, kMin},
      {"$8000000000000000", true, kMin},
      {"$FFFFFFFFFFFFFFFF", true, -1},
      {"-$FFFFFFFFFFFFFFFF", true, 1},
      {"$7FFFFFFFFFFFFFFF", true, kMax},
      {"$10000000000000000", false, 0},
      {"-9223372036854775808", true, kMin},
      {"9223372036854775807", true, kMax},
      {"+9223372036854775807", true, kMax},
      {"9223372036854775808", false, 0},
      {"-9223372036854775809", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.literal);
    TTestForm form(nullptr);
    const String text = String("object Form1: TTestForm\n  Big = ") + c.literal + "\nend\n";
    if (c.ok) {
      ReadComponentFromText(text, &form, "text");
      EXPECT_EQ(form.Big, c.value);
    } else {
      try {
        ReadComponentFromText(text, &form, "text");
        FAIL() << "no error";
      } catch (const EParserError& e) {
        EXPECT_EQ(e.Message(), "text, line 2: Number out of range");
      }
    }
  }
  // The text the fuzzer found.
  k58::formtext::Object tree = k58::formtext::Parse(ResourceText("NegativeHexEdge"), "t");
  EXPECT_EQ(tree.Props.at(0).Val.Int, kMin);
}

TEST_F(FormStreamTest, NestingBeyondTheLimitIsAParserErrorAtItsLine) {
  // Lists, collections and objects count alike; 100 levels is the most a text may nest.
  auto lists = [](int depth) { return "object X: T\n  A =\n" + String(depth - 1, '(') + String(depth - 1, ')') + "\nend\n"; };
  auto items = [](int depth) {
    String text = "object X: T\n  A = ";
    for (int i = 1; i < depth; ++i) text += "<item\n B = ";
    text += "0";
    for (int i = 1; i < depth; ++i) text += " end>";
    return text + "\nend\n";
  };
  auto objects = [](int depth) {
    String text;
    for (int i = 0; i < depth; ++i) text += "object X: T\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
  };
  const struct {
    const char* kind;
    std::function<String(int)> make;
    int line;  // where the level beyond the limit starts
  } cases[] = {{"lists", lists, 3}, {"items", items, 101}, {"objects", objects, 101}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_NO_THROW(k58::formtext::Parse(c.make(100), "t"));
    try {
      k58::formtext::Parse(c.make(101), "t");
      FAIL() << "no error";
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), "t, line " + std::to_string(c.line) + ": Nesting deeper than 100 levels");
    }
  }
  // The text that overflowed the stack, in a reading.
  TTestForm form(nullptr);
  try {
    ReadComponentFromText(ResourceText("DeepListNesting"), &form, "resource DEEPLISTNESTING");
    FAIL() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), "resource DEEPLISTNESTING, line 2: Nesting deeper than 100 levels");
  }
}

}  // namespace

}  // namespace classes_test
