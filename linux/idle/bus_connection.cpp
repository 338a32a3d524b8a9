#include "linux/idle/bus_connection.h"

#include <poll.h>

#include <ctime>

namespace quorrel::linux_desktop {

std::unique_ptr<BusConnection> BusConnection::Started(sd_bus* bus, int opened) {
  if (opened < 0 || bus == nullptr) return nullptr;
  // A connection that is not up by now will not answer the first questions
  // either: the watcher goes on without it.
  const char* name = nullptr;
  if (sd_bus_get_unique_name(bus, &name) < 0) {
    sd_bus_flush_close_unref(bus);
    return nullptr;
  }
  return std::unique_ptr<BusConnection>(new BusConnection(bus));
}

namespace {

std::uint64_t timeoutMicroseconds() {
  return static_cast<std::uint64_t>(std::chrono::microseconds(BusConnection::kCallTimeout).count());
}

}  // namespace

std::unique_ptr<BusConnection> BusConnection::OpenSession() {
  sd_bus* bus = nullptr;
  const int opened = sd_bus_open_user(&bus);
  return Started(bus, opened);
}

std::unique_ptr<BusConnection> BusConnection::OpenSystem() {
  sd_bus* bus = nullptr;
  const int opened = sd_bus_open_system(&bus);
  return Started(bus, opened);
}

BusConnection::~BusConnection() { sd_bus_flush_close_unref(bus_); }

std::string BusConnection::uniqueName() const {
  const char* name = nullptr;
  if (sd_bus_get_unique_name(bus_, &name) < 0 || name == nullptr) return {};
  return name;
}

std::optional<std::string> BusConnection::ownerOf(const char* name) const {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  std::optional<std::string> owner;
  if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetNameOwner",
                         &error, &reply, "s", name) >= 0) {
    const char* unique = nullptr;
    if (sd_bus_message_read(reply, "s", &unique) >= 0 && unique != nullptr) owner = unique;
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return owner;
}

std::optional<bool> BusConnection::callForBoolean(const char* destination, const char* path, const char* interface,
                                                  const char* member) const {
  sd_bus_message* call = nullptr;
  if (sd_bus_message_new_method_call(bus_, &call, destination, path, interface, member) < 0) return std::nullopt;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  std::optional<bool> answer;
  if (sd_bus_call(bus_, call, timeoutMicroseconds(), &error, &reply) >= 0) {
    int value = 0;
    if (sd_bus_message_read(reply, "b", &value) >= 0) answer = value != 0;
  }
  sd_bus_message_unref(reply);
  sd_bus_message_unref(call);
  sd_bus_error_free(&error);
  return answer;
}

int BusConnection::pollFd() const { return lost_ ? -1 : sd_bus_get_fd(bus_); }

short BusConnection::pollEvents() const {
  const int events = lost_ ? 0 : sd_bus_get_events(bus_);
  return static_cast<short>(events < 0 ? 0 : events);
}

std::optional<SteadyTime> BusConnection::deadline() const {
  std::uint64_t at = 0;
  if (lost_ || sd_bus_get_timeout(bus_, &at) < 0 || at == UINT64_MAX) return std::nullopt;
  // sd-bus gives the time on CLOCK_MONOTONIC, the clock of steady_clock.
  return SteadyTime(std::chrono::duration_cast<SteadyTime::duration>(std::chrono::microseconds(at)));
}

void BusConnection::beforeWait() {
  if (lost_) return;
  // Messages read during a synchronous call wait in the queue; they are
  // handled now, or poll() would not wake for them.
  processAll();
  if (!lost_) sd_bus_flush(bus_);
}

void BusConnection::afterWait(short revents) {
  (void)revents;
  if (!lost_) processAll();
}

void BusConnection::processAll() {
  for (;;) {
    const int processed = sd_bus_process(bus_, nullptr);
    if (processed < 0) {
      lost_ = true;
      return;
    }
    if (processed == 0) return;
  }
}

}  // namespace quorrel::linux_desktop
