// The graphics binding module: colours, font, pen and brush types, canvases and graphics.
#include "platform/forms/Graphics.h"
#include "script/sc_bindings.h"

namespace k58::script::bindings {
namespace graphicsmod {

class TFunctions : public TscRTTIModule {
 public:
  explicit TFunctions(TscScript* AScript);

 private:
  void AddColorConst(const char* Name, TColor Value);
  Variant CallGraphicsMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant GetGraphicsProp(TObject* Instance, TClass ClassRef, const String& PropName);
  void SetGraphicsProp(TObject* Instance, TClass ClassRef, const String& PropName, const Variant& Value);
};

struct ColorName {
  const char* Name;
  TColor Value;
};

// The colour table in the class library's order.
const ColorName kColorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clActiveBorder", clActiveBorder},
    {"clActiveCaption", clActiveCaption},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clBackground", clBackground},
    {"clBtnFace", clBtnFace},
    {"clBtnHighlight", clBtnHighlight},
    {"clBtnShadow", clBtnShadow},
    {"clBtnText", clBtnText},
    {"clCaptionText", clCaptionText},
    {"clDefault", clDefault},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clGrayText", clGrayText},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clHotLight", clHotLight},
    {"clInactiveBorder", clInactiveBorder},
    {"clInactiveCaption", clInactiveCaption},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clInfoBk", clInfoBk},
    {"clInfoText", clInfoText},
    {"clMenu", clMenu},
    {"clMenuBar", clMenuBar},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuText", clMenuText},
    {"clNone", clNone},
    {"clScrollBar", clScrollBar},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clWindowText", clWindowText},
};

void TFunctions::AddColorConst(const char* Name, TColor Value) {
  Script()->AddConst(Name, "Integer", static_cast<Integer>(Value));
}

