#include "db/local_tables.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <system_error>
#include <thread>

#include "db/cursor.h"
#include "db/session.h"

namespace db {
namespace {

namespace fs = std::filesystem;

constexpr int kOpenTries = 10;
constexpr auto kOpenPause = std::chrono::milliseconds(100);

// How a value's kind is stored beside it, so that it reads back as it was
// written (a database number keeps its five decimals).
enum StoredKind { kStoredNone = 0, kStoredText, kStoredNumber, kStoredDbNumber, kStoredDate,
                  kStoredLogical };

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A table name doubles as a file name in the directory: it must stay inside it.
bool IsUsableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// Every file SQLite may keep for the table.
std::vector<fs::path> StoredFiles(const fs::path& table_file) {
  std::vector<fs::path> files = {table_file};
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    files.emplace_back(table_file.string() + suffix);
  }
  return files;
}

void RemoveStoredFiles(const fs::path& table_file) {
  std::error_code ignored;
  for (const fs::path& f : StoredFiles(table_file)) fs::remove(f, ignored);
}

// One prepared statement, finalized by its owner.
class Statement {
 public:
  Statement() = default;
  ~Statement() { Reset(); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Reset() {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
  bool Prepare(sqlite3* db, const std::string& sql) {
    Reset();
    return sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_,
                              nullptr) == SQLITE_OK;
  }
  sqlite3_stmt* get() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Runs a statement without results; false on any error.
bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void BindValue(sqlite3_stmt* stmt, int index, const Value& value) {
  int kind_index = index + 1;
  switch (value.kind()) {
    case Value::Kind::kText:
      sqlite3_bind_text(stmt, index, value.text().data(), static_cast<int>(value.text().size()),
                        SQLITE_TRANSIENT);
      sqlite3_bind_int(stmt, kind_index, kStoredText);
      break;
    case Value::Kind::kNumber:
      sqlite3_bind_double(stmt, index, value.number());
      sqlite3_bind_int(stmt, kind_index,
                       value.from_database() ? kStoredDbNumber : kStoredNumber);
      break;
    case Value::Kind::kDate: {
      Date d = value.date();
      sqlite3_bind_int(stmt, index, d.year * 10000 + d.month * 100 + d.day);
      sqlite3_bind_int(stmt, kind_index, kStoredDate);
      break;
    }
    case Value::Kind::kLogical:
      sqlite3_bind_int(stmt, index, value.logical() ? 1 : 0);
      sqlite3_bind_int(stmt, kind_index, kStoredLogical);
      break;
    case Value::Kind::kNone:
      sqlite3_bind_null(stmt, index);
      sqlite3_bind_int(stmt, kind_index, kStoredNone);
      break;
  }
}

Value ColumnValue(sqlite3_stmt* stmt, int index) {
  switch (sqlite3_column_int(stmt, index + 1)) {
    case kStoredText: {
      const unsigned char* text = sqlite3_column_text(stmt, index);
      int bytes = sqlite3_column_bytes(stmt, index);
      return Value::Text(text ? std::string(reinterpret_cast<const char*>(text), bytes) : "");
    }
    case kStoredNumber: return Value::Number(sqlite3_column_double(stmt, index));
    case kStoredDbNumber: return Value::DbNumber(sqlite3_column_double(stmt, index));
    case kStoredDate: {
      int n = sqlite3_column_int(stmt, index);
      return Value::FromDate(n == 0 ? Date{} : Date{n / 10000, n / 100 % 100, n % 100});
    }
    case kStoredLogical: return Value::Logical(sqlite3_column_int(stmt, index) != 0);
    default: return Value();
  }
}

Value BlankValue(const FieldSpec& field) {
  switch (field.kind) {
    case 'C': return Value::Text(std::string(static_cast<size_t>(std::max(field.width, 0)), ' '));
    case 'N': return Value::Number(0);
    case 'D': return Value::EmptyDate();
    case 'L': return Value::Logical(false);
    default: return Value::Text("");
  }
}

// The records table holds, per field i, the value column v{i} and its kind k{i};
// the rowid keeps insertion order.
std::string ValueColumns(size_t count) {
  std::string cols;
  for (size_t i = 0; i < count; ++i) {
    if (i) cols += ", ";
    cols += "v" + std::to_string(i) + ", k" + std::to_string(i);
  }
  return cols;
}

// An open local table: one SQLite connection holding the file's exclusive lock
// and one transaction for as long as the table is open, so that appends cost
// no disk synchronisation. The current record is kept in memory and written
// when the table moves off it (one INSERT per appended record).
class SqliteTable : public LocalTable {
 public:
  // Opens `file` exclusively; null when the file is missing, locked by someone
  // else or not a local table.
  static std::unique_ptr<SqliteTable> Open(const fs::path& file) {
    // The lock is taken at once (BEGIN EXCLUSIVE) and kept until the table is
    // closed (locking_mode EXCLUSIVE), so a second user fails to open it.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      return nullptr;
    }
    std::unique_ptr<SqliteTable> table(new SqliteTable(db, file));
    if (!table->Start()) return nullptr;
    return table;
  }

  ~SqliteTable() override {
    Flush();
    Exec(db_, "COMMIT");
    for (Statement* s : {&select_first_, &select_next_, &insert_, &update_}) s->Reset();
    sqlite3_close(db_);
  }

  const FieldList& fields() const override { return fields_; }
  size_t RecordCount() const override { return count_; }

  void Append() override {
    Flush();
    current_.clear();
    for (const FieldSpec& f : fields_) current_.push_back(BlankValue(f));
    current_id_ = ++last_id_;
    ++count_;
    pending_insert_ = true;
    dirty_ = true;
  }

  void Set(size_t field, const Value& value) override {
    if (Eof() || field >= current_.size()) return;
    current_[field] = value;
    dirty_ = true;
  }

  Value Get(size_t field) const override {
    if (field >= fields_.size()) return Value();
    if (Eof()) return BlankValue(fields_[field]);
    return current_[field];
  }

  int FieldIndex(const std::string& name) const override {
    const std::string wanted = Upper(name);
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (Upper(fields_[i].name) == wanted) return static_cast<int>(i);
    }
    return -1;
  }

