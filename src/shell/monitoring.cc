#include "shell/monitoring.h"

namespace shell {

std::string MonitoringMessage(bool on) {
  return std::string("Monitoreo : ") +
         (on ? "ACTIVADO" : "DESACTIVADO\r\nArchivo queda en Monitoreo_001.TXT");
}

void SetMonitoring(db::Session& session, bool on) {
  session.LMONITOREO = on;
  session.platform.Information(MonitoringMessage(on), "Information");
}

void ToggleMonitoring(db::Session& session) { SetMonitoring(session, !session.LMONITOREO); }

}  // namespace shell
