// CXmlDocument driven by an arbitrary sequence of SetText, Rewind, ReadNode
// and writer calls.  Every call must stay within the document text, and the
// nodes must be those of a fresh document holding the part of the text the
// reader may see: the text up to the length the last Rewind took, cut by every
// shorter text set since (appended text is not read before a Rewind).
//
// Input: a stream of operations, one byte each (low two bits), some followed
// by an argument:  0 n bytes...  SetText of the next n bytes;  1  Rewind;
// 2  ReadNode;  3 n bytes...  StartElement with the next n bytes as the name.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/XmlDocument.h"

namespace {

struct Node {
    std::string name, value;
    bool isEnd = false, isAttr = false;
    bool more = false;
    bool operator==(const Node&) const = default;
};

Node Read(CXmlDocument& doc) {
    Node n;
    n.more = doc.ReadNode(n.name, n.value, n.isEnd, n.isAttr);
    return n;
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    std::string Bytes() {
        size_t n = std::min<size_t>(Byte(), m_size - m_pos);
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    CXmlDocument doc;
    CXmlDocument model;    // a fresh document over the readable part
    std::string text;      // what doc holds
    size_t readable = 0;   // the length the reader works within
    auto restartModel = [&] {
        model.SetText(text.substr(0, readable));
        model.Rewind();
    };
    restartModel();
    while (!in.Empty()) {
        switch (in.Byte() & 3) {
            case 0:
                text = in.Bytes();
                doc.SetText(text);
                readable = std::min(readable, text.size());
                restartModel();
                break;
            case 1:
                doc.Rewind();
                readable = text.size();
                restartModel();
                break;
            case 2: {
                Node got = Read(doc);
                if (got.name.size() > readable + 1 || got.value.size() > readable) std::abort();
                if (!(got == Read(model))) std::abort();
                break;
            }
            case 3: {
                std::string name = in.Bytes();
                doc.StartElement(name, 0, false);
                text += "<" + name + ">";
                break;
            }
        }
        if (doc.GetText() != text) std::abort();
    }
    return 0;
}
