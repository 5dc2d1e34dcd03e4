// Value types (round trips through a value field and a stream, order, conversions, the object type's
// ownership), the record storage (layouts, widening and narrowing, record IDs, internal records, the
// layout switches) and the lookup list.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/foundation/uiDataStorage.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/FmtBcd.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/SysUtils.h"
#include "tests/controls/foundation/FoundationTesting.h"

namespace foundation_test {

// An object that reports its destruction.
class TTracked : public TObject {
  K58_CLASS(TTracked, TObject)

  TTracked() = default;
  explicit TTracked(Integer* ACounter) : counter_(ACounter) {}
  ~TTracked() override {
    if (counter_ != nullptr) ++*counter_;
  }

 private:
  Integer* counter_ = nullptr;
};

}  // namespace foundation_test

using foundation_test::TTracked;
K58_IMPLEMENT_CLASS(TTracked) {}

namespace foundation_test {

// A zeroed value field of a type, released at the end.
class TField {
 public:
  explicit TField(TuiValueTypeClass AType) : type_(AType), bytes_(static_cast<size_t>(AType->GetValueDataSize()) + 1) {}
  ~TField() { type_->ReleaseValueData(Data()); }
  // One byte in, so that multi-byte values are unaligned as in a record.
  void* Data() { return bytes_.data() + 1; }

