// The BLOB editor: display texts and close rules as tables, the kind taken from the data provider, the cell
// icons, the popup buttons' places, and the memo and picture popups on the test display (OK enabled by a
// change, keys that save or discard, a read-only value with Close alone, the picture menu and size, a typed
// character replacing the memo), and a form that reads and writes back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "controls/editors/uiBlobEdit.h"
#include "controls/editors/uiEditorKinds.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/rtl/CodePages.h"
#include "tests/controls/editors/EditTesting.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;
using namespace k58::editors;

namespace {

// A provider that reports a BLOB kind and whether data is there.
class TBlobKindProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  Byte Kind = 3;
  bool DataAvailable = true;
  bool BlobField = false;
  Byte DefaultBlobKind() override { return Kind; }
  bool IsDataAvailable() override { return DataAvailable; }
  bool IsBlobField() override { return BlobField; }
};

TObjectPtr<TuiBlobEditProperties> NewBlobProperties() {
  return TObjectPtr<TuiBlobEditProperties>(static_cast<TuiBlobEditProperties*>(
      TuiCustomEditProperties::CreateOfClass(TuiBlobEditProperties::StaticClass(), nullptr)));
}

TEST(BlobEditRules, DisplayTextPerKindStyleAndValue) {
  struct Case {
    TuiBlobEditKind Kind;
    TuiBlobPaintStyle Style;
    Variant Value;
    bool FullText;
    std::string Expected;
  };
  const Variant memo(String("first line\r\nsecond"));
  const Case cases[] = {
      {bekMemo, bpsDefault, Null(), false, "(memo)"},
      {bekMemo, bpsDefault, memo, false, "(MEMO)"},
      {bekMemo, bpsDefault, Variant(String()), false, "(MEMO)"},
      {bekPict, bpsDefault, Null(), false, "(picture)"},
      {bekPict, bpsDefault, Variant(String("x")), false, "(PICTURE)"},
      {bekOle, bpsDefault, Variant(String("x")), false, ""},
      {bekBlob, bpsDefault, Variant(String("x")), false, ""},
      {bekMemo, bpsText, memo, false, "first line"},
      {bekMemo, bpsText, Variant(String("only\nafter")), false, "only"},
      {bekMemo, bpsText, Variant(String(3000, 'a')), false, std::string(3000, 'a')},
      {bekMemo, bpsText, Null(), false, ""},
      {bekPict, bpsText, Variant(String("x")), false, ""},
      {bekMemo, bpsIcon, memo, false, ""},
      {bekMemo, bpsIcon, memo, true, "first line\r\nsecond"},
      {bekMemo, bpsDefault, memo, true, "first line\r\nsecond"},
      {bekPict, bpsIcon, Variant(String("x")), true, ""},
  };
  auto p = NewBlobProperties();
  for (const Case& c : cases) {
    p->SetBlobEditKind(c.Kind);
    p->SetBlobPaintStyle(c.Style);
    String text = "stale";
    GetBlobDisplayText(c.Value, p.get(), c.FullText, text);
    EXPECT_EQ(text, c.Expected) << c.Kind << "/" << c.Style << " full " << c.FullText;
  }
}

TEST(BlobEditRules, PropertiesDisplayTextAndComparison) {
  auto p = NewBlobProperties();
  p->SetBlobPaintStyle(bpsDefault);
  const struct {
    TuiBlobEditKind Kind;
    Variant Value;
    std::string Expected;
  } cases[] = {
      {bekMemo, Null(), ""},         {bekMemo, Variant(String("a")), "(MEMO)"}, {bekPict, Variant(String("a")), "(PICTURE)"},
      {bekOle, Variant(String("a")), "OLE"}, {bekBlob, Variant(String("a")), "BLOB"}, {bekAuto, Variant(String("a")), ""},
  };
  for (const auto& c : cases) {
    p->SetBlobEditKind(c.Kind);
    EXPECT_EQ(WideToUtf8(p->GetDisplayText(c.Value)), c.Expected) << c.Kind;
  }
  // Only memo first lines compare, letter case counting.
  p->SetBlobEditKind(bekMemo);
  p->SetBlobPaintStyle(bpsText);
  EXPECT_TRUE(p->CompareDisplayValues(Variant(String("a\nb")), Variant(String("a\nb"))));
  EXPECT_FALSE(p->CompareDisplayValues(Variant(String("a")), Variant(String("A"))));
  EXPECT_FALSE(p->CompareDisplayValues(Null(), Null()));
  p->SetBlobPaintStyle(bpsIcon);
  EXPECT_FALSE(p->CompareDisplayValues(Variant(String("a")), Variant(String("a"))));
}

