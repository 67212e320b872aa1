// Window service: the one top-level window a skinned host composes into, with per-pixel alpha.
#pragma once
#include "gfx/geometry.h"
#include "gfx/image.h"

namespace mivo::platform {

// What a skinned host needs of its window: where it is, moving it, showing a composed frame.
class Window {
public:
    virtual ~Window() = default;
    // Screen rectangle of the window (right and bottom exclusive).
    virtual gfx::Rect GetRect() = 0;
    // Moves and resizes the window (screen coordinates).
    virtual void Move(const gfx::Rect& screen_rect) = 0;
    // Shows `frame` (premultiplied ARGB, the window's size) as the window's whole picture, alpha
    // included, at the window's position.
    virtual void Present(const gfx::Image& frame) = 0;
    virtual bool IsVisible() = 0;
    virtual void SetVisible(bool visible) = 0;
};

}  // namespace mivo::platform
