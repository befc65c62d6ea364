// Response tables: each window class maps messages, command ids and command-enable
// queries to member handlers; what a class does not handle goes to its base class.
//
//   DECLARE_RESPONSE_TABLE(TPuzzle);                  in the class
//   DEFINE_RESPONSE_TABLE1(TPuzzle, TWindow)           in the .cpp
//     EV_MESSAGE(WM_SIZE, &TPuzzle::EvSize),
//     EV_COMMAND(CM_SCRAMBLE, &TPuzzle::CmScramble),
//   END_RESPONSE_TABLE;
//
// A dialog hears its controls with EV_CONTROL(id, code, handler) or
// EV_CONTROL_ANY(id, handler); EV_COMMAND_WITH_ID serves several commands.
#pragma once

#include "platform/winconst.h"
#include "platform/wintypes.h"

using TResult = LRESULT;
using TParam1 = WPARAM;
using TParam2 = LPARAM;

// The framework's private message asking whether a command is enabled: wParam holds the
// command id, lParam points at a TCommandEnabler.
constexpr UINT WM_COMMAND_ENABLE = 0x8000 + 0x0100;

constexpr WORD LOWORD(std::uintptr_t v) {
  return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
  return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>((static_cast<DWORD>(static_cast<WORD>(lo))) |
                             (static_cast<DWORD>(static_cast<WORD>(hi)) << 16));
}
// Signed client coordinates of a mouse message.
constexpr int GET_X_LPARAM(LPARAM lp) {
  return static_cast<short>(LOWORD(lp));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
  return static_cast<short>(HIWORD(lp));
}

// One decision per command, applied alike to its menu item and its toolbar button.
class TCommandEnabler {
 public:
  enum { Unchecked = 0, Checked = 1, Indeterminate = 2, NoCheck = -1 };
  explicit TCommandEnabler(UINT id) : Id(id) {}
  UINT GetId() const { return Id; }
  void Enable(bool enable = true) {
    Enabled = enable;
    Handled = true;
  }
  void SetCheck(int state) {
    Check = state;
    Handled = true;
  }
  bool IsEnabled() const { return Enabled; }
  int GetCheck() const { return Check; }
  bool WasHandled() const { return Handled; }

 private:
  UINT Id;
  bool Enabled = true;
  bool Handled = false;
  int Check = NoCheck;
};

// Codes of a WM_COMMAND entry: a command (menu, accelerator, button click) or a child
// control's notification with one code or with any code.
constexpr int CommandCode = -1;
constexpr int AnyNotifyCode = -2;

template <class T>
struct TResponseTableEntry {
  UINT Msg = 0;  // 0 ends the table
  UINT Id = 0;   // command or control id for WM_COMMAND and WM_COMMAND_ENABLE entries
  TResult (T::*MsgHandler)(TParam1, TParam2) = nullptr;
  void (T::*CmdHandler)() = nullptr;
  void (T::*EnableHandler)(TCommandEnabler&) = nullptr;
  void (T::*IdHandler)(UINT) = nullptr;  // gets the command id, or the notification code
  int Code = CommandCode;
};

template <class T>
bool DispatchResponse(T* self, const TResponseTableEntry<T>* entry, UINT msg, TParam1 p1,
                      TParam2 p2, TResult& result) {
  const UINT id = (msg == WM_COMMAND || msg == WM_COMMAND_ENABLE) ? LOWORD(p1) : 0;
  // A control names itself in lParam; menus and accelerators leave it 0.
  const bool fromControl = msg == WM_COMMAND && p2 != 0;
  const int code = HIWORD(p1);
  for (; entry->Msg != 0; ++entry) {
    if (entry->Msg != msg || entry->Id != id) continue;
    if (msg == WM_COMMAND) {
      if (entry->Code == CommandCode) {
        if (fromControl && code != 0) continue;  // only a button's click is a command
      } else if (!fromControl || (entry->Code != AnyNotifyCode && entry->Code != code)) {
        continue;
      }
    }
    result = 0;
    if (entry->MsgHandler != nullptr) {
      result = (self->*entry->MsgHandler)(p1, p2);
    } else if (entry->CmdHandler != nullptr) {
      (self->*entry->CmdHandler)();
    } else if (entry->IdHandler != nullptr) {
      (self->*entry->IdHandler)(entry->Code == CommandCode ? id : static_cast<UINT>(code));
    } else if (entry->EnableHandler != nullptr && p2 != 0) {
      (self->*entry->EnableHandler)(*reinterpret_cast<TCommandEnabler*>(p2));
    }
    return true;
  }
  return false;
}

#define DECLARE_RESPONSE_TABLE(cls)                              \
 protected:                                                      \
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override; \
                                                                 \
 private:                                                        \
  static const TResponseTableEntry<cls> ResponseTable[]

#define DEFINE_RESPONSE_TABLE1(cls, base)                             \
  TResult cls::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {         \
    TResult result = 0;                                               \
    if (DispatchResponse(this, ResponseTable, msg, p1, p2, result)) { \
      return result;                                                  \
    }                                                                 \
    return base::WindowProc(msg, p1, p2);                             \
  }                                                                   \
  const TResponseTableEntry<cls> cls::ResponseTable[] = {
#define END_RESPONSE_TABLE \
  {}                       \
  }

#define EV_MESSAGE(msg, handler) \
  { (msg), 0, (handler), nullptr, nullptr, nullptr, CommandCode }
#define EV_COMMAND(id, handler) \
  { WM_COMMAND, (id), nullptr, (handler), nullptr, nullptr, CommandCode }
// One handler for several commands: it receives the command id.
#define EV_COMMAND_WITH_ID(id, handler) \
  { WM_COMMAND, (id), nullptr, nullptr, nullptr, (handler), CommandCode }
#define EV_COMMAND_ENABLE(id, handler) \
  { WM_COMMAND_ENABLE, (id), nullptr, nullptr, (handler), nullptr, CommandCode }
// A child control's notification with the given code, or with any code (the handler
// receives it).
#define EV_CONTROL(id, code, handler) \
  { WM_COMMAND, (id), nullptr, (handler), nullptr, nullptr, (code) }
#define EV_CONTROL_ANY(id, handler) \
  { WM_COMMAND, (id), nullptr, nullptr, nullptr, (handler), AnyNotifyCode }
