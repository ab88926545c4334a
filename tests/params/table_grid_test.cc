// The grid's paging over rows served from memory: which rows it holds, where
// its cursor stands and how many page queries it sends after each movement;
// F3, the in-place edit's write and the local row table.
#include "params/table_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "config/trace.h"
#include "db/session.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace {

using db::Value;
using params::GridValues;
using params::PageRequest;

// EMPRESAS rows "01".."nn" with RAZON "Empresa 01".., ordered by the key
// RAZON, ACTIVA, MODALIDAD. Serves pages with strict key comparisons, as the
// server answers the grid's key conditions.
class MemorySource : public params::RowSource {
 public:
  explicit MemorySource(int count, int duplicateAt = 0) {
    for (int i = 1; i <= count; ++i) {
      char code[16], name[32];
      std::snprintf(code, sizeof(code), "%02d", i);
      // With duplicateAt, row duplicateAt + 1 repeats the key of its predecessor.
      std::snprintf(name, sizeof(name), "Empresa %02d", i == duplicateAt + 1 ? i - 1 : i);
      rows_.push_back({Value::Text(code), Value::Text(name), Value::Logical(i == 1),
                       Value::Text("N")});
    }
  }

  bool Describe(const std::string& probe, db::SqlRow& columns) override {
    requests.push_back(probe);
    for (auto [name, kind, width] : {std::tuple{"EMPRESA", 'C', 2}, {"RAZON", 'C', 50},
                                     {"ACTIVA", 'L', 1}, {"MODALIDAD", 'C', 5}}) {
      db::SqlColumn column;
      column.name = name;
      column.kind = kind;
      column.width = width;
      columns.push_back(column);
    }
    return true;
  }

  std::vector<GridValues> Page(const PageRequest& request, db::SqlRow&) override {
    requests.push_back(request.sql);
    auto keyOf = [](const GridValues& r) {
      return std::tuple{r[1].text(), r[2].logical(), r[3].text()};
    };
    std::vector<GridValues> out;
    for (const GridValues& row : rows_) {
      const bool in =
          request.from == PageRequest::From::kStart ||
          (request.from == PageRequest::From::kAfter &&
           keyOf(row) > std::tuple{request.key[0].text(), request.key[1].logical(),
                                   request.key[2].text()}) ||
          (request.from == PageRequest::From::kBefore &&
           keyOf(row) < std::tuple{request.key[0].text(), request.key[1].logical(),
                                   request.key[2].text()});
      if (in) out.push_back(row);
    }
    if (request.descending) std::reverse(out.begin(), out.end());
    if (out.size() > 20) out.resize(20);
    return out;
  }

  std::vector<std::string> requests;

 private:
  std::vector<GridValues> rows_;
};

