// The T-SQL grammar check that later tests rely on: it must reject broken
// statements, accept the T-SQL forms the service composes, and see through the
// ODBC escapes the literal rules produce.
#include "support/tsql_grammar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::CheckTsqlAll;
using testsupport::ToParsableTsql;

TEST(TsqlGrammar, ReplacesOdbcEscapesOutsideLiterals) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"WHERE D={d '2024-01-31'}", "WHERE D='2024-01-31'"},
      {"WHERE D = { D  '2024-01-31' } AND T={t '10:00:00'}",
       "WHERE D = '2024-01-31' AND T='10:00:00'"},
      {"VALUES ({ts '2024-01-31 10:00:00'})", "VALUES ('2024-01-31 10:00:00')"},
      {"SELECT {fn UCASE(A)}, {fn CONCAT('a}', {fn LCASE(B)})}",
       "SELECT  UCASE(A),  CONCAT('a}',  LCASE(B))"},
      // Inside literals, bracketed names and comments nothing changes.
      {"SELECT '{d ''x''}', [a{d 'y'}] -- {d 'z'}", "SELECT '{d ''x''}', [a{d 'y'}] -- {d 'z'}"},
      // Unknown escapes are left in place, for the parser to reject.
      {"{call P}", "{call P}"},
      {"ALTER TABLE T WITH NOCHECK ADD CONSTRAINT PK PRIMARY KEY (A)",
       "ALTER TABLE T ADD CONSTRAINT PK PRIMARY KEY (A)"},
      {"SELECT 'WITH CHECK ADD' AS X", "SELECT 'WITH CHECK ADD' AS X"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToParsableTsql(c.in), c.out) << c.in;
}

TEST(TsqlGrammar, RejectsBrokenStatements) {
  const std::vector<std::string> broken = {
      "SELECT FROM WHERE",
      "SELECT TOP 1 * FROM T WITH ( NOLOCK  WHERE A=1",
      "SELECT * FROM T WHERE A='O'Brien'",
      "UPDATE T SET N='open",
      "SELECT * FROM T WHERE A = ",
      "INSERT INTO [db].dbo.T SELECT * FROM #P WHERE NOT EXISTS ( SELECT * FROM X",
      "SELECT * FROM T WHERE D = {x '2024-01-31'}",
      "",
  };
  std::vector<testsupport::TsqlVerdict> verdicts = CheckTsqlAll(broken);
  ASSERT_EQ(verdicts.size(), broken.size());
  for (size_t i = 0; i < broken.size(); ++i) {
    EXPECT_FALSE(verdicts[i].ok) << broken[i];
    EXPECT_FALSE(verdicts[i].detail.empty()) << broken[i];
  }
  EXPECT_NE(verdicts[0].detail.find("unparsable"), std::string::npos) << verdicts[0].detail;
  // The gtest assertion names the rejected statement.
  ::testing::AssertionResult r = testsupport::IsTsql("SELECT FROM WHERE");
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("SELECT FROM WHERE"), std::string::npos);
}

TEST(TsqlGrammar, AcceptsTheTsqlTheServiceComposes) {
  const std::vector<std::string> valid = {
      "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  WHERE  ACTIVA=1  ORDER BY  EMPRESA ",
      "SELECT TOP 1 RAZON FROM CONFIGP WITH ( NOLOCK )  WHERE EMPRESA='01'",
      "CREATE TABLE [dbo].[EMPRESAS](  [EMPRESA] [char](2)     NOT NULL, [RAZON]   "
      "[varchar](50) NULL DEFAULT 0,  [ACTIVA]  [bit]         NULL DEFAULT 0,   "
      "[MODALIDAD] [char](5)   NULL DEFAULT '00000' ) ON [PRIMARY]  \r\n\r\n"
      "ALTER TABLE [dbo].[EMPRESAS] WITH NOCHECK ADD           CONSTRAINT [PK_EMPRESAS] "
      "PRIMARY KEY  CLUSTERED  (                   [EMPRESA]  )  ON [PRIMARY] ",
      "if exists ( select *  from dbo.sysobjects  where id = "
      "object_id(N'[dbo].[EMPRESAS]')  and OBJECTPROPERTY(id, N'IsUserTable') = 1) "
      "BEGIN SELECT CAST( 1 AS INT ) AS EXISTE END ELSE BEGIN SELECT CAST( 0 AS INT ) "
      "AS EXISTE END ",
      "BEGIN TRANSACTION",
      "COMMIT TRANSACTION",
      "ROLLBACK TRANSACTION",
      "SELECT * FROM PDAENCA WITH ( NOLOCK )  WHERE FEEMDO={d '2024-01-31'} AND "
      "HORA>{ts '2024-01-31 10:00:00'}",
      "UPDATE EMPRESAS SET RAZON='O''Brien' WHERE EMPRESA='01'",
      "INSERT INTO [VELMORA].dbo.ARTICULOS SELECT * FROM #PASO_ARTICULOS WITH (NOLOCK) "
      "WHERE NOT EXISTS ( SELECT * FROM [VELMORA].dbo.ARTICULOS AS X WITH (NOLOCK) "
      "WHERE X.ID_ARTICULO=#PASO_ARTICULOS.ID_ARTICULO )",
      "DROP TABLE #PASO_ARTICULOS\r\ngo\r\nSELECT CAST(KOPR AS VARCHAR(20) ) COLLATE "
      "Modern_Spanish_CI_AS AS ID_ARTICULO INTO #PASO_ARTICULOS FROM MAEPR WITH (NOLOCK)"
      "\r\nGO\r\n",
      "UPDATE #PASO_X SET INDICADOR_ACCION='A',ACTIVO=1,"
      "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
  };
  EXPECT_ALL_TSQL(valid);
}

}  // namespace
