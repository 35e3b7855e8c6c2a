#include "console/utf16.h"

#include <cstddef>

namespace tuition::console {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(char32_t codePoint, std::string& out) {
  const auto byte = [&out](char32_t bits) { out += static_cast<char>(bits); };
  if (codePoint < 0x80) {
    byte(codePoint);
  } else if (codePoint < 0x800) {
    byte(0xC0 | codePoint >> 6);
    byte(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    byte(0xE0 | codePoint >> 12);
    byte(0x80 | (codePoint >> 6 & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  } else {
    byte(0xF0 | codePoint >> 18);
    byte(0x80 | (codePoint >> 12 & 0x3F));
    byte(0x80 | (codePoint >> 6 & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  }
}

void appendUtf16(char32_t codePoint, std::u16string& out) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
    return;
  }
  codePoint -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
  out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

}  // namespace

void Utf8FromUtf16::convert(std::u16string_view units, std::string& out) {
  for (const char16_t unit : units) {
    if (waiting_ != 0) {
      if (isLowSurrogate(unit)) {
        appendUtf8(0x10000 + ((waiting_ - 0xD800U) << 10) + (unit - 0xDC00U), out);
        waiting_ = 0;
        continue;
      }
      finish(out);
    }
    if (isHighSurrogate(unit)) {
      waiting_ = unit;
    } else if (isLowSurrogate(unit)) {
      appendUtf8(kReplacement, out);
    } else {
      // Not a surrogate: the unit is the code point itself.
      appendUtf8(static_cast<char32_t>(unit), out);
    }
  }
}

void Utf8FromUtf16::finish(std::string& out) {
  if (waiting_ != 0) appendUtf8(kReplacement, out);
  waiting_ = 0;
}

void Utf16FromUtf8::convert(std::string_view bytes, std::u16string& out) {
  for (std::size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (needed_ == 0) {
      ++at;
      if (byte < 0x80) {
        out += static_cast<char16_t>(byte);
      } else if (byte >= 0xC2 && byte <= 0xDF) {
        needed_ = 1;
        codePoint_ = byte & 0x1FU;
      } else if (byte >= 0xE0 && byte <= 0xEF) {
        // No overlong forms, and no surrogates, which UTF-8 never encodes.
        if (byte == 0xE0) lower_ = 0xA0;
        if (byte == 0xED) upper_ = 0x9F;
        needed_ = 2;
        codePoint_ = byte & 0xFU;
      } else if (byte >= 0xF0 && byte <= 0xF4) {
        // No overlong forms, and nothing beyond U+10FFFF.
        if (byte == 0xF0) lower_ = 0x90;
        if (byte == 0xF4) upper_ = 0x8F;
        needed_ = 3;
        codePoint_ = byte & 0x7U;
      } else {
        appendUtf16(kReplacement, out);
      }
      continue;
    }
    if (byte < lower_ || byte > upper_) {
      // The sequence so far stands for one replacement, and this byte is
      // read afresh: it may start the next character.
      reset();
      appendUtf16(kReplacement, out);
      continue;
    }
    ++at;
    lower_ = 0x80;
    upper_ = 0xBF;
    codePoint_ = codePoint_ << 6 | (byte & 0x3FU);
    if (++seen_ == needed_) {
      appendUtf16(codePoint_, out);
      reset();
    }
  }
}

void Utf16FromUtf8::finish(std::u16string& out) {
  if (needed_ != 0) appendUtf16(kReplacement, out);
  reset();
}

void Utf16FromUtf8::reset() {
  codePoint_ = 0;
  needed_ = 0;
  seen_ = 0;
  lower_ = 0x80;
  upper_ = 0xBF;
}

}  // namespace tuition::console
