#include "web/WebFrontEnd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "platform/codepage/CodePage.h"
#include "platform/ui/Script.h"
#include "platform/ui/Window.h"
#include "web/Protocol.h"

namespace web {

using nlohmann::json;

int CautiousAnswer(unsigned style) {
    switch (style & 0xF) {
        case ui::MB_OKCANCEL:
        case ui::MB_YESNOCANCEL:
        case 5: return ui::IDCANCEL;
        case ui::MB_YESNO: return ui::IDNO;
        case 2: return ui::IDABORT;
        default: return ui::IDOK;
    }
}

WebFrontEnd::WebFrontEnd(std::function<void(const json&)> send) : m_send(std::move(send)) {
    ui::SetDriver(this);
    ui::SetMessageBoxService(this);
}

WebFrontEnd::~WebFrontEnd() {
    ui::SetDriver(nullptr);
    ui::SetMessageBoxService(nullptr);
}

std::vector<json> WebFrontEnd::State() const {
    std::vector<json> out;
    for (const Run* run : m_runs)
        if (!run->dialog->IsEnded()) out.push_back(DialogJson(run->sent));
    if (m_box.open) out.push_back(MessageBoxJson(m_box.number, m_box.text, m_box.caption, m_box.style));
    return out;
}

void WebFrontEnd::Abandon(bool on) {
    m_abandoned = on;
    if (on) EndAbandoned();
}

bool WebFrontEnd::AnyEnded() const {
    for (const Run* run : m_runs)
        if (run->dialog->IsEnded()) return true;
    return false;
}

void WebFrontEnd::EndAbandoned() {
    // A dialog that ended (a connection time-out) under dialogs or a box
    // still open: nobody is left to close those, so they are cancelled and
    // the box gets the cautious answer.
    if (!AnyEnded()) return;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (!m_runs[i]->dialog->IsEnded()) continue;
        for (std::size_t k = i + 1; k < m_runs.size(); ++k)
            if (!m_runs[k]->dialog->IsEnded()) m_runs[k]->dialog->EndDialog(ui::IDCANCEL);
        break;
    }
    if (m_box.open && m_box.loop && m_box.answer == 0) {
        m_box.answer = CautiousAnswer(m_box.style);
        m_box.loop->quit();
    }
}

void WebFrontEnd::Refresh() {
    if (m_abandoned) EndAbandoned();
    for (Run* run : m_runs) {
        if (run->dialog->IsEnded()) {
            run->loop->quit();
            continue;
        }
        ui::DialogState now = ui::TakeSnapshot(*run->dialog);
        if (now == run->sent) continue;
        std::vector<LiveValue> live;
        json update = UpdateJson(run->sent, now, live);
        run->sent = std::move(now);
        if (!update.is_null()) m_send(update);
        for (const LiveValue& v : live) m_send(LiveJson(run->sent.handle, v));
    }
}

std::string WebFrontEnd::Act(const std::string& line) {
    std::string ansi;
    if (!ToModelText(line, ansi)) return "the text has characters the unit cannot show";
    const ui::ScriptParseResult parsed = ui::ParseScript(ansi);
    if (!parsed.ok()) return cp::AnsiToUtf8(parsed.error);
    if (parsed.actions.size() != 1) return "one action a message";
    const ui::Action& action = parsed.actions.front();
    using K = ui::Action::Kind;
    if (action.kind == K::Answer) return Answer(-1, AnswerWord(action.n));
    if (action.kind == K::Wait || action.kind == K::Call) return "not an operator action";
    if (m_box.open) return "a message box is open: answer it first";
    if (m_runs.empty()) return "no dialog is open";
    Run* top = m_runs.back();
    ui::Dialog& d = *top->dialog;
    if (d.IsEnded()) return "the dialog has ended";
    if (recorder) recorder->BeginAction(action);
    std::string error;
    try {
        ui::ApplyAction(d, action);
    } catch (const ui::UiError& e) {
        error = cp::AnsiToUtf8(e.what());
    } catch (...) {
        // A failure inside the dialog's logic ends the dialog and leaves the
        // modal run with it; the outermost run raises it to the host.
        if (!m_error) m_error = std::current_exception();
        d.EndDialog(ui::IDCANCEL);
    }
    if (recorder) recorder->EndAction(error.empty(), !d.IsEnded() && d.IsBusy());
    Refresh();
    return error;
}

