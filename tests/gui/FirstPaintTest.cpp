// How long the operator waits for each setup: from the operation's call to
// the first painted frame of its window, for every operation that opens a
// dialog and for the text stream list with 1,000 streams.  The figures go to
// build/gui-shots/first-paint.txt; the goals are 50 ms a dialog and 100 ms
// for the long list (checked loosely here: test machines are shared).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <QElapsedTimer>

#include "gui/FirstPaint.h"
#include "tests/gui/GuiSession.h"

namespace {

qint64 TimeToFirstPaint(const std::string& operation, const std::function<void(nlohmann::json&)>& edit = {}) {
    guitest::Session s(operation, edit);
    QElapsedTimer clock;
    gui::FirstPaint paint(clock);
    s.fe.onDialogShown = [&](gui::DialogView& v) {
        if (paint.ns < 0) v.installEventFilter(&paint);
    };
    clock.start();
    s.Run();
    return paint.ms();
}

TEST(FirstPaintTimes, EverySetupPaintsQuickly) {
    std::ostringstream figures;
    for (const auto& op : apps::OperationNames()) {
        if (op == "ConnectTimeout" || op == "UpdateLevelMeter") continue;
        TimeToFirstPaint(op);  // warm: templates, fonts, style
        const qint64 ms = TimeToFirstPaint(op);
        figures << op << " " << ms << " ms\n";
        EXPECT_GE(ms, 0) << op << " painted nothing";
        EXPECT_LT(ms, 1000) << op;
    }
    auto many = [](nlohmann::json& d) {
        nlohmann::json streams = nlohmann::json::array();
        for (int i = 0; i < 1000; ++i)
            streams.push_back({{"Name", "Till " + std::to_string(i + 1)}, {"StreamId", i},
                               {"ConnectionName", "COM Port"}, {"HandlerName", "POS Receipt"}, {"ComPort", i % 4},
                               {"BaudRate", 9600}, {"DataBits", 8}, {"Parity", 0}, {"StopBits", 0},
                               {"FlowControl", 2}, {"CameraMask", 1 << (i % 16)}, {"ConnectionType", 0}});
        d["textStreams"]["streams"] = streams;
    };
    TimeToFirstPaint("ShowTextStreams", many);
    const qint64 list = TimeToFirstPaint("ShowTextStreams", many);
    figures << "ShowTextStreams (1,000 streams) " << list << " ms\n";
    EXPECT_GE(list, 0);
    EXPECT_LT(list, 2000);
    const auto dir = std::filesystem::path(MIRELLE_BINARY_DIR) / "gui-shots";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "first-paint.txt") << figures.str();
    std::printf("%s", figures.str().c_str());
}

}  // namespace
