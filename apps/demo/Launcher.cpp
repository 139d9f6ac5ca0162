#include "apps/demo/Launcher.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/demo/HostWindows.h"
#include "apps/run/Groups.h"
#include "apps/run/Operations.h"
#include "gui/ControlPane.h"
#include "gui/Keyboard.h"
#include "gui/Touch.h"
#include "gui/QtFrontEnd.h"
#include "platform/codepage/CodePage.h"
#include "platform/com/Hresult.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Script.h"
#include "util/Util.h"

namespace demo {

namespace {

// The languages the setups can show: the own resources, and every
// localised resource module where the module looks for one (the folders of
// MIRELLE_RESOURCE_PATH, the current folder, the module's folder), by the
// language code in its name (ResSetupUI<LANG>.json).
std::vector<std::string> AvailableLanguages() {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders;
    for (const std::string& folder : LocalResourceFolders()) folders.emplace_back(folder);
    if (const std::string module = apps::ModuleBesideExecutable(); !module.empty())
        folders.push_back(fs::path(module).parent_path());
    std::vector<std::string> codes = {"ENG"};
    const std::string prefix = "ResSetupUI", suffix = ".json";
    for (const auto& folder : folders) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string code = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
        }
    }
    return codes;
}

// The keys of the launcher's own file dialogs: what file names are made of.
constexpr const char* kFileKeys = "abcdefghijklmnopqrstuvwxyz0123456789-._/ ";

QString LanguageTitle(const std::string& code) {
    if (code == "ENG") return "English (own resources)";
    if (code == "QPS") return "Pseudo locale (QPS)";
    return QString::fromStdString(code);
}

}  // namespace

int SpeechLevel(int t) {
    // Phrases of about 3 s with pauses between them; syllables of about
    // 350 ms within a phrase; a little unevenness from sample to sample.
    const double phrase = std::max(0.0, std::sin(t * 0.105));
    const double syllable = std::abs(std::sin(t * 0.45));
    const double jitter = (static_cast<unsigned>(t * 2654435761u) >> 28) / 16.0 - 0.5;  // -0.5 .. 0.44
    const double level = -1.0 + 14.0 * std::pow(phrase, 0.5) * syllable + jitter;
    return std::clamp(static_cast<int>(std::lround(level)), -1, 13);
}

QString OneLine(const QString& text) { return text.simplified(); }

QString Unescaped(const QString& line) {
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c != '\\' || i + 1 == line.size()) {
            out += c;
            continue;
        }
        const QChar next = line[++i];
        if (next == 'r') {
            if (i + 2 < line.size() && line[i + 1] == '\\' && line[i + 2] == 'n') continue;  // \r\n: one line break
            out += '\n';
        } else if (next == 'n') {
            out += '\n';
        } else if (next == 't') {
            out += '\t';
        } else if (next == '"' || next == '\\') {
            out += next;
        } else {
            out += c;  // not an escape of ours: as it stands
            out += next;
        }
    }
    return out;
}

QString ChooseFile(QWidget* parent, bool save, const QString& title, const QString& filter, bool keyboard) {
    QDialog box(parent);
    box.setObjectName("fileChooser");
    box.setWindowTitle(title);
    auto* files = new QFileDialog(&box, title, {}, filter);
    files->setOption(QFileDialog::DontUseNativeDialog);
    files->setWindowFlags(Qt::Widget);
    files->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    files->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(files);
    QString chosen;
    QObject::connect(files, &QFileDialog::accepted, &box, [&] {
        if (!files->selectedFiles().isEmpty()) chosen = files->selectedFiles().front();
        box.accept();
    });
    QObject::connect(files, &QFileDialog::rejected, &box, &QDialog::reject);
    if (keyboard) {
        auto* keys = new gui::Keyboard(&box);
        keys->SetKeys(kFileKeys);
        layout->addWidget(keys);
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        auto edit = [name](const std::function<void(QLineEdit&)>& change) {
            if (!name) return;
            change(*name);
            emit name->textEdited(name->text());  // as typing does: the dialog follows the name
        };
        QObject::connect(keys, &gui::Keyboard::typed, &box, [edit](const QString& t) { edit([&](QLineEdit& e) { e.insert(t); }); });
        QObject::connect(keys, &gui::Keyboard::backspace, &box, [edit] { edit([](QLineEdit& e) { e.backspace(); }); });
        QObject::connect(keys, &gui::Keyboard::cleared, &box, [edit] { edit([](QLineEdit& e) { e.clear(); }); });
        QObject::connect(keys, &gui::Keyboard::caret, &box, [name](int delta) {
            if (name) name->setCursorPosition(name->cursorPosition() + delta);
        });
        QObject::connect(keys, &gui::Keyboard::entered, files, [files] { QMetaObject::invokeMethod(files, "accept"); });
        QTimer::singleShot(0, keys, [keys, &box] { keys->Arrange(box.width() - 24); });
    }
    if (gui::TouchMode()) box.setStyleSheet(gui::TouchStyleSheet() + QString("QPushButton, QLineEdit, QComboBox { min-height: 40px; }"));
    box.resize(720, keyboard ? 640 : 420);
    box.exec();
    return chosen;
}

