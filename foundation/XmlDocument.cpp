#include "foundation/XmlDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline std::string_view TrimView(const char* b, const char* e) {
    while (b < e && IsSpace(*b)) ++b;
    while (e > b && IsSpace(e[-1])) --e;
    return std::string_view(b, static_cast<size_t>(e - b));
}

inline std::string_view TrimView(std::string_view s) { return TrimView(s.data(), s.data() + s.size()); }

// The first c in [p, end), or null.  Sixteen characters a step where the
// instruction set has it: the characters looked for are mostly a few places
// away, where a library call would cost more than the scan.
inline const char* FindChar(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted));
        if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    for (; p < end; ++p)
        if (*p == c) return p;
    return nullptr;
}

// s = v, where v never lies in s.
inline void Assign(std::string& s, std::string_view v) {
    s.resize(v.size());
    if (!v.empty()) std::memcpy(s.data(), v.data(), v.size());
}

// The first blank or '>' in [p, end), or null: the end of a tag name.  Sixteen
// characters a step where the instruction set has it.
inline const char* FindBlankOrGreater(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i greater = _mm_set1_epi8('>');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, blank), _mm_cmpeq_epi8(v, greater)));
        if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    for (; p < end; ++p)
        if (*p == ' ' || *p == '>') return p;
    return nullptr;
}

#if defined(__SSE2__)
// One bit for each of the sixteen characters of v that IsSpace takes.
inline unsigned SpaceMask(__m128i v) {
    const __m128i fromTab = _mm_sub_epi8(v, _mm_set1_epi8('\t'));
    const __m128i controls = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8('\r' - '\t')), fromTab);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(controls, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')))));
}
#endif

// TrimView(p, p + k) for k < 16, where bit i of spaces tells whether p[i] is
// a blank: the first and last other character in two bit scans.
inline std::string_view TrimInBlock(const char* p, unsigned k, unsigned spaces) {
    const unsigned solid = ~spaces & ((1u << k) - 1u);
    if (!solid) return std::string_view(p + k, 0);
    const unsigned first = static_cast<unsigned>(__builtin_ctz(solid));
    const unsigned last = 31u - static_cast<unsigned>(__builtin_clz(solid));
    return std::string_view(p + first, last + 1 - first);
}

// The index of the first of two characters in s, or npos.
inline size_t FindFirstOf(std::string_view s, char a, char b) {
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == a || s[i] == b) return i;
    return std::string_view::npos;
}

// The first attribute of a start tag's attribute list p: its name up to the
// first blank or '=' (trimmed), its value within the first pair of like
// quotes; used is the length of the attribute and the blanks after it.
// False (name and value empty) when p holds no such attribute.
inline bool NextAttribute(std::string_view p, std::string_view& name, std::string_view& value, size_t& used) {
    size_t sep = FindFirstOf(p, ' ', '=');
    size_t open = sep == std::string_view::npos || sep == 0 ? std::string_view::npos : FindFirstOf(p, '"', '\'');
    size_t close = open == std::string_view::npos || open == 0 ? std::string_view::npos : p.find(p[open], open + 1);
    if (close == std::string_view::npos) {
        name = {};
        value = {};
        return false;
    }
    name = TrimView(p.substr(0, sep));
    value = p.substr(open + 1, close - open - 1);
    used = close + 1;
    while (used < p.size() && IsSpace(p[used])) ++used;
    return true;
}

constexpr std::string_view kCdata = "![CDATA[";

}  // namespace

// --- writer -------------------------------------------------------------------

namespace {

// Copies n characters where n is mostly short (a tag name, a number): up to
// 32 are overlapping fixed-size moves instead of a library call.
inline char* CopyShort(char* out, const char* s, size_t n) {
    if (n >= 8) {
        if (n <= 16) {
            std::memcpy(out, s, 8);
            std::memcpy(out + n - 8, s + n - 8, 8);
        } else if (n <= 32) {
            std::memcpy(out, s, 16);
            std::memcpy(out + n - 16, s + n - 16, 16);
        } else {
            std::memcpy(out, s, n);
        }
    } else if (n >= 4) {
        std::memcpy(out, s, 4);
        std::memcpy(out + n - 4, s + n - 4, 4);
    } else if (n > 0) {
        out[0] = s[0];
        out[n / 2] = s[n / 2];
        out[n - 1] = s[n - 1];
    }
    return out + n;
}

inline size_t SizeOf(char) { return 1; }
inline size_t SizeOf(std::string_view s) { return s.size(); }
inline char* Put(char* out, char c) {
    *out = c;
    return out + 1;
}
inline char* Put(char* out, std::string_view s) { return CopyShort(out, s.data(), s.size()); }

constexpr size_t kMaxShortIndent = 8;

}  // namespace