TEST(BlobEditRules, CloseResultOfKeysInThePopup) {
  struct Case {
    Word Key;
    TShiftState Shift;
    bool CloseOnEnter;
    bool AlwaysSave;
    Integer Expected;
  };
  const Case cases[] = {
      {VK_ESCAPE, {}, false, true, 2},       {VK_ESCAPE, {}, true, false, 2},
      {VK_F4, {}, false, true, 1},           {VK_F4, {}, false, false, 2},
      {VK_F4, {ssAlt}, false, true, 0},      {VK_UP, {ssAlt}, false, true, 1},
      {VK_DOWN, {ssAlt}, false, false, 2},   {VK_DOWN, {}, false, true, 0},
      {VK_RETURN, {}, false, true, 0},       {VK_RETURN, {}, true, false, 1},
      {VK_RETURN, {ssCtrl}, false, false, 1}, {'A', {}, true, true, 0},
  };
  for (const Case& c : cases) {
    Word key = c.Key;
    EXPECT_EQ(GetBlobPopupCloseResult(key, c.Shift, c.CloseOnEnter, c.AlwaysSave), c.Expected)
        << "key " << c.Key << " enter " << c.CloseOnEnter << " save " << c.AlwaysSave;
    EXPECT_EQ(key, c.Expected != 0 ? 0 : c.Key) << "a closing key is used up";
  }
}

