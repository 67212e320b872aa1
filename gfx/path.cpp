// Vector paths: recording of figures.
#include "gfx/path.h"

namespace mivo::gfx {

void Path::MoveTo(float x, float y) {
    verbs_.push_back(Verb::Move);
    points_.push_back({x, y});
}

void Path::LineTo(float x, float y) {
    if (verbs_.empty()) MoveTo(x, y);  // a figure must start somewhere: start it at the point
    verbs_.push_back(Verb::Line);
    points_.push_back({x, y});
}

void Path::QuadTo(float cx, float cy, float x, float y) {
    if (verbs_.empty()) MoveTo(cx, cy);
    verbs_.push_back(Verb::Quad);
    points_.push_back({cx, cy});
    points_.push_back({x, y});
}

void Path::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    if (verbs_.empty()) MoveTo(c1x, c1y);
    verbs_.push_back(Verb::Cubic);
    points_.push_back({c1x, c1y});
    points_.push_back({c2x, c2y});
    points_.push_back({x, y});
}

void Path::Close() {
    if (verbs_.empty() || verbs_.back() == Verb::Close) return;
    verbs_.push_back(Verb::Close);
}

void Path::AddRect(const Rect& r) {
    float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
    float rr = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
    MoveTo(l, t);
    LineTo(rr, t);
    LineTo(rr, b);
    LineTo(l, b);
    Close();
}

}  // namespace mivo::gfx
