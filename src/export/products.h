// Builders of the product catalogue batches: the three levels of the ERP's
// product classification (LINEAS, RUBROS, SUBRUBROS, DIVISIONES), the products
// of the active company with stock and maximum discount (ARTICULOS) and each
// product's unit conversion (OM_CONVERSIONES).
//
// Each builder only composes text: it returns the batch's statement list,
// element 1 the drop of its staging table, and executes nothing. Configuration
// values (company, branch, warehouse, list) are spliced as quoted literals.
#pragma once

#include <string>

#include "export/batch_text.h"

namespace exporter {

// LINEAS from TABHF (family + subfamily + sub-subfamily codes), with the
// placeholder line "sinclasificar".
StatementList LINEAS(const std::string& BaseDestino, const std::string& coll);

// RUBROS from TABPF (family + subfamily) and TABFM (family alone), with the
// placeholder "sinclasificar".
StatementList RUBROS(const std::string& BaseDestino, const std::string& coll);

// SUBRUBROS: only the placeholder "sinclasificar".
StatementList SUBRUBROS(const std::string& BaseDestino, const std::string& coll);

// DIVISIONES from TABFM, with a placeholder row of empty code and description.
StatementList DIVISIONES(const std::string& BaseDestino, const std::string& coll);

// ARTICULOS: products enabled for cEmpresa, stock of cSucursal/cBodega less the
// valid handheld lines of cBodega, maximum discount of the list whose code is
// the last three characters of cLista; products gone from the source are
// withdrawn ("B", inactive), never deleted.
StatementList ARTICULOS(const std::string& BaseDestino, const std::string& coll,
                        const std::string& cEmpresa, const std::string& cSucursal,
                        const std::string& cBodega, const std::string& cLista);

// OM_CONVERSIONES: first and second unit and their factor for the products
// enabled for cEmpresa.
StatementList OM_CONVERSIONES(const std::string& BaseDestino, const std::string& coll,
                              const std::string& cEmpresa);

}  // namespace exporter