Launcher::Launcher(std::string unitPath)
    : m_unitPath(std::move(unitPath)), m_bundledPath(std::string(MIRELLE_SOURCE_DIR) + "/apps/units/default.json") {
    setWindowTitle("Mirelle demo");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString("Unit file: %1").arg(QString::fromStdString(m_unitPath)), this));
    auto* row = new QHBoxLayout;
    for (const auto& group : apps::SetupGroups()) {
        auto* box = new QGroupBox(QString::fromStdString(group.title), this);
        auto* column = new QVBoxLayout(box);
        for (const auto& entry : group.entries) {
            const std::string name = entry.operation;
            if (!apps::IsOperation(name)) continue;
            auto* b = new QPushButton(QString::fromStdString(entry.title), box);
            b->setObjectName(QString::fromStdString(name));
            b->setToolTip(QString::fromStdString(name));
            connect(b, &QPushButton::clicked, this, [this, name] { RunOperation(name); });
            column->addWidget(b);
        }
        column->addStretch();
        row->addWidget(box);
    }
    layout->addLayout(row);

    // What the simulated unit does while a setup is open.
    auto* unitRow = new QHBoxLayout;
    auto* reset = new QPushButton("Reset unit", this);
    reset->setObjectName("resetUnit");
    reset->setToolTip("Puts the bundled unit file back");
    connect(reset, &QPushButton::clicked, this, [this] { ResetUnit(); });
    unitRow->addWidget(reset);
    m_dropDelay = new QSpinBox(this);
    m_dropDelay->setObjectName("dropDelay");
    m_dropDelay->setRange(0, 600);
    m_dropDelay->setSuffix(" s");
    m_dropDelay->setSpecialValueText("never");
    m_dropDelay->setAccessibleName("Drop remote connection after");
    m_dropDelay->setToolTip("ConnectTimeout: the remote connection drops this long after a setup opens");
    unitRow->addWidget(new QLabel("Drop remote connection after", this));
    unitRow->addWidget(m_dropDelay);
    m_audioInput = new QCheckBox("Live audio input", this);
    m_audioInput->setObjectName("audioInput");
    m_audioInput->setToolTip("UpdateLevelMeter from the unit's audio thread while a setup is open");
    unitRow->addWidget(m_audioInput);
    // The language of the setups: the unit's system language, which the
    // module chooses its resource module by when it loads.
    m_language = new QComboBox(this);
    m_language->setObjectName("language");
    m_language->setAccessibleName("Language");
    m_language->setToolTip("SystemLanguage: the resource module the setups take their texts from");
    std::vector<std::string> languages = AvailableLanguages();
    const std::string current = CWWRegistry::GetSystemLanguage();
    if (std::find(languages.begin(), languages.end(), current) == languages.end()) languages.push_back(current);
    for (const auto& code : languages) m_language->addItem(LanguageTitle(code), QString::fromStdString(code));
    m_language->setCurrentIndex(m_language->findData(QString::fromStdString(current)));
    connect(m_language, &QComboBox::currentIndexChanged, this,
            [this] { SetLanguage(m_language->currentData().toString().toStdString()); });
    unitRow->addWidget(new QLabel("Language", this));
    unitRow->addWidget(m_language);
    unitRow->addStretch();
    layout->addLayout(unitRow);

    // How the recorder's screen is used: by touch, and with the on-screen keyboard.
    auto* screenRow = new QHBoxLayout;
    m_touch = new QCheckBox("Touch screen", this);
    m_touch->setObjectName("touchMode");
    m_touch->setToolTip("Touch mode: every button, list row, tab and check box of the setups at least 40 x 40 px");
    m_touch->setChecked(gui::TouchMode());
    connect(m_touch, &QCheckBox::toggled, this, [](bool on) { gui::SetTouchMode(on); });
    screenRow->addWidget(m_touch);
    m_keyboard = new QCheckBox("On-screen keyboard", this);
    m_keyboard->setObjectName("keyboardFlag");
    m_keyboard->setToolTip("The keyboard flag given to the setups: their dialogs show the on-screen keyboard");
    screenRow->addWidget(m_keyboard);
    screenRow->addStretch();
    layout->addLayout(screenRow);

    // Recording a setup session as a script, and replaying one on another unit.
    auto* recordRow = new QHBoxLayout;
    m_record = new QCheckBox("Record", this);
    m_record->setObjectName("record");
    m_record->setToolTip("Records what you do in the next setups as a mirelle-run script");
    recordRow->addWidget(m_record);
    auto* save = new QPushButton("Save recording as...", this);
    save->setObjectName("saveRecording");
    connect(save, &QPushButton::clicked, this, [this] {
        if (m_recorder.Empty()) {
            m_log->appendPlainText("nothing recorded yet: tick Record, then run a setup");
            return;
        }
        const QString path = ChooseFile(this, true, "Save recording as", "Scripts (*.script)", OnScreenKeys());
        if (!path.isEmpty()) SaveRecording(path.toStdString());
    });
    recordRow->addWidget(save);
    auto* replay = new QPushButton("Replay script...", this);
    replay->setObjectName("replayScript");
    replay->setToolTip("Runs a saved script headless on a unit file you choose");
    connect(replay, &QPushButton::clicked, this, [this] {
        const QString script = ChooseFile(this, false, "Script to replay", "Scripts (*.script)", OnScreenKeys());
        if (script.isEmpty()) return;
        const QString target = ChooseFile(this, false, "Unit file to replay it on", "Unit files (*.json)", OnScreenKeys());
        if (!target.isEmpty()) ReplayScript(script.toStdString(), target.toStdString());
    });
    recordRow->addWidget(replay);
    recordRow->addStretch();
    layout->addLayout(recordRow);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("unitState");
    m_tree->setHeaderLabels({"Unit", "Value"});
    m_tree->setMinimumHeight(220);
    layout->addWidget(m_tree);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName("hostCalls");
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(160);
    layout->addWidget(m_log);
    std::ifstream in(m_unitPath);
    ShowState(nlohmann::json::parse(in, nullptr, false));
}

