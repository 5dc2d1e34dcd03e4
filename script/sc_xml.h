// The script engine's small XML tree (elements with a name, one raw attribute text and children), its
// reader and writer, and the escaping of attribute values.
//
// The dialect is narrow: character data between tags is skipped on reading and never written, there is no
// encoding declaration, CDATA or namespace; comments are skipped. An item's Text is the raw attribute part
// of its start tag, kept exactly as read; Prop decodes one value out of it.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/classes/Lists.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

// Deepest element nesting a document may have; deeper text is "Invalid file format". The grammar-driven
// parser keeps its rule depth below it, so every intermediate program it writes loads back.
inline constexpr Integer MaxXMLDepth = 4096;

// One element. It owns its children: destroying an item destroys them and removes it from its parent.
class TscXMLItem : public TObject {
  K58_CLASS(TscXMLItem, TObject)

  TscXMLItem() = default;
  ~TscXMLItem() override;

  // A free value for the owner; copied by CopyFrom, never read or written by the reader or writer.
  intptr_t Data() const { return data_; }
  void SetData(intptr_t Value) { data_ = Value; }
  const String& Name() const { return name_; }
  void SetName(const String& Value) { name_ = Value; }
  // The raw attribute part of the start tag, e.g. `text="PascalScript" pos="3:7"`.
  const String& Text() const { return text_; }
  void SetText(const String& Value) { text_ = Value; }
  TscXMLItem* Parent() const { return parent_; }

  Integer Count() const { return items_ ? items_->Count() : 0; }
  // Outside 0..Count-1 raises EListError "List index out of bounds (%d)".
  TscXMLItem* Items(Integer Index) const;

  // A new empty child appended at the end.
  TscXMLItem* Add();
  // Appends Item, taking it from its previous parent (adding a child of this item again moves it to the
  // end). An item cannot become its own descendant: adding this item or one of its ancestors raises
  // EInvalidOperation, as does a nil item.
  void AddItem(TscXMLItem* Item);
  // AddItem, then moves Item to Index.
  void InsertItem(Integer Index, TscXMLItem* Item);
  // Destroys every child.
  void Clear();
  // Index of the first child named Name (ignoring case), -1 when none.
  Integer Find(const String& Name) const;
  // The first child named Name; when there is none a new child of that name is appended and returned.
  TscXMLItem* FindItem(const String& Name);
  // The decoded value of attribute Name in Text (name ignoring case, after a space or at the start, `="`
  // right after it); empty when absent.
  String Prop(const String& Name) const;
  // The topmost ancestor (this item when it has no parent).
  TscXMLItem* Root();
  // Replaces the children by a deep copy of Source's and copies Source's Name, Text and Data; with no
  // Source only the children are cleared.
  void CopyFrom(const TscXMLItem* Source);

 private:
  void Detach(TscXMLItem* Child);

  intptr_t data_ = 0;
  std::unique_ptr<TList> items_;
  String name_;
  TscXMLItem* parent_ = nullptr;
  String text_;
};

// A document: the outermost element of its text is Root.
class TscXMLDocument : public TObject {
  K58_CLASS(TscXMLDocument, TObject)

  TscXMLDocument();
  ~TscXMLDocument() override;

  TscXMLItem* Root() const { return root_.get(); }
  // Writing with line breaks and indentation; off unless set.
  bool IndentOutput() const { return indentOutput_; }
  void SetIndentOutput(bool Value) { indentOutput_ = Value; }

  // Reads the header and the outermost element into Root (its children cleared first); the stream is
  // left just after the last byte consumed. Bad text raises "Invalid file format"; a tree is kept as far
  // as it was built.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

 private:
  std::unique_ptr<TscXMLItem> root_;
  bool indentOutput_ = false;
};

// Reads tags from a stream through a read-ahead buffer; when destroyed it sets the stream's position just
// after the last byte it consumed.
class TscXMLReader : public TObject {
  K58_CLASS(TscXMLReader, TObject)

  explicit TscXMLReader(TStream* Stream);
  ~TscXMLReader() override;

  // The next tag, split into its name and attribute text; both empty at the end of the stream.
  void NextTag(String& Name, String& Text);
  // Reads the header tag, whose name must begin with "?xml".
  void CheckHeader();
  // Reads one element with its children into Item. False when the tag read was the end of the text or a
  // closing tag (Item then holds that tag and is to be discarded).
  bool LoadElement(TscXMLItem* Item);

 private:
  enum TTagKind { tkEnd, tkClosed, tkOpen };

  bool NextByte(char& C);
  bool LoadElementAt(TscXMLItem* Item, Integer Depth);
  TTagKind ReadStartTag(TscXMLItem* Item);
  void CheckEndTag(const TscXMLItem* Item) const;

  TStream* stream_;
  std::unique_ptr<char[]> buffer_;
  Integer bufferPos_ = 0;
  Integer bufferCount_ = 0;
  Int64 position_;
  Int64 size_;
  String lastName_;  // the most recent tag's name
};

// Writes a document to a stream, collecting output in a pending string of about 4096 bytes.
class TscXMLWriter : public TObject {
  K58_CLASS(TscXMLWriter, TObject)

  TscXMLWriter(TStream* Stream, bool Indent);

  void PutLine(const String& S);
  void PutHeader();
  void PutStartTag(const TscXMLItem* Item, Integer Indent);
  void PutElement(const TscXMLItem* Item, Integer Level);
  void FlushPending();

 private:
  TStream* stream_;
  bool indent_;
  String pending_;
};

// Escapes line feed, carriage return, '"', '&', '<' and '>' as "&#<code>;", for attribute values.
String EncodeXMLText(const String& S);
// Replaces "&#<digits>;" by that character (written as UTF-8) and "&quot;" by '"'; any other ampersand,
// and "&#" with no ';' after it, stays as it is. Digits that are no number raise EConvertError.
String DecodeXMLText(const String& S);
