#include "framework/ini.h"

#include <cstring>
#include <limits>

#include "framework/error.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kv {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
// Sections with more keys than this get a hash index of their keys; smaller ones are walked.
constexpr uint32_t kKeyIndexThreshold = 12;

// The profile service's blanks: TAB, LF, VT, FF, CR, ^Z (DOS end of file) and space.
inline bool isBlank(unsigned char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20; }

struct FoldTables {
    uint8_t ascii[256];
    uint8_t ansi[256];
    FoldTables() {
        for (int c = 0; c < 256; ++c) ascii[c] = ansi[c] = static_cast<uint8_t>(c);
        for (int c = 'A'; c <= 'Z'; ++c) ascii[c] = ansi[c] = static_cast<uint8_t>(c + 32);
        // Windows-1252 capitals and their small letters.
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7) ansi[c] = static_cast<uint8_t>(c + 32);
        ansi[0x8A] = 0x9A;  // S caron
        ansi[0x8C] = 0x9C;  // OE
        ansi[0x8E] = 0x9E;  // Z caron
        ansi[0x9F] = 0xFF;  // Y diaeresis
    }
};
const FoldTables& foldTables() {
    static const FoldTables t;
    return t;
}

inline std::string_view cutAtNul(std::string_view s) {
    if (s.size() > 32) {
        const void* z = std::memchr(s.data(), 0, s.size());
        return z ? s.substr(0, static_cast<const char*>(z) - s.data()) : s;
    }
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == 0) return s.substr(0, i);
    return s;
}
inline std::string_view trimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}
inline std::string_view trimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && isBlank(static_cast<unsigned char>(s[n - 1]))) --n;
    return s.substr(0, n);
}
inline bool hasLineBreak(std::string_view s) {
    for (char c : s)
        if (c == '\r' || c == '\n') return true;
    return false;
}
inline bool hasChar(std::string_view s, char ch) {
    for (char c : s)
        if (c == ch) return true;
    return false;
}

struct Str {
    uint32_t off = 0;
    uint32_t len = 0;
};

struct Key {
    Str name;
    Str value;
    uint32_t next = kNone;
    bool hasValue = false;
    uint8_t lead = 0;  // the name's first character folded (0 for an empty name): a quick filter
};

// Open-addressing table from a folded name to the first id carrying that name.
class NameIndex {
public:
    template <class NameOf>
    uint32_t find(std::string_view name, const uint8_t* fold, NameOf nameOf) const {
        if (slots_.empty()) return kNone;
        size_t mask = slots_.size() - 1;
        for (size_t i = hash(name, fold) & mask;; i = (i + 1) & mask) {
            uint32_t id = slots_[i];
            if (id == kNone) return kNone;
            if (same(nameOf(id), name, fold)) return id;
        }
    }
    template <class NameOf>
    void insertIfAbsent(uint32_t id, std::string_view name, const uint8_t* fold, NameOf nameOf) {
        if ((count_ + 1) * 2 > slots_.size()) grow(fold, nameOf);
        size_t mask = slots_.size() - 1;
        for (size_t i = hash(name, fold) & mask;; i = (i + 1) & mask) {
            uint32_t cur = slots_[i];
            if (cur == kNone) {
                slots_[i] = id;
                ++count_;
                return;
            }
            if (same(nameOf(cur), name, fold)) return;
        }
    }
    void clear() {
        slots_.clear();
        count_ = 0;
    }
    // Room for n names; only while the table is empty (it grows by itself later).
    void reserve(size_t n) {
        size_t cap = 16;
        while (cap < n * 2) cap *= 2;
        if (count_ == 0 && cap > slots_.size()) {
            slots_.assign(cap, kNone);
            count_ = 0;
        }
    }

    static bool same(std::string_view a, std::string_view b, const uint8_t* fold) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
            if (x != y && fold[x] != fold[y]) return false;
        }
        return true;
    }

private:
    std::vector<uint32_t> slots_;
    size_t count_ = 0;

    static size_t hash(std::string_view s, const uint8_t* fold) {
        uint64_t h = 1469598103934665603ull;
        for (unsigned char c : s) h = (h ^ fold[c]) * 1099511628211ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
    template <class NameOf>
    void grow(const uint8_t* fold, NameOf nameOf) {
        std::vector<uint32_t> old;
        old.swap(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, kNone);
        size_t mask = slots_.size() - 1;
        for (uint32_t id : old) {
            if (id == kNone) continue;
            size_t i = hash(nameOf(id), fold) & mask;
            while (slots_[i] != kNone) i = (i + 1) & mask;
            slots_[i] = id;
        }
    }
};

