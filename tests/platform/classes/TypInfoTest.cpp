// Class references, the class registry and published properties of every kind.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Fixtures.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

namespace classes_test {

// Classes that only the test below asks about: their descriptions are made by its first question.
class TLazyDescribedBase : public TPersistent {
  K58_CLASS(TLazyDescribedBase, TPersistent)
  TLazyDescribedBase() = default;
  Integer Width() const { return width_; }
  void SetWidth(Integer v) { width_ = v; }

 private:
  Integer width_ = 0;
};

class TLazyDescribedChild : public TLazyDescribedBase {
  K58_CLASS(TLazyDescribedChild, TLazyDescribedBase)
  TLazyDescribedChild() = default;
  Integer Height() const { return height_; }
  void SetHeight(Integer v) { height_ = v; }

 private:
  Integer height_ = 0;
};

K58_IMPLEMENT_CLASS(TLazyDescribedBase) { b.Prop("Width", &TLazyDescribedBase::Width, &TLazyDescribedBase::SetWidth); }
K58_IMPLEMENT_CLASS(TLazyDescribedChild) {
  b.Prop("Height", &TLazyDescribedChild::Height, &TLazyDescribedChild::SetHeight);
}

namespace {

TEST(ClassRegistryTest, AClassFirstAskedFromSeveralThreadsListsItsParentsPropertiesToo) {
  // The child is asked before its parent ever was, by several threads at once.
  std::vector<std::vector<String>> seen(4);
  std::vector<std::thread> askers;
  for (auto& names : seen)
    askers.emplace_back([&names] {
      for (const TPropInfo* p : FindClass("TLazyDescribedChild")->Properties()) names.push_back(p->Name);
    });
  for (auto& t : askers) t.join();
  for (const auto& names : seen) EXPECT_EQ(names, (std::vector<String>{"Width", "Height"}));
  EXPECT_TRUE(TLazyDescribedChild::StaticClass()->HasPublishedInfo());
  TObjectPtr<TObject> made = FindClass("TLazyDescribedChild")->Create();
  SetOrdProp(made.get(), "Width", 7);
  EXPECT_EQ(static_cast<TLazyDescribedChild*>(made.get())->Width(), 7);
}

TEST(ClassRegistryTest, FindsClassesByNameIgnoringCase) {
  EXPECT_EQ(FindClass("TStringList"), TStringList::StaticClass());
  EXPECT_EQ(GetClass("tstringlist"), TStringList::StaticClass());
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  try {
    FindClass("TNoSuchClass");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
  }
}

TEST(ClassRegistryTest, FindsClassesOfLibrariesThatNoCodeRefersTo) {
  // TRegistrationProbe lives in a library of this test program that nothing calls (probe/).
  TClass cls = FindClass("TRegistrationProbe");
  EXPECT_EQ(cls->Name(), "TRegistrationProbe");
  EXPECT_EQ(cls->Parent(), TPersistent::StaticClass());
}

TEST(ClassRegistryTest, ReportsTheActualClassAndItsAncestry) {
  TStringList list;
  TObject* object = &list;
  EXPECT_EQ(object->ClassName(), "TStringList");
  EXPECT_EQ(object->ClassParent(), TStrings::StaticClass());
  EXPECT_TRUE(object->InheritsFrom(TPersistent::StaticClass()));
  EXPECT_TRUE(object->Is<TStrings>());
  EXPECT_FALSE(object->Is<TComponent>());
  EXPECT_TRUE(TStrings::StaticClass()->HasPublishedInfo());
  EXPECT_FALSE(TList::StaticClass()->HasPublishedInfo());
  EXPECT_FALSE(TStream::StaticClass()->HasPublishedInfo());
  EXPECT_EQ(ObjectAs<TStrings>(object), &list);
  EXPECT_THROW(ObjectAs<TComponent>(object), EInvalidCast);
}

TEST(ClassRegistryTest, FactoriesMakeTheClassOfTheReference) {
  // Default constructor.
  TObjectPtr<TObject> list = GetClass("TStringList")->Create();
  EXPECT_EQ(list->ClassName(), "TStringList");

  // Virtual constructor of components: the owner frees what it made.
  TTestForm owner(nullptr);
  TClass cls = FindClass("TTestControl");
  TComponent* control = cls->CreateComponent(&owner);
  EXPECT_EQ(control->ClassType(), TTestControl::StaticClass());
  EXPECT_EQ(control->Owner(), &owner);

  // Collection items are made by their collection.
  TCollection collection(TTestItem::StaticClass());
  EXPECT_EQ(collection.Add()->ClassName(), "TTestItem");
}

TEST(ClassRegistryTest, AbstractClassesHaveNoFactory) {
  for (const char* name : {"TStrings", "TStream", "TFileStream", "TCustomMemoryStream"}) {
    SCOPED_TRACE(name);
    TClass cls = FindClass(name);
    EXPECT_TRUE(cls->IsAbstract());
    try {
      cls->Create();
      FAIL();
    } catch (const EAbstractError& e) {
      EXPECT_EQ(e.Message(), String("Cannot create instance of abstract class ") + name);
    }
  }
  EXPECT_THROW(TStringList::StaticClass()->CreateComponent(nullptr), EAbstractError);
}

TEST(PropInfoTest, ListsInheritedPropertiesFirstWithExactTypeNames) {
  const auto& props = TTestForm::StaticClass()->Properties();
  ASSERT_GE(props.size(), 3u);
  EXPECT_EQ(props[0]->Name, "Name");
  EXPECT_EQ(props[1]->Name, "Tag");
  EXPECT_EQ(props[2]->Name, "Left");

  struct Row {
    const char* prop;
    TTypeKind kind;
    const char* typeName;
  };
  const Row rows[] = {
      {"Left", tkInteger, "Integer"},       {"Caption", tkLString, "TCaption"},  {"Align", tkEnumeration, "TTestAlign"},
      {"Visible", tkEnumeration, "Boolean"}, {"Color", tkInteger, "TTestColor"}, {"Font", tkClass, "TTestFont"},
      {"Ratio", tkFloat, "Double"},          {"Big", tkInt64, "Int64"},           {"Hint", tkWString, "WideString"},
      {"Accel", tkChar, "Char"},             {"Value", tkVariant, "Variant"},     {"OnClick", tkMethod, "TNotifyEvent"},
      {"OnKey", tkMethod, "TTestKeyEvent"},
  };
  TTestControl control(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.prop);
    const TPropInfo* info = GetPropInfo(&control, String(row.prop));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Kind(), row.kind);
    EXPECT_EQ(info->PropType->Name(), row.typeName);
  }
  EXPECT_EQ(GetPropInfo(&control, "font")->PropType->ClassType(), TTestFont::StaticClass());
  EXPECT_EQ(GetPropInfo(&control, "Nothing"), nullptr);
  const TTypeInfo* style = GetPropInfo(control.GetFont(), "Style")->PropType;
  EXPECT_EQ(style->Name(), "TTestStyles");
  EXPECT_EQ(style->CompType->Name(), "TTestStyle");
}

