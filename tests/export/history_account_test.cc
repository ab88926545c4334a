#include "export/history_account.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/schema_ddl.h"
#include "support/text_marks.h"
#include "support/tsql_grammar.h"

namespace exporter {
namespace {

using Builder = StatementList (*)(const std::string&, const std::string&, const std::string&);

const std::string kColl = CollationClause("  Modern_Spanish_CI_AS ");

// Replaces every "{C}" by the collation clause and "{B}" by "[VELMORA]".
std::string Fill(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{C}", coll}, {"{B}", "[VELMORA]"}});
}

// ---- The expected statements, written out in full ----

const char kHeaderCreate[] =
    "SELECT CAST(EDO.IDMAEEDO AS VARCHAR(20) ){C} AS ID_PEDIDO_HISTORICO,"
    "CAST(EN.KOEN AS VARCHAR(20) ){C} AS ID_CUENTA,"
    "CAST('' AS VARCHAR(20) ){C} AS ID_CONDICION_VENTA,"
    "CAST(EDO.KOFUDO AS VARCHAR(20) ){C} AS ID_VENDEDOR,"
    "CAST('' AS VARCHAR(1) ){C} AS INDICADOR_ACCION,"
    "CAST(EDO.VANEDO AS DECIMAL(15,3) ) AS MON_TOT_FACT_S_IMP,"
    "CAST(EDO.VABRDO AS DECIMAL(15,3) ) AS MON_TOT_FACT_C_IMP,"
    "CAST(FAC.CANTIDAD AS INT ) AS CANTIDAD_ITEM_FACTURADO,"
    "CAST(ORI.VANEDO AS DECIMAL(15,3) ) AS MON_TOT_PED_S_IMP,"
    "CAST(ORI.VABRDO AS DECIMAL(15,3) ) AS MON_TOT_PED_C_IMP,"
    "CAST(PED.CANTIDAD AS INT ) AS CANTIDAD_ITEM_PEDIDO,"
    "CONVERT(varchar(8),ORI.FEEMDO,112){C} AS FECHA_PEDIDO,"
    "CAST('' AS VARCHAR(14) ){C} AS FECHA_ULTIMA_MODIFICACION,"
    "CAST('' AS VARCHAR(1) ){C} AS ACTIVO,"
    "CONVERT(varchar(8),EDO.FEEMDO,112){C} AS FECHA_FACTURACION,"
    "CAST('' AS NVARCHAR(5) ){C} AS OM_CODIGO_FACTURA,"
    "CAST(0 AS NUMERIC(18,0) ) AS OM_NUMERO_FACTURA,"
    "CAST(0 AS SMALLINT ) AS OM_SUCURSAL,"
    "CAST('' AS NVARCHAR(1) ){C} AS OM_INDICADOR_ACCION,"
    "CAST(CONVERT(varchar(8),ORI.FEEMDO,112)+'000000' AS NVARCHAR(20) ){C} AS "
    "OM_FECHAHORA_ULTIMAMODIFICACION"
    " INTO #PASO_CHV"
    " FROM MAEEDO AS EDO WITH (NOLOCK)"
    " INNER JOIN MAEEN AS EN WITH (NOLOCK) ON EDO.ENDO=EN.KOEN AND EN.TIPOSUC='P'"
    " LEFT JOIN ( SELECT IDMAEEDO,SUM(CAPRCO1) AS CANTIDAD FROM MAEDDO AS X WITH (NOLOCK)"
    " WHERE X.LILG IN ('SI','CR') GROUP BY IDMAEEDO ) AS FAC ON FAC.IDMAEEDO=EDO.IDMAEEDO"
    " LEFT JOIN ( SELECT D.IDMAEEDO,SUM(O.CAPRCO1) AS CANTIDAD"
    " FROM MAEDDO AS D WITH (NOLOCK) INNER JOIN MAEDDO AS O WITH (NOLOCK) ON O.IDMAEDDO=D.IDRST"
    " INNER JOIN MAEEDO AS OE WITH (NOLOCK) ON OE.IDMAEEDO=O.IDMAEEDO"
    " WHERE D.ARCHIRST='MAEDDO' GROUP BY D.IDMAEEDO ) AS PED ON PED.IDMAEEDO=EDO.IDMAEEDO"
    " LEFT JOIN ( SELECT Y.IDMAEEDO,Z.FEEMDO,Z.VANEDO,Z.VABRDO"
    " FROM ( SELECT D.IDMAEEDO,MIN(OE.IDMAEEDO) AS IDORIGEN"
    " FROM MAEDDO AS D WITH (NOLOCK) INNER JOIN MAEDDO AS O WITH (NOLOCK) ON O.IDMAEDDO=D.IDRST"
    " INNER JOIN MAEEDO AS OE WITH (NOLOCK) ON OE.IDMAEEDO=O.IDMAEEDO"
    " WHERE D.ARCHIRST='MAEDDO' GROUP BY D.IDMAEEDO ) AS Y"
    " INNER JOIN MAEEDO AS Z WITH (NOLOCK) ON Z.IDMAEEDO=Y.IDORIGEN ) AS ORI"
    " ON ORI.IDMAEEDO=EDO.IDMAEEDO"
    " WHERE EDO.EMPRESA='01' AND EDO.TIDO IN ('FCV') AND COALESCE(EDO.KOFUDO,'')<>''";

const char kLineCreate[] =
    "SELECT CAST(DDO.IDMAEEDO AS VARCHAR(20) ){C} AS ID_PEDIDO_HISTORICO,"
    "CAST(DDO.IDMAEDDO AS VARCHAR(20) ){C} AS ID_DETALLE_PEDIDO_HISTORICO,"
    "CAST(DDO.KOPRCT AS VARCHAR(24) ){C} AS CODIGO_ARTICULO,"
    "CAST(0 AS INT ) AS AUTOINCREMENTADO,"
    "CAST(DDO.PODTGLLI AS VARCHAR(20) ){C} AS PORCENTAJE_DESCUENTO_REAL,"
    "CAST(DDO.PPPRNE AS DECIMAL(15,3) ) AS PRECIO_UNITARIO_FACTURADO,"
    "CAST(DDO.CAPRCO1 AS DECIMAL(15,3) ) AS CANTIDAD_REAL_FACTURADA,"
    "CAST(DDO.PODTGLLI AS VARCHAR(20) ){C} AS PORCENTAJE_DESCUENTO_APLICADO,"
    "CAST(DDO.PPPRNELT AS DECIMAL(15,3) ) AS PRECIO_UNITARIO_VENTA,"
    "CAST(DDO.CAPRCO1 AS DECIMAL(15,3) ) AS CANTIDAD_PEDIDA,"
    "CAST('' AS VARCHAR(1) ){C} AS INDICADOR_ACCION,"
    "CAST('' AS VARCHAR(14) ){C} AS FECHA_ULTIMA_MODIFICACION,"
    "CAST('' AS VARCHAR(1) ){C} AS ACTIVO,"
    "CAST('' AS NVARCHAR(5) ){C} AS OM_CODIGO_FACTURA,"
    "CAST(0 AS NUMERIC(18,0) ) AS OM_NUMERO_FACTURA,"
    "CAST(0 AS SMALLINT ) AS OM_SUCURSAL,"
    "CAST(DDO.UD01PR AS NVARCHAR(5) ){C} AS OM_UNIDAD_MEDIDA_VENTA,"
    "CAST('' AS NVARCHAR(5) ){C} AS OM_CODIGO_CONSOLIDADO,"
    "CAST(0 AS NUMERIC(18,0) ) AS OM_NUMERO_CONSOLIDADO,"
    "CAST('' AS NVARCHAR(1) ){C} AS OM_INDICADOR_ACCION,"
    "CAST(CONVERT(varchar(8),EDO.FEEMDO,112)+'000000' AS NVARCHAR(20) ){C} AS "
    "OM_FECHAHORA_ULTIMAMODIFICACION"
    " INTO #PASO_DHV"
    " FROM MAEDDO AS DDO WITH (NOLOCK) INNER JOIN MAEEDO AS EDO WITH (NOLOCK)"
    " ON DDO.IDMAEEDO=EDO.IDMAEEDO"
    " INNER JOIN MAEEN AS EN WITH (NOLOCK) ON EDO.ENDO=EN.KOEN AND EN.TIPOSUC='P'"
    " WHERE EDO.EMPRESA='01' AND EDO.TIDO IN ('FCV')";

const char kLineInsert[] =
    "INSERT INTO {B}.dbo.DETALLE_HISTORICOS_VENTAS SELECT * FROM #PASO_DHV WITH (NOLOCK)"
    " WHERE NOT EXISTS ( SELECT * FROM {B}.dbo.DETALLE_HISTORICOS_VENTAS AS X WITH (NOLOCK)"
    " WHERE X.ID_PEDIDO_HISTORICO = #PASO_DHV.ID_PEDIDO_HISTORICO"
    " AND X.ID_DETALLE_PEDIDO_HISTORICO = #PASO_DHV.ID_DETALLE_PEDIDO_HISTORICO"
    " AND X.CODIGO_ARTICULO = #PASO_DHV.CODIGO_ARTICULO )"
    " AND EXISTS ( SELECT * FROM {B}.dbo.ARTICULOS AS X WITH (NOLOCK)"
    " WHERE X.CODIGO_ARTICULO = #PASO_DHV.CODIGO_ARTICULO )"
    " AND EXISTS ( SELECT * FROM {B}.dbo.CABECERA_HISTORICOS_VENTAS AS X WITH (NOLOCK)"
    " WHERE X.ID_PEDIDO_HISTORICO = #PASO_DHV.ID_PEDIDO_HISTORICO )";

const char kAccountCreate[] =
    "SELECT CAST(EDO.NUDO AS VARCHAR(20) ){C} AS NUMERO_DOCUMENTO,"
    "CAST(EDO.SUDO AS VARCHAR(4) ){C} AS SUCURSAL_DOCUMENTO,"
    "CAST(EDO.TIDO AS VARCHAR(20) ){C} AS TIPO_DOCUMENTO,"
    "CAST(EDO.NUVEDO AS INT ) AS CUOTA,"
    "CAST('' AS VARCHAR(1) ){C} AS LETRA_COMPROBANTE,"
    "CAST(EDO.ENDO AS VARCHAR(20) ){C} AS ID_CUENTA,"
    "CAST('' AS VARCHAR(40) ){C} AS ID_GRUPO_CLIENTE,"
    "CAST('' AS VARCHAR(1) ){C} AS INDICADOR_ACCION,"
    "CAST(EDO.VABRDO-EDO.VAABDO AS DECIMAL(15,3) ) AS SALDO,"
    "CAST(EDO.VABRDO AS DECIMAL(15,3) ) AS MONTO_ORIGINAL,"
    "CONVERT(varchar(8),EDO.FEULVEDO,112){C} AS FECHA_VENCIMIENTO,"
    "CONVERT(varchar(8),EDO.FEEMDO,112){C} AS FECHA_EMISION,"
    "CAST('' AS VARCHAR(14) ){C} AS FECHA_ULTIMA_MODIFICACION,"
    "CAST('' AS VARCHAR(1) ){C} AS ACTIVO,"
    "CAST(EDO.KOFUDO AS VARCHAR(20) ){C} AS ID_VENDEDOR,"
    "CAST('' AS VARCHAR(20) ){C} AS DOCUMENTO_RELACIONADO,"
    "CAST(EDO.IDMAEEDO AS VARCHAR(20) ){C} AS ID_PEDIDO_HISTORICO,"
    "CAST(ORI.NUDO AS NVARCHAR(20) ){C} AS NUMERO_DOCUMENTO_PRECEDENTE,"
    "CAST(ORI.SUDO AS NVARCHAR(4) ){C} AS SUCURSAL_DOCUMENTO_PRECEDENTE,"
    "CAST(ORI.TIDO AS NVARCHAR(20) ){C} AS TIPO_DOCUMENTO_PRECEDENTE,"
    "CAST('' AS VARCHAR(1) ){C} AS LETRA_COMPROBANTE_PRECEDENTE,"
    "CAST('' AS NVARCHAR(20) ){C} AS FECHAHORA_ULTIMAMODIFICACION"
    " INTO #PASO_CTACTE"
    " FROM MAEEDO AS EDO WITH (NOLOCK)"
    " INNER JOIN MAEEN AS EN WITH (NOLOCK) ON EDO.ENDO=EN.KOEN AND EN.TIPOSUC='P'"
    " LEFT JOIN ( SELECT DISTINCT D.IDMAEEDO,OE.FEEMDO,OE.VANEDO,OE.VABRDO,OE.NUDO,OE.SUDO,OE.TIDO"
    " FROM MAEDDO AS D INNER JOIN MAEDDO AS O ON O.IDMAEDDO=D.IDRST"
    " INNER JOIN MAEEDO AS OE ON OE.IDMAEEDO=O.IDMAEEDO WHERE D.ARCHIRST='MAEDDO' ) AS ORI"
    " ON ORI.IDMAEEDO=EDO.IDMAEEDO"
    " WHERE EDO.EMPRESA='01' AND EDO.TIDO IN ('FCV') AND EDO.VABRDO-EDO.VAABDO<>0";

// The update of changed rows: the set and compared lists as the history
// layouts give them (the shape itself is the shared one).
std::string HeaderUpdate() {
  const std::vector<std::string> compared = {
      "ID_CUENTA", "ID_CONDICION_VENTA", "ID_VENDEDOR", "MON_TOT_FACT_S_IMP",
      "MON_TOT_FACT_C_IMP", "CANTIDAD_ITEM_FACTURADO", "MON_TOT_PED_S_IMP", "MON_TOT_PED_C_IMP",
      "CANTIDAD_ITEM_PEDIDO", "FECHA_PEDIDO", "FECHA_FACTURACION", "OM_CODIGO_FACTURA",
      "OM_NUMERO_FACTURA", "OM_SUCURSAL", "OM_INDICADOR_ACCION",
      "OM_FECHAHORA_ULTIMAMODIFICACION"};
  const std::vector<std::string> set = {
      "ID_CUENTA", "ID_CONDICION_VENTA", "ID_VENDEDOR", "INDICADOR_ACCION",
      "MON_TOT_FACT_S_IMP", "MON_TOT_FACT_C_IMP", "CANTIDAD_ITEM_FACTURADO",
      "MON_TOT_PED_S_IMP", "MON_TOT_PED_C_IMP", "CANTIDAD_ITEM_PEDIDO", "FECHA_PEDIDO",
      "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "FECHA_FACTURACION", "OM_CODIGO_FACTURA",
      "OM_NUMERO_FACTURA", "OM_SUCURSAL", "OM_INDICADOR_ACCION",
      "OM_FECHAHORA_ULTIMAMODIFICACION"};
  EXPECT_EQ(set.size(), 19u);
  EXPECT_EQ(compared.size(), 16u);
  return UpdateChanged("[VELMORA].dbo.CABECERA_HISTORICOS_VENTAS", "CHV",
                       {"ID_PEDIDO_HISTORICO"}, set, compared);
}

std::string LineUpdate() {
  const std::vector<std::string> set = {
      "AUTOINCREMENTADO", "PORCENTAJE_DESCUENTO_REAL", "PRECIO_UNITARIO_FACTURADO",
      "CANTIDAD_REAL_FACTURADA", "PORCENTAJE_DESCUENTO_APLICADO", "PRECIO_UNITARIO_VENTA",
      "CANTIDAD_PEDIDA", "INDICADOR_ACCION", "FECHA_ULTIMA_MODIFICACION", "ACTIVO",
      "OM_CODIGO_FACTURA", "OM_NUMERO_FACTURA", "OM_SUCURSAL", "OM_UNIDAD_MEDIDA_VENTA",
      "OM_CODIGO_CONSOLIDADO", "OM_NUMERO_CONSOLIDADO", "OM_INDICADOR_ACCION",
      "OM_FECHAHORA_ULTIMAMODIFICACION"};
  std::vector<std::string> compared;
  for (const auto& c : set) {
    if (c != "INDICADOR_ACCION" && c != "FECHA_ULTIMA_MODIFICACION" && c != "ACTIVO") {
      compared.push_back(c);
    }
  }
  return UpdateChanged("[VELMORA].dbo.DETALLE_HISTORICOS_VENTAS", "DHV",
                       {"ID_PEDIDO_HISTORICO", "ID_DETALLE_PEDIDO_HISTORICO", "CODIGO_ARTICULO"},
                       set, compared);
}

struct Case {
  const char* table;
  const char* staging;
  Builder builder;
  std::vector<std::string> expected;  // with {C} and {B} placeholders
};

std::vector<Case> Cases() {
  const std::string stamp =
      "SET INDICADOR_ACCION='A',ACTIVO=1,FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)";
  return {
      {"CABECERA_HISTORICOS_VENTAS", "CHV", CABECERA_HISTORICOS_VENTAS,
       {"DROP TABLE #PASO_CHV", kHeaderCreate,
        "UPDATE #PASO_CHV SET ID_CUENTA=RTRIM(ID_CUENTA),ID_VENDEDOR=RTRIM(ID_VENDEDOR)",
        "UPDATE #PASO_CHV " + stamp,
        "UPDATE #PASO_CHV SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
        "INSERT INTO {B}.dbo.CABECERA_HISTORICOS_VENTAS SELECT * FROM #PASO_CHV WHERE NOT EXISTS"
        " ( SELECT * FROM {B}.dbo.CABECERA_HISTORICOS_VENTAS AS X WITH (NOLOCK)"
        " WHERE X.ID_PEDIDO_HISTORICO=#PASO_CHV.ID_PEDIDO_HISTORICO )",
        HeaderUpdate()}},
      {"DETALLE_HISTORICOS_VENTAS", "DHV", DETALLE_HISTORICOS_VENTAS,
       {"DROP TABLE #PASO_DHV", kLineCreate,
        "UPDATE #PASO_DHV SET CODIGO_ARTICULO=RTRIM(CODIGO_ARTICULO)", "UPDATE #PASO_DHV " + stamp,
        kLineInsert, LineUpdate()}},
      {"CUENTA_CORRIENTE", "CTACTE", CUENTA_CORRIENTE,
       {"DROP TABLE #PASO_CTACTE", kAccountCreate,
        "UPDATE #PASO_CTACTE SET ID_VENDEDOR=RTRIM(ID_VENDEDOR),ID_CUENTA=RTRIM(ID_CUENTA)",
        "UPDATE #PASO_CTACTE " + stamp,
        "UPDATE #PASO_CTACTE SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
        "DELETE {B}.dbo.CUENTA_CORRIENTE",
        "INSERT INTO {B}.dbo.CUENTA_CORRIENTE SELECT * FROM #PASO_CTACTE"}},
  };
}

TEST(HistoryAccountTest, EveryStatementExactWithAndWithoutCollation) {
  for (const Case& c : Cases()) {
    for (const std::string& coll : {kColl, std::string()}) {
      SCOPED_TRACE(std::string(c.table) + (coll.empty() ? " without collation" : " with collation"));
      const StatementList got = c.builder("VELMORA", coll, "01");
      ASSERT_EQ(got.size(), c.expected.size());
      for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i], Fill(c.expected[i], coll)) << "statement " << i + 1;
      }
      if (coll.empty()) {
        for (const auto& s : got) EXPECT_EQ(s.find("COLLATE"), std::string::npos) << s;
      }
    }
  }
}

