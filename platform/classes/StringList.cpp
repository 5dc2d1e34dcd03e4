#include "platform/classes/StringList.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TStrings) {}
K58_IMPLEMENT_CLASS(TStringList) {}

namespace {
bool IsBlankOrControl(unsigned char c) { return c <= ' '; }
}  // namespace

// ---- TStrings ----

void TStrings::Error(const char* Msg, Integer Data) const { throw EStringListError(Format(Msg, Data)); }

void TStrings::Put(Integer Index, const String& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::PutObject(Integer, TObject*) {}

Integer TStrings::Add(const String& S) {
  Integer result = Count();
  Insert(result, S);
  return result;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  Integer result = Add(S);
  PutObject(result, AObject);
  return result;
}

void TStrings::AddStrings(TStrings* Strings) {
  if (Strings == nullptr) return;
  BeginUpdate();
  try {
    for (Integer i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  BeginUpdate();
  try {
    String tempString = Get(Index1);
    TObject* tempObject = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, tempString);
    PutObject(Index2, tempObject);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  try {
    String tempString = Get(CurIndex);
    TObject* tempObject = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, tempString, tempObject);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(TStrings* Strings) const {
  if (Strings == nullptr || Count() != Strings->Count()) return false;
  for (Integer i = 0; i < Count(); ++i) {
    if (Get(i) != Strings->Get(i)) return false;
  }
  return true;
}

Integer TStrings::IndexOf(const String& S) const {
  for (Integer i = 0; i < Count(); ++i) {
    if (CompareStrings(Get(i), S) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const {
  for (Integer i = 0; i < Count(); ++i) {
    String s = Get(i);
    size_t p = s.find(nameValueSeparator_);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  for (Integer i = 0; i < Count(); ++i) {
    if (GetObject(i) == AObject) return i;
  }
  return -1;
}

String TStrings::Names(Integer Index) const {
  String s = Get(Index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::Values(const String& Name) const {
  Integer i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : String();
}

void TStrings::SetValues(const String& Name, const String& Value) {
  Integer i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) i = Add(String());
    Put(i, Name + nameValueSeparator_ + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::ValueFromIndex(Integer Index) const {
  if (Index < 0) return String();
  String s = Get(Index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const String& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(String());
    Put(Index, Names(Index) + nameValueSeparator_ + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

String TStrings::GetText() const {
  String result;
  for (Integer i = 0; i < Count(); ++i) {
    result += Get(i);
    result += sLineBreak;
  }
  return result;
}

void TStrings::SetText(const String& Value) {
  BeginUpdate();
  try {
    Clear();
    size_t p = 0;
    const size_t n = Value.size();
    while (p < n) {
      size_t start = p;
      while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
      Add(Value.substr(start, p - start));
      if (p < n && Value[p] == '\r') ++p;
      if (p < n && Value[p] == '\n') ++p;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::DelimitedText() const {
  const Integer count = Count();
  if (count == 1 && Get(0).empty()) return String(2, quoteChar_);
  String result;
  for (Integer i = 0; i < count; ++i) {
    String s = Get(i);
    bool quote = false;
    for (char c : s) {
      if (IsBlankOrControl(static_cast<unsigned char>(c)) || c == quoteChar_ || c == delimiter_) {
        quote = true;
        break;
      }
    }
    if (quote) s = AnsiQuotedStr(s, quoteChar_);
    if (i > 0) result += delimiter_;
    result += s;
  }
  return result;
}

void TStrings::SetDelimitedText(const String& Value) {
  BeginUpdate();
  try {
    Clear();
    const char* p = Value.c_str();
    const char* end = p + Value.size();
    auto isBlank = [](char c) { return IsBlankOrControl(static_cast<unsigned char>(c)); };
    while (p < end && isBlank(*p)) ++p;
    while (p < end) {
      String s;
      if (*p == quoteChar_) {
        s = AnsiExtractQuotedStr(p, quoteChar_);
      } else {
        const char* start = p;
        while (p < end && !isBlank(*p) && *p != delimiter_) ++p;
        s.assign(start, static_cast<size_t>(p - start));
      }
      Add(s);
      while (p < end && isBlank(*p)) ++p;
      if (p < end && *p == delimiter_) {
        if (p + 1 == end) Add(String());
        do {
          ++p;
        } while (p < end && isBlank(*p));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::CommaText() const {
  TStrings* self = const_cast<TStrings*>(this);
  char oldDelimiter = delimiter_;
  char oldQuote = quoteChar_;
  self->delimiter_ = ',';
  self->quoteChar_ = '"';
  String result = DelimitedText();
  self->delimiter_ = oldDelimiter;
  self->quoteChar_ = oldQuote;
  return result;
}

void TStrings::SetCommaText(const String& Value) {
  char oldDelimiter = delimiter_;
  char oldQuote = quoteChar_;
  delimiter_ = ',';
  quoteChar_ = '"';
  try {
    SetDelimitedText(Value);
  } catch (...) {
    delimiter_ = oldDelimiter;
    quoteChar_ = oldQuote;
    throw;
  }
  delimiter_ = oldDelimiter;
  quoteChar_ = oldQuote;
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
  BeginUpdate();
  try {
    Int64 size = Stream->Size() - Stream->Position();
    String bytes(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
    if (!bytes.empty()) {
      Integer n = Stream->Read(bytes.data(), static_cast<Integer>(bytes.size()));
      bytes.resize(static_cast<size_t>(std::max(n, 0)));
    }
    SetText(DecodeFileText(bytes));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* Stream) {
  String text = GetText();
  Stream->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TStrings*>(Source)) {
    if (source == this) return;
    BeginUpdate();
    try {
      Clear();
      AddStrings(source);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler* Filer) {
  Filer->DefineProperty(
      "Strings", [this](TReader* reader) { ReadData(reader); }, [this](TWriter* writer) { WriteData(writer); },
      Count() > 0);
}

void TStrings::ReadData(TReader* Reader) {
  Reader->ReadListBegin();
  BeginUpdate();
  try {
    Clear();
    while (!Reader->EndOfList()) Add(Reader->ReadString());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Reader->ReadListEnd();
}

void TStrings::WriteData(TWriter* Writer) {
  Writer->WriteListBegin();
  for (Integer i = 0; i < Count(); ++i) Writer->WriteString(Get(i));
  Writer->WriteListEnd();
}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const { return AnsiCompareText(S1, S2); }

// ---- TStringList ----

TStringList::~TStringList() {
  onChange_.Clear();
  onChanging_.Clear();
  items_.clear();
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) Error(SListIndexError, Index);
}

String TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].Text;
}

void TStringList::Put(Integer Index, const String& S) {
  if (sorted_) Error(SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].Text = S;
  Changed();
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return items_[static_cast<size_t>(Index)].Object;
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  items_[static_cast<size_t>(Index)].Object = AObject;
  Changed();
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer index = Count();
  if (sorted_ && Find(S, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        Error(SDuplicateString, 0);
      case dupAccept:
        break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  items_.shrink_to_fit();
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  items_.erase(items_.begin() + Index);
  Changed();
}

void TStringList::Insert(Integer Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject) {
  if (sorted_) Error(SSortedListError, 0);
  if (Index < 0 || Index > Count()) Error(SListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  items_.insert(items_.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
  Changed();
}

bool TStringList::Find(const String& S, Integer& Index) const {
  bool result = false;
  Integer l = 0;
  Integer h = Count() - 1;
  while (l <= h) {
    Integer i = (l + h) >> 1;
    Integer c = CompareStrings(items_[static_cast<size_t>(i)].Text, S);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        result = true;
        if (duplicates_ != dupAccept) l = i;
      }
    }
  }
  Index = l;
  return result;
}

Integer TStringList::IndexOf(const String& S) const {
  if (!sorted_) return TStrings::IndexOf(S);
  Integer index = -1;
  return Find(S, index) ? index : -1;
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, Integer a, Integer b) {
    return list->CompareStrings(list->items_[static_cast<size_t>(a)].Text, list->items_[static_cast<size_t>(b)].Text);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (sorted_ || Count() <= 1) return;
  Changing();
  QuickSort(0, Count() - 1, Compare);
  Changed();
}

// The class library's quicksort, so equal entries end up in the same order as there. The scans stay inside
// the range even if Compare is not a consistent ordering.
void TStringList::QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare) {
  Integer i = 0;
  do {
    i = L;
    Integer j = R;
    Integer p = (L + R) >> 1;
    do {
      while (i < R && Compare(this, i, p) < 0) ++i;
      while (j > L && Compare(this, j, p) > 0) --j;
      if (i <= j) {
        std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
        if (p == i) {
          p = j;
        } else if (p == j) {
          p = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (L < j) QuickSort(L, j, Compare);
    L = i;
  } while (i < R);
}

void TStringList::SetSorted(bool Value) {
  if (sorted_ == Value) return;
  if (Value) Sort();
  sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (caseSensitive_ == Value) return;
  caseSensitive_ = Value;
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

void TStringList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count()) Error(SListCapacityError, NewCapacity);
  items_.reserve(static_cast<size_t>(NewCapacity));
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && onChange_) onChange_(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && onChanging_) onChanging_(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating) {
    Changing();
  } else {
    Changed();
  }
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}
