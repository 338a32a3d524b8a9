#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/linux/hosts/host_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {

// Every host test runs on the same display of two 640x480 monitors side by
// side, with a session of its own for the test user.
class HostTest : public ::testing::Test {
 protected:
  static const MonitorDisplay& twoMonitors() {
    static const MonitorDisplay display(640, 480, 2);
    return display;
  }

  // A clip of one colour with a sound track, where the test user reads it.
  [[nodiscard]] std::string soundingClip(const std::string& colour) const {
    ClipOptions clip;
    clip.pattern = colour;
    clip.seconds = 4.0;
    clip.withAudio = true;
    return session.media(MakeClip(clip));
  }

  const MonitorDisplay& display = twoMonitors();
  const Saver& saver = SaverUnderTest();
  HostSession session{display};
};

}  // namespace quorrel::test
