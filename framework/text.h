// Byte-string helpers with the 1-based positions the editor's algorithms use.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Characters pos..pos+len-1 of s (1-based); out-of-range parts are clipped.
std::string copy(std::string_view s, int pos, int len);
// Characters pos..end of s (1-based).
std::string copyFrom(std::string_view s, int pos);
// 1-based position of the first occurrence of sub in s, 0 when absent.
int pos(std::string_view sub, std::string_view s);

// The character after the first single '&' of a caption (its mnemonic, "&&" being a plain
// '&'), as written; 0 for none.
char accelChar(std::string_view caption);
std::string upper(std::string_view s);  // ASCII letters only, like the ANSI upper-casing of names
std::string lower(std::string_view s);
bool sameText(std::string_view a, std::string_view b);  // case-insensitive equality

std::string intToStr(long long v);
// Whole-string integer: optional sign, decimal digits or "$"/"0x" hexadecimal; leading and
// trailing blanks are not allowed. Empty optional when the text is not an integer or overflows.
std::optional<int32_t> strToInt(std::string_view s);
int32_t strToIntDef(std::string_view s, int32_t def);
// The same, raising kv::Error "'<s>' is not a valid integer value" (the framework's standard
// conversion error) when s is not an integer.
int32_t strToIntChecked(std::string_view s);
// v in upper-case hexadecimal without leading zeros, "0" for zero.
std::string hexText(uint32_t v);

// The civil date (proleptic Gregorian calendar) of a day counted from 1 January 1970.
struct CivilDate {
    int64_t year;
    int month, day;
};
CivilDate civilFromDays(int64_t days);

// Path parts: a path's name follows its last backslash or colon.
std::string namePart(std::string_view path);
std::string folderPart(std::string_view path);  // up to and including the last '\' or ':'
std::string extensionOf(std::string_view path);  // from the last '.' after the last '\' or ':'

}  // namespace kv
