// Class bindings: published properties (64-bit ones whole), callback properties, methods, constructors,
// indexed and default properties, class references, the checks on object values, and objects of classes
// that were not registered.
#include "platform/classes/ClassBuilder.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

int liveGadgets = 0;

}  // namespace

// A host object with published properties of three kinds.
class TGadget : public TComponent {
  K58_CLASS(TGadget, TComponent)

  explicit TGadget(TComponent* AOwner) : TComponent(AOwner) { ++liveGadgets; }
  ~TGadget() override { --liveGadgets; }

  Integer Size() const { return size_; }
  void SetSize(Integer Value) { size_ = Value; }
  Int64 Big() const { return big_; }
  void SetBig(Int64 Value) { big_ = Value; }
  const String& Label() const { return label_; }
  void SetLabel(const String& Value) { label_ = Value; }
  String items[4];

 private:
  Integer size_ = 1;
  Int64 big_ = 0;
  String label_;
};

K58_IMPLEMENT_CLASS(TGadget) {
  b.Prop("Size", &TGadget::Size, &TGadget::SetSize);
  b.Prop("Big", &TGadget::Big, &TGadget::SetBig);
  b.Prop("Label", &TGadget::Label, &TGadget::SetLabel);
}

// Registered with the script.
class TBigGadget : public TGadget {
  K58_CLASS(TBigGadget, TGadget)
  using TGadget::TGadget;
};
K58_IMPLEMENT_CLASS(TBigGadget) {}

// Not registered with the script: reached through its nearest registered ancestor, TGadget.
class TPlainGadget : public TGadget {
  K58_CLASS(TPlainGadget, TGadget)
  using TGadget::TGadget;
};
K58_IMPLEMENT_CLASS(TPlainGadget) {}

namespace {

class ClassBindingTest : public ::testing::Test {
 protected:
  ClassBindingTest() : gadget_(new TGadget(nullptr)), plain_(new TPlainGadget(nullptr)) {}

  // Text run in a new host with the classes and objects registered.
  String Run(const String& Text) {
    TScriptHost host;
    Register(host.Script());
    return host.Run(Text);
  }

  void Register(TscScript& s) {
    s.AddClass(TComponent::StaticClass(), "");
    TscClassVariable* cls = s.AddClass(TGadget::StaticClass(), "TComponent");
    cls->AddConstructor("constructor Create(AOwner: TComponent)", TscMethodCallback(this, &ClassBindingTest::Create));
    cls->AddMethod("function Twice(n: Integer): Integer", TscMethodCallback(this, &ClassBindingTest::Twice));
    cls->AddProperty("Area", "Integer", TscPropGetCallback(this, &ClassBindingTest::GetArea),
                     TscPropSetCallback(this, &ClassBindingTest::SetArea));
    cls->AddIndexProperty("Items", "Integer", "String", TscMethodCallback(this, &ClassBindingTest::Items), false);
    cls->AddDefaultProperty("Lines", "Integer", "String", TscMethodCallback(this, &ClassBindingTest::Items), true);
    s.AddClass(TBigGadget::StaticClass(), "TGadget");
    s.AddObject("G", gadget_.get());
    s.AddObject("P", plain_.get());
    s.AddObject("C", &component_);
  }

  Variant Create(TObject*, TClass, const String&, TscMethodHelper* Caller) {
    // The class the constructor was called on, not the one it was registered under.
    auto* owner = static_cast<TComponent*>(ScriptObjectOrNil(Caller->GetParamValue(0), TComponent::StaticClass()));
    return Variant::FromObject(CreateScriptInstance(Caller->ParentClass(), owner));
  }
  Variant Twice(TObject* Instance, TClass, const String&, TscMethodHelper* Caller) {
    return static_cast<TGadget*>(Instance)->Size() * Caller->GetParamValue(0).AsInteger() * 2;
  }
  Variant GetArea(TObject* Instance, TClass, const String&) { return static_cast<TGadget*>(Instance)->Size() * 10; }
  void SetArea(TObject* Instance, TClass, const String&, const Variant& Value) {
    static_cast<TGadget*>(Instance)->SetSize(Value.AsInteger() / 10);
  }
  Variant Items(TObject* Instance, TClass, const String& Name, TscMethodHelper* Caller) {
    String& slot = static_cast<TGadget*>(Instance)->items[Caller->GetParamValue(0).AsInteger() & 3];
    if (Name.ends_with(".SET")) slot = Caller->GetParamValue(1).AsString();
    return slot;
  }

  std::unique_ptr<TGadget> gadget_;
  std::unique_ptr<TPlainGadget> plain_;
  TComponent component_{nullptr};
};

TEST_F(ClassBindingTest, PropertiesMethodsAndIndexedMembers) {
  EXPECT_EQ(Run("begin G.Size := 3; G.Big := 5000000000; G.Label := 'x'; "
                      "Emit(G.Size); Emit(G.Big); Emit(G.Label); Emit(G.Twice(2)); Emit(G.Area); "
                      "G.Area := 70; Emit(G.Size); G.Items[1] := 'one'; Emit(G.Items[1]); Emit(G[1]) end."),
            "3 5000000000 x 12 30 7 one one");
  // 64-bit values arrive whole.
  EXPECT_EQ(gadget_->Big(), Int64{5000000000});
  EXPECT_EQ(gadget_->Label(), "x");
}

TEST_F(ClassBindingTest, ConstructorsMakeTheClassTheyAreCalledOn) {
  const int before = liveGadgets;
  EXPECT_EQ(Run("var a: TGadget; b: Variant; begin a := TBigGadget.Create(G); Emit(a is TBigGadget); "
                      "b := TGadget; Emit(b is TGadget) end."),
            "True False");
  // One instance, owned by G; the class name alone made none.
  EXPECT_EQ(liveGadgets, before + 1);
  ASSERT_EQ(gadget_->ComponentCount(), 1);
  EXPECT_EQ(gadget_->Components(0)->ClassType(), TBigGadget::StaticClass());
}

TEST_F(ClassBindingTest, ObjectValuesAreChecked) {
  struct Case {
    const char* text;
    const char* trace;
  };
  const Case cases[] = {
      {"var x: TGadget; begin Emit(x.Size) end.", "raise Object reference is nil"},
      {"begin Emit(TBigGadget(G).Size) end.", "raise Invalid class typecast"},
      {"var v: Variant; begin v := 5; Emit(v is TGadget); Emit(TGadget(nil) = nil) end.", "False True"},
      {"var v: Variant; begin v := 5; Emit(TGadget(v).Size) end.", "raise Invalid class typecast"},
      // An object of a class the script does not know acts as its nearest registered ancestor.
      {"begin P.Size := 4; Emit(P.Twice(1)); Emit(P is TGadget); Emit(P is TBigGadget) end.", "8 True False"},
      {"var x: TGadget; begin x := P; x.Size := 9; Emit(P.Size) end.", "9"},
      {"begin Emit(G.Items) end.", "error Not enough actual parameters @ 1:19"},
      {"begin Emit(G.Items.Size) end.", "error Index required @ 1:19"},
      {"begin Emit(C[1]) end.", "error Class TComponent does not have a default property @ 1:14"},
      {"begin Emit(G.Nothing) end.", "error Undeclared identifier: 'Nothing' @ 1:21"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.text), c.trace) << c.text;
  }
}

}  // namespace
}  // namespace script_test