 private:
  TuiValueTypeClass type_;
  std::vector<Byte> bytes_;
};

std::vector<Byte> Saved(TuiValueTypeClass AType, const void* AField) {
  TMemoryStream stream;
  AType->SaveValueData(AField, &stream);
  const auto* p = static_cast<const Byte*>(stream.Memory());
  return std::vector<Byte>(p, p + stream.Size());
}

TSQLTimeStamp Stamp(SmallInt AYear, Word AMonth, Word ADay) {
  TSQLTimeStamp stamp;
  stamp.Year = AYear;
  stamp.Month = AMonth;
  stamp.Day = ADay;
  return stamp;
}

TEST(ValueTypes, RoundTripThroughTheFieldAndTheStream) {
  struct Case {
    TuiValueTypeClass Type;
    Variant Value;
    TVarType ReadType;
    size_t StreamBytes;
  } cases[] = {
      {ValueTypeClass<TuiStringValueType>(), Variant("h\u00e9llo"), varString, 4 + 6},
      {ValueTypeClass<TuiWideStringValueType>(), Variant(WideString(u"\U0001F600\xD800")), varOleStr, 4 + 6},
      {ValueTypeClass<TuiSmallintValueType>(), Variant(SmallInt{-5}), varSmallint, 2},
      {ValueTypeClass<TuiIntegerValueType>(), Variant(Integer{-2147483647 - 1}), varInteger, 4},
      {ValueTypeClass<TuiWordValueType>(), Variant(Word{65535}), varWord, 2},
      {ValueTypeClass<TuiBooleanValueType>(), Variant(true), varBoolean, 1},
      {ValueTypeClass<TuiFloatValueType>(), Variant(0.1), varDouble, 10},
      {ValueTypeClass<TuiCurrencyValueType>(), Variant(Currency::FromScaled(123456)), varCurrency, 8},
      {ValueTypeClass<TuiDateTimeValueType>(), Variant::FromDateTime(36526.5), varDate, 8},
      {ValueTypeClass<TuiLargeIntValueType>(), Variant(Int64{1} << 40), varInt64, 8},
      {ValueTypeClass<TuiFMTBcdValueType>(), VarFMTBcdCreate(StrToBcd("-123.456")), VarFMTBcd(), 2 + 8},
      {ValueTypeClass<TuiSQLTimeStampValueType>(), Variant::FromDateTime(EncodeDateTime(2001, 5, 1, 10, 20, 30, 400)),
       varDate, 9},
      {ValueTypeClass<TuiVariantValueType>(), VarArrayOf({Variant(Integer{1}), Variant("x")}), varArray | varVariant, 8},
  };
  for (const Case& c : cases) {
    const String name = c.Type->GetCaption();
    TField field(c.Type);
    c.Type->WriteValueData(field.Data(), c.Value);
    const Variant read = c.Type->ReadValueData(field.Data());
    EXPECT_EQ(c.ReadType, VarType(read)) << name;
    EXPECT_EQ(0, CompareVariants(c.Value, read)) << name;

    const std::vector<Byte> bytes = Saved(c.Type, field.Data());
    EXPECT_EQ(c.StreamBytes, bytes.size()) << name;
    TField loaded(c.Type);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    stream.SetPosition(0);
    c.Type->LoadValueData(loaded.Data(), &stream);
    EXPECT_EQ(0, c.Type->CompareBufferData(field.Data(), loaded.Data())) << name;
    EXPECT_EQ(bytes, Saved(c.Type, loaded.Data())) << name;
  }
}

TEST(ValueTypes, OrderTheirStoredValues) {
  auto compare = [](TuiValueTypeClass AType, const Variant& A, const Variant& B) {
    TField a(AType), b(AType);
    AType->WriteValueData(a.Data(), A);
    AType->WriteValueData(b.Data(), B);
    return AType->CompareBufferData(a.Data(), b.Data());
  };
  struct Case {
    const char* Name;
    Integer Actual, Expected;
  } cases[] = {
      {"Integer extremes", compare(ValueTypeClass<TuiIntegerValueType>(), Variant(Integer{-2147483647 - 1}),
                                   Variant(Integer{2147483647})), -1},
      {"Smallint difference", compare(ValueTypeClass<TuiSmallintValueType>(), Variant(Integer{-5}), Variant(Integer{3})), -8},
      {"Word difference", compare(ValueTypeClass<TuiWordValueType>(), Variant(Integer{1}), Variant(Integer{65535})), -65534},
      {"texts by bytes: B first", compare(ValueTypeClass<TuiStringValueType>(), Variant("a"), Variant("B")), 1},
      {"wide texts by units", compare(ValueTypeClass<TuiWideStringValueType>(), Variant(WideString(u"\uFFFF")),
                                      Variant(WideString(u"\U0001F600"))), 1},
      {"LargeInt", compare(ValueTypeClass<TuiLargeIntValueType>(), Variant(Int64{1} << 40), Variant(Int64{-1})), 1},
      {"Float", compare(ValueTypeClass<TuiFloatValueType>(), Variant(0.5), Variant(0.25)), 1},
      {"time stamps by month: 5 - 4", compare(ValueTypeClass<TuiSQLTimeStampValueType>(),
                                              VarSQLTimeStampCreate(Stamp(2001, 5, 1)),
                                              VarSQLTimeStampCreate(Stamp(2001, 4, 30))), 1},
      {"variants", compare(ValueTypeClass<TuiVariantValueType>(), Null(), Variant(Integer{1})), -1},
      {"BCD", compare(ValueTypeClass<TuiFMTBcdValueType>(), Variant(-2.5), Variant(Integer{-3})), 1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Expected, c.Actual) << c.Name;

  // Fields without a cell: equal to each other, before a cell holding the empty text.
  const TuiValueTypeClass text = ValueTypeClass<TuiStringValueType>();
  TField none1(text), none2(text), empty(text);
  text->WriteValueData(empty.Data(), Variant(""));
  EXPECT_EQ(0, text->CompareBufferData(none1.Data(), none2.Data()));
  EXPECT_EQ(-1, text->CompareBufferData(none1.Data(), empty.Data()));
  EXPECT_TRUE(text->ReadValueData(none1.Data()).IsNull());
}

TEST(ValueTypes, ConvertShowAndRefuse) {
  const TuiValueTypeClass integer = ValueTypeClass<TuiIntegerValueType>();
  Variant twelve("12");
  EXPECT_TRUE(integer->ConvertToValueType(twelve));
  EXPECT_EQ(varInteger, VarType(twelve));
  EXPECT_EQ(12, twelve.AsInteger());
  Variant x("x");
  EXPECT_FALSE(integer->ConvertToValueType(x));
  EXPECT_EQ("x", x.AsString());
  Variant null = Null();
  EXPECT_TRUE(integer->ConvertToValueType(null));
  Variant bcd("1.25");
  EXPECT_TRUE(ValueTypeClass<TuiFMTBcdValueType>()->ConvertToValueType(bcd));
  EXPECT_TRUE(VarIsFMTBcd(bcd));
  EXPECT_TRUE(ValueTypeClass<TuiStringValueType>()->IsTextType());
  EXPECT_TRUE(ValueTypeClass<TuiWideStringValueType>()->IsTextType());
  EXPECT_FALSE(integer->IsTextType());

  // A value that does not convert raises and leaves the field as it was.
  TField field(integer);
  integer->WriteValueData(field.Data(), Variant(Integer{7}));
  EXPECT_THROW(integer->WriteValueData(field.Data(), Variant("x")), EVariantError);
  EXPECT_EQ(7, integer->ReadValueData(field.Data()).AsInteger());
  // So does a stream that ends early.
  TMemoryStream shortStream;
  shortStream.WriteBuffer("\x01\x02", 2);
  shortStream.SetPosition(0);
  EXPECT_THROW(integer->LoadValueData(field.Data(), &shortStream), EReadError);
  EXPECT_EQ(7, integer->ReadValueData(field.Data()).AsInteger());

  struct Text {
    TuiValueTypeClass Type;
    Variant Value;
    const char* Expected;
  } texts[] = {
      {ValueTypeClass<TuiBooleanValueType>(), Variant(true), "True"},
      {ValueTypeClass<TuiBooleanValueType>(), Variant(false), "False"},
      {ValueTypeClass<TuiFMTBcdValueType>(), VarFMTBcdCreate(StrToBcd("1.50")), "1.5"},
      {integer, Variant(Integer{42}), "42"},
      {ValueTypeClass<TuiDateTimeValueType>(), Variant::FromDateTime(EncodeDate(2024, 3, 5)), "2024-03-05"},
      {ValueTypeClass<TuiVariantValueType>(), Variant::FromDispatch(nullptr), ""},
  };
  for (const Text& t : texts) {
    TField f(t.Type);
    t.Type->WriteValueData(f.Data(), t.Value);
    EXPECT_EQ(t.Expected, t.Type->GetDefaultText(f.Data())) << t.Type->GetCaption();
  }
}

TEST(ValueTypes, ObjectTypeOwnsWhatItHolds) {
  const TuiValueTypeClass type = ValueTypeClass<TuiObjectValueType>();
  EXPECT_EQ(static_cast<Integer>(sizeof(void*)), type->GetValueDataSize());
  Integer freed = 0;
  auto* first = new TTracked(&freed);
  auto* second = new TTracked(&freed);
  {
    TField field(type);
    type->WriteValueData(field.Data(), Variant::FromObject(first));
    type->WriteValueData(field.Data(), Variant::FromObject(first));
    EXPECT_EQ(0, freed);  // the same object again
    type->WriteValueData(field.Data(), Variant::FromObject(second));
    EXPECT_EQ(1, freed);  // the replaced one
    EXPECT_EQ(second, type->ReadValueData(field.Data()).AsObject());
    EXPECT_TRUE(Saved(type, field.Data()).empty());
  }
  EXPECT_EQ(2, freed);  // released with the field
}

class ValueTypeRegistry : public FoundationTest {};

TEST_F(ValueTypeRegistry, ListsTheFourteenTypesInOrder) {
  std::vector<String> captions;
  TuiValueTypeClassList* list = GetValueTypeClassList();
  for (Integer i = 0; i < list->Count(); ++i) captions.push_back(list->Items(i)->GetCaption());
  EXPECT_EQ((std::vector<String>{"String", "WideString", "Smallint", "Integer", "Word", "Boolean", "Float", "Currency",
                                 "DateTime", "LargeInt", "FMTBcd", "SQLTimeStamp", "Variant", "Object"}),
            captions);
  list->AddType(ValueTypeClass<TuiIntegerValueType>());
  EXPECT_EQ(14, list->Count());
  EXPECT_EQ(ValueTypeClass<TuiIntegerValueType>(), ValueTypeClassOf(TuiIntegerValueType::StaticClass()));
  EXPECT_EQ(nullptr, ValueTypeClassOf(TuiDataStorage::StaticClass()));
}

// ---- Storage ------------------------------------------------------------------------------------------

constexpr Integer kPointer = sizeof(void*);

TEST(DataStorage, LaysDefinitionsOutByTypeAndSettings) {
  TuiDataStorage storage;
  TuiValueDef* number = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  EXPECT_EQ(6, storage.MainDefs()->RecordBytes());
  EXPECT_EQ(1, number->SlotOffset());
  storage.SetRecordIDsUsed(true);
  EXPECT_EQ(10, storage.MainDefs()->RecordBytes());
  EXPECT_EQ(5, number->SlotOffset());
  storage.SetRecordIDsUsed(false);

  TuiValueDef* text = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, true);
  EXPECT_EQ(1 + 2 * kPointer, text->SlotSize());
  EXPECT_EQ(6, text->SlotOffset());
  // The mirrors are always stored and keep what their main definitions keep.
  TuiInternalValueDef* mirror = storage.InternalDefs()->FindByLink(text);
  ASSERT_NE(nullptr, mirror);
  EXPECT_EQ(text, mirror->GetLinkedValueDef());
  EXPECT_EQ(text->SlotSize(), mirror->SlotSize());

  TuiValueDef* hidden = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiFloatValueType>(), false, nullptr, false);
  EXPECT_EQ(9, hidden->SlotSize());  // every definition is stored unless only stored values are kept
  storage.SetOnlyStoredValues(true);
  EXPECT_EQ(0, hidden->SlotSize());
  EXPECT_EQ(6 + 1 + 2 * kPointer, storage.MainDefs()->RecordBytes());
  const Integer record = storage.AddRecord();
  storage.SetRecordValue(record, hidden, Variant(1.5));
  EXPECT_TRUE(storage.GetRecordValue(record, hidden).IsNull());
  EXPECT_EQ(9, storage.InternalDefs()->FindByLink(hidden)->SlotSize());
}

