// The per-user data folder, the machine-wide record of every user's data
// folder, and the two installer commands built on it.
#pragma once

#include <string>

// The user's application-data folder (created when missing); empty on failure.
std::string ApplicationDataFolder(void* owner);
// Creates "<appdata>\PelkSoft" and "<appdata>\PelkSoft\Zelvora" and records
// the folder when it does not exist yet. Returns the data folder path.
std::string EnsureDataFolder(void* owner);
void RegisterDataFolder(const std::string& folder, const std::string& productKey,
                        const std::string& suffix);
// The uninstall command: deletes every recorded product data folder, then the record.
void RemoveDataFolders(const std::string& recordKey);
// Deletes everything below `folder`. Links inside it are removed, never followed.
void DeleteFolderTree(const std::string& folder);
// The "initialsecurity" command.
void InitialSecurityCommand();
