// The module folder (where the program and its data files live), the temporary folder, and folder creation.
#pragma once
#include <filesystem>

namespace mivo {

// The folder of the running executable (platform paths service), without a trailing separator, or
// the folder set with SetModuleDirOverride. Empty when neither is known.
std::filesystem::path GetModuleDir();
// Makes GetModuleDir return `dir` (the programs' --data-dir option) until cleared.
void SetModuleDirOverride(const std::filesystem::path& dir);
void ClearModuleDirOverride();

// The user's temporary folder exactly as the platform reports it; empty when it reports none.
std::filesystem::path GetTempDir();

// Creates every missing folder along `path`. When something already exists at `path` nothing
// happens; when the last component contains a dot it is taken for a file name and left out.
// Failures are ignored: a folder that cannot be created is simply missing afterwards.
void MakeDirs(const std::filesystem::path& path);

}  // namespace mivo
