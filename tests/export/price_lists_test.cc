// The price-list builders: their exact statement texts with and without a
// collation, their grammar, their staging layouts against schema/, and the
// naming of the discount columns from the first list row (scripted database).
#include "export/price_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "support/odbc_test_env.h"
#include "support/text_marks.h"
#include "support/schema_ddl.h"
#include "support/scripted_db.h"
#include "support/tsql_grammar.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

using testsupport::ScriptedConnection;
using testsupport::ScriptedRow;
using Statements = std::vector<std::string>;

const std::string kCollation = " COLLATE Modern_Spanish_CI_AS";
const std::string kBase = "Velmora";

std::string FixedClock() { return "142530"; }

// `text` with "{c}" replaced by the collation clause and "{db}" by the
// destination prefix.
std::string Expand(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{c}", coll}, {"{db}", "[Velmora].dbo."}});
}

Statements Expand(const Statements& texts, const std::string& coll) {
  Statements out;
  for (const auto& t : texts) out.push_back(Expand(t, coll));
  return out;
}

const Statements kListasPrecios = {
    "DROP TABLE #PASO_LISTAS_PRECIOS",
    "SELECT CAST('' AS VARCHAR(20) ){c} AS ID_LISTA_PRECIO, CAST('' AS VARCHAR(40) ){c} AS "
    "DESCRIPCION_LISTA_PRECIO, CAST('' AS VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){c} AS ACTIVO, CAST('' AS VARCHAR(1) ){c} AS INDICADOR_ACCION "
    "INTO #PASO_LISTAS_PRECIOS",
    "INSERT INTO #PASO_LISTAS_PRECIOS SELECT CAST('TABPP'+KOLT AS VARCHAR(20) ){c} AS "
    "ID_LISTA_PRECIO, CAST(NOKOLT AS VARCHAR(40) ){c} AS DESCRIPCION_LISTA_PRECIO, "
    "CAST('' AS VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, CAST('' AS VARCHAR(1) ){c} AS "
    "ACTIVO, CAST('' AS VARCHAR(1) ){c} AS INDICADOR_ACCION FROM TABPP",
    "UPDATE #PASO_LISTAS_PRECIOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
    "INSERT INTO {db}LISTAS_PRECIOS SELECT * FROM #PASO_LISTAS_PRECIOS WITH (NOLOCK) WHERE NOT "
    "EXISTS ( SELECT * FROM {db}LISTAS_PRECIOS AS X WITH (NOLOCK) WHERE "
    "X.ID_LISTA_PRECIO=#PASO_LISTAS_PRECIOS.ID_LISTA_PRECIO )",
    "UPDATE {db}LISTAS_PRECIOS SET DESCRIPCION_LISTA_PRECIO = "
    "#PASO_LISTAS_PRECIOS.DESCRIPCION_LISTA_PRECIO , FECHA_ULTIMA_MODIFICACION = "
    "#PASO_LISTAS_PRECIOS.FECHA_ULTIMA_MODIFICACION , ACTIVO = #PASO_LISTAS_PRECIOS.ACTIVO , "
    "INDICADOR_ACCION = #PASO_LISTAS_PRECIOS.INDICADOR_ACCION FROM #PASO_LISTAS_PRECIOS WITH "
    "(NOLOCK) WHERE {db}LISTAS_PRECIOS.ID_LISTA_PRECIO=#PASO_LISTAS_PRECIOS.ID_LISTA_PRECIO "
    "AND ( {db}LISTAS_PRECIOS.DESCRIPCION_LISTA_PRECIO <> "
    "#PASO_LISTAS_PRECIOS.DESCRIPCION_LISTA_PRECIO )",
};

