#include "export/history_account.h"

#include <vector>

namespace exporter {
namespace {

// How a staging column is made: a cast with the collation clause (text), a
// cast without it (number), or an ERP date turned into YYYYMMDD text with
// CONVERT (varchar(8), with the collation clause).
enum class Kind { kText, kNumber, kDate };

struct StagingColumn {
  const char* name;
  const char* expression;
  const char* type;  // unused for kDate
  Kind kind;
};

// The three columns the stamp statement sets: set by the update of changed
// rows, but never compared (they change only together with a compared one).
bool IsStamp(const std::string& column) {
  return column == "INDICADOR_ACCION" || column == "FECHA_ULTIMA_MODIFICACION" ||
         column == "ACTIVO";
}

std::string Item(const StagingColumn& column, const std::string& coll) {
  switch (column.kind) {
    case Kind::kText:
      return CastItem(column.expression, column.type, coll, column.name);
    case Kind::kNumber:
      return CastItem(column.expression, column.type, "", column.name);
    case Kind::kDate:
      break;
  }
  return std::string("CONVERT(varchar(8),") + column.expression + ",112)" + coll + " AS " +
         column.name;
}

// "SELECT {items} INTO #PASO_{name} {source}".
std::string CreateStaging(const std::vector<StagingColumn>& columns, const std::string& coll,
                          const std::string& name, const std::string& source) {
  std::vector<std::string> items;
  for (const auto& column : columns) items.push_back(Item(column, coll));
  return "SELECT " + Join(items, ",") + " INTO " + StagingTable(name) + " " + source;
}

// Set list (every column but the keys) and compared list (the same without
// the stamp columns) of the update of changed rows.
void UpdateLists(const std::vector<StagingColumn>& columns, const std::vector<std::string>& keys,
                 std::vector<std::string>& set_columns,
                 std::vector<std::string>& compared_columns) {
  for (const auto& column : columns) {
    const std::string name = column.name;
    bool is_key = false;
    for (const auto& key : keys) is_key = is_key || key == name;
    if (is_key) continue;
    set_columns.push_back(name);
    if (!IsStamp(name)) compared_columns.push_back(name);
  }
}

// The stamp columns start empty; the stamp statement fills them.
const std::vector<StagingColumn>& HeaderColumns() {
  static const std::vector<StagingColumn> columns = {
      {"ID_PEDIDO_HISTORICO", "EDO.IDMAEEDO", "VARCHAR(20)", Kind::kText},
      {"ID_CUENTA", "EN.KOEN", "VARCHAR(20)", Kind::kText},
      {"ID_CONDICION_VENTA", "''", "VARCHAR(20)", Kind::kText},
      {"ID_VENDEDOR", "EDO.KOFUDO", "VARCHAR(20)", Kind::kText},
      {"INDICADOR_ACCION", "''", "VARCHAR(1)", Kind::kText},
      {"MON_TOT_FACT_S_IMP", "EDO.VANEDO", "DECIMAL(15,3)", Kind::kNumber},
      {"MON_TOT_FACT_C_IMP", "EDO.VABRDO", "DECIMAL(15,3)", Kind::kNumber},
      {"CANTIDAD_ITEM_FACTURADO", "FAC.CANTIDAD", "INT", Kind::kNumber},
      {"MON_TOT_PED_S_IMP", "ORI.VANEDO", "DECIMAL(15,3)", Kind::kNumber},
      {"MON_TOT_PED_C_IMP", "ORI.VABRDO", "DECIMAL(15,3)", Kind::kNumber},
      {"CANTIDAD_ITEM_PEDIDO", "PED.CANTIDAD", "INT", Kind::kNumber},
      {"FECHA_PEDIDO", "ORI.FEEMDO", "", Kind::kDate},
      {"FECHA_ULTIMA_MODIFICACION", "''", "VARCHAR(14)", Kind::kText},
      {"ACTIVO", "''", "VARCHAR(1)", Kind::kText},
      {"FECHA_FACTURACION", "EDO.FEEMDO", "", Kind::kDate},
      {"OM_CODIGO_FACTURA", "''", "NVARCHAR(5)", Kind::kText},
      {"OM_NUMERO_FACTURA", "0", "NUMERIC(18,0)", Kind::kNumber},
      {"OM_SUCURSAL", "0", "SMALLINT", Kind::kNumber},
      {"OM_INDICADOR_ACCION", "''", "NVARCHAR(1)", Kind::kText},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "CONVERT(varchar(8),ORI.FEEMDO,112)+'000000'",
       "NVARCHAR(20)", Kind::kText},
  };
  return columns;
}

const std::vector<StagingColumn>& LineColumns() {
  static const std::vector<StagingColumn> columns = {
      {"ID_PEDIDO_HISTORICO", "DDO.IDMAEEDO", "VARCHAR(20)", Kind::kText},
      {"ID_DETALLE_PEDIDO_HISTORICO", "DDO.IDMAEDDO", "VARCHAR(20)", Kind::kText},
      {"CODIGO_ARTICULO", "DDO.KOPRCT", "VARCHAR(24)", Kind::kText},
      {"AUTOINCREMENTADO", "0", "INT", Kind::kNumber},
      {"PORCENTAJE_DESCUENTO_REAL", "DDO.PODTGLLI", "VARCHAR(20)", Kind::kText},
      {"PRECIO_UNITARIO_FACTURADO", "DDO.PPPRNE", "DECIMAL(15,3)", Kind::kNumber},
      {"CANTIDAD_REAL_FACTURADA", "DDO.CAPRCO1", "DECIMAL(15,3)", Kind::kNumber},
      {"PORCENTAJE_DESCUENTO_APLICADO", "DDO.PODTGLLI", "VARCHAR(20)", Kind::kText},
      {"PRECIO_UNITARIO_VENTA", "DDO.PPPRNELT", "DECIMAL(15,3)", Kind::kNumber},
      {"CANTIDAD_PEDIDA", "DDO.CAPRCO1", "DECIMAL(15,3)", Kind::kNumber},
      {"INDICADOR_ACCION", "''", "VARCHAR(1)", Kind::kText},
      {"FECHA_ULTIMA_MODIFICACION", "''", "VARCHAR(14)", Kind::kText},
      {"ACTIVO", "''", "VARCHAR(1)", Kind::kText},
      {"OM_CODIGO_FACTURA", "''", "NVARCHAR(5)", Kind::kText},
      {"OM_NUMERO_FACTURA", "0", "NUMERIC(18,0)", Kind::kNumber},
      {"OM_SUCURSAL", "0", "SMALLINT", Kind::kNumber},
      {"OM_UNIDAD_MEDIDA_VENTA", "DDO.UD01PR", "NVARCHAR(5)", Kind::kText},
      {"OM_CODIGO_CONSOLIDADO", "''", "NVARCHAR(5)", Kind::kText},
      {"OM_NUMERO_CONSOLIDADO", "0", "NUMERIC(18,0)", Kind::kNumber},
      {"OM_INDICADOR_ACCION", "''", "NVARCHAR(1)", Kind::kText},
      {"OM_FECHAHORA_ULTIMAMODIFICACION", "CONVERT(varchar(8),EDO.FEEMDO,112)+'000000'",
       "NVARCHAR(20)", Kind::kText},
  };
  return columns;
}

const std::vector<StagingColumn>& AccountColumns() {
  static const std::vector<StagingColumn> columns = {
      {"NUMERO_DOCUMENTO", "EDO.NUDO", "VARCHAR(20)", Kind::kText},
      {"SUCURSAL_DOCUMENTO", "EDO.SUDO", "VARCHAR(4)", Kind::kText},
      {"TIPO_DOCUMENTO", "EDO.TIDO", "VARCHAR(20)", Kind::kText},
      {"CUOTA", "EDO.NUVEDO", "INT", Kind::kNumber},
      {"LETRA_COMPROBANTE", "''", "VARCHAR(1)", Kind::kText},
      {"ID_CUENTA", "EDO.ENDO", "VARCHAR(20)", Kind::kText},
      {"ID_GRUPO_CLIENTE", "''", "VARCHAR(40)", Kind::kText},
      {"INDICADOR_ACCION", "''", "VARCHAR(1)", Kind::kText},
      {"SALDO", "EDO.VABRDO-EDO.VAABDO", "DECIMAL(15,3)", Kind::kNumber},
      {"MONTO_ORIGINAL", "EDO.VABRDO", "DECIMAL(15,3)", Kind::kNumber},
      {"FECHA_VENCIMIENTO", "EDO.FEULVEDO", "", Kind::kDate},
      {"FECHA_EMISION", "EDO.FEEMDO", "", Kind::kDate},
      {"FECHA_ULTIMA_MODIFICACION", "''", "VARCHAR(14)", Kind::kText},
      {"ACTIVO", "''", "VARCHAR(1)", Kind::kText},
      {"ID_VENDEDOR", "EDO.KOFUDO", "VARCHAR(20)", Kind::kText},
      {"DOCUMENTO_RELACIONADO", "''", "VARCHAR(20)", Kind::kText},
      {"ID_PEDIDO_HISTORICO", "EDO.IDMAEEDO", "VARCHAR(20)", Kind::kText},
      {"NUMERO_DOCUMENTO_PRECEDENTE", "ORI.NUDO", "NVARCHAR(20)", Kind::kText},
      {"SUCURSAL_DOCUMENTO_PRECEDENTE", "ORI.SUDO", "NVARCHAR(4)", Kind::kText},
      {"TIPO_DOCUMENTO_PRECEDENTE", "ORI.TIDO", "NVARCHAR(20)", Kind::kText},
      {"LETRA_COMPROBANTE_PRECEDENTE", "''", "VARCHAR(1)", Kind::kText},
      {"FECHAHORA_ULTIMAMODIFICACION", "''", "NVARCHAR(20)", Kind::kText},
  };
  return columns;
}

// The partner's main-branch row.
const char kMainBranchJoin[] = "INNER JOIN MAEEN AS EN WITH (NOLOCK) ON EDO.ENDO=EN.KOEN AND EN.TIPOSUC='P'";

// The sales invoices of the company.
std::string InvoiceFilter(const std::string& cEmpresa) {
  return "EDO.EMPRESA=" + Text(cEmpresa) + " AND EDO.TIDO IN ('FCV')";
}

// Per invoice: SUM(CAPRCO1) of its own lines of kind "SI" or "CR".
const char kBilledQuantity[] =
    "( SELECT IDMAEEDO,SUM(CAPRCO1) AS CANTIDAD FROM MAEDDO AS X WITH (NOLOCK) WHERE X.LILG IN "
    "('SI','CR') GROUP BY IDMAEEDO )";

// An invoice line D joined to the line O it was taken over from and to O's
// header OE (only where that header exists).
const char kOriginLines[] =
    "FROM MAEDDO AS D WITH (NOLOCK) INNER JOIN MAEDDO AS O WITH (NOLOCK) ON O.IDMAEDDO=D.IDRST "
    "INNER JOIN MAEEDO AS OE WITH (NOLOCK) ON OE.IDMAEEDO=O.IDMAEEDO WHERE D.ARCHIRST='MAEDDO'";

// Per invoice: SUM(CAPRCO1) of the origin lines of its lines.
std::string OrderedQuantity() {
  return std::string("( SELECT D.IDMAEEDO,SUM(O.CAPRCO1) AS CANTIDAD ") + kOriginLines +
         " GROUP BY D.IDMAEEDO )";
}

// Per invoice, one row: date and totals of its origin document. When an
// invoice draws on several origin documents, the one with the lowest id is
// taken, so that the header stays one row per invoice.
std::string OriginOrder() {
  return std::string("( SELECT Y.IDMAEEDO,Z.FEEMDO,Z.VANEDO,Z.VABRDO FROM ( SELECT "
                     "D.IDMAEEDO,MIN(OE.IDMAEEDO) AS IDORIGEN ") +
         kOriginLines +
         " GROUP BY D.IDMAEEDO ) AS Y INNER JOIN MAEEDO AS Z WITH (NOLOCK) ON "
         "Z.IDMAEEDO=Y.IDORIGEN )";
}

// Per invoice, its distinct origin documents (read without hints).
const char kOriginDocuments[] =
    "( SELECT DISTINCT D.IDMAEEDO,OE.FEEMDO,OE.VANEDO,OE.VABRDO,OE.NUDO,OE.SUDO,OE.TIDO FROM "
    "MAEDDO AS D INNER JOIN MAEDDO AS O ON O.IDMAEDDO=D.IDRST INNER JOIN MAEEDO AS OE ON "
    "OE.IDMAEEDO=O.IDMAEEDO WHERE D.ARCHIRST='MAEDDO' )";

}  // namespace

