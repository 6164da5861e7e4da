// The slips of a conf.ini: the file walked entry by entry as a person reads
// it, compared with the table of known keys and with what the reader finds.
#include "config/settings_slips.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string_view>

namespace config {

namespace {

// One key=value entry of the file, by its place in the text.
struct Entry {
  std::string section;  // the header it stands under; empty before any header
  int key_start, key_end, value_end;
};

// The file's entries, and the slips found on the way.
struct Walk {
  std::vector<Entry> entries;
  std::vector<std::string> slips;
};

std::string text_of(const IniText& ini, int start, int end) {
  return std::string(ini.text + start, ini.text + end);
}

std::string_view key_of(const IniText& ini, const Entry& e) {
  return std::string_view(ini.text + e.key_start, e.key_end - e.key_start);
}

bool known_section(std::span<const KnownKey> known, std::string_view name) {
  return std::any_of(known.begin(), known.end(),
                     [&](const KnownKey& k) { return k.section == name; });
}

// Returns the optimal string alignment distance of a and b: the edits of one
// character (insert, delete, replace) or swaps of neighbours that turn a into b.
int distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// Returns the nearest of the words when word looks like a slip of it (at most
// two edits, and no more than half its letters), or an empty view.
std::string_view nearest(std::string_view word, const std::vector<std::string_view>& words) {
  std::string_view best;
  int best_distance = 3;
  for (std::string_view w : words) {
    const int d = distance(word, w);
    if (d < best_distance && 2 * d <= static_cast<int>(w.size())) {
      best = w;
      best_distance = d;
    }
  }
  return best;
}

// Returns "; did you mean X?" (X in brackets for a section) for the nearest
// of the words, or "".
std::string did_you_mean(std::string_view word, const std::vector<std::string_view>& words,
                         bool section = false) {
  const std::string_view best = nearest(word, words);
  if (best.empty()) return "";
  const std::string name(best);
  return "; did you mean " + (section ? "[" + name + "]" : name) + "?";
}

std::vector<std::string_view> keys_of(std::span<const KnownKey> known, std::string_view section) {
  std::vector<std::string_view> keys;
  for (const KnownKey& k : known) {
    if (k.section == section) keys.push_back(k.name);
  }
  return keys;
}

std::vector<std::string_view> sections_of(std::span<const KnownKey> known) {
  std::vector<std::string_view> sections;
  for (const KnownKey& k : known) {
    if (std::find(sections.begin(), sections.end(), k.section) == sections.end()) {
      sections.push_back(k.section);
    }
  }
  return sections;
}

bool is_delimiter(char c) { return c == '[' || c == ']' || c == ';' || c == '='; }

// Reads a section header "[NAME]" at p, noting a section the table does not
// hold and one given twice; returns the position after it, or -1 when the '['
// opens no header.
int read_header(const IniText& ini, int p, std::span<const KnownKey> known,
                std::vector<std::string>& seen, Walk& walk, std::string& section) {
  int q = p + 1;
  while (q < ini.length && !is_delimiter(ini.text[q])) ++q;
  if (q >= ini.length || ini.text[q] != ']') return -1;
  section = text_of(ini, p + 1, q);
  const std::string header = "[" + section + "]";
  if (std::find(seen.begin(), seen.end(), section) != seen.end()) {
    walk.slips.push_back(header + " is given twice; the game reads only the first");
  } else if (!known_section(known, section)) {
    walk.slips.push_back(header + " is not a section the game reads" +
                         did_you_mean(section, sections_of(known), true));
  }
  seen.push_back(section);
  return q + 1;
}

// Notes text that is no entry: before any section, or inside one.
void note_stray(Walk& walk, const std::string& section, const std::string& text) {
  if (section.empty()) {
    walk.slips.push_back(text + " stands before any section and is not read");
  } else {
    walk.slips.push_back(text + " in [" + section + "] is not a key=value; entry");
  }
}

// Notes the last entry of the walk when its section does not know its key,
// or when the key was given before.
void check_entry(const IniText& ini, std::span<const KnownKey> known, Walk& walk) {
  const Entry& e = walk.entries.back();
  if (e.section.empty()) {
    note_stray(walk, e.section, text_of(ini, e.key_start, e.value_end));
    return;
  }
  if (!known_section(known, e.section)) return;  // told once, at its header
  const std::string_view key = key_of(ini, e);
  const std::string where = " in [" + e.section + "]";
  const std::vector<std::string_view> keys = keys_of(known, e.section);
  if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
    const auto elsewhere =
        std::find_if(known.begin(), known.end(), [&](const KnownKey& k) { return k.name == key; });
    walk.slips.push_back(
        elsewhere != known.end()
            ? std::string(key) + where + " is read only in [" + elsewhere->section + "]"
            : std::string(key) + where + " is not a key the game knows" + did_you_mean(key, keys));
    return;
  }
  for (const Entry& first : walk.entries) {
    if (&first == &e) break;
    if (first.section == e.section && key_of(ini, first) == key) {
      walk.slips.push_back(std::string(key) + " is given twice" + where +
                           "; the game reads the first, " +
                           text_of(ini, first.key_start, first.value_end));
      return;
    }
  }
}

// Walks the text as a person reads it: headers, and key=value; entries whose
// value ends at its ';' (or at a '[' that the ';' was forgotten before).
Walk walk_entries(const IniText& ini, std::span<const KnownKey> known) {
  Walk walk;
  std::vector<std::string> seen;
  std::string section;
  int p = 0;
  while (p < ini.length) {
    const char c = ini.text[p];
    if (c == '[') {
      const int after = read_header(ini, p, known, seen, walk, section);
      if (after >= 0) {
        p = after;
        continue;
      }
    }
    if (c == ';' || c == ']' || c == '[') {
      ++p;
      continue;
    }
    int q = p;
    while (q < ini.length && !is_delimiter(ini.text[q])) ++q;
    if (q >= ini.length || ini.text[q] != '=') {
      note_stray(walk, section, text_of(ini, p, q));
      p = q;
      continue;
    }
    int v = q + 1;
    while (v < ini.length && ini.text[v] != ';' && ini.text[v] != '[') ++v;
    walk.entries.push_back({section, p, q, v});
    check_entry(ini, known, walk);
    if (v < ini.length && ini.text[v] == '[') {
      walk.slips.push_back("the value of " + text_of(ini, p, q) +
                           " runs on into the next [: a ';' " + "is missing after " +
                           text_of(ini, p, v));
    }
    p = v;
  }
  return walk;
}

// Notes a value that the key's reader does not take as the player may think.
void check_value(const KnownKey& k, const std::string& value, std::vector<std::string>& slips) {
  const std::string entry = std::string(k.name) + "=" + value;
  if (k.values == KeyValues::USERCOLOR && value != "white" && value != "black" && value != "demo") {
    slips.push_back(entry +
                    " is not white, black or demo: the computer plays white and you play black" +
                    did_you_mean(value, {"white", "black", "demo"}));
  }
  if (k.values == KeyValues::SWITCH && value != "on" && value != "off") {
    slips.push_back(entry + " is neither on nor off: " + k.name + " stays off" +
                    did_you_mean(value, {"on", "off"}));
  }
}

// Notes what the reader finds for one known key: nothing, or a value taken
// from inside another entry; then checks the value.
void check_lookup(const IniText& ini, const KnownKey& k, const Walk& walk,
                  std::vector<std::string>& slips) {
  const std::string where = std::string(" in [") + k.section + "]";
  const IniSpan found = ini_locate(ini, k.section, k.name);
  if (found.miss != nullptr) {
    if (k.when_missing != nullptr) {
      slips.push_back(std::string(k.name) + " is not found" + where + " (the warning \"" +
                      found.miss + "\"): " + k.when_missing);
    }
    return;
  }
  const int key_at = found.start - 1 - static_cast<int>(std::strlen(k.name));
  const std::string value = text_of(ini, found.start, found.end);
  const auto own = [&](const Entry& e) {
    return e.section == k.section && key_of(ini, e) == k.name;
  };
  const auto read = std::find_if(walk.entries.begin(), walk.entries.end(), [&](const Entry& e) {
    return e.key_start == key_at && key_of(ini, e) == k.name;
  });
  if (read == walk.entries.end()) {
    const auto host = std::find_if(walk.entries.begin(), walk.entries.end(), [&](const Entry& e) {
      return e.key_start <= key_at && key_at < e.value_end;
    });
    const std::string inside =
        host != walk.entries.end() ? text_of(ini, host->key_start, host->value_end) : "other text";
    const std::string taken = std::string(k.name) + "=" + value;
    const auto written = std::find_if(walk.entries.begin(), walk.entries.end(), own);
    slips.push_back(written != walk.entries.end()
                        ? text_of(ini, written->key_start, written->value_end) + where +
                              " is not read: the game finds " + taken + " first, inside " + inside +
                              "; write " + k.name + " before it"
                        : std::string(k.name) + " is not set" + where + ": the game reads " +
                              taken + " from inside " + inside);
  }
  check_value(k, value, slips);
}

}  // namespace

std::vector<std::string> find_slips(const IniText& ini, std::span<const KnownKey> known) {
  Walk walk = walk_entries(ini, known);
  for (const KnownKey& k : known) check_lookup(ini, k, walk, walk.slips);
  return walk.slips;
}

std::vector<std::string> report_slips(const char* path, std::ostream& err) {
  IniText ini;
  std::vector<std::string> slips;
  if (load_ini(ini, path) < 0) {
    slips.push_back(std::string("cannot be read (") + std::strerror(errno) +
                    "): every setting is missing (the warnings \"section not found\")");
  } else {
    slips = find_slips(ini);
  }
  for (const std::string& slip : slips) err << SLIP_PREFIX << slip << '\n';
  return slips;
}

}  // namespace config
