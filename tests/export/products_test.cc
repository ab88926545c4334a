#include "export/products.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/schema_ddl.h"
#include "support/text_marks.h"
#include "support/tsql_grammar.h"

namespace exporter {
namespace {

using testsupport::ColumnLayout;

const char* const kCollation = "  Modern_Spanish_CI_AS ";

// The expected text with every "{coll}" replaced by the collation clause.
std::string WithCollation(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{coll}", coll}});
}

StatementList Build(const std::string& builder, const std::string& coll) {
  if (builder == "LINEAS") return LINEAS("VELMORA", coll);
  if (builder == "RUBROS") return RUBROS("VELMORA", coll);
  if (builder == "SUBRUBROS") return SUBRUBROS("VELMORA", coll);
  if (builder == "DIVISIONES") return DIVISIONES("VELMORA", coll);
  if (builder == "ARTICULOS") return ARTICULOS("VELMORA", coll, "01", "CM", "B01", "TABPP01P");
  return OM_CONVERSIONES("VELMORA", coll, "01");
}

const std::vector<std::string> kBuilders = {"LINEAS",     "RUBROS",    "SUBRUBROS",
                                            "DIVISIONES", "ARTICULOS", "OM_CONVERSIONES"};

// Every statement of every builder, in order, with "{coll}" for the clause.
const std::map<std::string, std::vector<std::string>>& Expected() {
  static const std::map<std::string, std::vector<std::string>> expected = {
      {"LINEAS",
       {"DROP TABLE #PASO_LINEAS",
        "SELECT CAST('sinclasificar' AS VARCHAR(20) ){coll} AS ID_LINEA, "
        "CAST('linea sin clasificacion' AS VARCHAR(30) ){coll} AS DESCRIPCION_LINEA, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_LINEA, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SEGMENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_GR_SEGMENTO_EVENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SUBRUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_LINEA_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION INTO #PASO_LINEAS",
        "INSERT INTO #PASO_LINEAS SELECT CAST(KOFM+KOPF+KOHF AS VARCHAR(20) ){coll} AS ID_LINEA, "
        "CAST(NOKOHF AS VARCHAR(30) ){coll} AS DESCRIPCION_LINEA, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_LINEA, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SEGMENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_GR_SEGMENTO_EVENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SUBRUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_LINEA_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION FROM TABHF",
        "UPDATE #PASO_LINEAS SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.LINEAS SELECT * FROM #PASO_LINEAS WITH (NOLOCK) WHERE NOT "
        "EXISTS ( SELECT * FROM [VELMORA].dbo.LINEAS AS X WITH (NOLOCK) WHERE "
        "X.ID_LINEA=#PASO_LINEAS.ID_LINEA )",
        "UPDATE [VELMORA].dbo.LINEAS SET "
        "FECHA_ULTIMA_MODIFICACION = #PASO_LINEAS.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = #PASO_LINEAS.ACTIVO , INDICADOR_ACCION = #PASO_LINEAS.INDICADOR_ACCION , "
        "OM_ID_LINEA = #PASO_LINEAS.OM_ID_LINEA , "
        "OM_ID_DIVISION_NORVO = #PASO_LINEAS.OM_ID_DIVISION_NORVO , "
        "OM_ID_RUBRO_NORVO = #PASO_LINEAS.OM_ID_RUBRO_NORVO , "
        "OM_ID_SEGMENTO_NORVO = #PASO_LINEAS.OM_ID_SEGMENTO_NORVO , "
        "OM_ID_GR_SEGMENTO_EVENTO_NORVO = #PASO_LINEAS.OM_ID_GR_SEGMENTO_EVENTO_NORVO , "
        "OM_ID_SUBRUBRO_NORVO = #PASO_LINEAS.OM_ID_SUBRUBRO_NORVO , "
        "OM_ID_LINEA_NORVO = #PASO_LINEAS.OM_ID_LINEA_NORVO , "
        "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_LINEAS.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_LINEAS WITH (NOLOCK) WHERE [VELMORA].dbo.LINEAS.ID_LINEA=#PASO_LINEAS.ID_LINEA "
        "AND ( [VELMORA].dbo.LINEAS.OM_ID_LINEA <> #PASO_LINEAS.OM_ID_LINEA OR "
        "[VELMORA].dbo.LINEAS.OM_ID_DIVISION_NORVO <> #PASO_LINEAS.OM_ID_DIVISION_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_ID_RUBRO_NORVO <> #PASO_LINEAS.OM_ID_RUBRO_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_ID_SEGMENTO_NORVO <> #PASO_LINEAS.OM_ID_SEGMENTO_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_ID_GR_SEGMENTO_EVENTO_NORVO <> "
        "#PASO_LINEAS.OM_ID_GR_SEGMENTO_EVENTO_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_ID_SUBRUBRO_NORVO <> #PASO_LINEAS.OM_ID_SUBRUBRO_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_ID_LINEA_NORVO <> #PASO_LINEAS.OM_ID_LINEA_NORVO OR "
        "[VELMORA].dbo.LINEAS.OM_FECHAHORA_ULTIMAMODIFICACION <> "
        "#PASO_LINEAS.OM_FECHAHORA_ULTIMAMODIFICACION )"}},
      {"RUBROS",
       {"DROP TABLE #PASO_RUBROS",
        "SELECT CAST('sinclasificar' AS VARCHAR(20) ){coll} AS ID_RUBRO, "
        "CAST('rubros sin clasificacion' AS VARCHAR(30) ){coll} AS DESCRIPCION_RUBRO, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION INTO #PASO_RUBROS",
        "INSERT INTO #PASO_RUBROS SELECT CAST(KOFM+KOPF AS VARCHAR(20) ){coll} AS ID_RUBRO, "
        "CAST(NOKOPF AS VARCHAR(30) ){coll} AS DESCRIPCION_RUBRO, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION FROM TABPF",
        "INSERT INTO #PASO_RUBROS SELECT CAST(KOFM AS VARCHAR(20) ){coll} AS ID_RUBRO, "
        "CAST(NOKOFM AS VARCHAR(30) ){coll} AS DESCRIPCION_RUBRO, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION FROM TABFM",
        "UPDATE #PASO_RUBROS SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.RUBROS SELECT * FROM #PASO_RUBROS WITH (NOLOCK) WHERE NOT "
        "EXISTS ( SELECT * FROM [VELMORA].dbo.RUBROS AS X WITH (NOLOCK) WHERE "
        "X.ID_RUBRO=#PASO_RUBROS.ID_RUBRO )",
        "UPDATE [VELMORA].dbo.RUBROS SET DESCRIPCION_RUBRO = #PASO_RUBROS.DESCRIPCION_RUBRO , "
        "FECHA_ULTIMA_MODIFICACION = #PASO_RUBROS.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = #PASO_RUBROS.ACTIVO , INDICADOR_ACCION = #PASO_RUBROS.INDICADOR_ACCION , "
        "OM_ID_RUBRO = #PASO_RUBROS.OM_ID_RUBRO , "
        "OM_ID_DIVISION_NORVO = #PASO_RUBROS.OM_ID_DIVISION_NORVO , "
        "OM_ID_RUBRO_NORVO = #PASO_RUBROS.OM_ID_RUBRO_NORVO , "
        "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_RUBROS.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_RUBROS WITH (NOLOCK) WHERE [VELMORA].dbo.RUBROS.ID_RUBRO=#PASO_RUBROS.ID_RUBRO "
        "AND ( [VELMORA].dbo.RUBROS.DESCRIPCION_RUBRO <> #PASO_RUBROS.DESCRIPCION_RUBRO OR "
        "[VELMORA].dbo.RUBROS.OM_ID_RUBRO <> #PASO_RUBROS.OM_ID_RUBRO OR "
        "[VELMORA].dbo.RUBROS.OM_ID_DIVISION_NORVO <> #PASO_RUBROS.OM_ID_DIVISION_NORVO OR "
        "[VELMORA].dbo.RUBROS.OM_ID_RUBRO_NORVO <> #PASO_RUBROS.OM_ID_RUBRO_NORVO OR "
        "[VELMORA].dbo.RUBROS.OM_FECHAHORA_ULTIMAMODIFICACION <> "
        "#PASO_RUBROS.OM_FECHAHORA_ULTIMAMODIFICACION )"}},
      {"SUBRUBROS",
       {"DROP TABLE #PASO_SUBRUBROS",
        "SELECT CAST('sinclasificar' AS VARCHAR(20) ){coll} AS ID_SUBRUBRO, "
        "CAST('subrubro sin clasificar' AS VARCHAR(30) ){coll} AS DESCRIPCION_SUBRUBRO, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SUBRUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SEGMENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_GR_SEGMENTO_EVENTO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SUBRUBRO_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION "
        "INTO #PASO_SUBRUBROS",
        "UPDATE #PASO_SUBRUBROS SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.SUBRUBROS SELECT * FROM #PASO_SUBRUBROS WITH (NOLOCK) WHERE "
        "NOT EXISTS ( SELECT * FROM [VELMORA].dbo.SUBRUBROS AS X WITH (NOLOCK) WHERE "
        "X.ID_SUBRUBRO=#PASO_SUBRUBROS.ID_SUBRUBRO )",
        "UPDATE [VELMORA].dbo.SUBRUBROS SET "
        "DESCRIPCION_SUBRUBRO = #PASO_SUBRUBROS.DESCRIPCION_SUBRUBRO , "
        "FECHA_ULTIMA_MODIFICACION = #PASO_SUBRUBROS.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = #PASO_SUBRUBROS.ACTIVO , INDICADOR_ACCION = #PASO_SUBRUBROS.INDICADOR_ACCION , "
        "OM_ID_SUBRUBRO = #PASO_SUBRUBROS.OM_ID_SUBRUBRO , "
        "OM_ID_DIVISION_NORVO = #PASO_SUBRUBROS.OM_ID_DIVISION_NORVO , "
        "OM_ID_RUBRO_NORVO = #PASO_SUBRUBROS.OM_ID_RUBRO_NORVO , "
        "OM_ID_SEGMENTO_NORVO = #PASO_SUBRUBROS.OM_ID_SEGMENTO_NORVO , "
        "OM_ID_GR_SEGMENTO_EVENTO_NORVO = #PASO_SUBRUBROS.OM_ID_GR_SEGMENTO_EVENTO_NORVO , "
        "OM_ID_SUBRUBRO_NORVO = #PASO_SUBRUBROS.OM_ID_SUBRUBRO_NORVO , "
        "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_SUBRUBROS.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_SUBRUBROS WITH (NOLOCK) WHERE "
        "[VELMORA].dbo.SUBRUBROS.ID_SUBRUBRO=#PASO_SUBRUBROS.ID_SUBRUBRO AND ( "
        "[VELMORA].dbo.SUBRUBROS.DESCRIPCION_SUBRUBRO <> #PASO_SUBRUBROS.DESCRIPCION_SUBRUBRO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_SUBRUBRO <> #PASO_SUBRUBROS.OM_ID_SUBRUBRO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_DIVISION_NORVO <> #PASO_SUBRUBROS.OM_ID_DIVISION_NORVO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_RUBRO_NORVO <> #PASO_SUBRUBROS.OM_ID_RUBRO_NORVO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_SEGMENTO_NORVO <> #PASO_SUBRUBROS.OM_ID_SEGMENTO_NORVO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_GR_SEGMENTO_EVENTO_NORVO <> "
        "#PASO_SUBRUBROS.OM_ID_GR_SEGMENTO_EVENTO_NORVO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_ID_SUBRUBRO_NORVO <> #PASO_SUBRUBROS.OM_ID_SUBRUBRO_NORVO OR "
        "[VELMORA].dbo.SUBRUBROS.OM_FECHAHORA_ULTIMAMODIFICACION <> "
        "#PASO_SUBRUBROS.OM_FECHAHORA_ULTIMAMODIFICACION )"}},
      {"DIVISIONES",
       {"DROP TABLE #PASO_DIVISIONES",
        "SELECT CAST('' AS VARCHAR(20) ){coll} AS ID_DIVISION, "
        "CAST('' AS VARCHAR(30) ){coll} AS DESCRIPCION_DIVISION, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION "
        "INTO #PASO_DIVISIONES",
        "INSERT INTO #PASO_DIVISIONES SELECT CAST(KOFM AS VARCHAR(20) ){coll} AS ID_DIVISION, "
        "CAST(NOKOFM AS VARCHAR(30) ){coll} AS DESCRIPCION_DIVISION, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS "
        "INDICADOR_ACCION, CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION_NORVO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION FROM TABFM",
        "UPDATE #PASO_DIVISIONES SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.DIVISIONES SELECT * FROM #PASO_DIVISIONES WITH (NOLOCK) WHERE "
        "NOT EXISTS ( SELECT * FROM [VELMORA].dbo.DIVISIONES AS X WITH (NOLOCK) WHERE "
        "X.ID_DIVISION=#PASO_DIVISIONES.ID_DIVISION )",
        "UPDATE [VELMORA].dbo.DIVISIONES SET "
        "DESCRIPCION_DIVISION = #PASO_DIVISIONES.DESCRIPCION_DIVISION , "
        "FECHA_ULTIMA_MODIFICACION = #PASO_DIVISIONES.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = #PASO_DIVISIONES.ACTIVO , "
        "INDICADOR_ACCION = #PASO_DIVISIONES.INDICADOR_ACCION , "
        "OM_ID_DIVISION = #PASO_DIVISIONES.OM_ID_DIVISION , "
        "OM_ID_DIVISION_NORVO = #PASO_DIVISIONES.OM_ID_DIVISION_NORVO , "
        "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_DIVISIONES.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_DIVISIONES WITH (NOLOCK) WHERE "
        "[VELMORA].dbo.DIVISIONES.ID_DIVISION=#PASO_DIVISIONES.ID_DIVISION AND ( "
        "[VELMORA].dbo.DIVISIONES.DESCRIPCION_DIVISION <> #PASO_DIVISIONES.DESCRIPCION_DIVISION "
        "OR [VELMORA].dbo.DIVISIONES.OM_ID_DIVISION <> #PASO_DIVISIONES.OM_ID_DIVISION OR "
        "[VELMORA].dbo.DIVISIONES.OM_ID_DIVISION_NORVO <> #PASO_DIVISIONES.OM_ID_DIVISION_NORVO "
        "OR [VELMORA].dbo.DIVISIONES.OM_FECHAHORA_ULTIMAMODIFICACION <> "
        "#PASO_DIVISIONES.OM_FECHAHORA_ULTIMAMODIFICACION )"}},
      {"ARTICULOS",
       {"DROP TABLE #PASO_ARTICULOS",
        "SELECT CAST(MAEPR.KOPR AS varchar(24) ){coll} AS CODIGO_ARTICULO, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_SUBRUBRO, "
        "CAST(MAEPR.FMPR+MAEPR.PFPR+MAEPR.HFPR AS VARCHAR(20) ){coll} AS ID_LINEA, "
        "CAST(MAEPR.FMPR AS VARCHAR(20) ){coll} AS ID_DIVISION, "
        "CAST(MAEPR.FMPR+MAEPR.PFPR AS VARCHAR(20) ){coll} AS ID_RUBRO, "
        "COALESCE(ST.STFI1,0) AS STOCK, "
        "CAST(CASE WHEN COALESCE(PRE.DTMA01UD,0)=0 THEN 0.01 ELSE PRE.DTMA01UD END AS "
        "VARCHAR(20) ){coll} AS DESCUENTO_MAXIMO, "
        "CAST('0' AS VARCHAR(20) ){coll} AS DESCUENTO_DIRECTO, "
        "CAST(1 AS DECIMAL(18,5) ) AS UNIDAD_MINIMA_VENTA, "
        "CAST(MAEPR.RLUD AS DECIMAL(18,5) ) AS CANTIDAD_UNIDADES_UNIDAD_VENTA, "
        "CAST(MAEPR.UD01PR AS VARCHAR(10) ){coll} AS UNIDAD_VENTA, "
        "CAST(MAEPR.NOKOPR AS VARCHAR(100) ){coll} AS DESCRIPCION_ARTICULO, "
        "CAST('A' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
        "CAST(CONVERT(varchar(14),getdate(),112) AS varchar(14) ){coll} AS "
        "FECHA_ULTIMA_MODIFICACION, "
        "CAST(CASE WHEN MAEPR.BLOQUEAPR IN ('V','T','X') THEN '0' WHEN ST.STFI1 <= 0 THEN '0' "
        "ELSE '1' END AS VARCHAR(1) ){coll} AS ACTIVO, "
        "CAST(MAEPR.HFPR AS VARCHAR(20) ){coll} AS ID_SEGMENTO, "
        "CAST(0 AS DECIMAL(18,5) ) AS STOCK_ORIGINAL, "
        "CAST(0 AS FLOAT ) AS STOCK_RESERVA_ONLINE, "
        "CAST('' AS CHAR(5) ){coll} AS Id_Tipo_Negocio, "
        "COALESCE(ST.STFI1,0) AS STOCK_REAL_DEPOSITO, "
        "CAST('' AS VARCHAR(1) ){coll} AS exento, "
        "CAST(CASE WHEN COALESCE(MAEPR.KOGE,'')<>'' THEN 'C' ELSE 'L' END AS NVARCHAR(1) ){coll} "
        "AS OM_TIPO, "
        "CAST(0 AS INT ) AS OM_MINIMO_DIAS_PICKING, "
        "CAST(0 AS INT ) AS OM_MINIMO_DIAS_REPOSICION, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_UBICACION_PICKING, "
        "CAST(0 AS FLOAT ) AS OM_COSTO_ARTICULO_BULTO, "
        "CAST('' AS NVARCHAR(1) ){coll} AS OM_CATEGORIA_ABCD, "
        "CAST('' AS NVARCHAR(1) ){coll} AS OM_CATEGORIA_XYZ, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_DIVISION, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_RUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SEGMENTO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_GRSEGEVENTO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_SUBRUBRO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_ID_LINEA, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION "
        "INTO #PASO_ARTICULOS FROM MAEPR WITH (NOLOCK) "
        "INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA='01' AND EM.KOPR=MAEPR.KOPR "
        "LEFT JOIN MAEST AS ST WITH (NOLOCK) ON ST.EMPRESA=EM.EMPRESA AND ST.KOSU='CM' AND "
        "ST.KOBO='B01' AND ST.KOPR=MAEPR.KOPR "
        "LEFT JOIN TABPRE AS PRE WITH (NOLOCK) ON PRE.KOLT='01P' AND PRE.KOPR=MAEPR.KOPR",
        "UPDATE #PASO_ARTICULOS SET CODIGO_ARTICULO=RTRIM(CODIGO_ARTICULO)",
        "UPDATE #PASO_ARTICULOS SET ID_RUBRO='sinclasificar' WHERE NOT EXISTS ( select * from "
        "[VELMORA].dbo.RUBROS AS X WHERE X.ID_RUBRO=#PASO_ARTICULOS.ID_RUBRO ) OR "
        "COALESCE(#PASO_ARTICULOS.ID_RUBRO,'')=''",
        "UPDATE #PASO_ARTICULOS SET ID_LINEA='sinclasificar' WHERE NOT EXISTS ( select * from "
        "[VELMORA].dbo.LINEAS AS X WHERE X.ID_LINEA=#PASO_ARTICULOS.ID_LINEA ) OR "
        "COALESCE(#PASO_ARTICULOS.ID_LINEA,'')=''",
        "UPDATE #PASO_ARTICULOS SET ID_SUBRUBRO='sinclasificar' WHERE NOT EXISTS ( select * from "
        "[VELMORA].dbo.SUBRUBROS AS X WHERE X.ID_SUBRUBRO=#PASO_ARTICULOS.ID_SUBRUBRO ) OR "
        "COALESCE(#PASO_ARTICULOS.ID_SUBRUBRO,'')=''",
        "UPDATE #PASO_ARTICULOS SET STOCK=STOCK - COALESCE((SELECT SUM(COALESCE(DETA.CAPRCO1,0)) "
        "FROM PDADETA AS DETA WITH (NOLOCK) WHERE CAST(DETA.KOPR{coll} AS "
        "CHAR(13))=#PASO_ARTICULOS.CODIGO_ARTICULO AND DETA.BOSULIDO='B01' AND "
        "DETA.VALIDO='S'),0)",
        "INSERT INTO [VELMORA].dbo.ARTICULOS SELECT * FROM #PASO_ARTICULOS WHERE NOT EXISTS ( "
        "SELECT * FROM [VELMORA].dbo.ARTICULOS AS X WITH (NOLOCK) WHERE "
        "X.CODIGO_ARTICULO=#PASO_ARTICULOS.CODIGO_ARTICULO )",
        "UPDATE [VELMORA].dbo.ARTICULOS SET ID_SUBRUBRO = #PASO_ARTICULOS.ID_SUBRUBRO , "
        "ID_LINEA = #PASO_ARTICULOS.ID_LINEA , ID_DIVISION = #PASO_ARTICULOS.ID_DIVISION , "
        "ID_RUBRO = #PASO_ARTICULOS.ID_RUBRO , STOCK = #PASO_ARTICULOS.STOCK , "
        "DESCUENTO_MAXIMO = #PASO_ARTICULOS.DESCUENTO_MAXIMO , "
        "DESCUENTO_DIRECTO = #PASO_ARTICULOS.DESCUENTO_DIRECTO , "
        "UNIDAD_MINIMA_VENTA = #PASO_ARTICULOS.UNIDAD_MINIMA_VENTA , "
        "CANTIDAD_UNIDADES_UNIDAD_VENTA = #PASO_ARTICULOS.CANTIDAD_UNIDADES_UNIDAD_VENTA , "
        "UNIDAD_VENTA = #PASO_ARTICULOS.UNIDAD_VENTA , "
        "DESCRIPCION_ARTICULO = #PASO_ARTICULOS.DESCRIPCION_ARTICULO , "
        "INDICADOR_ACCION = #PASO_ARTICULOS.INDICADOR_ACCION , "
        "FECHA_ULTIMA_MODIFICACION = #PASO_ARTICULOS.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = #PASO_ARTICULOS.ACTIVO , ID_SEGMENTO = #PASO_ARTICULOS.ID_SEGMENTO , "
        "STOCK_ORIGINAL = #PASO_ARTICULOS.STOCK_ORIGINAL , "
        "STOCK_RESERVA_ONLINE = #PASO_ARTICULOS.STOCK_RESERVA_ONLINE , "
        "Id_Tipo_Negocio = #PASO_ARTICULOS.Id_Tipo_Negocio , "
        "STOCK_REAL_DEPOSITO = #PASO_ARTICULOS.STOCK_REAL_DEPOSITO , "
        "exento = #PASO_ARTICULOS.exento , OM_TIPO = #PASO_ARTICULOS.OM_TIPO , "
        "OM_MINIMO_DIAS_PICKING = #PASO_ARTICULOS.OM_MINIMO_DIAS_PICKING , "
        "OM_MINIMO_DIAS_REPOSICION = #PASO_ARTICULOS.OM_MINIMO_DIAS_REPOSICION , "
        "OM_UBICACION_PICKING = #PASO_ARTICULOS.OM_UBICACION_PICKING , "
        "OM_COSTO_ARTICULO_BULTO = #PASO_ARTICULOS.OM_COSTO_ARTICULO_BULTO , "
        "OM_CATEGORIA_ABCD = #PASO_ARTICULOS.OM_CATEGORIA_ABCD , "
        "OM_CATEGORIA_XYZ = #PASO_ARTICULOS.OM_CATEGORIA_XYZ , "
        "OM_ID_DIVISION = #PASO_ARTICULOS.OM_ID_DIVISION , "
        "OM_ID_RUBRO = #PASO_ARTICULOS.OM_ID_RUBRO , "
        "OM_ID_SEGMENTO = #PASO_ARTICULOS.OM_ID_SEGMENTO , "
        "OM_ID_GRSEGEVENTO = #PASO_ARTICULOS.OM_ID_GRSEGEVENTO , "
        "OM_ID_SUBRUBRO = #PASO_ARTICULOS.OM_ID_SUBRUBRO , "
        "OM_ID_LINEA = #PASO_ARTICULOS.OM_ID_LINEA , "
        "OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_ARTICULOS.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_ARTICULOS WITH (NOLOCK) WHERE "
        "[VELMORA].dbo.ARTICULOS.CODIGO_ARTICULO=#PASO_ARTICULOS.CODIGO_ARTICULO AND ( "
        "[VELMORA].dbo.ARTICULOS.ID_SUBRUBRO <> #PASO_ARTICULOS.ID_SUBRUBRO OR "
        "[VELMORA].dbo.ARTICULOS.ID_LINEA <> #PASO_ARTICULOS.ID_LINEA OR "
        "[VELMORA].dbo.ARTICULOS.ID_DIVISION <> #PASO_ARTICULOS.ID_DIVISION OR "
        "[VELMORA].dbo.ARTICULOS.ID_RUBRO <> #PASO_ARTICULOS.ID_RUBRO OR "
        "[VELMORA].dbo.ARTICULOS.STOCK <> #PASO_ARTICULOS.STOCK OR "
        "[VELMORA].dbo.ARTICULOS.DESCUENTO_MAXIMO <> #PASO_ARTICULOS.DESCUENTO_MAXIMO OR "
        "[VELMORA].dbo.ARTICULOS.DESCUENTO_DIRECTO <> #PASO_ARTICULOS.DESCUENTO_DIRECTO OR "
        "[VELMORA].dbo.ARTICULOS.UNIDAD_MINIMA_VENTA <> #PASO_ARTICULOS.UNIDAD_MINIMA_VENTA OR "
        "[VELMORA].dbo.ARTICULOS.CANTIDAD_UNIDADES_UNIDAD_VENTA <> "
        "#PASO_ARTICULOS.CANTIDAD_UNIDADES_UNIDAD_VENTA OR "
        "[VELMORA].dbo.ARTICULOS.UNIDAD_VENTA <> #PASO_ARTICULOS.UNIDAD_VENTA OR "
        "[VELMORA].dbo.ARTICULOS.DESCRIPCION_ARTICULO <> #PASO_ARTICULOS.DESCRIPCION_ARTICULO OR "
        "[VELMORA].dbo.ARTICULOS.ACTIVO <> #PASO_ARTICULOS.ACTIVO OR "
        "[VELMORA].dbo.ARTICULOS.ID_SEGMENTO <> #PASO_ARTICULOS.ID_SEGMENTO OR "
        "[VELMORA].dbo.ARTICULOS.STOCK_ORIGINAL <> #PASO_ARTICULOS.STOCK_ORIGINAL OR "
        "[VELMORA].dbo.ARTICULOS.STOCK_RESERVA_ONLINE <> #PASO_ARTICULOS.STOCK_RESERVA_ONLINE OR "
        "[VELMORA].dbo.ARTICULOS.Id_Tipo_Negocio <> #PASO_ARTICULOS.Id_Tipo_Negocio OR "
        "[VELMORA].dbo.ARTICULOS.STOCK_REAL_DEPOSITO <> #PASO_ARTICULOS.STOCK_REAL_DEPOSITO OR "
        "[VELMORA].dbo.ARTICULOS.exento <> #PASO_ARTICULOS.exento OR "
        "[VELMORA].dbo.ARTICULOS.OM_TIPO <> #PASO_ARTICULOS.OM_TIPO OR "
        "[VELMORA].dbo.ARTICULOS.OM_MINIMO_DIAS_PICKING <> "
        "#PASO_ARTICULOS.OM_MINIMO_DIAS_PICKING OR "
        "[VELMORA].dbo.ARTICULOS.OM_MINIMO_DIAS_REPOSICION <> "
        "#PASO_ARTICULOS.OM_MINIMO_DIAS_REPOSICION OR "
        "[VELMORA].dbo.ARTICULOS.OM_UBICACION_PICKING <> #PASO_ARTICULOS.OM_UBICACION_PICKING OR "
        "[VELMORA].dbo.ARTICULOS.OM_COSTO_ARTICULO_BULTO <> "
        "#PASO_ARTICULOS.OM_COSTO_ARTICULO_BULTO OR "
        "[VELMORA].dbo.ARTICULOS.OM_CATEGORIA_ABCD <> #PASO_ARTICULOS.OM_CATEGORIA_ABCD OR "
        "[VELMORA].dbo.ARTICULOS.OM_CATEGORIA_XYZ <> #PASO_ARTICULOS.OM_CATEGORIA_XYZ OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_DIVISION <> #PASO_ARTICULOS.OM_ID_DIVISION OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_RUBRO <> #PASO_ARTICULOS.OM_ID_RUBRO OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_SEGMENTO <> #PASO_ARTICULOS.OM_ID_SEGMENTO OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_GRSEGEVENTO <> #PASO_ARTICULOS.OM_ID_GRSEGEVENTO OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_SUBRUBRO <> #PASO_ARTICULOS.OM_ID_SUBRUBRO OR "
        "[VELMORA].dbo.ARTICULOS.OM_ID_LINEA <> #PASO_ARTICULOS.OM_ID_LINEA OR "
        "[VELMORA].dbo.ARTICULOS.OM_FECHAHORA_ULTIMAMODIFICACION <> "
        "#PASO_ARTICULOS.OM_FECHAHORA_ULTIMAMODIFICACION )",
        "UPDATE [VELMORA].dbo.ARTICULOS SET INDICADOR_ACCION='B', "
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112), ACTIVO='0' WHERE NOT "
        "EXISTS ( SELECT * FROM #PASO_ARTICULOS AS X WITH (NOLOCK) WHERE "
        "[VELMORA].dbo.ARTICULOS.CODIGO_ARTICULO=X.CODIGO_ARTICULO )"}},
      {"OM_CONVERSIONES",
       {"DROP TABLE #PASO_OMCON",
        "SELECT CAST(RTRIM(MAEPR.KOPR) AS varchar(24) ){coll} AS OM_CODIGO_ARTICULO, "
        "CAST(MAEPR.UD01PR AS NVARCHAR(5) ){coll} AS OM_UNIDAD_1, "
        "CAST(MAEPR.UD02PR AS NVARCHAR(5) ){coll} AS OM_UNIDAD_2, "
        "CAST(MAEPR.RLUD AS FLOAT ) AS OM_FACTOR_CONVERSION, "
        "CAST('' AS NVARCHAR(1) ){coll} AS OM_ACTIVO, "
        "CAST('' AS NVARCHAR(1) ){coll} AS OM_INDICADOR_ACCION, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION "
        "INTO #PASO_OMCON FROM MAEPR WITH (NOLOCK) INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON "
        "EM.EMPRESA='01' AND EM.KOPR=MAEPR.KOPR",
        "UPDATE #PASO_OMCON SET OM_INDICADOR_ACCION='A',OM_ACTIVO=1,"
        "OM_FECHAHORA_ULTIMAMODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.OM_CONVERSIONES SELECT * FROM #PASO_OMCON WITH (NOLOCK) WHERE "
        "NOT EXISTS ( SELECT * FROM [VELMORA].dbo.OM_CONVERSIONES AS X WITH (NOLOCK) WHERE "
        "X.OM_CODIGO_ARTICULO=#PASO_OMCON.OM_CODIGO_ARTICULO )",
        "UPDATE [VELMORA].dbo.OM_CONVERSIONES SET OM_UNIDAD_1 = #PASO_OMCON.OM_UNIDAD_1 , "
        "OM_UNIDAD_2 = #PASO_OMCON.OM_UNIDAD_2 , "
        "OM_FACTOR_CONVERSION = #PASO_OMCON.OM_FACTOR_CONVERSION , "
        "OM_ACTIVO = #PASO_OMCON.OM_ACTIVO , OM_INDICADOR_ACCION = #PASO_OMCON.OM_INDICADOR_ACCION "
        ", OM_FECHAHORA_ULTIMAMODIFICACION = #PASO_OMCON.OM_FECHAHORA_ULTIMAMODIFICACION "
        "FROM #PASO_OMCON WITH (NOLOCK) WHERE "
        "[VELMORA].dbo.OM_CONVERSIONES.OM_CODIGO_ARTICULO=#PASO_OMCON.OM_CODIGO_ARTICULO AND ( "
        "[VELMORA].dbo.OM_CONVERSIONES.OM_UNIDAD_1 <> #PASO_OMCON.OM_UNIDAD_1 OR "
        "[VELMORA].dbo.OM_CONVERSIONES.OM_UNIDAD_2 <> #PASO_OMCON.OM_UNIDAD_2 OR "
        "[VELMORA].dbo.OM_CONVERSIONES.OM_FACTOR_CONVERSION <> #PASO_OMCON.OM_FACTOR_CONVERSION "
        ")"}},
  };
  return expected;
}

TEST(ProductsTest, EveryStatementExactlyWithAndWithoutCollation) {
  for (const std::string& coll : {CollationClause(kCollation), CollationClause("")}) {
    for (const auto& builder : kBuilders) {
      SCOPED_TRACE(builder + " with collation \"" + coll + "\"");
      const StatementList actual = Build(builder, coll);
      const std::vector<std::string>& expected = Expected().at(builder);
      ASSERT_EQ(actual.size(), expected.size());
      for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], WithCollation(expected[i], coll)) << "statement " << i + 1;
      }
    }
  }
}

