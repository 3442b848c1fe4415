// Two firmware files written out byte by byte, one of each version, so that what the library
// reads from them is checked against the file layout itself and not against our own writer.
// Every CRC is the standard CRC-32 (check value 0xCBF43926), worked out beforehand with an
// independent implementation (Python's zlib.crc32) and written in as a number.
#pragma once

#include <cstdint>
#include <vector>

namespace fwdl::test::vectors {

// Version 0: image 1 and a CnE block, whole objects for a protocol-1/2 boot loader.
inline const std::vector<uint8_t> kVersion0File = {
    'k',  'W',  'f',  'M',                          // 0: identifier of a version-0 file
    0x07, 0x00, 0x00, 0x00,                         // 4: FileKind 7
    '2',  '0',  '2',  '3',  '0',  '1',  '0',  '2',  // 8: BuildDate
    '0',  '3',  '0',  '4',  '0',  '5',  ' ',  ' ',  // 16: BuildTime and two spare characters
    0x03, 0x00, 0x00, 0x00,                         // 24: SoftwareId 3
    0x00, 0x40, 0x01, 0x02,                         // 28: FirmwareVersion 0x02014000
    0x13, 0x00, 0x00, 0x00,                         // 32: CompatibleHardwareVersion 0x13
    0x94, 0x13, 0x7A,                               // 36: NodeVendorId 0x7A1394, low byte first
    0x00,                                           // 39: reserved
    0x09, 0x00, 0x00, 0x00,  // 40: FileVersion, never read in a version-0 file
    0x25, 0x0B, 0xA0, 0x96,  // 44: HeaderCrc 0x96A00B25
    0x6C, 0x00, 0x00, 0x00,  // 48: Image1Offset 108
    0x00, 0x80, 0x00, 0x00,  // 52: Image1Address 0x00008000
    0x08, 0x00, 0x00, 0x00,  // 56: Image1Length 8
    0x32, 0xE2, 0x5D, 0x00,  // 60: Image1Crc 0x005DE232
    0x68, 0x00, 0x00, 0x00,  // 64: Object2Offset 104: image 1 comes first
    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,     // 68: rest of the second object's description
    0x74, 0x00, 0x00, 0x00,  // 80: CnEOffset 116
    0x00, 0x00, 0x00, 0x00,  // 84
    0x04, 0x00, 0x00, 0x00,  // 88: CnELength 4
    0xB6, 0x19, 0x19, 0xA7,  // 92: CnECrc 0xA71919B6
    'h',  'a',  'n',  'd',  '-',  'm',  'a',  'd',
    'e',  ' ',  'v',  '0',                           // 96: info text, 108 - 96
    0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,  // 108: image 1
    0xC0, 0xDE, 0x00, 0x01,                          // 116: CnE block
};
inline const std::vector<uint8_t> kVersion0Image = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
inline const std::vector<uint8_t> kVersion0CnE = {0xC0, 0xDE, 0x00, 0x01};

// Version 1, laid out as the shipped files are: header, a terminated info text, image 1, the
// CnE block right after it and four bytes of 0xFF padding.
inline const std::vector<uint8_t> kVersion1File = {
    'K',  'w',  'F',  'm',                          // 0: identifier of a version-1 file
    0x01, 0x00, 0x00, 0x00,                         // 4: FileKind 1
    '2',  '0',  '2',  '4',  '0',  '6',  '1',  '1',  // 8: BuildDate
    '1',  '0',  '4',  '5',  '0',  '0',  ' ',  ' ',  // 16: BuildTime
    0x06, 0x00, 0x00, 0x00,                         // 24: SoftwareId 6
    0xCC, 0x10, 0x01, 0x02,                         // 28: FirmwareVersion 0x020110CC
    0x14, 0x00, 0x00, 0x00,                         // 32: CompatibleHardwareVersion 0x14
    0xC1, 0xB2, 0xA3,                               // 36: NodeVendorId 0xA3B2C1, low byte first
    0x00,                                           // 39: reserved
    0x01, 0x00, 0x00, 0x00,                         // 40: FileVersion 1
    0x62, 0x36, 0x11, 0x22,                         // 44: HeaderCrc 0x22113662
    0x84, 0x00, 0x00, 0x00,                         // 48: Image1Offset 132
    0x80, 0x00, 0x0C, 0x40,                         // 52: Image1Address 0x400C0080
    0x10, 0x00, 0x00, 0x00,                         // 56: Image1Length 16
    0x9B, 0x75, 0x07, 0x84,                         // 60: Image1Crc 0x8407759B
    0x80, 0xFF, 0x13, 0x00,                         // 64: 0x0013FF80, not interpreted
    0,    0,    0,    0,    0,    0,    0,    0,    0,   0,    0, 0,  // 68
    0x94, 0x00, 0x00, 0x00,                                           // 80: CnEOffset 148
    0x00, 0x00, 0x00, 0x00,                                           // 84
    0x04, 0x00, 0x00, 0x00,                                           // 88: CnELength 4
    0x9F, 0x75, 0x7C, 0x36,                                           // 92: CnECrc 0x367C759F
    0x00, 0x00, 0x01, 0x00,  // 96: 0x00010000, not interpreted
    0,    0,    0,    0,    0,    0,    0,    0,    0,   0,    0, 0,  // 100
    'V',  'e',  'c',  't',  'o',  'r',  ' ',  ' ',  'f', 'w',         // 112: info text, 132 - 112
    ' ',  '9',  '.',  '8',  '.',  '7',  '6',  '5',  '0', 0x00,  //      19 characters and a NUL
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,             // 132: image 1
    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF,             //
    'C',  'n',  'E',  '1',                                      // 148: CnE block
    0xFF, 0xFF, 0xFF, 0xFF,                                     // 152: padding
};

}  // namespace fwdl::test::vectors
