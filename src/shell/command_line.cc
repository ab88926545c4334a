#include "shell/command_line.h"

#include <CLI/CLI.hpp>

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

std::filesystem::path ProgramDirectory(const CommandLine& line) {
  std::error_code error;
  if (line.home) return std::filesystem::absolute(*line.home, error);
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return exe.parent_path();
}

}  // namespace shell