TEST(DataStorage, WidensAndNarrowsExistingRecords) {
  TuiDataStorage storage;
  TuiValueDef* number = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  storage.ResizeRecords(3);
  storage.SetRecordValue(0, number, Variant(Integer{10}));
  storage.SetRecordValue(2, number, Variant(Integer{30}));

  TuiValueDef* text = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, false);
  EXPECT_EQ(10, storage.GetRecordValue(0, number).AsInteger());
  EXPECT_EQ(30, storage.GetRecordValue(2, number).AsInteger());
  for (Integer i = 0; i < 3; ++i) EXPECT_TRUE(storage.GetRecordValue(i, text).IsNull()) << i;
  EXPECT_EQ(nullptr, storage.RecordBuffer(1));  // no buffer is made for the new column

  storage.SetRecordValue(0, text, Variant("ten"));
  storage.SetRecordValue(2, text, Variant("thirty"));
  FreeObject(number);
  EXPECT_EQ(nullptr, storage.InternalDefs()->FindByLink(number));
  EXPECT_EQ(1, text->SlotOffset());
  EXPECT_EQ("ten", storage.GetRecordValue(0, text).AsString());
  EXPECT_EQ("thirty", storage.GetRecordValue(2, text).AsString());

  // The last stored definition takes the buffers along; the records stay.
  FreeObject(text);
  EXPECT_EQ(3, storage.CountRecords());
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(nullptr, storage.RecordBuffer(i)) << i;
}

