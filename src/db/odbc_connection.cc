#include "db/odbc_connection.h"

#include <sqlext.h>

#include "config/log_file.h"
#include "config/text.h"
#include "db/odbc_handles.h"
#include "db/session.h"

namespace db {

namespace {

constexpr int kConnectOutChars = 1024;
constexpr const char* kConnectError = "SQLDriverConnect error from TODbc:New()";
constexpr const char* kAutoCommitError = "AutoCommit could not be set from TOdbc:New()";

// A connection-string value. Values holding ";" or braces would end the value
// early or open a braced value, letting a password (for instance) set other
// attributes: those are braced, with "}" doubled. Others go as they are.
std::string AttributeValue(const std::string& value) {
  if (value.find_first_of(";{}") == std::string::npos) return value;
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

}  // namespace

std::string TOdbc::ConnectionString(const std::string& dsn, const std::string& user,
                                    const std::string& password) {
  std::string s = "DSN=";
  if (!dsn.empty()) s += AttributeValue(dsn);
  if (!user.empty()) s += ";UID=" + AttributeValue(user);
  s += ";PWD=" + AttributeValue(password);
  return s;
}

std::shared_ptr<TOdbc> TOdbc::New(ui::Platform& platform, const std::string& cDSN,
                                  const std::string& cUser,
                                  const std::string& cPassword) {
  std::shared_ptr<TOdbc> o(new TOdbc());
  o->cDSN = config::Trim(cDSN);
  o->cUser = config::Trim(cUser);
  o->cPassword = config::Trim(cPassword);
  o->lSuccess = true;
  o->aErrors.clear();

  const std::string in = ConnectionString(o->cDSN, o->cUser, o->cPassword);

  // Version 2 allocation calls: the environment declares ODBC 2 behaviour, so
  // date-time columns are described as 11, date as 9, time as 10.
  SQLAllocEnv(&o->hEnv);
  SQLAllocConnect(o->hEnv, &o->hDbc);

  SQLCHAR out[kConnectOutChars + 1] = {};
  SQLSMALLINT out_length = 0;
  // No window handle: the driver manager cannot prompt, so completion behaves
  // like no prompting.
  SQLRETURN rc = SQLDriverConnect(
      o->hDbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(in.c_str())),
      SQL_NTS, out, kConnectOutChars, &out_length, SQL_DRIVER_COMPLETE);
  if (!Succeeded(rc)) {
    o->lSuccess = false;
    o->aErrors.push_back({kConnectError, rc});
    platform.Alert(std::string(kConnectError) + "\r\n[# " + std::to_string(rc) + "]");
    return o;
  }
  o->connected_ = true;

  o->cConnect = reinterpret_cast<const char*>(out);
  // The data source name as the driver echoed it: the first keyword's value.
  std::string first = o->cConnect.substr(0, o->cConnect.find(';'));
  size_t eq = first.find('=');
  o->cDSN = eq == std::string::npos ? first : first.substr(eq + 1);

  if (SQLSetConnectOption(o->hDbc, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_ON) != SQL_SUCCESS) {
    o->aErrors.push_back({kAutoCommitError, SQL_ERROR});
  }
  return o;
}

TOdbc::~TOdbc() { End(); }

std::shared_ptr<Statement> TOdbc::AllocateStatement(SQLRETURN* rc) {
  return StatementHandle::Allocate(hEnv, hDbc, rc);
}

void TOdbc::End() {
  if (connected_) {
    SQLDisconnect(hDbc);
    connected_ = false;
  }
  if (hDbc != SQL_NULL_HDBC) {
    SQLFreeConnect(hDbc);
    hDbc = SQL_NULL_HDBC;
  }
  if (hEnv != SQL_NULL_HENV) {
    SQLFreeEnv(hEnv);
    hEnv = SQL_NULL_HENV;
  }
}

void ODBCREMOTO(Session& session, config::TInicio& ini, const std::string& side) {
  if (session.OODBC) session.OODBC->End();

  const bool destination = side == "d" || side == "D";
  const std::string& name = destination ? ini.cDSNDestino : ini.cDSN;
  const std::string& user = destination ? ini.cUserDestino : ini.cUser;
  const std::string& password = destination ? ini.cPasswordDestino : ini.cPassword;

  if (ini.oODBC) {
    ini.oODBC->End();
    ini.oODBC.reset();
  }

  std::shared_ptr<TOdbc> connection = TOdbc::New(session.platform, name, user, password);
  session.OODBC = connection;
  if (!connection->lSuccess) {
    // The password never goes to Log.txt in clear.
    config::AppendLogLine(ini.cRuta + "Log.txt",
                          "Fallo de conexion: " + name + " " + user + " " +
                              config::kMaskedPassword + " -> ");
    connection->End();
  }
  ini.oODBC = connection;
}

bool OdbcConnectionChecker::CanConnect(const std::string& dsn, const std::string& user,
                                       const std::string& password) {
  std::shared_ptr<TOdbc> probe = TOdbc::New(platform_, dsn, user, password);
  const bool ok = probe->lSuccess;
  probe->End();
  return ok;
}

void OdbcConnectionChecker::EndConnection(std::shared_ptr<TOdbc>& connection) {
  if (connection) connection->End();
  connection.reset();
}

}  // namespace db
