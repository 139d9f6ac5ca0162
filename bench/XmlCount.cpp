// mirelle_xml_count READER DOC ENTRIES [RUNS]: runs one XML reader on one
// benchmark text, RUNS times (default 1) after one run that warms it up, so
// that an instruction counter sees the reading and little else:
//
//   valgrind --tool=callgrind --toggle-collect='bench::Measured*'
//            build/bench/mirelle_xml_count format PTZTriggerList 1000
//
// READER: nodes (the node stream as views, as the format readers read it),
// format (the format reader), pugixml (parse plus walk), pugixml-format;
// write (the format's writer on the records read from it, after the
// warm-up run); text prints the text instead.
// DOC: CameraControl, PTZTriggerList or IPSourceConfig.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BenchTexts.h"
#include "bench/PugiFormats.h"
#include "foundation/XmlDocument.h"

namespace bench {

size_t NodeStream(const std::string& text) {
    CXmlDocument doc;
    doc.ReadText(text);
    std::string_view name, value;
    bool isEnd = false, isAttr = false;
    size_t nodes = 0;
    while (doc.ReadNode(name, value, isEnd, isAttr)) {
        ++nodes;
        benchmark::DoNotOptimize(value.data());
    }
    return nodes;
}

size_t Format(Doc kind, const std::string& text) {
    switch (kind) {
        case Doc::CameraControl: return cameras::ReadCameraControlXml(text).size();
        case Doc::PTZTriggerList: {
            cameras::PTZTriggerListDocument doc;
            doc.Read(text);
            return doc.Records().size();
        }
        case Doc::IPSourceConfig: {
            network::IPSourceConfig config;
            network::ReadIPSourceConfig(text, config);
            return config.sources.size();
        }
    }
    return 0;
}

size_t PugiFormat(Doc kind, const std::string& text) {
    switch (kind) {
        case Doc::CameraControl: return PugiCameraControl(text).size();
        case Doc::PTZTriggerList: {
            cameras::PTZTriggerListDocument doc;
            PugiPTZTriggerList(text, doc);
            return doc.Records().size();
        }
        case Doc::IPSourceConfig: {
            network::IPSourceConfig config;
            PugiIPSourceConfig(text, config);
            return config.sources.size();
        }
    }
    return 0;
}

// The writer of the format (CameraControl, PTZTriggerList) on the records
// read from the text; the size of the text written.
size_t Write(Doc kind, const std::string& text) {
    static cameras::AssociationList list;
    static cameras::PTZTriggerListDocument doc;
    if (kind == Doc::CameraControl) {
        if (list.empty()) list = cameras::ReadCameraControlXml(text);
        return cameras::WriteCameraControlXml(list).size();
    }
    if (kind != Doc::PTZTriggerList) return 0;
    if (doc.Records().empty()) doc.Read(text);
    return doc.Write().size();
}

// The counted part (callgrind --toggle-collect='bench::Measured*').
[[gnu::noinline]] size_t Measured(const std::string& reader, Doc kind, const std::string& text) {
    if (reader == "nodes") return NodeStream(text);
    if (reader == "format") return Format(kind, text);
    if (reader == "pugixml") return PugiParseAndWalk(text);
    if (reader == "pugixml-format") return PugiFormat(kind, text);
    if (reader == "write") return Write(kind, text);
    return 0;
}

}  // namespace bench

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s nodes|format|pugixml|pugixml-format|write|text DOC ENTRIES [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string reader = argv[1];
    bench::Doc kind;
    if (!std::strcmp(argv[2], "CameraControl")) kind = bench::Doc::CameraControl;
    else if (!std::strcmp(argv[2], "PTZTriggerList")) kind = bench::Doc::PTZTriggerList;
    else if (!std::strcmp(argv[2], "IPSourceConfig")) kind = bench::Doc::IPSourceConfig;
    else {
        std::fprintf(stderr, "unknown document %s\n", argv[2]);
        return 2;
    }
    const int entries = std::atoi(argv[3]);
    const int runs = argc > 4 ? std::atoi(argv[4]) : 1;
    const std::string& text = bench::Text(kind, entries);
    if (reader == "text") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    size_t n = bench::Measured(reader, kind, text);
    for (int i = 0; i < runs; ++i) n = bench::Measured(reader, kind, text);
    std::printf("%s %s %d: %zu, %zu bytes\n", reader.c_str(), argv[2], entries, n, text.size());
    return n ? 0 : 1;
}
