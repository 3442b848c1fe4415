#include "control_panel/device/unit_info_read.h"

#include "platform/unit_info_block.h"

namespace velmora {

namespace ui = platform::unit_info;

uint32_t ReadInfoBlockByBlock(AVCIO& device, uint8_t* block) {
  return device.ReadBlock(ui::kAddressLow, ui::kAddressHigh, ui::kSize, block);
}

uint32_t ReadInfoBlockByQuadlets(AVCIO& device, uint8_t* block) {
  uint32_t status = 0;
  for (uint32_t offset = 0; offset < ui::kSize; offset += 4) {
    status = device.ReadQuadlet(ui::kAddressLow + offset, ui::kAddressHigh, block + offset);
    if (UnitStoppedAnswering(status)) break;
  }
  return status;
}

uint32_t ReadInfoBlock(AVCIO& device, uint8_t* block) {
  const uint32_t status = ReadInfoBlockByBlock(device, block);
  if (status == 0 || UnitStoppedAnswering(status)) return status;
  return ReadInfoBlockByQuadlets(device, block);
}

}  // namespace velmora
