// A real SQL Server for the end-to-end tests, when QV_TEST_SQLSERVER holds an
// ODBC connection string ("DSN=...;UID=...;PWD=..."). The tests make a pair of
// fresh databases from schema/ (the ERP's and the destination's), work on the
// ERP one as the service does, and drop both at the end. Without the variable
// they skip.
#pragma once

#include <memory>
#include <string>

#include "db/odbc_connection.h"
#include "db/session.h"

namespace testsupport {

struct SqlServerPair {
  std::string origin;       // database name of the ERP side (current database)
  std::string destination;  // database name of the destination side
};

// The connection string of QV_TEST_SQLSERVER, or empty.
std::string SqlServerConnectionString();

// Connects `session` to the server and creates the two databases with the DDL
// of schema/quorix.sql and schema/velmora.sql; the origin one is left current.
// False with the reason in `error`.
bool CreateSqlServerPair(db::Session& session, const std::string& tag, SqlServerPair* pair,
                         std::string* error);

// Drops both databases (best effort).
void DropSqlServerPair(db::Session& session, const SqlServerPair& pair);

// Runs a script of batches separated by "GO" lines; false at the first failing
// batch, with the driver's text and the batch in `error`.
bool RunScript(db::Session& session, const std::string& script, std::string* error);

}  // namespace testsupport

#define QV_REQUIRE_SQLSERVER()                                                  \
  do {                                                                          \
    if (::testsupport::SqlServerConnectionString().empty()) {                   \
      GTEST_SKIP() << "QV_TEST_SQLSERVER is not set: no SQL Server to run on";  \
    }                                                                           \
  } while (0)