  void GoTop() override {
    Flush();
    Load(select_first_.get(), 0);
  }

  void Skip() override {
    if (Eof()) return;
    Flush();
    Load(select_next_.get(), current_id_);
  }

  bool Eof() const override { return current_id_ == 0; }
  const fs::path& file() const { return file_; }
  const std::string& error() const override { return error_; }

 private:
  SqliteTable(sqlite3* db, fs::path file) : db_(db), file_(std::move(file)) {}

  // Takes the exclusive lock at once and reads the field list.
  bool Start() {
    sqlite3_busy_timeout(db_, 0);  // NET_USE does its own retries
    // A work table needs no crash safety (a leftover is replaced on the next
    // creation): no journal, no synchronisation.
    if (!Exec(db_, "PRAGMA locking_mode=EXCLUSIVE") || !Exec(db_, "PRAGMA journal_mode=OFF") ||
        !Exec(db_, "PRAGMA synchronous=OFF") || !Exec(db_, "BEGIN EXCLUSIVE")) {
      return false;
    }
    Statement fields;
    if (!fields.Prepare(db_, "SELECT name, kind, width, decimals FROM fields ORDER BY pos")) {
      return false;
    }
    while (sqlite3_step(fields.get()) == SQLITE_ROW) {
      FieldSpec f;
      const unsigned char* name = sqlite3_column_text(fields.get(), 0);
      const unsigned char* kind = sqlite3_column_text(fields.get(), 1);
      f.name = name ? reinterpret_cast<const char*>(name) : "";
      f.kind = kind && *kind ? static_cast<char>(*kind) : 'U';
      f.width = sqlite3_column_int(fields.get(), 2);
      f.decimals = sqlite3_column_int(fields.get(), 3);
      fields_.push_back(f);
    }
    Statement count;
    if (!count.Prepare(db_, "SELECT count(*), coalesce(max(rowid), 0) FROM records") ||
        sqlite3_step(count.get()) != SQLITE_ROW) {
      return false;
    }
    count_ = static_cast<size_t>(sqlite3_column_int64(count.get(), 0));
    last_id_ = sqlite3_column_int64(count.get(), 1);

    const std::string cols = ValueColumns(fields_.size());
    const std::string select = "SELECT rowid" + (cols.empty() ? "" : ", " + cols) + " FROM records";
    std::string insert = "INSERT INTO records (rowid" + (cols.empty() ? "" : ", " + cols) +
                         ") VALUES (?";
    std::string update = "UPDATE records SET ";
    for (size_t i = 0; i < fields_.size(); ++i) {
      insert += ", ?, ?";
      update += (i ? ", " : "") + std::string("v") + std::to_string(i) + " = ?, k" +
                std::to_string(i) + " = ?";
    }
    insert += ")";
    update += fields_.empty() ? "rowid = rowid" : "";
    update += " WHERE rowid = ?";
    if (!select_first_.Prepare(db_, select + " ORDER BY rowid LIMIT 1") ||
        !select_next_.Prepare(db_, select + " WHERE rowid > ? ORDER BY rowid LIMIT 1") ||
        !insert_.Prepare(db_, insert) || !update_.Prepare(db_, update)) {
      return false;
    }
    GoTop();
    return true;
  }

