// The radio information and password windows: what they show of the image, what typing stores, and the
// new-password switch.
#include <gtest/gtest.h>

#include <cstring>

#include "app/AllClass.h"
#include "app/InfoMsg.h"
#include "app/MainFrm.h"
#include "app/MeMode.h"
#include "app/PassWord.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiTextEdit.h"
#include "tests/app/ProgramFixture.h"

namespace {

class RadioInfoWindows : public app_test::ProgramTest {
protected:
  void PutText(Integer Offset, const char* Bytes, Integer Count) { std::memcpy(&ALL->Image[Offset], Bytes, Count); }
  String ImageBytes(Integer Offset, Integer Count) const {
    return String(reinterpret_cast<const char*>(&ALL->Image[Offset]), Count);
  }
  // Types Text into Edit as a user does.
  void TypeInto(TuiTextEdit* Edit, const String& Text) {
    Edit->SetFocus();
    Pump();
    Display->Type(Text);
    Pump();
  }
};

TEST_F(RadioInfoWindows, TheInformationWindowShowsModelBandSerialAndWriteTime) {
  StartProgram();
  // The blank image: no serial number, and the time the image was made.
  fMainFrm->DoCommand(cmRadioInfo);
  ASSERT_NE(fInfoMsg, nullptr);
  EXPECT_EQ(fInfoMsg->FormStyle(), fsMDIChild);
  EXPECT_EQ(fInfoMsg->Left(), 20);
  EXPECT_EQ(fInfoMsg->uiModel->Text(), "K58(UHF)");
  EXPECT_EQ(fInfoMsg->uiFreq->Text(), "450 - 470MHz");
  EXPECT_EQ(fInfoMsg->uiSerial->Text(), String(16, ' '));
  EXPECT_EQ(fInfoMsg->uiRadioTime->Text(), FormatWriteTime(&ALL->Image[ofsWriteTime]));
  EXPECT_EQ(fInfoMsg->uiModel->Tag(), tagWindowLoaded);
  fInfoMsg->Close();
  Pump();
  EXPECT_EQ(fInfoMsg, nullptr);

  // Characters other than letters and digits show as blanks; an unset time as its bytes.
  PutText(ofsSerial, "K58-0042\x01zx 99AB", 16);
  std::fill_n(&ALL->Image[ofsWriteTime], 7, Byte{0xFF});
  fMainFrm->DoCommand(cmRadioInfo);
  EXPECT_EQ(fInfoMsg->uiSerial->Text(), "K58 0042 ZX 99AB");  // the editor shows upper case
  EXPECT_EQ(fInfoMsg->uiRadioTime->Text(), "65535-255-255 255:255:255");
  // A second command brings the same window forward.
  TfInfoMsg* First = fInfoMsg;
  fMainFrm->DoCommand(cmRadioInfo);
  EXPECT_EQ(fInfoMsg, First);
}

TEST_F(RadioInfoWindows, TheSerialNumberIsStoredOnlyWhereTheSettingsAllowEditingIt) {
  for (const bool Editable : {false, true}) {
    SCOPED_TRACE(Editable ? "editable" : "read-only");
    StartProgram();
    ALL->SerialEditable = Editable;
    ALL->Modified = false;
    fMainFrm->DoCommand(cmRadioInfo);
    ASSERT_NE(fInfoMsg, nullptr);
    EXPECT_EQ(fInfoMsg->uiSerial->Properties()->ReadOnly(), !Editable);
    EXPECT_EQ(fInfoMsg->uiSerial->Style()->Color(), Editable ? clWindow : clBtnFace);
    fInfoMsg->uiSerial->SetText("");
    TypeInto(fInfoMsg->uiSerial, "ab12cd34ef56gh78ij");
    if (Editable) {
      // Upper case, at most 16 characters, blank-padded in the image.
      EXPECT_EQ(fInfoMsg->uiSerial->Text(), "AB12CD34EF56GH78");
      EXPECT_EQ(ImageBytes(ofsSerial, 16), "AB12CD34EF56GH78");
      fInfoMsg->uiSerial->SetText("X7");
      EXPECT_EQ(ImageBytes(ofsSerial, 16), "X7" + String(14, ' '));
      EXPECT_TRUE(ALL->Modified);
    } else {
      EXPECT_EQ(ImageBytes(ofsSerial, 16), String(16, '\xFF'));
      EXPECT_FALSE(ALL->Modified);
    }
    StopProgram();
  }
}

TEST_F(RadioInfoWindows, ThePasswordWindowStoresBothTextsWithoutMarkingTheImageModified) {
  StartProgram();
  PutText(ofsPassword, "12 4\x05\xFF\xFF\xFF", 8);
  PutText(ofsNewPassword, "OLDNEW\xFF\xFF", 8);
  ALL->Modified = false;
  fMainFrm->DoCommand(cmPassword);
  ASSERT_NE(fPassWord, nullptr);
  EXPECT_EQ(fPassWord->uioPasd->Text(), "12 4");
  EXPECT_FALSE(fPassWord->cbNps->Checked());
  EXPECT_FALSE(fPassWord->uinPasd->Enabled());
  EXPECT_EQ(fPassWord->uinPasd->Text(), "");

  fPassWord->uioPasd->SetText("");
  TypeInto(fPassWord->uioPasd, "secret-pass");
  EXPECT_EQ(fPassWord->uioPasd->Text(), "secret-p");
  EXPECT_EQ(ImageBytes(ofsPassword, 8), "secret-p");
  fPassWord->uioPasd->SetText(" ab ");
  EXPECT_EQ(ImageBytes(ofsPassword, 8), "ab      ");
  // A character outside ASCII takes one byte, as a blank.
  fPassWord->uioPasd->SetText("密码12");
  EXPECT_EQ(ImageBytes(ofsPassword, 8), "  12    ");
  // The new password is not stored while the switch is off.
  EXPECT_EQ(ImageBytes(ofsNewPassword, 8), "OLDNEW\xFF\xFF");

  // Switched on: the window's (empty) new password is what the image holds, then what is typed.
  fPassWord->cbNps->SetChecked(true);
  EXPECT_TRUE(ALL->NewPasswordOn);
  EXPECT_TRUE(fPassWord->uinPasd->Enabled());
  EXPECT_EQ(ImageBytes(ofsNewPassword, 8), String(8, ' '));
  fPassWord->uinPasd->SetText("9876");
  EXPECT_EQ(ImageBytes(ofsNewPassword, 8), "9876    ");
  EXPECT_FALSE(ALL->Modified);

  // Reopened, the window shows the switch and the new password.
  fPassWord->Close();
  Pump();
  ASSERT_EQ(fPassWord, nullptr);
  fMainFrm->DoCommand(cmPassword);
  EXPECT_TRUE(fPassWord->cbNps->Checked());
  EXPECT_EQ(fPassWord->uinPasd->Text(), "9876");
  fPassWord->cbNps->SetChecked(false);
  EXPECT_FALSE(ALL->NewPasswordOn);
  EXPECT_FALSE(fPassWord->uinPasd->Enabled());
}

}  // namespace
