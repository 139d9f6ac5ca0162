// pugixml reading the benchmark texts: its parse plus a walk over every
// element, attribute and text (the information the node stream delivers),
// and its parse plus the typed conversion of each format reader (the same
// conversion functions into the same records).  Shared by the benchmark and
// the instruction-count driver.
#pragma once
#include <pugixml.hpp>

#include <string>

#include "cameras/CameraControlXml.h"
#include "cameras/PTZTriggerDefinition.h"
#include "network/IPSourceConfig.h"

namespace bench {

// Counts the elements and attributes below parent.
void Walk(pugi::xml_node parent, size_t& nodes);
// Parses text and walks it; the node count.
size_t PugiParseAndWalk(const std::string& text);

cameras::AssociationList PugiCameraControl(const std::string& text);
bool PugiPTZTriggerList(const std::string& text, cameras::PTZTriggerListDocument& out);
bool PugiIPSourceConfig(const std::string& text, network::IPSourceConfig& out);

// The same records from both readers (compared as typed definitions).
bool SameRecords(const cameras::PTZTriggerListDocument& a, const cameras::PTZTriggerListDocument& b);

}  // namespace bench
