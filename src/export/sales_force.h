// Builders of the sales force: salespeople (VENDEDORES), the assignment of
// customers to salespeople (VENDEDORES_CLIENTES) and the visit calendar of the
// coming month (RUTAS).
//
// VENDEDORES and VENDEDORES_CLIENTES compose text and execute nothing. RUTAS
// first runs its 37 preparatory statements itself on the session's current
// connection (the calendar, the customers' weekdays and the visits, in working
// tables of that connection) and then returns its batch, which reads them.
#pragma once

#include <string>

#include "db/session.h"
#include "db/value.h"
#include "export/batch_text.h"

namespace exporter {

// Three passes over #PASO_VENDEDORES, 16 elements: pass 1 (6 elements)
// publishes every salesperson of TABFU under its name and updates changed
// rows; passes 2 and 3 (5 elements each) only insert the codes that document
// lines (MAEDDO) and headers (MAEEDO) use and the destination lacks, named
// "Vendedor " + code. They update nothing, so a salesperson keeps its TABFU name.
StatementList VENDEDORES(const std::string& BaseDestino, const std::string& coll);

// Main-branch customers of MAEEN that have a salesperson, keyed by salesperson
// and customer; 7 elements.
StatementList VENDEDORES_CLIENTES(const std::string& BaseDestino, const std::string& coll);

// Runs the preparatory statements (PreparatoryRoutesStatements of the service's
// date) one by one with EJECUTESQL, ignoring their outcome, then returns the
// 7-element batch that moves the visits into RUTAS.
StatementList RUTAS(db::Session& session, const std::string& BaseDestino,
                    const std::string& coll);

// The 37 statements RUTAS runs before returning its batch: three drops, the
// calendar of `today` and the 30 following days (one create, 30 inserts), the
// customers' weekday flags, the visits, and the delete of days without a visit.
StatementList PreparatoryRoutesStatements(const db::Date& today);

// The service's own date (the local date), read when RUTAS builds its
// calendar. Tests fix it with SetServiceDate; nullptr restores the local date.
db::Date ServiceDate();
void SetServiceDate(db::Date (*date)());

}  // namespace exporter
