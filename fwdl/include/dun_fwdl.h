/*
 * dun_fwdl: firmware download library of the Velmora PRO interfaces.
 *
 * Plain C interface. Every function but KVOFWDL_GetVersion returns a KVOFWDL_STATUS and may be
 * called from several threads: the calls are serialised inside the library. Records cross the
 * boundary only as caller-owned memory; the library keeps no caller pointer beyond a call.
 *
 * Usual order: KVOFWDL_EnableLogging, KVOFWDL_EnumerateDevices, KVOFWDL_GetDeviceInfo,
 * KVOFWDL_OpenDevice, KVOFWDL_GetKwfFileInfo / KVOFWDL_CheckDownload, KVOFWDL_StartDownload,
 * KVOFWDL_GetDownloadStatus until it stops returning KVOFWDL_STATUS_DOWNLOAD_RUNNING,
 * KVOFWDL_CloseDevice, and on KVOFWDL_STATUS_REBOOT_REQUIRED KVOFWDL_Reboot.
 *
 * While a download runs, KVOFWDL_EnableLogging, KVOFWDL_CheckDownload, KVOFWDL_StartDownload,
 * KVOFWDL_SetTimeout, KVOFWDL_CloseDevice and KVOFWDL_Reboot change nothing and return
 * KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS.
 */
#ifndef DUN_FWDL_H
#define DUN_FWDL_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(DUN_FWDL_BUILDING)
#define KVOFWDL_API __declspec(dllexport)
#else
#define KVOFWDL_API __declspec(dllimport)
#endif
#elif defined(DUN_FWDL_BUILDING)
#define KVOFWDL_API __attribute__((visibility("default")))
#else
#define KVOFWDL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Interface version 3.0, as returned by KVOFWDL_GetVersion. */
#define KVOFWDL_INTERFACE_VERSION 0x00030000u

/* Result of every function but KVOFWDL_GetVersion: one of the KVOFWDL_STATUS_ codes. */
typedef uint32_t KVOFWDL_STATUS;

