#pragma once
// The runtime semantics the programs are written against, in one place: 1-based text functions
// on byte strings, number parsing and rounding (halves to even), checked 16/32-bit arithmetic,
// number-to-text forms, colours, date texts and the error-trapping helpers.
#include <cstdint>
#include <ctime>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt_array.hpp"
#include "platform/rt_error.hpp"

namespace rt {

// ---- Text (one byte a character; positions count from 1) ----

int len(std::string_view s);
// start < 1 or a negative length raise 5; a start past the end gives "".
std::string mid(std::string_view s, int start);
std::string mid(std::string_view s, int start, int length);
// Clamp to the text; a negative length raises 5.
std::string left(std::string_view s, int length);
std::string right(std::string_view s, int length);

// Position of the first `find` at or after `start`, 0 when absent; start < 1 raises 5.
// An empty `find` is found at `start` when the text is not empty and start <= len(s) + 1, so a
// search that resumes just past the end of a non-empty text still finds the empty piece.
int instr(std::string_view s, std::string_view find);
int instr(int start, std::string_view s, std::string_view find);
// Position of the last `find` lying wholly within the first `start` characters (-1: the whole
// text), 0 when absent; start = 0 or below -1 raises 5. An empty `find` gives `start`.
int instr_rev(std::string_view s, std::string_view find, int start = -1);

// Every occurrence, one pass left to right, never re-scanning replaced text; an empty `find`
// leaves the text as it is.
std::string replace_all(std::string_view s, std::string_view find, std::string_view repl);
// Empty text: no elements (ubound -1). Separator absent or empty: the whole text as one element.
Array<std::string> split(std::string_view s, std::string_view sep);
std::string join(const Array<std::string>& parts, std::string_view sep);
std::string join(const std::vector<std::string>& parts, std::string_view sep);

// Blanks (' ') only; tabs, CR and LF stay.
std::string trim(std::string_view s);
std::string ltrim(std::string_view s);
std::string rtrim(std::string_view s);

// ASCII and the cp1252 letters (the Latin-1 range, Š Œ Ž Ÿ and their small forms).
std::string lcase(std::string_view s);
std::string ucase(std::string_view s);
bool equals_ci(std::string_view a, std::string_view b);
// As instr(lcase(s), lcase(find)) > 0: an empty `find` is contained in any non-empty text.
bool contains_ci(std::string_view s, std::string_view find);

// Byte codes 0..255: chr outside that range and asc of "" raise 5.
std::string chr(int code);
int asc(std::string_view s);
// n < 0 raises 5.
std::string space(int n);
std::string string_of(int n, char ch);

// ---- Numbers ----
// The accepted text is: blanks, an optional sign, digits with at most one '.', blanks; at least
// one digit. No exponents, thousands separators or other bases: the programs read plain counts,
// and a locale-free rule keeps what is accepted the same on every machine.

// True when the text converts to a 32-bit whole number (fraction rounded half to even).
bool is_number(std::string_view s);
// 13 when the text is not a number, 6 when the rounded value is out of range.
std::int32_t to_long(std::string_view s);
std::int16_t to_int16(std::string_view s);
double to_double(std::string_view s);
// The number that the text starts with (after leading blanks and tabs), 0 when none.
double val(std::string_view s);

double round_half_even(double x);
double int_floor(double x);  // floor: -2.5 -> -3
double fix(double x);     // toward zero: -2.5 -> -2
// Rounded half to even, then range-checked (6 on overflow or a value that is not a number).
std::int16_t cint16(double x);
std::int32_t clng(double x);

// Checked arithmetic: 6 on overflow, and the operands are left as they were.
std::int16_t add16(std::int16_t a, std::int16_t b);
std::int16_t sub16(std::int16_t a, std::int16_t b);
std::int16_t mul16(std::int16_t a, std::int16_t b);
std::int16_t& inc16(std::int16_t& v);
std::int32_t add32(std::int32_t a, std::int32_t b);
std::int32_t sub32(std::int32_t a, std::int32_t b);
std::int32_t mul32(std::int32_t a, std::int32_t b);

// ---- Number to text ----
std::string cstr(long long n);
// Up to 7 (single) or 15 (double) significant digits, no trailing zeros or point; "E+nn"/"E-nn"
// when the decimal exponent is at least the digit count or below -4 ("1E+16", "1.5E-07").
// A value that is not finite raises 6.
std::string cstr_single(double x);
std::string cstr_double(double x);

// ---- Colours ----
// r + 256 g + 65536 b; a part above 255 counts as 255, a negative part raises 5.
std::uint32_t rgb(int r, int g, int b);

// ---- Dates (numbers without leading zeros unless shown) ----
std::string log_stamp(const std::tm& t);       // "M-D-YYYY_H-m", hour 0..23
std::string log_stamp_peer(const std::tm& t);  // "M-D_H_m"
std::string time_12h(const std::tm& t);        // "h:mm:ss AM" / "h:mm:ss PM"

// ---- Errors ----
// Runs fn and hands back the error it raised: RuntimeError as thrown, out of memory as 7, any
// other std::exception as 51. platform::ProgramEnd is no std::exception and passes through.
template <class F>
std::optional<RuntimeError> trap(F&& fn) {
    try {
        fn();
        return std::nullopt;
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(ErrOutOfMemory);
    } catch (const std::exception&) {
        return RuntimeError(ErrInternal);
    }
}
// A step that may fail and is then skipped: true when it ran through.
template <class F>
bool try_step(F&& fn) {
    return !trap(std::forward<F>(fn)).has_value();
}

}  // namespace rt
