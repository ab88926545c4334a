#include "export/customer_reference.h"

#include <vector>

namespace exporter {

// The ERP writes this key with the single byte 0xA5 in its fifth position (its
// own DOS code page shows an N with tilde). Our statement text is UTF-8 and the
// driver hands it to the server as Unicode, which the server turns into the
// database's code page, just as the Windows client's driver did with its
// Windows-1252 text. So the byte 0xA5 is written here as the character it is
// in Windows-1252, U+00A5 (UTF-8 C2 A5): the server receives the same
// character the Windows client sent and compares it byte for byte with the
// stored key. A raw 0xA5 byte would not be valid UTF-8, and an "Ñ" (U+00D1)
// would become 0xD1 on a Windows-1252 server and never match.
const char kCategoriasKey[] = "TAMA\xC2\xA5OEMPR";

namespace {

// One column of a staging table. Character columns carry the collation clause
// after their cast; numeric ones do not.
struct Column {
  const char* name;
  const char* type;
  const char* placeholder;  // the constant of the placeholder row
  bool character;
};

// Select items of the columns, each cast from the matching expression.
std::string Items(const std::vector<Column>& columns, const std::vector<std::string>& expressions,
                  const std::string& coll) {
  std::vector<std::string> items;
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    const std::string expression = i < expressions.size() ? expressions[i] : c.placeholder;
    items.push_back(CastItem(expression, c.type, c.character ? coll : "", c.name));
  }
  return Join(items, ", ");
}

// SELECT {placeholder items} INTO #PASO_{name}: the table with one row.
std::string Create(const std::string& name, const std::vector<Column>& columns,
                   const std::string& coll) {
  return "SELECT " + Items(columns, {}, coll) + " INTO " + StagingTable(name);
}

// INSERT INTO #PASO_{name} SELECT {items} FROM {source}: the leading columns
// cast from the ERP expressions, the rest from the placeholder constants.
std::string Fill(const std::string& name, const std::vector<Column>& columns,
                 const std::vector<std::string>& expressions, const std::string& source,
                 const std::string& coll) {
  return "INSERT INTO " + StagingTable(name) + " SELECT " + Items(columns, expressions, coll) +
         " FROM " + source;
}

// The stamp of the tables without INDICADOR_ACCION in their stamp.
std::string StampActiveAndDate(const std::string& name) {
  return "UPDATE " + StagingTable(name) +
         " SET ACTIVO=1,FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)";
}

// Code, description and the three standard columns.
std::vector<Column> CodeTable(const char* code, const char* code_type, const char* description,
                              const char* description_type) {
  return {{code, code_type, "''", true},
          {description, description_type, "''", true},
          {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''", true},
          {"ACTIVO", "VARCHAR(1)", "''", true},
          {"INDICADOR_ACCION", "VARCHAR(1)", "''", true}};
}

const std::vector<std::string> kStamped = {"FECHA_ULTIMA_MODIFICACION", "ACTIVO",
                                           "INDICADOR_ACCION"};

// A table that gets nothing but its placeholder row: drop, create, stamp,
// insert missing on the code, update of the description (and the stamped
// columns with it).
StatementList PlaceholderOnly(const std::string& BaseDestino, const std::string& coll,
                              const std::string& table, const char* code,
                              const char* code_type, const char* description,
                              const char* description_type, bool compare_stamps) {
  const std::string dest = DestinationTable(BaseDestino, table);
  std::vector<std::string> set = {description};
  set.insert(set.end(), kStamped.begin(), kStamped.end());
  const std::vector<std::string> compared =
      compare_stamps ? set : std::vector<std::string>{description};
  return {DropStaging(table),
          Create(table, CodeTable(code, code_type, description, description_type), coll),
          StampStatement(table),
          InsertMissing(dest, table, {code}),
          UpdateChanged(dest, table, {code}, set, compared)};
}

}  // namespace

StatementList GRUPOS_CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  // Compares the stamps too: the row is rewritten once a day.
  return PlaceholderOnly(BaseDestino, coll, "GRUPOS_CLIENTES", "ID_GRUPO_CLIENTE",
                         "VARCHAR(40)", "DESCRIPCION_GRUPO_CLIENTE", "VARCHAR(40)", true);
}

StatementList CONDICIONES_VENTAS(const std::string& BaseDestino, const std::string& coll) {
  return PlaceholderOnly(BaseDestino, coll, "CONDICIONES_VENTAS", "ID_CONDICION_VENTA",
                         "VARCHAR(20)", "DESCRIPCION_CONDICION_VENTA", "VARCHAR(40)", false);
}

