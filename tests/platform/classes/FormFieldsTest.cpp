// Form resources storing the components they make in the root's published fields.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "platform/classes/ClassBuilder.h"

namespace classes_test {

namespace {

// A form whose components reach it through published fields, some declared by an ancestor and one under
// a name of its own; Loaded notes which fields it found set.
class TFieldFormBase : public TTestForm {
  K58_CLASS(TFieldFormBase, TTestForm)

  explicit TFieldFormBase(TComponent* AOwner) : TTestForm(AOwner) {}
  TTestControl* Panel1 = nullptr;
};

class TFieldForm : public TFieldFormBase {
  K58_CLASS(TFieldForm, TFieldFormBase)

  explicit TFieldForm(TComponent* AOwner) : TFieldFormBase(AOwner) {}
  TTestControl* OkButton = nullptr;  // the component Button1
  TTestMenu* Menu1 = nullptr;
  bool SetWhenLoaded = false;

  void Loaded() override {
    TFieldFormBase::Loaded();
    SetWhenLoaded = Panel1 != nullptr && OkButton != nullptr && Menu1 != nullptr;
  }
};

}  // namespace

K58_IMPLEMENT_CLASS(TFieldFormBase) { b.Field("Panel1", &TFieldFormBase::Panel1); }
K58_IMPLEMENT_CLASS(TFieldForm) {
  b.Field("Button1", &TFieldForm::OkButton);
  b.Field("Menu1", &TFieldForm::Menu1);
}

namespace {

const char* const kFieldForm =
    "object Form1: TFieldForm\n"
    "  object Panel1: TTestControl\n"
    "    object Button1: TTestControl\n"
    "    end\n"
    "  end\n"
    "  object Other: TTestControl\n"
    "  end\n"
    "  object Menu1: TTestMenu\n"
    "  end\n"
    "end\n";

TEST(FormFields, HoldTheComponentsOfTheirNamesBeforeLoadedRuns) {
  TFieldForm form(nullptr);
  ReadComponentFromText(kFieldForm, &form, "resource TFIELDFORM");
  EXPECT_EQ(form.Panel1, form.FindComponent("Panel1"));
  EXPECT_EQ(form.OkButton, form.FindComponent("Button1"));
  EXPECT_EQ(form.Menu1, form.FindComponent("Menu1"));
  EXPECT_TRUE(form.SetWhenLoaded);

  // A root made from the class the text names gets its fields the same way.
  TComponent* made = ReadComponentFromText(kFieldForm, nullptr, "text");
  TObjectPtr<TComponent> owned(made);
  auto* form2 = dynamic_cast<TFieldForm*>(made);
  ASSERT_NE(form2, nullptr);
  EXPECT_EQ(form2->Menu1, made->FindComponent("Menu1"));
}

struct BadFieldCase {
  const char* text;
  const char* message;
};

TEST(FormFields, AComponentOfAnotherClassOrNoComponentIsAnError) {
  const BadFieldCase cases[] = {
      {"object Form1: TFieldForm\n  object Panel1: TTestControl\n  end\n  object Button1: TTestControl\n  end\n"
       "  object Menu1: TTestControl\n  end\nend\n",
       "resource TFIELDFORM, line 6: Component 'Menu1' is a TTestControl, but the field of TFieldForm holds a "
       "TTestMenu"},
      {"object Form1: TFieldForm\n  object Panel1: TTestControl\n  end\n  object Button1: TTestControl\n  end\n"
       "end\n",
       "resource TFIELDFORM, line 1: Component 'Menu1' not found for the TTestMenu field of TFieldForm"},
      // A field declared by an ancestor counts as well.
      {"object Form1: TFieldForm\n  object Button1: TTestControl\n  end\n  object Menu1: TTestMenu\n  end\nend\n",
       "resource TFIELDFORM, line 1: Component 'Panel1' not found for the TTestControl field of TFieldForm"},
  };
  for (const BadFieldCase& c : cases) {
    SCOPED_TRACE(c.text);
    TFieldForm form(nullptr);
    try {
      ReadComponentFromText(c.text, &form, "resource TFIELDFORM");
      FAIL() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(form.SetWhenLoaded);
  }
}

}  // namespace

}  // namespace classes_test
