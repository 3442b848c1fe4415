// A strict check that text is one JSON value (RFC 8259): strings of valid UTF-8 without raw
// control characters and with only the defined escapes, nothing after the value.
#pragma once

#include <cctype>
#include <cstring>
#include <string_view>

namespace velmoractl::test {

class StrictJson {
 public:
  static bool Valid(std::string_view text) {
    StrictJson parser(text);
    return parser.value() && parser.end();
  }

 private:
  explicit StrictJson(std::string_view text) : s_(text) {}

  void space() {
    while (at_ < s_.size() && std::strchr(" \t\r\n", s_[at_]) && s_[at_] != '\0') ++at_;
  }
  bool end() {
    space();
    return at_ == s_.size();
  }
  bool take(char c) {
    space();
    if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
    return false;
  }
  bool word(std::string_view w) {
    if (s_.substr(at_, w.size()) != w) return false;
    return at_ += w.size(), true;
  }
  bool value() {
    space();
    if (at_ >= s_.size()) return false;
    switch (s_[at_]) {
      case '{':
        return object();
      case '[':
        return array();
      case '"':
        return string();
      case 't':
        return word("true");
      case 'f':
        return word("false");
      case 'n':
        return word("null");
      default:
        return number();
    }
  }
  bool object() {
    ++at_;
    if (take('}')) return true;
    do {
      space();
      if (!string() || !take(':') || !value()) return false;
    } while (take(','));
    return take('}');
  }
  bool array() {
    ++at_;
    if (take(']')) return true;
    do {
      if (!value()) return false;
    } while (take(','));
    return take(']');
  }
  bool digits() {
    const size_t from = at_;
    while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_]))) ++at_;
    return at_ > from;
  }
  bool number() {
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    if (!digits()) return false;
    if (at_ < s_.size() && s_[at_] == '.' && (++at_, !digits())) return false;
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    return true;
  }
  bool string() {
    if (at_ >= s_.size() || s_[at_] != '"') return false;
    ++at_;
    while (at_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[at_]);
      if (c == '"') return ++at_, true;
      if (c < 0x20) return false;
      if (c == '\\') {
        if (++at_ >= s_.size()) return false;
        const char e = s_[at_++];
        if (e == 'u') {
          for (int i = 0; i < 4; ++i, ++at_) {
            if (at_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[at_]))) {
              return false;
            }
          }
        } else if (!std::strchr("\"\\/bfnrt", e) || e == '\0') {
          return false;
        }
      } else if (!utf8()) {
        return false;
      }
    }
    return false;
  }
  // One character of valid UTF-8: shortest form, no surrogates, at most U+10FFFF.
  bool utf8() {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s_[at_ + i]); };
    const unsigned char c = b(0);
    size_t length = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    if (length == 0 || at_ + length > s_.size()) return false;
    for (size_t i = 1; i < length; ++i) {
      if ((b(i) & 0xC0) != 0x80) return false;
    }
    if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F) || (c == 0xF0 && b(1) < 0x90) ||
        (c == 0xF4 && b(1) > 0x8F)) {
      return false;
    }
    at_ += length;
    return true;
  }

  std::string_view s_;
  size_t at_ = 0;
};

}  // namespace velmoractl::test