TEST(PropInfoTest, GetsAndSetsEveryKindByName) {
  TTestControl control(nullptr);
  SetOrdProp(&control, "Left", 12);
  SetStrProp(&control, "Caption", "Hello");
  SetEnumProp(&control, "Align", "xaClient");
  SetOrdProp(&control, "Visible", 0);
  SetFloatProp(&control, "Ratio", 0.25);
  SetInt64Prop(&control, "Big", 1234567890123LL);
  SetWideStrProp(&control, "Hint", u"提示");
  SetStrProp(&control, "Accel", "k");
  SetVariantProp(&control, "Value", Variant(42));
  SetSetProp(control.GetFont(), "Style", "[xsBold,xsUnderline]");

  EXPECT_EQ(control.Left, 12);
  EXPECT_EQ(control.Caption, "Hello");
  EXPECT_EQ(control.Align, xaClient);
  EXPECT_FALSE(control.Visible);
  EXPECT_EQ(control.Ratio, 0.25);
  EXPECT_EQ(control.Big, 1234567890123LL);
  EXPECT_EQ(control.Hint, u"提示");
  EXPECT_EQ(control.Accel, 'k');
  EXPECT_EQ(control.Value.AsInteger(), 42);
  EXPECT_EQ((control.GetFont()->GetStyle()), (TTestStyles{xsBold, xsUnderline}));

  EXPECT_EQ(GetOrdProp(&control, "Left"), 12);
  EXPECT_EQ(GetEnumProp(&control, "Align"), "xaClient");
  EXPECT_EQ(GetSetProp(control.GetFont(), "Style", true), "[xsBold,xsUnderline]");
  EXPECT_EQ(GetStrProp(&control, "Hint"), "提示");
  EXPECT_EQ(GetWideStrProp(&control, "Caption"), u"Hello");
  EXPECT_EQ(GetStrProp(&control, "Accel"), "k");
  EXPECT_EQ(GetFloatProp(&control, "Ratio"), 0.25);
  EXPECT_EQ(GetInt64Prop(&control, "Big"), 1234567890123LL);
}

TEST(PropInfoTest, ValuesOutsideTheTypeAreRefused) {
  TTestControl control(nullptr);
  EXPECT_THROW(SetEnumProp(&control, "Align", "xaSideways"), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(&control, "Align", 4), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(&control, "Left", Int64(1) << 40), EPropertyConvertError);
  EXPECT_THROW(SetSetProp(control.GetFont(), "Style", "[xsBold, xsBlink]"), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(control.GetFont(), "Style", 1 << 5), EPropertyConvertError);
  EXPECT_THROW(SetStrProp(&control, "Accel", "two"), EPropertyConvertError);
  EXPECT_THROW(SetStrProp(&control, "Left", "x"), EPropertyConvertError);
  EXPECT_EQ(control.Align, xaNone);
  try {
    GetOrdProp(&control, "Missing");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Property Missing does not exist");
  }
}

