#include "export/batch_text.h"

#include <ctime>

#include "config/text.h"
#include "db/literals.h"

namespace exporter {
namespace {

std::string LocalClockTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[8];
  std::strftime(text, sizeof text, "%H%M%S", &local);
  return text;
}

std::string (*g_clock)() = LocalClockTime;

}  // namespace

std::string DestinationTable(const std::string& BaseDestino, const std::string& table) {
  return db::BracketName(BaseDestino) + ".dbo." + table;
}

std::string StagingTable(const std::string& name) { return "#PASO_" + name; }

std::string DropStaging(const std::string& name) { return "DROP TABLE " + StagingTable(name); }

std::string Text(const std::string& value) { return db::QuoteText(value); }

std::string CastItem(const std::string& expression, const std::string& type,
                     const std::string& coll, const std::string& column) {
  return "CAST(" + expression + " AS " + type + " )" + coll + " AS " + column;
}

std::string StampStatement(const std::string& name) {
  return "UPDATE " + StagingTable(name) +
         " SET INDICADOR_ACCION='A',ACTIVO=1,FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),"
         "getdate(),112)";
}

std::string InsertMissing(const std::string& dest, const std::string& name,
                          const std::vector<std::string>& keys, const std::string& extra) {
  const std::string staging = StagingTable(name);
  std::vector<std::string> terms;
  for (const auto& key : keys) terms.push_back("X." + key + "=" + staging + "." + key);
  return "INSERT INTO " + dest + " SELECT * FROM " + staging +
         " WITH (NOLOCK) WHERE NOT EXISTS ( SELECT * FROM " + dest +
         " AS X WITH (NOLOCK) WHERE " + Join(terms, " AND ") + " )" + extra;
}

std::string UpdateChanged(const std::string& dest, const std::string& name,
                          const std::vector<std::string>& keys,
                          const std::vector<std::string>& set_columns,
                          const std::vector<std::string>& compared_columns) {
  const std::string staging = StagingTable(name);
  std::vector<std::string> sets, key_terms, compared;
  for (const auto& c : set_columns) sets.push_back(c + " = " + staging + "." + c);
  for (const auto& k : keys) key_terms.push_back(dest + "." + k + "=" + staging + "." + k);
  for (const auto& c : compared_columns) {
    compared.push_back(dest + "." + c + " <> " + staging + "." + c);
  }
  return "UPDATE " + dest + " SET " + Join(sets, " , ") + " FROM " + staging +
         " WITH (NOLOCK) WHERE " + Join(key_terms, " AND ") + " AND ( " +
         Join(compared, " OR ") + " )";
}

std::string ListCode(const std::string& cLista) {
  const size_t end = cLista.find_last_not_of(' ') + 1;  // npos + 1 == 0: all blanks
  size_t start = end;
  for (int taken = 0; taken < 3 && start > 0; ++taken) {
    --start;
    // Continuation bytes (10xxxxxx) belong to the character that precedes them.
    while (start > 0 && (static_cast<unsigned char>(cLista[start]) & 0xC0) == 0x80) --start;
  }
  return cLista.substr(start, end - start);
}

std::string ServiceClockTime() { return g_clock(); }

void SetServiceClock(std::string (*clock)()) { g_clock = clock ? clock : LocalClockTime; }

}  // namespace exporter