TEST(ProductsTest, EveryStatementIsTsql) {
  std::vector<std::string> all;
  for (const std::string& coll : {CollationClause(kCollation), CollationClause("")}) {
    for (const auto& builder : kBuilders) {
      for (const auto& statement : Build(builder, coll)) all.push_back(statement);
    }
  }
  EXPECT_ALL_TSQL(all);
}

// The destination table each builder writes and the staging create statement
// (list position 2) whose select list fixes the destination's layout.
const std::map<std::string, std::string> kDestination = {
    {"LINEAS", "LINEAS"},         {"RUBROS", "RUBROS"},       {"SUBRUBROS", "SUBRUBROS"},
    {"DIVISIONES", "DIVISIONES"}, {"ARTICULOS", "ARTICULOS"}, {"OM_CONVERSIONES", "OM_CONVERSIONES"}};

// A fill "INSERT INTO #PASO_x SELECT <items> FROM ..." read as if it created
// the table, so that its column list can be compared with the create's.
std::vector<ColumnLayout> FillColumns(const std::string& fill) {
  const size_t select = fill.find(" SELECT ");
  const size_t from = fill.rfind(" FROM ");
  return testsupport::StagingColumns("SELECT " + fill.substr(select + 8, from - select - 8) +
                                     " INTO #PASO_FILL");
}

