// Container styles and style controllers: values resolved by state, kind, controller chain and direct
// access; change notices under updates; the font lock; controller chains (loops refused, followers sent
// back to the default controller); a shared controller's font scaled once; streaming of assigned values;
// and the container's colour and font kept in step with its normal style.
#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/ClassErrors.h"
#include "platform/classes/Filer.h"
#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

using ContainerStylesTest = FoundationTest;

// Counts the change notices of a style.
struct StyleNoticeCounter {
  int Count = 0;
  void Attach(TuiContainerStyle* AStyle) {
    AStyle->SetOnChanged([this](TObject*) { ++Count; });
  }
};

// A container whose default colour is its parent's, as a label-like editor's is.
class ParentColoredContainer : public TuiContainer {
 public:
  using TuiContainer::TuiContainer;
  bool IsDefaultParentColor() override { return true; }
};

template <class T>
struct Freed {
  void operator()(T* p) const { FreeObject(p); }
};
template <class T>
using Owned = std::unique_ptr<T, Freed<T>>;

Owned<TuiContainer> NewStyledContainer() { return Owned<TuiContainer>(NewObject<TuiContainer>(nullptr)); }
Owned<TuiStyleController> NewStyleController() { return Owned<TuiStyleController>(NewObject<TuiStyleController>(nullptr)); }

}  // namespace

TEST_F(ContainerStylesTest, BorderStyleByKindAndHotTracking) {
  struct Case {
    TuiLookAndFeelKind Kind;
    bool AssignBorder;  // the normal style's border style is set to cbsSingle
    bool HotTrack;
    TuiContainerBorderStyle Normal, Focused, Disabled, Hot;
  };
  const Case cases[] = {
      {lfUltraFlat, false, true, cbsUltraFlat, cbsUltraFlat, cbsUltraFlat, cbsUltraFlat},
      {lfStandard, false, true, cbs3D, cbs3D, cbs3D, cbs3D},
      {lfFlat, false, true, cbsFlat, cbs3D, cbsFlat, cbs3D},
      {lfOffice11, false, true, cbsOffice11, cbsOffice11, cbsOffice11, cbsOffice11},
      {lfUltraFlat, true, true, cbsSingle, cbsThick, cbsSingle, cbsThick},
      {lfUltraFlat, true, false, cbsSingle, cbsSingle, cbsSingle, cbsSingle},
  };
  for (const Case& c : cases) {
    auto container = NewStyledContainer();
    TuiContainerStyles* styles = container->Styles();
    styles->GetNormalStyle()->LookAndFeel()->SetKind(c.Kind);
    if (c.AssignBorder) styles->GetNormalStyle()->SetBorderStyle(cbsSingle);
    styles->GetHotStyle()->SetHotTrack(c.HotTrack);  // forwarded to the normal style
    SCOPED_TRACE(testing::Message() << "kind " << c.Kind << " single " << c.AssignBorder << " hot " << c.HotTrack);
    EXPECT_EQ(c.Normal, styles->GetNormalStyle()->BorderStyle());
    EXPECT_EQ(c.Focused, styles->GetFocusedStyle()->BorderStyle());
    EXPECT_EQ(c.Disabled, styles->GetDisabledStyle()->BorderStyle());
    EXPECT_EQ(c.Hot, styles->GetHotStyle()->BorderStyle());
  }
}

