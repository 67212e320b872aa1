// Paths service: where the program lives and where temporary files go.
#pragma once
#include <filesystem>

namespace mivo::platform {

class Paths {
public:
    virtual ~Paths() = default;
    // Full path of the running executable (empty when unknown).
    virtual std::filesystem::path ExecutablePath() = 0;
    // The user's temporary folder as the system reports it; empty when it reports none.
    virtual std::filesystem::path TempDir() = 0;
    // True when other users may create names in TempDir(), so files of ours there need a
    // private subfolder. False when the folder is the user's own, or there is none.
    virtual bool TempDirIsShared() = 0;
};

}  // namespace mivo::platform
