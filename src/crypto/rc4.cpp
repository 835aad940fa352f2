#include "crypto/rc4.h"

#include <utility>

namespace crypto {

Rc4Stream::Rc4Stream(std::string_view key) {
    const std::size_t zero = key.find('\0');
    if (zero != std::string_view::npos) key = key.substr(0, zero);
    for (int x = 0; x < 256; ++x) s_[x] = static_cast<std::uint8_t>(x);
    if (key.empty()) return;
    std::uint8_t t = 0;
    for (std::size_t x = 0; x < 256; ++x) {
        t = static_cast<std::uint8_t>(t + s_[x] + static_cast<std::uint8_t>(key[x % key.size()]));
        std::swap(s_[x], s_[t]);
    }
}

void Rc4Stream::Apply(char* data, std::size_t size) {
    std::uint8_t i = i_, j = j_;
    for (std::size_t k = 0; k < size; ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s_[i]);
        std::swap(s_[i], s_[j]);
        data[k] = static_cast<char>(static_cast<std::uint8_t>(data[k]) ^
                                    s_[static_cast<std::uint8_t>(s_[i] + s_[j])]);
    }
    i_ = i;
    j_ = j;
}

void Rc4Stream::Skip(std::uint64_t count) {
    std::uint8_t i = i_, j = j_;
    for (std::uint64_t k = 0; k < count; ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s_[i]);
        std::swap(s_[i], s_[j]);
    }
    i_ = i;
    j_ = j;
}

std::string EncryptData(std::string_view data, std::string_view key) {
    std::string out(data);
    Rc4Stream(key).Apply(out.data(), out.size());
    return out;
}

std::string DecryptData(std::string_view data, std::string_view key) {
    return EncryptData(data, key);
}

}  // namespace crypto
