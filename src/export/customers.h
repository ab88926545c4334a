// Builders of the business partners: customers (the main branch of every
// partner), their delivery addresses (every branch with a zone) and their
// contact people. Each composes the statement list of one entity batch from
// the ERP tables MAEEN and MAEENCON into the destination tables of the same
// name; nothing is executed here.
//
// Arguments: BaseDestino, the destination database name (placed in brackets),
// and the collation clause ("" or " COLLATE " + name) that follows every
// character column of the staging tables.
#pragma once

#include <string>

#include "export/batch_text.h"

namespace exporter {

// #PASO_CLIENTES -> CLIENTES, key ID_CUENTA. Its stamp carries the server
// date followed by the service's clock time (ServiceClockTime) as read now.
StatementList CLIENTES(const std::string& BaseDestino, const std::string& coll);

// #PASO_CLIENTES_DIRECCIONES -> CLIENTES_DIRECCIONES, key ID_DIRECCION +
// ID_CUENTA. The main branch's address code is "CASAMATRIZZ".
StatementList CLIENTES_DIRECCIONES(const std::string& BaseDestino, const std::string& coll);

// #PASO_CONTACTOS -> CONTACTOS, key ID_CONTACTO + ID_CUENTA.
StatementList CONTACTOS(const std::string& BaseDestino, const std::string& coll);

}  // namespace exporter
