// Streams over files, memory and strings, and resources embedded in the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>

#include "Fixtures.h"
#include "platform/classes/ClassBuilder.h"

namespace classes_test {

namespace {

class TempDir {
 public:
  TempDir() : path_(std::filesystem::temp_directory_path() / ("k58_streams_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  String File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

TEST(TFileStreamTest, CreatesReadsAndWrites) {
  TempDir dir;
  const String name = dir.File("data.bin");
  {
    TFileStream out(name, fmCreate);
    out.WriteBuffer("hello world", 11);
    EXPECT_EQ(out.Size(), 11);
    out.SetPosition(6);
    out.WriteBuffer("WORLD", 5);
  }
  {
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    char buffer[16] = {};
    EXPECT_EQ(in.Read(buffer, 16), 11);
    EXPECT_STREQ(buffer, "hello WORLD");
    EXPECT_EQ(in.Read(buffer, 16), 0);
    in.SetPosition(0);
    EXPECT_THROW(in.ReadBuffer(buffer, 12), EReadError);
    EXPECT_EQ(in.Seek(-5, soFromEnd), 6);
    EXPECT_EQ(in.Write("x", 1), 0);  // opened for reading only
  }
  {
    // fmCreate empties an existing file.
    TFileStream again(name, fmCreate);
    EXPECT_EQ(again.Size(), 0);
  }
  {
    TFileStream rw(name, fmOpenReadWrite);
    rw.WriteBuffer("abc", 3);
    rw.SetSize(1);
    EXPECT_EQ(rw.Size(), 1);
    EXPECT_EQ(rw.Position(), 1);
  }
}

TEST(TFileStreamTest, FailuresNameTheFile) {
  TempDir dir;
  const String missing = dir.File("missing.dat");
  try {
    TFileStream in(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.Message();
  }
  const String noDir = dir.File("no/such/dir.dat");
  try {
    TFileStream out(noDir, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + noDir + "\". ", 0), 0u) << e.Message();
  }
  // A directory is no file, even though Linux would open it for reading.
  EXPECT_THROW(TFileStream(dir.File(""), fmOpenRead), EFOpenError);
  // Both are stream errors.
  EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EStreamError);
}

TEST(TMemoryStreamTest, GrowsAndKeepsItsBytes) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("abc", 3), 3);
  EXPECT_EQ(stream.Capacity(), 0x2000);
  stream.SetPosition(10);
  stream.WriteBuffer("z", 1);
  EXPECT_EQ(stream.Size(), 11);
  const auto* bytes = static_cast<const char*>(stream.Memory());
  EXPECT_EQ(String(bytes, 11), String("abc\0\0\0\0\0\0\0z", 11));  // the gap reads as zeros
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  stream.SetPosition(-4);
  char c = 0;
  EXPECT_EQ(stream.Read(&c, 1), 0);
  EXPECT_EQ(stream.Write(&c, 1), 0);

  TMemoryStream copy;
  copy.LoadFromStream(&stream);
  EXPECT_EQ(String(static_cast<const char*>(copy.Memory()), 2), "ab");
  TStringStream target;
  EXPECT_EQ(target.CopyFrom(&copy, 0), 2);
  EXPECT_EQ(target.DataString(), "ab");
  copy.Clear();
  EXPECT_EQ(copy.Size(), 0);
  EXPECT_EQ(copy.Memory(), nullptr);
}

TEST(TStringStreamTest, WritesInsideOverwriteWithoutCuttingTheRest) {
  TStringStream stream("0123456789");
  stream.SetPosition(2);
  stream.WriteString("ab");
  EXPECT_EQ(stream.DataString(), "01ab456789");
  EXPECT_EQ(stream.ReadString(3), "456");
  stream.Seek(Int64(0), soEnd);
  stream.WriteString("!");
  EXPECT_EQ(stream.DataString(), "01ab456789!");
  EXPECT_EQ(stream.ReadString(5), "");
}

TEST(TResourceStreamTest, OpensEmbeddedResourcesByNameAndType) {
  // The grammar is embedded in a library that nothing calls (probe/), the forms in the program itself.
  TResourceStream grammar(HInstance, "sample", "grammar");
  EXPECT_EQ(String(static_cast<const char*>(grammar.Memory()), static_cast<size_t>(grammar.Size())),
            "grammar bytes\n");
  EXPECT_THROW(grammar.Write("x", 1), EStreamError);
  // RCDATA is resource type 10.
  EXPECT_NE(FindResourceData(HInstance, "TTestForm", "#10"), nullptr);
  EXPECT_NE(FindResourceData(nullptr, "TTESTFORM", ResTypeRCData), nullptr);
  try {
    TResourceStream missing(HInstance, "NoSuchThing", "RCDATA");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NoSuchThing not found");
  }
}

}  // namespace

class TTestForm2 : public TTestForm {
  K58_CLASS(TTestForm2, TTestForm)

