// The clipboard of the X11 display: the process's text offered as the CLIPBOARD selection
// (UTF8_STRING, STRING, TEXT, with incremental transfers for large text), and the text of another
// program's selection read on request.
#include <algorithm>
#include <chrono>
#include <climits>
#include <string>

#include "platform/rtl/Utf.h"
#include "platform/win/ui/UiInternal.h"
#include "platform/win/ui/WinClipboard.h"
#include "platform/win/ui/x11/X11Internal.h"

// X headers last: they define macros (None, Bool, Status, ...) that would clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace k58::winui::x11 {

namespace {

// How long a paste waits for another program to answer; a hung owner must not hang us.
constexpr auto kTransferTimeout = std::chrono::seconds(2);

// Text on X uses line feeds; the clipboard of the layer uses carriage return + line feed.
std::string ToXLines(const std::string& Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') continue;
    Out += Text[I];
  }
  return Out;
}

std::u16string FromXLines(const std::u16string& Text) {
  std::u16string Out;
  Out.reserve(Text.size() + Text.size() / 16);
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == u'\n' && (I == 0 || Text[I - 1] != u'\r')) Out += u'\r';
    Out += Text[I];
  }
  return Out;
}

// Latin-1 for requestors that ask for STRING; characters it cannot hold become '?'.
std::string ToLatin1(const std::string& Utf8) {
  std::string Out;
  Out.reserve(Utf8.size());
  for (char32_t C : k58::rtl::Utf8ToUtf32(Utf8)) Out += C <= 0xFF ? static_cast<char>(C) : '?';
  return Out;
}

std::u16string FromLatin1(const std::string& Bytes) {
  std::u16string Out;
  Out.reserve(Bytes.size());
  for (char C : Bytes) Out += static_cast<char16_t>(static_cast<unsigned char>(C));
  return Out;
}

// Reads and deletes a whole property; false when it is missing.
bool TakeProperty(::Display* Dpy, Window W, Atom Property, Atom& Type, int& Format, std::string& Data) {
  Data.clear();
  long Offset = 0;
  for (;;) {
    Atom ActualType = 0;
    int ActualFormat = 0;
    unsigned long Count = 0, After = 0;
    unsigned char* Bytes = nullptr;
    if (XGetWindowProperty(Dpy, W, Property, Offset, 1 << 20, False, AnyPropertyType, &ActualType, &ActualFormat,
                           &Count, &After, &Bytes) != Success) {
      return false;
    }
    if (ActualType == None) {
      if (Bytes) XFree(Bytes);
      return false;
    }
    Type = ActualType;
    Format = ActualFormat;
    // Format 32 items are longs in memory whatever their size on the wire.
    size_t Unit = ActualFormat == 32 ? sizeof(long) : static_cast<size_t>(ActualFormat / 8);
    if (Bytes) {
      Data.append(reinterpret_cast<const char*>(Bytes), Count * Unit);
      XFree(Bytes);
    }
    if (After == 0) break;
    Offset += static_cast<long>(Count * static_cast<unsigned long>(ActualFormat) / 32);
  }
  XDeleteProperty(Dpy, W, Property);
  return true;
}

}  // namespace

// ---- this process's clipboard offered to others -----------------------------------------------------

void X11Display::ClipboardChanged() {
  XGuard G(*this);
  ownClipboard_ = true;
  ownSince_ = lastTime_ ? lastTime_ : CurrentTime;
  XSetSelectionOwner(dpy_, At(A_CLIPBOARD), helper_, ownSince_);
  if (XGetSelectionOwner(dpy_, At(A_CLIPBOARD)) != helper_) ownClipboard_ = false;
}

bool X11Display::ReadOwnClipboardText(std::string& Utf8) {
  // Called without our lock: the clipboard's own lock is taken by the GUI thread before ours.
  std::u16string Text;
  if (!ClipboardTextForExport(Text)) return false;
  Utf8 = ToXLines(k58::rtl::Utf16ToUtf8(Text));
  return true;
}