  // Makes the first row of `stmt` (rowid above `after`) current, or goes to
  // the end.
  void Load(sqlite3_stmt* stmt, sqlite3_int64 after) {
    sqlite3_reset(stmt);
    if (after) sqlite3_bind_int64(stmt, 1, after);
    current_id_ = 0;
    current_.clear();
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
      current_id_ = sqlite3_column_int64(stmt, 0);
      for (size_t i = 0; i < fields_.size(); ++i) {
        current_.push_back(ColumnValue(stmt, 1 + 2 * static_cast<int>(i)));
      }
    } else if (rc != SQLITE_DONE) {
      Fail();
    }
    sqlite3_reset(stmt);
  }

  // Writes the current record when it changed.
  void Flush() {
    if (!dirty_ || current_id_ == 0) return;
    sqlite3_stmt* stmt = pending_insert_ ? insert_.get() : update_.get();
    sqlite3_reset(stmt);
    int next = 1;
    if (pending_insert_) sqlite3_bind_int64(stmt, next++, current_id_);
    for (const Value& v : current_) {
      BindValue(stmt, next, v);
      next += 2;
    }
    if (!pending_insert_) sqlite3_bind_int64(stmt, next, current_id_);
    if (sqlite3_step(stmt) != SQLITE_DONE) Fail();
    sqlite3_reset(stmt);
    dirty_ = false;
    pending_insert_ = false;
  }

  void Fail() {
    if (error_.empty()) error_ = sqlite3_errmsg(db_);
  }

  sqlite3* db_;
  fs::path file_;
  FieldList fields_;
  Statement select_first_, select_next_, insert_, update_;
  std::vector<Value> current_;
  sqlite3_int64 current_id_ = 0;  // 0: end of table
  sqlite3_int64 last_id_ = 0;
  size_t count_ = 0;
  bool dirty_ = false;
  bool pending_insert_ = false;
  std::string error_;
};

// Writes a new, empty table file with the field list; false on any error.
bool WriteNewTable(const fs::path& file, const FieldList& fields) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) == SQLITE_OK &&
            Exec(db, "PRAGMA journal_mode=OFF") &&
            Exec(db, "BEGIN") &&
            Exec(db,
                 "CREATE TABLE fields (pos INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                 "kind TEXT NOT NULL, width INTEGER NOT NULL, decimals INTEGER NOT NULL)");
  std::string create = "CREATE TABLE records (";
  for (size_t i = 0; i < fields.size(); ++i) {
    create += (i ? ", " : "") + std::string("v") + std::to_string(i) + ", k" +
              std::to_string(i) + " INTEGER";
  }
  create += fields.empty() ? "unused)" : ")";
  ok = ok && Exec(db, create.c_str());
  Statement insert;
  ok = ok && insert.Prepare(db, "INSERT INTO fields VALUES (?, ?, ?, ?, ?)");
  for (size_t i = 0; ok && i < fields.size(); ++i) {
    const FieldSpec& f = fields[i];
    sqlite3_bind_int64(insert.get(), 1, static_cast<sqlite3_int64>(i));
    sqlite3_bind_text(insert.get(), 2, f.name.data(), static_cast<int>(f.name.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 3, &f.kind, 1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.get(), 4, f.width);
    sqlite3_bind_int(insert.get(), 5, f.decimals);
    ok = sqlite3_step(insert.get()) == SQLITE_DONE;
    sqlite3_reset(insert.get());
  }
  insert.Reset();
  ok = ok && Exec(db, "COMMIT");
  sqlite3_close(db);
  return ok;
}

}  // namespace

