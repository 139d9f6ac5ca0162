// Resource numbers of our own (not shared with the localised modules' fixed
// set) and template ids used across subsystems.
#pragma once

namespace res {

constexpr int kDlgNotAvailable = 9000;
constexpr int kIdcNotAvailableText = 9001;
constexpr int kStrNotAvailable = 9002;
constexpr int kStrDefinitionListFull = 9003;

}  // namespace res
