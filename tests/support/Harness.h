// Test harness: a fresh in-memory registry, the component, a simulated unit,
// and an operator that drives dialogs through the model.
//
// The unit tests of the component's inner classes link its code and register
// its classes in the test process.  Test binaries built with
// MIRELLE_MODULE_FILE (the fault matrix, the GUI test) link none of it: they
// create SetupUI from the loadable module, as a host does.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "apps/run/Operations.h"
#ifndef MIRELLE_MODULE_FILE
#include "module/Module.h"
#endif
#include "simulator/SimulatedUnit.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"

namespace testing_support {

class Harness : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
#ifndef MIRELLE_MODULE_FILE
        mirelle::RegisterClassesInProcess();
#endif
        ui::DefaultScriptDriver().Clear();
        ui::DefaultMessageBoxes().Clear();
        ui::DefaultMessageBoxes().onShown = nullptr;
        unit = std::make_unique<host::SimulatedUnit>(UnitData());
    }
    void TearDown() override {
        ui::DefaultScriptDriver().Clear();
        unit.reset();
    }
    // Unit data of the test (overlaid on the simulated unit's defaults).
    virtual nlohmann::json UnitData() { return nlohmann::json::object(); }

    // Queue operator actions in script form ("click 1\nanswer yes\n...").
    void Script(const std::string& text) {
        auto parsed = ui::ParseScript(text);
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        ui::DefaultScriptDriver().Queue(parsed.actions);
    }
    // Queue a check or action written in C++ on the dialog on top.
    void Then(std::function<void(ui::Dialog&)> fn) { ui::DefaultScriptDriver().Then(std::move(fn)); }

    apps::OperationOutcome Run(const std::string& operation) {
        auto s = CreateSetupUI();
        return apps::RunOperation(operation, *unit, *s.get());
    }
    static com::ComPtr<mirelle::ISetupUI> CreateSetupUI() {
#ifdef MIRELLE_MODULE_FILE
        return apps::CreateSetupUI(MIRELLE_MODULE_FILE);
#else
        return apps::CreateSetupUI();
#endif
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (auto& m : ui::DefaultMessageBoxes().Shown()) out.push_back(m.text);
        return out;
    }
    // Names of the recorded host calls that change the unit, in order.
    std::vector<std::string> Changes() {
        std::vector<std::string> out;
        for (auto& c : unit->Calls())
            if (c.changes) out.push_back(c.name + (c.args.empty() ? "" : " " + c.args));
        return out;
    }
    std::vector<std::string> CallsNamed(const std::string& name) {
        std::vector<std::string> out;
        for (auto& c : unit->Calls())
            if (c.name == name) out.push_back(c.args);
        return out;
    }

    std::unique_ptr<host::SimulatedUnit> unit;
};

}  // namespace testing_support
