#include "crypto/rc4.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string Keystream(std::string_view key, std::size_t length) {
    return crypto::EncryptData(std::string(length, '\0'), key);
}

// Published test vectors (the original ARCFOUR posting and RFC 6229).
TEST(Rc4, KnownAnswers) {
    EXPECT_EQ(Hex(crypto::EncryptData("Plaintext", "Key")), "BBF316E8D940AF0AD3");
    EXPECT_EQ(Hex(crypto::EncryptData("pedia", "Wiki")), "1021BF0420");
    EXPECT_EQ(Hex(crypto::EncryptData("Attack at dawn", "Secret")), "45A01F645FC35B383552544B9BF5");
    const std::string key40("\x01\x02\x03\x04\x05", 5);
    EXPECT_EQ(Hex(Keystream(key40, 16)), "B2396305F03DC027CCC3524A0A1118A8");
    const std::string key128 = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10";
    EXPECT_EQ(Hex(Keystream(key128, 16)), "9AC7CC9A609D1EF7B2932899CDE41B97");
}

// The textbook algorithm, one byte at a time, against the fast rounds: long
// keystreams, cut at every kind of boundary, with skips between the pieces.
TEST(Rc4, PiecesAndSkipsMatchTextbookRc4) {
    for (const std::string key : {"", "Key", "0123456789abcdef"}) {
        unsigned char s[256];
        for (int x = 0; x < 256; ++x) s[x] = static_cast<unsigned char>(x);
        for (unsigned x = 0, t = 0; x < 256 && !key.empty(); ++x) {
            t = (t + s[x] + static_cast<unsigned char>(key[x % key.size()])) & 255;
            std::swap(s[x], s[t]);
        }
        std::string expected(6000, '\0');
        for (unsigned k = 0, i = 0, j = 0; k < expected.size(); ++k) {
            i = (i + 1) & 255;
            j = (j + s[i]) & 255;
            std::swap(s[i], s[j]);
            expected[k] = static_cast<char>(s[(s[i] + s[j]) & 255]);
        }
        EXPECT_EQ(Keystream(key, expected.size()), expected) << key;

        crypto::Rc4Stream rc4(key);
        std::size_t at = 0;
        for (std::size_t piece : {1, 7, 16, 15, 17, 33, 0, 255, 256, 1000, 3, 31, 64}) {
            std::string chunk(piece, '\0');
            if (piece == 3 || piece == 31) {
                rc4.Skip(piece);
            } else {
                rc4.Apply(chunk.data(), chunk.size());
                EXPECT_EQ(chunk, expected.substr(at, piece)) << key << " at " << at;
            }
            at += piece;
        }
        rc4.Skip(4096);
        std::string last(expected.size() - at - 4096, '\0');
        rc4.Apply(last.data(), last.size());
        EXPECT_EQ(last, expected.substr(at + 4096)) << key;
    }
}

TEST(Rc4, EmptyKeyUsesIdentityPermutation) {
    EXPECT_EQ(Hex(Keystream("", 8)), "0205070D0D171F28");
    EXPECT_NE(crypto::EncryptData("abc", ""), "abc");
}

TEST(Rc4, RoundTripsAndPreservesLength) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (std::string key : {std::string(), std::string("k"), std::string("密码123"), all}) {
        for (std::string data : {std::string(), std::string("x"), all + all + "中文文档"}) {
            const std::string encrypted = crypto::EncryptData(data, key);
            EXPECT_EQ(encrypted.size(), data.size());
            EXPECT_EQ(crypto::DecryptData(encrypted, key), data);
        }
    }
    EXPECT_EQ(crypto::EncryptData("", "any key"), "");
}

TEST(Rc4, KeyEndsAtZeroByteAndAt256Bytes) {
    const std::string withZero("abc\0def", 7);
    EXPECT_EQ(crypto::EncryptData("data", withZero), crypto::EncryptData("data", "abc"));

    const std::string base(256, 'q');
    const std::string data(512, 'd');
    EXPECT_EQ(crypto::EncryptData(data, base + "tail"), crypto::EncryptData(data, base + "TAIL"));
    // The 256th byte still counts.
    EXPECT_NE(crypto::EncryptData(data, base.substr(0, 255) + "x"),
              crypto::EncryptData(data, base));
}

TEST(Rc4, WrongKeyGivesOtherBytesOfSameLength) {
    const std::string encrypted = crypto::EncryptData("secret note", "right");
    const std::string decrypted = crypto::DecryptData(encrypted, "wrong");
    EXPECT_EQ(decrypted.size(), encrypted.size());
    EXPECT_NE(decrypted, "secret note");
}

}  // namespace
