// Pieces of text that the entity builders of the export share: the collation
// clause, the destination table's three-part name, the staging table's drop,
// one select item of a staging table, the stamp, the insert of missing rows
// and the update of changed rows. Each returns exactly the text of the common
// shape; a builder whose statement differs from the shape composes its own.
#pragma once

#include <string>
#include <vector>

#include "config/text.h"
#include "db/literals.h"

namespace exporter {

// An ordered list of statement texts: one entity batch.
using StatementList = std::vector<std::string>;

// "" for an empty collation, else " COLLATE " + the trimmed name.
using db::CollationClause;

// "[" + BaseDestino (any "]" doubled) + "].dbo." + table.
std::string DestinationTable(const std::string& BaseDestino, const std::string& table);

// "#PASO_" + name.
std::string StagingTable(const std::string& name);

// "DROP TABLE #PASO_" + name.
std::string DropStaging(const std::string& name);

// A text value as a literal: "'" + text with every "'" doubled + "'".
std::string Text(const std::string& value);

// One select item of a staging table's create or fill statement:
// "CAST(" + expression + " AS " + type + " )" + coll + " AS " + column.
// Pass the collation clause for character columns and "" for numeric ones.
std::string CastItem(const std::string& expression, const std::string& type,
                     const std::string& coll, const std::string& column);

// Joins texts with a separator.
using config::Join;

// "UPDATE #PASO_{name} SET INDICADOR_ACCION='A',ACTIVO=1,
// FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)" (one line).
std::string StampStatement(const std::string& name);

// INSERT INTO {dest} SELECT * FROM #PASO_{name} WITH (NOLOCK) WHERE NOT EXISTS
// ( SELECT * FROM {dest} AS X WITH (NOLOCK) WHERE X.{k1}=#PASO_{name}.{k1}
// AND X.{k2}=#PASO_{name}.{k2} ) -- then `extra` appended as it is (for
// further AND EXISTS conditions; start it with a blank).
std::string InsertMissing(const std::string& dest, const std::string& name,
                          const std::vector<std::string>& keys,
                          const std::string& extra = "");

// UPDATE {dest} SET {c} = #PASO_{name}.{c} , ... FROM #PASO_{name} WITH (NOLOCK)
// WHERE {dest}.{k1}=#PASO_{name}.{k1} AND ... AND ( {dest}.{c} <> #PASO_{name}.{c}
// OR ... ) -- the set list and the compared list are separate lists.
std::string UpdateChanged(const std::string& dest, const std::string& name,
                          const std::vector<std::string>& keys,
                          const std::vector<std::string>& set_columns,
                          const std::vector<std::string>& compared_columns);

// The price-list code of the list setting ("TABPP" + code, as CONFIEST
// stores it): its last three characters, counted as characters, once trailing
// blanks (a padded column) are removed; the whole text when shorter.
std::string ListCode(const std::string& cLista);

// The service's own clock time as HHMMSS, read when a builder composes its
// text (date-and-time stamps are the server date followed by it). Tests fix
// the clock with SetServiceClock.
std::string ServiceClockTime();
void SetServiceClock(std::string (*clock)());

}  // namespace exporter
