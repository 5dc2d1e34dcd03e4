// Window records: the tables, creation and destruction, window data, properties and text.
#include <algorithm>
#include <cstring>
#include <exception>
#include <unistd.h>

#include "platform/rtl/Utf.h"
#include "platform/win/core/CoreInternal.h"

namespace k58::wincore {

namespace {

std::atomic<WindowSystemExtension*> TheExtension{nullptr};

// The two roots of the window tree have no thread and no procedure of their own.
HWND AddRootLocked(CoreState& S, const char* ClassName) {
  auto C = std::make_shared<WindowClass>();
  C->Name = ClassName;
  auto W = std::make_shared<Window>();
  W->Handle = reinterpret_cast<HWND>(S.NextHandle);
  S.NextHandle += 2;
  W->Class = C;
  W->Style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  S.Windows[reinterpret_cast<uintptr_t>(W->Handle)] = W;
  return W->Handle;
}

void Unlink(CoreState& S, Window& W) {
  if (Window* P = FindWindowLocked(W.Parent)) {
    auto& C = P->Children;
    C.erase(std::remove(C.begin(), C.end(), W.Handle), C.end());
  }
  (void)S;
}

void LinkAt(Window& Parent, HWND Child, bool AtTop) {
  if (AtTop)
    Parent.Children.insert(Parent.Children.begin(), Child);
  else
    Parent.Children.push_back(Child);
}

// Removes W and its descendants from the tables; the records are handed to Dropped so that they are
// released after the lock.
void DropTreeLocked(CoreState& S, HWND Hwnd, std::vector<std::shared_ptr<Window>>& Dropped) {
  auto It = S.Windows.find(reinterpret_cast<uintptr_t>(Hwnd));
  if (It == S.Windows.end()) return;
  std::shared_ptr<Window> W = It->second;
  std::vector<HWND> Children = W->Children;
  for (HWND C : Children) DropTreeLocked(S, C, Dropped);
  Unlink(S, *W);
  for (auto& [Key, Other] : S.Windows)
    if (Other->Owner == Hwnd) Other->Owner = nullptr;
  if (W->Class) --W->Class->LiveWindows;
  if (W->Queue) PurgeWindowMessages(*W->Queue, Hwnd);
  S.Windows.erase(reinterpret_cast<uintptr_t>(Hwnd));
  Dropped.push_back(std::move(W));
}

// Slots that hold pointers; the 32-bit calls refuse them rather than cut a pointer in half.
bool IsPointerSlot(int Index) {
  return Index == GWLP_WNDPROC || Index == GWLP_HINSTANCE || Index == GWLP_HWNDPARENT || Index == GWLP_USERDATA;
}

Window* CheckWindowLocked(HWND Hwnd) {
  Window* W = FindWindowLocked(Hwnd);
  if (!W) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return W;
}

// Property key: names compare without case; atoms by number.
std::string PropKey(LPCSTR Name) {
  if (IsAtomName(Name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(Name));
  return Name ? k58::rtl::FoldCase(Name) : std::string();
}

// WM_PARENTNOTIFY goes up the chain of ancestors while the window in hand is a child that lets its
// parent know.
void NotifyParents(HWND Hwnd, WORD Event) {
  HWND Current = Hwnd;
  UINT_PTR Id = 0;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Hwnd);
    if (!W) return;
    Id = W->Id;
  }
  for (;;) {
    HWND Parent = nullptr;
    {
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Window* W = FindWindowLocked(Current);
      if (!W || !(W->Style & WS_CHILD) || (W->ExStyle & WS_EX_NOPARENTNOTIFY) || IsTopLevelLocked(*W) ||
          W->Parent == Core().MessageRoot)
        return;
      Parent = W->Parent;
    }
    SendMessage(Parent, WM_PARENTNOTIFY, MAKEWPARAM(Event, static_cast<WORD>(Id)), reinterpret_cast<LPARAM>(Hwnd));
    Current = Parent;
  }
}

// Hwnd is already marked as being destroyed.
void SendDestroyTree(HWND Hwnd) {
  SendMessage(Hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> Children;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Hwnd);
    if (!W) return;
    Children = W->Children;
  }
  for (HWND C : Children) {
    {
      // A child destroyed meanwhile, or being destroyed further up the stack, is left alone.
      std::lock_guard<std::mutex> Guard(Core().Lock);
      Window* W = FindWindowLocked(C);
      if (!W || W->Destroying) continue;
      W->Destroying = true;
    }
    SendDestroyTree(C);
  }
}

