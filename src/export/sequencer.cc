#include "export/sequencer.h"

#include "export/customer_reference.h"
#include "export/customers.h"
#include "export/history_account.h"
#include "export/price_lists.h"
#include "export/products.h"
#include "export/sales_force.h"
#include "export/taxes_combos.h"

namespace exporter {

ExportSettings SettingsFrom(const config::TInicio& ini) {
  return {ini.BaseDestino, CollationClause(ini.cCollation), ini.cEmpresa,
          ini.cSucursal,   ini.cBodega,                     ini.cLista};
}

namespace {

using Settings = ExportSettings;

// Builders of the form (BaseDestino, collation clause).
template <StatementList (*Builder)(const std::string&, const std::string&)>
ExportStep Plain(const char* name) {
  return {name, [](db::Session&, const Settings& s) { return Builder(s.BaseDestino, s.coll); }};
}

// Builders of the form (BaseDestino, collation clause, cEmpresa).
template <StatementList (*Builder)(const std::string&, const std::string&, const std::string&)>
ExportStep WithCompany(const char* name) {
  return {name, [](db::Session&, const Settings& s) {
            return Builder(s.BaseDestino, s.coll, s.cEmpresa);
          }};
}

// Builders of the form (BaseDestino, collation clause, cEmpresa, cSucursal,
// cBodega, cLista).
template <StatementList (*Builder)(const std::string&, const std::string&, const std::string&,
                                   const std::string&, const std::string&, const std::string&)>
ExportStep WithStock(const char* name) {
  return {name, [](db::Session&, const Settings& s) {
            return Builder(s.BaseDestino, s.coll, s.cEmpresa, s.cSucursal, s.cBodega, s.cLista);
          }};
}

}  // namespace

const std::vector<ExportStep>& ExportSteps() {
  static const std::vector<ExportStep> steps = {
      Plain<GRUPOS_CLIENTES>("GRUPOS_CLIENTES"),
      Plain<LINEAS>("LINEAS"),
      Plain<RUBROS>("RUBROS"),
      Plain<SUBRUBROS>("SUBRUBROS"),
      Plain<DIVISIONES>("DIVISIONES"),
      WithStock<ARTICULOS>("ARTICULOS"),
      WithCompany<OM_CONVERSIONES>("OM_CONVERSIONES"),
      WithStock<CABECERA_COMBOS>("CABECERA_COMBOS"),
      Plain<CONDICIONES_VENTAS>("CONDICIONES_VENTAS"),
      Plain<ESTADOS_CLIENTES>("ESTADOS_CLIENTES"),
      Plain<LISTAS_PRECIOS>("LISTAS_PRECIOS"),
      Plain<TIPOS_CLIENTES>("TIPOS_CLIENTES"),
      Plain<ZONAS>("ZONAS"),
      Plain<CATEGORIAS_CLIENTES>("CATEGORIAS_CLIENTES"),
      Plain<CONDICIONES_IVA>("CONDICIONES_IVA"),
      Plain<CLIENTES>("CLIENTES"),
      Plain<LOCALIDADES>("LOCALIDADES"),
      Plain<PAISES>("PAISES"),
      Plain<PROVINCIAS>("PROVINCIAS"),
      Plain<CLIENTES_DIRECCIONES>("CLIENTES_DIRECCIONES"),
      Plain<CONTACTOS>("CONTACTOS"),
      WithStock<DETALLE_COMBOS>("DETALLE_COMBOS"),
      WithCompany<DETALLE_PRECIOS>("DETALLE_PRECIOS"),
      Plain<IMPUESTOS>("IMPUESTOS"),
      Plain<IMPUESTOS_ARTICULOS>("IMPUESTOS_ARTICULOS"),
      Plain<VENDEDORES>("VENDEDORES"),
      Plain<VENDEDORES_CLIENTES>("VENDEDORES_CLIENTES"),
      // RUTAS runs its preparatory statements itself before returning its list.
      {"RUTAS",
       [](db::Session& session, const Settings& s) { return RUTAS(session, s.BaseDestino, s.coll); }},
      WithCompany<CABECERA_HISTORICOS_VENTAS>("CABECERA_HISTORICOS_VENTAS"),
      WithCompany<DETALLE_HISTORICOS_VENTAS>("DETALLE_HISTORICOS_VENTAS"),
      WithCompany<CUENTA_CORRIENTE>("CUENTA_CORRIENTE"),
      {"LISTAS_PRECIOS_DESCUENTOS_ERP",
       // Reads the list layout (NOMBRALOSDESC) before composing.
       [](db::Session& session, const Settings& s) {
         return LISTAS_PRECIOS_DESCUENTOS_ERP(session, s.BaseDestino, s.coll, s.cEmpresa,
                                              s.cLista);
       }},
  };
  return steps;
}

ExportSummary SECUENCIAINSERT(db::Session& session, const config::TInicio& ini,
                              std::vector<std::string>& problems) {
  const ExportSettings settings = SettingsFrom(ini);
  ExportSummary summary;
  for (const ExportStep& step : ExportSteps()) {
    EVALUA(session, step.compose(session, settings), problems, &summary);
  }
  return summary;
}

}  // namespace exporter
