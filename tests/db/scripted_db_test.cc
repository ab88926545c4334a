// The access layer driven by the scripted database double: the same code that
// runs over ODBC, fed scripted columns and rows, sends exactly the statements
// expected and reads the values as the type table says. Also checks the double
// itself where later tests lean on it (rule order, once, unscripted, order of
// column reads).
#include "support/scripted_db.h"

#include <gtest/gtest.h>

#include "config/trace.h"
#include "db/cursor.h"
#include "db/local_tables.h"
#include "db/lookups.h"
#include "db/session.h"
#include "db/statement.h"
#include "db/tables.h"
#include "support/odbc_test_env.h"
#include "ui/recording_platform.h"

namespace {

using db::Date;
using db::SqlRow;
using db::Value;
using testsupport::ScriptedConnection;
using Statements = std::vector<std::string>;

Value Blanks(int n) { return Value::Text(std::string(n, ' ')); }
Value Num(double n) { return Value::DbNumber(n); }

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("scripted-") + info->test_suite_name() + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

class ScriptedDbTest : public ::testing::Test {
 protected:
  ScriptedDbTest() : dir_(testsupport::FreshDir(TestName())), trace_(dir_) {
    session_.OODBC = db_;
  }

  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_{platform_, trace_};
  std::shared_ptr<ScriptedConnection> db_ = std::make_shared<ScriptedConnection>();
};

const std::vector<db::ColumnDescription> kItemColumns = {
    {"code", SQL_CHAR, 5, 0},           {"Nombre", SQL_VARCHAR, 6, 0},
    {"PRICE", SQL_NUMERIC, 12, 2},      {"DAY", SQL_TIMESTAMP, 23, 3},
    {"ACTIVE", SQL_BIT, 1, 0},          {"NOTE", SQL_WVARCHAR, 100, 0},
};
const char* const kItems = "SELECT * FROM ITEMS ORDER BY CODE";

TEST_F(ScriptedDbTest, CursorConvertsScriptedRowsAndWalksToTheEnd) {
  db_->On(kItems).Returns(kItemColumns,
                          {{"A1", "Peña", "12.50", "2024-01-31 10:20:30.000", "1", "x"},
                           {std::nullopt, "abcdefghij", "-1.5E-3", std::nullopt, "0",
                            std::nullopt},
                           {"C3", "", "not a number", "2023-02-29 00:00:00", "1", "ñ"}});
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, kItems, found);
  ASSERT_TRUE(cursor);
  ASSERT_TRUE(found);
  ASSERT_EQ(row.size(), 6u);
  EXPECT_EQ(row[1].name, "NOMBRE");

  // Reading a later column first loads the ones before it (the double, like a
  // forward-only driver, refuses reads out of column order).
  EXPECT_EQ(db::VCC(session_, row, "price"), Num(12.5));
  EXPECT_EQ(db::VCC(session_, row, "CODE"), Value::Text("A1   "));
  EXPECT_EQ(db::VCC(session_, row, "NOMBRE"), Value::Text("Peña  "));  // width in characters
  EXPECT_EQ(db::VCC(session_, row, "DAY"), Value::FromDate(Date{2024, 1, 31}));
  EXPECT_EQ(db::VCC(session_, row, "ACTIVE"), Value::Logical(true));
  EXPECT_EQ(db::VCC(session_, row, "NOTE"), Value::Text("x" + std::string(56, ' ')));

  ASSERT_EQ(db::SKIPSQL(cursor, row), 1);
  db::VCT(row);  // NULLs give the empty values of their kinds
  EXPECT_EQ(row[0].value, Blanks(5));
  EXPECT_EQ(row[1].value, Value::Text("abcdef"));  // cut to the width
  EXPECT_EQ(row[2].value, Num(-0.0015));
  EXPECT_EQ(row[3].value, Value::EmptyDate());
  EXPECT_EQ(row[4].value, Value::Logical(false));
  EXPECT_EQ(row[5].value, Value::Text(""));