enum KVOFWDL_STATUS_CODE {
  KVOFWDL_STATUS_SUCCESS = 0,
  /* Wrong state of an object, allocation failure, a failed system call, unknown mode. */
  KVOFWDL_STATUS_FAILED = 1,
  /* A pointer parameter is NULL. */
  KVOFWDL_STATUS_INVALID_PARAMETER = 2,
  /* The firmware file does not exist or cannot be opened. */
  KVOFWDL_STATUS_FILE_NOT_FOUND = 3,
  /* Reading or positioning in the firmware file failed. */
  KVOFWDL_STATUS_FILE_READ_ERROR = 4,
  /* Unknown file identifier or file version. */
  KVOFWDL_STATUS_INVALID_FILE_FORMAT = 5,
  KVOFWDL_STATUS_HEADER_CRC_ERROR = 6,
  KVOFWDL_STATUS_IMAGE_CRC_ERROR = 7,
  KVOFWDL_STATUS_CNE_CRC_ERROR = 8,
  /* The interface GUID string cannot be parsed. */
  KVOFWDL_STATUS_INVALID_GUID_STRING = 9,
  /* The device information set could not be made. */
  KVOFWDL_STATUS_ENUMERATION_FAILED = 10,
  /* Enumeration refused while a unit is open. */
  KVOFWDL_STATUS_DEVICE_STILL_OPEN = 11,
  /* Open refused before any enumeration. */
  KVOFWDL_STATUS_NOT_ENUMERATED = 12,
  /* The driver channel could not be opened for a reason other than a missing index. */
  KVOFWDL_STATUS_DRIVER_OPEN_FAILED = 13,
  /* No unit at that index, no device path, event creation failed, or the reopened unit
     differs. */
  KVOFWDL_STATUS_DEVICE_OPEN_FAILED = 14,
  /* No unit is open. */
  KVOFWDL_STATUS_DEVICE_NOT_OPEN = 15,
  /* Open refused while another unit is open. */
  KVOFWDL_STATUS_DEVICE_ALREADY_OPEN = 16,
  KVOFWDL_STATUS_COUNTING_FAILED = 17,
  /* A read from the unit or a driver query failed. */
  KVOFWDL_STATUS_DEVICE_READ_FAILED = 18,
  /* Writing a request or request data failed. */
  KVOFWDL_STATUS_DEVICE_WRITE_FAILED = 19,
  /* 20 is not used. */
  /* The download conditions forbid the download. */
  KVOFWDL_STATUS_INCOMPATIBLE_HARDWARE = 21,
  /* The CnE block is required but the file has none (or it is empty). */
  KVOFWDL_STATUS_NO_CNE_DATA = 22,
  /* The log file could not be enabled or disabled. */
  KVOFWDL_STATUS_LOGGING_FAILED = 23,
  /* The unit did not come back after a reset, or a reset request got no response. */
  KVOFWDL_STATUS_RESET_TIMEOUT = 24,
  KVOFWDL_STATUS_START_TIMEOUT = 25,
  KVOFWDL_STATUS_BLOCK_TIMEOUT = 26,
  KVOFWDL_STATUS_END_TIMEOUT = 27,
  /* Time-out index outside 0-5. */
  KVOFWDL_STATUS_UNKNOWN_TIMEOUT_PARAMETER = 28,
  /* After a reset to the application the unit still reports boot-loader mode. */
  KVOFWDL_STATUS_APPLICATION_NOT_STARTED = 29,
  /* After a reset into the boot loader the unit does not report boot-loader mode. */
  KVOFWDL_STATUS_BOOTLOADER_NOT_HALTED = 30,
  /* Unexpected or unimplemented object type or function, sequence-number mismatch, worker
     thread not started. */
  KVOFWDL_STATUS_UNEXPECTED = 31,
  /* The boot loader answered with a negative error code. */
  KVOFWDL_STATUS_DEVICE_ERROR = 32,
  /* Image 1 missing or empty. */
  KVOFWDL_STATUS_NO_IMAGE_DATA = 33,
  /* The CRC reported by the unit after a version-0 object differs from the file's. */
  KVOFWDL_STATUS_DEVICE_CRC_MISMATCH = 34,
  /* Call refused because a download runs. */
  KVOFWDL_STATUS_DOWNLOAD_IN_PROGRESS = 35,
  /* Download status while the download runs. */
  KVOFWDL_STATUS_DOWNLOAD_RUNNING = 36,
  /* Image 1 larger than the boot loader accepts. */
  KVOFWDL_STATUS_IMAGE_TOO_LARGE = 37,
  /* The unit's information block lacks the expected manufacturer id. */
  KVOFWDL_STATUS_WRONG_MANUFACTURER = 38,
  KVOFWDL_STATUS_REBOOT_FAILED = 39,
  /* The download succeeded and the computer needs a restart for the unit. */
  KVOFWDL_STATUS_REBOOT_REQUIRED = 40,
  /* The downloader was given no open file. */
  KVOFWDL_STATUS_FILE_NOT_OPEN = 41,
  /* 42 is not used. */
  KVOFWDL_STATUS_PROGRAM_GUID_TIMEOUT = 43,
  KVOFWDL_STATUS_INIT_PERS_PARAMS_TIMEOUT = 44,
  /* The download ended, but after the reset to its application the unit runs other firmware
     than the file's (the library log names both versions). */
  KVOFWDL_STATUS_FIRMWARE_NOT_CONFIRMED = 45
};

/* Conditions reported by KVOFWDL_CheckDownload. */
#define KVOFWDL_COND_NOT_POSSIBLE 0x01u /* with one of 0x10, 0x20, 0x40, 0x80 */
#define KVOFWDL_COND_CNE_REQUIRED 0x02u
#define KVOFWDL_COND_CNE_MISSING 0x04u
#define KVOFWDL_COND_DOWNGRADE 0x08u /* the file is older than the unit's firmware */
#define KVOFWDL_COND_HARDWARE_MISMATCH 0x10u
#define KVOFWDL_COND_VENDOR_MISMATCH 0x20u
#define KVOFWDL_COND_FILE_VERSION_MISMATCH 0x40u
#define KVOFWDL_COND_UNSUPPORTED_PROTOCOL 0x80u

/* Flags of KVOFWDL_StartDownload. */
#define KVOFWDL_START_ALWAYS_CNE 0x1u          /* download the CnE block with the program */
#define KVOFWDL_START_SKIP_HARDWARE_CHECK 0x2u /* allow a hardware model mismatch */
#define KVOFWDL_START_SKIP_VENDOR_CHECK 0x4u   /* allow a vendor id mismatch */

/* Room for the info text in KVOFWDL_KWF_FILE_INFO, terminator included. */
#define KVOFWDL_KWF_FILE_INFO_TEXT_SIZE 512

