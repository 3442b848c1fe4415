// The param and mix verbs of velmoractl end to end: what they print, what they send to the
// unit, and that the unit's default mix file and flash are only written by a change that
// went through.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli_fixture.h"
#include "control_panel/hal/unit_coefficients.h"
#include "control_panel/mixer/mix_file_format.h"
#include "tests/support/png_pixels.h"
#include "tests/support/scratch.h"

namespace velmoractl::test {
namespace {

namespace coeff = velmora::coeff;

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Nobody at a terminal: questions stay unanswered however the tests are started.
class NoTerminal {
 public:
  NoTerminal() : saved_(::dup(STDIN_FILENO)) {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
  }
  ~NoTerminal() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

class MixerCommandsTest : public CliFixture {
 protected:
  NoTerminal noTerminal;
  platform::test::ScratchFolder folder;
  platform::test::ScopedEnv dataHome{"XDG_DATA_HOME", folder.path()};
  uint32_t serial = bus->plug({simbus::Model::Studio, 300}).value();
  std::string defaultFile = velmora::defaultMixFilePath(serial, 0);

  void SetUp() override {
    // The user's mix, saved at 48 kHz: input 1 at 0.8.
    const Outcome r = run(paramSetCommand, {"Input 1 Mix Level", "0.8"});
    ASSERT_EQ(r.code, 0) << r.err;
    saved = readBytes(defaultFile);
    ASSERT_EQ(saved.size(), 756u);
  }

  // The unit's coefficient writes from the `from`-th on, without the open's own (the
  // transport probe putting coefficient 0 back, the "opened" word).
  std::vector<std::pair<uint32_t, uint32_t>> writesSince(size_t from) {
    const auto all = bus->coefficientWrites(serial);
    const uint32_t first = bus->peek(serial, 0).value();
    std::vector<std::pair<uint32_t, uint32_t>> result;
    for (size_t i = from; i < all.size(); ++i) {
      const bool probe = all[i].first == 0 && all[i].second == first;
      if (!probe && all[i].first != coeff::COEFF_OPENED) result.push_back(all[i]);
    }
    return result;
  }
  size_t writeCount() { return bus->coefficientWrites(serial).size(); }
  size_t flashStores(size_t from) {
    size_t count = 0;
    for (const auto& [index, value] : writesSince(from)) count += index == coeff::COEFF_SAVE_TO_CNE;
    return count;
  }
  float savedValue(const std::vector<uint8_t>& bytes, int id) {
    const auto decoded = velmora::DecodeMixFile(bytes, 181);
    return decoded.values.at(static_cast<size_t>(id));
  }

  std::vector<uint8_t> saved;
};

TEST_F(MixerCommandsTest, ReadOnlyVerbsWriteNothingEvenAtAnotherRate) {
  ASSERT_EQ(run(rateCommand, {"96000"}).code, 0);
  const struct {
    const char* name;
    int (*verb)(Args);
    Args args;
  } verbs[] = {
      {"param get", paramGetCommand, {"Input 1 Mix Level"}},
      {"param list", paramListCommand, {"--json"}},
      {"status", statusCommand, {}},
      {"name", nameCommand, {}},
      {"coeff get", coeffGetCommand, {"62"}},
      {"units", unitsCommand, {}},
      {"panel render", panelRenderCommand, {folder / "panel.png"}},
  };
  for (const auto& v : verbs) {
    const size_t before = writeCount();
    const Outcome r = run(v.verb, v.args);
    EXPECT_EQ(r.code, 0) << v.name << ": " << r.err;
    EXPECT_EQ(writesSince(before), (std::vector<std::pair<uint32_t, uint32_t>>{})) << v.name;
    EXPECT_EQ(readBytes(defaultFile), saved) << v.name;
  }
  // The user's mix is what a reading verb shows.
  EXPECT_TRUE(Has(run(paramGetCommand, {"62"}).out, "62 Input 1 Mix Level: normalised 0.8"));
}

TEST_F(MixerCommandsTest, ParamGetShowsTheTextThePanelShows) {
  // Input 1 at 0.8 is a gain of 0.8: 20 log10(0.8) = -1.94 dB; its pan at the centre.
  const struct {
    const char* parameter;
    const char* text;
  } cases[] = {{"62", "\"-1.9 dB\""}, {"70", "\"C\""}, {"104", "\"Off\""}, {"41", "\"48 kHz\""}};
  for (const auto& c : cases) {
    const Outcome r = run(paramGetCommand, {c.parameter});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, c.text)) << r.out;
  }
}

TEST_F(MixerCommandsTest, PanelRenderDrawsTheLayoutOfTheUnitsRateAndWritesNothing) {
  const struct {
    const char* rate;
    Args options;
    const char* layout;
  } cases[] = {
      {"48000", {}, "the normal layout"},
      {"48000", {"--layout", "lost"}, "the lost layout"},
      {"192000", {}, "the ac3 layout"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(run(rateCommand, {c.rate}).code, 0);
    Args args = c.options;
    args.push_back(folder / "panel.png");
    const size_t before = writeCount();
    const Outcome r = run(panelRenderCommand, args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, c.layout)) << r.out;
    EXPECT_EQ(writesSince(before), (std::vector<std::pair<uint32_t, uint32_t>>{})) << c.rate;
    EXPECT_EQ(readBytes(defaultFile), saved);
    EXPECT_TRUE(std::filesystem::file_size(folder / "panel.png") > 1000);
  }
  EXPECT_EQ(run(panelRenderCommand, {"--layout", "tiny", folder / "x.png"}).code, 2);
  EXPECT_EQ(run(panelRenderCommand, {}).code, 2);
}

// The width and height in a PNG file's header.
std::pair<uint32_t, uint32_t> pngSize(const std::string& path) {
  const std::vector<uint8_t> bytes = readBytes(path);
  if (bytes.size() < 24) return {0, 0};
  auto word = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4; ++i) value = value << 8 | bytes[i];
    return value;
  };
  return {word(16), word(20)};
}

