// What a terminal needs to show the game as the Windows console would: its code page 437 bytes
// as UTF-8 and its colour attributes as ANSI sequences. Pure functions, shared by every platform.
#pragma once

#include <string>
#include <string_view>

namespace korva {

// The UTF-8 text a terminal must receive to show the code page 437 byte `octet`. The picture
// glyphs of the control range are shown as pictures, except the controls the Windows console
// itself obeys (bell, backspace, tab, line feed, carriage return); byte 0 shows as a blank.
std::string_view glyphe_utf8(unsigned char octet);

// The code page 437 byte showing the character `point`, or -1 when code page 437 has none.
// Only the upper half (0x80 to 0xFF) is looked up: lower points are ASCII as they are.
int octet_cp437(char32_t point);

// The plain-ASCII stand-in of the code page 437 byte `octet`, for terminals that show ASCII only:
// every kind of board cell keeps a character of its own.
char ascii_cp437(unsigned char octet);

// The VT100 line-drawing character (as terminfo's `acsc` names them) that shows `octet`, or 0.
char trace_cp437(unsigned char octet);

// How a UTF-8 character begins: the bytes that follow its first (1 to 3) and the bits that first
// byte holds; `suite` is 0 when no character of more than one byte begins with that byte.
struct DebutUtf8 {
    int suite = 0;
    char32_t point = 0;
};
DebutUtf8 debut_utf8(unsigned char octet);

// Whether `point`, read from a first byte and its `suite` bytes, is a character: within Unicode,
// no surrogate, and written in no more bytes than it needs (else the same text could pass for
// another).
bool caractere_entier(char32_t point, int suite);

// The characters of a name as the player typed it, in UTF-8. A byte that is no part of a UTF-8
// character (a name the game saved in code page 437 before) is that code page's character; a
// control of the upper range stands as '?'.
std::u32string caracteres_nom(std::string_view nom);

// A character in UTF-8.
std::string en_utf8(char32_t point);

// A name (or a report that names one) as a terminal shows it: its characters as they are under
// UTF-8, each character beyond ASCII a '?' elsewhere.
std::string nom_montre(std::string_view nom, bool utf8);

// The ANSI colour number (0 to 7) of a console colour index, as a terminal's `setaf` and `setab`
// take it: the console counts blue as bit 0 and red as bit 2, ANSI the other way round. The
// bright bit (3) is ignored here.
int couleur_ansi(int index);

} // namespace korva
