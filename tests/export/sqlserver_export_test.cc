// A real export on SQL Server (only when QV_TEST_SQLSERVER is set): two fresh
// databases from schema/, a small ERP fixture, two whole export cycles.
//
// The fixture itself is checked on every run, with or without a server: each
// statement against the T-SQL grammar, each table and column against the ERP
// layout of schema/quorix.sql (and every NOT NULL column given a value), so
// that a run on a real server fails on the export, not on its fixture.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "db/cursor.h"
#include "db/lookups.h"
#include "db/statement.h"
#include "export/sequencer.h"
#include "support/files.h"
#include "support/odbc_test_env.h"
#include "support/schema_ddl.h"
#include "support/sqlserver.h"
#include "support/tsql_grammar.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

// ---- The ERP fixture ---------------------------------------------------------
//
// Company "01", branch "001", warehouse "B01", sales list "01P" (the last three
// characters of cLista "TABPP01P"):
// - one family F01 / subfamily S01 / sub-subfamily H01, so products carry the
//   line "F01S01H01" and the category "F01S01";
// - products P001 (stock 10), P002 (stock 5; 99 more in warehouse B02, not
//   ours) and P003 (stock 7), all enabled for the company in MAEPREM, all in
//   list 01P (P002 with a maximum discount of 0);
// - handheld lines of P001: 3 units valid in B01 (subtracted), 4 units not
//   valid and 2 units valid in B02 (both ignored): exported stock 7;
// - customers C001 (main branch and a delivery branch) and C002 (main branch),
//   zone Z01, salesperson V01 (in TABFU) on both;
// - an order NVV 1000 of C001, invoiced by FCV 1001 (one line of 2.5 units of
//   P001 taken over from the order; gross 1190, 190 paid: balance 1000), and
//   FCV 1002 of C002 without lines (gross 300, nothing paid).
//
// Between the cycles (ErpChanges): P003 leaves the company, FCV 1001 gets 500
// more paid and FCV 1002 is paid in full.

