// The row source over a connection: the probe and one page against the
// scripted database double, and the messages of its failures.
#include "params/row_source.h"

#include <gtest/gtest.h>

#include "config/trace.h"
#include "params/table_grid.h"
#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace {

const char* const kProbe =
    "SELECT TOP 1 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY "
    "EMPRESAS.RAZON,EMPRESAS.ACTIVA,EMPRESAS.MODALIDAD";
const char* const kFirstPage =
    "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESAS.RAZON "
    ",EMPRESAS.ACTIVA ,EMPRESAS.MODALIDAD  OPTION ( FAST 20 ) ";

const std::vector<db::ColumnDescription> kColumns = {{"EMPRESA", SQL_CHAR, 2, 0},
                                                     {"RAZON", SQL_VARCHAR, 50, 0},
                                                     {"ACTIVA", SQL_BIT, 1, 0},
                                                     {"MODALIDAD", SQL_CHAR, 5, 0}};

params::GridDefinition Empresas() {
  params::GridDefinition d;
  d.table = "EMPRESAS";
  d.select = {"EMPRESAS.*"};
  d.key = {"EMPRESAS.RAZON", "EMPRESAS.ACTIVA", "EMPRESAS.MODALIDAD"};
  d.shownColumns = d.headers = {"RAZON", "ACTIVA", "MODALIDAD"};
  return d;
}

class SqlRowSourceTest : public ::testing::Test {
 protected:
  SqlRowSourceTest() : dir_(testsupport::FreshDir("params-row-source")), trace_(dir_) {
    session_.locals.SetDirectory(dir_);
    session_.OODBC = db_;
  }
  std::filesystem::path dir_;
  ui::RecordingPlatform platform_;
  config::MonitorTrace trace_;
  db::Session session_{platform_, trace_};
  std::shared_ptr<testsupport::ScriptedConnection> db_ =
      std::make_shared<testsupport::ScriptedConnection>();
};

TEST_F(SqlRowSourceTest, LoadsOnePageThroughTheConnection) {
  db_->On(kProbe).Returns(kColumns, {{"01", "Acme", "1", "N"}});
  db_->On(kFirstPage).Returns(kColumns, {{"01", "Acme", "1", "N"}, {"02", std::nullopt, "0", "D"}});
  params::SqlRowSource source(session_);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));

  EXPECT_EQ(db_->statements(), (std::vector<std::string>{kProbe, kFirstPage}));
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_TRUE(platform_.messages.empty());
  ASSERT_EQ(grid.RowCount(), 2u);
  EXPECT_EQ(grid.CellText(0, 1), "Acme" + std::string(46, ' '));  // texts padded to width
  EXPECT_EQ(grid.CellText(0, 2), ".T.");
  EXPECT_EQ(grid.CellText(1, 1), "");  // a null text reads as empty text
  EXPECT_EQ(grid.CellText(1, 3), "D    ");
  EXPECT_EQ(grid.aStruct().back().name, "nRegBrowse");
}

TEST_F(SqlRowSourceTest, FailuresShowTheirMessages) {
  db_->On(kFirstPage).Fails("no table");
  db_->On(kProbe).Returns(kColumns, {});
  params::SqlRowSource source(session_);
  params::TbSQL grid(session_, source);
  ASSERT_TRUE(grid.Redefine(Empresas()));
  EXPECT_EQ(grid.RowCount(), 0u);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text,
            std::string("SIN EXITO 2 -> \r\nno table\r\n\r\n") + kFirstPage);

  db_->FailAllocations(1);
  params::TbSQL other(session_, source);
  EXPECT_FALSE(other.Redefine(Empresas()));
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[1].text, "SIN EXITO AL PARTIR");
}

}  // namespace
