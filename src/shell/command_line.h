// The command line of quorix-velmora:
//   quorix-velmora [AUTO] [--headless] [--home DIR] [--monitor]
//                  [--once export|orders] [--configure]
//                  [--encipher TEXT] [--decipher HEX]
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct CommandLine {
  std::string argument;                  // the first positional argument ("AUTO")
  bool headless = false;
  bool monitor = false;                  // start with LMONITOREO on
  std::optional<std::string> once;       // "export" or "orders": one run, then exit
  bool configure = false;                // the terminal configuration dialog
  std::optional<std::filesystem::path> home;
  std::optional<std::string> encipher;   // print the stored form of TEXT
  std::optional<std::string> decipher;   // print the clear form of HEX
};

struct ParseResult {
  CommandLine line;
  bool exit = false;  // help shown or the command line was wrong
  int status = 0;
  std::string output;  // what to print before exiting
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);

// True when the argument asks for the scheduler at once: "AUTO" once
// surrounding blanks are removed, compared exactly (case matters).
bool IsAutoArgument(const std::string& argument);

// Whether a desktop can be shown: a display is named in the environment.
bool DisplayAvailable();

// The program directory: --home when given, else the executable's directory.
// Its case is kept as it is.
std::filesystem::path ProgramDirectory(const CommandLine& line);

}  // namespace shell
