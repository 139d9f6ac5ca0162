// Control ids of the camera setup's templates, shared by the templates and
// the page classes.
#pragma once

namespace res::cam {

// Pages with one row per camera (names, termination, gain, covert, camera
// control): headings of the two columns, then per row a label, a field or
// drop-down list and (camera control) a Setup button.  Row i is camera i + 1.
constexpr int kHeadCamera1 = 1440, kHeadValue1 = 1441, kHeadCamera2 = 1442, kHeadValue2 = 1443;
constexpr int kRowLabel = 1450;   // + row
constexpr int kRowField = 1470;   // + row (edit or drop-down list)
constexpr int kRowButton = 1490;  // + row (Setup)

// Camera control setup dialog (215).
constexpr int kCcAddressLabel = 1510, kCcAddress = 1511, kCcPortLabel = 1512, kCcPort = 1513,
              kCcMonitorLabel = 1514, kCcMonitor = 1515, kCcBrowse = 1516, kCcKeypad = 1517;

// PTZ Triggers page (251).
constexpr int kPtzList = 1520, kPtzAdd = 1521, kPtzEdit = 1522, kPtzDelete = 1523, kPtzDeleteAll = 1524;

// PTZ trigger editor (250).
constexpr int kTrgGroupTrigger = 1530, kTrgAlarmCameraLabel = 1531, kTrgAlarmCamera = 1532, kTrgAlarmTypesLabel = 1533,
              kTrgFilter = 1534, kTrgInput = 1535, kTrgGenerated = 1536, kTrgVideoLoss = 1537,
              kTrgGroupResponse = 1538, kTrgPtzCameraLabel = 1539, kTrgPtzCamera = 1540, kTrgActionLabel = 1541,
              kTrgPreset = 1542, kTrgPresetNumber = 1543, kTrgPresetSpin = 1544, kTrgPresetLabel = 1545,
              kTrgPattern = 1546, kTrgPatternNumber = 1547, kTrgPatternSpin = 1548, kTrgPatternLabel = 1549,
              kTrgSmallLabel = 1550, kTrgKeypad = 1551;

// User-Defined Handlers page (248).
constexpr int kUdhAddUpdate = 1560, kUdhRemove = 1561, kUdhList = 1562, kUdhKeypad = 1563;

// File choice dialogs: the component's file-open dialog and the simulated
// host's file browser.  Each is a path field with OK and Cancel.
constexpr int kDlgFileOpen = 9300;
constexpr int kFilePathLabel = 9301, kFilePath = 9302;

// Strings of our own: list items of the row pages and the file dialogs.
constexpr int kStrTermHiZ = 9310, kStrTerm75 = 9311;
constexpr int kStrGain0 = 9320;  // .. 9324
constexpr int kStrCovertNormal = 9330, kStrCovertCovert = 9331;
constexpr int kStrFileName = 9340, kStrFileOpen = 9341, kStrBrowse = 9342;

}  // namespace res::cam
