// Exceptions of the serial component and the mapping from result codes to them.
#pragma once

#include "platform/rtl/SysUtils.h"

class TComponent;

// The result codes the component produces itself: 0 success, negative failure. MessageText gives their
// texts, RaiseSioError the class each one raises. The negated system errors (-2 file not found, -5 access
// denied, ...) are the other failures the device layer passes on.
inline constexpr Integer ecBadArgument = -1002;
inline constexpr Integer ecBadId = -2001;            // no such port
inline constexpr Integer ecCommNotOpen = -2007;
inline constexpr Integer ecAlreadyOpen = -2008;      // held by another program
inline constexpr Integer ecNoPortSelected = -2011;   // no port number, and none chosen
inline constexpr Integer ecNotOpenedByTapi = -2012;
inline constexpr Integer ecNullApi = -3001;          // no device layer
inline constexpr Integer ecPutBlockFail = -3004;     // the block was not queued entirely
inline constexpr Integer ecOutputBufferTooSmall = -3006;
inline constexpr Integer ecBufferIsEmpty = -3007;

class ESIOException : public Exception {
public:
  // CreateWithCode: ErrorCode := code, message := MessageText(|code|).
  explicit ESIOException(Integer code);
  // CreateWithText: ErrorCode := 0, message := message.
  explicit ESIOException(const String& message);
  explicit ESIOException(const char* message) : ESIOException(String(message)) {}
  const char* ClassName() const noexcept override { return "ESIOException"; }

  Integer ErrorCode;
};


K58_DECLARE_EXCEPTION(EGeneral, ESIOException);
K58_DECLARE_EXCEPTION(EBadArgument, EGeneral);
K58_DECLARE_EXCEPTION(EGotQuitMsg, EGeneral);
K58_DECLARE_EXCEPTION(EBufferTooBig, EGeneral);
K58_DECLARE_EXCEPTION(EPortNotAssigned, EGeneral);
K58_DECLARE_EXCEPTION(EInternal, EGeneral);
K58_DECLARE_EXCEPTION(EModemNotAssigned, EGeneral);
K58_DECLARE_EXCEPTION(EPhonebookNotAssigned, EGeneral);
K58_DECLARE_EXCEPTION(ECannotUseWithWinSock, EGeneral);

K58_DECLARE_EXCEPTION(EOpenComm, ESIOException);
K58_DECLARE_EXCEPTION(EBadId, EOpenComm);
K58_DECLARE_EXCEPTION(EBaudRate, EOpenComm);
K58_DECLARE_EXCEPTION(EByteSize, EOpenComm);
K58_DECLARE_EXCEPTION(EDefault, EOpenComm);
K58_DECLARE_EXCEPTION(EHardware, EOpenComm);
K58_DECLARE_EXCEPTION(EMemory, EOpenComm);
K58_DECLARE_EXCEPTION(ECommNotOpen, EOpenComm);
K58_DECLARE_EXCEPTION(EAlreadyOpen, EOpenComm);
K58_DECLARE_EXCEPTION(ENoHandles, EOpenComm);
K58_DECLARE_EXCEPTION(ENoTimers, EOpenComm);
K58_DECLARE_EXCEPTION(ENoPortSelected, EOpenComm);
K58_DECLARE_EXCEPTION(ENotOpenedByTapi, EOpenComm);

K58_DECLARE_EXCEPTION(ESerialIO, ESIOException);
K58_DECLARE_EXCEPTION(ENullApi, ESerialIO);
K58_DECLARE_EXCEPTION(ERegisterHandlerFailed, ESerialIO);
K58_DECLARE_EXCEPTION(EPutBlockFail, ESerialIO);
K58_DECLARE_EXCEPTION(EGetBlockFail, ESerialIO);
K58_DECLARE_EXCEPTION(EOutputBufferTooSmall, ESerialIO);
K58_DECLARE_EXCEPTION(EBufferIsEmpty, ESerialIO);
K58_DECLARE_EXCEPTION(ETracingNotEnabled, ESerialIO);
K58_DECLARE_EXCEPTION(ELoggingNotEnabled, ESerialIO);
K58_DECLARE_EXCEPTION(EBaseAddressNotSet, ESerialIO);

