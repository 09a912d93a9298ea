#include "config/password.h"

#include <cstdint>
#include <optional>

#include "config/text.h"

namespace sievo {

namespace {

// The running key's starting value, shared by both directions.
constexpr std::uint32_t kPasswordKeySeed = 1723;

char ScrambleByte(char in, std::uint32_t key) {
    return static_cast<char>(static_cast<unsigned char>(in) ^ ((key >> 8) & 0xFF));
}

std::uint32_t Advance(std::uint32_t key, char scrambled) {
    return key + static_cast<unsigned char>(scrambled);
}

bool IsStorableAsIs(std::string_view scrambled) {
    if (scrambled.empty())
        return true;
    for (char c : scrambled) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    const char first = scrambled.front(), last = scrambled.back();
    if (first == ' ' || last == ' ')
        return false;
    if (scrambled.size() > 1 && (first == '"' || first == '\'') && last == first)
        return false;
    return !scrambled.starts_with(kStoredPasswordHexMarker);
}

std::string ToHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::optional<std::string> FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigitValue(hex[i]), low = HexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

}  // namespace

std::string EncodePassword(std::string_view plain) {
    std::string out;
    std::uint32_t key = kPasswordKeySeed;
    for (char c : plain) {
        out += ScrambleByte(c, key);
        key = Advance(key, out.back());
    }
    return out;
}

std::string DecodePassword(std::string_view stored) {
    std::string out;
    std::uint32_t key = kPasswordKeySeed;
    for (char c : stored) {
        out += ScrambleByte(c, key);
        key = Advance(key, c);
    }
    return out;
}

std::string PasswordToIni(std::string_view plain) {
    const std::string scrambled = EncodePassword(plain);
    if (IsStorableAsIs(scrambled))
        return scrambled;
    return std::string(kStoredPasswordHexMarker) + ToHex(scrambled);
}

std::string PasswordFromIni(std::string_view stored) {
    if (stored.starts_with(kStoredPasswordHexMarker)) {
        if (auto scrambled = FromHex(stored.substr(kStoredPasswordHexMarker.size())))
            return DecodePassword(*scrambled);
    }
    return DecodePassword(stored);
}

}  // namespace sievo
