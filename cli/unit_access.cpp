#include "cli/unit_access.h"

#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"

namespace velmoractl {

namespace pv = platform::vhpd;

uint32_t UnitAccess::Open() {
  const uint32_t status = driver_.Open();
  if (status != 0) return status;
  set_ = velmora::DeviceInfoSet::Get(pv::kInterfaceGuid);
  if (!set_) return 0;
  for (uint32_t index = 0;; ++index) {
    auto channel = std::make_unique<velmora::CKvoCtrl>();
    const uint32_t opened = channel->Open(index, set_.get());
    if (opened == pv::KVO_STATUS_NO_MORE_ITEMS) return 0;
    if (opened != 0) return opened;
    velmora::AVCIO* io = velmora::AVCIO::Create(std::move(channel));
    auto coefficients = std::make_unique<velmora::cvAVC>();
    const uint32_t bound = coefficients->Open(io);
    io->Release();  // the coefficients hold their own reference
    if (bound != 0) return bound;
    units_.push_back({index, std::move(coefficients)});
  }
}

UnitDescription describeUnit(const velmora::cvAVC& unit) {
  namespace info = platform::unit_info;
  const uint8_t* block = unit.InfoBlock().data();
  UnitDescription d;
  d.protocol = pv::loadLe32(block + info::kProtocolVersion);
  d.serialHigh = pv::loadLe32(block + info::kGuidHigh);
  d.serial = pv::loadLe32(block + info::kGuidLow);
  d.studio = pv::loadLe32(block + info::kHardwareModelId) == info::kModelStudio;
  d.firmware = pv::loadLe32(block + info::kFirmwareVersion);
  d.inBootLoader = pv::loadLe32(block + info::kBootloaderMode) != 0;
  return d;
}

std::string firmwareWord(const UnitDescription& unit) {
  return unit.inBootLoader ? "in boot loader"
                           : platform::unit_info::formatFirmwareVersion(unit.firmware);
}

}  // namespace velmoractl
