// ScriptedConnection: an in-memory database double behind the access layer's
// seam (db::Connection). It records every statement text sent, in order, and
// answers from rules a test adds:
//
//   auto db = std::make_shared<testsupport::ScriptedConnection>();
//   db->On("SELECT TOP 1 ...").Returns({{"RAZON", SQL_VARCHAR, 50, 0}}, {{"Acme"}});
//   db->OnPrefix("INSERT INTO EMPRESAS").Fails("duplicate key").Once();
//   session.OODBC = db;
//   ... run the code ...
//   EXPECT_EQ(db->statements(), (std::vector<std::string>{...}));
//
// Rules are tried in the order added; the first that matches and has uses left
// answers. A statement no rule matches succeeds with no columns and no rows,
// or, with FailUnscripted(), fails with "unscripted statement: " + its text.
// Values are delivered as a driver delivers SQLGetData text: cut to the
// caller's buffer, NULL as NULL, columns of a row only in ascending order.
#pragma once

#include <sql.h>
#include <sqlext.h>  // the SQL type codes scripts use

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"

namespace testsupport {

class ScriptedStatement;  // the statements handed out (scripted_db.cc)

using ScriptedValue = std::optional<std::string>;  // nullopt: NULL
using ScriptedRow = std::vector<ScriptedValue>;

class ScriptedConnection : public db::Connection {
 public:
  class Rule {
   public:
    // The statement returns these columns and rows.
    Rule& Returns(std::vector<db::ColumnDescription> columns, std::vector<ScriptedRow> rows);
    // The statement fails (SQL_ERROR) with `message` as its first diagnostic.
    Rule& Fails(std::string message);
    // The statement runs and returns no result set (the default answer).
    Rule& Succeeds();
    // The statement reports `n` affected rows (INSERT, UPDATE, DELETE).
    Rule& Affects(SQLLEN n);
    // The rule answers only its first `n` matching statements.
    Rule& Times(int n);
    Rule& Once() { return Times(1); }

   private:
    friend class ScriptedConnection;
    friend class ScriptedStatement;
    std::function<bool(const std::string&)> matches;
    int uses_left = -1;  // -1: unlimited
    std::optional<std::string> failure;
    SQLLEN affected = 0;
    std::vector<db::ColumnDescription> columns;
    std::vector<ScriptedRow> rows;
  };

  ScriptedConnection() { lSuccess = true; }

  Rule& On(std::string text);                                   // exact text
  Rule& OnPrefix(std::string prefix);                           // text starts with
  Rule& OnRegex(const std::string& pattern);                    // regex_search
  Rule& OnMatch(std::function<bool(const std::string&)> test);  // any predicate

  // Unmatched statements fail with "unscripted statement: " + text.
  void FailUnscripted(bool on = true) { state_->fail_unscripted = on; }
  // The next `n` statement allocations fail (SQL_ERROR, no statement).
  void FailAllocations(int n = 1) { state_->failing_allocations = n; }

  // Every statement text executed, in order.
  const std::vector<std::string>& statements() const { return state_->statements; }
  // Statements allocated and not yet freed (freed by Free or destruction).
  int open_statements() const { return state_->open_statements; }
  bool ended() const { return state_->ended; }

  std::shared_ptr<db::Statement> AllocateStatement(SQLRETURN* rc) override;
  void End() override { state_->ended = true; }

  // Shared with the statements handed out, so they outlive the connection.
  struct State {
    std::vector<std::unique_ptr<Rule>> rules;
    std::vector<std::string> statements;
    bool fail_unscripted = false;
    int failing_allocations = 0;
    int open_statements = 0;
    bool ended = false;
  };

 private:
  Rule& Add(std::function<bool(const std::string&)> test);
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace testsupport