std::string WebFrontEnd::Answer(int box, const std::string& word) {
    if (!m_box.open) return "no message box is open";
    if (box >= 0 && box != m_box.number) return "message box " + std::to_string(box) + " is not open";
    const int answer = AnswerOf(word, m_box.style);
    if (answer == 0) return "the message box has no " + word + " button";
    m_box.answer = answer;
    if (m_box.loop) m_box.loop->quit();
    return {};
}

void WebFrontEnd::RunModal(ui::Dialog& dialog) {
    QEventLoop loop;
    Run run{&dialog, &loop, ui::TakeSnapshot(dialog)};
    m_runs.push_back(&run);
    auto queue = ui::ThreadQueue();
    queue->Pump();
    run.sent = ui::TakeSnapshot(dialog);
    m_send(DialogJson(run.sent));

    // Posted messages as they come; the pages brought up to the model a
    // little less often, so that values moving on their own are coalesced.
    QTimer pump;
    pump.setInterval(pumpIntervalMs);
    QElapsedTimer sinceRefresh;
    sinceRefresh.start();
    QObject::connect(&pump, &QTimer::timeout, &loop, [&] {
        ServeWorkerBoxes();
        if (queue->Pump() > 0 || dialog.IsEnded() || sinceRefresh.elapsed() >= liveIntervalMs) {
            Refresh();
            sinceRefresh.restart();
        }
    });
    pump.start();
    if (!dialog.IsEnded()) loop.exec();
    if (dialog.IsBusy()) {
        // A worker still runs: its messages and boxes go on being served
        // until it is done (the dialog waits for it when it is destroyed).
        QEventLoop drain;
        QObject::connect(&pump, &QTimer::timeout, &drain, [&] {
            ServeWorkerBoxes();
            if (!dialog.IsBusy()) drain.quit();
        });
        drain.exec();
    }
    pump.stop();
    queue->Pump();
    m_runs.pop_back();
    m_send(json{{"type", "closed"}, {"dialog", run.sent.handle}, {"result", dialog.Result()}});
    if (m_error && m_runs.empty()) {
        auto e = m_error;
        m_error = nullptr;
        std::rethrow_exception(e);
    }
    if (m_error)
        for (Run* outer : m_runs) outer->dialog->EndDialog(ui::IDCANCEL);
}

int WebFrontEnd::ShowHere(const std::string& text, const std::string& caption, unsigned style) {
    int answer = 0;
    if ((m_abandoned && AnyEnded()) || m_box.open) {
        // Nobody to ask (or a box over a box, which the page cannot show).
        answer = CautiousAnswer(style);
    } else {
        Refresh();  // the dialogs as they are under the box
        QEventLoop loop;
        m_box = Box{true, ++m_boxes, style, text, caption, 0, &loop};
        m_send(MessageBoxJson(m_box.number, text, caption, style));
        loop.exec();
        answer = m_box.answer ? m_box.answer : CautiousAnswer(style);
        const int number = m_box.number;
        m_box = Box{};
        m_send(json{{"type", "messageClosed"}, {"box", number}, {"answer", AnswerWord(answer)}});
    }
    if (recorder) recorder->Answered(answer);
    if (onMessage) onMessage(ui::ShownMessage{text, caption, style, answer});
    return answer;
}

int WebFrontEnd::Show(ui::Window*, const std::string& text, const std::string& caption, unsigned style) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return ShowHere(text, caption, style);
    // A worker's box: the modal run's pump shows it on the front end's
    // thread while the worker waits for the answer.
    WorkerBox box{text, caption, style, {}};
    std::future<int> answer = box.answer.get_future();
    {
        std::lock_guard<std::mutex> hold(m_workerBoxLock);
        m_workerBoxes.push_back(&box);
    }
    return answer.get();
}

void WebFrontEnd::ServeWorkerBoxes() {
    for (;;) {
        WorkerBox* box = nullptr;
        {
            std::lock_guard<std::mutex> hold(m_workerBoxLock);
            if (m_workerBoxes.empty()) return;
            box = m_workerBoxes.front();
            m_workerBoxes.pop_front();
        }
        box->answer.set_value(ShowHere(box->text, box->caption, box->style));
    }
}

}  // namespace web
