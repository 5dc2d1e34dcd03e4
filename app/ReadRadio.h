// Reading the radio's memory into the image: the protocol behind the read dialog.
//
// After the handshake and the ident check the radio's addresses 0x000-0x16F are requested in 46 blocks
// of 8 bytes, each acknowledged; the received bytes go into image bytes 16-383 (384-431 become 0) only
// when the whole transfer succeeded, so a failed read leaves the image as it was.
//
// Every reply of the transfer is checked: a block reply is exactly 'W', the requested address (high,
// low), 8 and the 8 data bytes, an acknowledge exactly one 0x06. Anything else (a byte too many, another
// address, a run of acknowledges) ends the read with ComError at once, as an unanswered step does.
#pragma once

#include "app/RadioLink.h"

class TReadRadioProtocol : public TRadioProtocol {
public:
  static constexpr Integer AreaSize = 416;
  static constexpr Integer BlockHeaderSize = 4;
  static constexpr Integer BlockReplySize = BlockHeaderSize + RadioBlockSize;

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
  bool Done() const { return done_; }
  // Type code of the accepted ident.
  const String& TypeCode() const { return typeCode_; }

protected:
  void HandleReply() override;
  void DisarmTimers() override;

private:
  bool OpenRadioPort();
  void HandleBlock();
  // The receive buffer holds exactly the reply to the request for address_.
  bool IsBlockReply() const;
  // A reply that is not what the step asked for: ends the transfer as TryTime does.
  void RejectReply();
  bool CheckIdent();
  void CopyReadData();

  std::array<Byte, AreaSize> area_{};
  Integer areaCount_ = 0;
  String typeCode_;
  TMacType* model_ = nullptr;
  bool done_ = false;
  bool retryAllowed_ = true;
};
