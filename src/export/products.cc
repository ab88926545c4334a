#include "export/products.h"

#include <cctype>
#include <vector>

namespace exporter {
namespace {

// One column of a staging table: its name and the type its cast gives it. An
// empty type means the item is not cast (the column takes the expression's
// own type).
struct Column {
  std::string name;
  std::string type;
};

// Character columns carry the collation clause so that the staging table
// compares with the destination without collation conflicts.
bool IsCharacterType(const std::string& type) {
  std::string upper;
  for (char c : type) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.find("CHAR") != std::string::npos;
}

// The select list of a create or fill statement: one item per column, each
// with its value expression, joined by ", ".
std::string SelectList(const std::vector<Column>& columns,
                       const std::vector<std::string>& expressions, const std::string& coll) {
  std::vector<std::string> items;
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    items.push_back(c.type.empty()
                        ? expressions[i] + " AS " + c.name
                        : CastItem(expressions[i], c.type, IsCharacterType(c.type) ? coll : "",
                                   c.name));
  }
  return Join(items, ", ");
}

// ---- Classification tables --------------------------------------------------
// Each has the code and the description first; every further column starts
// empty (the stamp sets FECHA_ULTIMA_MODIFICACION, ACTIVO and INDICADOR_ACCION;
// the OM_ columns stay empty).

const std::vector<Column>& LineasColumns() {
  static const std::vector<Column> columns = {
      {"ID_LINEA", "VARCHAR(20)"},
      {"DESCRIPCION_LINEA", "VARCHAR(30)"},
      {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)"},
      {"ACTIVO", "VARCHAR(1)"},
      {"INDICADOR_ACCION", "VARCHAR(1)"},
      {"OM_ID_LINEA", "NVARCHAR(20)"},
      {"OM_ID_DIVISION_NORVO", "NVARCHAR(20)"},
      {"OM_ID_RUBRO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_SEGMENTO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_GR_SEGMENTO_EVENTO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_SUBRUBRO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_LINEA_NORVO", "NVARCHAR(20)"},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"},
  };
  return columns;
}

const std::vector<Column>& RubrosColumns() {
  static const std::vector<Column> columns = {
      {"ID_RUBRO", "VARCHAR(20)"},
      {"DESCRIPCION_RUBRO", "VARCHAR(30)"},
      {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)"},
      {"ACTIVO", "VARCHAR(1)"},
      {"INDICADOR_ACCION", "VARCHAR(1)"},
      {"OM_ID_RUBRO", "NVARCHAR(20)"},
      {"OM_ID_DIVISION_NORVO", "NVARCHAR(20)"},
      {"OM_ID_RUBRO_NORVO", "NVARCHAR(20)"},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"},
  };
  return columns;
}

const std::vector<Column>& SubrubrosColumns() {
  static const std::vector<Column> columns = {
      {"ID_SUBRUBRO", "VARCHAR(20)"},
      {"DESCRIPCION_SUBRUBRO", "VARCHAR(30)"},
      {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)"},
      {"ACTIVO", "VARCHAR(1)"},
      {"INDICADOR_ACCION", "VARCHAR(1)"},
      {"OM_ID_SUBRUBRO", "NVARCHAR(20)"},
      {"OM_ID_DIVISION_NORVO", "NVARCHAR(20)"},
      {"OM_ID_RUBRO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_SEGMENTO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_GR_SEGMENTO_EVENTO_NORVO", "NVARCHAR(20)"},
      {"OM_ID_SUBRUBRO_NORVO", "NVARCHAR(20)"},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"},
  };
  return columns;
}

const std::vector<Column>& DivisionesColumns() {
  static const std::vector<Column> columns = {
      {"ID_DIVISION", "VARCHAR(20)"},
      {"DESCRIPCION_DIVISION", "VARCHAR(30)"},
      {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)"},
      {"ACTIVO", "VARCHAR(1)"},
      {"INDICADOR_ACCION", "VARCHAR(1)"},
      {"OM_ID_DIVISION", "NVARCHAR(20)"},
      {"OM_ID_DIVISION_NORVO", "NVARCHAR(20)"},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"},
  };
  return columns;
}

// A fill of a classification staging table from a whole ERP table.
struct Fill {
  std::string erp_table;
  std::string code;         // expression of the code column
  std::string description;  // expression of the description column
};

// The select list of a classification row: code, description, the rest empty.
std::string ClassificationItems(const std::vector<Column>& columns, const std::string& code,
                                const std::string& description, const std::string& coll) {
  std::vector<std::string> values(columns.size(), "''");
  values[0] = code;
  values[1] = description;
  return SelectList(columns, values, coll);
}

// drop; create with the placeholder row; one fill per source; stamp; insert of
// missing codes; update of changed rows.
StatementList ClassificationBatch(const std::string& BaseDestino, const std::string& coll,
                                  const std::string& table, const std::vector<Column>& columns,
                                  const std::string& placeholder_code,
                                  const std::string& placeholder_description,
                                  const std::vector<Fill>& fills,
                                  const std::vector<std::string>& set_columns,
                                  const std::vector<std::string>& compared_columns) {
  const std::string dest = DestinationTable(BaseDestino, table);
  const std::string staging = StagingTable(table);
  StatementList list;
  list.push_back(DropStaging(table));
  list.push_back("SELECT " +
                 ClassificationItems(columns, Text(placeholder_code),
                                     Text(placeholder_description), coll) +
                 " INTO " + staging);
  for (const Fill& fill : fills) {
    list.push_back("INSERT INTO " + staging + " SELECT " +
                   ClassificationItems(columns, fill.code, fill.description, coll) + " FROM " +
                   fill.erp_table);
  }
  list.push_back(StampStatement(table));
  list.push_back(InsertMissing(dest, table, {columns[0].name}));
  list.push_back(UpdateChanged(dest, table, {columns[0].name}, set_columns, compared_columns));
  return list;
}

// ---- Products ---------------------------------------------------------------

// A product's classification code pointed to "sinclasificar" when the
// destination lacks it or it is empty.
std::string ReferenceTest(const std::string& BaseDestino, const std::string& column,
                          const std::string& table) {
  return "UPDATE #PASO_ARTICULOS SET " + column +
         "='sinclasificar' WHERE NOT EXISTS ( select * from " +
         DestinationTable(BaseDestino, table) + " AS X WHERE X." + column +
         "=#PASO_ARTICULOS." + column + " ) OR COALESCE(#PASO_ARTICULOS." + column + ",'')=''";
}

struct ProductItem {
  Column column;
  std::string expression;
};

// The staging layout of ARTICULOS with each column's value. STOCK and
// STOCK_REAL_DEPOSITO are not cast: they keep the type of the ERP's stock column.
std::vector<ProductItem> ProductItems() {
  return {
      {{"CODIGO_ARTICULO", "varchar(24)"}, "MAEPR.KOPR"},
      {{"ID_SUBRUBRO", "VARCHAR(20)"}, "''"},
      {{"ID_LINEA", "VARCHAR(20)"}, "MAEPR.FMPR+MAEPR.PFPR+MAEPR.HFPR"},
      {{"ID_DIVISION", "VARCHAR(20)"}, "MAEPR.FMPR"},
      {{"ID_RUBRO", "VARCHAR(20)"}, "MAEPR.FMPR+MAEPR.PFPR"},
      {{"STOCK", ""}, "COALESCE(ST.STFI1,0)"},
      {{"DESCUENTO_MAXIMO", "VARCHAR(20)"},
       "CASE WHEN COALESCE(PRE.DTMA01UD,0)=0 THEN 0.01 ELSE PRE.DTMA01UD END"},
      {{"DESCUENTO_DIRECTO", "VARCHAR(20)"}, "'0'"},
      {{"UNIDAD_MINIMA_VENTA", "DECIMAL(18,5)"}, "1"},
      {{"CANTIDAD_UNIDADES_UNIDAD_VENTA", "DECIMAL(18,5)"}, "MAEPR.RLUD"},
      {{"UNIDAD_VENTA", "VARCHAR(10)"}, "MAEPR.UD01PR"},
      {{"DESCRIPCION_ARTICULO", "VARCHAR(100)"}, "MAEPR.NOKOPR"},
      {{"INDICADOR_ACCION", "VARCHAR(1)"}, "'A'"},
      {{"FECHA_ULTIMA_MODIFICACION", "varchar(14)"}, "CONVERT(varchar(14),getdate(),112)"},
      // A missing stock row gives NULL, whose comparison is not true: active.
      {{"ACTIVO", "VARCHAR(1)"},
       "CASE WHEN MAEPR.BLOQUEAPR IN ('V','T','X') THEN '0' WHEN ST.STFI1 <= 0 THEN '0' "
       "ELSE '1' END"},
      {{"ID_SEGMENTO", "VARCHAR(20)"}, "MAEPR.HFPR"},
      {{"STOCK_ORIGINAL", "DECIMAL(18,5)"}, "0"},
      {{"STOCK_RESERVA_ONLINE", "FLOAT"}, "0"},
      {{"Id_Tipo_Negocio", "CHAR(5)"}, "''"},
      {{"STOCK_REAL_DEPOSITO", ""}, "COALESCE(ST.STFI1,0)"},
      {{"exento", "VARCHAR(1)"}, "''"},
      {{"OM_TIPO", "NVARCHAR(1)"}, "CASE WHEN COALESCE(MAEPR.KOGE,'')<>'' THEN 'C' ELSE 'L' END"},
      {{"OM_MINIMO_DIAS_PICKING", "INT"}, "0"},
      {{"OM_MINIMO_DIAS_REPOSICION", "INT"}, "0"},
      {{"OM_UBICACION_PICKING", "NVARCHAR(20)"}, "''"},
      {{"OM_COSTO_ARTICULO_BULTO", "FLOAT"}, "0"},
      {{"OM_CATEGORIA_ABCD", "NVARCHAR(1)"}, "''"},
      {{"OM_CATEGORIA_XYZ", "NVARCHAR(1)"}, "''"},
      {{"OM_ID_DIVISION", "NVARCHAR(20)"}, "''"},
      {{"OM_ID_RUBRO", "NVARCHAR(20)"}, "''"},
      {{"OM_ID_SEGMENTO", "NVARCHAR(20)"}, "''"},
      {{"OM_ID_GRSEGEVENTO", "NVARCHAR(20)"}, "''"},
      {{"OM_ID_SUBRUBRO", "NVARCHAR(20)"}, "''"},
      {{"OM_ID_LINEA", "NVARCHAR(20)"}, "''"},
      {{"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"}, "''"},
  };
}

}  // namespace

