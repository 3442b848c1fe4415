// The fault matrix: every phase of opening and using a unit and of a firmware download, under
// every kind of fault the bus can produce. Each cell ends within its bound with the outcome
// of its row, and once the fault has cleared the unit is usable again: it opens and takes a
// coefficient round trip, or takes a second download.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "control_panel/hal/unit_coefficients.h"
#include "fwdl/device_enumeration.h"
#include "fwdl/kvo_fwdl_downloader.h"
#include "tests/fwdl/unit_fixture.h"
#include "tests/hal/hal_fixture.h"
#include "tests/mixer/mixer_fixture.h"
#include "tests/support/bus_harness.h"

namespace fault_matrix {
namespace {

namespace pv = platform::vhpd;
namespace we = platform::win_error;
using simbus::FaultAction;
using simbus::TransferKind;

// ---- Faults ----

enum class Fault { ErrorStatus, NoAnswer, LateAnswer, Unplug, BusReset };

constexpr uint32_t kErrorStatus = we::GenFailure;
// Later than a live unit ever answers, yet sooner than every wait of its callers.
constexpr uint32_t kLateMs = 500;

simbus::FaultRule ruleFor(Fault fault, TransferKind kind, uint32_t serial, uint32_t skip) {
  // The driver's own requests involve no unit: a rule on them names none.
  const uint32_t unit = simbus::isDriverKind(kind) ? 0 : serial;
  const bool bootLoader = simbus::isRequestKind(kind);
  switch (fault) {
    case Fault::ErrorStatus:
      return {.action = FaultAction::Fail,
              .kind = kind,
              .serial = unit,
              .skip = skip,
              .count = 1,
              .status = kErrorStatus};
    case Fault::NoAnswer:
      return {.action = FaultAction::Drop, .kind = kind, .serial = unit, .skip = skip};
    case Fault::LateAnswer:
      return {.action = bootLoader ? FaultAction::Late : FaultAction::Delay,
              .kind = kind,
              .serial = unit,
              .skip = skip,
              .count = 1,
              .status = 0,
              .delayMs = kLateMs};
    case Fault::Unplug:
      return {.action = FaultAction::Remove, .kind = kind, .serial = unit, .skip = skip};
    case Fault::BusReset:
      return {.action = FaultAction::BusReset, .kind = kind, .serial = unit, .skip = skip};
  }
  return {};
}

const char* faultName(Fault fault) {
  constexpr const char* kNames[] = {"ErrorStatus", "NoAnswer", "LateAnswer", "Unplug", "BusReset"};
  return kNames[static_cast<int>(fault)];
}

// ---- Phases ----

enum class Phase {
  // VelmoraHAL::Open, step by step; the first two while the unit is being listed.
  OpenTransportProbe,  // which transfers the unit takes
  OpenInfoBlock,       // the information block of the unit's coefficient access
  OpenDriverProbe,     // the driver channel's version query
  OpenDriverRate,      // the driver's rate
  OpenUnitRate,        // coefficient 84
  OpenRateAgreement,   // the driver set to the unit's rate
  OpenTestRead,        // coefficient 90
  OpenStatusCheck,     // COEFF_DIGIPS
  MixerUpdate,         // one update cycle of the mixer
  NameWrite,           // SetUnitName
  FlashStore,          // SaveToCnE
  RateChangeAcrossBands,
  // A download, stage by stage, under boot-loader protocol 1, 2 or 3.
  ResetIntoBootLoader,
  DownloadStart,
  FirstBlock,
  ThirdBlock,
  BlockData,
  ResponseRead,
  DownloadEnd,
  ResetIntoApplication,
  DisableDeviceNode,  // the driver reloaded for the new firmware: the node disabled...
  EnableDeviceNode,   // ... and enabled again
};

struct PhaseSpec {
  Phase phase;
  const char* name;
  TransferKind kind;  // the transfer or request the fault strikes
  uint32_t skip;      // matching ones that pass first
  bool download;
  bool beforeListing = false;  // the fault strikes while the unit is being listed
};

constexpr PhaseSpec kPhases[] = {
    {Phase::OpenTransportProbe, "OpenTransportProbe", TransferKind::QuadletRead, 0, false, true},
    // The listing reads the block once on a channel of its own, then for the coefficients.
    {Phase::OpenInfoBlock, "OpenInfoBlock", TransferKind::BlockRead, 1, false, true},
    {Phase::OpenDriverProbe, "OpenDriverProbe", TransferKind::DriverInfo, 0, false},
    {Phase::OpenDriverRate, "OpenDriverRate", TransferKind::SampleRateGet, 0, false},
    {Phase::OpenUnitRate, "OpenUnitRate", TransferKind::QuadletRead, 0, false},
    {Phase::OpenRateAgreement, "OpenRateAgreement", TransferKind::SampleRateSet, 0, false},
    {Phase::OpenTestRead, "OpenTestRead", TransferKind::QuadletRead, 1, false},
    {Phase::OpenStatusCheck, "OpenStatusCheck", TransferKind::QuadletRead, 3, false},
    {Phase::MixerUpdate, "MixerUpdate", TransferKind::BlockWrite, 0, false},
    {Phase::NameWrite, "NameWrite", TransferKind::BlockWrite, 0, false},
    {Phase::FlashStore, "FlashStore", TransferKind::BlockWrite, 0, false},
    {Phase::RateChangeAcrossBands, "RateChangeAcrossBands", TransferKind::BlockWrite, 0, false},
    {Phase::ResetIntoBootLoader, "ResetIntoBootLoader", TransferKind::Reset, 0, true},
    {Phase::DownloadStart, "DownloadStart", TransferKind::DownloadStart, 0, true},
    {Phase::FirstBlock, "FirstBlock", TransferKind::DownloadBlock, 0, true},
    {Phase::ThirdBlock, "ThirdBlock", TransferKind::DownloadBlock, 2, true},
    {Phase::BlockData, "BlockData", TransferKind::BlockWrite, 6, true},
    {Phase::ResponseRead, "ResponseRead", TransferKind::BlockRead, 4, true},
    {Phase::DownloadEnd, "DownloadEnd", TransferKind::DownloadEnd, 0, true},
    {Phase::ResetIntoApplication, "ResetIntoApplication", TransferKind::Reset, 1, true},
    {Phase::DisableDeviceNode, "DisableDeviceNode", TransferKind::DeviceNode, 0, true},
    {Phase::EnableDeviceNode, "EnableDeviceNode", TransferKind::DeviceNode, 1, true},
};

const PhaseSpec& specOf(Phase phase) {
  for (const PhaseSpec& spec : kPhases) {
    if (spec.phase == phase) return spec;
  }
  return kPhases[0];
}

// ---- The matrix ----

// What a cell ends with: VelmoraHAL::Open's result, a setting's success (1/0), or the
// download's KVOFWDL_STATUS; and a line the diagnostic log must hold (HAL phases).
struct Outcome {
  int64_t result;
  const char* logLine = nullptr;
};

struct Cell {
  Phase phase;
  Fault fault;
  uint32_t protocol;  // downloads: the boot-loader protocol; 0 for the HAL phases
  Outcome expect;
};

constexpr int64_t kOpened = 0;
constexpr int64_t kOpenFailed = -1;
constexpr int64_t kTrue = 1;
constexpr int64_t kFalse = 0;
constexpr int64_t asOpenResult(uint32_t status) {
  return static_cast<int32_t>(status);
}

constexpr const char* kDriverOpenFailed = "  mAudioDriver->Open() failed\n";
constexpr const char* kTestReadFailed = "  VelmoraHAL::Open() : Failed when sending test message\n";
constexpr const char* kWriteOkFailed =
    "  VelmoraHAL::Open() : Failed reading \"write OK\" bit: COEFF_DIGIPS = 0\n";
constexpr const char* kRateSetFailed = "SetSampleRate(48000):  failed\nreverting to rate: 48000\n";
// A failed batch of the mixer is logged and not sent again; the unit stays open.
constexpr const char* kBatchFailed = "SetValues() failed in MixMatrix::StreamAVC()\n";
constexpr const char* kSetValuesFailed = "VelmoraHAL::SetValues() failed 0x";
constexpr const char* kFlashStoreFailed = "failed (0x";
constexpr const char* kRateWriteFailed = "mAVC->SetValue failed in SetSampleRate(96000), ";

// The driver's requests have no unit to unplug or bus to reset: those cells do not exist.
// A lost answer of the unit's rate or status word leaves Open where a failure of that read
// leaves it.
const std::vector<Cell> kHalMatrix = {
    // phase                  fault               proto outcome
    {Phase::OpenTransportProbe, Fault::ErrorStatus, 0, {kOpened}},
    {Phase::OpenTransportProbe, Fault::NoAnswer, 0, {kOpened}},
    {Phase::OpenTransportProbe, Fault::LateAnswer, 0, {kOpened}},
    {Phase::OpenTransportProbe, Fault::Unplug, 0, {kOpenFailed, "AVC is not working"}},
    {Phase::OpenTransportProbe, Fault::BusReset, 0, {kOpened}},
    {Phase::OpenInfoBlock, Fault::ErrorStatus, 0, {kOpened}},
    {Phase::OpenInfoBlock, Fault::NoAnswer, 0, {kOpened}},
    {Phase::OpenInfoBlock, Fault::LateAnswer, 0, {kOpened}},
    {Phase::OpenInfoBlock, Fault::Unplug, 0, {kOpenFailed, "AVC is not working"}},
    {Phase::OpenInfoBlock, Fault::BusReset, 0, {kOpened}},
    {Phase::MixerUpdate, Fault::ErrorStatus, 0, {kTrue, kBatchFailed}},
    {Phase::MixerUpdate, Fault::NoAnswer, 0, {kTrue, kBatchFailed}},
    {Phase::MixerUpdate, Fault::LateAnswer, 0, {kTrue}},
    {Phase::MixerUpdate, Fault::Unplug, 0, {kTrue, kBatchFailed}},
    {Phase::MixerUpdate, Fault::BusReset, 0, {kTrue, kBatchFailed}},
    {Phase::OpenDriverProbe, Fault::ErrorStatus, 0, {kOpenFailed, kDriverOpenFailed}},
    {Phase::OpenDriverProbe, Fault::NoAnswer, 0, {kOpenFailed, kDriverOpenFailed}},
    {Phase::OpenDriverProbe, Fault::LateAnswer, 0, {kOpened}},
    {Phase::OpenDriverRate, Fault::ErrorStatus, 0, {kOpened, "The driver is set to 0 Hz...\n"}},
    {Phase::OpenDriverRate, Fault::NoAnswer, 0, {kOpened, "The driver is set to 0 Hz...\n"}},
    {Phase::OpenDriverRate, Fault::LateAnswer, 0, {kOpened, "The driver is set to 48000 Hz...\n"}},
    {Phase::OpenUnitRate, Fault::ErrorStatus, 0, {kOpened, "AVC is not working"}},
    {Phase::OpenUnitRate, Fault::NoAnswer, 0, {kOpened, "AVC is not working"}},
    {Phase::OpenUnitRate, Fault::LateAnswer, 0, {kOpened, "The unit thinks it's at 48000 Hz"}},
    {Phase::OpenUnitRate,
     Fault::Unplug,
     0,
     {asOpenResult(pv::KVO_STATUS_DEVICE_REMOVED), kTestReadFailed}},
    {Phase::OpenUnitRate, Fault::BusReset, 0, {kOpened, "AVC is not working"}},
    {Phase::OpenRateAgreement, Fault::ErrorStatus, 0, {kOpenFailed, kRateSetFailed}},
    {Phase::OpenRateAgreement, Fault::NoAnswer, 0, {kOpenFailed, kRateSetFailed}},
    {Phase::OpenRateAgreement,
     Fault::LateAnswer,
     0,
     {kOpened, "SetSampleRate(48000):  SUCCEEDED!"}},
    {Phase::OpenTestRead, Fault::ErrorStatus, 0, {asOpenResult(kErrorStatus), kTestReadFailed}},
    {Phase::OpenTestRead,
     Fault::NoAnswer,
     0,
     {asOpenResult(pv::KVO_STATUS_TIMEOUT), kTestReadFailed}},
    {Phase::OpenTestRead, Fault::LateAnswer, 0, {kOpened}},
    {Phase::OpenTestRead,
     Fault::Unplug,
     0,
     {asOpenResult(pv::KVO_STATUS_DEVICE_REMOVED), kTestReadFailed}},
    {Phase::OpenTestRead,
     Fault::BusReset,
     0,
     {asOpenResult(pv::VHPD_STATUS_INVALID_GEN_COUNT), kTestReadFailed}},
    {Phase::OpenStatusCheck, Fault::ErrorStatus, 0, {kOpenFailed, kWriteOkFailed}},
    {Phase::OpenStatusCheck, Fault::NoAnswer, 0, {kOpenFailed, kWriteOkFailed}},
    {Phase::OpenStatusCheck, Fault::LateAnswer, 0, {kOpened}},
    {Phase::OpenStatusCheck, Fault::Unplug, 0, {kOpenFailed, kWriteOkFailed}},
    {Phase::OpenStatusCheck, Fault::BusReset, 0, {kOpenFailed, kWriteOkFailed}},
    {Phase::NameWrite, Fault::ErrorStatus, 0, {kFalse, kSetValuesFailed}},
    {Phase::NameWrite, Fault::NoAnswer, 0, {kFalse, kSetValuesFailed}},
    {Phase::NameWrite, Fault::LateAnswer, 0, {kTrue}},
    {Phase::NameWrite, Fault::Unplug, 0, {kFalse, kSetValuesFailed}},
    {Phase::NameWrite, Fault::BusReset, 0, {kFalse, kSetValuesFailed}},
    // The flash store's failure does not close the unit: the result is whether it stays open.
    {Phase::FlashStore, Fault::ErrorStatus, 0, {kTrue, kFlashStoreFailed}},
    {Phase::FlashStore, Fault::NoAnswer, 0, {kTrue, kFlashStoreFailed}},
    {Phase::FlashStore, Fault::LateAnswer, 0, {kTrue, "VelmoraHAL::SaveToCnE() ok\n"}},
    {Phase::FlashStore, Fault::Unplug, 0, {kTrue, kFlashStoreFailed}},
    {Phase::FlashStore, Fault::BusReset, 0, {kTrue, kFlashStoreFailed}},
    {Phase::RateChangeAcrossBands, Fault::ErrorStatus, 0, {kFalse, kRateWriteFailed}},
    {Phase::RateChangeAcrossBands, Fault::NoAnswer, 0, {kFalse, kRateWriteFailed}},
    {Phase::RateChangeAcrossBands, Fault::LateAnswer, 0, {kTrue, "Switching AVC models...\n"}},
    {Phase::RateChangeAcrossBands, Fault::Unplug, 0, {kFalse, kRateWriteFailed}},
    {Phase::RateChangeAcrossBands,
     Fault::BusReset,
     0,
     {kFalse, "SetSampleRate(96000), VHPD_STATUS_INVALID_GEN_COUNT\n"}},
};

// A download's stages under boot-loader protocols 1, 2 and 3.
struct DownloadRow {
  Phase phase;
  Fault fault;
  KVOFWDL_STATUS protocol1, protocol2, protocol3;
};

constexpr KVOFWDL_STATUS kDone = KVOFWDL_STATUS_SUCCESS;
constexpr KVOFWDL_STATUS kFailed = KVOFWDL_STATUS_FAILED;
constexpr KVOFWDL_STATUS kWriteFailed = KVOFWDL_STATUS_DEVICE_WRITE_FAILED;
constexpr KVOFWDL_STATUS kReadFailed = KVOFWDL_STATUS_DEVICE_READ_FAILED;
constexpr KVOFWDL_STATUS kResetTimeout = KVOFWDL_STATUS_RESET_TIMEOUT;
constexpr KVOFWDL_STATUS kDeviceError = KVOFWDL_STATUS_DEVICE_ERROR;
constexpr KVOFWDL_STATUS kStartTimeout = KVOFWDL_STATUS_START_TIMEOUT;
constexpr KVOFWDL_STATUS kBlockTimeout = KVOFWDL_STATUS_BLOCK_TIMEOUT;

// A protocol-3 reset request that fails ends the download at once, unless the unit has left
// the bus with it (then it is waited for until the reset time-out); an unanswered one was
// carried out, so the unit comes back.
// The response mailbox is polled: a failed read is polled again, only a removed unit ends it;
// a read never answered uses up the response's time-out, which ends the download with it.
// A protocol-3 block whose request is never answered was carried out: the stream goes on.
// Under protocol 3 a block whose request failed is sent again; the boot loader, having lost
// its place in the stream, refuses it with an error code.
const DownloadRow kDownloadMatrix[] = {
    // phase                     fault               protocol 1    protocol 2    protocol 3
    {Phase::ResetIntoBootLoader, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ResetIntoBootLoader, Fault::NoAnswer, kWriteFailed, kWriteFailed, kDone},
    {Phase::ResetIntoBootLoader, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::ResetIntoBootLoader, Fault::Unplug, kWriteFailed, kWriteFailed, kResetTimeout},
    {Phase::ResetIntoBootLoader, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadStart, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadStart, Fault::NoAnswer, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadStart, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::DownloadStart, Fault::Unplug, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadStart, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::FirstBlock, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kDeviceError},
    {Phase::FirstBlock, Fault::NoAnswer, kWriteFailed, kWriteFailed, kDone},
    {Phase::FirstBlock, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::FirstBlock, Fault::Unplug, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::FirstBlock, Fault::BusReset, kWriteFailed, kWriteFailed, kDeviceError},
    {Phase::ThirdBlock, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ThirdBlock, Fault::NoAnswer, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ThirdBlock, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::ThirdBlock, Fault::Unplug, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ThirdBlock, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::BlockData, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::BlockData, Fault::NoAnswer, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::BlockData, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::BlockData, Fault::Unplug, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::BlockData, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ResponseRead, Fault::ErrorStatus, kDone, kDone, kDone},
    {Phase::ResponseRead, Fault::NoAnswer, kBlockTimeout, kStartTimeout, kBlockTimeout},
    {Phase::ResponseRead, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::ResponseRead, Fault::Unplug, kReadFailed, kReadFailed, kReadFailed},
    {Phase::ResponseRead, Fault::BusReset, kDone, kDone, kDone},
    {Phase::DownloadEnd, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadEnd, Fault::NoAnswer, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadEnd, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::DownloadEnd, Fault::Unplug, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::DownloadEnd, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ResetIntoApplication, Fault::ErrorStatus, kWriteFailed, kWriteFailed, kWriteFailed},
    {Phase::ResetIntoApplication, Fault::NoAnswer, kWriteFailed, kWriteFailed, kDone},
    {Phase::ResetIntoApplication, Fault::LateAnswer, kDone, kDone, kDone},
    {Phase::ResetIntoApplication, Fault::Unplug, kWriteFailed, kWriteFailed, kResetTimeout},
    {Phase::ResetIntoApplication, Fault::BusReset, kWriteFailed, kWriteFailed, kWriteFailed},
    // The class installer's refusal is the only way a device-node change fails.
    {Phase::DisableDeviceNode, Fault::ErrorStatus, kFailed, kFailed, kFailed},
    {Phase::EnableDeviceNode, Fault::ErrorStatus, kFailed, kFailed, kFailed},
};

// Every cell: the rows of the control panel's phases, and each download row once per protocol.
std::vector<Cell> allCells() {
  std::vector<Cell> cells = kHalMatrix;
  for (const DownloadRow& row : kDownloadMatrix) {
    const KVOFWDL_STATUS byProtocol[] = {row.protocol1, row.protocol2, row.protocol3};
    for (uint32_t protocol : {1u, 2u, 3u}) {
      cells.push_back({row.phase, row.fault, protocol, {byProtocol[protocol - 1]}});
    }
  }
  return cells;
}

// ---- Running a cell ----

constexpr uint32_t kStudio = 1234;
// Every operation of the control panel ends within a few bounded waits of the driver.
constexpr uint32_t kHalBoundMs = 20000;
// A download waits at most the reset time-outs and a bounded wait per transfer.
constexpr uint32_t kDownloadBoundMs = 4 * 60000;

class FaultMatrixTest : public ::testing::TestWithParam<Cell>,
                        protected platform::test::BusHarness {
 protected:
  FaultMatrixTest() : BusHarness(100000) {}

  void SetUp() override { velmora::setLogDestination(velmora::LogDestination::File); }
  void TearDown() override {
    velmora::VelmoraHAL::Destroy();
    host.reset();
    velmora::setLogDestination(velmora::LogDestination::Off);
    velmora::transportCaps() = {};
  }

  velmora::VelmoraHAL& hal() {
    if (!velmora::VelmoraHAL::Get()) velmora::VelmoraHAL::Create(ui);
    return *velmora::VelmoraHAL::Get();
  }
  velmora::UnitSerial studio() const { return {kStudio, simbus::kDefaultSerialHigh}; }
  bool logHas(const std::string& text) const {
    std::ifstream in(temp / "VelmoraProLog.txt", std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    return log.str().find(text) != std::string::npos;
  }

  // A cell's rule strikes once and is used up by it. One still waiting struck nowhere: the
  // outcome of its cell, above all the outcome of no fault, would prove nothing.
  void expectStruck() { EXPECT_TRUE(bus->faults().empty()) << "the fault never struck"; }

  // The operation of a HAL phase under the fault; its outcome.
  int64_t runHalPhase(Phase phase) {
    velmora::VelmoraHAL& h = hal();
    switch (phase) {
      case Phase::MixerUpdate:
        h.updateAllMixers();
        return h.IsOpen() ? kTrue : kFalse;
      case Phase::NameWrite:
        return h.SetUnitName("Matrix") ? kTrue : kFalse;
      case Phase::FlashStore:
        h.SaveToCnE();
        return h.IsOpen() ? kTrue : kFalse;
      case Phase::RateChangeAcrossBands:
        return h.SetSampleRate(96000) ? kTrue : kFalse;
      default:
        return h.Open(studio());
    }
  }

  // After the fault: the bus changes the control panel hears of, and the reopen attempts of
  // its idle pass (a unit kicked to another rate band leaves and comes back first); then one
  // coefficient round trip.
  void expectHalUsable() {
    velmora::VelmoraHAL& h = hal();
    h.OnMSWDeviceChange();
    if (!bus->units()[0].onBus) bus->plug({simbus::Model::Studio, kStudio});
    h.SetCurrentSerial(studio());
    for (int attempt = 0; attempt < 3 && !h.IsOpen(); ++attempt) {
      h.OnMSWDeviceChange();  // each bus change is heard: a unit leaving, then coming back
      clock.advance(2000);
      bus->service();
      h.OnMSWDeviceChange();
      h.Open(studio());
    }
    ASSERT_TRUE(h.IsOpen()) << "the unit does not open again after the fault";
    velmora::CoefficientValue written{velmora::coeff::COEFF_PHANTOM_1_4, 1};
    ASSERT_TRUE(h.SetValues(&written, 1));
    velmora::CoefficientValue read{velmora::coeff::COEFF_PHANTOM_1_4, 0};
    ASSERT_TRUE(h.GetValues(&read, 1));
    EXPECT_EQ(read.value, 1u);
  }

  void runHalCell(const Cell& cell, const PhaseSpec& spec) {
    bus->plug({simbus::Model::Studio, kStudio});
    const uint32_t start = clock.tickCount();
    if (spec.beforeListing) {
      ASSERT_TRUE(bus->addFault(ruleFor(cell.fault, spec.kind, kStudio, spec.skip)));
    }
    velmora::VelmoraHAL& h = hal();
    if (spec.phase == Phase::OpenRateAgreement) bus->setDriverRate(0);  // the driver has no rate
    const bool opensFirst = spec.phase == Phase::MixerUpdate || spec.phase == Phase::NameWrite ||
                            spec.phase == Phase::FlashStore ||
                            spec.phase == Phase::RateChangeAcrossBands;
    if (spec.phase == Phase::MixerUpdate) {
      host = std::make_unique<velmora::MixerHost>(plugin, h, ui);
      plugin.setHost(host.get());
      h.AttachMixer(host.get());
    }
    if (opensFirst) {
      ASSERT_EQ(h.Open(studio()), 0);
    }
    if (!spec.beforeListing) {
      ASSERT_TRUE(bus->addFault(ruleFor(cell.fault, spec.kind, kStudio, spec.skip)));
    }
    EXPECT_EQ(runHalPhase(spec.phase), cell.expect.result);
    EXPECT_LE(clock.tickCount() - start, kHalBoundMs);
    if (cell.expect.logLine) {
      EXPECT_TRUE(logHas(cell.expect.logLine)) << cell.expect.logLine;
    }
    expectStruck();
    bus->clearFaults();
    expectHalUsable();
  }

  // A download to a Studio with boot-loader `protocol`, ended within its bound.
  std::optional<KVOFWDL_STATUS> download(const std::string& file) {
    fwdl::DeviceEnumeration enumeration;
    if (enumeration.Enumerate(pv::kInterfaceGuidText) != KVOFWDL_STATUS_SUCCESS ||
        enumeration.OpenDevice(0) != KVOFWDL_STATUS_SUCCESS) {
      return std::nullopt;
    }
    fwdl::KvoFwdlDownloader downloader(enumeration);
    if (downloader.StartDownload(file, enumeration.OpenUnit(), fwdl::MODE_PROGRAM, 0) !=
        KVOFWDL_STATUS_SUCCESS) {
      return std::nullopt;
    }
    const uint32_t start = clock.tickCount();
    while (downloader.IsDownloadRunning()) {
      if (clock.tickCount() - start > kDownloadBoundMs) {
        // The worker waits for good: nothing can end it, so neither can this test.
        std::fprintf(stderr, "the download is still running after %u ms\n", kDownloadBoundMs);
        _exit(1);
      }
      std::this_thread::yield();
    }
    EXPECT_EQ(downloader.Mode(), fwdl::MODE_NONE);
    return downloader.Status().Status();
  }

  void runDownloadCell(const Cell& cell, const PhaseSpec& spec) {
    bus->plug({simbus::Model::Studio, kStudio, simbus::kDefaultSerialHigh, cell.protocol,
               fwdl::test::kUnitFirmware});
    const std::string file = temp / "test.kwf";
    fwdl::test::WriteFile(
        file, tools::kwf::BuildKwf(fwdl::test::StudioFile(cell.protocol == 3 ? 1 : 0)).value());
    ASSERT_TRUE(bus->addFault(ruleFor(cell.fault, spec.kind, kStudio, spec.skip)));
    EXPECT_EQ(download(file), static_cast<KVOFWDL_STATUS>(cell.expect.result));
    expectStruck();

    bus->clearFaults();
    if (!bus->units()[0].onBus) bus->plug({simbus::Model::Studio, kStudio});
    // A node left disabled is enabled again by hand, as in the device manager.
    bus->setDeviceNodeEnabled(kStudio, true);
    clock.advance(2000);
    bus->service();
    EXPECT_EQ(download(file), KVOFWDL_STATUS_SUCCESS) << "no second download after the fault";
    EXPECT_EQ(bus->units()[0].firmware, fwdl::test::kNewFirmware);
  }

  const platform::test::ScratchFolder& temp = scratch;
  platform::test::ScopedEnv tmpdir{"TMPDIR", temp.path()};
  velmora::test::RecordingMixerUi ui;
  velmora::VelmoraPlugin plugin;
  std::unique_ptr<velmora::MixerHost> host;
};

TEST_P(FaultMatrixTest, EndsWithinItsBoundAndTheUnitIsUsableAfterwards) {
  const Cell& cell = GetParam();
  const PhaseSpec& spec = specOf(cell.phase);
  if (spec.download) {
    fwdl::InitLogging("");
    fwdl::EnableLogFile(temp / "fwdl.log");
    runDownloadCell(cell, spec);
    fwdl::api::TearDown();
    fwdl::ShutdownLogging();
  } else {
    runHalCell(cell, spec);
  }
}

std::string cellName(const ::testing::TestParamInfo<Cell>& info) {
  std::string name = std::string(specOf(info.param.phase).name) + "_" + faultName(info.param.fault);
  if (info.param.protocol != 0) name += "_Protocol" + std::to_string(info.param.protocol);
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrixTest, ::testing::ValuesIn(allCells()), cellName);

}  // namespace
}  // namespace fault_matrix
