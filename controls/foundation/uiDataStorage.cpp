// The value types, their registry, value definitions, the record storage and the lookup list.
#include "controls/foundation/uiDataStorage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Fields may lie at any offset of a buffer: values are copied in and out byte-wise.
template <class T>
T Load(const void* P) {
  T value;
  std::memcpy(&value, P, sizeof value);
  return value;
}

template <class T>
void Store(void* P, const T& AValue) {
  std::memcpy(P, &AValue, sizeof AValue);
}

template <class T>
T* LoadCell(const void* P) {
  return Load<T*>(P);
}

template <class T>
void FreeCell(void* P) {
  delete LoadCell<T>(P);
  Store<T*>(P, nullptr);
}

// The cell of a field, made on first store.
template <class T>
T& CellOf(void* P) {
  T* cell = LoadCell<T>(P);
  if (cell == nullptr) {
    cell = new T();
    Store(P, cell);
  }
  return *cell;
}

template <class T>
Integer Order(const T& A, const T& B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

Integer OrderText(const String* A, const String* B) {
  if (A == nullptr || B == nullptr) return A == B ? 0 : (A == nullptr ? -1 : 1);
  const int c = A->compare(*B);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

[[noreturn]] void RaiseIndexError(Integer AIndex) {
  throw EListError(Format(classesconsts::SListIndexError, AIndex));
}

TuiValueTypeClassList* valueTypeClassList = nullptr;

// The record flag that marks an internal record as in use, and where the record ID lies.
constexpr Byte kInternalRecordInUse = 1;
constexpr Integer kRecordIDOffset = 1;

}  // namespace

// ---- TuiValueType -------------------------------------------------------------------------------------

TuiValueTypeClass ValueTypeClassOf(TClass AClass) {
  if (AClass == nullptr || !AClass->InheritsFrom(TuiValueType::StaticClass())) return nullptr;
  return static_cast<TuiValueTypeClass>(ClassObjectOf(AClass));
}

K58_IMPLEMENT_CLASS(TuiValueType) {}

Integer TuiValueType::CompareBufferData(const void* A, const void* B) const { return CompareStoredValues(A, B); }
void TuiValueType::ReleaseValueData(void*) const {}
void TuiValueType::ReleaseTextData(void* P) const { FreeCell<String>(P); }
Integer TuiValueType::GetValueDataSize() const { return 0; }
Variant TuiValueType::ReadValueData(const void*) const { return Null(); }

String TuiValueType::GetDefaultText(const void* P) const {
  try {
    return VarToStr(ReadValueData(P));
  } catch (const EVariantError&) {
    return String();  // a value without a text form shows none
  }
}

String TuiValueType::ReadTextData(const void* P) const {
  const String* cell = LoadCell<String>(P);
  return cell != nullptr ? *cell : String();
}

void TuiValueType::LoadValueData(void* P, TStream* AStream) const { WriteValueData(P, ReadVariantFromStream(AStream)); }
void TuiValueType::LoadTextData(void* P, TStream* AStream) const { WriteTextData(P, ReadAnsiStringFromStream(AStream)); }
void TuiValueType::WriteValueData(void*, const Variant&) const {}
void TuiValueType::WriteTextData(void* P, const String& S) const { CellOf<String>(P) = S; }
void TuiValueType::SaveValueData(const void* P, TStream* AStream) const { WriteVariantToStream(AStream, ReadValueData(P)); }
void TuiValueType::SaveTextData(const void* P, TStream* AStream) const { WriteAnsiStringToStream(AStream, ReadTextData(P)); }

String TuiValueType::GetCaption() const {
  String caption = ClassName();
  if (caption.compare(0, 3, "Tui") == 0) caption.erase(0, 3);
  const size_t at = caption.find("ValueType");
  if (at != String::npos) caption.erase(at, 9);
  return caption;
}

Integer TuiValueType::CompareStoredValues(const void* A, const void* B) const {
  return CompareVariants(ReadValueData(A), ReadValueData(B));
}

Variant TuiValueType::GetValueAt(const void* P) const { return ReadValueData(P); }
TVarType TuiValueType::GetVariantType() const { return varVariant; }

bool TuiValueType::ConvertToValueType(Variant& V) const {
  const TVarType type = GetVariantType();
  if (V.IsNull() || type == varVariant) return true;
  try {
    V = VarAsType(V, type);
  } catch (const EVariantError&) {
    return false;  // the answer of the test
  }
  return true;
}

bool TuiValueType::IsTextType() const { return false; }
const void* TuiValueType::PrepareComparePointer(const void* P) const { return P; }

// ---- String and WideString ----------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiStringValueType) {}

Integer TuiStringValueType::CompareBufferData(const void* A, const void* B) const {
  return CompareStoredValues(LoadCell<void>(A), LoadCell<void>(B));
}
void TuiStringValueType::ReleaseValueData(void* P) const { FreeCell<String>(P); }
Integer TuiStringValueType::GetValueDataSize() const { return sizeof(void*); }

Variant TuiStringValueType::ReadValueData(const void* P) const {
  const String* cell = LoadCell<String>(P);
  return cell != nullptr ? Variant(*cell) : Null();
}

void TuiStringValueType::LoadValueData(void* P, TStream* AStream) const {
  String text = ReadAnsiStringFromStream(AStream);
  CellOf<String>(P) = std::move(text);
}

void TuiStringValueType::WriteValueData(void* P, const Variant& V) const {
  String text = V.AsString();
  CellOf<String>(P) = std::move(text);
}

void TuiStringValueType::SaveValueData(const void* P, TStream* AStream) const {
  const String* cell = LoadCell<String>(P);
  WriteAnsiStringToStream(AStream, cell != nullptr ? *cell : String());
}

Integer TuiStringValueType::CompareStoredValues(const void* A, const void* B) const {
  return OrderText(static_cast<const String*>(A), static_cast<const String*>(B));
}

Variant TuiStringValueType::GetValueAt(const void* P) const {
  return P != nullptr ? Variant(*static_cast<const String*>(P)) : Null();
}

TVarType TuiStringValueType::GetVariantType() const { return varString; }
bool TuiStringValueType::IsTextType() const { return true; }
const void* TuiStringValueType::PrepareComparePointer(const void* P) const { return LoadCell<void>(P); }

K58_IMPLEMENT_CLASS(TuiWideStringValueType) {}

void TuiWideStringValueType::ReleaseValueData(void* P) const { FreeCell<WideString>(P); }

Variant TuiWideStringValueType::ReadValueData(const void* P) const {
  const WideString* cell = LoadCell<WideString>(P);
  return cell != nullptr ? Variant(*cell) : Null();
}

void TuiWideStringValueType::LoadValueData(void* P, TStream* AStream) const {
  WideString text = ReadWideStringFromStream(AStream);
  CellOf<WideString>(P) = std::move(text);
}

void TuiWideStringValueType::WriteValueData(void* P, const Variant& V) const {
  WideString text = V.AsWideString();
  CellOf<WideString>(P) = std::move(text);
}

// The UTF-16 units as they are: no character is lost on the way through 8-bit text.
void TuiWideStringValueType::SaveValueData(const void* P, TStream* AStream) const {
  const WideString* cell = LoadCell<WideString>(P);
  WriteWideStringToStream(AStream, cell != nullptr ? *cell : WideString());
}

Integer TuiWideStringValueType::CompareStoredValues(const void* A, const void* B) const {
  const auto* a = static_cast<const WideString*>(A);
  const auto* b = static_cast<const WideString*>(B);
  if (a == nullptr || b == nullptr) return a == b ? 0 : (a == nullptr ? -1 : 1);
  return Order(*a, *b);
}

Variant TuiWideStringValueType::GetValueAt(const void* P) const {
  return P != nullptr ? Variant(*static_cast<const WideString*>(P)) : Null();
}

TVarType TuiWideStringValueType::GetVariantType() const { return varOleStr; }

// ---- Smallint, Integer, Word, Boolean -----------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSmallintValueType) {}

Integer TuiSmallintValueType::GetValueDataSize() const { return sizeof(SmallInt); }
Variant TuiSmallintValueType::ReadValueData(const void* P) const { return Variant(Load<SmallInt>(P)); }
void TuiSmallintValueType::LoadValueData(void* P, TStream* AStream) const {
  WriteValueData(P, Variant(ReadSmallIntFromStream(AStream)));
}
void TuiSmallintValueType::WriteValueData(void* P, const Variant& V) const {
  Store(P, static_cast<SmallInt>(static_cast<Word>(V.AsInteger())));
}
void TuiSmallintValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteSmallIntToStream(AStream, Load<SmallInt>(P));
}
Integer TuiSmallintValueType::CompareStoredValues(const void* A, const void* B) const {
  return Load<SmallInt>(A) - Load<SmallInt>(B);
}
TVarType TuiSmallintValueType::GetVariantType() const { return varSmallint; }

