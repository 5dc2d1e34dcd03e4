// The read and write protocols through the serial port component against the simulated radio on a
// pseudo-terminal, in real time.
#include <gtest/gtest.h>
