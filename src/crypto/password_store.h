#pragma once
// The password store: Custom.db in the program folder holds the password
// encrypted with itself. It is both the check record for a typed password and
// the source of the session key.
#include <string>
#include <string_view>

#include "platform/files.h"
#include "text/text.h"

namespace crypto {

// Program folder + "\Custom.db".
Text PasswordStorePath(platform::Files& files);

// The bytes Custom.db holds for a password: the password encrypted with
// itself (as a text, cut at its first zero byte). Exactly as long as the
// password.
std::string PasswordRecord(std::string_view password);

// The session key a record gives: its bytes up to the first zero byte.
Text SessionKeyFromRecord(std::string_view record);

// Custom.db whole; a missing or unreadable file reads as zero bytes.
std::string ReadPasswordRecord(platform::Files& files);

// True when `typed` is not empty and the stored record decrypts to it, byte
// for byte (letter case counts).
bool CheckPassword(std::string_view record, std::string_view typed);
bool CheckPassword(platform::Files& files, std::string_view typed);

}  // namespace crypto
