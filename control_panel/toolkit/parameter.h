// One value of the plug-in: stored normalised (0…1), shown and edited in real units through a
// conversion law, and as text through a display format.
//
// A Parameter is built from a compiled-in ParameterDescriptor and lives as long as the Plugin
// that owns it. Everything runs on the user-interface thread.
//
// Parameter: one value the user can see or set.
// ParameterDescriptor: the compiled-in table row a Parameter is built from.
#pragma once

#include <cstdint>

namespace velmora {

// Conversion laws between normalised and real values (ParameterDescriptor::law). Any other
// value is the identity law.
enum : int32_t {
  LAW_LINEAR = 0,
  LAW_LOG = 1,
  LAW_LOG2 = 2,
  LAW_LOG10 = 3,
  LAW_EXP = 4,
  LAW_EXP2 = 5,
  LAW_EXP10 = 6,
  LAW_STEPPED = 7,
  LAW_CUSTOM = 8,
};

// Display formats (ParameterDescriptor::format). Negative values and values above
// FORMAT_CUSTOM show nothing.
enum : int32_t {
  FORMAT_NONE = 0,
  FORMAT_TIME = 1,
  FORMAT_SECONDS = 2,
  FORMAT_MILLISECONDS = 3,
  FORMAT_MICROSECONDS = 4,
  FORMAT_BPM = 5,
  FORMAT_DB = 6,
  FORMAT_VOLTS = 7,
  FORMAT_AMPS = 8,
  FORMAT_WATTS = 9,
  FORMAT_OHMS = 10,
  FORMAT_FREQUENCY = 11,
  FORMAT_HZ = 12,
  FORMAT_KHZ = 13,
  FORMAT_ON_OFF = 14,
  FORMAT_PERCENT = 15,
  FORMAT_RATIO = 16,
  FORMAT_CUSTOM = 17,
};

// A read-only row of a parameter table; a parameter set is built from a contiguous array of
// them. Fields in table order, so tables are written as {id, "name", min, max, default,
// format, law}.
struct ParameterDescriptor {
  int32_t id;
  char name[64];  // NUL-terminated, may be empty
  float min;
  float max;
  float defaultValue;
  int32_t format;
  int32_t law;
};

// Size of the buffer a number is printed into: formatNumber() writes at most this many bytes
// (terminator included) whatever its capacity argument says.
inline constexpr int kNumberTextSize = 64;
// Size of the buffer a unit is printed into.
inline constexpr int kUnitTextSize = 32;

class Parameter {
 public:
  // Copies the descriptor and sets the value to its default.
  explicit Parameter(const ParameterDescriptor& descriptor);
  virtual ~Parameter() = default;
  Parameter(const Parameter&) = delete;
  Parameter& operator=(const Parameter&) = delete;

  // Extension points of the custom law and the custom format; the toolkit never overrides them.
  virtual void prepareCustomLaw() {}
  virtual void parseCustom(const char* /*text*/, int /*length*/) {}
  virtual int formatUnitCustom(float* /*real*/, float* /*normalised*/, char* /*out*/,
                               int /*capacity*/) {
    return 0;
  }
  virtual int formatNumberCustom(float /*real*/, float /*normalised*/, char* /*out*/,
                                 int /*capacity*/) {
    return 0;
  }
  virtual float toRealCustom(float /*normalised*/) { return 0.0f; }
  virtual float toNormalisedCustom(float /*real*/) { return 0.0f; }

  // Stores toNormalised(real).
  virtual void setReal(float real);
  virtual float getReal();
  // Reads a value typed by the user (engineering notation, or Off/On). `length` counts the
  // characters of `text` that may be read.
  virtual void setText(const char* text, int length);
  // The value as text: number, a space and the unit, shortened to fit `capacity` characters.
  // `out` must hold capacity + 1 bytes. Returns the length written.
  virtual int formatValue(float real, float normalised, char* out, int capacity);
  // formatValue() of the present value.
  virtual int getText(char* out, int capacity);
  // The number alone; `out` must hold kNumberTextSize bytes. Returns the printed length,
  // which may exceed `capacity` when even the shortest form does not fit.
  virtual int formatNumber(float real, float normalised, char* out, int capacity);
  // The unit alone, written only when it fits `capacity`; auto-ranged units rescale *real
  // when written. `out` must hold kUnitTextSize bytes. Returns the unit's length or 0.
  virtual int formatUnit(float* real, float* normalised, char* out, int capacity);
  virtual float toNormalised(float real);
  virtual float toReal(float normalised);

  // The stored value, as given: whoever stores it clamps first.
  float getNormalised() const { return normalised_; }
  void setNormalised(float value) { normalised_ = value; }

  int32_t getId() const { return id_; }
  int32_t getLaw() const { return law_; }
  int32_t getFormat() const { return format_; }
  const char* getName() const { return name_; }
  float getMin() const { return min_; }
  float getMax() const { return max_; }
  float getDefault() const { return default_; }
  // The stepped law's step count S, a power of two (1 for other laws).
  int32_t getStepCount() const { return steps_; }

  // Reads a number in engineering notation ("4k7", "-1.5k", "2M2"); text without digits
  // gives 0. Reading stops at the first space or control character after the number starts.
  static float parseNumber(const char* text, int length);

 private:
  void prepareLaw();
  float clampReal(float real) const;

  int32_t id_;
  int32_t law_;
  int32_t format_;
  char name_[64];
  float min_;
  float logLow_ = 0, logHigh_ = 0;      // ln, log2 or log10 of min and max
  float expLow_ = 0, expHigh_ = 0;      // e^min, e^max
  float exp2Low_ = 0, exp2High_ = 0;    // 2^min, 2^max
  float exp10Low_ = 0, exp10High_ = 0;  // 10^min, 10^max
  float invLn2_ = 0;                    // 1/ln 2
  float max_;
  float default_;
  int32_t steps_ = 1;
  float normalised_ = 0;
};

}  // namespace velmora