K58_IMPLEMENT_CLASS(TuiIntegerValueType) {}

Integer TuiIntegerValueType::GetValueDataSize() const { return sizeof(Integer); }
Variant TuiIntegerValueType::ReadValueData(const void* P) const { return Variant(Load<Integer>(P)); }
void TuiIntegerValueType::LoadValueData(void* P, TStream* AStream) const {
  WriteValueData(P, Variant(ReadIntegerFromStream(AStream)));
}
void TuiIntegerValueType::WriteValueData(void* P, const Variant& V) const { Store(P, V.AsInteger()); }
void TuiIntegerValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteIntegerToStream(AStream, Load<Integer>(P));
}
Integer TuiIntegerValueType::CompareStoredValues(const void* A, const void* B) const {
  return Order(Load<Integer>(A), Load<Integer>(B));
}
TVarType TuiIntegerValueType::GetVariantType() const { return varInteger; }

K58_IMPLEMENT_CLASS(TuiWordValueType) {}

Integer TuiWordValueType::GetValueDataSize() const { return sizeof(Word); }
Variant TuiWordValueType::ReadValueData(const void* P) const { return Variant(Load<Word>(P)); }
void TuiWordValueType::LoadValueData(void* P, TStream* AStream) const {
  WriteValueData(P, Variant(ReadWordFromStream(AStream)));
}
void TuiWordValueType::WriteValueData(void* P, const Variant& V) const { Store(P, static_cast<Word>(V.AsInteger())); }
void TuiWordValueType::SaveValueData(const void* P, TStream* AStream) const { WriteWordToStream(AStream, Load<Word>(P)); }
Integer TuiWordValueType::CompareStoredValues(const void* A, const void* B) const {
  return Load<Word>(A) - Load<Word>(B);
}
TVarType TuiWordValueType::GetVariantType() const { return varWord; }

K58_IMPLEMENT_CLASS(TuiBooleanValueType) {}

Integer TuiBooleanValueType::GetValueDataSize() const { return sizeof(Byte); }
Variant TuiBooleanValueType::ReadValueData(const void* P) const { return Variant(Load<Byte>(P) != 0); }
String TuiBooleanValueType::GetDefaultText(const void* P) const { return BoolToStr(Load<Byte>(P) != 0, true); }
void TuiBooleanValueType::LoadValueData(void* P, TStream* AStream) const {
  WriteValueData(P, Variant(ReadBooleanFromStream(AStream)));
}
void TuiBooleanValueType::WriteValueData(void* P, const Variant& V) const { Store<Byte>(P, V.AsBoolean() ? 1 : 0); }
void TuiBooleanValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteBooleanToStream(AStream, Load<Byte>(P) != 0);
}
Integer TuiBooleanValueType::CompareStoredValues(const void* A, const void* B) const {
  return Load<Byte>(A) - Load<Byte>(B);
}
TVarType TuiBooleanValueType::GetVariantType() const { return varBoolean; }

