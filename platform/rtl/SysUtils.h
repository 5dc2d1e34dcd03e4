// The run-time library in one include: types, exceptions, strings and code pages, locale settings,
// number and date conversion and formatting, rounding, file names and text files.
#pragma once

#include "platform/rtl/CodePages.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/RtlMath.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/TextFile.h"
#include "platform/rtl/Types.h"