// One element line is built on the stack and appended at once (one capacity
// check, one copy); a line longer than the buffer is appended piece by piece.
template <class... Pieces>
void CXmlDocument::AppendLine(int indent, bool newline, Pieces... pieces) {
    PrepareWrite();
    const size_t tabs = indent > 0 ? static_cast<size_t>(indent) : 0;
    const size_t add = tabs + (newline ? 2 : 0) + (SizeOf(pieces) + ...);
    char line[256];
    if (tabs > kMaxShortIndent || add > sizeof line - kMaxShortIndent) {
        m_text.reserve(m_text.size() + add);
        m_text.append(tabs, '\t');
        ((m_text += pieces), ...);
        if (newline) m_text.append("\r\n", 2);
        return;
    }
    // Eight tabs, of which the first `tabs` stay.
    std::memcpy(line, "\t\t\t\t\t\t\t\t", kMaxShortIndent);
    char* out = line + tabs;
    ((out = Put(out, pieces)), ...);
    if (newline) std::memcpy(out, "\r\n", 2);
    m_text.append(line, add);
}

void CXmlDocument::StartElement(std::string_view name, int indent, bool newline) { AppendTag(name, indent, newline, false); }

void CXmlDocument::EndElement(std::string_view name, int indent, bool newline) { AppendTag(name, indent, newline, true); }

// A start or end tag line; a short one built from its few arguments.
void CXmlDocument::AppendTag(std::string_view name, int indent, bool newline, bool end) {
    const size_t n = name.size();
    if (indent > static_cast<int>(kMaxShortIndent) || n > 64) {
        if (end) AppendLine(indent, newline, '<', '/', name, '>');
        else AppendLine(indent, newline, '<', name, '>');
        return;
    }
    PrepareWrite();
    char line[kMaxShortIndent + 64 + 8];
    std::memcpy(line, "\t\t\t\t\t\t\t\t", kMaxShortIndent);
    char* out = line + (indent > 0 ? indent : 0);
    std::memcpy(out, "</", 2);
    out = CopyShort(out + (end ? 2 : 1), name.data(), n);
    *out = '>';
    std::memcpy(out + 1, "\r\n", 2);
    m_text.append(line, static_cast<size_t>(out + (newline ? 3 : 1) - line));
}

// Most element lines of a stored text: a short name and text, a few tabs.
// Built from four arguments rather than the ten pieces of the general line.
void CXmlDocument::WriteElement(std::string_view name, std::string_view text, int indent, bool newline) {
    const size_t n = name.size();
    const size_t t = text.size();
    if (indent > static_cast<int>(kMaxShortIndent) || n > 32 || t > 64) {
        AppendLine(indent, newline, '<', name, '>', text, '<', '/', name, '>');
        return;
    }
    PrepareWrite();
    char line[kMaxShortIndent + 2 * 32 + 64 + 8];
    std::memcpy(line, "\t\t\t\t\t\t\t\t", kMaxShortIndent);
    char* out = line + (indent > 0 ? indent : 0);
    *out = '<';
    out = CopyShort(out + 1, name.data(), n);
    *out = '>';
    out = CopyShort(out + 1, text.data(), t);
    std::memcpy(out, "</", 2);
    out = CopyShort(out + 2, name.data(), n);
    *out = '>';
    std::memcpy(out + 1, "\r\n", 2);
    m_text.append(line, static_cast<size_t>(out + (newline ? 3 : 1) - line));
}

void CXmlDocument::WriteElement(std::string_view name, long value, int indent, bool newline) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    WriteElement(name, std::string_view(digits, static_cast<size_t>(result.ptr - digits)), indent, newline);
}

void CXmlTextSize::WriteElement(std::string_view name, long value, int indent, bool newline) {
    // The length of the decimal number: its digits and a minus sign.
    size_t length = value < 0 ? 2 : 1;
    for (unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
         magnitude >= 10; magnitude /= 10)
        ++length;
    Line(indent, newline, 2 * name.size() + length + 5);
}

std::string CXmlDocument::TakeText() {
    Own();
    std::string text = std::move(m_text);
    m_text.clear();
    m_length = 0;
    ClearReadState();
    return text;
}

