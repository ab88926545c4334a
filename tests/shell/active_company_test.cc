// The active-company bootstrap against the scripted database double: the
// exact statements of each path, the seeding of EMPRESAS, the messages and the
// settings copied into the configuration object.
#include "shell/active_company.h"

#include <gtest/gtest.h>

#include "db/tables.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace shell {
namespace {

using testsupport::ScriptedConnection;
using testsupport::ScriptedRow;
using Statements = std::vector<std::string>;

const std::string kConfigp =
    "SELECT TOP 1 RAZON FROM CONFIGP WITH ( NOLOCK )  WHERE EMPRESA='01'";
const std::string kExists =
    "if exists ( select *  from dbo.sysobjects  where id = object_id(N'[dbo].[EMPRESAS]')  "
    "and OBJECTPROPERTY(id, N'IsUserTable') = 1) BEGIN SELECT CAST( 1 AS INT ) AS EXISTE END "
    "ELSE BEGIN SELECT CAST( 0 AS INT ) AS EXISTE END ";
const std::string kCreate =
    "CREATE TABLE [dbo].[EMPRESAS](  [EMPRESA] [char](2)     NOT NULL, [RAZON]   "
    "[varchar](50) NULL DEFAULT 0,  [ACTIVA]  [bit]         NULL DEFAULT 0,   [MODALIDAD] "
    "[char](5)   NULL DEFAULT '00000' ) ON [PRIMARY]  \r\n\r\n"
    "ALTER TABLE [dbo].[EMPRESAS] WITH NOCHECK ADD           CONSTRAINT [PK_EMPRESAS] "
    "PRIMARY KEY  CLUSTERED  (                   [EMPRESA]  )  ON [PRIMARY] ";
const std::string kActive =
    "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  WHERE  ACTIVA=1  ORDER BY  EMPRESA ";
const char* const kNoActive =
    "No existe empresa activa, establéscala en Parámetros->Empresas y continúe";
const char* const kNoModality =
    "Modalidad no existe para la empresa. Establéscala en Parámetros->Empresas y continúe";

std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width - text.size(), ' ');
}

std::string ConfiestLookup(const std::string& empresa, const std::string& modalidad) {
  return "SELECT TOP 1 * FROM CONFIEST WITH ( NOLOCK )  WHERE EMPRESA='" + empresa +
         "' AND MODALIDAD='" + modalidad + "'";
}

class ActiveCompanyTest : public ::testing::Test {
 protected:
  ActiveCompanyTest() {
    ctx_.OODBC = db_;
    db_->FailUnscripted();  // every statement of the bootstrap is scripted
    // Values New gives before the bootstrap, and lists from the INI file.
    ctx_.ini.cEmpresa = "01";
    ctx_.ini.cModalidad = "\x05 \x05 \x05";
    ctx_.ini.ListaVenta = "ini";
  }

  void ScriptRazon(const std::string& razon) {
    db_->On(kConfigp).Returns({{"RAZON", SQL_VARCHAR, 50, 0}}, {{razon}});
  }
  void ScriptEmpresasExists(bool exists) {
    db_->On(kExists).Returns({{"EXISTE", SQL_INTEGER, 10, 0}}, {{exists ? "1" : "0"}});
  }
  void ScriptActive(std::vector<ScriptedRow> rows) {
    db_->On(kActive).Returns({{"EMPRESA", SQL_CHAR, 2, 0},
                              {"RAZON", SQL_VARCHAR, 50, 0},
                              {"ACTIVA", SQL_BIT, 1, 0},
                              {"MODALIDAD", SQL_CHAR, 5, 0}},
                             std::move(rows));
  }
  void ScriptConfiest(const std::string& lookup, std::vector<ScriptedRow> rows) {
    db_->On(lookup).Returns({{"EMPRESA", SQL_CHAR, 2, 0},
                             {"MODALIDAD", SQL_CHAR, 5, 0},
                             {"ESUCURSAL", SQL_CHAR, 3, 0},
                             {"EBODEGA", SQL_CHAR, 3, 0},
                             {"ELISTAVEN", SQL_CHAR, 2, 0},
                             {"ELISTACOM", SQL_CHAR, 2, 0},
                             {"ELISTAINT", SQL_CHAR, 2, 0}},
                            std::move(rows));
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : platform_.messages) texts.push_back(m.text);
    return texts;
  }

  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_{testsupport::FreshDir("active-company")};
  ProcessContext ctx_{platform_, trace_};
  std::shared_ptr<ScriptedConnection> db_ = std::make_shared<ScriptedConnection>();
};

