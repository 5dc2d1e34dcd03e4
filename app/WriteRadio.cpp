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
  dialog_.SetProgressMax(ProgressMax);
  if (!OpenRadioPort()) CloseTime.SetEnabled(true);
}

bool TWriteRadioProtocol::OpenRadioPort() {
  try {
    ::Sleep(50);
    port_->SetComNumber(PortNumber());
    state_ = rsIdle;
    port_->SetLine(RadioBaud, RadioDataBits, RadioStopBits);
    port_->SetOpen(true);
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
  state_ = rsIdle;
  errorShown_ = false;
  SetProgress(0);
  try {
    port_->FlushInBuffer();
    port_->FlushOutBuffer();
    dialog_.SetOkEnabled(false);
    count_ = 0;
    ::Sleep(50);
    HeadTime.SetEnabled(true);
    SendHandshake();
  } catch (const std::exception&) {
    ShowErrorOnce(Language->LPortError);
  }
}

void TWriteRadioProtocol::HandleReply() {
  switch (state_) {
    case rsHandshakeSent:
      if (!IsHandshakeAnswer()) return;
      awaitingAck_ = false;
      HeadTime.SetEnabled(false);
      state_ = rsIdentRequested;
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
      state_ = rsRefused;
      if (Match == imOtherModel) {
        ShowMessage(Language->ModError);
      } else if (ShowMessage(Language->Modforce, mbQuestionDefaultNo) == IdYes) {
        // Whatever arrived while the question was up belongs to no reply.
        port_->FlushInBuffer();
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
  state_ = rsTransferring;
  address_ = -RadioBlockSize;
  blockCount_ = 0;
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
  if (buffer_[0] != RadioAck) return;
  TryTime.SetEnabled(false);
  address_ += RadioBlockSize;
  if (address_ >= RadioEndAddress) {
    awaitingAck_ = false;
    SendByte(RadioEnd, 1, true);
    state_ = rsIdle;
    SetProgress(ProgressMax);
    ShowMessage(Language->WriteOk);
    SetProgress(0);
    dialog_.SetOkEnabled(true);
    return;
  }
  std::array<Byte, 4 + RadioBlockSize> Frame{RadioWriteBlock, static_cast<Byte>(address_ >> 8),
                                             static_cast<Byte>(address_ & 0xFF), RadioBlockSize};
  const auto Data = BlockData(address_);
  std::copy(Data.begin(), Data.end(), Frame.begin() + 4);
  ++blockCount_;
  awaitingAck_ = false;
  SendFrame(Frame.data(), static_cast<Word>(Frame.size()), 1, true);
  TryTime.SetEnabled(true);
  SetProgress(progress_ + 1);
}

void TWriteRadioProtocol::TryTimeTimer() {
  state_ = rsIdle;
  if (errorShown_) return;
  dialog_.SetOkEnabled(true);
  errorShown_ = true;
  ShowMessage(Language->ComError);
  CloseTime.SetEnabled(true);
}

void TWriteRadioProtocol::myPortTriggerLineError(TObject*, Word, bool) {
  state_ = rsIdle;
  ShowErrorOnce(Language->ComError);
}
