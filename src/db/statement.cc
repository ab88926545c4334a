#include "db/statement.h"

namespace db {

bool EJECUTESQL(Session& session, const std::string& sql, std::string* errorText,
                long* rowsAffected) {
  std::shared_ptr<Statement> statement = session.AllocateStatement();
  if (!statement) {
    session.platform.Stop("Sin exito en SQLAllocStmt() para EjecuteSQL() \r\n" + sql,
                          ui::kDefaultTitle);
    return false;
  }

  session.platform.WaitPointer(true);
  session.Trace(sql);
  SQLRETURN rc = statement->ExecDirect(sql);
  // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row ran fine.
  const bool ok = Succeeded(rc) || rc == SQL_NO_DATA;
  if (!ok && errorText) {
    *errorText = statement->FirstDiagnostic().message;
  }
  if (rowsAffected) {
    SQLLEN count = 0;
    *rowsAffected =
        ok && rc != SQL_NO_DATA && Succeeded(statement->RowCount(&count)) && count > 0 ? count
                                                                                      : 0;
  }
  statement->Free();
  session.platform.WaitPointer(false);
  return ok;
}

}  // namespace db
