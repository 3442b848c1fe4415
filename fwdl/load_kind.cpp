#include "fwdl/load_kind.h"

#include "platform/module_load.h"

namespace fwdl {

bool LoadedWithProgram(const void* exportedFunction, const char* name) {
  return platform::moduleLoadedWithProgram(exportedFunction, name);
}

}  // namespace fwdl
