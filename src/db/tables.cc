#include "db/tables.h"

#include "db/cursor.h"
#include "db/statement.h"

namespace db {

namespace {

// The name as it stands inside N'[dbo].[...]': "]" doubled for the bracketed
// identifier, then "'" doubled for the string literal around it.
std::string EscapedName(const std::string& name) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == ']') out += ']';
  }
  std::string quoted;
  for (char c : out) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

}  // namespace

const char* const kCreateEmpresas =
    "CREATE TABLE [dbo].[EMPRESAS](  [EMPRESA] [char](2)     NOT NULL, [RAZON]   [varchar](50) NULL DEFAULT 0,  [ACTIVA]  [bit]         NULL DEFAULT 0,   [MODALIDAD] [char](5)   NULL DEFAULT '00000' ) ON [PRIMARY]  \r\n\r\n"
    "ALTER TABLE [dbo].[EMPRESAS] WITH NOCHECK ADD           CONSTRAINT [PK_EMPRESAS] PRIMARY KEY  CLUSTERED  (                   [EMPRESA]  )  ON [PRIMARY] ";

std::string ExistsTableStatement(const std::string& name) {
  return "if exists ( select *  from dbo.sysobjects  where id = object_id(N'[dbo].[" + EscapedName(name) + "]') " +
         " and OBJECTPROPERTY(id, N'IsUserTable') = 1) " +
         "BEGIN SELECT CAST( 1 AS INT ) AS EXISTE END ELSE BEGIN SELECT CAST( 0 AS INT ) AS EXISTE END ";
}

bool EXISTETABLA(Session& session, const std::string& name) {
  SqlRow row;
  bool found = false;
  Cursor cursor = CREARCURSOR(session, row, ExistsTableStatement(name), found);
  if (found) VCT(row);
  LIBERACURSOR(session, cursor);
  // A failed query leaves the row without EXISTE: VCC then ends the program.
  const Value& exists = VCC(session, row, "EXISTE");
  return exists.is_number() && exists.number() == 1.0;
}

bool CREARTABLASQL(Session& session, const std::string& name, std::string* errorText) {
  if (name == "EMPRESAS") return EJECUTESQL(session, kCreateEmpresas, errorText);
  if (errorText) *errorText = "No existe para creación automática";
  return false;
}

}  // namespace db
