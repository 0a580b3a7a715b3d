// Private-profile (INI) files: an in-memory document with the platform's profile semantics and
// a writer whose bytes match the platform writer's.
//
// Reading rules (as the platform's profile service applies them):
// - Lines end at any run of CR and LF characters. Blanks (TAB, LF, VT, FF, CR, ^Z, space) are
//   trimmed from both ends of each line; empty lines are ignored.
// - A line beginning with '[' that holds a ']' is a section header; the name lies between the
//   '[' and the last ']' and is trimmed. Text after that ']' is ignored.
// - Other lines are keys: the name up to the first '=', trimmed, and the value after it,
//   trimmed. A line without '=' is a key without value (a comment such as ";x" is one too).
//   A line "=value" right after another one with an empty name is dropped.
// - Lines before the first header belong to a nameless section.
// - Section and key names are compared without regard to case; the first matching section
//   and, in it, the first matching key win.
// - A NUL byte ends the name or value it appears in.
//
// Writing rewrites the whole file from the document: "[name]" CR LF for every named section,
// "name=value" CR LF for every key ("name" CR LF for a key without value). Blank lines and the
// spacing of the original are not kept. A new key goes to the end of its section, a new
// section to the end of the file. Nothing is written when an operation changes nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Differences between the documented behaviour of the profile service and the one we test
// against under Wine 8. The engine follows the documentation by default; the differential
// test also runs it with Wine's rules to tell the known differences from real faults.
struct IniRules {
    // Documented: names are not case-sensitive, so letters of the ANSI code page (Windows-1252:
    // À-Þ, Š, Œ, Ž, Ÿ) match their lower-case forms. Wine 8 folds ASCII letters only.
    bool foldAnsiLetters = true;
    // Documented: trailing blanks of a default value are stripped. Wine 8 keeps the first
    // character of a default made only of blanks.
    bool keepFirstBlankOfDefault = false;
    static IniRules wine8() { return IniRules{false, true}; }
};

class IniDocument {
public:
    static constexpr size_t kValueBuffer = 1024;    // read string: at most 1023 characters
    static constexpr size_t kKeyListBuffer = 8192;  // key list of a section

    // The state of a file that does not exist.
    explicit IniDocument(IniRules rules = {});
    // The state of an existing file holding `bytes`.
    static IniDocument parse(std::string_view bytes, IniRules rules = {});
    // The same, taking over the buffer instead of copying it.
    static IniDocument parse(std::string&& bytes, IniRules rules = {});
    static IniDocument parse(const std::string& bytes, IniRules rules = {}) {
        return parse(std::string_view(bytes), rules);
    }
    static IniDocument parse(const char* bytes, IniRules rules = {}) {
        return parse(std::string_view(bytes), rules);
    }

    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;
    ~IniDocument();

    // --- queries ---
    // Value of the key as the platform returns it into a buffer of `bufferSize` characters:
    // matching quotes around it removed, cut to bufferSize - 1 characters; `def` (with its
    // trailing blanks stripped) when the section or key is missing or the key has no value.
    std::string readString(std::string_view section, std::string_view key, std::string_view def,
                           size_t bufferSize = kValueBuffer) const;
    // Key names of the section in file order as listed into a buffer of `bufferSize`
    // characters (comments and lines without '=' are not listed; names past the buffer are
    // lost and the last one that does not fit is cut). An empty name ends the list.
    std::vector<std::string> sectionKeys(std::string_view section,
                                         size_t bufferSize = kKeyListBuffer) const;
    // "key=value" entries of the section in file order ("key" for a line without '='),
    // comments left out, values as stored (quotes kept, no length limit).
    std::vector<std::string> sectionValues(std::string_view section) const;
    // Names of all named sections in file order (duplicates included).
    std::vector<std::string> sectionNames() const;
    bool hasSection(std::string_view section) const;

    // --- changes; each returns whether the document changed ---
    // Sets the value (leading blanks dropped), adding the key and the section when missing.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the first matching key of the matching sections.
    bool deleteKey(std::string_view section, std::string_view key);
    // Removes the first matching section with all its keys.
    bool deleteSection(std::string_view section);

    // Room for about `bytes` more bytes of names and values and `keys` more keys.
    void reserve(size_t bytes, size_t keys);

    // --- the file ---
    // True when the file exists: it was parsed, or a change has created it.
    bool exists() const { return exists_; }
    // True when a change was made since the document was parsed (the file must be written).
    bool modified() const { return modified_; }
    // The bytes of the file after the changes so far: the parsed bytes when nothing changed,
    // otherwise the bytes the platform writer produces.
    std::string bytes() const;
    // Appends bytes() to out.
    void appendBytes(std::string& out) const;

    const IniRules& rules() const { return rules_; }

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    IniRules rules_;
    bool exists_ = false;
    bool modified_ = false;

    bool applyNormalised(int op, std::string_view section, std::string_view key,
                         std::string_view value);
};

// Builds a new file section by section and key by key, with the same bytes as writing every
// key through the platform's profile service into a file that does not exist.
class IniBuilder {
public:
    explicit IniBuilder(IniRules rules = {}) : doc_(rules) {}
    // Room for a file of about `bytes` bytes and `keys` keys, so that building it does not
    // move what was built so far.
    void reserve(size_t bytes, size_t keys) { doc_.reserve(bytes, keys); }
    // false when writing that key would leave the file unchanged (same value written again).
    bool add(std::string_view section, std::string_view key, std::string_view value) {
        return doc_.writeString(section, key, value);
    }
    std::string bytes() const { return doc_.bytes(); }
    const IniDocument& document() const { return doc_; }

private:
    IniDocument doc_;
};

// Splits a list of NUL-terminated names as the profile service returns it (`used` characters
// filled): the list ends at the first empty name or after `used` characters.
std::vector<std::string> splitProfileList(const char* buffer, size_t used);

}  // namespace kv
