#include "export/sales_force.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/trace.h"
#include "support/files.h"
#include "support/text_marks.h"
#include "support/odbc_test_env.h"
#include "support/schema_ddl.h"
#include "support/scripted_db.h"
#include "support/tsql_grammar.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

using Statements = std::vector<std::string>;

const char kBase[] = "VELMORA";
const char kDest[] = "[VELMORA].dbo.";
const std::string kCollation = " COLLATE Modern_Spanish_CI_AS";

// Replaces "{coll}" with the collation clause and "{D}" with the destination
// prefix "[VELMORA].dbo.".
std::string Expand(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{coll}", coll}, {"{D}", kDest}});
}

Statements Expand(const Statements& texts, const std::string& coll) {
  Statements out;
  for (const auto& text : texts) out.push_back(Expand(text, coll));
  return out;
}

// The update of changed rows, written out from its three lists.
std::string Update(const std::string& table, const Statements& keys, const Statements& sets,
                   const Statements& compared) {
  const std::string dest = std::string(kDest) + table;
  const std::string staging = "#PASO_" + table;
  std::string text = "UPDATE " + dest + " SET ";
  for (size_t i = 0; i < sets.size(); ++i) {
    text += (i ? " , " : "") + sets[i] + " = " + staging + "." + sets[i];
  }
  text += " FROM " + staging + " WITH (NOLOCK) WHERE ";
  for (size_t i = 0; i < keys.size(); ++i) {
    text += (i ? " AND " : "") + dest + "." + keys[i] + "=" + staging + "." + keys[i];
  }
  text += " AND ( ";
  for (size_t i = 0; i < compared.size(); ++i) {
    text += (i ? " OR " : "") + dest + "." + compared[i] + " <> " + staging + "." + compared[i];
  }
  return text + " )";
}

// ---- VENDEDORES ------------------------------------------------------------

// The columns after NOMBRE_VENDEDOR, the same constants in every source.
const std::string kSellerRest =
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_HORA_ULT_CARGA, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_HORA_ULT_GENER, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_HORA_ULT_DESC, "
    "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
    "CAST('1' AS VARCHAR(1) ){coll} AS ES_VENDEDOR_HH, "
    "CAST('' AS VARCHAR(1) ){coll} AS GENERAR_CARTERA_COMPLETA, "
    "CAST('' AS CHAR(2) ){coll} AS tipo_vende, "
    "CAST(0 AS NUMERIC(6,0) ) AS cod_norvocenter, "
    "CAST('' AS VARCHAR(20) ){coll} AS DESCUENTO_MAXIMO_VENDEDOR, "
    "CAST('' AS VARCHAR(20) ){coll} AS DESCUENTO_MAXIMO_ARTICULO, "
    "CAST('' AS VARCHAR(1) ){coll} AS NO_REPETIR_ENCUESTAS";

const std::string kSellerCreate =
    "SELECT CAST('sinclasificar' AS VARCHAR(20) ){coll} AS ID_VENDEDOR, "
    "CAST('' AS VARCHAR(10) ){coll} AS PASSWORD_VENDEDOR, "
    "CAST('vendedor sin clasificar' AS VARCHAR(40) ){coll} AS NOMBRE_VENDEDOR, " +
    kSellerRest + " INTO #PASO_VENDEDORES";

const std::string kSellerStamp =
    "UPDATE #PASO_VENDEDORES SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)";

const std::string kSellerInsert =
    "INSERT INTO {D}VENDEDORES SELECT DISTINCT * FROM #PASO_VENDEDORES WHERE NOT EXISTS "
    "( SELECT * FROM {D}VENDEDORES AS X WITH (NOLOCK) WHERE "
    "X.ID_VENDEDOR=#PASO_VENDEDORES.ID_VENDEDOR ) AND COALESCE(#PASO_VENDEDORES.ID_VENDEDOR,'')<>''";

