// A real order import on SQL Server (only when QV_TEST_SQLSERVER is set): two
// fresh databases from schema/, a small ERP with a price list, handheld orders
// staged in the destination, and the import as the order cycle wires it (the
// catalogue from the ERP, the formula evaluator over the connection, the price
// resolver over the evaluator).
//
// The fixture itself is checked on every run, with or without a server: each
// statement against the T-SQL grammar, each table and column against the
// layouts of schema/quorix.sql and schema/velmora.sql (every NOT NULL column
// given a value, no text wider than its column), so that a run on a real
// server fails on the import, not on its fixture.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "db/cursor.h"
#include "db/literals.h"
#include "db/lookups.h"
#include "db/statement.h"
#include "orders/cached_formula_source.h"
#include "orders/catalogue.h"
#include "orders/formula.h"
#include "orders/formula_source.h"
#include "orders/order_import.h"
#include "orders/price_resolution.h"
#include "support/files.h"
#include "support/odbc_test_env.h"
#include "support/schema_ddl.h"
#include "support/sqlserver.h"
#include "support/tsql_grammar.h"
#include "ui/recording_platform.h"

namespace orders {
namespace {

// ---- The fixture ---------------------------------------------------------------
//
// ERP (company "01", modality "MOVIL", branch "001", warehouse "B01"):
// - CONFIEST gives the default list TABPP01P; customer C001 (principal branch
//   001, delivery branch 002) has no list of its own, C002 names TABPP01P;
// - list 01P is net ("N"): P001 stored 1000 with a stored discount of 5; P002
//   stored 1000 with the active formula 'pp01ud*1.1#3' (1100) and discounts
//   0 and 3 (3 takes the first place); P003 stored 500 with the inactive
//   formula 'PP01UD*2' (the stored price stands);
// - VAT 19 for every product; P001 holds 12 units a box, P002 6, P003 0;
// - seller V01 has given 0000000041; seller V02 has given nothing.
//
// Destination: customers C001 and C002; new orders
// - A (V01, C001, head office): 3 x P001 at 10% handheld discount -> 2700 /
//   513 / 3213, and 2 x P002 -> 2200 / 418 / 2618;
// - B (V01, C002, head office): 1 x P001 -> 1000 / 190 / 1190;
// - C (V02, C001, branch 002): 4 x P003 -> 2000 / 380 / 2380;
// and D (V01, C001), processed on 1 February 2024, which is not read again.

const db::Date kToday{2024, 3, 15};
constexpr int kTimeOfDay = 10 * 3600 + 20 * 60 + 30;  // 10:20:30
const char* const kTodayLiteral = "'20240315'";

const char* const kOrderA = "PDA-V01-20240301-0001";
const char* const kOrderB = "PDA-V01-20240301-0002";
const char* const kOrderC = "PDA-V02-20240301-0003";
const char* const kOrderD = "PDA-V01-20240201-0009";

// The check constraint that makes the marking of the lines fail: every other
// write of the import (numbers, inbox headers and lines, the orders' marks)
// has been made by then.
const char* const kBlockingConstraint = "CK_QVT_SIN_MARCA";

// One row to insert: the side (ERP or destination), its table and its column
// values as T-SQL literals.
struct FixtureRow {
  bool destination;
  std::string table;
  std::vector<std::pair<std::string, std::string>> values;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

FixtureRow Erp(std::string table, std::vector<std::pair<std::string, std::string>> values) {
  return {false, std::move(table), std::move(values)};
}
FixtureRow Dest(std::string table, std::vector<std::pair<std::string, std::string>> values) {
  return {true, std::move(table), std::move(values)};
}

FixtureRow Customer(const std::string& code, const std::string& branch, const std::string& kind,
                    const std::string& name, const std::string& list) {
  return Erp("MAEEN", {{"KOEN", Quoted(code)},
                       {"SUEN", Quoted(branch)},
                       {"TIPOSUC", Quoted(kind)},
                       {"NOKOEN", Quoted(name)},
                       {"ZOEN", "'Z01'"},
                       {"LVEN", Quoted(list)},
                       {"KOFUEN", "'V01'"},
                       {"DIPRVE", "0"},
                       {"NUVECR", "0"},
                       {"DIASVENCI", "0"}});
}

FixtureRow Product(const std::string& code, const std::string& name, int units_per_box) {
  return Erp("MAEPR", {{"KOPR", Quoted(code)},
                       {"NOKOPR", Quoted(name)},
                       {"UD01PR", "'UN'"},
                       {"UD02PR", "'CJ'"},
                       {"RLUD", std::to_string(units_per_box)},
                       {"TIPR", "'FPN'"},
                       {"POIVPR", "19"},
                       {"CAMICO", "1"},
                       {"TTREPR", "1"},
                       {"LTSUBIC", "1"},
                       {"PESOUBIC", "1"}});
}

FixtureRow ListRow(const std::string& code, int price, const std::string& formula,
                   int first_discount, int second_discount) {
  return Erp("TABPRE", {{"KOLT", "'01P'"},
                        {"KOPR", Quoted(code)},
                        {"PP01UD", std::to_string(price)},
                        {"PP02UD", "0"},
                        {"MG01UD", "0"},
                        {"MG02UD", "0"},
                        {"DTMA01UD", "0"},
                        {"DTMA02UD", "0"},
                        {"RLUD", "1"},
                        {"ECUACION", Quoted(formula)},
                        {"ECUACIONU2", "''"},
                        {"DTO01", std::to_string(first_discount)},
                        {"EDTO01", "''"},
                        {"DTO02", std::to_string(second_discount)},
                        {"EDTO02", "''"},
                        {"DTO03", "0"},
                        {"EDTO03", "''"},
                        {"DTO04", "0"},
                        {"EDTO04", "''"}});
}

FixtureRow Order(const std::string& id, const std::string& customer, const std::string& delivery,
                 const std::string& seller, const std::string& notes, int net, int gross,
                 const std::string& processed) {
  return Dest("CABECERA_PEDIDOS", {{"ID_PEDIDO", Quoted(id)},
                                   {"ID_CUENTA", Quoted(customer)},
                                   {"ID_DIRECCION_ENTREGA", Quoted(delivery)},
                                   {"ID_VENDEDOR", Quoted(seller)},
                                   {"NOTAS_VENDEDOR", Quoted(notes)},
                                   {"HORA_INICIO_PEDIDO", "'093000'"},
                                   {"HORA_FIN_PEDIDO", "'094512'"},
                                   {"GPS_LATITUD", "-33.45"},
                                   {"GPS_LONGITUD", "-70.66"},
                                   {"FECHA_INICIO_PEDIDO", "'20240301093000'"},
                                   {"FECHA_ENTREGA_PEDIDO", "'20240304000000'"},
                                   {"MONTO_TOT_PED_C_DTO_S_IMP", std::to_string(net)},
                                   {"MON_TOT_PED_C_DTO_IMP", std::to_string(gross)},
                                   {"TIPO_PEDIDO", "'VENTA'"},
                                   {"FECHA_PROCESO", processed.empty() ? "NULL" : Quoted(processed)}});
}

FixtureRow OrderLine(const std::string& order, const std::string& line, const std::string& product,
                     int quantity, int handheld_price, int handheld_discount) {
  return Dest("DETALLE_PEDIDOS", {{"ID_PEDIDO", Quoted(order)},
                                  {"ID_DETALLE_PEDIDO", Quoted(line)},
                                  {"CODIGO_ARTICULO", Quoted(product)},
                                  {"ID_LISTA_PRECIO", "'TABPP01P'"},
                                  {"CANTIDAD_PEDIDA", std::to_string(quantity)},
                                  {"PRECIO_UNITARIO_LISTA", std::to_string(handheld_price)},
                                  {"PORCENTAJE_DESCUENTO_APLICADO",
                                   std::to_string(handheld_discount)}});
}

std::vector<FixtureRow> FixtureRows() {
  return {
      Erp("CONFIEST", {{"EMPRESA", "'01'"},
                       {"MODALIDAD", "'MOVIL'"},
                       {"ESUCURSAL", "'001'"},
                       {"EBODEGA", "'B01'"},
                       {"ELISTAVEN", "'TABPP01P'"}}),
      Customer("C001", "001", "P", "Almacen Uno", ""),
      Customer("C001", "002", "S", "Almacen Uno bodega", ""),
      Customer("C002", "001", "P", "Almacen Dos", "TABPP01P"),
      Product("P001", "Cola 1 litro", 12),
      Product("P002", "Cola 2 litros", 6),
      Product("P003", "Agua 1 litro", 0),
      Erp("MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P001'"}}),
      Erp("MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P002'"}}),
      Erp("MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P003'"}}),
      // OPERA already in the current layout, blank from character 29 on: every
      // pair is a discount.
      Erp("TABPP", {{"KOLT", "'01P'"},
                    {"NOKOLT", "'Lista general'"},
                    {"FEVI", "'20240101'"},
                    {"MELT", "'N'"},
                    {"ECUDEF01UD", "''"},
                    {"ECUDEF02UD", "''"},
                    {"OPERA", "'XX'"}}),
      ListRow("P001", 1000, "", 5, 0),
      ListRow("P002", 1000, "pp01ud*1.1#3", 0, 3),
      ListRow("P003", 500, "PP01UD*2", 0, 0),
      Erp("VENDEDORYNOTA", {{"VENDEDOR", "'V01'"}, {"NUMERONVV", "'0000000041'"}}),

      Dest("CLIENTES", {{"ID_CUENTA", "'C001'"}, {"RAZON_SOCIAL", "'Almacen Uno'"}}),
      Dest("CLIENTES", {{"ID_CUENTA", "'C002'"}, {"RAZON_SOCIAL", "'Almacen Dos'"}}),
      Order(kOrderA, "C001", "CASAMATRIZ", "V01", "Entregar temprano", 4600, 5474, ""),
      OrderLine(kOrderA, "1", "P001", 3, 950, 10),
      OrderLine(kOrderA, "2", "P002", 2, 1000, 0),
      Order(kOrderB, "C002", "CASAMATRIZ", "V01", "", 1000, 1190, ""),
      OrderLine(kOrderB, "1", "P001", 1, 1000, 0),
      Order(kOrderC, "C001", "002", "V02", "", 2000, 2380, ""),
      OrderLine(kOrderC, "1", "P003", 4, 500, 0),
      Order(kOrderD, "C001", "CASAMATRIZ", "V01", "", 9000, 10710, "20240201"),
      OrderLine(kOrderD, "1", "P001", 9, 1000, 0),
  };
}