TEST_F(ContainerStylesTest, DefaultsByStateAndOwner) {
  auto container = NewStyledContainer();
  TuiContainerStyles* styles = container->Styles();
  styles->GetNormalStyle()->Font()->SetColor(clNavy);
  EXPECT_EQ(clWindow, styles->GetNormalStyle()->Color());
  EXPECT_EQ(clBtnFace, styles->GetDisabledStyle()->Color());
  EXPECT_EQ(clWindow, styles->GetFocusedStyle()->Color());
  EXPECT_EQ(clWindowFrame, styles->GetHotStyle()->BorderColor());
  EXPECT_EQ(clBtnShadow, styles->GetDisabledStyle()->BorderColor());
  EXPECT_EQ(clNavy, styles->GetNormalStyle()->TextColor());
  EXPECT_EQ(clNavy, styles->GetFocusedStyle()->TextColor());
  EXPECT_EQ(clBtnShadow, styles->GetDisabledStyle()->TextColor());
  // An owner that prefers its parent's colour: button face, and no separate disabled colour.
  auto parentColored = Owned<TuiContainer>(NewObject<ParentColoredContainer>(nullptr));
  EXPECT_EQ(clBtnFace, parentColored->Style()->GetColorForPainting());
  EXPECT_EQ(clBtnFace, parentColored->StyleDisabled()->Color());
  // Values only the normal style holds: a state style writes through to it.
  styles->GetFocusedStyle()->SetEdges({bLeft});
  EXPECT_EQ(TuiBorders{bLeft}, styles->GetNormalStyle()->Edges());
  EXPECT_EQ(TuiBorders{bLeft}, styles->GetHotStyle()->Edges());
  EXPECT_FALSE(styles->GetFocusedStyle()->AssignedValues().Contains(csvEdges));
}

TEST_F(ContainerStylesTest, ControllerColourVersusOwnColour) {
  auto controller = NewStyleController();
  auto first = NewStyledContainer();
  auto second = NewStyledContainer();
  first->Style()->SetStyleController(controller.get());
  second->Style()->SetStyleController(controller.get());
  EXPECT_EQ(controller.get(), first->StyleFocused()->StyleController());
  EXPECT_EQ(2, controller->ListenerCount());

  StyleNoticeCounter notices;
  notices.Attach(first->Style());
  controller->Style()->SetColor(clRed);
  controller->StyleDisabled()->SetTextColor(clGray);
  EXPECT_EQ(clRed, first->Style()->Color());
  EXPECT_EQ(clRed, second->Style()->Color());
  EXPECT_EQ(clRed, second->Color()) << "the control follows its normal style";
  EXPECT_EQ(clGray, second->StyleDisabled()->TextColor());
  EXPECT_TRUE(second->Style()->IsValueAssigned(csvColor));
  EXPECT_FALSE(second->Style()->AssignedValues().Contains(csvColor));
  EXPECT_EQ(2, notices.Count);

  first->Style()->SetColor(clBlue);
  EXPECT_EQ(clBlue, first->Style()->Color());
  EXPECT_EQ(clRed, second->Style()->Color());

  // The controller goes: its followers fall back to the default (none here) and keep working.
  controller.reset();
  EXPECT_EQ(nullptr, second->Style()->StyleController());
  EXPECT_EQ(clWindow, second->Style()->Color());
  EXPECT_EQ(clBlue, first->Style()->Color());
}

TEST_F(ContainerStylesTest, DefaultControllerIsFollowedAndHidden) {
  auto defaults = NewStyleController();
  defaults->Style()->SetColor(clYellow);
  SetDefaultStyleController(defaults.get());
  auto container = NewStyledContainer();
  EXPECT_EQ(nullptr, container->Style()->StyleController()) << "the default controller is not reported";
  EXPECT_EQ(clYellow, container->Style()->Color());
  // The default controller's own styles never follow a controller.
  auto other = NewStyleController();
  defaults->Style()->SetStyleController(other.get());
  EXPECT_EQ(nullptr, defaults->Style()->StyleController());
  // A controller freed while it is the default leaves its followers on no controller at all.
  SetDefaultStyleController(nullptr);
  defaults.reset();
  EXPECT_EQ(clWindow, container->Style()->Color());
}

TEST_F(ContainerStylesTest, ControllerLoopsAreRefused) {
  auto a = NewStyleController();
  auto b = NewStyleController();
  auto c = NewStyleController();
  a->Style()->SetStyleController(b.get());
  b->Style()->SetStyleController(c.get());
  c->Style()->SetStyleController(a.get());  // would close a → b → c → a
  b->Style()->SetStyleController(a.get());  // would close a ↔ b
  a->Style()->SetStyleController(a.get());  // itself
  EXPECT_EQ(b.get(), a->Style()->StyleController());
  EXPECT_EQ(c.get(), b->Style()->StyleController());
  EXPECT_EQ(nullptr, c->Style()->StyleController());
  // Values travel the chain.
  c->StyleHot()->SetBorderColor(clLime);
  EXPECT_EQ(clLime, a->StyleHot()->BorderColor());
  auto container = NewStyledContainer();
  container->Style()->SetStyleController(a.get());
  EXPECT_EQ(clLime, container->StyleHot()->BorderColor());
}