// One row to insert: its table and its column values as T-SQL literals.
struct FixtureRow {
  std::string table;
  std::vector<std::pair<std::string, std::string>> values;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

FixtureRow Product(const std::string& code, const std::string& name) {
  return {"MAEPR",
          {{"KOPR", Quoted(code)},
           {"NOKOPR", Quoted(name)},
           {"UD01PR", "'UN'"},
           {"FMPR", "'F01'"},
           {"PFPR", "'S01'"},
           {"HFPR", "'H01'"},
           {"UD02PR", "'CJ'"},
           {"RLUD", "12"},
           {"BLOQUEAPR", "''"},
           {"KOGE", "''"},
           {"TIPR", "'FPN'"},
           {"POIVPR", "19"}}};
}

FixtureRow Stock(const std::string& warehouse, const std::string& code, int units) {
  return {"MAEST",
          {{"EMPRESA", "'01'"},
           {"KOSU", "'001'"},
           {"KOBO", Quoted(warehouse)},
           {"KOPR", Quoted(code)},
           {"STFI1", std::to_string(units)}}};
}

FixtureRow ListRow(const std::string& code, int price, int maximum_discount) {
  return {"TABPRE",
          {{"KOLT", "'01P'"},
           {"KOPR", Quoted(code)},
           {"PP01UD", std::to_string(price)},
           {"PP02UD", std::to_string(price * 12)},
           {"DTMA01UD", std::to_string(maximum_discount)},
           {"DTMA02UD", "0"},
           {"RLUD", "12"},
           {"ECUACION", "''"},
           {"ECUACIONU2", "''"},
           {"DTO01", "5"},
           {"EDTO01", "''"},
           {"DTO02", "0"},
           {"EDTO02", "''"},
           {"DTO03", "0"},
           {"EDTO03", "''"},
           {"DTO04", "0"},
           {"EDTO04", "''"}}};
}

FixtureRow HandheldLine(const std::string& warehouse, const std::string& valid, int units) {
  return {"PDADETA",
          {{"TIDO", "'NVV'"},
           {"NUDO", "'0000000900'"},
           {"ENDO", "'C001'"},
           {"SUENDO", "'001'"},
           {"SULIDO", "'001'"},
           {"BOSULIDO", Quoted(warehouse)},
           {"KOFULIDO", "'V01'"},
           {"TIPR", "'FPN'"},
           {"KOPR", "'P001'"},
           {"KOLTPR", "'01P'"},
           {"UD01PR", "'UN'"},
           {"ESTADO", "''"},
           {"VALIDO", Quoted(valid)},
           {"NULIDO", "1"},
           {"CAPRCO1", std::to_string(units)},
           {"CAPRCO2", "0"},
           {"PPPRNE", "100"}}};
}

FixtureRow Partner(const std::string& code, const std::string& branch, const std::string& kind,
                   const std::string& name, bool visited_on_mondays) {
  return {"MAEEN",
          {{"KOEN", Quoted(code)},
           {"SUEN", Quoted(branch)},
           {"TIPOSUC", Quoted(kind)},
           {"NOKOEN", Quoted(name)},
           {"SIEN", Quoted(name)},
           {"RTEN", "'76000000-1'"},
           {"DIEN", "'Avenida Uno 100'"},
           {"CPOSTAL", "'8320000'"},
           {"FOEN", "'221234567'"},
           {"EMAIL", "'compras@example.com'"},
           {"ZOEN", "'Z01'"},
           {"TIPOEN", "'T01'"},
           {"TAMAEN", "'A'"},
           {"RUEN", "'R01'"},
           {"LVEN", "'TABPP01P'"},
           {"KOFUEN", "'V01'"},
           {"RUTALUN", visited_on_mondays ? "1" : "0"},
           {"RUTAMAR", "0"},
           {"RUTAMIE", "0"},
           {"RUTAJUE", "0"},
           {"RUTAVIE", "0"},
           {"RUTASAB", "0"},
           {"RUTADOM", "0"}}};
}

FixtureRow Document(int id, const std::string& type, const std::string& number,
                    const std::string& partner, int net, int gross, int paid) {
  return {"MAEEDO",
          {{"IDMAEEDO", std::to_string(id)},
           {"EMPRESA", "'01'"},
           {"TIDO", Quoted(type)},
           {"NUDO", Quoted(number)},
           {"SUDO", "'001'"},
           {"ENDO", Quoted(partner)},
           {"KOFUDO", "'V01'"},
           {"FEEMDO", "'20240301'"},
           {"FEULVEDO", "'20240331'"},
           {"VANEDO", std::to_string(net)},
           {"VABRDO", std::to_string(gross)},
           {"VAABDO", std::to_string(paid)},
           {"NUVEDO", "1"}}};
}

FixtureRow DocumentLine(int id, int document, const std::string& kind, int origin_line,
                        const std::string& origin_table) {
  return {"MAEDDO",
          {{"IDMAEDDO", std::to_string(id)},
           {"IDMAEEDO", std::to_string(document)},
           {"KOPRCT", "'P001'"},
           {"CAPRCO1", "2.5"},
           {"UD01PR", "'UN'"},
           {"PPPRNE", "400"},
           {"PPPRNELT", "400"},
           {"PODTGLLI", "0"},
           {"LILG", Quoted(kind)},
           {"IDRST", std::to_string(origin_line)},
           {"ARCHIRST", Quoted(origin_table)},
           {"KOFULIDO", "'V01'"}}};
}

std::vector<FixtureRow> FixtureRows() {
  return {
      {"TABFM", {{"KOFM", "'F01'"}, {"NOKOFM", "'Bebidas'"}}},
      {"TABPF", {{"KOFM", "'F01'"}, {"KOPF", "'S01'"}, {"NOKOPF", "'Gaseosas'"}}},
      {"TABHF",
       {{"KOFM", "'F01'"}, {"KOPF", "'S01'"}, {"KOHF", "'H01'"}, {"NOKOHF", "'Cola'"}}},
      Product("P001", "Cola 1 litro"),
      Product("P002", "Cola 2 litros"),
      Product("P003", "Cola 3 litros"),
      {"MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P001'"}}},
      {"MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P002'"}}},
      {"MAEPREM", {{"EMPRESA", "'01'"}, {"KOPR", "'P003'"}}},
      Stock("B01", "P001", 10),
      Stock("B01", "P002", 5),
      Stock("B02", "P002", 99),
      Stock("B01", "P003", 7),
      {"TABPP",
       {{"KOLT", "'01P'"},
        {"NOKOLT", "'Lista general'"},
        {"FEVI", "'20240101'"},
        {"MELT", "'N'"},
        {"ECUDEF01UD", "''"},
        {"OPERA", "''"}}},
      ListRow("P001", 100, 15),
      ListRow("P002", 180, 0),
      ListRow("P003", 250, 5),
      HandheldLine("B01", "S", 3),
      HandheldLine("B01", "N", 4),
      HandheldLine("B02", "S", 2),
      Partner("C001", "001", "P", "Almacen Uno", true),
      Partner("C001", "002", "S", "Almacen Uno bodega", false),
      Partner("C002", "001", "P", "Almacen Dos", false),
      {"TABFU", {{"KOFU", "'V01'"}, {"NOKOFU", "'Ana Rojas'"}}},
      Document(1000, "NVV", "0000000100", "C001", 1000, 1190, 0),
      DocumentLine(2000, 1000, "SI", 0, ""),
      Document(1001, "FCV", "0000000101", "C001", 1000, 1190, 190),
      DocumentLine(2001, 1001, "SI", 2000, "MAEDDO"),
      Document(1002, "FCV", "0000000102", "C002", 252, 300, 0),
  };
}

