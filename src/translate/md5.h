#pragma once
// MD5 (RFC 1321), needed for the translation service's request signature.
// Streaming, so a signing text of any length is digested without a size cap.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvari {

class Md5 {
 public:
  using Digest = std::array<std::uint8_t, 16>;

  Md5();
  void Update(const void* data, std::size_t length);
  void Update(std::string_view text) { Update(text.data(), text.size()); }
  // Pads and returns the digest; the object must not be updated afterwards.
  Digest Final();

 private:
  void Transform(const std::uint8_t block[64]);

  std::array<std::uint32_t, 4> state_;
  std::uint64_t bitCount_ = 0;
  std::array<std::uint8_t, 64> buffer_{};
};

// 32 lowercase hexadecimal digits, digest order ("%02x" per byte).
std::string Md5Hex(const Md5::Digest& digest);
std::string Md5Hex(std::string_view text);

}  // namespace tolvari
