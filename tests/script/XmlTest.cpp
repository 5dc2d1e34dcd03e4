// The script engine's XML document: reading its dialect, writing, attribute values and the tree.
#include <unistd.h>

#include <filesystem>

#include "platform/classes/ClassErrors.h"
#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

constexpr const char* kHeader = "<?xml version=\"1.0\"?>";

String Load(TscXMLDocument& Document, const String& Bytes) {
  TStringStream stream(Bytes);
  Document.LoadFromStream(&stream);
  return Dump(Document.Root());
}

struct ReadCase {
  const char* Text;  // after the header
  const char* Tree;
  const char* Saved;  // after the header
};

TEST(TscXMLDocumentTest, ReadsTheDialectAndWritesItBack) {
  const ReadCase cases[] = {
      {"<a/>", "a", "<a/>"},
      {"<a x=\"1\"/>", "a[x=\"1\"]", "<a x=\"1\"/>"},
      {"<a x=\"1\"></a>", "a[x=\"1\"]", "<a x=\"1\"/>"},
      {"<a><b/></A>", "a(b)", "<a><b/></a>"},
      // Character data between tags is dropped.
      {"<a>text<b/>more</a>", "a(b)", "<a><b/></a>"},
      {"\r\n<a>\r\n  <b/>\r\n</a>\r\n", "a(b)", "<a><b/></a>"},
      // Comments anywhere between tags; "<!---->" is complete, "--->" is not an end.
      {"<!-- x --><a><!-- <b/> --><c/><!----></a>", "a(c)", "<a><c/></a>"},
      {"<a><!-- x ---> <b/> --></a>", "a", "<a/>"},
      // The attribute text is everything after the first space, kept raw; one trailing space goes.
      {"<a  x=\"1\" >", "a[ x=\"1\"]", "<a x=\"1\"/>"},
      {"<a x=\"&#60;\" y='2'/>", "a[x=\"&#60;\" y='2']", "<a x=\"&#60;\" y='2'/>"},
      {"<a x=\"1\" />", "a[x=\"1\" ]", "<a x=\"1\" />"},
      // Only the tag's last "/" closes it: a name keeps its slashes when attributes follow.
      {"<a// x=\"1\"/>", "a//[x=\"1\"]", "<a// x=\"1\"/>"},
      {"<a//>", "a/", "<a//>"},
      // Only a space separates: a line break stays in the name.
      {"<a\nx/>", "a\nx", "<a\nx/>"},
      // An element left open at the end of the text is accepted.
      {"<a><b><c/>", "a(b(c))", "<a><b><c/></b></a>"},
      // The outermost element ends the document.
      {"<a/><b/>", "a", "<a/>"},
      // A document of its header alone is empty, and so is written.
      {"", "", ""},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TscXMLDocument document;
    EXPECT_EQ(Load(document, String("junk") + kHeader + c.Text), c.Tree);
    EXPECT_EQ(SaveBody(document), c.Saved);
  }
}

TEST(TscXMLDocumentTest, RefusesWhatIsNoDocument) {
  String deep = kHeader;
  for (Integer i = 0; i <= MaxXMLDepth; ++i) deep += "<a>";
  const String bad[] = {
      "<a/>",                                  // no header
      String(kHeader) + "<a><b/></c>",         // closing tag of another element
      String(kHeader) + "<a x=\"<\"/>",        // "<" inside a tag
      String(kHeader) + "<a><b x=\"1\"",       // the text ends inside a tag
      String(kHeader) + "</a>",                // a closing tag where the document should begin
      deep,                                    // nested deeper than the reader goes
  };
  for (const String& text : bad) {
    SCOPED_TRACE(text.substr(0, 60));
    TscXMLDocument document;
    try {
      Load(document, text);
      ADD_FAILURE() << "loaded";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), "Invalid file format");
    }
  }
  // Nesting up to the limit loads.
  String limit = kHeader;
  for (Integer i = 0; i < MaxXMLDepth; ++i) limit += "<a>";
  TscXMLDocument document;
  EXPECT_NO_THROW(Load(document, limit));
}

