// Builders of the taxes, the tax assignments of products and the combos
// (products sold as a bundle of other products). Each composes the statement
// list of one entity batch; nothing is executed here.
//
// Arguments: BaseDestino, the destination database name (placed in brackets);
// the collation clause ("" or " COLLATE " + name) that follows every character
// column of the staging tables; for the combos the active company, branch,
// warehouse and sales list ("TABPP" + list code) of the configuration, spliced
// as quoted literals.
#pragma once

#include <string>

#include "export/batch_text.h"

namespace exporter {

// #PASO_CABECERA_COMBOS -> CABECERA_COMBOS, key CODIGO_COMBO (the ERP code as
// stored, trailing blanks kept). A combo is a MAEERES header whose code is a
// product enabled for the company; its stock comes from the configured
// branch and warehouse, its discount from the configured list.
StatementList CABECERA_COMBOS(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa, const std::string& cSucursal,
                              const std::string& cBodega, const std::string& cLista);

// #PASO_DETALLE_COMBOS -> DETALLE_COMBOS, key CODIGO_COMBO + CODIGO_ARTICULO
// (both trimmed). A line is inserted only when its component is in the
// destination's ARTICULOS and its combo in CABECERA_COMBOS. Branch and
// warehouse are taken for a uniform call but not used.
StatementList DETALLE_COMBOS(const std::string& BaseDestino, const std::string& coll,
                             const std::string& cEmpresa, const std::string& cSucursal,
                             const std::string& cBodega, const std::string& cLista);

// #PASO_IMPUESTOS -> IMPUESTOS, key ID_IMPUESTO: every tax of TABIM, with
// empty application flags (IMPUESTOS_ARTICULOS sets them afterwards).
StatementList IMPUESTOS(const std::string& BaseDestino, const std::string& coll);

// #PASO_IMPUESTOS_ARTICULOS -> IMPUESTOS_ARTICULOS, key ID_IMPUESTO +
// CODIGO_ARTICULO (links are only inserted, never updated); its last
// statement sets the flags "0" / "1" of every tax that has a product link.
StatementList IMPUESTOS_ARTICULOS(const std::string& BaseDestino, const std::string& coll);


}  // namespace exporter
