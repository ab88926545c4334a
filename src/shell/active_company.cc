#include "shell/active_company.h"

#include "db/literals.h"
#include "db/lookups.h"
#include "db/statement.h"
#include "db/tables.h"

namespace shell {

std::string SeedEmpresasStatement(const std::string& razon) {
  // The name is a literal with its quotes doubled, so a company name with an
  // apostrophe seeds like any other.
  return "INSERT INTO EMPRESAS (EMPRESA,RAZON,ACTIVA,MODALIDAD) VALUES ('01'," +
         db::QuoteText(razon) + ",'0','VENTA')";
}

bool BootstrapActiveCompany(ProcessContext& ctx) {
  config::TInicio& ini = ctx.ini;

  db::SqlRow configp;
  db::SEEKSQL(ctx, "CONFIGP", configp, {"EMPRESA"}, {db::Value::Text("01")}, "RAZON");
  const std::string razon = db::VCC(ctx, configp, "RAZON").text();

  if (!db::EXISTETABLA(ctx, "EMPRESAS")) {
    std::string error;
    if (db::CREARTABLASQL(ctx, "EMPRESAS", &error)) {
      if (!db::EJECUTESQL(ctx, SeedEmpresasStatement(razon), &error)) {
        ctx.platform.Stop("No pudo crearse tabla EMPRESA.\r\n" + error, "ATENCION");
        return false;
      }
    }
  }

  db::SqlRow empresas;
  if (!db::TOPSQL(ctx, "EMPRESAS", empresas, " EMPRESA ", " ACTIVA=1 ")) {
    ctx.platform.Stop(
        "No existe empresa activa, establéscala en Parámetros->Empresas y continúe",
        "ATENCION");
    ctx.CNUMEROEMPRESA.clear();
    return true;
  }
  ctx.CNUMEROEMPRESA = db::VCC(ctx, empresas, "EMPRESA").text();
  ini.cEmpresa = ctx.CNUMEROEMPRESA;
  ini.cModalidad = db::VCC(ctx, empresas, "MODALIDAD").text();

  db::SqlRow confiest;
  if (!db::SEEKSQL(ctx, "CONFIEST", confiest, {"EMPRESA", "MODALIDAD"},
                   {db::Value::Text(ctx.CNUMEROEMPRESA), db::Value::Text(ini.cModalidad)})) {
    ini.cModalidad.clear();
    ctx.platform.Stop(
        "Modalidad no existe para la empresa. Establéscala en Parámetros->Empresas y "
        "continúe",
        "ATENCION");
    return true;
  }
  ini.cSucursal = db::VCC(ctx, confiest, "ESUCURSAL").text();
  ini.cBodega = db::VCC(ctx, confiest, "EBODEGA").text();
  ini.cLista = db::VCC(ctx, confiest, "ELISTAVEN").text();
  ini.ListaVenta = db::VCC(ctx, confiest, "ELISTAVEN").text();
  ini.ListaCompra = db::VCC(ctx, confiest, "ELISTACOM").text();
  ini.ListaInterna = db::VCC(ctx, confiest, "ELISTAINT").text();
  return true;
}

}  // namespace shell
