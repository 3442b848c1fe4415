// The units on the bus as the device link finds them: the driver channel opened with its
// version check, every present interface opened as a unit channel with its coefficients.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "control_panel/device/cv_avc.h"
#include "control_panel/device/device_info_set.h"
#include "control_panel/device/kvo1394_driver.h"

namespace velmoractl {

struct LinkedUnit {
  uint32_t index = 0;
  std::unique_ptr<velmora::cvAVC> coefficients;  // bound; holds the unit channel
};

class UnitAccess {
 public:
  // Opens the driver channel and every unit; 0, or the status that stopped it (a unit that
  // cannot be opened ends the list, as the device list does).
  uint32_t Open();
  std::vector<LinkedUnit>& Units() { return units_; }

 private:
  velmora::CKvo1394Driver driver_;
  std::unique_ptr<velmora::DeviceInfoSet> set_;
  std::vector<LinkedUnit> units_;
};

// Fields of a unit's information block.
struct UnitDescription {
  uint32_t serial = 0;
  uint32_t serialHigh = 0;
  bool studio = false;
  uint32_t protocol = 0;
  uint32_t firmware = 0;
  bool inBootLoader = false;  // no application runs: only a firmware update helps
};
UnitDescription describeUnit(const velmora::cvAVC& unit);
// The firmware column: the version, or "in boot loader".
std::string firmwareWord(const UnitDescription& unit);

}  // namespace velmoractl
