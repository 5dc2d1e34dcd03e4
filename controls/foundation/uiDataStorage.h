// Typed values in raw record buffers: the value types (how one kind of value is kept in a record,
// converted, ordered, streamed and shown) with their registry, and the record storage of a data
// controller that holds its own data (value definitions, normal and internal records, record IDs), with
// the key-sorted lookup list.
//
// Value types are stateless class objects (ClassObjectOf), like the painters: a TuiValueTypeClass points
// to the one instance of its class, so a base routine reaches the descendant's overrides. String,
// wide-string and variant values live in separately allocated cells; the value field holds the cell's
// pointer (pointer-sized), as does a display-text field. Sizes and offsets are computed from the types,
// never assumed. Value and text fields may be unaligned: every access copies bytes.
//
// Record buffer: 1 byte of record flags (1 marks an internal record as in use), the 4-byte record ID when
// IDs are used (normal records only), then per stored definition a null flag (0 Null, 1 a value), the
// value field and, when the definition keeps display text, the text field. Buffers are zero-filled and
// allocated on first need; a record without a buffer reads as Null.
//
// Ownership: the storage owns every buffer, every cell in them and every object stored through
// TuiObjectValueType; a definition is freed by its owner (a data field) and then leaves its list, its
// internal mirror with it; the storage frees what is left when it is destroyed. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiVariants.h"

// ---- Value types --------------------------------------------------------------------------------------

class TuiValueType;
using TuiValueTypeClass = const TuiValueType*;

// The value-type class of a class reference (the class's one instance); nil for a class that is none.
TuiValueTypeClass ValueTypeClassOf(TClass AClass);
template <class T>
TuiValueTypeClass ValueTypeClass() {
  return ClassObjectOf<T>();
}

// The base: a value of no bytes that reads as Null and streams as one variant item. P is the address of a
// value field or a text field in a record buffer; a compare pointer is what PrepareComparePointer makes
// of a value field's address.
class TuiValueType : public TObject {
  K58_CLASS(TuiValueType, TObject)

  TuiValueType() = default;

  // The order of two value fields: CompareStoredValues of them (of their cells for the cell types).
  virtual Integer CompareBufferData(const void* A, const void* B) const;
  // Releases what the value field owns (the caller zeroes the field).
  virtual void ReleaseValueData(void* P) const;
  // Frees the text cell the text field refers to.
  virtual void ReleaseTextData(void* P) const;
  virtual Integer GetValueDataSize() const;
  virtual Variant ReadValueData(const void* P) const;
  // The value's text; '' when the variant rules cannot convert it.
  virtual String GetDefaultText(const void* P) const;
  // The stored display text; '' when there is none.
  virtual String ReadTextData(const void* P) const;
  // A value from the stream into the value field; a stream that ends early leaves the field as it was.
  virtual void LoadValueData(void* P, TStream* AStream) const;
  virtual void LoadTextData(void* P, TStream* AStream) const;
  // Stores V (not Null) over the field's value; conversion errors of the variant rules pass on.
  virtual void WriteValueData(void* P, const Variant& V) const;
  virtual void WriteTextData(void* P, const String& S) const;
  virtual void SaveValueData(const void* P, TStream* AStream) const;
  virtual void SaveTextData(const void* P, TStream* AStream) const;
  // The class name without "Tui" and "ValueType": "Integer", "FMTBcd".
  virtual String GetCaption() const;
  virtual Integer CompareStoredValues(const void* A, const void* B) const;
  virtual Variant GetValueAt(const void* P) const;
  virtual TVarType GetVariantType() const;
  // Casts V in place to the type's variant type; False (V untouched) when it cannot be converted.
  virtual bool ConvertToValueType(Variant& V) const;
  virtual bool IsTextType() const;
  virtual const void* PrepareComparePointer(const void* P) const;
};

// Text in a string cell, ordered by bytes (case-sensitive).
class TuiStringValueType : public TuiValueType {
  K58_CLASS(TuiStringValueType, TuiValueType)

  TuiStringValueType() = default;
  Integer CompareBufferData(const void* A, const void* B) const override;
  void ReleaseValueData(void* P) const override;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  Variant GetValueAt(const void* P) const override;
  TVarType GetVariantType() const override;
  bool IsTextType() const override;
  const void* PrepareComparePointer(const void* P) const override;
};