// ---- Float, Currency, DateTime, LargeInt --------------------------------------------------------------

namespace {
// Equal 0, greater 1, otherwise (less, or NaN) -1.
Integer OrderDoubles(double A, double B) { return A == B ? 0 : (A > B ? 1 : -1); }
}  // namespace

K58_IMPLEMENT_CLASS(TuiFloatValueType) {}

Integer TuiFloatValueType::GetValueDataSize() const { return sizeof(double); }
Variant TuiFloatValueType::ReadValueData(const void* P) const { return Variant(Load<double>(P)); }
void TuiFloatValueType::LoadValueData(void* P, TStream* AStream) const {
  Extended value = 0;
  ReadFloatFromStreamVar(AStream, value);
  Store(P, k58::foundation::ExtendedToDouble(value));
}
void TuiFloatValueType::WriteValueData(void* P, const Variant& V) const { Store(P, V.AsDouble()); }
void TuiFloatValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteFloatToStream(AStream, Load<double>(P));
}
Integer TuiFloatValueType::CompareStoredValues(const void* A, const void* B) const {
  return OrderDoubles(Load<double>(A), Load<double>(B));
}
TVarType TuiFloatValueType::GetVariantType() const { return varDouble; }

K58_IMPLEMENT_CLASS(TuiCurrencyValueType) {}

Integer TuiCurrencyValueType::GetValueDataSize() const { return sizeof(Int64); }
Variant TuiCurrencyValueType::ReadValueData(const void* P) const {
  return Variant(Currency::FromScaled(Load<Int64>(P)));
}
void TuiCurrencyValueType::LoadValueData(void* P, TStream* AStream) const {
  Store(P, ReadCurrencyFromStream(AStream).Scaled);
}
void TuiCurrencyValueType::WriteValueData(void* P, const Variant& V) const { Store(P, V.AsCurrency().Scaled); }
void TuiCurrencyValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteCurrencyToStream(AStream, Currency::FromScaled(Load<Int64>(P)));
}
Integer TuiCurrencyValueType::CompareStoredValues(const void* A, const void* B) const {
  return Order(Load<Int64>(A), Load<Int64>(B));
}
TVarType TuiCurrencyValueType::GetVariantType() const { return varCurrency; }

K58_IMPLEMENT_CLASS(TuiDateTimeValueType) {}

Integer TuiDateTimeValueType::GetValueDataSize() const { return sizeof(double); }
Variant TuiDateTimeValueType::ReadValueData(const void* P) const { return Variant::FromDateTime(Load<double>(P)); }
String TuiDateTimeValueType::GetDefaultText(const void* P) const {
  try {
    return VarToStr(ReadValueData(P));
  } catch (const EVariantError&) {
    return DateTimeToStr(Load<double>(P));  // the plain conversion of the number
  }
}
void TuiDateTimeValueType::LoadValueData(void* P, TStream* AStream) const { Store(P, ReadDateTimeFromStream(AStream)); }
void TuiDateTimeValueType::WriteValueData(void* P, const Variant& V) const { Store(P, V.AsDateTime()); }
void TuiDateTimeValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteDateTimeToStream(AStream, Load<double>(P));
}
Integer TuiDateTimeValueType::CompareStoredValues(const void* A, const void* B) const {
  return OrderDoubles(Load<double>(A), Load<double>(B));
}
TVarType TuiDateTimeValueType::GetVariantType() const { return varDate; }

K58_IMPLEMENT_CLASS(TuiLargeIntValueType) {}

Integer TuiLargeIntValueType::GetValueDataSize() const { return sizeof(Int64); }
Variant TuiLargeIntValueType::ReadValueData(const void* P) const { return Variant(Load<Int64>(P)); }
void TuiLargeIntValueType::LoadValueData(void* P, TStream* AStream) const {
  WriteValueData(P, Variant(ReadLargeIntFromStream(AStream)));
}
void TuiLargeIntValueType::WriteValueData(void* P, const Variant& V) const { Store(P, V.AsInt64()); }
void TuiLargeIntValueType::SaveValueData(const void* P, TStream* AStream) const {
  WriteLargeIntToStream(AStream, Load<Int64>(P));
}
Integer TuiLargeIntValueType::CompareStoredValues(const void* A, const void* B) const {
  return Order(Load<Int64>(A), Load<Int64>(B));
}
TVarType TuiLargeIntValueType::GetVariantType() const { return varInt64; }

// ---- FMTBcd and SQLTimeStamp --------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiFMTBcdValueType) {}

Integer TuiFMTBcdValueType::GetValueDataSize() const { return sizeof(TBcd); }
Variant TuiFMTBcdValueType::ReadValueData(const void* P) const { return VarFMTBcdCreate(Load<TBcd>(P)); }
String TuiFMTBcdValueType::GetDefaultText(const void* P) const { return BcdToStrF(Load<TBcd>(P), ffGeneral, 0, 0); }
void TuiFMTBcdValueType::WriteValueData(void* P, const Variant& V) const { Store(P, VarToBcd(V)); }
Integer TuiFMTBcdValueType::CompareStoredValues(const void* A, const void* B) const {
  return BcdCompare(Load<TBcd>(A), Load<TBcd>(B));
}
TVarType TuiFMTBcdValueType::GetVariantType() const { return VarFMTBcd(); }

K58_IMPLEMENT_CLASS(TuiSQLTimeStampValueType) {}

