// Qualification of names by their group, and the FROM and WHERE texts.
#include "orders/qualify.h"

#include <gtest/gtest.h>

namespace orders {
namespace {

TEST(CalificacamposTest, WritesNamesByGroupAndListsTables) {
  const Catalogue catalogue = {
      {"A_FABRICAR", "", kGroupValorOrden, 0}, {"BOD", "", kGroupPorBodega, 0},
      {"DOCU", "", kGroupValorDocud, 0},       {"IVA", "", kGroupValorPropio, 19},
      {"MDD", "", kGroupPorMaeddo, 0},         {"NEG", "", kGroupValorPropio, -2.5},
      {"PP01UD", "", kGroupPorTabpp, 0},       {"RARO", "", "Otro_grupo  ", 0},
      {"STFI1", "", kGroupPorMaepr, 0},
  };
  struct Case {
    std::string text, expected, tables;
  };
  const Case cases[] = {
      {"PP01UD*(1+IVA/100)", "TABPRE.PP01UD*(1+19.000/100)", "TABPRE"},
      {"STFI1+BOD*PP01UD", "MAEPREM.STFI1+TABPRE.BOD*TABPRE.PP01UD", "MAEPREM,TABPRE"},
      {"XYZ+5", "+5", ""},
      {"A_FABRICAR*RARO+1", "*+1", ""},
      {"DOCU+MDD", "DDO.DOCU+EDO->MDD", "DDO,EDO"},
      {"NEG*2,5", "-2.500*2,5", ""},
      {" 1 0 . 5 ", "10.5", ""},
      {"pp01ud", "", ""},  // codes are compared exactly
  };
  for (const Case& c : cases) {
    TableList tables;
    EXPECT_EQ(CALIFICACAMPOS(catalogue, c.text, tables), c.expected) << c.text;
    std::string joined;
    for (const std::string& t : tables) joined += (joined.empty() ? "" : ",") + t;
    EXPECT_EQ(joined, c.tables) << c.text;
  }
}

TEST(FromwhereTest, ListedTablesWithConditionsInOrder) {
  PriceContext context;
  context.product = "P1";
  context.list_code = "01P";
  context.customer = "C1";
  SourceConditions conditions = RowConditions(context, "01");
  const FromWhere fw = FROMWHERE(conditions, {"EDO", "MAEPREM", "PDIMEN"});
  EXPECT_EQ(fw.from, "MAEPREM,PDIMEN");
  EXPECT_EQ(fw.where, " MAEPREM.EMPRESA='01' AND MAEPREM.KOPR='P1'  AND PDIMEN.CODIGO='P1' ");
  EXPECT_EQ(ValueQuery("PDIMEN.X", fw),
            "SELECT 1.0*PDIMEN.X AS RESUL FROM MAEPREM,PDIMEN WHERE MAEPREM.EMPRESA='01' AND "
            "MAEPREM.KOPR='P1'  AND PDIMEN.CODIGO='P1'");
  EXPECT_TRUE(NamesTableWithoutCondition(conditions, {"EDO", "MAEPREM"}));
  EXPECT_FALSE(NamesTableWithoutCondition(conditions, {"TABPRE", "MAEPREM"}));
}

}  // namespace
}  // namespace orders
