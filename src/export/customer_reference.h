// Builders of the code tables that customer rows refer to: customer groups,
// sales conditions, customer states, customer types, zones, customer
// categories, VAT conditions, localities, countries and provinces.
//
// Each takes the destination database name and the collation clause (already
// built: "" or " COLLATE name") and returns its statement list: the staging
// drop, the create of the staging table with its placeholder row (every
// character column empty), the fills from the ERP where the entity has a
// source, the stamp, the insert of missing rows and the update of changed
// rows. They compose text only and execute nothing.
#pragma once

#include <string>

#include "export/batch_text.h"

namespace exporter {

// Placeholder row only: the ERP has no table for these five.
StatementList GRUPOS_CLIENTES(const std::string& BaseDestino, const std::string& coll);
StatementList CONDICIONES_VENTAS(const std::string& BaseDestino, const std::string& coll);
StatementList ESTADOS_CLIENTES(const std::string& BaseDestino, const std::string& coll);
StatementList CONDICIONES_IVA(const std::string& BaseDestino, const std::string& coll);
StatementList LOCALIDADES(const std::string& BaseDestino, const std::string& coll);

// Characteristics "TIPOENTIDA" of TABCARAC, then the entity types MAEEN uses.
StatementList TIPOS_CLIENTES(const std::string& BaseDestino, const std::string& coll);
// Zones of TABZO, then the zones MAEEN uses (with an empty description).
StatementList ZONAS(const std::string& BaseDestino, const std::string& coll);
// Characteristics "TAMA¥OEMPR" (company sizes) of TABCARAC.
StatementList CATEGORIAS_CLIENTES(const std::string& BaseDestino, const std::string& coll);
// Countries of TABPA.
StatementList PAISES(const std::string& BaseDestino, const std::string& coll);
// Regions of TABCI, keyed by country code followed by region code.
StatementList PROVINCIAS(const std::string& BaseDestino, const std::string& coll);

// The categories' characteristic table key as it travels in the (UTF-8)
// statement text: "TAMA" U+00A5 "OEMPR", the Unicode reading of the
// Windows-1252 byte 0xA5 that the ERP stores in that position.
extern const char kCategoriasKey[];

}  // namespace exporter
