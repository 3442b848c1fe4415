#include "control_panel/toolkit/parameter.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace velmora {
namespace {

double clamp01(float n) {
  if (n < 0.0f) return 0.0;
  if (n > 1.0f) return 1.0;
  return n;
}

// Copies a unit into `out` when it fits the capacity; `needed` is the capacity the unit asks
// for (one more than its length for the percent sign).
int putUnit(const char* unit, int needed, char* out, int capacity) {
  if (capacity < needed) return 0;
  const int length = static_cast<int>(std::strlen(unit));
  std::memcpy(out, unit, static_cast<size_t>(length) + 1);
  return length;
}

// Prints with the first format whose text fits `capacity`; the last is used regardless.
int printFitting(char* out, int capacity, float value, const char* const* formats, int count) {
  int length = 0;
  for (int i = 0; i < count; ++i) {
    length = std::snprintf(out, kNumberTextSize, formats[i], static_cast<double>(value));
    if (length <= capacity) break;
  }
  if (length >= kNumberTextSize) length = kNumberTextSize - 1;
  return length;
}

}  // namespace

Parameter::Parameter(const ParameterDescriptor& descriptor)
    : id_(descriptor.id),
      law_(descriptor.law),
      format_(descriptor.format),
      min_(descriptor.min),
      max_(descriptor.max),
      default_(descriptor.defaultValue) {
  std::memset(name_, 0, sizeof name_);
  std::memcpy(name_, descriptor.name, strnlen(descriptor.name, sizeof name_ - 1));
  prepareLaw();
}

void Parameter::prepareLaw() {
  const double lo = min_, hi = max_;
  switch (law_) {
    case LAW_LOG:
      logLow_ = static_cast<float>(std::log(lo));
      logHigh_ = static_cast<float>(std::log(hi));
      break;
    case LAW_LOG2:
      logLow_ = static_cast<float>(std::log(lo) / std::log(2.0));
      logHigh_ = static_cast<float>(std::log(hi) / std::log(2.0));
      break;
    case LAW_LOG10:
      logLow_ = static_cast<float>(std::log10(lo));
      logHigh_ = static_cast<float>(std::log10(hi));
      break;
    case LAW_EXP:
      expLow_ = static_cast<float>(std::exp(lo));
      expHigh_ = static_cast<float>(std::exp(hi));
      break;
    case LAW_EXP2:
      exp2Low_ = static_cast<float>(std::exp2(lo));
      exp2High_ = static_cast<float>(std::exp2(hi));
      invLn2_ = static_cast<float>(1.0 / std::log(2.0));
      break;
    case LAW_EXP10:
      exp10Low_ = static_cast<float>(std::pow(10.0, lo));
      exp10High_ = static_cast<float>(std::pow(10.0, hi));
      break;
    case LAW_STEPPED: {
      // r = trunc(max - min); S = the smallest power of two not below r. Capped so that an
      // absurd range cannot overflow the count.
      const double range = std::trunc(hi - lo);
      steps_ = 1;
      while (steps_ < range && steps_ < (1 << 30)) steps_ *= 2;
      break;
    }
    case LAW_CUSTOM:
      prepareCustomLaw();
      break;
    default:
      break;
  }
  setReal(default_);
}

float Parameter::clampReal(float real) const {
  if (real < min_) return min_;
  if (real > max_) return max_;
  return real;
}

float Parameter::toNormalised(float real) {
  const double x = clampReal(real);
  switch (law_) {
    case LAW_LINEAR:
      if (min_ == max_) return 1.0f;
      return static_cast<float>((x - min_) / (static_cast<double>(max_) - min_));
    case LAW_LOG:
    case LAW_LOG2:
    case LAW_LOG10: {
      if (logLow_ == logHigh_) return 1.0f;
      double f = std::log10(x);
      if (law_ == LAW_LOG) f = std::log(x);
      if (law_ == LAW_LOG2) f = std::log(x) / std::log(2.0);
      return static_cast<float>((f - logLow_) / (static_cast<double>(logHigh_) - logLow_));
    }
    case LAW_EXP:
      if (expLow_ == expHigh_) return 1.0f;
      return static_cast<float>((std::exp(x) - expLow_) /
                                (static_cast<double>(expHigh_) - expLow_));
    case LAW_EXP2:
      if (exp2Low_ == exp2High_) return 1.0f;
      return static_cast<float>((std::exp2(x) - exp2Low_) /
                                (static_cast<double>(exp2High_) - exp2Low_));
    case LAW_EXP10:
      if (exp10Low_ == exp10High_) return 1.0f;
      return static_cast<float>((std::pow(10.0, x) - exp10Low_) /
                                (static_cast<double>(exp10High_) - exp10Low_));
    case LAW_STEPPED:
      return static_cast<float>((x - min_) / steps_);
    case LAW_CUSTOM:
      return toNormalisedCustom(real);
    default:
      return real;
  }
}

