// The parts both protocols share: the one-shot timers, the handling of data-available notifications and
// the port number.
#include <gtest/gtest.h>

#include "app/ReadRadio.h"
#include "tests/app/RadioLinkFakes.h"

using namespace radiotest;