StatementList ESTADOS_CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  return PlaceholderOnly(BaseDestino, coll, "ESTADOS_CLIENTES", "ID_ESTADO_CLIENTE",
                         "VARCHAR(20)", "DESCRIPCION_ESTADO_CLIENTE", "VARCHAR(40)", false);
}

StatementList CONDICIONES_IVA(const std::string& BaseDestino, const std::string& coll) {
  return PlaceholderOnly(BaseDestino, coll, "CONDICIONES_IVA", "ID_CONDICION_IVA",
                         "VARCHAR(20)", "DESCRIPCION_CONDICION_IVA", "VARCHAR(40)", false);
}

StatementList LOCALIDADES(const std::string& BaseDestino, const std::string& coll) {
  // Its own column order (the stamp columns lead with INDICADOR_ACCION), so
  // not the code-table layout.
  const std::string name = "LOCALIDADES";
  const std::string dest = DestinationTable(BaseDestino, name);
  const std::vector<Column> columns = {{"ID_LOCALIDAD", "VARCHAR(30)", "''", true},
                                       {"NOMBRE_LOCALIDAD", "VARCHAR(60)", "''", true},
                                       {"INDICADOR_ACCION", "VARCHAR(1)", "''", true},
                                       {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''", true},
                                       {"ACTIVO", "VARCHAR(1)", "''", true}};
  return {DropStaging(name),
          Create(name, columns, coll),
          StampStatement(name),
          InsertMissing(dest, name, {"ID_LOCALIDAD"}),
          UpdateChanged(dest, name, {"ID_LOCALIDAD"},
                        {"NOMBRE_LOCALIDAD", "INDICADOR_ACCION", "FECHA_ULTIMA_MODIFICACION",
                         "ACTIVO"},
                        {"NOMBRE_LOCALIDAD"})};
}

StatementList TIPOS_CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "TIPOS_CLIENTES";
  const std::string dest = DestinationTable(BaseDestino, name);
  const std::string staging = StagingTable(name);
  const auto columns =
      CodeTable("ID_TIPO_CLIENTE", "VARCHAR(20)", "DESCRIPCION_TIPO_CLIENTE", "VARCHAR(40)");
  // Entity types in use that no characteristic describes; the code is its own
  // description.
  const std::string in_use =
      "INSERT INTO " + staging + " SELECT DISTINCT " +
      Items(columns, {"TIPOEN", "TIPOEN"}, coll) +
      " FROM MAEEN WITH (NOLOCK) WHERE TIPOEN<>'' AND NOT EXISTS ( SELECT * FROM " + staging +
      " WHERE " + staging + ".ID_TIPO_CLIENTE=( CAST(TIPOEN AS VARCHAR(20) )" + coll + " ) )";
  const std::string description = "DESCRIPCION_TIPO_CLIENTE";
  std::vector<std::string> set = {description};
  set.insert(set.end(), kStamped.begin(), kStamped.end());
  return {DropStaging(name),
          Create(name, columns, coll),
          Fill(name, columns, {"KOCARAC", "NOKOCARAC"}, "TABCARAC WHERE KOTABLA='TIPOENTIDA'",
               coll),
          in_use,
          StampStatement(name),
          InsertMissing(dest, name, {"ID_TIPO_CLIENTE"}),
          UpdateChanged(dest, name, {"ID_TIPO_CLIENTE"}, set, {description})};
}

StatementList ZONAS(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "ZONAS";
  const std::string dest = DestinationTable(BaseDestino, name);
  const std::string staging = StagingTable(name);
  const auto columns = CodeTable("ID_ZONA", "VARCHAR(20)", "DESCRIPCION_ZONA", "VARCHAR(40)");
  // Zones in use that TABZO lacks, with an empty description; the columns it
  // does not name start NULL and get their values from the stamp.
  const std::string in_use = "INSERT INTO " + staging +
                             " (ID_ZONA,DESCRIPCION_ZONA) SELECT DISTINCT ZOEN,'' FROM MAEEN "
                             "WITH (NOLOCK) WHERE ZOEN <> '' AND ( CAST(ZOEN AS VARCHAR(20) )" +
                             coll + " ) NOT IN ( SELECT ID_ZONA FROM " + staging + " )";
  const std::string description = "DESCRIPCION_ZONA";
  std::vector<std::string> set = {description};
  set.insert(set.end(), kStamped.begin(), kStamped.end());
  return {DropStaging(name),
          Create(name, columns, coll),
          Fill(name, columns, {"KOZO", "NOKOZO"}, "TABZO", coll),
          in_use,
          StampStatement(name),
          InsertMissing(dest, name, {"ID_ZONA"}),
          UpdateChanged(dest, name, {"ID_ZONA"}, set, {description})};
}

