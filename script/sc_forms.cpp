// The forms binding module: controls, forms and the application object with their events, and the
// constants and types of the visual class library.
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "script/sc_bindings.h"
#include "script/sc_events.h"

namespace k58::script::bindings {
namespace formsmod {

class TFunctions : public TscRTTIModule {
 public:
  explicit TFunctions(TscScript* AScript);

 private:
  Variant CallFormsMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant GetFormsProp(TObject* Instance, TClass ClassRef, const String& PropName);
  void SetFormsProp(TObject* Instance, TClass ClassRef, const String& PropName, const Variant& Value);
};

struct IntConst {
  const char* Name;
  Integer Value;
};

const IntConst kModalResults[] = {{"mrNone", 0}, {"mrOk", 1},  {"mrCancel", 2}, {"mrAbort", 3},
                                  {"mrRetry", 4}, {"mrIgnore", 5}, {"mrYes", 6}, {"mrNo", 7},
                                  {"mrAll", 8},  {"mrNoToAll", 9}, {"mrYesToAll", 10}};

const IntConst kCursors[] = {
    {"crDefault", 0},      {"crNone", -1},      {"crArrow", -2},       {"crCross", -3},    {"crIBeam", -4},
    {"crSize", -22},       {"crSizeNESW", -6},  {"crSizeNS", -7},      {"crSizeNWSE", -8}, {"crSizeWE", -9},
    {"crUpArrow", -10},    {"crHourGlass", -11}, {"crDrag", -12},      {"crNoDrop", -13},  {"crHSplit", -14},
    {"crVSplit", -15},     {"crMultiDrag", -16}, {"crSQLWait", -17},   {"crNo", -18},      {"crAppStart", -19},
    {"crHelp", -20},       {"crHandPoint", -21}, {"crSizeAll", -22}};

const IntConst kBorderStyles[] = {{"bsNone", 0},   {"bsSingle", 1},     {"bsSizeable", 2},
                                  {"bsDialog", 3}, {"bsToolWindow", 4}, {"bsSizeToolWin", 5}};

const IntConst kKeys[] = {
    {"VK_RBUTTON", 2},   {"VK_CANCEL", 3},     {"VK_MBUTTON", 4},   {"VK_BACK", 8},       {"VK_TAB", 9},
    {"VK_RETURN", 13},   {"VK_SHIFT", 16},     {"VK_CONTROL", 17},  {"VK_MENU", 18},      {"VK_PAUSE", 19},
    {"VK_CAPITAL", 20},  {"VK_ESCAPE", 27},    {"VK_SPACE", 32},    {"VK_PRIOR", 33},     {"VK_NEXT", 34},
    {"VK_END", 35},      {"VK_HOME", 36},      {"VK_LEFT", 37},     {"VK_UP", 38},        {"VK_RIGHT", 39},
    {"VK_DOWN", 40},     {"VK_INSERT", 45},    {"VK_DELETE", 46},   {"VK_HELP", 47},      {"VK_LWIN", 91},
    {"VK_RWIN", 92},     {"VK_APPS", 93},      {"VK_NUMPAD0", 96},  {"VK_NUMPAD1", 97},   {"VK_NUMPAD2", 98},
    {"VK_NUMPAD3", 99},  {"VK_NUMPAD4", 100},  {"VK_NUMPAD5", 101}, {"VK_NUMPAD6", 102},  {"VK_NUMPAD7", 103},
    {"VK_NUMPAD8", 104}, {"VK_NUMPAD9", 105},  {"VK_MULTIPLY", 106}, {"VK_ADD", 107},     {"VK_SEPARATOR", 108},
    {"VK_SUBTRACT", 109}, {"VK_DECIMAL", 110}, {"VK_DIVIDE", 111},  {"VK_F1", 112},       {"VK_F2", 113},
    {"VK_F3", 114},      {"VK_F4", 115},       {"VK_F5", 116},      {"VK_F6", 117},       {"VK_F7", 118},
    {"VK_F8", 119},      {"VK_F9", 120},       {"VK_F10", 121},     {"VK_F11", 122},      {"VK_F12", 123},
    {"VK_NUMLOCK", 144}, {"VK_SCROLL", 145}};

const IntConst kAlignments[] = {{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}};

TFunctions::TFunctions(TscScript* AScript) : TscRTTIModule(AScript) {
  TscScript* s = AScript;
  const TscMethodCallback call(this, &TFunctions::CallFormsMethod);
  const TscPropGetCallback get(this, &TFunctions::GetFormsProp);
  const TscPropSetCallback set(this, &TFunctions::SetFormsProp);
  const auto addConsts = [s](const auto& Table) {
    for (const IntConst& c : Table) s->AddConst(c.Name, "Integer", c.Value);
  };
  addConsts(kModalResults);
  addConsts(kCursors);
  addConsts(kBorderStyles);
  addConsts(kKeys);
  addConsts(kCursors);  // a second time, as the class library's unit does: it adds nothing
  addConsts(kAlignments);

  for (const char* type : {"TFormBorderStyle", "TBorderStyle", "TAlignment", "TLeftRight"}) s->AddType(type, tcInteger);
  s->AddEnumSet("TShiftState", "ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
  s->AddEnumSet("TAnchors", "akLeft, akTop, akRight, akBottom");
  s->AddEnumSet("TBorderIcons", "biSystemMenu, biMinimize, biMaximize, biHelp");
  s->AddEnum("TAlign", "alNone, alTop, alBottom, alLeft, alRight, alClient");
  s->AddEnum("TMouseButton", "mbLeft, mbRight, mbMiddle");
  s->AddEnum("TBevelCut", "bvNone, bvLowered, bvRaised, bvSpace");
  s->AddEnum("TTextLayout", "tlTop, tlCenter, tlBottom");
  s->AddEnum("TEditCharCase", "ecNormal, ecUpperCase, ecLowerCase");
  s->AddEnum("TScrollStyle", "ssNone, ssHorizontal, ssVertical, ssBoth");
  s->AddEnum("TComboBoxStyle", "csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
  s->AddEnum("TCheckBoxState", "cbUnchecked, cbChecked, cbGrayed");
  s->AddEnum("TListBoxStyle", "lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
  s->AddEnum("TWindowState", "wsNormal, wsMinimized, wsMaximized");
  s->AddEnum("TFormStyle", "fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
  s->AddEnum("TPosition", "poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter");
  s->AddEnum("TCloseAction", "caNone, caHide, caFree, caMinimize");

  const TClass notify = TscNotifyEvent::StaticClass();
  TscClassVariable* c = s->AddClass(TControl::StaticClass(), "TComponent");
  c->AddProperty("Parent", "TWinControl", get, set);
  c->AddMethod("procedure Hide", call);
  c->AddMethod("procedure Show", call);
  c->AddMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)", call);
  c->AddEvent("OnCanResize", TscCanResizeEvent::StaticClass());
  c->AddEvent("OnClick", notify);
  c->AddEvent("OnDblClick", notify);
  c->AddEvent("OnMouseDown", TscMouseEvent::StaticClass());
  c->AddEvent("OnMouseMove", TscMouseMoveEvent::StaticClass());
  c->AddEvent("OnMouseUp", TscMouseEvent::StaticClass());
  c->AddEvent("OnResize", notify);

  c = s->AddClass(TWinControl::StaticClass(), "TControl");
  c->AddMethod("procedure SetFocus", call);
  c->AddEvent("OnEnter", notify);
  c->AddEvent("OnExit", notify);
  c->AddEvent("OnKeyDown", TscKeyEvent::StaticClass());
  c->AddEvent("OnKeyPress", TscKeyPressEvent::StaticClass());
  c->AddEvent("OnKeyUp", TscKeyEvent::StaticClass());

  for (TClass cls : {TCustomControl::StaticClass(), TGroupBox::StaticClass(), TEdit::StaticClass(),
                     TMemo::StaticClass(), TButton::StaticClass(), TCheckBox::StaticClass(),
                     TRadioButton::StaticClass(), TScrollingWinControl::StaticClass()}) {
    s->AddClass(cls, "TWinControl");
  }
  s->AddClass(TGraphicControl::StaticClass(), "TControl");
  s->AddClass(TLabel::StaticClass(), "TControl");

  c = s->AddClass(TCustomComboBox::StaticClass(), "TWinControl");
  c->AddProperty("DroppedDown", "Boolean", get, set);
  c->AddProperty("ItemIndex", "Integer", get, set);
  c->AddEvent("OnChange", notify);
  c->AddEvent("OnDropDown", notify);
  c->AddEvent("OnCloseUp", notify);
  s->AddClass(TComboBox::StaticClass(), "TCustomComboBox");

  c = s->AddClass(TCustomListBox::StaticClass(), "TWinControl");
  c->AddProperty("ItemIndex", "Integer", get, set);
  c->AddProperty("SelCount", "Integer", get);
  c->AddIndexProperty("Selected", "Integer", "Boolean", call, false);
  s->AddClass(TListBox::StaticClass(), "TCustomListBox");
  s->AddClass(TControlScrollBar::StaticClass(), "TPersistent");
  s->AddClass(TScrollBox::StaticClass(), "TScrollingWinControl");

  c = s->AddClass(TCustomForm::StaticClass(), "TScrollingWinControl");
  c->AddMethod("procedure Close", call);
  c->AddMethod("procedure Hide", call);
  c->AddMethod("procedure Show", call);
  c->AddMethod("function ShowModal: Integer", call);
  c->AddEvent("OnActivate", notify);
  c->AddEvent("OnClose", TscCloseEvent::StaticClass());
  c->AddEvent("OnCloseQuery", TscCloseQueryEvent::StaticClass());
  for (const char* event : {"OnCreate", "OnDestroy", "OnDeactivate", "OnHide", "OnPaint", "OnShow"}) {
    c->AddEvent(event, notify);
  }
  c->AddProperty("Canvas", "TCanvas", get);
  c->AddProperty("ModalResult", "Integer", get, set);
  s->AddClass(TForm::StaticClass(), "TCustomForm");
  s->AddClass(TDataModule::StaticClass(), "TComponent");

  c = s->AddClass(TApplication::StaticClass(), "TComponent");
  c->AddMethod("procedure Minimize", call);
  c->AddMethod("procedure ProcessMessages", call);
  c->AddMethod("procedure Restore", call);
  c->AddProperty("ExeName", "String", get);

  if (Application != nullptr) {
    MarkOwnedSubObject(Application);  // the process frees it
    s->AddObject("Application", Application);
  }
  RegisterPublishedTypes(s);
}

Variant TFunctions::CallFormsMethod(TObject* Instance, TClass ClassRef, const String& n, TscMethodHelper* Caller) {
  if (ClassRef == TControl::StaticClass()) {
    auto* control = As<TControl>(Instance);
    if (n == "HIDE") control->Hide();
    if (n == "SHOW") control->Show();
    if (n == "SETBOUNDS") control->SetBounds(IntArg(Caller, 0), IntArg(Caller, 1), IntArg(Caller, 2), IntArg(Caller, 3));
  } else if (ClassRef == TWinControl::StaticClass()) {
    if (n == "SETFOCUS") As<TWinControl>(Instance)->SetFocus();
  } else if (ClassRef == TCustomListBox::StaticClass()) {
    auto* list = As<TCustomListBox>(Instance);
    if (n == "SELECTED.GET") return list->Selected(IntArg(Caller, 0));
    if (n == "SELECTED.SET") list->SetSelected(IntArg(Caller, 0), BoolArg(Caller, 1));
  } else if (ClassRef == TCustomForm::StaticClass()) {
    auto* form = As<TCustomForm>(Instance);
    if (n == "CLOSE") form->Close();
    if (n == "HIDE") form->Hide();
    if (n == "SHOW") form->Show();
    if (n == "SHOWMODAL") return form->ShowModal();
  } else if (ClassRef == TApplication::StaticClass()) {
    auto* application = As<TApplication>(Instance);
    if (n == "MINIMIZE") application->Minimize();
    if (n == "PROCESSMESSAGES") application->ProcessMessages();
    if (n == "RESTORE") application->Restore();
  }
  return Integer{0};
}

Variant TFunctions::GetFormsProp(TObject* Instance, TClass ClassRef, const String& n) {
  if (ClassRef == TControl::StaticClass() && n == "PARENT") return ObjValue(As<TControl>(Instance)->Parent());
  if (ClassRef == TCustomComboBox::StaticClass()) {
    if (n == "DROPPEDDOWN") return As<TCustomComboBox>(Instance)->DroppedDown();
    if (n == "ITEMINDEX") return As<TCustomComboBox>(Instance)->ItemIndex();
  } else if (ClassRef == TCustomListBox::StaticClass()) {
    if (n == "ITEMINDEX") return As<TCustomListBox>(Instance)->ItemIndex();
    if (n == "SELCOUNT") return As<TCustomListBox>(Instance)->SelCount();
  } else if (ClassRef == TCustomForm::StaticClass()) {
    if (n == "MODALRESULT") return As<TCustomForm>(Instance)->ModalResult();
    if (n == "CANVAS") {
      TCanvas* canvas = As<TCustomForm>(Instance)->Canvas();
      MarkOwnedSubObject(canvas);  // the form frees it
      return ObjValue(canvas);
    }
  } else if (ClassRef == TApplication::StaticClass() && n == "EXENAME") {
    return As<TApplication>(Instance)->ExeName();
  }
  return Integer{0};
}

void TFunctions::SetFormsProp(TObject* Instance, TClass ClassRef, const String& n, const Variant& Value) {
  if (ClassRef == TControl::StaticClass() && n == "PARENT") {
    As<TControl>(Instance)->SetParent(static_cast<TWinControl*>(ScriptObjectOrNil(Value, TWinControl::StaticClass())));
  } else if (ClassRef == TCustomComboBox::StaticClass()) {
    if (n == "DROPPEDDOWN") As<TCustomComboBox>(Instance)->SetDroppedDown(Value.AsBoolean());
    if (n == "ITEMINDEX") As<TCustomComboBox>(Instance)->SetItemIndex(Value.AsInteger());
  } else if (ClassRef == TCustomListBox::StaticClass()) {
    if (n == "ITEMINDEX") As<TCustomListBox>(Instance)->SetItemIndex(Value.AsInteger());
  } else if (ClassRef == TCustomForm::StaticClass()) {
    if (n == "MODALRESULT") As<TCustomForm>(Instance)->SetModalResult(Value.AsInteger());
  }
}

}  // namespace formsmod

TscRTTIModule* CreateFormsModule(TscScript* AScript) { return new formsmod::TFunctions(AScript); }

}  // namespace k58::script::bindings
