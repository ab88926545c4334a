#include "orders/catalogue.h"

#include <algorithm>
#include <set>

#include "config/text.h"
#include "db/cursor.h"
#include "db/local_tables.h"
#include "db/lookups.h"
#include "db/statement.h"

namespace orders {

const std::vector<BuiltinVariable>& BuiltinVariables() {
  static const std::vector<BuiltinVariable> kBuiltins = {
    {"A_FABRICAR", "Cantidad que se fabricará    ", "Valor_orden "},
    {"VANEDO", "Valor neto documento comercial ", "Valor_docue "},
    {"VABRDO", "Valor bruto documento comercial", "Valor_docue "},
    {"CAPRCO1", "Cantidad en documento comercial Ud1 ", "Valor_docud "},
    {"CAPRCO2", "Cantidad en documento comercial Ud2 ", "Valor_docud "},
    {"VANELI", "Valor neto línea en documento comercial", "Valor_docud "},
    {"C_INSUMOS", "Costo insumos standard producto ", "Por_tabpp   "},
    {"C_MAQUINAS", "Costo de máquinas standard producto ", "Por_tabpp   "},
    {"C_M_OBRA", "Costo de mano de obra standard producto ", "Por_tabpp   "},
    {"C_FABRIC", "Costo de fabricación standard producto  ", "Por_tabpp   "},
    {"PP01UD", "Precio/Costo producto Ud01", "Por_tabpp   "},
    {"PP02UD", "Precio/Costo producto Ud02", "Por_tabpp   "},
    {"MG01UD", "% Margen unidad 01        ", "Por_tabpp   "},
    {"MG02UD", "% Margen unidad 02        ", "Por_tabpp   "},
    {"DTMA01UD", "Dcto.máximo primer nivel Ud01", "Por_tabpp   "},
    {"DTMA02UD", "Dcto.máximo primer nivel Ud02", "Por_tabpp   "},
    {"PPUL01", "Precio última compra Ud_01", "Por_maepr   "},
    {"PPUL02", "Precio última compra Ud_02", "Por_maepr   "},
    {"PM", "Precio promedio ponderado ", "Por_maepr   "},
    {"RLUD", "Relación de transformación entre Ud01, Ud02 ", "Por_maepr   "},
    {"STFI1", "Stock físico total Ud01   ", "Por_maepr   "},
    {"STFI2", "Stock físico total Ud02   ", "Por_maepr   "},
    {"CAMICO", "Cantidad mínima de Compra ", "Por_maepr   "},
    {"TTREPR", "Tiempo de reposición del producto ", "Por_maepr   "},
    {"TAUL", "Tasa última compra        ", "Por_maepr   "},
    {"LTSUBIC", "Volumen en Litros         ", "Por_maepr   "},
    {"PESOUBIC", "Peso del Producto         ", "Por_maepr   "},
  };
  return kBuiltins;
}

namespace {

// Codes are held as ten-character texts while they are merged.
constexpr size_t kCodeWidth = 10;

std::string PadRight(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// `text` as a 12-character group: padded with blanks, or cut.
std::string AsGroup(const std::string& text) {
  return PadRight(text, kGroupWidth).substr(0, kGroupWidth);
}

// The local copy's field list when PNOMDIM cannot be read.
const db::FieldList& FallbackFields() {
  static const db::FieldList kFields = {{"CODIGO", 'C', 10, 0},
                                        {"NOMBRE", 'C', 50, 0},
                                        {"DEPENDENCI", 'C', 12, 0},
                                        {"VALOR", 'N', 19, 5}};
  return kFields;
}

// The merge in the local copy: where its columns are, and which codes it holds.
class LocalCopy {
 public:
  explicit LocalCopy(db::LocalTable& table) : table_(table) {
    code_ = table.FieldIndex("CODIGO");
    name_ = table.FieldIndex("NOMBRE");
    value_ = table.FieldIndex("VALOR");
    for (size_t i = 0; i < table.fields().size(); ++i) {
      if (db::UpperName(table.fields()[i].name).rfind("DEPENDENCI", 0) == 0) {
        group_ = static_cast<int>(i);
        break;
      }
    }
    if (code_ < 0) return;
    for (table.GoTop(); !table.Eof(); table.Skip()) codes_.insert(Code());
  }

  bool Has(const std::string& code) const { return codes_.count(code) > 0; }

  void Add(const std::string& code, const std::string& name, const std::string& group) {
    table_.Append();
    Put(code_, db::Value::Text(PadRight(code, kCodeWidth)));
    Put(name_, db::Value::Text(name));
    Put(group_, db::Value::Text(group));
    Put(value_, db::Value::Number(0));
    codes_.insert(code);
  }

  // Every record as a catalogue entry, ordered by code.
  Catalogue Entries() {
    Catalogue entries;
    for (table_.GoTop(); !table_.Eof(); table_.Skip()) {
      CatalogueEntry e;
      e.code = Code();
      e.name = name_ < 0 ? "" : Text(table_.Get(name_));
      e.group = AsGroup(group_ < 0 ? "" : Text(table_.Get(group_)));
      e.value = value_ < 0 ? 0.0 : table_.Get(value_).number();
      entries.push_back(std::move(e));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CatalogueEntry& a, const CatalogueEntry& b) {
                       return a.code < b.code;
                     });
    return entries;
  }

 private:
  static std::string Text(const db::Value& v) { return v.text(); }
  std::string Code() const { return code_ < 0 ? "" : config::Trim(table_.Get(code_).text()); }
  void Put(int field, const db::Value& value) {
    if (field >= 0) table_.Set(static_cast<size_t>(field), value);
  }

  db::LocalTable& table_;
  int code_ = -1, name_ = -1, group_ = -1, value_ = -1;
  std::set<std::string> codes_;
};

// Step 1: the local copy of PNOMDIM, left open under its name.
bool CopyPnomdim(db::Session& session) {
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session, row, kPnomdimQuery, found);
  bool ok;
  if (cursor) {
    ok = db::GENDBF(session, cursor, row, kLocalCatalogueTable, /*close=*/false, "", {},
                    true, found);
  } else {
    // Without PNOMDIM the catalogue still gets its built-in and list variables.
    ok = session.locals.Create(kLocalCatalogueTable, FallbackFields()) &&
         session.locals.NET_USE(kLocalCatalogueTable);
  }
  db::LIBERACURSOR(session, cursor);
  return ok && session.locals.Find(kLocalCatalogueTable) != nullptr;
}

// Step 3: older price-list layouts are moved to the current one.
void RewriteOperaLayout(db::Session& session) {
  db::SqlRow row;
  db::TOPSQL(session, "TABPP", row);
  const auto opera = std::find_if(row.begin(), row.end(),
                                  [](const db::SqlColumn& c) { return c.name == "OPERA"; });
  if (opera == row.end()) return;  // the look-up failed: nothing is known about the lists
  if (opera->value.text().rfind("XX", 0) == 0) return;
  db::EJECUTESQL(session, kOperaRewrite);  // its outcome is ignored: retried at next start
}

// Step 4: the value columns of the list's extra pairs (positions 29, 31, ...).
std::vector<std::string> ExtraListColumns(db::Session& session) {
  db::SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session, row, kTabpreLayoutQuery, found);
  db::LIBERACURSOR(session, cursor);
  std::vector<std::string> names;
  for (size_t position = 29; position <= row.size(); position += 2) {
    names.push_back(row[position - 1].name);
  }
  return names;
}

}  // namespace

void LLENATABMACRO(db::Session& session, Catalogue& TABMACRO) {
  if (!CopyPnomdim(session)) {
    session.locals.CIERRABORRA(kLocalCatalogueTable);
    return;
  }
  LocalCopy copy(*session.locals.Find(kLocalCatalogueTable));
  for (const BuiltinVariable& b : BuiltinVariables()) {
    if (!copy.Has(b.code)) copy.Add(b.code, b.name, b.group);
  }
  RewriteOperaLayout(session);
  for (const std::string& column : ExtraListColumns(session)) {
    if (!copy.Has(column)) copy.Add(column, column, AsGroup("Por_tabpp"));
  }
  Catalogue entries = copy.Entries();
  TABMACRO.insert(TABMACRO.end(), entries.begin(), entries.end());
  session.locals.CIERRABORRA(kLocalCatalogueTable);
}

}  // namespace orders