const Statements kDetallePrecios = {
    "DROP TABLE #PASO_DETALLE_PRECIOS",
    "SELECT CAST('TABPP'+TABPRE.KOLT AS VARCHAR(20) ){c} AS ID_LISTA_PRECIO, "
    "CAST(RTRIM(TABPRE.KOPR) AS VARCHAR(24) ){c} AS CODIGO_ARTICULO, "
    "CONVERT(varchar(8),COALESCE(TABPP.FEVI,getdate()),112){c} AS FECHA_INICIO_VIGENCIA, "
    "CAST('' AS VARCHAR(1) ){c} AS INDICADOR_ACCION, CAST(TABPRE.PP01UD AS DECIMAL(13,4) ) AS "
    "PRECIO_NETO_SIN_IMPUESTOS, CAST('' AS VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){c} AS ACTIVO INTO #PASO_DETALLE_PRECIOS FROM TABPRE WITH (NOLOCK) "
    "INNER JOIN TABPP WITH (NOLOCK) ON TABPP.KOLT=TABPRE.KOLT INNER JOIN MAEPR WITH (NOLOCK) ON "
    "TABPRE.KOPR=MAEPR.KOPR INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA='01' AND "
    "EM.KOPR=MAEPR.KOPR",
    "UPDATE #PASO_DETALLE_PRECIOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112),"
    "PRECIO_NETO_SIN_IMPUESTOS=COALESCE(PRECIO_NETO_SIN_IMPUESTOS,0)",
    "INSERT INTO {db}DETALLE_PRECIOS SELECT * FROM #PASO_DETALLE_PRECIOS WITH (NOLOCK) WHERE NOT "
    "EXISTS ( SELECT * FROM {db}DETALLE_PRECIOS AS X WITH (NOLOCK) WHERE "
    "X.ID_LISTA_PRECIO=#PASO_DETALLE_PRECIOS.ID_LISTA_PRECIO AND "
    "X.CODIGO_ARTICULO=#PASO_DETALLE_PRECIOS.CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM "
    "{db}ARTICULOS AS X WITH (NOLOCK) WHERE "
    "X.CODIGO_ARTICULO=#PASO_DETALLE_PRECIOS.CODIGO_ARTICULO )",
    "UPDATE {db}DETALLE_PRECIOS SET FECHA_INICIO_VIGENCIA = "
    "#PASO_DETALLE_PRECIOS.FECHA_INICIO_VIGENCIA , INDICADOR_ACCION = "
    "#PASO_DETALLE_PRECIOS.INDICADOR_ACCION , PRECIO_NETO_SIN_IMPUESTOS = "
    "#PASO_DETALLE_PRECIOS.PRECIO_NETO_SIN_IMPUESTOS , FECHA_ULTIMA_MODIFICACION = "
    "#PASO_DETALLE_PRECIOS.FECHA_ULTIMA_MODIFICACION , ACTIVO = #PASO_DETALLE_PRECIOS.ACTIVO "
    "FROM #PASO_DETALLE_PRECIOS WITH (NOLOCK) WHERE "
    "{db}DETALLE_PRECIOS.ID_LISTA_PRECIO=#PASO_DETALLE_PRECIOS.ID_LISTA_PRECIO AND "
    "{db}DETALLE_PRECIOS.CODIGO_ARTICULO=#PASO_DETALLE_PRECIOS.CODIGO_ARTICULO AND ( "
    "{db}DETALLE_PRECIOS.FECHA_INICIO_VIGENCIA <> #PASO_DETALLE_PRECIOS.FECHA_INICIO_VIGENCIA OR "
    "{db}DETALLE_PRECIOS.PRECIO_NETO_SIN_IMPUESTOS <> "
    "#PASO_DETALLE_PRECIOS.PRECIO_NETO_SIN_IMPUESTOS )",
};