std::string TableName(const FixtureRow& row, const std::string& destination) {
  return row.destination ? "[" + destination + "].dbo." + row.table : "dbo." + row.table;
}

std::string InsertText(const FixtureRow& row, const std::string& destination) {
  std::string columns, values;
  for (const auto& [column, value] : row.values) {
    columns += (columns.empty() ? "" : ",") + column;
    values += (values.empty() ? "" : ",") + value;
  }
  return "INSERT INTO " + TableName(row, destination) + " (" + columns + ") VALUES (" + values +
         ")";
}

// The fixture as the statements that load it; the ERP side is the current
// database, the destination is reached by its name.
std::vector<std::string> FixtureStatements(const std::string& destination) {
  std::vector<std::string> statements;
  for (const FixtureRow& row : FixtureRows()) statements.push_back(InsertText(row, destination));
  return statements;
}

std::string AddBlockingConstraint(const std::string& destination) {
  return "ALTER TABLE [" + destination + "].dbo.DETALLE_PEDIDOS ADD CONSTRAINT " +
         kBlockingConstraint + " CHECK (FECHA_ULTIMA_MODIFICACION IS NULL)";
}

std::string DropBlockingConstraint(const std::string& destination) {
  return "ALTER TABLE [" + destination + "].dbo.DETALLE_PEDIDOS DROP CONSTRAINT " +
         kBlockingConstraint;
}

