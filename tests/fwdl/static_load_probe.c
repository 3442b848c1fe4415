/* A C program linked with libdun_fwdl.so the ordinary way, so that the library is loaded with
   it. It also shows that the public header is plain C with the same record layouts. */
#include <stddef.h>

#include "fwdl/include/dun_fwdl.h"

_Static_assert(sizeof(KVOFWDL_KWF_FILE_INFO) == 556, "file information record");
_Static_assert(offsetof(KVOFWDL_KWF_FILE_INFO, InfoText) == 43, "info text");
_Static_assert(sizeof(KVOFWDL_DEVICE_INFO) == 468, "device information record");
_Static_assert(offsetof(KVOFWDL_DEVICE_INFO, AuxWord4) == 464, "last device word");

int main(void) {
  return KVOFWDL_GetVersion() == KVOFWDL_INTERFACE_VERSION ? 0 : 1;
}