Integer TuiSQLTimeStampValueType::GetValueDataSize() const { return sizeof(TSQLTimeStamp); }
Variant TuiSQLTimeStampValueType::ReadValueData(const void* P) const {
  return Variant::FromDateTime(SQLTimeStampToDateTime(Load<TSQLTimeStamp>(P)));
}
void TuiSQLTimeStampValueType::WriteValueData(void* P, const Variant& V) const { Store(P, VarToSQLTimeStamp(V)); }
Integer TuiSQLTimeStampValueType::CompareStoredValues(const void* A, const void* B) const {
  const TSQLTimeStamp a = Load<TSQLTimeStamp>(A);
  const TSQLTimeStamp b = Load<TSQLTimeStamp>(B);
  const Int64 differences[] = {a.Year - b.Year, a.Month - b.Month, a.Day - b.Day, a.Hour - b.Hour,
                               a.Minute - b.Minute, a.Second - b.Second,
                               static_cast<Int64>(a.Fractions) - static_cast<Int64>(b.Fractions)};
  for (const Int64 difference : differences)
    if (difference != 0) return static_cast<Integer>(std::clamp<Int64>(difference, -0x7FFFFFFF, 0x7FFFFFFF));
  return 0;
}
TVarType TuiSQLTimeStampValueType::GetVariantType() const { return VarSQLTimeStamp(); }

// ---- Variant and Object -------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiVariantValueType) {}

Integer TuiVariantValueType::CompareBufferData(const void* A, const void* B) const {
  return CompareStoredValues(LoadCell<void>(A), LoadCell<void>(B));
}
void TuiVariantValueType::ReleaseValueData(void* P) const { FreeCell<Variant>(P); }
Integer TuiVariantValueType::GetValueDataSize() const { return sizeof(void*); }
Variant TuiVariantValueType::ReadValueData(const void* P) const { return GetValueAt(LoadCell<void>(P)); }
void TuiVariantValueType::WriteValueData(void* P, const Variant& V) const { CellOf<Variant>(P) = V; }
Integer TuiVariantValueType::CompareStoredValues(const void* A, const void* B) const {
  if (A == nullptr || B == nullptr) return A == B ? 0 : (A == nullptr ? -1 : 1);
  return CompareVariants(*static_cast<const Variant*>(A), *static_cast<const Variant*>(B));
}
Variant TuiVariantValueType::GetValueAt(const void* P) const {
  return P != nullptr ? *static_cast<const Variant*>(P) : Null();
}
const void* TuiVariantValueType::PrepareComparePointer(const void* P) const { return LoadCell<void>(P); }

K58_IMPLEMENT_CLASS(TuiObjectValueType) {}

void TuiObjectValueType::ReleaseValueData(void* P) const {
  FreeObject(LoadCell<TObject>(P));
  Store<TObject*>(P, nullptr);
}
Integer TuiObjectValueType::GetValueDataSize() const { return sizeof(TObject*); }
Variant TuiObjectValueType::ReadValueData(const void* P) const { return Variant::FromObject(LoadCell<TObject>(P)); }
void TuiObjectValueType::LoadValueData(void*, TStream*) const {}
void TuiObjectValueType::SaveValueData(const void*, TStream*) const {}

void TuiObjectValueType::WriteValueData(void* P, const Variant& V) const {
  TObject* object = V.AsObject();
  TObject* previous = LoadCell<TObject>(P);
  Store(P, object);
  if (previous != object) FreeObject(previous);
}

Integer TuiObjectValueType::CompareStoredValues(const void* A, const void* B) const {
  return Order(reinterpret_cast<uintptr_t>(LoadCell<TObject>(A)), reinterpret_cast<uintptr_t>(LoadCell<TObject>(B)));
}

// ---- Registry -----------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiValueTypeClassList) {}

void TuiValueTypeClassList::AddType(TuiValueTypeClass AClass) {
  if (std::find(items_.begin(), items_.end(), AClass) == items_.end()) items_.push_back(AClass);
}

void TuiValueTypeClassList::RemoveType(TuiValueTypeClass AClass) {
  items_.erase(std::remove(items_.begin(), items_.end(), AClass), items_.end());
}

TuiValueTypeClass TuiValueTypeClassList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) RaiseIndexError(AIndex);
  return items_[static_cast<size_t>(AIndex)];
}

TuiValueTypeClassList* GetValueTypeClassList() {
  if (valueTypeClassList == nullptr) valueTypeClassList = new TuiValueTypeClassList;
  return valueTypeClassList;
}

namespace {

std::vector<TuiValueTypeClass> ConcreteValueTypes() {
  return {ValueTypeClass<TuiStringValueType>(),   ValueTypeClass<TuiWideStringValueType>(),
          ValueTypeClass<TuiSmallintValueType>(), ValueTypeClass<TuiIntegerValueType>(),
          ValueTypeClass<TuiWordValueType>(),     ValueTypeClass<TuiBooleanValueType>(),
          ValueTypeClass<TuiFloatValueType>(),    ValueTypeClass<TuiCurrencyValueType>(),
          ValueTypeClass<TuiDateTimeValueType>(), ValueTypeClass<TuiLargeIntValueType>(),
          ValueTypeClass<TuiFMTBcdValueType>(),   ValueTypeClass<TuiSQLTimeStampValueType>(),
          ValueTypeClass<TuiVariantValueType>(),  ValueTypeClass<TuiObjectValueType>()};
}

}  // namespace

namespace k58::foundation {

void StartDataStorageUnit() {
  for (TuiValueTypeClass type : ConcreteValueTypes()) GetValueTypeClassList()->AddType(type);
}

void StopDataStorageUnit() {
  if (valueTypeClassList == nullptr) return;
  const std::vector<TuiValueTypeClass> types = ConcreteValueTypes();
  for (auto it = types.rbegin(); it != types.rend(); ++it) valueTypeClassList->RemoveType(*it);
  FreeAndNil(valueTypeClassList);
}

}  // namespace k58::foundation

// ---- TuiValueDef --------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiValueDef) {}

TuiValueDef::TuiValueDef(TuiValueDefs* AOwnerDefs, TuiValueTypeClass ATypeClass)
    : ownerDefs_(AOwnerDefs), typeClass_(ATypeClass) {}