void X11Display::AnswerSelectionRequest(const PendingRequest& P) {
  XEvent Reply{};
  XSelectionEvent& S = Reply.xselection;
  S.type = SelectionNotify;
  S.display = dpy_;
  S.requestor = P.Requestor;
  S.selection = P.Selection;
  S.target = P.Target;
  S.property = None;
  S.time = P.Time;
  // Requests of before we took the selection are refused (their time may name another owner's data).
  const bool Ours = P.Selection == At(A_CLIPBOARD) && ownClipboard_ &&
                    (P.Time == CurrentTime || ownSince_ == CurrentTime || P.Time >= ownSince_);
  // Clients of the old protocol give no property: the target names it.
  const Atom Property = P.Property != None ? P.Property : P.Target;
  if (Ours) {
    if (P.Target == At(A_TARGETS)) {
      std::vector<Atom> List{At(A_TARGETS), At(A_TIMESTAMP)};
      if (P.HasText) {
        List.push_back(At(A_UTF8_STRING));
        List.push_back(XA_STRING);
        List.push_back(At(A_TEXT));
      }
      XChangeProperty(dpy_, P.Requestor, Property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(List.data()), static_cast<int>(List.size()));
      S.property = Property;
    } else if (P.Target == At(A_TIMESTAMP)) {
      long Time = static_cast<long>(ownSince_);
      XChangeProperty(dpy_, P.Requestor, Property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&Time), 1);
      S.property = Property;
    } else if (P.HasText && (P.Target == At(A_UTF8_STRING) || P.Target == At(A_TEXT) || P.Target == XA_STRING)) {
      const bool Latin = P.Target == XA_STRING;
      std::string Data = Latin ? ToLatin1(P.Text) : P.Text;
      const Atom Type = Latin ? XA_STRING : At(A_UTF8_STRING);
      const size_t Chunk = MaxChunk();
      if (Data.size() > Chunk) {
        // Too large for one request: announced with INCR, then sent a chunk each time the requestor
        // deletes the property, ending with an empty one. A transfer the requestor gave up into the same
        // property ends here: its chunks would be taken for this one's. The requestor going away ends
        // its transfers too.
        DropOutgoing(P.Requestor, Property);
        XSelectInput(dpy_, P.Requestor, PropertyChangeMask | StructureNotifyMask);
        long Size = static_cast<long>(Data.size());
        XChangeProperty(dpy_, P.Requestor, Property, At(A_INCR), 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&Size), 1);
        out_.push_back(Outgoing{P.Requestor, Property, Type, std::move(Data), 0});
      } else {
        XChangeProperty(dpy_, P.Requestor, Property, Type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(Data.data()), static_cast<int>(Data.size()));
      }
      S.property = Property;
    }
  }
  XSendEvent(dpy_, P.Requestor, False, NoEventMask, &Reply);
}

size_t X11Display::MaxChunk() const {
  long Units = XExtendedMaxRequestSize(dpy_);
  if (Units <= 0) Units = XMaxRequestSize(dpy_);
  size_t Bytes = static_cast<size_t>(Units) * 4;
  return std::min<size_t>(Bytes > 4096 ? Bytes - 1024 : 3072, 256 * 1024);
}

void X11Display::DropOutgoing(XId Requestor, XId Property) {
  std::erase_if(out_, [&](const Outgoing& O) {
    return O.Requestor == Requestor && (Property == None || O.Property == Property);
  });
}