// UTF-16 text in a wide-string cell, ordered by code units; streamed as its units.
class TuiWideStringValueType : public TuiStringValueType {
  K58_CLASS(TuiWideStringValueType, TuiStringValueType)

  TuiWideStringValueType() = default;
  void ReleaseValueData(void* P) const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  Variant GetValueAt(const void* P) const override;
  TVarType GetVariantType() const override;
};

class TuiSmallintValueType : public TuiValueType {
  K58_CLASS(TuiSmallintValueType, TuiValueType)

  TuiSmallintValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiIntegerValueType : public TuiValueType {
  K58_CLASS(TuiIntegerValueType, TuiValueType)

  TuiIntegerValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiWordValueType : public TuiValueType {
  K58_CLASS(TuiWordValueType, TuiValueType)

  TuiWordValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiBooleanValueType : public TuiValueType {
  K58_CLASS(TuiBooleanValueType, TuiValueType)

  TuiBooleanValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  String GetDefaultText(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

// A double, streamed as a 10-byte extended.
class TuiFloatValueType : public TuiValueType {
  K58_CLASS(TuiFloatValueType, TuiValueType)

  TuiFloatValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiCurrencyValueType : public TuiValueType {
  K58_CLASS(TuiCurrencyValueType, TuiValueType)

  TuiCurrencyValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiDateTimeValueType : public TuiValueType {
  K58_CLASS(TuiDateTimeValueType, TuiValueType)

  TuiDateTimeValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  String GetDefaultText(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

class TuiLargeIntValueType : public TuiValueType {
  K58_CLASS(TuiLargeIntValueType, TuiValueType)

  TuiLargeIntValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

// The 34-byte BCD record; streamed as a variant item (its text).
class TuiFMTBcdValueType : public TuiValueType {
  K58_CLASS(TuiFMTBcdValueType, TuiValueType)

  TuiFMTBcdValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  String GetDefaultText(const void* P) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

// The 16-byte time stamp record; reads as a date, streamed as a variant item.
class TuiSQLTimeStampValueType : public TuiValueType {
  K58_CLASS(TuiSQLTimeStampValueType, TuiValueType)

  TuiSQLTimeStampValueType() = default;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  // The first unequal field's difference (A - B).
  Integer CompareStoredValues(const void* A, const void* B) const override;
  TVarType GetVariantType() const override;
};

// Any variant, in a variant cell.
class TuiVariantValueType : public TuiValueType {
  K58_CLASS(TuiVariantValueType, TuiValueType)

  TuiVariantValueType() = default;
  Integer CompareBufferData(const void* A, const void* B) const override;
  void ReleaseValueData(void* P) const override;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
  Variant GetValueAt(const void* P) const override;
  const void* PrepareComparePointer(const void* P) const override;
};

// An object reference (pointer-sized), read as an object variant, ordered by address and never streamed.
// The storage owns the object: it is freed when the value is released or replaced by another object.
class TuiObjectValueType : public TuiIntegerValueType {
  K58_CLASS(TuiObjectValueType, TuiIntegerValueType)

  TuiObjectValueType() = default;
  void ReleaseValueData(void* P) const override;
  Integer GetValueDataSize() const override;
  Variant ReadValueData(const void* P) const override;
  void LoadValueData(void* P, TStream* AStream) const override;
  void WriteValueData(void* P, const Variant& V) const override;
  void SaveValueData(const void* P, TStream* AStream) const override;
  Integer CompareStoredValues(const void* A, const void* B) const override;
};

// The registered value types, in registration order.
class TuiValueTypeClassList : public TObject {
  K58_CLASS(TuiValueTypeClassList, TObject)

  TuiValueTypeClassList() = default;

  // Appends AClass unless it is listed.
  void AddType(TuiValueTypeClass AClass);
  void RemoveType(TuiValueTypeClass AClass);
  Integer Count() const { return static_cast<Integer>(items_.size()); }
  // Raises EListError for an index out of range.
  TuiValueTypeClass Items(Integer AIndex) const;

 private:
  std::vector<TuiValueTypeClass> items_;
};

// The process-wide registry, made on first use.
TuiValueTypeClassList* GetValueTypeClassList();

// ---- Value definitions --------------------------------------------------------------------------------

class TuiDataStorage;
class TuiValueDefs;

// A column of the records: its value type, whether it is stored and keeps a display text, and where its
// slot lies in a record buffer. B is a record buffer laid out by the definition's list.
class TuiValueDef : public TObject {
  K58_CLASS(TuiValueDef, TObject)

  TuiValueDef(TuiValueDefs* AOwnerDefs, TuiValueTypeClass ATypeClass);
  // Leaves its list (the storage narrows the records; a main definition takes its mirror along).
  ~TuiValueDef() override;

  // The client object (a data field); for an internal definition, its mirror's link.
  virtual TObject* GetLink() const;
  // IsStored, or every definition when the storage does not keep only stored values.
  virtual bool GetIsStored() const;
  virtual void SetLink(TObject* Value);
  // Takes over whether ASource is stored and keeps text.
  virtual void AssignSettings(TuiValueDef* ASource);

  // Both Null 0, only the first -1, only the second 1, else the type's order of the compare pointers.
  Integer CompareBuffers(bool ANull1, bool ANull2, const void* P1, const void* P2) const;
  // As CompareBuffers on two buffers (nil counts as Null).
  Integer CompareRecordBuffers(const Byte* B1, const Byte* B2) const {
    const bool null1 = B1 == nullptr || slotSize_ == 0 || B1[slotOffset_] == 0;
    const bool null2 = B2 == nullptr || slotSize_ == 0 || B2[slotOffset_] == 0;
    if (null1 || null2) return null1 == null2 ? 0 : (null1 ? -1 : 1);
    return typeClass_->CompareBufferData(B1 + slotOffset_ + 1, B2 + slotOffset_ + 1);
  }
  Variant ReadValue(const Byte* B) const;
  // Null releases the value; anything else is stored over it.
  void WriteValue(Byte* B, const Variant& V);
  // The kept text (also for Null) or, without one, the value's default text ('' for Null).
  String ReadDisplayText(const Byte* B) const;
  // Nothing unless the definition keeps display text.
  void WriteDisplayText(Byte* B, const String& S);
  bool IsTextType() const;
  bool HasStoredText() const;
  // A change lays the records out again (keeping their values) and notifies the list.
  void SetIsStored(bool Value);
  void SetKeepsDisplayText(bool Value);
  // Places the slot at AOffset and moves AOffset behind it.
  void LayOut(Integer& AOffset);
  void ReleaseSlot(Byte* B);

  Integer SlotSize() const { return slotSize_; }
  Integer ValueSize() const { return valueSize_; }
  bool IsStored() const { return isStored_; }
  TObject* Link() const { return link_; }
  Integer SlotOffset() const { return slotOffset_; }
  bool KeepsDisplayText() const { return keepsDisplayText_; }
  TuiValueDefs* OwnerDefs() const { return ownerDefs_; }
  TuiValueTypeClass TypeClass() const { return typeClass_; }

 private:
  friend class TuiValueDefs;
  friend class TuiDataStorage;

  // Whether the slot laid out last holds a text field.
  bool SlotHasText() const { return slotSize_ > 1 + valueSize_; }

  Integer slotSize_ = 0;
  Integer valueSize_ = 0;
  bool isStored_ = true;
  TObject* link_ = nullptr;
  Integer slotOffset_ = 0;
  bool keepsDisplayText_ = false;
  TuiValueDefs* ownerDefs_;
  TuiValueTypeClass typeClass_;
};

// The mirror of a main definition in the internal records: always stored, linked to the main one.
class TuiInternalValueDef : public TuiValueDef {
  K58_CLASS(TuiInternalValueDef, TuiValueDef)

  TuiInternalValueDef(TuiValueDefs* AOwnerDefs, TuiValueTypeClass ATypeClass) : TuiValueDef(AOwnerDefs, ATypeClass) {}

  TObject* GetLink() const override;
  bool GetIsStored() const override;
  TuiValueDef* GetLinkedValueDef() const;
};

// The definitions of one kind of record, in layout order.
class TuiValueDefs : public TObject {
  K58_CLASS(TuiValueDefs, TObject)

  explicit TuiValueDefs(TuiDataStorage* AStorage);
  // Frees the definitions, the last first.
  ~TuiValueDefs() override;

  virtual void NotifyChanged(TuiValueDef* ADef, bool AResyncNeeded);
  virtual void LayOutDefs(Integer AStartOffset);

  // A new definition at the end; the records get its slot (Null).
  TuiValueDef* AddValueDef(TuiValueTypeClass ATypeClass, bool AStored, TObject* ALink, bool AKeepsText);
  Integer CountStored() const;

  TuiDataStorage* Storage() const { return storage_; }
  Integer Count() const { return static_cast<Integer>(defList_.size()); }
  // Raises EListError for an index out of range.
  TuiValueDef* Items(Integer AIndex) const;
  Integer StartOffset() const { return startOffset_; }
  Integer RecordBytes() const { return recordBytes_; }

 protected:
  // A definition of this list's class.
  virtual TuiValueDef* NewValueDef(TuiValueTypeClass ATypeClass);

 private:
  friend class TuiValueDef;
  friend class TuiDataStorage;
  void RemoveDef(TuiValueDef* ADef);

  TuiDataStorage* storage_;
  std::vector<TuiValueDef*> defList_;
  Integer startOffset_ = 0;
  Integer recordBytes_ = 0;
  bool destroying_ = false;
};

class TuiInternalValueDefs : public TuiValueDefs {
  K58_CLASS(TuiInternalValueDefs, TuiValueDefs)

  explicit TuiInternalValueDefs(TuiDataStorage* AStorage) : TuiValueDefs(AStorage) {}

  // The mirror of ALink (searched from the last); nil when there is none.
  TuiInternalValueDef* FindByLink(TObject* ALink) const;
  void FreeByLink(TObject* ALink);

 protected:
  TuiValueDef* NewValueDef(TuiValueTypeClass ATypeClass) override;
};

// Fills records definition by definition; the base reads nothing (Null, '').
class TuiValueDefReader : public TObject {
  K58_CLASS(TuiValueDefReader, TObject)

  TuiValueDefReader() = default;

  virtual String ReadDisplayText(TuiValueDef* ADef);
  virtual Variant ReadValue(TuiValueDef* ADef);
  virtual bool SkipsValueDef(TuiValueDef* ADef);
};

using TuiReadRecordProc = void (*)(TObject* AController, TuiValueDef* ADef, Integer AIndex, TuiValueDefReader* AReader,
                                   void* AData);

// ---- The storage --------------------------------------------------------------------------------------

// Normal records 0, 1, 2, ... laid out by MainDefs and internal records -1, -2, ... laid out by
// InternalDefs, which mirrors every main definition. A record index out of range raises EListError.
class TuiDataStorage : public TObject {
  K58_CLASS(TuiDataStorage, TObject)

  TuiDataStorage();
  // ClearAll(false) (so OnInternalRecordsCleared fires), then the definitions.
  ~TuiDataStorage() override;

  virtual void LayoutValueDefs(TuiValueDefs* ADefs);
  virtual void NotifyValueDefChanged(TuiValueDef* ADef, bool AResyncNeeded);
  virtual TuiValueDefs* GetValueDefsForRecord(Integer AIndex) const;

  Integer AddRecord();
  void InsertRecordAt(Integer AIndex);
  // An internal record's buffer is released and its slot reused later; a normal record is deleted.
  void RemoveRecord(Integer AIndex);
  void ResizeRecords(Integer ACount);
  Integer CountRecords() const { return static_cast<Integer>(normalBuffers_.size()); }
  // The first free internal slot (or a new one), marked in use.
  Integer NewInternalRecord();
  void ClearAll(bool AKeepInternal);

  // A main definition used on an internal record stands for its mirror; a definition of neither list
  // reads Null and stores nothing.
  Variant GetRecordValue(Integer AIndex, TuiValueDef* ADef) const;
  void SetRecordValue(Integer AIndex, TuiValueDef* ADef, const Variant& V);
  String GetRecordDisplayText(Integer AIndex, TuiValueDef* ADef) const;
  void SetRecordDisplayText(Integer AIndex, TuiValueDef* ADef, const String& S);
  // 0 when IDs are not used, for internal records and before one is assigned.
  Integer GetRecordIdentifier(Integer AIndex);
  Integer CompareRecordValues(Integer AIndex1, Integer AIndex2, TuiValueDef* ADef) const {
    // Two normal records and a main definition, the case of every sort, without a call.
    const size_t count = normalBuffers_.size();
    if (static_cast<size_t>(AIndex1) < count && static_cast<size_t>(AIndex2) < count && ADef->OwnerDefs() == mainDefs_.get())
      return ADef->CompareRecordBuffers(normalBuffers_[static_cast<size_t>(AIndex1)], normalBuffers_[static_cast<size_t>(AIndex2)]);
    return CompareOtherRecordValues(AIndex1, AIndex2, ADef);
  }
  // True for a Null value (also for a record without a buffer); else P is the prepared compare pointer.
  bool GetValueBufferForCompare(Integer AIndex, TuiValueDef* ADef, const void*& P) const;
  void LoadRecord(Integer AIndex, TuiValueDefReader* AReader);
  void ReadRecordWithProc(Integer AIndex, void* AData, TuiReadRecordProc ACallback, TObject* AController,
                          TuiValueDefReader* AReader);

  bool OnlyStoredValues() const { return onlyStoredValues_; }
  // These change the record layout: allowed only while the storage holds no records (EInvalidOperation).
  void SetOnlyStoredValues(bool Value);
  bool RecordIDsUsed() const { return recordIDsUsed_; }
  void SetRecordIDsUsed(bool Value);
  // Bracket a bulk load; the records are not touched.
  void StartLoading() {}
  void FinishLoading() {}

  TuiValueDefs* MainDefs() const { return mainDefs_.get(); }
  TuiInternalValueDefs* InternalDefs() const { return internalDefs_.get(); }
  Integer NextRecordID() const { return nextRecordID_; }
  Integer InternalRecordCount() const { return static_cast<Integer>(internalBuffers_.size()); }
  // The buffer of a record (nil when it has none).
  const Byte* RecordBuffer(Integer AIndex) const;
  const TNotifyEvent& OnInternalRecordsCleared() const { return onInternalRecordsCleared_; }
  void SetOnInternalRecordsCleared(const TNotifyEvent& Value) { onInternalRecordsCleared_ = Value; }

 private:
  friend class TuiValueDefs;
  friend class TuiValueDef;

  // CompareRecordValues with an internal record (through its mirror) or a definition of neither list.
  Integer CompareOtherRecordValues(Integer AIndex1, Integer AIndex2, TuiValueDef* ADef) const;
  std::vector<Byte*>& BuffersOf(const TuiValueDefs* ADefs);
  Byte*& BufferSlot(Integer AIndex);
  Byte* const& BufferSlot(Integer AIndex) const;
  Byte* EnsureBuffer(Integer AIndex);
  void ReleaseBuffer(Byte*& ABuffer, TuiValueDefs* ADefs);
  TuiValueDef* ResolveDef(Integer AIndex, TuiValueDef* ADef) const;
  void AssignRecordID(Integer AIndex);
  void AssignRecordIDs();
  // The list's records get the new definition's slot (and a main definition its mirror).
  void ValueDefAdded(TuiValueDefs* ADefs, TuiValueDef* ADef);
  // The records lose the definition's slot (and a main definition its mirror).
  void ValueDefRemoving(TuiValueDefs* ADefs, TuiValueDef* ADef);
  // Lays ADefs out again and moves every existing record of it to the new layout.
  void RelayOutRecords(TuiValueDefs* ADefs);

  std::vector<Byte*> internalBuffers_;
  std::unique_ptr<TuiInternalValueDefs> internalDefs_;
  bool onlyStoredValues_ = false;
  std::vector<Byte*> normalBuffers_;
  Integer nextRecordID_ = 1;
  bool recordIDsUsed_ = false;
  std::unique_ptr<TuiValueDefs> mainDefs_;
  TNotifyEvent onInternalRecordsCleared_;
};

// ---- Lookup list --------------------------------------------------------------------------------------

struct TuiLookupListItem {
  Variant Key;
  String Text;
};

// (key, text) pairs that its user keeps sorted by key (CompareVariants).
class TuiLookupList : public TObject {
  K58_CLASS(TuiLookupList, TObject)

  TuiLookupList() = default;

  void ClearItems() { items_.clear(); }
  // Binary search: True with the item's index, or False with the index where AKey belongs.
  bool FindKey(const Variant& AKey, Integer& AIndex) const;
  void InsertItem(Integer AIndex, const Variant& AKey, const String& AText);
  // Raises EListError for an index out of range.
  const TuiLookupListItem& GetItem(Integer AIndex) const;
  Integer Count() const { return static_cast<Integer>(items_.size()); }

 private:
  std::vector<TuiLookupListItem> items_;
};

namespace k58::foundation {
// Unit start and end: the fourteen value types join the registry, and leave it in reverse order.
void StartDataStorageUnit();
void StopDataStorageUnit();
}  // namespace k58::foundation