TuiValueDef::~TuiValueDef() {
  if (ownerDefs_ != nullptr) ownerDefs_->RemoveDef(this);
}

TObject* TuiValueDef::GetLink() const { return link_; }

bool TuiValueDef::GetIsStored() const {
  return isStored_ || ownerDefs_ == nullptr || !ownerDefs_->Storage()->OnlyStoredValues();
}

void TuiValueDef::SetLink(TObject* Value) { link_ = Value; }

void TuiValueDef::AssignSettings(TuiValueDef* ASource) {
  SetIsStored(ASource->GetIsStored());
  SetKeepsDisplayText(ASource->HasStoredText());
}

Integer TuiValueDef::CompareBuffers(bool ANull1, bool ANull2, const void* P1, const void* P2) const {
  if (ANull1 || ANull2) return ANull1 == ANull2 ? 0 : (ANull1 ? -1 : 1);
  return typeClass_->CompareStoredValues(P1, P2);
}

Variant TuiValueDef::ReadValue(const Byte* B) const {
  if (slotSize_ == 0 || B[slotOffset_] == 0) return Null();
  return typeClass_->ReadValueData(B + slotOffset_ + 1);
}

void TuiValueDef::WriteValue(Byte* B, const Variant& V) {
  if (slotSize_ == 0) return;
  Byte* field = B + slotOffset_ + 1;
  if (V.IsNull()) {
    if (B[slotOffset_] != 0) {
      typeClass_->ReleaseValueData(field);
      std::memset(field, 0, static_cast<size_t>(valueSize_));
    }
    B[slotOffset_] = 0;
    return;
  }
  typeClass_->WriteValueData(field, V);
  B[slotOffset_] = 1;
}

String TuiValueDef::ReadDisplayText(const Byte* B) const {
  if (slotSize_ == 0) return String();
  if (SlotHasText()) return typeClass_->ReadTextData(B + slotOffset_ + 1 + valueSize_);
  if (B[slotOffset_] == 0) return String();
  return typeClass_->GetDefaultText(B + slotOffset_ + 1);
}

void TuiValueDef::WriteDisplayText(Byte* B, const String& S) {
  if (SlotHasText()) typeClass_->WriteTextData(B + slotOffset_ + 1 + valueSize_, S);
}

bool TuiValueDef::IsTextType() const { return typeClass_->IsTextType(); }
bool TuiValueDef::HasStoredText() const { return GetIsStored() && keepsDisplayText_; }

void TuiValueDef::SetIsStored(bool Value) {
  if (isStored_ == Value) return;
  isStored_ = Value;
  if (ownerDefs_ == nullptr) return;
  ownerDefs_->Storage()->RelayOutRecords(ownerDefs_);
  ownerDefs_->NotifyChanged(this, false);
}

void TuiValueDef::SetKeepsDisplayText(bool Value) {
  if (keepsDisplayText_ == Value) return;
  keepsDisplayText_ = Value;
  if (ownerDefs_ == nullptr) return;
  ownerDefs_->Storage()->RelayOutRecords(ownerDefs_);
  ownerDefs_->NotifyChanged(this, true);
}

void TuiValueDef::LayOut(Integer& AOffset) {
  valueSize_ = typeClass_->GetValueDataSize();
  slotOffset_ = AOffset;
  if (GetIsStored()) {
    slotSize_ = 1 + valueSize_ + (HasStoredText() ? static_cast<Integer>(sizeof(void*)) : 0);
    AOffset += slotSize_;
  } else {
    slotSize_ = 0;
  }
}

void TuiValueDef::ReleaseSlot(Byte* B) {
  if (slotSize_ == 0) return;
  if (B[slotOffset_] != 0) typeClass_->ReleaseValueData(B + slotOffset_ + 1);
  if (SlotHasText()) typeClass_->ReleaseTextData(B + slotOffset_ + 1 + valueSize_);
}

K58_IMPLEMENT_CLASS(TuiInternalValueDef) {}

TObject* TuiInternalValueDef::GetLink() const {
  const TuiValueDef* linked = GetLinkedValueDef();
  return linked != nullptr ? linked->GetLink() : nullptr;
}

bool TuiInternalValueDef::GetIsStored() const { return true; }

TuiValueDef* TuiInternalValueDef::GetLinkedValueDef() const { return static_cast<TuiValueDef*>(Link()); }

// ---- TuiValueDefs -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiValueDefs) {}

TuiValueDefs::TuiValueDefs(TuiDataStorage* AStorage) : storage_(AStorage) {}

TuiValueDefs::~TuiValueDefs() {
  destroying_ = true;
  while (!defList_.empty()) {
    TuiValueDef* def = defList_.back();
    defList_.pop_back();
    def->ownerDefs_ = nullptr;
    FreeObject(def);
  }
}

void TuiValueDefs::NotifyChanged(TuiValueDef* ADef, bool AResyncNeeded) {
  storage_->NotifyValueDefChanged(ADef, AResyncNeeded);
}

void TuiValueDefs::LayOutDefs(Integer AStartOffset) {
  startOffset_ = AStartOffset;
  Integer offset = AStartOffset;
  for (TuiValueDef* def : defList_) def->LayOut(offset);
  recordBytes_ = offset;
}

TuiValueDef* TuiValueDefs::AddValueDef(TuiValueTypeClass ATypeClass, bool AStored, TObject* ALink, bool AKeepsText) {
  TuiValueDef* def = NewValueDef(ATypeClass);
  def->SetLink(ALink);
  def->isStored_ = AStored;
  def->keepsDisplayText_ = AKeepsText;
  Integer offset = 0;
  def->LayOut(offset);
  try {
    storage_->ValueDefAdded(this, def);
  } catch (...) {
    def->ownerDefs_ = nullptr;
    FreeObject(def);
    throw;
  }
  defList_.push_back(def);
  storage_->LayoutValueDefs(this);
  return def;
}

