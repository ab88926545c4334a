// The customer reference builders: every statement byte for byte with and
// without a collation, the T-SQL grammar, the staging layouts against the
// destination DDL, the ERP columns against the ERP DDL, and the categories key
// with its Windows-1252 byte 0xA5.
#include "export/customer_reference.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "config/codepage.h"
#include "support/schema_ddl.h"
#include "support/text_marks.h"
#include "support/tsql_grammar.h"

namespace exporter {
namespace {

using Builder = StatementList (*)(const std::string&, const std::string&);

const std::string kCollation = CollationClause("  Modern_Spanish_CI_AS ");
const std::vector<std::string> kClauses = {"", kCollation};

// Expected texts are written with {c} for the collation clause, {p} for the
// staging table and {d} for the destination table of the builder.
std::string Expand(const std::string& text, const std::string& table, const std::string& coll) {
  return testsupport::FillMarks(
      text, {{"{c}", coll}, {"{p}", "#PASO_" + table}, {"{d}", "[VELMORA].dbo." + table}});
}

// The three standard columns, empty, as the create and the fills cast them.
const std::string kStandard =
    "CAST('' AS VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, CAST('' AS VARCHAR(1) ){c} AS "
    "ACTIVO, CAST('' AS VARCHAR(1) ){c} AS INDICADOR_ACCION";
const std::string kStamp =
    "UPDATE {p} SET INDICADOR_ACCION='A',ACTIVO=1,FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),"
    "getdate(),112)";
const std::string kStampNoIndicator =
    "UPDATE {p} SET ACTIVO=1,FECHA_ULTIMA_MODIFICACION=CONVERT(varchar(14),getdate(),112)";

std::string InsertMissingOn(const std::string& key) {
  return "INSERT INTO {d} SELECT * FROM {p} WITH (NOLOCK) WHERE NOT EXISTS ( SELECT * FROM {d} "
         "AS X WITH (NOLOCK) WHERE X." + key + "={p}." + key + " )";
}

// Update of a code table whose description alone is compared.
std::string UpdateDescription(const std::string& key, const std::string& description) {
  return "UPDATE {d} SET " + description + " = {p}." + description +
         " , FECHA_ULTIMA_MODIFICACION = {p}.FECHA_ULTIMA_MODIFICACION , ACTIVO = {p}.ACTIVO , "
         "INDICADOR_ACCION = {p}.INDICADOR_ACCION FROM {p} WITH (NOLOCK) WHERE {d}." + key +
         "={p}." + key + " AND ( {d}." + description + " <> {p}." + description + " )";
}

std::string PlaceholderCreate(const std::string& key, const std::string& key_type,
                              const std::string& description, const std::string& description_type) {
  return "SELECT CAST('' AS " + key_type + " ){c} AS " + key + ", CAST('' AS " +
         description_type + " ){c} AS " + description + ", " + kStandard + " INTO {p}";
}

struct Case {
  const char* table;
  Builder builder;
  std::vector<std::string> expected;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"GRUPOS_CLIENTES",
       GRUPOS_CLIENTES,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_GRUPO_CLIENTE", "VARCHAR(40)", "DESCRIPCION_GRUPO_CLIENTE",
                          "VARCHAR(40)"),
        kStamp, InsertMissingOn("ID_GRUPO_CLIENTE"),
        // The stamps are compared too.
        "UPDATE {d} SET DESCRIPCION_GRUPO_CLIENTE = {p}.DESCRIPCION_GRUPO_CLIENTE , "
        "FECHA_ULTIMA_MODIFICACION = {p}.FECHA_ULTIMA_MODIFICACION , ACTIVO = {p}.ACTIVO , "
        "INDICADOR_ACCION = {p}.INDICADOR_ACCION FROM {p} WITH (NOLOCK) WHERE "
        "{d}.ID_GRUPO_CLIENTE={p}.ID_GRUPO_CLIENTE AND ( {d}.DESCRIPCION_GRUPO_CLIENTE <> "
        "{p}.DESCRIPCION_GRUPO_CLIENTE OR {d}.FECHA_ULTIMA_MODIFICACION <> "
        "{p}.FECHA_ULTIMA_MODIFICACION OR {d}.ACTIVO <> {p}.ACTIVO OR {d}.INDICADOR_ACCION <> "
        "{p}.INDICADOR_ACCION )"}},
      {"CONDICIONES_VENTAS",
       CONDICIONES_VENTAS,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_CONDICION_VENTA", "VARCHAR(20)", "DESCRIPCION_CONDICION_VENTA",
                          "VARCHAR(40)"),
        kStamp, InsertMissingOn("ID_CONDICION_VENTA"),
        UpdateDescription("ID_CONDICION_VENTA", "DESCRIPCION_CONDICION_VENTA")}},
      {"ESTADOS_CLIENTES",
       ESTADOS_CLIENTES,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_ESTADO_CLIENTE", "VARCHAR(20)", "DESCRIPCION_ESTADO_CLIENTE",
                          "VARCHAR(40)"),
        kStamp, InsertMissingOn("ID_ESTADO_CLIENTE"),
        UpdateDescription("ID_ESTADO_CLIENTE", "DESCRIPCION_ESTADO_CLIENTE")}},
      {"CONDICIONES_IVA",
       CONDICIONES_IVA,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_CONDICION_IVA", "VARCHAR(20)", "DESCRIPCION_CONDICION_IVA",
                          "VARCHAR(40)"),
        kStamp, InsertMissingOn("ID_CONDICION_IVA"),
        UpdateDescription("ID_CONDICION_IVA", "DESCRIPCION_CONDICION_IVA")}},
      {"LOCALIDADES",
       LOCALIDADES,
       {"DROP TABLE {p}",
        "SELECT CAST('' AS VARCHAR(30) ){c} AS ID_LOCALIDAD, CAST('' AS VARCHAR(60) ){c} AS "
        "NOMBRE_LOCALIDAD, CAST('' AS VARCHAR(1) ){c} AS INDICADOR_ACCION, CAST('' AS "
        "VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, CAST('' AS VARCHAR(1) ){c} AS ACTIVO "
        "INTO {p}",
        kStamp, InsertMissingOn("ID_LOCALIDAD"),
        "UPDATE {d} SET NOMBRE_LOCALIDAD = {p}.NOMBRE_LOCALIDAD , INDICADOR_ACCION = "
        "{p}.INDICADOR_ACCION , FECHA_ULTIMA_MODIFICACION = {p}.FECHA_ULTIMA_MODIFICACION , "
        "ACTIVO = {p}.ACTIVO FROM {p} WITH (NOLOCK) WHERE {d}.ID_LOCALIDAD={p}.ID_LOCALIDAD AND "
        "( {d}.NOMBRE_LOCALIDAD <> {p}.NOMBRE_LOCALIDAD )"}},
      {"TIPOS_CLIENTES",
       TIPOS_CLIENTES,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_TIPO_CLIENTE", "VARCHAR(20)", "DESCRIPCION_TIPO_CLIENTE",
                          "VARCHAR(40)"),
        "INSERT INTO {p} SELECT CAST(KOCARAC AS VARCHAR(20) ){c} AS ID_TIPO_CLIENTE, "
        "CAST(NOKOCARAC AS VARCHAR(40) ){c} AS DESCRIPCION_TIPO_CLIENTE, " + kStandard +
            " FROM TABCARAC WHERE KOTABLA='TIPOENTIDA'",
        "INSERT INTO {p} SELECT DISTINCT CAST(TIPOEN AS VARCHAR(20) ){c} AS ID_TIPO_CLIENTE, "
        "CAST(TIPOEN AS VARCHAR(40) ){c} AS DESCRIPCION_TIPO_CLIENTE, " + kStandard +
            " FROM MAEEN WITH (NOLOCK) WHERE TIPOEN<>'' AND NOT EXISTS ( SELECT * FROM {p} "
            "WHERE {p}.ID_TIPO_CLIENTE=( CAST(TIPOEN AS VARCHAR(20) ){c} ) )",
        kStamp, InsertMissingOn("ID_TIPO_CLIENTE"),
        UpdateDescription("ID_TIPO_CLIENTE", "DESCRIPCION_TIPO_CLIENTE")}},
      {"ZONAS",
       ZONAS,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_ZONA", "VARCHAR(20)", "DESCRIPCION_ZONA", "VARCHAR(40)"),
        "INSERT INTO {p} SELECT CAST(KOZO AS VARCHAR(20) ){c} AS ID_ZONA, CAST(NOKOZO AS "
        "VARCHAR(40) ){c} AS DESCRIPCION_ZONA, " + kStandard + " FROM TABZO",
        "INSERT INTO {p} (ID_ZONA,DESCRIPCION_ZONA) SELECT DISTINCT ZOEN,'' FROM MAEEN WITH "
        "(NOLOCK) WHERE ZOEN <> '' AND ( CAST(ZOEN AS VARCHAR(20) ){c} ) NOT IN ( SELECT "
        "ID_ZONA FROM {p} )",
        kStamp, InsertMissingOn("ID_ZONA"), UpdateDescription("ID_ZONA", "DESCRIPCION_ZONA")}},
      {"CATEGORIAS_CLIENTES",
       CATEGORIAS_CLIENTES,
       {"DROP TABLE {p}",
        PlaceholderCreate("ID_CATEGORIA_CLIENTE", "VARCHAR(20)", "DESCRIPCION_CATEGORIA_CLIENTE",
                          "VARCHAR(30)"),
        // The key's fifth character: the Windows-1252 byte 0xA5 as UTF-8.
        "INSERT INTO {p} SELECT CAST(KOCARAC AS VARCHAR(20) ){c} AS ID_CATEGORIA_CLIENTE, "
        "CAST(NOKOCARAC AS VARCHAR(30) ){c} AS DESCRIPCION_CATEGORIA_CLIENTE, " + kStandard +
            " FROM TABCARAC WITH (NOLOCK) WHERE KOTABLA='TAMA\xC2\xA5OEMPR'",
        kStamp, InsertMissingOn("ID_CATEGORIA_CLIENTE"),
        UpdateDescription("ID_CATEGORIA_CLIENTE", "DESCRIPCION_CATEGORIA_CLIENTE")}},
      {"PAISES",
       PAISES,
       {"DROP TABLE {p}",
        "SELECT CAST('' AS VARCHAR(20) ){c} AS ID_PAIS, CAST('' AS VARCHAR(60) ){c} AS "
        "DESCRIPCION_PAIS, CAST('' AS VARCHAR(1) ){c} AS ACTIVO, CAST('' AS VARCHAR(14) ){c} AS "
        "FECHA_ULTIMA_MODIFICACION INTO {p}",
        "INSERT INTO {p} SELECT CAST(KOPA AS VARCHAR(20) ){c} AS ID_PAIS, CAST(NOKOPA AS "
        "VARCHAR(60) ){c} AS DESCRIPCION_PAIS, CAST('' AS VARCHAR(1) ){c} AS ACTIVO, CAST('' AS "
        "VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION FROM TABPA",
        kStampNoIndicator, InsertMissingOn("ID_PAIS"),
        "UPDATE {d} SET DESCRIPCION_PAIS = {p}.DESCRIPCION_PAIS , ACTIVO = {p}.ACTIVO , "
        "FECHA_ULTIMA_MODIFICACION = {p}.FECHA_ULTIMA_MODIFICACION FROM {p} WITH (NOLOCK) WHERE "
        "{d}.ID_PAIS={p}.ID_PAIS AND ( {d}.DESCRIPCION_PAIS <> {p}.DESCRIPCION_PAIS )"}},
      {"PROVINCIAS",
       PROVINCIAS,
       {"DROP TABLE {p}",
        "SELECT CAST('' AS VARCHAR(20) ){c} AS ID_PROVINCIA, CAST('' AS VARCHAR(60) ){c} AS "
        "DESCRIPCION_PROVINCIA, CAST('' AS VARCHAR(1) ){c} AS ACTIVO, CAST('' AS VARCHAR(14) "
        "){c} AS FECHA_ULTIMA_MODIFICACION, CAST(0 AS TINYINT ) AS Percepcion_IB, CAST(0 AS "
        "TINYINT ) AS Percepcion_Siempre, CAST(0 AS TINYINT ) AS Gran_Contribuyente_No_Percibe, "
        "CAST('' AS CHAR(1) ){c} AS Percepcion_NC, CAST('' AS CHAR(1) ){c} AS "
        "Alicuota_Por_Grupo, CAST('' AS VARCHAR(1) ){c} AS PRIORIZA_GRUPO INTO {p}",
        "INSERT INTO {p} SELECT CAST(KOPA+KOCI AS VARCHAR(20) ){c} AS ID_PROVINCIA, "
        "CAST(NOKOCI AS VARCHAR(60) ){c} AS DESCRIPCION_PROVINCIA, CAST('' AS VARCHAR(1) ){c} "
        "AS ACTIVO, CAST('' AS VARCHAR(14) ){c} AS FECHA_ULTIMA_MODIFICACION, CAST(0 AS TINYINT "
        ") AS Percepcion_IB, CAST(0 AS TINYINT ) AS Percepcion_Siempre, CAST(0 AS TINYINT ) AS "
        "Gran_Contribuyente_No_Percibe, CAST('' AS CHAR(1) ){c} AS Percepcion_NC, CAST('' AS "
        "CHAR(1) ){c} AS Alicuota_Por_Grupo, CAST('' AS VARCHAR(1) ){c} AS PRIORIZA_GRUPO FROM "
        "TABCI",
        kStampNoIndicator, InsertMissingOn("ID_PROVINCIA"),
        "UPDATE {d} SET DESCRIPCION_PROVINCIA = {p}.DESCRIPCION_PROVINCIA , ACTIVO = "
        "{p}.ACTIVO , FECHA_ULTIMA_MODIFICACION = {p}.FECHA_ULTIMA_MODIFICACION , Percepcion_IB "
        "= {p}.Percepcion_IB , Percepcion_Siempre = {p}.Percepcion_Siempre , "
        "Gran_Contribuyente_No_Percibe = {p}.Gran_Contribuyente_No_Percibe , Percepcion_NC = "
        "{p}.Percepcion_NC , Alicuota_Por_Grupo = {p}.Alicuota_Por_Grupo , PRIORIZA_GRUPO = "
        "{p}.PRIORIZA_GRUPO FROM {p} WITH (NOLOCK) WHERE {d}.ID_PROVINCIA={p}.ID_PROVINCIA AND "
        "( {d}.DESCRIPCION_PROVINCIA <> {p}.DESCRIPCION_PROVINCIA OR {d}.Percepcion_IB <> "
        "{p}.Percepcion_IB OR {d}.Percepcion_Siempre <> {p}.Percepcion_Siempre OR "
        "{d}.Gran_Contribuyente_No_Percibe <> {p}.Gran_Contribuyente_No_Percibe OR "
        "{d}.Percepcion_NC <> {p}.Percepcion_NC OR {d}.Alicuota_Por_Grupo <> "
        "{p}.Alicuota_Por_Grupo OR {d}.PRIORIZA_GRUPO <> {p}.PRIORIZA_GRUPO )"}},
  };
  return cases;
}