std::string DocumentFill(const std::string& table, const std::string& code) {
  return "INSERT INTO #PASO_VENDEDORES SELECT DISTINCT CAST(" + code +
         " AS VARCHAR(20) ){coll} AS ID_VENDEDOR, CAST('' AS VARCHAR(10) ){coll} AS "
         "PASSWORD_VENDEDOR, CAST('Vendedor '+" + code +
         " AS VARCHAR(40) ){coll} AS NOMBRE_VENDEDOR, " + kSellerRest + " FROM " + table +
         " WITH (NOLOCK)";
}

Statements ExpectedSalespeople() {
  return {
      // Pass 1: TABFU.
      "DROP TABLE #PASO_VENDEDORES",
      kSellerCreate,
      "INSERT INTO #PASO_VENDEDORES SELECT CAST(KOFU AS VARCHAR(20) ){coll} AS ID_VENDEDOR, "
      "CAST('' AS VARCHAR(10) ){coll} AS PASSWORD_VENDEDOR, "
      "CAST(NOKOFU AS VARCHAR(40) ){coll} AS NOMBRE_VENDEDOR, " +
          kSellerRest + " FROM TABFU WITH (NOLOCK)",
      kSellerStamp,
      kSellerInsert,
      Update("VENDEDORES", {"ID_VENDEDOR"},
             {"PASSWORD_VENDEDOR", "NOMBRE_VENDEDOR", "FECHA_ULTIMA_MODIFICACION", "ACTIVO",
              "FECHA_HORA_ULT_CARGA", "FECHA_HORA_ULT_GENER", "FECHA_HORA_ULT_DESC",
              "INDICADOR_ACCION", "ES_VENDEDOR_HH", "GENERAR_CARTERA_COMPLETA", "tipo_vende",
              "cod_norvocenter", "DESCUENTO_MAXIMO_VENDEDOR", "DESCUENTO_MAXIMO_ARTICULO",
              "NO_REPETIR_ENCUESTAS"},
             {"PASSWORD_VENDEDOR", "NOMBRE_VENDEDOR", "FECHA_HORA_ULT_CARGA",
              "FECHA_HORA_ULT_GENER", "FECHA_HORA_ULT_DESC", "ES_VENDEDOR_HH",
              "GENERAR_CARTERA_COMPLETA", "tipo_vende", "cod_norvocenter",
              "DESCUENTO_MAXIMO_VENDEDOR", "DESCUENTO_MAXIMO_ARTICULO", "NO_REPETIR_ENCUESTAS"}),
      // Pass 2: document lines; no update.
      "DROP TABLE #PASO_VENDEDORES",
      kSellerCreate,
      DocumentFill("MAEDDO", "KOFULIDO"),
      kSellerStamp,
      kSellerInsert,
      // Pass 3: document headers; no update.
      "DROP TABLE #PASO_VENDEDORES",
      kSellerCreate,
      DocumentFill("MAEEDO", "KOFUDO"),
      kSellerStamp,
      kSellerInsert,
  };
}

// ---- VENDEDORES_CLIENTES ---------------------------------------------------

Statements ExpectedAssignments() {
  return {
      "DROP TABLE #PASO_VENDEDORES_CLIENTES",
      "SELECT CAST(KOFUEN AS VARCHAR(20) ){coll} AS ID_VENDEDOR, "
      "CAST(KOEN AS VARCHAR(20) ){coll} AS ID_CUENTA, "
      "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
      "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
      "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
      "CAST(LVEN AS VARCHAR(20) ){coll} AS ID_LISTA_PRECIO, "
      "CAST(0 AS VARCHAR(20) ){coll} AS PORCENTAJE_DESCUENTO, "
      "CAST('' AS VARCHAR(20) ){coll} AS ID_CONDICION_VENTA "
      "INTO #PASO_VENDEDORES_CLIENTES FROM MAEEN WITH (NOLOCK) "
      "WHERE TIPOSUC='P' AND COALESCE(KOFUEN,'')<>''",
      "UPDATE #PASO_VENDEDORES_CLIENTES SET ID_CUENTA=RTRIM(ID_CUENTA)",
      "UPDATE #PASO_VENDEDORES_CLIENTES SET INDICADOR_ACCION='A',ACTIVO=1,"
      "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
      "UPDATE #PASO_VENDEDORES_CLIENTES SET ID_VENDEDOR='sinclasificar' "
      "WHERE COALESCE(ID_VENDEDOR,'')=''",
      "INSERT INTO {D}VENDEDORES_CLIENTES SELECT DISTINCT * FROM #PASO_VENDEDORES_CLIENTES "
      "WITH (NOLOCK) WHERE NOT EXISTS ( SELECT * FROM {D}VENDEDORES_CLIENTES AS X WITH (NOLOCK) "
      "WHERE X.ID_VENDEDOR=#PASO_VENDEDORES_CLIENTES.ID_VENDEDOR AND "
      "X.ID_CUENTA=#PASO_VENDEDORES_CLIENTES.ID_CUENTA )",
      Update("VENDEDORES_CLIENTES", {"ID_VENDEDOR", "ID_CUENTA"},
             {"FECHA_ULTIMA_MODIFICACION", "INDICADOR_ACCION", "ID_LISTA_PRECIO",
              "PORCENTAJE_DESCUENTO", "ID_CONDICION_VENTA"},
             {"ID_LISTA_PRECIO", "PORCENTAJE_DESCUENTO", "ID_CONDICION_VENTA"}),
  };
}

