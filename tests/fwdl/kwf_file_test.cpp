// The downloader's side of a firmware file: whole objects of version 0, the stream of
// version 1.
#include "fwdl/kwf_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwdl/include/dun_fwdl.h"
#include "tests/fwdl/fwdl_test_support.h"
#include "tests/fwdl/kwf_vectors.h"
#include "tests/support/scratch.h"
#include "tools/kwf/kwf_builder.h"

namespace fwdl {
namespace {

using test::WriteFile;
using tools::kwf::KwfSpec;

const std::vector<uint8_t> kImage = tools::kwf::GeneratedPayload(300, 7);
const std::vector<uint8_t> kCnE = tools::kwf::GeneratedPayload(40, 8);

KwfSpec VersionZero() {
  KwfSpec spec;
  spec.version = 0;
  spec.infoText = "v0";
  spec.image1 = kImage;
  spec.cnE = kCnE;
  return spec;
}

class KwfFileTest : public ::testing::Test {
 protected:
  // Writes the file of `spec` and opens it.
  KVOFWDL_STATUS Open(const KwfSpec& spec) {
    WriteFile(path_, tools::kwf::BuildKwf(spec).value());
    return file_.Open(path_);
  }

  platform::test::ScratchFolder scratch_;
  std::string path_ = scratch_ / "test.kwf";
  KwfFile file_;
};

TEST_F(KwfFileTest, VersionZeroObjectsAreLoadedOnceAndChecked) {
  ASSERT_EQ(Open(VersionZero()), KVOFWDL_STATUS_SUCCESS);
  std::span<const uint8_t> image;
  std::span<const uint8_t> cnE;
  ASSERT_EQ(file_.GetImage1(image), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(file_.GetCnE(cnE), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(std::vector(image.begin(), image.end()), kImage);
  EXPECT_EQ(std::vector(cnE.begin(), cnE.end()), kCnE);

  std::span<const uint8_t> again;
  ASSERT_EQ(file_.GetImage1(again), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(again.data(), image.data());
}

TEST_F(KwfFileTest, VersionZeroWithoutObjectsGivesNone) {
  KwfSpec spec = VersionZero();
  spec.image1.reset();
  spec.cnE.reset();
  ASSERT_EQ(Open(spec), KVOFWDL_STATUS_SUCCESS);
  EXPECT_FALSE(file_.HasCnE());
  std::span<const uint8_t> image = kImage;
  std::span<const uint8_t> cnE = kCnE;
  EXPECT_EQ(file_.GetImage1(image), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(file_.GetCnE(cnE), KVOFWDL_STATUS_SUCCESS);
  EXPECT_TRUE(image.empty());
  EXPECT_TRUE(cnE.empty());
}

struct ObjectFaultCase {
  const char* name;
  void (*change)(KwfSpec&);
  KVOFWDL_STATUS image;
  KVOFWDL_STATUS cnE;
};

void PrintTo(const ObjectFaultCase& c, std::ostream* out) {
  *out << c.name;
}

class ObjectFaultTest : public KwfFileTest,
                        public ::testing::WithParamInterface<ObjectFaultCase> {};

TEST_P(ObjectFaultTest, GivesNoBuffer) {
  KwfSpec spec = VersionZero();
  GetParam().change(spec);
  ASSERT_EQ(Open(spec), KVOFWDL_STATUS_SUCCESS);
  std::span<const uint8_t> image = kImage;
  std::span<const uint8_t> cnE = kCnE;
  EXPECT_EQ(file_.GetImage1(image), GetParam().image);
  EXPECT_EQ(file_.GetCnE(cnE), GetParam().cnE);
  EXPECT_TRUE(image.empty());
  EXPECT_TRUE(cnE.empty());
}

INSTANTIATE_TEST_SUITE_P(Objects, ObjectFaultTest,
                         ::testing::Values(ObjectFaultCase{"WrongCrcs",
                                                           [](KwfSpec& s) {
                                                             s.image1Crc = 1;
                                                             s.cnECrc = 2;
                                                           },
                                                           KVOFWDL_STATUS_IMAGE_CRC_ERROR,
                                                           KVOFWDL_STATUS_CNE_CRC_ERROR},
                                           ObjectFaultCase{"LengthsPastTheEnd",
                                                           [](KwfSpec& s) {
                                                             s.image1Length = 0xFFFFFFF0;
                                                             s.cnELength = 41;
                                                           },
                                                           KVOFWDL_STATUS_FILE_READ_ERROR,
                                                           KVOFWDL_STATUS_FILE_READ_ERROR}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KwfFileTest, VersionOneIsStreamedNotSplit) {
  KwfSpec spec = VersionZero();
  spec.version = 1;
  spec.trailer = {0xFF, 0xFF, 0xFF, 0xFF};
  ASSERT_EQ(Open(spec), KVOFWDL_STATUS_SUCCESS);
  std::span<const uint8_t> image;
  EXPECT_EQ(file_.GetImage1(image), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.GetCnE(image), KVOFWDL_STATUS_FAILED);

  const std::vector<uint8_t> expected = tools::kwf::BuildKwf(spec).value();
  ASSERT_EQ(file_.FileSize(), expected.size());
  ASSERT_EQ(file_.ResetFilePtr(), KVOFWDL_STATUS_SUCCESS);
  std::vector<uint8_t> streamed;
  uint8_t block[100];
  uint32_t received = 0;
  do {
    ASSERT_EQ(file_.Read(block, sizeof block, received), KVOFWDL_STATUS_SUCCESS);
    streamed.insert(streamed.end(), block, block + received);
  } while (received == sizeof block);
  EXPECT_EQ(streamed, expected);
  ASSERT_EQ(file_.Read(block, sizeof block, received), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(received, 0u);
}

// The hand-made files: what the downloader takes from them, field by field.
TEST_F(KwfFileTest, HandMadeVersionZeroGivesItsObjectsAndHeaderFields) {
  WriteFile(path_, test::vectors::kVersion0File);
  ASSERT_EQ(file_.Open(path_), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(file_.FileVersion(), 0u);
  EXPECT_EQ(file_.FileSize(), 120u);
  EXPECT_TRUE(file_.HasCnE());
  EXPECT_EQ(file_.InfoText(), "hand-made v0");
  EXPECT_EQ(file_.Image1Offset(), 108u);
  EXPECT_EQ(file_.Image1Address(), 0x00008000u);
  EXPECT_EQ(file_.Image1Length(), 8u);
  EXPECT_EQ(file_.Image1Crc(), 0x005DE232u);
  EXPECT_EQ(file_.CnEOffset(), 116u);
  EXPECT_EQ(file_.CnELength(), 4u);
  EXPECT_EQ(file_.CnECrc(), 0xA71919B6u);
  std::span<const uint8_t> image;
  std::span<const uint8_t> cnE;
  ASSERT_EQ(file_.GetImage1(image), KVOFWDL_STATUS_SUCCESS);
  ASSERT_EQ(file_.GetCnE(cnE), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(std::vector(image.begin(), image.end()), test::vectors::kVersion0Image);
  EXPECT_EQ(std::vector(cnE.begin(), cnE.end()), test::vectors::kVersion0CnE);
}

TEST_F(KwfFileTest, HandMadeVersionOneIsStreamedWholePaddingIncluded) {
  WriteFile(path_, test::vectors::kVersion1File);
  ASSERT_EQ(file_.Open(path_), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(file_.FileVersion(), 1u);
  EXPECT_EQ(file_.Image1Address(), 0x400C0080u);
  EXPECT_EQ(file_.Image1Length(), 16u);
  EXPECT_EQ(file_.CnELength(), 4u);
  std::span<const uint8_t> image;
  EXPECT_EQ(file_.GetImage1(image), KVOFWDL_STATUS_FAILED);
  ASSERT_EQ(file_.ResetFilePtr(), KVOFWDL_STATUS_SUCCESS);
  std::vector<uint8_t> streamed(200);
  uint32_t received = 0;
  ASSERT_EQ(file_.Read(streamed.data(), 200, received), KVOFWDL_STATUS_SUCCESS);
  streamed.resize(received);
  EXPECT_EQ(streamed, test::vectors::kVersion1File);
}

TEST_F(KwfFileTest, ClosedFileRefusesEveryOperation) {
  KVOFWDL_KWF_FILE_INFO info;
  std::span<const uint8_t> object;
  uint8_t byte;
  uint32_t received = 1;
  EXPECT_EQ(file_.GetFileInfo(info), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.GetImage1(object), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.GetCnE(object), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.ResetFilePtr(), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.Read(&byte, 1, received), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(received, 0u);
}

TEST_F(KwfFileTest, OpenOnAnOpenFileLeavesItAlone) {
  ASSERT_EQ(Open(VersionZero()), KVOFWDL_STATUS_SUCCESS);
  EXPECT_EQ(file_.Open(scratch_ / "other.kwf"), KVOFWDL_STATUS_FAILED);
  EXPECT_EQ(file_.FileName(), path_);
  EXPECT_EQ(file_.InfoText(), "v0");
}

TEST_F(KwfFileTest, FailedOpenLeavesNothingBehind) {
  KwfSpec spec = VersionZero();
  spec.headerCrc = 0;
  ASSERT_EQ(Open(spec), KVOFWDL_STATUS_HEADER_CRC_ERROR);
  EXPECT_FALSE(file_.IsOpen());
  EXPECT_EQ(file_.FileName(), "");
  EXPECT_EQ(file_.FileSize(), 0u);
  EXPECT_EQ(file_.SoftwareId(), 0u);
}

}  // namespace
}  // namespace fwdl
