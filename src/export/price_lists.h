// The price-list builders of the export: the ERP's sales price lists
// (LISTAS_PRECIOS), the net price of every product in every list
// (DETALLE_PRECIOS) and up to five discount percentages per product and list
// (LISTAS_PRECIOS_DESCUENTOS_ERP). Each returns its statement list and executes
// nothing; the discount builder first asks the ERP, with one look-up, which
// columns of TABPRE hold the discounts (NOMBRALOSDESC).
#pragma once

#include <array>
#include <string>

#include "db/session.h"
#include "export/batch_text.h"

namespace exporter {

// The TABPRE column names that hold discount percentages, slot by slot; an
// empty slot exports 0. Only slots 1 to 4 are ever filled.
using DiscountSlots = std::array<std::string, 5>;

StatementList LISTAS_PRECIOS(const std::string& BaseDestino, const std::string& coll);

StatementList DETALLE_PRECIOS(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa);

// Reads the first price-list row (TABPRE with its list's OPERA) and names the
// value columns of the pairs from column 29 on whose OPERA character is blank:
// the first four of them, in column order. No row: five empty slots. `list`
// plays no part (the layout is the same for every list).
DiscountSlots NOMBRALOSDESC(db::Session& session, const std::string& list);

// The discount batch for given slots; composes only.
StatementList DiscountBatch(const std::string& BaseDestino, const std::string& coll,
                            const DiscountSlots& slots);

// NOMBRALOSDESC, then DiscountBatch. The company and list play no part in the
// statements: discounts are exported for every list and every product.
StatementList LISTAS_PRECIOS_DESCUENTOS_ERP(db::Session& session,
                                            const std::string& BaseDestino,
                                            const std::string& coll,
                                            const std::string& cEmpresa,
                                            const std::string& cLista);

}  // namespace exporter
