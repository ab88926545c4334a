// Table existence in the origin database and creation of the service's own
// control table EMPRESAS.
#pragma once

#include <string>

#include "db/session.h"

namespace db {

// The statement EXISTETABLA sends.
std::string ExistsTableStatement(const std::string& name);
// The statement that creates EMPRESAS.
extern const char* const kCreateEmpresas;

bool EXISTETABLA(Session& session, const std::string& name);
bool CREARTABLASQL(Session& session, const std::string& name, std::string* errorText);

}  // namespace db
