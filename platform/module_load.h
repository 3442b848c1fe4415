// How a module (shared library, DLL) came into the process: with the program at its start, or
// later by a load call (dlopen, LoadLibrary).
#pragma once

namespace platform {

// True when the module containing `exportedFunction`, exported under `name`, was loaded with
// the program. Meant for the module's own start-up code.
bool moduleLoadedWithProgram(const void* exportedFunction, const char* name);

}  // namespace platform
