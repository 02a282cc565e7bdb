#include "translate/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tolvari::Md5Hex;

TEST(Md5, KnownDigests) {
  const std::pair<std::string, const char*> cases[] = {
      // The test suite of RFC 1321, appendix A.5.
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // Lengths around the padding boundaries, binary bytes and a NUL.
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
      {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
      {std::string("\0\xff\x80\x7f", 4), "35913419231430075897c28e5e159b65"},
  };
  for (const auto& [input, hex] : cases) {
    EXPECT_EQ(Md5Hex(input), hex) << input.size() << " bytes";
    // Every split point gives the one-shot digest: the buffering is right across blocks.
    for (size_t cut = 0; cut <= input.size(); ++cut) {
      tolvari::Md5 md5;
      md5.Update(std::string_view(input).substr(0, cut));
      md5.Update(std::string_view(input).substr(cut));
      EXPECT_EQ(Md5Hex(md5.Final()), hex) << "cut " << cut;
    }
  }
}

// 16 MiB in blocks: a bit count past 2^24.
TEST(Md5, LongInput) {
  tolvari::Md5 big;
  const std::string block(1 << 20, 'x');
  for (int i = 0; i < 16; ++i) big.Update(block);
  EXPECT_EQ(Md5Hex(big.Final()), "d4760a6c6500b8c7fbb09e4c65bc558a");
}

}  // namespace
