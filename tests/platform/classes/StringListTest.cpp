// String lists: sorting, duplicates, case, delimited text, names and values, events, files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/classes/Classes.h"
#include "platform/rtl/SysUtils.h"

namespace classes_test {

namespace {

std::vector<String> Entries(const TStrings& list) {
  std::vector<String> result;
  for (Integer i = 0; i < list.Count(); ++i) result.push_back(list.Get(i));
  return result;
}

TEST(TStringListTest, SortedListsKeepOrderAndHandleDuplicates) {
  TStringList list;
  list.SetSorted(true);
  list.Add("pear");
  list.Add("Apple");
  list.Add("banana");
  EXPECT_EQ(Entries(list), (std::vector<String>{"Apple", "banana", "pear"}));
  // dupIgnore answers the index of the entry already there, ignoring case.
  EXPECT_EQ(list.Add("BANANA"), 1);
  EXPECT_EQ(list.Count(), 3);

  list.SetDuplicates(dupError);
  try {
    list.Add("apple");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  list.SetDuplicates(dupAccept);
  list.Add("Pear");
  EXPECT_EQ(list.Count(), 4);

  Integer index = -1;
  EXPECT_TRUE(list.Find("PEAR", index));
  EXPECT_EQ(index, 2);  // the first of equal entries
  EXPECT_FALSE(list.Find("cherry", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_EQ(list.IndexOf("cherry"), -1);

  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.Put(0, "x"), EStringListError);
  try {
    list.Insert(0, "x");
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
  }
}

TEST(TStringListTest, CaseSensitivityDecidesLookupsAndSorting) {
  TStringList list;
  list.Add("b");
  list.Add("B");
  list.Add("a");
  EXPECT_EQ(list.IndexOf("A"), 2);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("A"), -1);
  EXPECT_EQ(list.IndexOf("B"), 1);

  // A sorted list is sorted again when the comparison changes, so Find stays right.
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetDuplicates(dupAccept);
  for (const char* s : {"b", "B", "a", "A"}) sorted.Add(s);
  sorted.SetCaseSensitive(true);
  for (const char* s : {"a", "A", "b", "B"}) {
    SCOPED_TRACE(s);
    Integer index = -1;
    ASSERT_TRUE(sorted.Find(s, index));
    EXPECT_EQ(sorted.Get(index), s);
  }
}

TEST(TStringListTest, ObjectsTravelWithTheirEntries) {
  TStringList list;
  TStringList a;
  TStringList b;
  list.AddObject("second", &b);
  list.AddObject("first", &a);
  list.Sort();
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  list.Move(1, 0);
  EXPECT_EQ(list.Get(0), "second");
  EXPECT_EQ(list.Objects(0), &b);
  list.CustomSort([](TStringList* l, Integer i, Integer j) {
    return static_cast<Integer>(l->Get(j).size()) - static_cast<Integer>(l->Get(i).size());
  });
  EXPECT_EQ(Entries(list), (std::vector<String>{"second", "first"}));
}

TEST(TStringListTest, DelimitedAndCommaText) {
  struct Case {
    std::vector<String> entries;
    const char* text;
  };
  const Case cases[] = {
      {{"a", "b", "c"}, "a,b,c"},
      {{"two words", "x"}, "\"two words\",x"},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"a,b"}, "\"a,b\""},
      {{""}, "\"\""},
      {{"a", "", "b"}, "a,,b"},
      {{"中文", "x"}, "中文,x"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    for (const String& s : c.entries) list.Add(s);
    EXPECT_EQ(list.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(Entries(back), c.entries);
  }

  // Reading also splits at blanks outside quotes, and a trailing delimiter gives an empty entry.
  TStringList list;
  list.SetCommaText(" a b , \"c d\",");
  EXPECT_EQ(Entries(list), (std::vector<String>{"a", "b", "c d", ""}));
  list.SetDelimiter('|');
  list.SetQuoteChar('\'');
  list.SetDelimitedText("x|'y z'|w");
  EXPECT_EQ(Entries(list), (std::vector<String>{"x", "y z", "w"}));
  EXPECT_EQ(list.DelimitedText(), "x|'y z'|w");
}

TEST(TStringListTest, NamesAndValues) {
  TStringList list;
  list.SetText("Com=COM3\r\nLanguage=English\r\nplain\r\nEmpty=\r\n");
  EXPECT_EQ(list.Values("COM"), "COM3");
  EXPECT_EQ(list.Names(1), "Language");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(1), "English");
  EXPECT_EQ(list.IndexOfName("empty"), 3);
  EXPECT_EQ(list.Values("missing"), "");
  list.SetValues("com", "COM4");
  EXPECT_EQ(list.Get(0), "com=COM4");
  list.SetValues("New", "1");
  EXPECT_EQ(list.Get(4), "New=1");
  list.SetValues("Language", "");
  EXPECT_EQ(list.IndexOfName("Language"), -1);
  EXPECT_EQ(list.Count(), 4);
}

TEST(TStringListTest, TextSplitsAtEveryLineBreak) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd\r\n\r\ne");
  EXPECT_EQ(Entries(list), (std::vector<String>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringListTest, ChangeEventsComeOncePerUpdate) {
  TStringList list;
  std::vector<String> events;
  list.SetOnChanging(TNotifyEvent([&](TObject*) { events.push_back("changing"); }));
  list.SetOnChange(TNotifyEvent([&](TObject*) { events.push_back("change"); }));
  list.Add("a");
  EXPECT_EQ(events, (std::vector<String>{"changing", "change"}));
  events.clear();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(events, (std::vector<String>{"changing", "change"}));
  events.clear();
  list.SetText("x\ny");
  EXPECT_EQ(events, (std::vector<String>{"changing", "change"}));
}

TEST(TStringListTest, LoadsUtf8OrGbkAndSavesUtf8) {
  auto dir = std::filesystem::temp_directory_path() / ("k58_strings_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  String gbkFile = (dir / "gbk.txt").string();
  {
    std::ofstream out(gbkFile, std::ios::binary);
    out << Utf8ToGbk("中文\r\n第二行\r\n");
  }
  TStringList list;
  list.LoadFromFile(gbkFile);
  EXPECT_EQ(Entries(list), (std::vector<String>{"中文", "第二行"}));

  String utf8File = (dir / "utf8.txt").string();
  list.SaveToFile(utf8File);
  TStringList again;
  again.LoadFromFile(utf8File);
  EXPECT_TRUE(again.Equals(&list));
  {
    std::ofstream out(utf8File, std::ios::binary);
    out << "\xEF\xBB\xBFwith bom\n";
  }
  again.LoadFromFile(utf8File);
  EXPECT_EQ(Entries(again), (std::vector<String>{"with bom"}));
  EXPECT_THROW(again.LoadFromFile((dir / "missing.txt").string()), EFOpenError);
  std::filesystem::remove_all(dir);
}

TEST(TStringListTest, AssignCopiesEntriesAndObjects) {
  TStringList source;
  source.AddObject("a", &source);
  TStringList copy;
  copy.Add("old");
  copy.Assign(&source);
  EXPECT_EQ(Entries(copy), (std::vector<String>{"a"}));
  EXPECT_EQ(copy.Objects(0), &source);
  EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

}  // namespace

}  // namespace classes_test