TEST(PropInfoTest, ClassPropertiesCheckTheDeclaredClass) {
  TTestForm form(nullptr);
  auto* menu = new TTestMenu(&form);
  auto* other = new TTestControl(&form);
  SetObjectProp(&form, "PopupMenu", menu);
  EXPECT_EQ(form.GetPopupMenu(), menu);
  EXPECT_EQ(GetObjectProp(&form, "PopupMenu"), menu);
  try {
    SetObjectProp(&form, "PopupMenu", other);
    FAIL();
  } catch (const EPropertyConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid property value");
  }
  EXPECT_EQ(form.GetPopupMenu(), menu);
  SetObjectProp(&form, "PopupMenu", nullptr);
  EXPECT_EQ(form.GetPopupMenu(), nullptr);

  // A sub-object property with a setter that assigns.
  TTestFont font;
  font.SetName("Mono");
  SetObjectProp(&form, "Font", &font);
  EXPECT_EQ(form.GetFont()->GetName(), "Mono");
  EXPECT_NE(form.GetFont(), &font);
}

TEST(PropInfoTest, ReadOnlyPropertiesCannotBeSet) {
  TTestControl control(nullptr);
  const TPropInfo* info = GetPropInfo(&control, "ChildCount");
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->IsReadable());
  EXPECT_FALSE(info->IsWritable());
  EXPECT_EQ(GetOrdProp(&control, "ChildCount"), 0);
  EXPECT_THROW(SetOrdProp(&control, "ChildCount", 3), EPropertyError);
  EXPECT_THROW(SetObjectProp(&control, "Glyph", nullptr), EPropertyError);
}

TEST(PropInfoTest, EventsHoldAHandlerWithItsIdentity) {
  TTestForm form(nullptr);
  TTestControl button(&form);
  button.SetName("Button1");

  const TMethodEntry* entry = form.ClassType()->FindMethod("button1click");
  ASSERT_NE(entry, nullptr);
  SetMethodProp(&button, "OnClick", entry->Bind(&form));
  button.OnClick(&button);
  ASSERT_EQ(form.Calls.size(), 1u);
  EXPECT_EQ(form.Calls[0], "Button1Click:Button1");

  // The identity: the same method of the same object, whoever made the delegate.
  TMethodValue held = GetMethodProp(&button, "OnClick");
  EXPECT_TRUE(held.SameAs(TMethodValue(TNotifyEvent(&form, &TTestForm::Button1Click))));
  EXPECT_FALSE(held.SameAs(TMethodValue(TNotifyEvent(&form, &TTestForm::FormCreate))));
  EXPECT_EQ(held.Data(), static_cast<const void*>(&form));
  EXPECT_EQ(form.ClassType()->MethodName(&form, held), "Button1Click");

  // A handler of another signature does not fit.
  EXPECT_THROW(SetMethodProp(&button, "OnClick", form.ClassType()->FindMethod("KeyPressed")->Bind(&form)),
               EPropertyConvertError);

  // Empty.
  SetMethodProp(&button, "OnClick", TMethodValue());
  EXPECT_FALSE(button.OnClick);
  EXPECT_TRUE(GetMethodProp(&button, "OnClick").IsNil());
}

TEST(PropInfoTest, PropValuesGoThroughVariants) {
  TTestControl control(nullptr);
  SetPropValue(&control, "Left", Variant(String("17")));
  SetPropValue(&control, "Align", Variant(String("xaTop")));
  SetPropValue(&control, "Visible", Variant(false));
  SetPropValue(&control, "Ratio", Variant(1.5));
  SetPropValue(&control, "Caption", Null());
  SetPropValue(control.GetFont(), "Style", Variant(String("xsItalic")));
  EXPECT_EQ(control.Left, 17);
  EXPECT_EQ(control.Align, xaTop);
  EXPECT_FALSE(control.Visible);
  EXPECT_EQ(control.Caption, "");

  EXPECT_EQ(GetPropValue(&control, "Align").AsString(), "xaTop");
  EXPECT_EQ(GetPropValue(&control, "Align", false).AsInteger(), 1);
  EXPECT_EQ(VarType(GetPropValue(&control, "Visible")), varBoolean);
  EXPECT_EQ(GetPropValue(control.GetFont(), "Style").AsString(), "xsItalic");
  EXPECT_EQ(GetPropValue(&control, "Font").AsObject(), control.GetFont());
  EXPECT_THROW(GetPropValue(&control, "OnClick"), EPropertyConvertError);
}

TEST(PropInfoTest, EnumerationAndSetNames) {
  const TTypeInfo* align = TypeInfoOf<TTestAlign>();
  EXPECT_EQ(GetEnumName(align, 2), "xaBottom");
  EXPECT_EQ(GetEnumValue(align, "XACLIENT"), 3);
  EXPECT_EQ(GetEnumValue(align, "xaNowhere"), -1);
  EXPECT_EQ(GetEnumName(TypeInfoOf<bool>(), 1), "True");
  const TTypeInfo* styles = TypeInfoOf<TTestStyles>();
  EXPECT_EQ(SetToString(styles, 0b101, true), "[xsBold,xsUnderline]");
  EXPECT_EQ(StringToSet(styles, " [ xsItalic , xsBold ] "), 0b011u);
  EXPECT_EQ(StringToSet(styles, "[]"), 0u);
}

}  // namespace

}  // namespace classes_test
