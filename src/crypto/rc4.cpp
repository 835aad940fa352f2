#include "crypto/rc4.h"

#include <array>
#include <cstdint>
#include <utility>

namespace crypto {
namespace {

std::string TransformWithRc4(std::string_view data, std::string_view key) {
    if (data.empty()) return {};
    const std::size_t zero = key.find('\0');
    if (zero != std::string_view::npos) key = key.substr(0, zero);

    std::array<std::uint8_t, 256> s{};
    for (int x = 0; x < 256; ++x) s[x] = static_cast<std::uint8_t>(x);
    if (!key.empty()) {
        std::uint8_t t = 0;
        for (std::size_t x = 0; x < 256; ++x) {
            t = static_cast<std::uint8_t>(t + s[x] +
                                          static_cast<std::uint8_t>(key[x % key.size()]));
            std::swap(s[x], s[t]);
        }
    }

    std::string out(data.size(), '\0');
    std::uint8_t i = 0, j = 0;
    for (std::size_t k = 0; k < data.size(); ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        const std::uint8_t keystream = s[static_cast<std::uint8_t>(s[i] + s[j])];
        out[k] = static_cast<char>(static_cast<std::uint8_t>(data[k]) ^ keystream);
    }
    return out;
}

}  // namespace

std::string EncryptData(std::string_view data, std::string_view key) {
    return TransformWithRc4(data, key);
}

std::string DecryptData(std::string_view data, std::string_view key) {
    return TransformWithRc4(data, key);
}

}  // namespace crypto
