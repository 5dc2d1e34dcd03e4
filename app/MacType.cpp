#include "app/MacType.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

K58_IMPLEMENT_CLASS(TMacType) {}
K58_IMPLEMENT_CLASS(TMacList) {}
K58_IMPLEMENT_CLASS(TFrqList) {}

TMacType::TMacType(const String& TypeCode, Integer ChannelCount, const String& Name)
    : TypeCode(TypeCode), Name(Name), ChannelCount(ChannelCount), Bands(new TStringList()) {}

TMacType::~TMacType() { delete Bands; }

void TMacType::AddBand(const String& Text) { Bands->Add(Text); }

void TMacType::SetDefaultBand(const String& Text) { DefaultBand = Text; }

void TMacType::SetLimits(double MaxMHz, double MinMHz) {
  this->MaxMHz = MaxMHz;
  this->MinMHz = MinMHz;
}

TMacList::TMacList() : list_(new TStringList()) {}

TMacList::~TMacList() {
  for (Integer I = 0; I < list_->Count(); ++I) delete list_->GetObject(I);
  delete list_;
}

void TMacList::Add(TMacType* Model) { list_->AddObject(Model->TypeCode, Model); }

Integer TMacList::Count() const { return list_->Count(); }

TMacType* TMacList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return static_cast<TMacType*>(list_->GetObject(Index));
}

TMacType* TMacList::FindByName(const String& Text) const {
  for (Integer I = 0; I < Count(); ++I)
    if (GetItem(I)->Name == Text) return GetItem(I);
  return nullptr;
}

TMacType* TMacList::FindByTypeCode(const String& Text) const {
  for (Integer I = 0; I < Count(); ++I)
    if (GetItem(I)->TypeCode == Text) return GetItem(I);
  return nullptr;
}

TMacType* TMacList::FindByBand(const String& Text) const {
  for (Integer I = 0; I < Count(); ++I) {
    TMacType* Model = GetItem(I);
    for (Integer B = 0; B < Model->Bands->Count(); ++B)
      if (Model->Bands->Get(B) == Text) return Model;
  }
  return nullptr;
}

void TMacList::GetNames(TStrings* Strings) const {
  Strings->Clear();
  for (Integer I = 0; I < Count(); ++I) Strings->Add(GetItem(I)->Name);
}

void TFrqList::Add(const String& Text, Byte Code) { entries_.emplace_back(Text, Code); }

Byte TFrqList::CodeOfBand(const String& Text) const {
  for (const auto& Entry : entries_)
    if (Entry.first == Text) return Entry.second;
  return entries_.empty() ? Byte{0} : entries_[0].second;
}

String TFrqList::BandOfCode(Byte Code) const {
  for (const auto& Entry : entries_)
    if (Entry.second == Code) return Entry.first;
  return entries_.size() > 10 ? entries_[10].first : String();
}

void BuildBandTable(TFrqList& List) {
  static const std::pair<const char*, Byte> Table[] = {
      {" 27 -  72MHz", 0xFD}, {"136 - 150MHz", 0xF1}, {"136 - 174MHz", 0xF2}, {"150 - 174MHz", 0xF0},
      {"216 - 223MHz", 0xF3}, {"350 - 370MHz", 0xFA}, {"350 - 390MHz", 0xFB}, {"370 - 390MHz", 0xFC},
      {"400 - 420MHz", 0xF8}, {"400 - 470MHz", 0xF7}, {"440 - 480MHz", 0xF9}, {"450 - 470MHz", 0xF4},
      {"450 - 490MHz", 0xF5}, {"470 - 650MHz", 0xF6},
  };
  for (const auto& [Text, Code] : Table) List.Add(Text, Code);
}

void BuildModelTable(TMacList& List) {
  auto* Uhf = new TMacType("ZRQX", 16, "K58(UHF)");
  for (const char* Band : {"350 - 370MHz", "350 - 390MHz", "370 - 390MHz", "400 - 420MHz", "400 - 470MHz",
                           "440 - 480MHz", "450 - 470MHz", "450 - 490MHz", "470 - 650MHz"})
    Uhf->AddBand(Band);
  Uhf->SetDefaultBand("450 - 470MHz");
  Uhf->SetLimits(650.0, 300.0);
  List.Add(Uhf);

  auto* Vhf = new TMacType("ZRQX", 16, "K58(VHF)");
  for (const char* Band : {"136 - 150MHz", "136 - 174MHz", "150 - 174MHz", "216 - 223MHz"})
    Vhf->AddBand(Band);
  Vhf->SetDefaultBand("150 - 174MHz");
  Vhf->SetLimits(300.0, 67.0);
  List.Add(Vhf);
}
