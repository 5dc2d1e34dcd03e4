#include "Fixtures.h"

#include "platform/classes/ClassBuilder.h"

namespace classes_test {

std::vector<String>& LoadedLog() {
  static std::vector<String> log;
  return log;
}

namespace {

const TTypeInfo* TestColorType() { return AliasTypeInfo(TypeInfoOf<Integer>(), "TTestColor"); }

struct RegisterTestColors {
  RegisterTestColors() {
    RegisterIntegerConsts(
        TestColorType(),
        [](const String& ident, Integer& value) {
          return IdentToInt(ident, value, {{xcRed, "xcRed"}, {xcGreen, "xcGreen"}});
        },
        [](Integer value, String& ident) { return IntToIdent(value, ident, {{xcRed, "xcRed"}, {xcGreen, "xcGreen"}}); });
  }
} registerTestColors;

}  // namespace

K58_IMPLEMENT_CLASS(TTestFont) {
  b.Prop("Name", &TTestFont::GetName, &TTestFont::SetName).Type("TFontName");
  b.Prop("Size", &TTestFont::GetSize, &TTestFont::SetSize).Default(8);
  b.Prop("Style", &TTestFont::GetStyle, &TTestFont::SetStyle).Default(TTestStyles{});
}

void TTestFont::Assign(TPersistent* Source) {
  if (auto* font = dynamic_cast<TTestFont*>(Source)) {
    name_ = font->name_;
    size_ = font->size_;
    style_ = font->style_;
    return;
  }
  TPersistent::Assign(Source);
}

K58_IMPLEMENT_CLASS(TTestItem) {
  b.Prop("Caption", &TTestItem::Caption, &TTestItem::Caption);
  b.Prop("Width", &TTestItem::Width, &TTestItem::Width).Default(50);
}

void TTestItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TTestItem*>(Source)) {
    Caption = item->Caption;
    Width = item->Width;
    return;
  }
  TCollectionItem::Assign(Source);
}

K58_IMPLEMENT_CLASS(TTestBitmap) {}

void TTestBitmap::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream* stream) {
        Bytes.resize(static_cast<size_t>(stream->Size()));
        stream->ReadBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
      },
      [this](TStream* stream) { stream->WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size())); },
      !Bytes.empty());
}

K58_IMPLEMENT_CLASS(TTestMenu) {
  b.Prop("Caption", &TTestMenu::Caption, &TTestMenu::Caption);
  b.Prop("GroupIndex", &TTestMenu::GroupIndex, &TTestMenu::GroupIndex);
}

void TTestMenu::Loaded() {
  TComponent::Loaded();
  LoadedLog().push_back(Name());
}

K58_IMPLEMENT_CLASS(TTestControl) {
  b.Prop("Left", &TTestControl::Left, &TTestControl::Left).Default(0);
  b.Prop("Caption", &TTestControl::Caption, &TTestControl::Caption).Type("TCaption");
  b.Prop("Align", &TTestControl::Align, &TTestControl::Align).Default(xaNone);
  b.Prop("Visible", &TTestControl::Visible, &TTestControl::Visible).Default(true);
  b.Prop("Color", &TTestControl::Color, &TTestControl::Color).Type(TestColorType()).Default(0);
  b.Prop("Font", &TTestControl::GetFont, &TTestControl::SetFont);
  b.Prop("Ratio", &TTestControl::Ratio, &TTestControl::Ratio);
  b.Prop("Big", &TTestControl::Big, &TTestControl::Big);
  b.Prop("Hint", &TTestControl::Hint, &TTestControl::Hint);
  b.Prop("Accel", &TTestControl::Accel, &TTestControl::Accel).Default('\0');
  b.Prop("Value", &TTestControl::Value, &TTestControl::Value);
  b.Prop("PopupMenu", &TTestControl::GetPopupMenu, &TTestControl::SetPopupMenu);
  b.Prop("Lines", &TTestControl::GetLines, &TTestControl::SetLines);
  b.Prop("Items", &TTestControl::GetItems, &TTestControl::SetItems);
  b.Prop("Glyph", &TTestControl::GetGlyph);
  b.Prop("ChildCount", &TTestControl::ChildCount);
  b.Prop("OnClick", &TTestControl::OnClick, &TTestControl::OnClick);
  b.Prop("OnKey", &TTestControl::OnKey, &TTestControl::OnKey);
}

TTestControl::TTestControl(TComponent* AOwner)
    : TComponent(AOwner),
      font_(new TTestFont()),
      lines_(new TStringList()),
      items_(new TOwnedCollection(this, TTestItem::StaticClass())),
      glyph_(new TTestBitmap()) {}

TTestControl::~TTestControl() {
  while (!children_.empty()) children_.back()->SetParent(nullptr);
  SetParent(nullptr);
  FreeObject(font_);
  FreeObject(lines_);
  FreeObject(items_);
  FreeObject(glyph_);
}

void TTestControl::SetPopupMenu(TTestMenu* v) {
  popupMenu_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TTestControl::SetParent(TTestControl* value) {
  if (parent_ == value) return;
  if (parent_ != nullptr) std::erase(parent_->children_, this);
  parent_ = value;
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

void TTestControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TTestControl* child : children_) {
    if (child->Owner() == Root) Proc(child);
  }
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TTestControl::Loaded() {
  TComponent::Loaded();
  LoadedLog().push_back(Name());
}

K58_IMPLEMENT_CLASS(TTestForm) {
  b.Method("FormCreate", &TTestForm::FormCreate);
  b.Method("Button1Click", &TTestForm::Button1Click);
  b.Method("KeyPressed", &TTestForm::KeyPressed);
}

void TTestForm::GetChildren(TGetChildProc Proc, TComponent* Root) {
  TTestControl::GetChildren(Proc, Root);
  for (Integer i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) Proc(c);
  }
}

String TTestForm::NameOf(TObject* sender) {
  auto* component = dynamic_cast<TComponent*>(sender);
  return component ? component->Name() : String("?");
}

}  // namespace classes_test
