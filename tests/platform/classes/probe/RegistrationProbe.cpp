// A class of a library that no code of the test program refers to: the tests find it by name only, as
// the program finds the classes of its libraries.
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Persistent.h"

class TRegistrationProbe : public TPersistent {
  K58_CLASS(TRegistrationProbe, TPersistent)
};

K58_IMPLEMENT_CLASS(TRegistrationProbe) {}
