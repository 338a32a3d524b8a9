#include "tests/linux/desktops/session_bus.h"

#include <QDBusConnectionInterface>
#include <atomic>
#include <stdexcept>

namespace quorrel::test {

namespace {

QString uniqueConnectionName() {
  static std::atomic<int> count{0};
  return QStringLiteral("quorrel-test-%1").arg(++count);
}

}  // namespace

SessionBus::SessionBus(const std::string& address)
    : name_(uniqueConnectionName()),
      connection_(QDBusConnection::connectToBus(QString::fromStdString(address), name_)) {
  if (!connection_.isConnected()) {
    throw std::runtime_error("cannot reach the bus " + address + ": " +
                             connection_.lastError().message().toStdString());
  }
}

SessionBus::~SessionBus() { QDBusConnection::disconnectFromBus(name_); }

QList<QVariant> SessionBus::call(const QString& service, const QString& path, const QString& interface,
                                 const QString& method, const QList<QVariant>& arguments, int timeoutMs) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
  message.setArguments(arguments);
  const QDBusMessage reply = connection_.call(message, QDBus::Block, timeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    throw std::runtime_error(
        (interface + "." + method + ": " + reply.errorName() + ": " + reply.errorMessage()).toStdString());
  }
  return reply.arguments();
}

bool SessionBus::answers(const QString& service, const QString& path, const QString& interface, const QString& method,
                         const QList<QVariant>& arguments) {
  try {
    (void)call(service, path, interface, method, arguments, 2000);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

bool SessionBus::hasOwner(const QString& name) { return connection_.interface()->isServiceRegistered(name).value(); }

void SessionBus::own(const QString& name) {
  if (!connection_.registerService(name)) {
    throw std::runtime_error("cannot own " + name.toStdString() + ": " +
                             connection_.lastError().message().toStdString());
  }
}

ScreenSaverInhibition::ScreenSaverInhibition(const std::string& busAddress) : client_(busAddress) {
  const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
  (void)client_.call(screenSaver, "/org/freedesktop/ScreenSaver", screenSaver, "Inhibit",
                     {QStringLiteral("Quorrel tests"), QStringLiteral("plays a video")});
}

}  // namespace quorrel::test
