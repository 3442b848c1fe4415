// Where the toolkit reports faults it can live with but a developer must hear of (a layout row
// it had to leave blank). The program sends them to its diagnostic trace; without a sink they
// go to standard error. User-interface thread only.
#pragma once

#include <string>

namespace velmora {

using DiagnosticSink = void (*)(const std::string& line);

// Replaces the sink; none restores standard error.
void setDiagnosticSink(DiagnosticSink sink);
// `line` ends with "\n".
void reportDiagnostic(const std::string& line);

}  // namespace velmora