params::GridDefinition Empresas() {
  params::GridDefinition d;
  d.table = "EMPRESAS";
  d.select = {"EMPRESAS.*"};
  d.key = {"EMPRESAS.RAZON", "EMPRESAS.ACTIVA", "EMPRESAS.MODALIDAD"};
  d.shownColumns = d.headers = {"RAZON", "ACTIVA", "MODALIDAD"};
  d.widths = {600, 12, 60};
  d.rightJustify = {false, false, false};
  d.title = "Tabla de EMPRESAS";
  return d;
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("grid-") + info->test_suite_name() + "." + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

class GridTest : public ::testing::Test {
 protected:
  GridTest() : dir_(testsupport::FreshDir(TestName())), trace_(dir_) {
    session_.locals.SetDirectory(dir_);
    session_.OODBC = db_;
  }

  // The EMPRESA codes of the rows held, as numbers, and of the current row.
  static int Code(const params::TbSQL& grid, size_t row) {
    return std::stoi(grid.Field(row, "EMPRESA").text());
  }

  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_{platform_, trace_};
  std::shared_ptr<testsupport::ScriptedConnection> db_ =
      std::make_shared<testsupport::ScriptedConnection>();
};

// Runs movements: "d" down, "u" up, "T" GoTop, "B" GoBottom, "N" PgDn, "P"
// PgUp, each optionally preceded by a count ("19d").
void Move(params::TbSQL& grid, const std::string& moves) {
  int count = 0;
  for (char c : moves) {
    if (c >= '0' && c <= '9') {
      count = count * 10 + (c - '0');
      continue;
    }
    for (int i = 0; i < std::max(count, 1); ++i) {
      switch (c) {
        case 'd': grid.KeyDown(params::GridKey::kDown); break;
        case 'u': grid.KeyDown(params::GridKey::kUp); break;
        case 'T': grid.KeyDown(params::GridKey::kHome); break;
        case 'B': grid.KeyDown(params::GridKey::kEnd); break;
        case 'N': grid.KeyDown(params::GridKey::kPgDn); break;
        case 'P': grid.KeyDown(params::GridKey::kPgUp); break;
      }
    }
    count = 0;
  }
}

TEST_F(GridTest, PagingHoldsTheRightBlock) {
  struct Case {
    int total;
    std::string moves;
    int first, last, current;  // EMPRESA codes; 0 when nothing is held
    size_t pageQueries;
  } cases[] = {
      {15, "", 1, 15, 1, 1},
      {15, "15d", 1, 15, 15, 2},       // one rows-below query, stops on the last row
      {20, "20d", 1, 20, 20, 2},
      {45, "", 1, 20, 1, 1},
      {45, "20d", 1, 40, 21, 2},
      {45, "40d", 1, 45, 41, 3},
      {45, "B", 26, 45, 45, 2},
      {45, "B19u", 26, 45, 26, 2},
      {45, "B20u", 6, 45, 25, 3},       // up from 26 loads 6-25
      {45, "B25uT", 1, 20, 1, 4},
      {45, "T", 1, 20, 1, 1},           // already on its first row: no reload
      {45, "BB", 26, 45, 45, 2},
      {45, "2N", 1, 40, 21, 2},         // ten rows a screen
      {45, "BP", 26, 45, 35, 2},
      {45, "5d5u", 1, 20, 1, 1},
      {0, "", 0, 0, 0, 1},
      {0, "BdTu", 0, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.total) + " rows, moves " + c.moves);
    MemorySource source(c.total);
    params::TbSQL grid(session_, source);
    ASSERT_TRUE(grid.Redefine(Empresas()));
    Move(grid, c.moves);
    EXPECT_EQ(source.requests.size() - 1, c.pageQueries);
    if (c.first == 0) {
      EXPECT_EQ(grid.RowCount(), 0u);
      continue;
    }
    ASSERT_EQ(grid.RowCount(), static_cast<size_t>(c.last - c.first + 1));
    EXPECT_EQ(Code(grid, 0), c.first);
    EXPECT_EQ(Code(grid, grid.RowCount() - 1), c.last);
    EXPECT_EQ(Code(grid, grid.current()), c.current);
    EXPECT_LE(grid.top(), grid.current());
    EXPECT_LT(grid.current(), grid.top() + 10);
    // Row numbers ascend with the key, and the held keys are the block's ends.
    for (size_t i = 1; i < grid.RowCount(); ++i) {
      EXPECT_EQ(grid.Field(i, "nRegBrowse").number(),
                grid.Field(i - 1, "NREGBROWSE").number() + 1);
    }
    EXPECT_EQ(grid.Field(0, "nRegBrowse").number(), grid.nClaveI());
    EXPECT_EQ(grid.Field(grid.RowCount() - 1, "nRegBrowse").number(), grid.nClaveF());
    EXPECT_EQ(grid.aClaveF()[0], "'Empresa " + grid.Field(grid.RowCount() - 1, "EMPRESA").text() + "'");
  }
}

TEST_F(GridTest, QueriesCarryTheHeldKeys) {
  MemorySource source(45);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  Move(grid, "20dB20u");
  const std::vector<std::string> expected = {
      "SELECT TOP 1 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY "
      "EMPRESAS.RAZON,EMPRESAS.ACTIVA,EMPRESAS.MODALIDAD",
      "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESAS.RAZON "
      ",EMPRESAS.ACTIVA ,EMPRESAS.MODALIDAD  OPTION ( FAST 20 ) ",
      "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  WHERE  ( ( "
      "EMPRESAS.RAZON>'Empresa 20') OR ( EMPRESAS.RAZON='Empresa 20' AND EMPRESAS.ACTIVA>0) "
      "OR ( EMPRESAS.RAZON='Empresa 20' AND EMPRESAS.ACTIVA=0 AND EMPRESAS.MODALIDAD>'N')  ) "
      "AND  2=2  ORDER BY EMPRESAS.RAZON ,EMPRESAS.ACTIVA ,EMPRESAS.MODALIDAD  OPTION ( FAST "
      "20 ) ",
      "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESAS.RAZON  DESC "
      ",EMPRESAS.ACTIVA  DESC ,EMPRESAS.MODALIDAD  DESC  OPTION ( FAST 20 ) ",
      "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  WHERE  ( ( "
      "EMPRESAS.RAZON<'Empresa 26') OR ( EMPRESAS.RAZON='Empresa 26' AND EMPRESAS.ACTIVA<0) "
      "OR ( EMPRESAS.RAZON='Empresa 26' AND EMPRESAS.ACTIVA=0 AND EMPRESAS.MODALIDAD<'N')  ) "
      "AND  2=2  ORDER BY EMPRESAS.RAZON  DESC ,EMPRESAS.ACTIVA  DESC ,EMPRESAS.MODALIDAD  "
      "DESC  OPTION ( FAST 20 ) ",
  };
  EXPECT_EQ(source.requests, expected);
}