std::string InsertText(const FixtureRow& row) {
  std::string columns, values;
  for (const auto& [column, value] : row.values) {
    columns += (columns.empty() ? "" : ",") + column;
    values += (values.empty() ? "" : ",") + value;
  }
  return "INSERT INTO dbo." + row.table + " (" + columns + ") VALUES (" + values + ")";
}

// The fixture as the statements that load it into the ERP database.
std::vector<std::string> FixtureStatements() {
  std::vector<std::string> statements;
  for (const FixtureRow& row : FixtureRows()) statements.push_back(InsertText(row));
  return statements;
}

// A change of the ERP between the two cycles: a delete (no assignment) or an
// update of one column, of the rows matching every key term.
struct ErpChange {
  std::string table;
  std::pair<std::string, std::string> assignment;  // empty column: delete
  std::vector<std::pair<std::string, std::string>> keys;
};

std::vector<ErpChange> ErpChanges() {
  return {
      // P003 is no longer enabled for the company: withdrawn from ARTICULOS.
      {"MAEPREM", {}, {{"EMPRESA", "'01'"}, {"KOPR", "'P003'"}}},
      // 500 more paid on FCV 1001 (balance 1000 -> 500); FCV 1002 paid in full.
      {"MAEEDO", {"VAABDO", "690"}, {{"IDMAEEDO", "1001"}}},
      {"MAEEDO", {"VAABDO", "300"}, {{"IDMAEEDO", "1002"}}},
  };
}

std::string ChangeText(const ErpChange& change) {
  std::string where;
  for (const auto& [column, value] : change.keys) {
    where += (where.empty() ? "" : " AND ") + column + "=" + value;
  }
  if (change.assignment.first.empty()) return "DELETE FROM dbo." + change.table + " WHERE " + where;
  return "UPDATE dbo." + change.table + " SET " + change.assignment.first + "=" +
         change.assignment.second + " WHERE " + where;
}

std::vector<std::string> ChangeStatements() {
  std::vector<std::string> statements;
  for (const ErpChange& change : ErpChanges()) statements.push_back(ChangeText(change));
  return statements;
}

// ---- Fixture checks (always run) ---------------------------------------------

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Every column named exists in dbo.<table> of the ERP layout.
void ExpectOriginColumns(const std::string& table, const std::vector<std::string>& columns) {
  const std::vector<testsupport::ColumnLayout> layout = testsupport::OriginColumns(table);
  ASSERT_FALSE(layout.empty()) << table << " is not in schema/quorix.sql";
  for (const std::string& column : columns) {
    bool found = false;
    for (const auto& c : layout) found = found || c.name == Upper(column);
    EXPECT_TRUE(found) << table << "." << column << " is not in schema/quorix.sql";
  }
}

