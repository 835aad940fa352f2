#include "crypto/rc4.h"

#include <cstring>
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

// Eight bytes per round, their keystream gathered into one word. The next
// byte's s[i] is loaded before this byte's swap is stored and taken from the
// swap when it is the very entry swapped (i + 1 == j), so the loads do not
// wait for the stores; every index is the round's base i plus a constant.
void Rc4Stream::Apply(char* data, std::size_t size) {
    if (size == 0) return;
    std::uint8_t* s = s_.data();
    unsigned i = i_, j = j_;
    unsigned x = s[(i + 1) & 255];
    const auto step = [&](unsigned offset) {
        const unsigned at = (i + 1 + offset) & 255, next = (i + 2 + offset) & 255;
        j = (j + x) & 255;
        const unsigned y = s[j];
        const unsigned following = s[next];
        s[j] = static_cast<std::uint8_t>(x);
        s[at] = static_cast<std::uint8_t>(y);
        const unsigned key = s[(x + y) & 255];
        x = next == j ? x : following;
        return key;
    };
    std::size_t k = 0;
    for (; k + 8 <= size; k += 8) {
        // Written out: the offsets must be constants for the indexes to be.
        std::uint64_t keystream = step(0);
        keystream |= std::uint64_t{step(1)} << 8;
        keystream |= std::uint64_t{step(2)} << 16;
        keystream |= std::uint64_t{step(3)} << 24;
        keystream |= std::uint64_t{step(4)} << 32;
        keystream |= std::uint64_t{step(5)} << 40;
        keystream |= std::uint64_t{step(6)} << 48;
        keystream |= std::uint64_t{step(7)} << 56;
        i = (i + 8) & 255;
        std::uint64_t word;
        std::memcpy(&word, data + k, 8);
        word ^= keystream;
        std::memcpy(data + k, &word, 8);
    }
    for (; k < size; ++k) {
        data[k] = static_cast<char>(static_cast<std::uint8_t>(data[k]) ^ step(0));
        i = (i + 1) & 255;
    }
    i_ = static_cast<std::uint8_t>(i);
    j_ = static_cast<std::uint8_t>(j);
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