void FreeTree(HWND Hwnd) {
  std::vector<HWND> Children;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = FindWindowLocked(Hwnd);
    if (!W) return;
    W->Destroying = true;
    Children = W->Children;
  }
  for (auto It = Children.rbegin(); It != Children.rend(); ++It) FreeTree(*It);
  SendMessage(Hwnd, WM_NCDESTROY, 0, 0);
  if (WindowSystemExtension* X = Extension()) X->WindowDestroyed(Hwnd);
  std::vector<std::shared_ptr<Window>> Dropped;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    DropTreeLocked(Core(), Hwnd, Dropped);
  }
}

// The windows of the trees under Roots, children before their parents. Core().Lock must be held.
std::vector<HWND> BottomUpLocked(const std::vector<HWND>& Roots) {
  std::vector<HWND> Out;
  std::vector<std::pair<HWND, bool>> Stack;
  for (auto It = Roots.rbegin(); It != Roots.rend(); ++It) Stack.emplace_back(*It, false);
  while (!Stack.empty()) {
    auto [H, Expanded] = Stack.back();
    Stack.pop_back();
    Window* W = FindWindowLocked(H);
    if (!W) continue;
    if (Expanded) {
      Out.push_back(H);
      continue;
    }
    Stack.emplace_back(H, true);
    for (auto C = W->Children.rbegin(); C != W->Children.rend(); ++C) Stack.emplace_back(*C, false);
  }
  return Out;
}

// Takes the trees under Roots out without messages (their thread ended, or their destruction could
// not run to the end). The visual half hears of each window while its record still exists.
void DiscardTrees(const std::vector<HWND>& Roots) {
  std::vector<HWND> Order;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Order = BottomUpLocked(Roots);
  }
  if (WindowSystemExtension* X = Extension())
    for (HWND H : Order) X->WindowDestroyed(H);
  std::vector<std::shared_ptr<Window>> Dropped;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    for (HWND H : Roots) DropTreeLocked(Core(), H, Dropped);
  }
}

void DiscardTree(HWND Hwnd) { DiscardTrees({Hwnd}); }

// Destroys a window that is already marked; whatever a procedure raises, the window and its children
// are gone afterwards, and the first exception goes on to the caller.
void FinishDestruction(HWND Hwnd) {
  std::exception_ptr Error;
  try {
    SendDestroyTree(Hwnd);
  } catch (...) {
    Error = std::current_exception();
  }
  try {
    FreeTree(Hwnd);
  } catch (...) {
    if (!Error) Error = std::current_exception();
  }
  if (Error) {
    DiscardTree(Hwnd);
    std::rethrow_exception(Error);
  }
}

}  // namespace

CoreState& Core() {
  // Never destroyed: threads may still end (and clean up their queues) during process exit.
  static CoreState* State = [] {
    auto* S = new CoreState;
    S->Desktop = AddRootLocked(*S, "#32769");
    S->MessageRoot = AddRootLocked(*S, "Message");
    return S;
  }();
  return *State;
}

WindowSystemExtension* Extension() { return TheExtension.load(); }

void SetWindowSystemExtension(WindowSystemExtension* Ext) { TheExtension.store(Ext); }

WindowSystemExtension* GetWindowSystemExtension() { return TheExtension.load(); }

Window* FindWindowLocked(HWND Hwnd) {
  if (!Hwnd) return nullptr;
  CoreState& S = Core();
  auto It = S.Windows.find(reinterpret_cast<uintptr_t>(Hwnd));
  return It == S.Windows.end() ? nullptr : It->second.get();
}

