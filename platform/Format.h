#pragma once
// The runtime's number forms, independent of the C locale.
//
// Every form converts the value to 18 significant decimal digits first and then rounds
// that digit string half away from zero to the digits it shows, as the runtime does
// (0.125 shows as 0.13 with two decimals).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vandrel {

// The 23-character real form of text files: a blank (or "-" for a negative value), one
// digit, ".", 14 digits, "E", the exponent's sign and 4 exponent digits; 15 significant
// digits; always a point. 1/256 gives " 3.90625000000000E-0003", 0 " 0.00000000000000E+0000".
std::string RealText(double value);

// The shortest general form with up to 15 significant digits and the process-wide decimal
// separator: 12.5, 100, 0, 0.0001, 1E-5, 1E15, -2.5E-7.
std::string FormatGeneral(double value);

// Fixed form with `decimals` decimals and the decimal separator: Format("%1.2f").
std::string FormatFixed(double value, int decimals);

// Scientific form with `digits` significant digits, at least 3 exponent digits and the
// decimal separator: Format("%e") is FormatScientific(value, 15), e.g. "5.00000000000000E-001".
std::string FormatScientific(double value, int digits = 15);

// The runtime's Format for the conversions %d, %e, %f, %g and %s with optional "-" (left
// alignment), width and precision, and "%%". A conversion that does not match its argument,
// or a missing argument, raises EConvertError.
using FormatArg = std::variant<int64_t, double, std::string_view>;
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace vandrel