Integer TuiValueDefs::CountStored() const {
  Integer count = 0;
  for (const TuiValueDef* def : defList_) count += def->SlotSize() > 0 ? 1 : 0;
  return count;
}

TuiValueDef* TuiValueDefs::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) RaiseIndexError(AIndex);
  return defList_[static_cast<size_t>(AIndex)];
}

TuiValueDef* TuiValueDefs::NewValueDef(TuiValueTypeClass ATypeClass) { return new TuiValueDef(this, ATypeClass); }

void TuiValueDefs::RemoveDef(TuiValueDef* ADef) {
  if (destroying_) return;
  const auto it = std::find(defList_.begin(), defList_.end(), ADef);
  if (it == defList_.end()) return;
  storage_->ValueDefRemoving(this, ADef);
  defList_.erase(std::find(defList_.begin(), defList_.end(), ADef));
  storage_->LayoutValueDefs(this);
  // Records that lost their buffers get new ones with new IDs.
  if (this == storage_->MainDefs() && storage_->RecordIDsUsed()) storage_->AssignRecordIDs();
}

K58_IMPLEMENT_CLASS(TuiInternalValueDefs) {}

TuiInternalValueDef* TuiInternalValueDefs::FindByLink(TObject* ALink) const {
  for (Integer i = Count() - 1; i >= 0; --i) {
    TuiValueDef* def = Items(i);
    if (def->Link() == ALink) return static_cast<TuiInternalValueDef*>(def);
  }
  return nullptr;
}

void TuiInternalValueDefs::FreeByLink(TObject* ALink) { FreeObject(FindByLink(ALink)); }

TuiValueDef* TuiInternalValueDefs::NewValueDef(TuiValueTypeClass ATypeClass) {
  return new TuiInternalValueDef(this, ATypeClass);
}

// ---- TuiValueDefReader --------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiValueDefReader) {}

String TuiValueDefReader::ReadDisplayText(TuiValueDef*) { return String(); }
Variant TuiValueDefReader::ReadValue(TuiValueDef*) { return Null(); }
bool TuiValueDefReader::SkipsValueDef(TuiValueDef*) { return false; }

// ---- TuiDataStorage -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiDataStorage) {}

TuiDataStorage::TuiDataStorage()
    : internalDefs_(std::make_unique<TuiInternalValueDefs>(this)), mainDefs_(std::make_unique<TuiValueDefs>(this)) {
  LayoutValueDefs(internalDefs_.get());
  LayoutValueDefs(mainDefs_.get());
}

TuiDataStorage::~TuiDataStorage() {
  ClearAll(false);
  mainDefs_.reset();
  internalDefs_.reset();
}

// Internal records carry no record ID: their values always start behind the flags, so switching IDs
// never moves a slot of a record that exists.
void TuiDataStorage::LayoutValueDefs(TuiValueDefs* ADefs) {
  ADefs->LayOutDefs(recordIDsUsed_ && ADefs == mainDefs_.get() ? kRecordIDOffset + 4 : 1);
}

void TuiDataStorage::NotifyValueDefChanged(TuiValueDef*, bool) {}

TuiValueDefs* TuiDataStorage::GetValueDefsForRecord(Integer AIndex) const {
  return AIndex < 0 ? static_cast<TuiValueDefs*>(internalDefs_.get()) : mainDefs_.get();
}

std::vector<Byte*>& TuiDataStorage::BuffersOf(const TuiValueDefs* ADefs) {
  return ADefs == mainDefs_.get() ? normalBuffers_ : internalBuffers_;
}

Byte*& TuiDataStorage::BufferSlot(Integer AIndex) {
  return const_cast<Byte*&>(static_cast<const TuiDataStorage*>(this)->BufferSlot(AIndex));
}

Byte* const& TuiDataStorage::BufferSlot(Integer AIndex) const {
  if (AIndex >= 0) {
    if (AIndex >= CountRecords()) RaiseIndexError(AIndex);
    return normalBuffers_[static_cast<size_t>(AIndex)];
  }
  const Int64 slot = -Int64{AIndex} - 1;
  if (slot >= InternalRecordCount()) RaiseIndexError(AIndex);
  return internalBuffers_[static_cast<size_t>(slot)];
}

const Byte* TuiDataStorage::RecordBuffer(Integer AIndex) const { return BufferSlot(AIndex); }

Byte* TuiDataStorage::EnsureBuffer(Integer AIndex) {
  Byte*& buffer = BufferSlot(AIndex);
  if (buffer == nullptr) {
    buffer = static_cast<Byte*>(std::calloc(static_cast<size_t>(GetValueDefsForRecord(AIndex)->RecordBytes()), 1));
    if (buffer == nullptr) throw EOutOfMemory("Out of memory");
  }
  return buffer;
}

void TuiDataStorage::ReleaseBuffer(Byte*& ABuffer, TuiValueDefs* ADefs) {
  if (ABuffer == nullptr) return;
  for (Integer i = 0; i < ADefs->Count(); ++i) ADefs->Items(i)->ReleaseSlot(ABuffer);
  std::free(ABuffer);
  ABuffer = nullptr;
}

TuiValueDef* TuiDataStorage::ResolveDef(Integer AIndex, TuiValueDef* ADef) const {
  if (ADef == nullptr) return nullptr;
  const TuiValueDefs* defs = GetValueDefsForRecord(AIndex);
  if (ADef->OwnerDefs() == defs) return ADef;
  if (AIndex < 0 && ADef->OwnerDefs() == mainDefs_.get()) return internalDefs_->FindByLink(ADef);
  return nullptr;
}

void TuiDataStorage::AssignRecordID(Integer AIndex) {
  Byte* buffer = EnsureBuffer(AIndex);
  Store(buffer + kRecordIDOffset, nextRecordID_++);
}

void TuiDataStorage::AssignRecordIDs() {
  for (Integer i = 0; i < CountRecords(); ++i) {
    const Byte* buffer = normalBuffers_[static_cast<size_t>(i)];
    if (buffer == nullptr || Load<Integer>(buffer + kRecordIDOffset) == 0) AssignRecordID(i);
  }
}