// The updates' texts at the points the lists meet: the first set column, the
// key terms (three for the lines) and the first compared column.
TEST(HistoryAccountTest, UpdatesJoinKeysAndListsAsTheSharedShape) {
  const std::string header = CABECERA_HISTORICOS_VENTAS("VELMORA", "", "01").back();
  EXPECT_EQ(header.rfind("UPDATE [VELMORA].dbo.CABECERA_HISTORICOS_VENTAS SET ID_CUENTA = "
                         "#PASO_CHV.ID_CUENTA , ID_CONDICION_VENTA = #PASO_CHV.ID_CONDICION_VENTA , ",
                         0),
            0u)
      << header;
  EXPECT_NE(header.find(" , OM_FECHAHORA_ULTIMAMODIFICACION = "
                        "#PASO_CHV.OM_FECHAHORA_ULTIMAMODIFICACION FROM #PASO_CHV WITH (NOLOCK) "
                        "WHERE [VELMORA].dbo.CABECERA_HISTORICOS_VENTAS.ID_PEDIDO_HISTORICO="
                        "#PASO_CHV.ID_PEDIDO_HISTORICO AND ( "
                        "[VELMORA].dbo.CABECERA_HISTORICOS_VENTAS.ID_CUENTA <> #PASO_CHV.ID_CUENTA OR "),
            std::string::npos)
      << header;
  const std::string line = DETALLE_HISTORICOS_VENTAS("VELMORA", "", "01").back();
  EXPECT_NE(line.find(" FROM #PASO_DHV WITH (NOLOCK) WHERE "
                      "[VELMORA].dbo.DETALLE_HISTORICOS_VENTAS.ID_PEDIDO_HISTORICO="
                      "#PASO_DHV.ID_PEDIDO_HISTORICO AND "
                      "[VELMORA].dbo.DETALLE_HISTORICOS_VENTAS.ID_DETALLE_PEDIDO_HISTORICO="
                      "#PASO_DHV.ID_DETALLE_PEDIDO_HISTORICO AND "
                      "[VELMORA].dbo.DETALLE_HISTORICOS_VENTAS.CODIGO_ARTICULO="
                      "#PASO_DHV.CODIGO_ARTICULO AND ( "
                      "[VELMORA].dbo.DETALLE_HISTORICOS_VENTAS.AUTOINCREMENTADO <> "
                      "#PASO_DHV.AUTOINCREMENTADO OR "),
            std::string::npos)
      << line;
  EXPECT_EQ(line.rfind("UPDATE [VELMORA].dbo.DETALLE_HISTORICOS_VENTAS SET AUTOINCREMENTADO = "
                       "#PASO_DHV.AUTOINCREMENTADO , ",
                       0),
            0u)
      << line;
}

