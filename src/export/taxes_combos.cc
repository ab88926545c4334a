#include "export/taxes_combos.h"

namespace exporter {
namespace {

const char kEmpty[] = "''";

// The joins that pick a product enabled for the company and its row in the
// configured sales list. `product` is the column holding the product code on
// the list side (the combo itself for headers, the component for lines).
std::string CompanyJoin(const std::string& cEmpresa) {
  return " INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA=" + Text(cEmpresa) +
         " AND EM.KOPR=MAEPR.KOPR";
}

std::string ListJoin(const std::string& cLista, const std::string& product) {
  return " LEFT JOIN TABPRE AS PRE WITH (NOLOCK) ON PRE.KOLT=" + Text(ListCode(cLista)) +
         " AND PRE.KOPR=" + product;
}

}  // namespace

StatementList CABECERA_COMBOS(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa, const std::string& cSucursal,
                              const std::string& cBodega, const std::string& cLista) {
  const std::string name = "CABECERA_COMBOS";
  const std::string staging = StagingTable(name);
  const std::string dest = DestinationTable(BaseDestino, "CABECERA_COMBOS");
  // STOCK keeps the type of the ERP's stock column: it is not cast.
  const std::vector<std::string> items = {
      CastItem("MAEERES.CODIGO", "VARCHAR(24)", coll, "CODIGO_COMBO"),
      CastItem("PRE.DTMA01UD", "DECIMAL(18,5)", "", "DESCUENTO"),
      CastItem(kEmpty, "VARCHAR(10)", coll, "FECHA_VIGENCIA_HASTA"),
      CastItem(kEmpty, "VARCHAR(10)", coll, "FECHA_VIGENCIA_DESDE"),
      CastItem(kEmpty, "VARCHAR(100)", coll, "DESCRIPCION_COMBO"),
      CastItem(kEmpty, "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "ACTIVO"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "INDICADOR_ACCION"),
      "COALESCE(ST.STFI1,0) AS STOCK",
      CastItem(kEmpty, "VARCHAR(1)", coll, "PRECIO_COMBO"),
      CastItem("'C'", "VARCHAR(1)", coll, "PRODUCTO_TIPO"),
      CastItem("MAEPR.UD01PR", "VARCHAR(5)", coll, "UNIDAD_MEDIDA"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "DESCUENTO_AGENDA"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "TODAS_AGRUPACIONES"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "CALCULA_STOCK"),
      CastItem(kEmpty, "NVARCHAR(10)", coll, "OM_MUESTRA_DETALLE_CONSOLIDADO"),
      CastItem(kEmpty, "NVARCHAR(20)", coll, "OM_FECHAHORA_ULTIMAMODIFICACION"),
  };
  const std::string create =
      "SELECT " + Join(items, ", ") + " INTO " + staging +
      " FROM MAEERES WITH (NOLOCK) INNER JOIN MAEPR WITH (NOLOCK) ON MAEERES.CODIGO=MAEPR.KOPR" +
      CompanyJoin(cEmpresa) + " LEFT JOIN MAEST AS ST WITH (NOLOCK) ON ST.EMPRESA=EM.EMPRESA" +
      " AND ST.KOSU=" + Text(cSucursal) + " AND ST.KOBO=" + Text(cBodega) +
      " AND ST.KOPR=MAEPR.KOPR" + ListJoin(cLista, "MAEPR.KOPR");
  // The staging table is read here without the NOLOCK hint, unlike the common
  // insert shape, so the statement is composed in place.
  const std::string insert =
      "INSERT INTO " + dest + " SELECT * FROM " + staging + " WHERE NOT EXISTS ( SELECT * FROM " +
      dest + " AS X WITH (NOLOCK) WHERE X.CODIGO_COMBO=" + staging + ".CODIGO_COMBO )";
  const std::vector<std::string> compared = {"DESCUENTO",
                                             "FECHA_VIGENCIA_HASTA",
                                             "FECHA_VIGENCIA_DESDE",
                                             "DESCRIPCION_COMBO",
                                             "STOCK",
                                             "PRECIO_COMBO",
                                             "PRODUCTO_TIPO",
                                             "UNIDAD_MEDIDA",
                                             "DESCUENTO_AGENDA",
                                             "TODAS_AGRUPACIONES",
                                             "CALCULA_STOCK",
                                             "OM_MUESTRA_DETALLE_CONSOLIDADO",
                                             "OM_FECHAHORA_ULTIMAMODIFICACION"};
  const std::vector<std::string> set = {"DESCUENTO",
                                        "FECHA_VIGENCIA_HASTA",
                                        "FECHA_VIGENCIA_DESDE",
                                        "DESCRIPCION_COMBO",
                                        "FECHA_ULTIMA_MODIFICACION",
                                        "ACTIVO",
                                        "INDICADOR_ACCION",
                                        "STOCK",
                                        "PRECIO_COMBO",
                                        "PRODUCTO_TIPO",
                                        "UNIDAD_MEDIDA",
                                        "DESCUENTO_AGENDA",
                                        "TODAS_AGRUPACIONES",
                                        "CALCULA_STOCK",
                                        "OM_MUESTRA_DETALLE_CONSOLIDADO",
                                        "OM_FECHAHORA_ULTIMAMODIFICACION"};
  return {DropStaging(name), create, StampStatement(name), insert,
          UpdateChanged(dest, name, {"CODIGO_COMBO"}, set, compared)};
}

StatementList DETALLE_COMBOS(const std::string& BaseDestino, const std::string& coll,
                             const std::string& cEmpresa, const std::string& /*cSucursal*/,
                             const std::string& /*cBodega*/, const std::string& cLista) {
  const std::string name = "DETALLE_COMBOS";
  const std::string staging = StagingTable(name);
  const std::string dest = DestinationTable(BaseDestino, "DETALLE_COMBOS");
  const std::vector<std::string> items = {
      CastItem("RTRIM(MAEDRES.CODIGO)", "VARCHAR(24)", coll, "CODIGO_COMBO"),
      CastItem("RTRIM(MAEDRES.ELEMENTO)", "VARCHAR(24)", coll, "CODIGO_ARTICULO"),
      CastItem("0", "INT", "", "AUTOINCREMENTADO"),
      CastItem("PRE.DTMA01UD", "VARCHAR(20)", coll, "DESCUENTO"),
      CastItem("MAEDRES.CANTIDAD", "DECIMAL(8,3)", "", "CANTIDAD_ARTICULO"),
      CastItem(kEmpty, "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "ACTIVO"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "INDICADOR_ACCION"),
      CastItem("0", "DECIMAL(15,4)", "", "PRECIO_UNITARIO"),
      CastItem("MAEDRES.NREG", "INT", "", "NUMERO_COMBO"),
      CastItem("MAEDRES.UDAD", "VARCHAR(5)", coll, "UNIDAD_MEDIDA"),
      CastItem("1", "DECIMAL(8,6)", "", "FACTOR_CONV_UNID_MED"),
  };
  // The company join applies to the component; the combo itself must be a
  // product too.
  const std::string create =
      "SELECT " + Join(items, ", ") + " INTO " + staging +
      " FROM MAEDRES WITH (NOLOCK) INNER JOIN MAEERES WITH (NOLOCK) ON "
      "MAEERES.CODIGO=MAEDRES.CODIGO INNER JOIN MAEPR WITH (NOLOCK) ON "
      "MAEDRES.ELEMENTO=MAEPR.KOPR" +
      CompanyJoin(cEmpresa) + ListJoin(cLista, "MAEDRES.ELEMENTO") +
      " WHERE EXISTS ( SELECT * FROM MAEPR as X1 WITH (NOLOCK) WHERE X1.KOPR=MAEERES.CODIGO )";
  // Reads the staging table without a hint and adds the two parent tests
  // (component product, combo header); composed in place.
  const std::string insert =
      "INSERT INTO " + dest + " SELECT * FROM " + staging + " WHERE NOT EXISTS ( SELECT * FROM " +
      dest + " AS X WITH (NOLOCK) WHERE X.CODIGO_COMBO=" + staging + ".CODIGO_COMBO AND " +
      "X.CODIGO_ARTICULO=" + staging + ".CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM " +
      DestinationTable(BaseDestino, "ARTICULOS") + " AS X WITH (NOLOCK) WHERE " +
      "X.CODIGO_ARTICULO=" + staging + ".CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM " +
      DestinationTable(BaseDestino, "CABECERA_COMBOS") + " AS X WITH (NOLOCK) WHERE " +
      "X.CODIGO_COMBO=" + staging + ".CODIGO_COMBO )";
  // The date stamp, ACTIVO and INDICADOR_ACCION are written only on insert.
  const std::vector<std::string> columns = {
      "AUTOINCREMENTADO", "DESCUENTO",     "CANTIDAD_ARTICULO",   "PRECIO_UNITARIO",
      "NUMERO_COMBO",     "UNIDAD_MEDIDA", "FACTOR_CONV_UNID_MED"};
  return {DropStaging(name), create, StampStatement(name), insert,
          UpdateChanged(dest, name, {"CODIGO_COMBO", "CODIGO_ARTICULO"}, columns, columns)};
}

StatementList IMPUESTOS(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "IMPUESTOS";
  const std::string dest = DestinationTable(BaseDestino, "IMPUESTOS");
  const std::vector<std::string> items = {
      CastItem("TABIM.KOIM", "VARCHAR(25)", coll, "ID_IMPUESTO"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "APLICA_S_TOT_D_IMP"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "APLICA_S_TOT_A_IMP"),
      CastItem("0", "DECIMAL(8,3)", "", "MON_MINIMO_APLICACION"),
      CastItem("0", "DECIMAL(8,3)", "", "MONTO_FIJO"),
      CastItem("TABIM.POIM", "DECIMAL(8,3)", "", "ALICUOTA"),
      CastItem(kEmpty, "VARCHAR(40)", coll, "DESCRIPCION_IMPUESTO"),
      CastItem(kEmpty, "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "ACTIVO"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "INDICADOR_ACCION"),
      CastItem("0", "DECIMAL(8,3)", "", "MON_MINIMO_IVA_APLICACION"),
      CastItem("0", "FLOAT", "", "alicuota_convenio"),
      CastItem("0", "CHAR(2)", coll, "tipo_impuesto"),
      CastItem("0", "VARCHAR(1)", coll, "monto_min_diario"),
  };
  const std::string create =
      "SELECT " + Join(items, ", ") + " INTO " + StagingTable(name) + " FROM TABIM WITH (NOLOCK)";
  const std::vector<std::string> compared = {"APLICA_S_TOT_D_IMP",
                                             "APLICA_S_TOT_A_IMP",
                                             "MON_MINIMO_APLICACION",
                                             "MONTO_FIJO",
                                             "ALICUOTA",
                                             "DESCRIPCION_IMPUESTO",
                                             "MON_MINIMO_IVA_APLICACION",
                                             "alicuota_convenio",
                                             "tipo_impuesto",
                                             "monto_min_diario"};
  const std::vector<std::string> set = {"APLICA_S_TOT_D_IMP",
                                        "APLICA_S_TOT_A_IMP",
                                        "MON_MINIMO_APLICACION",
                                        "MONTO_FIJO",
                                        "ALICUOTA",
                                        "DESCRIPCION_IMPUESTO",
                                        "FECHA_ULTIMA_MODIFICACION",
                                        "ACTIVO",
                                        "INDICADOR_ACCION",
                                        "MON_MINIMO_IVA_APLICACION",
                                        "alicuota_convenio",
                                        "tipo_impuesto",
                                        "monto_min_diario"};
  return {DropStaging(name), create, StampStatement(name),
          InsertMissing(dest, name, {"ID_IMPUESTO"}),
          UpdateChanged(dest, name, {"ID_IMPUESTO"}, set, compared)};
}

StatementList IMPUESTOS_ARTICULOS(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "IMPUESTOS_ARTICULOS";
  const std::string dest = DestinationTable(BaseDestino, "IMPUESTOS_ARTICULOS");
  const std::string taxes = DestinationTable(BaseDestino, "IMPUESTOS");
  const std::vector<std::string> items = {
      CastItem("TABIMPR.KOIM", "VARCHAR(25)", coll, "ID_IMPUESTO"),
      CastItem("RTRIM(TABIMPR.KOPR)", "VARCHAR(24)", coll, "CODIGO_ARTICULO"),
      CastItem(kEmpty, "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "ACTIVO"),
      CastItem(kEmpty, "VARCHAR(1)", coll, "INDICADOR_ACCION"),
  };
  // No company filter: every link of a product known to the ERP is published.
  const std::string create =
      "SELECT " + Join(items, ", ") + " INTO " + StagingTable(name) +
      " FROM TABIMPR WITH (NOLOCK) INNER JOIN MAEPR WITH (NOLOCK) ON TABIMPR.KOPR=MAEPR.KOPR"
      " INNER JOIN TABIM WITH (NOLOCK) ON TABIMPR.KOIM=TABIM.KOIM";
  // Sets "0" / "1" on every tax with at least one product link in the
  // destination; no change test, so it rewrites them on every cycle.
  const std::string flags = "UPDATE " + taxes +
                            " SET APLICA_S_TOT_D_IMP='0',APLICA_S_TOT_A_IMP='1' WHERE EXISTS ( "
                            "SELECT * FROM " +
                            dest + " AS A WHERE A.ID_IMPUESTO = " + taxes + ".ID_IMPUESTO )";
  return {DropStaging(name), create, StampStatement(name),
          InsertMissing(dest, name, {"ID_IMPUESTO", "CODIGO_ARTICULO"}), flags};
}

}  // namespace exporter
