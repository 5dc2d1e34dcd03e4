// Form texts read by a program that lacks some control classes: what is left out and what stays.
#include <gtest/gtest.h>

#include "app/FormResources.h"
#include "platform/classes/FormText.h"
#include "platform/forms/StdCtrls.h"

namespace {

using k58::formtext::Object;

const Object* Child(const Object& Parent, const String& Name) {
  for (const Object& C : Parent.Children)
    if (C.Name == Name) return &C;
  return nullptr;
}

String Prop(const Object& O, const String& Name) {
  for (const auto& P : O.Props)
    if (P.Name == Name) return P.Val.Type == vaFalse ? "False" : P.Val.Type == vaTrue ? "True" : P.Val.Text;
  return "(none)";
}

TEST(FormTextWithKnownClasses, LeavesOutUnknownClassesKeepingTheirKnownChildrenHidden) {
  k58::forms::RegisterStandardControlClasses();
  const String Text =
      "object Form1: TForm\n"
      "  ActiveControl = Tree\n"
      "  object Side: TNoSuchPanel\n"
      "    object Tree: TNoSuchTree\n"
      "    end\n"
      "    object Head: TNoSuchPanel\n"
      "      object Hide: TButton\n"
      "        Caption = 'X'\n"
      "      end\n"
      "    end\n"
      "    object Title: TLabel\n"
      "      Visible = True\n"
      "    end\n"
      "  end\n"
      "  object Edit1: TEdit\n"
      "    Text = 'kept'\n"
      "  end\n"
      "end\n";
  std::vector<String> Left;
  const Object Root = k58::formtext::Parse(FormTextWithKnownClasses(Text, "Form1", &Left), "filtered");
  EXPECT_EQ(Left, (std::vector<String>{"Tree", "Head", "Side"}));
  ASSERT_EQ(Root.Children.size(), 3u);
  EXPECT_EQ(Prop(Root, "ActiveControl"), "(none)");  // the reference to a component left out
  for (const char* Name : {"Hide", "Title"}) {
    const Object* Moved = Child(Root, Name);
    ASSERT_NE(Moved, nullptr) << Name;
    EXPECT_EQ(Prop(*Moved, "Visible"), "False") << Name;
  }
  EXPECT_EQ(Prop(*Child(Root, "Hide"), "Caption"), "X");
  const Object* Edit = Child(Root, "Edit1");
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(Prop(*Edit, "Visible"), "(none)");  // a component of a known class stays as it was

  // A text with only known classes comes back unchanged.
  const String Known = "object Form1: TForm\n  object Edit1: TEdit\n  end\nend\n";
  EXPECT_EQ(FormTextWithKnownClasses(Known, "Form1"), Known);
}

}  // namespace
