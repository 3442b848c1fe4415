// Mix files: their bytes, the checks on loading, the questions, and default files per unit.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "control_panel/mixer/mix_file_format.h"
#include "mixer_fixture.h"

namespace velmora::test {
namespace {

class MixFileTest : public MixerFixture {
 protected:
  std::string path = folder / "Settings.vmpro";

  std::vector<uint8_t> bytes() {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void write(const std::vector<uint8_t>& data) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
  }
  uint32_t word(const std::vector<uint8_t>& b, size_t i) { return pv::loadLe32(b.data() + 4 * i); }
};

TEST_F(MixFileTest, ADefaultMixIs756BytesWithBothChecksums) {
  ASSERT_TRUE(host->saveMixFile(path));
  const auto b = bytes();
  ASSERT_EQ(b.size(), 756u);
  EXPECT_EQ(word(b, 0), 102u);
  EXPECT_EQ(word(b, 1), 1u);
  EXPECT_EQ(word(b, 2), 756u);
  EXPECT_EQ(word(b, 4), 1u);
  EXPECT_EQ(word(b, 5), 0u);
  EXPECT_EQ(word(b, 6), 736u);
  uint32_t file = 0, chunk = 0;
  for (size_t i = 0; i < 189; ++i) file += i == 3 ? 0 : word(b, i);
  for (size_t i = 5; i < 189; ++i) chunk += i == 7 ? 0 : word(b, i);
  EXPECT_EQ(word(b, 3), file);
  EXPECT_EQ(word(b, 7), chunk);
  float sampleRate;
  std::memcpy(&sampleRate, b.data() + 32 + 4 * 41, 4);
  EXPECT_EQ(sampleRate, 0.125f);
  EXPECT_TRUE(bus->flashOf(serial));  // every save stores the unit's settings
}

TEST_F(MixFileTest, RejectedFilesShowTheirMessageAndChangeNothing) {
  ASSERT_TRUE(host->saveMixFile(path));
  const auto good = bytes();
  struct Case {
    std::vector<uint8_t> data;
    std::string message;
  };
  std::vector<Case> cases;
  auto changed = good;
  changed[32 + 4 * 62] ^= 1;
  cases.push_back({changed, "Error: This file is corrupt."});
  cases.push_back({{good.begin(), good.end() - 4}, "Error: This file has the wrong length."});
  auto older = good;
  older[0] = 101;
  cases.push_back({older,
                   "Error: Sorry, but this file is too old, and is no longer supported! "
                   "We've had to change the file format to make it more robust and work "
                   "better! Any new files you create will work ok though."});
  cases.push_back({{good.begin(), good.begin() + 20}, "Error: This file has the wrong length."});
  cases.push_back({{good.begin(), good.begin() + 3}, "Error: This file has the wrong length."});
  plugin.setNormalised(param::kAnalogueLevel, 0.9f);
  for (const Case& c : cases) {
    write(c.data);
    ui.shown.clear();
    EXPECT_TRUE(host->loadMixFile(path, false));
    EXPECT_EQ(ui.shown, std::vector<std::string>{c.message});
    EXPECT_EQ(value(param::kAnalogueLevel), 0.9f);
    ui.shown.clear();
    host->loadMixFile(path, true);
    EXPECT_TRUE(ui.shown.empty());
  }
  EXPECT_FALSE(host->loadMixFile(folder / "missing.vmpro", false));
}

// SAVE and LOAD on the panel: a failure says which file and why, and a failed save stores
// nothing in the unit's flash.
TEST_F(MixFileTest, TheFileDialogsSayWhichFileFailedAndWhy) {
  const std::string noFolder = folder / "gone/Mix.vmpro";
  ui.fileChoice = noFolder;
  ui.shown.clear();
  host->parameterChanged(param::kSaveSettings);
  EXPECT_EQ(ui.shown,
            (std::vector<std::string>{"detach",
                                      "Error: The mix could not be saved as \"" + noFolder +
                                          "\": cannot create a file in its folder: No such file or "
                                          "directory.\n\nNothing was stored in the unit.",
                                      "reattach"}));
  EXPECT_FALSE(bus->flashOf(serial)) << "a failed save stored the flash";

  ASSERT_TRUE(host->saveMixFile(path));
  auto corrupt = bytes();
  corrupt[32 + 4 * 62] ^= 1;
  write(corrupt);
  const struct {
    std::string file;
    std::string why;
  } loads[] = {
      {noFolder, "The file does not exist."},
      {folder.path(), "The file cannot be read."},
      {path, "This file is corrupt."},
  };
  for (const auto& load : loads) {
    ui.shown.clear();
    ui.fileChoice = load.file;
    host->parameterChanged(param::kLoadSettings);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"detach",
                                                  "Error: The mix could not be loaded from \"" +
                                                      load.file + "\".\n\n" + load.why,
                                                  "reattach"}));
  }
}

