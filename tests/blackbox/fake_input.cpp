// The fake-input client.
#include "fake_input.h"

#ifdef KAVRO_FAKE_INPUT

#include <wayland-client.h>

#include "fake-input-client-protocol.h"

namespace {

// Absolute motion came with version 3, keys with 4.
constexpr uint32_t NeededVersion = 4;

}  // namespace

TFakeInput::~TFakeInput() {
  if (Input != nullptr) org_kde_kwin_fake_input_destroy(Input);
  if (Registry != nullptr) wl_registry_destroy(Registry);
  if (Display != nullptr) wl_display_disconnect(Display);
}

void TFakeInput::Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                        uint32_t version) {
  auto* self = static_cast<TFakeInput*>(data);
  if (QString::fromUtf8(interface) != org_kde_kwin_fake_input_interface.name) return;
  self->Version = version;
  if (version < NeededVersion) return;
  self->Input = static_cast<org_kde_kwin_fake_input*>(
      wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, NeededVersion));
}

void TFakeInput::GlobalRemoved(void*, wl_registry*, uint32_t) {}

QString TFakeInput::Connect(const QString& socket) {
  Display = wl_display_connect(socket.toLocal8Bit().constData());
  if (Display == nullptr) return "no connection to " + socket;
  static const wl_registry_listener listener = {&Global, &GlobalRemoved};
  Registry = wl_display_get_registry(Display);
  wl_registry_add_listener(Registry, &listener, this);
  wl_display_roundtrip(Display);
  if (Input == nullptr) {
    return Version == 0 ? QStringLiteral("KWin offers no fake input (permission checks on?)")
                        : QStringLiteral("KWin's fake input is version %1, keys need %2")
                              .arg(Version)
                              .arg(NeededVersion);
  }
  org_kde_kwin_fake_input_authenticate(Input, "Kavro tests", "black-box tests");
  Sync();
  return {};
}

void TFakeInput::Sync() {
  if (Display != nullptr) wl_display_roundtrip(Display);
}

void TFakeInput::Key(unsigned code, bool pressed) {
  if (Input == nullptr) return;
  org_kde_kwin_fake_input_keyboard_key(
      Input, code, pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  Sync();
}

void TFakeInput::MoveTo(QPointF at) {
  if (Input == nullptr) return;
  org_kde_kwin_fake_input_pointer_motion_absolute(Input, wl_fixed_from_double(at.x()),
                                                  wl_fixed_from_double(at.y()));
  Sync();
}

void TFakeInput::Button(unsigned code, bool pressed) {
  if (Input == nullptr) return;
  org_kde_kwin_fake_input_button(
      Input, code, pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  Sync();
}

#else  // built without the protocol: every desktop that needs it says so

TFakeInput::~TFakeInput() = default;
QString TFakeInput::Connect(const QString&) {
  return "built without KWin's fake input (plasma-wayland-protocols, libwayland-dev)";
}
void TFakeInput::Key(unsigned, bool) {}
void TFakeInput::MoveTo(QPointF) {}
void TFakeInput::Button(unsigned, bool) {}

#endif
