// The class library seen from scripts without a screen: string lists, lists, collections, streams in a
// temporary folder, the script XML document, the registered constants, drawing on an off-screen bitmap,
// and what a script may free.
#include <filesystem>

#include "platform/classes/Collection.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

struct ScriptCase {
  const char* text;
  const char* trace;
};

void RunCases(std::initializer_list<ScriptCase> Cases) {
  for (const ScriptCase& c : Cases) EXPECT_EQ(RunScript(c.text), c.trace) << c.text;
}

TEST(ClassLibraryTest, StringLists) {
  RunCases({
      {"var sl: TStringList; i: Integer; begin sl := TStringList.Create; sl.Add('b'); sl.Add('a'); "
       "sl.Sorted := True; Emit(sl[0]); Emit(sl.Find('b', i)); Emit(i); Emit(sl.Find('ab', i)); Emit(i); "
       "sl.Free end.",
       "a True 1 False 1"},
      {"var sl: TStringList; begin sl := TStringList.Create; sl.CommaText := 'x=1,y=2,\"a b\"'; "
       "Emit(sl.Count); Emit(sl.Names[1]); Emit(sl.Values['x']); sl.Values['y'] := '5'; Emit(sl.Strings[1]); "
       "Emit(sl.IndexOf('a b')); Emit(sl.IndexOfName('y')); sl.Move(2, 0); sl.Delete(1); Emit(sl.CommaText); "
       "sl.Insert(0, 'z'); sl[1] := 'w'; Emit(sl.Text); sl.Free end.",
       "3 y 1 y=5 2 1 \"a b\",y=5 z\r\nw\r\ny=5\r\n"},
      // Duplicates of a sorted list: refused with dupError, dropped with dupIgnore.
      {"var sl: TStringList; begin sl := TStringList.Create; sl.Sorted := True; sl.Duplicates := dupIgnore; "
       "sl.Add('a'); sl.Add('a'); Emit(sl.Count); sl.Duplicates := dupError; sl.Add('a'); Emit('no') end.",
       "1 raise String list does not allow duplicates"},
      {"var sl: TStringList; begin sl := TStringList.Create; Emit(sl[3]) end.",
       "raise List index out of bounds (3)"},
      {"var sl: TStrings; begin sl := TStrings.Create end.",
       "raise Cannot create instance of abstract class TStrings"},
  });
}

TEST(ClassLibraryTest, ListsAndObjectsInThem) {
  RunCases({
      {"var l: TList; a, b: TStringList; begin l := TList.Create; a := TStringList.Create; "
       "b := TStringList.Create; l.Add(a); l.Insert(0, b); Emit(l.Count); Emit(l.IndexOf(a)); "
       "TStringList(l[1]).Add('in a'); Emit(a[0]); l[0] := a; Emit(l.IndexOf(b)); Emit(l.Remove(a)); "
       "Emit(l.Count); l.Clear; Emit(l.Count); l.Free; a.Free; b.Free end.",
       "2 1 in a -1 0 1 0"},
      {"var sl: TStringList; o: TStringList; begin sl := TStringList.Create; o := TStringList.Create; "
       "sl.AddObject('k', o); Emit(sl.IndexOfObject(o)); Emit(sl.Objects[0].ClassName); sl.Objects[0] := nil; "
       "Emit(sl.IndexOfObject(o)); o.Free; sl.Free end.",
       "0 TStringList -1"},
  });
}

TEST(ClassLibraryTest, ClassNameThroughATypecastAndOnAClass) {
  TButton button(nullptr);
  TScriptHost host;
  host.Script().AddVariable("x", "Variant", Variant::FromObject(&button));
  EXPECT_EQ(host.Run("begin Emit(TObject(x).ClassName); Emit(TStringList.ClassName) end."), "TButton TStringList");
}