// ---- Fixture checks (always run) ---------------------------------------------

const char* const kSampleDestination = "QVT_VELMORA_0";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<testsupport::ColumnLayout> Layout(const FixtureRow& row) {
  return row.destination ? testsupport::DestinationColumns(row.table)
                         : testsupport::OriginColumns(row.table);
}

const char* SideFile(bool destination) {
  return destination ? "schema/velmora.sql" : "schema/quorix.sql";
}

// The width of a CHAR(n) / VARCHAR(n) / NVARCHAR(n) type, or 0.
size_t TextWidth(const std::string& type) {
  for (const char* prefix : {"CHAR(", "VARCHAR(", "NVARCHAR(", "NCHAR("}) {
    if (type.rfind(prefix, 0) == 0) return std::stoul(type.substr(std::string(prefix).size()));
  }
  return 0;
}

// The characters of a quoted literal ('' counts once); npos for other values.
size_t LiteralLength(const std::string& value) {
  if (value.size() < 2 || value.front() != '\'' || value.back() != '\'') return std::string::npos;
  size_t length = 0;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\'') ++i;
    if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80) ++length;
  }
  return length;
}

TEST(SqlServerImportFixture, EveryStatementIsTsql) {
  std::vector<std::string> statements = FixtureStatements(kSampleDestination);
  statements.push_back(AddBlockingConstraint(kSampleDestination));
  statements.push_back(DropBlockingConstraint(kSampleDestination));
  EXPECT_ALL_TSQL(statements);
}