Launcher::~Launcher() { StopAudioInput(); }

bool Launcher::OnScreenKeys() const { return m_keyboard->isChecked() || m_touch->isChecked(); }

void Launcher::ResetUnit() {
    std::error_code ec;
    std::filesystem::copy_file(m_bundledPath, m_unitPath, std::filesystem::copy_options::overwrite_existing, ec);
    m_log->appendPlainText(ec ? QString("reset failed: %1").arg(QString::fromStdString(ec.message()))
                              : QString("== unit reset to the bundled file"));
    std::ifstream in(m_unitPath);
    ShowState(nlohmann::json::parse(in, nullptr, false));
}

void Launcher::Fill(QTreeWidgetItem* parent, const QString& key, const nlohmann::json& now,
                    const nlohmann::json* before, bool compare) {
    auto* item = parent ? new QTreeWidgetItem(parent, {key}) : new QTreeWidgetItem(m_tree, {key});
    const bool changed = compare && (!before || *before != now);
    if (now.is_object() || now.is_array()) {
        int i = 0;
        for (auto it = now.begin(); it != now.end(); ++it, ++i) {
            const QString childKey = now.is_object() ? QString::fromStdString(it.key()) : QString("[%1]").arg(i);
            const nlohmann::json* old = nullptr;
            if (before && before->is_object() && now.is_object() && before->contains(it.key())) old = &(*before)[it.key()];
            if (before && before->is_array() && now.is_array() && i < static_cast<int>(before->size())) old = &(*before)[i];
            Fill(item, childKey, *it, old, compare);
        }
    } else if (const QString text = QString::fromStdString(now.is_string() ? now.get<std::string>() : now.dump());
               text.contains('\n')) {
        // A text of several lines (an XML document): on one line, and line
        // by line below it when expanded.
        item->setText(1, OneLine(text));
        item->setToolTip(1, text);
        for (const QString& line : text.split('\n'))
            if (!line.trimmed().isEmpty()) new QTreeWidgetItem(item, {QString(), QString(line).remove('\r').replace('\t', "    ")});
    } else {
        item->setText(1, text);
    }
    if (changed) {
        // What the last setup changed, and the branches that lead to it.
        for (int c = 0; c < 2; ++c) item->setBackground(c, QColor(255, 236, 150));
        for (QTreeWidgetItem* up = item; up; up = up->parent()) up->setExpanded(true);
    }
}