K58_DECLARE_EXCEPTION(EModem, ESIOException);
K58_DECLARE_EXCEPTION(EModemNotStarted, EModem);
K58_DECLARE_EXCEPTION(EModemBusy, EModem);
K58_DECLARE_EXCEPTION(EModemNotDialing, EModem);
K58_DECLARE_EXCEPTION(EModemNotResponding, EModem);
K58_DECLARE_EXCEPTION(EModemRejectedCommand, EModem);
K58_DECLARE_EXCEPTION(EModemStatusMismatch, EModem);
K58_DECLARE_EXCEPTION(EAlreadyDialing, EModem);
K58_DECLARE_EXCEPTION(ENotDialing, EModem);

K58_DECLARE_EXCEPTION(ETrigger, ESIOException);
K58_DECLARE_EXCEPTION(ENoMoreTriggers, ETrigger);
K58_DECLARE_EXCEPTION(ETriggerTooLong, ETrigger);
K58_DECLARE_EXCEPTION(EBadTriggerHandle, ETrigger);

K58_DECLARE_EXCEPTION(EProtocol, ESIOException);

K58_DECLARE_EXCEPTION(EINI, ESIOException);
K58_DECLARE_EXCEPTION(EKeyTooLong, EINI);
K58_DECLARE_EXCEPTION(EDataTooLarge, EINI);
K58_DECLARE_EXCEPTION(EIniWrite, EINI);
K58_DECLARE_EXCEPTION(EIniRead, EINI);
K58_DECLARE_EXCEPTION(ERecordExists, EINI);
K58_DECLARE_EXCEPTION(ERecordNotFound, EINI);
K58_DECLARE_EXCEPTION(EDatabaseFull, EINI);
K58_DECLARE_EXCEPTION(EDatabaseEmpty, EINI);
K58_DECLARE_EXCEPTION(EBadFieldList, EINI);
K58_DECLARE_EXCEPTION(EBadFieldForIndex, EINI);

K58_DECLARE_EXCEPTION(EFax, ESIOException);
K58_DECLARE_EXCEPTION(EFaxBadFormat, EFax);
K58_DECLARE_EXCEPTION(EBadGraphicsFormat, EFax);
K58_DECLARE_EXCEPTION(EConvertAbort, EFax);
K58_DECLARE_EXCEPTION(EUnpackAbort, EFax);
K58_DECLARE_EXCEPTION(ECantMakeBitmap, EFax);
K58_DECLARE_EXCEPTION(EInvalidPageNumber, EFax);
K58_DECLARE_EXCEPTION(EFaxBadMachine, EFax);
K58_DECLARE_EXCEPTION(EFaxBadModemResult, EFax);
K58_DECLARE_EXCEPTION(EFaxTrainError, EFax);
K58_DECLARE_EXCEPTION(EFaxInitError, EFax);
K58_DECLARE_EXCEPTION(EFaxBusy, EFax);
K58_DECLARE_EXCEPTION(EFaxVoiceCall, EFax);
K58_DECLARE_EXCEPTION(EFaxDataCall, EFax);
K58_DECLARE_EXCEPTION(EFaxNoDialTone, EFax);
K58_DECLARE_EXCEPTION(EFaxNoCarrier, EFax);
K58_DECLARE_EXCEPTION(EFaxSessionError, EFax);
K58_DECLARE_EXCEPTION(EFaxPageError, EFax);