// ---- RUTAS -----------------------------------------------------------------

Statements ExpectedRoutes() {
  return {
      "DROP TABLE #PASO_RUTAS",
      "SELECT CAST('' AS VARCHAR(20) ){coll} AS ID_RUTA, "
      "CAST('' AS VARCHAR(20) ){coll} AS ID_VENDEDOR, "
      "CAST('' AS VARCHAR(20) ){coll} AS ID_CUENTA, "
      "CAST('' AS VARCHAR(8) ){coll} AS FECHA_VISITA, "
      "CAST(0 AS INT ) AS ORDEN_VISITA, "
      "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
      "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
      "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION INTO #PASO_RUTAS",
      "INSERT INTO #PASO_RUTAS (ID_RUTA,ID_VENDEDOR, ID_CUENTA, ORDEN_VISITA,FECHA_VISITA) "
      "SELECT ID_RUTA,RTRIM(ID_VENDEDOR),RTRIM(ID_CUENTA),1, "
      "CONVERT(varchar(14),FECHA_VISITA,112) FROM #PASO_FE",
      "UPDATE #PASO_RUTAS SET INDICADOR_ACCION='A',ACTIVO=1,"
      "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
      "UPDATE #PASO_RUTAS SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
      "INSERT INTO {D}RUTAS SELECT DISTINCT * FROM #PASO_RUTAS WITH (NOLOCK) WHERE NOT EXISTS "
      "( SELECT * FROM {D}RUTAS AS X WITH (NOLOCK) WHERE X.ID_RUTA=#PASO_RUTAS.ID_RUTA AND "
      "X.ID_VENDEDOR=#PASO_RUTAS.ID_VENDEDOR AND X.ID_CUENTA=#PASO_RUTAS.ID_CUENTA AND "
      "X.FECHA_VISITA=#PASO_RUTAS.FECHA_VISITA )",
      Update("RUTAS", {"ID_RUTA", "ID_VENDEDOR", "ID_CUENTA", "FECHA_VISITA"},
             {"ORDEN_VISITA", "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION"},
             {"INDICADOR_ACCION"}),
  };
}

const std::string kWeekdayFlags =
    "SELECT KOFUEN AS ID_VENDEDOR,RTRIM(KOEN) AS ID_CUENTA,'' AS ZOEN,"
    "(CASE coalesce(RUTALUN,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_LUN,"
    "(CASE coalesce(RUTAMAR,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_MAR,"
    "(CASE coalesce(RUTAMIE,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_MIE,"
    "(CASE coalesce(RUTAJUE,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_JUE,"
    "(CASE coalesce(RUTAVIE,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_VIE,"
    "(CASE coalesce(RUTASAB,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_SAB,"
    "(CASE coalesce(RUTADOM,0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_DOM "
    "INTO #PASO_VENDEDORES_CLIENTES FROM MAEEN WITH (NOLOCK) WHERE TIPOSUC='P' AND KOFUEN<>''";