TEST(SqlServerExportFixture, EveryStatementIsTsql) {
  std::vector<std::string> statements = FixtureStatements();
  for (const std::string& change : ChangeStatements()) statements.push_back(change);
  EXPECT_ALL_TSQL(statements);
}

TEST(SqlServerExportFixture, FitsTheErpLayout) {
  for (const FixtureRow& row : FixtureRows()) {
    std::vector<std::string> columns;
    for (const auto& value : row.values) columns.push_back(value.first);
    ExpectOriginColumns(row.table, columns);
    std::set<std::string> given;
    for (const std::string& column : columns) {
      EXPECT_TRUE(given.insert(Upper(column)).second) << row.table << "." << column << " twice";
    }
    for (const std::string& column : testsupport::RequiredColumns("quorix", row.table)) {
      EXPECT_TRUE(given.count(column)) << InsertText(row) << " leaves NOT NULL " << column;
    }
  }
  for (const ErpChange& change : ErpChanges()) {
    std::vector<std::string> columns;
    if (!change.assignment.first.empty()) columns.push_back(change.assignment.first);
    for (const auto& key : change.keys) columns.push_back(key.first);
    ExpectOriginColumns(change.table, columns);
  }
}

// The parser of NOT NULL columns must see them, or the test above proves
// nothing.
TEST(SqlServerExportFixture, RequiredColumnsAreRead) {
  EXPECT_EQ(testsupport::RequiredColumns("quorix", "MAEST"),
            (std::set<std::string>{"EMPRESA", "KOSU", "KOBO", "KOPR"}));
  EXPECT_EQ(testsupport::RequiredColumns("quorix", "PDADETA"), std::set<std::string>{});  // identity only
}

// ---- The export on a real server ---------------------------------------------

std::string Lines(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& problem : problems) text += problem + "\n";
  return text;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

struct SqlServerExportTest : ::testing::Test {
  void SetUp() override {
    QV_REQUIRE_SQLSERVER();
    std::string error;
    ASSERT_TRUE(testsupport::CreateSqlServerPair(session, std::to_string(getpid()), &pair,
                                                 &error))
        << error;
    ini.BaseDestino = pair.destination;
    ini.cCollation = "";
    ini.cEmpresa = "01";
    ini.cSucursal = "001";
    ini.cBodega = "B01";
    ini.cLista = "TABPP01P";
  }
  void TearDown() override {
    if (!pair.origin.empty()) testsupport::DropSqlServerPair(session, pair);
  }
  std::string Destination(const std::string& table) {
    return "[" + pair.destination + "].dbo." + table;
  }
  long Count(const std::string& table) {
    db::SqlRow row;
    db::TOPSQL(session, Destination(table), row, "", "", "COUNT(*) AS N");
    return static_cast<long>(db::VCC(session, row, "N").number());
  }
  // The destination row with these key values (columns blank when missing).
  db::SqlRow Seek(const std::string& table, const std::vector<std::string>& keys,
                  const std::vector<std::string>& values, bool* found = nullptr) {
    std::vector<db::Value> key_values;
    for (const std::string& value : values) key_values.push_back(db::Value::Text(value));
    db::SqlRow row;
    const bool exists = db::SEEKSQL(session, Destination(table), row, keys, key_values);
    if (found) *found = exists;
    return row;
  }
  std::string TextOf(db::SqlRow& row, const std::string& column) {
    return Trimmed(db::VCC(session, row, column).text());
  }
  double NumberOf(db::SqlRow& row, const std::string& column) {
    return db::VCC(session, row, column).number();
  }
  void Run(const std::vector<std::string>& statements) {
    for (const std::string& statement : statements) {
      std::string error;
      ASSERT_TRUE(db::EJECUTESQL(session, statement, &error)) << error << "\n" << statement;
    }
  }

  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("sqlserver-export")};
  db::Session session{platform, trace};
  testsupport::SqlServerPair pair;
  config::TInicio ini;
};

