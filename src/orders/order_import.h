// The order import: every new handheld order of the destination
// (CABECERA_PEDIDOS / DETALLE_PEDIDOS with no FECHA_PROCESO) becomes a sales
// order (NVV) in the ERP's inbox (PDAENCA / PDADETA), numbered per seller and
// priced by the ERP's own lists, and is marked processed in the destination.
// One import is one transaction on the current connection: it lands
// completely or not at all. A failure rolls it back and adds one problem line.
//
// An order whose document key (type, number, customer) still collides with
// another document after numbering is left out of the cycle (no header, no
// lines), stays new for the next cycle, and is named in a problem line of its
// own; the other orders are imported and committed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/tinicio.h"
#include "db/session.h"
#include "orders/clock.h"
#include "orders/price_resolution.h"

namespace orders {

// Prices one line as PriceResolver::RESUELVEPRECIO(modality, product,
// customer, customerBranch, company) does. Tests put a scripted pricing here.
using PriceLookup = std::function<ResolvedPrice(
    const std::string& modality, const std::string& product, const std::string& customer,
    const std::string& customerBranch, const std::string& company)>;

// The problem text of an import abandoned because a line's price could not be
// known (a look-up of pricing failed).
std::string UnknownPriceText(const std::string& failedStatement);

// What one import did.
struct ImportSummary {
  bool committed = false;
  long orders = 0;  // headers inserted into PDAENCA
  long lines = 0;   // lines inserted into PDADETA
};

// A line's values: VANELI = price x quantity x (1 - discount / 100) and the tax
// VANELI x VAT / 100, each rounded to whole units half away from zero, and
// VABRLI = VANELI + tax.
struct LineValues {
  double net = 0;
  double tax = 0;
  double gross = 0;
};
LineValues ComputeLineValues(double price, double quantity, double discountPercent,
                             double vatPercent);

// The collision problem line of an order left out of the cycle.
std::string CollisionProblem(const std::string& orderId, const std::string& number,
                             const std::string& customer);

// SECUENCIAPDA: builds the collation clause from cCollationOrigen and runs one
// import. `clock` gives the cycle's time (OBS) and date (markings); empty: the
// local clock.
ImportSummary SECUENCIAPDA(db::Session& session, const PriceLookup& price,
                           const config::TInicio& ini, std::vector<std::string>& problems,
                           const Clock& clock = {});

// The same with the service's price resolution; its kept look-ups are
// forgotten first, so every import reads the ERP's current values.
ImportSummary SECUENCIAPDA(db::Session& session, PriceResolver& resolver,
                           const config::TInicio& ini, std::vector<std::string>& problems,
                           const Clock& clock = {});

// PDAENCAYDETA_PEDIDOS: one import with the given collation clause.
ImportSummary PDAENCAYDETA_PEDIDOS(db::Session& session, const PriceLookup& price,
                                   const config::TInicio& ini, const std::string& collationClause,
                                   std::vector<std::string>& problems, const Clock& clock = {});

}  // namespace orders