TEST_F(ActiveCompanyTest, FirstStartCreatesAndSeedsEmpresasThenFindsNoActiveCompany) {
  // The name arrives padded to its column's width; quotes in it are doubled.
  const struct {
    std::string razon;
    std::string literal;
  } cases[] = {
      {"Acme S.A.", "'" + Padded("Acme S.A.", 50) + "'"},
      {"O'Higgins Ltda.", "'O''Higgins Ltda." + std::string(35, ' ') + "'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.razon);
    db_ = std::make_shared<ScriptedConnection>();
    db_->FailUnscripted();
    ctx_.OODBC = db_;
    platform_.messages.clear();
    const std::string seed =
        "INSERT INTO EMPRESAS (EMPRESA,RAZON,ACTIVA,MODALIDAD) VALUES ('01'," + c.literal +
        ",'0','VENTA')";
    ScriptRazon(c.razon);
    ScriptEmpresasExists(false);
    db_->On(kCreate).Succeeds();
    db_->On(seed).Succeeds();
    ScriptActive({});  // the seeded row is not active

    EXPECT_TRUE(BootstrapActiveCompany(ctx_));
    EXPECT_EQ(db_->statements(), (Statements{kConfigp, kExists, kCreate, seed, kActive}));
    EXPECT_EQ(MessageTexts(), Statements{kNoActive});
    EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
    EXPECT_EQ(platform_.messages[0].title, "ATENCION");
    EXPECT_EQ(ctx_.CNUMEROEMPRESA, "");
    EXPECT_EQ(ctx_.ini.cEmpresa, "01");
    EXPECT_EQ(ctx_.ini.cModalidad, "\x05 \x05 \x05");
    EXPECT_EQ(db_->open_statements(), 0);
  }
}

TEST_F(ActiveCompanyTest, FailedSeedingShowsTheDriverTextAndEndsStartUp) {
  ScriptRazon("Acme");
  ScriptEmpresasExists(false);
  db_->On(kCreate).Succeeds();
  db_->OnPrefix("INSERT INTO EMPRESAS ").Fails("String or binary data would be truncated.");

  EXPECT_FALSE(BootstrapActiveCompany(ctx_));
  ASSERT_EQ(db_->statements().size(), 4u);
  EXPECT_EQ(db_->statements()[2], kCreate);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(platform_.messages[0].text,
            "No pudo crearse tabla EMPRESA.\r\nString or binary data would be truncated.");
}

TEST_F(ActiveCompanyTest, FailedCreationGoesOnWithoutSeedingAsWithNoActiveCompany) {
  ScriptRazon("Acme");
  ScriptEmpresasExists(false);
  db_->On(kCreate).Fails("CREATE TABLE permission denied.");
  db_->On(kActive).Fails("Invalid object name 'EMPRESAS'.");

  EXPECT_TRUE(BootstrapActiveCompany(ctx_));
  EXPECT_EQ(db_->statements(), (Statements{kConfigp, kExists, kCreate, kActive}));
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[0].text.rfind("SIN EXITO 2 -> \r\nInvalid object name", 0), 0u);
  EXPECT_EQ(platform_.messages[1].text, kNoActive);
  EXPECT_EQ(ctx_.CNUMEROEMPRESA, "");
}

TEST_F(ActiveCompanyTest, ActiveCompanyWithItsModalityCopiesTheEightSettings) {
  ScriptRazon("Acme");
  ScriptEmpresasExists(true);
  // Two active rows: the statement orders by EMPRESA and the first row counts.
  ScriptActive({{"03", "Tres", "1", "MAYOR"}, {"05", "Cinco", "1", "VENTA"}});
  const std::string lookup = ConfiestLookup("03", "MAYOR");
  ScriptConfiest(lookup, {{"03", "MAYOR", "S01", "B02", "L1", "C2", "I3"}});

  EXPECT_TRUE(BootstrapActiveCompany(ctx_));
  EXPECT_EQ(db_->statements(), (Statements{kConfigp, kExists, kActive, lookup}));
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(ctx_.CNUMEROEMPRESA, "03");
  const config::TInicio& ini = ctx_.ini;
  EXPECT_EQ(ini.cEmpresa, "03");
  EXPECT_EQ(ini.cModalidad, "MAYOR");
  EXPECT_EQ(ini.cSucursal, "S01");
  EXPECT_EQ(ini.cBodega, "B02");
  EXPECT_EQ(ini.cLista, "L1");
  EXPECT_EQ(ini.ListaVenta, "L1");
  EXPECT_EQ(ini.ListaCompra, "C2");
  EXPECT_EQ(ini.ListaInterna, "I3");
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(ActiveCompanyTest, MissingModalityEmptiesItAndGoesOn) {
  ScriptRazon("Acme");
  ScriptEmpresasExists(true);
  ScriptActive({{"02", "Dos", "1", "MAYO "}});
  const std::string lookup = ConfiestLookup("02", "MAYO ");
  ScriptConfiest(lookup, {});

  EXPECT_TRUE(BootstrapActiveCompany(ctx_));
  EXPECT_EQ(db_->statements(), (Statements{kConfigp, kExists, kActive, lookup}));
  EXPECT_EQ(MessageTexts(), Statements{kNoModality});
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(ctx_.CNUMEROEMPRESA, "02");
  EXPECT_EQ(ctx_.ini.cEmpresa, "02");
  EXPECT_EQ(ctx_.ini.cModalidad, "");
  EXPECT_EQ(ctx_.ini.ListaVenta, "ini");  // the lists keep the INI's values
}

}  // namespace
}  // namespace shell
