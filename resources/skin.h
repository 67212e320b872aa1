// Skin pictures: loading image files, and the skin sheets from which every control cuts its pictures.
#pragma once
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace mivo {

// True when the file at `path` decodes as a picture (PNG or JPEG). False for a missing file, an
// empty path or anything the codec cannot decode.
bool IsImageFile(const std::filesystem::path& path);

// A new image decoded from an in-memory copy of the file, so the file is not held open and may be
// replaced or deleted while the image lives; null on any failure.
gfx::ImagePtr LoadImageFile(const std::filesystem::path& path);

// LoadImageFile for each path, in order (a null entry where a file does not load). The files are
// decoded on two threads; the result is the same as loading them one by one.
std::vector<gfx::ImagePtr> LoadImageFiles(std::span<const std::filesystem::path> paths);

// A new image for skin image `number` in `state` (0 normal, 1 pointer over, 2 pressed), cut from
// the skin sheets under GetModuleDir()/UIPIC; null for numbers outside the table, a state other
// than 0-2 on a row that follows the state, a missing sheet, or a rectangle outside its sheet.
// The first call loads every sheet once; a sheet that fails to load stays missing.
gfx::ImagePtr GetSkinImage(int number, int state);

// Forgets the loaded sheets, so that the next GetSkinImage loads them again (for tests).
void ResetSkinCache();

}  // namespace mivo
