// Arbitrary bytes as a client's stream to the daemon: frames are parsed and dispatched to a
// daemon session on an in-process bus exactly as the daemon does, until the stream is
// refused. Every request that decodes re-encodes to the same payload, and the client-side
// reply decoders take the same frames without harm.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "simbus/daemon_session.h"
#include "simbus/sim_bus.h"
#include "simbus/wire_protocol.h"

namespace {

using namespace simbus::wire;

template <class... Req>
void decodeAsReplies(const Frame& frame) {
  (static_cast<void>(decodePayload<typename Req::Reply>(frame.payload)), ...);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  simbus::SimBus bus;
  simbus::UnitSpec studio;
  studio.serialLow = 7;
  bus.plug(studio);
  simbus::DaemonSession session(bus);

  std::span<const uint8_t> stream(data, size);
  for (;;) {
    const FrameParse parse = parseFrame(stream);
    if (parse.status != FrameStatus::Complete) break;
    stream = stream.subspan(parse.consumed);

    decodeAsReplies<IoControlRequest, UnitsRequest, FaultsRequest, PresentPathsRequest, PlugRequest,
                    DriverRequest, AcceptedTransfersRequest>(parse.frame);
    if (const std::optional<Request> request = decodeRequest(parse.frame, nullptr)) {
      const std::vector<uint8_t> again =
          std::visit([](const auto& r) { return encodePayload(r); }, *request);
      if (again != parse.frame.payload) __builtin_trap();
    }
    if (!session.handle(parse.frame, nullptr)) break;  // the daemon drops the connection
  }
  return 0;
}
