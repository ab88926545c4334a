// Local temporary tables: keyed work tables in the local-table directory
// (DEFATMP), one SQLite file per table name, used under an alias. A query result
// copied into one (GENDBF) can be walked while further statements run on the
// connection, which an open cursor would occupy. Tables are opened exclusively,
// with ten tries 0.1 s apart (NET_USE).
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/value.h"

namespace db {

struct Session;
struct SqlColumn;
class Statement;

struct FieldSpec {
  std::string name;
  char kind = 'C';
  int width = 0;
  int decimals = 0;
};
using FieldList = std::vector<FieldSpec>;

// One open local table: records in insertion order, fields by position or
// name, first/next/end navigation.
class LocalTable {
 public:
  virtual ~LocalTable() = default;
  virtual const FieldList& fields() const = 0;
  virtual size_t RecordCount() const = 0;
  // Appends a blank record (text fields of kind C blank to their width,
  // numbers 0, the empty date, false, other kinds empty text) and makes it
  // current.
  virtual void Append() = 0;
  virtual void Set(size_t field, const Value& value) = 0;
  virtual Value Get(size_t field) const = 0;
  // Position of the field named `name` (upper-cased comparison), or -1.
  virtual int FieldIndex(const std::string& name) const = 0;
  virtual void GoTop() = 0;
  virtual void Skip() = 0;
  virtual bool Eof() const = 0;
  // Empty unless a write to the table's storage failed (the table is then
  // incomplete and must not be trusted).
  virtual const std::string& error() const = 0;

  Value Get(const std::string& name) const;
  void Set(const std::string& name, const Value& value);
};

// The work areas: open local tables by alias (compared upper-cased), and their
// directory. Table `name` is stored as the file NAME.sqlite (the name
// upper-cased, as names are case-insensitive); a name that is empty or holds a
// path separator is refused.
class LocalTables {
 public:
  LocalTables();
  ~LocalTables();

  void SetDirectory(std::filesystem::path directory) { directory_ = std::move(directory); }
  const std::filesystem::path& directory() const { return directory_; }

  // Creates table `name` with `fields`, replacing one left from an earlier use.
  bool Create(const std::string& name, const FieldList& fields);
  // Opens table `name` exclusively under `alias` (default: the name).
  bool NET_USE(const std::string& name, const std::string& alias = "");
  // The table open under `alias`, or null.
  LocalTable* Find(const std::string& alias);
  void Close(const std::string& alias);
  // Closes the table open under `name` and deletes everything stored for it.
  bool CIERRABORRA(const std::string& name);

 private:
  std::filesystem::path directory_;
  std::map<std::string, std::unique_ptr<LocalTable>> open_;
};

// Appends one field description {name, kind, width, decimals} per column.
void ESTR(const std::vector<SqlColumn>& row, FieldList& fields);

// Copies the rows of an open cursor (positioned on its first row) into the
// local table `name`. Returns the result of opening the new table (false when
// `create` is false, and when a record could not be written).
bool GENDBF(Session& session, const std::shared_ptr<Statement>& cursor,
            std::vector<SqlColumn>& row, const std::string& name, bool close = true,
            const std::string& alias = "", const FieldList& extraFields = {},
            bool create = true, bool fill = true);

}  // namespace db
