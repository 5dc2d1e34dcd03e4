// The script engine's XML tree, its reader and writer, and attribute escaping.
#include "script/sc_xml.h"

#include <vector>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/CodePages.h"

K58_IMPLEMENT_CLASS(TscXMLItem) {}
K58_IMPLEMENT_CLASS(TscXMLDocument) {}
K58_IMPLEMENT_CLASS(TscXMLReader) {}
K58_IMPLEMENT_CLASS(TscXMLWriter) {}

namespace {

constexpr Integer kBufferSize = 4096;
constexpr const char* kInvalidFileFormat = "Invalid file format";
constexpr const char* kHeader = "<?xml version=\"1.0\"?>";

[[noreturn]] void InvalidFileFormat() { throw Exception(kInvalidFileFormat); }

char AsciiUpper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

}  // namespace

// ---- TscXMLItem ----

TscXMLItem::~TscXMLItem() {
  Clear();
  if (parent_ != nullptr) parent_->Detach(this);
}

TscXMLItem* TscXMLItem::Items(Integer Index) const {
  if (!items_) TList::Error(classesconsts::SListIndexError, Index);
  return static_cast<TscXMLItem*>(items_->Get(Index));
}

TscXMLItem* TscXMLItem::Add() {
  auto item = std::make_unique<TscXMLItem>();
  AddItem(item.get());
  return item.release();
}

void TscXMLItem::AddItem(TscXMLItem* Item) {
  if (Item == nullptr) throw EInvalidOperation("Cannot add a nil XML item");
  // An ancestor has children (this item among its descendants), so a childless item other than this
  // one needs no walk up the tree.
  if (Item == this || Item->Count() > 0) {
    for (const TscXMLItem* p = this; p != nullptr; p = p->parent_) {
      if (p == Item) throw EInvalidOperation("Cannot add an XML item to itself or to one of its descendants");
    }
  }
  if (!items_) items_ = std::make_unique<TList>();
  items_->Add(Item);
  // Removing after appending takes out the first occurrence: re-adding a child moves it to the end.
  if (Item->parent_ != nullptr) Item->parent_->Detach(Item);
  Item->parent_ = this;
}

void TscXMLItem::InsertItem(Integer Index, TscXMLItem* Item) {
  AddItem(Item);
  items_->Move(items_->Count() - 1, Index);
}

void TscXMLItem::Detach(TscXMLItem* Child) {
  if (items_) items_->Remove(Child);
}

void TscXMLItem::Clear() {
  if (!items_) return;
  // The subtree is taken apart with a work list rather than by recursion, so any depth is freed.
  std::vector<TscXMLItem*> doomed;
  auto takeChildren = [&doomed](TscXMLItem* Item) {
    for (Pointer p : Item->items_->List()) {
      auto* child = static_cast<TscXMLItem*>(p);
      child->parent_ = nullptr;
      doomed.push_back(child);
    }
    Item->items_.reset();
  };
  takeChildren(this);
  while (!doomed.empty()) {
    TscXMLItem* item = doomed.back();
    doomed.pop_back();
    if (item->items_) takeChildren(item);
    delete item;
  }
}

Integer TscXMLItem::Find(const String& Name) const {
  for (Integer i = 0; i < Count(); ++i) {
    if (AnsiSameText(Items(i)->name_, Name)) return i;
  }
  return -1;
}

TscXMLItem* TscXMLItem::FindItem(const String& Name) {
  const Integer index = Find(Name);
  if (index >= 0) return Items(index);
  TscXMLItem* item = Add();
  item->name_ = Name;
  return item;
}

String TscXMLItem::Prop(const String& Name) const {
  const String& t = text_;
  const size_t n = Name.size();
  for (size_t i = 0; i + n + 2 <= t.size(); ++i) {
    if (i > 0 && t[i - 1] != ' ') continue;
    size_t k = 0;
    while (k < n && AsciiUpper(t[i + k]) == AsciiUpper(Name[k])) ++k;
    if (k < n || t[i + n] != '=' || t[i + n + 1] != '"') continue;
    const size_t start = i + n + 2;
    const size_t end = t.find('"', start);
    if (end == String::npos) return String();
    return DecodeXMLText(t.substr(start, end - start));
  }
  return String();
}

TscXMLItem* TscXMLItem::Root() {
  TscXMLItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item;
}