TEST_F(GridTest, EqualKeysAcrossAPageBoundaryShowOnlyTheFirst) {
  MemorySource source(45, /*duplicateAt=*/20);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  Move(grid, "60d");
  EXPECT_EQ(grid.RowCount(), 44u);
  EXPECT_EQ(Code(grid, 20), 22);
}

TEST_F(GridTest, F3DropsTheLastFilterOrSaysThereIsNone) {
  MemorySource source(5);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  grid.KeyDown(params::GridKey::kF3);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "No existen otros filtros aplicados a la vista actual");
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);

  grid.AddFilter("EMPRESA<>'03'");
  EXPECT_EQ(grid.cFiltroTMP(), " 2=2  AND EMPRESA<>'03'");
  grid.KeyDown(params::GridKey::kF3);
  EXPECT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(grid.cFiltroTMP(), " 2=2 ");
  EXPECT_EQ(grid.aFiltros().size(), 1u);
  EXPECT_EQ(source.requests.back(), source.requests[1]);  // the first page again
  EXPECT_FALSE(grid.KeyDown(params::GridKey::kOther));
}

TEST_F(GridTest, EditWritesTheCellAndKeepsItOnFailure) {
  MemorySource source(3);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  Move(grid, "d");  // company 02

  params::CellEdit activa = grid.BeginEdit(2);
  EXPECT_TRUE(activa.logical);
  EXPECT_EQ(params::TbSQL::EditedValue(activa, ".T."), Value::Logical(true));
  params::CellEdit razon = grid.BeginEdit(1);
  EXPECT_FALSE(razon.logical);
  EXPECT_EQ(razon.maxChars, 50);
  EXPECT_EQ(params::TbSQL::EditedValue(razon, std::string(60, 'x')).text().size(), 50u);

  db_->OnPrefix("UPDATE EMPRESAS SET RAZON='Bad").Fails("rejected");
  std::string error;
  EXPECT_EQ(grid.WriteCell("RAZON", Value::Text("   "), "EMPRESA"), params::EditResult::kEmpty);
  EXPECT_EQ(grid.WriteCell("RAZON", Value::Text("O'Hara "), "EMPRESA", &error),
            params::EditResult::kWritten);
  EXPECT_EQ(grid.CellText(1, 1), "O'Hara ");
  EXPECT_EQ(grid.WriteCell("RAZON", Value::Text("Bad"), "EMPRESA", &error),
            params::EditResult::kFailed);
  EXPECT_EQ(error, "rejected");
  EXPECT_EQ(grid.CellText(1, 1), "O'Hara ");
  EXPECT_EQ(grid.CellText(0, 2), ".T.");
  EXPECT_EQ(grid.CellText(1, 2), ".F.");
  EXPECT_EQ(db_->statements(), (std::vector<std::string>{
                                   "UPDATE EMPRESAS SET RAZON='O''Hara' WHERE EMPRESA='02' ",
                                   "UPDATE EMPRESAS SET RAZON='Bad' WHERE EMPRESA='02' "}));
  // The local row table holds the written value too.
  db::LocalTable* local = session_.locals.Find(grid.cAlias());
  ASSERT_NE(local, nullptr);
  local->GoTop();
  local->Skip();
  EXPECT_EQ(local->Get("RAZON").text().substr(0, 7), "O'Hara ");
}

TEST_F(GridTest, LocalRowTableLivesUntilEnd) {
  MemorySource source(3);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  const std::string alias = grid.cAlias();
  ASSERT_EQ(alias.size(), 8u);
  EXPECT_EQ(alias[0], 'P');
  EXPECT_EQ(params::LocalRowTableName(12345), "P0012345");
  db::LocalTable* local = session_.locals.Find(alias);
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(local->RecordCount(), 3u);
  EXPECT_TRUE(std::filesystem::exists(dir_ / (alias + ".sqlite")));

  params::TOMAFOCO(grid);
  EXPECT_TRUE(grid.headerFocused);
  params::DEJAFOCO(grid);
  EXPECT_FALSE(grid.headerFocused);

  grid.End();
  EXPECT_EQ(session_.locals.Find(alias), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir_ / (alias + ".sqlite")));
  EXPECT_EQ(grid.RowCount(), 0u);
}

}  // namespace
