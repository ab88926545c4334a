#include "support/schema_ddl.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <sstream>

#include "support/files.h"

namespace testsupport {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string StripBrackets(std::string name) {
  name.erase(std::remove(name.begin(), name.end(), '['), name.end());
  name.erase(std::remove(name.begin(), name.end(), ']'), name.end());
  return name;
}

using Layouts = std::map<std::string, std::vector<ColumnLayout>>;
using Required = std::map<std::string, std::set<std::string>>;

void ParseTables(const std::string& text, Layouts& layouts, Required& required) {
  std::istringstream in(text);
  std::string line;
  std::vector<ColumnLayout>* table = nullptr;
  std::set<std::string>* current = nullptr;
  while (std::getline(in, line)) {
    const std::string upper = Upper(Trim(line));
    if (upper.rfind("CREATE TABLE ", 0) == 0) {
      std::string name = StripBrackets(Trim(upper.substr(13)));
      name = name.substr(0, name.find_first_of(" ("));
      if (name.rfind("DBO.", 0) == 0) name = name.substr(4);
      table = &layouts[name];
      table->clear();
      current = &required[name];
      current->clear();
      continue;
    }
    if (!table) continue;
    if (upper.empty() || upper.rfind("CONSTRAINT", 0) == 0 || upper.rfind("--", 0) == 0) continue;
    if (upper[0] == ')') {
      table = nullptr;
      continue;
    }
    std::istringstream words(upper);
    std::string column, type;
    words >> column >> type;
    if (!type.empty() && type.back() == ',') type.pop_back();
    table->push_back({StripBrackets(column), NormalType(type)});
    if (upper.find("NOT NULL") != std::string::npos &&
        upper.find("IDENTITY") == std::string::npos) {
      current->insert(StripBrackets(column));
    }
  }
}

struct Schema {
  Layouts layouts;
  Required required;
};

const Schema& Side(const std::string& side) {
  static std::map<std::string, Schema> cache;
  auto found = cache.find(side);
  if (found != cache.end()) return found->second;
  Schema& schema = cache[side];
  const std::filesystem::path file = std::filesystem::path(QV_SCHEMA_DIR) / (side + ".sql");
  ParseTables(ReadFile(file), schema.layouts, schema.required);
  return schema;
}

std::vector<ColumnLayout> Columns(const std::string& side, const std::string& table) {
  const Layouts& layouts = Side(side).layouts;
  auto found = layouts.find(Upper(table));
  return found == layouts.end() ? std::vector<ColumnLayout>{} : found->second;
}

// Splits at commas outside parentheses and quotes.
std::vector<std::string> SplitItems(const std::string& list) {
  std::vector<std::string> items;
  std::string current;
  int depth = 0;
  bool quoted = false;
  for (char c : list) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')') --depth;
    if (!quoted && depth == 0 && c == ',') {
      items.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!Trim(current).empty()) items.push_back(current);
  return items;
}

// Position of the last " AS " at parenthesis depth 0 (outside quotes).
size_t LastTopLevelAs(const std::string& upper) {
  size_t found = std::string::npos;
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < upper.size(); ++i) {
    const char c = upper[i];
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth == 0 && upper.compare(i, 4, " AS ") == 0) found = i;
  }
  return found;
}

}  // namespace

std::string NormalType(const std::string& type) {
  std::string out;
  for (char c : type) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

std::set<std::string> RequiredColumns(const std::string& side, const std::string& table) {
  const Required& required = Side(side).required;
  auto found = required.find(Upper(table));
  return found == required.end() ? std::set<std::string>{} : found->second;
}

std::vector<ColumnLayout> DestinationColumns(const std::string& table) {
  return Columns("velmora", table);
}

std::vector<ColumnLayout> OriginColumns(const std::string& table) {
  return Columns("quorix", table);
}

std::vector<ColumnLayout> StagingColumns(const std::string& create_statement) {
  const std::string upper = Upper(create_statement);
  size_t begin = upper.find("SELECT ");
  if (begin == std::string::npos) return {};
  begin += 7;
  if (upper.compare(begin, 9, "DISTINCT ") == 0) begin += 9;
  const size_t end = upper.find(" INTO #PASO_", begin);
  if (end == std::string::npos) return {};
  std::vector<ColumnLayout> columns;
  for (const std::string& raw : SplitItems(create_statement.substr(begin, end - begin))) {
    const std::string item = Trim(raw);
    const std::string item_upper = Upper(item);
    const size_t as = LastTopLevelAs(item_upper);
    ColumnLayout column;
    column.name = as == std::string::npos ? "" : Trim(item_upper.substr(as + 4));
    if (item_upper.rfind("CAST(", 0) == 0) {
      // CAST(<expr> AS <type> ) ...: the type runs from the last " AS " inside
      // the parentheses to their close.
      int depth = 0;
      size_t close = std::string::npos;
      for (size_t i = 4; i < item_upper.size(); ++i) {
        if (item_upper[i] == '(') ++depth;
        if (item_upper[i] == ')' && --depth == 0) {
          close = i;
          break;
        }
      }
      if (close != std::string::npos) {
        const std::string inner = item_upper.substr(5, close - 5);
        const size_t type_at = LastTopLevelAs(inner);
        if (type_at != std::string::npos) column.type = NormalType(inner.substr(type_at + 4));
      }
    }
    columns.push_back(column);
  }
  return columns;
}

}  // namespace testsupport