TEST(TscXMLDocumentTest, SavesAndLoadsBackByteExact) {
  TscXMLDocument document;
  TscXMLItem* root = document.Root();
  root->SetName("program");
  TscXMLItem* var = root->Add();
  var->SetName("var");
  var->SetText("pos=\"1:1\"");
  TscXMLItem* ident = var->Add();
  ident->SetName("ident");
  ident->SetText("text=\"" + EncodeXMLText("a\"<&>\r\nb") + "\" pos=\"1:5\"");
  root->Add()->SetName("types");
  for (bool indent : {false, true}) {
    SCOPED_TRACE(indent);
    document.SetIndentOutput(indent);
    const String saved = SaveBody(document);
    TscXMLDocument again;
    again.SetIndentOutput(indent);
    Load(again, kHeader + saved);
    EXPECT_EQ(SaveBody(again), saved);
    EXPECT_EQ(again.Root()->Items(0)->Items(0)->Prop("text"), "a\"<&>\r\nb");
  }
  document.SetIndentOutput(false);
  EXPECT_EQ(SaveBody(document),
            "<program><var pos=\"1:1\"><ident text=\"a&#34;&#60;&#38;&#62;&#13;&#10;b\" pos=\"1:5\"/></var>"
            "<types/></program>");
  document.SetIndentOutput(true);
  EXPECT_EQ(SaveBody(document),
            "\r\n<program>\r\n  <var pos=\"1:1\">\r\n    <ident text=\"a&#34;&#60;&#38;&#62;&#13;&#10;b\" "
            "pos=\"1:5\"/>\r\n  </var>\r\n  <types/>\r\n</program>\r\n");
}

TEST(TscXMLDocumentTest, LeavesTheStreamAfterTheOutermostElement) {
  // Long enough that the reader's 4096-byte read-ahead goes past the end of the document.
  String text = kHeader + String("<a>");
  for (Integer i = 0; i < 600; ++i) text += "<item/>";
  text += "</a>";
  const Int64 end = static_cast<Int64>(text.size());
  TStringStream stream(text + "<b/>" + String(8000, 'x'));
  TscXMLDocument document;
  document.LoadFromStream(&stream);
  EXPECT_EQ(document.Root()->Count(), 600);
  EXPECT_EQ(stream.Position(), end);
}

TEST(TscXMLDocumentTest, LoadsAndSavesFiles) {
  const String name =
      (std::filesystem::temp_directory_path() / ("k58_script_xml_" + std::to_string(::getpid()) + ".xml")).string();
  TscXMLDocument document;
  Load(document, String(kHeader) + "<language text=\"x\"><parser/></language>");
  document.SaveToFile(name);
  TscXMLDocument again;
  again.LoadFromFile(name);
  std::filesystem::remove(name);
  EXPECT_EQ(Dump(again.Root()), "language[text=\"x\"](parser)");
  EXPECT_THROW(again.LoadFromFile(name), EFOpenError);
}