TEST_F(ContainerStylesTest, DirectAccessModeAnswersFromStoredValues) {
  TFont font;
  font.SetStyle({fsBold});
  StyleNoticeCounter notices;
  TuiContainerStyle style(nullptr, true, nullptr, csNormal);
  notices.Attach(&style);
  style.SetFont(&font);
  style.SetColor(clAqua);
  style.SetTextColor(clMaroon);
  style.SetBorderStyle(cbsFlat);
  EXPECT_EQ(TuiContainerStyleValues::FromBits(0x3FF), style.AssignedValues());
  EXPECT_EQ(&font, style.Font());
  EXPECT_EQ(clDefault, style.BorderColor());
  EXPECT_EQ(cbsFlat, style.BorderStyle());
  EXPECT_EQ(clAqua, style.Color());
  EXPECT_EQ(clAqua, style.GetColorForPainting());
  EXPECT_TRUE(style.Edges().Empty());
  EXPECT_FALSE(style.Shadow());
  EXPECT_TRUE(style.TransparentBorder());
  EXPECT_EQ(clMaroon, style.TextColor());
  EXPECT_EQ(TFontStyles{fsBold}, style.TextStyle());
  for (Integer value = 0; value < style.GetValueCount(); ++value) EXPECT_TRUE(style.IsValueAssigned(value));
  EXPECT_EQ(0, notices.Count);
}

TEST_F(ContainerStylesTest, NoticesUnderUpdates) {
  auto container = NewStyledContainer();
  TuiContainerStyle* style = container->Style();
  StyleNoticeCounter notices;
  notices.Attach(style);
  style->BeginUpdate();
  style->BeginUpdate();
  style->SetColor(clRed);
  style->SetBorderStyle(cbsThick);
  style->SetShadow(true);
  style->EndUpdate();
  EXPECT_EQ(0, notices.Count);
  style->EndUpdate();
  EXPECT_EQ(1, notices.Count);
  style->EndUpdate();  // unbalanced: ignored
  style->BeginUpdate();
  style->EndUpdate();
  EXPECT_EQ(1, notices.Count) << "an empty update sends nothing";
  style->SetColor(clRed);
  EXPECT_EQ(1, notices.Count) << "an unchanged assigned value sends nothing";
  TFont font;
  font.SetSize(14);
  style->SetFont(&font);
  EXPECT_EQ(2, notices.Count) << "a new font is one notice";
  container->StyleFocused()->SetFont(&font);
  EXPECT_EQ(14, container->StyleFocused()->Font()->Size());
}

TEST_F(ContainerStylesTest, FontAssignedOnlyByOutsideChanges) {
  auto controller = NewStyleController();
  controller->Style()->Font()->SetSize(16);
  auto container = NewStyledContainer();
  TuiContainerStyle* style = container->Style();
  style->SetStyleController(controller.get());
  EXPECT_EQ(16, style->Font()->Size()) << "copied from the controller";
  EXPECT_FALSE(style->AssignedValues().Contains(csvFont));
  controller->Style()->Font()->SetSize(18);  // the controller's change re-synchronises the follower
  EXPECT_EQ(18, style->Font()->Size());
  EXPECT_FALSE(style->AssignedValues().Contains(csvFont));
  style->Font()->SetSize(9);  // a change from outside
  EXPECT_TRUE(style->AssignedValues().Contains(csvFont));
  controller->Style()->Font()->SetSize(20);
  EXPECT_EQ(9, style->Font()->Size()) << "an own font is kept";
  style->SetAssignedValues({});
  EXPECT_EQ(20, style->Font()->Size()) << "unassigning takes the controller's font again";
  EXPECT_FALSE(style->AssignedValues().Contains(csvFont));
}

