// Fuzz target of the value types' stream readers: the first byte chooses one of the fourteen types, the
// rest is the stream. Any bytes either load or raise one of the library's errors and leave the field
// whole; what loaded saves, and saving what that loads back gives the same bytes. Fields are released,
// so a leak shows.
#include <cstdint>
#include <vector>

#include "controls/foundation/uiDataStorage.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

TuiValueTypeClass TypeOf(uint8_t AChoice) {
  static const TuiValueTypeClass types[] = {
      ValueTypeClass<TuiStringValueType>(),   ValueTypeClass<TuiWideStringValueType>(),
      ValueTypeClass<TuiSmallintValueType>(), ValueTypeClass<TuiIntegerValueType>(),
      ValueTypeClass<TuiWordValueType>(),     ValueTypeClass<TuiBooleanValueType>(),
      ValueTypeClass<TuiFloatValueType>(),    ValueTypeClass<TuiCurrencyValueType>(),
      ValueTypeClass<TuiDateTimeValueType>(), ValueTypeClass<TuiLargeIntValueType>(),
      ValueTypeClass<TuiFMTBcdValueType>(),   ValueTypeClass<TuiSQLTimeStampValueType>(),
      ValueTypeClass<TuiVariantValueType>(),  ValueTypeClass<TuiObjectValueType>()};
  return types[AChoice % 14];
}

// A zeroed, unaligned value field and its text field, released at the end.
class TField {
 public:
  explicit TField(TuiValueTypeClass AType)
      : type_(AType), bytes_(1 + static_cast<size_t>(AType->GetValueDataSize()) + sizeof(void*)) {}
  ~TField() {
    type_->ReleaseValueData(Value());
    type_->ReleaseTextData(Text());
  }
  void* Value() { return bytes_.data() + 1; }
  void* Text() { return bytes_.data() + 1 + type_->GetValueDataSize(); }

 private:
  TuiValueTypeClass type_;
  std::vector<Byte> bytes_;
};

std::vector<uint8_t> Saved(TuiValueTypeClass AType, TField& AField) {
  TMemoryStream stream;
  AType->SaveValueData(AField.Value(), &stream);
  AType->SaveTextData(AField.Text(), &stream);
  const auto* p = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(p, p + stream.Size());
}

// Loads a value and a display text; false when the bytes are refused.
bool Load(TuiValueTypeClass AType, TField& AField, const uint8_t* Data, size_t Size) {
  TFuzzInputStream stream(Data, Size);
  try {
    AType->LoadValueData(AField.Value(), &stream);
    AType->LoadTextData(AField.Text(), &stream);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  const TuiValueTypeClass type = TypeOf(Data[0]);
  TField field(type);
  if (!Load(type, field, Data + 1, Size - 1)) {
    // A refused value leaves a field that still saves and releases.
    Saved(type, field);
    return 0;
  }
  type->GetDefaultText(field.Value());
  const std::vector<uint8_t> first = Saved(type, field);
  TField again(type);
  K58_FUZZ_CHECK(Load(type, again, first.data(), first.size()));
  K58_FUZZ_CHECK(Saved(type, again) == first);
  K58_FUZZ_CHECK(type->CompareBufferData(field.Value(), again.Value()) == 0 || type->GetVariantType() == varDouble ||
                 type->GetVariantType() == varDate || type->GetVariantType() == varVariant);
  return 0;
}
