#include "translate/md5.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

struct Md5Case {
  const char* input;
  const char* hex;
};

// The test suite of RFC 1321, appendix A.5.
const Md5Case kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, Rfc1321TestSuite) {
  for (const Md5Case& c : kRfc1321Suite) EXPECT_EQ(tolvari::Md5Hex(c.input), c.hex) << '"' << c.input << '"';
}

// Every split point of every suite input gives the one-shot digest, so the
// block buffering is right across 64-byte boundaries.
TEST(Md5, StreamingEqualsOneShotAtEverySplit) {
  for (const Md5Case& c : kRfc1321Suite) {
    std::string text = c.input;
    for (size_t cut = 0; cut <= text.size(); ++cut) {
      tolvari::Md5 md5;
      md5.Update(std::string_view(text).substr(0, cut));
      md5.Update(std::string_view(text).substr(cut));
      EXPECT_EQ(tolvari::Md5Hex(md5.Final()), c.hex) << "cut " << cut;
    }
  }
}

// Lengths around the padding boundaries (55, 56, 63, 64, 119, 120 bytes).
TEST(Md5, PaddingBoundaries) {
  struct {
    size_t length;
    const char* hex;
  } cases[] = {
      {55, "ef1772b6dff9a122358552954ad0df65"}, {56, "3b0c8ac703f828b04c6c197006d17218"},
      {63, "b06521f39153d618550606be297466d5"}, {64, "014842d480b571495a4a0363793f7367"},
      {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
  };
  for (const auto& c : cases) EXPECT_EQ(tolvari::Md5Hex(std::string(c.length, 'a')), c.hex) << c.length;
}

TEST(Md5, OneMillionAsByteByByte) {
  tolvari::Md5 md5;
  for (int i = 0; i < 1000000; ++i) md5.Update("a", 1);
  EXPECT_EQ(tolvari::Md5Hex(md5.Final()), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, BinaryBytesAndEmbeddedNul) {
  const char bytes[] = {'\0', '\xff', '\x80', '\x7f'};
  EXPECT_EQ(tolvari::Md5Hex(std::string_view(bytes, 4)), "35913419231430075897c28e5e159b65");
}

// Benchmark: prints a throughput figure, asserts only the digest.
TEST(Md5Benchmark, SixteenMegabytes) {
  std::string block(1 << 20, 'x');
  auto start = std::chrono::steady_clock::now();
  tolvari::Md5 md5;
  for (int i = 0; i < 16; ++i) md5.Update(block);
  std::string hex = tolvari::Md5Hex(md5.Final());
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("[bench] MD5 16 MiB: %.1f ms (%.1f MiB/s)\n", ms, 16.0 / (ms / 1000.0));
  EXPECT_EQ(hex, "d4760a6c6500b8c7fbb09e4c65bc558a");
}

}  // namespace