StatementList CABECERA_HISTORICOS_VENTAS(const std::string& BaseDestino, const std::string& coll,
                                         const std::string& cEmpresa) {
  const std::string name = "CHV";
  const std::string staging = StagingTable(name);
  const std::string dest = DestinationTable(BaseDestino, "CABECERA_HISTORICOS_VENTAS");
  const std::string source =
      std::string("FROM MAEEDO AS EDO WITH (NOLOCK) ") + kMainBranchJoin + " LEFT JOIN " +
      kBilledQuantity + " AS FAC ON FAC.IDMAEEDO=EDO.IDMAEEDO LEFT JOIN " + OrderedQuantity() +
      " AS PED ON PED.IDMAEEDO=EDO.IDMAEEDO LEFT JOIN " + OriginOrder() +
      " AS ORI ON ORI.IDMAEEDO=EDO.IDMAEEDO WHERE " + InvoiceFilter(cEmpresa) +
      " AND COALESCE(EDO.KOFUDO,'')<>''";
  std::vector<std::string> set_columns, compared_columns;
  UpdateLists(HeaderColumns(), {"ID_PEDIDO_HISTORICO"}, set_columns, compared_columns);
  return {
      DropStaging(name),
      CreateStaging(HeaderColumns(), coll, name, source),
      "UPDATE " + staging + " SET ID_CUENTA=RTRIM(ID_CUENTA),ID_VENDEDOR=RTRIM(ID_VENDEDOR)",
      StampStatement(name),
      "UPDATE " + staging + " SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
      // The insert reads the staging table without a hint, unlike the shared shape.
      "INSERT INTO " + dest + " SELECT * FROM " + staging + " WHERE NOT EXISTS ( SELECT * FROM " +
          dest + " AS X WITH (NOLOCK) WHERE X.ID_PEDIDO_HISTORICO=" + staging +
          ".ID_PEDIDO_HISTORICO )",
      UpdateChanged(dest, name, {"ID_PEDIDO_HISTORICO"}, set_columns, compared_columns),
  };
}

