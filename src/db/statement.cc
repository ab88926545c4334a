#include "db/statement.h"

#include "db/odbc_connection.h"
#include "db/odbc_handles.h"

namespace db {

bool EJECUTESQL(Session& session, const std::string& sql, std::string* errorText) {
  TOdbc* connection = session.OODBC.get();
  SQLHENV env = connection ? connection->hEnv : SQL_NULL_HENV;
  SQLHDBC dbc = connection ? connection->hDbc : SQL_NULL_HDBC;

  std::shared_ptr<StatementHandle> statement = StatementHandle::Allocate(dbc, nullptr);
  if (!statement) {
    session.platform.Stop("Sin exito en SQLAllocStmt() para EjecuteSQL() \r\n" + sql,
                          ui::kDefaultTitle);
    return false;
  }

  session.platform.WaitPointer(true);
  session.Trace(sql);
  SQLRETURN rc = SQLExecDirect(statement->get(),
                               reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())),
                               static_cast<SQLINTEGER>(sql.size()));
  // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row ran fine.
  const bool ok = Succeeded(rc) || rc == SQL_NO_DATA;
  if (!ok && errorText) {
    *errorText = FirstDiagnostic(env, dbc, statement->get()).message;
  }
  statement->Free();
  session.platform.WaitPointer(false);
  return ok;
}

}  // namespace db