TEST(SqlServerImportFixture, FitsTheLayouts) {
  for (const FixtureRow& row : FixtureRows()) {
    const std::vector<testsupport::ColumnLayout> layout = Layout(row);
    ASSERT_FALSE(layout.empty()) << row.table << " is not in " << SideFile(row.destination);
    std::set<std::string> given;
    for (const auto& [column, value] : row.values) {
      EXPECT_TRUE(given.insert(Upper(column)).second) << row.table << "." << column << " twice";
      const testsupport::ColumnLayout* found = nullptr;
      for (const auto& c : layout) {
        if (c.name == Upper(column)) found = &c;
      }
      if (!found) {
        ADD_FAILURE() << row.table << "." << column << " is not in " << SideFile(row.destination);
        continue;
      }
      const size_t width = TextWidth(found->type);
      const size_t length = LiteralLength(value);
      if (width > 0 && length != std::string::npos) {
        EXPECT_LE(length, width) << row.table << "." << column << " = " << value;
      }
    }
    for (const std::string& column :
         testsupport::RequiredColumns(row.destination ? "velmora" : "quorix", row.table)) {
      EXPECT_TRUE(given.count(column))
          << InsertText(row, kSampleDestination) << " leaves NOT NULL " << column;
    }
  }
  // The blocking constraint names a column of the destination's lines.
  bool found = false;
  for (const auto& c : testsupport::DestinationColumns("DETALLE_PEDIDOS")) {
    found = found || c.name == "FECHA_ULTIMA_MODIFICACION";
  }
  EXPECT_TRUE(found);
}

// The parsers the test above relies on must see what they check, or it proves
// nothing.
TEST(SqlServerImportFixture, LayoutReadersSeeTheColumns) {
  EXPECT_EQ(testsupport::RequiredColumns("velmora", "DETALLE_PEDIDOS"),
            (std::set<std::string>{"ID_PEDIDO", "ID_DETALLE_PEDIDO"}));
  EXPECT_EQ(testsupport::RequiredColumns("quorix", "VENDEDORYNOTA"),
            (std::set<std::string>{"VENDEDOR", "NUMERONVV"}));
  EXPECT_EQ(testsupport::RequiredColumns("quorix", "PDAENCA"), std::set<std::string>{});  // identity only
  EXPECT_EQ(TextWidth(testsupport::NormalType("char(13)")), 13u);
  EXPECT_EQ(LiteralLength("'O''Hara'"), 6u);
  EXPECT_EQ(LiteralLength("12"), std::string::npos);
}

// ---- The import on a real server -----------------------------------------------

std::string Lines(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& problem : problems) text += problem + "\n";
  return text;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

struct SqlServerImportTest : ::testing::Test {
  void SetUp() override {
    QV_REQUIRE_SQLSERVER();
    session.locals.SetDirectory(testsupport::FreshDir("sqlserver-import"));
    std::string error;
    ASSERT_TRUE(testsupport::CreateSqlServerPair(session, std::to_string(getpid()), &pair,
                                                 &error))
        << error;
    ini.cDSN = pair.origin;  // the ERP database, as the import names its inbox
    ini.BaseDestino = pair.destination;
    ini.cCollationOrigen = "";
    ini.cEmpresa = "01";
    ini.cModalidad = "MOVIL";
    ini.cSucursal = "001";
    ini.cBodega = "B01";
    ini.cLista = "TABPP01P";
    Run(FixtureStatements(pair.destination));
    if (HasFatalFailure()) return;
    LLENATABMACRO(session, catalogue);
  }
  void TearDown() override {
    if (!pair.origin.empty()) testsupport::DropSqlServerPair(session, pair);
  }

  // One import as the order cycle runs it.
  ImportSummary Import(std::vector<std::string>& problems) {
    cached.Clear();
    return SECUENCIAPDA(session, resolver, ini, problems, clock);
  }