TEST(ProductsTest, StagingLayoutIsTheDestinationLayout) {
  // Uncast items keep the ERP stock column's type, which the destination holds.
  std::string stock_type;
  for (const auto& c : testsupport::OriginColumns("MAEST")) {
    if (c.name == "STFI1") stock_type = c.type;
  }
  ASSERT_FALSE(stock_type.empty());
  for (const auto& builder : kBuilders) {
    SCOPED_TRACE(builder);
    const StatementList list = Build(builder, CollationClause(kCollation));
    std::vector<ColumnLayout> staging = testsupport::StagingColumns(list[1]);
    for (auto& c : staging) {
      if (c.type.empty()) {
        EXPECT_TRUE(c.name == "STOCK" || c.name == "STOCK_REAL_DEPOSITO") << c.name;
        c.type = stock_type;
      }
    }
    const std::vector<ColumnLayout> destination =
        testsupport::DestinationColumns(kDestination.at(builder));
    ASSERT_FALSE(destination.empty());
    EXPECT_EQ(staging, destination);
    // Fills repeat the create's column list and casts.
    for (const auto& statement : list) {
      if (statement.rfind("INSERT INTO #PASO_", 0) == 0) {
        EXPECT_EQ(FillColumns(statement), testsupport::StagingColumns(list[1])) << statement;
      }
    }
  }
}

