// Entry point of quorix-velmora.
#include <iostream>
#include <string>
#include <vector>

#include "config/cipher.h"
#include "config/error_handler.h"
#include "config/tinicio.h"
#include "db/odbc_connection.h"
#include "shell/command_line.h"
#include "shell/headless_service.h"
#include "shell/terminal_config.h"
#include "ui/headless/event_loop.h"
#include "ui/headless/headless_platform.h"
#include "ui/qt/desktop_face.h"
#include "ui/qt/qt_platform.h"

#include <QApplication>

#include <pthread.h>
#include <signal.h>

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

// --configure: the configuration dialog at the terminal.
int RunTerminalConfiguration(const shell::CommandLine& line, ui::Platform& platform) {
  bool ok = false;
  config::TInicio ini =
      config::TInicio::New(shell::ProgramDirectory(line), platform, ok);
  db::OdbcConnectionChecker checker(platform);
  shell::Terminal terminal{std::cin, std::cout, shell::StdinEchoControl()};
  shell::TerminalConfigure(ini, platform, checker, terminal);
  return ui::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything else: the stop signals are read by the event loop, and
  // unhandled errors leave Error.log.
  ui::EventLoop::BlockSignals();
  config::ERRORSYS();

  auto parsed = shell::ParseCommandLine(std::vector<std::string>(argv, argv + argc));
  if (parsed.exit) {
    (parsed.status == 0 ? std::cout : std::cerr) << parsed.output;
    return parsed.status;
  }
  const shell::CommandLine& line = parsed.line;
  config::SetErrorReportDirectory(shell::ProgramDirectory(line));
  if (line.encipher || line.decipher) return RunCipherTool(line);

  ui::HeadlessPlatform platform(std::cerr);
  if (line.configure) return RunTerminalConfiguration(line, platform);

  if (!line.headless && !line.once && shell::DisplayAvailable()) {
    // The stop signals were blocked for the headless loop's signalfd; the
    // desktop has no such reader, so they keep their default action here.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
    QApplication app(argc, argv);
    qtface::QtPlatform desktop;
    config::MonitorTrace trace(".");
    shell::ProcessContext ctx(desktop, trace);
    desktop.SetShutdown([&ctx] { shell::Shutdown(ctx); });
    return qtface::RunDesktop(ctx, line);
  }
  config::MonitorTrace trace(".");
  shell::ProcessContext ctx(platform, trace);
  platform.SetShutdown([&ctx] { shell::Shutdown(ctx); });
  return shell::RunHeadless(ctx, line, {});
}
