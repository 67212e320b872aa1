// Skin sheets: the 22 sheet files loaded once into a process-wide cache, and the table of image
// numbers with the sheet and rectangle each one is cut from.
#include "resources/skin.h"

#include <array>
#include <optional>
#include <system_error>
#include <thread>

#include "gfx/image_io.h"
#include "platform/platform.h"
#include "resources/paths.h"

namespace mivo {

namespace {

constexpr std::array<const char*, 22> kSheetFiles = {
    "MainWindow_normal.png",      "MainWindow_over.png",      "MainWindow_down.png",
    "MainControl_normal.png",     "MainControl_over.png",     "MainControl_down.png",
    "AdvancedControl_normal.png", "AdvancedControl_over.png", "AdvancedControl_down.png",
    "UpdateSupport_normal.png",   "UpdateSupport_over.png",   "UpdateSupport_down.png",
    "Slider_shorter.png",         "LangSelect_normal.png",    "LangSelect_over.png",
    "LangSelect_down.png",        "DriverReset_normal.png",   "DriverReset_over.png",
    "DriverReset_down.png",       "DeviceCheck_normal.png",   "DeviceCheck_over.png",
    "DeviceCheck_down.png",
};

// Index of the normal sheet of each family (the over and down sheets follow it).
enum Sheet : int {
    kMainWindow = 0,
    kMainControl = 3,
    kMainControlDown = 5,
    kAdvancedControl = 6,
    kUpdateSupport = 9,
    kSlider = 12,
    kLangSelect = 13,
    kDriverReset = 16,
    kDeviceCheck = 19,
};

struct Row {
    int sheet = -1;       // -1: unassigned number
    bool family = false;  // the sheet follows the state (sheet + state)
    bool whole = false;   // a copy of the whole sheet
    int x = 0, y = 0, w = 0, h = 0;
};

constexpr int kLastNumber = 86;

constexpr Row Fixed(int sheet, int x, int y, int w, int h) { return {sheet, false, false, x, y, w, h}; }
constexpr Row Family(int sheet, int x, int y, int w, int h) { return {sheet, true, false, x, y, w, h}; }
constexpr Row Whole(int sheet) { return {sheet, false, true}; }

constexpr std::array<Row, kLastNumber + 1> MakeTable() {
    std::array<Row, kLastNumber + 1> t{};
    t[0] = Whole(kMainWindow);
    t[1] = Whole(kSlider);
    t[2] = Family(kMainWindow, 748, 7, 22, 21);
    t[3] = Family(kMainWindow, 769, 6, 29, 22);
    t[4] = Family(kMainWindow, 4, 86, 162, 34);
    t[5] = Family(kMainWindow, 165, 86, 157, 34);
    t[6] = Family(kMainWindow, 324, 86, 159, 34);
    t[7] = Family(kMainWindow, 584, 455, 59, 35);
    t[8] = Family(kMainWindow, 642, 455, 72, 35);
    t[9] = Family(kMainWindow, 712, 455, 84, 33);
    t[10] = Family(kMainWindow, 11, 462, 34, 17);
    // The page backgrounds always come from the normal sheets.
    t[11] = Fixed(kMainControl, 4, 115, 790, 330);
    t[12] = Fixed(kAdvancedControl, 4, 115, 790, 330);
    t[13] = Fixed(kUpdateSupport, 4, 115, 790, 330);
    t[14] = Family(kMainControl, 453, 183, 234, 17);
    t[15] = Family(kMainControl, 39, 271, 209, 23);
    t[16] = Family(kMainControl, 39, 383, 209, 19);
    t[17] = Family(kMainControl, 416, 179, 22, 19);
    t[18] = Family(kMainControl, 418, 213, 185, 21);
    t[19] = Family(kMainControl, 416, 335, 61, 20);
    t[20] = Family(kMainControl, 480, 335, 61, 20);
    t[21] = Family(kMainControl, 544, 335, 62, 20);
    t[22] = Family(kMainControl, 609, 335, 67, 20);
    // The dpi labels 23-29 always come from the pressed sheet of the main settings page.
    constexpr int kDpiX[7] = {28, 81, 130, 183, 234, 286, 337};
    constexpr int kDpiW[7] = {28, 27, 33, 34, 33, 34, 35};
    for (int i = 0; i < 7; ++i) {
        t[23 + i] = Fixed(kMainControlDown, kDpiX[i], 193, kDpiW[i], 18);
        t[30 + i] = Family(kMainControl, kDpiX[i], 161, kDpiW[i], 32);
    }
    t[37] = Family(kMainControl, 25, 293, 179, 20);
    t[38] = Family(kMainControl, 217, 293, 147, 20);
    t[40] = Family(kMainControl, 678, 396, 96, 26);
    t[41] = Family(kMainControl, 727, 150, 25, 14);
    t[42] = Family(kMainControl, 727, 205, 25, 22);
    t[43] = Family(kAdvancedControl, 569, 402, 101, 21);
    t[44] = Family(kAdvancedControl, 673, 402, 97, 21);
    t[45] = Family(kAdvancedControl, 24, 402, 101, 21);
    t[46] = Family(kAdvancedControl, 150, 402, 85, 21);
    t[47] = Family(kAdvancedControl, 274, 402, 134, 21);
    t[50] = Family(kAdvancedControl, 437, 166, 159, 23);
    for (int n = 51; n <= 55; ++n) t[n] = Family(kAdvancedControl, 437, 189 + 24 * (n - 51), 159, 24);
    t[56] = Family(kUpdateSupport, 27, 208, 199, 34);
    t[57] = Family(kUpdateSupport, 418, 208, 179, 34);
    t[58] = Family(kUpdateSupport, 27, 393, 85, 19);
    t[59] = Family(kUpdateSupport, 417, 341, 83, 19);
    t[60] = Family(kUpdateSupport, 417, 393, 87, 19);
    // The first language row is one pixel higher than the others.
    t[62] = Family(kLangSelect, 0, 0, 100, 17);
    for (int n = 63; n <= 79; ++n) t[n] = Family(kLangSelect, 0, 17 + 16 * (n - 63), 100, 16);
    t[80] = Whole(kDriverReset);
    t[81] = Family(kDriverReset, 73, 200, 56, 25);
    t[82] = Family(kDriverReset, 136, 200, 97, 25);
    t[83] = Family(kDriverReset, 273, 3, 28, 21);
    t[84] = Whole(kDeviceCheck);
    t[85] = Family(kDeviceCheck, 273, 3, 28, 21);
    t[86] = Family(kDeviceCheck, 125, 114, 55, 22);
    return t;
}

constexpr std::array<Row, kLastNumber + 1> kTable = MakeTable();

// The sheet cache: loaded once, read-only afterwards, lives until the process ends (or a reset).
struct SheetCache {
    bool loaded = false;
    std::array<std::optional<gfx::Image>, kSheetFiles.size()> sheets;
};

SheetCache& Cache() {
    static SheetCache cache;
    return cache;
}

void LoadSkinSheets() {
    SheetCache& cache = Cache();
    const std::filesystem::path folder = GetModuleDir() / "UIPIC";
    std::vector<std::filesystem::path> paths;
    for (const char* file : kSheetFiles) paths.push_back(folder / file);
    // Decoding the sheets is most of the start-up time, hence the two threads.
    std::vector<gfx::ImagePtr> images = LoadImageFiles(paths);
    for (size_t i = 0; i < kSheetFiles.size(); ++i) {
        if (images[i]) {
            cache.sheets[i] = std::move(*images[i]);
        } else {
            cache.sheets[i].reset();
            platform::Report("skin.sheet-missing", paths[i].string());
        }
    }
    cache.loaded = true;
}

}  // namespace

bool IsImageFile(const std::filesystem::path& path) { return LoadImageFile(path) != nullptr; }

gfx::ImagePtr LoadImageFile(const std::filesystem::path& path) {
    if (path.empty()) return nullptr;
    // The bytes are read whole and the file closed before decoding.
    gfx::Image image = gfx::DecodeImage(gfx::ReadFileBytes(path));
    if (image.IsNull()) return nullptr;
    return std::make_unique<gfx::Image>(std::move(image));
}

std::vector<gfx::ImagePtr> LoadImageFiles(std::span<const std::filesystem::path> paths) {
    std::vector<gfx::ImagePtr> images(paths.size());
    // Each entry is written by exactly one thread; the helper is joined before the vector leaves.
    auto load = [&](size_t first) {
        for (size_t i = first; i < paths.size(); i += 2) images[i] = LoadImageFile(paths[i]);
    };
    {
        std::jthread helper;
        try {
            helper = std::jthread(load, size_t{1});
        } catch (const std::system_error&) {
            load(1);  // no thread to be had: do the other half here
        }
        load(0);
    }
    return images;
}

gfx::ImagePtr GetSkinImage(int number, int state) {
    SheetCache& cache = Cache();
    if (!cache.loaded) LoadSkinSheets();
    if (number < 0 || number > kLastNumber) return nullptr;
    const Row& row = kTable[static_cast<size_t>(number)];
    if (row.sheet < 0) return nullptr;
    int sheet = row.sheet;
    if (row.family) {
        if (state < 0 || state > 2) return nullptr;
        sheet += state;
    }
    const auto& image = cache.sheets[static_cast<size_t>(sheet)];
    if (!image || image->IsNull()) return nullptr;
    gfx::Image out = row.whole ? image->Copy() : image->Cut({row.x, row.y, row.x + row.w, row.y + row.h});
    if (out.IsNull()) return nullptr;
    return std::make_unique<gfx::Image>(std::move(out));
}

void ResetSkinCache() {
    SheetCache& cache = Cache();
    for (auto& s : cache.sheets) s.reset();
    cache.loaded = false;
}

}  // namespace mivo