float Parameter::toReal(float normalised) {
  const double n = clamp01(normalised);
  switch (law_) {
    case LAW_LINEAR:
      return static_cast<float>(min_ + n * (static_cast<double>(max_) - min_));
    case LAW_LOG:
    case LAW_LOG2:
    case LAW_LOG10: {
      const double y = logLow_ + n * (static_cast<double>(logHigh_) - logLow_);
      if (law_ == LAW_LOG) return static_cast<float>(std::exp(y));
      if (law_ == LAW_LOG2) return static_cast<float>(std::exp2(y));
      return static_cast<float>(std::pow(10.0, y));
    }
    case LAW_EXP:
      return static_cast<float>(std::log(expLow_ + n * (static_cast<double>(expHigh_) - expLow_)));
    case LAW_EXP2:
      return static_cast<float>(
          std::log(exp2Low_ + n * (static_cast<double>(exp2High_) - exp2Low_)) * invLn2_);
    case LAW_EXP10:
      return static_cast<float>(
          std::log10(exp10Low_ + n * (static_cast<double>(exp10High_) - exp10Low_)));
    case LAW_STEPPED:
      // Not limited to max: only values up to (max - min)/S convert back into the range.
      return static_cast<float>(std::trunc(n * steps_ + min_));
    case LAW_CUSTOM:
      return toRealCustom(normalised);
    default:
      return normalised;
  }
}

void Parameter::setReal(float real) {
  normalised_ = toNormalised(real);
}

float Parameter::getReal() {
  return toReal(normalised_);
}

int Parameter::formatNumber(float real, float normalised, char* out, int capacity) {
  if (format_ < 0 || format_ > FORMAT_CUSTOM) {
    out[0] = '\0';
    return 0;
  }
  if (format_ == FORMAT_CUSTOM) return formatNumberCustom(real, normalised, out, capacity);
  if (format_ == FORMAT_ON_OFF) {
    return std::snprintf(out, kNumberTextSize, "%s", real == 0.0f ? "Off" : "On");
  }
  if (format_ == FORMAT_RATIO) {
    if (real == 1.0f) return std::snprintf(out, kNumberTextSize, "OO:1");
    const float ratio = 1.0f / (1.0f - real);
    if (std::fabs(ratio) > 100.0f) return std::snprintf(out, kNumberTextSize, "OO:1");
    static const char* const kRatio[] = {"%2.1f:1", "%2.0f:1", "%2.0f"};
    return printFitting(out, capacity, ratio, kRatio, 3);
  }
  static const char* const kDecimal[] = {"%.3f", "%.2f", "%.1f", "%.0f"};
  return printFitting(out, capacity, real, kDecimal, 4);
}