TFunctions::TFunctions(TscScript* AScript) : TscRTTIModule(AScript) {
  TscScript* s = AScript;
  const TscMethodCallback call(this, &TFunctions::CallGraphicsMethod);
  const TscPropGetCallback get(this, &TFunctions::GetGraphicsProp);
  const TscPropSetCallback set(this, &TFunctions::SetGraphicsProp);

  for (const ColorName& color : kColorNames) AddColorConst(color.Name, color.Value);
  s->AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
  s->AddEnum("TFontPitch", "fpDefault, fpVariable, fpFixed");
  s->AddEnum("TPenStyle", "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
  s->AddEnum("TPenMode",
             "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, "
             "pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
  s->AddEnum("TBrushStyle", "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross");

  for (TClass cls : {TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass()}) {
    if (TscClassVariable* c = s->AddClass(cls, "TPersistent")) c->AddConstructor("constructor Create", call);
  }

  TscClassVariable* c = s->AddClass(TCanvas::StaticClass(), "TPersistent");
  c->AddConstructor("constructor Create", call);
  for (const char* syntax :
       {"procedure Draw(X, Y: Integer; Graphic: TGraphic)", "procedure Ellipse(X1, Y1, X2, Y2: Integer)",
        "procedure LineTo(X, Y: Integer)", "procedure MoveTo(X, Y: Integer)",
        "procedure Rectangle(X1, Y1, X2, Y2: Integer)", "procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)",
        "procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)",
        "function TextHeight(const Text: string): Integer", "procedure TextOut(X, Y: Integer; const Text: string)",
        "function TextWidth(const Text: string): Integer"}) {
    c->AddMethod(syntax, call);
  }
  c->AddIndexProperty("Pixels", "Integer, Integer", "TColor", call, false);

  c = s->AddClass(TGraphic::StaticClass(), "TPersistent");
  c->AddConstructor("constructor Create", call);
  c->AddMethod("procedure LoadFromFile(const Filename: string)", call);
  c->AddMethod("procedure SaveToFile(const Filename: string)", call);
  c->AddProperty("Height", "Integer", get, set);
  c->AddProperty("Width", "Integer", get, set);

  c = s->AddClass(TPicture::StaticClass(), "TPersistent");
  c->AddMethod("procedure LoadFromFile(const Filename: string)", call);
  c->AddMethod("procedure SaveToFile(const Filename: string)", call);
  c->AddProperty("Height", "Integer", get);
  c->AddProperty("Width", "Integer", get);

  c = s->AddClass(TBitmap::StaticClass(), "TGraphic");
  c->AddProperty("Canvas", "TCanvas", get);
  RegisterPublishedTypes(s);
}

Variant TFunctions::CallGraphicsMethod(TObject* Instance, TClass ClassRef, const String& n, TscMethodHelper* Caller) {
  if (n == "CREATE") return NewInstance(Instance, Caller);
  if (ClassRef == TCanvas::StaticClass()) {
    auto* canvas = As<TCanvas>(Instance);
    const auto i = [Caller](Integer Index) { return IntArg(Caller, Index); };
    if (n == "DRAW") canvas->Draw(i(0), i(1), NonNilArg<TGraphic>(Caller, 2));
    if (n == "ELLIPSE") canvas->Ellipse(i(0), i(1), i(2), i(3));
    if (n == "LINETO") canvas->LineTo(i(0), i(1));
    if (n == "MOVETO") canvas->MoveTo(i(0), i(1));
    if (n == "RECTANGLE") canvas->Rectangle(i(0), i(1), i(2), i(3));
    if (n == "ROUNDRECT") canvas->RoundRect(i(0), i(1), i(2), i(3), i(4), i(5));
    if (n == "STRETCHDRAW") canvas->StretchDraw(TRect{i(0), i(1), i(2), i(3)}, NonNilArg<TGraphic>(Caller, 4));
    if (n == "TEXTHEIGHT") return canvas->TextHeight(StrArg(Caller, 0));
    if (n == "TEXTOUT") canvas->TextOut(i(0), i(1), StrArg(Caller, 2));
    if (n == "TEXTWIDTH") return canvas->TextWidth(StrArg(Caller, 0));
    if (n == "PIXELS.GET") return static_cast<Integer>(canvas->Pixels(i(0), i(1)));
    if (n == "PIXELS.SET") canvas->SetPixels(i(0), i(1), static_cast<TColor>(i(2)));
  } else if (ClassRef == TGraphic::StaticClass()) {
    if (n == "LOADFROMFILE") As<TGraphic>(Instance)->LoadFromFile(StrArg(Caller, 0));
    if (n == "SAVETOFILE") As<TGraphic>(Instance)->SaveToFile(StrArg(Caller, 0));
  } else if (ClassRef == TPicture::StaticClass()) {
    if (n == "LOADFROMFILE") As<TPicture>(Instance)->LoadFromFile(StrArg(Caller, 0));
    if (n == "SAVETOFILE") As<TPicture>(Instance)->SaveToFile(StrArg(Caller, 0));
  }
  return Integer{0};
}

Variant TFunctions::GetGraphicsProp(TObject* Instance, TClass ClassRef, const String& n) {
  if (ClassRef == TGraphic::StaticClass()) {
    if (n == "HEIGHT") return As<TGraphic>(Instance)->Height();
    if (n == "WIDTH") return As<TGraphic>(Instance)->Width();
  } else if (ClassRef == TPicture::StaticClass()) {
    if (n == "HEIGHT") return As<TPicture>(Instance)->Height();
    if (n == "WIDTH") return As<TPicture>(Instance)->Width();
  } else if (ClassRef == TBitmap::StaticClass() && n == "CANVAS") {
    TCanvas* canvas = As<TBitmap>(Instance)->Canvas();
    MarkOwnedSubObject(canvas);  // the bitmap frees it
    return ObjValue(canvas);
  }
  return Integer{0};
}

void TFunctions::SetGraphicsProp(TObject* Instance, TClass ClassRef, const String& n, const Variant& Value) {
  if (ClassRef != TGraphic::StaticClass()) return;
  if (n == "HEIGHT") As<TGraphic>(Instance)->SetHeight(Value.AsInteger());
  if (n == "WIDTH") As<TGraphic>(Instance)->SetWidth(Value.AsInteger());
}

}  // namespace graphicsmod

TscRTTIModule* CreateGraphicsModule(TscScript* AScript) { return new graphicsmod::TFunctions(AScript); }

}  // namespace k58::script::bindings
