#include "config/settings_edit.h"

#include <algorithm>
#include <cctype>

#include "config/ini_file.h"

namespace config {

namespace {

constexpr const char* TOP_SECTION = "GAME";  // the reader takes the first "GAME" of the file

// Returns s without blanks, tabs and line ends.
std::string bare(std::string_view s) {
  std::string kept;
  for (const char c : s) {
    if (!std::isspace(static_cast<unsigned char>(c))) kept += c;
  }
  return kept;
}

bool is_header(std::string_view line) {
  const std::string b = bare(line);
  return b.size() >= 2 && b.front() == '[' && b.back() == ']';
}

bool is_header_of(std::string_view line, const std::string& section) {
  return bare(line) == "[" + section + "]";
}

// Returns a line without its entries ("key = value;") of the given keys.
std::string drop_entries(std::string_view line, const std::vector<std::string>& keys) {
  std::string kept;
  for (std::size_t semicolon; (semicolon = line.find(';')) != std::string_view::npos;) {
    const std::string_view entry = line.substr(0, semicolon);
    line.remove_prefix(semicolon + 1);
    const std::size_t equals = entry.find('=');
    const bool dropped =
        equals != std::string_view::npos &&
        std::find(keys.begin(), keys.end(), bare(entry.substr(0, equals))) != keys.end();
    if (!dropped) kept.append(entry).append(";");
  }
  return kept.append(line);
}

// Writes one section's entries into lines.
std::vector<std::string> set_section(const std::vector<std::string>& lines,
                                     const std::string& section,
                                     const std::vector<std::string>& entries,
                                     const std::vector<std::string>& keys) {
  std::vector<std::string> text;
  bool found = std::none_of(lines.begin(), lines.end(),
                            [&](const std::string& l) { return is_header_of(l, section); });
  if (found && section == TOP_SECTION) {
    text.push_back("[" + section + "]");
    text.insert(text.end(), entries.begin(), entries.end());
  } else {
    found = false;
  }
  bool in_section = false;
  for (const std::string& line : lines) {
    if (is_header(line)) {
      in_section = false;
      text.push_back(line);
      if (is_header_of(line, section) && !found) {
        in_section = found = true;
        text.insert(text.end(), entries.begin(), entries.end());
      }
    } else if (in_section && line.find('=') != std::string::npos) {
      const std::string left = drop_entries(line, keys);
      if (!bare(left).empty()) text.push_back(left);
    } else {
      text.push_back(line);
    }
  }
  if (!found) {
    text.push_back("[" + section + "]");
    text.insert(text.end(), entries.begin(), entries.end());
  }
  return text;
}

}  // namespace

SettingsEdit edit_settings(std::string_view text, const std::vector<SettingsEntry>& entries,
                           const std::string& file) {
  std::vector<std::string> lines;
  for (std::size_t end; !text.empty();
       text.remove_prefix(end == text.npos ? text.size() : end + 1)) {
    end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
  }
  // Each section's entries together, in the order the sections first come.
  for (std::size_t first = 0; first < entries.size();) {
    const std::string& section = entries[first].section;
    std::vector<std::string> written, keys;
    std::size_t next = first;
    for (; next < entries.size() && entries[next].section == section; ++next) {
      if (entries[next].value)
        written.push_back(entries[next].key + "=" + *entries[next].value + ";");
      keys.push_back(entries[next].key);
    }
    lines = set_section(lines, section, written, keys);
    first = next;
  }
  SettingsEdit edit;
  for (const std::string& line : lines) edit.text += line + "\n";
  IniText ini;
  load_ini_text(ini, edit.text);
  for (const SettingsEntry& e : entries) {
    if (ini_find(ini, e.section.c_str(), e.key.c_str()) == e.value) continue;
    return {"", "cannot set " + e.key + " in " + file + " where the game reads it: put [" +
                    e.section + "] on a line of its own, before any other \"" + e.section +
                    "\", within the first " + std::to_string(INI_CAPACITY) + " characters"};
  }
  return edit;
}

}  // namespace config