struct Section {
    Str name;
    uint32_t first = kNone;
    uint32_t last = kNone;
    uint32_t count = 0;
    bool alive = true;
    // The keys are first, first + 1, ..., last (as parsed): walked by index, not by link.
    bool contiguous = true;
    std::unique_ptr<NameIndex> keyIndex;  // built on demand for large sections
};

}  // namespace

struct IniDocument::Impl {
    // Names and values point into `store`. Its first `fileLen` bytes are the file as it is
    // when `dirty` is false.
    std::string store;
    uint32_t fileLen = 0;
    bool dirty = false;
    // The document holds names cut at a NUL byte or nameless sections after the first: such
    // a document does not come back unchanged from its own bytes, so changes to it are
    // replayed through the bytes.
    bool unstable = false;
    std::vector<Key> keys;
    std::vector<Section> sections;
    NameIndex sectionIndex;
    const uint8_t* fold = nullptr;

    std::string_view str(Str s) const { return std::string_view(store.data() + s.off, s.len); }
    Str add(std::string_view s) {
        if (store.size() + s.size() > std::numeric_limits<uint32_t>::max())
            throw Error("Profile file too large");
        Str r{static_cast<uint32_t>(store.size()), static_cast<uint32_t>(s.size())};
        store.append(s.data(), s.size());
        return r;
    }
    std::string_view keyName(uint32_t k) const { return str(keys[k].name); }
    std::string_view sectionName(uint32_t s) const { return str(sections[s].name); }

    auto sectionNameOf() const {
        return [this](uint32_t id) { return sectionName(id); };
    }

    // The section found last; runs of reads and writes usually stay in one section.
    mutable uint32_t lastSection = kNone;

    uint32_t findSection(std::string_view name) const {
        if (lastSection != kNone && NameIndex::same(sectionName(lastSection), name, fold))
            return lastSection;
        uint32_t s = sectionIndex.find(name, fold, sectionNameOf());
        if (s != kNone) lastSection = s;
        return s;
    }
    // The next live section after `after` with the same name.
    uint32_t nextSameSection(uint32_t after, std::string_view name) const {
        for (uint32_t s = after + 1; s < sections.size(); ++s)
            if (sections[s].alive && NameIndex::same(sectionName(s), name, fold)) return s;
        return kNone;
    }
    void rebuildSectionIndex() {
        lastSection = kNone;
        sectionIndex.clear();
        sectionIndex.reserve(sections.size());
        for (uint32_t s = 0; s < sections.size(); ++s)
            if (sections[s].alive) sectionIndex.insertIfAbsent(s, sectionName(s), fold, sectionNameOf());
    }

    uint32_t findKey(uint32_t s, std::string_view name) const {
        const Section& sec = sections[s];
        if (sec.count > kKeyIndexThreshold) {
            auto nameOf = [this](uint32_t id) { return keyName(id); };
            if (!sec.keyIndex) {
                auto idx = std::make_unique<NameIndex>();
                idx->reserve(sec.count);
                for (uint32_t k = sec.first; k != kNone; k = keys[k].next)
                    idx->insertIfAbsent(k, keyName(k), fold, nameOf);
                const_cast<Section&>(sec).keyIndex = std::move(idx);
            }
            return sec.keyIndex->find(name, fold, nameOf);
        }
        const uint8_t want = leadOf(name);
        if (sec.contiguous) {
            if (sec.first == kNone) return kNone;
            for (uint32_t k = sec.first; k <= sec.last; ++k)
                if (keys[k].lead == want && NameIndex::same(keyName(k), name, fold)) return k;
            return kNone;
        }
        for (uint32_t k = sec.first; k != kNone; k = keys[k].next)
            if (keys[k].lead == want && NameIndex::same(keyName(k), name, fold)) return k;
        return kNone;
    }
    uint8_t leadOf(std::string_view name) const {
        return name.empty() ? 0 : fold[static_cast<unsigned char>(name[0])];
    }

