// Where the host lives in the registry: release, profile and product keys
// (computed once per process) and the installation folder.
#pragma once
#include <string>

std::wstring GetReleaseKeyPath();
std::wstring GetProfileKeyPath();
std::wstring GetProductKeyPath();
// Key of the job settings: the product key + "\Migration" (under HKEY_CURRENT_USER).
std::wstring MigrationSettingsKey();
std::wstring GetHostProfileName();
// Switches the host profile descriptor to the batch profile.
void UseBatchProfile();
// Reads DrxlLocation; the migration folder is it plus a separator and "drxlm\migration".
void LookupHostFolder(std::wstring& hostFolder, std::wstring& migrationFolder);
// Joins a folder and a tail with one separator between them.
std::wstring MigrationFolderOf(const std::wstring& hostFolder);

// Test hook: forget the cached keys and the profile switch.
void ResetHostKeysForTest();
