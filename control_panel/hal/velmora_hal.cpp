#include "control_panel/hal/velmora_hal.h"

#include <algorithm>
#include <cstring>

#include "control_panel/device/device_info_set.h"
#include "control_panel/device/diagnostic_log.h"
#include "control_panel/device/guid_text.h"
#include "control_panel/device/unit_info_read.h"
#include "control_panel/hal/unit_coefficients.h"
#include "platform/clock.h"
#include "platform/unit_info_block.h"
#include "platform/vhpd_protocol.h"

namespace velmora {

namespace pv = platform::vhpd;

namespace {

VelmoraHAL* instance = nullptr;

// The process-wide unit list, live while `listToken` is set.
struct UnitList {
  bool listToken = false;
  pv::Guid interfaceGuid;
  std::vector<std::unique_ptr<UnitRecord>> units;
};
UnitList& unitList() {
  static UnitList list;
  return list;
}

constexpr int32_t kOpenFailed = -1;
// Said while a firmware download holds the unit: the panel leaves it alone and opens it
// again once the download has ended.
constexpr char kBeingUpdatedText[] =
    "The unit's firmware is being updated: the panel waits until the update has ended";
constexpr int32_t kOpenRefused = -2;

constexpr char kPowerCycleText[] = "Please switch off your Velmora PRO and turn it back on again";
constexpr char kPowerCycleCaption[] = "VelmoraControl PRO";

uint32_t driverRate(CKvo1394Driver& driver) {
  uint8_t record[pv::kSampleRateGetSize] = {};
  if (driver.Request(pv::IOCTL_VHPD_GET_SAMPLE_RATE, nullptr, 0, record, sizeof record) != 0) {
    return 0;
  }
  return pv::loadLe32(record + 4);
}

// One coefficient read straight through the unit's coefficient access (no closing).
uint32_t readDirect(cvAVC& avc, uint32_t index, uint32_t& value) {
  CoefficientValue pair{index, 0};
  const uint32_t status = avc.GetValues(&pair, 1);
  value = pair.value;
  return status;
}

struct ReleaseAvcio {
  void operator()(AVCIO* io) const { io->Release(); }
};

uint32_t writeDirect(cvAVC& avc, uint32_t index, uint32_t value) {
  const CoefficientValue pair{index, value};
  return avc.SetValues(&pair, 1);
}

}  // namespace

UnitRecord::~UnitRecord() {
  mixer.reset();
  if (io) io->Release();
  avc.reset();
}

// ---- Process-wide ----

bool VelmoraHAL::Create(HalUserInterface& ui) {
  if (!instance) instance = new VelmoraHAL(ui);
  UnitList& list = unitList();
  GuidFromText(pv::kInterfaceGuidText, list.interfaceGuid);
  list.listToken = true;
  instance->rescan();
  return true;
}

void VelmoraHAL::Destroy() {
  UnitList& list = unitList();
  list.units.clear();
  list.listToken = false;
  if (!instance) return;
  instance->Close();
  if (instance->mAudioDriver && instance->mAudioDriver->IsOpen()) {
    LogText("AudioDriver::Close()... ");
    instance->mAudioDriver->Close();
    LogText("Done\n");
  }
  delete instance;
  instance = nullptr;
}

VelmoraHAL* VelmoraHAL::Get() {
  return instance;
}

VelmoraHAL::VelmoraHAL(HalUserInterface& ui) : ui_(ui) {}

VelmoraHAL::~VelmoraHAL() = default;

size_t VelmoraHAL::UnitCount() {
  return unitList().units.size();
}

UnitSerial VelmoraHAL::SerialAt(size_t index) {
  const auto& units = unitList().units;
  return index < units.size() ? units[index]->serial : kNoSuchUnit;
}

bool VelmoraHAL::IsStudioAt(size_t index) {
  const auto& units = unitList().units;
  return index < units.size() && units[index]->isStudio;
}

MixEngine* VelmoraHAL::MixerAt(size_t index) {
  const auto& units = unitList().units;
  return index < units.size() ? units[index]->mixer.get() : nullptr;
}

bool VelmoraHAL::unitBeingUpdated(UnitSerial serial) {
  for (const auto& unit : unitList().units) {
    if (unit->serial == serial && unit->io) return unit->io->Channel().BeingUpdated();
  }
  return false;
}

cvAVC* VelmoraHAL::FindUnitAVC(UnitSerial serial) {
  for (const auto& unit : unitList().units) {
    if (unit->serial == serial && unit->avc) {
      return unit->avc->Open(unit->io) == 0 ? unit->avc.get() : nullptr;
    }
  }
  return nullptr;
}

bool VelmoraHAL::IsLargeModel() {
  if (!instance) return true;
  for (const auto& unit : unitList().units) {
    if (unit->serial == instance->serial_) return unit->isStudio;
  }
  return true;
}

UnitRecord* VelmoraHAL::currentRecord() {
  for (const auto& unit : unitList().units) {
    if (unit->serial == serial_) return unit.get();
  }
  return nullptr;
}

// ---- Observers and the mixer ----

void VelmoraHAL::AddObserver(Observer* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void VelmoraHAL::RemoveObserver(Observer* observer) {
  std::erase(observers_, observer);
}

void VelmoraHAL::notifyObservers(HalEvent event) {
  // A copy: an observer may remove itself while being told.
  const std::vector<Observer*> observers = observers_;
  for (Observer* observer : observers) observer->notify(event);
}

void VelmoraHAL::AttachMixer(MixerLink* mixer) {
  mixer_ = mixer;
  for (const auto& unit : unitList().units) {
    unit->mixer = mixer && unit->avc ? mixer->CreateMixEngine(*unit->avc) : nullptr;
  }
}

void VelmoraHAL::resetAllSentValues() {
  for (const auto& unit : unitList().units) {
    if (unit->mixer) unit->mixer->resetSentValues();
  }
}

void VelmoraHAL::updateAllMixers() {
  if (!open_ || !mixer_) return;
  for (const auto& unit : unitList().units) {
    MixEngine* engine = unit->mixer.get();
    if (!engine) continue;
    engine->ReadHWControls();
    // The engines log their failures and go on; a current unit that stopped answering is
    // closed instead, so that the cycles to come do not wait on it again.
    if (unit->serial == serial_ && UnitStoppedAnswering(unit->avc->LastStatus())) {
      Log("VelmoraHAL::updateAllMixers() failed 0x%p- Closing...\n",
          LogPtr(unit->avc->LastStatus()));
      Close();
      return;
    }
    if (unit->serial == serial_) {
      engine->applyHardwareControls();
      engine->computeMix();
      engine->captureOutputSettings();
      engine->queueMixChanges();
    }
    engine->computeOutputWords();
    engine->queueOutputChanges();
    engine->StreamAVC();
  }
}

// ---- Open and close ----

int32_t VelmoraHAL::Open(UnitSerial serial) {
  if (open_) return 0;
  remindOfPowerCycleWhenDue();
  if (!mayOpen_) return kOpenRefused;
  if (!mAudioDriver) mAudioDriver = std::make_unique<CKvo1394Driver>();
  if (serial == NoUnitSerial || unitList().units.empty()) {
    ui_.ShowStatus("No units connected");
    return kOpenFailed;
  }

  LogText("VelmoraHAL::Open()\n");
  if (!(serial == serial_)) {
    Log("  New serial number: %d\n", static_cast<int>(serial.low));
    serial_ = serial;
  }
  if (unitBeingUpdated(serial)) {
    ui_.ShowStatus(kBeingUpdatedText);
    return kOpenFailed;
  }
  if (!openAudioDriver()) return kOpenFailed;
  if (!agreeSampleRate(serial)) return kOpenFailed;
  if (!mAVC) mAVC = FindUnitAVC(serial);
  if (!mAVC) return kOpenFailed;

  const int32_t status = checkUnitIsWritable();
  if (status != 0) return status;
  LogText("  VelmoraHAL::Open() : Success...");
  open_ = true;
  powerCyclePending_ = false;
  postOpen();
  return 0;
}

void VelmoraHAL::remindOfPowerCycleWhenDue() {
  if (powerCyclePending_ && !powerCycleTimer_.IsRunning()) {
    ui_.ShowMessageBox(kPowerCycleText, kPowerCycleCaption);
    powerCycleTimer_.Start();
  }
}

bool VelmoraHAL::openAudioDriver() {
  if (mAudioDriver->IsOpen()) return true;
  LogText("AudioDriver::Open()... ");
  const uint32_t status = mAudioDriver->Open();
  Log("0x%p\n", LogPtr(status));
  if (status == 0) return true;
  LogText("  mAudioDriver->Open() failed\n");
  return false;
}

// The driver, the unit and the control panel's wish agree on one rate. False when the unit
// had to be moved first (it is reopened later at its new rate) or the driver refused the rate.
bool VelmoraHAL::agreeSampleRate(UnitSerial serial) {
  const uint32_t driverHz = driverRate(*mAudioDriver);
  Log("The driver is set to %d Hz...\n", static_cast<int>(driverHz));
  mAVC = FindUnitAVC(serial);
  const uint32_t unitHz = unitRate();
  const uint32_t target = chooseTargetRate(driverHz, unitHz);

  if (unitHz != 0 && target != unitHz) {
    if (mAVC) {
      Log("Kicking the unit into the target samplerate of %d Hz...\n", static_cast<int>(target));
      writeDirect(*mAVC, coeff::COEFF_SAMPLE_RATE, SampleRateCode(target));
    } else {
      LogText(
          "The unit is not at the same samplerate as the driver, but AVC won't open so there's "
          "not a lot we can do but wait...\n");
    }
    return false;
  }
  return target == driverHz || setDriverRate(target, unitHz);
}

uint32_t VelmoraHAL::unitRate() {
  uint32_t code = 0;
  if (mAVC && readDirect(*mAVC, coeff::COEFF_SAMPLE_RATE, code) == 0) {
    const uint32_t hz = SampleRateOfCode(code);
    Log("The unit thinks it's at %d Hz...\n", static_cast<int>(hz));
    return hz;
  }
  LogText("AVC is not working, so can't tell what rate the unit thinks it's at...\n");
  return 0;
}

// The control panel's wish first, then the driver's rate, then the unit's, then 44.1 kHz.
uint32_t VelmoraHAL::chooseTargetRate(uint32_t driverHz, uint32_t unitHz) {
  if (targetRate_ != 0) {
    Log("The control panel wants to set the samplerate to %d Hz\n", static_cast<int>(targetRate_));
  } else if (driverHz >= 1) {
    Log("And the control panel doesn't know what rate to set, so it's going with the driver "
        "rate of %d Hz\n",
        static_cast<int>(driverHz));
    targetRate_ = static_cast<float>(driverHz);
  } else if (unitHz != 0) {
    Log("The control panel and driver don't know what rate to set, so we'll use the unit rate "
        "of %d Hz\n",
        static_cast<int>(unitHz));
    targetRate_ = static_cast<float>(unitHz);
  } else {
    LogText("Nobody seems to know what rate to use, so we'll default to 44100 Hz.  Oh dear.\n");
    targetRate_ = 44100;
  }
  return static_cast<uint32_t>(targetRate_);
}

bool VelmoraHAL::setDriverRate(uint32_t target, uint32_t unitHz) {
  Log("  VelmoraHAL::Open() : mAudioDriver->SetSampleRate(%d):", static_cast<int>(target));
  uint8_t record[pv::kSampleRateSetSize] = {};
  pv::storeLe32(record + 4, target);
  if (mAudioDriver->Request(pv::IOCTL_VHPD_SET_SAMPLE_RATE, record, sizeof record, nullptr, 0) !=
      0) {
    LogText("  failed\n");
    if (unitHz != 0) {
      Log("reverting to rate: %d\n", static_cast<int>(unitHz));
      targetRate_ = static_cast<float>(unitHz);
    }
    return false;
  }
  LogText("  SUCCEEDED!\n");
  driverRate_ = static_cast<float>(target);
  return true;
}

// The test read, the sync source and the status word: 0 when the unit answers and takes
// writes; otherwise the failing read's status, or -1 (a standalone unit is released first).
int32_t VelmoraHAL::checkUnitIsWritable() {
  uint32_t value = 0;
  uint32_t status = readDirect(*mAVC, coeff::COEFF_TEST, value);
  if (status != 0) {
    LogText("  VelmoraHAL::Open() : Failed when sending test message\n");
    return static_cast<int32_t>(status);
  }
  status = readDirect(*mAVC, coeff::COEFF_SYNC, value);
  if (status != 0) return static_cast<int32_t>(status);
  syncSource_ = static_cast<int>(value & 0xFF);
  platform::clock().sleep(10);

  uint32_t s = 0;
  const uint32_t r = readDirect(*mAVC, coeff::COEFF_DIGIPS, s);
  bool writeOk = (s & digips::kWriteOk) != 0;
  if (s & digips::kStandalone) {
    LogText("  VelmoraHAL::Open() : Appears to be in standalone mode, kicking it...\n");
    writeDirect(*mAVC, coeff::COEFF_RELEASE_STANDALONE, coeff::kReleaseStandaloneValue);
    return kOpenFailed;
  }
  if (!writeOk) {
    Log("  VelmoraHAL::Open() : Failed reading \"write OK\" bit: COEFF_DIGIPS = %d\n",
        static_cast<int>(s));
    if ((s & digips::kPlayOk) && (s & digips::kRecordOk)) {
      LogText("play & record OK so let's go for it\n");
      writeOk = true;
    }
  }
  if (r == 0 && writeOk) return 0;
  Log("  VelmoraHAL::Open() : Failed reading \"write OK\" bit: COEFF_DIGIPS = %d\n",
      static_cast<int>(s));
  return kOpenFailed;
}

void VelmoraHAL::postOpen() {
  platform::clock().sleep(10);
  writeDirect(*mAVC, coeff::COEFF_OPENED, coeff::kOpenedValue);
  // A failed read leaves zero; once the unit stopped answering the rest are not tried, so
  // the open costs one bounded wait, not one per read.
  bool answering = true;
  auto read = [&](uint32_t index) {
    uint32_t value = 0;
    if (answering) answering = !UnitStoppedAnswering(readDirect(*mAVC, index, value));
    return value;
  };
  reducedModel_ = read(coeff::COEFF_REDUCED_MODEL) != 0;
  tracking_ = read(coeff::COEFF_STANDALONE) == 1;
  statusWord_ = static_cast<int32_t>(read(coeff::COEFF_DIGIPS));
  phantom1to4_ = read(coeff::COEFF_PHANTOM_1_4) == 1;
  phantom5to8_ = read(coeff::COEFF_PHANTOM_5_8) == 1;
  ac3_ = read(coeff::COEFF_AC3) == 1;
  resetAllSentValues();
  if (answering) showReadyText();
  notifyObservers(kHalEventRefresh);
  notifyObservers(kHalEventUnitReady);
  LogText("  READY!\n");
}

void VelmoraHAL::showReadyText() {
  char name[17];
  if (GetUnitName(serial_, name)) ui_.ShowStatus("\"" + std::string(name) + "\" ready");
}

void VelmoraHAL::Close() {
  if (!open_) return;
  LogText("+ VelmoraHAL::Close()\n");
  mAVC = nullptr;
  open_ = false;
  platform::clock().sleep(10);
  notifyObservers(kHalEventUnitClosed);
}

bool VelmoraHAL::EnsureOpen() {
  if (open_) return true;
  // An open asks the driver several things, each waited for: not while it is not answering.
  if (mAudioDriver && mAudioDriver->BackingOff()) return false;
  UnitSerial serial = serial_;
  if (serial == NoUnitSerial) serial = SerialAt(0);
  return Open(serial) == 0;
}

void VelmoraHAL::ArmPowerCycleReminder() {
  powerCyclePending_ = true;
  powerCycleTimer_.Start();
}

// ---- Hot-plug ----

void VelmoraHAL::rescan() {
  UnitList& list = unitList();
  std::unique_ptr<DeviceInfoSet> set = DeviceInfoSet::Get(list.interfaceGuid);
  if (!set) return;

  struct Noted {
    UnitSerial serial;
    bool isStudio;
    uint32_t index;
  };
  std::vector<Noted> noted;
  for (uint32_t index = 0;; ++index) {
    auto channel = std::make_unique<CKvoCtrl>();
    if (channel->Open(index, set.get()) != 0) break;
    const std::unique_ptr<AVCIO, ReleaseAvcio> probe(AVCIO::Create(std::move(channel)));
    uint8_t block[platform::unit_info::kSize];
    if (ReadInfoBlock(*probe, block) == 0) {
      noted.push_back({{pv::loadLe32(block + platform::unit_info::kGuidLow),
                        pv::loadLe32(block + platform::unit_info::kGuidHigh)},
                       pv::loadLe32(block + platform::unit_info::kHardwareModelId) == 19,
                       index});
    }
  }

  auto listed = [&](const Noted& unit) -> UnitRecord* {
    for (const auto& record : list.units) {
      if (record->serial == unit.serial && record->isStudio == unit.isStudio) return record.get();
    }
    return nullptr;
  };
  for (const Noted& unit : noted) {
    if (UnitRecord* record = listed(unit)) {
      reviveChannel(*record, unit.index, *set);
      continue;
    }
    auto record = std::make_unique<UnitRecord>();
    record->serial = unit.serial;
    record->isStudio = unit.isStudio;
    auto channel = std::make_unique<CKvoCtrl>();
    channel->Open(unit.index, set.get());  // a failure is retried by FindUnitAVC later
    record->io = AVCIO::Create(std::move(channel));
    record->avc = std::make_unique<cvAVC>();
    record->avc->Open(record->io);
    if (mixer_) record->mixer = mixer_->CreateMixEngine(*record->avc);
    Log("OnDeviceAdded(%04d) - ", static_cast<int>(unit.serial.low));
    if (unit.serial == serial_) {
      LogText("it's the current device, going to try opening it\n");
      mayOpen_ = true;
    } else if (serial_ == NoUnitSerial) {
      LogText("it's a new device, we didn't have one before so we're going to try opening it\n");
      mayOpen_ = true;
      serial_ = unit.serial;
    } else {
      LogText("it's a new device\n");
    }
    list.units.push_back(std::move(record));
  }

  // At most one unit leaves per rescan; the next bus change takes the next one.
  const auto gone = std::find_if(list.units.begin(), list.units.end(), [&](const auto& record) {
    return std::none_of(noted.begin(), noted.end(), [&](const Noted& unit) {
      return unit.serial == record->serial && unit.isStudio == record->isStudio;
    });
  });
  if (gone != list.units.end()) {
    Log("OnDeviceRemoved(%04d)\n", static_cast<int>((*gone)->serial.low));
    if ((*gone)->serial == serial_) {
      ui_.ShowStatus("Unit disconnected");
      mayOpen_ = false;
      Close();
    }
    if (mAVC == (*gone)->avc.get()) mAVC = nullptr;
    list.units.erase(gone);
  }
}

// A listed unit's channel dies when the unit leaves the bus, even if it is back before the
// next rescan (bus changes merged, or a unit re-announcing itself after a band change); a
// channel may also have failed to open when the unit was added. Either way the unit is
// reachable again only through a new channel on its present interface.
void VelmoraHAL::reviveChannel(UnitRecord& unit, uint32_t index, const DeviceInfoSet& set) {
  CKvoCtrl& channel = unit.io->Channel();
  if (channel.IsOpen()) {
    uint8_t flags[pv::kDeviceFlagsSize] = {};
    if (channel.Request(pv::IOCTL_VHPD_GET_DEVICE_FLAGS, nullptr, 0, flags, sizeof flags) == 0) {
      return;
    }
    channel.Close();
  }
  Log("OnDeviceReturned(%04d)\n", static_cast<int>(unit.serial.low));
  // The unit may have changed while away: an open unit is opened afresh, rate agreement and
  // all, by the next reopen attempt.
  if (unit.serial == serial_) Close();
  channel.Open(index, &set);  // a failure is tried again at the next rescan
}

void VelmoraHAL::OnMSWDeviceChange() {
  LogText("VelmoraHAL::OnMSWDeviceChange(): ");
  rescan();
  if (!unitList().units.empty()) {
    Log("found %d device(s)\n", static_cast<int>(unitList().units.size()));
    powerCycleTimer_.Start();
  } else {
    LogText("no devices\n");
  }
}

// ---- Coefficients of the current unit ----

bool VelmoraHAL::halTransfer(bool write, CoefficientValue* pairs, uint32_t count) {
  if (!open_ || !mAVC) return false;
  const uint32_t status = write ? mAVC->SetValues(pairs, count) : mAVC->GetValues(pairs, count);
  if (status == 0) return true;
  Log(write ? "VelmoraHAL::SetValues() failed 0x%p- Closing...\n"
            : "VelmoraHAL::GetValues() failed 0x%p- Closing...\n",
      LogPtr(status));
  Close();
  return false;
}

bool VelmoraHAL::GetValues(CoefficientValue* pairs, uint32_t count) {
  return halTransfer(false, pairs, count);
}

bool VelmoraHAL::SetValues(const CoefficientValue* pairs, uint32_t count) {
  return halTransfer(true, const_cast<CoefficientValue*>(pairs), count);
}

bool VelmoraHAL::GetValue(uint32_t index, uint32_t& value) {
  CoefficientValue pair{index, 0};
  if (!GetValues(&pair, 1)) return false;
  value = pair.value;
  return true;
}

bool VelmoraHAL::SetValue(uint32_t index, uint32_t value) {
  const CoefficientValue pair{index, value};
  return SetValues(&pair, 1);
}

bool VelmoraHAL::IsSyncLocked() {
  uint32_t word = 0;
  if (open_ && mAVC && readDirect(*mAVC, coeff::COEFF_DIGIPS, word) == 0) {
    statusWord_ = static_cast<int32_t>(word);
  }
  const uint32_t s = static_cast<uint32_t>(statusWord_);
  if (!(s & digips::kPlayOk) || !(s & digips::kRecordOk)) return false;
  switch (syncSource_) {
    case kSyncSpdif:
      return ((s >> digips::kSpdifLockShift) & 3) == 1;
    case kSyncAdat1:
      return ((s >> digips::kAdat1LockShift) & 3) == 1;
    case kSyncAdat2:
      return ((s >> digips::kAdat2LockShift) & 3) == 1;
    default:
      return true;  // wordclock's own test is the play/record pair above
  }
}

}  // namespace velmora
