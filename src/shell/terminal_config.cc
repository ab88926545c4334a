#include "shell/terminal_config.h"

#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config/text.h"

namespace shell {
namespace {

using config::Trim;

constexpr size_t kMaxText = 200;

// Number of characters of a UTF-8 text.
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

bool ReadLine(Terminal& terminal, std::string& line) {
  if (!std::getline(terminal.in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// Asks for one text field; Enter keeps `value`. False at end of input.
bool AskText(Terminal& terminal, const std::string& label, std::string& value,
             bool secret) {
  for (;;) {
    terminal.out << label << " [" << (secret && !Trim(value).empty() ? "****" : Trim(value))
                 << "]: " << std::flush;
    std::string line;
    if (secret) terminal.set_echo(false);
    const bool read = ReadLine(terminal, line);
    if (secret) {
      terminal.set_echo(true);
      terminal.out << "\n";
    }
    if (!read) return false;
    if (line.empty()) return true;
    if (CharacterCount(line) > kMaxText) {
      terminal.out << "  at most " << kMaxText << " characters\n";
      continue;
    }
    value = line;
    return true;
  }
}

bool AskInterval(Terminal& terminal, int& value) {
  for (;;) {
    terminal.out << "Intervalo de actualización (default=250 ciclos - aprox:10 "
                    "segundos) ["
                 << value << "]: " << std::flush;
    std::string line;
    if (!ReadLine(terminal, line)) return false;
    line = Trim(line);
    if (line.empty()) return true;
    if (line.size() <= 4 && line.find_first_not_of("0123456789") == std::string::npos) {
      value = std::stoi(line);
      return true;
    }
    terminal.out << "  a whole number of at most four digits (0 to 9999)\n";
  }
}

}  // namespace

std::function<void(bool)> StdinEchoControl() {
  return [](bool on) {
    if (!isatty(STDIN_FILENO)) return;
    termios settings{};
    if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
    if (on) {
      settings.c_lflag |= ECHO;
    } else {
      settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
  };
}

bool TerminalConfigure(config::TInicio& ini, ui::Platform& platform,
                       config::ConnectionChecker& checker, Terminal& terminal) {
  // Edit buffers, filled from the configuration object.
  struct Field {
    const char* label;
    std::string* target;
    bool secret;
    std::string buffer;
  };
  std::vector<Field> fields = {
      {"Origen - DNS", &ini.cDSN, false, {}},
      {"Origen - Usuario", &ini.cUser, false, {}},
      {"Origen - Password", &ini.cPassword, true, {}},
      {"Origen - Intercalación", &ini.cCollationOrigen, false, {}},
      {"Destino - DNS", &ini.cDSNDestino, false, {}},
      {"Destino - Usuario", &ini.cUserDestino, false, {}},
      {"Destino - Password", &ini.cPasswordDestino, true, {}},
      {"Destino - Nombre BD", &ini.BaseDestino, false, {}},
      {"Destino - Intercalación", &ini.cCollation, false, {}},
      {"Destinatario de correos", &ini.cDestinatario, false, {}},
  };
  terminal.out << "Conexiones (Enter keeps the value shown; the connection values are "
                  "enciphered when saved)\n";
  for (auto& field : fields) {
    field.buffer = *field.target;
    if (!AskText(terminal, field.label, field.buffer, field.secret)) return false;
  }
  int interval = ini.nLapso;
  if (!AskInterval(terminal, interval)) return false;

  terminal.out << "Grabar? (s/N): " << std::flush;
  std::string answer;
  if (!ReadLine(terminal, answer)) return false;
  answer = Trim(answer);
  if (answer != "s" && answer != "S") return false;

  for (auto& field : fields) *field.target = Trim(field.buffer);
  ini.nLapso = interval;
  ini.Actualizar(platform, checker);
  platform.Information("Datos fueron actualizados", "ATENCION");
  return true;
}

}  // namespace shell
