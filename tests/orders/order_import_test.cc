// The order import against the scripted database: the statements in order in
// one transaction, the numbers and prices written, the single rollback path
// and its problem line for a failure at every kind of step, the orders left
// out when their document key collides, literals of handheld data, the
// staging tables against the inbox layouts, and every composed statement
// through the T-SQL grammar.
#include "orders/order_import.h"

#include <gtest/gtest.h>

#include <map>

#include "config/text.h"
#include "orders/numbering.h"
#include "orders/order_statements.h"
#include "orders_fixture.h"
#include "support/schema_ddl.h"
#include "support/tsql_grammar.h"

namespace orders {
namespace {

using orderstest::ScriptedConnection;
using orderstest::ScriptedRow;

const std::vector<db::ColumnDescription> kHeaderColumns = {
    {"ID_PEDIDO", SQL_VARCHAR, 30, 0}, {"ENDO", SQL_CHAR, 13, 0}, {"KOFUDO", SQL_CHAR, 3, 0}};
const std::vector<db::ColumnDescription> kLineColumns = {
    {"ID_PEDIDO", SQL_VARCHAR, 30, 0}, {"ID_DETALLE_PEDIDO", SQL_VARCHAR, 20, 0},
    {"ENDO", SQL_CHAR, 13, 0},         {"KOPR", SQL_CHAR, 13, 0},
    {"CAPRCO1", SQL_DOUBLE, 15, 0},    {"DCTOVEN", SQL_DOUBLE, 15, 0},
    {"POIVLI", SQL_DOUBLE, 15, 0},     {"NUDOENCA", SQL_CHAR, 10, 0},
    {"SUC_CLI", SQL_CHAR, 10, 0}};
const db::Date kToday{2024, 3, 5};

class ImportTest : public orderstest::ScriptedSessionTest {
 protected:
  ImportTest() {
    ini_.cDSN = "ERP";
    ini_.BaseDestino = "VEL";
    ini_.cEmpresa = "01";
    ini_.cModalidad = "VENTA";
    ini_.cSucursal = "SU1";
    ini_.cBodega = "BO1";
    prices_["A"].price = 1000;
    prices_["A"].discounts = {5, 0, 0, 0};
    prices_["B"].price = 999.5;
  }

  // Two orders of seller V01, one line each: the examples 2700/513/3213 and
  // 1000/190/1190.
  void ScriptTwoOrders() {
    db_->On("SELECT * FROM #PASO_PDAENCA")
        .Returns(kHeaderColumns, {{"P1", "C1", "V01"}, {"P2", "C2", "V01"}});
    db_->OnPrefix("SELECT COALESCE(MAX(NUMERONVV)")
        .Returns({{"MAXNUDO", SQL_VARCHAR, 10, 0}}, {{"0000000000"}})
        .Once();
    db_->OnPrefix("SELECT COALESCE(MAX(NUMERONVV)")
        .Returns({{"MAXNUDO", SQL_VARCHAR, 10, 0}}, {{"0000000001"}})
        .Once();
    db_->OnPrefix("SELECT D.*,E.NUDO")
        .Returns(kLineColumns, {{"P1", "1", "C1", "A", "3", "10", "19", "0000000001", "CASA1"},
                                {"P2", "1", "C2", "B", "1", "0", "19", "0000000002", "S2"}});
  }

  ImportSummary Import() {
    const PriceLookup price = [this](const std::string& modality, const std::string& product,
                                     const std::string& customer, const std::string& branch,
                                     const std::string& company) {
      calls_.push_back(modality + "|" + product + "|" + customer + "|" + branch + "|" + company);
      if (status_ != PriceStatus::kPriced) {
        ResolvedPrice failed;
        failed.status = status_;
        failed.failed_statement = "SELECT TOP 1 * FROM MAEEN";
        return failed;
      }
      return prices_[product];
    };
    const Clock clock = [this] {
      ++clock_reads_;
      return ClockReading{kToday, 10 * 3600 + 11 * 60 + 12};
    };
    return SECUENCIAPDA(session_, price, ini_, problems_, clock);
  }