TEST(CustomerReferenceTest, EveryStatementExactlyWithAndWithoutCollation) {
  EXPECT_EQ(kCollation, " COLLATE Modern_Spanish_CI_AS");
  for (const Case& c : Cases()) {
    for (const std::string& coll : kClauses) {
      const StatementList got = c.builder("VELMORA", coll);
      ASSERT_EQ(got.size(), c.expected.size()) << c.table << " [" << coll << "]";
      for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i], Expand(c.expected[i], c.table, coll))
            << c.table << " statement " << i + 1 << " [" << coll << "]";
      }
    }
  }
}

TEST(CustomerReferenceTest, EveryStatementIsTsql) {
  // Each distinct text once: drops and stamps do not depend on the collation.
  std::set<std::string> distinct;
  for (const Case& c : Cases()) {
    for (const std::string& coll : kClauses) {
      const StatementList got = c.builder("VELMORA", coll);
      distinct.insert(got.begin(), got.end());
    }
  }
  EXPECT_ALL_TSQL(std::vector<std::string>(distinct.begin(), distinct.end()));
}

TEST(CustomerReferenceTest, StagingLayoutIsTheDestinationLayout) {
  for (const Case& c : Cases()) {
    const auto staging = testsupport::StagingColumns(c.builder("VELMORA", kCollation)[1]);
    const auto destination = testsupport::DestinationColumns(c.table);
    ASSERT_FALSE(destination.empty()) << c.table << " missing from schema/velmora";
    EXPECT_EQ(staging, destination) << c.table;
  }
}

