#include "export/customers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/schema_ddl.h"
#include "support/text_marks.h"
#include "support/tsql_grammar.h"

namespace exporter {
namespace {

std::string FixedClock() { return "134502"; }
std::string OtherClock() { return "090807"; }

// Replaces every "{coll}" of an expected text with the collation clause.
std::string WithCollation(const std::string& text, const std::string& coll) {
  return testsupport::FillMarks(text, {{"{coll}", coll}});
}

using Builder = StatementList (*)(const std::string&, const std::string&);

struct ExpectedBatch {
  const char* table;
  Builder builder;
  std::vector<std::string> statements;  // "{coll}" stands for the collation clause
};

// Every statement of the three batches, the update of changed rows excepted
// (checked below through its set and compared lists).
const std::vector<ExpectedBatch>& Expected() {
  static const std::vector<ExpectedBatch> batches = {
      {"CLIENTES",
       CLIENTES,
       {"DROP TABLE #PASO_CLIENTES",
        "SELECT CAST(MAEEN.KOEN AS VARCHAR(20) ){coll} AS ID_CUENTA, "
        "CAST('' AS VARCHAR(40) ){coll} AS ID_GRUPO_CLIENTE, "
        "CAST(MAEEN.ZOEN AS VARCHAR(20) ){coll} AS ID_ZONA, "
        "CAST(MAEEN.LVEN AS VARCHAR(20) ){coll} AS ID_LISTA_PRECIO, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_ESTADO_CLIENTE, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_CONDICION_VENTA, "
        "CAST(MAEEN.TIPOEN AS VARCHAR(20) ){coll} AS ID_TIPO_CLIENTE, "
        "CAST(MAEEN.TAMAEN AS VARCHAR(20) ){coll} AS ID_CATEGORIA_CLIENTE, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_CONDICION_IVA, "
        "CAST('' AS VARCHAR(30) ){coll} AS ID_LOCALIDAD, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_RUTA, "
        "CAST(MAEEN.SIEN AS VARCHAR(40) ){coll} AS NOMBRE_FANTASIA, "
        "CAST('' AS VARCHAR(50) ){coll} AS REFERENCIA_GEOGRAFICA, "
        "CAST(0 AS DECIMAL(18,5) ) AS SALDO_MAXIMO_CONSOLIDADO, "
        "CAST(MAEEN.FOEN AS VARCHAR(100) ){coll} AS TELEFONO, "
        "CAST('' AS VARCHAR(10) ){coll} AS HABILITA_CPRA_CTA_CTE, "
        "CAST(MAEEN.EMAIL AS VARCHAR(100) ){coll} AS EMAIL, "
        "CAST(MAEEN.RTEN AS VARCHAR(13) ){coll} AS CUIT, "
        "CAST('' AS VARCHAR(10) ){coll} AS VENTA_DESDOBLE, "
        "CAST(0 AS DECIMAL(18,5) ) AS POR_DTO_MAXIMO, "
        "CAST('' AS VARCHAR(20) ){coll} AS PORCENTAJE_DESCUENTO, "
        "CAST(LEFT(MAEEN.CPOSTAL,10) AS VARCHAR(10) ){coll} AS CODIGO_POSTAL, "
        "CAST('' AS VARCHAR(30) ){coll} AS ENTRE_CALLE2, "
        "CAST('' AS VARCHAR(30) ){coll} AS ENTRE_CALLE1, "
        "CAST('' AS VARCHAR(10) ){coll} AS NUMERO, "
        "CAST(LEFT(MAEEN.DIEN,30) AS VARCHAR(30) ){coll} AS CALLE, "
        "CAST(LEFT(MAEEN.NOKOEN,40) AS VARCHAR(40) ){coll} AS RAZON_SOCIAL, "
        "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, CAST('' AS VARCHAR(1) ){coll} AS NOVEDAD, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_ALTA_CLIENTE, "
        "CAST('' AS VARCHAR(1) ){coll} AS CON_ENCUESTA, "
        "CAST('' AS VARCHAR(40) ){coll} AS ID_APERTURA_ADICIONAL_CLIENTE, "
        "CAST(MAEEN.RUEN AS VARCHAR(40) ){coll} AS ID_CANAL_CLIENTE, "
        "CAST('' AS VARCHAR(40) ){coll} AS ID_SUBCANAL_CLIENTE, "
        "CAST(0 AS TINYINT ) AS Percepcion_IB, CAST(0 AS TINYINT ) AS Gran_Contribuyente, "
        "CAST(0 AS TINYINT ) AS conve_multi_marca, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_ZONA_REPARTO, "
        "CAST('' AS VARCHAR(40) ){coll} AS OM_ID_CANAL_CLIENTE, "
        "CAST(0 AS INT ) AS OM_ORDEN_REPARTO, "
        "CAST('' AS NVARCHAR(20) ){coll} AS OM_FECHAHORA_ULTIMAMODIFICACION, "
        "CAST(0 AS INT ) AS QR_IMPRESO INTO #PASO_CLIENTES FROM MAEEN WITH (NOLOCK) "
        "WHERE MAEEN.TIPOSUC='P'",
        "UPDATE #PASO_CLIENTES SET ID_CUENTA=RTRIM(ID_CUENTA),ID_LISTA_PRECIO=CASE WHEN "
        "LEN(RTRIM(ID_LISTA_PRECIO))=0 THEN NULL ELSE RTRIM(ID_LISTA_PRECIO) END",
        "UPDATE #PASO_CLIENTES SET INDICADOR_ACCION='A',ACTIVO=1,FECHA_ULTIMA_MODIFICACION="
        "CONVERT(varchar(14),getdate(),112),OM_FECHAHORA_ULTIMAMODIFICACION=CONVERT(varchar(14),"
        "getdate(),112)+'134502'",
        "INSERT INTO [VELMORA].dbo.CLIENTES SELECT * FROM #PASO_CLIENTES WHERE NOT EXISTS ( "
        "SELECT * FROM [VELMORA].dbo.CLIENTES AS X WITH (NOLOCK) WHERE "
        "X.ID_CUENTA=#PASO_CLIENTES.ID_CUENTA )"}},
      {"CLIENTES_DIRECCIONES",
       CLIENTES_DIRECCIONES,
       {"DROP TABLE #PASO_CLIENTES_DIRECCIONES",
        "SELECT CAST(MAEEN.SUEN AS VARCHAR(20) ){coll} AS ID_DIRECCION, "
        "CAST(MAEEN.KOEN AS VARCHAR(20) ){coll} AS ID_CUENTA, "
        "CAST(MAEEN.DIEN AS VARCHAR(80) ){coll} AS DIRECCION, "
        "CAST('' AS VARCHAR(10) ){coll} AS NUMERO, "
        "CAST('' AS VARCHAR(30) ){coll} AS ID_LOCALIDAD, "
        "CAST(LEFT(MAEEN.CPOSTAL,20) AS VARCHAR(20) ){coll} AS CODIGO_POSTAL, "
        "CAST(MAEEN.FOEN AS VARCHAR(40) ){coll} AS TELEFONO, "
        "CAST('1' AS VARCHAR(1) ){coll} AS ES_LUGAR_ENTREGA, "
        "CAST('1' AS VARCHAR(1) ){coll} AS ES_RAZON_SOCIAL, "
        "CAST('1' AS VARCHAR(1) ){coll} AS POR_DEFECTO, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_PROVINCIA, "
        "CAST('' AS VARCHAR(20) ){coll} AS ID_PAIS, "
        "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
        "CAST(MAEEN.TIPOSUC AS VARCHAR(60) ){coll} AS ENTRE_CALLE_1, "
        "CAST('' AS VARCHAR(60) ){coll} AS ENTRE_CALLE_2, "
        "CAST('1' AS CHAR(1) ){coll} AS Direccion_Propia, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS FLOAT ) AS GPS_LATITUD, CAST('' AS FLOAT ) AS GPS_LONGITUD, "
        "CAST('' AS NVARCHAR(20) ){coll} AS FECHAHORA_ULTIMAMODIFICACION "
        "INTO #PASO_CLIENTES_DIRECCIONES FROM MAEEN WITH (NOLOCK) WHERE MAEEN.ZOEN IS NOT NULL",
        "UPDATE #PASO_CLIENTES_DIRECCIONES SET ID_DIRECCION=RTRIM(ID_DIRECCION),"
        "ID_CUENTA=RTRIM(ID_CUENTA)",
        "UPDATE #PASO_CLIENTES_DIRECCIONES SET ID_DIRECCION='CASAMATRIZZ' WHERE ENTRE_CALLE_1='P'",
        "UPDATE #PASO_CLIENTES_DIRECCIONES SET ENTRE_CALLE_1=''",
        "UPDATE #PASO_CLIENTES_DIRECCIONES SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.CLIENTES_DIRECCIONES SELECT * FROM #PASO_CLIENTES_DIRECCIONES "
        "WHERE NOT EXISTS ( SELECT * FROM [VELMORA].dbo.CLIENTES_DIRECCIONES AS X WITH (NOLOCK) "
        "WHERE X.ID_DIRECCION=#PASO_CLIENTES_DIRECCIONES.ID_DIRECCION AND "
        "X.ID_CUENTA=#PASO_CLIENTES_DIRECCIONES.ID_CUENTA )"}},
      {"CONTACTOS",
       CONTACTOS,
       {"DROP TABLE #PASO_CONTACTOS",
        "SELECT CAST(MAEENCON.RUTCONTACT AS VARCHAR(20) ){coll} AS ID_CONTACTO, "
        "CAST(MAEEN.KOEN AS VARCHAR(20) ){coll} AS ID_CUENTA, "
        "CAST(LEFT(MAEENCON.NOKOCON,40) AS VARCHAR(40) ){coll} AS NOMBRE_CONTACTO, "
        "CAST(LEFT(MAEENCON.CARGOCON,40) AS VARCHAR(40) ){coll} AS CARGO_CONTACTO, "
        "CAST('' AS VARCHAR(8) ){coll} AS FECHA_NACIMIENTO, "
        "CAST(MAEENCON.FONOCON AS VARCHAR(100) ){coll} AS TELEFONO, "
        "CAST(MAEENCON.EMAILCON AS VARCHAR(100) ){coll} AS EMAIL, "
        "CAST('' AS VARCHAR(1) ){coll} AS INDICADOR_ACCION, "
        "CAST('' AS VARCHAR(14) ){coll} AS FECHA_ULTIMA_MODIFICACION, "
        "CAST('' AS VARCHAR(1) ){coll} AS ACTIVO INTO #PASO_CONTACTOS FROM MAEEN WITH (NOLOCK) "
        "INNER JOIN MAEENCON WITH (NOLOCK) ON MAEENCON.KOEN = MAEEN.KOEN WHERE MAEEN.TIPOSUC='P'",
        "UPDATE #PASO_CONTACTOS SET ID_CUENTA=RTRIM(ID_CUENTA)",
        "UPDATE #PASO_CONTACTOS SET INDICADOR_ACCION='A',ACTIVO=1,"
        "FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)",
        "INSERT INTO [VELMORA].dbo.CONTACTOS SELECT * FROM #PASO_CONTACTOS WHERE NOT EXISTS ( "
        "SELECT * FROM [VELMORA].dbo.CONTACTOS AS X WITH (NOLOCK) WHERE "
        "X.ID_CONTACTO=#PASO_CONTACTOS.ID_CONTACTO AND X.ID_CUENTA=#PASO_CONTACTOS.ID_CUENTA )"}},
  };
  return batches;
}

const std::vector<std::string> kCollations = {"", " COLLATE Modern_Spanish_CI_AS"};

class CustomersTest : public ::testing::Test {
 protected:
  void SetUp() override { SetServiceClock(FixedClock); }
  void TearDown() override { SetServiceClock(nullptr); }
};

TEST_F(CustomersTest, StatementsAreExact) {
  for (const auto& coll : kCollations) {
    for (const auto& batch : Expected()) {
      SCOPED_TRACE(std::string(batch.table) + " with collation \"" + coll + "\"");
      const StatementList got = batch.builder("VELMORA", coll);
      // The listed statements, then the update of changed rows as the last one.
      ASSERT_EQ(got.size(), batch.statements.size() + 1);
      for (size_t i = 0; i < batch.statements.size(); ++i) {
        EXPECT_EQ(got[i], WithCollation(batch.statements[i], coll)) << "statement " << i + 1;
      }
    }
  }
}

// The update of changed rows: which columns it sets and which it compares are
// separate lists; the stamps are set but never compared.
TEST_F(CustomersTest, UpdateSetsAndComparesTheirOwnLists) {
  const std::vector<std::string> stamps = {"INDICADOR_ACCION", "FECHA_ULTIMA_MODIFICACION",
                                           "ACTIVO"};
  // Every customer column but the key and QR_IMPRESO (kept from the insert).
  const std::vector<std::string> customer_set = {
        "ID_GRUPO_CLIENTE", "ID_ZONA", "ID_LISTA_PRECIO", "ID_ESTADO_CLIENTE",
        "ID_CONDICION_VENTA", "ID_TIPO_CLIENTE", "ID_CATEGORIA_CLIENTE", "ID_CONDICION_IVA",
        "ID_LOCALIDAD", "ID_RUTA", "NOMBRE_FANTASIA", "REFERENCIA_GEOGRAFICA",
        "SALDO_MAXIMO_CONSOLIDADO", "TELEFONO", "HABILITA_CPRA_CTA_CTE", "EMAIL", "CUIT",
        "VENTA_DESDOBLE", "POR_DTO_MAXIMO", "PORCENTAJE_DESCUENTO", "CODIGO_POSTAL",
        "ENTRE_CALLE2", "ENTRE_CALLE1", "NUMERO", "CALLE", "RAZON_SOCIAL", "INDICADOR_ACCION",
        "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "NOVEDAD", "ID_ALTA_CLIENTE", "CON_ENCUESTA",
        "ID_APERTURA_ADICIONAL_CLIENTE", "ID_CANAL_CLIENTE", "ID_SUBCANAL_CLIENTE",
        "Percepcion_IB", "Gran_Contribuyente", "conve_multi_marca", "ID_ZONA_REPARTO",
        "OM_ID_CANAL_CLIENTE", "OM_ORDEN_REPARTO", "OM_FECHAHORA_ULTIMAMODIFICACION"};
  const std::vector<std::string> address_set = {
        "DIRECCION", "NUMERO", "ID_LOCALIDAD", "CODIGO_POSTAL", "TELEFONO", "ES_LUGAR_ENTREGA",
        "ES_RAZON_SOCIAL", "POR_DEFECTO", "ID_PROVINCIA", "ID_PAIS", "INDICADOR_ACCION",
        "ENTRE_CALLE_1", "ENTRE_CALLE_2", "Direccion_Propia", "ACTIVO",
        "FECHA_ULTIMA_MODIFICACION", "GPS_LATITUD", "GPS_LONGITUD",
        "FECHAHORA_ULTIMAMODIFICACION"};
  const std::vector<std::string> contact_compared = {"NOMBRE_CONTACTO", "CARGO_CONTACTO",
                                                     "FECHA_NACIMIENTO", "TELEFONO", "EMAIL"};
  auto without_stamps = [&](const std::vector<std::string>& columns) {
    std::vector<std::string> out;
    for (const auto& c : columns) {
      if (std::find(stamps.begin(), stamps.end(), c) == stamps.end()) out.push_back(c);
    }
    return out;
  };
  std::vector<std::string> contact_set = contact_compared;
  contact_set.insert(contact_set.end(), stamps.begin(), stamps.end());
  ASSERT_EQ(customer_set.size(), 42u);
  ASSERT_EQ(without_stamps(customer_set).size(), 39u);

  for (const auto& coll : kCollations) {
    EXPECT_EQ(CLIENTES("VELMORA", coll).back(),
              UpdateChanged("[VELMORA].dbo.CLIENTES", "CLIENTES", {"ID_CUENTA"}, customer_set,
                            without_stamps(customer_set)));
    EXPECT_EQ(CLIENTES_DIRECCIONES("VELMORA", coll).back(),
              UpdateChanged("[VELMORA].dbo.CLIENTES_DIRECCIONES", "CLIENTES_DIRECCIONES",
                            {"ID_DIRECCION", "ID_CUENTA"}, address_set,
                            without_stamps(address_set)));
    EXPECT_EQ(CONTACTOS("VELMORA", coll).back(),
              UpdateChanged("[VELMORA].dbo.CONTACTOS", "CONTACTOS", {"ID_CONTACTO", "ID_CUENTA"},
                            contact_set, contact_compared));
  }
  // The full text of one, so the shape itself is pinned here too.
  EXPECT_EQ(CONTACTOS("VELMORA", "").back(),
            "UPDATE [VELMORA].dbo.CONTACTOS SET NOMBRE_CONTACTO = "
            "#PASO_CONTACTOS.NOMBRE_CONTACTO , CARGO_CONTACTO = #PASO_CONTACTOS.CARGO_CONTACTO , FECHA_NACIMIENTO = "
            "#PASO_CONTACTOS.FECHA_NACIMIENTO , TELEFONO = #PASO_CONTACTOS.TELEFONO , EMAIL = "
            "#PASO_CONTACTOS.EMAIL , INDICADOR_ACCION = #PASO_CONTACTOS.INDICADOR_ACCION , "
            "FECHA_ULTIMA_MODIFICACION = #PASO_CONTACTOS.FECHA_ULTIMA_MODIFICACION , ACTIVO = "
            "#PASO_CONTACTOS.ACTIVO FROM #PASO_CONTACTOS WITH (NOLOCK) WHERE "
            "[VELMORA].dbo.CONTACTOS.ID_CONTACTO=#PASO_CONTACTOS.ID_CONTACTO AND "
            "[VELMORA].dbo.CONTACTOS.ID_CUENTA=#PASO_CONTACTOS.ID_CUENTA AND ( "
            "[VELMORA].dbo.CONTACTOS.NOMBRE_CONTACTO <> #PASO_CONTACTOS.NOMBRE_CONTACTO OR "
            "[VELMORA].dbo.CONTACTOS.CARGO_CONTACTO <> #PASO_CONTACTOS.CARGO_CONTACTO OR "
            "[VELMORA].dbo.CONTACTOS.FECHA_NACIMIENTO <> #PASO_CONTACTOS.FECHA_NACIMIENTO OR "
            "[VELMORA].dbo.CONTACTOS.TELEFONO <> #PASO_CONTACTOS.TELEFONO OR "
            "[VELMORA].dbo.CONTACTOS.EMAIL <> #PASO_CONTACTOS.EMAIL )");
}

// The customers' date-and-time stamp takes the service's clock when the text
// is composed, so every cycle compares (and rewrites) a new stamp.
TEST_F(CustomersTest, CustomerStampTakesTheClockAtCompositionTime) {
  const std::string first = CLIENTES("VELMORA", "")[3];
  SetServiceClock(OtherClock);
  const std::string second = CLIENTES("VELMORA", "")[3];
  EXPECT_NE(first, second);
  EXPECT_NE(second.find("OM_FECHAHORA_ULTIMAMODIFICACION=CONVERT(varchar(14),getdate(),112)"
                        "+'090807'"),
            std::string::npos);
  EXPECT_EQ(second.find("134502"), std::string::npos);
}

// The main branch's address code: eleven letters whose first ten are the code
// the order import maps back to the main branch.
TEST_F(CustomersTest, MainBranchAddressCodeReadsBackAsMainBranch) {
  const std::string rename = CLIENTES_DIRECCIONES("VELMORA", "")[3];
  const std::regex code("ID_DIRECCION='([A-Z]+)'");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(rename, match, code));
  EXPECT_EQ(match[1].str(), "CASAMATRIZZ");
  EXPECT_EQ(match[1].str().substr(0, 10), "CASAMATRIZ");
  EXPECT_LE(match[1].str().size(), 20u);  // fits ID_DIRECCION VARCHAR(20)
}

TEST_F(CustomersTest, DestinationNameKeepsItsBracketsSafe) {
  for (const auto& statement : CONTACTOS("VEL]MORA", "")) {
    EXPECT_EQ(statement.find("[VEL]MORA]"), std::string::npos) << statement;
  }
  EXPECT_NE(CONTACTOS("VEL]MORA", "")[4].find("INSERT INTO [VEL]]MORA].dbo.CONTACTOS "),
            std::string::npos);
}

TEST_F(CustomersTest, EveryStatementIsTsql) {
  std::vector<std::string> all;
  for (const auto& coll : kCollations) {
    for (const auto& batch : Expected()) {
      const StatementList statements = batch.builder("VELMORA", coll);
      all.insert(all.end(), statements.begin(), statements.end());
    }
  }
  EXPECT_ALL_TSQL(all);
}

// Rows go into the destination with SELECT * and no column list: the staging
// table's columns must be the destination's, in order and type.
TEST_F(CustomersTest, StagingLayoutIsTheDestinationLayout) {
  for (const auto& batch : Expected()) {
    SCOPED_TRACE(batch.table);
    const auto destination = testsupport::DestinationColumns(batch.table);
    ASSERT_FALSE(destination.empty());
    const auto staging =
        testsupport::StagingColumns(batch.builder("VELMORA", " COLLATE Modern_Spanish_CI_AS")[1]);
    EXPECT_EQ(staging, destination);
  }
}

TEST_F(CustomersTest, EveryErpColumnReadExistsInTheErpSchema) {
  const std::regex qualified("\\b(MAEEN|MAEENCON)\\.([A-Z_]+)");
  std::set<std::pair<std::string, std::string>> read;
  for (const auto& batch : Expected()) {
    for (const auto& statement : batch.builder("VELMORA", "")) {
      for (std::sregex_iterator it(statement.begin(), statement.end(), qualified), end;
           it != end; ++it) {
        read.insert({(*it)[1].str(), (*it)[2].str()});
      }
    }
  }
  EXPECT_GE(read.size(), 20u);  // the sources name their columns in full
  for (const auto& [table, column] : read) {
    const auto columns = testsupport::OriginColumns(table);
    const bool found = std::any_of(columns.begin(), columns.end(),
                                   [&](const auto& c) { return c.name == column; });
    EXPECT_TRUE(found) << table << "." << column;
  }
}

}  // namespace
}  // namespace exporter
