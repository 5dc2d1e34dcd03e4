// The test properties classes and repository items, described for streaming.
#include "platform/classes/ClassBuilder.h"
#include "tests/controls/editors/EditTesting.h"

K58_IMPLEMENT_CLASS(TTestTextProperties) {
  using S = TTestTextProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("Buttons", &S::Buttons, &S::SetButtons);
  b.Prop("ClickKey", &S::ClickKey, &S::SetClickKey).Default(DefaultClickKey);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(false);
}
K58_IMPLEMENT_CLASS(TTestComboProperties) {}
K58_IMPLEMENT_CLASS(TTestCurrencyProperties) {}

K58_IMPLEMENT_CLASS(TTestTextRepositoryItem) {
  using S = TTestTextRepositoryItem;
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}
K58_IMPLEMENT_CLASS(TTestCurrencyRepositoryItem) {}
