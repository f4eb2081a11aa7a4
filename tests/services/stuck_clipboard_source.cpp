// A clipboard owner that never finishes handing out its text: it takes the
// clipboard through data-control (ext, else wlr) offering plain text,
// prints "ready", and keeps every pipe it is asked to fill open, after a
// first few bytes, until another client takes the clipboard or it is
// killed. The services must give up on it within their time limit.
#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <unistd.h>

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct State {
  wl_seat* seat = nullptr;
  ext_data_control_manager_v1* ext = nullptr;
  zwlr_data_control_manager_v1* wlr = nullptr;
  std::vector<int> heldOpen;
  bool cancelled = false;
};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t /*version*/) {
  auto& state = *static_cast<State*>(data);
  if (std::strcmp(interface, "wl_seat") == 0 && state.seat == nullptr)
    state.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  if (std::strcmp(interface, "ext_data_control_manager_v1") == 0)
    state.ext = static_cast<ext_data_control_manager_v1*>(
        wl_registry_bind(registry, name, &ext_data_control_manager_v1_interface, 1));
  if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0)
    state.wlr = static_cast<zwlr_data_control_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

void send(State& state, int fd) {
  (void)!::write(fd, "never fin", 9);
  state.heldOpen.push_back(fd);
}
template <class Source>
void sendTo(void* data, Source*, const char*, int32_t fd) { send(*static_cast<State*>(data), fd); }
template <class Source>
void cancelled(void* data, Source*) { static_cast<State*>(data)->cancelled = true; }
const ext_data_control_source_v1_listener extListener{sendTo, cancelled};
const zwlr_data_control_source_v1_listener wlrListener{sendTo, cancelled};

template <class Manager, class Source, class Device, class Listener>
void takeClipboard(State& state, Manager* manager, Source* (*create)(Manager*),
                   Device* (*device)(Manager*, wl_seat*), void (*offer)(Source*, const char*),
                   void (*select)(Device*, Source*), const Listener& listener) {
  Source* source = create(manager);
  offer(source, "text/plain;charset=utf-8");
  offer(source, "text/plain");
  wl_proxy_add_listener(reinterpret_cast<wl_proxy*>(source),
                        reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), &state);
  select(device(manager, state.seat), source);
}

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return 1;
  State state;
  wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &state);
  wl_display_roundtrip(display);
  if (state.seat == nullptr) return 1;
  if (state.ext != nullptr) {
    takeClipboard(state, state.ext, ext_data_control_manager_v1_create_data_source,
                  ext_data_control_manager_v1_get_data_device, ext_data_control_source_v1_offer,
                  ext_data_control_device_v1_set_selection, extListener);
  } else if (state.wlr != nullptr) {
    takeClipboard(state, state.wlr, zwlr_data_control_manager_v1_create_data_source,
                  zwlr_data_control_manager_v1_get_data_device, zwlr_data_control_source_v1_offer,
                  zwlr_data_control_device_v1_set_selection, wlrListener);
  } else {
    return 1;
  }
  wl_display_roundtrip(display);
  std::puts("ready");
  std::fflush(stdout);
  while (!state.cancelled && wl_display_dispatch(display) >= 0) {
  }
  return 0;
}
