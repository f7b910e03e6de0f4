// The number readers of lib/support/strnum.h against the reference of
// numref.h, and number -> text -> number round trips.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/fuzzfiles.h"
#include "fuzz/numref.h"
#include "lib/support/strnum.h"

namespace {

unsigned hexdigitref(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return 99;
}

// strtolong by its description: value and 1-based error position.
std::int32_t longref(std::string_view s, int& error) {
  std::string t = normalised(s, 40);
  if (t.empty()) {
    error = 1;
    return 0;
  }
  std::size_t i = 0;
  bool negative = false;
  if (t[0] == '-' || t[0] == '+') negative = t[i++] == '-';
  unsigned base = 10;
  if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
    base = 16;
    i += 1;
  } else if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i == t.size()) {
    error = static_cast<int>(i) + 1;
    return 0;
  }
  unsigned __int128 limit = base == 16 ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  unsigned __int128 v = 0;
  for (; i < t.size(); ++i) {
    unsigned d = hexdigitref(t[i]);
    if (d >= base) {
      error = static_cast<int>(i) + 1;
      return 0;
    }
    v = v * base + d;
    if (v > limit) {
      error = static_cast<int>(i) + 1;
      return 0;
    }
  }
  error = 0;
  std::uint32_t bits = static_cast<std::uint32_t>(v);
  return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

std::uint32_t hexcardref(std::string_view s, int& error) {
  std::string t = normalised(s, 10);
  if (t.size() < 2 || t.size() > 9) {
    error = 1;
    return 0;
  }
  error = 0;
  std::uint32_t v = 0;
  for (std::size_t i = 1; i < t.size(); ++i) {
    unsigned d = hexdigitref(t[i]);
    if (d < 16)
      v = v * 16 + d;
    else
      ++error;
  }
  return v;
}

void checkreal(std::string_view text) {
  decimalref ref = readdecimalref(text);
  int errpos = -1;
  long double v = strtoreal(text, errpos);
  FUZZ_CHECK((errpos == 0) == ref.ok);
  if (!ref.ok) {
    FUZZ_CHECK(errpos == ref.errpos);
    FUZZ_CHECK(v == 0);
    return;
  }
  FUZZ_CHECK(std::isfinite(v));
  long double exact;
  if (fastvalue(ref, exact)) FUZZ_CHECK(v == exact);
  if (!ref.digits.empty()) {
    long long magnitude = static_cast<long long>(ref.digits.size()) + ref.exponent;
    if (magnitude > 4940) FUZZ_CHECK(std::fabs(v) == LDBL_MAX);
    if (magnitude < -4960) FUZZ_CHECK(v == 0);
    if (magnitude > -4900 && magnitude < 4900) FUZZ_CHECK(v != 0 && std::signbit(v) == ref.negative);
  }
  // The normalised text reads the same.
  int again = -1;
  long double w = strtoreal(ref.text, again);
  FUZZ_CHECK(again == 0 && (w == v || (std::isnan(w) && std::isnan(v))));
}

void checklong(std::string_view text) {
  int referr = -1, err = -1;
  std::int32_t want = longref(text, referr);
  std::int32_t got = strtolong(text, err);
  FUZZ_CHECK(err == referr);
  FUZZ_CHECK(got == want);

  std::int16_t small = 4321;
  int serr = -1;
  strtosmall(text, small, serr);
  if (referr != 0) {
    FUZZ_CHECK(serr == referr && small == 4321);
  } else if (want < -32767 || want > 32767) {
    FUZZ_CHECK(serr == 1 && small == 4321);
  } else {
    FUZZ_CHECK(serr == 0 && small == want);
  }

  int herr = -1, hreferr = -1;
  std::uint32_t h = hextocard(text, herr);
  FUZZ_CHECK(h == hexcardref(text, hreferr) && herr == hreferr);

  int cerr = -1;
  std::uint32_t c = strtocard(text, cerr);
  std::string t = normalised(text, 10);
  int creferr = -1;
  std::uint32_t cref = !t.empty() && t[0] == '$' ? hexcardref(t, creferr)
                                                 : static_cast<std::uint32_t>(longref(t, creferr));
  FUZZ_CHECK(c == cref && cerr == creferr);
}

void checkroundtrips(FuzzedDataProvider& in) {
  std::uint32_t u = in.ConsumeIntegral<std::uint32_t>();
  int err = -1;
  FUZZ_CHECK(hextocard("$" + hexlongshort(u), err) == u && err == 0);
  FUZZ_CHECK(strtocard("$" + hexlongshort(u), err) == u && err == 0);
  FUZZ_CHECK(strtolong("$" + hexlong(u), err) == static_cast<std::int32_t>(u) && err == 0);
  FUZZ_CHECK(strtolong(longtostr(static_cast<std::int32_t>(u)), err) == static_cast<std::int32_t>(u) &&
             err == 0);

  // k / 10^d as text reads as the nearest long double and prints back.
  int decimals = in.ConsumeIntegralInRange(0, 6);
  std::int64_t k = in.ConsumeIntegralInRange<std::int64_t>(-999999999999999, 999999999999999);
  std::string digits = std::to_string(k < 0 ? -k : k);
  if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
  std::string text = (k < 0 ? "-" : "") + digits.substr(0, digits.size() - decimals);
  if (decimals > 0) text += "." + digits.substr(digits.size() - decimals);
  long double scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  long double v = strtoreal(text, err);
  FUZZ_CHECK(err == 0 && v == static_cast<long double>(k) / scale);
  FUZZ_CHECK(realtostr(0, decimals, v) == text);

  // realtostr against the C library's exact fixed-point printing.
  long double x;
  std::uint8_t raw[sizeof x] = {};
  auto bytes = in.ConsumeBytes<std::uint8_t>(10);
  for (std::size_t i = 0; i < bytes.size(); ++i) raw[i] = bytes[i];
  std::memcpy(&x, raw, sizeof x);
  if (std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL) {
    int d = in.ConsumeIntegralInRange(0, 12);
    char want[8000];
    int n = std::snprintf(want, sizeof want, "%.*Lf", d, x == 0 ? 0.0L : x);
    std::string got = realtostr(0, d, x);
    if (n > 0 && n <= 40) FUZZ_CHECK(got == want);
    if (n > 40) FUZZ_CHECK(got.size() == 40);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string text = in.ConsumeRandomLengthString(80);
  checkreal(text);
  checklong(text);
  checkroundtrips(in);
  return 0;
}