StatementList DETALLE_HISTORICOS_VENTAS(const std::string& BaseDestino, const std::string& coll,
                                        const std::string& cEmpresa) {
  const std::string name = "DHV";
  const std::string staging = StagingTable(name);
  const std::string dest = DestinationTable(BaseDestino, "DETALLE_HISTORICOS_VENTAS");
  const std::string source =
      std::string("FROM MAEDDO AS DDO WITH (NOLOCK) INNER JOIN MAEEDO AS EDO WITH (NOLOCK) ON "
                  "DDO.IDMAEEDO=EDO.IDMAEEDO ") +
      kMainBranchJoin + " WHERE " + InvoiceFilter(cEmpresa);
  const std::vector<std::string> keys = {"ID_PEDIDO_HISTORICO", "ID_DETALLE_PEDIDO_HISTORICO",
                                         "CODIGO_ARTICULO"};
  std::vector<std::string> set_columns, compared_columns;
  UpdateLists(LineColumns(), keys, set_columns, compared_columns);
  // The insert's key terms are written " = " (blanks around), and two EXISTS
  // conditions follow: the product and the invoice header must be in the
  // destination already.
  std::vector<std::string> key_terms;
  for (const auto& key : keys) key_terms.push_back("X." + key + " = " + staging + "." + key);
  const std::string insert =
      "INSERT INTO " + dest + " SELECT * FROM " + staging +
      " WITH (NOLOCK) WHERE NOT EXISTS ( SELECT * FROM " + dest + " AS X WITH (NOLOCK) WHERE " +
      Join(key_terms, " AND ") + " ) AND EXISTS ( SELECT * FROM " +
      DestinationTable(BaseDestino, "ARTICULOS") +
      " AS X WITH (NOLOCK) WHERE X.CODIGO_ARTICULO = " + staging +
      ".CODIGO_ARTICULO ) AND EXISTS ( SELECT * FROM " +
      DestinationTable(BaseDestino, "CABECERA_HISTORICOS_VENTAS") +
      " AS X WITH (NOLOCK) WHERE X.ID_PEDIDO_HISTORICO = " + staging + ".ID_PEDIDO_HISTORICO )";
  return {
      DropStaging(name),
      CreateStaging(LineColumns(), coll, name, source),
      "UPDATE " + staging + " SET CODIGO_ARTICULO=RTRIM(CODIGO_ARTICULO)",
      StampStatement(name),
      insert,
      UpdateChanged(dest, name, keys, set_columns, compared_columns),
  };
}

