// Catalogue ids: the short base-32 prefix of a script's thumbnail file names. One id is issued
// per script and the last one issued is kept in the settings key THMidx.
#pragma once
#include <cstdint>
#include <string>

namespace kv::editor {

// The next catalogue id: THMidx plus one, or, when THMidx is empty, an id made from the
// current date and time. The id is written back to THMidx.
std::string NewCatalogId();

// Six base-32 digits ("0".."9", "A".."V") of v, most significant first; only the low 30 bits
// of v count.
std::string EncodeBase32(uint32_t v);
// The first five characters of s, left-padded with "0", read as base-32 digits. A character
// up to "9" is worth its code minus "0", any other its code minus "A" plus 10, so text that is
// not base-32 still gives a number (possibly negative).
int32_t DecodeBase32(const std::string& s);
// s without its leading "0" characters.
std::string StripLeadingZeros(const std::string& s);

}  // namespace kv::editor
