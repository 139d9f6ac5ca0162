#include "apps/demo/Launcher.h"

#include <iostream>
#include <vector>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/run/Operations.h"
#include "gui/ControlPane.h"
#include "gui/QtFrontEnd.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/Hresult.h"

namespace demo {

Launcher::Launcher(std::string unitPath) : m_unitPath(std::move(unitPath)) {
    setWindowTitle("Mirelle demo");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString("Unit file: %1").arg(QString::fromStdString(m_unitPath)), this));
    // The setups as an operator looks for them, by what they set up; the
    // interface operation behind each is its tool tip.
    struct Entry {
        const char* title;
        const char* operation;
    };
    struct Group {
        const char* title;
        std::vector<Entry> entries;
    };
    const std::vector<Group> groups = {
        {"Video", {{"Cameras", "ShowCameras"}, {"Display layouts", "ShowDisplay"}, {"Record mode", "ShowRecordModeDlg"}}},
        {"Recording", {{"Storage", "ShowStorage"}}},
        {"Audio", {{"Audio", "ShowAudio"}, {"Level meter update", "UpdateLevelMeter"}}},
        {"Text",
         {{"Text streams", "ShowTextStreams"}, {"Exceptions", "ShowTextExceptions"}, {"Receipts", "ShowTextReceipts"},
          {"Raw text", "ShowRawTextSetup"}, {"Serial port", "ShowCOMPortSetup"}, {"TCP/IP port", "ShowTextIPPortSetup"},
          {"Printer options", "ShowODSetup"}}},
        {"Network",
         {{"Port address", "ShowPortAddressDlg"}, {"IP sources", "ShowIPSourceConfig"},
          {"Drop remote connection", "ConnectTimeout"}}},
    };
    auto* row = new QHBoxLayout;
    for (const auto& group : groups) {
        auto* box = new QGroupBox(group.title, this);
        auto* column = new QVBoxLayout(box);
        for (const auto& entry : group.entries) {
            const std::string name = entry.operation;
            if (!apps::IsOperation(name)) continue;
            auto* b = new QPushButton(entry.title, box);
            b->setObjectName(QString::fromStdString(name));
            b->setToolTip(QString::fromStdString(name));
            connect(b, &QPushButton::clicked, this, [this, name] { RunOperation(name); });
            column->addWidget(b);
        }
        column->addStretch();
        row->addWidget(box);
    }
    layout->addLayout(row);
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(220);
    layout->addWidget(m_log);
}

long Launcher::RunOperation(const std::string& name) {
    auto say = [this](const std::string& line) { m_log->appendPlainText(QString::fromStdString(line)); };
    say("== " + name);
    long result = -1;
    try {
        auto unit = host::SimulatedUnit::Load(m_unitPath);
        unit->onCall = [&](const host::HostCall& call) {
            if (call.name == "ShowHelp")
                say("help: " + call.args);
            else if (call.changes)
                say("host: " + call.name + (call.args.empty() ? "" : " ") + cp::AnsiToUtf8(call.args));
        };
        gui::QtFrontEnd frontEnd(this);
        frontEnd.onMessage = [&](const ui::ShownMessage& m) { say("message: " + cp::AnsiToUtf8(m.text)); };
        auto setupUI = apps::CreateSetupUI();
        auto outcome = apps::RunOperation(name, *unit, *setupUI.get());
        if (com::FAILED(outcome.hr)) say("error: " + com::HresultText(outcome.hr));
        say("result: " + std::to_string(outcome.result));
        unit->Save(m_unitPath);
        result = outcome.result;
    } catch (const std::exception& e) {
        say(std::string("failed: ") + e.what());
        std::cerr << "mirelle-demo: " << e.what() << "\n";
    }
    return result;
}

}  // namespace demo