TEST(BlobEditRules, SaveDecisionOnClosing) {
  struct Case {
    bool Modified;
    TModalResult Result;
    bool AlwaysSave;
    bool Saved;
  };
  const Case cases[] = {
      {true, mrOk, false, true},     {true, mrOk, true, true},       {true, mrCancel, true, false},
      {true, mrNone, true, true},    {true, mrNone, false, false},   {false, mrOk, true, false},
      {false, mrNone, true, false},  {true, mrAbort, true, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsBlobPopupValueSaved(c.Modified, c.Result, c.AlwaysSave), c.Saved)
        << c.Modified << " " << c.Result << " " << c.AlwaysSave;
}

TEST(BlobEditRules, IconIndexPerKindAndValue) {
  EXPECT_EQ(GetBlobIconIndex(bekBlob, Null()), 0);
  EXPECT_EQ(GetBlobIconIndex(bekBlob, Variant(String("\x01"))), 1);
  EXPECT_EQ(GetBlobIconIndex(bekMemo, Variant(String())), 2);
  EXPECT_EQ(GetBlobIconIndex(bekMemo, Variant(String("m"))), 3);
  EXPECT_EQ(GetBlobIconIndex(bekPict, Null()), 4);
  EXPECT_EQ(GetBlobIconIndex(bekOle, Variant(String("o"))), 7);
  EXPECT_EQ(GetBlobIconIndex(bekAuto, Variant(String("o"))), -1);
}

TEST(BlobEditRules, ButtonPlacesForEachGripCorner) {
  // A 250-pixel popup; the panel's left is 2 (grip at the left) or the grip's left, 230 (grip at the right).
  const Integer W = 60, H = 26, S = 34, PW = 250;
  struct Case {
    Byte Corner;
    TRect Panel;
    TRect Cancel;
    TAnchors Anchors;
  };
  const Case cases[] = {
      {0, TRect{2, 2, 248, 36}, TRect{PW - (W + 8), 2 + (S - H) / 2 - 2, W, H}, TAnchors{akTop, akRight}},
      {1, TRect{230, 2, 248, 36}, TRect{230 - W - 4, 2 + (S - H) / 2 - 2, W, H}, TAnchors{akTop, akRight}},
      {2, TRect{2, 200, 248, 234}, TRect{PW - (W + 8), 234 - H - (S - H) / 2 + 2, W, H}, TAnchors{akRight, akBottom}},
      {3, TRect{230, 200, 248, 234}, TRect{230 - W - 4, 234 - H - (S - H) / 2 + 2, W, H}, TAnchors{akRight, akBottom}},
      // A wide left border keeps the buttons as far from the right edge.
      {0, TRect{20, 2, 248, 36}, TRect{PW - 20 - W, 2 + (S - H) / 2 - 2, W, H}, TAnchors{akTop, akRight}},
  };
  for (const Case& c : cases) {
    const TuiBlobPopupButtonsLayout layout = CalculateBlobPopupButtons(c.Panel, c.Corner, S, PW, W, H);
    EXPECT_EQ(layout.Cancel, c.Cancel) << "corner " << int(c.Corner);
    EXPECT_EQ(layout.OK, (TRect{c.Cancel.left - H / 3 - W, c.Cancel.top, W, H})) << "corner " << int(c.Corner);
    EXPECT_EQ(layout.Anchors, c.Anchors) << "corner " << int(c.Corner);
  }
}

TEST(BlobEditRules, KindResolvedFromTheProviderWithoutChangeNotice) {
  const struct {
    bool HasProvider;
    bool Data;
    Byte ProviderKind;
    TuiBlobEditKind Expected;
  } cases[] = {
      {false, true, 0, bekBlob}, {true, true, 0, bekBlob}, {true, true, 1, bekBlob}, {true, true, 2, bekPict},
      {true, true, 3, bekMemo},  {true, true, 4, bekOle},  {true, false, 3, bekAuto},
  };
  for (const auto& c : cases) {
    auto p = NewBlobProperties();
    TBlobKindProvider provider;
    provider.Kind = c.ProviderKind;
    provider.DataAvailable = c.Data;
    if (c.HasProvider) p->SetDefaultValuesProvider(&provider);
    Integer changes = 0;
    p->SetOnPropertiesChanged([&](TObject*) { ++changes; });
    p->ResolveBlobEditKind();
    EXPECT_EQ(p->EffectiveBlobEditKind(), c.Expected) << int(c.ProviderKind);
    EXPECT_EQ(p->BlobEditKind(), bekAuto) << "the setting stays as the user made it";
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(p->IsChangeLocked());
    const bool memoOrPicture = c.Expected == bekMemo || c.Expected == bekPict;
    if (c.Expected != bekAuto) {
      EXPECT_EQ(p->Buttons()->Items(0)->Kind(), memoOrPicture ? bkDown : bkEllipsis);
    }
    if (c.HasProvider) p->SetDefaultValuesProvider(nullptr);
  }
  // Formatting only for memo text that is not a BLOB field.
  auto p = NewBlobProperties();
  TBlobKindProvider provider;
  p->SetDefaultValuesProvider(&provider);
  // Shared Properties follow the field they show now, not the first one.
  p->ResolveBlobEditKind();
  EXPECT_EQ(p->EffectiveBlobEditKind(), bekMemo);
  provider.Kind = 2;
  p->ResolveBlobEditKind();
  EXPECT_EQ(p->EffectiveBlobEditKind(), bekPict);
  provider.Kind = 3;
  EXPECT_TRUE(p->SupportsValueFormatting(false));
  provider.BlobField = true;
  EXPECT_FALSE(p->SupportsValueFormatting(false));
  p->SetDefaultValuesProvider(nullptr);
}

class BlobEditTest : public EditorKindsTest {
 protected:
  TuiBlobEdit* NewBlob(TuiBlobEditKind AKind) {
    auto* edit = NewObject<TuiBlobEdit>(Form);
    edit->SetBounds(20, 20, 160, 21);
    edit->SetParent(Form);
    edit->Properties()->SetBlobEditKind(AKind);
    edit->HandleNeeded();
    // The test drives the popup's messages itself instead of its modal loop.
    edit->PopupWindow()->SetModalLoop(false);
    Pump();
    return edit;
  }
  void Open(TuiBlobEdit* AEdit) {
    AEdit->SetFocus();
    Pump();
    AEdit->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(AEdit->DroppedDown());
  }
  // What the popup's modal loop does with a modal result.
  void RunModalResult(TuiBlobEdit* AEdit) {
    if (AEdit->PopupWindow()->ModalResult() != mrNone) AEdit->PopupWindow()->CloseOnModalResult();
    Pump();
  }
  TuiPopupMemo* Memo(TuiBlobEdit* AEdit) { return dynamic_cast<TuiPopupMemo*>(AEdit->PopupContent()); }
  void TypeInMemo(TuiBlobEdit* AEdit, const std::string& AText) {
    Memo(AEdit)->SetFocus();
    Pump();
    Display.Type(AText);
    Pump();
  }
};

TEST_F(BlobEditTest, TheCellShowsTheIconOfTheResolvedKind) {
  // A standalone editor's provider reports memo data.
  TuiBlobEdit* edit = NewBlob(bekAuto);
  auto* view = dynamic_cast<TuiBlobEditViewInfo*>(edit->EditViewInfo());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(edit->Properties()->EffectiveBlobEditKind(), bekMemo);
  EXPECT_EQ(edit->Properties()->Buttons()->Items(0)->Kind(), bkDown);
  EXPECT_EQ(view->ImageIndex, 2);
  edit->SetName("Auto");
  EXPECT_EQ(WriteComponentToText(Form).find("BlobEditKind"), String::npos) << "bekAuto is still what is stored";
  edit->Properties()->SetBlobEditKind(bekBlob);
  Pump();
  EXPECT_EQ(edit->Properties()->Buttons()->Items(0)->Kind(), bkEllipsis);
  EXPECT_EQ(view->ImageIndex, 0);
  edit->SetEditValue(Variant(String("\x01\x02")));
  Pump();
  EXPECT_EQ(view->ImageIndex, 1);
  ASSERT_NE(BlobEditImages(), nullptr);
  EXPECT_EQ(BlobEditImages()->Count(), 8);
  EXPECT_EQ(BlobEditImages()->Width(), 18);
  EXPECT_EQ(BlobEditImages()->Height(), 16);
  // The icon sits centred in the client area.
  const TRect& c = view->ClientRect;
  EXPECT_EQ(view->ImageRect.left, c.left + (c.right - c.left - 18) / 2);
  EXPECT_EQ(view->ImageRect.top, c.top + (c.bottom - c.top - 16) / 2);
  // A memo kind drawn with words: the view data gives "(memo)" for Null where the Properties give nothing.
  edit->Properties()->SetBlobEditKind(bekMemo);
  edit->Properties()->SetBlobPaintStyle(bpsDefault);
  edit->SetEditValue(Null());
  Pump();
  EXPECT_EQ(view->ImageIndex, -1);
  EXPECT_EQ(view->Text, "(memo)");
  EXPECT_EQ(WideToUtf8(edit->Properties()->GetDisplayText(Null())), "");
}

TEST_F(BlobEditTest, TheMemoPopupSavesOnOkAndKeepsTheValueOnCancel) {
  TuiBlobEdit* edit = NewBlob(bekMemo);
  edit->SetEditValue(Variant(String("old")));
  Open(edit);
  TuiPopupMemo* memo = Memo(edit);
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Parent(), edit->PopupWindow());
  EXPECT_EQ(VarToStr(memo->EditValue()), "old");
  ASSERT_NE(edit->OKButton(), nullptr);
  ASSERT_NE(edit->CancelButton(), nullptr);
  EXPECT_EQ(edit->CancelButton()->Caption(), "&Cancel");
  EXPECT_EQ(edit->CancelButton()->ModalResult(), mrCancel);
  EXPECT_EQ(edit->OKButton()->ModalResult(), mrOk);
  EXPECT_FALSE(edit->OKButton()->Enabled()) << "nothing changed yet";
  EXPECT_LT(edit->OKButton()->Left(), edit->CancelButton()->Left());
  EXPECT_GE(edit->PopupWindow()->Width(), edit->Properties()->PopupMinWidth());

  TypeInMemo(edit, "x");
  EXPECT_TRUE(edit->OKButton()->Enabled());
  EXPECT_TRUE(edit->OKButton()->Default());
  EXPECT_EQ(VarToStr(edit->EditValue()), "old") << "the value waits for the popup to close";
  edit->PopupWindow()->SetModalResult(mrOk);
  RunModalResult(edit);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_NE(VarToStr(edit->EditValue()).find('x'), String::npos);
  EXPECT_TRUE(edit->Modified());

  // Cancel discards, whatever AlwaysSaveData says.
  const String saved = VarToStr(edit->EditValue());
  Open(edit);
  EXPECT_EQ(Memo(edit), memo) << "the content is reused while the kind stays";
  TypeInMemo(edit, "y");
  edit->PopupWindow()->SetModalResult(mrCancel);
  RunModalResult(edit);
  EXPECT_EQ(VarToStr(edit->EditValue()), saved);
}