TEST_F(MixerCommandsTest, PanelRenderZoomsByWholePixelsAndRefusesOtherZooms) {
  ASSERT_EQ(run(panelRenderCommand, {folder / "one.png"}).code, 0);
  const auto [width, height] = pngSize(folder / "one.png");
  for (const int zoom : {2, 3}) {
    const Outcome r = run(panelRenderCommand, {"--zoom", std::to_string(zoom), folder / "z.png"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pngSize(folder / "z.png"), std::make_pair(width * zoom, height * zoom));
  }
  for (const char* bad : {"0", "4", "x"}) {
    const Outcome r = run(panelRenderCommand, {"--zoom", bad, folder / "bad.png"});
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_TRUE(Has(r.err, "--zoom takes 1, 2 or 3")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "bad.png"));
  }
}

// ×3 is the ×1 picture with every pixel a 3 × 3 square; ×2 is drawn with the ×2 skin, so it is
// not the ×1 picture doubled: some 2 × 2 squares hold more than one colour (a doubled picture
// has none).
TEST_F(MixerCommandsTest, PanelRenderAtThreeRepeatsTheSkinAndAtTwoDrawsTheDoubleSkin) {
  for (const char* zoom : {"1", "2", "3"}) {
    ASSERT_EQ(run(panelRenderCommand, {"--zoom", zoom, folder / (std::string(zoom) + ".png")}).code,
              0);
  }
  int width = 0, height = 0, w2 = 0, h2 = 0, w3 = 0, h3 = 0;
  const std::vector<uint32_t> one = velmora::test::readPng(folder / "1.png", width, height);
  const std::vector<uint32_t> two = velmora::test::readPng(folder / "2.png", w2, h2);
  const std::vector<uint32_t> three = velmora::test::readPng(folder / "3.png", w3, h3);
  ASSERT_EQ(width, 704);
  ASSERT_EQ(height, 394);
  ASSERT_EQ(w2, 1408);
  ASSERT_EQ(w3, 2112);
  int unlike = 0;
  for (int y = 0; y < h3; ++y) {
    for (int x = 0; x < w3; ++x) unlike += three[y * w3 + x] != one[y / 3 * width + x / 3];
  }
  EXPECT_EQ(unlike, 0) << "pixels of x3 that are not their x1 pixel";
  int mixedSquares = 0;
  for (int y = 0; y < h2; y += 2) {
    for (int x = 0; x < w2; x += 2) {
      const uint32_t corner = two[y * w2 + x];
      mixedSquares += two[y * w2 + x + 1] != corner || two[(y + 1) * w2 + x] != corner ||
                      two[(y + 1) * w2 + x + 1] != corner;
    }
  }
  EXPECT_GT(mixedSquares, 10000) << "x2 looks like x1 doubled";
}

// What a changing verb did: its outcome, the default mix file afterwards, the unit's writes.
struct Change {
  const char* name;
  Args args;
  int code;
  std::string message;  // part of standard error
};

TEST_F(MixerCommandsTest, AChangeOnTopOfAMixOfAnotherRateNeedsAnAnswer) {
  ASSERT_EQ(run(rateCommand, {"96000"}).code, 0);
  const Change cases[] = {
      {"unanswered",
       {"Input 2 Mix Level", "0.3"},
       1,
       "originally saved at 48 kHz, but your Velmora PRO is currently set to 96 kHz."},
      {"declined", {"Input 2 Mix Level", "0.3", "--no"}, 1, "was declined, so nothing was changed"},
      {"accepted", {"Input 2 Mix Level", "0.3", "--yes"}, 0, ""},
  };
  for (const Change& c : cases) {
    const size_t before = writeCount();
    const Outcome r = run(paramSetCommand, c.args);
    EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
    EXPECT_TRUE(Has(r.err, c.message)) << c.name << ": " << r.err;
    if (c.code != 0) {
      EXPECT_TRUE(Has(r.err,
                      "answer with --yes or --no, or set the unit to the mix's sample "
                      "rate first"))
          << r.err;
      EXPECT_EQ(writesSince(before), (std::vector<std::pair<uint32_t, uint32_t>>{})) << c.name;
      EXPECT_EQ(readBytes(defaultFile), saved) << c.name;
    } else {
      const auto now = readBytes(defaultFile);
      EXPECT_EQ(savedValue(now, 62), 0.8f);  // the user's mix kept
      EXPECT_EQ(savedValue(now, 63), 0.3f);  // and the change made on top of it
      EXPECT_EQ(flashStores(before), 1u);
      EXPECT_FALSE(writesSince(before).empty());
    }
  }
  EXPECT_EQ(run(paramSetCommand, {"62", "1", "--yes", "--no"}).code, 2);
}

