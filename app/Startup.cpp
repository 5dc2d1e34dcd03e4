#include "app/Startup.h"

#include "app/AllClass.h"
#include "app/SysInfo.h"
#include "platform/rtl/SysUtils.h"

void CreateDocumentObjects(const String& ProgramPath) {
  MacList = new TMacList();
  ALL = new TALL();
  FrqList = new TFrqList();
  Language = new TLanguage();

  const String Dir = ExtractFilePath(ProgramPath);
  ALL->AppDir = Dir.empty() ? String("./") : IncludeTrailingPathDelimiter(Dir);
  ALL->TestOnlineVisible = false;
  ALL->ShowAboutPicture = true;
  ALL->NewPasswordOn = false;
  ALL->CurrentChannel = 1;

  BuildBandTable(*FrqList);

  BuildModelTable(*MacList);
  ALL->ShowAboutPicture = false;
  ALL->SerialEditable = false;
  ALL->ProgramCaption = "K58 V1.2";
  ALL->StepA = 500;
  ALL->StepB = 625;

  LoadSysInfo();
  LoadMessages(ALL->LanguageName);
}
