// The windows the simulated unit shows of its own while a setup runs: the
// IP device configuration editor and the help window.  They belong to the
// unit (the host), not to the setups.
#pragma once
#include <string>

class QWidget;

namespace demo {

// The device editor: address and cameras of the source, proposed from
// result ("address=...;cameras=...").  Answers whether the operator pressed
// OK, with result set from the fields.
bool EditIPDevice(QWidget* parent, const std::string& values, std::string& result);

// A small window naming the help topic.
void ShowHelpTopic(QWidget* parent, const std::string& topic);

}  // namespace demo