StatementList LINEAS(const std::string& BaseDestino, const std::string& coll) {
  return ClassificationBatch(
      BaseDestino, coll, "LINEAS", LineasColumns(), "sinclasificar", "linea sin clasificacion",
      {{"TABHF", "KOFM+KOPF+KOHF", "NOKOHF"}},
      {"FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION", "OM_ID_LINEA",
       "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO", "OM_ID_SEGMENTO_NORVO",
       "OM_ID_GR_SEGMENTO_EVENTO_NORVO", "OM_ID_SUBRUBRO_NORVO", "OM_ID_LINEA_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"},
      {"OM_ID_LINEA", "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO", "OM_ID_SEGMENTO_NORVO",
       "OM_ID_GR_SEGMENTO_EVENTO_NORVO", "OM_ID_SUBRUBRO_NORVO", "OM_ID_LINEA_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"});
}

StatementList RUBROS(const std::string& BaseDestino, const std::string& coll) {
  // Both levels in one table: family + subfamily codes, then family codes alone.
  return ClassificationBatch(
      BaseDestino, coll, "RUBROS", RubrosColumns(), "sinclasificar", "rubros sin clasificacion",
      {{"TABPF", "KOFM+KOPF", "NOKOPF"}, {"TABFM", "KOFM", "NOKOFM"}},
      {"DESCRIPCION_RUBRO", "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION",
       "OM_ID_RUBRO", "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"},
      {"DESCRIPCION_RUBRO", "OM_ID_RUBRO", "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"});
}

