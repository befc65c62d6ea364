// Keys and pointer events injected into KWin through its fake-input protocol, over one
// Wayland connection kept for the desktop's life: each request is followed by a round trip,
// so KWin has handled it before the caller goes on.
#pragma once

#include <QPointF>
#include <QString>

#include <cstdint>

struct wl_display;
struct wl_registry;
struct org_kde_kwin_fake_input;

class TFakeInput {
 public:
  TFakeInput() = default;
  ~TFakeInput();
  TFakeInput(const TFakeInput&) = delete;
  TFakeInput& operator=(const TFakeInput&) = delete;

  // Connects to the compositor's socket (a full path) and binds the protocol; the reason
  // when that fails.
  QString Connect(const QString& socket);
  bool Connected() const { return Input != nullptr; }

  // A key by its evdev code (linux/input-event-codes.h).
  void Key(unsigned code, bool pressed);
  // The pointer to a point in the compositor's logical coordinates; a button by its evdev code.
  void MoveTo(QPointF at);
  void Button(unsigned code, bool pressed);

 private:
  static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version);
  static void GlobalRemoved(void* data, wl_registry* registry, uint32_t name);
  void Sync();

  wl_display* Display = nullptr;
  wl_registry* Registry = nullptr;
  org_kde_kwin_fake_input* Input = nullptr;
  uint32_t Version = 0;
};
