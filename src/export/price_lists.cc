#include "export/price_lists.h"

#include <vector>

#include "db/lookups.h"

namespace exporter {
namespace {

// One staging column: name, cast type, and whether it is character-typed
// (character columns carry the collation clause, numeric ones do not).
struct Column {
  const char* name;
  const char* type;
  bool character;
};

std::string Item(const std::string& expression, const Column& c, const std::string& coll) {
  return CastItem(expression, c.type, c.character ? coll : "", c.name);
}

// ---- LISTAS_PRECIOS -------------------------------------------------------

const char* const kListas = "LISTAS_PRECIOS";

const Column kListasColumns[] = {
    {"ID_LISTA_PRECIO", "VARCHAR(20)", true},
    {"DESCRIPCION_LISTA_PRECIO", "VARCHAR(40)", true},
    {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", true},
    {"ACTIVO", "VARCHAR(1)", true},
    {"INDICADOR_ACCION", "VARCHAR(1)", true},
};

// The select items of the lists' staging table: the placeholder row (every
// column empty) or the rows of TABPP; the stamp columns start empty either way.
std::string ListasItems(const std::string& coll, bool from_tabpp) {
  const char* const from_source[] = {"'TABPP'+KOLT", "NOKOLT"};
  std::vector<std::string> items;
  for (size_t i = 0; i < std::size(kListasColumns); ++i) {
    const std::string expression = from_tabpp && i < 2 ? from_source[i] : "''";
    items.push_back(Item(expression, kListasColumns[i], coll));
  }
  return Join(items, ", ");
}

// ---- DETALLE_PRECIOS ------------------------------------------------------

const char* const kDetalle = "DETALLE_PRECIOS";

// Every list row of every product enabled for the company.
std::string DetalleSource(const std::string& cEmpresa) {
  return "FROM TABPRE WITH (NOLOCK) INNER JOIN TABPP WITH (NOLOCK) ON TABPP.KOLT=TABPRE.KOLT "
         "INNER JOIN MAEPR WITH (NOLOCK) ON TABPRE.KOPR=MAEPR.KOPR "
         "INNER JOIN MAEPREM AS EM WITH (NOLOCK) ON EM.EMPRESA=" +
         Text(cEmpresa) + " AND EM.KOPR=MAEPR.KOPR";
}

std::string DetalleCreate(const std::string& coll, const std::string& cEmpresa) {
  const std::vector<std::string> items = {
      Item("'TABPP'+TABPRE.KOLT", {"ID_LISTA_PRECIO", "VARCHAR(20)", true}, coll),
      Item("RTRIM(TABPRE.KOPR)", {"CODIGO_ARTICULO", "VARCHAR(24)", true}, coll),
      // The list's start of validity; a list without one starts today.
      "CONVERT(varchar(8),COALESCE(TABPP.FEVI,getdate()),112)" + coll +
          " AS FECHA_INICIO_VIGENCIA",
      Item("''", {"INDICADOR_ACCION", "VARCHAR(1)", true}, coll),
      Item("TABPRE.PP01UD", {"PRECIO_NETO_SIN_IMPUESTOS", "DECIMAL(13,4)", false}, coll),
      Item("''", {"FECHA_ULTIMA_MODIFICACION", "VARCHAR(14)", true}, coll),
      Item("''", {"ACTIVO", "VARCHAR(1)", true}, coll),
  };
  return "SELECT " + Join(items, ", ") + " INTO " + StagingTable(kDetalle) + " " +
         DetalleSource(cEmpresa);
}

// " AND EXISTS" condition: only products the destination already holds.
std::string ProductExists(const std::string& BaseDestino, const std::string& alias,
                          const std::string& staging_column) {
  return " AND EXISTS ( SELECT * FROM " + DestinationTable(BaseDestino, "ARTICULOS") + " AS " +
         alias + " WITH (NOLOCK) WHERE " + alias + ".CODIGO_ARTICULO=" + staging_column + " )";
}

// ---- LISTAS_PRECIOS_DESCUENTOS_ERP ----------------------------------------

const char* const kDescuentos = "DETALLE_DESCUENTOS";

// The first price-list row with all TABPRE columns in table order and, last,
// its list's OPERA. The table text carries its own hints.
const char* const kFirstListRowTable =
    "TABPRE WITH (NOLOCK) INNER JOIN TABPP WITH (NOLOCK) ON TABPP.KOLT=TABPRE.KOLT";
const char* const kFirstListRowOrder = " TABPRE.KOPR, TABPRE.KOLT ";
const char* const kFirstListRowColumns = " TABPRE.*,TABPP.OPERA ";

// The first TABPRE column of the pairs (value column, formula column), and
// the OPERA character that describes the first pair.
constexpr size_t kFirstPairColumn = 29;
constexpr size_t kFirstPairCharacter = 29;
constexpr size_t kNamedSlots = 4;

const char* const kDescuentosColumnList =
    "(ID_LISTA_PRECIO,CODIGO_PRODUCTO,PORCENTAJE_DESCUENTO_1,PORCENTAJE_DESCUENTO_2,"
    "PORCENTAJE_DESCUENTO_3,PORCENTAJE_DESCUENTO_4,PORCENTAJE_DESCUENTO_5,"
    "FECHA_VIGENCIA_DESDE,FECHA_VIGENCIA_HASTA,ACTIVO,INDICADOR_ACCION,"
    "FECHAHORA_ULTIMAMODIFICACION )";

const char* const kPercentages[] = {"PORCENTAJE_DESCUENTO_1", "PORCENTAJE_DESCUENTO_2",
                                    "PORCENTAJE_DESCUENTO_3", "PORCENTAJE_DESCUENTO_4",
                                    "PORCENTAJE_DESCUENTO_5"};

// The two statements of one element are separated by the program's line break.
const char* const kLineBreak = "\r\n";

// The character at 1-based position `position` of UTF-8 `text` (characters,
// not bytes); blank when past the end.
bool BlankAt(const std::string& text, size_t position) {
  size_t index = 0;  // characters seen
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte
    if (++index == position) return byte == ' ';
  }
  return true;
}

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

// The placeholder row: empty texts and zero percentages.
std::string DescuentosCreate(const std::string& coll) {
  std::vector<std::string> items = {
      Item("''", {"ID_LISTA_PRECIO", "VARCHAR(14)", true}, coll),
      Item("''", {"CODIGO_PRODUCTO", "VARCHAR(24)", true}, coll),
  };
  for (const char* p : kPercentages) items.push_back(Item("0", {p, "NUMERIC(8,3)", false}, coll));
  for (const Column& c : {Column{"FECHA_VIGENCIA_DESDE", "VARCHAR(8)", true},
                          Column{"FECHA_VIGENCIA_HASTA", "VARCHAR(8)", true},
                          Column{"ACTIVO", "VARCHAR(1)", true},
                          Column{"INDICADOR_ACCION", "VARCHAR(1)", true},
                          Column{"FECHAHORA_ULTIMAMODIFICACION", "VARCHAR(20)", true}}) {
    items.push_back(Item("''", c, coll));
  }
  return "SELECT " + Join(items, ", ") + " INTO " + StagingTable(kDescuentos);
}

// Removes the placeholder row, then fills the staging table from every list
// row of every product, stamped with the server date and the service's time.
std::string DescuentosFill(const std::string& coll, const DiscountSlots& slots) {
  std::vector<std::string> values = {"'TABPP'+TABPRE.KOLT",
                                     "RTRIM(CAST(TABPRE.KOPR AS VARCHAR(24) ))"};
  for (const std::string& slot : slots) {
    const std::string x = slot.empty() ? "0.0" : "TABPRE." + WithoutBlanks(slot);
    values.push_back("CAST(COALESCE(" + x + ",0) AS NUMERIC(8,3) )");
  }
  values.push_back("'20150101'" + coll);
  values.push_back("'20500101'" + coll);
  values.push_back("'1'" + coll);
  values.push_back("'A'" + coll);
  values.push_back("CONVERT(varchar(14),getdate(),112)+" + Text(ServiceClockTime()));
  const std::string staging = StagingTable(kDescuentos);
  return "DELETE " + staging + kLineBreak + "INSERT INTO " + staging + " " +
         kDescuentosColumnList + " SELECT " + Join(values, ", ") +
         " FROM TABPRE WITH (NOLOCK) INNER JOIN TABPP WITH (NOLOCK) ON "
         "TABPP.KOLT=TABPRE.KOLT INNER JOIN MAEPR WITH (NOLOCK) ON MAEPR.KOPR=TABPRE.KOPR";
}

}  // namespace

StatementList LISTAS_PRECIOS(const std::string& BaseDestino, const std::string& coll) {
  const std::string dest = DestinationTable(BaseDestino, kListas);
  const std::string staging = StagingTable(kListas);
  return {
      DropStaging(kListas),
      "SELECT " + ListasItems(coll, false) + " INTO " + staging,
      // Every list, no filter and no hint.
      "INSERT INTO " + staging + " SELECT " + ListasItems(coll, true) + " FROM TABPP",
      StampStatement(kListas),
      InsertMissing(dest, kListas, {"ID_LISTA_PRECIO"}),
      UpdateChanged(dest, kListas, {"ID_LISTA_PRECIO"},
                    {"DESCRIPCION_LISTA_PRECIO", "FECHA_ULTIMA_MODIFICACION", "ACTIVO",
                     "INDICADOR_ACCION"},
                    {"DESCRIPCION_LISTA_PRECIO"}),
  };
}

StatementList DETALLE_PRECIOS(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa) {
  const std::string dest = DestinationTable(BaseDestino, kDetalle);
  const std::string staging = StagingTable(kDetalle);
  return {
      DropStaging(kDetalle),
      DetalleCreate(coll, cEmpresa),
      // The common stamp, plus a price of 0 for list rows without one.
      StampStatement(kDetalle) +
          ",PRECIO_NETO_SIN_IMPUESTOS=COALESCE(PRECIO_NETO_SIN_IMPUESTOS,0)",
      InsertMissing(dest, kDetalle, {"ID_LISTA_PRECIO", "CODIGO_ARTICULO"},
                    ProductExists(BaseDestino, "X", staging + ".CODIGO_ARTICULO")),
      UpdateChanged(dest, kDetalle, {"ID_LISTA_PRECIO", "CODIGO_ARTICULO"},
                    {"FECHA_INICIO_VIGENCIA", "INDICADOR_ACCION", "PRECIO_NETO_SIN_IMPUESTOS",
                     "FECHA_ULTIMA_MODIFICACION", "ACTIVO"},
                    {"FECHA_INICIO_VIGENCIA", "PRECIO_NETO_SIN_IMPUESTOS"}),
  };
}

DiscountSlots NOMBRALOSDESC(db::Session& session, const std::string& /*list*/) {
  DiscountSlots slots;
  db::SqlRow row;
  if (!db::TOPSQL(session, kFirstListRowTable, row, kFirstListRowOrder, "",
                  kFirstListRowColumns)) {
    return slots;
  }
  // OPERA is the last column; it has one character per pair, the first pair
  // described by character 29. A blank character (or none) marks a discount.
  const std::string opera = row.back().value.text();
  const size_t n = row.size();
  size_t character = kFirstPairCharacter - 1;
  size_t found = 0;
  for (size_t column = kFirstPairColumn; column + 1 <= n; column += 2) {
    ++character;
    if (!BlankAt(opera, character)) continue;
    ++found;
    if (found <= kNamedSlots) slots[found - 1] = row[column - 1].name;
  }
  return slots;
}

StatementList DiscountBatch(const std::string& BaseDestino, const std::string& coll,
                            const DiscountSlots& slots) {
  const std::string dest = DestinationTable(BaseDestino, "LISTAS_PRECIOS_DESCUENTOS_ERP");
  const std::string staging = StagingTable(kDescuentos);
  const std::vector<std::string> percentages(std::begin(kPercentages), std::end(kPercentages));
  std::vector<std::string> set_columns = percentages;
  std::vector<std::string> compared = percentages;
  for (const char* c : {"FECHA_VIGENCIA_DESDE", "FECHA_VIGENCIA_HASTA", "ACTIVO"}) {
    set_columns.push_back(c);
    compared.push_back(c);
  }
  // The date-and-time stamp is written only together with a real change.
  set_columns.push_back("INDICADOR_ACCION");
  set_columns.push_back("FECHAHORA_ULTIMAMODIFICACION");
  return {
      DropStaging(kDescuentos),
      DescuentosCreate(coll),
      DescuentosFill(coll, slots),
      InsertMissing(dest, kDescuentos, {"ID_LISTA_PRECIO", "CODIGO_PRODUCTO"},
                    ProductExists(BaseDestino, "A", staging + ".CODIGO_PRODUCTO")),
      UpdateChanged(dest, kDescuentos, {"ID_LISTA_PRECIO", "CODIGO_PRODUCTO"}, set_columns,
                    compared),
  };
}

StatementList LISTAS_PRECIOS_DESCUENTOS_ERP(db::Session& session,
                                            const std::string& BaseDestino,
                                            const std::string& coll,
                                            const std::string& /*cEmpresa*/,
                                            const std::string& cLista) {
  return DiscountBatch(BaseDestino, coll, NOMBRALOSDESC(session, cLista));
}

}  // namespace exporter
