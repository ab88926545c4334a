// The text rewrites: the rounding code, discount factors, list fields and the
// re-pointing of inserted formulas.
#include "orders/formula_text.h"

#include <gtest/gtest.h>

namespace orders {
namespace {

TEST(SacaecuredonTest, SplitsExpressionAndCode) {
  struct Case {
    std::string formula, expression, code;
  };
  const Case cases[] = {
      {" pp01ud*1.1 #3", "pp01ud*1.1", "3"}, {"5#", "5", ""},   {"5# 1", "5", ""},
      {"5#x#1", "5", "x"},                   {"pp01ud", "pp01ud", "7"},
      {"  ", "", "7"},                       {"#E", "", "E"},
      {std::string(125, '1'), std::string(120, '1'), "7"},
      {std::string(125, '1') + "#1", std::string(125, '1'), "1"},
  };
  for (const Case& c : cases) {
    const SplitFormula s = SACAECUREDON(c.formula);
    EXPECT_EQ(s.expression, c.expression) << c.formula;
    EXPECT_EQ(s.code, c.code) << c.formula;
  }
  // The 120 characters are characters, not bytes.
  const std::string accented = std::string(119, '1') + "ñ9";
  EXPECT_EQ(SACAECUREDON(accented).expression, std::string(119, '1') + "ñ");
}

TEST(FormulaTextTest, DocumentValuesDiscountFactorsAndFields) {
  EXPECT_EQ(ReplaceDocumentValues("VABRDO+VANEDO*CAPRCO1-CAPRCO2/VANELI", {1.5, 2, 3, -4, 0}),
            "1.5+2*3--4/0");
  EXPECT_EQ(SACAPARLLAVE(" PP01UD * {10} * { 5 } "), "PP01UD*(1-10*.01)*(1-5*.01)");
  EXPECT_EQ(EXTRAECAMPO("<VTA>pp01ud*0.9", 5), "PP01UD");
  EXPECT_EQ(EXTRAECAMPO("<VTA>dto01,5]", 5), "DTO01,5");
  EXPECT_EQ(EXTRAECAMPO("<VTA>", 5), "");
  EXPECT_TRUE(HasNoCapitals("pp01ud*1.1#3"));
  EXPECT_FALSE(HasNoCapitals("pp01ud*1.1#E"));
}

TEST(ArreglaxxTest, RepointsNamesFoundWithinExpandableFields) {
  const std::vector<std::string> fields = {"PP01UD", "PP02UD", "RLUD", "MG01UD",
                                           "MG02UD", "DTMA01UD", "DTMA02UD", "DTO01"};
  const std::pair<const char*, const char*> cases[] = {
      {"pp02ud*2", "(<VTA>pp02ud*2)"},
      {" pp02ud * 2 #3", "(<VTA>pp02ud * 2)"},
      {"ud+flete", "(<VTA>ud+flete)"},  // containment: "UD" is within PP01UD
      {"{dto01}*1.5", "({<VTA>dto01}*1.5)"},
      {"<aaa>pp01ud", "(<aaa>pp01ud)"},
      {"", "()"},
  };
  for (const auto& [formula, expected] : cases) {
    EXPECT_EQ(ARREGLAXX(fields, formula, "VTA"), expected) << formula;
  }
}

}  // namespace
}  // namespace orders
