#include "shell/startup.h"

#include <gtest/gtest.h>

#include "support/files.h"

#include <fstream>
#include <sstream>

#include "config/cipher.h"
#include "db/odbc_connection.h"
#include "support/odbc_test_env.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

struct Origin {
  std::string dsn, user, password;
};

// A program directory whose INI holds every required value, with the given
// origin values.
std::filesystem::path ProgramDir(const std::string& name, const Origin& origin) {
  auto dir = testsupport::FreshDir(name);
  std::ofstream ini(dir / "Norvo2015.ini");
  auto enc = [](const std::string& v) { return config::Encriptar(v, 1); };
  ini << "[ODBC_ORIGEN]\r\nDSN=" << enc(origin.dsn) << "\r\nUSR=" << enc(origin.user)
      << "\r\nPSW=" << enc(origin.password) << "\r\nCOLL=\r\n"
      << "[ODBC_DESTINO]\r\nDSN=" << enc("VELMORA") << "\r\nUSR=" << enc("sa")
      << "\r\nPSW=" << enc("x") << "\r\nDB=" << enc("VELMORA")
      << "\r\nCOLL=" << enc("Modern_Spanish_CI_AS") << "\r\n";
  return dir;
}

using testsupport::ReadFile;

struct StartupTest : ::testing::Test {
  void SetUp() override { testsupport::OdbcTestEnv::Get(); }
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::OdbcTestEnv::Get().temp_dir};
  ProcessContext ctx{platform, trace};
};

TEST_F(StartupTest, IncompleteConfigurationRefusesAfterTellingTheFace) {
  auto dir = testsupport::FreshDir("startup-incomplete");
  bool face_told = false;
  StartupHooks hooks;
  hooks.incomplete_configuration = [&](ProcessContext&) { face_told = true; };
  EXPECT_EQ(StartUp(ctx, dir, hooks), ui::kExitRefused);
  EXPECT_TRUE(face_told);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text, "Conexiones no definidas");
  EXPECT_EQ(platform.messages[1].text,
            "Servisor de Quorix-Norvo2015 no activado. Corrija y reintente");
  EXPECT_FALSE(std::filesystem::exists(dir / "Log.txt"));
}

TEST_F(StartupTest, BlankOriginValueWritesItsLogLineAndRefuses) {
  // A stored value that deciphers to blanks passes the file check but not the
  // origin check; the first blank one, in this order, is reported.
  const struct {
    Origin origin;
    std::string line;
  } cases[] = {
      {{" ", " ", " "}, "Fallo de parametros: falta nombre de base de datos ORIGEN-> "},
      {{"QUORIX", " ", " "}, "Fallo de parametros: falta Usuario de base de datos ORIGEN-> "},
      {{"QUORIX", "sa", " "},
       "Fallo de parametros: falta clave de conexion a base de datos ORIGEN-> "},
  };
  int n = 0;
  for (const auto& c : cases) {
    auto dir = ProgramDir("startup-blank-" + std::to_string(n++), c.origin);
    ProcessContext fresh(platform, trace);
    EXPECT_EQ(StartUp(fresh, dir, {}), ui::kExitRefused);
    const std::string log = ReadFile(dir / "Log.txt");
    ASSERT_EQ(log.rfind(c.line, 0), 0u) << log;
    // "dd/mm/yyyy hh:mm:ss" CR LF after the text, and nothing else.
    EXPECT_EQ(log.size(), c.line.size() + 19 + 2);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
    EXPECT_EQ(fresh.OODBC, nullptr);
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartupTest, FailedOriginConnectionLogsWithPasswordMasked) {
  auto dir = ProgramDir("startup-noconnect", {"qv_tds_closed", "sa", "s3cret"});
  EXPECT_EQ(StartUp(ctx, dir, {}), ui::kExitRefused);
  const std::string log = ReadFile(dir / "Log.txt");
  EXPECT_EQ(log.rfind("Fallo de conexion: al intentar conectar a qv_tds_closed sa **** -> ", 0),
            0u)
      << log;
  EXPECT_EQ(log.find("s3cret"), std::string::npos);
  ASSERT_NE(ctx.OODBC, nullptr);
  EXPECT_FALSE(ctx.OODBC->lSuccess);
  auto odbc = std::dynamic_pointer_cast<db::TOdbc>(ctx.OODBC);
  EXPECT_TRUE(odbc->hDbc == SQL_NULL_HDBC);  // ended
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages[0].kind, ui::MessageKind::kAlert);
  EXPECT_FALSE(ctx.oLog.IsOpen());
}

}  // namespace
}  // namespace shell
