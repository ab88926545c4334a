// Local temporary tables: GENDBF copies a real cursor (SQLite ODBC driver),
// values keep their kinds through the table's storage, NET_USE gives up on a
// table another connection holds, CIERRABORRA and Create clean up.
#include "db/local_tables.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "db/cursor.h"
#include "db_fixture.h"

namespace {

namespace fs = std::filesystem;
using db::Date;
using db::FieldList;
using db::FieldSpec;
using db::LocalTable;
using db::Value;

class LocalTablesTest : public dbtest::DbTest {
 protected:
  LocalTablesTest() { session_.locals.SetDirectory(dir_ / "tmp"); }

  db::LocalTables& locals() { return session_.locals; }
  fs::path TableFile(const std::string& upper_name) {
    return dir_ / "tmp" / (upper_name + ".sqlite");
  }
};

const FieldList kTwoFields = {{"CODE", 'C', 4, 0}, {"AMOUNT", 'N', 19, 5}};

// Holds a table's file the way another process would: its own SQLite
// connection with the exclusive lock taken.
class ForeignHolder {
 public:
  explicit ForeignHolder(const fs::path& file) {
    EXPECT_EQ(sqlite3_open(file.c_str(), &db_), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db_, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
  }
  ~ForeignHolder() {
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }

 private:
  sqlite3* db_ = nullptr;
};

TEST_F(LocalTablesTest, GendbfCopiesThreeRowsWithConvertedValues) {
  Connect(env_.sqlite_dsn);
  Exec("CREATE TABLE LT_THREE (NAME varchar(10), QTY numeric(10,2), DAY date, NOTE varchar(6))");
  Exec("INSERT INTO LT_THREE VALUES ('ABC', 1.5, '2023-01-16', 'x')");
  Exec("INSERT INTO LT_THREE VALUES ('O''Brien', 12.345678, NULL, NULL)");
  Exec("INSERT INTO LT_THREE VALUES ('', -2, '2024-02-29', 'zz')");

  db::SqlRow row;
  bool found = false;
  db::Cursor cursor =
      db::CREARCURSOR(session_, row, "SELECT * FROM LT_THREE ORDER BY DAY", found);
  ASSERT_TRUE(cursor);
  ASSERT_TRUE(found);
  platform_.pointer_changes.clear();
  ASSERT_TRUE(db::GENDBF(session_, cursor, row, "PasoE", /*close=*/true, "",
                         {{"EXTRA", 'L', 1, 0}}, true, found));
  db::LIBERACURSOR(session_, cursor);
  EXPECT_EQ(platform_.pointer_changes, (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(locals().Find("PasoE"), nullptr) << "closed by GENDBF";

  // Read back from storage, in a fresh open and through another alias.
  ASSERT_TRUE(locals().NET_USE("PasoE", "e"));
  LocalTable* t = locals().Find("E");
  ASSERT_NE(t, nullptr);
  FieldList expected_fields;
  db::ESTR(row, expected_fields);
  expected_fields.push_back({"EXTRA", 'L', 1, 0});
  ASSERT_EQ(t->fields().size(), expected_fields.size());
  for (size_t i = 0; i < expected_fields.size(); ++i) {
    EXPECT_EQ(t->fields()[i].name, expected_fields[i].name);
    EXPECT_EQ(t->fields()[i].kind, expected_fields[i].kind);
    EXPECT_EQ(t->fields()[i].width, expected_fields[i].width);
  }
  EXPECT_EQ(t->fields()[0].kind, 'C');
  EXPECT_EQ(t->fields()[1].kind, 'N');
  EXPECT_EQ(t->fields()[2].kind, 'D');
  ASSERT_EQ(t->RecordCount(), 3u);

  // SQLite orders the NULL date first.
  EXPECT_EQ(t->Get("name"), Value::Text("O'Brien   "));
  EXPECT_TRUE(t->Get("QTY").from_database());
  EXPECT_DOUBLE_EQ(t->Get("QTY").number(), 12.34568);
  EXPECT_EQ(t->Get("DAY"), Value::EmptyDate());
  EXPECT_EQ(t->Get("NOTE"), Value::Text("      ")) << "a null reads as the column's blanks";
  EXPECT_EQ(t->Get("EXTRA"), Value::Logical(false)) << "extra fields start blank";
  t->Skip();
  EXPECT_EQ(t->Get(size_t{0}), Value::Text("ABC       "));
  EXPECT_EQ(t->Get(1), Value::DbNumber(1.5));
  EXPECT_EQ(t->Get(2), Value::FromDate(Date{2023, 1, 16}));
  t->Skip();
  EXPECT_EQ(t->Get(size_t{0}), Value::Text("          "));
  EXPECT_EQ(t->Get(1), Value::DbNumber(-2));
  EXPECT_EQ(t->Get(2), Value::FromDate(Date{2024, 2, 29}));
  EXPECT_FALSE(t->Eof());
  t->Skip();
  EXPECT_TRUE(t->Eof());
  t->GoTop();
  EXPECT_EQ(t->Get("NAME"), Value::Text("O'Brien   "));
  EXPECT_TRUE(locals().CIERRABORRA("e"));
  EXPECT_EQ(locals().Find("e"), nullptr);
  EXPECT_TRUE(fs::exists(TableFile("PASOE"))) << "only what is stored for the name e goes";
  EXPECT_TRUE(locals().CIERRABORRA("PasoE"));
  EXPECT_FALSE(fs::exists(TableFile("PASOE")));
}

TEST_F(LocalTablesTest, GendbfOfAnEmptyResultGivesAnEmptyTableWithTheFieldList) {
  Connect(env_.sqlite_dsn);
  Exec("CREATE TABLE LT_EMPTY (CODE varchar(8), N integer)");
  db::SqlRow row;
  bool found = true;
  db::Cursor cursor = db::CREARCURSOR(session_, row, "SELECT CODE, N FROM LT_EMPTY", found);
  ASSERT_TRUE(cursor);
  ASSERT_FALSE(found);
  ASSERT_TRUE(db::GENDBF(session_, cursor, row, "Paso", /*close=*/false, "", {}, true, found));
  db::LIBERACURSOR(session_, cursor);

  LocalTable* t = locals().Find("PASO");
  ASSERT_NE(t, nullptr) << "left open";
  ASSERT_EQ(t->fields().size(), 2u);
  EXPECT_EQ(t->fields()[0].name, "CODE");
  EXPECT_EQ(t->fields()[0].width, 8);
  EXPECT_EQ(t->fields()[1].name, "N");
  EXPECT_EQ(t->fields()[1].kind, 'N');
  EXPECT_EQ(t->RecordCount(), 0u);
  EXPECT_TRUE(t->Eof());
  EXPECT_TRUE(locals().CIERRABORRA("Paso"));
  EXPECT_EQ(locals().Find("Paso"), nullptr);
  EXPECT_FALSE(fs::exists(TableFile("PASO")));
}

TEST_F(LocalTablesTest, ValuesKeepTheirKindsThroughStorage) {
  ASSERT_TRUE(locals().Create("Kinds", {{"A", 'C', 5, 0}, {"B", 'N', 19, 5}, {"C", 'D', 8, 0},
                                        {"D", 'L', 1, 0}, {"E", 'M', 10, 0}}));
  const std::vector<std::vector<Value>> records = {
      {Value::Text("ab   "), Value::DbNumber(1.5), Value::FromDate(Date{2024, 1, 31}),
       Value::Logical(true), Value::Text("ñandú\r\n'x'")},
      {Value::Text(""), Value::Number(-0.25), Value::EmptyDate(), Value::Logical(false),
       Value()},
  };
  ASSERT_TRUE(locals().NET_USE("Kinds"));
  LocalTable* t = locals().Find("kinds");
  ASSERT_NE(t, nullptr);
  for (const auto& record : records) {
    t->Append();
    for (size_t i = 0; i < record.size(); ++i) t->Set(i, record[i]);
  }
  t->Append();  // left blank
  locals().Close("KINDS");

  ASSERT_TRUE(locals().NET_USE("kinds"));
  t = locals().Find("Kinds");
  ASSERT_EQ(t->RecordCount(), 3u);
  for (const auto& record : records) {
    for (size_t i = 0; i < record.size(); ++i) EXPECT_EQ(t->Get(i), record[i]) << i;
    EXPECT_EQ(t->Get(size_t{1}).from_database(), record[1].from_database());
    t->Skip();
  }
  EXPECT_EQ(t->Get("A"), Value::Text("     "));
  EXPECT_EQ(t->Get("B"), Value::Number(0));
  EXPECT_EQ(t->Get("C"), Value::EmptyDate());
  EXPECT_EQ(t->Get("D"), Value::Logical(false));
  EXPECT_EQ(t->Get("E"), Value::Text(""));
  EXPECT_EQ(t->FieldIndex("missing"), -1);

  // Changing a record already stored, then appending after it.
  t->GoTop();
  t->Set("a", Value::Text("new  "));
  t->GoTop();
  EXPECT_EQ(t->Get("A"), Value::Text("new  "));
  t->Append();
  EXPECT_EQ(t->RecordCount(), 4u);
  EXPECT_TRUE(t->error().empty()) << t->error();
  locals().Close("Kinds");
  ASSERT_TRUE(locals().NET_USE("KINDS"));
  EXPECT_EQ(locals().Find("KINDS")->RecordCount(), 4u);
  EXPECT_EQ(locals().Find("KINDS")->Get("A"), Value::Text("new  "));
}

TEST_F(LocalTablesTest, NetUseGivesUpOnATableHeldOpenElsewhere) {
  ASSERT_TRUE(locals().Create("Held", kTwoFields));
  {
    ForeignHolder holder(TableFile("HELD"));
    EXPECT_FALSE(locals().NET_USE("Held"));
    EXPECT_EQ(locals().Find("Held"), nullptr);
  }
  ASSERT_TRUE(locals().NET_USE("Held")) << "free again once the holder let go";

  // Our own open is exclusive too: a second set of work areas cannot open it.
  db::LocalTables other;
  other.SetDirectory(dir_ / "tmp");
  EXPECT_FALSE(other.NET_USE("Held"));
  locals().Close("Held");
  EXPECT_TRUE(other.NET_USE("Held"));

  EXPECT_FALSE(locals().NET_USE("NeverCreated"));
}

TEST_F(LocalTablesTest, CreateReplacesALeftoverAndCierraborraIsHarmless) {
  fs::create_directories(dir_ / "tmp");
  std::ofstream(TableFile("PASO"), std::ios::binary) << "left by an interrupted run";
  std::ofstream(TableFile("OTHER"), std::ios::binary) << "someone else's";

  EXPECT_TRUE(locals().CIERRABORRA("NeverCreated"));
  EXPECT_TRUE(locals().CIERRABORRA(""));
  EXPECT_TRUE(fs::exists(TableFile("OTHER")));
  EXPECT_TRUE(fs::exists(TableFile("PASO")));

  ASSERT_TRUE(locals().Create("Paso", kTwoFields));
  ASSERT_TRUE(locals().NET_USE("paso", "P"));
  LocalTable* t = locals().Find("p");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->RecordCount(), 0u);
  t->Append();
  t->Set("CODE", Value::Text("01  "));

  // Creating it again while open replaces it too.
  ASSERT_TRUE(locals().Create("PASO", {{"ONLY", 'C', 2, 0}}));
  EXPECT_EQ(locals().Find("P"), nullptr);
  ASSERT_TRUE(locals().NET_USE("Paso"));
  EXPECT_EQ(locals().Find("Paso")->fields().size(), 1u);
  EXPECT_EQ(locals().Find("Paso")->RecordCount(), 0u);

  EXPECT_FALSE(locals().Create("../escape", kTwoFields));
  EXPECT_FALSE(locals().Create("", kTwoFields));
  EXPECT_FALSE(fs::exists(dir_ / "ESCAPE.sqlite"));
  EXPECT_EQ(std::ifstream(TableFile("OTHER")).get(), 's') << "untouched";
}

}  // namespace
