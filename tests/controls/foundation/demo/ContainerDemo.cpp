// A small desktop program for looking at the container and the library popup: a form with a container
// hosting an inner list box, and a non-activating popup with a list of its own opened beside it. A
// click elsewhere or a switch to another application closes the popup; F4 in the list opens it again.
//
//   container_demo           prints "ready" once the windows are shown, "closed" when the popup closes
#include <cstdio>
#include <string>

#include "controls/foundation/Foundation.h"
#include "controls/foundation/uiInnerListBox.h"
#include "controls/foundation/uiPopupWindow.h"
#include "platform/forms/Forms.h"

namespace {

TuiCustomInnerListBox* NewList(TWinControl* AParent, TuiContainer* AContainer, const char* APrefix, int ACount) {
  auto* list = NewObject<TuiCustomInnerListBox>(AParent);
  list->SetParent(AParent);
  list->SetContainer(AContainer);
  for (int i = 1; i <= ACount; ++i) list->Items()->Add(std::string(APrefix) + " " + std::to_string(i));
  return list;
}

void Say(const char* AText) {
  std::printf("%s\n", AText);
  std::fflush(stdout);
}

}  // namespace

int main() {
  try {
    Application->Initialize();
    k58::foundation::StartUnits();
    auto* form = NewObject<TForm>(nullptr, 0);
    form->SetCaption("Container and popup");
    form->SetBounds(60, 60, 460, 300);

    auto* container = NewObject<TuiContainer>(form);
    container->SetBounds(20, 20, 180, 200);
    container->SetParent(form);
    container->Style()->SetBorderStyle(cbsSingle);
    container->Style()->SetTransparentBorder(false);
    TuiCustomInnerListBox* channels = NewList(container, container, "Channel", 40);
    container->SetInnerControl(channels);

    auto* popup = NewObject<TuiCustomPopupWindow>(container);
    popup->SetTakeFocus(false);
    popup->SetDirection(pdHorizontal);
    popup->SetAlignHorz(palAfter);
    popup->SetAlignVert(palBefore);
    popup->SetPopupBorderStyle(1);
    popup->Style()->SetBorderStyle(cbsSingle);
    popup->Style()->SetBorderColor(clWindowText);
    popup->SetOwnerParent(form);
    popup->SetOwnerBounds(container->BoundsRect());
    TuiCustomInnerListBox* tones = NewList(popup, nullptr, "Tone", 8);
    tones->SetBounds(0, 0, 140, 130);
    popup->SetOnClosed([](TObject*) { Say("closed"); });
    channels->SetOnKeyDown([&](TObject*, Word& Key, TShiftState) {
      if (Key == VK_F4) popup->PopupForControl(channels);
    });

    form->Show();
    container->RefreshAtPoint(TPoint{-1, -1}, 0, {}, false);
    channels->SetFocus();
    channels->SetItemIndex(2);
    popup->PopupForControl(channels);
    Application->ProcessMessages();
    Say("ready");
    while (form->Visible() && !Application->Terminated()) Application->HandleMessage();
    FreeObject(popup);
    FreeObject(form);
    k58::foundation::StopUnits();
  } catch (const Exception& E) {
    std::fprintf(stderr, "container_demo: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
