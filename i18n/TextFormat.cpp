#include "i18n/TextFormat.h"

#include <cstring>

namespace kw {

namespace {

enum class ArgumentKind { Number, Text };

struct Placeholder {
  bool leftAlign = false;
  bool zeroPad = false;
  bool plusSign = false;
  bool spaceSign = false;
  size_t width = 0;
  bool hasPrecision = false;
  size_t precision = 0;
  char conversion = 0;
  size_t length = 0;  // characters from the "%" to the conversion, both included
};

constexpr size_t kMaxFieldDigits = 3;

// Reads up to kMaxFieldDigits decimal digits; false when there are more.
bool ReadField(const std::string& text, size_t* pos, size_t* value) {
  size_t digits = 0;
  *value = 0;
  while (*pos < text.size() && text[*pos] >= '0' && text[*pos] <= '9') {
    if (++digits > kMaxFieldDigits) return false;
    *value = *value * 10 + static_cast<size_t>(text[*pos] - '0');
    ++*pos;
  }
  return true;
}

// Parses the placeholder that starts with the "%" at `start`.
bool ParsePlaceholder(const std::string& text, size_t start, Placeholder* out) {
  Placeholder p;
  size_t pos = start + 1;
  for (; pos < text.size() && text[pos] != '\0' && std::strchr("-+ 0#", text[pos]) != nullptr;
       ++pos) {
    switch (text[pos]) {
      case '-':
        p.leftAlign = true;
        break;
      case '+':
        p.plusSign = true;
        break;
      case ' ':
        p.spaceSign = true;
        break;
      case '0':
        p.zeroPad = true;
        break;
      default:
        break;  // '#' changes nothing for d, i, u and s
    }
  }
  if (!ReadField(text, &pos, &p.width)) return false;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    p.hasPrecision = true;
    if (!ReadField(text, &pos, &p.precision)) return false;
  }
  bool hasLengthModifier = false;
  for (int i = 0; i < 2 && pos < text.size() && text[pos] == 'l'; ++i, ++pos) {
    hasLengthModifier = true;
  }
  if (pos >= text.size()) return false;
  p.conversion = text[pos];
  if (hasLengthModifier && p.conversion == 's') return false;  // a wide string
  p.length = pos - start + 1;
  *out = p;
  return true;
}

bool Accepts(ArgumentKind kind, char conversion) {
  if (kind == ArgumentKind::Text) return conversion == 's';
  return conversion == 'd' || conversion == 'i' || conversion == 'u';
}

std::string Pad(std::string body, const Placeholder& p) {
  if (body.size() >= p.width) return body;
  std::string fill(p.width - body.size(), ' ');
  return p.leftAlign ? body + fill : fill + body;
}

std::string RenderNumber(long number, const Placeholder& p) {
  unsigned long magnitude =
      number < 0 ? 0UL - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (p.hasPrecision) {
    if (p.precision == 0 && number == 0) digits.clear();
    if (digits.size() < p.precision) digits.insert(0, p.precision - digits.size(), '0');
  }
  std::string sign = number < 0 ? "-" : p.plusSign ? "+" : p.spaceSign ? " " : "";
  if (p.zeroPad && !p.leftAlign && !p.hasPrecision) {
    size_t used = sign.size() + digits.size();
    if (used < p.width) digits.insert(0, p.width - used, '0');
  }
  return Pad(sign + digits, p);
}

std::string RenderText(const std::string& argument, const Placeholder& p) {
  if (p.hasPrecision && p.precision < argument.size()) {
    return Pad(argument.substr(0, p.precision), p);
  }
  return Pad(argument, p);
}

template <typename Render>
std::string Fill(const std::string& text, ArgumentKind kind, Render render) {
  std::string result;
  result.reserve(text.size() + 16);
  bool filled = false;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] != '%') {
      result += text[pos++];
      continue;
    }
    if (pos + 1 < text.size() && text[pos + 1] == '%') {
      result += '%';
      pos += 2;
      continue;
    }
    Placeholder p;
    if (!filled && ParsePlaceholder(text, pos, &p) && Accepts(kind, p.conversion)) {
      result += render(p);
      pos += p.length;
      filled = true;
      continue;
    }
    result += text[pos++];  // any other "%" is plain text
  }
  return result;
}

}  // namespace

std::string FormatWithNumber(const std::string& text, long number) {
  return Fill(text, ArgumentKind::Number,
              [number](const Placeholder& p) { return RenderNumber(number, p); });
}

std::string FormatWithText(const std::string& text, const std::string& argument) {
  return Fill(text, ArgumentKind::Text,
              [&argument](const Placeholder& p) { return RenderText(argument, p); });
}

}  // namespace kw