void TscXMLItem::CopyFrom(const TscXMLItem* Source) {
  if (Source == nullptr) {
    Clear();
    return;
  }
  // The copy is made first, so a Source inside this item's own subtree is read before it goes.
  TscXMLItem copy;
  std::vector<std::pair<const TscXMLItem*, TscXMLItem*>> work{{Source, &copy}};
  while (!work.empty()) {
    auto [from, to] = work.back();
    work.pop_back();
    for (Integer i = 0; i < from->Count(); ++i) {
      const TscXMLItem* child = from->Items(i);
      TscXMLItem* made = to->Add();
      made->name_ = child->name_;
      made->text_ = child->text_;
      made->data_ = child->data_;
      work.emplace_back(child, made);
    }
  }
  const String name = Source->name_, text = Source->text_;
  const intptr_t data = Source->data_;
  Clear();
  name_ = name;
  text_ = text;
  data_ = data;
  while (copy.Count() > 0) AddItem(copy.Items(0));
}

// ---- TscXMLDocument ----

TscXMLDocument::TscXMLDocument() : root_(std::make_unique<TscXMLItem>()) {}

TscXMLDocument::~TscXMLDocument() = default;

void TscXMLDocument::LoadFromStream(TStream* Stream) {
  root_->Clear();
  TscXMLReader reader(Stream);
  reader.CheckHeader();
  // A text that ends after its header is an empty document; a closing tag where the outermost element
  // should begin closes nothing.
  if (!reader.LoadElement(root_.get()) && !(root_->Name().empty() && root_->Text().empty())) InvalidFileFormat();
}

void TscXMLDocument::SaveToStream(TStream* Stream) {
  TscXMLWriter writer(Stream, indentOutput_);
  writer.PutHeader();
  // An empty document (as a new one is) is its header alone, which loads back as the same.
  if (!root_->Name().empty() || !root_->Text().empty() || root_->Count() > 0) writer.PutElement(root_.get(), 0);
  writer.FlushPending();
}

void TscXMLDocument::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TscXMLDocument::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---- TscXMLReader ----

TscXMLReader::TscXMLReader(TStream* Stream)
    : stream_(Stream), buffer_(new char[kBufferSize]), position_(Stream->Position()), size_(Stream->Size()) {}

TscXMLReader::~TscXMLReader() { stream_->SetPosition(position_); }

bool TscXMLReader::NextByte(char& C) {
  if (position_ >= size_) return false;
  if (bufferPos_ >= bufferCount_) {
    bufferCount_ = stream_->Read(buffer_.get(), kBufferSize);
    bufferPos_ = 0;
    if (bufferCount_ <= 0) {
      bufferCount_ = 0;
      return false;  // the stream held less than its size said
    }
  }
  C = buffer_[bufferPos_++];
  ++position_;
  return true;
}

void TscXMLReader::NextTag(String& Name, String& Text) {
  enum { Outside, InTag, InComment } state = Outside;
  String tag;
  Integer dashes = 0;
  char c;
  bool complete = false;
  while (!complete && NextByte(c)) {
    switch (state) {
      case Outside:
        if (c == '<') state = InTag;
        break;
      case InTag:
        if (c == '>') {
          complete = true;
        } else if (c == '<') {
          InvalidFileFormat();
        } else {
          tag += c;
          if (tag.size() == 3 && tag == "!--") {
            tag.clear();
            state = InComment;
            dashes = 0;
          }
        }
        break;
      case InComment:
        if (dashes == 2) {
          if (c == '>') state = Outside;
          dashes = 0;
        } else if (c == '-') {
          ++dashes;
        } else {
          dashes = 0;
        }
        break;
    }
  }
  if (!complete && state == InTag) InvalidFileFormat();
  if (!tag.empty() && tag.back() == ' ') tag.pop_back();
  const size_t space = tag.find(' ');
  if (space == String::npos) {
    Name = tag;
    Text.clear();
  } else {
    Name = tag.substr(0, space);
    Text = tag.substr(space + 1);
  }
}

void TscXMLReader::CheckHeader() {
  String name, text;
  NextTag(name, text);
  if (name.compare(0, 4, "?xml") != 0) InvalidFileFormat();
}

bool TscXMLReader::LoadElement(TscXMLItem* Item) { return LoadElementAt(Item, 1); }

// The recursion's own frame holds no strings; ReadStartTag and CheckEndTag do the text work.
bool TscXMLReader::LoadElementAt(TscXMLItem* Item, Integer Depth) {
  const TTagKind kind = ReadStartTag(Item);
  if (kind == tkEnd) return false;
  if (Depth > MaxXMLDepth) InvalidFileFormat();
  if (kind == tkClosed) return true;
  for (;;) {
    auto child = std::make_unique<TscXMLItem>();
    if (!LoadElementAt(child.get(), Depth + 1)) break;
    Item->AddItem(child.release());
  }
  CheckEndTag(Item);
  return true;
}

