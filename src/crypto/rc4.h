#pragma once
// RC4 over a whole byte block. A fresh cipher state is built from the key for
// every call, so every block under one key meets the same keystream.
#include <string>
#include <string_view>

namespace crypto {

// The key is a text: its bytes up to the first zero byte; only the first 256
// bytes take part. The empty key leaves the identity permutation.
std::string EncryptData(std::string_view data, std::string_view key);
std::string DecryptData(std::string_view data, std::string_view key);

}  // namespace crypto
