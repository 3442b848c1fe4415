#include "platform/module_load.h"

#include <dlfcn.h>

namespace platform {

// The main program's handle searches the program and every object loaded with it at start-up,
// then the objects dlopen()ed with RTLD_GLOBAL. The dynamic linker enters such an object into
// that global scope only after its constructors have run, and an object opened with
// RTLD_LOCAL never. So, seen from a constructor, the name resolves to this very function
// exactly when the module was loaded with the program; a dlopen()ed module finds nothing, or
// another copy loaded with the program.
bool moduleLoadedWithProgram(const void* exportedFunction, const char* name) {
  void* program = dlopen(nullptr, RTLD_LAZY);
  if (program == nullptr) return false;
  dlerror();
  const void* found = dlsym(program, name);
  dlclose(program);
  return found == exportedFunction;
}

}  // namespace platform
