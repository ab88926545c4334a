// The grid's statement texts byte for byte, and every one of them through the
// T-SQL grammar.
#include "params/page_queries.h"

#include <gtest/gtest.h>

#include "support/tsql_grammar.h"

namespace {

using db::Value;
using params::ArmaWhere;
using params::BeyondKey;
using params::PageQuery;
using params::ValorCampo;

const std::vector<std::string> kKey = {"EMPRESAS.RAZON", "EMPRESAS.ACTIVA",
                                       "EMPRESAS.MODALIDAD"};
const std::string kFrom = params::FromText("EMPRESAS", true);

TEST(PageQueriesTest, TextsByteForByte) {
  const std::vector<std::string> held = {ValorCampo(Value::Text("O'Hara ")),
                                         ValorCampo(Value::Logical(true)),
                                         ValorCampo(Value::Text("AB"))};
  struct Case {
    std::string actual, expected;
  } cases[] = {
      {kFrom, "EMPRESAS WITH ( NOLOCK ) "},
      {params::FromText("EMPRESAS", false), "EMPRESAS "},
      {params::FromText("CLIENTES C JOIN X", true), "CLIENTES C JOIN X "},
      {params::ProbeQuery("EMPRESAS.*", kFrom, {" EMPRESAS.RAZON ", "EMPRESAS.ACTIVA"}),
       "SELECT TOP 1 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY "
       "EMPRESAS.RAZON,EMPRESAS.ACTIVA"},
      {PageQuery("EMPRESAS.*", kFrom, " 2=2 ", kKey, false, false),
       "SELECT TOP 20 EMPRESAS.* FROM EMPRESAS WITH ( NOLOCK )  ORDER BY EMPRESAS.RAZON "
       ",EMPRESAS.ACTIVA ,EMPRESAS.MODALIDAD  OPTION ( FAST 20 ) "},
      {PageQuery("A,B", "T ", "A>1", {"A"}, true, true),
       "SELECT DISTINCT TOP 20 A,B FROM T  WHERE A>1 ORDER BY A  DESC  OPTION ( FAST 20 ) "},
      {ArmaWhere({"C1", "C2", "C3"}, ">", {"V1", "V2", "V3"}),
       "( C1>V1) OR ( C1=V1 AND C2>V2) OR ( C1=V1 AND C2=V2 AND C3>V3) "},
      {ArmaWhere({"C1"}, "<", {"V1"}), "( C1<V1) "},
      {BeyondKey(kKey, ">", held, " 2=2 "),
       " ( ( EMPRESAS.RAZON>'O''Hara ') OR ( EMPRESAS.RAZON='O''Hara ' AND "
       "EMPRESAS.ACTIVA>1) OR ( EMPRESAS.RAZON='O''Hara ' AND EMPRESAS.ACTIVA=1 AND "
       "EMPRESAS.MODALIDAD>'AB')  ) AND  2=2 "},
      {params::UpdateCellStatement("EMPRESAS", "RAZON", Value::Text(" Acme  "), "EMPRESA",
                                   Value::Text("01")),
       "UPDATE EMPRESAS SET RAZON='Acme' WHERE EMPRESA='01' "},
      {params::UpdateCellStatement("EMPRESAS", "RAZON", Value::Text("O'Hara"), "EMPRESA",
                                   Value::Text("0'")),
       "UPDATE EMPRESAS SET RAZON='O''Hara' WHERE EMPRESA='0''' "},
      {params::UpdateCellStatement("T", "FLAG", Value::Logical(false), "ID",
                                   Value::DbNumber(7)),
       "UPDATE T SET FLAG=0 WHERE ID=7.00000 "},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);

  // Every statement the grid composes, rows below and above included. (The
  // installed parser's grammar lacks SELECT DISTINCT TOP, valid T-SQL that the
  // service never sends: its grids page without DISTINCT.)
  const std::vector<std::string> statements = {
      cases[3].actual, cases[4].actual, PageQuery("A,B", "T ", "A>1", {"A"}, true, false),
      cases[9].actual, cases[10].actual, cases[11].actual,
      PageQuery("EMPRESAS.*", kFrom, BeyondKey(kKey, ">", held, " 2=2 "), kKey, false, false),
      PageQuery("EMPRESAS.*", kFrom, BeyondKey(kKey, "<", held, " 2=2  AND  EMPRESA<>'03' "),
                kKey, true, false),
  };
  EXPECT_ALL_TSQL(statements);
}

TEST(PageQueriesTest, ValorCampoByKind) {
  struct Case {
    Value value;
    std::string literal;
  } cases[] = {
      {Value::Text("Acme  "), "'Acme  '"},
      {Value::Text("O'Hara"), "'O''Hara'"},
      {Value::DbNumber(1.5), "1.50000"},
      {Value::Number(-3), "-3"},
      {Value::FromDate({2024, 1, 31}), "{d '2024-01-31'}"},
      {Value::EmptyDate(), "NULL"},
      {Value::Logical(true), "1"},
      {Value::Logical(false), "0"},
      {Value(), "''"},
  };
  for (const Case& c : cases) EXPECT_EQ(ValorCampo(c.value), c.literal) << c.literal;
}

}  // namespace
