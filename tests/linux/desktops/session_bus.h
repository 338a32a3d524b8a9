#pragma once

// A connection of the test's own to a desktop session's bus, as a
// desktop program holds one: the desktop ties what a client asked for
// (Mutter's remote-desktop session, a screen-saver inhibition) to the
// client's connection and drops it when the connection closes.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QVariant>
#include <string>

namespace quorrel::test {

class SessionBus {
 public:
  explicit SessionBus(const std::string& address);
  // Closes the connection, which the bus reports to the desktop as the
  // client's leaving.
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  // Calls a method and returns its reply's arguments; throws with the
  // error's text when the call fails.
  QList<QVariant> call(const QString& service, const QString& path, const QString& interface, const QString& method,
                       const QList<QVariant>& arguments = {}, int timeoutMs = 10000);
  // The same, returning whether it succeeded rather than throwing.
  [[nodiscard]] bool answers(const QString& service, const QString& path, const QString& interface,
                             const QString& method, const QList<QVariant>& arguments = {});
  [[nodiscard]] bool hasOwner(const QString& name);
  // Takes a well-known name, as the program whose name it is would.
  void own(const QString& name);
  [[nodiscard]] QDBusConnection& connection() { return connection_; }

 private:
  QString name_;
  QDBusConnection connection_;
};

// An org.freedesktop.ScreenSaver.Inhibit held by a client of its own, as a
// browser playing a video holds it. Desktops end an inhibition when its
// client leaves the bus, which the destructor does.
class ScreenSaverInhibition {
 public:
  explicit ScreenSaverInhibition(const std::string& busAddress);

 private:
  SessionBus client_;
};

}  // namespace quorrel::test
