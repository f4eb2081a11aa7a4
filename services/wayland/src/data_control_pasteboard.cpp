#include "parasort/services/wayland/data_control_pasteboard.h"

#include "parasort/services/pipe_transfer.h"
#include "parasort/services/wayland/plain_text_types.h"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace parasort {
namespace {

// Both protocols carry the same messages under the same numbers; one
// implementation serves both, with the interfaces chosen at run time.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE == ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE == ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION == ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_OFFER == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_DESTROY == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE);
static_assert(EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);

struct Interfaces {
  const wl_interface* manager;
  const wl_interface* device;
  const wl_interface* source;
  const wl_interface* offer;
};

constexpr Interfaces extInterfaces{&ext_data_control_manager_v1_interface, &ext_data_control_device_v1_interface,
                                   &ext_data_control_source_v1_interface, &ext_data_control_offer_v1_interface};
constexpr Interfaces wlrInterfaces{&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
                                   &zwlr_data_control_source_v1_interface, &zwlr_data_control_offer_v1_interface};

// The listeners, in the order of each interface's events.
struct DeviceListener {
  void (*dataOffer)(void*, wl_proxy*, wl_proxy*);
  void (*selection)(void*, wl_proxy*, wl_proxy*);
  void (*finished)(void*, wl_proxy*);
  void (*primarySelection)(void*, wl_proxy*, wl_proxy*);
};
struct SourceListener {
  void (*send)(void*, wl_proxy*, const char*, int32_t);
  void (*cancelled)(void*, wl_proxy*);
};
struct OfferListener {
  void (*offer)(void*, wl_proxy*, const char*);
};

template <class Listener>
void listen(wl_proxy* proxy, const Listener& listener, void* data) {
  // libwayland takes a listener as an array of functions, as its generated
  // code passes its listener structures.
  wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), data);
}

wl_proxy* asProxy(void* object) { return static_cast<wl_proxy*>(object); }

void destroyWith(wl_proxy* proxy, std::uint32_t opcode) {
  if (proxy != nullptr)
    wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy), WL_MARSHAL_FLAG_DESTROY);
}

struct Globals {
  std::uint32_t seatName = 0;
  std::uint32_t extName = 0, extVersion = 0;
  std::uint32_t wlrName = 0, wlrVersion = 0;
};

void noteGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
                std::uint32_t version) {
  auto& globals = *static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seatName == 0) {
    globals.seatName = name;
  } else if (std::strcmp(interface, ext_data_control_manager_v1_interface.name) == 0) {
    globals.extName = name;
    globals.extVersion = version;
  } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
    globals.wlrName = name;
    globals.wlrVersion = version;
  }
}
void forgetGlobal(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}
constexpr wl_registry_listener registryListener{noteGlobal, forgetGlobal};

}  // namespace

struct DataControlPasteboard::Session {
  Interfaces interfaces{};
  Limits limits;
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  wl_proxy* manager = nullptr;
  wl_proxy* device = nullptr;
  std::map<wl_proxy*, std::vector<std::string>> offers;  // announced, with their types
  wl_proxy* selection = nullptr;                          // among offers, or none
  struct Source {
    wl_proxy* proxy = nullptr;
    std::vector<std::string> declared;
    std::map<std::string, std::shared_ptr<const std::string>, std::less<>> contents;
  };
  Source source;

