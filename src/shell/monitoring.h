// Switching the monitoring trace on and off: the two menu items of the desktop
// and SIGUSR1 of the headless face share this, so both show the same message.
#pragma once

#include <string>

#include "db/session.h"

namespace shell {

// "Monitoreo : ACTIVADO", or "Monitoreo : DESACTIVADO" CR LF "Archivo queda en
// Monitoreo_001.TXT" (always the first file's name, whichever file the trace
// has reached).
std::string MonitoringMessage(bool on);

// Sets LMONITOREO to `on` and shows the monitoring message as an information
// box titled "Information". Call it between runs, never inside one.
void SetMonitoring(db::Session& session, bool on);

// SetMonitoring with the opposite of the current value.
void ToggleMonitoring(db::Session& session);

}  // namespace shell