void Launcher::ShowState(const nlohmann::json& before) {
    m_tree->clear();
    std::ifstream in(m_unitPath);
    const nlohmann::json now = nlohmann::json::parse(in, nullptr, false);
    if (now.is_discarded()) return;
    for (auto it = now.begin(); it != now.end(); ++it) {
        const nlohmann::json* old = before.is_object() && before.contains(it.key()) ? &before[it.key()] : nullptr;
        Fill(nullptr, QString::fromStdString(it.key()), *it, old, before.is_object());
    }
    m_tree->resizeColumnToContents(0);
}

void Launcher::StartAudioInput() {
    if (!m_audioInput->isChecked() || !m_running) return;
    m_audioStop = false;
    mirelle::ISetupUI* setupUI = m_running.get();
    setupUI->AddRef();
    // A level that rises and falls, as speech on a microphone would, every
    // 50 ms from a thread of its own as the unit's audio thread calls: the
    // peak level on the meter's scale (-1 silence, 0..13 the lamps).
    m_audioThread = std::thread([this, setupUI] {
        for (int t = 0; !m_audioStop; ++t) {
            const auto level = static_cast<std::int32_t>(SpeechLevel(t));
            std::int16_t result = 0;
            setupUI->UpdateLevelMeter(level, &result);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        setupUI->Release();
    });
}

void Launcher::StopAudioInput() {
    m_audioStop = true;
    if (m_audioThread.joinable()) m_audioThread.join();
}

void Launcher::WriteLogLine(const std::string& line) {
    // The texts a host call carries, as text (not their escapes).
    m_log->appendPlainText(Unescaped(QString::fromStdString(line)));
}

long Launcher::RunOperation(const std::string& name) {
    auto say = [this](const std::string& line) { Say(line); };
    say("== " + name);
    long result = -1;
    try {
        auto unit = host::SimulatedUnit::Load(m_unitPath);
        // The switch gives the setups the on-screen keyboard flag (off, the
        // unit file's stands); the file keeps its own.
        const nlohmann::json keyboardInFile = unit->Data().value("keyboard", nlohmann::json(0));
        if (m_keyboard->isChecked()) unit->Data()["keyboard"] = 1;
        apps::RunReport report(say);
        report.Attach(*unit);
        if (showHostWindows) {
            auto reported = unit->onCall;
            unit->onCall = [this, reported](const host::HostCall& call) {
                reported(call);
                if (call.name != "ShowHelp") return;
                // A window opens on the launcher's own thread only.
                if (QThread::currentThread() == thread())
                    ShowHelpTopic(this, call.args);
                else
                    QMetaObject::invokeMethod(this, [this, args = call.args] { ShowHelpTopic(this, args); },
                                              Qt::QueuedConnection);
            };
        }
        if (showHostWindows)
            unit->onEditDevice = [this](const std::string& values, std::string& result) {
                return EditIPDevice(this, values, result);
            };
        gui::QtFrontEnd frontEnd(this);
        if (m_record->isChecked()) {
            m_recorder.Start(name);
            frontEnd.recorder = &m_recorder;
        }
        frontEnd.onMessage = [&](const ui::ShownMessage& m) { report.Message(cp::AnsiToUtf8(m.text)); };
        const std::shared_ptr<void> attached = onFrontEnd ? onFrontEnd(frontEnd) : nullptr;
        std::ifstream in(m_unitPath);
        const nlohmann::json before = nlohmann::json::parse(in, nullptr, false);
        auto setupUI = apps::CreateSetupUI();
        const bool opensDialog = name != "ConnectTimeout" && name != "UpdateLevelMeter";
        if (opensDialog) {
            m_running = setupUI;
            StartAudioInput();
        }
        QTimer drop;
        drop.setSingleShot(true);
        connect(&drop, &QTimer::timeout, this, [this, &say] {
            if (!m_running) return;
            say("== remote connection dropped: ConnectTimeout");
            m_running->ConnectTimeout();
        });
        if (opensDialog && m_dropDelay->value() > 0) drop.start(m_dropDelay->value() * 1000);
        apps::OperationOutcome outcome;
        try {
            outcome = apps::RunOperation(name, *unit, *setupUI.get());
        } catch (...) {
            drop.stop();
            StopAudioInput();
            m_running.reset();
            throw;
        }
        drop.stop();
        StopAudioInput();
        m_running.reset();
        unit->Data()["keyboard"] = keyboardInFile;
        report.Finish(outcome);
        if (com::SUCCEEDED(outcome.hr))
            unit->Save(m_unitPath);
        else
            say("the unit file was not written");
        ShowState(before);
        result = outcome.result;
    } catch (const std::exception& e) {
        say(std::string("failed: ") + e.what());
        std::cerr << "mirelle-demo: " << e.what() << "\n";
    }
    return result;
}

bool Launcher::SetLanguage(const std::string& code) {
    if (code.empty()) return false;
    if (!reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", code)) {
        m_log->appendPlainText("language: the registry store cannot be changed");
        return false;
    }
    // The module chooses its resource module when it loads: load it afresh.
    const bool reloaded = apps::ReloadSetupUIModule();
    const int index = m_language->findData(QString::fromStdString(code));
    if (index >= 0 && index != m_language->currentIndex()) {
        const QSignalBlocker quiet(m_language);
        m_language->setCurrentIndex(index);
    }
    m_log->appendPlainText(QString::fromStdString(
        "== language " + code +
        (code == "ENG" ? std::string(": the component's own resources")
                       : ": resource module " + CWWRegistry::GetLocalResDLLName("ResSetupUI") +
                             " (the own resources where it is missing)") +
        (reloaded ? "" : "; the module is still in use, the change shows once it is reloaded")));
    return reloaded;
}

void Launcher::SetRecording(bool on) { m_record->setChecked(on); }

bool Launcher::SaveRecording(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << cp::AnsiToUtf8(m_recorder.Text());
    out.close();
    const bool ok = static_cast<bool>(out);
    m_log->appendPlainText(QString::fromStdString((ok ? "== recording saved to " : "== cannot write ") + path));
    return ok;
}

long Launcher::ReplayScript(const std::string& scriptPath, const std::string& unitPath) {
    auto say = [this](const std::string& line) { Say(line); };
    say("== replay " + scriptPath + " on " + unitPath);
    try {
        std::ifstream in(scriptPath);
        if (!in) throw std::runtime_error("cannot open " + scriptPath);
        std::stringstream text;
        text << in.rdbuf();
        const std::string script = text.str();
        // The operation is named on the first line, as the demo's scripts name it.
        const std::string tag = "# operation: ";
        std::string operation;
        if (script.rfind(tag, 0) == 0) operation = script.substr(tag.size(), script.find_first_of("\r\n") - tag.size());
        if (!apps::IsOperation(operation)) throw std::runtime_error(scriptPath + ": no \"# operation:\" first line");
        auto parsed = ui::ParseScript(cp::Utf8ToAnsi(script));
        if (!parsed.ok()) throw std::runtime_error(scriptPath + ": " + parsed.error);
        auto unit = host::SimulatedUnit::Load(unitPath);
        apps::RunReport report(say);
        report.Attach(*unit);
        auto setupUI = apps::CreateSetupUI();
        auto run = apps::RunScript(operation, parsed.actions, *unit, *setupUI.get(), report);
        if (!run.error.empty()) throw std::runtime_error(scriptPath + ": " + run.error);
        if (com::FAILED(run.outcome.hr)) throw std::runtime_error(operation + " failed");
        unit->Save(unitPath);
        return run.outcome.result;
    } catch (const std::exception& e) {
        say(std::string("failed: ") + e.what() + " (the unit file was not written)");
    }
    return -1;
}

}  // namespace demo