// --- reader -------------------------------------------------------------------

void CXmlDocument::Own() const {
    if (!m_borrowed) return;
    m_ahead.Drop();
    m_text.assign(m_borrowed, m_borrowedSize);
    m_borrowed = nullptr;
    m_borrowedSize = 0;
}

void CXmlDocument::ClearReadState() {
    m_ahead.Clear();
    ClearPendingAttributes();
    m_lastTagBegin = m_lastTagSize = 0;
    m_contentStart = 0;
    m_cursor = 0;
    m_noCdataEndFrom = static_cast<size_t>(-1);
}

void CXmlDocument::SetText(const std::string& text) {
    m_borrowed = nullptr;
    m_borrowedSize = 0;
    m_text = text;
    // The length is the one Rewind took; a shorter text cuts it, so that
    // reading on without a Rewind never goes past the end of the new text.
    m_length = std::min(m_length, m_text.size());
    ClearReadState();
}

void CXmlDocument::ReadText(std::string_view text) {
    m_text.clear();
    m_borrowed = text.data() ? text.data() : "";
    m_borrowedSize = text.size();
    Rewind();
}

bool CXmlDocument::Rewind() {
    m_length = TextSize();
    ClearReadState();
    return true;
}

size_t CXmlDocument::FindCdataEnd(size_t from) {
    if (from >= m_noCdataEndFrom) return std::string_view::npos;
    size_t end = std::string_view(Text(), m_length).find("]]>", from);
    if (end == std::string_view::npos) m_noCdataEndFrom = from;
    return end;
}

bool CXmlDocument::ScanAttribute(std::string_view& name, std::string_view& value) {
    const std::string_view p(Text() + m_pendingBegin, m_pendingEnd - m_pendingBegin);
    size_t used = 0;
    if (!NextAttribute(p, name, value, used)) {
        ClearPendingAttributes();
        return false;
    }
    m_pendingBegin += used;
    return true;
}
bool CXmlDocument::ReadNode(std::string& name, std::string& value, bool& isEnd, bool& isAttribute) {
    std::string_view n, v;
    bool read = ReadNode(n, v, isEnd, isAttribute);
    Assign(name, n);
    Assign(value, v);
    return read;
}

// The node the rest of the last start tag gives: the synthetic end tag of
// "<name />" or the next attribute.  False when the rest is no attribute (it
// is dropped and reading goes on with the next tag).
bool CXmlDocument::ReadPending(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute) {
    if (m_pendingEnd - m_pendingBegin == 1 && Text()[m_pendingBegin] == '/') {
        m_endName.assign(1, '/');
        m_endName.append(Text() + m_lastTagBegin, m_lastTagSize);
        name = m_endName;
        value = {};
        isEnd = true;
        ClearPendingAttributes();
        return true;
    }
    if (ScanAttribute(name, value)) {
        isAttribute = true;
        return true;
    }
    return false;
}

#if defined(__SSE2__)
namespace {

// What Scan asks of a character, one table look-up for several questions.
enum : unsigned char {
    kSpace = 1,    // IsSpace
    kNoName = 2,   // cannot start a name Scan reads: a blank, '>' (an empty name) or '!' (CDATA)
    kEndMark = 4,  // '/': an end tag
    kAttributeStop = 8,  // ends an attribute's name: a blank, '=', a quote or '>'
};
struct CharClasses {
    unsigned char of[256] = {};
    constexpr CharClasses() {
        for (int c = '\t'; c <= '\r'; ++c) of[c] = kSpace | kNoName | kAttributeStop;
        of[static_cast<unsigned char>(' ')] = kSpace | kNoName | kAttributeStop;
        of[static_cast<unsigned char>('>')] = kNoName | kAttributeStop;
        of[static_cast<unsigned char>('=')] = kAttributeStop;
        of[static_cast<unsigned char>('"')] = kAttributeStop;
        of[static_cast<unsigned char>('\'')] = kAttributeStop;
        of[static_cast<unsigned char>('!')] = kNoName;
        of[static_cast<unsigned char>('/')] = kEndMark;
    }
};
constexpr CharClasses kClasses;
inline unsigned ClassOf(char c) { return kClasses.of[static_cast<unsigned char>(c)]; }

inline unsigned Matches(__m128i v, char c) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
}

