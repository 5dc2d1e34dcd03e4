#include "app/AllClass.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

K58_IMPLEMENT_CLASS(TALL) {}
K58_IMPLEMENT_CLASS(TLanguage) {}

TALL* ALL = nullptr;
TLanguage* Language = nullptr;
TMacList* MacList = nullptr;
TFrqList* FrqList = nullptr;

const std::array<TMessageKey, 23> MessageKeys = {{
    {"Confirmation", "提示", &TLanguage::Confirmation},
    {"ExitProgram", "确定要退出系统？", &TLanguage::ExitProgram},
    {"SaveProgram", "是否保存数据？", &TLanguage::SaveProgram},
    {"Channel", "信道", &TLanguage::Channel},
    {"Info", "信息", &TLanguage::Info},
    {"OutRange", "频率超出范围！", &TLanguage::OutRange},
    {"Caution", "注意", &TLanguage::Caution},
    {"FChBigT", "起始频道应小于结束频道！", &TLanguage::FChBigT},
    {"Close", "已关闭", &TLanguage::Close},
    {"Open", "已启动", &TLanguage::Open},
    {"ComError", "检查所有连接及通信端口设置！", &TLanguage::ComError},
    {"ModError", "机型错误!", &TLanguage::ModError},
    {"PwdError", "密码错误!", &TLanguage::PwdError},
    {"ClearData", "是否清空数据？", &TLanguage::ClearData},
    {"Modforce", "是否强制改写？", &TLanguage::Modforce},
    {"All", "全部", &TLanguage::All},
    {"ErrRange", "频率出错！", &TLanguage::ErrRange},
    {"ModelType", "机型", &TLanguage::ModelType},
    {"Frequency", "频率", &TLanguage::Frequency},
    {"ReadOk", "读取完成！", &TLanguage::ReadOk},
    {"WriteOk", "写入完成！", &TLanguage::WriteOk},
    {"LPortError", "无法打开端口！", &TLanguage::LPortError},
    {"SettingsError", "无法保存设置！", &TLanguage::SettingsError},
}};

TLanguage::TLanguage() {
  for (const TMessageKey& Key : MessageKeys) this->*Key.Field = Key.Default;
}

void ParseBand(const String& Text, double& Low, double& High) {
  const Integer Dash = Pos("-", Text);
  const Integer Unit = Pos("MHz", Text);
  if (Dash == 0 || Unit == 0) throw EConvertError("'" + Text + "' is not a valid band");
  const double NewLow = static_cast<double>(StrToFloat(Trim(Copy(Text, 1, Dash - 1))));
  const double NewHigh = static_cast<double>(StrToFloat(Trim(Copy(Text, Dash + 1, Unit - Dash - 1))));
  Low = NewLow;
  High = NewHigh;
}

bool TALL::SelectModelByBand(TMacType* /*Model*/, Byte Code, bool SetBand) {
  bool Found = true;
  String Band = FrqList->BandOfCode(Code);
  TMacType* M = MacList->FindByBand(Band);
  if (M == nullptr) {
    // No model offers this band (code 0xFD): keep what is current so that a model is always set.
    Found = false;
    if (CurrentModel != nullptr) {
      if (SetBand) ParseBand(BandText, BandLow, BandHigh);
      return false;
    }
    M = MacList->GetItem(0);
    if (M == nullptr) return false;
    Band = M->DefaultBand;
  }
  CurrentModel = M;
  ModelName = M->Name;
  TypeCode = M->TypeCode;
  ModelMax = M->MaxMHz;
  ModelMin = M->MinMHz;
  ChannelCount = M->ChannelCount;
  BandText = M->DefaultBand;
  if (SetBand) {
    BandText = Band;
    ParseBand(BandText, BandLow, BandHigh);
  }
  return Found;
}

void TALL::NewImage() {
  std::fill(Image.begin(), Image.begin() + 432, Byte{0xFF});
  NewPasswordOn = false;
  std::copy(DefaultFunctionSettings.begin(), DefaultFunctionSettings.end(), Image.begin() + ofsFunction);
  StampIdent();
  EncodeWriteTime(FormatDateTime("yyyy-MM-dd HH:mm:ss", Now()), &Image[ofsWriteTime]);
}

void TALL::StampIdent() {
  Image[ofsIdent + 7] = 0;
  Image[ofsIdent + 6] = 0;
  Image[ofsBandCode] = FrqList->CodeOfBand(BandText);
  for (Integer I = 0; I < 4; ++I)
    Image[ofsIdent + 1 + I] = static_cast<Byte>(I < Length(TypeCode) ? TypeCode[I] : ' ');
  Image[ofsIdent] = 'P';
}

namespace {

Byte Clamp(Byte Value, Byte Low, Byte High, Byte Fallback) {
  return Value >= Low && Value <= High ? Value : Fallback;
}

}  // namespace

void TALL::SanitizeSettings() {
  Byte* F = &Image[ofsFunction];  // F[i] is byte 304 + i
  for (Integer I : {0, 1, 2, 3}) F[I] &= 1;
  F[4] = Clamp(F[4], 0, 8, 4);
  for (Integer I : {5, 6, 7, 8, 9}) F[I] &= 1;
  const Byte Rx = Clamp(F[12] & 0x0F, 0, 2, 0);
  const Byte Tx = Clamp(F[12] >> 4, 0, 2, 0);
  F[12] = static_cast<Byte>(Tx << 4 | Rx);
  F[13] = Clamp(F[13], 0, 2, 0);
  F[14] = Clamp(F[14], 0, 4, 4);
  F[17] = Clamp(F[17], 0, 9, 5);
  F[18] = Clamp(F[18], 0, 3, 1);
  F[19] = Clamp(F[19], 0, 30, 6);
  const Byte Code = FrqList->CodeOfBand(BandText);
  if (Image[ofsBandCode] != Code) Image[ofsBandCode] = Code;
}

void TALL::SetChannelField(Integer Channel, Integer Kind, const String& Text) {
  if (Channel < 1 || Channel > MaxChannels)
    throw ERangeError("Channel " + IntToStr(Channel) + " is out of range");
  Byte* R = &Image[ChannelOffset(Channel)];
  switch (Kind) {
    case cfRxFrequency: {
      const auto Bytes = EncodeFrequency(Text);
      std::copy(Bytes.begin(), Bytes.end(), R);
      if (Bytes[0] == 0xFF) std::fill(R + 4, R + 16, Byte{0xFF});  // the whole channel becomes empty
      break;
    }
    case cfTxFrequency: {
      const auto Bytes = EncodeFrequency(Text);
      std::copy(Bytes.begin(), Bytes.end(), R + 4);
      if (Bytes[0] == 0xFF) R[10] = R[11] = 0xFF;  // no transmit tone without a transmit frequency
      break;
    }
    case cfRxTone: {
      const auto Bytes = EncodeTone(Text);
      R[8] = Bytes[0];
      R[9] = Bytes[1];
      break;
    }
    case cfTxTone: {
      const auto Bytes = EncodeTone(Text);
      R[10] = Bytes[0];
      R[11] = Bytes[1];
      break;
    }
    default: {
      if (Kind < cfFlagBit0 || Kind > cfFlagBit7)
        throw ERangeError("Channel field kind " + IntToStr(Kind) + " is out of range");
      const Byte Mask = static_cast<Byte>(1 << (Kind - cfFlagBit0));
      if (Text == "1")
        R[12] |= Mask;
      else
        R[12] &= static_cast<Byte>(~Mask);
      break;
    }
  }
}

double TALL::SnapToStep(double MHz) const { return ::SnapToStep(MHz, StepA, StepB); }