  ImportStatements Sql() const { return ComposeImportStatements(ini_, "", "10:11:12", kToday); }

  config::TInicio ini_;
  std::map<std::string, ResolvedPrice> prices_;
  PriceStatus status_ = PriceStatus::kPriced;
  std::vector<std::string> calls_;
  std::vector<std::string> problems_;
  int clock_reads_ = 0;
};

std::vector<std::string> Numbering(const std::string& number, const std::string& customer,
                                   const std::string& order) {
  return {MaxNumberQuery("V01"),
          "SELECT TOP 1 * FROM VENDEDORYNOTA WHERE VENDEDOR='V01' AND NUMERONVV='" + number + "'",
          "SELECT TOP 1 IDPDAENCA FROM [ERP].dbo.PDAENCA WITH (NOLOCK) WHERE TIDO='NVV' AND "
          "NUDO='" + number + "' AND ENDO='" + customer + "'",
          RecordNumberStatement("V01", number), NumberUpdate(number, order)};
}

TEST_F(ImportTest, StatementsInOrderInOneTransaction) {
  ScriptTwoOrders();
  db_->OnPrefix("INSERT INTO [ERP].dbo.PDAENCA").Affects(2);
  db_->OnPrefix("INSERT INTO [ERP].dbo.PDADETA").Affects(2);
  const ImportSummary summary = Import();
  EXPECT_TRUE(summary.committed);
  EXPECT_EQ(summary.orders, 2);
  EXPECT_EQ(summary.lines, 2);
  EXPECT_TRUE(problems_.empty());

  const ImportStatements s = Sql();
  std::vector<std::string> expected = {s.drop_headers, s.drop_lines, s.begin, s.stage_headers,
                                       s.read_headers};
  for (const auto& n : {Numbering("0000000001", "C1", "P1"), Numbering("0000000002", "C2", "P2")}) {
    expected.insert(expected.end(), n.begin(), n.end());
  }
  expected.insert(
      expected.end(),
      {s.head_office, s.read_collisions, s.drop_collisions, s.insert_headers, s.take_keys,
       s.stage_lines, s.product_data, s.read_lines,
       "UPDATE #PASO_PDADETA SET NUDO='0000000001',PPPRNE=1000,PPPRNELT=1000,VANELI=2700,"
       "VABRLI=3213,DCTO1=5,DCTO2=0,DCTO3=0,DCTO4=0 WHERE ID_DETALLE_PEDIDO='1' AND "
       "ID_PEDIDO='P1'",
       "UPDATE #PASO_PDADETA SET NUDO='0000000002',PPPRNE=999.5,PPPRNELT=999.5,VANELI=1000,"
       "VABRLI=1190,DCTO1=0,DCTO2=0,DCTO3=0,DCTO4=0 WHERE ID_DETALLE_PEDIDO='1' AND "
       "ID_PEDIDO='P2'",
       s.link_lines, s.insert_lines, s.mark_orders, s.mark_lines, s.validate_headers,
       s.validate_lines, s.totals, s.commit, s.drop_lines, s.drop_headers});
  EXPECT_EQ(db_->statements(), expected);
  // Priced with the modality, the customer's branch after the head-office
  // mapping, and the company; every line before any is updated.
  EXPECT_EQ(calls_, (std::vector<std::string>{"VENTA|A|C1|CASA1|01", "VENTA|B|C2|S2|01"}));
  EXPECT_EQ(db_->open_statements(), 0);
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(ImportTest, LineValuesRoundHalfAwayFromZero) {
  struct Case {
    double price, quantity, discount, vat, net, tax, gross;
  };
  for (const Case& c : {Case{1000, 3, 10, 19, 2700, 513, 3213}, Case{999.5, 1, 0, 19, 1000, 190, 1190},
                        Case{0, 5, 0, 19, 0, 0, 0}, Case{10.05, 10, 0, 0, 101, 0, 101},
                        Case{-999.5, 1, 0, 0, -1000, 0, -1000}}) {
    const LineValues v = ComputeLineValues(c.price, c.quantity, c.discount, c.vat);
    EXPECT_EQ(v.net, c.net) << c.price;
    EXPECT_EQ(v.tax, c.tax) << c.price;
    EXPECT_EQ(v.gross, c.gross) << c.price;
  }
}

TEST_F(ImportTest, ObservationTimeAndMarkingDateComeFromTheCycleStart) {
  ScriptTwoOrders();
  Import();
  EXPECT_EQ(clock_reads_, 1);  // one time for every order of the cycle
  const ImportStatements s = Sql();
  EXPECT_NE(s.stage_headers.find("CAST('( Norvo Móvil : 10:11:12 )' AS varchar(50) ) AS OBS"),
            std::string::npos);
  EXPECT_NE(s.mark_orders.find("FECHA_PROCESO={d '2024-03-05'}"), std::string::npos);
  EXPECT_NE(s.mark_lines.find("FECHA_ULTIMA_MODIFICACION={d '2024-03-05'}"), std::string::npos);
  EXPECT_EQ(MobileObservation("10:11:12"), "( Norvo Móvil : 10:11:12 )");
}

TEST_F(ImportTest, NoNewOrdersStillRunsEveryStatementAndCommits) {
  const ImportSummary summary = Import();
  EXPECT_TRUE(summary.committed);
  const ImportStatements s = Sql();
  EXPECT_EQ(db_->statements(),
            (std::vector<std::string>{
                s.drop_headers, s.drop_lines, s.begin, s.stage_headers, s.read_headers,
                s.head_office, s.read_collisions, s.drop_collisions, s.insert_headers,
                s.take_keys, s.stage_lines, s.product_data, s.read_lines, s.link_lines,
                s.insert_lines, s.mark_orders, s.mark_lines, s.validate_headers,
                s.validate_lines, s.totals, s.commit, s.drop_lines, s.drop_headers}));
  EXPECT_TRUE(calls_.empty());
}

// A failure at any step rolls back at once and leaves one problem line.
TEST_F(ImportTest, EveryFailingStepRollsBackWithOneProblemLine) {
  const ImportStatements s = Sql();
  struct Case {
    std::string prefix;
    std::string message;  // "" : sent without collecting the message
  };
  const std::vector<Case> cases = {
      {s.begin, ""},
      {s.stage_headers, "boom"},
      {"INSERT INTO VENDEDORYNOTA", "duplicate key"},
      {"UPDATE #PASO_PDAENCA SET NUDO", "boom"},
      {s.head_office, "boom"},
      {s.drop_collisions, "boom"},
      {s.insert_headers, "boom"},
      {s.take_keys, "boom"},
      {s.stage_lines, "boom"},
      {s.product_data, "boom"},
      {"UPDATE #PASO_PDADETA SET NUDO", "boom"},
      {s.link_lines, "boom"},
      {s.insert_lines, "boom"},
      {s.mark_orders, "boom"},
      {s.mark_lines, "boom"},
      {s.validate_headers, "boom"},
      {s.validate_lines, "boom"},
      {s.totals, "boom"},
      {s.commit, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    problems_.clear();
    db_->OnPrefix(c.prefix).Fails(c.message.empty() ? "driver text" : c.message);
    ScriptTwoOrders();
    const ImportSummary summary = Import();
    EXPECT_FALSE(summary.committed);
    EXPECT_EQ(problems_, std::vector<std::string>{"Problema -> " + c.message});
    const auto& sent = db_->statements();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.back(), "ROLLBACK TRANSACTION");
    EXPECT_EQ(sent[sent.size() - 2].rfind(c.prefix, 0), 0u);
    if (c.prefix != s.commit) {
      for (const auto& t : sent) EXPECT_NE(t, s.commit);
    }
  }
}

TEST_F(ImportTest, ProblemsOfReadingNumberingAndPricingAbandonTheImport) {
  struct Case {
    std::string name;
    std::function<void(ScriptedConnection&)> script;
    PriceStatus status;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {"headers unreadable", [](ScriptedConnection& db) { db.On("SELECT * FROM #PASO_PDAENCA").Fails("x"); },
       PriceStatus::kPriced, "Problema -> SIN EXITO -> SELECT * FROM #PASO_PDAENCA"},
      {"51 taken numbers",
       [](ScriptedConnection& db) {
         db.OnPrefix("SELECT TOP 1 * FROM VENDEDORYNOTA")
             .Returns({{"VENDEDOR", SQL_CHAR, 3, 0}}, {{"V01"}});
       },
       PriceStatus::kPriced, "Problema -> "},
      {"exhausted counter",
       [](ScriptedConnection& db) {
         db.OnPrefix("SELECT COALESCE(MAX(NUMERONVV)")
             .Returns({{"MAXNUDO", SQL_VARCHAR, 10, 0}}, {{"9999999999"}});
       },
       PriceStatus::kPriced, "Problema -> " + ExhaustedCounterText("V01")},
      {"no settings row", [](ScriptedConnection&) {}, PriceStatus::kNoSettingsRow,
       "Problema -> Modalidad no existe para la empresa. Establéscala en "
       "Parámetros->Empresas y continúe"},
      {"failed price look-up", [](ScriptedConnection&) {}, PriceStatus::kLookupFailed,
       "Problema -> " + UnknownPriceText("SELECT TOP 1 * FROM MAEEN")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    session_.LMONITOREO = false;
    problems_.clear();
    status_ = c.status;
    c.script(*db_);
    ScriptTwoOrders();
    EXPECT_FALSE(Import().committed);
    EXPECT_EQ(problems_, std::vector<std::string>{c.problem});
    EXPECT_EQ(db_->statements().back(), "ROLLBACK TRANSACTION");
    for (const auto& t : db_->statements()) {
      EXPECT_EQ(t.rfind("UPDATE #PASO_PDADETA SET NUDO", 0), std::string::npos);
    }
  }
}

TEST_F(ImportTest, CollidingOrderIsLeftOutAndReportedTheOthersCommit) {
  ScriptTwoOrders();
  const ImportStatements s = Sql();
  db_->On(s.read_collisions)
      .Returns({{"ID_PEDIDO", SQL_VARCHAR, 30, 0}, {"NUDO", SQL_CHAR, 10, 0},
                {"ENDO", SQL_CHAR, 13, 0}},
               {{"P2", "0000000002", "C2"}});
  EXPECT_TRUE(Import().committed);
  EXPECT_EQ(problems_, std::vector<std::string>{CollisionProblem("P2", "0000000002", "C2")});
  EXPECT_EQ(problems_[0],
            "Problema -> Pedido P2 no importado: el documento NVV 0000000002 del cliente C2 "
            "ya existe; queda pendiente para el próximo ciclo");
  // The colliding header leaves the staging table before any insert; lines
  // take the key of their own header only, and only linked lines are inserted
  // or marked.
  EXPECT_NE(s.drop_collisions.find("DELETE FROM #PASO_PDAENCA WHERE EXISTS"), std::string::npos);
  EXPECT_NE(s.link_lines.find("H.ID_PEDIDO=#PASO_PDADETA.ID_PEDIDO AND H.IDPDAENCA<>0"),
            std::string::npos);
  EXPECT_NE(s.insert_lines.find("WHERE COALESCE(IDPDAENCA,0)<>0"), std::string::npos);
}

TEST_F(ImportTest, HandheldAndConfigurationValuesAreLiterals) {
  ini_.cSucursal = "S'1";
  ini_.BaseDestino = "VEL]X";
  db_->On("SELECT * FROM #PASO_PDAENCA").Returns(kHeaderColumns, {{"P'1", "C'1", "V'1"}});
  db_->OnPrefix("SELECT D.*,E.NUDO")
      .Returns(kLineColumns, {{"P'1", "1'", "C'1", "A", "1", "0", "0", "0000000001", ""}});
  Import();
  const auto& sent = db_->statements();
  auto has = [&](const std::string& text) {
    for (const auto& t : sent) {
      if (t.find(text) != std::string::npos) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("CAST('S''1' AS char(3) ) AS SUDO"));
  EXPECT_TRUE(has("FROM [VEL]]X].dbo.CABECERA_PEDIDOS AS E"));
  EXPECT_TRUE(has("WHERE VENDEDOR='V''1' "));
  EXPECT_TRUE(has("UPDATE #PASO_PDAENCA SET NUDO='0000000001' WHERE ID_PEDIDO ='P''1' "));
  EXPECT_TRUE(has("WHERE ID_DETALLE_PEDIDO='1''' AND ID_PEDIDO='P''1'"));
  EXPECT_TRUE(problems_.empty());
}

TEST_F(ImportTest, StagingTablesMatchTheInboxLayouts) {
  const ImportStatements s = ComposeImportStatements(ini_, " COLLATE Modern_Spanish_CI_AS",
                                                     "10:11:12", kToday);
  std::map<std::string, std::string> inbox;
  for (const auto& t : {"PDAENCA", "PDADETA"}) {
    const auto columns = testsupport::OriginColumns(t);
    ASSERT_FALSE(columns.empty()) << t;
    for (const auto& c : columns) inbox[std::string(t) + "." + c.name] = c.type;
  }
  for (const auto& [table, statement, ids] :
       {std::tuple{"PDAENCA", s.stage_headers, 1}, std::tuple{"PDADETA", s.stage_lines, 2}}) {
    const auto staged = testsupport::StagingColumns(statement);
    ASSERT_GT(staged.size(), 30u);
    for (size_t i = ids; i < staged.size(); ++i) {
      EXPECT_EQ(inbox[std::string(table) + "." + staged[i].name], staged[i].type)
          << table << "." << staged[i].name;
    }
  }
  // Character columns carry the collation clause, the others do not.
  EXPECT_NE(s.stage_headers.find("CAST('NVV' AS char(3) ) COLLATE Modern_Spanish_CI_AS AS TIDO"),
            std::string::npos);
  EXPECT_NE(s.stage_lines.find("CAST(D.CANTIDAD_PEDIDA AS float ) AS CAPRCO1"), std::string::npos);
  EXPECT_EQ(CollationClause("  Latin1_General_CI_AS "), " COLLATE Latin1_General_CI_AS");
  EXPECT_EQ(CollationClause("  "), "");
}

// The staging statements column by column, and the fixed texts, byte for byte.
TEST_F(ImportTest, StagingStatementsAndFixedTextsAreExact) {
  const ImportStatements s = ComposeImportStatements(ini_, " COLLATE CX", "10:11:12", kToday);
  auto c = [](const std::string& expr, const std::string& type, const std::string& name) {
    return "CAST(" + expr + " AS " + type + " ) COLLATE CX AS " + name;
  };
  auto n = [](const std::string& expr, const std::string& type, const std::string& name) {
    return "CAST(" + expr + " AS " + type + " ) AS " + name;
  };
  const std::string nudo = "RIGHT('0000000000'+SUBSTRING(E.ID_PEDIDO,12,9),10)";
  const std::vector<std::string> headers = {
      "E.ID_PEDIDO AS ID_PEDIDO",
      c("'NVV'", "char(3)", "TIDO"),
      c(nudo, "char(10)", "NUDO"),
      c("LEFT(E.ID_CUENTA,13)", "char(13)", "ENDO"),
      c("LEFT(E.ID_DIRECCION_ENTREGA,10)", "char(10)", "SUENDO"),
      c("LEFT(EN.RAZON_SOCIAL,50)", "varchar(50)", "NOKOEN"),
      c("'SU1'", "char(3)", "SUDO"),
      c("LEFT(E.ID_VENDEDOR,3)", "char(3)", "KOFUDO"),
      c("''", "char(1)", "ESTADO"),
      c("''", "char(1)", "VALIDO"),
      c("''", "char(5)", "MODALIDAD"),
      c("'0'", "char(10)", "HORULTSIN"),
      c("LEFT(E.NOTAS_VENDEDOR,50)", "varchar(50)", "MOVILOBS"),
      c("''", "char(10)", "EVENCARAC"),
      c("''", "varchar(50)", "MOVILEVEN"),
      c("'01'", "char(2)", "EMPRESA"),
      c("CASE WHEN COALESCE(E.NOTAS_VENDEDOR,'')='' THEN '' ELSE 'MOVIL-OBS' END", "char(10)",
        "OBSCARAC"),
      c("'( Norvo Móvil : 10:11:12 )'", "varchar(50)", "OBS"),
      c("SUBSTRING(E.HORA_INICIO_PEDIDO,1,2)+':'+SUBSTRING(E.HORA_INICIO_PEDIDO,3,2)+':'+"
        "SUBSTRING(E.HORA_INICIO_PEDIDO,5,2)",
        "char(10)", "HORAINI"),
      c("SUBSTRING(E.HORA_FIN_PEDIDO,1,2)+':'+SUBSTRING(E.HORA_FIN_PEDIDO,3,2)+':'+"
        "SUBSTRING(E.HORA_FIN_PEDIDO,5,2)",
        "char(10)", "HORAFIN"),
      c("CAST(E.GPS_LATITUD AS varchar(18))+' '+CAST(E.GPS_LONGITUD AS varchar(18))",
        "varchar(50)", "POSICION"),
      c("'0'", "char(1)", "ESTULTSIN"),
      n("( SELECT COUNT(*) FROM [VEL].dbo.DETALLE_PEDIDOS AS X WITH (NOLOCK) WHERE "
        "X.ID_PEDIDO=E.ID_PEDIDO )",
        "int", "LINEAS"),
      n("LEFT(E.FECHA_INICIO_PEDIDO,8)", "datetime", "FEEMDO"),
      n("E.MONTO_TOT_PED_C_DTO_S_IMP", "float", "VANEDO"),
      n("E.MON_TOT_PED_C_DTO_IMP-E.MONTO_TOT_PED_C_DTO_S_IMP", "float", "VAIVDO"),
      n("E.MON_TOT_PED_C_DTO_IMP", "float", "VABRDO"),
      n("''", "float", "CRTO"),
      n("0", "bit", "SINDEU"),
      n("''", "int", "IDPDAENCA"),
      n("''", "datetime", "FECULTSIN"),
      n("10", "int", "TPOGRAB"),
      n("5", "int", "TPOPROTRA"),
      n("LEFT(E.FECHA_ENTREGA_PEDIDO,8)", "datetime", "FEER"),
      n("''", "int", "TOTBYTES"),
  };
  EXPECT_EQ(s.stage_headers,
            "SELECT " + config::Join(headers, ", ") +
                " INTO #PASO_PDAENCA FROM [VEL].dbo.CABECERA_PEDIDOS AS E INNER "
                "JOIN [VEL].dbo.CLIENTES AS EN WITH (NOLOCK) ON EN.ID_CUENTA=E.ID_CUENTA WHERE "
                "E.FECHA_PROCESO IS NULL");
  std::vector<std::string> lines = {
      "E.ID_PEDIDO AS ID_PEDIDO",
      "D.ID_DETALLE_PEDIDO AS ID_DETALLE_PEDIDO",
      c("'NVV'", "char(3)", "TIDO"),
      c(nudo, "char(10)", "NUDO"),
      c("LEFT(E.ID_CUENTA,13)", "char(13)", "ENDO"),
      c("''", "char(10)", "SUENDO"),
      c("'SU1'", "char(3)", "SULIDO"),
      c("'BO1'", "char(3)", "BOSULIDO"),
      c("LEFT(E.ID_VENDEDOR,3)", "char(3)", "KOFULIDO"),
      c("''", "char(3)", "TIPR"),
      c("LEFT(D.CODIGO_ARTICULO,13)", "char(13)", "KOPR"),
      c("RIGHT(LEFT(D.ID_LISTA_PRECIO,8),3)", "char(3)", "KOLTPR"),
      c("LEFT(E.TIPO_PEDIDO,6)", "char(6)", "TIPOLECTO"),
      c("'1'", "char(2)", "UDTRPR"),
      c("''", "char(2)", "UD01PR"),
      c("''", "char(2)", "UD02PR"),
      c("''", "char(1)", "ESTADO"),
      c("''", "varchar(50)", "OBS"),
      c("''", "varchar(50)", "NOKOPR"),
      c("''", "char(1)", "VALIDO"),
      n("D.ID_DETALLE_PEDIDO", "float", "NULIDO"),
      n("D.PRECIO_UNITARIO_LISTA", "float", "PPPRNELT"),
      n("D.CANTIDAD_PEDIDA", "float", "CAPRCO1"),
      n("D.PORCENTAJE_DESCUENTO_APLICADO", "float", "DCTOVEN"),
      n("LEFT(E.FECHA_INICIO_PEDIDO,8)", "datetime", "FEEMLI"),
      n("D.PRECIO_UNITARIO_LISTA", "float", "PPPRNE"),
      n("1", "float", "RLUDPR"),
  };
  for (const char* zero : {"PPPRBR", "POIVLI", "VANELI", "VABRLI", "DCTO1", "DCTO2", "DCTO3",
                           "DCTO4", "DCTOMAX"}) {
    lines.push_back(n("''", "float", zero));
  }
  lines.push_back(n("''", "int", "IDPDAENCA"));
  lines.push_back(n("''", "float", "CAPRCO2"));
  EXPECT_EQ(s.stage_lines,
            "SELECT " + config::Join(lines, ", ") +
                " INTO #PASO_PDADETA FROM [VEL].dbo.DETALLE_PEDIDOS AS D INNER "
                "JOIN [VEL].dbo.CABECERA_PEDIDOS AS E ON E.ID_PEDIDO=D.ID_PEDIDO "
                "INNER JOIN [VEL].dbo.CLIENTES AS EN WITH (NOLOCK) ON EN.ID_CUENTA=E.ID_CUENTA "
                "WHERE E.FECHA_PROCESO IS NULL");

  EXPECT_EQ(s.read_lines,
            "SELECT D.*,E.NUDO AS NUDOENCA,E.SUENDO AS SUC_CLI  FROM #PASO_PDADETA AS D WITH "
            "(NOLOCK)  INNER JOIN #PASO_PDAENCA AS E WITH (NOLOCK) ON E.ID_PEDIDO=D.ID_PEDIDO ");
  EXPECT_EQ(s.read_headers, "SELECT * FROM #PASO_PDAENCA");
  EXPECT_EQ(s.drop_headers, "DROP TABLE #PASO_PDAENCA");
  EXPECT_EQ(s.drop_lines, "DROP TABLE #PASO_PDADETA");
  EXPECT_EQ(s.begin, "BEGIN TRANSACTION");
  EXPECT_EQ(s.commit, "COMMIT TRANSACTION");
  EXPECT_EQ(s.rollback, "ROLLBACK TRANSACTION");
  // Product data: no lock hint; a unit ratio of 0 gives a second quantity of 0.
  EXPECT_EQ(s.product_data,
            "UPDATE #PASO_PDADETA SET UD01PR=P.UD01PR,UD02PR=P.UD02PR,NOKOPR=P.NOKOPR,"
            "RLUDPR=P.RLUD,TIPR=P.TIPR,POIVLI=P.POIVPR,CAPRCO2=CASE WHEN COALESCE(P.RLUD,0)=0 "
            "THEN 0 ELSE CAPRCO1/P.RLUD END FROM [ERP].dbo.MAEPR AS P WHERE "
            "P.KOPR=#PASO_PDADETA.KOPR");
  EXPECT_EQ(s.head_office,
            "UPDATE #PASO_PDAENCA SET SUENDO=EN.SUEN FROM [ERP].dbo.MAEEN AS EN WITH (NOLOCK) "
            "WHERE #PASO_PDAENCA.ENDO=EN.KOEN AND #PASO_PDAENCA.SUENDO='CASAMATRIZ' AND "
            "EN.TIPOSUC = 'P'");
}

TEST_F(ImportTest, EveryComposedStatementIsTsql) {
  ScriptTwoOrders();
  ini_.cCollationOrigen = "Modern_Spanish_CI_AS";
  Import();
  std::vector<std::string> all = db_->statements();
  all.push_back(Sql().rollback);
  EXPECT_ALL_TSQL(all);
}

}  // namespace
}  // namespace orders
