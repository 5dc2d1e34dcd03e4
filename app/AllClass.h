// The document-and-settings object, the message texts and the process-wide objects every window uses.
#pragma once

#include <array>

#include "app/MacType.h"
#include "app/MeMode.h"
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"

// The single document-and-settings object: settings, current model and band, and the memory image.
class TALL : public TObject {
  K58_CLASS(TALL, TObject)

  String LanguageName;         // base name of the language file ("English")
  Integer LanguageIndex = 0;   // index into the "Language" list; above 0 forms are translated
  Integer CurrentChannel = 1;  // channel the channel edit window shows
  String PortName;             // "COM3"
  String AppDir;               // program directory, with a trailing delimiter
  String ProgramCaption;
  Integer ChannelCount = 0;
  String ModelName;
  String BandText;  // "450 - 470MHz"
  double ModelMax = 0;
  double ModelMin = 0;
  double BandHigh = 0;
  double BandLow = 0;
  String TypeCode;
  Integer PictureNumber = 0;  // "PicID" setting + 1
  bool Modified = false;      // unsaved changes in the image
  String HelpPrefix;
  bool TestOnlineVisible = false;
  bool SerialEditable = false;
  bool NewPasswordOn = false;  // a write sends the scrambled new password
  bool ShowAboutPicture = false;
  TMacType* CurrentModel = nullptr;  // an entry of the model list, never freed here
  Integer StepA = 500;               // channel steps in units of 10 Hz
  Integer StepB = 625;
  TMemoryImage Image{};

  // Makes the model and band of a band code current (the Model argument is not used: the model
  // follows from the code). With SetBand the band becomes the code's band and its edges are parsed;
  // without it the band is the model's default and the edges are left to the caller.
  // A code whose band no model offers keeps the current model and band and gives false.
  bool SelectModelByBand(TMacType* Model, Byte Code, bool SetBand);

  // The blank image: bytes 0-431 0xFF, default function settings, ident, current write time.
  void NewImage();
  // Ident block from TypeCode and BandText.
  void StampIdent();
  // Clamps the function settings and makes the band code match BandText.
  void SanitizeSettings();
  // Writes one field of channel 1..16 from its interface text (kinds of TChannelField; flag kinds take
  // "1" to set the bit). Conversion errors leave the image unchanged.
  void SetChannelField(Integer Channel, Integer Kind, const String& Text);
  // Frequency snapped to StepA/StepB.
  double SnapToStep(double MHz) const;
};

// The message texts of the current language.
class TLanguage : public TObject {
  K58_CLASS(TLanguage, TObject)

  TLanguage();

  String Confirmation;  // caption of the message boxes
  String ExitProgram;
  String SaveProgram;
  String Channel;
  String Info;
  String OutRange;
  String Caution;  // caption of the frequency warnings
  String FChBigT;
  String Close;
  String Open;
  String ComError;
  String ModError;
  String PwdError;
  String ClearData;
  String Modforce;
  String All;
  String ErrRange;
  String ModelType;
  String Frequency;
  String ReadOk;
  String WriteOk;
  String LPortError;
  String SettingsError;  // the settings could not be saved
};

// Key of each message in the language file's "Language" section, its built-in text and its field.
struct TMessageKey {
  const char* Key;
  const char* Default;
  String TLanguage::*Field;
};
extern const std::array<TMessageKey, 23> MessageKeys;

// Low and high edge of a band text "450 - 470MHz"; raises EConvertError when the text has no "-" or
// "MHz" or an edge is not a number.
void ParseBand(const String& Text, double& Low, double& High);

// The process-wide objects; created at start-up and kept until the process ends.
extern TALL* ALL;
extern TLanguage* Language;
extern TMacList* MacList;
extern TFrqList* FrqList;
