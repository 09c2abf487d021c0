#include "simulator/windows/code_pages.h"

#include "simulator/sim_machine.h"
#include "simulator/windows/code_page_tables.h"

namespace dorvane::sim {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Appends one code point as UTF-16.
void PushUtf16(std::u16string* out, std::uint32_t code_point) {
  if (code_point >= 0x10000) {
    code_point -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  } else {
    out->push_back(static_cast<char16_t>(code_point));
  }
}

// Each maximal invalid subpart becomes one U+FFFD, as Windows does.
std::u16string DecodeUtf8(const unsigned char* s, std::size_t n) {
  std::u16string out;
  std::size_t i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) low = 0xA0;   // overlong
      if (b == 0xED) high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) low = 0x90;   // overlong
      if (b == 0xF4) high = 0x8F;  // beyond U+10FFFF
    }
    std::size_t good = 1;
    if (length > 0) {
      while (good < length && i + good < n) {
        unsigned char c = s[i + good];
        unsigned char lo = good == 1 ? low : 0x80;
        unsigned char hi = good == 1 ? high : 0xBF;
        if (c < lo || c > hi) break;
        ++good;
      }
    }
    if (length == 0 || good < length) {
      out.push_back(kReplacement);
      i += good;
      continue;
    }
    std::uint32_t code_point = b & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
      code_point = (code_point << 6) | (s[i + k] & 0x3F);
    }
    PushUtf16(&out, code_point);
    i += length;
  }
  return out;
}

// An unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::uint16_t* w, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t c = w[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && w[i + 1] >= 0xDC00 &&
        w[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

char EncodeCp1252(std::uint16_t unit) {
  if (unit < 0x80) return static_cast<char>(unit);
  for (int i = 0; i < 128; ++i) {
    if (kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::u16string DecodeAnsi(std::uint32_t code_page, const char* bytes,
                          std::size_t count) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  if (code_page == kCodePageUtf8) return DecodeUtf8(s, count);
  std::u16string units;
  for (std::size_t i = 0; i < count; ++i) {
    units.push_back(s[i] < 0x80 ? s[i] : kCp1252High[s[i] - 0x80]);
  }
  return units;
}

std::string EncodeAnsi(std::uint32_t code_page, const std::uint16_t* units,
                       std::size_t count) {
  if (code_page == kCodePageUtf8) return EncodeUtf8(units, count);
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) bytes += EncodeCp1252(units[i]);
  return bytes;
}

const char* NextChar(std::uint32_t code_page, const char* current) {
  if (code_page == kCodePage932) {
    // Lead bytes 0x81 to 0x9F and 0xE0 to 0xFC take the next byte along,
    // unless it is the NUL.
    const auto lead = static_cast<unsigned char>(*current);
    const bool lead_byte =
        (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return current + (lead_byte && current[1] != '\0' ? 2 : 1);
  }
  if (code_page != kCodePageUtf8) return current + 1;
  auto lead = static_cast<unsigned char>(*current);
  int length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  // Only the continuation bytes that are really there belong to the
  // character: a sequence cut short ends at the first other byte, the NUL
  // among them.
  const char* next = current + 1;
  while (--length > 0 && (static_cast<unsigned char>(*next) & 0xC0) == 0x80) {
    ++next;
  }
  return next;
}

void AnsiToOem(std::uint32_t code_page, const char* source, char* destination) {
  for (std::size_t i = 0;; ++i) {
    auto byte = static_cast<unsigned char>(source[i]);
    destination[i] = code_page == kCodePage1252
                         ? static_cast<char>(kCp1252ToOem850[byte])
                         : static_cast<char>(byte);
    if (byte == 0) break;
  }
}

}  // namespace dorvane::sim
