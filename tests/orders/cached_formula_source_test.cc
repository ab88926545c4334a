// The formula reads kept within one import: each is sent once, a failed read
// is sent again, and with the reuse off every read goes to the database.
#include "orders/cached_formula_source.h"

#include <gtest/gtest.h>

#include "orders_fixture.h"

namespace orders {
namespace {

using orderstest::TabpreColumns;
using orderstest::TabpreRow;

const std::string kRowVta =
    "SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK )  WHERE KOLT='VTA' AND KOPR='P1'";
const std::string kRowBad =
    "SELECT TOP 1 * FROM TABPRE WITH ( NOLOCK )  WHERE KOLT='BAD' AND KOPR='P1'";

class CachedFormulaSourceTest : public orderstest::ScriptedSessionTest {
 protected:
  CachedFormulaSourceTest() {
    db_->On(kRowVta).Returns(TabpreColumns(), {TabpreRow({{"KOLT", "VTA"}, {"PP01UD", "1000"}})});
    db_->On(kRowBad).Fails("deadlock");
    db_->On(ProductMasterStatement("P1"))
        .Returns({{"RLUD", SQL_DOUBLE, 15, 0},
                  {"CAMICO", SQL_DOUBLE, 15, 0},
                  {"TTREPR", SQL_DOUBLE, 15, 0},
                  {"LTSUBIC", SQL_DOUBLE, 15, 0},
                  {"PESOUBIC", SQL_DOUBLE, 15, 0}},
                 {{"12", "1", "1", "1", "1"}});
  }
  void ReadAll() {
    const ListRow row = cached_.ListRowOf("VTA", "P1");
    EXPECT_TRUE(row.found);
    EXPECT_EQ(row.values.at(row.IndexOf("PP01UD")).number(), 1000);
    EXPECT_FALSE(cached_.ListRowOf("BAD", "P1").found);
    EXPECT_EQ(cached_.ProductMasterOf("P1").value()[0], 12);
  }

  SessionFormulaSource source_{session_};
  CachedFormulaSource cached_{source_};
};

TEST_F(CachedFormulaSourceTest, KeptReadsAreSentOnceAndFailedOnesAgain) {
  ReadAll();
  ReadAll();
  EXPECT_EQ(db_->statements(),
            (std::vector<std::string>{kRowVta, kRowBad, ProductMasterStatement("P1"), kRowBad}));
  cached_.Clear();
  ReadAll();
  EXPECT_EQ(db_->statements().size(), 7u);
  cached_.set_enabled(false);
  ReadAll();
  ReadAll();
  EXPECT_EQ(db_->statements().size(), 13u);
}

}  // namespace
}  // namespace orders