StatementList SUBRUBROS(const std::string& BaseDestino, const std::string& coll) {
  return ClassificationBatch(
      BaseDestino, coll, "SUBRUBROS", SubrubrosColumns(), "sinclasificar",
      "subrubro sin clasificar", {},
      {"DESCRIPCION_SUBRUBRO", "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION",
       "OM_ID_SUBRUBRO", "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO", "OM_ID_SEGMENTO_NORVO",
       "OM_ID_GR_SEGMENTO_EVENTO_NORVO", "OM_ID_SUBRUBRO_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"},
      {"DESCRIPCION_SUBRUBRO", "OM_ID_SUBRUBRO", "OM_ID_DIVISION_NORVO", "OM_ID_RUBRO_NORVO",
       "OM_ID_SEGMENTO_NORVO", "OM_ID_GR_SEGMENTO_EVENTO_NORVO", "OM_ID_SUBRUBRO_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"});
}

StatementList DIVISIONES(const std::string& BaseDestino, const std::string& coll) {
  // The placeholder row has an empty code and description and is exported too.
  return ClassificationBatch(
      BaseDestino, coll, "DIVISIONES", DivisionesColumns(), "", "",
      {{"TABFM", "KOFM", "NOKOFM"}},
      {"DESCRIPCION_DIVISION", "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION",
       "OM_ID_DIVISION", "OM_ID_DIVISION_NORVO", "OM_FECHAHORA_ULTIMAMODIFICACION"},
      {"DESCRIPCION_DIVISION", "OM_ID_DIVISION", "OM_ID_DIVISION_NORVO",
       "OM_FECHAHORA_ULTIMAMODIFICACION"});
}