TEST_F(SqlServerExportTest, TwoCyclesOnAnEmptyErpRunCleanAndSettle) {
  std::vector<std::string> problems;
  const ExportSummary first = SECUENCIAINSERT(session, ini, problems);
  EXPECT_TRUE(problems.empty()) << Lines(problems);
  EXPECT_EQ(first.batches, 32);
  // Placeholder rows reach the destination once.
  EXPECT_EQ(Count("LINEAS"), 1);
  EXPECT_EQ(Count("SUBRUBROS"), 1);

  std::vector<std::string> second_problems;
  const ExportSummary second = SECUENCIAINSERT(session, ini, second_problems);
  EXPECT_TRUE(second_problems.empty()) << Lines(second_problems);
  EXPECT_EQ(second.inserted(), 0) << second.Line();
  EXPECT_EQ(Count("LINEAS"), 1);
}

TEST_F(SqlServerExportTest, TwoCyclesOverTheFixtureExportAndReplace) {
  Run(FixtureStatements());
  if (HasFatalFailure()) return;

  // ---- First cycle.
  std::vector<std::string> problems;
  const ExportSummary first = SECUENCIAINSERT(session, ini, problems);
  EXPECT_TRUE(problems.empty()) << Lines(problems);
  EXPECT_EQ(first.batches, 32);

  // Placeholders next to the ERP's rows; the classification codes are the ERP
  // codes one after the other.
  EXPECT_EQ(Count("LINEAS"), 2);      // sinclasificar, F01S01H01
  EXPECT_EQ(Count("RUBROS"), 3);      // sinclasificar, F01S01, F01
  EXPECT_EQ(Count("SUBRUBROS"), 1);   // sinclasificar only
  EXPECT_EQ(Count("DIVISIONES"), 2);  // the empty code, F01
  EXPECT_EQ(Count("VENDEDORES"), 2);  // sinclasificar, V01
  {
    bool found = false;
    db::SqlRow line = Seek("LINEAS", {"ID_LINEA"}, {"sinclasificar"}, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(TextOf(line, "DESCRIPCION_LINEA"), "linea sin clasificacion");
    Seek("DIVISIONES", {"ID_DIVISION"}, {""}, &found);
    EXPECT_TRUE(found) << "the division with the empty code";
    db::SqlRow salesperson = Seek("VENDEDORES", {"ID_VENDEDOR"}, {"sinclasificar"}, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(TextOf(salesperson, "NOMBRE_VENDEDOR"), "vendedor sin clasificar");
  }

  // Products: stock of B01 minus the valid handheld lines of B01 only.
  EXPECT_EQ(Count("ARTICULOS"), 3);
  {
    db::SqlRow p1 = Seek("ARTICULOS", {"CODIGO_ARTICULO"}, {"P001"});
    EXPECT_DOUBLE_EQ(NumberOf(p1, "STOCK"), 7);
    EXPECT_DOUBLE_EQ(NumberOf(p1, "STOCK_REAL_DEPOSITO"), 10);
    EXPECT_EQ(TextOf(p1, "INDICADOR_ACCION"), "A");
    EXPECT_EQ(TextOf(p1, "ACTIVO"), "1");
    EXPECT_EQ(TextOf(p1, "ID_LINEA"), "F01S01H01");
    EXPECT_EQ(TextOf(p1, "ID_RUBRO"), "F01S01");
    EXPECT_EQ(TextOf(p1, "ID_SUBRUBRO"), "sinclasificar");
    db::SqlRow p2 = Seek("ARTICULOS", {"CODIGO_ARTICULO"}, {"P002"});
    EXPECT_DOUBLE_EQ(NumberOf(p2, "STOCK"), 5) << "warehouse B02 is not ours";
    // A maximum discount of 0 in the list is exported as 0.01.
    EXPECT_DOUBLE_EQ(db::EVALGETNUM(TextOf(p2, "DESCUENTO_MAXIMO")), 0.01);
    db::SqlRow p3 = Seek("ARTICULOS", {"CODIGO_ARTICULO"}, {"P003"});
    EXPECT_DOUBLE_EQ(NumberOf(p3, "STOCK"), 7);
    EXPECT_EQ(TextOf(p3, "INDICADOR_ACCION"), "A");
  }

  // Customers: main branches only; the main branch's address is CASAMATRIZZ.
  EXPECT_EQ(Count("CLIENTES"), 2);
  EXPECT_EQ(Count("CLIENTES_DIRECCIONES"), 3);
  {
    bool found = false;
    Seek("CLIENTES_DIRECCIONES", {"ID_DIRECCION", "ID_CUENTA"}, {"CASAMATRIZZ", "C001"}, &found);
    EXPECT_TRUE(found);
    // The documents' passes do not rename a salesperson of TABFU.
    db::SqlRow salesperson = Seek("VENDEDORES", {"ID_VENDEDOR"}, {"V01"}, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(TextOf(salesperson, "NOMBRE_VENDEDOR"), "Ana Rojas");
  }

  // History: the two invoices (not the order), the invoice's line.
  EXPECT_EQ(Count("CABECERA_HISTORICOS_VENTAS"), 2);
  EXPECT_EQ(Count("DETALLE_HISTORICOS_VENTAS"), 1);
  {
    db::SqlRow header = Seek("CABECERA_HISTORICOS_VENTAS", {"ID_PEDIDO_HISTORICO"}, {"1001"});
    EXPECT_EQ(TextOf(header, "ID_CUENTA"), "C001");
    EXPECT_DOUBLE_EQ(NumberOf(header, "CANTIDAD_ITEM_FACTURADO"), 2);  // 2.5, cast to INT
    EXPECT_DOUBLE_EQ(NumberOf(header, "MON_TOT_PED_C_IMP"), 1190);     // the order's gross
  }

  // Current account: both open invoices.
  EXPECT_EQ(Count("CUENTA_CORRIENTE"), 2);
  {
    db::SqlRow item = Seek("CUENTA_CORRIENTE", {"ID_PEDIDO_HISTORICO"}, {"1001"});
    EXPECT_DOUBLE_EQ(NumberOf(item, "SALDO"), 1000);
    EXPECT_DOUBLE_EQ(NumberOf(item, "MONTO_ORIGINAL"), 1190);
    EXPECT_EQ(TextOf(item, "ID_CUENTA"), "C001");
    EXPECT_EQ(TextOf(item, "TIPO_DOCUMENTO_PRECEDENTE"), "NVV");
  }

  // ---- The ERP changes, second cycle.
  Run(ChangeStatements());
  if (HasFatalFailure()) return;
  std::vector<std::string> second_problems;
  SECUENCIAINSERT(session, ini, second_problems);
  EXPECT_TRUE(second_problems.empty()) << Lines(second_problems);

  // P003 left the company: withdrawn, never deleted.
  EXPECT_EQ(Count("ARTICULOS"), 3);
  {
    db::SqlRow p3 = Seek("ARTICULOS", {"CODIGO_ARTICULO"}, {"P003"});
    EXPECT_EQ(TextOf(p3, "INDICADOR_ACCION"), "B");
    EXPECT_EQ(TextOf(p3, "ACTIVO"), "0");
    db::SqlRow p1 = Seek("ARTICULOS", {"CODIGO_ARTICULO"}, {"P001"});
    EXPECT_EQ(TextOf(p1, "INDICADOR_ACCION"), "A");
    EXPECT_DOUBLE_EQ(NumberOf(p1, "STOCK"), 7);
  }

  // Placeholders are not inserted twice.
  EXPECT_EQ(Count("LINEAS"), 2);
  EXPECT_EQ(Count("VENDEDORES"), 2);
  EXPECT_EQ(Count("CABECERA_HISTORICOS_VENTAS"), 2);

  // Current account replaced: the paid invoice is gone, the other one carries
  // its new balance, nothing is listed twice.
  EXPECT_EQ(Count("CUENTA_CORRIENTE"), 1);
  {
    bool found = false;
    db::SqlRow item = Seek("CUENTA_CORRIENTE", {"ID_PEDIDO_HISTORICO"}, {"1001"}, &found);
    EXPECT_TRUE(found);
    EXPECT_DOUBLE_EQ(NumberOf(item, "SALDO"), 500);
    Seek("CUENTA_CORRIENTE", {"ID_PEDIDO_HISTORICO"}, {"1002"}, &found);
    EXPECT_FALSE(found) << "FCV 1002 was paid in full";
  }
}

}  // namespace
}  // namespace exporter
