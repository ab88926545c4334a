// EJECUTESQL: runs a statement that returns nothing the caller reads. The
// outcome is the status of the execute call; the driver's message goes to the
// error text on failure. An execution failure is never shown; a failed
// statement allocation shows a stop message.
#pragma once

#include <string>

#include "db/session.h"

namespace db {

// `rowsAffected` (when given) receives the rows an INSERT, UPDATE or DELETE
// affected, 0 when the driver cannot tell or the statement failed.
bool EJECUTESQL(Session& session, const std::string& sql,
                std::string* errorText = nullptr, long* rowsAffected = nullptr);

}  // namespace db
