// A small desktop program for looking at the bars and the tree: a form with the navigation tree, a
// progress bar that a timer fills block by block like a radio transfer, bars in the other styles, and
// a track bar with numbers; the arrow keys move the track bar's thumb.
//
//   bars_demo           prints "ready" once the form is shown
#include <cstdio>
#include <string>

#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "controls/extra/uiTreeView.h"
#include "platform/forms/Timers.h"
#include "platform/forms/Forms.h"

int main() {
  try {
    Application->Initialize();
    k58::editors::StartUnits();
    k58::extra::StartProgressBarUnit();
    k58::extra::StartTrackBarUnit();
    auto* form = NewObject<TForm>(nullptr, 0);
    form->SetCaption("Bars and tree");
    form->SetBounds(40, 40, 620, 420);

    auto* tree = NewObject<TuiTreeView>(form);
    tree->SetBounds(10, 10, 180, 360);
    tree->SetParent(form);
    tree->SetReadOnly(true);
    tree->Items()->Add(nullptr, "Radio Information");
    TTreeNode* channels = tree->Items()->Add(nullptr, "Channel Information");
    for (int i = 1; i <= 16; ++i) tree->Items()->AddChild(channels, "Channel " + std::to_string(i));
    tree->Items()->Add(nullptr, "Function");
    tree->ExpandAll();

    const TuiProgressBarBarStyle styles[] = {uibsSolid, uibsLEDs, uibsGradient, uibsGradientLEDs};
    TuiProgressBar* transfer = nullptr;
    for (int i = 0; i < 4; ++i) {
      auto* bar = NewObject<TuiProgressBar>(form);
      bar->SetAutoSize(false);
      bar->SetBounds(210, 10 + 34 * i, 325, 24);
      bar->SetParent(form);
      bar->Style()->SetBorderStyle(cbs3D);
      bar->Properties()->SetBarStyle(styles[i]);
      bar->Properties()->SetShowOverload(i == 1);
      bar->Properties()->SetShowPeak(i == 2);
      bar->Properties()->SetMax(44);
      if (i == 0) transfer = bar;
      bar->SetPosition(10 * (i + 1));
    }
    auto* vertical = NewObject<TuiProgressBar>(form);
    vertical->SetAutoSize(false);
    vertical->SetBounds(550, 10, 30, 150);
    vertical->SetParent(form);
    vertical->Style()->SetBorderStyle(cbs3D);
    vertical->Properties()->SetOrientation(uiorVertical);
    vertical->Properties()->SetBarStyle(uibsGradientLEDs);
    vertical->SetPosition(65);

    auto* track = NewObject<TuiTrackBar>(form);
    track->SetBounds(210, 160, 325, 76);
    track->SetParent(form);
    track->Properties()->SetMax(20);
    track->Properties()->SetFrequency(5);
    track->Properties()->SetTickType(tbttNumbers);
    track->Properties()->SetTickMarks(uitmBoth);
    track->SetPosition(7);
    auto* pointed = NewObject<TuiTrackBar>(form);
    pointed->SetBounds(210, 250, 325, 76);
    pointed->SetParent(form);
    pointed->SetPosition(3);
    pointed->Properties()->SetSelectionStart(2);
    pointed->Properties()->SetSelectionEnd(6);

    // A transfer: one block every 100 ms, 44 blocks, as the read and write dialogs do.
    auto* timer = NewObject<TTimer>(form);
    timer->SetInterval(100);
    transfer->SetPosition(0);
    timer->SetOnTimer([&](TObject*) {
      transfer->SetPosition(transfer->Position() + 1);
      if (transfer->Position() >= 44) transfer->SetPosition(0);
    });

    form->Show();
    track->SetFocus();
    Application->ProcessMessages();
    std::printf("ready\n");
    std::fflush(stdout);
    while (form->Visible() && !Application->Terminated()) Application->HandleMessage();
    FreeObject(form);
    k58::extra::StopTrackBarUnit();
    k58::extra::StopProgressBarUnit();
    k58::editors::StopUnits();
  } catch (const Exception& E) {
    std::fprintf(stderr, "bars_demo: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