StatementList CUENTA_CORRIENTE(const std::string& BaseDestino, const std::string& coll,
                               const std::string& cEmpresa) {
  const std::string name = "CTACTE";
  const std::string staging = StagingTable(name);
  const std::string dest = DestinationTable(BaseDestino, "CUENTA_CORRIENTE");
  // One row per invoice and origin document: an invoice that draws on two
  // orders is listed twice.
  const std::string source = std::string("FROM MAEEDO AS EDO WITH (NOLOCK) ") + kMainBranchJoin +
                             " LEFT JOIN " + kOriginDocuments +
                             " AS ORI ON ORI.IDMAEEDO=EDO.IDMAEEDO WHERE " +
                             InvoiceFilter(cEmpresa) + " AND EDO.VABRDO-EDO.VAABDO<>0";
  return {
      DropStaging(name),
      CreateStaging(AccountColumns(), coll, name, source),
      "UPDATE " + staging + " SET ID_VENDEDOR=RTRIM(ID_VENDEDOR),ID_CUENTA=RTRIM(ID_CUENTA)",
      StampStatement(name),
      "UPDATE " + staging + " SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
      // The table holds the open invoices of the last cycle only: emptied
      // whatever the company, then refilled.
      "DELETE " + dest,
      "INSERT INTO " + dest + " SELECT * FROM " + staging,
  };
}

}  // namespace exporter