  void Run(const std::vector<std::string>& statements) {
    for (const std::string& statement : statements) {
      std::string error;
      ASSERT_TRUE(db::EJECUTESQL(session, statement, &error)) << error << "\n" << statement;
    }
  }
  std::string Inbox(const std::string& table) { return "[" + pair.origin + "].dbo." + table; }
  std::string Destination(const std::string& table) {
    return "[" + pair.destination + "].dbo." + table;
  }
  // The first row of a query (columns blank when there is none).
  db::SqlRow Row(const std::string& sql, bool* found = nullptr) {
    db::SqlRow row;
    const bool exists = db::SeekRow(session, sql, row);
    if (found) *found = exists;
    return row;
  }
  long Count(const std::string& table, const std::string& condition = "") {
    db::SqlRow row = Row("SELECT COUNT(*) AS N FROM " + table +
                         (condition.empty() ? "" : " WHERE " + condition));
    return static_cast<long>(db::VCC(session, row, "N").number());
  }
  std::string TextOf(db::SqlRow& row, const std::string& column) {
    return Trimmed(db::VCC(session, row, column).text());
  }
  double NumberOf(db::SqlRow& row, const std::string& column) {
    return db::VCC(session, row, column).number();
  }
  // The inbox header of a seller's order for a customer.
  db::SqlRow Header(const std::string& customer, const std::string& seller) {
    bool found = false;
    db::SqlRow row = Row("SELECT * FROM " + Inbox("PDAENCA") + " WHERE ENDO='" + customer +
                             "' AND KOFUDO='" + seller + "'",
                         &found);
    EXPECT_TRUE(found) << "no inbox header of " << customer << " by " << seller;
    return row;
  }
  // The inbox line of a product under the header with key `header`.
  db::SqlRow Line(double header, const std::string& product) {
    bool found = false;
    db::SqlRow row = Row("SELECT * FROM " + Inbox("PDADETA") + " WHERE IDPDAENCA=" +
                             db::NACSB(header) + " AND KOPR='" + product + "'",
                         &found);
    EXPECT_TRUE(found) << "no inbox line of " << product << " under " << header;
    return row;
  }

  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("sqlserver-import-trace")};
  db::Session session{platform, trace};
  testsupport::SqlServerPair pair;
  config::TInicio ini;
  Clock clock = [] { return ClockReading{kToday, kTimeOfDay}; };
  Catalogue catalogue;
  SessionFormulaSource source{session};
  CachedFormulaSource cached{source};
  FormulaEvaluator evaluator{cached, catalogue, "01", clock};
  PriceResolver resolver{session, evaluator, clock};
};