void X11Display::ContinueOutgoing(XEvent& E) {
  if (E.type == DestroyNotify) {
    DropOutgoing(E.xdestroywindow.window, None);
    return;
  }
  if (E.type != PropertyNotify) return;
  const XPropertyEvent& P = E.xproperty;
  if (P.state != PropertyDelete) return;
  for (size_t I = 0; I < out_.size(); ++I) {
    Outgoing& O = out_[I];
    if (O.Requestor != P.window || O.Property != P.atom) continue;
    const size_t Left = O.Data.size() - O.Offset;
    const size_t N = std::min(Left, MaxChunk());
    XChangeProperty(dpy_, O.Requestor, O.Property, O.Type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(O.Data.data() + O.Offset), static_cast<int>(N));
    O.Offset += N;
    if (N == 0) {
      // The empty chunk was the last; the requestor's events are no longer needed unless another
      // transfer to it goes on.
      const XId Requestor = O.Requestor;
      out_.erase(out_.begin() + static_cast<ptrdiff_t>(I));
      if (std::none_of(out_.begin(), out_.end(), [&](const Outgoing& Other) { return Other.Requestor == Requestor; }))
        XSelectInput(dpy_, Requestor, NoEventMask);
    }
    return;
  }
}

// ---- another program's clipboard --------------------------------------------------------------------

bool X11Display::ForeignClipboardText(std::u16string& Text) {
  XGuard G(*this);
  if (ownClipboard_) return false;  // the layer holds the data itself
  Window Owner = XGetSelectionOwner(dpy_, At(A_CLIPBOARD));
  if (Owner == None || Owner == helper_) return false;
  for (Atom Target : {static_cast<Atom>(At(A_UTF8_STRING)), static_cast<Atom>(XA_STRING)}) {
    in_ = Incoming{};
    in_.Waiting = true;
    in_.Target = Target;
    XDeleteProperty(dpy_, helper_, At(A_K58_SELECTION));
    XConvertSelection(dpy_, At(A_CLIPBOARD), Target, At(A_K58_SELECTION), helper_,
                      lastTime_ ? lastTime_ : CurrentTime);
    XFlush(dpy_);
    Wake();
    const bool Answered = inChanged_.wait_for(G.Lock(), kTransferTimeout, [this] { return in_.Done; });
    in_.Waiting = false;
    if (!Answered) return false;  // the owner does not answer: nothing to paste
    if (!in_.Ok) continue;        // refused: try the next format
    std::u16string U = Target == XA_STRING ? FromLatin1(in_.Data) : k58::rtl::Utf8ToUtf16(in_.Data);
    // A terminating NUL some programs include is not part of the text.
    while (!U.empty() && U.back() == u'\0') U.pop_back();
    Text = FromXLines(U);
    return true;
  }
  return false;
}

void X11Display::HandleSelectionNotify(XEvent& E) {
  const XSelectionEvent& S = E.xselection;
  if (!in_.Waiting || in_.Done || S.requestor != helper_ || S.selection != At(A_CLIPBOARD)) return;
  if (S.property == None) {
    in_.Done = true;
    in_.Ok = false;
    inChanged_.notify_all();
    return;
  }
  Atom Type = 0;
  int Format = 0;
  std::string Data;
  if (!TakeProperty(dpy_, helper_, S.property, Type, Format, Data)) {
    in_.Done = true;
    in_.Ok = false;
    inChanged_.notify_all();
    return;
  }
  if (Type == At(A_INCR)) {
    // Deleting the property (done above) asks the owner for the first chunk.
    in_.Incremental = true;
    in_.Data.clear();
    return;
  }
  in_.Data = std::move(Data);
  in_.Ok = Format == 8;
  in_.Done = true;
  inChanged_.notify_all();
}

void X11Display::HandleSelectionProperty(XEvent& E) {
  const XPropertyEvent& P = E.xproperty;
  if (!in_.Waiting || in_.Done || !in_.Incremental || P.atom != At(A_K58_SELECTION) || P.state != PropertyNewValue)
    return;
  Atom Type = 0;
  int Format = 0;
  std::string Chunk;
  if (!TakeProperty(dpy_, helper_, P.atom, Type, Format, Chunk)) return;
  if (Chunk.empty()) {
    in_.Ok = true;
    in_.Done = true;
    inChanged_.notify_all();
    return;
  }
  in_.Data += Chunk;
}

}  // namespace k58::winui::x11