  explicit TTestForm2(TComponent* AOwner) : TTestForm(AOwner) {
    InitInheritedComponent(this, TTestControl::StaticClass());
  }
};
K58_IMPLEMENT_CLASS(TTestForm2) {}

// Forms whose resources hold an object of their own class, directly or through another form.
class TSelfHoldingForm : public TTestForm {
  K58_CLASS(TSelfHoldingForm, TTestForm)
  explicit TSelfHoldingForm(TComponent* AOwner) : TTestForm(AOwner) {
    InitInheritedComponent(this, TTestControl::StaticClass());
  }
};
K58_IMPLEMENT_CLASS(TSelfHoldingForm) {}

class TCycleFormA : public TTestForm {
  K58_CLASS(TCycleFormA, TTestForm)
  explicit TCycleFormA(TComponent* AOwner) : TTestForm(AOwner) {
    InitInheritedComponent(this, TTestControl::StaticClass());
  }
};
K58_IMPLEMENT_CLASS(TCycleFormA) {}

class TCycleFormB : public TTestForm {
  K58_CLASS(TCycleFormB, TTestForm)
  explicit TCycleFormB(TComponent* AOwner) : TTestForm(AOwner) {
    InitInheritedComponent(this, TTestControl::StaticClass());
  }
};
K58_IMPLEMENT_CLASS(TCycleFormB) {}

namespace {

TEST(FormResourceTest, ReadsTheResourceNamedAfterTheClass) {
  LoadedLog().clear();
  TTestForm form(nullptr);
  ReadComponentRes("TTestForm", &form);
  EXPECT_EQ(form.Caption, "From the resource");
  auto* button = dynamic_cast<TTestControl*>(form.FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  button->OnClick(button);
  EXPECT_EQ(form.Calls, (std::vector<String>{"Button1Click:Button1"}));
}

TEST(FormResourceTest, AnInheritedFormReadsItsAncestorsResourcesFirst) {
  LoadedLog().clear();
  TTestForm2 form(nullptr);
  EXPECT_EQ(form.Caption, "From the resource");
  EXPECT_EQ(form.Left, 5);
  auto* button = dynamic_cast<TTestControl*>(form.FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Caption, "Inherited");
  EXPECT_TRUE(button->OnClick);
  // Loaded ran once for each component, after both resources.
  EXPECT_EQ(LoadedLog(), (std::vector<String>{"Form1", "Button1"}));
}

TEST(FormResourceTest, AFormHoldingAnObjectOfItsOwnClassIsRefusedAtThatObject) {
  static const char* const kSelf = "object Outer: TSelfHoldingForm\n  Left = 1\n  object Inner: TSelfHoldingForm\n  end\nend\n";
  static const char* const kA = "object A: TCycleFormA\n  object B: TCycleFormB\n  end\nend\n";
  static const char* const kB = "object B: TCycleFormB\n\n  object A: TCycleFormA\n  end\nend\n";
  RegisterResource(ResTypeRCData, "TSelfHoldingForm", reinterpret_cast<const Byte*>(kSelf), strlen(kSelf));
  RegisterResource(ResTypeRCData, "TCycleFormA", reinterpret_cast<const Byte*>(kA), strlen(kA));
  RegisterResource(ResTypeRCData, "TCycleFormB", reinterpret_cast<const Byte*>(kB), strlen(kB));
  const String kItself = "a form cannot hold an object of its own class";
  try {
    TSelfHoldingForm form(nullptr);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "resource TSELFHOLDINGFORM, line 3: Error creating Inner: Resource TSELFHOLDINGFORM is already "
                           "being read: " + kItself);
  }
  // Through another form: refused where the first class comes back, and the message says where.
  try {
    TCycleFormA form(nullptr);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "resource TCYCLEFORMA, line 2: Error creating B: resource TCYCLEFORMB, line 3: Error creating A: "
                           "Resource TCYCLEFORMA is already being read: " + kItself);
  }
  // Nothing is left marked as being read: a form of another class still reads its resources.
  TTestForm2 form(nullptr);
  EXPECT_EQ(form.Left, 5);
}

}  // namespace

}  // namespace classes_test
