#include "shell/startup.h"

#include <system_error>

#include "config/text.h"
#include "db/odbc_connection.h"
#include "shell/active_company.h"

namespace shell {

void Shutdown(ProcessContext& ctx) {
  ctx.oLog.Close();
  if (ctx.OODBC) ctx.OODBC->End();
}

int StartUp(ProcessContext& ctx, const std::filesystem::path& program_dir,
            const StartupHooks& hooks) {
  bool ok = false;
  ctx.ini = config::TInicio::New(program_dir, ctx.platform, ok);
  config::TInicio& ini = ctx.ini;
  if (!ok) {
    ctx.platform.Information(
        "Servisor de Quorix-Norvo2015 no activado. Corrija y reintente", "ATENCION");
    if (hooks.incomplete_configuration) hooks.incomplete_configuration(ctx);
    return ui::kExitRefused;
  }

  ctx.oLog.Open(ini.cRuta + "Log.txt");

  // The origin values, in this order; the first blank one ends start-up.
  const std::pair<const std::string*, const char*> checks[] = {
      {&ini.cDSN, "Fallo de parametros: falta nombre de base de datos ORIGEN-> "},
      {&ini.cUser, "Fallo de parametros: falta Usuario de base de datos ORIGEN-> "},
      {&ini.cPassword,
       "Fallo de parametros: falta clave de conexion a base de datos ORIGEN-> "},
  };
  for (const auto& [value, line] : checks) {
    if (config::IsBlank(*value)) {
      ctx.oLog.Write(line);
      ctx.oLog.Close();
      return ui::kExitRefused;
    }
  }

  ctx.OODBC = hooks.connect
                  ? hooks.connect(ctx, ini.cDSN, ini.cUser, ini.cPassword)
                  : db::TOdbc::New(ctx.platform, ini.cDSN, ini.cUser, ini.cPassword);
  if (!ctx.OODBC->lSuccess) {
    ctx.oLog.Write("Fallo de conexion: al intentar conectar a " + ini.cDSN + " " +
                   ini.cUser + " " + config::kMaskedPassword + " -> ");
    ctx.oLog.Close();
    ctx.OODBC->End();
    return ui::kExitRefused;
  }

  // Work directories beside the program; failures here surface later, when a
  // local table cannot be created.
  const std::filesystem::path root(ini.cRuta);
  std::error_code ignored;
  std::filesystem::create_directories(root / "tmp", ignored);
  ctx.DEFABASES = root / "bases";
  std::filesystem::create_directories(ctx.DEFABASES, ignored);
  ctx.locals.SetDirectory(root / "tmp");

  if (!BootstrapActiveCompany(ctx)) {
    Shutdown(ctx);
    return ui::kExitRefused;
  }
  if (hooks.load_catalogue) hooks.load_catalogue(ctx);
  return ui::kExitOk;
}

}  // namespace shell
