// Late-bound automation members: a name looked up through the object's dispatch interface and invoked as
// a method call, a property read or a property put.
#include "platform/classes/ClassBuilder.h"
#include "platform/ole/ComObj.h"
#include "platform/rtl/CodePages.h"
#include "script/sc_const.h"
#include "script/sc_internal.h"

K58_IMPLEMENT_CLASS(TscOLEHelper) {}

namespace {

// "OLE error:" with the failure code and the member, then what the object reported.
[[noreturn]] void RaiseOleError(HRESULT Code, const String& Name, const EXCEPINFO* Info) {
  String message = String(scconsts::SOleError) + IntToHex(static_cast<Integer>(Code), 8) + ": " + Name;
  if (Info != nullptr) {
    if (!Info->bstrSource.empty()) message += "\r\n" + String(scconsts::SOleSource) + WideToUtf8(Info->bstrSource);
    if (!Info->bstrDescription.empty()) {
      message += "\r\n" + String(scconsts::SOleDescription) + WideToUtf8(Info->bstrDescription);
    }
    if (!Info->bstrHelpFile.empty()) {
      message += "\r\n" + String(scconsts::SOleHelpFile) + WideToUtf8(Info->bstrHelpFile);
    }
  }
  throw EOleSysError(message, Code);
}

}  // namespace

TscOLEHelper::TscOLEHelper(const String& Name) : TscCustomHelper(Name, tcVariant, String()) {}

void TscOLEHelper::GetValue(Variant& Result) {
  std::vector<Variant> args;
  args.reserve(static_cast<size_t>(ParamCount()));
  for (Integer i = 0; i < ParamCount(); ++i) args.push_back(GetParam(i)->ValueSlot());
  DispatchInvoke(args, &Result, DISPATCH_METHOD);
}

void TscOLEHelper::SetValue(const Variant& Value) {
  std::vector<Variant> args;
  args.reserve(static_cast<size_t>(ParamCount()) + 1);
  for (Integer i = 0; i < ParamCount(); ++i) args.push_back(GetParam(i)->ValueSlot());
  args.push_back(Value);
  DispatchInvoke(args, nullptr, DISPATCH_PROPERTYPUT);
}

void TscOLEHelper::DispatchInvoke(std::vector<Variant>& Args, Variant* Result, WORD Flags) {
  IDispatch* dispatch = parentValue_.AsDispatch();
  if (dispatch == nullptr) throw EAccessViolation(scconsts::SObjectNil);
  // Keeps the object alive through the call, whatever the call does to the value it came from.
  const Variant keep = parentValue_;
  DISPID id = DISPID_UNKNOWN;
  const HRESULT found = dispatch->GetIDsOfNames(Utf8ToWide(name_), id);
  if (FAILED(found)) RaiseOleError(found, name_, nullptr);

  // The arguments go last first, as the dispatch standard passes them.
  const size_t count = Args.size();
  std::vector<Variant> block(count);
  for (size_t i = 0; i < count; ++i) block[i] = Args[count - 1 - i];
  DISPPARAMS params;
  params.rgvarg = block.data();
  params.cArgs = static_cast<UINT>(count);
  DISPID named = DISPID_PROPERTYPUT;
  if (Flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  Variant* slot = nullptr;
  if (Result != nullptr && resultWanted_ && Flags != DISPATCH_PROPERTYPUT) {
    Result->Clear();
    slot = Result;
    // A property reads with the syntax of a function call.
    if (Flags == DISPATCH_METHOD) Flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  } else if (Result != nullptr) {
    Result->Clear();
  }
  EXCEPINFO info;
  const HRESULT hr = dispatch->Invoke(id, Flags, params, slot, &info);
  if (FAILED(hr)) RaiseOleError(hr, name_, &info);
}
