// Writing the image to the radio: the protocol behind the write dialog.
//
// After the handshake the radio's ident is compared with the current model (a different model is refused,
// an unknown or compatible one is written only when the user confirms), the write time is stamped into
// the image, and image bytes 16-383 go to radio addresses 0x000-0x16F in 46 blocks of 8 bytes, each
// acknowledged by the radio. While the new-password switch is on, the password block carries the
// scrambled new password instead of the image's own block.
#pragma once

#include "app/RadioLink.h"

// Outcome of comparing the radio's ident with the current model.
enum TIdentMatch : Integer {
  imOtherModel = 1,   // a known model that is not compatible: refused
  imSameModel = 2,    // the current model's type code: written
  imAskUser = 3,      // an unknown type code, or another model with the same channel count
};

class TWriteRadioProtocol : public TRadioProtocol {
public:
  TWriteRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port);

  // Dialog events.
  void FormShow() override;
  void btnOkClick() override;
  void TryTimeTimer() override;
  void myPortTriggerLineError(TObject* CP, Word Error, bool LineBreak);

  // Blocks sent in the current attempt.
  Integer BlockCount() const { return blockCount_; }

  // The data bytes of the block at radio address Address.
  static std::array<Byte, RadioBlockSize> BlockData(Integer Address);

protected:
  void HandleReply() override;

private:
  bool OpenRadioPort();
  void StartWrite();
  void HandleBlock();
  TIdentMatch CheckIdent() const;
  // Stamps the write time and starts the block transfer.
  void BeginTransfer();

  Integer blockCount_ = 0;
};
