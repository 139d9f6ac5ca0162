#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "apps/inspect/Commands.h"
#include "foundation/XmlDocument.h"

namespace {

std::string Nodes(const std::string& text) { return apps::XmlNodes(text); }

struct ReaderCase {
    const char* name;
    const char* text;
    const char* nodes;
};

const ReaderCase kReaderCases[] = {
    {"empty element with blank before slash", "<X />", "start\tX\t\nend\t/X\n"},
    {"empty element without blank keeps the slash in the name", "<X/>", "start\tX/\t\n"},
    {"first content a child element gives an empty value", "<A><B>1</B>tail</A>",
     "start\tA\t\nstart\tB\t1\nend\t/B\nend\t/A\n"},
    {"value trimmed of blanks and line breaks", "<A>  two words \r\n</A>", "start\tA\ttwo words\nend\t/A\n"},
    {"CDATA untrimmed", "<![CDATA[ a <b> ]]>", "start\t![CDATA[\t a <b> \n"},
    {"attributes with both quotes, apostrophes may hold double quotes",
     "<A x=\"1\" y='say \"hi\"'>v</A>", "start\tA\tv\nattr\tx\t1\nattr\ty\tsay \"hi\"\nend\t/A\n"},
    {"the element of the worked example", "<A x=\"1\" y='2'>text<B/></A>",
     "start\tA\ttext\nattr\tx\t1\nattr\ty\t2\nstart\tB/\t\nend\t/A\n"},
    {"the same with a blank before the child's slash", "<A x=\"1\" y='2'>text<B /></A>",
     "start\tA\ttext\nattr\tx\t1\nattr\ty\t2\nstart\tB\t\nend\t/B\nend\t/A\n"},
    {"attribute without a quoted value drops the rest of the list", "<A x=1 z>v</A>",
     "start\tA\tv\nend\t/A\n"},
    {"the name ends at the first blank or equals sign, the value is in the first quotes", "<A x=1 y=\"2\">v</A>",
     "start\tA\tv\nattr\tx\t2\nend\t/A\n"},
    {"declaration reads as a start tag named by its first word", "<?xml version=\"1.0\"?><R/>",
     "start\t?xml\t\nattr\tversion\t1.0\nstart\tR/\t\n"},
    {"no closing angle bracket ends the sequence", "<A>v</A><B x='1'", "start\tA\tv\nend\t/A\n"},
    {"lone less-than at the end", "text <", ""},
    {"text without tags", "just text", ""},
    {"tab does not end a tag name", "<A\tb='1'>v</A>", "start\tA\\tb='1'\tv\nend\t/A\n"},
    {"CDATA without its end reads like a start tag", "<![CDATA[abc>def", "start\t![CDATA[\t\n"},
    {"value after the last tag has no following tag", "<A>tail", "start\tA\t\n"},
};

class XmlReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(XmlReader, NodeSequence) { EXPECT_EQ(Nodes(GetParam().text), GetParam().nodes) << GetParam().name; }

INSTANTIATE_TEST_SUITE_P(Cases, XmlReader, ::testing::ValuesIn(kReaderCases));

TEST(XmlWriter, WriteElementWithIndentAndNewline) {
    CXmlDocument doc;
    doc.WriteElement("CameraNumber", 5L, 3, true);
    EXPECT_EQ(doc.GetText(), "\t\t\t<CameraNumber>5</CameraNumber>\r\n");
}

TEST(XmlWriter, WritesVerbatimWithoutEscaping) {
    CXmlDocument doc;
    doc.StartElement("A", 0, false);
    doc.WriteElement("B", std::string("<&\"'>"), 1, false);
    doc.WriteElement("N", -42L, 0, false);
    doc.EndElement("A", 0, true);
    EXPECT_EQ(doc.GetText(), "<A>\t<B><&\"'></B><N>-42</N></A>\r\n");
}

TEST(XmlWriter, WrittenDocumentReadsBack) {
    CXmlDocument doc;
    doc.StartElement("CameraControl", 0, true);
    doc.StartElement("Camera", 1, true);
    doc.WriteElement("CameraNumber", 1L, 2, true);
    doc.WriteElement("Handler", std::string("Mirelle.Ptz"), 2, true);
    doc.EndElement("Camera", 1, true);
    doc.EndElement("CameraControl", 0, true);
    EXPECT_EQ(Nodes(doc.GetText()),
              "start\tCameraControl\t\nstart\tCamera\t\nstart\tCameraNumber\t1\nend\t/CameraNumber\n"
              "start\tHandler\tMirelle.Ptz\nend\t/Handler\nend\t/Camera\nend\t/CameraControl\n");
}

TEST(XmlReaderState, SetTextAndRewindRestart) {
    CXmlDocument doc;
    doc.SetText("<A x='1'>v</A>");
    doc.Rewind();
    std::string n, v;
    bool end, attr;
    ASSERT_TRUE(doc.ReadNode(n, v, end, attr));
    EXPECT_EQ(n, "A");
    // A new text drops the pending attributes of the old one.
    doc.SetText("<B>w</B>");
    doc.Rewind();
    ASSERT_TRUE(doc.ReadNode(n, v, end, attr));
    EXPECT_EQ(n, "B");
    EXPECT_EQ(v, "w");
    EXPECT_FALSE(attr);
    EXPECT_TRUE(doc.Rewind());
    ASSERT_TRUE(doc.ReadNode(n, v, end, attr));
    EXPECT_EQ(n, "B");
}

TEST(XmlReaderState, EmptyAndExhaustedDocumentsAnswerFalse) {
    CXmlDocument doc;
    doc.Rewind();
    std::string n = "x", v = "y";
    bool end = true, attr = true;
    EXPECT_FALSE(doc.ReadNode(n, v, end, attr));
    EXPECT_TRUE(n.empty());
    EXPECT_FALSE(end);
    doc.SetText("<A/>");
    doc.Rewind();
    EXPECT_TRUE(doc.ReadNode(n, v, end, attr));
    EXPECT_FALSE(doc.ReadNode(n, v, end, attr));
    EXPECT_FALSE(doc.ReadNode(n, v, end, attr));
}

// Reads what is left of a document, one "kind name value" line a node.
std::string Rest(CXmlDocument& doc) {
    std::string out, name, value;
    bool end, attr;
    int guard = 0;
    while (doc.ReadNode(name, value, end, attr) && ++guard < 100)
        out += std::string(end ? "end " : attr ? "attr " : "start ") + name + " " + value + "\n";
    return out;
}

TEST(XmlReaderState, SetTextWithoutRewindNeverReadsBeyondTheNewText) {
    struct Step {
        const char* text;  // set with SetText (no Rewind follows)
        const char* rest;  // what ReadNode then delivers
    };
    // The length is taken by Rewind; a new text keeps it, cut to the new
    // text: a shorter text is read to its end and no further (its buffer still
    // holds the old text's bytes beyond it), a longer one up to the old length.
    const struct {
        const char* name;
        const char* first;
        Step steps[2];
    } cases[] = {
        {"shorter text", "<A>v</A><B>w</B><C>x</C>", {{"<D>y</D>", "start D y\nend /D \n"}, {"", ""}}},
        {"empty text", "<A x='1'>v</A><B>w</B>", {{"", ""}, {"<E/>", ""}}},
        {"longer text reads up to the old length", "<A>v</A>",
         {{"<B>w</B><C>x</C>", "start B w\nend /B \n"}, {"<F>", "start F \n"}}},
        {"pending attributes dropped", "<A x='1' y='2' z='3'>v</A>", {{"<G>", "start G \n"}, {"", ""}}},
        {"cut right after a CDATA opening: the '>' beyond is not read", "<A>v</A>x",
         {{"<![CDATA[>w</B>", ""}, {"", ""}}},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        doc.SetText(c.first);
        doc.Rewind();
        std::string n, v;
        bool end, attr;
        ASSERT_TRUE(doc.ReadNode(n, v, end, attr)) << c.name;
        for (const Step& s : c.steps) {
            doc.SetText(s.text);
            EXPECT_EQ(Rest(doc), s.rest) << c.name << " / " << s.text;
        }
        // A rewind reads the whole of the last text.
        doc.Rewind();
        CXmlDocument fresh;
        fresh.SetText(doc.GetText());
        fresh.Rewind();
        EXPECT_EQ(Rest(doc), Rest(fresh)) << c.name;
    }
}

TEST(XmlReaderState, HostileInputNeverReadsOutOfBounds) {
    // Every prefix of a document must read without fault (ASan checks bounds).
    const std::string text = "<A x=\"1\" y='2'>text<![CDATA[c]]><B /><C k='v'/></A>";
    for (size_t n = 0; n <= text.size(); ++n) {
        CXmlDocument doc;
        doc.SetText(text.substr(0, n));
        doc.Rewind();
        std::string name, value;
        bool end, attr;
        int guard = 0;
        while (doc.ReadNode(name, value, end, attr) && ++guard < 100) {}
        EXPECT_LT(guard, 100) << "prefix " << n;
    }
}

// Every reader case read from the caller's text without a copy gives the same
// nodes as a copy of it, leaves the caller's text as it was and hands it out
// as the document's own text when asked.
TEST(XmlReaderText, ReadingTheCallersTextGivesTheSameNodes) {
    for (const ReaderCase& c : kReaderCases) {
        const std::string text = c.text;
        CXmlDocument copy, borrowed;
        copy.SetText(text);
        copy.Rewind();
        borrowed.ReadText(text);
        EXPECT_EQ(Rest(borrowed), Rest(copy)) << c.name;
        borrowed.Rewind();
        copy.Rewind();
        EXPECT_EQ(Rest(borrowed), Rest(copy)) << c.name << " after a rewind";
        EXPECT_EQ(borrowed.GetText(), text) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(XmlReaderText, WritingAfterReadingTheCallersTextWorksOnACopy) {
    const std::string text = "<A x='1'>v</A>";
    CXmlDocument doc;
    doc.ReadText(text);
    std::string n, v;
    bool end, attr;
    ASSERT_TRUE(doc.ReadNode(n, v, end, attr));
    EXPECT_EQ(n, "A");
    // The document takes a copy mid-read: the pending attribute and the rest
    // read on from it.
    doc.WriteElement("B", std::string("w"), 0, false);
    EXPECT_EQ(text, "<A x='1'>v</A>");
    EXPECT_EQ(doc.GetText(), "<A x='1'>v</A><B>w</B>");
    EXPECT_EQ(Rest(doc), "attr x 1\nend /A \n");
    doc.Rewind();
    EXPECT_EQ(Rest(doc), "start A v\nattr x 1\nend /A \nstart B w\nend /B \n");
    // TakeText after ReadText hands over a copy and leaves the document empty.
    CXmlDocument other;
    other.ReadText(text);
    EXPECT_EQ(other.TakeText(), text);
    EXPECT_EQ(other.GetText(), "");
    other.Rewind();
    EXPECT_EQ(Rest(other), "");
}

// Lines are built from short pieces of every length (0 to 40 characters) and
// from pieces and indents beyond the line buffer.
TEST(XmlWriter, PiecesOfEveryLengthAndLongLines) {
    for (size_t len = 0; len <= 40; ++len) {
        std::string name(len, 'n'), value;
        for (size_t i = 0; i < len; ++i) value += static_cast<char>('a' + i % 26);
        CXmlDocument doc;
        doc.WriteElement(name, value, static_cast<int>(len % 4), true);
        doc.StartElement(value, 0, false);
        doc.EndElement(name, 1, true);
        EXPECT_EQ(doc.GetText(), std::string(len % 4, '\t') + "<" + name + ">" + value + "</" + name + ">\r\n<" +
                                     value + ">\t</" + name + ">\r\n")
            << len;
    }
    const std::string big(300, 'x');
    for (int indent : {0, 7, 8, 9, 40}) {
        CXmlDocument doc;
        doc.WriteElement("Big", big, indent, true);
        doc.WriteElement("N", 123456789L, indent, false);
        doc.WriteElement("E", std::string(), -3, false);
        const std::string tabs(static_cast<size_t>(indent), '\t');
        EXPECT_EQ(doc.GetText(), tabs + "<Big>" + big + "</Big>\r\n" + tabs + "<N>123456789</N><E></E>") << indent;
    }
}

// Elements of every shape the reader knows, each ending with its '>' (and
// blanks): read on its own (a short text, read node by node) each gives the
// nodes it gives within a long text of them (read ahead in batches).
TEST(XmlReaderBatch, LongTextsGiveTheNodesOfTheirElements) {
    const std::string manyAttributes = [] {
        std::string tag = "<M";
        for (int i = 0; i < 40; ++i) tag += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
        return tag + ">v</M>\r\n";
    }();
    const std::vector<std::string> pieces = {
        "<CameraNumber>12</CameraNumber>\r\n\t\t\t",
        "<AlarmCameraName>Camera 1</AlarmCameraName>\r\n",  // the end tag's name fills a block
        "<SixteenCharName>x</SixteenCharName>\n",               // the name fills a block
        "<SeventeenCharName>y</SeventeenCharName>\n",
        "<Handler>\r\n\t\t\t<ProgramID>Quellan.SpeedDome.3</ProgramID>\r\n\t\t</Handler>\r\n",
        "<GUID>{6F1C2A30-51D0-4B7A-9E22-000000001000}</GUID>",  // a text beyond a block
        "<IPSource ID=\"7\"><Address>10.0.0.1</Address></IPSource>\r\n",
        "<IPSource ID=\"255\"><GUID>{6F1C2A30-51D0-4B7A-9E22-000000001000}</GUID></IPSource>\r\n\t\t",
        "<S a=\"x>y\">v</S>", "<S a=\"1\" >v</S>", "<S a=\"1\"/>", "<S a=\"1\"\">v</S>", "<S a=\"1>v</S>",
        "<S a\t=\"1\">v</S>", "<S =\"1\">v</S>", "<S a=\"\">v</S>", "<S a='1'>v</S>",
        "<A x=\"1\" y='say \"hi\"' >  two words \t</A>",
        "<B long_attribute_name=\"a value longer than a block\">w</B>",
        "<C x=1 y=\"2\">v</C>",
        "<D x=1 z>v</D>",
        "<E />", "<F x='1' />", "<G/>\r\n",
        "<\tH>v</H >", "<I\t>v</I>", "< J>v</J>", "<K\tb='1'>v</K>",
        "<![CDATA[ a <b> ]]>", "<?xml version=\"1.0\"?>",
        "<Same>v</Samf>", "<Pair>v</Pair\t>", "<Empty></Empty>", "<Nested><Inner>1</Inner></Nested>",
        "<L>v</L>" + std::string(60, ' '),
        manyAttributes,
    };
    std::string text, want;
    unsigned seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::string& piece = pieces[(seed >> 8) % pieces.size()];
        text += piece;
        want += Nodes(piece);
    }
    EXPECT_EQ(Nodes(text), want);
    // The same, ending at every place of its last element.
    for (size_t cut = 1; cut < 80; ++cut) {
        const std::string head = text.substr(0, text.size() - cut);
        CXmlDocument whole, read;
        whole.SetText(head);
        whole.Rewind();
        read.ReadText(head);
        EXPECT_EQ(Rest(read), Rest(whole)) << cut;
    }
}

// Start tags with one attribute near the shape read within a batch: tag and
// attribute names and values of every length up to past a block, each quote,
// and the characters that end a name or a value put in each place.  A long
// text of them gives the nodes of its pieces read one at a time.
TEST(XmlReaderBatch, OneAttributeOfEveryShape) {
    std::vector<std::string> pieces;
    for (size_t tag = 1; tag <= 15; tag += 2)
        for (size_t name = 0; name <= 16; ++name)
            for (size_t value = 0; value <= 18; value += 3)
                for (const char* quote : {"\"", "'"}) {
                    const std::string t(tag, 'T'), n(name, 'n'), v(value, 'v');
                    pieces.push_back("<" + t + " " + n + "=" + quote + v + quote + ">x</" + t + ">\r\n");
                }
    // A character that ends a name or a value (or does not) at each place of
    // "<T name="value">", and the end of the tag cut off.
    const std::string base = "<Tag name=\"value\">";
    for (size_t at = 5; at < base.size(); ++at)
        for (char c : {' ', '\t', '=', '"', '\'', '>', '/', '<'}) {
            std::string piece = base;
            piece[at] = c;
            pieces.push_back(piece + "x</Tag>");
            pieces.push_back(base.substr(0, at) + c + base.substr(at) + "x</Tag>\n");
        }
    std::string text, want;
    for (size_t i = 0; i < pieces.size(); ++i) {
        // Each piece after a few others, so that it falls at every place of
        // a batch.
        text += pieces[i] + std::string(i % 3, '\t');
        want += Nodes(pieces[i]);
    }
    EXPECT_EQ(Nodes(text), want);
}

// Reads up to n nodes of a document (all when n is 0), one line a node.
std::string ReadLines(CXmlDocument& doc, size_t n = 0) {
    std::string out, name, value;
    bool end, attr;
    for (size_t i = 0; (n == 0 || i < n) && doc.ReadNode(name, value, end, attr); ++i)
        out += std::string(end ? "end " : attr ? "attr " : "start ") + name + " " + value + "\n";
    return out;
}

// A write, a copy of the document or of the caller's text in the middle of a
// long text (within a batch read ahead, at its end, past it): the reading
// goes on with the nodes a reading without them gives.
TEST(XmlReaderBatch, WritesAndCopiesInTheMiddleOfReading) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "<Item" + std::to_string(i) + " k='" + std::to_string(i) + "'>v" + std::to_string(i) + "</Item" +
                std::to_string(i) + ">\r\n\t<E />";
    CXmlDocument fresh;
    fresh.SetText(text);
    fresh.Rewind();
    const std::string want = ReadLines(fresh);
    for (size_t after : {1u, 5u, 31u, 32u, 33u, 100u}) {
        for (int how = 0; how < 5; ++how) {
            auto caller = std::make_unique<std::string>(text);
            auto doc = std::make_unique<CXmlDocument>();
            doc->ReadText(*caller);
            std::string got = ReadLines(*doc, after);
            switch (how) {
                case 0:  // the document takes its copy; the caller's text goes
                    (void)doc->GetText();
                    caller->assign(caller->size(), 'Z');
                    break;
                case 1:  // a write (read after the next rewind only)
                    doc->WriteElement("W", std::string(100, 'w'), 0, true);
                    caller.reset();
                    break;
                case 2: {  // a copy of the document reads on; the original goes
                    auto copy = std::make_unique<CXmlDocument>(*doc);
                    doc = std::move(copy);
                    break;
                }
                case 3: {  // moved away and assigned back
                    CXmlDocument moved(std::move(*doc));
                    *doc = moved;
                    break;
                }
                case 4: {  // an own text copied to another document
                    doc->SetText(text);
                    doc->Rewind();
                    got = ReadLines(*doc, after);
                    CXmlDocument other;
                    other = *doc;
                    doc.reset();
                    got += ReadLines(other);
                    EXPECT_EQ(got, want) << "after " << after << ", copied own text";
                    continue;
                }
            }
            got += ReadLines(*doc);
            EXPECT_EQ(got, want) << "after " << after << ", way " << how;
        }
    }
}

// The text size measured for writer calls is the size of the text they write.
TEST(XmlWriter, TextSizeIsTheSizeWritten) {
    const struct {
        const char* name;
        std::string text;
        long number;
        int indent;
        bool newline;
    } cases[] = {
        {"CameraNumber", "", 0, 0, false},        {"A", "v", -42, 3, true},
        {"ProgramID", std::string(300, 'x'), 2147483647L, 9, true}, {"", "text", -1, -3, false},
        {"Big", "b", -9223372036854775807L - 1, 40, true},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        CXmlTextSize size;
        doc.StartElement(c.name, c.indent, c.newline);
        size.StartElement(c.name, c.indent, c.newline);
        doc.WriteElement(c.name, c.text, c.indent, c.newline);
        size.WriteElement(c.name, c.text, c.indent, c.newline);
        doc.WriteElement(c.name, c.number, c.indent, c.newline);
        size.WriteElement(c.name, c.number, c.indent, c.newline);
        doc.EndElement(c.name, c.indent, c.newline);
        size.EndElement(c.name, c.indent, c.newline);
        EXPECT_EQ(size.Size(), doc.GetText().size()) << c.name << " " << c.indent;
    }
}

}  // namespace
