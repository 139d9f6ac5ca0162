#include "foundation/XmlDocument.h"

#include <algorithm>
#include <charconv>
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

// The first c in [p, end), or null.  The characters looked for are mostly a
// few places away: the first sixteen are compared inline, the rest of a long
// stretch goes to memchr.
inline const char* FindChar(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    if (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
        if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    return p < end ? static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p))) : nullptr;
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

// The index of the first of two characters in s, or npos.
inline size_t FindFirstOf(std::string_view s, char a, char b) {
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == a || s[i] == b) return i;
    return std::string_view::npos;
}

constexpr std::string_view kCdata = "![CDATA[";

}  // namespace

// --- writer -------------------------------------------------------------------

void CXmlDocument::Append(int indent, std::initializer_list<std::string_view> pieces, bool newline) {
    const size_t tabs = indent > 0 ? static_cast<size_t>(indent) : 0;
    size_t add = tabs + (newline ? 2 : 0);
    for (std::string_view s : pieces) add += s.size();
    const size_t old = m_text.size();
    m_text.resize(old + add);
    char* out = m_text.data() + old;
    std::memset(out, '\t', tabs);
    out += tabs;
    for (std::string_view s : pieces) {
        if (!s.empty()) std::memcpy(out, s.data(), s.size());
        out += s.size();
    }
    if (newline) {
        out[0] = '\r';
        out[1] = '\n';
    }
}

void CXmlDocument::StartElement(std::string_view name, int indent, bool newline) {
    Append(indent, {"<", name, ">"}, newline);
}

void CXmlDocument::EndElement(std::string_view name, int indent, bool newline) {
    Append(indent, {"</", name, ">"}, newline);
}

void CXmlDocument::WriteElement(std::string_view name, std::string_view text, int indent, bool newline) {
    Append(indent, {"<", name, ">", text, "</", name, ">"}, newline);
}

void CXmlDocument::WriteElement(std::string_view name, long value, int indent, bool newline) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    WriteElement(name, std::string_view(digits, static_cast<size_t>(result.ptr - digits)), indent, newline);
}

std::string CXmlDocument::TakeText() {
    std::string text = std::move(m_text);
    m_text.clear();
    m_length = 0;
    ClearReadState();
    return text;
}

// --- reader -------------------------------------------------------------------

void CXmlDocument::ClearReadState() {
    ClearPendingAttributes();
    m_lastTagBegin = m_lastTagSize = 0;
    m_contentStart = 0;
    m_cursor = 0;
    m_noCdataEndFrom = static_cast<size_t>(-1);
}

void CXmlDocument::SetText(const std::string& text) {
    m_text = text;
    // The length is the one Rewind took; a shorter text cuts it, so that
    // reading on without a Rewind never goes past the end of the new text.
    m_length = std::min(m_length, m_text.size());
    ClearReadState();
}

bool CXmlDocument::Rewind() {
    m_length = m_text.size();
    ClearReadState();
    return true;
}

// Inlined into ReadNode, its only caller, which runs once a node.
[[gnu::always_inline]] inline std::string_view CXmlDocument::ScanTagName() {
    const char* text = m_text.data();
    if (m_cursor >= m_length) return {};
    if (m_length - m_cursor >= kCdata.size() && std::memcmp(text + m_cursor, kCdata.data(), kCdata.size()) == 0) {
        m_cursor += kCdata.size();
        return std::string_view(text + m_cursor - kCdata.size(), kCdata.size());
    }
    const char* end = FindBlankOrGreater(text + m_cursor, text + m_length);
    if (!end) return {};
    std::string_view name = TrimView(text + m_cursor, end);
    m_cursor = static_cast<size_t>(end - text);
    return name;
}

size_t CXmlDocument::FindCdataEnd(size_t from) {
    if (from >= m_noCdataEndFrom) return std::string_view::npos;
    size_t end = std::string_view(m_text.data(), m_length).find("]]>", from);
    if (end == std::string_view::npos) m_noCdataEndFrom = from;
    return end;
}

bool CXmlDocument::ScanAttribute(std::string_view& name, std::string_view& value) {
    const std::string_view p(m_text.data() + m_pendingBegin, m_pendingEnd - m_pendingBegin);
    size_t sep = FindFirstOf(p, ' ', '=');
    size_t open = sep == std::string_view::npos || sep == 0 ? std::string_view::npos : FindFirstOf(p, '"', '\'');
    size_t close = open == std::string_view::npos || open == 0 ? std::string_view::npos : p.find(p[open], open + 1);
    if (close == std::string_view::npos) {
        name = {};
        value = {};
        ClearPendingAttributes();
        return false;
    }
    name = TrimView(p.substr(0, sep));
    value = p.substr(open + 1, close - open - 1);
    size_t rest = close + 1;
    while (rest < p.size() && IsSpace(p[rest])) ++rest;
    m_pendingBegin += rest;
    return true;
}

bool CXmlDocument::ReadNode(std::string& name, std::string& value, bool& isEnd, bool& isAttribute) {
    std::string_view n, v;
    bool read = ReadNode(n, v, isEnd, isAttribute);
    Assign(name, n);
    Assign(value, v);
    return read;
}

bool CXmlDocument::ReadNode(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute) {
    isEnd = false;
    isAttribute = false;
    name = {};
    value = {};

    if (m_pendingBegin < m_pendingEnd) {
        if (m_pendingEnd - m_pendingBegin == 1 && m_text[m_pendingBegin] == '/') {
            m_endName.assign(1, '/');
            m_endName.append(m_text, m_lastTagBegin, m_lastTagSize);
            name = m_endName;
            isEnd = true;
            ClearPendingAttributes();
            return true;
        }
        if (ScanAttribute(name, value)) {
            isAttribute = true;
            return true;
        }
    }

    const char* const text = m_text.data();
    const char* const end = text + m_length;
    if (m_cursor >= m_length) return false;
    const char* lt = FindChar(text + m_cursor, end, '<');
    if (!lt) {
        m_cursor = m_length;
        return false;
    }
    m_cursor = static_cast<size_t>(lt - text) + 1;
    if (m_cursor >= m_length) return false;

    name = ScanTagName();
    m_lastTagBegin = name.empty() ? 0 : static_cast<size_t>(name.data() - text);
    m_lastTagSize = name.size();

    if (!name.empty() && name[0] == '/') {
        isEnd = true;
        return true;
    }

    if (name == kCdata) {
        size_t close = FindCdataEnd(m_cursor);
        if (close != std::string_view::npos && close > m_cursor) {
            value = std::string_view(text + m_cursor, close - m_cursor);
            m_cursor = close + 3;
            return true;
        }
    }

    const size_t tagStart = m_cursor;
    const char* gt = FindChar(text + m_cursor, end, '>');
    if (!gt) {
        m_cursor = m_length;
        return false;
    }
    std::string_view attributes = TrimView(text + tagStart, gt);
    m_pendingBegin = static_cast<size_t>(attributes.data() - text);
    m_pendingEnd = m_pendingBegin + attributes.size();
    m_contentStart = static_cast<size_t>(gt - text) + 1;
    m_cursor = m_contentStart;
    const char* next = FindChar(text + m_cursor, end, '<');
    if (!next) return true;
    value = TrimView(text + m_contentStart, next);
    m_cursor = static_cast<size_t>(next - text);
    return true;
}