TEST(HistoryAccountTest, ConfiguredValuesAreSplicedSafely) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.table);
    const StatementList got = c.builder("odd]name", "", "0'1");
    EXPECT_NE(got[1].find("EDO.EMPRESA='0''1' AND"), std::string::npos) << got[1];
    for (const auto& s : got) {
      if (s.find("dbo.") != std::string::npos) {
        EXPECT_NE(s.find("[odd]]name].dbo."), std::string::npos) << s;
      }
    }
  }
}

TEST(HistoryAccountTest, EveryStatementIsTsql) {
  std::vector<std::string> all;
  for (const Case& c : Cases()) {
    for (const std::string& coll : {kColl, std::string()}) {
      for (const auto& s : c.builder("VELMORA", coll, "01")) all.push_back(s);
    }
  }
  EXPECT_ALL_TSQL(all);
}

TEST(HistoryAccountTest, StagingLayoutEqualsDestinationTable) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.table);
    const std::string create = c.builder("VELMORA", kColl, "01")[1];
    std::vector<testsupport::ColumnLayout> staging = testsupport::StagingColumns(create);
    // The dates built with CONVERT are no CAST: their type is varchar(8).
    for (auto& column : staging) {
      if (column.type.empty()) {
        EXPECT_NE(create.find(",112)" + kColl + " AS " + column.name), std::string::npos)
            << column.name;
        column.type = "VARCHAR(8)";
      }
    }
    const auto destination = testsupport::DestinationColumns(c.table);
    ASSERT_FALSE(destination.empty());
    EXPECT_EQ(staging, destination);
  }
}