TEST_F(BlobEditTest, KeysInTheMemoCloseAsConfigured) {
  struct Case {
    bool WantReturns;
    bool AlwaysSave;
    std::vector<WORD> Chord;
    bool Closes;
    bool Saves;
  };
  const Case cases[] = {
      {true, true, {VK_RETURN}, false, false},
      {true, true, {VK_CONTROL, VK_RETURN}, true, true},
      {false, true, {VK_RETURN}, true, true},
      {true, true, {VK_F4}, true, true},
      {true, false, {VK_F4}, true, false},
      {true, true, {VK_ESCAPE}, true, false},
  };
  for (const Case& c : cases) {
    TuiBlobEdit* edit = NewBlob(bekMemo);
    edit->Properties()->SetMemoWantReturns(c.WantReturns);
    edit->Properties()->SetAlwaysSaveData(c.AlwaysSave);
    edit->SetEditValue(Variant(String("v")));
    Open(edit);
    TypeInMemo(edit, "z");
    const WORD key = c.Chord.back();
    if (c.Chord.size() > 1)
      Display.Chord({c.Chord.front()}, key);
    else
      Display.Key(key);
    Pump();
    RunModalResult(edit);
    EXPECT_EQ(!edit->DroppedDown(), c.Closes) << "key " << key << " want returns " << c.WantReturns;
    if (c.Closes) {
      EXPECT_EQ(VarToStr(edit->EditValue()).find('z') != String::npos, c.Saves)
          << "key " << key << " always save " << c.AlwaysSave;
    } else {
      EXPECT_NE(Memo(edit)->Lines()->Count(), 1) << "Enter broke the line";
      edit->CloseUp(pcrCancel);
      Pump();
    }
    FreeObject(edit);
    Pump();
  }
}

