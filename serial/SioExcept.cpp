#include "serial/SioExcept.h"

#include <cstdlib>

#include "platform/classes/Component.h"
#include "serial/SioStrMap.h"

ESIOException::ESIOException(Integer code) : Exception(MessageText(std::abs(code))), ErrorCode(code) {}

ESIOException::ESIOException(const String& message) : Exception(message), ErrorCode(0) {}

namespace {

using Thrower = void (*)(Integer code);

template <class E>
[[noreturn]] void Throw(Integer code) {
  throw E(code);
}

struct Mapped {
  Integer code;
  Thrower raise;
};

// Codes with a class of their own.
const Mapped kMap[] = {
    {-1002, Throw<EBadArgument>},        {-1003, Throw<EGotQuitMsg>},
    {-1004, Throw<EBufferTooBig>},       {-1005, Throw<EPortNotAssigned>},
    {-1006, Throw<EInternal>},           {-1007, Throw<EModemNotAssigned>},
    {-1008, Throw<EPhonebookNotAssigned>}, {-1009, Throw<ECannotUseWithWinSock>},
    {-7003, Throw<EInternal>},           {-7006, Throw<EInternal>},
    {-7012, Throw<EInternal>},
    {-2001, Throw<EBadId>},              {-2002, Throw<EBaudRate>},
    {-2003, Throw<EByteSize>},           {-2004, Throw<EDefault>},
    {-2005, Throw<EHardware>},           {-2006, Throw<EMemory>},
    {-2007, Throw<ECommNotOpen>},        {-2008, Throw<EAlreadyOpen>},
    {-2009, Throw<ENoHandles>},          {-2010, Throw<ENoTimers>},
    {-2011, Throw<ENoPortSelected>},     {-2012, Throw<ENotOpenedByTapi>},
    {-3001, Throw<ENullApi>},            {-3003, Throw<ERegisterHandlerFailed>},
    {-3004, Throw<EPutBlockFail>},       {-3005, Throw<EGetBlockFail>},
    {-3006, Throw<EOutputBufferTooSmall>}, {-3007, Throw<EBufferIsEmpty>},
    {-3008, Throw<ETracingNotEnabled>},  {-3009, Throw<ELoggingNotEnabled>},
    {-3010, Throw<EBaseAddressNotSet>},
    {-4001, Throw<EModemNotStarted>},    {-4002, Throw<EModemBusy>},
    {-4003, Throw<EModemNotDialing>},    {-4004, Throw<ENotDialing>},
    {-4005, Throw<EAlreadyDialing>},     {-4006, Throw<EModemNotResponding>},
    {-4007, Throw<EModemRejectedCommand>}, {-4008, Throw<EModemStatusMismatch>},
    {-5001, Throw<ENoMoreTriggers>},     {-5002, Throw<ETriggerTooLong>},
    {-5003, Throw<EBadTriggerHandle>},
    {-6006, Throw<EProtocol>},           {-6008, Throw<EProtocol>},
    {-6009, Throw<EProtocol>},
    {-7001, Throw<EKeyTooLong>},         {-7002, Throw<EDataTooLarge>},
    {-7004, Throw<EIniWrite>},           {-7005, Throw<EIniRead>},
    {-7007, Throw<ERecordExists>},       {-7008, Throw<ERecordNotFound>},
    {-7010, Throw<EDatabaseFull>},       {-7011, Throw<EDatabaseEmpty>},
    {-7013, Throw<EBadFieldList>},       {-7014, Throw<EBadFieldForIndex>},
    {-8001, Throw<EFaxBadFormat>},       {-8002, Throw<EBadGraphicsFormat>},
    {-8003, Throw<EConvertAbort>},       {-8004, Throw<EUnpackAbort>},
    {-8005, Throw<ECantMakeBitmap>},     {-8053, Throw<EInvalidPageNumber>},
    {-8060, Throw<EFaxBadMachine>},      {-8061, Throw<EFaxBadModemResult>},
    {-8062, Throw<EFaxTrainError>},      {-8063, Throw<EFaxInitError>},
    {-8064, Throw<EFaxBusy>},            {-8065, Throw<EFaxVoiceCall>},
    {-8066, Throw<EFaxDataCall>},        {-8067, Throw<EFaxNoDialTone>},
    {-8068, Throw<EFaxNoCarrier>},       {-8069, Throw<EFaxSessionError>},
    {-8070, Throw<EFaxPageError>},
    {-13980, Throw<ERasLoadFail>},
};

// The telephony classes in declaration order take these codes in order.
const Thrower kTapiClasses[] = {
    Throw<ETapiAllocated>, Throw<ETapiBadDeviceID>, Throw<ETapiBearerModeUnavail>, Throw<ETapiCallUnavail>,
    Throw<ETapiCompletionOverrun>, Throw<ETapiConferenceFull>, Throw<ETapiDialBilling>, Throw<ETapiDialDialtone>,
    Throw<ETapiDialPrompt>, Throw<ETapiDialQuiet>, Throw<ETapiIncompatibleApiVersion>,
    Throw<ETapiIncompatibleExtVersion>, Throw<ETapiIniFileCorrupt>, Throw<ETapiInUse>, Throw<ETapiInvalAddress>,
    Throw<ETapiInvalAddressID>, Throw<ETapiInvalAddressMode>, Throw<ETapiInvalAddressState>,
    Throw<ETapiInvalAppHandle>, Throw<ETapiInvalAppName>, Throw<ETapiInvalBearerMode>,
    Throw<ETapiInvalCallComplMode>, Throw<ETapiInvalCallHandle>, Throw<ETapiInvalCallParams>,
    Throw<ETapiInvalCallPrivilege>, Throw<ETapiInvalCallSelect>, Throw<ETapiInvalCallState>,
    Throw<ETapiInvalCallStatelist>, Throw<ETapiInvalCard>, Throw<ETapiInvalCompletionID>,
    Throw<ETapiInvalConfCallHandle>, Throw<ETapiInvalConsultCallHandle>, Throw<ETapiInvalCountryCode>,
    Throw<ETapiInvalDeviceClass>, Throw<ETapiInvalDeviceHandle>, Throw<ETapiInvalDialParams>,
    Throw<ETapiInvalDigitList>, Throw<ETapiInvalDigitMode>, Throw<ETapiInvalDigits>, Throw<ETapiInvalExtVersion>,
    Throw<ETapiInvalGroupID>, Throw<ETapiInvalLineHandle>, Throw<ETapiInvalLineState>, Throw<ETapiInvalLocation>,
    Throw<ETapiInvalMediaList>, Throw<ETapiInvalMediaMode>, Throw<ETapiInvalMessageID>, Throw<ETapiInvalParam>,
    Throw<ETapiInvalParkID>, Throw<ETapiInvalParkMode>, Throw<ETapiInvalPointer>, Throw<ETapiInvalPrivSelect>,
    Throw<ETapiInvalRate>, Throw<ETapiInvalRequestMode>, Throw<ETapiInvalTerminalID>,
    Throw<ETapiInvalTerminalMode>, Throw<ETapiInvalTimeout>, Throw<ETapiInvalTone>, Throw<ETapiInvalToneList>,
    Throw<ETapiInvalToneMode>, Throw<ETapiInvalTransferMode>, Throw<ETapiLineMapperFailed>,
    Throw<ETapiNoConference>, Throw<ETapiNoDevice>, Throw<ETapiNoDriver>, Throw<ETapiNoMem>,
    Throw<ETapiNoRequest>, Throw<ETapiNotOwner>, Throw<ETapiNotRegistered>, Throw<ETapiOperationFailed>,
    Throw<ETapiOperationUnavail>, Throw<ETapiRateUnavail>, Throw<ETapiResourceUnavail>,
    Throw<ETapiRequestOverrun>, Throw<ETapiStructureTooSmall>, Throw<ETapiTargetNotFound>,
    Throw<ETapiTargetSelf>, Throw<ETapiUninitialized>, Throw<ETapiUserUserInfoTooBig>, Throw<ETapiReinit>,
    Throw<ETapiAddressBlocked>, Throw<ETapiBillingRejected>, Throw<ETapiInvalFeature>,
    Throw<ETapiNoMultipleInstance>, Throw<ETapiBusy>, Throw<ETapiNotSet>, Throw<ETapiNoSelect>,
    Throw<ETapiLoadFail>, Throw<ETapiGetAddrFail>, Throw<ETapiVoiceNotSupported>, Throw<ETapiWaveFail>,
    Throw<ETapiTranslateFail>,
};
static_assert(sizeof kTapiClasses / sizeof kTapiClasses[0] == 92);

// Position of code among the telephony codes, or -1.
int TapiIndex(Integer code) {
  const Integer c = -code;
  if (c >= 13801 && c <= 13803) return c - 13801;
  if (c >= 13805 && c <= 13848) return 3 + (c - 13805);
  if (c >= 13850 && c <= 13886) return 47 + (c - 13850);
  if (c >= 13928 && c <= 13932) return 84 + (c - 13928);
  if (c == 13935) return 89;
  if (c == 13936) return 90;
  if (c == 13942) return 91;
  return -1;
}

}  // namespace

void RaiseSioError(Integer code) {
  if (code >= 0) return;
  for (const Mapped& m : kMap)
    if (m.code == code) m.raise(code);
  if (const int i = TapiIndex(code); i >= 0) kTapiClasses[i](code);
  if (code == -8) OutOfMemoryError();
  if (code <= -2 && code >= -162) throw EInOutError(MessageText(-code), -code);
  throw ESIOException("Serl exception");
}

Integer RaiseIfError(TComponent* port, Integer code) {
  if (code >= 0) return code;
  if (port != nullptr && port->ComponentState().Contains(csLoading)) return code;
  RaiseSioError(code);
  return code;
}
