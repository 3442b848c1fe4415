// Firmware files as KVOFWDL_GetKwfFileInfo opens and describes them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fwdl/include/dun_fwdl.h"
#include "tests/fwdl/api_fixture.h"
#include "tests/fwdl/kwf_vectors.h"
#include "tools/kwf/kwf_builder.h"

namespace fwdl::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using tools::kwf::BuildKwf;
using tools::kwf::KwfSpec;

std::vector<uint8_t> Build(const KwfSpec& spec) {
  return BuildKwf(spec).value();
}

KwfSpec SmallFile(uint32_t version) {
  KwfSpec spec;
  spec.version = version;
  spec.infoText = std::string("small test file") + '\0';
  spec.image1 = tools::kwf::GeneratedPayload(64, 1);
  spec.cnE = tools::kwf::GeneratedPayload(16, 2);
  return spec;
}

class KwfFileInfoTest : public LoggedApiTest {
 protected:
  // Writes `bytes` as a file and asks the library about it.
  KVOFWDL_STATUS InfoOf(const std::vector<uint8_t>& bytes) {
    WriteFile(path("test.kwf"), bytes);
    return KVOFWDL_GetKwfFileInfo(path("test.kwf").c_str(), &info_);
  }

  KVOFWDL_KWF_FILE_INFO info_;
};

struct BadFileCase {
  const char* name;
  std::function<std::vector<uint8_t>()> bytes;
  KVOFWDL_STATUS status;
  const char* error;  // '%s' stands for the file name
};

void PrintTo(const BadFileCase& c, std::ostream* out) {
  *out << c.name;
}