TEST(DataStorage, StoredAndTextSettingsMoveExistingRecords) {
  TuiDataStorage storage;
  storage.SetOnlyStoredValues(true);
  TuiValueDef* first = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, false);
  TuiValueDef* second = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  storage.AddRecord();
  storage.SetRecordValue(0, first, Variant("kept"));
  storage.SetRecordValue(0, second, Variant(Integer{2}));

  first->SetKeepsDisplayText(true);
  storage.SetRecordDisplayText(0, first, "shown");
  EXPECT_EQ("kept", storage.GetRecordValue(0, first).AsString());
  EXPECT_EQ(2, storage.GetRecordValue(0, second).AsInteger());
  EXPECT_EQ("shown", storage.GetRecordDisplayText(0, first));

  first->SetIsStored(false);
  EXPECT_TRUE(storage.GetRecordValue(0, first).IsNull());
  EXPECT_EQ(2, storage.GetRecordValue(0, second).AsInteger());
  // A later column lands behind the moved slots.
  TuiValueDef* third = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  storage.SetRecordValue(0, third, Variant(Integer{3}));
  EXPECT_EQ(2, storage.GetRecordValue(0, second).AsInteger());
  EXPECT_EQ(3, storage.GetRecordValue(0, third).AsInteger());
}

TEST(DataStorage, DisplayTextsOfNullAndOfValues) {
  TuiDataStorage storage;
  TuiValueDef* plain = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  TuiValueDef* kept = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, true);
  storage.AddRecord();
  storage.AddRecord();
  EXPECT_EQ("", storage.GetRecordDisplayText(0, plain));
  storage.SetRecordDisplayText(0, plain, "ignored");
  EXPECT_EQ("", storage.GetRecordDisplayText(0, plain));
  storage.SetRecordDisplayText(0, kept, "none yet");
  EXPECT_EQ("none yet", storage.GetRecordDisplayText(0, kept));  // also for a Null value
  storage.SetRecordValue(1, plain, Variant(Integer{5}));
  storage.SetRecordValue(1, kept, Variant(Integer{5}));
  EXPECT_EQ("5", storage.GetRecordDisplayText(1, plain));
  EXPECT_EQ("", storage.GetRecordDisplayText(1, kept));
}

