#include "support/sqlserver.h"

#include <cstdlib>
#include <sstream>

#include "db/statement.h"
#include "support/files.h"

namespace testsupport {
namespace {

// The value of `key` in an ODBC connection string (keys compared upper-case).
std::string Attribute(const std::string& connection, const std::string& key) {
  std::istringstream in(connection);
  std::string part;
  while (std::getline(in, part, ';')) {
    const auto eq = part.find('=');
    if (eq == std::string::npos) continue;
    std::string name = part.substr(0, eq);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == key) return part.substr(eq + 1);
  }
  return "";
}

bool Exec(db::Session& session, const std::string& sql, std::string* error) {
  std::string text;
  if (db::EJECUTESQL(session, sql, &text)) return true;
  if (error) *error = text + "\n" + sql;
  return false;
}

}  // namespace

std::string SqlServerConnectionString() {
  const char* value = std::getenv("QV_TEST_SQLSERVER");
  return value ? value : "";
}

bool RunScript(db::Session& session, const std::string& script, std::string* error) {
  std::istringstream in(script);
  std::string line, batch;
  auto flush = [&]() {
    const bool blank = batch.find_first_not_of(" \t\r\n") == std::string::npos;
    const bool ok = blank || Exec(session, batch, error);
    batch.clear();
    return ok;
  };
  while (std::getline(in, line)) {
    std::string trimmed = line;
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    while (!trimmed.empty() && (trimmed.back() == '\r' || trimmed.back() == ' ')) trimmed.pop_back();
    if (trimmed == "GO" || trimmed == "go") {
      if (!flush()) return false;
    } else {
      batch += line + "\n";
    }
  }
  return flush();
}

bool CreateSqlServerPair(db::Session& session, const std::string& tag, SqlServerPair* pair,
                         std::string* error) {
  const std::string connection = SqlServerConnectionString();
  session.OODBC = db::TOdbc::New(session.platform, Attribute(connection, "DSN"),
                                 Attribute(connection, "UID"), Attribute(connection, "PWD"));
  if (!session.OODBC->lSuccess) {
    *error = "cannot connect with QV_TEST_SQLSERVER";
    return false;
  }
  pair->origin = "QVT_QUORIX_" + tag;
  pair->destination = "QVT_VELMORA_" + tag;
  DropSqlServerPair(session, *pair);
  const std::string schema = QV_SCHEMA_DIR;
  return Exec(session, "CREATE DATABASE [" + pair->origin + "]", error) &&
         Exec(session, "CREATE DATABASE [" + pair->destination + "]", error) &&
         Exec(session, "USE [" + pair->destination + "]", error) &&
         RunScript(session, ReadFile(schema + "/velmora.sql"), error) &&
         Exec(session, "USE [" + pair->origin + "]", error) &&
         RunScript(session, ReadFile(schema + "/quorix.sql"), error);
}

void DropSqlServerPair(db::Session& session, const SqlServerPair& pair) {
  db::EJECUTESQL(session, "USE [master]");
  for (const auto& name : {pair.origin, pair.destination}) {
    db::EJECUTESQL(session, "IF DB_ID('" + name + "') IS NOT NULL BEGIN ALTER DATABASE [" +
                                name + "] SET SINGLE_USER WITH ROLLBACK IMMEDIATE; DROP DATABASE [" +
                                name + "] END");
  }
}

}  // namespace testsupport
