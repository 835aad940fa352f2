#include "crypto/password_store.h"

#include "crypto/rc4.h"

namespace crypto {

Text PasswordStorePath(platform::Files& files) {
    return files.ProgramFolder() + "\\Custom.db";
}

std::string PasswordRecord(std::string_view password) {
    // The key is the password read back as a text, so a zero byte ends it.
    return EncryptData(password, text::BytesToText(password));
}

Text SessionKeyFromRecord(std::string_view record) {
    return text::BytesToText(record);
}

std::string ReadPasswordRecord(platform::Files& files) {
    return files.ReadFile(PasswordStorePath(files)).value_or(std::string());
}

bool CheckPassword(std::string_view record, std::string_view typed) {
    if (typed.empty()) return false;
    return text::BytesToText(DecryptData(record, typed)) == typed;
}

bool CheckPassword(platform::Files& files, std::string_view typed) {
    return CheckPassword(ReadPasswordRecord(files), typed);
}

}  // namespace crypto
