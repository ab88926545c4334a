// What Linux can tell about the running process for the error report: the
// active calls (captured with the C library's unwinder, named from the
// binaries' symbol tables and DWARF line tables through elfutils' libdw),
// the executable, memory figures, processor, kernel and running processes
// from /proc and uname.
#pragma once

#include <cstdint>
#include <vector>

#include "config/error_report.h"

namespace config {

// Return addresses of the active calls, innermost first, starting with the
// caller of CaptureCallAddresses. When `fault_pc` is not 0 (a fatal signal),
// the list starts at the frame that holds it instead, so the signal
// handler's own frames are left out.
std::vector<std::uintptr_t> CaptureCallAddresses(std::uintptr_t fault_pc = 0);

// Module (source file, else binary), function and line of each address.
// The first address is taken as exact when `first_is_exact` (a faulting
// instruction); the others are return addresses and are looked up one byte
// earlier, inside their call instruction.
std::vector<StackFrame> DescribeCalls(const std::vector<std::uintptr_t>& addresses,
                                      bool first_is_exact = false);

// Everything but the calls: executable, uptime, memory, processor, kernel,
// compiler, processes; `when` is the time of the error.
SystemFacts GatherSystemFacts(std::time_t when);

// Loads what the first capture would otherwise load lazily (the unwinder
// library), so a later capture inside a signal handler does not have to.
void PrepareCallCapture();

}  // namespace config
