// Windows sound: a filter graph renders the file, is rewound and run; the previous graph is
// stopped and released before a new one is built, so two sounds never overlap.
#include "platform/win32/win32_sound.h"

#include <objbase.h>
#include <windows.h>
#include <control.h>
#include <strmif.h>

#include "platform/platform.h"
#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {
// Published DirectShow identifiers, defined here so no extra import library is needed.
constexpr GUID kClsidFilterGraph = {0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr GUID kIidGraphBuilder = {0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr GUID kIidMediaControl = {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr GUID kIidMediaPosition = {0x56A868B2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}  // namespace

struct Win32SoundService::Player {
    ComScope com;
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaPosition* position = nullptr;

    Player() {
        if (FAILED(CoCreateInstance(kClsidFilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    kIidGraphBuilder, reinterpret_cast<void**>(&graph))))
            return;
        graph->QueryInterface(kIidMediaControl, reinterpret_cast<void**>(&control));
        graph->QueryInterface(kIidMediaPosition, reinterpret_cast<void**>(&position));
    }
    ~Player() {
        if (control) {
            control->Stop();
            control->Release();
        }
        if (position) position->Release();
        if (graph) graph->Release();
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
};

Win32SoundService::Win32SoundService() = default;
Win32SoundService::~Win32SoundService() = default;

bool Win32SoundService::Play(const std::filesystem::path& wav) {
    player_.reset();
    auto player = std::make_unique<Player>();
    if (!player->graph || !player->control || !player->position) {
        Report("sound.graph_unavailable");
        return false;
    }
    const HRESULT rendered = player->graph->RenderFile(wav.wstring().c_str(), nullptr);
    if (FAILED(rendered)) return false;
    player->position->put_CurrentPosition(0.0);
    const HRESULT ran = player->control->Run();
    player_ = std::move(player);
    return SUCCEEDED(ran);
}

void Win32SoundService::Stop() { player_.reset(); }

}  // namespace mivo::platform::win32