TEST(TscXMLItemTest, PropDecodesOneAttribute) {
  struct Case {
    const char* Text;
    const char* Name;
    const char* Value;
  } cases[] = {
      {"text=\"a&#34;b\"", "TEXT", "a\"b"},
      {"xpos=\"1\" pos=\"2\"", "pos", "2"},
      {"pos=\"1\" pos=\"2\"", "pos", "1"},
      {"text=\"a&quot;b&amp;c\"", "text", "a\"b&amp;c"},
      {"text=\"a&#38;#65;\"", "text", "a&#65;"},
      {"text=\"&#20320;\"", "text", "\xE4\xBD\xA0"},
      {"text = \"x\"", "text", ""},
      {"text=x", "text", ""},
      {"text=\"open", "text", ""},
      {"pos=\"1\"", "text", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TscXMLItem item;
    item.SetText(c.Text);
    EXPECT_EQ(item.Prop(c.Name), c.Value);
  }
}

TEST(TscXMLItemTest, EscapesAttributeValues) {
  EXPECT_EQ(EncodeXMLText("a<b"), "a&#60;b");
  // An ampersand is escaped too, so a value that looks like an escape comes back as it was.
  EXPECT_EQ(EncodeXMLText("a&b"), "a&#38;b");
  EXPECT_EQ(EncodeXMLText("'&#65;'"), "'&#38;#65;'");
  EXPECT_EQ(DecodeXMLText(EncodeXMLText("'&#65;' &quot; \"<>\r\n")), "'&#65;' &quot; \"<>\r\n");
  EXPECT_EQ(DecodeXMLText("&#65;&#66;C"), "ABC");
  // "&#" with no ";" after it, and sequences too short to be escapes, stay as they are.
  EXPECT_EQ(DecodeXMLText("&#65"), "&#65");
  EXPECT_EQ(DecodeXMLText("x&#;"), "x&#;");
  EXPECT_EQ(DecodeXMLText("&"), "&");
  EXPECT_THROW(DecodeXMLText("&#6x5;"), EConvertError);
}

TEST(TscXMLItemTest, KeepsATree) {
  TscXMLItem root;
  TscXMLItem* a = root.Add();
  a->SetName("a");
  TscXMLItem* b = root.Add();
  b->SetName("b");
  EXPECT_EQ(root.Find("B"), 1);
  EXPECT_EQ(root.Find("c"), -1);
  EXPECT_EQ(root.Count(), 2);
  // FindItem adds what it does not find.
  TscXMLItem* c = root.FindItem("c");
  EXPECT_EQ(root.Count(), 3);
  EXPECT_EQ(root.FindItem("A"), a);
  // Adding a child again moves it to the end; InsertItem puts it in place.
  root.AddItem(a);
  EXPECT_EQ(Dump(&root), "(b,c,a)");
  root.InsertItem(0, c);
  EXPECT_EQ(Dump(&root), "(c,b,a)");
  // Moving between parents.
  b->AddItem(a);
  EXPECT_EQ(Dump(&root), "(c,b(a))");
  EXPECT_EQ(a->Parent(), b);
  EXPECT_EQ(a->Root(), &root);
  // An item never becomes its own descendant.
  EXPECT_THROW(a->AddItem(a), EInvalidOperation);
  EXPECT_THROW(a->AddItem(b), EInvalidOperation);
  EXPECT_THROW(a->AddItem(&root), EInvalidOperation);
  EXPECT_THROW(b->InsertItem(0, &root), EInvalidOperation);
  EXPECT_EQ(Dump(&root), "(c,b(a))");
  // Index errors, also on an item that never had children.
  EXPECT_THROW(root.Items(3), EListError);
  EXPECT_THROW(a->Items(0), EListError);
  // A destroyed item leaves its parent.
  delete b;
  EXPECT_EQ(Dump(&root), "(c)");
}

TEST(TscXMLItemTest, CopiesDeep) {
  TscXMLDocument source;
  Load(source, String(kHeader) + "<a x=\"1\"><b y=\"2\"><c/></b><d/></a>");
  source.Root()->Items(0)->SetData(7);
  TscXMLItem target;
  target.Add()->SetName("old");
  target.CopyFrom(source.Root());
  EXPECT_EQ(Dump(&target), "a[x=\"1\"](b[y=\"2\"](c),d)");
  EXPECT_EQ(target.Items(0)->Data(), 7);
  // Copying a part of itself.
  target.CopyFrom(target.Items(0));
  EXPECT_EQ(Dump(&target), "b[y=\"2\"](c)");
  // Without a source only the children go.
  target.CopyFrom(nullptr);
  EXPECT_EQ(Dump(&target), "b[y=\"2\"]");
}

TEST(TscXMLItemTest, HandlesTreesOfAnyDepth) {
  // Built in code rather than read: freeing, copying and writing do not recurse.
  auto root = std::make_unique<TscXMLItem>();
  root->SetName("a");
  TscXMLItem* item = root.get();
  for (Integer i = 0; i < 100000; ++i) {
    item = item->Add();
    item->SetName("a");
  }
  TscXMLDocument document;
  document.Root()->CopyFrom(root.get());
  TStringStream stream;
  document.SaveToStream(&stream);
  EXPECT_EQ(stream.Size(), static_cast<Int64>(String(kHeader).size()) + 100000 * 7 + 4);
  root.reset();
}

}  // namespace
}  // namespace script_test
