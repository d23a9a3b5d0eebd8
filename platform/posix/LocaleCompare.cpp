// Letter case of ASCII and of the letters of code page 1251, the ANSI code page here.
#include "platform/LocaleCompare.h"

#include <array>

namespace Platform {

namespace {

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (unsigned c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c + 32);
    for (unsigned c = 0xC0; c <= 0xDF; ++c) table[c] = static_cast<unsigned char>(c + 32);  // А..Я
    // Capital and small letters of 1251 outside the two blocks: Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Ё Є Ї І Ѕ.
    constexpr unsigned char pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                          {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                          {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                          {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    for (const auto& pair : pairs) table[pair[0]] = pair[1];
    return table;
}

constexpr std::array<unsigned char, 256> LowerTable = MakeLowerTable();

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerTable[static_cast<unsigned char>(a[i])] != LowerTable[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

}  // namespace Platform