StatementList CATEGORIAS_CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  const std::string name = "CATEGORIAS_CLIENTES";
  const std::string dest = DestinationTable(BaseDestino, name);
  const auto columns = CodeTable("ID_CATEGORIA_CLIENTE", "VARCHAR(20)",
                                 "DESCRIPCION_CATEGORIA_CLIENTE", "VARCHAR(30)");
  const std::string description = "DESCRIPCION_CATEGORIA_CLIENTE";
  std::vector<std::string> set = {description};
  set.insert(set.end(), kStamped.begin(), kStamped.end());
  return {DropStaging(name),
          Create(name, columns, coll),
          Fill(name, columns, {"KOCARAC", "NOKOCARAC"},
               std::string("TABCARAC WITH (NOLOCK) WHERE KOTABLA='") + kCategoriasKey + "'",
               coll),
          StampStatement(name),
          InsertMissing(dest, name, {"ID_CATEGORIA_CLIENTE"}),
          UpdateChanged(dest, name, {"ID_CATEGORIA_CLIENTE"}, set, {description})};
}

StatementList PAISES(const std::string& BaseDestino, const std::string& coll) {
  // ACTIVO before the date and no INDICADOR_ACCION, so its own stamp.
  const std::string name = "PAISES";
  const std::string dest = DestinationTable(BaseDestino, name);
  const std::vector<Column> columns = {{"ID_PAIS", "VARCHAR(20)", "''", true},
                                       {"DESCRIPCION_PAIS", "VARCHAR(60)", "''", true},
                                       {"ACTIVO", "VARCHAR(1)", "''", true},
                                       {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''", true}};
  return {DropStaging(name),
          Create(name, columns, coll),
          Fill(name, columns, {"KOPA", "NOKOPA"}, "TABPA", coll),
          StampActiveAndDate(name),
          InsertMissing(dest, name, {"ID_PAIS"}),
          UpdateChanged(dest, name, {"ID_PAIS"},
                        {"DESCRIPCION_PAIS", "ACTIVO", "FECHA_ULTIMA_MODIFICACION"},
                        {"DESCRIPCION_PAIS"})};
}

StatementList PROVINCIAS(const std::string& BaseDestino, const std::string& coll) {
  // No INDICADOR_ACCION, so its own stamp. The key is the country code
  // followed by the region code as the ERP stores them (blanks included).
  const std::string name = "PROVINCIAS";
  const std::string dest = DestinationTable(BaseDestino, name);
  const std::vector<Column> columns = {
      {"ID_PROVINCIA", "VARCHAR(20)", "''", true},
      {"DESCRIPCION_PROVINCIA", "VARCHAR(60)", "''", true},
      {"ACTIVO", "VARCHAR(1)", "''", true},
      {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", "''", true},
      {"Percepcion_IB", "TINYINT", "0", false},
      {"Percepcion_Siempre", "TINYINT", "0", false},
      {"Gran_Contribuyente_No_Percibe", "TINYINT", "0", false},
      {"Percepcion_NC", "CHAR(1)", "''", true},
      {"Alicuota_Por_Grupo", "CHAR(1)", "''", true},
      {"PRIORIZA_GRUPO", "VARCHAR(1)", "''", true}};
  const std::vector<std::string> flags = {"Percepcion_IB",     "Percepcion_Siempre",
                                          "Gran_Contribuyente_No_Percibe", "Percepcion_NC",
                                          "Alicuota_Por_Grupo", "PRIORIZA_GRUPO"};
  std::vector<std::string> set = {"DESCRIPCION_PROVINCIA", "ACTIVO",
                                  "FECHA_ULTIMA_MODIFICACION"};
  set.insert(set.end(), flags.begin(), flags.end());
  std::vector<std::string> compared = {"DESCRIPCION_PROVINCIA"};
  compared.insert(compared.end(), flags.begin(), flags.end());
  return {DropStaging(name),
          Create(name, columns, coll),
          Fill(name, columns, {"KOPA+KOCI", "NOKOCI"}, "TABCI", coll),
          StampActiveAndDate(name),
          InsertMissing(dest, name, {"ID_PROVINCIA"}),
          UpdateChanged(dest, name, {"ID_PROVINCIA"}, set, compared)};
}

}  // namespace exporter
