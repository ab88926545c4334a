#include "db/lookups.h"

#include <gtest/gtest.h>

#include "db/literals.h"
#include "db_fixture.h"

namespace {

using db::SqlRow;
using db::Value;
using dbtest::DbTest;

TEST(SeekStatement, ExactTexts) {
  EXPECT_EQ(db::SeekStatement("CONFIGP", {"EMPRESA"}, {Value::Text("01")}, "RAZON"),
            "SELECT TOP 1 RAZON FROM CONFIGP WITH ( NOLOCK )  WHERE EMPRESA='01'");
  EXPECT_EQ(db::SeekStatement("maeen", {"KOEN", "SUEN"},
                              {Value::Text("O'Neil "), Value::Text("01")}),
            "SELECT TOP 1 * FROM MAEEN WITH ( NOLOCK )  WHERE KOEN='O''Neil ' AND SUEN='01'");
  // Eleven characters or more: no hint.
  EXPECT_EQ(db::SeekStatement("VENDEDORYNOTA", {"KOFU"}, {Value::Text("A1")}),
            "SELECT TOP 1 * FROM VENDEDORYNOTA WHERE KOFU='A1'");
  EXPECT_EQ(db::SeekStatement("TABFU", {"N", "M", "D", "E", "L"},
                              {Value::Number(3), Value::DbNumber(1.5),
                               Value::FromDate({2024, 3, 5}), Value::EmptyDate(),
                               Value::Logical(true)}),
            "SELECT TOP 1 * FROM TABFU WITH ( NOLOCK )  WHERE N=3 AND M=1.50000 AND "
            "D={d '2024-03-05'} AND E=NULL AND L=1");
}

TEST(TopStatement, ExactTexts) {
  EXPECT_EQ(db::TopStatement("EMPRESAS", " EMPRESA ", " ACTIVA=1 "),
            "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  WHERE  ACTIVA=1  ORDER BY  EMPRESA ");
  EXPECT_EQ(db::TopStatement("EMPRESAS", "EMPRESA", ""),
            "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESA");
  EXPECT_EQ(db::TopStatement("EMPRESAS", "EMPRESA", "   "),
            "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESA");
  // A condition without an ordering is not used.
  EXPECT_EQ(db::TopStatement("EMPRESAS", "", "ACTIVA=1", "RAZON"),
            "SELECT TOP 1 RAZON FROM EMPRESAS WITH ( NOLOCK ) ");
  // A table text that carries its hint gets no second one.
  EXPECT_EQ(db::TopStatement("EMPRESAS WITH (NOLOCK)", "EMPRESA", ""),
            "SELECT TOP 1 * FROM EMPRESAS WITH (NOLOCK) ORDER BY EMPRESA");
}

class LookupTest : public DbTest {
 protected:
  void SetUp() override {
    QV_REQUIRE_PG();
    Connect(env_.pg_dsn);
    Exec("CREATE TEMP TABLE configp (empresa char(2), razon varchar(30), monto numeric(10,2), "
         "desde date, activa bool, notas text)");
    Exec("INSERT INTO configp VALUES ('01', 'O''Neil SA', 12.5, '2024-03-05', true, 'n')");
    Exec("INSERT INTO configp VALUES ('02', NULL, NULL, NULL, NULL, NULL)");
  }
  std::string Seek(const std::string& key) {
    return "SELECT * FROM configp WHERE empresa=" + db::Literal(Value::Text(key)) + " LIMIT 1";
  }
};

TEST_F(LookupTest, SeekFoundLoadsEveryColumn) {
  SqlRow row;
  ASSERT_TRUE(db::SeekRow(session_, Seek("01"), row));
  for (const auto& c : row) EXPECT_TRUE(c.loaded) << c.name;
  EXPECT_EQ(db::VCC(session_, row, "RAZON").text(), "O'Neil SA" + std::string(21, ' '));
  EXPECT_EQ(db::VCC(session_, row, "MONTO").number(), 12.5);
  EXPECT_EQ(db::VCC(session_, row, "DESDE").date(), (db::Date{2024, 3, 5}));
  EXPECT_TRUE(db::VCC(session_, row, "ACTIVA").logical());
  EXPECT_EQ(db::VCC(session_, row, "NOTAS").text(), "n");
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(LookupTest, SeekNullsOfTextKindsAreEmptyText) {
  SqlRow row;
  ASSERT_TRUE(db::SeekRow(session_, Seek("02"), row));
  EXPECT_TRUE(db::VCC(session_, row, "RAZON") == Value::Text(""));
  EXPECT_TRUE(db::VCC(session_, row, "NOTAS") == Value::Text(""));
  EXPECT_TRUE(db::VCC(session_, row, "MONTO") == Value::DbNumber(0));
  EXPECT_TRUE(db::VCC(session_, row, "DESDE") == Value::EmptyDate());
  EXPECT_TRUE(db::VCC(session_, row, "ACTIVA") == Value::Logical(false));
}

TEST_F(LookupTest, SeekNotFoundGivesBlanksByKind) {
  SqlRow row;
  EXPECT_FALSE(db::SeekRow(session_, Seek("99"), row));
  ASSERT_EQ(row.size(), 6u);
  for (const auto& c : row) EXPECT_TRUE(c.loaded) << c.name;
  EXPECT_TRUE(db::VCC(session_, row, "EMPRESA") == Value::Text("  "));
  EXPECT_TRUE(db::VCC(session_, row, "RAZON") == Value::Text(std::string(30, ' ')));
  EXPECT_TRUE(db::VCC(session_, row, "MONTO") == Value::DbNumber(0));
  EXPECT_TRUE(db::VCC(session_, row, "DESDE") == Value::EmptyDate());
  EXPECT_TRUE(db::VCC(session_, row, "ACTIVA") == Value::Logical(false));
  EXPECT_TRUE(db::VCC(session_, row, "NOTAS") == Value::Text(""));  // kind M
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(LookupTest, TopFoundAndNotFound) {
  SqlRow row;
  EXPECT_TRUE(db::TopRow(session_, "SELECT * FROM configp ORDER BY empresa DESC LIMIT 1", row));
  EXPECT_EQ(platform_.wait_depth, 0);
  for (const auto& c : row) EXPECT_TRUE(c.loaded) << c.name;
  EXPECT_EQ(db::VCC(session_, row, "EMPRESA").text(), "02");
  EXPECT_TRUE(db::VCC(session_, row, "RAZON") == Value::Text(std::string(30, ' ')));

  SqlRow none;
  EXPECT_FALSE(db::TopRow(session_, "SELECT * FROM configp WHERE empresa='99' LIMIT 1", none));
  EXPECT_TRUE(db::VCC(session_, none, "RAZON") == Value::Text(std::string(30, ' ')));
  EXPECT_TRUE(db::VCC(session_, none, "MONTO") == Value::DbNumber(0));
  EXPECT_TRUE(platform_.messages.empty());
}

// SEEKSQL and TOPSQL send T-SQL: on another server they fail, which shows the
// text they send and their failure paths.
TEST_F(DbTest, SeekSendsItsStatementAndReportsAFailure) {
  Connect(env_.sqlite_dsn);
  session_.LMONITOREO = true;
  SqlRow row;
  EXPECT_FALSE(db::SEEKSQL(session_, "configp", row, {"EMPRESA"}, {Value::Text("0'1")}, "RAZON"));
  const std::string sql = "SELECT TOP 1 RAZON FROM CONFIGP WITH ( NOLOCK )  WHERE EMPRESA='0''1'";
  EXPECT_TRUE(row.empty());
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform_.messages[0].title, "        -1");
  EXPECT_EQ(platform_.messages[0].text, "SQLAllocStmt() - SeekSQL - SIN EXITO 2 -> \r\n" + sql);
  EXPECT_EQ(trace_.current_number(), 1);

  // A failed look-up leaves a row without columns: reading it ends the program.
  EXPECT_THROW(db::VCC(session_, row, "RAZON"), ui::ProgramEnded);
}

TEST_F(DbTest, TopReportsAFailureUnlessQuiet) {
  Connect(env_.sqlite_dsn);
  SqlRow row;
  EXPECT_FALSE(db::TOPSQL(session_, "EMPRESAS", row, " EMPRESA ", " ACTIVA=1 "));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_NE(platform_.messages[0].text.find(
                "SELECT TOP 1 * FROM EMPRESAS WITH ( NOLOCK )  WHERE  ACTIVA=1  ORDER BY  EMPRESA "),
            std::string::npos);
  SqlRow quiet_row;
  EXPECT_FALSE(db::TOPSQL(session_, "EMPRESAS", quiet_row, "EMPRESA", "", "*", true));
  EXPECT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(DbTest, SeekContractViolationsEndTheProgram) {
  Connect(env_.sqlite_dsn);
  db::SqlRow used;
  used.push_back(db::DescribeColumn("A", SQL_INTEGER, 10, 0, false));
  EXPECT_THROW(db::SEEKSQL(session_, "T", used, {"A"}, {Value::Number(1)}), ui::ProgramEnded);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform_.messages[0].title, "ERROR (seekSql)");
  EXPECT_EQ(platform_.messages[0].text, "error en seek, TMAES no vacio");

  db::SqlRow row;
  EXPECT_THROW(db::SEEKSQL(session_, "T", row, {"A"}, {Value()}), ui::ProgramEnded);
  EXPECT_THROW(db::SEEKSQL(session_, "T", row, {"A", "B"}, {Value::Number(1)}),
               ui::ProgramEnded);
  EXPECT_EQ(platform_.messages.size(), 3u);
  EXPECT_EQ(platform_.messages[1].title, "ERROR (seekSql)");
}

}  // namespace