    uint32_t addSection(Str name) {
        uint32_t id = static_cast<uint32_t>(sections.size());
        sections.emplace_back();
        sections.back().name = name;
        sectionIndex.insertIfAbsent(id, str(name), fold, sectionNameOf());
        return id;
    }
    uint32_t appendKey(uint32_t s, Str name, Str value, bool hasValue) {
        uint32_t id = static_cast<uint32_t>(keys.size());
        keys.push_back(Key{name, value, kNone, hasValue, leadOf(str(name))});
        Section& sec = sections[s];
        if (sec.last == kNone) sec.first = id;
        else keys[sec.last].next = id;
        if (sec.last != kNone && sec.last + 1 != id) sec.contiguous = false;
        sec.last = id;
        ++sec.count;
        if (sec.keyIndex)
            sec.keyIndex->insertIfAbsent(id, str(name), fold, [this](uint32_t k) { return keyName(k); });
        return id;
    }

    void parse(std::string_view bytes);
    void parseStore();  // parses the bytes already in `store`
    void serialize(std::string& out) const;

    // Takes key k (preceded by prev, or kNone when it is the first) out of its section's list.
    void unlinkKey(Section& sec, uint32_t prev, uint32_t k) {
        uint32_t next = keys[k].next;
        if (prev == kNone) sec.first = next;
        else keys[prev].next = next;
        if (sec.last == k) sec.last = prev;
        --sec.count;
        sec.keyIndex.reset();
        sec.contiguous = false;
    }
};


void IniDocument::Impl::parse(std::string_view bytes) {
    if (bytes.size() >= std::numeric_limits<uint32_t>::max() / 2) throw Error("Profile file too large");
    store.assign(bytes.data(), bytes.size());
    parseStore();
}

void IniDocument::Impl::parseStore() {
    std::string_view bytes(store);
    fileLen = static_cast<uint32_t>(bytes.size());
    dirty = false;
    unstable = false;
    keys.clear();
    sections.clear();
    sectionIndex.clear();
    lastSection = kNone;
    // An empty file holds nothing at all, not even the nameless first section.
    if (bytes.empty()) return;

    keys.reserve(bytes.size() / 8 + 4);
    sections.reserve(bytes.size() / 48 + 4);
    sectionIndex.reserve(bytes.size() / 48 + 4);
    const char* base = store.data();
    const size_t n = store.size();
    const bool mayHoldNul = std::memchr(base, 0, n) != nullptr;

    uint32_t cur = addSection(Str{0, 0});
    uint32_t curLast = kNone;  // last key of the current section
    uint32_t prevKey = kNone;  // the previous key line of the current section
    // Bitmaps of the line breaks and equals signs, so each line is found in a few steps.
    const size_t words = n / 64 + 1;
    std::vector<uint64_t> breaks(words, 0), equals(words, 0);
    size_t i = 0;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), eqc = _mm_set1_epi8('=');
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        uint64_t b = static_cast<uint16_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        uint64_t q = static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, eqc)));
        breaks[i >> 6] |= b << (i & 63);
        equals[i >> 6] |= q << (i & 63);
    }
