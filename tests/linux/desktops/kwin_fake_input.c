/* Presses and releases a key or a mouse button through KWin's fake-input
 * protocol, as a remote-control tool would. XTest through XWayland and the
 * virtual-keyboard protocol do not count as the user's activity under KWin,
 * this does. KWin asks the user before it lets a client send events unless
 * KWIN_WAYLAND_NO_PERMISSION_CHECKS is set, as the tests set it.
 *
 *   kwin_fake_input key EVDEV_CODE
 *   kwin_fake_input button EVDEV_CODE
 *   kwin_fake_input motion DX DY
 *
 * It reaches the compositor named by WAYLAND_DISPLAY in XDG_RUNTIME_DIR and
 * exits 0 once the compositor has received every request, 1 when the
 * compositor is unreachable or does not offer the protocol. */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

struct globals {
  struct org_kde_kwin_fake_input* fakeInput;
  uint32_t version;
};

static void onGlobal(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  struct globals* globals = data;
  if (strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
  globals->version = version < 4 ? version : 4;
  globals->fakeInput = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, globals->version);
}

static void onGlobalRemoved(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener registryListener = {onGlobal, onGlobalRemoved};

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s key CODE | button CODE | motion DX DY\n", argv[0]);
    return 2;
  }
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "kwin_fake_input: no Wayland compositor answers\n");
    return 1;
  }
  struct globals globals = {NULL, 0};
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &globals);
  wl_display_roundtrip(display);
  if (globals.fakeInput == NULL) {
    fprintf(stderr, "kwin_fake_input: the compositor offers no org_kde_kwin_fake_input\n");
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(globals.fakeInput, "Quorrel tests", "user input for an end-to-end test");

  const uint32_t pressed = 1, released = 0;
  if (strcmp(argv[1], "key") == 0) {
    if (globals.version < 4) {
      fprintf(stderr, "kwin_fake_input: keys need version 4 of the protocol, the compositor has %u\n", globals.version);
      return 1;
    }
    const uint32_t code = (uint32_t)strtoul(argv[2], NULL, 10);
    org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, pressed);
    org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, released);
  } else if (strcmp(argv[1], "button") == 0) {
    const uint32_t code = (uint32_t)strtoul(argv[2], NULL, 10);
    org_kde_kwin_fake_input_button(globals.fakeInput, code, pressed);
    org_kde_kwin_fake_input_button(globals.fakeInput, code, released);
  } else if (strcmp(argv[1], "motion") == 0 && argc >= 4) {
    org_kde_kwin_fake_input_pointer_motion(globals.fakeInput, wl_fixed_from_int(atoi(argv[2])),
                                           wl_fixed_from_int(atoi(argv[3])));
  } else {
    fprintf(stderr, "kwin_fake_input: unknown request %s\n", argv[1]);
    return 2;
  }
  /* The requests are only written out, and the compositor has handled them
   * only once it has answered a round trip that follows them. */
  const int status = wl_display_roundtrip(display) < 0 ? 1 : 0;
  org_kde_kwin_fake_input_destroy(globals.fakeInput);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return status;
}
