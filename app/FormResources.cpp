#include "app/FormResources.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/classes/FormText.h"
#include "platform/classes/Streams.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/controls/ComboBox.h"
#include "platform/win/controls/ListBox.h"

namespace {

using k58::formtext::Object;

// The program's windows and the port component's selection dialog.
constexpr const char* FormNames[] = {"TfMaindb",   "TfMainFrm", "TfChInfo",      "TfReadRadio", "TfWriteRadio",
                                     "TfSetPort", "TfModel",   "TfSetLanguage", "TComSelectForm"};

void HideObject(Object& Node) {
  for (auto& Prop : Node.Props)
    if (Prop.Name == "Visible") {
      Prop.Val = k58::formtext::Value{};
      Prop.Val.Type = vaFalse;
      return;
    }
  k58::formtext::Property Visible;
  Visible.Name = "Visible";
  Visible.Val.Type = vaFalse;
  Node.Props.push_back(Visible);
}

// Replaces the children of Node by what stays of them; the kept children of a dropped one come up.
void Filter(Object& Node, std::vector<String>& Left) {
  std::vector<Object> Kept;
  for (Object& Child : Node.Children) {
    Filter(Child, Left);
    if (Child.Kind != k58::formtext::ObjectKind::Object || GetClass(Child.ClassName) != nullptr) {
      Kept.push_back(std::move(Child));
      continue;
    }
    Left.push_back(Child.Name);
    for (Object& Grandchild : Child.Children) {
      HideObject(Grandchild);
      Kept.push_back(std::move(Grandchild));
    }
  }
  Node.Children = std::move(Kept);
}

// Drops the references to components that were left out (a reference is an identifier naming one).
void DropReferences(Object& Node, const std::vector<String>& Left) {
  std::erase_if(Node.Props, [&](const k58::formtext::Property& Prop) {
    return Prop.Val.Type == vaIdent && std::find(Left.begin(), Left.end(), Prop.Val.Text) != Left.end();
  });
  for (Object& Child : Node.Children) DropReferences(Child, Left);
}

}  // namespace

String FormTextWithKnownClasses(const String& Text, const String& Source, std::vector<String>* Left) {
  Object Root = k58::formtext::Parse(Text, Source);
  std::vector<String> Dropped;
  Filter(Root, Dropped);
  if (Dropped.empty()) return Text;
  DropReferences(Root, Dropped);
  if (Left != nullptr) *Left = Dropped;
  return k58::formtext::Print(Root);
}

void PrepareFormResources() {
  k58::forms::RegisterStandardControlClasses();
  // The window classes of list and combo boxes, which the class library does not register for itself
  // everywhere yet (registering one again changes nothing).
  static const bool WindowClasses = [] {
    wincontrols::RegisterListBoxClass();
    wincontrols::RegisterComboLBoxClass();
    wincontrols::RegisterComboBoxClass();
    return true;
  }();
  (void)WindowClasses;
  static std::mutex Lock;
  // The registered bytes must live as long as the program.
  static std::map<String, String> Texts;
  std::lock_guard<std::mutex> Guard(Lock);
  for (const char* Name : FormNames) {
    if (Texts.count(Name) != 0) continue;
    const TResourceData* Data = FindResourceData(HInstance, Name, "FORM");
    if (Data == nullptr) continue;
    const String Text(reinterpret_cast<const char*>(Data->Data), Data->Size);
    const String& Stored = Texts[Name] = FormTextWithKnownClasses(Text, Name);
    RegisterResource("RCDATA", Name, reinterpret_cast<const Byte*>(Stored.data()), Stored.size());
  }
}
