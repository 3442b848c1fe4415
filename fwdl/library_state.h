// The library's one set of global state: the enumeration with its open unit, and the
// downloader. Made at first use, torn down when the library unloads.
#pragma once

#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"

namespace fwdl {

struct LibraryState {
  DeviceEnumeration enumeration;
  KvoFwdlDownloader downloader{enumeration};  // destroyed first: it waits for its worker
};

// The state, made when first asked for. Callers hold the API lock.
LibraryState& Library();

// Waits for a running download to end, closes the open unit and forgets the enumeration; the
// next Library() starts afresh.
void TearDownLibrary();

}  // namespace fwdl
