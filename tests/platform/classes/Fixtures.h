// Small classes with published properties of every kind, used by the type information and form resource
// tests: a font-like sub-object, a collection item, a bitmap-like object with binary data, a control with
// a parent and children, a menu, and a form that provides event handlers by name.
#pragma once

#include <vector>

#include "platform/classes/Classes.h"

// Type descriptions specialise the class library's templates, so they stay at global scope.
enum TTestAlign { xaNone, xaTop, xaBottom, xaClient };
K58_ENUM_TYPE(TTestAlign, xaNone, xaTop, xaBottom, xaClient)
enum TTestStyle { xsBold, xsItalic, xsUnderline };
K58_ENUM_TYPE(TTestStyle, xsBold, xsItalic, xsUnderline)
K58_SET_TYPE(TTestStyles, TTestStyle)
K58_EVENT_TYPE(TTestKeyEvent, void(TObject* Sender, char& Key))

namespace classes_test {

// Named values of the "TTestColor" integer type.
inline constexpr Integer xcRed = 0x0000FF;
inline constexpr Integer xcGreen = 0x00FF00;

// Names of components whose Loaded ran, in order.
std::vector<String>& LoadedLog();

class TTestFont : public TPersistent {
  K58_CLASS(TTestFont, TPersistent)

  TTestFont() = default;
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  Integer GetSize() const { return size_; }
  void SetSize(Integer v) { size_ = v; }
  TTestStyles GetStyle() const { return style_; }
  void SetStyle(TTestStyles v) { style_ = v; }
  void Assign(TPersistent* Source) override;

 private:
  String name_;
  Integer size_ = 8;
  TTestStyles style_;
};

class TTestItem : public TCollectionItem {
  K58_CLASS(TTestItem, TCollectionItem)

  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  String Caption;
  Integer Width = 50;
  void Assign(TPersistent* Source) override;
};

// Raw bytes streamed as the defined binary property "Data", as a bitmap streams its image.
class TTestBitmap : public TPersistent {
  K58_CLASS(TTestBitmap, TPersistent)

  TTestBitmap() = default;
  std::vector<Byte> Bytes;
  void DefineProperties(TFiler* Filer) override;
};

class TTestMenu : public TComponent {
  K58_CLASS(TTestMenu, TComponent)

  explicit TTestMenu(TComponent* AOwner) : TComponent(AOwner) {}
  String Caption;
  Integer GroupIndex = 0;  // published without a default: always written
  void Loaded() override;
};

class TTestControl : public TComponent {
  K58_CLASS(TTestControl, TComponent)

  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override;

  // Published properties, one or more of every kind.
  Integer Left = 0;
  String Caption;
  TTestAlign Align = xaNone;
  bool Visible = true;
  Integer Color = 0;  // "TTestColor"
  double Ratio = 0;
  Int64 Big = 0;
  WideString Hint;
  char Accel = '\0';
  Variant Value;
  TNotifyEvent OnClick;
  TTestKeyEvent OnKey;
  Integer ChildCount() const { return static_cast<Integer>(children_.size()); }

  TTestFont* GetFont() const { return font_; }
  void SetFont(TTestFont* v) { font_->Assign(v); }
  TTestMenu* GetPopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TTestMenu* v);
  TStrings* GetLines() const { return lines_; }
  void SetLines(TStrings* v) { lines_->Assign(v); }
  TCollection* GetItems() const { return items_; }
  void SetItems(TCollection* v) { items_->Assign(v); }
  TTestBitmap* GetGlyph() const { return glyph_; }

  TTestControl* Parent() const { return parent_; }
  void SetParent(TTestControl* value);
  TTestControl* Child(Integer i) const { return children_[static_cast<size_t>(i)]; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* Value) override { SetParent(dynamic_cast<TTestControl*>(Value)); }
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

 private:
  TTestFont* font_;
  TTestMenu* popupMenu_ = nullptr;
  TStringList* lines_;
  TCollection* items_;
  TTestBitmap* glyph_;
  TTestControl* parent_ = nullptr;
  std::vector<TTestControl*> children_;
};

// A root that lists its controls and then its other components, and offers handlers by name.
class TTestForm : public TTestControl {
  K58_CLASS(TTestForm, TTestControl)

  explicit TTestForm(TComponent* AOwner) : TTestControl(AOwner) {}
  void FormCreate(TObject* Sender) { Calls.push_back("FormCreate:" + NameOf(Sender)); }
  void Button1Click(TObject* Sender) { Calls.push_back("Button1Click:" + NameOf(Sender)); }
  void KeyPressed(TObject*, char& Key) { Key = static_cast<char>(Key + 1); }
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

  std::vector<String> Calls;

 private:
  static String NameOf(TObject* sender);
};

}  // namespace classes_test
