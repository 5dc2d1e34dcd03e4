// Hook chains: installation, calling a chain for the calling thread, and passing on to the next hook.
#include <algorithm>
#include <atomic>

#include "platform/win/core/CoreInternal.h"

namespace k58::wincore {

namespace {

// Hook kinds the layer calls; other kinds are refused rather than installed and never called.
bool IsSupportedKind(int Kind) {
  return Kind == WH_KEYBOARD || Kind == WH_GETMESSAGE || Kind == WH_CALLWNDPROC || Kind == WH_MOUSE ||
         Kind == WH_CALLWNDPROCRET;
}

// Installed hooks per kind (index Kind + 1), so that a message finds out without locking that no
// chain is to be called.
std::atomic<int> HookCounts[WH_MOUSE_LL + 2];

std::atomic<int>& CountOf(int Kind) { return HookCounts[Kind + 1]; }

// One running chain of the calling thread: the hooks it was built from and the one running now.
struct HookFrame {
  int Kind = 0;
  std::vector<std::shared_ptr<HookRecord>> Chain;
  size_t Position = 0;
};

thread_local std::vector<HookFrame*> Frames;

// Hooks for the thread first, then those for every thread; the latest installed first in each group.
std::vector<std::shared_ptr<HookRecord>> BuildChain(int Kind, DWORD ThreadId) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  std::vector<std::shared_ptr<HookRecord>> Chain;
  auto& Hooks = Core().Hooks;
  for (auto It = Hooks.rbegin(); It != Hooks.rend(); ++It)
    if ((*It)->Kind == Kind && (*It)->ThreadId == ThreadId) Chain.push_back(*It);
  for (auto It = Hooks.rbegin(); It != Hooks.rend(); ++It)
    if ((*It)->Kind == Kind && (*It)->ThreadId == 0) Chain.push_back(*It);
  return Chain;
}

bool IsAlive(const HookRecord& R) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  return R.Alive;
}

// Calls the first live hook of the frame's chain at or after Start.
LRESULT CallFrom(HookFrame& Frame, size_t Start, int Code, WPARAM WParam, LPARAM LParam) {
  for (size_t I = Start; I < Frame.Chain.size(); ++I) {
    if (!IsAlive(*Frame.Chain[I])) continue;
    size_t Saved = Frame.Position;
    Frame.Position = I;
    struct Restore {
      HookFrame& F;
      size_t P;
      ~Restore() { F.Position = P; }
    } R{Frame, Saved};
    return Frame.Chain[I]->Proc(Code, WParam, LParam);
  }
  return 0;
}

struct FrameScope {
  explicit FrameScope(HookFrame& F) { Frames.push_back(&F); }
  ~FrameScope() { Frames.pop_back(); }
};

}  // namespace

bool HasHooks(int Kind) { return Kind >= WH_MSGFILTER && Kind <= WH_MOUSE_LL && CountOf(Kind).load() > 0; }

LRESULT CallHooks(int Kind, int Code, WPARAM WParam, LPARAM LParam) {
  if (!HasHooks(Kind)) return 0;
  HookFrame Frame;
  Frame.Kind = Kind;
  Frame.Chain = BuildChain(Kind, GetCurrentThreadId());
  if (Frame.Chain.empty()) return 0;
  FrameScope Scope(Frame);
  return CallFrom(Frame, 0, Code, WParam, LParam);
}

void RemoveThreadHooksLocked(DWORD ThreadId) {
  auto& Hooks = Core().Hooks;
  for (auto& H : Hooks)
    if (H->ThreadId == ThreadId) {
      H->Alive = false;
      --CountOf(H->Kind);
    }
  Hooks.erase(std::remove_if(Hooks.begin(), Hooks.end(), [](const auto& H) { return !H->Alive; }), Hooks.end());
}

}  // namespace k58::wincore

using namespace k58::wincore;

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE /*hmod*/, DWORD dwThreadId) {
  if (!IsSupportedKind(idHook)) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!lpfn) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  auto R = std::make_shared<HookRecord>();
  R->Handle = reinterpret_cast<HHOOK>(S.NextHook);
  S.NextHook += 4;
  R->Kind = idHook;
  R->Proc = lpfn;
  R->ThreadId = dwThreadId;
  S.Hooks.push_back(R);
  ++CountOf(idHook);
  return R->Handle;
}

BOOL UnhookWindowsHookEx(HHOOK hhk) {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  auto It = std::find_if(S.Hooks.begin(), S.Hooks.end(), [hhk](const auto& H) { return H->Handle == hhk; });
  if (!hhk || It == S.Hooks.end()) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  // A chain that is running keeps the record but skips it from now on.
  (*It)->Alive = false;
  --CountOf((*It)->Kind);
  S.Hooks.erase(It);
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
  // The hook calling on is found in the innermost running chain that holds it; without a handle, the
  // innermost chain's running hook.
  for (auto F = Frames.rbegin(); F != Frames.rend(); ++F) {
    HookFrame& Frame = **F;
    if (!hhk) return CallFrom(Frame, Frame.Position + 1, nCode, wParam, lParam);
    for (size_t I = 0; I < Frame.Chain.size(); ++I)
      if (Frame.Chain[I]->Handle == hhk) return CallFrom(Frame, I + 1, nCode, wParam, lParam);
  }
  // Called outside of any chain: continue after the hook in its current chain.
  if (!hhk) return 0;
  int Kind = 0;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    auto& Hooks = Core().Hooks;
    auto It = std::find_if(Hooks.begin(), Hooks.end(), [hhk](const auto& H) { return H->Handle == hhk; });
    if (It == Hooks.end()) return 0;
    Kind = (*It)->Kind;
  }
  HookFrame Frame;
  Frame.Kind = Kind;
  Frame.Chain = BuildChain(Kind, GetCurrentThreadId());
  FrameScope Scope(Frame);
  for (size_t I = 0; I < Frame.Chain.size(); ++I)
    if (Frame.Chain[I]->Handle == hhk) return CallFrom(Frame, I + 1, nCode, wParam, lParam);
  return 0;
}