K58_DECLARE_EXCEPTION(ETapi, ESIOException);
K58_DECLARE_EXCEPTION(ETapiAllocated, ETapi);
K58_DECLARE_EXCEPTION(ETapiBadDeviceID, ETapi);
K58_DECLARE_EXCEPTION(ETapiBearerModeUnavail, ETapi);
K58_DECLARE_EXCEPTION(ETapiCallUnavail, ETapi);
K58_DECLARE_EXCEPTION(ETapiCompletionOverrun, ETapi);
K58_DECLARE_EXCEPTION(ETapiConferenceFull, ETapi);
K58_DECLARE_EXCEPTION(ETapiDialBilling, ETapi);
K58_DECLARE_EXCEPTION(ETapiDialDialtone, ETapi);
K58_DECLARE_EXCEPTION(ETapiDialPrompt, ETapi);
K58_DECLARE_EXCEPTION(ETapiDialQuiet, ETapi);
K58_DECLARE_EXCEPTION(ETapiIncompatibleApiVersion, ETapi);
K58_DECLARE_EXCEPTION(ETapiIncompatibleExtVersion, ETapi);
K58_DECLARE_EXCEPTION(ETapiIniFileCorrupt, ETapi);
K58_DECLARE_EXCEPTION(ETapiInUse, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAddress, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAddressID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAddressMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAddressState, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAppHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalAppName, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalBearerMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallComplMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallParams, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallPrivilege, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallSelect, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallState, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCallStatelist, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCard, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCompletionID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalConfCallHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalConsultCallHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalCountryCode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDeviceClass, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDeviceHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDialParams, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDigitList, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDigitMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalDigits, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalExtVersion, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalGroupID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalLineHandle, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalLineState, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalLocation, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalMediaList, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalMediaMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalMessageID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalParam, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalParkID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalParkMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalPointer, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalPrivSelect, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalRate, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalRequestMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalTerminalID, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalTerminalMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalTimeout, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalTone, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalToneList, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalToneMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalTransferMode, ETapi);
K58_DECLARE_EXCEPTION(ETapiLineMapperFailed, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoConference, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoDevice, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoDriver, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoMem, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoRequest, ETapi);
K58_DECLARE_EXCEPTION(ETapiNotOwner, ETapi);
K58_DECLARE_EXCEPTION(ETapiNotRegistered, ETapi);
K58_DECLARE_EXCEPTION(ETapiOperationFailed, ETapi);
K58_DECLARE_EXCEPTION(ETapiOperationUnavail, ETapi);
K58_DECLARE_EXCEPTION(ETapiRateUnavail, ETapi);
K58_DECLARE_EXCEPTION(ETapiResourceUnavail, ETapi);
K58_DECLARE_EXCEPTION(ETapiRequestOverrun, ETapi);
K58_DECLARE_EXCEPTION(ETapiStructureTooSmall, ETapi);
K58_DECLARE_EXCEPTION(ETapiTargetNotFound, ETapi);
K58_DECLARE_EXCEPTION(ETapiTargetSelf, ETapi);
K58_DECLARE_EXCEPTION(ETapiUninitialized, ETapi);
K58_DECLARE_EXCEPTION(ETapiUserUserInfoTooBig, ETapi);
K58_DECLARE_EXCEPTION(ETapiReinit, ETapi);
K58_DECLARE_EXCEPTION(ETapiAddressBlocked, ETapi);
K58_DECLARE_EXCEPTION(ETapiBillingRejected, ETapi);
K58_DECLARE_EXCEPTION(ETapiInvalFeature, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoMultipleInstance, ETapi);
K58_DECLARE_EXCEPTION(ETapiBusy, ETapi);
K58_DECLARE_EXCEPTION(ETapiNotSet, ETapi);
K58_DECLARE_EXCEPTION(ETapiNoSelect, ETapi);
K58_DECLARE_EXCEPTION(ETapiLoadFail, ETapi);
K58_DECLARE_EXCEPTION(ETapiGetAddrFail, ETapi);
K58_DECLARE_EXCEPTION(ETapiVoiceNotSupported, ETapi);
K58_DECLARE_EXCEPTION(ETapiWaveFail, ETapi);
K58_DECLARE_EXCEPTION(ETapiTranslateFail, ETapi);

K58_DECLARE_EXCEPTION(ERas, ESIOException);
K58_DECLARE_EXCEPTION(ERasLoadFail, ERas);


// Raises the exception class that code maps to: the families above, EInOutError for -2..-162 (with the
// positive number as its ErrorCode), EOutOfMemory for -8, and ESIOException "Serl exception" for any other
// negative code. Codes >= 0 do not raise.
void RaiseSioError(Integer code);

// Returns code when it is >= 0, or while port (may be null) is being loaded from a form resource; raises
// the mapped exception otherwise.
Integer RaiseIfError(TComponent* port, Integer code);
