#include "shell/command_line.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <sstream>
#include <system_error>

#include "ui/platform.h"

namespace shell {

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
  ParseResult result;
  CLI::App app{"Quorix-Velmora interface service", "quorix-velmora"};
  app.add_option("argument", result.line.argument,
                 "AUTO starts the scheduler as soon as the service is up");
  app.add_flag("--headless", result.line.headless, "run without a window");
  app.add_option("--home", result.line.home,
                 "program directory (INI, Log.txt, tmp/, bases/); default: the "
                 "executable's directory");
  app.add_flag("--monitor", result.line.monitor,
               "start with the monitoring trace on (SIGUSR1 toggles it)");
  app.add_option("--once", result.line.once,
                 "run one cycle (export or orders), print a summary and exit: 0 "
                 "without problems, 3 with")
      ->check(CLI::IsMember({"export", "orders"}));
  app.add_flag("--configure", result.line.configure,
               "edit and save the configuration at the terminal");
  app.add_option("--encipher", result.line.encipher,
                 "print the stored (hexadecimal) form of TEXT and exit");
  app.add_option("--decipher", result.line.decipher,
                 "print the clear form of a stored HEX value and exit");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  if (!reversed.empty()) reversed.pop_back();  // the program name
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    std::ostringstream out, err;
    result.status = app.exit(e, out, err);
    result.output = out.str() + err.str();
    if (result.status != 0) result.status = ui::kExitRefused;
    result.exit = true;
  }
  return result;
}

bool IsAutoArgument(const std::string& argument) {
  const auto first = argument.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const auto last = argument.find_last_not_of(' ');
  return argument.compare(first, last - first + 1, "AUTO") == 0;
}

bool DisplayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

std::filesystem::path ProgramDirectory(const CommandLine& line) {
  std::error_code error;
  if (line.home) return std::filesystem::absolute(*line.home, error);
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return exe.parent_path();
}

}  // namespace shell
