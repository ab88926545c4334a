// T-SQL grammar check for composed statement texts, with a real T-SQL parser
// (sqlfluff, tsql dialect). Python start-up is slow, so CheckTsqlAll parses a
// whole list of statements in one sqlfluff run.
//
// Before parsing, a statement is brought into plain T-SQL: the ODBC escapes
// {d '...'}, {t '...'}, {ts '...'} become their quoted literal, {fn ...} and
// {oj ...} their contents; texts inside quotes, brackets and comments are left
// alone. "go" lines are batch separators and CR LF line ends are fine.
//
// A statement fails when the parser finds an unparsable section or cannot lex
// it, when it is empty, and when sqlfluff is missing or its run goes wrong (the
// detail says which). Style rules play no part.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

struct TsqlVerdict {
  bool ok = false;
  bool checked = false;  // false: the parser could not run (detail says why)
  std::string detail;  // the parser's findings when not ok
};

// Checks one statement text (one sqlfluff run).
TsqlVerdict CheckTsql(const std::string& statement);

// Checks every statement in one sqlfluff run; one verdict per statement, in order.
std::vector<TsqlVerdict> CheckTsqlAll(const std::vector<std::string>& statements);

// The text handed to the parser: ODBC escapes replaced, and the few valid T-SQL
// forms the installed parser's grammar lacks rewritten to an equivalent form.
std::string ToParsableTsql(const std::string& statement);

// gtest assertions: success, or a failure message naming every statement the
// parser rejected together with its findings.
::testing::AssertionResult IsTsql(const std::string& statement);
::testing::AssertionResult AreTsql(const std::vector<std::string>& statements);

}  // namespace testsupport

#define EXPECT_TSQL(statement) EXPECT_TRUE(::testsupport::IsTsql(statement))
#define ASSERT_TSQL(statement) ASSERT_TRUE(::testsupport::IsTsql(statement))
// One sqlfluff run for a whole list: prefer it over EXPECT_TSQL in a loop.
#define EXPECT_ALL_TSQL(statements) EXPECT_TRUE(::testsupport::AreTsql(statements))