TEST_F(MixerCommandsTest, MixSaveCopiesTheUserMixAndStoresTheFlashOnce) {
  ASSERT_EQ(run(rateCommand, {"96000"}).code, 0);
  const size_t before = writeCount();
  const Outcome r = run(mixSaveCommand, {folder / "Copy.vmpro"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(savedValue(readBytes(folder / "Copy.vmpro"), 62), 0.8f);
  EXPECT_EQ(readBytes(defaultFile), saved);
  EXPECT_EQ(writesSince(before),
            (std::vector<std::pair<uint32_t, uint32_t>>{{coeff::COEFF_SAVE_TO_CNE, 0}}));
  // A file that cannot be written stores nothing either.
  const size_t again = writeCount();
  EXPECT_EQ(run(mixSaveCommand, {folder / "missing/Copy.vmpro"}).code, 1);
  EXPECT_EQ(writesSince(again), (std::vector<std::pair<uint32_t, uint32_t>>{}));
}

TEST_F(MixerCommandsTest, MixLoadAnswersTheQuestionsOfItsFile) {
  std::vector<float> values = velmora::DecodeMixFile(saved, 181).values;
  values[63] = 0.6f;  // saved at 48 kHz, like the default mix
  const auto mix = velmora::EncodeMixFile(values);
  std::ofstream(folder / "Other.vmpro", std::ios::binary)
      .write(reinterpret_cast<const char*>(mix.data()), static_cast<std::streamsize>(mix.size()));
  auto corrupt = mix;
  corrupt[40] ^= 1;
  std::ofstream(folder / "Corrupt.vmpro", std::ios::binary)
      .write(reinterpret_cast<const char*>(corrupt.data()),
             static_cast<std::streamsize>(corrupt.size()));
  std::filesystem::create_directory(folder / "Folder.vmpro");
  ASSERT_EQ(run(rateCommand, {"96000"}).code, 0);

  const std::string other = folder / "Other.vmpro";
  const Change cases[] = {
      {"unanswered", {other}, 1, "answer with --yes or --no"},
      {"declined", {other, "--no"}, 1, "the mix file " + other + " was declined"},
      {"missing", {folder / "Missing.vmpro", "--yes"}, 1, "cannot read"},
      {"folder", {folder / "Folder.vmpro", "--yes"}, 1, "cannot read"},
      {"corrupt", {folder / "Corrupt.vmpro", "--yes"}, 1, "This file is corrupt."},
      {"accepted", {other, "--yes"}, 0, ""},
  };
  for (const Change& c : cases) {
    const size_t before = writeCount();
    const Outcome r = run(mixLoadCommand, c.args);
    EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err;
    EXPECT_TRUE(Has(r.err, c.message)) << c.name << ": " << r.err;
    if (c.code != 0) {
      EXPECT_EQ(writesSince(before), (std::vector<std::pair<uint32_t, uint32_t>>{})) << c.name;
      EXPECT_EQ(readBytes(defaultFile), saved) << c.name;
    } else {
      EXPECT_EQ(savedValue(readBytes(defaultFile), 63), 0.6f);
      EXPECT_EQ(flashStores(before), 1u);
    }
  }
  EXPECT_TRUE(Has(run(paramGetCommand, {"63"}).out, "normalised 0.6"));
  EXPECT_EQ(bus->driver().sampleRate, 96000u);  // loading never changes the rate
  EXPECT_EQ(run(mixLoadCommand, {other, "--yes", "--no"}).code, 2);
}

TEST_F(MixerCommandsTest, ADamagedDefaultMixIsNeitherUsedNorOverwrittenByAChange) {
  auto damaged = saved;
  damaged[100] ^= 1;
  std::ofstream(defaultFile, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(damaged.data()),
             static_cast<std::streamsize>(damaged.size()));
  const Outcome r = run(paramSetCommand, {"62", "0.1", "--yes"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "cannot be used: This file is corrupt.")) << r.err;
  EXPECT_EQ(run(paramGetCommand, {"62"}).code, 1);
  EXPECT_EQ(run(mixSaveCommand, {folder / "Copy.vmpro"}).code, 1);
  EXPECT_EQ(readBytes(defaultFile), damaged);
  // Loading a mix file replaces it on purpose.
  std::ofstream(folder / "Good.vmpro", std::ios::binary)
      .write(reinterpret_cast<const char*>(saved.data()),
             static_cast<std::streamsize>(saved.size()));
  EXPECT_EQ(run(mixLoadCommand, {folder / "Good.vmpro"}).code, 0);
  EXPECT_EQ(savedValue(readBytes(defaultFile), 62), 0.8f);
}

}  // namespace
}  // namespace velmoractl::test
