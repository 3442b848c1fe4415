#include "control_panel/toolkit/parameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace velmora {
namespace {

constexpr int32_t kIdentity = 42;  // not a law: both conversions return their argument

ParameterDescriptor descriptor(float min, float max, float def, int32_t format, int32_t law) {
  return ParameterDescriptor{0, "p", min, max, def, format, law};
}

struct LawCase {
  const char* what;
  int32_t law;
  float min, max;
  float real;        // converted with toNormalised
  float normalised;  // expected, and converted back with toReal
  float back;        // expected toReal(normalised)
};

class LawTest : public ::testing::TestWithParam<LawCase> {};

TEST_P(LawTest, ConvertsBothWays) {
  const LawCase& c = GetParam();
  Parameter p(descriptor(c.min, c.max, c.min, FORMAT_NONE, c.law));
  EXPECT_NEAR(p.toNormalised(c.real), c.normalised, 1e-6) << c.what;
  EXPECT_NEAR(p.toReal(c.normalised), c.back, 1e-4 * std::max(1.0f, std::fabs(c.back))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Laws, LawTest,
    ::testing::Values(
        LawCase{"linear", LAW_LINEAR, 0, 10, 2.5f, 0.25f, 2.5f},
        LawCase{"linear clamps", LAW_LINEAR, 0, 10, 20, 1, 10},
        LawCase{"linear degenerate", LAW_LINEAR, 3, 3, 7, 1, 3},
        LawCase{"log", LAW_LOG, 1, 100, 10, 0.5f, 10}, LawCase{"log2", LAW_LOG2, 1, 16, 4, 0.5f, 4},
        LawCase{"log10", LAW_LOG10, 1, 1000, 10, 1.0f / 3, 10},
        LawCase{"log degenerate", LAW_LOG10, 5, 5, 5, 1, 5},
        LawCase{"exp", LAW_EXP, 0, 1, 0.5f, (std::exp(0.5f) - 1) / (std::exp(1.0f) - 1), 0.5f},
        LawCase{"exp2", LAW_EXP2, 0, 4, 2, 0.2f, 2},
        LawCase{"exp10", LAW_EXP10, 0, 2, 1, 9.0f / 99, 1},
        LawCase{"exp degenerate", LAW_EXP2, 1, 1, 0, 1, 1},
        LawCase{"stepped 1..6", LAW_STEPPED, 1, 6, 2, 0.125f, 2},
        LawCase{"stepped clamps the normalised value", LAW_STEPPED, 1, 6, 6, 0.625f, 6},
        LawCase{"identity", kIdentity, 0, 1, 5, 5, 5}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ParameterStepped, RangeOfOneIsOneStep) {
  Parameter p(descriptor(0, 1, 0, FORMAT_ON_OFF, LAW_STEPPED));
  EXPECT_EQ(p.getStepCount(), 1);
  p.setReal(1);
  EXPECT_EQ(p.getNormalised(), 1.0f);
  p.setReal(0.7f);
  EXPECT_FLOAT_EQ(p.getNormalised(), 0.7f);
  EXPECT_EQ(p.getReal(), 0.0f);
}

TEST(ParameterStepped, ToRealRunsPastMax) {
  Parameter p(descriptor(1, 6, 2, FORMAT_NONE, LAW_STEPPED));
  EXPECT_EQ(p.getStepCount(), 8);
  EXPECT_EQ(p.getNormalised(), 0.125f);
  EXPECT_EQ(p.toReal(0.999f), 8.0f);
  EXPECT_EQ(p.toReal(1.0f), 9.0f);
  EXPECT_EQ(p.toReal(5.0f), 9.0f);  // normalised clamped to 1 first
}

TEST(ParameterStepped, StepCountIsThePowerOfTwoNotBelowTheRange) {
  const struct {
    float max;
    int32_t steps;
  } cases[] = {{0.5f, 1}, {2, 2}, {3, 4}, {4, 4}, {4.9f, 4}, {5, 8}, {180, 256}};
  for (const auto& c : cases) {
    EXPECT_EQ(Parameter(descriptor(0, c.max, 0, FORMAT_NONE, LAW_STEPPED)).getStepCount(), c.steps)
        << c.max;
  }
}

TEST(Parameter, CopiesTheDescriptorAndStartsAtTheDefault) {
  const ParameterDescriptor d{7, "Output 1 Level", -2, 2, 1, FORMAT_DB, LAW_LINEAR};
  Parameter p(d);
  EXPECT_EQ(p.getId(), 7);
  EXPECT_STREQ(p.getName(), "Output 1 Level");
  EXPECT_EQ(p.getFormat(), FORMAT_DB);
  EXPECT_EQ(p.getLaw(), LAW_LINEAR);
  EXPECT_EQ(p.getMin(), -2.0f);
  EXPECT_EQ(p.getMax(), 2.0f);
  EXPECT_EQ(p.getDefault(), 1.0f);
  EXPECT_EQ(p.getNormalised(), 0.75f);
  EXPECT_EQ(p.getReal(), 1.0f);
}

struct FormatCase {
  int32_t format;
  float real;
  int capacity;
  const char* text;
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FormatsTheValue) {
  const FormatCase& c = GetParam();
  Parameter p(descriptor(0, 1, 0, c.format, kIdentity));
  char out[300];
  std::memset(out, 'x', sizeof out);
  const int length = p.formatValue(c.real, 0, out, c.capacity);
  EXPECT_STREQ(out, c.text) << "format " << c.format << " value " << c.real;
  EXPECT_EQ(length, static_cast<int>(std::strlen(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatTest,
    ::testing::Values(
        FormatCase{FORMAT_NONE, 1.5f, 256, "1.500"}, FormatCase{FORMAT_TIME, 0.25f, 256, "0.250 s"},
        FormatCase{FORMAT_TIME, 0.0005f, 256, "0.500 ms"},
        FormatCase{FORMAT_TIME, 0.0000005f, 256, "0.500 us"},
        FormatCase{FORMAT_SECONDS, 2, 256, "2.000 s"},
        FormatCase{FORMAT_MILLISECONDS, 2, 256, "2.000 ms"},
        FormatCase{FORMAT_MICROSECONDS, 2, 256, "2.000 us"},
        FormatCase{FORMAT_BPM, 120, 256, "120.000 BPM"},
        FormatCase{FORMAT_DB, 0.5f, 256, "0.500 dB"}, FormatCase{FORMAT_VOLTS, 1, 256, "1.000 V"},
        FormatCase{FORMAT_AMPS, 1, 256, "1.000 A"}, FormatCase{FORMAT_WATTS, 1, 256, "1.000 W"},
        FormatCase{FORMAT_OHMS, 1, 256, "1.000 Ohm"},
        FormatCase{FORMAT_FREQUENCY, 1000, 256, "1000.000 Hz"},
        FormatCase{FORMAT_FREQUENCY, 1500, 256, "1.500 KHz"},
        FormatCase{FORMAT_HZ, 50, 256, "50.000 Hz"}, FormatCase{FORMAT_KHZ, 48, 256, "48.000 KHz"},
        FormatCase{FORMAT_ON_OFF, 0, 256, "Off"}, FormatCase{FORMAT_ON_OFF, 0.25f, 256, "On"},
        FormatCase{FORMAT_PERCENT, 50, 256, "50.000 %"},
        FormatCase{FORMAT_RATIO, 0.75f, 256, "4.0:1"},
        FormatCase{FORMAT_RATIO, 0.999f, 256, "OO:1"}, FormatCase{FORMAT_RATIO, 1, 256, "OO:1"},
        FormatCase{FORMAT_RATIO, 0.96f, 4, "25:1"}, FormatCase{FORMAT_RATIO, 0.96f, 2, "25"},
        FormatCase{FORMAT_CUSTOM, 1, 256, ""},  // the base custom format says nothing
        FormatCase{-1, 1, 256, ""}, FormatCase{18, 1, 256, ""},
        // Capacity: the unit is kept as long as the number can shrink beside it.
        FormatCase{FORMAT_DB, 123.456f, 10, "123.456 dB"},
        FormatCase{FORMAT_DB, 123.456f, 9, "123.456dB"},
        FormatCase{FORMAT_DB, 123.456f, 8, "123.46dB"},
        FormatCase{FORMAT_DB, 123.456f, 7, "123.5dB"}, FormatCase{FORMAT_DB, 123.456f, 6, "123 dB"},
        FormatCase{FORMAT_DB, 123.456f, 5, "123dB"}, FormatCase{FORMAT_DB, 123.456f, 3, "123"},
        FormatCase{FORMAT_DB, 123.456f, 2, ""}, FormatCase{FORMAT_NONE, 123.456f, 0, ""}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ParameterFormatUnit, WritesOnlyWhatFitsAndRescalesOnlyThen) {
  const struct {
    int32_t format;
    float real;
    int capacity;
    const char* unit;
    float after;
  } cases[] = {
      {FORMAT_PERCENT, 5, 1, "", 5},  // the percent sign asks for two
      {FORMAT_PERCENT, 5, 2, "%", 5},
      {FORMAT_TIME, 0.0005f, 1, "", 0.0005f},  // not written, not rescaled
      {FORMAT_TIME, 0.0005f, 2, "ms", 0.5f},
      {FORMAT_FREQUENCY, 2000, 2, "", 2000},
      {FORMAT_FREQUENCY, 2000, 3, "KHz", 2},
      {FORMAT_OHMS, 1, 2, "", 1},
  };
  for (const auto& c : cases) {
    Parameter p(descriptor(0, 1, 0, c.format, kIdentity));
    char out[kUnitTextSize] = {};
    float real = c.real, normalised = 0;
    EXPECT_EQ(p.formatUnit(&real, &normalised, out, c.capacity),
              static_cast<int>(std::strlen(c.unit)));
    EXPECT_STREQ(out, c.unit);
    EXPECT_FLOAT_EQ(real, c.after);
  }
}

// A parameter with its own format: "N furlongs".
class FurlongParameter : public Parameter {
 public:
  using Parameter::Parameter;
  int formatUnitCustom(float*, float*, char* out, int) override {
    std::strcpy(out, "furlongs");
    return 8;
  }
  int formatNumberCustom(float real, float, char* out, int) override {
    return std::snprintf(out, kNumberTextSize, "%d", static_cast<int>(real));
  }
  void parseCustom(const char* text, int) override { setReal(text[0] == 'x' ? 1.0f : 0.0f); }
};

TEST(ParameterFormat, CustomFormatUsesTheExtensionPoints) {
  FurlongParameter p(descriptor(0, 10, 0, FORMAT_CUSTOM, LAW_LINEAR));
  char out[64];
  p.formatValue(7, 0.7f, out, 63);
  EXPECT_STREQ(out, "7 furlongs");
  p.setText("x", 1);
  EXPECT_EQ(p.getReal(), 1.0f);
}

TEST(ParameterFormat, GetTextFormatsThePresentValue) {
  Parameter p(descriptor(-10, 10, 0, FORMAT_DB, LAW_LINEAR));
  p.setNormalised(0.75f);
  char out[32];
  EXPECT_EQ(p.getText(out, 31), 8);
  EXPECT_STREQ(out, "5.000 dB");
}

struct SetTextCase {
  const char* text;
  float expected;  // normalised after, starting from 0.5
};

TEST(ParameterSetText, OnOffReadsFirstCharacters) {
  const SetTextCase cases[] = {
      {"off", 0},    {"OFF", 0}, {"On", 1},  {"x", 1},   {"0", 0},         {"", 1},
      {"xyz", 0.5f}, {"0ff", 0}, {"7up", 1}, {"oxx", 1}, {"Of course", 0},
  };
  for (const auto& c : cases) {
    Parameter p(descriptor(0, 1, 0, FORMAT_ON_OFF, LAW_LINEAR));
    p.setNormalised(0.5f);
    p.setText(c.text, static_cast<int>(std::strlen(c.text)));
    EXPECT_EQ(p.getNormalised(), c.expected) << '"' << c.text << '"';
  }
}

TEST(ParameterSetText, NumbersGoThroughTheLaw) {
  Parameter db(descriptor(-10, 10, 0, FORMAT_DB, LAW_LINEAR));
  db.setText(" 5 dB", 5);
  EXPECT_EQ(db.getNormalised(), 0.75f);
  db.setText("-40", 3);  // clamped by the law
  EXPECT_EQ(db.getNormalised(), 0.0f);

  for (int32_t format : {-1, 18}) {
    Parameter silent(descriptor(0, 10, 5, format, LAW_LINEAR));
    silent.setText("1", 1);
    EXPECT_EQ(silent.getNormalised(), 0.5f) << format;
  }
}

TEST(ParameterParseNumber, ReadsEngineeringNotation) {
  const struct {
    const char* text;
    int length;  // -1: the whole text
    float value;
  } cases[] = {
      {"  -1.5k", -1, -1500},
      {"2M2", -1, 2200000},
      {"12 34", -1, 12},
      {"4k7", -1, 4700},
      {"abc", -1, 0},
      {"", -1, 0},
      {"1.5m", -1, 0.0015f},
      {"3n", -1, 3e-9f},
      {"7U", -1, 7e-6f},
      {"5-", -1, -5},
      {"1k2M", -1, 1.2e6f},
      {"123", 2, 12},
      {"\x80\x01 5", -1, 5},
      {"1\x80"
       "2",
       -1, 1},
      {"  7", 1, 0},
      {"0.25", -1, 0.25f},
      {"1.2.3", -1, 1.23f},
  };
  for (const auto& c : cases) {
    const int length = c.length < 0 ? static_cast<int>(std::strlen(c.text)) : c.length;
    EXPECT_NEAR(Parameter::parseNumber(c.text, length), c.value, std::fabs(c.value) * 1e-6 + 1e-12)
        << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace velmora
