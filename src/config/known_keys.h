// Every key of conf.ini that the programs read, in one table: what a check of
// a player's file compares it with. A new setting is one more row.
#pragma once

namespace config {

inline constexpr const char* GAME_SECTION = "GAME";
inline constexpr const char* ALGO_SECTION = "ALGO";

// What a key's value may be, as far as a check of the file can tell.
enum class KeyValues {
  SWITCH,     // "on" turns it on; "off" or leaving it out keeps it off
  USERCOLOR,  // "white", "black" or "demo"; anything else: the computer plays white
  OWN_CHECK,  // a number or text whose reader says itself what it does with a bad value
};

// A key of a section. A key that the reader looks up with its warning (the
// game's own settings) says what the game does when it is missing; an addition,
// read without a warning, has null there.
struct KnownKey {
  const char* section;
  const char* name;
  KeyValues values;
  const char* when_missing = nullptr;
};

// Beware the reader's substring match: no key may end with another key of its
// section, or the shorter one would be read from the longer one's entry when
// it stands first (level, prelevel and maxlevel do, so level must be written
// before the others; the tests allow only these).
inline constexpr KnownKey KNOWN_KEYS[] = {
    {GAME_SECTION, "usercolor", KeyValues::USERCOLOR, "the computer plays white"},
    {GAME_SECTION, "lastmove", KeyValues::SWITCH},
    {GAME_SECTION, "takeback", KeyValues::SWITCH},
    {GAME_SECTION, "hint", KeyValues::SWITCH},
    {GAME_SECTION, "draws", KeyValues::SWITCH},
    {GAME_SECTION, "status", KeyValues::SWITCH},
    {GAME_SECTION, "coordinates", KeyValues::SWITCH},
    {GAME_SECTION, "movelist", KeyValues::SWITCH},
    {GAME_SECTION, "clearboard", KeyValues::SWITCH},
    {GAME_SECTION, "scale", KeyValues::OWN_CHECK},
    {GAME_SECTION, "keyhelp", KeyValues::SWITCH},
    {ALGO_SECTION, "level", KeyValues::OWN_CHECK, "0 is used"},
    {ALGO_SECTION, "prelevel", KeyValues::OWN_CHECK, "0 is used"},
    {ALGO_SECTION, "maxlevel", KeyValues::OWN_CHECK, "0 is used"},
    {ALGO_SECTION, "complexity", KeyValues::OWN_CHECK, "0 is used"},
    {ALGO_SECTION, "soundkings", KeyValues::SWITCH},
    {ALGO_SECTION, "ponder", KeyValues::SWITCH},
    {ALGO_SECTION, "threads", KeyValues::OWN_CHECK},
    {ALGO_SECTION, "hash", KeyValues::OWN_CHECK},
    {ALGO_SECTION, "search", KeyValues::OWN_CHECK},
    {ALGO_SECTION, "nodes", KeyValues::OWN_CHECK},
    {ALGO_SECTION, "legalcastling", KeyValues::SWITCH},
    {ALGO_SECTION, "variety", KeyValues::OWN_CHECK},
};

}  // namespace config