TEST(ProductsTest, EveryErpColumnReadExistsInTheErpSchema) {
  const std::map<std::string, std::vector<std::string>> read = {
      {"TABFM", {"KOFM", "NOKOFM"}},
      {"TABPF", {"KOFM", "KOPF", "NOKOPF"}},
      {"TABHF", {"KOFM", "KOPF", "KOHF", "NOKOHF"}},
      {"MAEPR",
       {"KOPR", "FMPR", "PFPR", "HFPR", "RLUD", "UD01PR", "UD02PR", "NOKOPR", "BLOQUEAPR", "KOGE"}},
      {"MAEPREM", {"EMPRESA", "KOPR"}},
      {"MAEST", {"EMPRESA", "KOSU", "KOBO", "KOPR", "STFI1"}},
      {"TABPRE", {"KOLT", "KOPR", "DTMA01UD"}},
      {"PDADETA", {"KOPR", "BOSULIDO", "VALIDO", "CAPRCO1"}},
  };
  for (const auto& [table, columns] : read) {
    const auto layout = testsupport::OriginColumns(table);
    for (const auto& column : columns) {
      bool found = false;
      for (const auto& c : layout) found = found || c.name == column;
      EXPECT_TRUE(found) << table << "." << column;
    }
  }
  // Codes are concatenated at full width: the three classification codes must
  // fit the 20 characters of ID_LINEA without being cut.
  int width = 0;
  for (const auto& c : testsupport::OriginColumns("TABHF")) {
    if (c.name == "KOFM" || c.name == "KOPF" || c.name == "KOHF") {
      width += std::stoi(c.type.substr(c.type.find('(') + 1));
    }
  }
  EXPECT_LE(width, 20);
}