inline __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// NextAttribute for a list of at most sixteen characters that starts with
// no blank, from one block; the sixteen characters from the list's start
// must be readable.  The name and value as offsets into the list.
inline bool NextAttributeInBlock(const char* p, size_t n, unsigned& nameSize, unsigned& valueAt, unsigned& valueSize,
                                 size_t& used) {
    const __m128i v = Load16(p);
    const unsigned within = (1u << n) - 1;
    const unsigned seps = (Matches(v, ' ') | Matches(v, '=')) & within;
    const unsigned quotes = (Matches(v, '"') | Matches(v, '\'')) & within;
    // No separator, a separator or quote first: no attribute.
    if (!seps || !quotes || ((seps | quotes) & 1)) return false;
    const unsigned open = static_cast<unsigned>(__builtin_ctz(quotes));
    const unsigned closes = Matches(v, p[open]) & within & ~((2u << open) - 1);
    if (!closes) return false;
    const unsigned close = static_cast<unsigned>(__builtin_ctz(closes));
    // The name up to the separator, without the blanks before it.
    unsigned end = static_cast<unsigned>(__builtin_ctz(seps));
    while (end > 0 && IsSpace(p[end - 1])) --end;
    nameSize = end;
    valueAt = open + 1;
    valueSize = close - open - 1;
    used = close + 1;
    while (used < n && IsSpace(p[used])) ++used;
    return true;
}

}  // namespace
#endif

// Nodes of the common shapes, up to a batch: a tag whose name holds no
// blanks and ends within sixteen characters, followed by its text, or an end
// tag, and a start tag's attributes.  They are read in one loop over local
// pointers, each from a few sixteen-character blocks, and kept as views into
// the text (see ReadAhead for a text that moves).  The batch ends before any other
// shape (CDATA, empty names, names with blanks around them, a text without
// a following tag, the last characters of the text, the end of an empty
// element written "<name ... />"): ReadAnyNode reads those from the cursor
// and the pending attributes left here.
unsigned CXmlDocument::Scan() {
    m_ahead.next = m_ahead.filled = m_ahead.nodes;
#if defined(__SSE2__)
    if (m_pendingBegin < m_pendingEnd) return 0;
    m_ahead.from = m_cursor;
    const char* const text = Text();
    const char* const end = text + m_length;
    const char* p = text + m_cursor;
    Scanned* node = m_ahead.nodes;
    Scanned* const last = m_ahead.nodes + kBatch - 1;  // room for two more nodes below it
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i greater = _mm_set1_epi8('>');
    // Every block read below lies within the 48 characters after the cursor:
    // the '<' within 16, the name's block after it, a short attribute's
    // value within the 32 characters after the '<', the text's block after
    // the '>' that ends the name (further on only where checked).
    while (node < last && end - p > 48) {
        const char* lt = p;
        if (*lt != '<') {
            const unsigned lts = Matches(Load16(lt), '<');
            if (!lts) break;
            lt += __builtin_ctz(lts);
        }
        // The name: up to the first blank or '>' of the next sixteen characters.
        const char* const q = lt + 1;
        const __m128i v = Load16(q);
        const unsigned stops = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, blank), _mm_cmpeq_epi8(v, greater))));
        // (A name that does not start at q, or ends with a blank, is trimmed:
        // ReadAnyNode reads it.)
        const unsigned first = ClassOf(*q);
        if (!stops || (first & kNoName)) break;
        const unsigned k = static_cast<unsigned>(__builtin_ctz(stops));  // at least 1
        if (ClassOf(q[k - 1]) & kSpace) break;
        const char* const stop = q + k;
        node->name = std::string_view(q, k);
        if (first & kEndMark) {
            node->value = {};
            node->isEnd = true;
            node->isAttribute = false;
            ++node;
            p = stop;
            continue;
        }
        // The attribute list up to '>' (mostly none).  Mostly a start tag has
        // none or one short one, name="value" with no blanks around its '='
        // (as <Source ID="12">): that one is read here, into the node after
        // the start tag's, its name one character at a time and its value
        // from one block; other lists after the start tag's node.
        const char* gt = stop;
        bool oneAttribute = false;
        if (*stop != '>') {
            const char* const nameAt = stop + 1;
            const char* a = nameAt;
            // The value's block and the character after it then lie within
            // the 32 characters after q (when the block holds no quote or '>',
            // close stands just past it).
            const char* const nameLimit = q + 13;
            while (a < nameLimit && !(ClassOf(*a) & kAttributeStop)) ++a;
            if (a != nameAt && a[0] == '=' && a[1] == '"') {
                const char* const valueAt = a + 2;
                const __m128i w = Load16(valueAt);
                const unsigned ends = Matches(w, '"') | Matches(w, '>');
                const char* const close = valueAt + __builtin_ctz(ends | 0x10000u);
                if (*close == '"' && close[1] == '>') {
                    node[1].name = std::string_view(nameAt, static_cast<size_t>(a - nameAt));
                    node[1].value = std::string_view(valueAt, static_cast<size_t>(close - valueAt));
                    node[1].isEnd = false;
                    node[1].isAttribute = true;
                    oneAttribute = true;
                    gt = close + 1;
                }
            }
            if (!oneAttribute) gt = FindChar(stop, end, '>');
            if (!gt || end - gt < 17) break;
        }
        // The element's text up to the next '<', trimmed.
        const char* const content = gt + 1;
        const __m128i c = Load16(content);
        const unsigned lts = Matches(c, '<');
        const char* next;
        if (lts) {
            next = content + __builtin_ctz(lts);
        } else {
            next = FindChar(content + 16, end, '<');
            if (!next) break;
        }
        std::string_view value(content, static_cast<size_t>(next - content));
        if (!value.empty() && ((ClassOf(value.front()) | ClassOf(value.back())) & kSpace))
            value = value.size() < 16 ? TrimInBlock(content, static_cast<unsigned>(value.size()), SpaceMask(c))
                                      : TrimView(value);
        node->value = value;
        node->isEnd = false;
        node->isAttribute = false;
        ++node;
        p = next;
        if (gt == stop) {
            // Mostly the element's own end tag follows: '/', the same name and
            // '>' (the name's block compared as it was read, '>' included).
            // Its name is then known without a scan.
            if (end - next > 17 && next[1] == '/') {
                const unsigned same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(Load16(next + 2), v)));
                const unsigned want = (2u << k) - 1;
                if ((same & want) == want) {
                    node->name = std::string_view(next + 1, k + 1);
                    node->value = {};
                    node->isEnd = true;
                    node->isAttribute = false;
                    ++node;
                    // Past its '>': the next tag mostly follows at once.
                    p = next + 3 + k;
                }
            }
        } else if (oneAttribute) {
            ++node;
        } else {
            // The attributes follow the start tag.
            node = ScanAttributes(TrimView(stop, gt), node, static_cast<size_t>(q - text), k);
            if (m_pendingBegin < m_pendingEnd) break;
        }
    }
    m_cursor = static_cast<size_t>(p - text);
    m_ahead.filled = node;
    // After a restart the nodes handed out before it are passed over.
    m_ahead.next = m_ahead.nodes + std::min<ptrdiff_t>(m_ahead.skip, node - m_ahead.nodes);
    m_ahead.skip = 0;
    return static_cast<unsigned>(m_ahead.filled - m_ahead.next);
