// The control panel's single model of the hardware: the units on the bus, the current unit,
// opening it (agreeing a sample rate between control panel, driver and unit), closing it
// when anything goes wrong, following units as they come and go, and the settings that
// change how the unit runs. One per process, created at start-up and destroyed at exit; GUI
// thread only.
//
// VelmoraHAL: the hardware abstraction: the units, the current one and its settings.
// VelmoraHAL::Observer: what is told of the hardware abstraction's events (the application).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "control_panel/device/kvo1394_driver.h"
#include "control_panel/hal/hal_event.h"
#include "control_panel/hal/hal_user_interface.h"
#include "control_panel/hal/power_cycle_timer.h"
#include "control_panel/hal/unit_record.h"

namespace velmora {

class DeviceInfoSet;

class VelmoraHAL {
 public:
  class Observer {
   public:
    virtual ~Observer() = default;
    virtual void notify(HalEvent event) = 0;
  };

  // ---- Process-wide ----

  // Creates the hardware abstraction (if none exists) and scans the bus. `ui` must outlive
  // it. Returns true.
  static bool Create(HalUserInterface& ui);
  // Releases every unit, closes and deletes everything.
  static void Destroy();
  // The one instance; null before Create and after Destroy.
  static VelmoraHAL* Get();

  static size_t UnitCount();
  static UnitSerial SerialAt(size_t index);  // kNoSuchUnit past the end
  static MixEngine* MixerAt(size_t index);   // null past the end
  static bool IsStudioAt(size_t index);      // the model of unit `index`; false past the end
  // The coefficients of the first listed unit with this serial, opened on its channel; null
  // when none matches or the open fails.
  static cvAVC* FindUnitAVC(UnitSerial serial);
  // The current unit is a Velmora PRO Studio (also when there are no units, or the current
  // serial is not listed).
  static bool IsLargeModel();

  // ---- Unit open, close and hot-plug ----

  void AddObserver(Observer* observer);
  void RemoveObserver(Observer* observer);
  // Attaches the mixer parameter set; every unit gets its engine. Null detaches.
  void AttachMixer(MixerLink* mixer);

  // 0 opened (at once when already open), -2 refused (may-open false), -1 or a transfer
  // status on failure.
  int32_t Open(UnitSerial serial);
  void Close();
  // Opens the current unit (or, with none chosen, the first listed) unless open.
  bool EnsureOpen();
  // Called on every bus change (device arrival or removal).
  void OnMSWDeviceChange();
  void ArmPowerCycleReminder();
  // The mixer update cycle of the idle pass.
  void updateAllMixers();
  // The "Sync Locked" indicator: the status word's play/record bits and the current sync
  // source's lock bits.
  bool IsSyncLocked();

  // One coefficient of the current unit. Failure while closed; a failing transfer closes.
  bool GetValue(uint32_t index, uint32_t& value);
  bool SetValue(uint32_t index, uint32_t value);
  bool GetValues(CoefficientValue* pairs, uint32_t count);
  bool SetValues(const CoefficientValue* pairs, uint32_t count);

  // ---- Sample rate, clock source and unit modes ----

  bool SetSampleRate(uint32_t hz);
  bool SampleRateChangeWouldSwitchBands(uint32_t newCode);
  int GetSampleRate();
  bool IsStreaming();
  bool SetSyncSource(int code);
  int GetSyncSource();
  int GetSyncStatus();
  void SetReducedAVCModel(bool disableAdat);
  void SetAC3Passthrough(bool on);
  bool SetStandaloneMode(bool tracking);
  bool IsHardwareMonitoring();
  bool SetModeFlag(bool on);
  // The unit's name: 17 bytes, zero-terminated. Any listed unit.
  bool GetUnitName(UnitSerial serial, char name[17]);
  bool SetUnitName(const std::string& text);
  void SaveToCnE();
  bool GetKWFInfo(int& major, int& minor, int& build);

  // ---- State ----

  bool IsOpen() const { return open_; }
  bool MayOpen() const { return mayOpen_; }
  UnitSerial CurrentSerial() const { return serial_; }
  cvAVC* CurrentAVC() const { return mAVC; }
  float DriverRate() const { return driverRate_; }
  float TargetRate() const { return targetRate_; }
  bool PowerCyclePending() const { return powerCyclePending_; }
  bool ReducedModel() const { return reducedModel_; }
  bool AC3Passthrough() const { return ac3_; }
  bool TrackingMode() const { return tracking_; }
  int32_t StatusWord() const { return statusWord_; }
  bool PhantomPower1to4() const { return phantom1to4_; }
  bool PhantomPower5to8() const { return phantom5to8_; }
  // Makes `serial` current without opening it (the unit switch).
  void SetCurrentSerial(UnitSerial serial) { serial_ = serial; }
  void SetMayOpen(bool mayOpen) { mayOpen_ = mayOpen; }

 private:
  explicit VelmoraHAL(HalUserInterface& ui);
  ~VelmoraHAL();

  // The steps of Open.
  void remindOfPowerCycleWhenDue();
  bool openAudioDriver();
  // Whether a firmware download holds the unit `serial` (it is then left alone).
  static bool unitBeingUpdated(UnitSerial serial);
  bool agreeSampleRate(UnitSerial serial);
  uint32_t unitRate();
  uint32_t chooseTargetRate(uint32_t driverHz, uint32_t unitHz);
  bool setDriverRate(uint32_t target, uint32_t unitHz);
  int32_t checkUnitIsWritable();

  void rescan();
  void reviveChannel(UnitRecord& unit, uint32_t index, const DeviceInfoSet& set);
  void postOpen();
  void notifyObservers(HalEvent event);
  void resetAllSentValues();
  void reportDriverAnswering(bool answering);
  bool halTransfer(bool write, CoefficientValue* pairs, uint32_t count);
  void showReadyText();
  UnitRecord* currentRecord();

  UnitSerial serial_ = NoUnitSerial;
  int syncSource_ = -1;
  cvAVC* mAVC = nullptr;
  std::unique_ptr<CKvo1394Driver> mAudioDriver;
  MixerLink* mixer_ = nullptr;
  std::vector<Observer*> observers_;
  bool open_ = false;
  bool mayOpen_ = true;
  float driverRate_ = 0;
  float targetRate_ = 0;
  bool ac3_ = false;
  bool reducedModel_ = false;
  bool tracking_ = false;
  PowerCycleTimer powerCycleTimer_;
  bool powerCyclePending_ = false;
  int32_t statusWord_ = 0;
  bool phantom1to4_ = false;
  bool phantom5to8_ = false;
  HalUserInterface& ui_;
  // Whether the driver answered the last rate poll; a change is told on the status line.
  bool driverAnswering_ = true;
};

}  // namespace velmora
