#include "foundation/XmlDocument.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

}  // namespace

void CXmlDocument::Append(int indent, const std::string& s, bool newline) {
    if (indent > 0) m_text.append(static_cast<size_t>(indent), '\t');
    m_text += s;
    if (newline) m_text += "\r\n";
}

void CXmlDocument::StartElement(const std::string& name, int indent, bool newline) {
    Append(indent, "<" + name + ">", newline);
}

void CXmlDocument::EndElement(const std::string& name, int indent, bool newline) {
    Append(indent, "</" + name + ">", newline);
}

void CXmlDocument::WriteElement(const std::string& name, const std::string& text, int indent, bool newline) {
    Append(indent, "<" + name + ">" + text + "</" + name + ">", newline);
}

void CXmlDocument::WriteElement(const std::string& name, long value, int indent, bool newline) {
    WriteElement(name, std::to_string(value), indent, newline);
}

void CXmlDocument::SetText(const std::string& text) {
    m_text = text;
    // The length is the one Rewind took; a shorter text cuts it, so that
    // reading on without a Rewind never goes past the end of the new text.
    m_length = std::min(m_length, static_cast<int>(m_text.size()));
    ClearPendingAttributes();
    m_lastTag.clear();
    m_contentStart = 0;
    m_cursor = 0;
}

bool CXmlDocument::Rewind() {
    m_cursor = 0;
    m_contentStart = 0;
    m_length = static_cast<int>(m_text.size());
    ClearPendingAttributes();
    m_lastTag.clear();
    return true;
}

std::string CXmlDocument::ScanTagName() {
    if (m_cursor >= m_length) return {};
    std::string_view doc(m_text.data(), static_cast<size_t>(m_length));
    if (doc.compare(static_cast<size_t>(m_cursor), 8, "![CDATA[") == 0 && m_cursor + 8 <= m_length) {
        m_cursor += 8;
        return "![CDATA[";
    }
    size_t end = doc.find_first_of(" >", static_cast<size_t>(m_cursor));
    if (end == std::string_view::npos) return {};
    std::string name = Trim(doc.substr(static_cast<size_t>(m_cursor), end - static_cast<size_t>(m_cursor)));
    m_cursor = static_cast<int>(end);
    return name;
}

std::string_view CXmlDocument::PendingAttributes() const {
    if (m_pendingEnd > m_text.size() || m_pendingBegin >= m_pendingEnd) return {};
    return std::string_view(m_text).substr(m_pendingBegin, m_pendingEnd - m_pendingBegin);
}

bool CXmlDocument::ScanAttribute(std::string& name, std::string& value) {
    name.clear();
    value.clear();
    const std::string_view p = PendingAttributes();
    auto fail = [&] {
        name.clear();
        value.clear();
        ClearPendingAttributes();
        return false;
    };
    size_t sep = p.find_first_of(" =");
    if (sep == std::string_view::npos || sep == 0) return fail();
    size_t open = p.find_first_of("\"'");
    if (open == std::string_view::npos || open == 0) return fail();
    size_t close = p.find(p[open], open + 1);
    if (close == std::string_view::npos) return fail();
    name = Trim(p.substr(0, sep));
    value = std::string(p.substr(open + 1, close - open - 1));
    size_t rest = close + 1;
    while (rest < p.size() && IsSpace(p[rest])) ++rest;
    m_pendingBegin += rest;
    return true;
}

bool CXmlDocument::ReadNode(std::string& name, std::string& value, bool& isEnd, bool& isAttribute) {
    isEnd = false;
    isAttribute = false;
    name.clear();
    value.clear();

    if (!PendingAttributes().empty()) {
        if (PendingAttributes() == "/") {
            name = "/" + m_lastTag;
            isEnd = true;
            ClearPendingAttributes();
            return true;
        }
        if (ScanAttribute(name, value)) {
            isAttribute = true;
            return true;
        }
    }

    std::string_view doc(m_text.data(), static_cast<size_t>(m_length));
    if (m_cursor < 0 || m_cursor >= m_length) return false;
    size_t lt = doc.find('<', static_cast<size_t>(m_cursor));
    if (lt == std::string_view::npos) {
        m_cursor = m_length;
        return false;
    }
    m_cursor = static_cast<int>(lt) + 1;
    if (m_cursor >= m_length) return false;

    name = ScanTagName();
    m_lastTag = name;

    if (!name.empty() && name[0] == '/') {
        isEnd = true;
        return true;
    }

    if (name == "![CDATA[") {
        size_t end = doc.find("]]>", static_cast<size_t>(m_cursor));
        if (end != std::string_view::npos && end > static_cast<size_t>(m_cursor)) {
            value = std::string(doc.substr(static_cast<size_t>(m_cursor), end - static_cast<size_t>(m_cursor)));
            m_cursor = static_cast<int>(end) + 3;
            return true;
        }
    }

    int tagStart = m_cursor;
    size_t gt = doc.find('>', static_cast<size_t>(m_cursor));
    if (gt == std::string_view::npos) {
        m_cursor = m_length;
        return false;
    }
    std::string_view attributes =
        TrimView(doc.substr(static_cast<size_t>(tagStart), gt - static_cast<size_t>(tagStart)));
    m_pendingBegin = static_cast<size_t>(attributes.data() - m_text.data());
    m_pendingEnd = m_pendingBegin + attributes.size();
    m_contentStart = static_cast<int>(gt) + 1;
    m_cursor = m_contentStart;
    size_t next = doc.find('<', static_cast<size_t>(m_cursor));
    if (next == std::string_view::npos) return true;
    value = Trim(doc.substr(static_cast<size_t>(m_contentStart), next - static_cast<size_t>(m_contentStart)));
    m_cursor = static_cast<int>(next);
    return true;
}