// Discounts with slots 1 and 2 named (DTO01, DTO03) and slots 3 to 5 empty.
const Statements kDescuentos = {
    "DROP TABLE #PASO_DETALLE_DESCUENTOS",
    "SELECT CAST('' AS VARCHAR(14) ){c} AS ID_LISTA_PRECIO, CAST('' AS VARCHAR(24) ){c} AS "
    "CODIGO_PRODUCTO, CAST(0 AS NUMERIC(8,3) ) AS PORCENTAJE_DESCUENTO_1, CAST(0 AS NUMERIC(8,3) "
    ") AS PORCENTAJE_DESCUENTO_2, CAST(0 AS NUMERIC(8,3) ) AS PORCENTAJE_DESCUENTO_3, CAST(0 AS "
    "NUMERIC(8,3) ) AS PORCENTAJE_DESCUENTO_4, CAST(0 AS NUMERIC(8,3) ) AS "
    "PORCENTAJE_DESCUENTO_5, CAST('' AS VARCHAR(8) ){c} AS FECHA_VIGENCIA_DESDE, CAST('' AS "
    "VARCHAR(8) ){c} AS FECHA_VIGENCIA_HASTA, CAST('' AS VARCHAR(1) ){c} AS ACTIVO, CAST('' AS "
    "VARCHAR(1) ){c} AS INDICADOR_ACCION, CAST('' AS VARCHAR(20) ){c} AS "
    "FECHAHORA_ULTIMAMODIFICACION INTO #PASO_DETALLE_DESCUENTOS",
    "DELETE #PASO_DETALLE_DESCUENTOS\r\n"
    "INSERT INTO #PASO_DETALLE_DESCUENTOS (ID_LISTA_PRECIO,CODIGO_PRODUCTO,"
    "PORCENTAJE_DESCUENTO_1,PORCENTAJE_DESCUENTO_2,PORCENTAJE_DESCUENTO_3,"
    "PORCENTAJE_DESCUENTO_4,PORCENTAJE_DESCUENTO_5,FECHA_VIGENCIA_DESDE,FECHA_VIGENCIA_HASTA,"
    "ACTIVO,INDICADOR_ACCION,FECHAHORA_ULTIMAMODIFICACION ) SELECT 'TABPP'+TABPRE.KOLT, "
    "RTRIM(CAST(TABPRE.KOPR AS VARCHAR(24) )), CAST(COALESCE(TABPRE.DTO01,0) AS NUMERIC(8,3) ), "
    "CAST(COALESCE(TABPRE.DTO03,0) AS NUMERIC(8,3) ), CAST(COALESCE(0.0,0) AS NUMERIC(8,3) ), "
    "CAST(COALESCE(0.0,0) AS NUMERIC(8,3) ), CAST(COALESCE(0.0,0) AS NUMERIC(8,3) ), "
    "'20150101'{c}, '20500101'{c}, '1'{c}, 'A'{c}, "
    "CONVERT(varchar(14),getdate(),112)+'142530' FROM TABPRE WITH (NOLOCK) INNER JOIN TABPP "
    "WITH (NOLOCK) ON TABPP.KOLT=TABPRE.KOLT INNER JOIN MAEPR WITH (NOLOCK) ON "
    "MAEPR.KOPR=TABPRE.KOPR",
    "INSERT INTO {db}LISTAS_PRECIOS_DESCUENTOS_ERP SELECT * FROM #PASO_DETALLE_DESCUENTOS WITH "
    "(NOLOCK) WHERE NOT EXISTS ( SELECT * FROM {db}LISTAS_PRECIOS_DESCUENTOS_ERP AS X WITH "
    "(NOLOCK) WHERE X.ID_LISTA_PRECIO=#PASO_DETALLE_DESCUENTOS.ID_LISTA_PRECIO AND "
    "X.CODIGO_PRODUCTO=#PASO_DETALLE_DESCUENTOS.CODIGO_PRODUCTO ) AND EXISTS ( SELECT * FROM "
    "{db}ARTICULOS AS A WITH (NOLOCK) WHERE "
    "A.CODIGO_ARTICULO=#PASO_DETALLE_DESCUENTOS.CODIGO_PRODUCTO )",
    "UPDATE {db}LISTAS_PRECIOS_DESCUENTOS_ERP SET PORCENTAJE_DESCUENTO_1 = "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_1 , PORCENTAJE_DESCUENTO_2 = "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_2 , PORCENTAJE_DESCUENTO_3 = "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_3 , PORCENTAJE_DESCUENTO_4 = "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_4 , PORCENTAJE_DESCUENTO_5 = "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_5 , FECHA_VIGENCIA_DESDE = "
    "#PASO_DETALLE_DESCUENTOS.FECHA_VIGENCIA_DESDE , FECHA_VIGENCIA_HASTA = "
    "#PASO_DETALLE_DESCUENTOS.FECHA_VIGENCIA_HASTA , ACTIVO = #PASO_DETALLE_DESCUENTOS.ACTIVO , "
    "INDICADOR_ACCION = #PASO_DETALLE_DESCUENTOS.INDICADOR_ACCION , "
    "FECHAHORA_ULTIMAMODIFICACION = #PASO_DETALLE_DESCUENTOS.FECHAHORA_ULTIMAMODIFICACION FROM "
    "#PASO_DETALLE_DESCUENTOS WITH (NOLOCK) WHERE "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.ID_LISTA_PRECIO=#PASO_DETALLE_DESCUENTOS.ID_LISTA_PRECIO "
    "AND "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.CODIGO_PRODUCTO=#PASO_DETALLE_DESCUENTOS.CODIGO_PRODUCTO "
    "AND ( {db}LISTAS_PRECIOS_DESCUENTOS_ERP.PORCENTAJE_DESCUENTO_1 <> "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_1 OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.PORCENTAJE_DESCUENTO_2 <> "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_2 OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.PORCENTAJE_DESCUENTO_3 <> "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_3 OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.PORCENTAJE_DESCUENTO_4 <> "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_4 OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.PORCENTAJE_DESCUENTO_5 <> "
    "#PASO_DETALLE_DESCUENTOS.PORCENTAJE_DESCUENTO_5 OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.FECHA_VIGENCIA_DESDE <> "
    "#PASO_DETALLE_DESCUENTOS.FECHA_VIGENCIA_DESDE OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.FECHA_VIGENCIA_HASTA <> "
    "#PASO_DETALLE_DESCUENTOS.FECHA_VIGENCIA_HASTA OR "
    "{db}LISTAS_PRECIOS_DESCUENTOS_ERP.ACTIVO <> #PASO_DETALLE_DESCUENTOS.ACTIVO )",
};

