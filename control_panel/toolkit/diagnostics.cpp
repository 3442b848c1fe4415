#include "control_panel/toolkit/diagnostics.h"

#include <cstdio>

namespace velmora {
namespace {

DiagnosticSink currentSink = nullptr;

}  // namespace

void setDiagnosticSink(DiagnosticSink sink) {
  currentSink = sink;
}

void reportDiagnostic(const std::string& line) {
  if (currentSink != nullptr) {
    currentSink(line);
  } else {
    std::fputs(line.c_str(), stderr);
  }
}

}  // namespace velmora
