// The component's XML text writer and forward-only reader.
//
// Not a conforming parser: the writer appends formatted text, escaping
// nothing; the reader scans forward and hands out one node per call (start
// tag, attribute, end tag or CDATA section).  The host's stored configuration
// texts depend on these exact rules.
//
// The reader works within the length its last Rewind took (text appended
// since is not read before the next Rewind); a text set with SetText keeps
// that length, cut to the new text, so that reading without a Rewind never
// goes past the end of the text.  Reading allocates nothing per node: the
// view form of ReadNode hands out views into the document text.  ReadText
// reads a text the caller keeps, without copying it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The length of the text the writer calls of CXmlDocument would append: a
// writer that measures its text first with this reserves it exactly (no
// copies of a growing text, no more memory than it needs).
class CXmlTextSize {
public:
    void StartElement(std::string_view name, int indent, bool newline) { Line(indent, newline, name.size() + 2); }
    void EndElement(std::string_view name, int indent, bool newline) { Line(indent, newline, name.size() + 3); }
    void WriteElement(std::string_view name, std::string_view text, int indent, bool newline) {
        Line(indent, newline, 2 * name.size() + text.size() + 5);
    }
    void WriteElement(std::string_view name, long value, int indent, bool newline);
    size_t Size() const { return m_size; }

private:
    void Line(int indent, bool newline, size_t pieces) {
        m_size += (indent > 0 ? static_cast<size_t>(indent) : 0) + (newline ? 2 : 0) + pieces;
    }
    size_t m_size = 0;
};

class CXmlDocument {
public:
    CXmlDocument() = default;
    virtual ~CXmlDocument() = default;

    // Writer: indent tabs first, CR LF last when newline.
    void StartElement(std::string_view name, int indent, bool newline);
    void EndElement(std::string_view name, int indent, bool newline);
    void WriteElement(std::string_view name, std::string_view text, int indent, bool newline);
    void WriteElement(std::string_view name, long value, int indent, bool newline);

    // Room for this many more characters of text: a writer that knows about
    // how much it writes spares the copies of a growing text.
    void Reserve(size_t more) {
        PrepareWrite();
        m_text.reserve(m_text.size() + more);
    }

    const std::string& GetText() const {
        if (m_borrowed) Own();
        return m_text;
    }
    // Hands the text over and leaves the document empty (as a new one).
    std::string TakeText();

    // Reader.
    void SetText(const std::string& text);
    // SetText and Rewind without the copy: the document reads the caller's
    // text, which must stay alive and unchanged while it does.  Writing,
    // GetText and TakeText first take a copy of it, as SetText would have.
    void ReadText(std::string_view text);
    bool Rewind();
    bool ReadNode(std::string& name, std::string& value, bool& isEnd, bool& isAttribute);
    // The same node sequence as views: the value (and every name but that of
    // a synthetic end tag) lies in the document text and stays valid until
    // the text changes; a synthetic end tag's name until the next ReadNode.
    bool ReadNode(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute) {
        if (m_ahead.next != m_ahead.filled) {
            const Scanned& node = *m_ahead.next++;
            name = node.name;
            value = node.value;
            isEnd = node.isEnd;
            isAttribute = node.isAttribute;
            return true;
        }
        return ReadNextBatch(name, value, isEnd, isAttribute);
    }

private:
    // Indent tabs, the pieces (characters and views), CR LF when newline.
    template <class... Pieces>
    void AppendLine(int indent, bool newline, Pieces... pieces);
    void AppendTag(std::string_view name, int indent, bool newline, bool end);
    // The text read: the caller's (ReadText) or the document's own.
    const char* Text() const { return m_borrowed ? m_borrowed : m_text.data(); }
    size_t TextSize() const { return m_borrowed ? m_borrowedSize : m_text.size(); }
    // Makes a text read with ReadText the document's own.
    void Own() const;
    // Before a write: the text may move.
    void PrepareWrite() {
        m_ahead.Drop();
        if (m_borrowed) Own();
    }
    bool ScanAttribute(std::string_view& name, std::string_view& value);
    // A node read ahead by Scan: views into the text.
    struct Scanned {
        std::string_view name, value;
        bool isEnd, isAttribute;
    };
    static constexpr unsigned kBatch = 64;
    // The nodes Scan read ahead, next the first not yet handed out; the
    // cursor and the pending attributes stand after the last of them.  Their
    // views hold while the text stays where it is: before a write or a copy
    // of the text moves it (and in a copy of the document) the nodes not yet
    // handed out are dropped, and the next read reads the batch again from
    // its start (from), passing over the skip nodes handed out before.
    struct ReadAhead {
        Scanned nodes[kBatch];
        // The nodes not yet handed out: [next, filled) of nodes.  Pointers
        // rather than counts: handing a node out is then one comparison and
        // one step.
        const Scanned* next = nodes;
        const Scanned* filled = nodes;
        unsigned skip = 0;
        bool restart = false;
        size_t from = 0;

        ReadAhead() = default;
        ReadAhead(const ReadAhead& other) { *this = other; }
        ReadAhead& operator=(const ReadAhead& other) {
            next = filled = nodes;
            skip = other.skip;
            restart = other.restart;
            from = other.from;
            if (other.next != other.filled) {
                skip = other.HandedOut();
                restart = true;
            }
            return *this;
        }
        unsigned HandedOut() const { return static_cast<unsigned>(next - nodes); }
        void Drop() {
            if (next != filled) {
                skip = HandedOut();
                restart = true;
            }
            next = filled = nodes;
        }
        void Clear() {
            next = filled = nodes;
            skip = 0;
            restart = false;
        }
    };
    unsigned Scan();
    [[gnu::noinline]] Scanned* ScanAttributes(std::string_view attributes, Scanned* node, size_t tagAt, size_t tagSize);
    bool ReadNextBatch(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute);
    bool ReadAnyNode(std::string_view& name, std::string_view& value, bool& isEnd, bool& isAttribute);
    [[gnu::noinline]] bool ReadPending(std::string_view& name, std::string_view& value, bool& isEnd,
                                       bool& isAttribute);
    size_t FindCdataEnd(size_t from);
    void ClearPendingAttributes() { m_pendingBegin = m_pendingEnd = 0; }
    void ClearReadState();

    mutable std::string m_text;
    // The caller's text (ReadText) until the document takes a copy of it.
    mutable const char* m_borrowed = nullptr;
    mutable size_t m_borrowedSize = 0;
    // The unread part of the attribute list of the start tag read last, kept
    // as a range of the document text so that reading a long list consumes it
    // in place instead of copying what remains after every attribute.
    size_t m_pendingBegin = 0;
    size_t m_pendingEnd = 0;
    // The last tag name: a range of the document text (every tag name is one).
    size_t m_lastTagBegin = 0;
    size_t m_lastTagSize = 0;
    // The name of a synthetic end tag ("/" and the last tag name).
    std::string m_endName;
    // No "]]>" starts at or after this index within the length (an unended
    // CDATA section is searched to the end once, not once per section).
    size_t m_noCdataEndFrom = static_cast<size_t>(-1);
    size_t m_contentStart = 0;
    mutable ReadAhead m_ahead;
    size_t m_cursor = 0;
    size_t m_length = 0;
};
