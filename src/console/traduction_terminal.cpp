#include "console/traduction_terminal.hpp"

#include <array>

namespace korva {

namespace {

// What the Windows console draws for each byte of code page 437.
// clang-format off
constexpr std::array<char32_t, 256> POINTS = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x0007, // 0x00 blank, bell obeyed
    0x0008, 0x0009, 0x000A, 0x2642, 0x2640, 0x000D, 0x266B, 0x263C, // BS, tab, LF, CR obeyed
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, // 0x10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, // 0x18
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027, // 0x20
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F, // 0x28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, // 0x30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, // 0x38
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, // 0x40
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, // 0x48
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057, // 0x50
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F, // 0x58
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, // 0x60
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F, // 0x68
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, // 0x70
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, // 0x78
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 0x80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 0x88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 0x90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, // 0x98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // 0xA0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // 0xA8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // 0xB0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // 0xB8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // 0xC0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // 0xC8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // 0xD0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // 0xD8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // 0xE0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, // 0xE8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // 0xF0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, // 0xF8
};
// clang-format on

// One character in UTF-8: at most four bytes, and its length.
struct Glyphe {
    std::array<char, 4> octets{};
    unsigned char longueur = 0;
};

constexpr Glyphe encoder(char32_t point) {
    Glyphe g;
    if (point < 0x80) {
        g.octets[0] = static_cast<char>(point);
        g.longueur = 1;
        return g;
    }
    // The lead byte's marks and the number of six-bit groups that follow it.
    const int suite = point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
    g.octets[0] = static_cast<char>(((0xFF00 >> (suite + 1)) & 0xFF) | (point >> (6 * suite)));
    for (int k = 1; k <= suite; ++k) {
        g.octets[static_cast<std::size_t>(k)] =
            static_cast<char>(0x80 | ((point >> (6 * (suite - k))) & 0x3F));
    }
    g.longueur = static_cast<unsigned char>(suite + 1);
    return g;
}

constexpr std::array<Glyphe, 256> GLYPHES = [] {
    std::array<Glyphe, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = encoder(POINTS[i]);
    }
    return table;
}();

// Plain ASCII for each byte, where the locale's character set is not UTF-8; the board's glyphs
// stay told apart: the hero '&', a monster 'o', a potion '!', an armor '[', a sword '/', gold
// '$', a key 'k', a parchment '?', the Guardian 'G' ('+' is the inner wall).
constexpr std::string_view ASCII =
    " o&v****\b\t\nmf\rd$><|!k?-|^v><L-^v !\"#$%&'()*+,-./0123456789:;<=>?"
    "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~^"
    "CueaaaaceeeiiiAAEaAooouuyOUcLYPfaiounNao?-/24!<>.:%|++++++|+++G+"
    "++++-++++++++-+++++++++++++#####aBGpSsut!OOd8[en=+><()/~o..vn2# ";
// The line-drawing character (VT100's, as terminfo names them) of box glyphs and a few signs;
// double lines are drawn single.
constexpr std::string_view TRACES =
    "    `                   -.+,                                    "
    "                                                                "
    "                            }                    a xuuukkuxkjjjk"
    "mvwtqnttmlvwtqnvvwwmmllnnjl0       {             gzy    f ~     ";

constexpr int BIT_BRILLANT = 8;

} // namespace

std::string_view glyphe_utf8(unsigned char octet) {
    const Glyphe& g = GLYPHES[octet];
    return std::string_view(g.octets.data(), g.longueur);
}

char ascii_cp437(unsigned char octet) {
    return ASCII[octet];
}

char trace_cp437(unsigned char octet) {
    return TRACES[octet] == ' ' ? '\0' : TRACES[octet];
}

int octet_cp437(char32_t point) {
    for (int octet = 0x80; octet <= 0xFF; ++octet) {
        if (POINTS[static_cast<std::size_t>(octet)] == point) {
            return octet;
        }
    }
    return -1;
}

int couleur_ansi(int index) {
    return ((index & 1) << 2) | (index & 2) | ((index & 4) >> 2);
}

DebutUtf8 debut_utf8(unsigned char octet) {
    const int suite = octet >= 0xF8   ? 0
                      : octet >= 0xF0 ? 3
                      : octet >= 0xE0 ? 2
                      : octet >= 0xC0 ? 1
                                      : 0;
    return {suite, static_cast<char32_t>(octet & (0x3F >> suite))};
}

bool caractere_entier(char32_t point, int suite) {
    return suite > 0 && encoder(point).longueur == suite + 1 && point <= 0x10FFFF &&
           (point < 0xD800 || point > 0xDFFF);
}

std::u32string caracteres_nom(std::string_view nom) {
    std::u32string points;
    for (std::size_t i = 0; i < nom.size();) {
        const auto octet = static_cast<unsigned char>(nom[i]);
        if (octet < 0x80) {
            points += octet;
            ++i;
            continue;
        }
        const DebutUtf8 debut = debut_utf8(octet);
        const auto suite = static_cast<std::size_t>(debut.suite);
        char32_t point = debut.point;
        std::size_t j = i + 1;
        for (; j <= i + suite && j < nom.size() && (static_cast<unsigned char>(nom[j]) >> 6) == 2;
             ++j) {
            point = (point << 6) | (static_cast<unsigned char>(nom[j]) & 0x3F);
        }
        // A character cut short is none either.
        const bool entier = j == i + suite + 1 && caractere_entier(point, debut.suite);
        // A byte of no UTF-8 character is a name written before in code page 437; the controls
        // of the upper range would be obeyed rather than shown.
        points += !entier ? POINTS[octet] : point >= 0xA0 ? point : U'?';
        i = entier ? j : i + 1;
    }
    return points;
}

std::string en_utf8(char32_t point) {
    const Glyphe g = encoder(point);
    return std::string(g.octets.data(), g.longueur);
}

std::string nom_montre(std::string_view nom, bool utf8) {
    std::string texte;
    for (const char32_t point : caracteres_nom(nom)) {
        texte += utf8 || point < 0x80 ? en_utf8(point) : "?";
    }
    return texte;
}

} // namespace korva
