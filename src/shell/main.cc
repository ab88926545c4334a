// Entry point of quorix-velmora.
#include <iostream>
#include <string>
#include <vector>

#include "config/cipher.h"
#include "config/tinicio.h"
#include "shell/command_line.h"
#include "ui/headless/headless_platform.h"

namespace {

// --encipher / --decipher: the stored form of a value and back, for
// administrators who write the INI file by hand.
int RunCipherTool(const shell::CommandLine& line) {
  if (line.encipher) {
    auto stored = config::EncipherValue(*line.encipher);
    if (!stored) {
      std::cerr << "quorix-velmora: the text holds a character that the INI file "
                   "cannot store (Windows-1252)\n";
      return ui::kExitRefused;
    }
    std::cout << *stored << "\n";
  } else {
    std::cout << config::Encriptar(*line.decipher, 2) << "\n";
  }
  return ui::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  auto parsed = shell::ParseCommandLine(std::vector<std::string>(argv, argv + argc));
  if (parsed.exit) {
    (parsed.status == 0 ? std::cout : std::cerr) << parsed.output;
    return parsed.status;
  }
  const shell::CommandLine& line = parsed.line;
  if (line.encipher || line.decipher) return RunCipherTool(line);

  ui::HeadlessPlatform platform(std::cerr);
  bool ok = false;
  config::TInicio ini =
      config::TInicio::New(shell::ProgramDirectory(line), platform, ok);
  if (!ok) {
    std::cerr << "quorix-velmora: the configuration in " << ini.IniPath().string()
              << " is incomplete; write the connection values there (see README)\n";
    return ui::kExitRefused;
  }
  std::cerr << "quorix-velmora: configuration loaded from " << ini.IniPath().string()
            << "; the service cycles are not built yet\n";
  return ui::kExitOk;
}