TEST_F(SqlServerImportTest, NewOrdersBecomeNumberedPricedInboxDocuments) {
  std::vector<std::string> problems;
  const ImportSummary summary = Import(problems);
  EXPECT_TRUE(problems.empty()) << Lines(problems);
  EXPECT_TRUE(summary.committed);
  EXPECT_EQ(summary.orders, 3);
  EXPECT_EQ(summary.lines, 4);
  EXPECT_EQ(Count(Inbox("PDAENCA")), 3);
  EXPECT_EQ(Count(Inbox("PDADETA")), 4);

  // Numbers: V01's two orders follow its 0000000041 (in the order the staged
  // headers were read), V02 starts at 0000000001; each one recorded.
  db::SqlRow a = Header("C001", "V01");
  db::SqlRow b = Header("C002", "V01");
  db::SqlRow c = Header("C001", "V02");
  EXPECT_EQ((std::set<std::string>{TextOf(a, "NUDO"), TextOf(b, "NUDO")}),
            (std::set<std::string>{"0000000042", "0000000043"}));
  EXPECT_EQ(TextOf(c, "NUDO"), "0000000001");
  EXPECT_EQ(Count("VENDEDORYNOTA"), 4);
  EXPECT_EQ(Count("VENDEDORYNOTA", "VENDEDOR='V01' AND NUMERONVV IN ('0000000042','0000000043')"),
            2);
  EXPECT_EQ(Count("VENDEDORYNOTA", "VENDEDOR='V02' AND NUMERONVV='0000000001'"), 1);

  // Headers: head-office deliveries on the principal branch, values of the
  // handheld, totals from the priced lines, validated.
  for (db::SqlRow* header : {&a, &b, &c}) {
    EXPECT_EQ(TextOf(*header, "TIDO"), "NVV");
    EXPECT_EQ(TextOf(*header, "VALIDO"), "S");
    EXPECT_EQ(TextOf(*header, "ESTADO"), "");
    EXPECT_EQ(TextOf(*header, "EMPRESA"), "01");
    EXPECT_EQ(TextOf(*header, "SUDO"), "001");
  }
  EXPECT_EQ(TextOf(a, "SUENDO"), "001");
  EXPECT_EQ(TextOf(b, "SUENDO"), "001");
  EXPECT_EQ(TextOf(c, "SUENDO"), "002");
  EXPECT_EQ(TextOf(a, "NOKOEN"), "Almacen Uno");
  EXPECT_EQ(TextOf(a, "MOVILOBS"), "Entregar temprano");
  EXPECT_EQ(TextOf(a, "OBSCARAC"), "MOVIL-OBS");
  EXPECT_EQ(TextOf(b, "OBSCARAC"), "");
  EXPECT_EQ(TextOf(a, "HORAINI"), "09:30:00");
  EXPECT_EQ(TextOf(a, "HORAFIN"), "09:45:12");
  EXPECT_DOUBLE_EQ(NumberOf(a, "LINEAS"), 2);
  EXPECT_DOUBLE_EQ(NumberOf(a, "VANEDO"), 4900);
  EXPECT_DOUBLE_EQ(NumberOf(a, "VABRDO"), 5831);
  EXPECT_DOUBLE_EQ(NumberOf(a, "VAIVDO"), 874);  // the handheld's tax total stays
  EXPECT_DOUBLE_EQ(NumberOf(b, "VANEDO"), 1000);
  EXPECT_DOUBLE_EQ(NumberOf(b, "VABRDO"), 1190);
  EXPECT_DOUBLE_EQ(NumberOf(c, "VANEDO"), 2000);
  EXPECT_DOUBLE_EQ(NumberOf(c, "VABRDO"), 2380);
  // One cycle, one time in every header's OBS; the order's dates.
  EXPECT_EQ(Count(Inbox("PDAENCA"), "OBS LIKE '%: 10:20:30 )' AND FEEMDO='20240301' AND "
                                    "FEER='20240304'"),
            3);

  // Lines: the list's price (stored, active formula, inactive formula left
  // aside), the list's discounts in their places, the values from the
  // handheld's discount and the product's VAT, linked to their own header.
  struct Expected {
    db::SqlRow* header;
    const char* product;
    double quantity, price, discount1, discount2, net, gross, second_quantity;
  };
  const Expected expected[] = {
      {&a, "P001", 3, 1000, 5, 0, 2700, 3213, 0.25},
      {&a, "P002", 2, 1100, 3, 0, 2200, 2618, 2.0 / 6},
      {&b, "P001", 1, 1000, 5, 0, 1000, 1190, 1.0 / 12},
      {&c, "P003", 4, 500, 0, 0, 2000, 2380, 0},  // no units a box: 0, not a failure
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(std::string(e.product) + " of " + TextOf(*e.header, "ENDO") + " by " +
                 TextOf(*e.header, "KOFUDO"));
    db::SqlRow line = Line(NumberOf(*e.header, "IDPDAENCA"), e.product);
    EXPECT_EQ(TextOf(line, "NUDO"), TextOf(*e.header, "NUDO"));
    EXPECT_EQ(TextOf(line, "ENDO"), TextOf(*e.header, "ENDO"));
    EXPECT_EQ(TextOf(line, "SUENDO"), TextOf(*e.header, "SUENDO"));
    EXPECT_EQ(TextOf(line, "TIDO"), "NVV");
    EXPECT_EQ(TextOf(line, "VALIDO"), "S");
    EXPECT_EQ(TextOf(line, "SULIDO"), "001");
    EXPECT_EQ(TextOf(line, "BOSULIDO"), "B01");
    EXPECT_EQ(TextOf(line, "KOLTPR"), "01P");
    EXPECT_EQ(TextOf(line, "UD01PR"), "UN");
    EXPECT_EQ(TextOf(line, "TIPR"), "FPN");
    EXPECT_DOUBLE_EQ(NumberOf(line, "CAPRCO1"), e.quantity);
    EXPECT_NEAR(NumberOf(line, "CAPRCO2"), e.second_quantity, 1e-9);
    EXPECT_DOUBLE_EQ(NumberOf(line, "PPPRNE"), e.price);
    EXPECT_DOUBLE_EQ(NumberOf(line, "PPPRNELT"), e.price);
    EXPECT_DOUBLE_EQ(NumberOf(line, "POIVLI"), 19);
    EXPECT_DOUBLE_EQ(NumberOf(line, "DCTO1"), e.discount1);
    EXPECT_DOUBLE_EQ(NumberOf(line, "DCTO2"), e.discount2);
    EXPECT_DOUBLE_EQ(NumberOf(line, "VANELI"), e.net);
    EXPECT_DOUBLE_EQ(NumberOf(line, "VABRLI"), e.gross);
  }
  {
    db::SqlRow line = Line(NumberOf(a, "IDPDAENCA"), "P001");
    EXPECT_DOUBLE_EQ(NumberOf(line, "DCTOVEN"), 10);  // the handheld's discount, kept
    EXPECT_EQ(TextOf(line, "NOKOPR"), "Cola 1 litro");
  }

  // Markings: the new orders and their lines carry the cycle's date, the
  // order processed before is left as it was.
  EXPECT_EQ(Count(Destination("CABECERA_PEDIDOS"),
                  std::string("FECHA_PROCESO=") + kTodayLiteral + " AND ID_PEDIDO IN ('" +
                      kOrderA + "','" + kOrderB + "','" + kOrderC + "')"),
            3);
  EXPECT_EQ(Count(Destination("CABECERA_PEDIDOS"),
                  std::string("FECHA_PROCESO='20240201' AND ID_PEDIDO='") + kOrderD + "'"),
            1);
  EXPECT_EQ(Count(Destination("DETALLE_PEDIDOS"),
                  std::string("FECHA_ULTIMA_MODIFICACION=") + kTodayLiteral),
            4);
  EXPECT_EQ(Count(Destination("DETALLE_PEDIDOS"), "FECHA_ULTIMA_MODIFICACION IS NULL AND "
                                                  "ID_PEDIDO='" + std::string(kOrderD) + "'"),
            1);

  // A processed order is never read again: the next cycle finds nothing new.
  std::vector<std::string> again;
  const ImportSummary second = Import(again);
  EXPECT_TRUE(again.empty()) << Lines(again);
  EXPECT_TRUE(second.committed);
  EXPECT_EQ(second.orders, 0);
  EXPECT_EQ(Count(Inbox("PDAENCA")), 3);
  EXPECT_EQ(Count(Inbox("PDADETA")), 4);
  EXPECT_EQ(Count("VENDEDORYNOTA"), 4);
}