#endif
    for (; i < n; ++i) {
        char c = base[i];
        if (c == '\r' || c == '\n') breaks[i >> 6] |= uint64_t(1) << (i & 63);
        else if (c == '=') equals[i >> 6] |= uint64_t(1) << (i & 63);
    }
    // Position of the first set bit at or after pos, n when none.
    auto nextBit = [&](const std::vector<uint64_t>& bits, size_t pos) -> size_t {
        if (pos >= n) return n;
        size_t w = pos >> 6;
        uint64_t m = bits[w] & (~uint64_t(0) << (pos & 63));
        while (!m) {
            if (++w >= words) return n;
            m = bits[w];
        }
        size_t at = (w << 6) + static_cast<size_t>(__builtin_ctzll(m));
        return at < n ? at : n;
    };

    size_t p = 0;
    while (p < n) {
        size_t s = p;
        p = nextBit(breaks, p);
        size_t eqAt = nextBit(equals, s);
        size_t e = p;
        while (p < n && (base[p] == '\n' || base[p] == '\r')) ++p;
        while (s < e && isBlank(static_cast<unsigned char>(base[s]))) ++s;
        while (e > s && isBlank(static_cast<unsigned char>(base[e - 1]))) --e;
        if (s >= e) continue;

        if (base[s] == '[') {
            size_t close = e;
            while (close > s && base[close - 1] != ']') --close;
            if (close > s) {  // base[close - 1] is the last ']'
                size_t ns = s + 1, ne = close - 1;
                while (ns < ne && isBlank(static_cast<unsigned char>(base[ns]))) ++ns;
                while (ne > ns && isBlank(static_cast<unsigned char>(base[ne - 1]))) --ne;
                std::string_view name(base + ns, ne - ns);
                if (mayHoldNul) {
                    std::string_view cut = cutAtNul(name);
                    if (cut.size() != name.size()) unstable = true;
                    name = cut;
                }
                if (name.empty()) unstable = true;
                cur = addSection(Str{static_cast<uint32_t>(name.data() - base),
                                     static_cast<uint32_t>(name.size())});
                prevKey = curLast = kNone;
                continue;
            }
        }

        size_t nameEnd = e;
        size_t vs = e;
        bool hasValue = false;
        if (eqAt < e) {  // an '=' in the trimmed line (blanks never are '=')
            size_t q = eqAt;
            nameEnd = q;
            while (nameEnd > s && isBlank(static_cast<unsigned char>(base[nameEnd - 1]))) --nameEnd;
            vs = q + 1;
            while (vs < e && isBlank(static_cast<unsigned char>(base[vs]))) ++vs;
            hasValue = true;
        }
        size_t rawNameLen = nameEnd - s;
        if (rawNameLen == 0 && prevKey != kNone && keys[prevKey].name.len == 0) continue;
        Str name{static_cast<uint32_t>(s), static_cast<uint32_t>(rawNameLen)};
        Str value{static_cast<uint32_t>(vs), static_cast<uint32_t>(e - vs)};
        if (mayHoldNul) {
            size_t nl = cutAtNul(str(name)).size(), vl = cutAtNul(str(value)).size();
            if (nl != name.len || vl != value.len) unstable = true;
            name.len = static_cast<uint32_t>(nl);
            value.len = static_cast<uint32_t>(vl);
        }
        // Appended in place (appendKey without the key index, which no section has yet).
        uint32_t id = static_cast<uint32_t>(keys.size());
        keys.push_back(Key{name, value, kNone, hasValue, leadOf(str(name))});
        if (curLast == kNone) sections[cur].first = id;
        else keys[curLast].next = id;
        curLast = id;
        ++sections[cur].count;
        sections[cur].last = id;
        prevKey = id;
    }
}

void IniDocument::Impl::serialize(std::string& out) const {
    out.reserve(out.size() + store.size() + keys.size() * 3 + sections.size() * 4);
    for (const Section& sec : sections) {
        if (!sec.alive) continue;
        if (sec.name.len) {
            out += '[';
            out.append(store.data() + sec.name.off, sec.name.len);
            out += "]\r\n";
        }
        for (uint32_t k = sec.first; k != kNone; k = keys[k].next) {
            const Key& key = keys[k];
            out.append(store.data() + key.name.off, key.name.len);
            if (key.hasValue) {
                out += '=';
                out.append(store.data() + key.value.off, key.value.len);
            }
            out += "\r\n";
        }
    }
}

IniDocument::IniDocument(IniRules rules) : d_(std::make_unique<Impl>()), rules_(rules) {
    d_->fold = rules.foldAnsiLetters ? foldTables().ansi : foldTables().ascii;
}

IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;
IniDocument::~IniDocument() = default;

IniDocument IniDocument::parse(std::string&& bytes, IniRules rules) {
    if (bytes.size() >= std::numeric_limits<uint32_t>::max() / 2) throw Error("Profile file too large");
    IniDocument doc(rules);
    doc.d_->store = std::move(bytes);
    doc.d_->parseStore();
    doc.exists_ = true;
    return doc;
}

IniDocument IniDocument::parse(std::string_view bytes, IniRules rules) {
    IniDocument doc(rules);
    doc.d_->parse(bytes);
    doc.exists_ = true;
    return doc;
}

std::string IniDocument::readString(std::string_view section, std::string_view key,
                                    std::string_view def, size_t bufferSize) const {
    if (bufferSize == 0) return std::string();
    std::string_view src;
    bool found = false;
    uint32_t s = d_->findSection(trimRight(trimLeft(cutAtNul(section))));
    if (s != kNone) {
        uint32_t k = d_->findKey(s, trimRight(trimLeft(cutAtNul(key))));
        if (k != kNone && d_->keys[k].hasValue) {
            src = d_->str(d_->keys[k].value);
            found = true;
        }
    }
    if (!found) {
        src = cutAtNul(def);
        size_t n = src.size();
        size_t keep = rules_.keepFirstBlankOfDefault ? 1 : 0;
        while (n > keep && src[n - 1] == ' ') --n;
        src = src.substr(0, n);
    }
    // Matching single or double quotes around the value are removed.
    char quote = 0;
    if (src.size() > 1 && (src[0] == '\'' || src[0] == '"') && src.back() == src[0]) {
        quote = src[0];
        src.remove_prefix(1);
    }
    std::string out(src.substr(0, bufferSize - 1));
    // The closing quote goes only when the whole value fit (one character is lost when it
    // fits exactly, as on the platform).
    if (quote && bufferSize >= src.size() && !out.empty()) out.pop_back();
    return out;
}

