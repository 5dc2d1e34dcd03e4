#include "app/FrmAbout.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfFrmAbout* fFrmAbout = nullptr;

K58_IMPLEMENT_CLASS(TfFrmAbout) {
  b.Field("pAbout", &TfFrmAbout::pAbout);
  b.Field("ImApp", &TfFrmAbout::ImApp);
  b.Field("ImAbout", &TfFrmAbout::ImAbout);
  b.Field("Memo1", &TfFrmAbout::Memo1);
  b.Method("FormShow", &TfFrmAbout::FormShow);
  b.Method("AboutMouseDown", &TfFrmAbout::AboutMouseDown);
}

TfFrmAbout::TfFrmAbout(TComponent* AOwner) : TForm(AOwner) {}

TfFrmAbout::~TfFrmAbout() {
  if (fFrmAbout == this) fFrmAbout = nullptr;
}

void TfFrmAbout::Loaded() {
  TForm::Loaded();
  for (Integer N = 1; N <= Labels; ++N) Label[N - 1] = ComponentAs<TLabel>(this, "Label" + IntToStr(N));
}

void TfFrmAbout::FormShow(TObject*) {
  ImApp->Picture()->Assign(Application->Icon());
  // The texts are placeholders in the form: the language file always fills them.
  TranslateForm(this, ALL->LanguageName, false);
  SetCaption(ALL->ProgramCaption);
  TStrings* Lines = Memo1->Lines();
  Lines->Clear();
  Lines->Add(Label[4]->Caption());
  Lines->Add(Label[5]->Caption());
  Lines->Add("");
  Lines->Add(Label[6]->Caption());
  if (ALL->ShowAboutPicture) ImAbout->Picture()->Bitmap()->LoadFromResourceName(HInstance, "PICABOUT");
}

void TfFrmAbout::AboutMouseDown(TObject*, TMouseButton, TShiftState, Integer, Integer) { SetModalResult(mrOk); }

void ShowAbout() {
  TObjectPtr<TfFrmAbout> Dialog(fFrmAbout = NewObject<TfFrmAbout>(Application));
  Dialog->ShowModal();
}