StatementList ARTICULOS(const std::string& BaseDestino, const std::string& coll,
                        const std::string& cEmpresa, const std::string& cSucursal,
                        const std::string& cBodega, const std::string& cLista) {
  const std::string dest = DestinationTable(BaseDestino, "ARTICULOS");
  const std::vector<ProductItem> items = ProductItems();
  std::vector<Column> columns;
  std::vector<std::string> values;
  for (const auto& item : items) {
    columns.push_back(item.column);
    values.push_back(item.expression);
  }
  // Every column but the key is set; the key, the action flag and the date are
  // not compared, so they change only together with a compared column.
  std::vector<std::string> set_columns, compared_columns;
  for (const auto& c : columns) {
    if (c.name == "CODIGO_ARTICULO") continue;
    set_columns.push_back(c.name);
    if (c.name != "INDICADOR_ACCION" && c.name != "FECHA_ULTIMA_MODIFICACION") {
      compared_columns.push_back(c.name);
    }
  }

  StatementList list;
  list.push_back(DropStaging("ARTICULOS"));
  list.push_back("SELECT " + SelectList(columns, values, coll) +
                 " INTO #PASO_ARTICULOS FROM MAEPR WITH (NOLOCK) INNER JOIN MAEPREM AS EM WITH "
                 "(NOLOCK) ON EM.EMPRESA=" + Text(cEmpresa) +
                 " AND EM.KOPR=MAEPR.KOPR LEFT JOIN MAEST AS ST WITH (NOLOCK) ON "
                 "ST.EMPRESA=EM.EMPRESA AND ST.KOSU=" + Text(cSucursal) +
                 " AND ST.KOBO=" + Text(cBodega) +
                 " AND ST.KOPR=MAEPR.KOPR LEFT JOIN TABPRE AS PRE WITH (NOLOCK) ON PRE.KOLT=" +
                 Text(ListCode(cLista)) + " AND PRE.KOPR=MAEPR.KOPR");
  list.push_back("UPDATE #PASO_ARTICULOS SET CODIGO_ARTICULO=RTRIM(CODIGO_ARTICULO)");
  list.push_back(ReferenceTest(BaseDestino, "ID_RUBRO", "RUBROS"));
  list.push_back(ReferenceTest(BaseDestino, "ID_LINEA", "LINEAS"));
  list.push_back(ReferenceTest(BaseDestino, "ID_SUBRUBRO", "SUBRUBROS"));
  // Handheld lines the order import wrote into the ERP and marked valid are
  // stock already promised: subtract them (first unit) from this warehouse.
  list.push_back(
      "UPDATE #PASO_ARTICULOS SET STOCK=STOCK - COALESCE((SELECT SUM(COALESCE(DETA.CAPRCO1,0)) "
      "FROM PDADETA AS DETA WITH (NOLOCK) WHERE CAST(DETA.KOPR" + coll +
      " AS CHAR(13))=#PASO_ARTICULOS.CODIGO_ARTICULO AND DETA.BOSULIDO=" + Text(cBodega) +
      " AND DETA.VALIDO='S'),0)");
  // The common insert shape, but the staging table is read without a hint.
  list.push_back("INSERT INTO " + dest +
                 " SELECT * FROM #PASO_ARTICULOS WHERE NOT EXISTS ( SELECT * FROM " + dest +
                 " AS X WITH (NOLOCK) WHERE X.CODIGO_ARTICULO=#PASO_ARTICULOS.CODIGO_ARTICULO )");
  list.push_back(
      UpdateChanged(dest, "ARTICULOS", {"CODIGO_ARTICULO"}, set_columns, compared_columns));
  // Products that left the ERP or the company are withdrawn, never deleted.
  list.push_back("UPDATE " + dest +
                 " SET INDICADOR_ACCION='B', FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),"
                 "getdate(),112), ACTIVO='0' WHERE NOT EXISTS ( SELECT * FROM #PASO_ARTICULOS "
                 "AS X WITH (NOLOCK) WHERE " + dest + ".CODIGO_ARTICULO=X.CODIGO_ARTICULO )");
  return list;
}