TEST(DataStorage, RecordIDsCountFromOneAgainWhenEmpty) {
  TuiDataStorage storage;
  storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  storage.SetRecordIDsUsed(true);
  for (Integer i = 0; i < 3; ++i) storage.AddRecord();
  storage.InsertRecordAt(1);
  std::vector<Integer> ids;
  for (Integer i = 0; i < storage.CountRecords(); ++i) ids.push_back(storage.GetRecordIdentifier(i));
  EXPECT_EQ((std::vector<Integer>{1, 4, 2, 3}), ids);
  storage.ResizeRecords(-5);
  EXPECT_EQ(0, storage.CountRecords());
  EXPECT_EQ(1, storage.GetRecordIdentifier(storage.AddRecord()));

  // With records, the layout stays as it is.
  EXPECT_THROW(storage.SetRecordIDsUsed(false), EInvalidOperation);
  EXPECT_THROW(storage.SetOnlyStoredValues(true), EInvalidOperation);
  EXPECT_TRUE(storage.RecordIDsUsed());
  EXPECT_FALSE(storage.OnlyStoredValues());
  storage.ClearAll(true);
  storage.SetRecordIDsUsed(false);
  EXPECT_EQ(0, storage.GetRecordIdentifier(storage.AddRecord()));
}

TEST(DataStorage, InternalRecordsReuseFreedSlotsAndReadThroughMirrors) {
  TuiDataStorage storage;
  TuiValueDef* number = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false);
  EXPECT_EQ(-1, storage.NewInternalRecord());
  EXPECT_EQ(-2, storage.NewInternalRecord());
  storage.SetRecordValue(-2, number, Variant(Integer{7}));
  EXPECT_EQ(7, storage.GetRecordValue(-2, number).AsInteger());
  EXPECT_EQ(7, storage.GetRecordValue(-2, storage.InternalDefs()->FindByLink(number)).AsInteger());
  storage.RemoveRecord(-1);
  EXPECT_EQ(-1, storage.NewInternalRecord());
  EXPECT_EQ(2, storage.InternalRecordCount());
  EXPECT_THROW(storage.SetRecordValue(-3, number, Variant(Integer{1})), EListError);

  // The last stored column goes: internal records stay in use.
  FreeObject(number);
  EXPECT_EQ(-3, storage.NewInternalRecord());

  Integer cleared = 0;
  storage.SetOnInternalRecordsCleared(TNotifyEvent([&](TObject*) { ++cleared; }));
  storage.ClearAll(true);
  EXPECT_EQ(3, storage.InternalRecordCount());
  EXPECT_EQ(0, cleared);
  storage.ClearAll(false);
  EXPECT_EQ(0, storage.InternalRecordCount());
  EXPECT_EQ(1, cleared);
}

