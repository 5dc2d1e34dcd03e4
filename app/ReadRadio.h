// Reading the radio's memory into the image: the protocol behind the read dialog.
//
// After the handshake and the ident check the radio's addresses 0x000-0x16F are requested in 46 blocks
// of 8 bytes, each acknowledged; the received bytes go into image bytes 16-383 (384-431 become 0) only
// when the whole transfer succeeded, so a failed read leaves the image as it was.
#pragma once

#include "app/RadioLink.h"

class TReadRadioProtocol : public TRadioProtocol {
public:
  static constexpr Integer AreaSize = 416;

  TReadRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port);
  ~TReadRadioProtocol() override;

  // Dialog events.
  void FormShow() override;
  void btnOkClick() override;
  void TryTimeTimer() override;
  void ReTimeTimer();
  void myPortTriggerLineError(TObject* CP, Word Error, bool LineBreak);
  void myPortTriggerTimer(TObject* CP, Word TriggerHandle);

  // Restarts the read once after a line error, 500 ms.
  TRadioTimer ReTime;

  // The read completed; the main window then resets its views.
  bool Done() const { return FDone; }
  // Type code of the accepted ident.
  const String& TypeCode() const { return FTypeCode; }

protected:
  void HandleReply() override;
  void DisarmTimers() override;

private:
  bool OpenRadioPort();
  void HandleBlock();
  bool CheckIdent();
  void CopyReadData();

  std::array<Byte, AreaSize> FArea{};
  Integer FAreaCount = 0;
  String FTypeCode;
  TMacType* FModel = nullptr;
  bool FDone = false;
  bool FRetryAllowed = true;
};
