// String lists: the abstract TStrings protocol and TStringList, with an object per entry.
#pragma once

#include <functional>
#include <vector>

#include "platform/classes/Lists.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"

class TStream;
class TReader;
class TWriter;

// Line break of Text, files and streams written by string lists.
inline constexpr const char* sLineBreak = "\r\n";

class TStrings : public TPersistent {
  K58_CLASS(TStrings, TPersistent)

  TStrings() = default;

  virtual Integer Count() const = 0;
  virtual String Get(Integer Index) const = 0;
  virtual void Put(Integer Index, const String& S);
  virtual TObject* GetObject(Integer Index) const;
  virtual void PutObject(Integer Index, TObject* AObject);
  String Strings(Integer Index) const { return Get(Index); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }

  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void Append(const String& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  // Same strings in the same order (objects are not compared).
  bool Equals(TStrings* Strings) const;

  // Lookups compare with CompareStrings (ignoring case unless a string list is made case-sensitive).
  virtual Integer IndexOf(const String& S) const;
  virtual Integer IndexOfName(const String& Name) const;
  virtual Integer IndexOfObject(TObject* AObject) const;

  // "name=value" entries.
  String Names(Integer Index) const;
  String Values(const String& Name) const;
  // An empty value deletes the entry; a new name is added at the end.
  void SetValues(const String& Name, const String& Value);
  String ValueFromIndex(Integer Index) const;
  void SetValueFromIndex(Integer Index, const String& Value);
  char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(char Value) { nameValueSeparator_ = Value; }

  // All entries, each followed by a line break. Setting splits at CR, LF and CR LF.
  virtual String GetText() const;
  virtual void SetText(const String& Value);
  String Text() const { return GetText(); }
  // Entries separated by Delimiter, quoted with QuoteChar when they contain blanks, control characters,
  // the delimiter or the quote. Setting also splits at blanks outside quotes, as the class library does.
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);
  // Delimited text with ',' and '"'.
  String CommaText() const;
  void SetCommaText(const String& Value);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char Value) { delimiter_ = Value; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char Value) { quoteChar_ = Value; }

  virtual Integer Capacity() const { return Count(); }
  virtual void SetCapacity(Integer) {}

  // Changes between BeginUpdate and the last EndUpdate are reported once.
  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  // Files and streams: UTF-8 text is taken as it is (a byte order mark is dropped), other text is read as
  // GBK; writing gives UTF-8 with CR LF line breaks.
  virtual void LoadFromFile(const String& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToFile(const String& FileName);
  virtual void SaveToStream(TStream* Stream);

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  // Three-way comparison used by lookups and sorting.
  virtual Integer CompareStrings(const String& S1, const String& S2) const;

 protected:
  virtual void SetUpdateState(bool Updating);
  [[noreturn]] void Error(const char* Msg, Integer Data) const;

 private:
  void ReadData(TReader* Reader);
  void WriteData(TWriter* Writer);

  Integer updateCount_ = 0;
  char delimiter_ = ',';
  char quoteChar_ = '"';
  char nameValueSeparator_ = '=';
};

class TStringList;
// Compares the entries at Index1 and Index2 of List: < 0, 0, > 0.
using TStringListSortCompare = std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

class TStringList : public TStrings {
  K58_CLASS(TStringList, TStrings)

  TStringList() = default;
  ~TStringList() override;

  Integer Count() const override { return static_cast<Integer>(items_.size()); }
  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;

  // On a sorted list the entry goes to its place; a duplicate is then ignored (dupIgnore: the index of the
  // existing entry is answered), accepted, or refused with EStringListError (dupError).
  Integer Add(const String& S) override;
  Integer AddObject(const String& S, TObject* AObject) override;
  void Clear() override;
  void Delete(Integer Index) override;
  // Inserting into a sorted list raises EStringListError "Operation not allowed on sorted list".
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Exchange(Integer Index1, Integer Index2) override;

  // Binary search of a sorted list: true when found; Index is the entry (the first of equal ones when
  // duplicates are accepted) or the place where S would go.
  virtual bool Find(const String& S, Integer& Index) const;
  Integer IndexOf(const String& S) const override;
  virtual void Sort();
  // Sorts an unsorted list with the comparison.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
  bool CaseSensitive() const { return caseSensitive_; }
  // A sorted list is sorted again under the new comparison.
  void SetCaseSensitive(bool Value);

  Integer Capacity() const override { return static_cast<Integer>(items_.capacity()); }
  void SetCapacity(Integer NewCapacity) override;

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TNotifyEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(const TNotifyEvent& Value) { onChanging_ = Value; }

  Integer CompareStrings(const String& S1, const String& S2) const override;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  virtual void InsertItem(Integer Index, const String& S, TObject* AObject);

 private:
  struct Item {
    String Text;
    TObject* Object = nullptr;
  };
  void QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare);
  void CheckIndex(Integer Index) const;

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};