TEST(CustomerReferenceTest, ErpColumnsReadExistInTheErpSchema) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> read = {
      {"TABCARAC", {"KOTABLA", "KOCARAC", "NOKOCARAC"}},
      {"MAEEN", {"TIPOEN", "ZOEN"}},
      {"TABZO", {"KOZO", "NOKOZO"}},
      {"TABPA", {"KOPA", "NOKOPA"}},
      {"TABCI", {"KOPA", "KOCI", "NOKOCI"}}};
  for (const auto& [table, columns] : read) {
    std::set<std::string> present;
    for (const auto& column : testsupport::OriginColumns(table)) present.insert(column.name);
    for (const auto& column : columns) {
      EXPECT_TRUE(present.count(column)) << table << "." << column << " missing from schema/quorix";
    }
  }
}

// The ERP stores the categories' key with the Windows-1252 byte 0xA5 in its
// fifth position. The statement text (UTF-8) carries that byte's character,
// so that it turns back into exactly 0xA5 in the server's Windows-1252 code
// page: ten characters, valid UTF-8, and no "Ñ".
TEST(CustomerReferenceTest, CategoriesKeyCarriesTheWindows1252ByteA5) {
  const std::string key = config::FromCp1252("TAMA\xA5OEMPR");
  EXPECT_EQ(kCategoriasKey, key);
  const std::string fill = CATEGORIAS_CLIENTES("VELMORA", "")[2];
  EXPECT_NE(fill.find("WHERE KOTABLA='" + key + "'"), std::string::npos) << fill;
  EXPECT_EQ(fill.find("\xC3\x91"), std::string::npos) << "holds an N with tilde";

  const auto single_byte = config::ToCp1252(fill);
  ASSERT_TRUE(single_byte.has_value()) << "not valid UTF-8 or not Windows-1252";
  const size_t at = single_byte->find("KOTABLA='") + 9;
  EXPECT_EQ(single_byte->substr(at, 11), std::string("TAMA\xA5OEMPR'"));
}

// A destination database name holding "]" stays one bracketed name everywhere.
TEST(CustomerReferenceTest, DestinationNameWithClosingBracketIsDoubled) {
  for (const Case& c : Cases()) {
    for (const std::string& statement : c.builder("Vel]mora", "")) {
      if (statement.find(".dbo.") == std::string::npos) continue;
      std::string rest = statement;
      rest = testsupport::FillMarks(rest, {{"[Vel]]mora].dbo.", ""}});
      EXPECT_EQ(rest.find("Vel"), std::string::npos) << statement;
    }
  }
}

}  // namespace
}  // namespace exporter
