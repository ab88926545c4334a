// LLENATABMACRO against a scripted PNOMDIM, TABPP and TABPRE: the merge of the
// ERP's variables with the built-in ones, the OPERA rewrite, the price-list
// variables and the order by code.
#include "orders/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "orders_fixture.h"
#include "support/tsql_grammar.h"

namespace orders {
namespace {

using orderstest::ScriptedRow;
using orderstest::TabpreColumns;

const std::string kTabppTop = "SELECT TOP 1 * FROM TABPP WITH ( NOLOCK ) ";

class CatalogueTest : public orderstest::ScriptedSessionTest {
 protected:
  void ScriptPnomdim(std::vector<ScriptedRow> rows) {
    db_->On(kPnomdimQuery)
        .Returns({{"CODIGO", SQL_CHAR, 10, 0},
                  {"NOMBRE", SQL_CHAR, 50, 0},
                  {"DEPENDENCIA", SQL_CHAR, 12, 0},
                  {"VALOR", SQL_DOUBLE, 15, 0}},
                 std::move(rows));
  }
  void ScriptOpera(const std::string& opera) {
    db_->On(kTabppTop).Returns({{"KOLT", SQL_CHAR, 3, 0}, {"OPERA", SQL_VARCHAR, 150, 0}},
                               {{"01P", opera}});
  }
  void ScriptTabpreColumns(size_t count) {
    auto columns = TabpreColumns();
    columns.resize(count);
    db_->On(kTabpreLayoutQuery).Returns(columns, {});
  }
  const CatalogueEntry* Find(const std::string& code) const {
    auto it = std::find_if(catalogue_.begin(), catalogue_.end(),
                           [&](const CatalogueEntry& e) { return e.code == code; });
    return it == catalogue_.end() ? nullptr : &*it;
  }

  Catalogue catalogue_;
};

TEST_F(CatalogueTest, MergesErpVariablesBuiltinsAndListColumnsOrderedByCode) {
  ScriptPnomdim({{"ZZZ", "Ultimo", "Por_entidad", "0"},
                 {"PP01UD", "Precio propio", "Por_producto", "0"},
                 {"IVA", "Impuesto", "Valor_propio", "19"},
                 {"ABC", "Primero", "Por_zona", "0"}});
  ScriptOpera("XX                          ABC");
  ScriptTabpreColumns(32);
  db_->FailUnscripted();

  LLENATABMACRO(session_, catalogue_);

  EXPECT_EQ(db_->statements(),
            (std::vector<std::string>{kPnomdimQuery, kTabppTop, kTabpreLayoutQuery}));
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_TRUE(platform_.messages.empty());
  // 27 built-ins (PP01UD replaced by the ERP's), 3 more of the ERP, DTO01 and DTO02.
  ASSERT_EQ(catalogue_.size(), 32u);
  EXPECT_TRUE(std::is_sorted(catalogue_.begin(), catalogue_.end(),
                             [](auto& a, auto& b) { return a.code < b.code; }));
  EXPECT_EQ(catalogue_.front().code, "ABC");
  EXPECT_EQ(catalogue_.back().code, "ZZZ");
  EXPECT_EQ(Find("PP01UD")->group, "Por_producto");
  EXPECT_EQ(Find("IVA")->group, "Valor_propio");
  EXPECT_EQ(Find("IVA")->value, 19);
  EXPECT_EQ(Find("ABC")->group, "Por_zona    ");
  EXPECT_EQ(*Find("DTO01"), (CatalogueEntry{"DTO01", "DTO01", "Por_tabpp   ", 0}));
  EXPECT_EQ(*Find("DTO02"), (CatalogueEntry{"DTO02", "DTO02", "Por_tabpp   ", 0}));
  EXPECT_EQ(Find("EDTO01"), nullptr);  // formula columns are no variables
  EXPECT_EQ(*Find("A_FABRICAR"),
            (CatalogueEntry{"A_FABRICAR", "Cantidad que se fabricará    ", "Valor_orden ", 0}));
  EXPECT_EQ(*Find("VANELI"), (CatalogueEntry{"VANELI", "Valor neto línea en documento comercial",
                                             "Valor_docud ", 0}));
  EXPECT_EQ(*Find("C_FABRIC"),
            (CatalogueEntry{"C_FABRIC", "Costo de fabricación standard producto  ",
                            "Por_tabpp   ", 0}));
  EXPECT_EQ(*Find("RLUD"),
            (CatalogueEntry{"RLUD", "Relación de transformación entre Ud01, Ud02 ",
                            "Por_maepr   ", 0}));
  // The local copy is gone.
  EXPECT_EQ(session_.locals.Find(kLocalCatalogueTable), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "LPNOMDIM.sqlite"));
}

TEST_F(CatalogueTest, BuiltinsAloneAndTheOperaRewrite) {
  ScriptPnomdim({});
  ScriptOpera("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  ScriptTabpreColumns(28);

  LLENATABMACRO(session_, catalogue_);

  const std::string rewrite =
      "UPDATE TABPP SET OPERA='XX" + std::string(26, ' ') + "'+SUBSTRING(OPERA,25,95) ";
  EXPECT_EQ(rewrite, kOperaRewrite);
  EXPECT_EQ(db_->statements(),
            (std::vector<std::string>{kPnomdimQuery, kTabppTop, rewrite, kTabpreLayoutQuery}));
  ASSERT_EQ(catalogue_.size(), 27u);  // no list variable with 28 columns
  for (const BuiltinVariable& b : BuiltinVariables()) {
    const CatalogueEntry* e = Find(b.code);
    ASSERT_NE(e, nullptr) << b.code;
    EXPECT_EQ(*e, (CatalogueEntry{b.code, b.name, b.group, 0}));
    EXPECT_EQ(e->group.size(), kGroupWidth) << b.code;
  }
  EXPECT_ALL_TSQL(db_->statements());
}

TEST_F(CatalogueTest, FailedRewriteIsIgnoredAndMissingPnomdimKeepsTheBuiltins) {
  db_->On(kPnomdimQuery).Fails("Invalid object name 'PNOMDIM'.");
  ScriptOpera("");
  db_->OnPrefix("UPDATE TABPP").Fails("permission denied");
  ScriptTabpreColumns(36);

  LLENATABMACRO(session_, catalogue_);

  EXPECT_EQ(catalogue_.size(), 27u + 4u);
  EXPECT_NE(Find("DTO04"), nullptr);
  EXPECT_EQ(db_->statements().size(), 4u);
  EXPECT_EQ(platform_.messages.size(), 1u);  // the failed PNOMDIM query
  EXPECT_EQ(session_.locals.Find(kLocalCatalogueTable), nullptr);
}

}  // namespace
}  // namespace orders