class BadFileTest : public KwfFileInfoTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFileTest, IsRefusedWithItsStatusAndReason) {
  EXPECT_EQ(InfoOf(GetParam().bytes()), GetParam().status);
  std::string error = GetParam().error;
  error.replace(error.find("%s"), 2, path("test.kwf"));
  EXPECT_THAT(entriesOf("ERROR"), ElementsAre(error, "KVOFWDL_GetKwfFileInfo: open file '" +
                                                         path("test.kwf") + "' failed"));
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(
        BadFileCase{"UnknownIdentifier",
                    [] {
                      KwfSpec spec = SmallFile(1);
                      spec.identifier = "KWFM";
                      return Build(spec);
                    },
                    KVOFWDL_STATUS_INVALID_FILE_FORMAT,
                    "unknown file identifier for file '%s' found."},
        BadFileCase{"VersionOneFileOfVersionTwo",
                    [] {
                      KwfSpec spec = SmallFile(1);
                      spec.fileVersionField = 2;
                      return Build(spec);
                    },
                    KVOFWDL_STATUS_INVALID_FILE_FORMAT,
                    "file '%s': expected file version = 1, found version = 2"},
        BadFileCase{"ShorterThanTheCommonHeader", [] { return Cut(Build(SmallFile(1)), 47); },
                    KVOFWDL_STATUS_FILE_READ_ERROR,
                    "reading common file header from file '%s' failed"},
        BadFileCase{"VersionOneOf100Bytes", [] { return Cut(Build(SmallFile(1)), 100); },
                    KVOFWDL_STATUS_FILE_READ_ERROR,
                    "reading V1-specific file header from file '%s' failed"},
        BadFileCase{"VersionZeroOf90Bytes", [] { return Cut(Build(SmallFile(0)), 90); },
                    KVOFWDL_STATUS_FILE_READ_ERROR,
                    "reading V0-specific file header from file '%s' failed"},
        BadFileCase{"WrongHeaderCrc",
                    [] {
                      KwfSpec spec = SmallFile(0);
                      spec.headerCrc = 0x12345678;
                      return Build(spec);
                    },
                    KVOFWDL_STATUS_HEADER_CRC_ERROR, "Unexpected crc header value in file '%s'"},
        BadFileCase{"InfoTextPastTheEnd",
                    [] {
                      KwfSpec spec = SmallFile(1);
                      spec.image1Offset = 0xFFFFFF00;
                      return Build(spec);
                    },
                    KVOFWDL_STATUS_FILE_READ_ERROR, "reading info text of file '%s' failed"},
        BadFileCase{"ObjectInsideTheHeader",
                    [] {
                      KwfSpec spec = SmallFile(1);
                      spec.image1Offset = 50;
                      return Build(spec);
                    },
                    KVOFWDL_STATUS_FILE_READ_ERROR, "reading info text of file '%s' failed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KwfFileInfoTest, MissingFileDirectoryAndPipeAreNotFound) {
  KVOFWDL_KWF_FILE_INFO info;
  EXPECT_EQ(KVOFWDL_GetKwfFileInfo(path("missing.kwf").c_str(), &info),
            KVOFWDL_STATUS_FILE_NOT_FOUND);
  std::filesystem::create_directory(path("folder.kwf"));
  EXPECT_EQ(KVOFWDL_GetKwfFileInfo(path("folder.kwf").c_str(), &info),
            KVOFWDL_STATUS_FILE_NOT_FOUND);
  // Nobody writes into the pipe: opening it must not wait for a writer.
#ifdef _WIN32
  const char* pipe = "\\\\.\\pipe\\velmora-test.kwf";
  const HANDLE server =
      CreateNamedPipeA(pipe, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 512, 512, 0, nullptr);
  EXPECT_EQ(KVOFWDL_GetKwfFileInfo(pipe, &info), KVOFWDL_STATUS_FILE_NOT_FOUND);
  CloseHandle(server);
#else
  mkfifo(path("pipe.kwf").c_str(), 0600);
  EXPECT_EQ(KVOFWDL_GetKwfFileInfo(path("pipe.kwf").c_str(), &info), KVOFWDL_STATUS_FILE_NOT_FOUND);
#endif
}

// Every header byte is under the header CRC. The identifier and the version-1 file version
// are judged before the CRC, so changing them is a format error instead.
TEST_F(KwfFileInfoTest, ChangingAnyCheckedHeaderByteBreaksTheHeaderCrc) {
  for (uint32_t version : {0u, 1u}) {
    const std::vector<uint8_t> good = Build(SmallFile(version));
    ASSERT_EQ(InfoOf(good), KVOFWDL_STATUS_SUCCESS);
    const size_t headerSize = version == 0 ? 96 : 112;
    for (size_t offset = 4; offset < headerSize; ++offset) {
      const bool crc = offset >= 44 && offset < 48;
      const bool fileVersion = version == 1 && offset >= 40 && offset < 44;
      if (crc || fileVersion) continue;
      std::vector<uint8_t> changed = good;
      changed[offset] ^= 0x01;
      EXPECT_EQ(InfoOf(changed), KVOFWDL_STATUS_HEADER_CRC_ERROR)
          << "version " << version << ", byte " << offset;
    }
  }
}

struct ShippedCase {
  const char* name;
  const char* path;
  uint32_t hardware;
  uint32_t softwareId;
  const char* infoText;
};

void PrintTo(const ShippedCase& c, std::ostream* out) {
  *out << c.name;
}

class ShippedFileTest : public KwfFileInfoTest,
                        public ::testing::WithParamInterface<ShippedCase> {};

TEST_P(ShippedFileTest, OpensAndIsDescribed) {
  KVOFWDL_KWF_FILE_INFO info;
  std::memset(&info, 0xA5, sizeof info);
  ASSERT_EQ(KVOFWDL_GetKwfFileInfo(GetParam().path, &info), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(info.FileKind, 1u);
  EXPECT_EQ(info.SoftwareId, GetParam().softwareId);
  EXPECT_EQ(info.FirmwareVersion, 0x020110CCu);
  EXPECT_EQ(info.CompatibleHardwareVersion, GetParam().hardware);
  EXPECT_EQ(std::string(info.BuildDate, sizeof info.BuildDate),
            std::string("20240611\0\0\0\0", 12));
  EXPECT_EQ(std::string(info.BuildTime, sizeof info.BuildTime),
            std::string("104500  \0\0\0\0", 12));
  EXPECT_THAT(info.NodeVendorId, ElementsAre(0x7A, 0x13, 0x94));
  EXPECT_STREQ(info.InfoText, GetParam().infoText);
  EXPECT_EQ(info.InfoText[KVOFWDL_KWF_FILE_INFO_TEXT_SIZE - 1], 0);
  EXPECT_EQ(info.Padding, 0);
  EXPECT_THAT(entriesOf("ERROR"), IsEmpty());
  EXPECT_THAT(entriesOf("WARNING"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, ShippedFileTest,
    ::testing::Values(ShippedCase{"Studio", STUDIO_KWF, 0x13, 3, "Studio  fw 2.1.4300"},
                      ShippedCase{"Compact", COMPACT_KWF, 0x14, 6, "Compact fw 2.1.4300"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KwfFileInfoTest, FileWithoutObjectsHasAnEmptyInfoTextAndOneWarning) {
  KwfSpec spec;
  spec.infoText = "ignored";
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(info_.InfoText, "");
  EXPECT_THAT(entriesOf("WARNING"),
              ElementsAre("File '" + path("test.kwf") +
                          "' has no data. Therefore length of info text is unknown."));
}

TEST_F(KwfFileInfoTest, InfoTextOf511CharactersFitsAnd512AreCut) {
  KwfSpec spec = SmallFile(1);
  spec.infoText = std::string(511, 'x');
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(std::string(info_.InfoText), std::string(511, 'x'));
  EXPECT_THAT(entriesOf("WARNING"), IsEmpty());

  spec.infoText = std::string(511, 'y') + 'z';
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(std::string(info_.InfoText), std::string(511, 'y'));
  EXPECT_THAT(entriesOf("WARNING"),
              ElementsAre("Info text of file " + path("test.kwf") + " will be truncated.",
                          "KVOFWDL_KWF_FILE_INFO_TEXT_SIZE has to be greater then 512"));
}

TEST_F(KwfFileInfoTest, InfoTextEndsAtItsFirstNul) {
  KwfSpec spec = SmallFile(0);
  spec.infoText = std::string("text\0rest", 9);
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(info_.InfoText, "text");
}

// Version 0 takes the info text's end from the second object when there is no image 1.
TEST_F(KwfFileInfoTest, VersionZeroInfoTextEndsAtTheFirstPlacedObject) {
  KwfSpec spec = SmallFile(0);
  spec.image1.reset();
  spec.infoText = "0123456789";
  spec.object2Offset = 96 + 4;
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(info_.InfoText, "0123");
  spec.object2Offset = 0;
  ASSERT_EQ(InfoOf(Build(spec)), KVOFWDL_STATUS_SUCCESS);
  EXPECT_STREQ(info_.InfoText, "0123456789");
}

// The record a caller gets for a hand-made file, byte by byte at the record's own offsets: the
// four words, the two stamps padded with zeros, the vendor id high byte first, the info text.
struct VectorCase {
  const char* name;
  const std::vector<uint8_t>* file;
  uint32_t words[4];  // FileKind, SoftwareId, FirmwareVersion, CompatibleHardwareVersion
  const char* buildDate;
  const char* buildTime;
  uint8_t vendor[3];
  const char* infoText;
};

void PrintTo(const VectorCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<uint8_t> ExpectedRecord(const VectorCase& c) {
  std::vector<uint8_t> record(556, 0);
  for (size_t i = 0; i < 4; ++i) {
    for (size_t b = 0; b < 4; ++b) record[4 * i + b] = static_cast<uint8_t>(c.words[i] >> (8 * b));
  }
  std::memcpy(&record[16], c.buildDate, 8);
  std::memcpy(&record[28], c.buildTime, 8);
  std::memcpy(&record[40], c.vendor, 3);
  std::memcpy(&record[43], c.infoText, std::strlen(c.infoText));
  return record;
}

class VectorFileTest : public KwfFileInfoTest, public ::testing::WithParamInterface<VectorCase> {};

TEST_P(VectorFileTest, IsDescribedFieldByField) {
  static_assert(sizeof(KVOFWDL_KWF_FILE_INFO) == 556);
  std::memset(&info_, 0xA5, sizeof info_);
  ASSERT_EQ(InfoOf(*GetParam().file), KVOFWDL_STATUS_SUCCESS);
  std::vector<uint8_t> record(sizeof info_);
  std::memcpy(record.data(), &info_, sizeof info_);
  EXPECT_EQ(record, ExpectedRecord(GetParam()));
  EXPECT_THAT(entriesOf("ERROR"), IsEmpty());
  EXPECT_THAT(entriesOf("WARNING"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(HandMade, VectorFileTest,
                         ::testing::Values(VectorCase{"Version0",
                                                      &vectors::kVersion0File,
                                                      {7, 3, 0x02014000, 0x13},
                                                      "20230102",
                                                      "030405  ",
                                                      {0x7A, 0x13, 0x94},
                                                      "hand-made v0"},
                                           VectorCase{"Version1",
                                                      &vectors::kVersion1File,
                                                      {1, 6, 0x020110CC, 0x14},
                                                      "20240611",
                                                      "104500  ",
                                                      {0xA3, 0xB2, 0xC1},
                                                      "Vector  fw 9.8.7650"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwdl::test
