// pugixml, the fastest well-known XML parser, on the same texts as the
// CXmlDocument figures: its parse plus a walk over every element, attribute
// and text (the same information the node stream delivers), and its parse
// plus the typed conversion of each format reader (the same conversion
// functions, the same records; checked against the format reader once).
#include <benchmark/benchmark.h>

#include "bench/BenchTexts.h"
#include "bench/PugiFormats.h"
#include "bench/XmlBenchSupport.h"
#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"
#include "network/IPSourceConfig.h"

namespace {

using bench::Doc;
using bench::SetCounters;
using bench::Sizes;
using bench::Walk;
using bench::PugiCameraControl;
using bench::PugiPTZTriggerList;
using bench::PugiIPSourceConfig;
using bench::SameRecords;

template <Doc Kind>
void BM_PugiRead(benchmark::State& state) {
    const std::string& text = bench::Text(Kind, static_cast<int>(state.range(0)));
    size_t nodes = 0;
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_buffer(text.data(), text.size())) state.SkipWithError("pugixml parse failed");
        nodes = 0;
        Walk(doc, nodes);
    }
    SetCounters(state, text, nodes);
}

void BM_PugiCameraControl(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::CameraControl, static_cast<int>(state.range(0)));
    if (PugiCameraControl(text) != cameras::ReadCameraControlXml(text)) state.SkipWithError("differs from the reader");
    size_t n = 0;
    for (auto _ : state) n = PugiCameraControl(text).size();
    SetCounters(state, text, n);
}

void BM_PugiPTZTriggerList(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::PTZTriggerList, static_cast<int>(state.range(0)));
    cameras::PTZTriggerListDocument mine, theirs;
    if (!mine.Read(text) || !PugiPTZTriggerList(text, theirs) || !SameRecords(mine, theirs))
        state.SkipWithError("differs from the reader");
    size_t n = 0;
    for (auto _ : state) {
        cameras::PTZTriggerListDocument doc;
        if (!PugiPTZTriggerList(text, doc)) state.SkipWithError("read failed");
        n = doc.Records().size();
    }
    SetCounters(state, text, n);
}

void BM_PugiIPSourceConfig(benchmark::State& state) {
    const std::string& text = bench::Text(Doc::IPSourceConfig, static_cast<int>(state.range(0)));
    network::IPSourceConfig mine, theirs;
    if (!network::ReadIPSourceConfig(text, mine) || !PugiIPSourceConfig(text, theirs) ||
        mine.unassignedCameras != theirs.unassignedCameras || mine.sources.size() != theirs.sources.size() ||
        mine.sources.back().id != theirs.sources.back().id || mine.sources.back().cameras != theirs.sources.back().cameras ||
        mine.devices.size() != theirs.devices.size() || mine.devices.back().guid != theirs.devices.back().guid)
        state.SkipWithError("differs from the reader");
    size_t n = 0;
    for (auto _ : state) {
        network::IPSourceConfig config;
        if (!PugiIPSourceConfig(text, config)) state.SkipWithError("read failed");
        n = config.sources.size();
    }
    SetCounters(state, text, n);
}

}  // namespace

BENCHMARK(BM_PugiRead<Doc::CameraControl>)->Name("read/CameraControl/pugixml")->Apply(Sizes);
BENCHMARK(BM_PugiCameraControl)->Name("read/CameraControl/pugixml-format")->Apply(Sizes);
BENCHMARK(BM_PugiRead<Doc::PTZTriggerList>)->Name("read/PTZTriggerList/pugixml")->Apply(Sizes);
BENCHMARK(BM_PugiPTZTriggerList)->Name("read/PTZTriggerList/pugixml-format")->Apply(Sizes);
BENCHMARK(BM_PugiRead<Doc::IPSourceConfig>)->Name("read/IPSourceConfig/pugixml")->Apply(Sizes);
BENCHMARK(BM_PugiIPSourceConfig)->Name("read/IPSourceConfig/pugixml-format")->Apply(Sizes);
