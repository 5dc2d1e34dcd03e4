// Docking of controls onto a windowed control: dropping, the drag-over answer and undocking.
#include "platform/forms/Controls.h"
#include "platform/forms/ControlsInternal.h"

using namespace k58::forms;

// A control dropped on a dock site is docked there (CM_DOCKCLIENT, with the screen point), then the site's
// OnDockDrop hears of it.
void TWinControl::DockDrop(TDragDockObject* Source, Integer X, Integer Y) {
  TPoint screen = ClientToScreen(TPoint{X, Y});
  Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(Source), PointToLParam(screen));
  onDockDrop_(this, Source, X, Y);
}

void TWinControl::DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = true;
  onDockOver_(this, Source, X, Y, State, Accept);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
  bool allow = true;
  onUnDock_(this, Client, NewTarget, allow);
  if (allow) Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(NewTarget), reinterpret_cast<LPARAM>(Client));
  return allow;
}

void TWinControl::GetSiteInfo(TControl* /*Client*/, TRect& InfluenceRect, TPoint /*MousePos*/, bool& CanDock) {
  RECT r{};
  if (HandleAllocated()) ::GetWindowRect(Handle(), &r);
  InfluenceRect = r;
  CanDock = true;
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& /*ARect*/) { Client->SetParent(this); }

void TWinControl::CMDockClient(TMessage& Message) {
  auto* source = reinterpret_cast<TDragDockObject*>(Message.WParam);
  if (source == nullptr || source->Control() == nullptr) return;
  TControl* client = source->Control();
  TPoint pt = ScreenToClient(LParamToPoint(Message.LParam));
  client->ManualDock(this, source->DropOnControl(), source->DropAlign());
  (void)pt;
  Message.Result = 1;
}

void TWinControl::CMUnDockClient(TMessage& Message) {
  auto* client = reinterpret_cast<TControl*>(Message.LParam);
  if (client != nullptr && client->Align() != alNone) client->SetAlign(alNone);
  Message.Result = 1;
}
