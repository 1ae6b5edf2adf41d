// The text side of the settings accessor: finding and changing keys in the bytes of an INI file.
// No file access happens here; IniFile (ini_file.h) reads the file, calls these and writes the
// result back.
//
// A line is classified after removing blanks and tabs at both ends (and a UTF-8 byte-order mark
// at the start of the file):
//   "[name]"        a section line (the name is the text up to the first "]", trimmed)
//   ";..." "#..."   a comment
//   "key=value"     a key line (key and value trimmed; the first "=" splits)
//   anything else   a blank or an unknown line, kept as it is and never matched
// Key lines before the first section line belong to no section. A section that occurs more than
// once is read as one: a key is looked up in every occurrence, first one first.
#ifndef ZARNOFT_SETTINGS_INI_TEXT_H_
#define ZARNOFT_SETTINGS_INI_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zarnoft::ini {

// Section and key names are equal without regard to letter case: ASCII, and the UTF-8 letters
// of Latin-1, Latin Extended-A, Greek and Cyrillic. Bytes that are no valid UTF-8 compare as
// themselves.
bool NamesEqual(std::string_view a, std::string_view b);

// Whether a name can be stored so that it reads back as the same name: no line break, no "]" in
// a section name, no "=" in a key name, and no key beginning with "[", ";" or "#".
bool IsStorableSection(std::string_view name);
bool IsStorableKey(std::string_view name);

// Removes blanks and tabs at both ends.
std::string_view Trim(std::string_view s);

// The value as stored: a value that begins or ends with a blank, a tab or a double quote is put
// in double quotes, so that trimming on reading cannot change it.
std::string EncodeValue(std::string_view value);

// The stored value (already trimmed) with one enclosing pair of double quotes removed.
std::string_view DecodeValue(std::string_view stored);

// The first max_chars UTF-8 characters of s. A byte that starts no valid sequence counts as
// one character, so a sequence is never split and binary data is cut as well.
std::string_view CutToCharacters(std::string_view s, size_t max_chars);

// Looks key up in section. On success *value is the decoded value (a view into text).
bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view* value);

bool ContainsSection(std::string_view text, std::string_view section);

// The text with key set to value (value is encoded here). An existing key line keeps everything
// up to its value; a missing key is inserted after the last key line of the section's first
// occurrence; a missing section is appended at the end, after a blank line. New lines take the
// file's line end (CR LF when its first line ends so, else LF). Every other byte stays.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// The text without every line of `key` in `section` (all of its sections of that name); *found
// tells whether there was one. The other lines stay as they are.
std::string RemoveValue(std::string_view text, std::string_view section, std::string_view key,
                        bool* found);

// The text without any occurrence of section: each section line and everything after it up to
// the next section line. *found tells whether there was one.
std::string RemoveSection(std::string_view text, std::string_view section, bool* found);

}  // namespace zarnoft::ini

#endif  // ZARNOFT_SETTINGS_INI_TEXT_H_