TEST_F(SqlServerImportTest, FailureLateInTheImportLeavesBothDatabasesAsTheyWere) {
  Run({AddBlockingConstraint(pair.destination)});
  if (HasFatalFailure()) return;

  std::vector<std::string> problems;
  const ImportSummary summary = Import(problems);
  EXPECT_FALSE(summary.committed);
  ASSERT_EQ(problems.size(), 1u) << Lines(problems);
  EXPECT_EQ(problems[0].rfind("Problema -> ", 0), 0u) << problems[0];
  EXPECT_NE(problems[0].find(kBlockingConstraint), std::string::npos) << problems[0];

  // Everything written before the failing step is gone: the numbers, the
  // inbox documents, the orders' marks.
  EXPECT_EQ(Count(Inbox("PDAENCA")), 0);
  EXPECT_EQ(Count(Inbox("PDADETA")), 0);
  EXPECT_EQ(Count("VENDEDORYNOTA"), 1);
  EXPECT_EQ(Count(Destination("CABECERA_PEDIDOS"), "FECHA_PROCESO IS NULL"), 3);
  EXPECT_EQ(Count(Destination("DETALLE_PEDIDOS"), "FECHA_ULTIMA_MODIFICACION IS NULL"), 5);

  // The orders stayed new: once the obstacle is gone the next cycle, on the
  // same connection, imports them with the numbers the failed one released.
  Run({DropBlockingConstraint(pair.destination)});
  if (HasFatalFailure()) return;
  std::vector<std::string> next;
  const ImportSummary retry = Import(next);
  EXPECT_TRUE(next.empty()) << Lines(next);
  EXPECT_TRUE(retry.committed);
  EXPECT_EQ(retry.orders, 3);
  EXPECT_EQ(retry.lines, 4);
  EXPECT_EQ(Count("VENDEDORYNOTA", "VENDEDOR='V01' AND NUMERONVV IN ('0000000042','0000000043')"),
            2);
  EXPECT_EQ(Count(Destination("CABECERA_PEDIDOS"), "FECHA_PROCESO IS NULL"), 0);
}

}  // namespace
}  // namespace orders