  ASSERT_EQ(db::SKIPSQL(cursor, row), 1);
  EXPECT_EQ(db::VCC(session_, row, "NOTE"), Value::Text("ñ" + std::string(56, ' ')));
  EXPECT_EQ(row[1].value, Blanks(6));
  EXPECT_EQ(row[2].value, Num(0));
  EXPECT_EQ(row[3].value, Value::EmptyDate());  // no 29 February in 2023

  EXPECT_EQ(db::SKIPSQL(cursor, row), 0);
  db::LIBERACURSOR(session_, cursor);
  EXPECT_EQ(db_->statements(), Statements{kItems});
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_EQ(platform_.wait_depth, 0);
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(ScriptedDbTest, FailedQueryShowsTheDriverTextAndLeavesNoStatement) {
  db_->On("SELECT * FROM NOPE").Fails("Invalid object name 'NOPE'.");
  SqlRow row;
  bool found = true;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT * FROM NOPE", found);
  EXPECT_FALSE(cursor);
  EXPECT_FALSE(found);
  EXPECT_TRUE(row.empty());
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform_.messages[0].title, "         0");
  EXPECT_EQ(platform_.messages[0].text,
            "SIN EXITO 2 -> \r\nInvalid object name 'NOPE'.\r\n\r\nSELECT * FROM NOPE");
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(ScriptedDbTest, SeekSendsItsStatementAndFillsFoundOrBlankRows) {
  const std::string sql =
      "SELECT TOP 1 * FROM CLIENTES WITH ( NOLOCK )  WHERE CODIGO='O''Brien' AND ZONA=3";
  const std::vector<db::ColumnDescription> columns = {
      {"CODIGO", SQL_VARCHAR, 8, 0}, {"SALDO", SQL_DECIMAL, 12, 2},
      {"ALTA", SQL_DATE, 10, 0},     {"NOTAS", SQL_LONGVARCHAR, 2147483647, 0},
      {"CIUDAD", SQL_CHAR, 4, 0}};
  db_->On(sql).Returns(columns, {{"O'Brien", "10.25", "2020-05-06", "n", std::nullopt}}).Once();
  db_->On(sql).Returns(columns, {});

  for (bool expect_found : {true, false}) {
    SCOPED_TRACE(expect_found);
    SqlRow row;
    EXPECT_EQ(db::SEEKSQL(session_, "clientes", row, {"CODIGO", "ZONA"},
                          {Value::Text("O'Brien"), Value::Number(3)}),
              expect_found);
    ASSERT_EQ(row.size(), 5u);
    const std::vector<Value> expected =
        expect_found ? std::vector<Value>{Value::Text("O'Brien "), Num(10.25),
                                          Value::FromDate(Date{2020, 5, 6}), Value::Text("n"),
                                          Value::Text("")}  // a NULL text is empty here
                     : std::vector<Value>{Blanks(8), Num(0), Value::EmptyDate(),
                                          Value::Text(""), Blanks(4)};
    for (size_t i = 0; i < row.size(); ++i) {
      EXPECT_EQ(db::VCC(session_, row, row[i].name), expected[i]) << row[i].name;
    }
  }
  EXPECT_EQ(db_->statements(), (Statements{sql, sql}));
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(ScriptedDbTest, TopSendsItsStatementAndReportsFoundOrNot) {
  const std::string sql =
      "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  WHERE  ACTIVA=1  ORDER BY  EMPRESA ";
  db_->On(sql).Returns({{"EMPRESA", SQL_CHAR, 2, 0}}, {{"07"}}).Once();
  db_->On(sql).Returns({{"EMPRESA", SQL_CHAR, 2, 0}}, {});

  SqlRow row;
  EXPECT_TRUE(db::TOPSQL(session_, "EMPRESAS", row, " EMPRESA ", " ACTIVA=1 "));
  EXPECT_EQ(db::VCC(session_, row, "EMPRESA"), Value::Text("07"));
  SqlRow empty;
  EXPECT_FALSE(db::TOPSQL(session_, "EMPRESAS", empty, " EMPRESA ", " ACTIVA=1 "));
  EXPECT_EQ(db::VCC(session_, empty, "EMPRESA"), Blanks(2));
  EXPECT_EQ(db_->statements(), (Statements{sql, sql}));
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(ScriptedDbTest, ExecutionFailureReturnsTheDriverTextAndShowsNothing) {
  db_->OnPrefix("UPDATE").Fails("Violation of PRIMARY KEY constraint 'PK_X'.");
  std::string error;
  EXPECT_TRUE(db::EJECUTESQL(session_, "BEGIN TRANSACTION", &error));
  EXPECT_FALSE(db::EJECUTESQL(session_, "UPDATE X SET A=1", &error));
  EXPECT_EQ(error, "Violation of PRIMARY KEY constraint 'PK_X'.");
  EXPECT_TRUE(db::EJECUTESQL(session_, "ROLLBACK TRANSACTION", &error));
  EXPECT_EQ(db_->statements(),
            (Statements{"BEGIN TRANSACTION", "UPDATE X SET A=1", "ROLLBACK TRANSACTION"}));
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(platform_.wait_depth, 0);
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(ScriptedDbTest, ExistsTableAnswersFromItsExactStatement) {
  const std::string sql =
      "if exists ( select *  from dbo.sysobjects  where id = object_id(N'[dbo].[EMPRESAS]')  "
      "and OBJECTPROPERTY(id, N'IsUserTable') = 1) BEGIN SELECT CAST( 1 AS INT ) AS EXISTE "
      "END ELSE BEGIN SELECT CAST( 0 AS INT ) AS EXISTE END ";
  db_->FailUnscripted();
  db_->On(sql).Returns({{"EXISTE", SQL_INTEGER, 10, 0}}, {{"1"}}).Once();
  db_->On(sql).Returns({{"EXISTE", SQL_INTEGER, 10, 0}}, {{"0"}});
  EXPECT_TRUE(db::EXISTETABLA(session_, "EMPRESAS"));
  EXPECT_FALSE(db::EXISTETABLA(session_, "EMPRESAS"));
  EXPECT_EQ(db_->statements(), (Statements{sql, sql}));
  EXPECT_TRUE(platform_.messages.empty());

  // A failed query leaves no EXISTE column: the missing-column stop ends the
  // program.
  EXPECT_THROW(db::EXISTETABLA(session_, "OTRA"), ui::ProgramEnded);
  EXPECT_EQ(platform_.messages.back().text, "ERROR en VCC(), campo no existe : EXISTE");
}

TEST_F(ScriptedDbTest, AllocationFailureMessagesAndNothingSent) {
  struct Case {
    const char* what;
    std::function<void(db::Session&)> run;
    ui::MessageKind kind;
    std::string text;
  } cases[] = {
      {"EJECUTESQL",
       [](db::Session& s) {
         std::string error = "unchanged";
         EXPECT_FALSE(db::EJECUTESQL(s, "DELETE FROM T", &error));
         EXPECT_EQ(error, "unchanged");
       },
       ui::MessageKind::kStop, "Sin exito en SQLAllocStmt() para EjecuteSQL() \r\nDELETE FROM T"},
      {"CREARCURSOR",
       [](db::Session& s) {
         SqlRow row;
         bool found = true;
         EXPECT_FALSE(db::CREARCURSOR(s, row, "SELECT 1", found));
         EXPECT_TRUE(found);  // left as the caller set it
       },
       ui::MessageKind::kInformation, "SIN EXITO (1)"},
      {"SEEKSQL",
       [](db::Session& s) {
         SqlRow row;
         EXPECT_FALSE(db::SEEKSQL(s, "T", row, {"K"}, {Value::Text("1")}));
       },
       ui::MessageKind::kInformation, "SQLAllocStmt() - SeekSQL - SIN EXITO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform_.messages.clear();
    db_->FailAllocations(1);
    c.run(session_);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, c.kind);
    EXPECT_EQ(platform_.messages[0].text, c.text);
  }
  EXPECT_TRUE(db_->statements().empty());

  // An ended connection allocates nothing either.
  db_->End();
  EXPECT_FALSE(db::EJECUTESQL(session_, "SELECT 1"));
  EXPECT_TRUE(db_->statements().empty());
}

TEST_F(ScriptedDbTest, GendbfCopiesScriptedRowsIntoALocalTable) {
  session_.locals.SetDirectory(dir_ / "tmp");
  std::filesystem::create_directories(dir_ / "tmp");
  db_->On("SELECT CODE, QTY, DAY FROM T")
      .Returns({{"CODE", SQL_CHAR, 3, 0}, {"QTY", SQL_NUMERIC, 10, 2}, {"DAY", SQL_DATE, 10, 0}},
               {{"A", "1.5", "2024-02-29"}, {"B", std::nullopt, std::nullopt}, {"C", "-2", "x"}});
  SqlRow row;
  bool found = false;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT CODE, QTY, DAY FROM T", found);
  ASSERT_TRUE(found);
  ASSERT_TRUE(db::GENDBF(session_, cursor, row, "PASO", /*close=*/false));
  db::LIBERACURSOR(session_, cursor);

  db::LocalTable* t = session_.locals.Find("PASO");
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->RecordCount(), 3u);
  const std::vector<std::vector<Value>> expected = {
      {Value::Text("A  "), Num(1.5), Value::FromDate(Date{2024, 2, 29})},
      {Value::Text("B  "), Num(0), Value::EmptyDate()},
      {Value::Text("C  "), Num(-2), Value::EmptyDate()},
  };
  t->GoTop();
  for (const auto& record : expected) {
    ASSERT_FALSE(t->Eof());
    for (size_t i = 0; i < record.size(); ++i) EXPECT_EQ(t->Get(i), record[i]) << i;
    t->Skip();
  }
  EXPECT_TRUE(t->Eof());
  EXPECT_EQ(db_->open_statements(), 0);
}

TEST_F(ScriptedDbTest, RulesApplyInOrderAndUnscriptedStatementsAreCaught) {
  db_->OnRegex("^DELETE .* WHERE").Fails("first delete refused").Once();
  db_->OnMatch([](const std::string& sql) { return sql.find("DELETE") == 0; }).Succeeds();
  std::string error;
  EXPECT_FALSE(db::EJECUTESQL(session_, "DELETE FROM T WHERE A=1", &error));
  EXPECT_EQ(error, "first delete refused");
  EXPECT_TRUE(db::EJECUTESQL(session_, "DELETE FROM T WHERE A=1", &error));
  EXPECT_TRUE(db::EJECUTESQL(session_, "SELECT 1", &error)) << "unscripted runs by default";

  db_->FailUnscripted();
  EXPECT_FALSE(db::EJECUTESQL(session_, "SELECT 2", &error));
  EXPECT_EQ(error, "unscripted statement: SELECT 2");
  EXPECT_EQ(db_->statements(), (Statements{"DELETE FROM T WHERE A=1",
                                           "DELETE FROM T WHERE A=1", "SELECT 1", "SELECT 2"}));
}

TEST_F(ScriptedDbTest, ColumnsReadOutOfOrderGiveNoValue) {
  db_->On("SELECT A, B").Returns({{"A", SQL_CHAR, 1, 0}, {"B", SQL_CHAR, 1, 0}}, {{"a", "b"}});
  db::Cursor cursor = db_->AllocateStatement(nullptr);
  ASSERT_TRUE(cursor);
  ASSERT_EQ(cursor->ExecDirect("SELECT A, B"), SQL_SUCCESS);
  ASSERT_EQ(cursor->Fetch(), SQL_SUCCESS);
  std::string text;
  bool is_null = false;
  EXPECT_EQ(cursor->GetText(2, 2, &text, &is_null), SQL_SUCCESS);
  EXPECT_EQ(text, "b");
  EXPECT_EQ(cursor->GetText(1, 2, &text, &is_null), SQL_ERROR);
  EXPECT_EQ(cursor->FirstDiagnostic().state, "07009");
  EXPECT_EQ(cursor->Fetch(), SQL_NO_DATA);
}

}  // namespace