TEST(ProductsTest, ConfigurationValuesAreSplicedAsLiterals) {
  const StatementList list = ARTICULOS("odd]base", "", "O'1", "S'1", "B'1", "TABPP0'1");
  EXPECT_NE(list[1].find("EM.EMPRESA='O''1'"), std::string::npos);
  EXPECT_NE(list[1].find("ST.KOSU='S''1' AND ST.KOBO='B''1'"), std::string::npos);
  // The list code is the last three characters of the stored list reference.
  EXPECT_NE(list[1].find("PRE.KOLT='0''1'"), std::string::npos);
  EXPECT_NE(list[6].find("DETA.BOSULIDO='B''1'"), std::string::npos);
  EXPECT_EQ(list[7].rfind("INSERT INTO [odd]]base].dbo.ARTICULOS ", 0), 0u);
  EXPECT_NE(OM_CONVERSIONES("B", "", "O'1")[1].find("EM.EMPRESA='O''1'"), std::string::npos);
}

TEST(ProductsTest, TheListCodeSelectsTheListRows) {
  struct Case {
    std::string cLista;
    std::string kolt;
  };
  for (const Case& c : std::vector<Case>{{"TABPP001", "'001'"},
                                         {"01", "'01'"},
                                         {"", "''"},
                                         {"TABPPÑ1Ñ", "'Ñ1Ñ'"}}) {
    const std::string create = ARTICULOS("B", "", "01", "S", "B", c.cLista)[1];
    EXPECT_NE(create.find("PRE.KOLT=" + c.kolt + " AND"), std::string::npos) << c.cLista;
  }
}

TEST(ProductsTest, UpdateListsOfProducts) {
  // 34 columns set (all but the key), 32 compared (not the action flag and date).
  const std::string update = ARTICULOS("B", "", "01", "S", "B", "TABPP001")[8];
  const auto count = [&](const std::string& needle) {
    size_t n = 0;
    for (size_t at = update.find(needle); at != std::string::npos;
         at = update.find(needle, at + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(count(" = #PASO_ARTICULOS."), 34u);
  EXPECT_EQ(count(" <> #PASO_ARTICULOS."), 32u);
  EXPECT_EQ(count("CODIGO_ARTICULO = "), 0u);
  EXPECT_EQ(count("INDICADOR_ACCION <> "), 0u);
  EXPECT_EQ(count("FECHA_ULTIMA_MODIFICACION <> "), 0u);
}

}  // namespace
}  // namespace exporter
