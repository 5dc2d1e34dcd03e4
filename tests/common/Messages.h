// Message recording for window tests: one log of what windows received, with message names, the spy
// that feeds it from a window's procedure, and a check of a recorded sequence against a table.
//
// A log is filled by whatever sees the messages: a spy that replaces a window's procedure, a test
// window class's procedure, or a control's message hook. Several windows may share one log, so a
// sequence can run across a control and its parent. Adding is safe from any thread; reading the
// entries in place (begin/end, operator[]) is for the test thread once the others are quiet.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/core/WinUser.h"

namespace k58test {

// "WM_PAINT", "WM_USER+2", "WM_APP+1", or the number in hex for a message without a name.
std::string MessageName(UINT Msg);

struct Message {
  HWND Hwnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  // Read from the message when it was recorded: the control that sent a notification (WM_COMMAND,
  // WM_NOTIFY, scroll, owner-draw and item messages) and its code (WM_COMMAND's high word, NMHDR's
  // code, the scroll request).
  HWND From = nullptr;
  UINT Code = 0;
  // Copies of the owner-draw records, which do not outlive the call.
  std::optional<DRAWITEMSTRUCT> Draw;
  std::optional<MEASUREITEMSTRUCT> Measure;

  Message() = default;
  Message(HWND H, UINT M, WPARAM W = 0, LPARAM L = 0) : Hwnd(H), Msg(M), WParam(W), LParam(L) {}
  // The same message to the same window with the same parameters.
  bool operator==(const Message& O) const {
    return Hwnd == O.Hwnd && Msg == O.Msg && WParam == O.WParam && LParam == O.LParam;
  }
};
void PrintTo(const Message& M, std::ostream* Out);

// A message as it arrives, with From, Code and the record copies filled in.
Message Received(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam);

class MessageLog {
public:
  void Add(const Message& M);
  void Add(HWND Hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) { Add(Received(Hwnd, Msg, WParam, LParam)); }
  void Clear();
  // A copy of the entries, taken under the lock.
  std::vector<Message> Items() const;

  // The messages one window received (every window when Hwnd is null), only those in Only when given.
  std::vector<Message> Of(HWND Hwnd = nullptr, const std::vector<UINT>& Only = {}) const;
  std::vector<UINT> Messages(HWND Hwnd = nullptr, const std::vector<UINT>& Only = {}) const;
  std::vector<std::string> Names(HWND Hwnd = nullptr, const std::vector<UINT>& Only = {}) const;
  int Count(UINT Msg, HWND Hwnd = nullptr) const;
  // The first such message to the window; fails the test (and answers an empty message) when none came.
  Message First(HWND Hwnd, UINT Msg) const;
  // The codes of the notifications of one kind (WM_COMMAND, WM_NOTIFY, ...) a control sent (any
  // control when From is null), in order.
  std::vector<UINT> Codes(UINT Msg, HWND From = nullptr) const;

  // The entries in place, for the test thread.
  bool empty() const { return items_.empty(); }
  size_t size() const { return items_.size(); }
  const Message& operator[](size_t I) const { return items_[I]; }
  const Message& back() const { return items_.back(); }
  std::vector<Message>::const_iterator begin() const { return items_.begin(); }
  std::vector<Message>::const_iterator end() const { return items_.end(); }
  std::vector<Message>::const_reverse_iterator rbegin() const { return items_.rbegin(); }
  std::vector<Message>::const_reverse_iterator rend() const { return items_.rend(); }

private:
  mutable std::mutex lock_;
  std::vector<Message> items_;
};

// Records what reaches a window before its own procedure handles it, by replacing the procedure for
// its lifetime. The log is the spy's own unless one is given (to record several windows together).
class MessageSpy {
public:
  explicit MessageSpy(HWND Hwnd, MessageLog* Into = nullptr);
  ~MessageSpy();
  MessageSpy(const MessageSpy&) = delete;
  MessageSpy& operator=(const MessageSpy&) = delete;

  MessageLog& Log() { return *log_; }
  std::vector<UINT> Messages(const std::vector<UINT>& Only = {}) const { return log_->Messages(hwnd_, Only); }
  int Count(UINT Msg) const { return log_->Count(Msg, hwnd_); }

private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_;
  WNDPROC old_;
  MessageLog own_;
  MessageLog* log_;
};

// One line of a sequence table: the message, and which of its parameters must match.
enum Check : unsigned {
  kMsg = 0,
  kWParam = 1,
  kLParam = 2,
  kOptional = 4,  // may be missing
};
struct Expected {
  UINT Msg;
  unsigned Checks = kMsg;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
};

// Whether the messages match the table in order, none left over. The failure shows both sequences by
// name, the first difference marked.
::testing::AssertionResult MatchesSequence(const std::vector<Message>& Got, const std::vector<Expected>& Table);
// The same for the messages of a log to one window (every window when Hwnd is null), only those in
// Only when given:
//   EXPECT_TRUE(MatchesSequence(Log, Edit, {{WM_KEYDOWN, kWParam, VK_LEFT}, {WM_KEYUP}}, {WM_KEYDOWN, WM_KEYUP}));
::testing::AssertionResult MatchesSequence(const MessageLog& Log, HWND Hwnd, const std::vector<Expected>& Table,
                                           const std::vector<UINT>& Only = {});

}  // namespace k58test