const std::string kVisits =
    "SELECT VC.ID_VENDEDOR,VC.ID_CUENTA,F.FECHA AS FECHA_VISITA,(CASE"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('MONDAY','LUNES') THEN VC.DESP_LUN"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('TUESDAY','MARTES') THEN VC.DESP_MAR"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('WEDNESDAY','MIÉRCOLES') THEN VC.DESP_MIE"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('THURSDAY','JUEVES') THEN VC.DESP_JUE"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('FRIDAY','VIERNES') THEN VC.DESP_VIE"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('SATURDAY','SÁBADO') THEN VC.DESP_SAB"
    " WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('SUNDAY','DOMINGO') THEN VC.DESP_DOM"
    " ELSE NULL END) AS ORDEN_VISITA,ZOEN AS ID_RUTA INTO #PASO_FE "
    "FROM #PASO_FECHAS AS F, #PASO_VENDEDORES_CLIENTES AS VC";

const std::string kDeleteNoVisit =
    "DELETE FROM #PASO_FE WHERE COALESCE(ORDEN_VISITA,'')='' OR ORDEN_VISITA='N'";

std::string CalendarInsert(const std::string& iso) {
  return "INSERT INTO #PASO_FECHAS (FECHA) VALUES (CONVERT(varchar(14),{d '" + iso + "'},112))";
}

// The date the tests give the service.
db::Date LeapFebruary() { return db::Date{2024, 2, 20}; }
db::Date YearEnd() { return db::Date{2024, 12, 15}; }

// RUTAS against the scripted database double, with the service's date fixed.
class RoutesTest : public ::testing::Test {
 protected:
  RoutesTest() : dir_(testsupport::FreshDir("sales-force-routes")), trace_(dir_) {
    session_.OODBC = db_;
    SetServiceDate(LeapFebruary);
  }
  ~RoutesTest() override { SetServiceDate(nullptr); }

  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_{platform_, trace_};
  std::shared_ptr<testsupport::ScriptedConnection> db_ =
      std::make_shared<testsupport::ScriptedConnection>();
};

TEST(SalesForceTest, BatchesMatchTheirTextsWithAndWithoutCollation) {
  for (const std::string& coll : {std::string(), kCollation}) {
    SCOPED_TRACE("collation '" + coll + "'");
    EXPECT_EQ(VENDEDORES(kBase, coll), Expand(ExpectedSalespeople(), coll));
    EXPECT_EQ(VENDEDORES_CLIENTES(kBase, coll), Expand(ExpectedAssignments(), coll));
  }
}

TEST(SalesForceTest, DistinctInsertsKeepAnyDestinationNameIntact) {
  // The DISTINCT goes into the outer SELECT, never into the database name.
  const std::string dest = "[A]]B SELECT * C].dbo.";
  EXPECT_EQ(VENDEDORES_CLIENTES("A]B SELECT * C", "")[5],
            "INSERT INTO " + dest + "VENDEDORES_CLIENTES SELECT DISTINCT * FROM "
            "#PASO_VENDEDORES_CLIENTES WITH (NOLOCK) WHERE NOT EXISTS ( SELECT * FROM " +
                dest + "VENDEDORES_CLIENTES AS X WITH (NOLOCK) WHERE "
                "X.ID_VENDEDOR=#PASO_VENDEDORES_CLIENTES.ID_VENDEDOR AND "
                "X.ID_CUENTA=#PASO_VENDEDORES_CLIENTES.ID_CUENTA )");
  EXPECT_EQ(VENDEDORES("A]B SELECT * C", "")[4].rfind(
                "INSERT INTO " + dest + "VENDEDORES SELECT DISTINCT * FROM #PASO_VENDEDORES ", 0),
            0u);
}

TEST(SalesForceTest, DocumentPassesOnlyInsertSoTabfuNamesStay) {
  // 6 elements for TABFU, then 5 per document pass: no update after pass 1,
  // so no statement ever writes "Vendedor " + code over an existing name.
  const Statements list = VENDEDORES(kBase, "");
  ASSERT_EQ(list.size(), 16u);
  int updates_of_destination = 0;
  for (const auto& statement : list) {
    if (statement.rfind("UPDATE [VELMORA]", 0) == 0) ++updates_of_destination;
  }
  EXPECT_EQ(updates_of_destination, 1);
  EXPECT_EQ(list[5].rfind("UPDATE [VELMORA].dbo.VENDEDORES SET", 0), 0u);
  EXPECT_EQ(list[10], list[15]);  // both document passes end with the insert
}

