// What the updater says, word for word.
#pragma once

namespace updater::text {

inline constexpr char kDialogCaption[] = "Velmora PRO Updater";
inline constexpr char kUpdateButton[] = "Update";
inline constexpr char kExitButton[] = "Exit";
inline constexpr char kClickUpdate[] = "Click on \"Update\" to update your firmware";

inline constexpr char kPowerSupplyWarning[] =
    "Ensure the Velmora External Power Supply is connected and turned ON!";
inline constexpr char kUnplugCable[] = "Unplug the firewire cable";
inline constexpr char kPlugCable[] = "Plug in the firewire cable";

inline constexpr char kEnableLoggingFailed[] = "KVOFWDL_EnableLogging failed";
inline constexpr char kEnumerateFailed[] = "KVOFWDL_EnumerateDevices failed";
inline constexpr char kNoDevices[] = "No devices are connected";
inline constexpr char kGetDeviceInfoFailed[] = "KVOFWDL_GetDeviceInfo failed";
inline constexpr char kOpenDeviceFailed[] = "KVOFWDL_OpenDevice failed";
inline constexpr char kUnrecognisedHardware[] = "Unrecognised hardware connected";
inline constexpr char kKwfFileFailed[] = "Could not create temporary KWF file";
inline constexpr char kGetKwfFileInfoFailed[] = "KVOFWDL_GetKwfFileInfo failed";
inline constexpr char kStartDownloadFailed[] = "Failed to start download";
// Ours: the private folder everything is written to could not be made.
inline constexpr char kTempFolderFailed[] = "Could not create temporary folder";

inline constexpr char kQuestionCaption[] = "Firmware Update";
inline constexpr char kDowngradeQuestion[] =
    "You are about to downgrade the device's firmware. Do you want to skip the update?";
inline constexpr char kUpToDateQuestion[] =
    "Your firmware is already up to date. Do you want to skip the update?";

inline constexpr char kInitiating[] = "Initiating firmware update...";
inline constexpr char kSending[] = "Sending firmware data...";
inline constexpr char kFinishing[] = "Finishing update...";
// Ours: shown while firmware is being written, and given as the reason for holding off a
// logoff or shutdown.
inline constexpr char kDoNotUnplug[] =
    "Do not unplug the unit or switch it off until the update has finished.";
// Ours: on standard error when SIGTERM or SIGINT arrives while firmware is being written.
inline constexpr char kSignalDeferred[] =
    "VelmoraProUpdater: firmware is being written; the signal is acted on when the download has "
    "ended";
inline constexpr char kSucceeded[] = "Firmware update successful, reboot required.";
inline constexpr char kRestartQuestion[] =
    "Firmware update complete!  Your computer needs to be restarted before you can use your "
    "Velmora PRO.  Restart now?";
inline constexpr char kFailed[] = "Firmware update failed.";
// Ours: a unit found in its boot loader is recovered without the version questions, and a
// unit that came back with other firmware than the file's says what it runs.
inline constexpr char kRecovering[] = "The unit has no running firmware; installing %s...";
inline constexpr char kFailedRunning[] = "Firmware update failed: the unit runs firmware %s.";

inline constexpr char kSaveLogTitle[] = "Save firmware updater log file...";
inline constexpr char kSaveLogName[] = "VelmoraProUpdate.log";
inline constexpr char kSaveLogExtension[] = "log";
// Ours: a copy that could not be written is said so, not passed over.
inline constexpr char kSaveLogFailed[] = "Could not save the log file.";

}  // namespace updater::text
