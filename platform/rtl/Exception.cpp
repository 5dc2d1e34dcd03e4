#include "platform/rtl/Exception.h"
