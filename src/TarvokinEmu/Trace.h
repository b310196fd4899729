// Trace lines: "[EMU message]" on standard output, only while a MIDlet runs
// with -debug. Runtime classes announce their first use with one.
#pragma once

#include <string>

namespace TarvokinEmu {

void trace(const std::string& message);
// "class Opened: NAME".
void traceClassOpened(const std::string& className);
// traceClassOpened the first time it is called for a name.
void traceFirstUse(const char* className);
// Forgets which names were announced (tests).
void resetFirstUseTraces();

}  // namespace TarvokinEmu
