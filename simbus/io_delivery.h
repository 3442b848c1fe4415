// Client side of a simulated driver request: hands the bus's reply to the caller's buffer at
// once, after the reply's delay on the process Clock, or never (a dropped answer), the way
// an overlapped DeviceIoControl completes.
#pragma once

#include <span>

#include "platform/vhpd_client.h"
#include "simbus/sim_bus.h"

namespace simbus {

// Turns `reply` into the result of DeviceIoControl on a handle opened with `mode`. On a
// synchronous handle a delayed reply is waited for; an overlapped handle gets a pending call
// that copies into `output` when it completes. `output` must outlive the call.
platform::vhpd::IoCall deliverReply(IoReply reply, std::span<uint8_t> output,
                                    platform::vhpd::OpenMode mode);

}  // namespace simbus
