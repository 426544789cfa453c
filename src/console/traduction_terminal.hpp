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

// Text that reaches the screen from outside the game (typed, reported), as the screen model
// holds it: code page 437 where it has the character, '?' elsewhere; controls other than line
// feeds are left out.
std::string en_code_page(std::string_view texte);

// The ANSI colour number (0 to 7) of a console colour index, as a terminal's `setaf` and `setab`
// take it: the console counts blue as bit 0 and red as bit 2, ANSI the other way round. The
// bright bit (3) is ignored here.
int couleur_ansi(int index);

} // namespace korva
