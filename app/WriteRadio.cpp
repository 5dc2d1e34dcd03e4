#include "app/WriteRadio.h"

#include <algorithm>

#include "app/AllClass.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/WinTypes.h"
#include "platform/win/core/WinBase.h"

namespace {

constexpr Integer PasswordBlockAddress = ofsPasswordBlock - ofsRadio;  // 0x148
constexpr Integer IdYes = 6;

}  // namespace

TWriteRadioProtocol::TWriteRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port)
    : TRadioProtocol(Dialog, std::move(Port), 50, 101) {}

void TWriteRadioProtocol::FormShow() {
  FDialog.SetProgressMax(ProgressMax);
  if (!OpenRadioPort()) CloseTime.SetEnabled(true);
}

bool TWriteRadioProtocol::OpenRadioPort() {
  try {
    ::Sleep(50);
    FPort->SetComNumber(PortNumber());
    FState = rsIdle;
    FPort->SetLine(RadioBaud, RadioDataBits, RadioStopBits);
    FPort->SetOpen(true);
    return true;
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
    return false;
  }
}

void TWriteRadioProtocol::btnOkClick() {
  ALL->StampIdent();
  ::Sleep(450);
  StartWrite();
}

void TWriteRadioProtocol::StartWrite() {
  FState = rsIdle;
  FErrorShown = false;
  SetProgress(0);
  try {
    FPort->FlushInBuffer();
    FPort->FlushOutBuffer();
    FDialog.SetOkEnabled(false);
    FCount = 0;
    ::Sleep(50);
    HeadTime.SetEnabled(true);
    SendHandshake();
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
  }
}

void TWriteRadioProtocol::HandleReply() {
  switch (FState) {
    case rsHandshakeSent:
      if (!IsHandshakeAnswer()) return;
      FAwaitingAck = false;
      HeadTime.SetEnabled(false);
      FState = rsIdentRequested;
      ::Sleep(5);
      SendByte(RadioIdentRequest, RadioIdentSize, true);
      HeadTime.SetEnabled(true);
      return;
    case rsIdentRequested: {
      HeadTime.SetEnabled(false);
      const TIdentMatch Match = CheckIdent();
      if (Match == imSameModel) {
        BeginTransfer();
        return;
      }
      // Leave the ident state before the box: bytes arriving while it is up answer nothing.
      FState = rsRefused;
      if (Match == imOtherModel) {
        ShowMessage(Language->ModError);
      } else if (ShowMessage(Language->Modforce, mbQuestionDefaultNo) == IdYes) {
        // Whatever arrived while the question was up belongs to no reply.
        FPort->FlushInBuffer();
        BeginTransfer();
      }
      return;
    }
    case rsTransferring:
      HandleBlock();
      return;
    default:
      return;
  }
}

TIdentMatch TWriteRadioProtocol::CheckIdent() const {
  TMacType* Model = MacList->FindByTypeCode(IdentTypeCode());
  const TMacType* Current = ALL->CurrentModel;
  if (Model == nullptr || Current == nullptr) return imAskUser;
  if (Model->TypeCode == Current->TypeCode) return imSameModel;
  if (Model->ChannelCount == Current->ChannelCount) return imAskUser;
  return imOtherModel;
}

void TWriteRadioProtocol::BeginTransfer() {
  EncodeWriteTime(FormatDateTime("yyyy-MM-dd HH:mm:ss", Now()), &ALL->Image[ofsWriteTime]);
  FState = rsTransferring;
  FAddress = -RadioBlockSize;
  FBlockCount = 0;
  SendAck();
}

std::array<Byte, RadioBlockSize> TWriteRadioProtocol::BlockData(Integer Address) {
  if (Address == PasswordBlockAddress && ALL->NewPasswordOn)
    return ScramblePassword(&ALL->Image[ofsNewPassword]);
  std::array<Byte, RadioBlockSize> Data;
  std::copy_n(ALL->Image.begin() + ofsRadio + Address, RadioBlockSize, Data.begin());
  return Data;
}

void TWriteRadioProtocol::HandleBlock() {
  if (FBuffer[0] != RadioAck) return;
  TryTime.SetEnabled(false);
  FAddress += RadioBlockSize;
  if (FAddress >= RadioEndAddress) {
    FAwaitingAck = false;
    SendByte(RadioEnd, 1, true);
    FState = rsIdle;
    SetProgress(ProgressMax);
    ShowMessage(Language->WriteOk);
    SetProgress(0);
    FDialog.SetOkEnabled(true);
    return;
  }
  std::array<Byte, 4 + RadioBlockSize> Frame{RadioWriteBlock, static_cast<Byte>(FAddress >> 8),
                                             static_cast<Byte>(FAddress & 0xFF), RadioBlockSize};
  const auto Data = BlockData(FAddress);
  std::copy(Data.begin(), Data.end(), Frame.begin() + 4);
  ++FBlockCount;
  FAwaitingAck = false;
  SendFrame(Frame.data(), static_cast<Word>(Frame.size()), 1, true);
  TryTime.SetEnabled(true);
  SetProgress(FProgress + 1);
}

void TWriteRadioProtocol::TryTimeTimer() {
  FState = rsIdle;
  if (FErrorShown) return;
  FDialog.SetOkEnabled(true);
  FErrorShown = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TWriteRadioProtocol::myPortTriggerLineError(TObject*, Word, bool) {
  FState = rsIdle;
  ShowErrorOnce(Language->ComError);
}
