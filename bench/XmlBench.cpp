// CXmlDocument reading and writing CameraControl, PTZTriggerList and
// IPSourceConfig texts, the format readers built on it, and libexpat parsing
// the same texts as a reference (pugixml, the other peer, is in PugiBench.cpp).
//
// Each reading figure delivers the same information: every element's name
// and its text (CXmlDocument hands out the trimmed text before the first
// child; the expat handlers collect the character data of each element).
#include <benchmark/benchmark.h>
#include <expat.h>

#include "bench/BenchTexts.h"
#include "bench/XmlBenchSupport.h"
#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"
#include "foundation/XmlDocument.h"
#include "network/IPSourceConfig.h"

namespace bench {

void SetCounters(benchmark::State& state, const std::string& text, size_t nodes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["entries"] = static_cast<double>(state.range(0));
    state.counters["nodes"] = static_cast<double>(nodes);
}

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond); }

}  // namespace bench

namespace {

using bench::Doc;
using bench::SetCounters;
using bench::Sizes;

// --- CXmlDocument ---------------------------------------------------------

template <Doc Kind>
void BM_CXmlRead(benchmark::State& state) {
    const std::string& text = bench::Text(Kind, static_cast<int>(state.range(0)));
    size_t nodes = 0;
    for (auto _ : state) {
        CXmlDocument doc;
        doc.SetText(text);
        doc.Rewind();
        std::string name, value;
        bool isEnd = false, isAttr = false;
        nodes = 0;
        while (doc.ReadNode(name, value, isEnd, isAttr)) {
            ++nodes;
            benchmark::DoNotOptimize(value.data());
        }
    }
    SetCounters(state, text, nodes);
}

// The same as the format readers read: the caller's text without a copy
// (ReadText) and the node stream as views into it; the figure above is the
// string form (a copy of the text, and of each name and value).
template <Doc Kind>
void BM_CXmlReadViews(benchmark::State& state) {
    const std::string& text = bench::Text(Kind, static_cast<int>(state.range(0)));
    size_t nodes = 0;
    for (auto _ : state) {
        CXmlDocument doc;
        doc.ReadText(text);
        std::string_view name, value;
        bool isEnd = false, isAttr = false;
        nodes = 0;
        while (doc.ReadNode(name, value, isEnd, isAttr)) {
            ++nodes;
            benchmark::DoNotOptimize(value.data());
        }
    }
    SetCounters(state, text, nodes);
}

// The format readers built on CXmlDocument.
void BM_CameraControlReader(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::CameraControl, static_cast<int>(state.range(0)));
    size_t n = 0;
    for (auto _ : state) n = cameras::ReadCameraControlXml(text).size();
    if (n != static_cast<size_t>(state.range(0))) state.SkipWithError("entries lost");
    SetCounters(state, text, n);
}

void BM_PTZTriggerListReader(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::PTZTriggerList, static_cast<int>(state.range(0)));
    size_t n = 0;
    for (auto _ : state) {
        cameras::PTZTriggerListDocument doc;
        if (!doc.Read(text)) state.SkipWithError("read failed");
        n = doc.Records().size();
    }
    if (n != static_cast<size_t>(state.range(0))) state.SkipWithError("entries lost");
    SetCounters(state, text, n);
}

void BM_IPSourceConfigReader(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::IPSourceConfig, static_cast<int>(state.range(0)));
    size_t n = 0;
    for (auto _ : state) {
        network::IPSourceConfig config;
        if (!network::ReadIPSourceConfig(text, config)) state.SkipWithError("read failed");
        n = config.sources.size();
    }
    if (n != static_cast<size_t>(state.range(0))) state.SkipWithError("entries lost");
    SetCounters(state, text, n);
}