TEST_F(ContainerStylesTest, SharedControllerFontScaledOnce) {
  auto shared = NewStyleController();
  shared->Style()->Font()->SetSize(10);
  ASSERT_TRUE(shared->Style()->AssignedValues().Contains(csvFont));
  auto front = NewStyleController();  // no own font: passes the request on
  front->Style()->SetStyleController(shared.get());
  front->ScaleFont(3, 2);  // the first form
  shared->ScaleFont(3, 2);  // the second form
  EXPECT_EQ(15, shared->Style()->Font()->Size());
}

TEST_F(ContainerStylesTest, AssignCopiesStoredValues) {
  auto source = NewStyledContainer();
  auto target = NewStyledContainer();
  auto controller = NewStyleController();
  source->Style()->SetStyleController(controller.get());
  source->Style()->SetBorderStyle(cbsFlat);
  source->Style()->SetTextColor(clPurple);
  source->Style()->LookAndFeel()->SetKind(lfStandard);
  StyleNoticeCounter notices;
  notices.Attach(target->Style());
  target->SetStyle(source->Style());
  EXPECT_EQ(1, notices.Count);
  EXPECT_EQ(controller.get(), target->Style()->StyleController());
  EXPECT_EQ(lfStandard, target->Style()->LookAndFeel()->Kind());
  EXPECT_EQ(cbsFlat, target->Style()->BorderStyle());
  EXPECT_EQ(clPurple, target->Style()->TextColor());
  EXPECT_EQ(source->Style()->AssignedValues(), target->Style()->AssignedValues());
  TFont font;
  EXPECT_THROW(target->Style()->Assign(&font), EConvertError);

  target->Style()->RestoreDefaults();
  EXPECT_TRUE(target->Style()->AssignedValues().Empty());
  EXPECT_EQ(cbsUltraFlat, target->Style()->BorderStyle()) << "the kind is no longer assigned either";
}

TEST_F(ContainerStylesTest, ValueNamesAndStoredValuesStream) {
  TuiContainerStyle style(nullptr, false, nullptr, csNormal);
  String name;
  EXPECT_TRUE(style.GetValueName(9, name));
  EXPECT_EQ("TransparentBorder", name);
  EXPECT_FALSE(style.GetValueName(10, name));
  EXPECT_EQ("", name);
  EXPECT_EQ(csvTextStyle, style.FindValueByName("textstyle"));
  EXPECT_EQ(-1, style.FindValueByName("Bogus"));

  auto controller = NewStyleController();
  controller->SetName("Controller");
  controller->Style()->SetColor(clRed);
  controller->StyleFocused()->SetBorderColor(clBlue);
  controller->StyleHot()->SetAssignedValues({csvEdges, csvTextColor});  // a state style never writes Edges
  const String text = WriteComponentToText(controller.get());
  EXPECT_NE(std::string::npos, text.find("Style.Color = clRed")) << text;
  EXPECT_NE(std::string::npos, text.find("StyleFocused.BorderColor = clBlue")) << text;
  EXPECT_EQ(std::string::npos, text.find("BorderStyle")) << text;
  EXPECT_EQ(std::string::npos, text.find(".Edges")) << text;
  EXPECT_EQ(std::string::npos, text.find("StyleFocused.LookAndFeel")) << text;

  auto copy = NewStyleController();
  ReadComponentFromText(text, copy.get(), "style controller");
  EXPECT_EQ(clRed, copy->Style()->Color());
  EXPECT_EQ(clBlue, copy->StyleFocused()->BorderColor());
  EXPECT_FALSE(copy->Style()->AssignedValues().Contains(csvBorderStyle));
}

TEST_F(ContainerStylesTest, ContainerColourAndStyleStayInStep) {
  auto container = NewStyledContainer();
  container->SetColor(clTeal);
  EXPECT_EQ(clTeal, container->Style()->Color()) << "the control's colour is written into the normal style";
  EXPECT_TRUE(container->Style()->AssignedValues().Contains(csvColor));
  container->Style()->SetColor(clOlive);
  EXPECT_EQ(clOlive, container->Color());
  TFont font;
  font.SetSize(13);
  container->SetFont(&font);
  EXPECT_EQ(13, container->Style()->Font()->Size());
  EXPECT_FALSE(container->Style()->AssignedValues().Contains(csvFont)) << "a control font is not a style choice";
  container->Style()->Font()->SetSize(11);
  EXPECT_EQ(11, container->Font()->Size());
}
