// Support of the script engine's tests.
#include "tests/script/ScriptTesting.h"

namespace script_test {

String SaveBody(const TscXMLDocument& Document) {
  TStringStream stream;
  const_cast<TscXMLDocument&>(Document).SaveToStream(&stream);
  const String& xml = stream.DataString();
  const size_t header = xml.find("?>");
  return header == String::npos ? xml : xml.substr(header + 2);
}

String ParseToText(const String& Language, const String& Text, TscILParser* Parser) {
  TscILParser own(nullptr);
  TscILParser& parser = Parser != nullptr ? *Parser : own;
  if (!Language.empty()) parser.LoadGrammar(Language);
  if (!parser.ParseText(Text)) {
    String error = "error " + parser.ErrorText() + " @ " + parser.ErrorPosition();
    if (!parser.ErrorUnitName().empty()) error += " in " + parser.ErrorUnitName();
    return error;
  }
  TscXMLItem* root = parser.ILDocument()->Root();
  // The types copy is the same for every program of a language; tests of it look at it themselves.
  const Integer types = root->Count() - 1;
  TscXMLDocument copy;
  copy.Root()->CopyFrom(root);
  delete copy.Root()->Items(types);
  return SaveBody(copy);
}

namespace {

String ShapeOf(const TscXMLItem* Item) {
  String result = Item->Name();
  const String value = Item->Name() == "uses" ? Item->Prop("unit") : Item->Prop("text");
  if (!value.empty()) result += "[" + value + "]";
  if (Item->Count() > 0) {
    result += "(";
    for (Integer i = 0; i < Item->Count(); ++i) {
      if (i > 0) result += ",";
      result += ShapeOf(Item->Items(i));
    }
    result += ")";
  }
  return result;
}

}  // namespace

String Shape(const String& Language, const String& Text, TscILParser* Parser) {
  const String il = ParseToText(Language, Text, Parser);
  if (il.compare(0, 6, "error ") == 0) return il;
  TscXMLDocument document;
  TStringStream stream("<?xml version=\"1.0\"?>" + il);
  document.LoadFromStream(&stream);
  String result;
  for (Integer i = 0; i < document.Root()->Count(); ++i) {
    if (i > 0) result += ",";
    result += ShapeOf(document.Root()->Items(i));
  }
  return result;
}

String Dump(const TscXMLItem* Item) {
  String result = Item->Name();
  if (!Item->Text().empty()) result += "[" + Item->Text() + "]";
  if (Item->Count() > 0) {
    result += "(";
    for (Integer i = 0; i < Item->Count(); ++i) {
      if (i > 0) result += ",";
      result += Dump(Item->Items(i));
    }
    result += ")";
  }
  return result;
}

TScriptHost::TScriptHost(const String& Language) : script_(std::make_unique<TscScript>(nullptr)) {
  RegisterScriptLanguages();
  script_->SetSyntaxType(Language);
  script_->AddRTTI();
  script_->AddMethod("procedure Emit(v: Variant)", TscMethodCallback(this, &TScriptHost::Emit));
}

TScriptHost::~TScriptHost() = default;

Variant TScriptHost::Emit(TObject*, TClass, const String&, TscMethodHelper* Caller) {
  const Variant value = Caller->GetParamValue(0);
  trace_.push_back(value.IsNull() ? String("<null>") : VarToStr(value));
  return Variant();
}

String TScriptHost::Compile(const String& Text) {
  script_->Lines()->SetText(Text);
  if (script_->Compile()) return String();
  String error = "error " + script_->ErrorText() + " @ " + script_->ErrorPosition();
  if (!script_->ErrorUnitName().empty()) error += " in " + script_->ErrorUnitName();
  return error;
}

String TScriptHost::Run(const String& Text) {
  trace_.clear();
  const String error = Compile(Text);
  if (!error.empty()) return error;
  String raised;
  try {
    script_->Execute();
  } catch (const Exception& e) {
    raised = "raise " + e.Message();
  }
  String result;
  for (const String& value : trace_) {
    if (!result.empty()) result += " ";
    result += value;
  }
  if (!raised.empty()) result += result.empty() ? raised : " " + raised;
  return result;
}

String RunScript(const String& Text, const String& Language) {
  TScriptHost host(Language);
  return host.Run(Text);
}

}  // namespace script_test
