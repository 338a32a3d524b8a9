#include "linux/idle/screen_saver_service.h"

#include <string>

namespace quorrel::linux_desktop {

const sd_bus_vtable ScreenSaverService::kMethods[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Inhibit", "ss", "u", &ScreenSaverService::inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("UnInhibit", "u", "", &ScreenSaverService::unInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SimulateUserActivity", "", "", &ScreenSaverService::simulateUserActivity,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("GetActive", "", "b", &ScreenSaverService::getActive, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};

std::unique_ptr<ScreenSaverService> ScreenSaverService::Own(BusConnection& bus, Inhibitions& inhibitions,
                                                            std::function<void()> userActivity,
                                                            std::function<bool()> showActive) {
  std::unique_ptr<ScreenSaverService> service(
      new ScreenSaverService(bus, inhibitions, std::move(userActivity), std::move(showActive)));
  // Browsers call the newer path, KDE's programs the older one.
  const char* paths[] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};
  for (int i = 0; i < 2; ++i) {
    if (sd_bus_add_object_vtable(bus.get(), &service->objects_[i], paths[i], kName, kMethods, service.get()) < 0) {
      return nullptr;
    }
  }
  if (sd_bus_match_signal(bus.get(), &service->ownersLeaving_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus", "NameOwnerChanged", &ScreenSaverService::nameOwnerChanged,
                          service.get()) < 0) {
    return nullptr;
  }
  // Without a queue: a name that has an owner stays that owner's.
  if (sd_bus_request_name(bus.get(), kName, SD_BUS_NAME_ALLOW_REPLACEMENT) < 0) return nullptr;
  service->owned_ = true;
  return service;
}

ScreenSaverService::~ScreenSaverService() {
  if (owned_) (void)sd_bus_release_name(bus_.get(), kName);
  for (sd_bus_slot* slot : objects_) sd_bus_slot_unref(slot);
  sd_bus_slot_unref(ownersLeaving_);
}

int ScreenSaverService::inhibit(sd_bus_message* call, void* self, sd_bus_error*) {
  auto* service = static_cast<ScreenSaverService*>(self);
  const char* application = nullptr;
  const char* reason = nullptr;
  const int read = sd_bus_message_read(call, "ss", &application, &reason);
  if (read < 0) return read;
  const char* sender = sd_bus_message_get_sender(call);
  const std::uint32_t cookie = service->inhibitions_.inhibit(sender != nullptr ? sender : "", application, reason);
  return sd_bus_reply_method_return(call, "u", cookie);
}

int ScreenSaverService::unInhibit(sd_bus_message* call, void* self, sd_bus_error*) {
  auto* service = static_cast<ScreenSaverService*>(self);
  std::uint32_t cookie = 0;
  const int read = sd_bus_message_read(call, "u", &cookie);
  if (read < 0) return read;
  const char* sender = sd_bus_message_get_sender(call);
  (void)service->inhibitions_.release(sender != nullptr ? sender : "", cookie);
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::simulateUserActivity(sd_bus_message* call, void* self, sd_bus_error*) {
  static_cast<ScreenSaverService*>(self)->userActivity_();
  return sd_bus_reply_method_return(call, "");
}

int ScreenSaverService::getActive(sd_bus_message* call, void* self, sd_bus_error*) {
  const int active = static_cast<ScreenSaverService*>(self)->showActive_() ? 1 : 0;
  return sd_bus_reply_method_return(call, "b", active);
}

int ScreenSaverService::nameOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error*) {
  auto* service = static_cast<ScreenSaverService*>(self);
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  if (sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
  // A connection that left the bus: its unique name lost its owner.
  if (name != nullptr && name[0] == ':' && newOwner != nullptr && newOwner[0] == '\0') {
    service->inhibitions_.ownerLeft(name);
  }
  return 0;
}

}  // namespace quorrel::linux_desktop