std::vector<std::string> IniDocument::sectionKeys(std::string_view section, size_t bufferSize) const {
    std::vector<std::string> out;
    uint32_t s = d_->findSection(cutAtNul(section));
    if (s == kNone || bufferSize == 0) return out;
    size_t len = bufferSize;
    for (uint32_t k = d_->sections[s].first; k != kNone; k = d_->keys[k].next) {
        if (len <= 2) break;
        const Key& key = d_->keys[k];
        if (!key.hasValue) continue;  // lines without '=' and bare comments
        std::string_view name = d_->str(key.name);
        if (!name.empty() && name[0] == ';') continue;
        name = name.substr(0, len - 2);
        if (name.empty()) break;  // an empty name ends the list
        out.emplace_back(name);
        len -= name.size() + 1;
        if (len < 2) break;
    }
    return out;
}

std::vector<std::string> IniDocument::sectionValues(std::string_view section) const {
    std::vector<std::string> out;
    uint32_t s = d_->findSection(cutAtNul(section));
    if (s == kNone) return out;
    for (uint32_t k = d_->sections[s].first; k != kNone; k = d_->keys[k].next) {
        const Key& key = d_->keys[k];
        std::string_view name = d_->str(key.name);
        if (name.empty() && !key.hasValue) continue;
        if (!name.empty() && name[0] == ';') continue;
        std::string e(name);
        if (key.hasValue) {
            e += '=';
            e.append(d_->str(key.value));
        }
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> out;
    for (const Section& sec : d_->sections)
        if (sec.alive && sec.name.len) out.emplace_back(d_->str(sec.name));
    return out;
}

bool IniDocument::hasSection(std::string_view section) const {
    return d_->findSection(cutAtNul(section)) != kNone;
}

namespace {
enum Op { OpWrite, OpDeleteKey, OpDeleteSection };
}

bool IniDocument::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view secStored = trimLeft(cutAtNul(section));
    std::string_view secQuery = trimRight(secStored);
    std::string_view keyStored = trimLeft(cutAtNul(key));
    std::string_view keyQuery = trimRight(keyStored);
    std::string_view val = trimLeft(cutAtNul(value));

    // Names and values that would read back differently from the bytes written.
    bool replay = d_->unstable || secQuery.empty() || keyQuery.empty() ||
                  secQuery.size() != secStored.size() || keyQuery.size() != keyStored.size() ||
                  keyQuery[0] == '[' || hasLineBreak(secStored) || hasLineBreak(keyStored) ||
                  hasChar(keyStored, '=') || hasLineBreak(val) ||
                  (!val.empty() && isBlank(static_cast<unsigned char>(val.back())));
    if (replay) return applyNormalised(OpWrite, section, key, value);

    Impl& d = *d_;
    uint32_t s = d.findSection(secQuery);
    if (s == kNone) {
        // A file that is read back always starts with the nameless section.
        if (d.sections.empty()) d.addSection(Str{0, 0});
        s = d.addSection(d.add(secStored));
        Str kn = d.add(keyStored);
        d.appendKey(s, kn, d.add(val), true);
    } else {
        uint32_t k = d.findKey(s, keyQuery);
        if (k == kNone) {
            Str kn = d.add(keyStored);
            d.appendKey(s, kn, d.add(val), true);
        } else {
            Key& kk = d.keys[k];
            if (kk.hasValue && d.str(kk.value) == val) return false;
            kk.value = d.add(val);
            kk.hasValue = true;
        }
    }
    d.dirty = true;
    modified_ = exists_ = true;
    return true;
}