bool IsTopLevelLocked(const Window& W) { return W.Parent == Core().Desktop; }

bool IsAtomName(LPCSTR Name) {
  uintptr_t V = reinterpret_cast<uintptr_t>(Name);
  return V != 0 && V <= 0xFFFF;
}

int CopyText(const std::string& Text, LPSTR Buffer, int Size) {
  if (!Buffer || Size <= 0) return 0;
  size_t N = k58::rtl::Utf8Fit(Text, static_cast<size_t>(Size - 1));
  std::memcpy(Buffer, Text.data(), N);
  Buffer[N] = '\0';
  return static_cast<int>(N);
}

void DiscardThreadWindows(DWORD ThreadId) {
  std::vector<HWND> Roots;
  {
    CoreState& S = Core();
    std::lock_guard<std::mutex> Guard(S.Lock);
    for (auto& [Key, W] : S.Windows) {
      if (!W->Queue || W->ThreadId != ThreadId) continue;
      // Only the topmost window of the thread in each tree; the rest go with it.
      Window* P = FindWindowLocked(W->Parent);
      if (!P || !P->Queue || P->ThreadId != ThreadId) Roots.push_back(W->Handle);
    }
  }
  DiscardTrees(Roots);
}

std::vector<HWND> TopLevelWindows() {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  std::vector<HWND> Out;
  if (Window* D = FindWindowLocked(S.Desktop))
    for (HWND H : D->Children)
      if (Window* W = FindWindowLocked(H); W && W->Queue) Out.push_back(H);
  return Out;
}

BOOL SetWindowStyleBits(HWND Hwnd, DWORD Style, DWORD ExStyle) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(Hwnd);
  if (!W) return FALSE;
  W->Style = Style;
  W->ExStyle = ExStyle;
  return TRUE;
}

HWND LinkWindowParent(HWND Hwnd, HWND NewParent) {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  Window* W = CheckWindowLocked(Hwnd);
  if (!W || !W->Queue) return nullptr;
  Window* P = NewParent ? CheckWindowLocked(NewParent) : FindWindowLocked(S.Desktop);
  if (!P) return nullptr;
  // A window cannot become its own descendant.
  for (Window* A = P; A; A = FindWindowLocked(A->Parent))
    if (A == W) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  HWND Old = W->Parent;
  Unlink(S, *W);
  W->Parent = P->Handle;
  LinkAt(*P, Hwnd, false);
  return Old;
}

BOOL LinkWindowOrder(HWND Hwnd, HWND InsertAfter) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(Hwnd);
  if (!W) return FALSE;
  Window* P = FindWindowLocked(W->Parent);
  if (!P) return FALSE;
  auto& C = P->Children;
  if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
    C.erase(std::remove(C.begin(), C.end(), Hwnd), C.end());
    C.insert(C.begin(), Hwnd);
    return TRUE;
  }
  if (InsertAfter == HWND_BOTTOM) {
    C.erase(std::remove(C.begin(), C.end(), Hwnd), C.end());
    C.push_back(Hwnd);
    return TRUE;
  }
  if (InsertAfter == Hwnd) return TRUE;
  auto After = std::find(C.begin(), C.end(), InsertAfter);
  if (After == C.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  C.erase(std::remove(C.begin(), C.end(), Hwnd), C.end());
  After = std::find(C.begin(), C.end(), InsertAfter);
  C.insert(After + 1, Hwnd);
  return TRUE;
}

void SetWindowExtData(HWND Hwnd, std::shared_ptr<void> Data) {
  std::shared_ptr<void> Old;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = CheckWindowLocked(Hwnd);
    if (!W) return;
    Old = std::move(W->ExtData);
    W->ExtData = std::move(Data);
  }
}

std::shared_ptr<void> GetWindowExtData(HWND Hwnd) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = FindWindowLocked(Hwnd);
  return W ? W->ExtData : nullptr;
}

}  // namespace k58::wincore

