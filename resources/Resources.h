// The component's resources: string table, dialog templates and registration
// scripts, looked up by number.  A localised resource module, when one was
// chosen at start-up, overrides strings and template texts by the same ids.
#pragma once
#include <map>
#include <optional>
#include <span>
#include <string>

#include "platform/ui/Control.h"

namespace res {

struct StringEntry {
    int id;
    const char* text;  // Windows-1252
};

// Loads string id; empty when the id is unknown (as a failed LoadString).
std::string LoadString(int id);
// printf-style formatting of a loaded string with one integer or text.
std::string FormatString(int id, long value);
std::string FormatString(int id, const std::string& value);
bool HasString(int id);

const ui::DialogTemplate* Template(int id);
// Registry script resource by id (103, 104); empty when unknown.
std::string RegistryScript(int id);

// Installs the template lookup into the dialog model.  Called by the module at
// start-up; tests call it too.
void Install();
// Takes the template lookup out of the dialog model again (module unload).
void Uninstall();

// Localised resource module: a JSON file {"strings": {"id": "text"},
// "templates": {"id": {"caption": "...", "controls": {"id": "text"},
// "columns": {"id": ["heading", ...]}}}} in UTF-8.  Answers false when the
// file cannot be loaded.
bool LoadResourceModule(const std::string& path);
void UnloadResourceModule();
std::optional<std::string> LoadedModulePath();

// Every string and every dialog template of the own resources, by id (the
// tables of all subsystems together).
const std::map<int, std::string>& OwnStrings();
const std::map<int, ui::DialogTemplate>& OwnTemplates();

// Tables per subsystem (each in its own source file).
std::span<const StringEntry> ComponentStrings();
std::span<const StringEntry> CameraStrings();
std::span<const StringEntry> DisplayStrings();
std::span<const StringEntry> StorageStrings();
std::span<const StringEntry> TextStreamStrings();
std::span<const StringEntry> AudioStrings();
std::span<const StringEntry> NetworkStrings();

void AddComponentTemplates(std::map<int, ui::DialogTemplate>& out);
void AddCameraTemplates(std::map<int, ui::DialogTemplate>& out);
void AddDisplayTemplates(std::map<int, ui::DialogTemplate>& out);
void AddStorageTemplates(std::map<int, ui::DialogTemplate>& out);
void AddTextStreamTemplates(std::map<int, ui::DialogTemplate>& out);
void AddAudioTemplates(std::map<int, ui::DialogTemplate>& out);
void AddNetworkTemplates(std::map<int, ui::DialogTemplate>& out);

}  // namespace res
