// Writing chosen values into a conf.ini the player may have edited by hand:
// the entries of those keys in their section give way to the new ones, right
// after the section's header, and every other line stays as it was. What is
// written is then read back with the game's own reader, so a value lands only
// where the game will find it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// One entry to write, key=value; in a section, or with no value a key whose
// entries are to go.
struct SettingsEntry {
  std::string section, key;
  std::optional<std::string> value;
};

struct SettingsEdit {
  std::string text;   // the file's new text, each line ended by a line feed
  std::string error;  // why the game would not read a chosen value; text is empty then
};

// Returns the text of a conf.ini with the entries written in: within each
// section, in the order given, after its header (a header taken from a line
// of its own, blanks aside), the section's earlier entries of those keys
// (and of the keys with no value) dropped; a section without a header gets one, GAME at the top
// (the reader takes the first "GAME" of the file) and any other at the end. file names the file in
// the error.
SettingsEdit edit_settings(std::string_view text, const std::vector<SettingsEntry>& entries,
                           const std::string& file);

}  // namespace config
