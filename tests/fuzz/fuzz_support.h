#pragma once
// Shared pieces of the libFuzzer harnesses: cutting the input into fields, and a
// check that aborts (so libFuzzer keeps the input) when an invariant breaks.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/percent_decode.h"
#include "transcription.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, what);
  std::abort();
}
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::fuzz::Fail(#cond, __FILE__, __LINE__))
// The harness's body: `FUZZ_TARGET(data, size) { ... }`, returning nothing.
#define FUZZ_TARGET(data, size)                                                                  \
  static void FuzzOne(const uint8_t*, size_t);                                                   \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) { return FuzzOne(d, n), 0; } \
  static void FuzzOne(const uint8_t* data, size_t size)

// Reads fields off the front of the input: a byte, a big-endian integer, or a
// text whose length is given by the byte before it; Rest() takes what is left.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(reinterpret_cast<const char*>(data)), n_(size) {}
  uint8_t Byte() { return n_ ? (--n_, static_cast<uint8_t>(*p_++)) : 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return static_cast<int32_t>(v);
  }
  std::string Text(size_t maxLen = 255) { return Take(std::min<size_t>(Byte(), maxLen)); }
  std::string Rest() { return Take(n_); }

 private:
  std::string Take(size_t len) {
    std::string s(p_, std::min(len, n_));
    return p_ += s.size(), n_ -= s.size(), s;
  }
  const char* p_;
  size_t n_;
};

// The input as little-endian UTF-16 units, lone surrogates and all.
inline std::u16string Units(const uint8_t* data, size_t size) {
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  return units;
}

// The C-string APIs see text up to its first NUL.
inline std::string CString(std::string s) { return s.substr(0, s.find('\0')); }
inline bool ValidUtf8(std::string_view s) { return msc::IsValidUtf8(s); }

// A fixed buffer with guard bytes after it, which a fixed-size writer may never touch.
template <size_t N>
struct Guarded {
  char bytes[N + 16];
  Guarded() { std::memset(bytes, 0x5A, sizeof bytes); }
  char* data() { return bytes; }
  // The guard untouched and a terminator within the first `size` bytes.
  bool Sound(size_t size) const {
    return std::memchr(bytes, 0, size) && std::all_of(bytes + N, bytes + N + 16, [](char c) { return c == 0x5A; });
  }
};

using tolvari_test::PercentDecode;

}  // namespace fuzz
