// The statement texts of one order import. The set-based statements are
// composed once, at the start of the cycle, so that the time written in every
// header's OBS and the date of the markings are those of the cycle's start;
// the per-row statements (a header's number, a line's price) are composed as
// the rows are walked. Every value placed in a text goes through the literal
// rules, so handheld data cannot break or change a statement.
#pragma once

#include <string>

#include "config/tinicio.h"
#include "db/literals.h"
#include "db/value.h"

namespace orders {

using db::CollationClause;

// "( Norvo Móvil : hh:mm:ss )" cut to 50 characters.
std::string MobileObservation(const std::string& time);

struct ImportStatements {
  std::string drop_headers;      // DROP TABLE #PASO_PDAENCA
  std::string drop_lines;        // DROP TABLE #PASO_PDADETA
  std::string begin;             // BEGIN TRANSACTION
  std::string stage_headers;     // SELECT ... INTO #PASO_PDAENCA
  std::string read_headers;      // SELECT * FROM #PASO_PDAENCA
  std::string head_office;       // SUENDO of 'CASAMATRIZ' deliveries
  std::string read_collisions;   // staged headers whose document key is taken
  std::string drop_collisions;   // ... removed from the staging table
  std::string insert_headers;    // INSERT INTO PDAENCA
  std::string take_keys;         // IDPDAENCA back into the staging table
  std::string stage_lines;       // SELECT ... INTO #PASO_PDADETA
  std::string product_data;      // MAEPR values of each line
  std::string read_lines;        // the lines to price, with their header
  std::string link_lines;        // IDPDAENCA and SUENDO of each line
  std::string insert_lines;      // INSERT INTO PDADETA
  std::string mark_orders;       // FECHA_PROCESO of the imported orders
  std::string mark_lines;        // FECHA_ULTIMA_MODIFICACION of their lines
  std::string validate_headers;  // VALIDO='S' in PDAENCA
  std::string validate_lines;    // VALIDO='S' in PDADETA
  std::string totals;            // VANEDO, VABRDO from the lines
  std::string commit;            // COMMIT TRANSACTION
  std::string rollback;          // ROLLBACK TRANSACTION
};

// Every set-based statement of an import. `time` is the cycle's time of day
// (hh:mm:ss), `today` its date.
ImportStatements ComposeImportStatements(const config::TInicio& ini,
                                         const std::string& collationClause,
                                         const std::string& time, const db::Date& today);

// "[" + cDSN + "].dbo.PDAENCA", the inbox headers as the import names them.
std::string InboxHeaders(const config::TInicio& ini);

// "UPDATE #PASO_PDAENCA SET NUDO=<number> WHERE ID_PEDIDO =<id> ".
std::string NumberUpdate(const std::string& number, const std::string& orderId);

// The values a priced line is written with.
struct PricedLineUpdate {
  std::string number;  // the header's new NUDO
  double price = 0;    // ERP net unit price
  double net = 0;      // VANELI
  double gross = 0;    // VABRLI
  double discounts[4] = {0, 0, 0, 0};
  std::string lineId;   // ID_DETALLE_PEDIDO
  std::string orderId;  // ID_PEDIDO
};

// "UPDATE #PASO_PDADETA SET NUDO=...,PPPRNE=...,PPPRNELT=...,VANELI=...,
// VABRLI=...,DCTO1=...,...,DCTO4=... WHERE ID_DETALLE_PEDIDO=... AND
// ID_PEDIDO=..." (identifiers without trailing blanks).
std::string LinePriceUpdate(const PricedLineUpdate& line);

}  // namespace orders
