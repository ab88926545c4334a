// The formula variable catalogue (TABMACRO): the names a price formula may use,
// each with the group that says where its value comes from. LLENATABMACRO
// builds it from the ERP's own variables (PNOMDIM), the built-in variables and
// one variable per extra price-list column of TABPRE, and on the way brings
// the price-list layout texts TABPP.OPERA of older lists into the current
// layout.
#pragma once

#include <string>
#include <vector>

#include "db/session.h"

namespace orders {

// Groups, 12 characters each, compared exactly.
inline constexpr const char* kGroupValorPropio = "Valor_propio";
inline constexpr const char* kGroupPorProducto = "Por_producto";
inline constexpr const char* kGroupPorEntidad = "Por_entidad ";
inline constexpr const char* kGroupPorTabpp = "Por_tabpp   ";
inline constexpr const char* kGroupPorBodega = "Por_bodega  ";
inline constexpr const char* kGroupPorMaepr = "Por_maepr   ";
inline constexpr const char* kGroupValorDocue = "Valor_docue ";
inline constexpr const char* kGroupValorDocud = "Valor_docud ";
inline constexpr const char* kGroupPorMaeddo = "Por_maeddo  ";
inline constexpr const char* kGroupPorZona = "Por_zona    ";
inline constexpr const char* kGroupValorOrden = "Valor_orden ";
inline constexpr size_t kGroupWidth = 12;

struct CatalogueEntry {
  std::string code;   // as written in formulas, blanks at the ends removed
  std::string name;   // a description
  std::string group;  // 12 characters
  double value = 0;   // the constant of group "Valor_propio"; 0 for the others

  friend bool operator==(const CatalogueEntry&, const CatalogueEntry&) = default;
};

// Ordered by code.
using Catalogue = std::vector<CatalogueEntry>;

// A built-in variable: added when PNOMDIM has no entry with its code.
struct BuiltinVariable {
  const char* code;
  const char* name;
  const char* group;
};

// The 27 built-in variables, in the order they are merged.
const std::vector<BuiltinVariable>& BuiltinVariables();

// The statements LLENATABMACRO sends.
inline constexpr const char* kPnomdimQuery = "SELECT * FROM PNOMDIM ";
inline constexpr const char* kOperaRewrite =
    "UPDATE TABPP SET OPERA='XX                          '+SUBSTRING(OPERA,25,95) ";
inline constexpr const char* kTabpreLayoutQuery = "SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK ) ";

// The name of the local work table that holds the merge.
inline constexpr const char* kLocalCatalogueTable = "LPNOMDIM";

// Builds the catalogue on the session's current connection and appends it to
// `TABMACRO` (which the caller has emptied), ordered by code. Uses the local
// table LPNOMDIM (in the session's local-table directory) while it runs and
// deletes it at the end; other open local tables are left alone.
void LLENATABMACRO(db::Session& session, Catalogue& TABMACRO);

}  // namespace orders