bool IniDocument::deleteKey(std::string_view section, std::string_view key) {
    Impl& d = *d_;
    std::string_view sq = cutAtNul(section), kq = cutAtNul(key);
    for (uint32_t s = d.findSection(sq); s != kNone; s = d.nextSameSection(s, sq)) {
        Section& sec = d.sections[s];
        uint32_t prev = kNone;
        bool emptyNames = false;
        for (uint32_t k = sec.first; k != kNone; k = d.keys[k].next)
            if (d.keys[k].name.len == 0) emptyNames = true;
        for (uint32_t k = sec.first; k != kNone; prev = k, k = d.keys[k].next) {
            if (!NameIndex::same(d.keyName(k), kq, d.fold)) continue;
            // Removing a key next to keys without names changes which of them read back.
            if (emptyNames || d.unstable) return applyNormalised(OpDeleteKey, section, key, {});
            d.unlinkKey(sec, prev, k);
            d.dirty = true;
            modified_ = true;
            return true;
        }
    }
    return false;
}

bool IniDocument::deleteSection(std::string_view section) {
    Impl& d = *d_;
    std::string_view sq = cutAtNul(section);
    uint32_t s = d.findSection(sq);
    if (s == kNone) return false;
    // The nameless first section comes back (empty) when the file is read again.
    if (sq.empty() || d.unstable) return applyNormalised(OpDeleteSection, section, {}, {});
    d.sections[s].alive = false;
    d.rebuildSectionIndex();
    d.dirty = true;
    modified_ = true;
    return true;
}

// Applies the change to the document as the platform applies it to its copy in memory, writes
// the bytes and reads them back, as the platform does on its next access to the file.
bool IniDocument::applyNormalised(int op, std::string_view section, std::string_view key,
                                  std::string_view value) {
    Impl& d = *d_;
    bool changed = false;
    if (op == OpWrite) {
        std::string_view secStored = trimLeft(cutAtNul(section));
        std::string_view keyStored = trimLeft(cutAtNul(key));
        std::string_view val = trimLeft(cutAtNul(value));
        uint32_t s = d.findSection(trimRight(secStored));
        uint32_t k = s == kNone ? kNone : d.findKey(s, trimRight(keyStored));
        if (s == kNone) {
            s = d.addSection(d.add(secStored));
            // A new section's name may differ from the one looked up (trailing blanks); it
            // must not be found under the looked-up name until the file is read back.
        }
        if (k == kNone) {
            Str kn = d.add(keyStored);
            d.appendKey(s, kn, d.add(val), true);
            changed = true;
        } else if (!d.keys[k].hasValue || d.str(d.keys[k].value) != val) {
            d.keys[k].value = d.add(val);
            d.keys[k].hasValue = true;
            changed = true;
        }
    } else if (op == OpDeleteKey) {
        std::string_view sq = cutAtNul(section), kq = cutAtNul(key);
        for (uint32_t s = d.findSection(sq); s != kNone && !changed; s = d.nextSameSection(s, sq)) {
            Section& sec = d.sections[s];
            uint32_t prev = kNone;
            for (uint32_t k = sec.first; k != kNone; prev = k, k = d.keys[k].next) {
                if (!NameIndex::same(d.keyName(k), kq, d.fold)) continue;
                d.unlinkKey(sec, prev, k);
                changed = true;
                break;
            }
        }
    } else {
        uint32_t s = d.findSection(cutAtNul(section));
        if (s != kNone) {
            d.sections[s].alive = false;
            changed = true;
        }
    }
    if (!changed) return false;
    std::string bytes;
    d.serialize(bytes);
    d.store = std::move(bytes);
    d.parseStore();  // the file as written; not dirty
    modified_ = exists_ = true;
    return true;
}

void IniDocument::reserve(size_t bytes, size_t keys) {
    d_->store.reserve(d_->store.size() + bytes);
    d_->keys.reserve(d_->keys.size() + keys);
    d_->sections.reserve(d_->sections.size() + keys / 4 + 4);
    d_->sectionIndex.reserve(d_->sections.size() + keys / 4 + 4);
}

std::string IniDocument::bytes() const {
    std::string out;
    appendBytes(out);
    return out;
}

void IniDocument::appendBytes(std::string& out) const {
    if (d_->dirty) d_->serialize(out);
    else out.append(d_->store.data(), d_->fileLen);
}

std::vector<std::string> splitProfileList(const char* buffer, size_t used) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < used && buffer[i]) {
        size_t j = i;
        while (j < used && buffer[j]) ++j;
        out.emplace_back(buffer + i, j - i);
        i = j + 1;
    }
    return out;
}

}  // namespace kv
