// CXmlDocument reading arbitrary text: the node sequence must end, every node
// must lie within the text, and a rewind, or reading the text in place, must
// give the same sequence again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/XmlDocument.h"

namespace {

struct Node {
    std::string name, value;
    bool isEnd, isAttr;
    bool operator==(const Node&) const = default;
};

std::vector<Node> ReadAll(CXmlDocument& doc, size_t textSize) {
    std::vector<Node> nodes;
    Node n{};
    // Each node consumes text or pending attribute text: never more nodes
    // than characters (plus the synthetic end of an empty element).
    while (doc.ReadNode(n.name, n.value, n.isEnd, n.isAttr)) {
        if (n.name.size() > textSize + 1 || n.value.size() > textSize) std::abort();
        nodes.push_back(n);
        if (nodes.size() > 2 * textSize + 2) std::abort();
    }
    return nodes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CXmlDocument doc;
    doc.SetText(text);
    doc.Rewind();
    auto first = ReadAll(doc, size);
    doc.Rewind();
    if (ReadAll(doc, size) != first) std::abort();
    if (doc.GetText() != text) std::abort();  // the reader never changes the text
    // The input read in place (ReadText): the fuzzer's buffer ends exactly at
    // the text, so a read past it is reported, where a string's spare room
    // would hide it.  The same nodes.
    CXmlDocument inPlace;
    inPlace.ReadText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (ReadAll(inPlace, size) != first) std::abort();
    return 0;
}
