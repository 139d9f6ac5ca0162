// CXmlDocument reading and writing CameraControl and PTZTriggerList texts, and
// libexpat parsing the same texts as the reference.
//
// Each reading figure delivers the same information: every element's name
// and its text (CXmlDocument hands out the trimmed text before the first
// child; the expat handlers collect the character data of each element).
#include <benchmark/benchmark.h>
#include <expat.h>

#include <map>
#include <stdexcept>

#include "bench/BenchTexts.h"
#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"
#include "foundation/XmlDocument.h"

namespace bench {

std::string CameraControlText(int entries) {
    cameras::AssociationList list;
    list.reserve(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        cameras::CameraHandlerAssociation a;
        a.CameraNumber = static_cast<std::int16_t>(i % 16);
        a.ProgramID = "Quellan.SpeedDome." + std::to_string(i % 7);
        a.SerialPort = (i % 3) ? "COM" + std::to_string(1 + i % 4) : "";
        a.CameraAddress = static_cast<std::int16_t>(1 + i % 9999);
        a.MonitorNum = static_cast<std::int16_t>(i % 5 - 1);
        list.push_back(std::move(a));
    }
    return cameras::WriteCameraControlXml(list);
}

namespace {

std::vector<cameras::PTZTriggerDefinition> Definitions(int entries) {
    std::vector<cameras::PTZTriggerDefinition> defs(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        auto& d = defs[static_cast<size_t>(i)];
        d.SetAlarmCameraID(i % 16);
        d.SetAlarmCameraName("Camera " + std::to_string(1 + i % 16));
        d.SetFilter(i % 2);
        d.SetInput(1);
        d.SetLabelText("L" + std::to_string(i % 100));
        d.SetPTZCameraID((i + 1) % 16);
        d.SetPTZCameraName("Dome " + std::to_string(1 + (i + 1) % 16));
        d.SetActionType(i % 2);
        d.SetActionValue(static_cast<std::uint32_t>(1 + i % 64));
    }
    return defs;
}

}  // namespace

std::string PTZTriggerListText(int entries) {
    cameras::PTZTriggerListDocument doc;
    cameras::DefinitionsToRecords(Definitions(entries), doc);
    return doc.Write();
}

}  // namespace bench

namespace {

const std::string& Text(int kind, int entries) {
    static std::map<std::pair<int, int>, std::string> cache;
    auto& t = cache[{kind, entries}];
    if (t.empty()) t = kind == 0 ? bench::CameraControlText(entries) : bench::PTZTriggerListText(entries);
    return t;
}

void SetCounters(benchmark::State& state, const std::string& text, size_t nodes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["entries"] = static_cast<double>(state.range(0));
    state.counters["nodes"] = static_cast<double>(nodes);
}

// --- CXmlDocument ---------------------------------------------------------

template <int Kind>
void BM_CXmlRead(benchmark::State& state) {
    const std::string& text = Text(Kind, static_cast<int>(state.range(0)));
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

// The format readers built on CXmlDocument.
void BM_CameraControlReader(benchmark::State& state) {
    const std::string& text = Text(0, static_cast<int>(state.range(0)));
    size_t n = 0;
    for (auto _ : state) n = cameras::ReadCameraControlXml(text).size();
    if (n != static_cast<size_t>(state.range(0))) state.SkipWithError("entries lost");
    SetCounters(state, text, n);
}

void BM_PTZTriggerListReader(benchmark::State& state) {
    const std::string& text = Text(1, static_cast<int>(state.range(0)));
    size_t n = 0;
    for (auto _ : state) {
        cameras::PTZTriggerListDocument doc;
        if (!doc.Read(text)) state.SkipWithError("read failed");
        n = doc.Records().size();
    }
    SetCounters(state, text, n);
}

template <int Kind>
void BM_CXmlWrite(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    size_t size = 0;
    if (Kind == 0) {
        cameras::AssociationList list = cameras::ReadCameraControlXml(Text(0, entries));
        for (auto _ : state) size = cameras::WriteCameraControlXml(list).size();
    } else {
        cameras::PTZTriggerListDocument doc;
        doc.Read(Text(1, entries));
        for (auto _ : state) size = doc.Write().size();
    }
    SetCounters(state, Text(Kind, entries), size);
}

// --- libexpat ----------------------------------------------------------------

struct ExpatState {
    std::string name, value;
    size_t nodes = 0;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) {
    auto* s = static_cast<ExpatState*>(data);
    s->name = name;
    s->value.clear();
    ++s->nodes;
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

template <int Kind>
void BM_ExpatRead(benchmark::State& state) {
    const std::string& text = Text(Kind, static_cast<int>(state.range(0)));
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

void Sizes(benchmark::internal::Benchmark* b) { b->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond); }

}  // namespace

BENCHMARK(BM_CXmlRead<0>)->Name("read/CameraControl/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_ExpatRead<0>)->Name("read/CameraControl/expat")->Apply(Sizes);
BENCHMARK(BM_CameraControlReader)->Name("read/CameraControl/format")->Apply(Sizes);
BENCHMARK(BM_CXmlRead<1>)->Name("read/PTZTriggerList/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_ExpatRead<1>)->Name("read/PTZTriggerList/expat")->Apply(Sizes);
BENCHMARK(BM_PTZTriggerListReader)->Name("read/PTZTriggerList/format")->Apply(Sizes);
BENCHMARK(BM_CXmlWrite<0>)->Name("write/CameraControl/CXmlDocument")->Apply(Sizes);
BENCHMARK(BM_CXmlWrite<1>)->Name("write/PTZTriggerList/CXmlDocument")->Apply(Sizes);