/* A firmware file's header (556 bytes). */
typedef struct KVOFWDL_KWF_FILE_INFO {
  uint32_t FileKind;
  uint32_t SoftwareId;
  uint32_t FirmwareVersion;
  uint32_t CompatibleHardwareVersion; /* the unit's HardwareModelID it fits */
  char BuildDate[12];                 /* "YYYYMMDD", then zeros */
  char BuildTime[12];                 /* "HHMMSS" and two spare characters, then zeros */
  uint8_t NodeVendorId[3];            /* most significant byte first */
  char InfoText[KVOFWDL_KWF_FILE_INFO_TEXT_SIZE]; /* terminated, at most 511 characters */
  uint8_t Padding;
} KVOFWDL_KWF_FILE_INFO;

/* A unit's information block and the driver's description of it (468 bytes). */
typedef struct KVOFWDL_DEVICE_INFO {
  char DeviceText1[256]; /* as the driver gives it; terminated only if the driver did */
  char DeviceText2[80];  /* the same */
  char ManufacturerId[12];
  uint32_t ProtocolVersion; /* boot-loader protocol, 1 to 3 */
  uint32_t BootloaderMode;  /* non-zero while halted in the boot loader */
  uint8_t UniqueId[8];      /* most significant byte first */
  uint32_t HardwareModelID; /* 0x13 Velmora PRO Studio, 0x14 Velmora PRO Compact */
  uint32_t AuxWord1;
  char BuildStamp1Date[12];
  char BuildStamp1Time[12];
  uint32_t SoftwareId;
  uint32_t FirmwareVersion;
  uint32_t AuxWord2;
  uint32_t MaxImageLength;
  char BuildStamp2Date[12];
  char BuildStamp2Time[12];
  char BuildStamp3Date[12];
  char BuildStamp3Time[12];
  uint32_t AuxWord3;
  uint32_t AuxWord4;
} KVOFWDL_DEVICE_INFO;

/* KVOFWDL_INTERFACE_VERSION. Needs no set-up and takes no lock. */
KVOFWDL_API uint32_t KVOFWDL_GetVersion(void);

/* Writes the library log to the file `path` (size-limited to 5,000,000 bytes, with one backup
   of extension "bak"); NULL closes the log file. Either choice is recorded in the library's
   configuration file if one exists. KVOFWDL_STATUS_LOGGING_FAILED when the file cannot be
   opened (also for an empty path) or closed. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnableLogging(const char* path);

/* Opens and checks the firmware file `KwfFileName` and describes its header in `KwfInfo`. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetKwfFileInfo(const char* KwfFileName,
                                                  KVOFWDL_KWF_FILE_INFO* KwfInfo);

/* Finds the units offering the device interface `InterfaceGuidStr` ("{...}"). */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_EnumerateDevices(const char* InterfaceGuidStr,
                                                    uint32_t* NumberOfDevices);

/* Describes unit `index` of the last enumeration. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDeviceInfo(uint32_t index, KVOFWDL_DEVICE_INFO* DeviceInfo);

/* Opens unit `index` of the last enumeration for a download. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_OpenDevice(uint32_t index);

/* Tells in `Conditions` (KVOFWDL_COND_ bits) whether the firmware file fits the open unit. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CheckDownload(const char* KwfFileName, uint32_t* Conditions);

/* Starts downloading the firmware file to the open unit (flags: KVOFWDL_START_ bits). */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_StartDownload(const char* KwfFileName, uint32_t flags);

/* Sets time-out `index` (0 reset wait, 1 download start, 2 download block, 3 download end,
   4 program GUID, 5 init persistent parameters) of the open unit. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_SetTimeout(uint32_t index, uint32_t milliseconds);

/* Progress of the current or last download; returns KVOFWDL_STATUS_DOWNLOAD_RUNNING while it
   runs, then its result. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_GetDownloadStatus(uint32_t* BytesDownloaded,
                                                     uint32_t* TotalBytes);

/* Closes the open unit. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_CloseDevice(void);

/* Restarts the computer (on the simulated bus: its driver and units). */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_Reboot(void);

/* Sets `IsAdmin` to 1 when the caller has administrator rights, else 0: a member of the
   Administrators group on Windows; root or a member of the group "sudo" or "wheel" on Linux. */
KVOFWDL_API KVOFWDL_STATUS KVOFWDL_IsUserAdmin(uint32_t* IsAdmin);

#ifdef __cplusplus
}
#endif

#endif /* DUN_FWDL_H */