const DiscountSlots kTwoSlots = {"DTO01", "DTO03", "", "", ""};

// The look-up of NOMBRALOSDESC: the first list row, every TABPRE column and
// the list's OPERA last.
const std::string kFirstListRow =
    "SELECT TOP 1  TABPRE.*,TABPP.OPERA  FROM TABPRE WITH (NOLOCK) INNER JOIN TABPP WITH "
    "(NOLOCK) ON TABPP.KOLT=TABPRE.KOLT ORDER BY  TABPRE.KOPR, TABPRE.KOLT ";

class PriceListsTest : public ::testing::Test {
 protected:
  PriceListsTest() {
    SetServiceClock(FixedClock);
    session_.OODBC = db_;
    db_->FailUnscripted();
  }
  ~PriceListsTest() override { SetServiceClock(nullptr); }

  // Scripts the first list row: `columns` TABPRE columns named C01, C02 ...
  // (or `names` when given) followed by OPERA with `opera`.
  void ScriptFirstRow(std::vector<std::string> names, std::optional<std::string> opera) {
    std::vector<db::ColumnDescription> columns;
    ScriptedRow row;
    for (const auto& name : names) {
      columns.push_back({name, SQL_DOUBLE, 15, 0});
      row.push_back("0");
    }
    columns.push_back({"OPERA", SQL_VARCHAR, 150, 0});
    row.push_back(std::move(opera));
    db_->On(kFirstListRow).Returns(std::move(columns), {std::move(row)});
  }

  static std::vector<std::string> Names(size_t count) {
    std::vector<std::string> names;
    for (size_t i = 1; i <= count; ++i) {
      names.push_back((i < 10 ? "c0" : "c") + std::to_string(i));  // lower case on purpose
    }
    return names;
  }

  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_{testsupport::FreshDir("price-lists")};
  db::Session session_{platform_, trace_};
  std::shared_ptr<ScriptedConnection> db_ = std::make_shared<ScriptedConnection>();
};

TEST_F(PriceListsTest, StatementsAreExactWithAndWithoutCollation) {
  for (const std::string& coll : {kCollation, std::string()}) {
    SCOPED_TRACE("collation clause '" + coll + "'");
    EXPECT_EQ(LISTAS_PRECIOS(kBase, coll), Expand(kListasPrecios, coll));
    EXPECT_EQ(DETALLE_PRECIOS(kBase, coll, "01"), Expand(kDetallePrecios, coll));
    EXPECT_EQ(DiscountBatch(kBase, coll, kTwoSlots), Expand(kDescuentos, coll));
  }
  EXPECT_EQ(CollationClause("  Modern_Spanish_CI_AS "), kCollation);
}

