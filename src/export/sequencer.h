// SECUENCIAINSERT: one whole export. Derives the export settings from the
// configuration object and runs the 32 entity builders in their fixed order,
// each batch through EVALUA; a failed batch does not stop the sequence.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/tinicio.h"
#include "db/session.h"
#include "export/runner.h"

namespace exporter {

// The settings every builder takes its arguments from.
struct ExportSettings {
  std::string BaseDestino;
  std::string coll;  // the collation clause
  std::string cEmpresa;
  std::string cSucursal;
  std::string cBodega;
  std::string cLista;
};
ExportSettings SettingsFrom(const config::TInicio& ini);

// One step of the sequence: its builder's name and how it composes its list.
struct ExportStep {
  const char* builder;
  std::function<StatementList(db::Session&, const ExportSettings&)> compose;
};
// The 32 steps, in order.
const std::vector<ExportStep>& ExportSteps();

ExportSummary SECUENCIAINSERT(db::Session& session, const config::TInicio& ini,
                              std::vector<std::string>& problems);

}  // namespace exporter