#else
    return 0;
#endif
}

// The attributes of the start tag read last (its name at tagAt, tagSize
// long) as nodes from node on; answers the end of them.  An attribute list
// that holds no more attributes is dropped.  A "/" left of it (the end of an
// empty element) and what finds no room in the batch are left pending, for
// ReadAnyNode.
CXmlDocument::Scanned* CXmlDocument::ScanAttributes(std::string_view attributes, Scanned* node, size_t tagAt,
                                                    size_t tagSize) {
    const char* const text = Text();
    while (!attributes.empty()) {
        if (node == m_ahead.nodes + kBatch || (attributes.size() == 1 && attributes[0] == '/')) {
            m_pendingBegin = static_cast<size_t>(attributes.data() - text);
            m_pendingEnd = m_pendingBegin + attributes.size();
            m_lastTagBegin = tagAt;
            m_lastTagSize = tagSize;
            break;
        }
        size_t used = 0;
#if defined(__SSE2__)
        // Scan reads a list only where the sixteen characters from its start
        // are readable, and every list it reads starts with no blank.
        if (attributes.size() <= 16) {
            unsigned nameSize, valueAt, valueSize;
            if (!NextAttributeInBlock(attributes.data(), attributes.size(), nameSize, valueAt, valueSize, used)) break;
            node->name = attributes.substr(0, nameSize);
            node->value = std::string_view(attributes.data() + valueAt, valueSize);
        } else
#endif
        {
            if (!NextAttribute(attributes, node->name, node->value, used)) break;
        }
        node->isEnd = false;
        node->isAttribute = true;
        ++node;
        attributes.remove_prefix(used);
    }
    return node;
}