TEST_F(MixFileTest, LoadingAppliesValuesButNeverTheExcludedOnes) {
  for (int id = 0; id < 181; ++id) plugin.setNormalised(id, id == 41 ? 0.125f : 0.75f);
  ASSERT_TRUE(host->saveMixFile(path));
  for (int id = 0; id < 181; ++id) plugin.setNormalised(id, id == 41 ? 0.125f : 0.0f);
  ASSERT_TRUE(host->loadMixFile(path, false));
  for (int id : {26, 27, 28, 29, 35, 36, 37, 38, 39, 40, 44, 45, 180}) {
    EXPECT_EQ(value(id), 0.0f) << id;
  }
  for (int id : {62, 70, 20, 130}) EXPECT_EQ(value(id), 0.75f) << id;
  for (int id : {46, 47, 48}) EXPECT_EQ(value(id), 1.0f) << id;  // all inputs enabled
  EXPECT_EQ(plugin.getReal(41), 2.0f);
}

TEST_F(MixFileTest, AFileOfAnotherRateAsksAndKeepsTheUnitsRate) {
  ASSERT_TRUE(host->saveMixFile(path));  // at 48 kHz
  bus->setDriverRate(96000);
  EXPECT_EQ(hal().GetSampleRate(), 96000);
  plugin.setNormalised(param::kAnalogueLevel, 0.2f);
  ui.answer = false;
  ASSERT_TRUE(host->loadMixFile(path, false));
  ASSERT_FALSE(ui.shown.empty());
  const std::string question = *std::find_if(ui.shown.begin(), ui.shown.end(),
                                             [](auto& s) { return s.rfind("question: ", 0) == 0; });
  EXPECT_NE(question.find("originally saved at 48 kHz, but your Velmora PRO is currently set to "
                          "96 kHz."),
            std::string::npos);
  EXPECT_EQ(value(param::kAnalogueLevel), 0.2f);  // declined
  ui.answer = true;
  ASSERT_TRUE(host->loadMixFile(path, false));
  EXPECT_EQ(value(param::kAnalogueLevel), 0.5f);
  EXPECT_EQ(plugin.getReal(41), 4.0f);  // still the unit's 96 kHz

  ui.shown.clear();
  bus->setDriverRate(192000);
  hal().GetSampleRate();
  ASSERT_TRUE(host->loadMixFile(path, false));
  EXPECT_TRUE(std::none_of(ui.shown.begin(), ui.shown.end(),
                           [](auto& s) { return s.rfind("question: ", 0) == 0; }));
}

// A loaded mix sets the unit's AC3 passthrough (103), MIDI through (104) and sync source
// (bits 0-7 of 93) as the file has them.
TEST_F(MixFileTest, LoadingSendsAc3MidiThroughAndTheSyncSourceToTheUnit) {
  plugin.setNormalised(param::kAc3Passthrough, 1.0f);
  plugin.setNormalised(param::kMidiThrough, 1.0f);
  plugin.setReal(param::kSyncSource, 2.0f);  // S/PDIF
  ASSERT_TRUE(host->saveMixFile(path));
  for (uint32_t index : {93u, 103u, 104u}) bus->poke(serial, index, 0);
  hal().SetAC3Passthrough(false);
  plugin.setNormalised(param::kAc3Passthrough, 0.0f);
  plugin.setNormalised(param::kMidiThrough, 0.0f);
  plugin.setReal(param::kSyncSource, 0.0f);
  hal().SetSyncSource(0);
  ASSERT_TRUE(host->loadMixFile(path, false));
  EXPECT_EQ(coefficient(103), 1u) << "AC3 passthrough";
  EXPECT_EQ(coefficient(104), 1u) << "MIDI through";
  EXPECT_EQ(coefficient(93) & 0xFF, 2u) << "sync source";
}

TEST_F(MixFileTest, NonsenseValuesAreBroughtIntoRange) {
  std::vector<float> values(181, 0.5f);
  values[62] = 7.0f;
  values[63] = -3.0f;
  values[64] = std::numeric_limits<float>::quiet_NaN();
  values[41] = 0.125f;
  write(EncodeMixFile(values));
  plugin.setNormalised(64, 0.3f);
  ASSERT_TRUE(host->loadMixFile(path, false));
  EXPECT_EQ(value(62), 1.0f);
  EXPECT_EQ(value(63), 0.0f);
  EXPECT_EQ(value(64), 0.3f);
}