int Parameter::formatUnit(float* real, float* normalised, char* out, int capacity) {
  switch (format_) {
    case FORMAT_TIME: {
      const char* unit = "s";
      float scale = 1.0f;
      if (*real < 0.000001f) {
        unit = "us";
        scale = 1000000.0f;
      } else if (*real < 0.001f) {
        unit = "ms";
        scale = 1000.0f;
      }
      const int length = putUnit(unit, static_cast<int>(std::strlen(unit)), out, capacity);
      if (length > 0) *real *= scale;
      return length;
    }
    case FORMAT_FREQUENCY: {
      if (*real > 1000.0f) {
        const int length = putUnit("KHz", 3, out, capacity);
        if (length > 0) *real *= 0.001f;
        return length;
      }
      return putUnit("Hz", 2, out, capacity);
    }
    case FORMAT_SECONDS:
      return putUnit("s", 1, out, capacity);
    case FORMAT_MILLISECONDS:
      return putUnit("ms", 2, out, capacity);
    case FORMAT_MICROSECONDS:
      return putUnit("us", 2, out, capacity);
    case FORMAT_BPM:
      return putUnit("BPM", 3, out, capacity);
    case FORMAT_DB:
      return putUnit("dB", 2, out, capacity);
    case FORMAT_VOLTS:
      return putUnit("V", 1, out, capacity);
    case FORMAT_AMPS:
      return putUnit("A", 1, out, capacity);
    case FORMAT_WATTS:
      return putUnit("W", 1, out, capacity);
    case FORMAT_OHMS:
      return putUnit("Ohm", 3, out, capacity);
    case FORMAT_HZ:
      return putUnit("Hz", 2, out, capacity);
    case FORMAT_KHZ:
      return putUnit("KHz", 3, out, capacity);
    case FORMAT_PERCENT:
      return putUnit("%", 2, out, capacity);
    case FORMAT_CUSTOM:
      return formatUnitCustom(real, normalised, out, capacity);
    default:
      return 0;
  }
}

int Parameter::formatValue(float real, float normalised, char* out, int capacity) {
  char unit[kUnitTextSize] = {};
  int u = formatUnit(&real, &normalised, unit, kUnitTextSize);
  if (u < 0 || u >= kUnitTextSize) u = 0;  // a custom unit that broke the rules
  unit[u] = '\0';
  char number[kNumberTextSize] = {};
  int m = formatNumber(real, normalised, number, capacity - u);
  if (m < 0 || m >= kNumberTextSize) m = 0;
  number[m] = '\0';

  if (capacity < 0) return 0;
  if (u > 0 && u + m + 1 <= capacity) {
    return std::snprintf(out, static_cast<size_t>(capacity) + 1, "%s %s", number, unit);
  }
  if (u > 0 && u + m <= capacity) {
    return std::snprintf(out, static_cast<size_t>(capacity) + 1, "%s%s", number, unit);
  }
  if (m <= capacity) {
    std::memcpy(out, number, static_cast<size_t>(m) + 1);
    return m;
  }
  out[0] = '\0';
  return 0;
}

int Parameter::getText(char* out, int capacity) {
  return formatValue(getReal(), normalised_, out, capacity);
}

void Parameter::setText(const char* text, int length) {
  if (format_ < 0 || format_ > FORMAT_CUSTOM) return;
  if (format_ == FORMAT_CUSTOM) {
    parseCustom(text, length);
    return;
  }
  if (format_ == FORMAT_ON_OFF) {
    const char first = length > 0 ? text[0] : '\0';
    if (length < 3) {
      setReal(first == '0' ? min_ : max_);
      return;
    }
    if (first == '0') {
      setReal(min_);
    } else if (first >= '1' && first <= '9') {
      setReal(max_);
    } else if (first == 'o' || first == 'O') {
      setReal(text[1] == 'f' || text[1] == 'F' ? min_ : max_);
    }
    return;
  }
  setReal(parseNumber(text, length));
}

float Parameter::parseNumber(const char* text, int length) {
  if (text == nullptr) return 0.0f;
  int i = 0;
  // Bytes are read as signed: every byte from 128 up counts as a control character.
  while (i < length && static_cast<signed char>(text[i]) <= 32) ++i;
  double sum = 0.0, place = 1.0, multiplier = 1.0;
  bool negative = false, fraction = false;
  for (; i<length&& static_cast<signed char>(text[i])> 32; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (fraction) {
        place *= 0.1;
        sum += (c - '0') * place;
      } else {
        sum = sum * 10.0 + (c - '0');
      }
      continue;
    }
    switch (c) {
      case '-':
        negative = true;
        break;
      case '.':
        fraction = true;
        break;
      case 'K':
      case 'k':
        multiplier = 1000.0, fraction = true;
        break;
      case 'M':
        multiplier = 1000000.0, fraction = true;
        break;
      case 'N':
      case 'n':
        multiplier = 0.000000001, fraction = true;
        break;
      case 'U':
      case 'u':
        multiplier = 0.000001, fraction = true;
        break;
      case 'm':
        multiplier = 0.001, fraction = true;
        break;
      default:
        break;
    }
  }
  return static_cast<float>(multiplier * (negative ? -sum : sum));
}

}  // namespace velmora
