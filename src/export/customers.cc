#include "export/customers.h"

#include <vector>

namespace exporter {
namespace {

// One column of a staging table: its name, the type of its cast and the
// expression it is filled from. Character columns carry the collation clause
// so that they compare with the destination's columns without conflicts.
struct StagingColumn {
  const char* name;
  const char* type;
  const char* expression;
};

bool IsCharacterType(const std::string& type) {
  return type.rfind("VARCHAR", 0) == 0 || type.rfind("NVARCHAR", 0) == 0 ||
         type.rfind("CHAR", 0) == 0;
}

// "SELECT {items} INTO #PASO_{name} {source}": creates the staging table with
// the columns' names, order and types, filled from the ERP rows of `source`.
std::string CreateStaging(const std::vector<StagingColumn>& columns, const std::string& coll,
                          const std::string& name, const std::string& source) {
  std::vector<std::string> items;
  for (const auto& c : columns) {
    items.push_back(CastItem(c.expression, c.type, IsCharacterType(c.type) ? coll : "", c.name));
  }
  return "SELECT " + Join(items, ", ") + " INTO " + StagingTable(name) + " " + source;
}

// The insert of missing rows of these entities reads the staging table without
// a table hint; otherwise it is the common shape.
std::string InsertMissingUnhinted(const std::string& dest, const std::string& name,
                                  const std::vector<std::string>& keys) {
  const std::string staging = StagingTable(name);
  std::vector<std::string> terms;
  for (const auto& key : keys) terms.push_back("X." + key + "=" + staging + "." + key);
  return "INSERT INTO " + dest + " SELECT * FROM " + staging +
         " WHERE NOT EXISTS ( SELECT * FROM " + dest + " AS X WITH (NOLOCK) WHERE " +
         Join(terms, " AND ") + " )";
}

// `all` without the columns in `left_out`, order kept.
std::vector<std::string> Without(const std::vector<std::string>& all,
                                 const std::vector<std::string>& left_out) {
  std::vector<std::string> out;
  for (const auto& c : all) {
    bool skip = false;
    for (const auto& l : left_out) skip = skip || c == l;
    if (!skip) out.push_back(c);
  }
  return out;
}

// Main-branch row of every partner; the stamp columns start empty.
const std::vector<StagingColumn> kClientes = {
    {"ID_CUENTA", "VARCHAR(20)", "MAEEN.KOEN"},
    {"ID_GRUPO_CLIENTE", "VARCHAR(40)", "''"},
    {"ID_ZONA", "VARCHAR(20)", "MAEEN.ZOEN"},
    {"ID_LISTA_PRECIO", "VARCHAR(20)", "MAEEN.LVEN"},
    {"ID_ESTADO_CLIENTE", "VARCHAR(20)", "''"},
    {"ID_CONDICION_VENTA", "VARCHAR(20)", "''"},
    {"ID_TIPO_CLIENTE", "VARCHAR(20)", "MAEEN.TIPOEN"},
    {"ID_CATEGORIA_CLIENTE", "VARCHAR(20)", "MAEEN.TAMAEN"},
    {"ID_CONDICION_IVA", "VARCHAR(20)", "''"},
    {"ID_LOCALIDAD", "VARCHAR(30)", "''"},
    {"ID_RUTA", "VARCHAR(20)", "''"},
    {"NOMBRE_FANTASIA", "VARCHAR(40)", "MAEEN.SIEN"},
    {"REFERENCIA_GEOGRAFICA", "VARCHAR(50)", "''"},
    {"SALDO_MAXIMO_CONSOLIDADO", "DECIMAL(18,5)", "0"},
    {"TELEFONO", "VARCHAR(100)", "MAEEN.FOEN"},
    {"HABILITA_CPRA_CTA_CTE", "VARCHAR(10)", "''"},
    {"EMAIL", "VARCHAR(100)", "MAEEN.EMAIL"},
    {"CUIT", "VARCHAR(13)", "MAEEN.RTEN"},
    {"VENTA_DESDOBLE", "VARCHAR(10)", "''"},
    {"POR_DTO_MAXIMO", "DECIMAL(18,5)", "0"},
    {"PORCENTAJE_DESCUENTO", "VARCHAR(20)", "''"},
    {"CODIGO_POSTAL", "VARCHAR(10)", "LEFT(MAEEN.CPOSTAL,10)"},
    {"ENTRE_CALLE2", "VARCHAR(30)", "''"},
    {"ENTRE_CALLE1", "VARCHAR(30)", "''"},
    {"NUMERO", "VARCHAR(10)", "''"},
    {"CALLE", "VARCHAR(30)", "LEFT(MAEEN.DIEN,30)"},
    {"RAZON_SOCIAL", "VARCHAR(40)", "LEFT(MAEEN.NOKOEN,40)"},
    {"INDICADOR_ACCION", "VARCHAR(1)", "''"},
    {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''"},
    {"ACTIVO", "VARCHAR(1)", "''"},
    {"NOVEDAD", "VARCHAR(1)", "''"},
    {"ID_ALTA_CLIENTE", "VARCHAR(20)", "''"},
    {"CON_ENCUESTA", "VARCHAR(1)", "''"},
    {"ID_APERTURA_ADICIONAL_CLIENTE", "VARCHAR(40)", "''"},
    {"ID_CANAL_CLIENTE", "VARCHAR(40)", "MAEEN.RUEN"},
    {"ID_SUBCANAL_CLIENTE", "VARCHAR(40)", "''"},
    {"Percepcion_IB", "TINYINT", "0"},
    {"Gran_Contribuyente", "TINYINT", "0"},
    {"conve_multi_marca", "TINYINT", "0"},
    {"ID_ZONA_REPARTO", "VARCHAR(20)", "''"},
    {"OM_ID_CANAL_CLIENTE", "VARCHAR(40)", "''"},
    {"OM_ORDEN_REPARTO", "INT", "0"},
    {"OM_FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)", "''"},
    {"QR_IMPRESO", "INT", "0"},
};

// Every branch with a zone. ENTRE_CALLE_1 carries the branch kind (TIPOSUC)
// until the main branch has been renamed, then it is emptied.
const std::vector<StagingColumn> kDirecciones = {
    {"ID_DIRECCION", "VARCHAR(20)", "MAEEN.SUEN"},
    {"ID_CUENTA", "VARCHAR(20)", "MAEEN.KOEN"},
    {"DIRECCION", "VARCHAR(80)", "MAEEN.DIEN"},
    {"NUMERO", "VARCHAR(10)", "''"},
    {"ID_LOCALIDAD", "VARCHAR(30)", "''"},
    {"CODIGO_POSTAL", "VARCHAR(20)", "LEFT(MAEEN.CPOSTAL,20)"},
    {"TELEFONO", "VARCHAR(40)", "MAEEN.FOEN"},
    {"ES_LUGAR_ENTREGA", "VARCHAR(1)", "'1'"},
    {"ES_RAZON_SOCIAL", "VARCHAR(1)", "'1'"},
    {"POR_DEFECTO", "VARCHAR(1)", "'1'"},
    {"ID_PROVINCIA", "VARCHAR(20)", "''"},
    {"ID_PAIS", "VARCHAR(20)", "''"},
    {"INDICADOR_ACCION", "VARCHAR(1)", "''"},
    {"ENTRE_CALLE_1", "VARCHAR(60)", "MAEEN.TIPOSUC"},
    {"ENTRE_CALLE_2", "VARCHAR(60)", "''"},
    {"Direccion_Propia", "CHAR(1)", "'1'"},
    {"ACTIVO", "VARCHAR(1)", "''"},
    {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''"},
    {"GPS_LATITUD", "FLOAT", "''"},  // the server turns '' into 0
    {"GPS_LONGITUD", "FLOAT", "''"},
    {"FECHAHORA_ULTIMAMODIFICACION", "NVARCHAR(20)", "''"},
};

const std::vector<StagingColumn> kContactos = {
    {"ID_CONTACTO", "VARCHAR(20)", "MAEENCON.RUTCONTACT"},
    {"ID_CUENTA", "VARCHAR(20)", "MAEEN.KOEN"},
    {"NOMBRE_CONTACTO", "VARCHAR(40)", "LEFT(MAEENCON.NOKOCON,40)"},
    {"CARGO_CONTACTO", "VARCHAR(40)", "LEFT(MAEENCON.CARGOCON,40)"},
    {"FECHA_NACIMIENTO", "VARCHAR(8)", "''"},
    {"TELEFONO", "VARCHAR(100)", "MAEENCON.FONOCON"},
    {"EMAIL", "VARCHAR(100)", "MAEENCON.EMAILCON"},
    {"INDICADOR_ACCION", "VARCHAR(1)", "''"},
    {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''"},
    {"ACTIVO", "VARCHAR(1)", "''"},
};

// Stamp columns: set by the update of changed rows but never compared.
const std::vector<std::string> kStampColumns = {"INDICADOR_ACCION", "FECHA_ULTIMA_MODIFICACION",
                                                "ACTIVO"};

std::vector<std::string> Names(const std::vector<StagingColumn>& columns) {
  std::vector<std::string> out;
  for (const auto& c : columns) out.push_back(c.name);
  return out;
}

}  // namespace

StatementList CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "CLIENTES";
  const std::string dest = DestinationTable(BaseDestino, "CLIENTES");
  // Every column but the key and QR_IMPRESO, which is written only on insert.
  const std::vector<std::string> set_columns =
      Without(Names(kClientes), {"ID_CUENTA", "QR_IMPRESO"});
  return {
      DropStaging(name),
      CreateStaging(kClientes, coll, name, "FROM MAEEN WITH (NOLOCK) WHERE MAEEN.TIPOSUC='P'"),
      "UPDATE #PASO_CLIENTES SET ID_CUENTA=RTRIM(ID_CUENTA),ID_LISTA_PRECIO=CASE WHEN "
      "LEN(RTRIM(ID_LISTA_PRECIO))=0 THEN NULL ELSE RTRIM(ID_LISTA_PRECIO) END",
      // The common stamp plus the date-and-time stamp: server date, then the
      // service's own clock time.
      StampStatement(name) +
          ",OM_FECHAHORA_ULTIMAMODIFICACION=CONVERT(varchar(14),getdate(),112)+'" +
          ServiceClockTime() + "'",
      InsertMissingUnhinted(dest, name, {"ID_CUENTA"}),
      UpdateChanged(dest, name, {"ID_CUENTA"}, set_columns, Without(set_columns, kStampColumns)),
  };
}

StatementList CLIENTES_DIRECCIONES(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "CLIENTES_DIRECCIONES";
  const std::string dest = DestinationTable(BaseDestino, "CLIENTES_DIRECCIONES");
  const std::vector<std::string> set_columns =
      Without(Names(kDirecciones), {"ID_DIRECCION", "ID_CUENTA"});
  return {
      DropStaging(name),
      CreateStaging(kDirecciones, coll, name,
                    "FROM MAEEN WITH (NOLOCK) WHERE MAEEN.ZOEN IS NOT NULL"),
      "UPDATE #PASO_CLIENTES_DIRECCIONES SET ID_DIRECCION=RTRIM(ID_DIRECCION),"
      "ID_CUENTA=RTRIM(ID_CUENTA)",
      // The main branch gets the code the order import maps back to it (its
      // first ten characters read "CASAMATRIZ").
      "UPDATE #PASO_CLIENTES_DIRECCIONES SET ID_DIRECCION='CASAMATRIZZ' WHERE ENTRE_CALLE_1='P'",
      "UPDATE #PASO_CLIENTES_DIRECCIONES SET ENTRE_CALLE_1=''",
      StampStatement(name),
      InsertMissingUnhinted(dest, name, {"ID_DIRECCION", "ID_CUENTA"}),
      UpdateChanged(dest, name, {"ID_DIRECCION", "ID_CUENTA"}, set_columns,
                    Without(set_columns, kStampColumns)),
  };
}

StatementList CONTACTOS(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "CONTACTOS";
  const std::string dest = DestinationTable(BaseDestino, "CONTACTOS");
  const std::vector<std::string> compared = {"NOMBRE_CONTACTO", "CARGO_CONTACTO",
                                             "FECHA_NACIMIENTO", "TELEFONO", "EMAIL"};
  const std::vector<std::string> set_columns = {
      "NOMBRE_CONTACTO", "CARGO_CONTACTO",   "FECHA_NACIMIENTO",          "TELEFONO",
      "EMAIL",           "INDICADOR_ACCION", "FECHA_ULTIMA_MODIFICACION", "ACTIVO"};
  return {
      DropStaging(name),
      CreateStaging(kContactos, coll, name,
                    "FROM MAEEN WITH (NOLOCK) INNER JOIN MAEENCON WITH (NOLOCK) ON "
                    "MAEENCON.KOEN = MAEEN.KOEN WHERE MAEEN.TIPOSUC='P'"),
      "UPDATE #PASO_CONTACTOS SET ID_CUENTA=RTRIM(ID_CUENTA)",
      StampStatement(name),
      InsertMissingUnhinted(dest, name, {"ID_CONTACTO", "ID_CUENTA"}),
      UpdateChanged(dest, name, {"ID_CONTACTO", "ID_CUENTA"}, set_columns, compared),
  };
}

}  // namespace exporter
