#include "export/taxes_combos.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/schema_ddl.h"
#include "support/text_marks.h"
#include "support/tsql_grammar.h"

namespace exporter {
namespace {

const char kBase[] = "VELMORA";
const char kEmpresa[] = "01";
const char kSucursal[] = "CM";
const char kBodega[] = "B01";
const char kLista[] = "TABPP01P";

// Expected texts are written with "{coll}" where the collation clause goes.
std::string Expand(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{coll}", coll}});
}

StatementList Expanded(const StatementList& templates, const std::string& coll) {
  StatementList out;
  for (const auto& t : templates) out.push_back(Expand(t, coll));
  return out;
}

const StatementList kCabeceraCombos = {
    "DROP TABLE #PASO_CABECERA_COMBOS",
    "SELECT CAST(MAEERES.CODIGO AS VARCHAR(24) ){coll} AS CODIGO_COMBO, "
    "CAST(PRE.DTMA01UD AS DECIMAL(18,5) ) AS DESCUENTO, "
    "CAST('' AS VARCHAR(10) ){coll} AS FECHA_VIGENCIA_HASTA, "
    "CAST('' AS VARCHAR(10) ){coll} AS FECHA_VIGENCIA_DESDE, "
    "CAST('' AS VARCHAR(100) ){coll} AS DESCRIPCION_COMBO, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
    "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
    "COALESCE(ST.STFI1,0) AS STOCK, "
    "CAST('' AS VARCHAR(1) ){coll} AS PRECIO_COMBO, "
    "CAST('C' AS VARCHAR(1) ){coll} AS PRODUCTO_TIPO, "
    "CAST(MAEPR.UD01PR AS VARCHAR(5) ){coll} AS UNIDAD_MEDIDA, "
    "CAST('' AS VARCHAR(1) ){coll} AS DESCUENTO_AGENDA, "
    "CAST('' AS VARCHAR(1) ){coll} AS TODAS_AGRUPACIONES, "
    "CAST('' AS VARCHAR(1) ){coll} AS CALCULA_STOCK, "
    "CAST('' AS NVARCHAR(10) ){coll} AS OM_MUESTRA_DETALLE_CONSOLIDADO, "
    "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION "
    "INTO #PASO_CABECERA_COMBOS FROM MAEERES WITH (NOLOCK) "
    "INNER JOIN MAEPR WITH (NOLOCK) ON MAEERES.CODIGO=MAEPR.KOPR "
    "INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA='01' AND EM.KOPR=MAEPR.KOPR "
    "LEFT JOIN MAEST AS ST WITH (NOLOCK) ON ST.EMPRESA=EM.EMPRESA AND ST.KOSU='CM' "
    "AND ST.KOBO='B01' AND ST.KOPR=MAEPR.KOPR "
    "LEFT JOIN TABPRE AS PRE WITH (NOLOCK) ON PRE.KOLT='01P' AND PRE.KOPR=MAEPR.KOPR",
    "UPDATE #PASO_CABECERA_COMBOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
    "INSERT INTO [VELMORA].dbo.CABECERA_COMBOS SELECT * FROM #PASO_CABECERA_COMBOS WHERE NOT "
    "EXISTS ( SELECT * FROM [VELMORA].dbo.CABECERA_COMBOS AS X WITH (NOLOCK) WHERE "
    "X.CODIGO_COMBO=#PASO_CABECERA_COMBOS.CODIGO_COMBO )",
    "UPDATE [VELMORA].dbo.CABECERA_COMBOS SET "
    "DESCUENTO = #PASO_CABECERA_COMBOS.DESCUENTO , "
    "FECHA_VIGENCIA_HASTA = #PASO_CABECERA_COMBOS.FECHA_VIGENCIA_HASTA , "
    "FECHA_VIGENCIA_DESDE = #PASO_CABECERA_COMBOS.FECHA_VIGENCIA_DESDE , "
    "DESCRIPCION_COMBO = #PASO_CABECERA_COMBOS.DESCRIPCION_COMBO , "
    "FECHA_ULTIMA_MODIFICACION = #PASO_CABECERA_COMBOS.FECHA_ULTIMA_MODIFICACION , "
    "ACTIVO = #PASO_CABECERA_COMBOS.ACTIVO , "
    "INDICADOR_ACCION = #PASO_CABECERA_COMBOS.INDICADOR_ACCION , "
    "STOCK = #PASO_CABECERA_COMBOS.STOCK , "
    "PRECIO_COMBO = #PASO_CABECERA_COMBOS.PRECIO_COMBO , "
    "PRODUCTO_TIPO = #PASO_CABECERA_COMBOS.PRODUCTO_TIPO , "
    "UNIDAD_MEDIDA = #PASO_CABECERA_COMBOS.UNIDAD_MEDIDA , "
    "DESCUENTO_AGENDA = #PASO_CABECERA_COMBOS.DESCUENTO_AGENDA , "
    "TODAS_AGRUPACIONES = #PASO_CABECERA_COMBOS.TODAS_AGRUPACIONES , "
    "CALCULA_STOCK = #PASO_CABECERA_COMBOS.CALCULA_STOCK , "
    "OM_MUESTRA_DETALLE_CONSOLIDADO = #PASO_CABECERA_COMBOS.OM_MUESTRA_DETALLE_CONSOLIDADO , "
    "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_CABECERA_COMBOS.OM_FECHAHORA_ULTIMAMODIFICACION "
    "FROM #PASO_CABECERA_COMBOS WITH (NOLOCK) WHERE "
    "[VELMORA].dbo.CABECERA_COMBOS.CODIGO_COMBO=#PASO_CABECERA_COMBOS.CODIGO_COMBO AND ( "
    "[VELMORA].dbo.CABECERA_COMBOS.DESCUENTO <> #PASO_CABECERA_COMBOS.DESCUENTO OR "
    "[VELMORA].dbo.CABECERA_COMBOS.FECHA_VIGENCIA_HASTA <> "
    "#PASO_CABECERA_COMBOS.FECHA_VIGENCIA_HASTA OR "
    "[VELMORA].dbo.CABECERA_COMBOS.FECHA_VIGENCIA_DESDE <> "
    "#PASO_CABECERA_COMBOS.FECHA_VIGENCIA_DESDE OR "
    "[VELMORA].dbo.CABECERA_COMBOS.DESCRIPCION_COMBO <> #PASO_CABECERA_COMBOS.DESCRIPCION_COMBO OR "
    "[VELMORA].dbo.CABECERA_COMBOS.STOCK <> #PASO_CABECERA_COMBOS.STOCK OR "
    "[VELMORA].dbo.CABECERA_COMBOS.PRECIO_COMBO <> #PASO_CABECERA_COMBOS.PRECIO_COMBO OR "
    "[VELMORA].dbo.CABECERA_COMBOS.PRODUCTO_TIPO <> #PASO_CABECERA_COMBOS.PRODUCTO_TIPO OR "
    "[VELMORA].dbo.CABECERA_COMBOS.UNIDAD_MEDIDA <> #PASO_CABECERA_COMBOS.UNIDAD_MEDIDA OR "
    "[VELMORA].dbo.CABECERA_COMBOS.DESCUENTO_AGENDA <> #PASO_CABECERA_COMBOS.DESCUENTO_AGENDA OR "
    "[VELMORA].dbo.CABECERA_COMBOS.TODAS_AGRUPACIONES <> "
    "#PASO_CABECERA_COMBOS.TODAS_AGRUPACIONES OR "
    "[VELMORA].dbo.CABECERA_COMBOS.CALCULA_STOCK <> #PASO_CABECERA_COMBOS.CALCULA_STOCK OR "
    "[VELMORA].dbo.CABECERA_COMBOS.OM_MUESTRA_DETALLE_CONSOLIDADO <> "
    "#PASO_CABECERA_COMBOS.OM_MUESTRA_DETALLE_CONSOLIDADO OR "
    "[VELMORA].dbo.CABECERA_COMBOS.OM_FECHAHORA_ULTIMAMODIFICACION <> "
    "#PASO_CABECERA_COMBOS.OM_FECHAHORA_ULTIMAMODIFICACION )",
};

const StatementList kDetalleCombos = {
    "DROP TABLE #PASO_DETALLE_COMBOS",
    "SELECT CAST(RTRIM(MAEDRES.CODIGO) AS VARCHAR(24) ){coll} AS CODIGO_COMBO, "
    "CAST(RTRIM(MAEDRES.ELEMENTO) AS VARCHAR(24) ){coll} AS CODIGO_ARTICULO, "
    "CAST(0 AS INT ) AS AUTOINCREMENTADO, "
    "CAST(PRE.DTMA01UD AS VARCHAR(20) ){coll} AS DESCUENTO, "
    "CAST(MAEDRES.CANTIDAD AS DECIMAL(8,3) ) AS CANTIDAD_ARTICULO, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
    "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
    "CAST(0 AS DECIMAL(15,4) ) AS PRECIO_UNITARIO, "
    "CAST(MAEDRES.NREG AS INT ) AS NUMERO_COMBO, "
    "CAST(MAEDRES.UDAD AS VARCHAR(5) ){coll} AS UNIDAD_MEDIDA, "
    "CAST(1 AS DECIMAL(8,6) ) AS FACTOR_CONV_UNID_MED "
    "INTO #PASO_DETALLE_COMBOS FROM MAEDRES WITH (NOLOCK) "
    "INNER JOIN MAEERES WITH (NOLOCK) ON MAEERES.CODIGO=MAEDRES.CODIGO "
    "INNER JOIN MAEPR WITH (NOLOCK) ON MAEDRES.ELEMENTO=MAEPR.KOPR "
    "INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA='01' AND EM.KOPR=MAEPR.KOPR "
    "LEFT JOIN TABPRE AS PRE WITH (NOLOCK) ON PRE.KOLT='01P' AND PRE.KOPR=MAEDRES.ELEMENTO "
    "WHERE EXISTS ( SELECT * FROM MAEPR as X1 WITH (NOLOCK) WHERE X1.KOPR=MAEERES.CODIGO )",
    "UPDATE #PASO_DETALLE_COMBOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
    // The combo-line insert, as the design gives it in full.
    "INSERT INTO [VELMORA].dbo.DETALLE_COMBOS SELECT * FROM #PASO_DETALLE_COMBOS WHERE NOT EXISTS "
    "( SELECT * FROM [VELMORA].dbo.DETALLE_COMBOS AS X WITH (NOLOCK) WHERE "
    "X.CODIGO_COMBO=#PASO_DETALLE_COMBOS.CODIGO_COMBO AND "
    "X.CODIGO_ARTICULO=#PASO_DETALLE_COMBOS.CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM "
    "[VELMORA].dbo.ARTICULOS AS X WITH (NOLOCK) WHERE "
    "X.CODIGO_ARTICULO=#PASO_DETALLE_COMBOS.CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM "
    "[VELMORA].dbo.CABECERA_COMBOS AS X WITH (NOLOCK) WHERE "
    "X.CODIGO_COMBO=#PASO_DETALLE_COMBOS.CODIGO_COMBO )",
    "UPDATE [VELMORA].dbo.DETALLE_COMBOS SET "
    "AUTOINCREMENTADO = #PASO_DETALLE_COMBOS.AUTOINCREMENTADO , "
    "DESCUENTO = #PASO_DETALLE_COMBOS.DESCUENTO , "
    "CANTIDAD_ARTICULO = #PASO_DETALLE_COMBOS.CANTIDAD_ARTICULO , "
    "PRECIO_UNITARIO = #PASO_DETALLE_COMBOS.PRECIO_UNITARIO , "
    "NUMERO_COMBO = #PASO_DETALLE_COMBOS.NUMERO_COMBO , "
    "UNIDAD_MEDIDA = #PASO_DETALLE_COMBOS.UNIDAD_MEDIDA , "
    "FACTOR_CONV_UNID_MED = #PASO_DETALLE_COMBOS.FACTOR_CONV_UNID_MED "
    "FROM #PASO_DETALLE_COMBOS WITH (NOLOCK) WHERE "
    "[VELMORA].dbo.DETALLE_COMBOS.CODIGO_COMBO=#PASO_DETALLE_COMBOS.CODIGO_COMBO AND "
    "[VELMORA].dbo.DETALLE_COMBOS.CODIGO_ARTICULO=#PASO_DETALLE_COMBOS.CODIGO_ARTICULO AND ( "
    "[VELMORA].dbo.DETALLE_COMBOS.AUTOINCREMENTADO <> #PASO_DETALLE_COMBOS.AUTOINCREMENTADO OR "
    "[VELMORA].dbo.DETALLE_COMBOS.DESCUENTO <> #PASO_DETALLE_COMBOS.DESCUENTO OR "
    "[VELMORA].dbo.DETALLE_COMBOS.CANTIDAD_ARTICULO <> #PASO_DETALLE_COMBOS.CANTIDAD_ARTICULO OR "
    "[VELMORA].dbo.DETALLE_COMBOS.PRECIO_UNITARIO <> #PASO_DETALLE_COMBOS.PRECIO_UNITARIO OR "
    "[VELMORA].dbo.DETALLE_COMBOS.NUMERO_COMBO <> #PASO_DETALLE_COMBOS.NUMERO_COMBO OR "
    "[VELMORA].dbo.DETALLE_COMBOS.UNIDAD_MEDIDA <> #PASO_DETALLE_COMBOS.UNIDAD_MEDIDA OR "
    "[VELMORA].dbo.DETALLE_COMBOS.FACTOR_CONV_UNID_MED <> "
    "#PASO_DETALLE_COMBOS.FACTOR_CONV_UNID_MED )",
};

const StatementList kImpuestos = {
    "DROP TABLE #PASO_IMPUESTOS",
    "SELECT CAST(TABIM.KOIM AS VARCHAR(25) ){coll} AS ID_IMPUESTO, "
    "CAST('' AS VARCHAR(1) ){coll} AS APLICA_S_TOT_D_IMP, "
    "CAST('' AS VARCHAR(1) ){coll} AS APLICA_S_TOT_A_IMP, "
    "CAST(0 AS DECIMAL(8,3) ) AS MON_MINIMO_APLICACION, "
    "CAST(0 AS DECIMAL(8,3) ) AS MONTO_FIJO, "
    "CAST(TABIM.POIM AS DECIMAL(8,3) ) AS ALICUOTA, "
    "CAST('' AS VARCHAR(40) ){coll} AS DESCRIPCION_IMPUESTO, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
    "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
    "CAST(0 AS DECIMAL(8,3) ) AS MON_MINIMO_IVA_APLICACION, "
    "CAST(0 AS FLOAT ) AS alicuota_convenio, "
    "CAST(0 AS CHAR(2) ){coll} AS tipo_impuesto, "
    "CAST(0 AS VARCHAR(1) ){coll} AS monto_min_diario "
    "INTO #PASO_IMPUESTOS FROM TABIM WITH (NOLOCK)",
    "UPDATE #PASO_IMPUESTOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
    "INSERT INTO [VELMORA].dbo.IMPUESTOS SELECT * FROM #PASO_IMPUESTOS WITH (NOLOCK) WHERE NOT "
    "EXISTS ( SELECT * FROM [VELMORA].dbo.IMPUESTOS AS X WITH (NOLOCK) WHERE "
    "X.ID_IMPUESTO=#PASO_IMPUESTOS.ID_IMPUESTO )",
    "UPDATE [VELMORA].dbo.IMPUESTOS SET "
    "APLICA_S_TOT_D_IMP = #PASO_IMPUESTOS.APLICA_S_TOT_D_IMP , "
    "APLICA_S_TOT_A_IMP = #PASO_IMPUESTOS.APLICA_S_TOT_A_IMP , "
    "MON_MINIMO_APLICACION = #PASO_IMPUESTOS.MON_MINIMO_APLICACION , "
    "MONTO_FIJO = #PASO_IMPUESTOS.MONTO_FIJO , "
    "ALICUOTA = #PASO_IMPUESTOS.ALICUOTA , "
    "DESCRIPCION_IMPUESTO = #PASO_IMPUESTOS.DESCRIPCION_IMPUESTO , "
    "FECHA_ULTIMA_MODIFICACION = #PASO_IMPUESTOS.FECHA_ULTIMA_MODIFICACION , "
    "ACTIVO = #PASO_IMPUESTOS.ACTIVO , "
    "INDICADOR_ACCION = #PASO_IMPUESTOS.INDICADOR_ACCION , "
    "MON_MINIMO_IVA_APLICACION = #PASO_IMPUESTOS.MON_MINIMO_IVA_APLICACION , "
    "alicuota_convenio = #PASO_IMPUESTOS.alicuota_convenio , "
    "tipo_impuesto = #PASO_IMPUESTOS.tipo_impuesto , "
    "monto_min_diario = #PASO_IMPUESTOS.monto_min_diario "
    "FROM #PASO_IMPUESTOS WITH (NOLOCK) WHERE "
    "[VELMORA].dbo.IMPUESTOS.ID_IMPUESTO=#PASO_IMPUESTOS.ID_IMPUESTO AND ( "
    "[VELMORA].dbo.IMPUESTOS.APLICA_S_TOT_D_IMP <> #PASO_IMPUESTOS.APLICA_S_TOT_D_IMP OR "
    "[VELMORA].dbo.IMPUESTOS.APLICA_S_TOT_A_IMP <> #PASO_IMPUESTOS.APLICA_S_TOT_A_IMP OR "
    "[VELMORA].dbo.IMPUESTOS.MON_MINIMO_APLICACION <> #PASO_IMPUESTOS.MON_MINIMO_APLICACION OR "
    "[VELMORA].dbo.IMPUESTOS.MONTO_FIJO <> #PASO_IMPUESTOS.MONTO_FIJO OR "
    "[VELMORA].dbo.IMPUESTOS.ALICUOTA <> #PASO_IMPUESTOS.ALICUOTA OR "
    "[VELMORA].dbo.IMPUESTOS.DESCRIPCION_IMPUESTO <> #PASO_IMPUESTOS.DESCRIPCION_IMPUESTO OR "
    "[VELMORA].dbo.IMPUESTOS.MON_MINIMO_IVA_APLICACION <> "
    "#PASO_IMPUESTOS.MON_MINIMO_IVA_APLICACION OR "
    "[VELMORA].dbo.IMPUESTOS.alicuota_convenio <> #PASO_IMPUESTOS.alicuota_convenio OR "
    "[VELMORA].dbo.IMPUESTOS.tipo_impuesto <> #PASO_IMPUESTOS.tipo_impuesto OR "
    "[VELMORA].dbo.IMPUESTOS.monto_min_diario <> #PASO_IMPUESTOS.monto_min_diario )",
};

const StatementList kImpuestosArticulos = {
    "DROP TABLE #PASO_IMPUESTOS_ARTICULOS",
    "SELECT CAST(TABIMPR.KOIM AS VARCHAR(25) ){coll} AS ID_IMPUESTO, "
    "CAST(RTRIM(TABIMPR.KOPR) AS VARCHAR(24) ){coll} AS CODIGO_ARTICULO, "
    "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
    "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
    "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION "
    "INTO #PASO_IMPUESTOS_ARTICULOS FROM TABIMPR WITH (NOLOCK) "
    "INNER JOIN MAEPR WITH (NOLOCK) ON TABIMPR.KOPR=MAEPR.KOPR "
    "INNER JOIN TABIM WITH (NOLOCK) ON TABIMPR.KOIM=TABIM.KOIM",
    "UPDATE #PASO_IMPUESTOS_ARTICULOS SET INDICADOR_ACCION='A',ACTIVO=1,"
    "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
    "INSERT INTO [VELMORA].dbo.IMPUESTOS_ARTICULOS SELECT * FROM #PASO_IMPUESTOS_ARTICULOS WITH "
    "(NOLOCK) WHERE NOT EXISTS ( SELECT * FROM [VELMORA].dbo.IMPUESTOS_ARTICULOS AS X WITH "
    "(NOLOCK) WHERE X.ID_IMPUESTO=#PASO_IMPUESTOS_ARTICULOS.ID_IMPUESTO AND "
    "X.CODIGO_ARTICULO=#PASO_IMPUESTOS_ARTICULOS.CODIGO_ARTICULO )",
    // The tax flags, as the design gives them in full.
    "UPDATE [VELMORA].dbo.IMPUESTOS SET APLICA_S_TOT_D_IMP='0',APLICA_S_TOT_A_IMP='1' WHERE "
    "EXISTS ( SELECT * FROM [VELMORA].dbo.IMPUESTOS_ARTICULOS AS A WHERE A.ID_IMPUESTO = "
    "[VELMORA].dbo.IMPUESTOS.ID_IMPUESTO )",
};

struct Batch {
  const char* name;  // also the destination table
  const StatementList* expected;
  StatementList (*build)(const std::string& coll);
};

const Batch kBatches[] = {
    {"CABECERA_COMBOS", &kCabeceraCombos,
     [](const std::string& coll) {
       return CABECERA_COMBOS(kBase, coll, kEmpresa, kSucursal, kBodega, kLista);
     }},
    {"DETALLE_COMBOS", &kDetalleCombos,
     [](const std::string& coll) {
       return DETALLE_COMBOS(kBase, coll, kEmpresa, kSucursal, kBodega, kLista);
     }},
    {"IMPUESTOS", &kImpuestos, [](const std::string& coll) { return IMPUESTOS(kBase, coll); }},
    {"IMPUESTOS_ARTICULOS", &kImpuestosArticulos,
     [](const std::string& coll) { return IMPUESTOS_ARTICULOS(kBase, coll); }},
};

const std::string kCollations[] = {CollationClause("  Modern_Spanish_CI_AS "), CollationClause("")};

TEST(TaxesCombosTest, StatementsAreExact) {
  ASSERT_EQ(kCollations[0], " COLLATE Modern_Spanish_CI_AS");
  for (const auto& batch : kBatches) {
    for (const auto& coll : kCollations) {
      SCOPED_TRACE(std::string(batch.name) + " coll='" + coll + "'");
      const StatementList got = batch.build(coll);
      const StatementList want = Expanded(*batch.expected, coll);
      ASSERT_EQ(got.size(), want.size());
      for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "element " << i + 1;
    }
  }
}

TEST(TaxesCombosTest, EveryStatementIsTsql) {
  StatementList all;
  for (const auto& batch : kBatches) {
    for (const auto& coll : kCollations) {
      for (const auto& statement : batch.build(coll)) all.push_back(statement);
    }
  }
  // Quotes doubled inside the configured values still parse.
  all.push_back(CABECERA_COMBOS(kBase, "", "0'1", "C'M", "B'1", "TABPP0'1")[1]);
  all.push_back(DETALLE_COMBOS(kBase, "", "0'1", "CM", "B01", "TABPP0'1")[1]);
  EXPECT_ALL_TSQL(all);
}

// Rows go into the destination with SELECT * and no column list, so the
// staging table must have the destination's columns, order and types.
TEST(TaxesCombosTest, StagingLayoutMatchesDestination) {
  const auto stock_type = [] {
    for (const auto& column : testsupport::OriginColumns("MAEST")) {
      if (column.name == "STFI1") return column.type;
    }
    return std::string();
  }();
  ASSERT_FALSE(stock_type.empty()) << "MAEST.STFI1 missing from schema/quorix";
  for (const auto& batch : kBatches) {
    SCOPED_TRACE(batch.name);
    auto staging = testsupport::StagingColumns(batch.build(kCollations[0])[1]);
    // STOCK is not cast: it keeps the type of the ERP's stock column.
    for (auto& column : staging) {
      if (column.type.empty() && column.name == "STOCK") column.type = stock_type;
    }
    const auto destination = testsupport::DestinationColumns(batch.name);
    ASSERT_FALSE(destination.empty());
    EXPECT_EQ(staging, destination);
  }
}

TEST(TaxesCombosTest, ErpColumnsReadExistInTheErpSchema) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> read = {
      {"TABIM", {"KOIM", "POIM"}},
      {"TABIMPR", {"KOIM", "KOPR"}},
      {"MAEPR", {"KOPR", "UD01PR"}},
      {"MAEPREM", {"EMPRESA", "KOPR"}},
      {"MAEST", {"EMPRESA", "KOSU", "KOBO", "KOPR", "STFI1"}},
      {"TABPRE", {"KOLT", "KOPR", "DTMA01UD"}},
      {"MAEERES", {"CODIGO"}},
      {"MAEDRES", {"CODIGO", "ELEMENTO", "CANTIDAD", "NREG", "UDAD"}},
  };
  for (const auto& [table, columns] : read) {
    std::set<std::string> present;
    for (const auto& column : testsupport::OriginColumns(table)) present.insert(column.name);
    for (const auto& column : columns) {
      EXPECT_TRUE(present.count(column)) << table << "." << column;
    }
  }
}

TEST(TaxesCombosTest, ConfiguredValuesAreQuotedLiterals) {
  const StatementList header = CABECERA_COMBOS("Vel]mora", "", "0'1", "C'M", "B'1", "TABPP0'1");
  EXPECT_NE(header[1].find("EM.EMPRESA='0''1' "), std::string::npos);
  EXPECT_NE(header[1].find("ST.KOSU='C''M' AND ST.KOBO='B''1' "), std::string::npos);
  EXPECT_NE(header[1].find("PRE.KOLT='0''1' "), std::string::npos);
  EXPECT_EQ(header[3].rfind("INSERT INTO [Vel]]mora].dbo.CABECERA_COMBOS ", 0), 0u);
  const StatementList lines = DETALLE_COMBOS("Vel]mora", "", "0'1", "CM", "B01", "TABPP0'1");
  EXPECT_NE(lines[1].find("EM.EMPRESA='0''1' "), std::string::npos);
  EXPECT_NE(lines[3].find("[Vel]]mora].dbo.ARTICULOS AS X"), std::string::npos);
}

TEST(TaxesCombosTest, LinesIgnoreBranchAndWarehouse) {
  EXPECT_EQ(DETALLE_COMBOS(kBase, "", kEmpresa, "X1", "X2", kLista),
            DETALLE_COMBOS(kBase, "", kEmpresa, "Y1", "Y2", kLista));
}

}  // namespace
}  // namespace exporter