// A collection the host owns, with two items.
TEST(ClassLibraryTest, CollectionsOfTheHost) {
  TCollection collection(TCollectionItem::StaticClass());
  collection.Add();
  collection.Add();
  TScriptHost host;
  host.Script().AddObject("C", &collection);
  EXPECT_EQ(host.Run("begin Emit(C.Count); Emit(C[1].ClassName); Emit(C.Items[0] = C[0]); C.Clear; "
                     "Emit(C.Count) end."),
            "2 TCollectionItem True 0");
}

class StreamFilesTest : public ::testing::Test {
 protected:
  StreamFilesTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("k58-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  ~StreamFilesTest() override { std::filesystem::remove_all(dir_); }

  String Path(const char* Name) const { return (dir_ / Name).string(); }
  String Run(const String& Text) {
    TScriptHost host;
    host.Script().AddVariable("Dir", "String", dir_.string() + "/");
    return host.Run(Text);
  }

  std::filesystem::path dir_;
};

TEST_F(StreamFilesTest, FileStreamsWriteReadAndSeek) {
  EXPECT_EQ(Run("var f: TFileStream; s: String; n: Integer; begin f := TFileStream.Create(Dir + 'a.bin', fmCreate); "
                "Emit(f.Write('abc', 3)); Emit(f.Position); Emit(f.Size); "
                // A count beyond the text writes only the text.
                "Emit(f.Write('de', 100)); Emit(f.Size); f.Free; "
                "f := TFileStream.Create(Dir + 'a.bin', fmOpenRead); Emit(f.Seek(1, soFromBeginning)); "
                "n := f.Read(s, 100); Emit(n); Emit(s); Emit(f.Read(s, 3)); Emit(Length(s)); f.Free end."),
            "3 3 3 2 5 1 4 bcde 0 0");
  EXPECT_EQ(std::filesystem::file_size(Path("a.bin")), 5u);
  EXPECT_EQ(Run("var f: TFileStream; begin f := TFileStream.Create(Dir + 'none.bin', fmOpenRead) end."),
            "raise Cannot open file \"" + Path("none.bin") + "\". No such file or directory");
}

TEST_F(StreamFilesTest, MemoryStreamsCopyLoadAndSave) {
  EXPECT_EQ(Run("var m, n: TMemoryStream; s: String; begin m := TMemoryStream.Create; m.Write('hello', 5); "
                "m.SaveToFile(Dir + 'm.bin'); n := TMemoryStream.Create; m.Position := 1; "
                "Emit(n.CopyFrom(m, 3)); n.Position := 0; n.Read(s, 10); Emit(s); n.Clear; Emit(n.Size); "
                "n.LoadFromFile(Dir + 'm.bin'); Emit(n.Size); m.Free; n.Free end."),
            "3 ell 0 5");
}

TEST_F(StreamFilesTest, XmlDocumentsBuiltSavedAndLoaded) {
  EXPECT_EQ(Run("var d: TscXMLDocument; r, i: TscXMLItem; begin d := TscXMLDocument.Create; r := d.Root; "
                "r.Name := 'list'; i := r.Add; i.Name := 'item'; i.Text := 'n=\"1\"'; i.Data := 7; "
                "r.FindItem('other').Text := 'x=\"2\"'; d.SaveToFile(Dir + 'doc.xml'); d.Free; "
                "d := TscXMLDocument.Create; d.LoadFromFile(Dir + 'doc.xml'); r := d.Root; Emit(r.Name); "
                "Emit(r.Count); Emit(r[0].Prop('n')); Emit(r.Find('other')); Emit(r[1].Parent.Name); "
                "Emit(r[1].Root.Name); "
                // An item may not go into its own subtree; an item of a tree is its tree's to free.
                "i := TscXMLItem.Create; i.Name := 'loose'; r[0].AddItem(i); Emit(r[0][0].Name); "
                "r[0].AddItem(r) end."),
            "list 2 1 1 list list loose raise Cannot add an XML item to itself or to one of its descendants");
  EXPECT_EQ(Run("var d: TscXMLDocument; begin d := TscXMLDocument.Create; d.Root.Add; d.Root[0].Free end."),
            "raise The TscXMLItem is owned by another object and cannot be freed");
}

TEST(ClassLibraryTest, RegisteredConstants) {
  EXPECT_EQ(RunScript("begin Emit(VK_F1); Emit(VK_F12); Emit(VK_NUMPAD9); Emit(fsBold); Emit(fsItalic); "
                      "Emit(fsUnderline); Emit(fsStrikeout); Emit(alNone); Emit(alClient); Emit(mrYesToAll); "
                      "Emit(crSizeAll); Emit(crSize); Emit(fmCreate); Emit(clRed); Emit(clBtnFace); "
                      "Emit(ssDouble); Emit(mbHelp); Emit(caMinimize); Emit(taCenter); Emit(bsSizeToolWin) end."),
            "112 123 105 1 2 4 8 0 5 10 -22 -22 65535 255 -16777201 64 1024 3 2 5");
}

TEST(ClassLibraryTest, ScriptsFreeOnlyWhatTheyMayFree) {
  RunCases({
      // Made by the script: freed, and the reference then refuses to work.
      {"var sl: TStringList; begin sl := TStringList.Create; sl.Free; sl.Add('x') end.",
       "raise Object reference is no longer valid"},
      {"var b: TBitmap; begin b := TBitmap.Create; b.Canvas.Free end.",
       "raise The TBitmapCanvas is owned by another object and cannot be freed"},
      {"var c: TCanvas; begin c := TCanvas.Create; c.Font.Free end.",
       "raise The TFont is owned by another object and cannot be freed"},
      {"begin Application.Free end.", "raise The TApplication is owned by another object and cannot be freed"},
  });
}

// A script draws on an off-screen bitmap; the pixels are read back here.
TEST(ClassLibraryTest, DrawingOnAnOffScreenBitmap) {
  TBitmap bitmap;
  TScriptHost host;
  host.Script().AddObject("Bmp", &bitmap);
  ASSERT_EQ(host.Run("var c: TCanvas; begin Bmp.Width := 60; Bmp.Height := 40; c := Bmp.Canvas; "
                     "c.Brush.Color := clWhite; c.Pen.Color := clWhite; c.Rectangle(0, 0, 60, 40); "
                     "c.Pen.Color := clRed; c.MoveTo(2, 2); c.LineTo(12, 2); "
                     "c.Pen.Color := clBlue; c.Brush.Color := clLime; c.Rectangle(20, 5, 30, 15); "
                     "c.Pixels[50, 30] := clYellow; Emit(c.Pixels[50, 30]); "
                     "c.Brush.Color := clWhite; c.Font.Color := clBlack; c.TextOut(2, 20, 'WW'); "
                     "Emit(c.TextWidth('WW') > 0); Emit(c.TextHeight('W') > 0); Emit(Bmp.Width) end."),
            "65535 True True 60");
  TCanvas* c = bitmap.Canvas();
  // The line leaves out its last pixel.
  EXPECT_EQ(c->Pixels(2, 2), clRed);
  EXPECT_EQ(c->Pixels(11, 2), clRed);
  EXPECT_EQ(c->Pixels(12, 2), clWhite);
  // Pen outline, brush inside, half-open on the right and bottom.
  EXPECT_EQ(c->Pixels(20, 5), clBlue);
  EXPECT_EQ(c->Pixels(29, 14), clBlue);
  EXPECT_EQ(c->Pixels(25, 10), clLime);
  EXPECT_EQ(c->Pixels(30, 15), clWhite);
  EXPECT_EQ(c->Pixels(50, 30), clYellow);
  // The text left dark pixels in its box.
  const Integer width = c->TextWidth("WW");
  const Integer height = c->TextHeight("WW");
  int dark = 0;
  for (Integer y = 20; y < 20 + height; ++y) {
    for (Integer x = 2; x < 2 + width; ++x) dark += c->Pixels(x, y) == clBlack ? 1 : 0;
  }
  EXPECT_GT(dark, 4);
}

}  // namespace
}  // namespace script_test