Integer TuiDataStorage::AddRecord() {
  normalBuffers_.push_back(nullptr);
  const Integer index = CountRecords() - 1;
  if (recordIDsUsed_) AssignRecordID(index);
  return index;
}

void TuiDataStorage::InsertRecordAt(Integer AIndex) {
  if (AIndex < 0 || AIndex > CountRecords()) RaiseIndexError(AIndex);
  normalBuffers_.insert(normalBuffers_.begin() + AIndex, nullptr);
  if (recordIDsUsed_) AssignRecordID(AIndex);
}

void TuiDataStorage::RemoveRecord(Integer AIndex) {
  Byte*& buffer = BufferSlot(AIndex);
  ReleaseBuffer(buffer, GetValueDefsForRecord(AIndex));
  if (AIndex < 0) return;
  normalBuffers_.erase(normalBuffers_.begin() + AIndex);
  if (normalBuffers_.empty()) nextRecordID_ = 1;
}

void TuiDataStorage::ResizeRecords(Integer ACount) {
  ACount = std::max<Integer>(ACount, 0);
  while (CountRecords() < ACount) AddRecord();
  while (CountRecords() > ACount) RemoveRecord(CountRecords() - 1);
}

Integer TuiDataStorage::NewInternalRecord() {
  size_t slot = 0;
  while (slot < internalBuffers_.size() && internalBuffers_[slot] != nullptr &&
         internalBuffers_[slot][0] == kInternalRecordInUse)
    ++slot;
  if (slot == internalBuffers_.size()) internalBuffers_.push_back(nullptr);
  const Integer index = -static_cast<Integer>(slot) - 1;
  // A slot that holds a buffer not in use starts afresh.
  ReleaseBuffer(internalBuffers_[slot], internalDefs_.get());
  EnsureBuffer(index)[0] = kInternalRecordInUse;
  return index;
}

void TuiDataStorage::ClearAll(bool AKeepInternal) {
  if (!AKeepInternal) {
    for (Byte*& buffer : internalBuffers_) ReleaseBuffer(buffer, internalDefs_.get());
    internalBuffers_.clear();
    if (onInternalRecordsCleared_) onInternalRecordsCleared_(this);
  }
  for (Byte*& buffer : normalBuffers_) ReleaseBuffer(buffer, mainDefs_.get());
  normalBuffers_.clear();
  nextRecordID_ = 1;
}

Variant TuiDataStorage::GetRecordValue(Integer AIndex, TuiValueDef* ADef) const {
  const Byte* buffer = BufferSlot(AIndex);
  const TuiValueDef* def = ResolveDef(AIndex, ADef);
  if (buffer == nullptr || def == nullptr) return Null();
  return def->ReadValue(buffer);
}

void TuiDataStorage::SetRecordValue(Integer AIndex, TuiValueDef* ADef, const Variant& V) {
  TuiValueDef* def = ResolveDef(AIndex, ADef);
  if (def == nullptr) {
    BufferSlot(AIndex);  // the index is still checked
    return;
  }
  def->WriteValue(EnsureBuffer(AIndex), V);
}

String TuiDataStorage::GetRecordDisplayText(Integer AIndex, TuiValueDef* ADef) const {
  const Byte* buffer = BufferSlot(AIndex);
  const TuiValueDef* def = ResolveDef(AIndex, ADef);
  if (buffer == nullptr || def == nullptr) return String();
  return def->ReadDisplayText(buffer);
}

void TuiDataStorage::SetRecordDisplayText(Integer AIndex, TuiValueDef* ADef, const String& S) {
  TuiValueDef* def = ResolveDef(AIndex, ADef);
  if (def == nullptr) {
    BufferSlot(AIndex);
    return;
  }
  def->WriteDisplayText(EnsureBuffer(AIndex), S);
}

Integer TuiDataStorage::GetRecordIdentifier(Integer AIndex) {
  const Byte* buffer = EnsureBuffer(AIndex);
  if (AIndex < 0 || !recordIDsUsed_) return 0;
  return Load<Integer>(buffer + kRecordIDOffset);
}

Integer TuiDataStorage::CompareOtherRecordValues(Integer AIndex1, Integer AIndex2, TuiValueDef* ADef) const {
  // An internal record is read through the mirror laid out for it.
  const void* p1 = nullptr;
  const void* p2 = nullptr;
  const bool null1 = GetValueBufferForCompare(AIndex1, ADef, p1);
  const bool null2 = GetValueBufferForCompare(AIndex2, ADef, p2);
  return ADef->CompareBuffers(null1, null2, p1, p2);
}

bool TuiDataStorage::GetValueBufferForCompare(Integer AIndex, TuiValueDef* ADef, const void*& P) const {
  const Byte* buffer = BufferSlot(AIndex);
  const TuiValueDef* def = ResolveDef(AIndex, ADef);
  if (buffer == nullptr || def == nullptr || def->SlotSize() == 0) return true;
  P = buffer + def->SlotOffset() + 1;
  if (buffer[def->SlotOffset()] == 0) return true;
  P = def->TypeClass()->PrepareComparePointer(P);
  return false;
}

void TuiDataStorage::LoadRecord(Integer AIndex, TuiValueDefReader* AReader) {
  Byte* buffer = EnsureBuffer(AIndex);
  TuiValueDefs* defs = GetValueDefsForRecord(AIndex);
  for (Integer i = 0; i < defs->Count(); ++i) {
    TuiValueDef* def = defs->Items(i);
    if (AReader->SkipsValueDef(def)) continue;
    def->WriteValue(buffer, AReader->ReadValue(def));
    if (def->HasStoredText()) def->WriteDisplayText(buffer, AReader->ReadDisplayText(def));
  }
}