TEST_F(BlobEditTest, AReadOnlyValueShowsCloseAlone) {
  TuiBlobEdit* edit = NewBlob(bekMemo);
  edit->Properties()->SetReadOnly(true);
  edit->SetEditValue(Variant(String("fixed")));
  Open(edit);
  ASSERT_NE(edit->CancelButton(), nullptr);
  EXPECT_EQ(edit->OKButton(), nullptr);
  EXPECT_EQ(edit->CancelButton()->Caption(), "&Close");
  EXPECT_TRUE(Memo(edit)->Properties()->ReadOnly());
  edit->CloseUp(pcrClose);
  Pump();
  // Writable again: OK comes back and Cancel is named so.
  edit->Properties()->SetReadOnly(false);
  Open(edit);
  ASSERT_NE(edit->OKButton(), nullptr);
  EXPECT_EQ(edit->CancelButton()->Caption(), "&Cancel");
  EXPECT_FALSE(Memo(edit)->Properties()->ReadOnly());
}

TEST_F(BlobEditTest, ATypedCharacterReplacesTheMemoWithAutoReplace) {
  for (bool autoReplace : {true, false}) {
    TuiBlobEdit* edit = NewBlob(bekMemo);
    edit->Properties()->SetMemoAutoReplace(autoReplace);
    edit->SetEditValue(Variant(String("long text")));
    Open(edit);
    Memo(edit)->SetFocus();
    Pump();
    edit->PopupWindow()->ForwardChar('Q');
    Pump();
    const String text = Memo(edit)->Lines()->GetText();
    if (autoReplace) {
      EXPECT_EQ(VarToStr(Memo(edit)->EditValue()), "Q");
      EXPECT_TRUE(Memo(edit)->ModifiedAfterEnter());
      EXPECT_TRUE(edit->OKButton()->Enabled());
    } else {
      EXPECT_NE(text.find("long text"), String::npos) << text;
    }
    edit->CloseUp(pcrCancel);
    Pump();
    FreeObject(edit);
  }
}

