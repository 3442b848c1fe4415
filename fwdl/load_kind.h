// How the library came into the process.
#pragma once

namespace fwdl {

// True when the module containing `exportedFunction` (exported as `name`) was loaded with the
// program, false when it was loaded later with dlopen. Meant for the module's constructor.
bool LoadedWithProgram(const void* exportedFunction, const char* name);

}  // namespace fwdl
