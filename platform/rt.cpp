#include "platform/rt.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace rt {

namespace {

[[noreturn]] void invalid_call() { throw RuntimeError(ErrInvalidCall); }
[[noreturn]] void overflow() { throw RuntimeError(ErrOverflow); }
[[noreturn]] void type_mismatch() { throw RuntimeError(ErrTypeMismatch); }

int size_of(std::string_view s) { return static_cast<int>(s.size()); }

}  // namespace

// ---- Text ----

int len(std::string_view s) { return size_of(s); }

std::string mid(std::string_view s, int start) {
    if (start < 1) invalid_call();
    if (start > size_of(s)) return {};
    return std::string(s.substr(static_cast<std::size_t>(start - 1)));
}

std::string mid(std::string_view s, int start, int length) {
    if (start < 1 || length < 0) invalid_call();
    if (start > size_of(s)) return {};
    return std::string(s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
}

std::string left(std::string_view s, int length) {
    if (length < 0) invalid_call();
    return std::string(s.substr(0, static_cast<std::size_t>(length)));
}

std::string right(std::string_view s, int length) {
    if (length < 0) invalid_call();
    if (length >= size_of(s)) return std::string(s);
    return std::string(s.substr(s.size() - static_cast<std::size_t>(length)));
}

int instr(std::string_view s, std::string_view find) { return instr(1, s, find); }

int instr(int start, std::string_view s, std::string_view find) {
    if (start < 1) invalid_call();
    if (s.empty()) return 0;
    if (find.empty()) return start <= size_of(s) + 1 ? start : 0;
    if (start > size_of(s)) return 0;
    const auto p = s.find(find, static_cast<std::size_t>(start - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int instr_rev(std::string_view s, std::string_view find, int start) {
    if (start == 0 || start < -1) invalid_call();
    if (s.empty()) return 0;
    if (start == -1) start = size_of(s);
    if (start > size_of(s)) return 0;
    if (find.empty()) return start;
    if (find.size() > static_cast<std::size_t>(start)) return 0;
    // The match must end within the first `start` characters.
    const auto p = s.rfind(find, static_cast<std::size_t>(start) - find.size());
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string replace_all(std::string_view s, std::string_view find, std::string_view repl) {
    if (find.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (;;) {
        const auto p = s.find(find, from);
        if (p == std::string_view::npos) break;
        out.append(s.substr(from, p - from));
        out.append(repl);
        from = p + find.size();
    }
    out.append(s.substr(from));
    return out;
}

Array<std::string> split(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    if (!s.empty()) {
        if (sep.empty()) {
            parts.emplace_back(s);
        } else {
            std::size_t from = 0;
            for (;;) {
                const auto p = s.find(sep, from);
                if (p == std::string_view::npos) break;
                parts.emplace_back(s.substr(from, p - from));
                from = p + sep.size();
            }
            parts.emplace_back(s.substr(from));
        }
    }
    return Array<std::string>::from(std::move(parts));
}

namespace {
template <class Range>
std::string join_range(const Range& parts, std::string_view sep) {
    std::string out;
    bool first = true;
    for (const auto& p : parts) {
        if (!first) out.append(sep);
        out.append(p);
        first = false;
    }
    return out;
}
}  // namespace

std::string join(const Array<std::string>& parts, std::string_view sep) { return join_range(parts, sep); }
std::string join(const std::vector<std::string>& parts, std::string_view sep) { return join_range(parts, sep); }

std::string ltrim(std::string_view s) {
    const auto p = s.find_first_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(p));
}

std::string rtrim(std::string_view s) {
    const auto p = s.find_last_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(0, p + 1));
}

std::string trim(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

namespace {

unsigned char lower_byte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                          // Ÿ
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);  // not ×
    return c;
}

unsigned char upper_byte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 0x10);
    if (c == 0xFF) return 0x9F;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);  // not ÷
    return c;
}

template <class Map>
std::string map_bytes(std::string_view s, Map map) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string lcase(std::string_view s) { return map_bytes(s, lower_byte); }
std::string ucase(std::string_view s) { return map_bytes(s, upper_byte); }

bool equals_ci(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower_byte(static_cast<unsigned char>(a[i])) != lower_byte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool contains_ci(std::string_view s, std::string_view find) { return instr(lcase(s), lcase(find)) > 0; }

std::string chr(int code) {
    if (code < 0 || code > 255) invalid_call();
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

int asc(std::string_view s) {
    if (s.empty()) invalid_call();
    return static_cast<unsigned char>(s[0]);
}

std::string space(int n) { return string_of(n, ' '); }

std::string string_of(int n, char ch) {
    if (n < 0) invalid_call();
    return std::string(static_cast<std::size_t>(n), ch);
}

// ---- Numbers ----

namespace {

// A plain decimal text: [blanks][sign]digits[.digits][blanks], at least one digit.
struct Decimal {
    bool negative = false;
    std::string_view int_digits;
    std::string_view frac_digits;
};

std::optional<Decimal> parse_decimal(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return std::nullopt;
    s = s.substr(b, s.find_last_not_of(' ') - b + 1);
    Decimal d;
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') d.negative = s[i++] == '-';
    const auto digits_from = [&](std::size_t from) {
        std::size_t j = from;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        return j;
    };
    std::size_t e = digits_from(i);
    d.int_digits = s.substr(i, e - i);
    i = e;
    if (i < s.size() && s[i] == '.') {
        e = digits_from(++i);
        d.frac_digits = s.substr(i, e - i);
        i = e;
    }
    if (i != s.size() || (d.int_digits.empty() && d.frac_digits.empty())) return std::nullopt;
    return d;
}

// The value rounded half to even, or nullopt when it leaves [lo, hi].
std::optional<long long> round_decimal(const Decimal& d, long long lo, long long hi) {
    // Magnitudes past this cannot fit any range we check; stop counting there.
    constexpr unsigned long long cap = 1ULL << 40;
    unsigned long long mag = 0;
    for (char c : d.int_digits) {
        mag = mag * 10 + static_cast<unsigned>(c - '0');
        if (mag > cap) return std::nullopt;
    }
    if (!d.frac_digits.empty()) {
        const int first = d.frac_digits[0] - '0';
        const bool rest = d.frac_digits.find_first_not_of('0', 1) != std::string_view::npos;
        if (first > 5 || (first == 5 && (rest || mag % 2 == 1))) ++mag;
    }
    const long long v = d.negative ? -static_cast<long long>(mag) : static_cast<long long>(mag);
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

template <class Int>
Int to_int(std::string_view s) {
    const auto d = parse_decimal(s);
    if (!d) type_mismatch();
    const auto v = round_decimal(*d, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
    if (!v) overflow();
    return static_cast<Int>(*v);
}

// from_chars takes neither a '+' nor a bare "5." or ".5" reliably: give it one canonical form.
double decimal_to_double(const Decimal& d) {
    std::string text = d.negative ? "-" : "";
    text.append(d.int_digits.empty() ? std::string_view("0") : d.int_digits);
    text.push_back('.');
    text.append(d.frac_digits.empty() ? std::string_view("0") : d.frac_digits);
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Without an exponent only a whole part can be too large; otherwise it is too small.
        if (d.int_digits.find_first_not_of('0') != std::string_view::npos) overflow();
        return d.negative ? -0.0 : 0.0;
    }
    return v;
}

template <class Int>
Int checked_round(double x) {
    const double r = round_half_even(x);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max())))
        overflow();
    return static_cast<Int>(r);
}

template <class Int>
Int checked(long long v) {
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max()) overflow();
    return static_cast<Int>(v);
}

}  // namespace

