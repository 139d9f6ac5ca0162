// The demo launcher: one entry per ISetupUI operation on a working unit file.
#pragma once
#include <string>

#include <QWidget>

class QPlainTextEdit;

namespace demo {

class Launcher : public QWidget {
public:
    explicit Launcher(std::string unitPath);
    // Runs one operation modally on the unit file and reports its result;
    // answers the operation's result (-1 when it failed).
    long RunOperation(const std::string& name);

private:
    std::string m_unitPath;
    QPlainTextEdit* m_log;
};

}  // namespace demo