template <Doc Kind>
void BM_CXmlWrite(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    size_t size = 0;
    if (Kind == Doc::CameraControl) {
        cameras::AssociationList list = cameras::ReadCameraControlXml(bench::Text(Kind, entries));
        for (auto _ : state) size = cameras::WriteCameraControlXml(list).size();
    } else {
        cameras::PTZTriggerListDocument doc;
        doc.Read(bench::Text(Kind, entries));
        for (auto _ : state) size = doc.Write().size();
    }
    if (size != bench::Text(Kind, entries).size()) state.SkipWithError("written text differs in size");
    SetCounters(state, bench::Text(Kind, entries), size);
}

// --- libexpat ----------------------------------------------------------------

struct ExpatState {
    std::string name, value;
    size_t nodes = 0;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* s = static_cast<ExpatState*>(data);
    s->name = name;
    s->value.clear();
    ++s->nodes;
    for (; *attributes; attributes += 2) {
        benchmark::DoNotOptimize(attributes[1]);
        ++s->nodes;
    }
}
void XMLCALL OnEnd(void* data, const XML_Char* name) {
    auto* s = static_cast<ExpatState*>(data);
    s->name = name;
    benchmark::DoNotOptimize(s->value.data());
    s->value.clear();
    ++s->nodes;
}
void XMLCALL OnText(void* data, const XML_Char* text, int len) {
    static_cast<ExpatState*>(data)->value.append(text, static_cast<size_t>(len));
}

template <Doc Kind>
void BM_ExpatRead(benchmark::State& state) {
    const std::string& text = bench::Text(Kind, static_cast<int>(state.range(0)));
    size_t nodes = 0;
    for (auto _ : state) {
        XML_Parser p = XML_ParserCreate(nullptr);
        ExpatState s;
        XML_SetUserData(p, &s);
        XML_SetElementHandler(p, OnStart, OnEnd);
        XML_SetCharacterDataHandler(p, OnText);
        if (XML_Parse(p, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK)
            state.SkipWithError(XML_ErrorString(XML_GetErrorCode(p)));
        XML_ParserFree(p);
        nodes = s.nodes;
    }
    SetCounters(state, text, nodes);
}

}  // namespace

BENCHMARK(BM_CXmlReadViews<Doc::CameraControl>)->Name("read/CameraControl/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_CXmlRead<Doc::CameraControl>)->Name("read/CameraControl/CXmlDocument-strings")->Apply(Sizes);
BENCHMARK(BM_ExpatRead<Doc::CameraControl>)->Name("read/CameraControl/expat")->Apply(Sizes);
BENCHMARK(BM_CameraControlReader)->Name("read/CameraControl/format")->Apply(Sizes);
BENCHMARK(BM_CXmlReadViews<Doc::PTZTriggerList>)->Name("read/PTZTriggerList/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_CXmlRead<Doc::PTZTriggerList>)->Name("read/PTZTriggerList/CXmlDocument-strings")->Apply(Sizes);
BENCHMARK(BM_ExpatRead<Doc::PTZTriggerList>)->Name("read/PTZTriggerList/expat")->Apply(Sizes);
BENCHMARK(BM_PTZTriggerListReader)->Name("read/PTZTriggerList/format")->Apply(Sizes);
BENCHMARK(BM_CXmlReadViews<Doc::IPSourceConfig>)->Name("read/IPSourceConfig/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_CXmlRead<Doc::IPSourceConfig>)->Name("read/IPSourceConfig/CXmlDocument-strings")->Apply(Sizes);
BENCHMARK(BM_ExpatRead<Doc::IPSourceConfig>)->Name("read/IPSourceConfig/expat")->Apply(Sizes);
BENCHMARK(BM_IPSourceConfigReader)->Name("read/IPSourceConfig/format")->Apply(Sizes);
BENCHMARK(BM_CXmlWrite<Doc::CameraControl>)->Name("write/CameraControl/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_CXmlWrite<Doc::PTZTriggerList>)->Name("write/PTZTriggerList/CXmlDocument")->Apply(Sizes);