Value LocalTable::Get(const std::string& name) const {
  int i = FieldIndex(name);
  return i < 0 ? Value() : Get(static_cast<size_t>(i));
}

void LocalTable::Set(const std::string& name, const Value& value) {
  int i = FieldIndex(name);
  if (i >= 0) Set(static_cast<size_t>(i), value);
}

LocalTables::LocalTables() = default;
LocalTables::~LocalTables() = default;

namespace {
fs::path TableFile(const fs::path& directory, const std::string& name) {
  return directory / (Upper(name) + ".sqlite");
}
}  // namespace

bool LocalTables::Create(const std::string& name, const FieldList& fields) {
  if (!IsUsableName(name)) return false;
  const fs::path file = TableFile(directory_, name);
  // The table still open here under any alias is closed first: its file is
  // replaced.
  for (auto it = open_.begin(); it != open_.end();) {
    auto* table = dynamic_cast<SqliteTable*>(it->second.get());
    it = table && table->file() == file ? open_.erase(it) : std::next(it);
  }
  std::error_code ec;
  fs::create_directories(directory_, ec);
  RemoveStoredFiles(file);
  if (WriteNewTable(file, fields)) return true;
  RemoveStoredFiles(file);
  return false;
}

bool LocalTables::NET_USE(const std::string& name, const std::string& alias) {
  if (!IsUsableName(name)) return false;
  const std::string key = Upper(alias.empty() ? name : alias);
  open_.erase(key);  // a new table in an alias closes the one it held
  const fs::path file = TableFile(directory_, name);
  // Tables are written with no journal; the rollback journal of a foreign
  // writer is left alone, since deleting a live journal corrupts the file.
  for (int attempt = 1; attempt <= kOpenTries; ++attempt) {
    if (std::unique_ptr<SqliteTable> table = SqliteTable::Open(file)) {
      open_[key] = std::move(table);
      return true;
    }
    if (attempt < kOpenTries) std::this_thread::sleep_for(kOpenPause);
  }
  return false;
}

LocalTable* LocalTables::Find(const std::string& alias) {
  auto it = open_.find(Upper(alias));
  return it == open_.end() ? nullptr : it->second.get();
}

void LocalTables::Close(const std::string& alias) { open_.erase(Upper(alias)); }

bool LocalTables::CIERRABORRA(const std::string& name) {
  Close(name);
  if (IsUsableName(name)) RemoveStoredFiles(TableFile(directory_, name));
  return true;
}

void ESTR(const std::vector<SqlColumn>& row, FieldList& fields) {
  for (const SqlColumn& c : row) fields.push_back({c.name, c.kind, c.width, c.decimals});
}

bool GENDBF(Session& session, const Cursor& cursor, std::vector<SqlColumn>& row,
            const std::string& name, bool close, const std::string& alias,
            const FieldList& extraFields, bool create, bool fill) {
  const std::string work_alias = alias.empty() ? name : alias;
  session.platform.WaitPointer(true);
  bool opened = false;
  if (create) {
    FieldList fields;
    ESTR(row, fields);
    fields.insert(fields.end(), extraFields.begin(), extraFields.end());
    opened = session.locals.Create(name, fields) && session.locals.NET_USE(name, work_alias);
  }
  // Without create the caller's own table under the alias is filled; a failed
  // creation leaves whatever the alias holds alone.
  LocalTable* table = opened || !create ? session.locals.Find(work_alias) : nullptr;
  if (fill && table) {
    do {
      table->Append();
      // Read every column by name first: the cursor loads them as a prefix of
      // the row. Field i then takes column i's own value, which also holds for
      // a name that occurs twice in the row.
      for (const SqlColumn& c : row) VCC(session, row, c.name);
      for (size_t i = 0; i < row.size(); ++i) {
        table->Set(i, row[i].loaded ? row[i].value : VCC(session, row, row[i].name));
      }
    } while (SKIPSQL(cursor, row) != 0);
  }
  session.platform.WaitPointer(false);
  bool complete = true;
  if (table) {
    table->GoTop();  // also writes the last record
    complete = table->error().empty();
    if (close) session.locals.Close(work_alias);
  }
  return opened && complete;
}

}  // namespace db
