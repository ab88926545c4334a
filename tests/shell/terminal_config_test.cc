#include "shell/terminal_config.h"

#include <gtest/gtest.h>

#include <sstream>

#include "config/cipher.h"
#include "support/odbc_test_env.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

class AcceptingChecker : public config::ConnectionChecker {
 public:
  bool CanConnect(const std::string&, const std::string&, const std::string&) override {
    return true;
  }
  void EndConnection(std::shared_ptr<db::TOdbc>& connection) override { connection.reset(); }
};

struct TerminalConfigTest : ::testing::Test {
  // The configuration object of a first start: nothing stored yet.
  config::TInicio Fresh() {
    bool ok = true;
    auto ini = config::TInicio::New(testsupport::FreshDir("terminal-config"), platform, ok);
    platform.messages.clear();
    return ini;
  }
  bool Run(config::TInicio& ini, const std::string& typed) {
    std::istringstream in(typed);
    Terminal terminal{in, out, [this](bool on) { echo.push_back(on); }};
    return TerminalConfigure(ini, platform, checker, terminal);
  }
  ui::RecordingPlatform platform;
  AcceptingChecker checker;
  std::ostringstream out;
  std::vector<bool> echo;
};

TEST_F(TerminalConfigTest, StoresTrimmedValuesSavesAndConfirms) {
  auto ini = Fresh();
  ASSERT_TRUE(Run(ini,
                  "  QUORIX \nsa\n s3cret\n\nVELMORA\nvel\npw\nVELMORADB\n"
                  "Modern_Spanish_CI_AS\nops@example.com\n0\ns\n"));
  EXPECT_EQ(ini.cDSN, "QUORIX");
  EXPECT_EQ(ini.cPassword, "s3cret");
  EXPECT_EQ(ini.cCollationOrigen, "");
  EXPECT_EQ(ini.BaseDestino, "VELMORADB");
  EXPECT_EQ(ini.nLapso, 250);  // 0 becomes the default when saved
  // Passwords are typed without echo: off and on again, twice.
  EXPECT_EQ(echo, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(out.str().find("s3cret"), std::string::npos);
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().text, "Datos fueron actualizados");
  EXPECT_TRUE(std::filesystem::exists(ini.IniPath()));

  bool ok = false;
  auto reloaded = config::TInicio::New(ini.cRuta, platform, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(reloaded.cPassword, "s3cret");
}

TEST_F(TerminalConfigTest, EnterKeepsValuesAndLimitsAreEnforced) {
  auto ini = Fresh();
  ini.cDSN = "QUORIX";
  ini.nLapso = 300;
  const std::string too_long(201, 'x');
  // DSN kept; a 201-character user asked again; interval of five digits and
  // a negative one asked again; "n" does not save.
  ASSERT_FALSE(Run(ini, "\n" + too_long + "\nsa\n\n\n\n\n\n\n\n\n12345\n-1\n42\nn\n"));
  EXPECT_NE(out.str().find("at most 200 characters"), std::string::npos);
  EXPECT_NE(out.str().find("at most four digits"), std::string::npos);
  EXPECT_EQ(ini.cDSN, "QUORIX");
  EXPECT_EQ(ini.nLapso, 300);  // not confirmed: nothing stored
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TerminalConfigTest, IncompleteValuesAreRefusedByTheSave) {
  auto ini = Fresh();
  // Only the origin DSN typed: the save refuses, and the values are in memory.
  ASSERT_TRUE(Run(ini, "QUORIX\n\n\n\n\n\n\n\n\n\n\ns\n"));
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text,
            "Debe completar todos los datos. Grabación no se efectuó");
  EXPECT_EQ(platform.messages[1].text, "Datos fueron actualizados");
  EXPECT_EQ(ini.cDSN, "QUORIX");
  EXPECT_FALSE(std::filesystem::exists(ini.IniPath()));
}

}  // namespace
}  // namespace shell
