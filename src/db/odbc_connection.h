// TOdbc: one ODBC connection (environment and connection handles, owned here
// and freed in End), opened by data source name, user and password with
// SQLDriverConnect; and ODBCREMOTO, the switch of the current connection.
#pragma once

#include <sql.h>

#include <memory>
#include <string>
#include <vector>

#include "config/tinicio.h"
#include "db/connection.h"
#include "ui/platform.h"

namespace db {

struct Session;

struct OdbcError {
  std::string operation;  // e.g. "SQLDriverConnect error from TODbc:New()"
  SQLRETURN code = 0;
};

class TOdbc : public Connection {
 public:
  // Opens the connection; always returns the object, test lSuccess. A failed
  // connect shows the alert "SQLDriverConnect error from TODbc:New()" /
  // "[# code]" on `platform`.
  static std::shared_ptr<TOdbc> New(ui::Platform& platform, const std::string& cDSN,
                                    const std::string& cUser,
                                    const std::string& cPassword);
  ~TOdbc() override;
  TOdbc(const TOdbc&) = delete;
  TOdbc& operator=(const TOdbc&) = delete;

  // A statement on this connection (SQLAllocStmt).
  std::shared_ptr<Statement> AllocateStatement(SQLRETURN* rc) override;
  // Disconnects and frees both handles; harmless when called again.
  void End() override;

  // "DSN=" name (when not empty) + ";UID=" user (when not empty) + ";PWD=" password.
  static std::string ConnectionString(const std::string& dsn, const std::string& user,
                                      const std::string& password);

  SQLHENV hEnv = SQL_NULL_HENV;
  SQLHDBC hDbc = SQL_NULL_HDBC;
  std::string cConnect;
  std::string cDSN;
  std::string cUser;
  std::string cPassword;
  std::vector<OdbcError> aErrors;

 private:
  TOdbc() = default;
  bool connected_ = false;
};

// Ends the current connection and opens a new one to the origin ("o") or the
// destination ("d") with the values of `ini`. A failure appends
// "Fallo de conexion: name user **** -> dd/mm/yyyy hh:mm:ss" to Log.txt in
// ini.cRuta and leaves the ended object current.
void ODBCREMOTO(Session& session, config::TInicio& ini, const std::string& side);

// The connection test used when the configuration is saved.
class OdbcConnectionChecker : public config::ConnectionChecker {
 public:
  explicit OdbcConnectionChecker(ui::Platform& platform) : platform_(platform) {}
  bool CanConnect(const std::string& dsn, const std::string& user,
                  const std::string& password) override;
  void EndConnection(std::shared_ptr<TOdbc>& connection) override;

 private:
  ui::Platform& platform_;
};

}  // namespace db
