#pragma once

#include <gtest/gtest.h>

#include "tests/hosts/host_desktop.h"

namespace quorrel::test {

// Every host test runs on the same display of two 640x480 monitors side by
// side, with a session of its own for the test user.
class HostTest : public ::testing::Test {
 protected:
  static const MonitorDisplay& twoMonitors() {
    static const MonitorDisplay display(640, 480, 2);
    return display;
  }

  const MonitorDisplay& display = twoMonitors();
  const Saver& saver = SaverUnderTest();
  HostSession session{display};
};

}  // namespace quorrel::test
