// The text properties and editor with a chosen text mode, described for the class registry.
#include "platform/classes/ClassBuilder.h"
#include "tests/controls/editors/TextEditTesting.h"

K58_IMPLEMENT_CLASS(TTestModeTextProperties) {}
K58_IMPLEMENT_CLASS(TTestModeTextEdit) {}
