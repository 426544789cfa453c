// What the page (src/web/page/page.js) and korva-web say to each other, in one place: the page's
// script declares each string below under the same name, and a test holds them equal.
//
// The page opens one WebSocket, at CHEMIN_JEU for the lobby or at CHEMIN_REGARD?game=NAME to
// watch a game live, NAME being a game's CHAMP_REGARD in the lists. On it:
// - from the page, a binary message is keys, the bytes typed, given to the program as they
//   are (a watch's are dropped); a text message is the terminal's size, "size LINES COLUMNS"
//   (MOT_TAILLE), clamped to what a terminal can be; anything else is ignored. A message is at
//   most message-bytes long;
// - from korva-web, every message is binary: the program's screen, its bytes as its terminal
//   wrote them (UTF-8 and escape sequences, for an xterm of TERM=xterm-256color).
// When the program ends, korva-web sends what it wrote last, then closes with 1000 (normal).
// Any other end drops the connection without a close frame, and the log names the setting
// that ended it: message-bytes, idle-seconds (no message either way for that long), or
// unread-bytes (screen bytes the page left unread). A WebSocket refused is an HTTP answer
// instead: 403 for an origin not configured, 404 for another path or no such game, 429 when
// connections-per-address or the lobby's rules (watchers-per-game...) hold.
//
// The page's lists come from CHEMIN_ETAT, JSON: an object of three lists, each as long as the
// page shows (the ranking 20, the games won 10, the games in progress 30), every text a JSON
// string, every number an integer:
//   CHAMP_CLASSEMENT: the best heroes first, each {CHAMP_HEROS, CHAMP_SCORE};
//   CHAMP_GAGNEES: the games won, the last first, each {CHAMP_COMPTE, CHAMP_HEROS, CHAMP_SCORE,
//     CHAMP_FIN}, FIN in seconds since 1970;
//   CHAMP_EN_COURS: the games in progress, the freshest first, each {CHAMP_COMPTE, CHAMP_HEROS,
//     CHAMP_NIVEAU, CHAMP_SCORE, CHAMP_INACTIF, CHAMP_REGARD}, INACTIF in seconds.
#pragma once

#include <string_view>

namespace korva::web {

inline constexpr std::string_view CHEMIN_JEU = "/play";
inline constexpr std::string_view CHEMIN_REGARD = "/watch";
inline constexpr std::string_view PARAMETRE_REGARD = "game";
inline constexpr std::string_view MOT_TAILLE = "size";
inline constexpr std::string_view CHEMIN_ETAT = "/status.json";

inline constexpr std::string_view CHAMP_CLASSEMENT = "ranking";
inline constexpr std::string_view CHAMP_GAGNEES = "won";
inline constexpr std::string_view CHAMP_EN_COURS = "playing";
inline constexpr std::string_view CHAMP_COMPTE = "account";
inline constexpr std::string_view CHAMP_HEROS = "hero";
inline constexpr std::string_view CHAMP_SCORE = "score";
inline constexpr std::string_view CHAMP_FIN = "ended";
inline constexpr std::string_view CHAMP_NIVEAU = "level";
inline constexpr std::string_view CHAMP_INACTIF = "idle";
inline constexpr std::string_view CHAMP_REGARD = "watch";

} // namespace korva::web
