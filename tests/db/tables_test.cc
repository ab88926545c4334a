#include "db/tables.h"

#include <gtest/gtest.h>

#include "db/literals.h"
#include "db/lookups.h"
#include "db_fixture.h"
#include "support/tsql_grammar.h"

namespace {

using dbtest::DbTest;

TEST(TableStatements, ExactTexts) {
  EXPECT_EQ(db::ExistsTableStatement("EMPRESAS"),
            "if exists ( select *  from dbo.sysobjects  where id = "
            "object_id(N'[dbo].[EMPRESAS]')  and OBJECTPROPERTY(id, N'IsUserTable') = 1) "
            "BEGIN SELECT CAST( 1 AS INT ) AS EXISTE END ELSE BEGIN SELECT CAST( 0 AS INT ) "
            "AS EXISTE END ");
  // A quote or a closing bracket in the name stays inside its literal.
  EXPECT_NE(db::ExistsTableStatement("a'b]c").find("object_id(N'[dbo].[a''b]]c]')"),
            std::string::npos);
  EXPECT_EQ(std::string(db::kCreateEmpresas),
            "CREATE TABLE [dbo].[EMPRESAS](  [EMPRESA] [char](2)     NOT NULL, [RAZON]   "
            "[varchar](50) NULL DEFAULT 0,  [ACTIVA]  [bit]         NULL DEFAULT 0,   "
            "[MODALIDAD] [char](5)   NULL DEFAULT '00000' ) ON [PRIMARY]  \r\n\r\n"
            "ALTER TABLE [dbo].[EMPRESAS] WITH NOCHECK ADD           CONSTRAINT "
            "[PK_EMPRESAS] PRIMARY KEY  CLUSTERED  (                   [EMPRESA]  )  ON "
            "[PRIMARY] ");
}

// The existence query is T-SQL; elsewhere it fails, the row has no EXISTE
// column and reading it ends the program.
TEST_F(DbTest, ExistsTableEndsTheProgramWhenItsQueryFails) {
  Connect(env_.sqlite_dsn);
  EXPECT_THROW(db::EXISTETABLA(session_, "EMPRESAS"), ui::ProgramEnded);
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform_.messages[0].text.rfind("SIN EXITO 2 -> \r\n", 0), 0u);
  EXPECT_NE(platform_.messages[0].text.find(db::ExistsTableStatement("EMPRESAS")),
            std::string::npos);
  EXPECT_EQ(platform_.messages[1].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[1].text, "ERROR en VCC(), campo no existe : EXISTE");
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(DbTest, CreateTableKnowsOnlyEmpresas) {
  Connect(env_.sqlite_dsn);
  session_.LMONITOREO = true;
  for (const char* name : {"Empresas", "empresas", "CONFIGP", ""}) {
    std::string error;
    EXPECT_FALSE(db::CREARTABLASQL(session_, name, &error)) << name;
    EXPECT_EQ(error, "No existe para creación automática");
  }
  EXPECT_EQ(trace_.current_number(), 0);  // nothing was sent

  // EMPRESAS is sent; this server has no dbo schema, so its message comes back.
  std::string error;
  EXPECT_FALSE(db::CREARTABLASQL(session_, "EMPRESAS", &error));
  EXPECT_NE(error.find("[SQLite]"), std::string::npos) << error;
  EXPECT_EQ(trace_.current_number(), 1);
  EXPECT_TRUE(platform_.messages.empty());
}

TEST(AccessLayerStatements, AreTsql) {
  using db::Value;
  const std::vector<std::string> statements = {
      db::SeekStatement("CONFIGP", {"EMPRESA"}, {Value::Text("01")}, "RAZON"),
      db::SeekStatement("MAEEN", {"KOEN", "SUEN", "FECHA", "ACTIVO", "MONTO"},
                        {Value::Text("O'Neil"), Value::Text("'; DROP TABLE X --"),
                         Value::FromDate({2024, 3, 5}), Value::Logical(true),
                         Value::DbNumber(1.5)}),
      db::SeekStatement("VENDEDORYNOTA", {"KOFU"}, {Value::Text("A1")}),
      db::TopStatement("EMPRESAS", " EMPRESA ", " ACTIVA=1 "),
      db::TopStatement("EMPRESAS", "EMPRESA", ""),
      db::TopStatement("EMPRESAS", "", "", "RAZON"),
      db::ExistsTableStatement("EMPRESAS"),
      db::ExistsTableStatement("O'Brien]"),
      db::kCreateEmpresas,
      "SELECT CONVERT(varchar(14)," + db::TRANFESQL({2023, 1, 16}) + ",112) AS F, " +
          db::TRANFESQL({}) + " AS G, " + db::NACSB(-0.25) + " AS H",
  };
  EXPECT_ALL_TSQL(statements);
}

}  // namespace