TEST(DataStorage, ComparesRecordsWithNullFirst) {
  TuiDataStorage storage;
  TuiValueDef* text = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, false);
  storage.ResizeRecords(4);  // 0 "b", 1 "a", 2 Null with a buffer, 3 without a buffer
  storage.SetRecordValue(0, text, Variant("b"));
  storage.SetRecordValue(1, text, Variant("a"));
  storage.SetRecordValue(2, text, Variant("c"));
  storage.SetRecordValue(2, text, Null());
  struct Case {
    Integer A, B, Expected;
  } cases[] = {{0, 1, 1}, {1, 0, -1}, {0, 0, 0}, {2, 3, 0}, {2, 0, -1}, {0, 3, 1}};
  for (const Case& c : cases) EXPECT_EQ(c.Expected, storage.CompareRecordValues(c.A, c.B, text)) << c.A << " " << c.B;

  const void* p = nullptr;
  EXPECT_TRUE(storage.GetValueBufferForCompare(3, text, p));  // no buffer: Null
  EXPECT_TRUE(storage.GetValueBufferForCompare(2, text, p));
  ASSERT_FALSE(storage.GetValueBufferForCompare(1, text, p));
  EXPECT_EQ("a", *static_cast<const String*>(p));

  // An internal record compares through its mirror.
  const Integer internal = storage.NewInternalRecord();
  storage.SetRecordValue(internal, text, Variant("a"));
  EXPECT_EQ(0, storage.CompareRecordValues(internal, 1, text));
  EXPECT_EQ(-1, storage.CompareRecordValues(internal, 0, text));
}

class TTableReader : public TuiValueDefReader {
 public:
  TuiValueDef* Skipped = nullptr;
  Variant ReadValue(TuiValueDef* ADef) override { return Variant("v" + ADef->TypeClass()->GetCaption()); }
  String ReadDisplayText(TuiValueDef*) override { return "shown"; }
  bool SkipsValueDef(TuiValueDef* ADef) override { return ADef == Skipped; }
};

TEST(DataStorage, LoadsRecordsFromReaders) {
  TuiDataStorage storage;
  TuiValueDef* a = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, true);
  TuiValueDef* b = storage.MainDefs()->AddValueDef(ValueTypeClass<TuiWideStringValueType>(), true, nullptr, false);
  storage.AddRecord();
  TTableReader reader;
  reader.Skipped = b;
  storage.LoadRecord(0, &reader);
  EXPECT_EQ("vString", storage.GetRecordValue(0, a).AsString());
  EXPECT_EQ("shown", storage.GetRecordDisplayText(0, a));
  EXPECT_TRUE(storage.GetRecordValue(0, b).IsNull());

  TuiValueDefReader base;
  storage.LoadRecord(0, &base);
  EXPECT_TRUE(storage.GetRecordValue(0, a).IsNull());

  std::vector<TuiValueDef*> visited;
  storage.ReadRecordWithProc(
      0, &visited,
      [](TObject*, TuiValueDef* ADef, Integer, TuiValueDefReader*, void* AData) {
        static_cast<std::vector<TuiValueDef*>*>(AData)->push_back(ADef);
      },
      nullptr, &reader);
  EXPECT_EQ((std::vector<TuiValueDef*>{a, b}), visited);
}

TEST(LookupList, FindsKeysOrTheirInsertionIndex) {
  TuiLookupList list;
  Integer index = -1;
  EXPECT_FALSE(list.FindKey(Variant(Integer{1}), index));
  EXPECT_EQ(0, index);
  for (const Integer key : {1, 3, 5}) {
    ASSERT_FALSE(list.FindKey(Variant(key), index));
    list.InsertItem(index, Variant(key), "item " + IntToStr(key));
  }
  struct Case {
    Integer Key;
    bool Found;
    Integer Index;
  } cases[] = {{4, false, 2}, {5, true, 2}, {0, false, 0}, {1, true, 0}, {6, false, 3}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.Found, list.FindKey(Variant(c.Key), index)) << c.Key;
    EXPECT_EQ(c.Index, index) << c.Key;
  }
  EXPECT_EQ("item 3", list.GetItem(1).Text);
  EXPECT_THROW(list.GetItem(3), EListError);
  list.ClearItems();
  EXPECT_EQ(0, list.Count());
}

}  // namespace foundation_test