bool is_number(std::string_view s) {
    const auto d = parse_decimal(s);
    return d && round_decimal(*d, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max());
}

std::int32_t to_long(std::string_view s) { return to_int<std::int32_t>(s); }
std::int16_t to_int16(std::string_view s) { return to_int<std::int16_t>(s); }

double to_double(std::string_view s) {
    const auto d = parse_decimal(s);
    if (!d) type_mismatch();
    return decimal_to_double(*d);
}

double val(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    Decimal d;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
    std::size_t e = i;
    while (e < s.size() && s[e] >= '0' && s[e] <= '9') ++e;
    d.int_digits = s.substr(i, e - i);
    if (e < s.size() && s[e] == '.') {
        i = ++e;
        while (e < s.size() && s[e] >= '0' && s[e] <= '9') ++e;
        d.frac_digits = s.substr(i, e - i);
    }
    if (d.int_digits.empty() && d.frac_digits.empty()) return 0;
    return decimal_to_double(d);
}

double round_half_even(double x) {
    if (!std::isfinite(x)) return x;
    const double f = std::floor(x);
    const double diff = x - f;  // exact for every finite double
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

double int_floor(double x) { return std::floor(x); }
double fix(double x) { return std::trunc(x); }

std::int16_t cint16(double x) { return checked_round<std::int16_t>(x); }
std::int32_t clng(double x) { return checked_round<std::int32_t>(x); }

std::int16_t add16(std::int16_t a, std::int16_t b) { return checked<std::int16_t>(static_cast<long long>(a) + b); }
std::int16_t sub16(std::int16_t a, std::int16_t b) { return checked<std::int16_t>(static_cast<long long>(a) - b); }
std::int16_t mul16(std::int16_t a, std::int16_t b) { return checked<std::int16_t>(static_cast<long long>(a) * b); }
std::int16_t& inc16(std::int16_t& v) { return v = add16(v, 1); }
std::int32_t add32(std::int32_t a, std::int32_t b) { return checked<std::int32_t>(static_cast<long long>(a) + b); }
std::int32_t sub32(std::int32_t a, std::int32_t b) { return checked<std::int32_t>(static_cast<long long>(a) - b); }
std::int32_t mul32(std::int32_t a, std::int32_t b) { return checked<std::int32_t>(static_cast<long long>(a) * b); }

// ---- Number to text ----

std::string cstr(long long n) { return std::to_string(n); }

namespace {

std::string format_significant(double x, int digits) {
    if (!std::isfinite(x)) overflow();
    if (x == 0) return "0";
    // Scientific form with `digits` significant digits does the rounding once, locale-free.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, digits - 1);
    std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
    const bool negative = sci[0] == '-';
    if (negative) sci.remove_prefix(1);
    const auto epos = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + epos + (sci[epos + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
    std::string mantissa;
    for (char c : sci.substr(0, epos))
        if (c != '.') mantissa.push_back(c);
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= digits || exponent < -4) {
        out.push_back(mantissa[0]);
        if (mantissa.size() > 1) {
            out.push_back('.');
            out.append(mantissa, 1);
        }
        out.append(exponent < 0 ? "E-" : "E+");
        const std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
        if (e.size() < 2) out.push_back('0');
        out.append(e);
    } else if (exponent < 0) {
        out.append("0.");
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(mantissa);
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (mantissa.size() <= whole) {
            out.append(mantissa);
            out.append(whole - mantissa.size(), '0');
        } else {
            out.append(mantissa, 0, whole);
            out.push_back('.');
            out.append(mantissa, whole);
        }
    }
    return out;
}

}  // namespace

std::string cstr_single(double x) { return format_significant(x, 7); }
std::string cstr_double(double x) { return format_significant(x, 15); }

// ---- Colours ----

std::uint32_t rgb(int r, int g, int b) {
    if (r < 0 || g < 0 || b < 0) invalid_call();
    const auto part = [](int v) { return static_cast<std::uint32_t>(v > 255 ? 255 : v); };
    return part(r) + 256u * part(g) + 65536u * part(b);
}

// ---- Dates ----

std::string log_stamp(const std::tm& t) {
    return std::to_string(t.tm_mon + 1) + "-" + std::to_string(t.tm_mday) + "-" + std::to_string(t.tm_year + 1900) +
           "_" + std::to_string(t.tm_hour) + "-" + std::to_string(t.tm_min);
}

std::string log_stamp_peer(const std::tm& t) {
    return std::to_string(t.tm_mon + 1) + "-" + std::to_string(t.tm_mday) + "_" + std::to_string(t.tm_hour) + "_" +
           std::to_string(t.tm_min);
}

std::string time_12h(const std::tm& t) {
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    const int h = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    return std::to_string(h) + ":" + two(t.tm_min) + ":" + two(t.tm_sec) + (t.tm_hour < 12 ? " AM" : " PM");
}

}  // namespace rt
