#include "apps/demo/Launcher.h"

#include <iostream>

#include <QGridLayout>
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
    auto* grid = new QGridLayout;
    int i = 0;
    for (const auto& name : apps::OperationNames()) {
        auto* b = new QPushButton(QString::fromStdString(name), this);
        b->setObjectName(QString::fromStdString(name));
        connect(b, &QPushButton::clicked, this, [this, name] { RunOperation(name); });
        grid->addWidget(b, i / 4, i % 4);
        ++i;
    }
    layout->addLayout(grid);
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
        apps::RunReport report(say);
        report.Attach(*unit);
        gui::QtFrontEnd frontEnd(this);
        frontEnd.onMessage = [&](const ui::ShownMessage& m) { report.Message(cp::AnsiToUtf8(m.text)); };
        auto setupUI = apps::CreateSetupUI();
        auto outcome = apps::RunOperation(name, *unit, *setupUI.get());
        report.Finish(outcome);
        if (com::SUCCEEDED(outcome.hr))
            unit->Save(m_unitPath);
        else
            say("the unit file was not written");
        result = outcome.result;
    } catch (const std::exception& e) {
        say(std::string("failed: ") + e.what());
        std::cerr << "mirelle-demo: " << e.what() << "\n";
    }
    return result;
}

}  // namespace demo