bool CXmlDocument::ReadNextBatch(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute) {
    if (m_ahead.restart) {
        // The batch was dropped (see ReadAhead): read it again from its start.
        m_cursor = m_ahead.from;
        ClearPendingAttributes();
        m_ahead.restart = false;
    }
    if (Scan()) return ReadNode(name, value, isEnd, isAttribute);
    return ReadAnyNode(name, value, isEnd, isAttribute);
}

// Any node, one at a time (the shapes Scan leaves, and the pending
// attributes of the last start tag).  The scan
// works on local pointers and stores the cursor and the outputs once at the
// end: the outputs are references the compiler cannot tell from the members,
// so writing them early would make it reload the members after every store.
bool CXmlDocument::ReadAnyNode(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute) {
    isEnd = false;
    isAttribute = false;
    if (m_pendingBegin < m_pendingEnd && ReadPending(name, value, isEnd, isAttribute)) return true;

    const char* const text = Text();
    const char* const end = text + m_length;
    const char* p = text + m_cursor;
    name = {};
    value = {};
    if (p >= end) return false;
    // The cursor mostly stands on the '<' already (after the text of an element).
    const char* lt = *p == '<' ? p : FindChar(p, end, '<');
    if (!lt) {
        m_cursor = m_length;
        return false;
    }
    p = lt + 1;
    m_cursor = static_cast<size_t>(p - text);
    if (p >= end) return false;

    // The tag name: a CDATA opening as it stands, else up to the first blank
    // or '>', trimmed.
    std::string_view tag;
    if (*p == '!' && end - p >= static_cast<ptrdiff_t>(kCdata.size()) &&
        std::memcmp(p, kCdata.data(), kCdata.size()) == 0) {
        tag = std::string_view(p, kCdata.size());
        p += kCdata.size();
    } else {
        const char* stop;
#if defined(__SSE2__)
        // Names are short: mostly the name, its end and the blanks around it
        // are in the next sixteen characters.
        if (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('>')))));
            if (stops) {
                const unsigned k = static_cast<unsigned>(__builtin_ctz(stops));
                tag = TrimInBlock(p, k, SpaceMask(v));
                p += k;
                goto named;
            }
        }
#endif
        stop = FindBlankOrGreater(p, end);
        if (!stop) {
            // No '>' either: the text ends inside this tag.
            m_lastTagBegin = m_lastTagSize = 0;
            m_cursor = m_length;
            return false;
        }
        tag = TrimView(p, stop);
        p = stop;
    }
named:
    m_lastTagBegin = tag.empty() ? 0 : static_cast<size_t>(tag.data() - text);
    m_lastTagSize = tag.size();

    if (!tag.empty() && tag[0] == '/') {
        m_cursor = static_cast<size_t>(p - text);
        name = tag;
        isEnd = true;
        return true;
    }

    if (tag.size() == kCdata.size() && tag == kCdata) {
        const size_t from = static_cast<size_t>(p - text);
        const size_t close = FindCdataEnd(from);
        if (close != std::string_view::npos && close > from) {
            m_cursor = close + 3;
            name = tag;
            value = std::string_view(p, close - from);
            return true;
        }
    }

    // The attribute list up to '>' (mostly empty: the name ends at the '>').
    // (After a CDATA opening without its end the cursor may stand at the end.)
    const char* gt = p < end && *p == '>' ? p : FindChar(p, end, '>');
    if (!gt) {
        m_cursor = m_length;
        name = tag;
        return false;
    }
    if (gt != p) {
        const std::string_view attributes = TrimView(p, gt);
        m_pendingBegin = static_cast<size_t>(attributes.data() - text);
        m_pendingEnd = m_pendingBegin + attributes.size();
    }
    p = gt + 1;
    m_contentStart = static_cast<size_t>(p - text);
    name = tag;
    // The element's text: up to the next tag, trimmed; none when no tag follows.
#if defined(__SSE2__)
    if (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned lts = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('<'))));
        if (lts) {
            const unsigned k = static_cast<unsigned>(__builtin_ctz(lts));
            m_cursor = static_cast<size_t>(p + k - text);
            value = TrimInBlock(p, k, SpaceMask(v));
            return true;
        }
    }
#endif
    const char* next = p < end ? (*p == '<' ? p : FindChar(p, end, '<')) : nullptr;
    if (!next) {
        m_cursor = m_contentStart;
        return true;
    }
    m_cursor = static_cast<size_t>(next - text);
    value = TrimView(p, next);
    return true;
}
