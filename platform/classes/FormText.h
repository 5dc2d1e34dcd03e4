// The readable text of form resources, as a tree: parsing text into it and printing it back.
//
//   object Form1: TForm1
//     Caption = 'Main'#13#10'window'
//     Font.Style = [fsBold]
//     Lines.Strings = (
//       'one'
//       'two')
//     Items = <
//       item
//         Width = 50
//       end>
//     Glyph.Data = {
//       424D3E00...}
//     OnClick = Button1Click
//     object Button1: TButton
//     end
//   end
//
// Strings are UTF-8 between single quotes ('' is a quote); #n is the character with code n (UTF-16 code
// units; a surrogate pair gives one character); parts written next to each other or joined with "+" form
// one string. Numbers are decimal or "$" hexadecimal; floats may end in s (single), c (currency) or d (date).
#pragma once

#include <vector>

#include "platform/classes/Filer.h"
#include "platform/rtl/Types.h"

namespace k58::formtext {

struct Property;

// One collection item: "item" ... "end".
struct Item {
  std::vector<Property> Props;
  int Line = 0;
};

struct Value {
  TValueType Type = vaNull;
  Int64 Int = 0;                  // vaInt8 .. vaInt64
  String Text;                    // strings (UTF-8), identifiers, and floats as written
  TFloatType FloatKind = ftExtended;  // how a float was written or is to be printed
  std::vector<String> Set;        // vaSet elements
  std::vector<Value> List;        // vaList
  std::vector<Item> Items;        // vaCollection
  std::vector<Byte> Bytes;        // vaBinary
  int Line = 0;

  bool IsString() const { return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String; }
  bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64; }
  bool IsFloat() const { return Type == vaExtended || Type == vaSingle || Type == vaCurrency || Type == vaDate; }
};

struct Property {
  String Name;  // may be a dotted path: Font.Name
  Value Val;
  int Line = 0;
};

enum class ObjectKind { Object, Inherited, Inline };

struct Object {
  ObjectKind Kind = ObjectKind::Object;
  String Name;
  String ClassName;
  Integer ChildPos = -1;  // "[n]" after the class name, -1 when absent
  std::vector<Property> Props;
  std::vector<Object> Children;
  int Line = 0;
};

// The smallest integer value type that holds v.
TValueType IntegerValueType(Int64 v);
Value MakeInteger(Int64 v);
Value MakeString(const String& s);
Value MakeIdent(const String& s);
// A float printed in the shortest form that reads back to the same value of its kind.
Value MakeFloat(Extended v, TFloatType kind, TValueType type = vaExtended);

// Parses form text. Errors raise EParserError "<source>, line <n>: <what>".
Object Parse(const String& text, const String& sourceName);
// Prints the tree with two blanks of indentation per level; Parse(Print(t)) gives t back.
String Print(const Object& root);

// "source, line n: message", the form of every error about a resource.
String Located(const String& sourceName, int line, const String& message);

}  // namespace k58::formtext
