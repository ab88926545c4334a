// Builders of the sales history and the customers' current account: the
// active company's sales invoices ("FCV") as history headers and lines, and
// its open invoices as the current account, which is replaced in full on
// every cycle. Each returns its statement list and executes nothing.
//
// Arguments: the destination database name, the collation clause (see
// CollationClause) and the active company code, which is spliced as a quoted
// literal.
#pragma once

#include <string>

#include "export/batch_text.h"

namespace exporter {

// Invoice headers into CABECERA_HISTORICOS_VENTAS (staging #PASO_CHV), with
// the billed and ordered quantities and the figures of the origin order.
// Invoices without a salesperson are left out.
StatementList CABECERA_HISTORICOS_VENTAS(const std::string& BaseDestino, const std::string& coll,
                                         const std::string& cEmpresa);

// Invoice lines into DETALLE_HISTORICOS_VENTAS (staging #PASO_DHV); only
// lines whose product and invoice header already exist in the destination
// are inserted.
StatementList DETALLE_HISTORICOS_VENTAS(const std::string& BaseDestino, const std::string& coll,
                                        const std::string& cEmpresa);

// Open invoices into CUENTA_CORRIENTE (staging #PASO_CTACTE): the
// destination table is emptied and refilled, one row per invoice and origin
// document.
StatementList CUENTA_CORRIENTE(const std::string& BaseDestino, const std::string& coll,
                               const std::string& cEmpresa);

}  // namespace exporter