TEST_F(BlobEditTest, ThePicturePopupHasTheMenuAndSizeAsConfigured) {
  TuiBlobEdit* edit = NewBlob(bekPict);
  TBitmap bitmap;
  bitmap.SetSize(40, 30);
  TPicture picture;
  picture.Assign(&bitmap);
  edit->SetEditValue(SavePictureToValue(&picture));
  edit->Properties()->SetShowExPopupItems(false);
  Open(edit);
  auto* image = dynamic_cast<TuiPopupImage*>(edit->PopupContent());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Picture()->Width(), 40);
  EXPECT_FALSE(image->ModifiedAfterEnter());
  EXPECT_TRUE(image->Properties()->Stretch());
  EXPECT_EQ(image->Properties()->PopupMenuLayout()->MenuItems(), (TuiPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete}));
  TSize size{};
  edit->CalculatePopupContentSize(size);
  EXPECT_EQ(size.cx, 44);
  EXPECT_EQ(size.cy, 34);
  edit->CloseUp(pcrCancel);
  Pump();
  edit->Properties()->SetShowPicturePopup(false);
  Open(edit);
  EXPECT_TRUE(image->Properties()->PopupMenuLayout()->MenuItems().Empty());
  edit->CloseUp(pcrCancel);
  Pump();
  // Another kind makes another content.
  edit->Properties()->SetBlobEditKind(bekMemo);
  Open(edit);
  EXPECT_NE(Memo(edit), nullptr);
}

TEST_F(BlobEditTest, AFormWithBlobEditorsReadsAndWritesBackUnchanged) {
  TuiBlobEdit* edit = NewBlob(bekMemo);
  edit->SetName("Blob");
  TuiBlobEditProperties* p = edit->Properties();
  p->SetBlobPaintStyle(bpsText);
  p->SetAlwaysSaveData(false);
  p->SetMemoScrollBars(ssVertical);
  p->SetMemoMaxLength(80);
  p->SetPictureGraphicClassName("");
  TuiBlobEdit* second = NewBlob(bekPict);
  second->SetName("Picture");
  second->Properties()->SetPictureGraphicClassName("TJPEGImage");
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("IsPictureGraphicClassNameEmpty = True"), String::npos) << text;
  EXPECT_NE(text.find("PictureGraphicClassName = 'TJPEGImage'"), String::npos) << text;
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
  auto* read = dynamic_cast<TuiBlobEdit*>(copy->FindComponent("Blob"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->PictureGraphicClass(), nullptr);
  EXPECT_EQ(read->Properties()->BlobEditKind(), bekMemo);
  EXPECT_EQ(read->Properties()->MemoMaxLength(), 80);
  EXPECT_FALSE(read->Properties()->AlwaysSaveData());
  const Integer index = GetEditPropertiesRegistry()->IndexOfClass(TuiBlobEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(GetEditPropertiesRegistry()->GetDescription(index), "BlobEdit");
}

}  // namespace
