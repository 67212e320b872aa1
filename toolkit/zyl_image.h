// Picture controls: an image chosen from a list, a popup menu of picture rows, a frame animation.
#pragma once
#include <filesystem>
#include <memory>
#include <vector>

#include "gfx/image.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

// Shows one picture of its list; a press on it is reported but not taken.
class CZylImage : public CBaseCtrl {
public:
    CZylImage(std::string text, int id, int left, int top, int right, int bottom);

    void AddPicture(gfx::ImagePtr picture) { m_pictures.push_back(std::move(picture)); }
    void SetPictureIndex(int index) { m_nPicIndex = index; }

    void Draw(gfx::Canvas& dc) override;
    // Reports OnCtrlClick when enabled and hit (also while hidden) and always returns 0.
    int OnLButtonDown(int x, int y) override;

    std::vector<gfx::ImagePtr> m_pictures;
    int m_nPicIndex = 0;  // out of range draws nothing
};

// One row of an image menu; its rectangle is relative to the menu's top-left corner.
class CImageMenuItem {
public:
    CImageMenuItem(int left, int top, int right, int bottom, int id) : m_nID(id), m_rect{left, top, right, bottom} {}

    void SetImages(gfx::ImagePtr normal, gfx::ImagePtr over, gfx::ImagePtr down);

    int m_nID;
    gfx::Rect m_rect;
    int m_bEnabled = 1;
    int m_nState = 0;  // 0 normal, 1 over, 2 down, 3 chosen
    int m_bPressed = 0;
    gfx::ImagePtr m_pNormal;
    gfx::ImagePtr m_pOver;
    gfx::ImagePtr m_pDown;
};

// A popup list of picture rows. Its visible flag is its open flag: any state reset closes it.
class CZylImageMenu : public CBaseCtrl {
public:
    CZylImageMenu(int id, int left, int top, int right, int bottom);

    CImageMenuItem* AddItem(std::unique_ptr<CImageMenuItem> item);

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    // Takes every release that reaches it while closed or not pressed: a host must hold the menu
    // after every other control.
    int OnLButtonUp(int x, int y) override;
    void ResetState(int kind, int exceptId) override;

    std::vector<std::unique_ptr<CImageMenuItem>> m_items;

private:
    void HoverResetItems();
};

// Plays its frames on the host's timer named by its ID, optionally with a sound.
class CZylAnimation : public CBaseCtrl {
public:
    CZylAnimation(std::string text, int id, int left, int top, int right, int bottom);

    void AddFrame(gfx::ImagePtr frame) { m_frames.push_back(std::move(frame)); }
    // Asks the host for the timer and starts the sound; the caller sets m_bRunning first.
    void Start();
    // One timer tick.
    void Step();

    void Draw(gfx::Canvas& dc) override;
    // Starts a run (from the frame reached) when visible and hit.
    int OnLButtonDblClk(int x, int y) override;

    std::vector<gfx::ImagePtr> m_frames;
    int m_nCurFrame = 0;
    int m_nInterval = 50;  // milliseconds between ticks
    int m_bRunning = 0;
    int m_bLoop = 0;
    std::filesystem::path m_soundPath;
    int m_bPlaySound = 0;
};

}  // namespace mivo