TEST_F(PriceListsTest, CompanyCodeIsALiteralWithQuotesDoubled) {
  const Statements batch = DETALLE_PRECIOS(kBase, "", "0'1");
  EXPECT_NE(batch[1].find(" ON EM.EMPRESA='0''1' AND EM.KOPR=MAEPR.KOPR"), std::string::npos)
      << batch[1];
}

TEST_F(PriceListsTest, EveryStatementIsTsql) {
  // kTwoSlots holds both forms of a percentage item: a named column and 0.0.
  Statements all;
  for (const std::string& coll : {kCollation, std::string()}) {
    for (const Statements& batch :
         {LISTAS_PRECIOS(kBase, coll), DETALLE_PRECIOS(kBase, coll, "01"),
          DiscountBatch(kBase, coll, kTwoSlots)}) {
      all.insert(all.end(), batch.begin(), batch.end());
    }
  }
  all.push_back(kFirstListRow);
  EXPECT_ALL_TSQL(all);
}

// The staging table of each builder has the destination table's columns in
// order with the same types; DETALLE_PRECIOS' start of validity is the one
// item that is a CONVERT to varchar(8), not a CAST.
TEST_F(PriceListsTest, StagingLayoutsMatchDestinationTables) {
  const struct {
    std::string table;
    std::string create;
  } cases[] = {
      {"LISTAS_PRECIOS", LISTAS_PRECIOS(kBase, kCollation)[1]},
      {"DETALLE_PRECIOS", DETALLE_PRECIOS(kBase, kCollation, "01")[1]},
      {"LISTAS_PRECIOS_DESCUENTOS_ERP", DiscountBatch(kBase, kCollation, kTwoSlots)[1]},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    const auto destination = testsupport::DestinationColumns(c.table);
    auto staging = testsupport::StagingColumns(c.create);
    ASSERT_FALSE(destination.empty());
    for (auto& column : staging) {
      if (column.type.empty() && column.name == "FECHA_INICIO_VIGENCIA") {
        column.type = testsupport::NormalType("VARCHAR(8)");
      }
    }
    EXPECT_EQ(staging, destination);
  }
  // The discount fill names the same columns in the same order.
  const std::string fill = DiscountBatch(kBase, "", kTwoSlots)[2];
  std::string listed;
  for (const auto& column : testsupport::DestinationColumns("LISTAS_PRECIOS_DESCUENTOS_ERP")) {
    listed += (listed.empty() ? "" : ",") + column.name;
  }
  EXPECT_NE(fill.find("(" + listed + " ) SELECT "), std::string::npos) << fill;
}

TEST_F(PriceListsTest, ErpColumnsReadExistInSchema) {
  const struct {
    std::string table;
    std::vector<std::string> columns;
  } reads[] = {
      {"TABPP", {"KOLT", "NOKOLT", "FEVI", "OPERA"}},
      {"TABPRE", {"KOLT", "KOPR", "PP01UD"}},
      {"MAEPR", {"KOPR"}},
      {"MAEPREM", {"EMPRESA", "KOPR"}},
  };
  for (const auto& r : reads) {
    const auto columns = testsupport::OriginColumns(r.table);
    for (const auto& name : r.columns) {
      EXPECT_TRUE(std::any_of(columns.begin(), columns.end(),
                              [&](const auto& c) { return c.name == name; }))
          << r.table << "." << name;
    }
  }
  // The discount pairs (value, formula) start at column 29.
  EXPECT_GE(testsupport::OriginColumns("TABPRE").size(), 33u);
}

