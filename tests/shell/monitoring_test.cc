#include "shell/monitoring.h"

#include <gtest/gtest.h>

#include "support/odbc_test_env.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

TEST(MonitoringTest, SwitchesAndShowsTheMenuMessage) {
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("monitoring")};
  db::Session session(platform, trace);

  SetMonitoring(session, true);
  EXPECT_TRUE(session.LMONITOREO);
  ToggleMonitoring(session);
  EXPECT_FALSE(session.LMONITOREO);
  ToggleMonitoring(session);
  EXPECT_TRUE(session.LMONITOREO);

  ASSERT_EQ(platform.messages.size(), 3u);
  const std::string on = "Monitoreo : ACTIVADO";
  const std::string off = "Monitoreo : DESACTIVADO\r\nArchivo queda en Monitoreo_001.TXT";
  EXPECT_EQ(platform.messages[0].text, on);
  EXPECT_EQ(platform.messages[1].text, off);
  EXPECT_EQ(platform.messages[2].text, on);
  for (const auto& m : platform.messages) {
    EXPECT_EQ(m.kind, ui::MessageKind::kInformation);
    EXPECT_EQ(m.title, "Information");
  }
}

}  // namespace
}  // namespace shell
