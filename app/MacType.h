// Radio models and the band-code table.
//
// Every model of the family shares one 4-character type code; the band code byte in the memory image
// decides which model an image belongs to.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/rtl/Types.h"

// One radio model.
class TMacType : public TObject {
  K58_CLASS(TMacType, TObject)

  TMacType(const String& TypeCode, Integer ChannelCount, const String& Name);
  ~TMacType() override;

  void AddBand(const String& Text);
  void SetDefaultBand(const String& Text);
  void SetLimits(double MaxMHz, double MinMHz);

  String TypeCode;
  String Name;
  Integer ChannelCount = 0;
  double MaxMHz = 0;
  double MinMHz = 0;
  TStringList* Bands;  // owned
  String DefaultBand;
};

// The models in the order added, keyed by type code; owns them.
class TMacList : public TObject {
  K58_CLASS(TMacList, TObject)

  TMacList();
  ~TMacList() override;

  void Add(TMacType* Model);
  Integer Count() const;
  TMacType* GetItem(Integer Index) const;  // nullptr outside 0 .. Count - 1
  TMacType* FindByName(const String& Text) const;
  TMacType* FindByTypeCode(const String& Text) const;
  // First model, in list order, whose band list holds Text.
  TMacType* FindByBand(const String& Text) const;
  // Clears Strings and appends every model's name in list order.
  void GetNames(TStrings* Strings) const;

private:
  TStringList* list_;  // type codes, with the models as objects
};

// Band texts (" 27 -  72MHz", "450 - 470MHz") with their one-byte codes, in the order added.
class TFrqList : public TObject {
  K58_CLASS(TFrqList, TObject)

  void Add(const String& Text, Byte Code);
  Integer Count() const { return static_cast<Integer>(entries_.size()); }
  const String& Text(Integer Index) const { return entries_.at(Index).first; }
  Byte Code(Integer Index) const { return entries_.at(Index).second; }

  // Code of the first entry with that text; the code of entry 0 when none.
  Byte CodeOfBand(const String& Text) const;
  // Text of the first entry with that code; the text of entry 10 when none.
  String BandOfCode(Byte Code) const;

private:
  std::vector<std::pair<String, Byte>> entries_;
};

// Fill the tables the program starts with.
void BuildBandTable(TFrqList& List);
void BuildModelTable(TMacList& List);
