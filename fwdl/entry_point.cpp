// Load and unload of the library: the log is set up from the configuration file beside the
// library before any export can run; when the library goes, a running download is waited for,
// the open unit closed and the log closed.
#include "fwdl/include/dun_fwdl.h"
#include "fwdl/library_api.h"
#include "fwdl/logging/library_log.h"
#include "fwdl/load_kind.h"

namespace {

using fwdl::Log;
using fwdl::LogType;

__attribute__((constructor)) void OnProcessAttach() {
  try {
    const bool withProgram = fwdl::LoadedWithProgram(
        reinterpret_cast<const void*>(&KVOFWDL_GetVersion), "KVOFWDL_GetVersion");
    fwdl::InitLogging(fwdl::ConfigPathBesideModule());
    Log(LogType::Info, "[kvo_fwdl::DllMain: DLL_PROCESS_ATTACH (%s load)\n",
        withProgram ? "static" : "dynamic");
    // Threads starting and ending are not reported to libraries here, so there is nothing to
    // switch off.
    Log(LogType::Info, "]kvo_fwdl::DllMain: DLL_PROCESS_ATTACH\n");
  } catch (...) {
    // Out of memory while loading: the library runs without its log.
  }
}

__attribute__((destructor)) void OnProcessDetach() {
  try {
    Log(LogType::Info, "kvo_fwdl::DllMain: DLL_PROCESS_DETACH\n");
    fwdl::api::TearDown();
    fwdl::ShutdownLogging();
  } catch (...) {
    // Nothing may escape an unload.
  }
}

}  // namespace
