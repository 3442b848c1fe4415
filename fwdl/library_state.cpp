#include "fwdl/library_state.h"

#include <memory>

namespace fwdl {

namespace {
std::unique_ptr<LibraryState> state;
}  // namespace

LibraryState& Library() {
  if (!state) state = std::make_unique<LibraryState>();
  return *state;
}

void TearDownLibrary() {
  state.reset();
}

}  // namespace fwdl
