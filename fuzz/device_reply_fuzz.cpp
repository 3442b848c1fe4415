// Arbitrary driver answers to the device link: every read reply, FCP response record and
// AV/C frame comes from the fuzz input, while cvAVC opens a unit and reads and writes
// batches over each transport.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "control_panel/device/avcio.h"
#include "control_panel/device/cv_avc.h"
#include "control_panel/device/device_info_set.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzzed_driver.h"
#include "platform/vhpd_client.h"

namespace {

namespace pv = platform::vhpd;
namespace we = platform::win_error;
using fuzzing::Input;

class FuzzedHandle final : public pv::DeviceHandle {
 public:
  explicit FuzzedHandle(Input& input) : input_(input) {}
  pv::IoCall ioControl(uint32_t code, std::span<const uint8_t>,
                       std::span<uint8_t> output) override {
    pv::IoCall call;
    if (code == pv::IOCTL_VHPD_GET_DRIVER_INFO && output.size() >= 2) {
      output[0] = 2;
      output[1] = 14;
      call.immediate = {0, 12};
      return call;
    }
    // A status byte: mostly success, sometimes a failure with data left half-written.
    const uint8_t status = input_.byte();
    const size_t written = input_.take(output.data(), output.size());
    call.immediate = {status < 200 ? we::Success : 0xE0000000u | status,
                      static_cast<uint32_t>(written)};
    return call;
  }

 private:
  Input& input_;
};

}  // namespace

// The backend of this program is the fuzzed driver, installed per input.
std::shared_ptr<pv::VhpdClient> platform::vhpd::makeDefaultClient() {
  return nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  pv::ScopedClient driver(std::make_shared<fuzzing::FuzzedDriver<FuzzedHandle, Input>>(input));
  auto set = velmora::DeviceInfoSet::Get(pv::kInterfaceGuid);
  auto channel = std::make_unique<velmora::CKvoCtrl>();
  if (channel->Open(0, set.get()) != 0) return 0;
  velmora::AVCIO* io = velmora::AVCIO::Create(std::move(channel));
  {
    velmora::cvAVC avc;
    avc.Open(io);
    for (int round = 0; round < 4; ++round) {
      const uint8_t caps = input.byte();
      velmora::transportCaps() = {(caps & 1) != 0, (caps & 2) != 0, (caps & 4) != 0,
                                  (caps & 8) != 0};
      std::vector<velmora::CoefficientValue> batch(input.byte() % 70);
      const uint32_t first = input.word();
      for (size_t i = 0; i < batch.size(); ++i) {
        batch[i].index = (caps & 16) ? input.word() : first + static_cast<uint32_t>(i);
      }
      avc.GetValues(batch.data(), static_cast<uint32_t>(batch.size()));
      avc.SetValues(batch.data(), static_cast<uint32_t>(batch.size()));
    }
  }
  io->Release();
  return 0;
}
