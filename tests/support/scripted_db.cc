#include "support/scripted_db.h"

#include <regex>
#include <utility>

namespace testsupport {

using Rule = ScriptedConnection::Rule;
using State = ScriptedConnection::State;

// A statement answered from the script. Errors carry a diagnostic as a driver
// would: state and message of the last failed call.
class ScriptedStatement : public db::Statement {
 public:
  explicit ScriptedStatement(std::shared_ptr<State> state) : state_(std::move(state)) {
    ++state_->open_statements;
  }
  ~ScriptedStatement() override { Free(); }

  SQLRETURN ExecDirect(const std::string& sql) override {
    if (freed_) return SQL_INVALID_HANDLE;
    state_->statements.push_back(sql);
    executed_ = true;
    columns_.clear();
    rows_.clear();
    row_ = -1;
    affected_ = 0;
    for (const auto& rule : state_->rules) {
      if (rule->uses_left == 0 || !rule->matches(sql)) continue;
      if (rule->uses_left > 0) --rule->uses_left;
      if (rule->failure) return Error("42000", *rule->failure);
      columns_ = rule->columns;
      rows_ = rule->rows;
      affected_ = rule->affected;
      return SQL_SUCCESS;
    }
    if (state_->fail_unscripted) return Error("42000", "unscripted statement: " + sql);
    return SQL_SUCCESS;
  }

  SQLRETURN RowCount(SQLLEN* count) override {
    if (freed_) return SQL_INVALID_HANDLE;
    *count = affected_;
    return SQL_SUCCESS;
  }

  SQLRETURN Fetch() override {
    if (freed_) return SQL_INVALID_HANDLE;
    if (!executed_) return Error("HY010", "Function sequence error");
    if (row_ + 1 >= static_cast<int>(rows_.size())) {
      row_ = static_cast<int>(rows_.size());
      return SQL_NO_DATA;
    }
    ++row_;
    last_read_ = 0;
    return SQL_SUCCESS;
  }

  SQLRETURN NumResultCols(SQLSMALLINT* count) override {
    if (freed_) return SQL_INVALID_HANDLE;
    if (!executed_) return Error("HY010", "Function sequence error");
    *count = static_cast<SQLSMALLINT>(columns_.size());
    return SQL_SUCCESS;
  }

  SQLRETURN DescribeCol(SQLUSMALLINT column, db::ColumnDescription* out) override {
    if (freed_) return SQL_INVALID_HANDLE;
    if (column < 1 || column > columns_.size()) {
      return Error("07009", "Invalid descriptor index");
    }
    *out = columns_[column - 1];
    return SQL_SUCCESS;
  }

  SQLRETURN GetText(SQLUSMALLINT column, size_t max_bytes, std::string* text,
                    bool* is_null) override {
    text->clear();
    *is_null = false;
    if (freed_) return SQL_INVALID_HANDLE;
    if (row_ < 0 || row_ >= static_cast<int>(rows_.size())) {
      return Error("24000", "Invalid cursor state");
    }
    // Like a forward-only driver: each column once, in ascending order.
    if (column < 1 || column > columns_.size() || column <= last_read_) {
      return Error("07009", "Invalid descriptor index");
    }
    last_read_ = column;
    const ScriptedRow& row = rows_[row_];
    const ScriptedValue value = column <= row.size() ? row[column - 1] : std::nullopt;
    if (!value) {
      *is_null = true;
      return SQL_SUCCESS;
    }
    // The buffer keeps its last byte for the terminator.
    const size_t room = max_bytes > 0 ? max_bytes - 1 : 0;
    *text = value->substr(0, room);
    return value->size() > room ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
  }

  db::Diagnostic FirstDiagnostic() override { return diagnostic_; }

  void Free() override {
    if (freed_) return;
    freed_ = true;
    --state_->open_statements;
  }
  bool freed() const override { return freed_; }

 private:
  SQLRETURN Error(const char* sql_state, std::string message) {
    diagnostic_.status = SQL_SUCCESS;
    diagnostic_.state = sql_state;
    diagnostic_.message = std::move(message);
    return SQL_ERROR;
  }

  std::shared_ptr<State> state_;
  bool freed_ = false;
  bool executed_ = false;
  std::vector<db::ColumnDescription> columns_;
  std::vector<ScriptedRow> rows_;
  int row_ = -1;
  SQLUSMALLINT last_read_ = 0;
  SQLLEN affected_ = 0;
  db::Diagnostic diagnostic_{SQL_NO_DATA, "", 0, ""};
};

Rule& Rule::Returns(std::vector<db::ColumnDescription> result_columns,
                    std::vector<ScriptedRow> result_rows) {
  failure.reset();
  columns = std::move(result_columns);
  rows = std::move(result_rows);
  return *this;
}

Rule& Rule::Fails(std::string message) {
  failure = std::move(message);
  return *this;
}

Rule& Rule::Succeeds() {
  failure.reset();
  columns.clear();
  rows.clear();
  return *this;
}

Rule& Rule::Affects(SQLLEN n) {
  affected = n;
  return *this;
}

Rule& Rule::Times(int n) {
  uses_left = n;
  return *this;
}

Rule& ScriptedConnection::Add(std::function<bool(const std::string&)> test) {
  state_->rules.push_back(std::make_unique<Rule>());
  state_->rules.back()->matches = std::move(test);
  return *state_->rules.back();
}

Rule& ScriptedConnection::On(std::string text) {
  return Add([text = std::move(text)](const std::string& sql) { return sql == text; });
}

Rule& ScriptedConnection::OnPrefix(std::string prefix) {
  return Add([prefix = std::move(prefix)](const std::string& sql) {
    return sql.compare(0, prefix.size(), prefix) == 0;
  });
}

Rule& ScriptedConnection::OnRegex(const std::string& pattern) {
  return Add([re = std::regex(pattern)](const std::string& sql) {
    return std::regex_search(sql, re);
  });
}

Rule& ScriptedConnection::OnMatch(std::function<bool(const std::string&)> test) {
  return Add(std::move(test));
}

std::shared_ptr<db::Statement> ScriptedConnection::AllocateStatement(SQLRETURN* rc) {
  // An ended connection has no handle to allocate on, as with ODBC.
  SQLRETURN result = state_->ended ? SQL_INVALID_HANDLE : SQL_SUCCESS;
  if (result == SQL_SUCCESS && state_->failing_allocations > 0) {
    --state_->failing_allocations;
    result = SQL_ERROR;
  }
  if (rc) *rc = result;
  if (result != SQL_SUCCESS) return nullptr;
  return std::make_shared<ScriptedStatement>(state_);
}

}  // namespace testsupport
