// Golden transcripts: a game played from start-up through the scripted console, written down as
// the player meets it. A transcript file holds, line by line:
//   # ...                a comment
//   seed N               the game's clock: the calendar time the generator is seeded with at
//                        creation, that names recordings and dates the games log; placed after
//                        input lines, the clock reads N from the first wait once that input is
//                        taken
//   dice N               the dice draw N every time: 0 rolls the low end of every range the
//                        game rolls, 7979 (one less than a multiple of each) the high end
//   file PATH / end      a file of the game folder, written before the game starts (or, placed
//                        after input lines, at the first wait once that input is taken)
//   remove PATH          a file of the game folder taken away, at the same moments
//   map PATH LEVEL [seen] / end   a level drawn with the maps' signs of the table of cell kinds
//                        ('S' the hero), turned into a level file; every cell unseen but the
//                        hero's, or all seen
//   levels DIR           the level files of tests/DIR in place of the shipped ones
//   account NAME         the server's account the run's games are played for (KORVA_COMPTE;
//                        \xNN a byte); none otherwise
//   > TOKENS             input: up down left right (arrow keys), "typed line" (\xNN a byte),
//                        #N (key code N), ^C (Ctrl-C), ^D (Ctrl-D on an empty line), hangup,
//                        sigterm and idle (the terminal lost; idle as a server's hang-up for
//                        idleness), any other single character (that key); a token may end in
//                        *N (N times)
//   ---                  the screen at the next wait; the runner writes the kind of wait and the
//                        console operations since the last screen behind the dashes, then the
//                        rows, each behind '|', colours as {attribute} where they change, a row
//                        that ends in blanks marked where it ends by a return sign (U+23CE); a
//                        board's command legend (the rows under its status block's rule) is
//                        left out; a screen with nothing on it fails the transcript
//   legend               the next screen shows the command legend whole: a '---' line must
//                        follow it
//   save PATH / end      a save file: its lines from the name to the bag's last object, then
//                        "level N" and its board drawn as a map, each row followed, after two
//                        blanks, by the row as the player has seen it ('-' where unseen) when
//                        the hero has not seen it whole
//   expect PATH / end    a file of the game folder as the game left it; a save as a save block;
//                        a '*' in PATH stands for the part of a name the game makes of the time
//   run                  the game started again, in a fresh folder, for what follows
// The runner plays the file and writes it again with what the game did; the test passes when
// nothing changed. KORVA_REGENERER=1 rewrites the files instead.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace korva::test {

class ConsoleScriptee;

// Plays the transcript's text and returns it as the game makes it now.
std::string rejouer_transcription(const std::string& texte);

// A level file's text from a map drawn with the signs of the table of cell kinds, 'S' the hero;
// a row may be followed, after two blanks, by the row as the player has seen it ('-' where
// unseen), in place of `vu`.
std::string niveau_depuis_carte(const std::string& carte, int niveau, bool vu);

// A save's text from its block: the save's lines from the name to the bag's last object, then
// "level N" and its map; and the block of a save's text, where a map can say it.
std::string sauvegarde_depuis_carte(const std::string& bloc);
std::optional<std::string> carte_depuis_sauvegarde(const std::string& texte);

// Scripts the input tokens of a "> " line, counting in `entrees` the inputs they make.
void ajouter_jetons(ConsoleScriptee& console, const std::string& ligne, std::size_t& entrees);

} // namespace korva::test