StatementList OM_CONVERSIONES(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa) {
  const std::string dest = DestinationTable(BaseDestino, "OM_CONVERSIONES");
  static const std::vector<Column> columns = {
      {"OM_CODIGO_ARTICULO", "varchar(24)"},
      {"OM_UNIDAD_1", "NVARCHAR(5)"},
      {"OM_UNIDAD_2", "NVARCHAR(5)"},
      {"OM_FACTOR_CONVERSION", "FLOAT"},
      {"OM_ACTIVO", "NVARCHAR(1)"},
      {"OM_INDICADOR_ACCION", "NVARCHAR(1)"},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)"},
  };
  const std::vector<std::string> values = {"RTRIM(MAEPR.KOPR)", "MAEPR.UD01PR", "MAEPR.UD02PR",
                                           "MAEPR.RLUD", "''", "''", "''"};
  StatementList list;
  list.push_back(DropStaging("OMCON"));
  list.push_back("SELECT " + SelectList(columns, values, coll) +
                 " INTO #PASO_OMCON FROM MAEPR WITH (NOLOCK) INNER JOIN MAEPREM AS EM WITH "
                 "(NOLOCK) ON EM.EMPRESA=" + Text(cEmpresa) + " AND EM.KOPR=MAEPR.KOPR");
  // This table's stamp columns carry the OM_ prefix; the stamp is the date only.
  list.push_back(
      "UPDATE #PASO_OMCON SET OM_INDICADOR_ACCION='A',OM_ACTIVO=1,"
      "OM_FECHAHORA_ULTIMAMODIFICACION=CONVERT(varchar(14),getdate(),112)");
  list.push_back(InsertMissing(dest, "OMCON", {"OM_CODIGO_ARTICULO"}));
  list.push_back(UpdateChanged(dest, "OMCON", {"OM_CODIGO_ARTICULO"},
                               {"OM_UNIDAD_1", "OM_UNIDAD_2", "OM_FACTOR_CONVERSION", "OM_ACTIVO",
                                "OM_INDICADOR_ACCION", "OM_FECHAHORA_ULTIMAMODIFICACION"},
                               {"OM_UNIDAD_1", "OM_UNIDAD_2", "OM_FACTOR_CONVERSION"}));
  return list;
}

}  // namespace exporter
