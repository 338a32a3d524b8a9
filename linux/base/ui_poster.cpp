#include "linux/base/ui_poster.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quorrel::linux_desktop {

UiPoster QtUiPoster() {
  return [](std::function<void()> function) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
  };
}

}  // namespace quorrel::linux_desktop