TEST_F(MixFileTest, ASaveThatCannotBeWrittenLeavesTheFlashAlone) {
  EXPECT_FALSE(host->saveMixFile(folder / "no-such-folder/Settings.vmpro"));
  EXPECT_FALSE(bus->flashOf(serial));
}

TEST_F(MixFileTest, AFolderIsNotAMixFile) {
  std::filesystem::create_directory(folder / "Folder.vmpro");
  plugin.setNormalised(param::kAnalogueLevel, 0.9f);
  const size_t before = writes().size();
  ui.shown.clear();
  EXPECT_FALSE(host->loadMixFile(folder / "Folder.vmpro", false));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(value(param::kAnalogueLevel), 0.9f);
  EXPECT_EQ(writes().size(), before);
}

// The stored sample-rate index of a crafted file may be anything; the question names it
// only when it is one of the six.
TEST_F(MixFileTest, TheRateQuestionNamesOnlyRealRates) {
  bus->setDriverRate(96000);
  hal().GetSampleRate();
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, const char*> cases[] = {
      {0.0f, "44.1"},  {0.125f, "48"},   {0.625f, "192"}, {0.75f, "44.1"},         {-1.0f, "44.1"},
      {1e30f, "44.1"}, {-1e30f, "44.1"}, {inf, "44.1"},   {std::nanf(""), "44.1"},
  };
  ui.answer = false;
  for (const auto& [stored, name] : cases) {
    std::vector<float> values(42, 0.0f);
    values[param::kSampleRate] = stored;
    ui.shown.clear();
    EXPECT_FALSE(host->applyLoadedParameters(values)) << stored;
    ASSERT_EQ(ui.shown.size(), 1u) << stored;
    EXPECT_NE(ui.shown[0].find(std::string("originally saved at ") + name +
                               " kHz, but your Velmora PRO is currently set to 96 kHz."),
              std::string::npos)
        << stored << ": " << ui.shown[0];
  }
}

TEST_F(MixFileTest, TheAdatQuestionStandsAloneOrJoinsTheRateQuestion) {
  bus->poke(serial, 112, 1);  // "Disable ADATs for better CPU usage"
  hal().Close();
  ASSERT_EQ(hal().Open(hal().CurrentSerial()), 0);
  ASSERT_TRUE(hal().ReducedModel());
  const std::string adat =
      "saved with ADAT 1 and/or 2 enabled, but your Velmora PRO has the \"Disable ADATs for "
      "better CPU usage\" option set.\n\n";
  const std::string choose =
      "Choose \"Yes\" to continue loading the session and keep your current settings.  "
      "Otherwise, choose \"No\" and change the sample rate and/or ADAT settings to match "
      "session before loading.";
  struct Case {
    float rate, adat1, adat2;
    std::string question;  // empty: none asked
  } cases[] = {
      {0.125f, 1, 0, "The session you are trying to load was " + adat + choose},
      {0.125f, 0, 1, "The session you are trying to load was " + adat + choose},
      {0.0f, 1, 1,
       "The session you are trying to load was originally saved at 44.1 kHz, but your Velmora "
       "PRO is currently set to 48 kHz.\n\nAlso, the session was " +
           adat + choose},
      {0.125f, 0, 0, ""},
  };
  for (const Case& c : cases) {
    std::vector<float> values(49, 0.0f);
    values[param::kSampleRate] = c.rate;
    values[param::kEnableAdat1] = c.adat1;
    values[param::kEnableAdat2] = c.adat2;
    ui.shown.clear();
    host->applyLoadedParameters(values);
    EXPECT_EQ(ui.shown, c.question.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{"question: " + c.question});
  }
}

// A file built word by word: the header, then chunks of (id, values), with both checksums
// right unless a case spoils them afterwards.
struct MixWords {
  std::vector<uint32_t> words{102, 1, 0, 0, 0};