// Every ERP column read (by the aliases the statements use) is in the ERP schema.
TEST(HistoryAccountTest, ErpColumnsReadExistInTheErpSchema) {
  const std::map<std::string, std::string> alias_table = {
      {"EDO", "MAEEDO"}, {"OE", "MAEEDO"}, {"Z", "MAEEDO"}, {"DDO", "MAEDDO"},
      {"D", "MAEDDO"},   {"O", "MAEDDO"},  {"EN", "MAEEN"}};
  // Read without an alias inside the billed-quantity figure.
  std::set<std::pair<std::string, std::string>> read = {
      {"MAEDDO", "IDMAEEDO"}, {"MAEDDO", "CAPRCO1"}, {"MAEDDO", "LILG"}};
  const std::regex reference(R"(\b(EDO|OE|Z|DDO|D|O|EN)\.([A-Z0-9_]+))");
  for (const Case& c : Cases()) {
    const std::string create = c.builder("VELMORA", "", "01")[1];
    for (std::sregex_iterator it(create.begin(), create.end(), reference), end; it != end; ++it) {
      read.insert({alias_table.at((*it)[1]), (*it)[2]});
    }
  }
  EXPECT_GT(read.size(), 25u);
  for (const auto& [table, column] : read) {
    bool found = false;
    for (const auto& layout : testsupport::OriginColumns(table)) found = found || layout.name == column;
    EXPECT_TRUE(found) << table << "." << column;
  }
}

}  // namespace
}  // namespace exporter