  ~Session() {
    for (const auto& offer : offers) destroyWith(offer.first, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
    destroyWith(source.proxy, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
    destroyWith(device, EXT_DATA_CONTROL_DEVICE_V1_DESTROY);
    destroyWith(manager, EXT_DATA_CONTROL_MANAGER_V1_DESTROY);
    if (seat != nullptr) wl_seat_destroy(seat);
    if (registry != nullptr) wl_registry_destroy(registry);
    if (display != nullptr) wl_display_disconnect(display);
  }

  bool usable() const { return display != nullptr && device != nullptr && wl_display_get_error(display) == 0; }

  // Catches up with the compositor: every selection change made before the
  // call has arrived when it returns.
  bool catchUp() { return usable() && wl_display_roundtrip(display) >= 0 && usable(); }

  void dispatch() {
    if (display == nullptr || wl_display_get_error(display) != 0) return;
    if (wl_display_prepare_read(display) == 0) {
      pollfd wait{wl_display_get_fd(display), POLLIN, 0};
      if (::poll(&wait, 1, 0) > 0) {
        wl_display_read_events(display);
      } else {
        wl_display_cancel_read(display);
      }
    }
    wl_display_dispatch_pending(display);
    wl_display_flush(display);
  }

  const std::vector<std::string>* selectionTypes() const {
    const auto offer = offers.find(selection);
    return offer == offers.end() ? nullptr : &offer->second;
  }

  void dropOffer(wl_proxy* offer) {
    if (offer == nullptr || offers.erase(offer) == 0) return;
    destroyWith(offer, EXT_DATA_CONTROL_OFFER_V1_DESTROY);
  }

  static void onOffer(void* data, wl_proxy* offer, const char* type) {
    static_cast<Session*>(data)->offers[offer].emplace_back(type);
  }
  static constexpr OfferListener offerListener{onOffer};

  static void onDataOffer(void* data, wl_proxy* /*device*/, wl_proxy* offer) {
    auto& session = *static_cast<Session*>(data);
    session.offers[offer];
    listen(offer, offerListener, &session);
  }
  static void onSelection(void* data, wl_proxy* /*device*/, wl_proxy* offer) {
    auto& session = *static_cast<Session*>(data);
    // The offer it replaces, and any announced but never made the selection
    // (the primary selection's), are of no more use.
    std::vector<wl_proxy*> stale;
    for (const auto& announced : session.offers)
      if (announced.first != offer) stale.push_back(announced.first);
    for (wl_proxy* old : stale) session.dropOffer(old);
    session.selection = offer;
  }
  static void onFinished(void* data, wl_proxy* /*device*/) {
    auto& session = *static_cast<Session*>(data);
    destroyWith(session.device, EXT_DATA_CONTROL_DEVICE_V1_DESTROY);
    session.device = nullptr;
  }
  static void onPrimarySelection(void* data, wl_proxy* /*device*/, wl_proxy* offer) {
    auto& session = *static_cast<Session*>(data);
    if (offer != session.selection) session.dropOffer(offer);
  }
  static constexpr DeviceListener deviceListener{onDataOffer, onSelection, onFinished, onPrimarySelection};

  static void onSend(void* data, wl_proxy* source, const char* type, int32_t fd) {
    auto& session = *static_cast<Session*>(data);
    const Source& current = session.source;
    if (source != current.proxy) {
      ::close(fd);
      return;
    }
    // Every plain-text name hands out the plain string's bytes.
    const bool plainText = isPlainTextType(type) && std::ranges::find(current.declared, stringPboardType) !=
                                                        current.declared.end();
    const auto contents = current.contents.find(plainText ? stringPboardType : std::string_view(type));
    writePipeInBackground(fd,
                          contents != current.contents.end() ? contents->second
                                                             : std::make_shared<const std::string>(),
                          session.limits.write);
  }
  static void onCancelled(void* data, wl_proxy* source) {
    auto& session = *static_cast<Session*>(data);
    if (source == session.source.proxy) session.source = {};
    destroyWith(source, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
  }
  static constexpr SourceListener sourceListener{onSend, onCancelled};
};

DataControlGlobals findDataControlGlobals() {
  DataControlGlobals found;
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return found;
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &globals);
  if (wl_display_roundtrip(display) >= 0) {
    found.reached = true;
    // A manager is of no use without a seat to control.
    if (globals.seatName != 0) {
      found.extVersion = globals.extVersion;
      found.wlrVersion = globals.wlrVersion;
    }
  }
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return found;
}

std::unique_ptr<DataControlPasteboard> DataControlPasteboard::open(Protocol protocol, Limits limits) {
  auto session = std::make_unique<Session>();
  session->limits = limits;
  session->interfaces = protocol == Protocol::ext ? extInterfaces : wlrInterfaces;
  session->display = wl_display_connect(nullptr);
  if (session->display == nullptr) return nullptr;
  Globals globals;
  session->registry = wl_display_get_registry(session->display);
  wl_registry_add_listener(session->registry, &registryListener, &globals);
  if (wl_display_roundtrip(session->display) < 0) return nullptr;
  const std::uint32_t managerName = protocol == Protocol::ext ? globals.extName : globals.wlrName;
  const std::uint32_t version =
      protocol == Protocol::ext ? std::min<std::uint32_t>(globals.extVersion, 1) : std::min<std::uint32_t>(globals.wlrVersion, 2);
  if (managerName == 0 || globals.seatName == 0) return nullptr;

  session->seat = static_cast<wl_seat*>(wl_registry_bind(session->registry, globals.seatName, &wl_seat_interface, 1));
  session->manager = asProxy(wl_registry_bind(session->registry, managerName, session->interfaces.manager, version));
  session->device = wl_proxy_marshal_flags(session->manager, EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE,
                                           session->interfaces.device, version, 0, nullptr, session->seat);
  listen(session->device, Session::deviceListener, session.get());
  // The current selection arrives at once.
  if (!session->catchUp()) return nullptr;
  return std::unique_ptr<DataControlPasteboard>(new DataControlPasteboard(std::move(session)));
}

DataControlPasteboard::DataControlPasteboard(std::unique_ptr<Session> session) : session_(std::move(session)) {}

DataControlPasteboard::~DataControlPasteboard() = default;

std::vector<std::string> DataControlPasteboard::types() const {
  if (!session_->catchUp()) return {};
  const std::vector<std::string>* offered = session_->selectionTypes();
  return offered != nullptr ? servicesTypesOf(*offered) : std::vector<std::string>{};
}

std::optional<std::u16string> DataControlPasteboard::stringForType(std::string_view type) const {
  Session& session = *session_;
  if (!session.catchUp()) return std::nullopt;
  const std::vector<std::string>* offered = session.selectionTypes();
  if (offered == nullptr) return std::nullopt;
  std::optional<std::string> name;
  if (type == stringPboardType) {
    name = bestPlainTextType(*offered);
  } else if (std::ranges::find(*offered, type) != offered->end()) {
    name = std::string(type);
  }
  if (!name) return std::nullopt;

  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  wl_proxy_marshal_flags(session.selection, EXT_DATA_CONTROL_OFFER_V1_RECEIVE, nullptr,
                         wl_proxy_get_version(session.selection), 0, name->c_str(), ends[1]);
  wl_display_flush(session.display);
  ::close(ends[1]);
  // The source may be this pasteboard's own: its connection is kept served
  // while the bytes come.
  const std::optional<std::string> bytes = readPipeToEnd(
      ends[0], session.limits.read, {wl_display_get_fd(session.display), [&session] { session.dispatch(); }});
  if (!bytes) return std::nullopt;
  return textOfClipboardBytes(*bytes, *name);
}

void DataControlPasteboard::declareTypes(std::span<const std::string> types) {
  Session& session = *session_;
  if (!session.usable()) return;
  Session::Source source;
  source.proxy = wl_proxy_marshal_flags(session.manager, EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
                                        session.interfaces.source, wl_proxy_get_version(session.manager), 0, nullptr);
  listen(source.proxy, Session::sourceListener, &session);
  std::vector<std::string> offered;
  const auto offer = [&](std::string_view name) {
    if (std::ranges::find(offered, name) != offered.end()) return;
    offered.emplace_back(name);
    wl_proxy_marshal_flags(source.proxy, EXT_DATA_CONTROL_SOURCE_V1_OFFER, nullptr,
                           wl_proxy_get_version(source.proxy), 0, offered.back().c_str());
  };
  for (const std::string& type : types) {
    if (std::ranges::find(source.declared, type) != source.declared.end()) continue;
    source.declared.push_back(type);
    if (type == stringPboardType) {
      for (const std::string_view name : plainTextTypes()) offer(name);
    } else {
      offer(type);
    }
  }
  wl_proxy_marshal_flags(session.device, EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION, nullptr,
                         wl_proxy_get_version(session.device), 0, source.proxy);
  destroyWith(std::exchange(session.source, std::move(source)).proxy, EXT_DATA_CONTROL_SOURCE_V1_DESTROY);
  wl_display_flush(session.display);
}

bool DataControlPasteboard::setString(std::u16string_view string, std::string_view type) {
  Session::Source& source = session_->source;
  if (source.proxy == nullptr || std::ranges::find(source.declared, type) == source.declared.end()) return false;
  // Handed out from now on: nobody has been served since the types were
  // declared, as the connection has not been read in between.
  source.contents[std::string(type)] = std::make_shared<const std::string>(utf8Of(string));
  return true;
}

int DataControlPasteboard::eventDescriptor() const { return wl_display_get_fd(session_->display); }

void DataControlPasteboard::dispatchEvents() { session_->dispatch(); }

bool DataControlPasteboard::connected() const { return wl_display_get_error(session_->display) == 0; }

}  // namespace parasort
