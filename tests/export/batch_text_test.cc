#include "export/batch_text.h"

#include <gtest/gtest.h>

#include "support/schema_ddl.h"

namespace exporter {
namespace {

TEST(BatchTextTest, CollationClause) {
  EXPECT_EQ(CollationClause(""), "");
  EXPECT_EQ(CollationClause("   "), "");
  EXPECT_EQ(CollationClause("  Modern_Spanish_CI_AS "), " COLLATE Modern_Spanish_CI_AS");
}

TEST(BatchTextTest, DestinationNameDoublesClosingBrackets) {
  EXPECT_EQ(DestinationTable("VELMORA", "ZONAS"), "[VELMORA].dbo.ZONAS");
  EXPECT_EQ(DestinationTable("odd]name", "ZONAS"), "[odd]]name].dbo.ZONAS");
}

TEST(BatchTextTest, CommonShapes) {
  const std::string dest = DestinationTable("VELMORA", "ZONAS");
  EXPECT_EQ(DropStaging("ZONAS"), "DROP TABLE #PASO_ZONAS");
  EXPECT_EQ(CastItem("''", "VARCHAR(20)", " COLLATE X", "ID_ZONA"),
            "CAST('' AS VARCHAR(20) ) COLLATE X AS ID_ZONA");
  EXPECT_EQ(CastItem("0", "INT", "", "N"), "CAST(0 AS INT ) AS N");
  EXPECT_EQ(StampStatement("ZONAS"),
            "UPDATE #PASO_ZONAS SET INDICADOR_ACCION='A',ACTIVO=1,"
            "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)");
  EXPECT_EQ(InsertMissing(dest, "ZONAS", {"ID_ZONA", "ID_X"}),
            "INSERT INTO [VELMORA].dbo.ZONAS SELECT * FROM #PASO_ZONAS WITH (NOLOCK) WHERE NOT "
            "EXISTS ( SELECT * FROM [VELMORA].dbo.ZONAS AS X WITH (NOLOCK) WHERE "
            "X.ID_ZONA=#PASO_ZONAS.ID_ZONA AND X.ID_X=#PASO_ZONAS.ID_X )");
  EXPECT_EQ(UpdateChanged(dest, "ZONAS", {"ID_ZONA"}, {"D", "ACTIVO"}, {"D"}),
            "UPDATE [VELMORA].dbo.ZONAS SET D = #PASO_ZONAS.D , ACTIVO = #PASO_ZONAS.ACTIVO "
            "FROM #PASO_ZONAS WITH (NOLOCK) WHERE [VELMORA].dbo.ZONAS.ID_ZONA=#PASO_ZONAS.ID_ZONA "
            "AND ( [VELMORA].dbo.ZONAS.D <> #PASO_ZONAS.D )");
  EXPECT_EQ(Text("O'Higgins"), "'O''Higgins'");
}

TEST(BatchTextTest, ListCodeIsTheLastThreeCharactersOfTheSetting) {
  const std::pair<std::string, std::string> cases[] = {
      {"TABPP01P", "01P"}, {"TABPP001", "001"}, {"01", "01"}, {"", ""}, {"   ", ""},
      {"TABPP01P  ", "01P"},  // a padded column's blanks are not part of the code
      {"TABPPÑ1", "PÑ1"},     // characters, not bytes
  };
  for (const auto& [lista, code] : cases) EXPECT_EQ(ListCode(lista), code) << lista;
}

TEST(BatchTextTest, StagingColumnsReadFromTheCreateStatement) {
  const std::string create =
      "SELECT CAST('sinclasificar' AS VARCHAR(20) ) COLLATE X AS ID, CAST(COALESCE(A,0) AS "
      "DECIMAL(18, 5) ) AS N, COALESCE(ST.STFI1,0) AS STOCK INTO #PASO_T";
  EXPECT_EQ(testsupport::StagingColumns(create),
            (std::vector<testsupport::ColumnLayout>{
                {"ID", "VARCHAR(20)"}, {"N", "DECIMAL(18,5)"}, {"STOCK", ""}}));
}

}  // namespace
}  // namespace exporter