TscXMLReader::TTagKind TscXMLReader::ReadStartTag(TscXMLItem* Item) {
  String name, text;
  NextTag(name, text);
  lastName_ = name;
  if (name.empty() || name[0] == '/') {
    Item->SetName(name);
    Item->SetText(text);
    return tkEnd;
  }
  // The "/" of a self-closing tag is its last character: at the end of the attribute text, or of the
  // name when there is none.
  String& last = text.empty() ? name : text;
  const bool closed = last.back() == '/';
  if (closed) last.pop_back();
  Item->SetName(name);
  Item->SetText(text);
  return closed ? tkClosed : tkOpen;
}

void TscXMLReader::CheckEndTag(const TscXMLItem* Item) const {
  // An element still open at the end of the text is accepted.
  if (!lastName_.empty() && !AnsiSameText(lastName_, "/" + Item->Name())) InvalidFileFormat();
}

// ---- TscXMLWriter ----

TscXMLWriter::TscXMLWriter(TStream* Stream, bool Indent) : stream_(Stream), indent_(Indent) {}

void TscXMLWriter::PutLine(const String& S) {
  pending_ += S;
  if (indent_) pending_ += "\r\n";
  if (pending_.size() > static_cast<size_t>(kBufferSize)) FlushPending();
}

void TscXMLWriter::PutHeader() { PutLine(kHeader); }

void TscXMLWriter::PutStartTag(const TscXMLItem* Item, Integer Indent) {
  String line;
  if (indent_) line.append(static_cast<size_t>(std::max(Indent, 0)), ' ');
  line += '<';
  line += Item->Name();
  const String& text = Item->Text();
  if (!text.empty()) {
    if (text[0] != ' ') line += ' ';
    line += text;
  }
  line += Item->Count() > 0 ? ">" : "/>";
  PutLine(line);
}

void TscXMLWriter::PutElement(const TscXMLItem* Item, Integer Level) {
  // Depth first with an explicit stack, so a tree of any depth is written.
  struct Frame {
    const TscXMLItem* Item;
    Integer Level;
    Integer Next;
  };
  if (!indent_) Level = 0;
  std::vector<Frame> stack{{Item, Level, 0}};
  PutStartTag(Item, Level);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.Next < frame.Item->Count()) {
      const TscXMLItem* child = frame.Item->Items(frame.Next++);
      const Integer level = indent_ ? frame.Level + 2 : 0;
      PutStartTag(child, level);
      stack.push_back({child, level, 0});
      continue;
    }
    if (frame.Item->Count() > 0) {
      String line;
      if (indent_) line.append(static_cast<size_t>(std::max(frame.Level, 0)), ' ');
      PutLine(line + "</" + frame.Item->Name() + ">");
    }
    stack.pop_back();
  }
}

void TscXMLWriter::FlushPending() {
  if (pending_.empty()) return;
  stream_->WriteBuffer(pending_.data(), static_cast<Integer>(pending_.size()));
  pending_.clear();
}

// ---- Escaping ----

String EncodeXMLText(const String& S) {
  String result;
  result.reserve(S.size());
  for (char c : S) {
    switch (c) {
      case '\n':
      case '\r':
      case '"':
      case '&':
      case '<':
      case '>':
        result += "&#";
        result += IntToStr(static_cast<Integer>(c));
        result += ';';
        break;
      default:
        result += c;
    }
  }
  return result;
}

String DecodeXMLText(const String& S) {
  if (S.find('&') == String::npos) return S;
  String result;
  result.reserve(S.size());
  const size_t n = S.size();
  size_t i = 0;
  while (i < n) {
    if (S[i] == '&' && i + 1 < n) {
      if (S[i + 1] == '#' && n - i - 1 >= 3) {
        const size_t semicolon = S.find(';', i + 2);
        if (semicolon != String::npos) {
          const Integer code = StrToInt(S.substr(i + 2, semicolon - i - 2));
          result += CodePointToUtf8(static_cast<uint32_t>(code));
          i = semicolon + 1;
          continue;
        }
      } else if (S.compare(i + 1, 5, "quot;") == 0) {
        result += '"';
        i += 6;
        continue;
      }
    }
    result += S[i];
    ++i;
  }
  return result;
}
