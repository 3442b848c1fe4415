// velmoractl firmware info through the download library.
#include <fstream>

#include "cli_fixture.h"
#include "tests/support/scratch.h"
#include "tools/kwf/kwf_builder.h"

namespace velmoractl::test {
namespace {

using FirmwareCommandTest = CliFixture;

TEST_F(FirmwareCommandTest, DescribesTheShippedFiles) {
  const Outcome studio = run(firmwareInfoCommand, {STUDIO_KWF});
  EXPECT_EQ(studio.code, 0) << studio.err;
  EXPECT_NE(
      studio.out.find("firmware         2.1.4300\nhardware         0x13 (Velmora PRO Studio)"),
      std::string::npos)
      << studio.out;
  const Outcome compact = run(firmwareInfoCommand, {COMPACT_KWF, "--json"});
  EXPECT_NE(compact.out.find("\"softwareId\": 6, \"firmware\": \"2.1.4300\", \"hardwareVersion\": "
                             "20, \"model\": \"Compact\""),
            std::string::npos)
      << compact.out;
}

TEST_F(FirmwareCommandTest, InfoTextFromTheFileStaysValidJson) {
  platform::test::ScratchFolder folder;
  tools::kwf::KwfSpec spec;
  spec.infoText = std::string("say \"hi\"\\\n\x01\xB4", 13) + '\0';
  spec.image1 = std::vector<uint8_t>(16, 0xAA);  // the text runs up to the first object
  const auto file = tools::kwf::BuildKwf(spec);
  ASSERT_TRUE(file);
  std::ofstream(folder / "odd.kwf", std::ios::binary)
      .write(reinterpret_cast<const char*>(file->data()),
             static_cast<std::streamsize>(file->size()));
  const Outcome r = run(firmwareInfoCommand, {folder / "odd.kwf", "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"infoText\": \"say \\\"hi\\\"\\\\\\u000a\\u0001\\u00b4\"}"),
            std::string::npos)
      << r.out;
}

TEST_F(FirmwareCommandTest, BadFilesNameTheLibraryStatus) {
  platform::test::ScratchFolder folder;
  std::ofstream(folder / "text.kwf")
      << "not firmware at all, but long enough to have a header......";
  const std::pair<std::string, std::string> cases[] = {
      {folder / "missing.kwf", "status 3 (KVOFWDL_STATUS_FILE_NOT_FOUND)"},
      {folder / "text.kwf", "status 5 (KVOFWDL_STATUS_INVALID_FILE_FORMAT)"},
  };
  for (const auto& [path, message] : cases) {
    const Outcome r = run(firmwareInfoCommand, {path});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  EXPECT_EQ(run(firmwareInfoCommand, {}).code, 2);
}

}  // namespace
}  // namespace velmoractl::test