void TuiDataStorage::ReadRecordWithProc(Integer AIndex, void* AData, TuiReadRecordProc ACallback,
                                        TObject* AController, TuiValueDefReader* AReader) {
  TuiValueDefs* defs = GetValueDefsForRecord(AIndex);
  for (Integer i = 0; i < defs->Count(); ++i) ACallback(AController, defs->Items(i), AIndex, AReader, AData);
}

void TuiDataStorage::SetOnlyStoredValues(bool Value) {
  if (onlyStoredValues_ == Value) return;
  if (CountRecords() > 0)
    throw EInvalidOperation("Only stored values can be switched while the storage holds no records");
  onlyStoredValues_ = Value;
  LayoutValueDefs(mainDefs_.get());
}

void TuiDataStorage::SetRecordIDsUsed(bool Value) {
  if (recordIDsUsed_ == Value) return;
  if (CountRecords() > 0)
    throw EInvalidOperation("Record identifiers can be switched while the storage holds no records");
  recordIDsUsed_ = Value;
  LayoutValueDefs(mainDefs_.get());
}

void TuiDataStorage::ValueDefAdded(TuiValueDefs* ADefs, TuiValueDef* ADef) {
  if (ADefs == mainDefs_.get()) internalDefs_->AddValueDef(ADef->TypeClass(), true, ADef, ADef->KeepsDisplayText());
  const Integer slot = ADef->SlotSize();
  if (slot == 0) return;
  const size_t oldBytes = static_cast<size_t>(ADefs->RecordBytes());
  for (Byte*& buffer : BuffersOf(ADefs)) {
    if (buffer == nullptr) continue;
    auto* wider = static_cast<Byte*>(std::realloc(buffer, oldBytes + static_cast<size_t>(slot)));
    if (wider == nullptr) throw EOutOfMemory("Out of memory");
    std::memset(wider + oldBytes, 0, static_cast<size_t>(slot));
    buffer = wider;
  }
}

void TuiDataStorage::ValueDefRemoving(TuiValueDefs* ADefs, TuiValueDef* ADef) {
  if (ADefs == mainDefs_.get()) internalDefs_->FreeByLink(ADef);
  const Integer slot = ADef->SlotSize();
  if (slot == 0) return;
  std::vector<Byte*>& buffers = BuffersOf(ADefs);
  // Normal records lose their buffers with the last stored value; internal ones keep their in-use flag.
  if (ADefs == mainDefs_.get() && ADefs->CountStored() < 2) {
    for (Byte*& buffer : buffers) ReleaseBuffer(buffer, ADefs);
    return;
  }
  const size_t behind = static_cast<size_t>(ADef->SlotOffset() + slot);
  const size_t total = static_cast<size_t>(ADefs->RecordBytes());
  for (Byte*& buffer : buffers) {
    if (buffer == nullptr) continue;
    ADef->ReleaseSlot(buffer);
    std::memmove(buffer + ADef->SlotOffset(), buffer + behind, total - behind);
    if (Byte* narrower = static_cast<Byte*>(std::realloc(buffer, total - static_cast<size_t>(slot)))) buffer = narrower;
  }
}

void TuiDataStorage::RelayOutRecords(TuiValueDefs* ADefs) {
  struct Slot {
    Integer Offset, Size;
    bool Text;
  };
  std::vector<Slot> before;
  for (Integer i = 0; i < ADefs->Count(); ++i) {
    const TuiValueDef* def = ADefs->Items(i);
    before.push_back({def->SlotOffset(), def->SlotSize(), def->SlotHasText()});
  }
  const Integer start = ADefs->StartOffset();
  LayoutValueDefs(ADefs);
  for (Byte*& buffer : BuffersOf(ADefs)) {
    if (buffer == nullptr) continue;
    auto* moved = static_cast<Byte*>(std::calloc(static_cast<size_t>(ADefs->RecordBytes()), 1));
    if (moved == nullptr) throw EOutOfMemory("Out of memory");
    std::memcpy(moved, buffer, static_cast<size_t>(std::min(start, ADefs->StartOffset())));
    for (Integer i = 0; i < ADefs->Count(); ++i) {
      const TuiValueDef* def = ADefs->Items(i);
      const Slot& old = before[static_cast<size_t>(i)];
      if (old.Size == 0) continue;
      Byte* from = buffer + old.Offset;
      const size_t valueBytes = 1 + static_cast<size_t>(def->ValueSize());
      if (def->SlotSize() > 0) {
        std::memcpy(moved + def->SlotOffset(), from, valueBytes);
      } else if (from[0] != 0) {
        def->TypeClass()->ReleaseValueData(from + 1);
      }
      if (!old.Text) continue;
      if (def->SlotSize() > 0 && def->SlotHasText()) {
        std::memcpy(moved + def->SlotOffset() + valueBytes, from + valueBytes, sizeof(void*));
      } else {
        def->TypeClass()->ReleaseTextData(from + valueBytes);
      }
    }
    std::free(buffer);
    buffer = moved;
  }
}

// ---- TuiLookupList ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiLookupList) {}

bool TuiLookupList::FindKey(const Variant& AKey, Integer& AIndex) const {
  Integer lo = 0;
  Integer hi = Count() - 1;
  while (lo <= hi) {
    const Integer mid = (lo + hi) / 2;
    const Integer r = CompareVariants(items_[static_cast<size_t>(mid)].Key, AKey);
    if (r == 0) {
      AIndex = mid;
      return true;
    }
    if (r < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  AIndex = lo;
  return false;
}

void TuiLookupList::InsertItem(Integer AIndex, const Variant& AKey, const String& AText) {
  if (AIndex < 0 || AIndex > Count()) RaiseIndexError(AIndex);
  items_.insert(items_.begin() + AIndex, TuiLookupListItem{AKey, AText});
}

const TuiLookupListItem& TuiLookupList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) RaiseIndexError(AIndex);
  return items_[static_cast<size_t>(AIndex)];
}
