#include "crypto/rc4.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace crypto {
namespace {

using Table = std::array<std::uint32_t, 256>;

// One byte of a round: the swap of s[i] (the row's entry at Offset) with s[j],
// then the keystream byte s[s[i] + s[j]] put into the low byte of `keystream`,
// which turns right by a byte, so that after eight steps the word holds them
// in order. On x86-64 the sums are additions of the low bytes alone: they wrap
// by themselves and leave the upper bits zero, so they index the table
// without a mask; the byte is merged into the word without a shift and an OR.
// gcc reaches neither on its own.
template <int Offset>
inline void Step(Table& s, std::uint32_t* row, std::uint64_t& j, std::uint64_t& keystream) {
#if defined(__GNUC__) && defined(__x86_64__)
    std::uint64_t x, y;
    asm("movl %[cell], %k[x]\n\t"
        "addb %b[x], %b[j]\n\t"
        "movl (%[s],%[j],4), %k[y]\n\t"
        "movl %k[x], (%[s],%[j],4)\n\t"
        "movl %k[y], %[cell]\n\t"
        "addb %b[x], %b[y]\n\t"
        "movb (%[s],%[y],4), %b[keystream]\n\t"
        "rorq $8, %[keystream]"
        : [x] "=&r"(x), [y] "=&r"(y), [j] "+r"(j), [keystream] "+r"(keystream),
          [cell] "+m"(row[Offset]), "+m"(s)
        : [s] "r"(s.data())
        : "cc");
#else
    const std::uint32_t x = row[Offset];
    j = (j + x) & 255;
    const std::uint32_t y = s[j];
    s[j] = x;
    row[Offset] = y;
    keystream = std::rotr((keystream & ~std::uint64_t{255}) | s[(x + y) & 255], 8);
#endif
}

// Eight steps from the row's entry at Offset: the next eight keystream bytes,
// the first in the lowest byte.
template <int Offset>
inline std::uint64_t Word(Table& s, std::uint32_t* row, std::uint64_t& j) {
    std::uint64_t keystream = 0;
    Step<Offset>(s, row, j, keystream);
    Step<Offset + 1>(s, row, j, keystream);
    Step<Offset + 2>(s, row, j, keystream);
    Step<Offset + 3>(s, row, j, keystream);
    Step<Offset + 4>(s, row, j, keystream);
    Step<Offset + 5>(s, row, j, keystream);
    Step<Offset + 6>(s, row, j, keystream);
    Step<Offset + 7>(s, row, j, keystream);
    return keystream;
}

inline void XorWord(char* data, std::uint64_t keystream) {
    std::uint64_t word;
    std::memcpy(&word, data, 8);
    word ^= keystream;
    std::memcpy(data, &word, 8);
}

}  // namespace

Rc4Stream::Rc4Stream(std::string_view key) {
    const std::size_t zero = key.find('\0');
    if (zero != std::string_view::npos) key = key.substr(0, zero);
    for (unsigned x = 0; x < 256; ++x) s_[x] = x;
    if (key.empty()) return;
    unsigned t = 0;
    for (std::size_t x = 0; x < 256; ++x) {
        t = (t + s_[x] + static_cast<std::uint8_t>(key[x % key.size()])) & 255;
        std::swap(s_[x], s_[t]);
    }
}

// Sixteen bytes per round, their keystream gathered into two words that are
// XORed into the data. A round starts where its sixteen s[i] lie in one row of
// the table (i + 1 a multiple of 16), so they are addressed from one base with
// constant offsets and no wrap; single bytes lead up to that and finish the
// block.
void Rc4Stream::Apply(char* data, std::size_t size) {
    Table& s = s_;
    unsigned i = i_;
    std::uint64_t j = j_;
    const auto single = [&] {
        i = (i + 1) & 255;
        const std::uint32_t x = s[i];
        j = (j + x) & 255;
        const std::uint32_t y = s[j];
        s[j] = x;
        s[i] = y;
        return static_cast<char>(s[(x + y) & 255]);
    };
    std::size_t k = 0;
    for (; k < size && (i + 1) % 16 != 0; ++k) data[k] ^= single();
    if (size - k >= 16) {
        unsigned base = (i + 1) & 255;
        for (; k + 16 <= size; k += 16) {
            std::uint32_t* const row = s.data() + base;
            XorWord(data + k, Word<0>(s, row, j));
            XorWord(data + k + 8, Word<8>(s, row, j));
            base = (base + 16) & 255;
        }
        i = (base - 1) & 255;
    }
    for (; k < size; ++k) data[k] ^= single();
    i_ = static_cast<std::uint8_t>(i);
    j_ = static_cast<std::uint8_t>(j);
}

void Rc4Stream::Skip(std::uint64_t count) {
    // The fast path over scratch bytes: the state moves on exactly as the
    // data would have moved it.
    char scratch[4096] = {};
    while (count > 0) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch));
        Apply(scratch, n);
        count -= n;
    }
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