// Slot rules: pairs from column 29 on, OPERA characters from 29 on, blank (or
// past the end) marks a discount, at most four names stored.
TEST_F(PriceListsTest, NombralosdescSlotCases) {
  const std::string x28(28, 'X');
  const struct {
    const char* what;
    size_t tabpre_columns;
    std::optional<std::string> opera;
    DiscountSlots slots;
  } cases[] = {
      {"blanks from 29, 38 result columns: 37 counted, not stored", 37, x28 + "     ",
       {"C29", "C31", "C33", "C35", ""}},
      {"non-blank 29, blanks after", 37, x28 + "N    ", {"C31", "C33", "C35", "C37", ""}},
      {"mixed characters", 37, x28 + "N P  ", {"C31", "C35", "C37", "", ""}},
      {"OPERA shorter than 29: past the end is blank", 33, "XX", {"C29", "C31", "C33", "", ""}},
      {"NULL OPERA", 31, std::nullopt, {"C29", "C31", "", "", ""}},
      {"column 29 is the last before OPERA", 29, x28 + " ", {"C29", "", "", "", ""}},
      {"28 TABPRE columns: nothing visited", 28, x28 + "   ", {"", "", "", "", ""}},
      {"characters, not bytes", 31, "\xC3\x91" + std::string(27, 'X') + " N",
       {"C29", "", "", "", ""}},
      {"every pair taken by the list", 37, x28 + "NNNNN", {"", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    db_ = std::make_shared<ScriptedConnection>();
    db_->FailUnscripted();
    session_.OODBC = db_;
    ScriptFirstRow(Names(c.tabpre_columns), c.opera);
    EXPECT_EQ(NOMBRALOSDESC(session_, "TABPP01"), c.slots);
    EXPECT_EQ(db_->statements(), Statements{kFirstListRow});
    EXPECT_EQ(db_->open_statements(), 0);
  }
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(PriceListsTest, NoListRowExportsEveryPercentageAsZero) {
  db_->On(kFirstListRow).Returns({{"KOLT", SQL_CHAR, 3, 0}, {"OPERA", SQL_VARCHAR, 150, 0}},
                                 {});
  const Statements batch = LISTAS_PRECIOS_DESCUENTOS_ERP(session_, kBase, "", "01", "TABPP01");
  EXPECT_EQ(batch, DiscountBatch(kBase, "", DiscountSlots{}));
  const std::string zero = "CAST(COALESCE(0.0,0) AS NUMERIC(8,3) )";
  std::string fill = batch[2];
  size_t zeros = 0;
  for (size_t at = fill.find(zero); at != std::string::npos; at = fill.find(zero, at + 1)) ++zeros;
  EXPECT_EQ(zeros, 5u);
  EXPECT_EQ(fill.find("TABPRE.DTO"), std::string::npos);
}

// The builder reads the slots from the ERP's own layout (schema/quorix.sql's
// TABPRE) and executes nothing but the look-up; company and list play no part.
TEST_F(PriceListsTest, BuilderNamesDiscountColumnsOfTheFirstListRow) {
  std::vector<std::string> names;
  for (const auto& c : testsupport::OriginColumns("TABPRE")) names.push_back(c.name);
  ASSERT_GE(names.size(), 33u);
  ScriptFirstRow(names, std::string(28, 'X'));  // every pair is a discount
  DiscountSlots expected;
  for (size_t slot = 0, column = 29; slot < 4 && column < names.size() + 1; ++slot, column += 2) {
    expected[slot] = names[column - 1];
  }
  const Statements batch = LISTAS_PRECIOS_DESCUENTOS_ERP(session_, kBase, kCollation, "99", "X");
  EXPECT_EQ(batch, DiscountBatch(kBase, kCollation, expected));
  EXPECT_NE(batch[2].find("CAST(COALESCE(TABPRE." + expected[0] + ",0) AS NUMERIC(8,3) )"),
            std::string::npos);
  EXPECT_EQ(db_->statements(), Statements{kFirstListRow});
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(PriceListsTest, SlotNamesLoseTheirBlanks) {
  const Statements batch = DiscountBatch(kBase, "", {" DTO 01 ", "", "", "", ""});
  EXPECT_NE(batch[2].find("CAST(COALESCE(TABPRE.DTO01,0) AS NUMERIC(8,3) )"), std::string::npos);
}

}  // namespace
}  // namespace exporter