using namespace k58::wincore;

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  std::shared_ptr<ThreadQueue> Queue = CurrentQueue();
  CoreState& S = Core();
  HWND Hwnd = nullptr;
  CREATESTRUCT Create;
  {
    std::lock_guard<std::mutex> Guard(S.Lock);
    std::shared_ptr<WindowClass> C = FindClassLocked(lpClassName);
    if (!C) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    Window* Parent = nullptr;
    HWND Owner = nullptr;
    if (hWndParent == HWND_MESSAGE) {
      Parent = FindWindowLocked(S.MessageRoot);
    } else if (hWndParent) {
      Window* Given = CheckWindowLocked(hWndParent);
      if (!Given) return nullptr;
      if ((dwStyle & WS_CHILD) || Given->Handle == S.Desktop || Given->Handle == S.MessageRoot) {
        Parent = Given;
      } else {
        // A top-level window given a "parent" is owned by that window's top-level ancestor.
        Window* Root = Given;
        while (Root->Parent && Root->Parent != S.Desktop && Root->Parent != S.MessageRoot)
          Root = FindWindowLocked(Root->Parent);
        Owner = Root->Handle;
        Parent = FindWindowLocked(S.Desktop);
      }
    } else {
      if (dwStyle & WS_CHILD) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
      }
      Parent = FindWindowLocked(S.Desktop);
    }
    auto W = std::make_shared<Window>();
    W->Handle = reinterpret_cast<HWND>(S.NextHandle);
    S.NextHandle += 2;
    W->Class = C;
    W->Queue = Queue;
    W->ThreadId = Queue->ThreadId;
    W->Proc = C->Proc;
    W->Style = dwStyle;
    W->ExStyle = dwExStyle;
    W->Parent = Parent->Handle;
    W->Owner = Owner;
    W->Id = reinterpret_cast<UINT_PTR>(hMenu);
    W->Instance = hInstance;
    W->Extra.assign(static_cast<size_t>(C->WindowExtraBytes), 0);
    ++C->LiveWindows;
    Hwnd = W->Handle;
    S.Windows[reinterpret_cast<uintptr_t>(Hwnd)] = W;
    // New children go below their siblings, new top-level windows above theirs.
    LinkAt(*Parent, Hwnd, !(dwStyle & WS_CHILD));

    Create.lpCreateParams = lpParam;
    Create.hInstance = hInstance;
    Create.hMenu = hMenu;
    Create.hwndParent = hWndParent;
    Create.cy = nHeight;
    Create.cx = nWidth;
    Create.y = Y;
    Create.x = X;
    Create.style = static_cast<LONG>(dwStyle);
    Create.lpszName = lpWindowName;
    Create.lpszClass = lpClassName;
    Create.dwExStyle = dwExStyle;
  }

  try {
    WindowSystemExtension* Ext = Extension();
    if (Ext) Ext->WindowCreating(Hwnd, Create);
    if (!SendMessage(Hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&Create))) {
      // Refused before it really existed: only the final message.
      if (IsWindow(Hwnd)) FreeTree(Hwnd);
      return nullptr;
    }
    if (!IsWindow(Hwnd)) return nullptr;
    if (Ext) Ext->WindowNcCreated(Hwnd, Create);
    if (SendMessage(Hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&Create)) == -1) {
      DestroyWindow(Hwnd);
      return nullptr;
    }
    if (!IsWindow(Hwnd)) return nullptr;
    NotifyParents(Hwnd, static_cast<WORD>(WM_CREATE));
    if (Ext && IsWindow(Hwnd)) Ext->WindowCreated(Hwnd, Create);
  } catch (...) {
    // A window whose creation raised does not stay half made.
    bool Destroy = false;
    {
      std::lock_guard<std::mutex> Guard(S.Lock);
      if (Window* W = FindWindowLocked(Hwnd); W && !W->Destroying) {
        W->Destroying = true;
        Destroy = true;
      }
    }
    if (Destroy) {
      try {
        FinishDestruction(Hwnd);
      } catch (...) {
        // The exception of the creation is the one to report.
      }
    }
    DiscardTree(Hwnd);
    throw;
  }
  return IsWindow(Hwnd) ? Hwnd : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
  CoreState& S = Core();
  {
    std::lock_guard<std::mutex> Guard(S.Lock);
    Window* W = CheckWindowLocked(hWnd);
    if (!W) return FALSE;
    if (!W->Queue) {  // the roots of the tree
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (W->ThreadId != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    // Already on its way out: the destruction in progress finishes the job.
    if (W->Destroying) return TRUE;
    W->Destroying = true;
  }
  NotifyParents(hWnd, static_cast<WORD>(WM_DESTROY));
  if (WindowSystemExtension* X = Extension()) X->WindowDestroying(hWnd);

  // Windows owned by this one go first.
  std::vector<HWND> Owned;
  {
    std::lock_guard<std::mutex> Guard(S.Lock);
    for (auto& [Key, Other] : S.Windows)
      if (Other->Owner == hWnd && Other->ThreadId == GetCurrentThreadId() && !Other->Destroying)
        Owned.push_back(Other->Handle);
  }
  for (HWND O : Owned) DestroyWindow(O);

  // WM_DESTROY from the window down to its children (they still exist meanwhile), then WM_NCDESTROY
  // from the children up, each record going away after its WM_NCDESTROY.
  FinishDestruction(hWnd);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  return FindWindowLocked(hWnd) != nullptr;
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return 0;
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(::getpid());
  return W->ThreadId;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > W->Extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG_PTR V;
    std::memcpy(&V, W->Extra.data() + nIndex, sizeof V);
    return V;
  }
  switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(W->Proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(W->Instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((W->Style & WS_CHILD) && !IsTopLevelLocked(*W) ? W->Parent : W->Owner);
    case GWLP_ID: return static_cast<LONG_PTR>(W->Id);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(W->Style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(W->ExStyle));
    case GWLP_USERDATA: return W->UserData;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  CoreState& S = Core();
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) {
    // The window sees the change coming (and may adjust it) and sees it done.
    STYLESTRUCT Change;
    {
      std::lock_guard<std::mutex> Guard(S.Lock);
      Window* W = CheckWindowLocked(hWnd);
      if (!W) return 0;
      Change.styleOld = nIndex == GWL_STYLE ? W->Style : W->ExStyle;
    }
    Change.styleNew = static_cast<DWORD>(dwNewLong);
    SendMessage(hWnd, WM_STYLECHANGING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&Change));
    {
      std::lock_guard<std::mutex> Guard(S.Lock);
      Window* W = CheckWindowLocked(hWnd);
      if (!W) return 0;
      (nIndex == GWL_STYLE ? W->Style : W->ExStyle) = Change.styleNew;
    }
    SendMessage(hWnd, WM_STYLECHANGED, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&Change));
    return static_cast<LONG_PTR>(static_cast<LONG>(Change.styleOld));
  }

  std::lock_guard<std::mutex> Guard(S.Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return 0;
  LONG_PTR Old = 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > W->Extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    std::memcpy(&Old, W->Extra.data() + nIndex, sizeof Old);
    std::memcpy(W->Extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return Old;
  }
  switch (nIndex) {
    case GWLP_WNDPROC:
      // Every window keeps a procedure; a null one would leave its messages nowhere to go.
      if (!dwNewLong) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      Old = reinterpret_cast<LONG_PTR>(W->Proc);
      W->Proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return Old;
    case GWLP_HINSTANCE:
      Old = reinterpret_cast<LONG_PTR>(W->Instance);
      W->Instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return Old;
    case GWLP_HWNDPARENT: {
      // Changes the owner of a top-level window; a child window changes parent through SetParent.
      if ((W->Style & WS_CHILD) && !IsTopLevelLocked(*W)) return reinterpret_cast<LONG_PTR>(W->Parent);
      HWND NewOwner = reinterpret_cast<HWND>(dwNewLong);
      if (NewOwner && !FindWindowLocked(NewOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
      }
      Old = reinterpret_cast<LONG_PTR>(W->Owner);
      W->Owner = NewOwner;
      return Old;
    }
    case GWLP_ID:
      Old = static_cast<LONG_PTR>(W->Id);
      W->Id = static_cast<UINT_PTR>(dwNewLong);
      return Old;
    case GWLP_USERDATA:
      Old = W->UserData;
      W->UserData = dwNewLong;
      return Old;
    default:
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

LONG GetWindowLong(HWND hWnd, int nIndex) {
  if (nIndex >= 0) {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = CheckWindowLocked(hWnd);
    if (!W) return 0;
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > W->Extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG V;
    std::memcpy(&V, W->Extra.data() + nIndex, sizeof V);
    return V;
  }
  if (IsPointerSlot(nIndex)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return static_cast<LONG>(GetWindowLongPtr(hWnd, nIndex));
}

LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
  if (nIndex >= 0) {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = CheckWindowLocked(hWnd);
    if (!W) return 0;
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > W->Extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG Old;
    std::memcpy(&Old, W->Extra.data() + nIndex, sizeof Old);
    std::memcpy(W->Extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return Old;
  }
  if (IsPointerSlot(nIndex)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR Value = (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong))
                                                                   : static_cast<LONG_PTR>(dwNewLong);
  return static_cast<LONG>(SetWindowLongPtr(hWnd, nIndex, Value));
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!lpPrevWndFunc) return 0;
  return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  if (!lpString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string Key = PropKey(lpString);
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return FALSE;
  for (auto& P : W->Props)
    if (P.first == Key) {
      P.second = hData;
      return TRUE;
    }
  W->Props.emplace_back(std::move(Key), hData);
  return TRUE;
}

HANDLE GetProp(HWND hWnd, LPCSTR lpString) {
  if (!lpString) return nullptr;
  std::string Key = PropKey(lpString);
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return nullptr;
  for (auto& P : W->Props)
    if (P.first == Key) return P.second;
  return nullptr;
}

HANDLE RemoveProp(HWND hWnd, LPCSTR lpString) {
  if (!lpString) return nullptr;
  std::string Key = PropKey(lpString);
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return nullptr;
  for (auto It = W->Props.begin(); It != W->Props.end(); ++It)
    if (It->first == Key) {
      HANDLE Data = It->second;
      W->Props.erase(It);
      return Data;
    }
  return nullptr;
}

// A window of the calling thread answers through its procedure; another thread's window is read from
// its record, so a busy thread cannot block the caller.
int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (lpString && nMaxCount > 0) lpString[0] = '\0';
  bool Own;
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = CheckWindowLocked(hWnd);
    if (!W) return 0;
    Own = W->Queue && W->ThreadId == GetCurrentThreadId();
    if (!Own) return CopyText(W->Text, lpString, nMaxCount);
  }
  if (!lpString || nMaxCount <= 0) return 0;
  return static_cast<int>(
      SendMessage(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLength(HWND hWnd) {
  {
    std::lock_guard<std::mutex> Guard(Core().Lock);
    Window* W = CheckWindowLocked(hWnd);
    if (!W) return 0;
    if (!W->Queue || W->ThreadId != GetCurrentThreadId()) return static_cast<int>(W->Text.size());
  }
  return static_cast<int>(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowText(HWND hWnd, LPCSTR lpString) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

HWND GetDesktopWindow() { return Core().Desktop; }

HWND GetParent(HWND hWnd) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return nullptr;
  if (W->Style & WS_CHILD) return IsTopLevelLocked(*W) || W->Parent == Core().MessageRoot ? nullptr : W->Parent;
  if (W->Style & WS_POPUP) return W->Owner;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT gaFlags) {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  Window* W = CheckWindowLocked(hwnd);
  if (!W || !W->Parent) return nullptr;
  auto IsRoot = [&S](HWND H) { return H == S.Desktop || H == S.MessageRoot; };
  switch (gaFlags) {
    case GA_PARENT: return W->Parent;
    case GA_ROOT:
    case GA_ROOTOWNER: {
      // The root, and for GA_ROOTOWNER on through the owners of popups (what GetParent reports).
      for (;;) {
        while (W->Parent && !IsRoot(W->Parent)) W = FindWindowLocked(W->Parent);
        if (gaFlags != GA_ROOTOWNER || !(W->Style & WS_POPUP) || !W->Owner) break;
        Window* O = FindWindowLocked(W->Owner);
        if (!O) break;
        W = O;
      }
      return W->Handle;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = FindWindowLocked(hWnd);
  while (W && (W->Style & WS_CHILD) && !IsTopLevelLocked(*W)) {
    if (W->Parent == hWndParent) return TRUE;
    W = FindWindowLocked(W->Parent);
  }
  return FALSE;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  Window* W = CheckWindowLocked(hWnd);
  if (!W) return nullptr;
  if (uCmd == GW_CHILD) return W->Children.empty() ? nullptr : W->Children.front();
  if (uCmd == GW_OWNER) return W->Owner;
  Window* P = FindWindowLocked(W->Parent);
  if (!P) return nullptr;
  const auto& C = P->Children;
  auto It = std::find(C.begin(), C.end(), hWnd);
  switch (uCmd) {
    case GW_HWNDFIRST: return C.front();
    case GW_HWNDLAST: return C.back();
    case GW_HWNDNEXT: return (It == C.end() || It + 1 == C.end()) ? nullptr : *(It + 1);
    case GW_HWNDPREV: return (It == C.end() || It == C.begin()) ? nullptr : *(It - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

namespace {

std::vector<HWND> SnapshotChildren(HWND Parent, bool Deep) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  std::vector<HWND> Out;
  std::vector<HWND> Stack;
  auto Push = [&](HWND P) {
    if (Window* W = FindWindowLocked(P))
      for (auto It = W->Children.rbegin(); It != W->Children.rend(); ++It) Stack.push_back(*It);
  };
  Push(Parent);
  while (!Stack.empty()) {
    HWND H = Stack.back();
    Stack.pop_back();
    Out.push_back(H);
    if (Deep) Push(H);
  }
  return Out;
}

BOOL Enumerate(const std::vector<HWND>& Windows, WNDENUMPROC Proc, LPARAM lParam) {
  if (!Proc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (HWND H : Windows)
    if (IsWindow(H) && !Proc(H, lParam)) return FALSE;
  return TRUE;
}

}  // namespace

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  return Enumerate(SnapshotChildren(Core().Desktop, false), lpEnumFunc, lParam);
}

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!hWndParent) return EnumWindows(lpEnumFunc, lParam);
  return Enumerate(SnapshotChildren(hWndParent, true), lpEnumFunc, lParam);
}

BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam) {
  std::vector<HWND> Mine;
  {
    std::vector<HWND> All = SnapshotChildren(Core().Desktop, false);
    std::lock_guard<std::mutex> Guard(Core().Lock);
    for (HWND H : All)
      if (Window* W = FindWindowLocked(H); W && W->ThreadId == dwThreadId) Mine.push_back(H);
  }
  return Enumerate(Mine, lpfn, lParam);
}

HWND FindWindowEx(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow) {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  HWND ParentHandle = !hWndParent ? S.Desktop : hWndParent == HWND_MESSAGE ? S.MessageRoot : hWndParent;
  Window* P = CheckWindowLocked(ParentHandle);
  if (!P) return nullptr;
  std::shared_ptr<WindowClass> Wanted;
  if (lpszClass) {
    Wanted = FindClassLocked(lpszClass);
    if (!Wanted) return nullptr;
  }
  bool Started = hWndChildAfter == nullptr;
  for (HWND H : P->Children) {
    if (!Started) {
      Started = H == hWndChildAfter;
      continue;
    }
    Window* W = FindWindowLocked(H);
    if (!W) continue;
    if (Wanted && W->Class != Wanted) continue;
    if (lpszWindow && k58::rtl::CompareNoCase(W->Text, lpszWindow) != 0) continue;
    return H;
  }
  return nullptr;
}

HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName) {
  return FindWindowEx(nullptr, nullptr, lpClassName, lpWindowName);
}
