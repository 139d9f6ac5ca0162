// The component's XML text writer and forward-only reader.
//
// Not a conforming parser: the writer appends formatted text, escaping
// nothing; the reader scans forward and hands out one node per call (start
// tag, attribute, end tag or CDATA section).  The host's stored configuration
// texts depend on these exact rules.
#pragma once
#include <string>
#include <string_view>

class CXmlDocument {
public:
    CXmlDocument() = default;
    virtual ~CXmlDocument() = default;

    // Writer: indent tabs first, CR LF last when newline.
    void StartElement(const std::string& name, int indent, bool newline);
    void EndElement(const std::string& name, int indent, bool newline);
    void WriteElement(const std::string& name, const std::string& text, int indent, bool newline);
    void WriteElement(const std::string& name, long value, int indent, bool newline);

    const std::string& GetText() const { return m_text; }

    // Reader.
    void SetText(const std::string& text);
    bool Rewind();
    bool ReadNode(std::string& name, std::string& value, bool& isEnd, bool& isAttribute);

private:
    void Append(int indent, const std::string& s, bool newline);
    std::string ScanTagName();
    bool ScanAttribute(std::string& name, std::string& value);
    std::string_view PendingAttributes() const;
    void ClearPendingAttributes() { m_pendingBegin = m_pendingEnd = 0; }

    std::string m_text;
    // The unread part of the attribute list of the start tag read last, kept
    // as a range of the document text so that reading a long list consumes it
    // in place instead of copying what remains after every attribute.
    size_t m_pendingBegin = 0;
    size_t m_pendingEnd = 0;
    std::string m_lastTag;
    int m_contentStart = 0;
    int m_cursor = 0;
    int m_length = 0;
};
