// What the page (src/web/page/page.js) and korva-web say to each other, in one place: the page's
// script declares each string below under the same name, and a test holds them equal.
//
// The page's terminal is one WebSocket: at CHEMIN_JEU for the lobby, at CHEMIN_REGARD?game=NAME
// to watch a game live (NAME a game's CHAMP_REGARD in the lists), or at CHEMIN_REJEU?game=NAME
// to watch a game ended again from its recording (NAME its CHAMP_REJEU). On it:
// - from the page, a binary message is keys, the bytes typed, given to the program as they
//   are: the lobby's, or a replay's own (Space pauses, + and - change its speed, . steps, q
//   ends it; nothing else does anything there, and a replay writes nothing); a live watch's
//   are dropped. A text message is the terminal's size, "size LINES COLUMNS" (MOT_TAILLE),
//   clamped to what a terminal can be; anything else is ignored. A message is at most
//   message-bytes long;
// - from korva-web, every message is binary: the program's screen, its bytes as its terminal
//   wrote them (UTF-8 and escape sequences, for an xterm of TERM=xterm-256color).
// When the program ends, korva-web sends what it wrote last, then closes with 1000 (normal).
// Any other end drops the connection without a close frame, and the log names the setting
// that ended it: message-bytes, idle-seconds (no message either way for that long), or
// unread-bytes (screen bytes the page left unread). A WebSocket refused is an HTTP answer
// instead, which a browser does not show its page: 403 for an origin not configured (the
// answer names the configured ones, which CHEMIN_ORIGINES lists as JSON strings, so that the
// page can say which address to open), 404 for another path or no such game, 429 when
// connections-per-address or the lobby's rules (watchers-per-game...) hold.
//
// The lists are JSON, in UTF-8 (a byte of a name that is no UTF-8 reads U+FFFD): an object of
// four lists, each as long as the page shows (the ranking 20, the games won 10, the latest games
// 10, the games in progress 30), every text a JSON string, every number an integer:
//   CHAMP_CLASSEMENT: the best heroes first, each {CHAMP_HEROS, CHAMP_SCORE} (and CHAMP_COMPTE
//     where the ranking knows it);
//   CHAMP_GAGNEES: the games won, the last first, and CHAMP_DERNIERES: the games ended, however
//     they ended, the last first; each {CHAMP_COMPTE, CHAMP_HEROS, CHAMP_CLASSE, CHAMP_ISSUE
//     (the games log's word), CHAMP_NIVEAU, CHAMP_SCORE, CHAMP_FIN, CHAMP_REJEU}, FIN in seconds
//     since 1970, REJEU null once the recording is no longer kept;
//   CHAMP_EN_COURS: the games in progress, the freshest first, each {CHAMP_COMPTE, CHAMP_HEROS,
//     CHAMP_NIVEAU, CHAMP_SCORE, CHAMP_INACTIF, CHAMP_REGARD}, INACTIF in seconds.
// CHEMIN_ETAT answers them to a GET, for anyone's scoreboard. The page has them pushed: a
// WebSocket at CHEMIN_EVENEMENTS gets them as a text message at once, then again each time
// something the page shows changes (a game starts or ends, a level, a score, the ranking, an
// idle time's minute), at most once a second. A page that does not read them holds one message
// waiting at most: a newer one takes its place. What the page sends there is read and dropped.
// An account's own latest games (20 at most, from the same log) are CHEMIN_PARTIES?account=HEX,
// HEX the account's name in UTF-8 in hexadecimal: {CHAMP_COMPTE, CHAMP_PARTIES}, the games as
// CHAMP_DERNIERES gives them; an account the log has not named lately has none.
#pragma once

#include <string_view>

namespace korva::web {

inline constexpr std::string_view CHEMIN_JEU = "/play";
inline constexpr std::string_view CHEMIN_REGARD = "/watch";
inline constexpr std::string_view CHEMIN_REJEU = "/replay";
inline constexpr std::string_view PARAMETRE_REGARD = "game";
inline constexpr std::string_view MOT_TAILLE = "size";
inline constexpr std::string_view CHEMIN_ETAT = "/status.json";
inline constexpr std::string_view CHEMIN_EVENEMENTS = "/events";
inline constexpr std::string_view CHEMIN_PARTIES = "/games.json";
inline constexpr std::string_view PARAMETRE_COMPTE = "account";
inline constexpr std::string_view CHEMIN_ORIGINES = "/origins.json";

inline constexpr std::string_view CHAMP_CLASSEMENT = "ranking";
inline constexpr std::string_view CHAMP_GAGNEES = "won";
inline constexpr std::string_view CHAMP_DERNIERES = "latest";
inline constexpr std::string_view CHAMP_EN_COURS = "playing";
inline constexpr std::string_view CHAMP_PARTIES = "games";
inline constexpr std::string_view CHAMP_COMPTE = "account";
inline constexpr std::string_view CHAMP_HEROS = "hero";
inline constexpr std::string_view CHAMP_CLASSE = "class";
inline constexpr std::string_view CHAMP_ISSUE = "outcome";
inline constexpr std::string_view CHAMP_SCORE = "score";
inline constexpr std::string_view CHAMP_FIN = "ended";
inline constexpr std::string_view CHAMP_NIVEAU = "level";
inline constexpr std::string_view CHAMP_INACTIF = "idle";
inline constexpr std::string_view CHAMP_REGARD = "watch";
inline constexpr std::string_view CHAMP_REJEU = "replay";

} // namespace korva::web
