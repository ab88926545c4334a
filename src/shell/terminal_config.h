// --configure: the configuration dialog for a terminal. The same fields and
// limits as the desktop dialog (texts of at most 200 characters, an interval of
// at most four digits), filled from the configuration object; Enter keeps the
// shown value. Passwords are typed without echo. On confirmation the values are
// stored trimmed and saved with Actualizar, then "Datos fueron actualizados".
#pragma once

#include <functional>
#include <istream>
#include <ostream>

#include "config/tinicio.h"
#include "ui/platform.h"

namespace shell {

struct Terminal {
  std::istream& in;
  std::ostream& out;
  // Turns echo of typed characters off (false) or on again (true); a no-op
  // when the input is not a terminal.
  std::function<void(bool)> set_echo = [](bool) {};
};

// Echo control of standard input when it is a terminal.
std::function<void(bool)> StdinEchoControl();

// Runs the dialog. True when the user confirmed ("Grabar"); the values are then
// in `ini` whatever Actualizar answered.
bool TerminalConfigure(config::TInicio& ini, ui::Platform& platform,
                       config::ConnectionChecker& checker, Terminal& terminal);

}  // namespace shell
