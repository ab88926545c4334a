// The export sequence: its 32 steps in order with their staging tables, the
// settings each builder receives, and a failed batch not stopping the rest.
#include "export/sequencer.h"

#include <gtest/gtest.h>

#include "support/odbc_test_env.h"
#include "support/scripted_db.h"
#include "ui/recording_platform.h"

namespace exporter {
namespace {

struct SequencerTest : ::testing::Test {
  SequencerTest() {
    session.OODBC = db;
    ini.BaseDestino = "VELMORA";
    ini.cCollation = " Modern_Spanish_CI_AS ";
    ini.cEmpresa = "07";
    ini.cSucursal = "S01";
    ini.cBodega = "B02";
    ini.cLista = "TABPP0AB";
  }
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{testsupport::FreshDir("sequencer-trace")};
  db::Session session{platform, trace};
  std::shared_ptr<testsupport::ScriptedConnection> db =
      std::make_shared<testsupport::ScriptedConnection>();
  config::TInicio ini;
};

TEST_F(SequencerTest, StepsRunInTheirOrderEachOpeningWithItsStagingDrop) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"GRUPOS_CLIENTES", "GRUPOS_CLIENTES"},
      {"LINEAS", "LINEAS"},
      {"RUBROS", "RUBROS"},
      {"SUBRUBROS", "SUBRUBROS"},
      {"DIVISIONES", "DIVISIONES"},
      {"ARTICULOS", "ARTICULOS"},
      {"OM_CONVERSIONES", "OMCON"},
      {"CABECERA_COMBOS", "CABECERA_COMBOS"},
      {"CONDICIONES_VENTAS", "CONDICIONES_VENTAS"},
      {"ESTADOS_CLIENTES", "ESTADOS_CLIENTES"},
      {"LISTAS_PRECIOS", "LISTAS_PRECIOS"},
      {"TIPOS_CLIENTES", "TIPOS_CLIENTES"},
      {"ZONAS", "ZONAS"},
      {"CATEGORIAS_CLIENTES", "CATEGORIAS_CLIENTES"},
      {"CONDICIONES_IVA", "CONDICIONES_IVA"},
      {"CLIENTES", "CLIENTES"},
      {"LOCALIDADES", "LOCALIDADES"},
      {"PAISES", "PAISES"},
      {"PROVINCIAS", "PROVINCIAS"},
      {"CLIENTES_DIRECCIONES", "CLIENTES_DIRECCIONES"},
      {"CONTACTOS", "CONTACTOS"},
      {"DETALLE_COMBOS", "DETALLE_COMBOS"},
      {"DETALLE_PRECIOS", "DETALLE_PRECIOS"},
      {"IMPUESTOS", "IMPUESTOS"},
      {"IMPUESTOS_ARTICULOS", "IMPUESTOS_ARTICULOS"},
      {"VENDEDORES", "VENDEDORES"},
      {"VENDEDORES_CLIENTES", "VENDEDORES_CLIENTES"},
      {"RUTAS", "RUTAS"},
      {"CABECERA_HISTORICOS_VENTAS", "CHV"},
      {"DETALLE_HISTORICOS_VENTAS", "DHV"},
      {"CUENTA_CORRIENTE", "CTACTE"},
      {"LISTAS_PRECIOS_DESCUENTOS_ERP", "DETALLE_DESCUENTOS"},
  };
  const auto& steps = ExportSteps();
  ASSERT_EQ(steps.size(), expected.size());
  const ExportSettings settings = SettingsFrom(ini);
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(steps[i].builder);
    EXPECT_EQ(steps[i].builder, expected[i].first);
    const StatementList list = steps[i].compose(session, settings);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front(), "DROP TABLE #PASO_" + expected[i].second);
  }
}

TEST_F(SequencerTest, BuildersReceiveTheSettingsOfTheConfiguration) {
  const ExportSettings settings = SettingsFrom(ini);
  EXPECT_EQ(settings.coll, " COLLATE Modern_Spanish_CI_AS");
  for (const auto& step : ExportSteps()) {
    const std::string name = step.builder;
    if (name != "ARTICULOS") continue;
    std::string all;
    for (const auto& text : step.compose(session, settings)) all += text + "\n";
    for (const char* piece : {"'07'", "'S01'", "'B02'", "'0AB'", "[VELMORA].dbo.ARTICULOS",
                              " COLLATE Modern_Spanish_CI_AS"}) {
      EXPECT_NE(all.find(piece), std::string::npos) << piece;
    }
  }
}

TEST_F(SequencerTest, AFailedBatchDoesNotStopTheSequence) {
  // The products' create fails: one problem line; the unit conversions, the
  // next step, still run, and so does the last step.
  db->OnRegex("INTO #PASO_ARTICULOS").Fails("Invalid object name 'MAEPREM'.");
  std::vector<std::string> problems;
  const ExportSummary summary = SECUENCIAINSERT(session, ini, problems);
  EXPECT_EQ(summary.batches, 32);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind("Problema -> Invalid object name 'MAEPREM'. ", 0), 0u);
  const auto& sent = db->statements();
  auto position = [&](const std::string& text) {
    return std::find(sent.begin(), sent.end(), text) - sent.begin();
  };
  EXPECT_LT(position("DROP TABLE #PASO_ARTICULOS"), position("DROP TABLE #PASO_OMCON"));
  EXPECT_LT(position("DROP TABLE #PASO_OMCON"),
            static_cast<long>(sent.size()));
  EXPECT_EQ(sent.back(), "DROP TABLE #PASO_DETALLE_DESCUENTOS");
  // The failed batch keeps its staging table: one drop, not two.
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "DROP TABLE #PASO_ARTICULOS"), 1);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "DROP TABLE #PASO_OMCON"), 2);
}

}  // namespace
}  // namespace exporter