  MixWords& chunk(uint32_t id, size_t values) {
    words.at(4) += 1;
    words.insert(words.end(), {id, static_cast<uint32_t>(12 + 4 * values), 0});
    words.insert(words.end(), values, 0x3F000000);  // 0.5f
    return *this;
  }
  // Chunk checksums from their stored lengths, then length and file checksum.
  MixWords& seal() {
    for (size_t at = 5, c = 0; c < words[4] && at + 3 <= words.size(); ++c) {
      const size_t count = std::min<size_t>(words[at + 1] / 4, words.size() - at);
      uint32_t sum = 0;
      for (size_t i = 0; i < count; ++i) sum += i == 2 ? 0 : words[at + i];
      words[at + 2] = sum;
      at += count;
    }
    return sealFile();
  }
  MixWords& sealFile() {
    words[2] = static_cast<uint32_t>(4 * words.size());
    words[3] = 0;
    uint32_t sum = 0;
    for (uint32_t w : words) sum += w;
    words[3] = sum;
    return *this;
  }
  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> out(4 * words.size());
    for (size_t i = 0; i < words.size(); ++i) pv::storeLe32(out.data() + 4 * i, words[i]);
    return out;
  }
};

TEST(MixFileChunks, EachChunkIsCheckedAndTheFirstHoldsTheValues) {
  struct Case {
    const char* name;
    MixWords file;
    MixFileCheck check;
    size_t values;
  };
  auto spoil = [](MixWords file, size_t word, uint32_t value, bool resealChunks) {
    file.words.at(word) = value;
    return resealChunks ? file.seal() : file.sealFile();
  };
  const MixWords one = MixWords().chunk(0, 181).seal();
  const Case cases[] = {
      {"one chunk", one, MixFileCheck::Ok, 181},
      {"no chunk", spoil(MixWords().chunk(0, 0).seal(), 4, 0, false), MixFileCheck::Ok, 0},
      {"a chunk without values", MixWords().chunk(0, 0).seal(), MixFileCheck::Ok, 0},
      {"two chunks", MixWords().chunk(0, 181).chunk(0, 3).seal(), MixFileCheck::Ok, 181},
      {"chunk id 1", spoil(one, 5, 1, true), MixFileCheck::Corrupt, 0},
      {"chunk longer than the parameters", MixWords().chunk(0, 182).seal(), MixFileCheck::Corrupt,
       0},
      {"chunk past the end", spoil(one, 6, 12 + 4 * 182, true), MixFileCheck::Corrupt, 0},
      {"chunk shorter than its header", spoil(one, 6, 8, true), MixFileCheck::Corrupt, 0},
      {"chunk length not whole words", spoil(one, 6, 735, true), MixFileCheck::Corrupt, 0},
      {"bad chunk checksum, good file checksum", spoil(one, 7, one.words[7] + 1, false),
       MixFileCheck::Corrupt, 0},
      {"second chunk missing", spoil(one, 4, 2, false), MixFileCheck::Corrupt, 0},
      {"second chunk corrupt",
       spoil(MixWords().chunk(0, 181).chunk(0, 3).seal(), 5 + 184 + 2, 7, false),
       MixFileCheck::Corrupt, 0},
  };
  for (const Case& c : cases) {
    const DecodedMixFile decoded = DecodeMixFile(c.file.bytes(), 181);
    EXPECT_EQ(decoded.check, c.check) << c.name;
    EXPECT_EQ(decoded.values.size(), c.values) << c.name;
  }
}

TEST_F(MixFileTest, DefaultFileNamesFollowTheUnitId) {
  EXPECT_EQ(defaultMixFilePath(0x00012345, 0x7A139400), folder / "VelmoraProDefault.9029.vmpro");
  EXPECT_EQ(defaultMixFilePath(0x00000007, 0), folder / "VelmoraProDefault.0007.vmpro");
  EXPECT_EQ(defaultMixFilePath(0xFFFFFFFF, 0xFFFFFFFF), folder / "VelmoraProDefault.vmpro");
}

TEST_F(MixFileTest, ChangingUnitsKeepsEachUnitsDefaultMix) {
  const uint32_t second = bus->plug(simbus::UnitSpec{simbus::Model::Studio, 0x00000042}).value();
  hal().OnMSWDeviceChange();
  plugin.setNormalised(param::kAnalogueLevel, 0.9f);
  host->changeUnit(1);
  EXPECT_EQ(hal().CurrentSerial().low, second);
  EXPECT_TRUE(hal().IsOpen());
  std::ifstream saved(folder / "VelmoraProDefault.9029.vmpro", std::ios::binary);
  EXPECT_TRUE(saved.good());
  plugin.setNormalised(param::kAnalogueLevel, 0.1f);
  host->changeUnit(0);
  EXPECT_EQ(value(param::kAnalogueLevel), 0.9f);  // the first unit's mix came back
  EXPECT_EQ(std::count(ui.shown.begin(), ui.shown.end(), "status: Changing unit, please wait..."),
            2);
}

}  // namespace
}  // namespace velmora::test