TEST_F(RoutesTest, RunsItsPreparatoryStatementsThenReturnsTheBatch) {
  for (const std::string& coll : {std::string(), kCollation}) {
    SCOPED_TRACE("collation '" + coll + "'");
    auto db = std::make_shared<testsupport::ScriptedConnection>();
    session_.OODBC = db;
    EXPECT_EQ(RUTAS(session_, kBase, coll), Expand(ExpectedRoutes(), coll));

    // The 31-day calendar of 20 February 2024: 29 February, then into March.
    Statements expected = {
        "DROP TABLE #PASO_VENDEDORES_CLIENTES",
        "DROP TABLE #PASO_FECHAS",
        "DROP TABLE #PASO_FE",
        "SELECT CAST('20240220' AS DATETIME ) AS FECHA INTO #PASO_FECHAS",
    };
    for (int day = 21; day <= 29; ++day) {
      expected.push_back(CalendarInsert("2024-02-" + std::to_string(day)));
    }
    for (int day = 1; day <= 21; ++day) {
      expected.push_back(CalendarInsert((day < 10 ? "2024-03-0" : "2024-03-") +
                                        std::to_string(day)));
    }
    expected.push_back(kWeekdayFlags);
    expected.push_back(kVisits);
    expected.push_back(kDeleteNoVisit);
    ASSERT_EQ(expected.size(), 37u);
    EXPECT_EQ(db->statements(), expected);
    EXPECT_EQ(PreparatoryRoutesStatements(LeapFebruary()), expected);
  }
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(RoutesTest, DistinctInsertKeepsAnyDestinationNameIntact) {
  const std::string dest = "[A]]B SELECT * C].dbo.RUTAS";
  EXPECT_EQ(RUTAS(session_, "A]B SELECT * C", "")[5].rfind(
                "INSERT INTO " + dest + " SELECT DISTINCT * FROM #PASO_RUTAS WITH (NOLOCK) "
                "WHERE NOT EXISTS ( SELECT * FROM " + dest + " AS X WITH (NOLOCK) WHERE ",
                0),
            0u);
}

TEST_F(RoutesTest, CalendarCrossesTheYearAsDateLiterals) {
  SetServiceDate(YearEnd);
  RUTAS(session_, kBase, "");
  const Statements& sent = db_->statements();
  ASSERT_EQ(sent.size(), 37u);
  EXPECT_EQ(sent[3], "SELECT CAST('20241215' AS DATETIME ) AS FECHA INTO #PASO_FECHAS");
  EXPECT_EQ(sent[4], CalendarInsert("2024-12-16"));
  EXPECT_EQ(sent[19], CalendarInsert("2024-12-31"));
  EXPECT_EQ(sent[20], CalendarInsert("2025-01-01"));
  EXPECT_EQ(sent[33], CalendarInsert("2025-01-14"));  // today + 30
}

TEST_F(RoutesTest, FailingPreparatoryStatementsDoNotStopTheRestOrTheBatch) {
  // On a fresh connection the drops fail; here the visits fail too. Every one
  // of the 37 statements still runs, nothing is shown or traced as a problem,
  // and the batch comes back whole (its third statement will report it).
  db_->OnPrefix("DROP TABLE").Fails("Cannot drop the table");
  db_->On(kVisits).Fails("Invalid object name '#PASO_FECHAS'.");
  session_.LMONITOREO = true;
  EXPECT_EQ(RUTAS(session_, kBase, ""), Expand(ExpectedRoutes(), ""));
  EXPECT_EQ(db_->statements().size(), 37u);
  EXPECT_TRUE(platform_.messages.empty());
  const std::string trace = testsupport::ReadFile(trace_.FileName(1));
  EXPECT_EQ(trace.find("Problema -> "), std::string::npos);
}

TEST_F(RoutesTest, InterruptionIsTracedWithTheVisitsErrorText) {
  db_->On(kVisits).Fails("Invalid object name '#PASO_FECHAS'.");
  db_->OnMatch([](const std::string& sql) -> bool {
    if (sql == kDeleteNoVisit) throw std::runtime_error("interrupted");
    return false;
  });
  session_.LMONITOREO = true;
  EXPECT_EQ(RUTAS(session_, kBase, ""), Expand(ExpectedRoutes(), ""));
  const std::string trace = testsupport::ReadFile(trace_.FileName(1));
  EXPECT_NE(trace.find("Problema -> Invalid object name '#PASO_FECHAS'.\r\n"), std::string::npos);
}

TEST_F(RoutesTest, EveryStatementIsTsql) {
  // Each distinct text once (the parser is slow); the calendar inserts differ
  // only in their date literal, so two of them stand for all thirty.
  std::set<std::string> distinct;
  for (const auto& statement : PreparatoryRoutesStatements(LeapFebruary())) {
    if (statement.rfind("INSERT INTO #PASO_FECHAS", 0) != 0) distinct.insert(statement);
  }
  distinct.insert(CalendarInsert("2024-02-29"));
  distinct.insert(CalendarInsert("2024-03-21"));
  for (const std::string& coll : {std::string(), kCollation}) {
    for (const auto& list : {VENDEDORES(kBase, coll), VENDEDORES_CLIENTES(kBase, coll),
                             RUTAS(session_, kBase, coll)}) {
      distinct.insert(list.begin(), list.end());
    }
  }
  EXPECT_ALL_TSQL(Statements(distinct.begin(), distinct.end()));
}

// ---- Layout ----------------------------------------------------------------

// A fill "INSERT INTO #PASO_x SELECT <items> FROM ..." as the create statement
// its items would make, so that its columns can be read like a create's.
std::string FillAsCreate(const std::string& fill) {
  const size_t select = fill.find("SELECT ");
  return fill.substr(select, fill.rfind(" FROM ") - select) + " INTO #PASO_FILL";
}

void ExpectLayout(const std::string& table, const std::string& statement) {
  SCOPED_TRACE(table + ": " + statement.substr(0, 80));
  const auto destination = testsupport::DestinationColumns(table);
  ASSERT_FALSE(destination.empty()) << "no DDL for " << table;
  EXPECT_EQ(testsupport::StagingColumns(statement), destination);
}

TEST(SalesForceLayoutTest, StagingColumnsAreTheDestinationColumns) {
  const Statements sellers = VENDEDORES(kBase, kCollation);
  for (size_t create : {1, 7, 12}) ExpectLayout("VENDEDORES", sellers[create]);
  for (size_t fill : {2, 8, 13}) ExpectLayout("VENDEDORES", FillAsCreate(sellers[fill]));
  ExpectLayout("VENDEDORES_CLIENTES", VENDEDORES_CLIENTES(kBase, kCollation)[1]);
}

TEST_F(RoutesTest, StagingColumnsAreTheDestinationColumns) {
  ExpectLayout("RUTAS", RUTAS(session_, kBase, kCollation)[1]);
}

TEST(SalesForceLayoutTest, ErpColumnsReadExistInTheErpSchema) {
  const std::vector<std::pair<std::string, Statements>> read = {
      {"TABFU", {"KOFU", "NOKOFU"}},
      {"MAEDDO", {"KOFULIDO"}},
      {"MAEEDO", {"KOFUDO"}},
      {"MAEEN",
       {"KOEN", "KOFUEN", "LVEN", "TIPOSUC", "RUTALUN", "RUTAMAR", "RUTAMIE", "RUTAJUE",
        "RUTAVIE", "RUTASAB", "RUTADOM"}},
  };
  for (const auto& [table, columns] : read) {
    const auto layout = testsupport::OriginColumns(table);
    for (const auto& column : columns) {
      bool found = false;
      for (const auto& c : layout) found = found || c.name == column;
      EXPECT_TRUE(found) << table << "." << column;
    }
  }
}

}  // namespace
}  // namespace exporter
