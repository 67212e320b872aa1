// Vector paths: figures of lines and quadratic/cubic curves, filled or stroked by the canvas.
#pragma once
#include <vector>

#include "gfx/geometry.h"

namespace mivo::gfx {

struct PointF {
    float x = 0;
    float y = 0;
};

enum class FillRule { EvenOdd, NonZero };

class Path {
public:
    enum class Verb { Move, Line, Quad, Cubic, Close };

    explicit Path(FillRule rule = FillRule::EvenOdd) : rule_(rule) {}

    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void QuadTo(float cx, float cy, float x, float y);
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
    void Close();
    // Adds a closed rectangle figure (left, top, width, height).
    void AddRect(const Rect& r);

    FillRule Rule() const { return rule_; }
    void SetRule(FillRule rule) { rule_ = rule; }
    bool IsEmpty() const { return verbs_.empty(); }
    const std::vector<Verb>& Verbs() const { return verbs_; }
    const std::vector<PointF>& Points() const { return points_; }

private:
    FillRule rule_;
    std::vector<Verb> verbs_;
    std::vector<PointF> points_;
};

}  // namespace mivo::gfx
