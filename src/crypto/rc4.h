#pragma once
// RC4 over a whole byte block. A fresh cipher state is built from the key for
// every call, so every block under one key meets the same keystream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace crypto {

// The key is a text: its bytes up to the first zero byte; only the first 256
// bytes take part. The empty key leaves the identity permutation.
std::string EncryptData(std::string_view data, std::string_view key);
std::string DecryptData(std::string_view data, std::string_view key);

// The same keystream in pieces: applying it to consecutive chunks gives
// exactly EncryptData of their concatenation. Copyable, so a position can be
// kept and returned to.
class Rc4Stream {
  public:
    explicit Rc4Stream(std::string_view key);
    // Transforms `size` bytes in place (encrypting and decrypting alike).
    void Apply(char* data, std::size_t size);
    // Advances the keystream without data.
    void Skip(std::uint64_t count);

  private:
    // Entries of 32 bits although each holds a byte: loads and stores of
    // whole registers, none of the byte-merging a byte table costs.
    std::array<std::uint32_t, 256> s_{};
    std::uint8_t i_ = 0, j_ = 0;
};

}  // namespace crypto
