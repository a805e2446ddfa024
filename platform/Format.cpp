#include "platform/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace vandrel {

namespace {

// A value as decimal digits: value = 0.d1 d2 ... dn x 10^exponent, no trailing zeros;
// no digits for zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
  bool zero() const { return digits.empty(); }
};

constexpr int kWorkingDigits = 18;

// The value to 18 significant digits, correctly rounded.
Decimal ToDecimal(double value) {
  Decimal d;
  d.negative = std::signbit(value);
  if (value == 0.0) return d;
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, kWorkingDigits - 1);
  const std::string_view text(buf, size_t(res.ptr - buf));  // d.ddddde+XX
  const size_t e = text.find('e');
  d.digits.push_back(text[0]);
  d.digits.append(text.substr(2, e - 2));
  d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps `count` significant digits, the dropped part rounded half away from zero.
void RoundDigits(Decimal& d, int count) {
  if (d.zero() || count >= int(d.digits.size())) return;
  if (count < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[size_t(count)] >= '5';
  d.digits.resize(size_t(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
    if (i >= 0) {
      ++d.digits[size_t(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

char DigitAt(const Decimal& d, int i) {
  return i >= 0 && i < int(d.digits.size()) ? d.digits[size_t(i)] : '0';
}

std::string ExponentText(int exponent, int minDigits, bool plusSign) {
  std::string s;
  if (exponent < 0)
    s.push_back('-');
  else if (plusSign)
    s.push_back('+');
  std::string n = std::to_string(std::abs(exponent));
  if (int(n.size()) < minDigits) s.append(size_t(minDigits) - n.size(), '0');
  return s + n;
}

const char* NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string Scientific(double value, int digits, char separator, int exponentDigits,
                       bool blankSign) {
  digits = std::clamp(digits, 1, kWorkingDigits);
  Decimal d = ToDecimal(value);
  RoundDigits(d, digits);
  std::string s;
  if (d.negative && !d.zero())
    s.push_back('-');
  else if (blankSign)
    s.push_back(' ');
  s.push_back(d.zero() ? '0' : DigitAt(d, 0));
  if (digits > 1) s.push_back(separator);
  for (int i = 1; i < digits; ++i) s.push_back(DigitAt(d, i));
  s.push_back('E');
  s += ExponentText(d.zero() ? 0 : d.exponent - 1, exponentDigits, true);
  return s;
}

std::string General(double value, int precision, char separator) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, kWorkingDigits);
  Decimal d = ToDecimal(value);
  RoundDigits(d, precision);
  if (d.zero()) return "0";
  std::string s = d.negative ? "-" : "";
  const int n = int(d.digits.size());
  if (d.exponent > precision || d.exponent < -3) {
    s.push_back(d.digits[0]);
    if (n > 1) {
      s.push_back(separator);
      s.append(d.digits, 1);
    }
    return s + 'E' + ExponentText(d.exponent - 1, 0, false);
  }
  if (d.exponent <= 0) {
    s += '0';
    s.push_back(separator);
    s.append(size_t(-d.exponent), '0');
    return s + d.digits;
  }
  for (int i = 0; i < d.exponent; ++i) s.push_back(DigitAt(d, i));
  if (n > d.exponent) {
    s.push_back(separator);
    s.append(d.digits, size_t(d.exponent));
  }
  return s;
}

std::string Fixed(double value, int decimals, char separator) {
  if (!std::isfinite(value)) return NonFinite(value);
  decimals = std::clamp(decimals, 0, kWorkingDigits);
  Decimal d = ToDecimal(value);
  // Beyond 18 integer digits the runtime switches to the scientific form.
  if (d.exponent > kWorkingDigits) return Scientific(value, 15, separator, 3, false);
  RoundDigits(d, d.exponent + decimals);
  std::string s = d.negative && !d.zero() ? "-" : "";
  if (d.zero() || d.exponent <= 0)
    s.push_back('0');
  else
    for (int i = 0; i < d.exponent; ++i) s.push_back(DigitAt(d, i));
  if (decimals > 0) {
    s.push_back(separator);
    for (int i = 0; i < decimals; ++i) s.push_back(d.zero() ? '0' : DigitAt(d, d.exponent + i));
  }
  return s;
}

[[noreturn]] void InvalidFormat(std::string_view pattern) {
  throw EConvertError("Format '" + std::string(pattern) +
                      "' invalid or incompatible with argument");
}

}  // namespace

std::string RealText(double value) {
  if (!std::isfinite(value)) {
    std::string s = std::isnan(value) ? "Nan" : value < 0 ? "-Inf" : "+Inf";
    return std::string(23 - s.size(), ' ') + s;
  }
  return Scientific(value, 15, '.', 4, true);
}

std::string FormatGeneral(double value) { return General(value, 15, DecimalSeparator()); }

std::string FormatFixed(double value, int decimals) {
  return Fixed(value, decimals, DecimalSeparator());
}

std::string FormatScientific(double value, int digits) {
  if (!std::isfinite(value)) return NonFinite(value);
  return Scientific(value, digits, DecimalSeparator(), 3, false);
}

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string out;
  const FormatArg* next = args.begin();
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i++];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i < pattern.size() && pattern[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    bool left = false;
    int width = 0, precision = -1;
    if (i < pattern.size() && pattern[i] == '-') {
      left = true;
      ++i;
    }
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
      width = std::min(width * 10 + (pattern[i++] - '0'), 1 << 16);
    if (i < pattern.size() && pattern[i] == '.') {
      precision = 0;
      ++i;
      while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9')
        precision = std::min(precision * 10 + (pattern[i++] - '0'), 1 << 16);
    }
    if (i >= pattern.size()) InvalidFormat(pattern);
    const char type = char(pattern[i++] | 0x20);  // the conversions ignore letter case
    if (next == args.end())
      throw EConvertError("No argument for format '" + std::string(pattern) + "'");
    const FormatArg& arg = *next++;
    const double* real = std::get_if<double>(&arg);
    const int64_t* integer = std::get_if<int64_t>(&arg);
    const std::string_view* text = std::get_if<std::string_view>(&arg);
    std::string field;
    switch (type) {
      case 'd': {
        if (!integer) InvalidFormat(pattern);
        std::string digits = std::to_string(*integer);
        const bool negative = *integer < 0;
        if (negative) digits.erase(0, 1);
        if (precision > int(digits.size()))
          digits.insert(0, size_t(precision) - digits.size(), '0');
        field = (negative ? "-" : "") + digits;
        break;
      }
      case 'e':
      case 'f':
      case 'g': {
        if (text) InvalidFormat(pattern);
        const double v = real ? *real : double(*integer);
        if (type == 'e')
          field = FormatScientific(v, precision < 0 ? 15 : precision);
        else if (type == 'f')
          field = Fixed(v, precision < 0 ? 2 : precision, DecimalSeparator());
        else
          field = General(v, precision < 0 ? 15 : precision, DecimalSeparator());
        break;
      }
      case 's':
        if (!text) InvalidFormat(pattern);
        field =
            precision >= 0 ? std::string(text->substr(0, size_t(precision))) : std::string(*text);
        break;
      default:
        InvalidFormat(pattern);
    }
    if (int(field.size()) < width) {
      const std::string pad(size_t(width) - field.size(), ' ');
      field = left ? field + pad : pad + field;
    }
    out += field;
  }
  return out;
}

}  // namespace vandrel
