// Scan conversion: curves flattened to lines, 16 sub-scanlines per pixel row with exact
// horizontal coverage, even-odd or non-zero winding.
#include "gfx/raster.h"

#include <algorithm>
#include <cmath>

namespace mivo::gfx::detail {

namespace {

constexpr int kSubRows = 16;
constexpr float kTolerance = 0.02f;

float Dist(PointF a, PointF b) { return std::hypot(a.x - b.x, a.y - b.y); }

int SegmentsFor(float control_spread) {
    // Deviation of a curve from its chord shrinks with the square of the segment count.
    int n = static_cast<int>(std::ceil(std::sqrt(control_spread / kTolerance)));
    return std::clamp(n, 1, 256);
}

void AddQuad(std::vector<PointF>& out, PointF p0, PointF c, PointF p1) {
    float spread = Dist({(p0.x + p1.x) / 2, (p0.y + p1.y) / 2}, c) / 2;
    int n = SegmentsFor(spread);
    for (int i = 1; i <= n; ++i) {
        float t = static_cast<float>(i) / n, u = 1 - t;
        out.push_back({u * u * p0.x + 2 * u * t * c.x + t * t * p1.x,
                       u * u * p0.y + 2 * u * t * c.y + t * t * p1.y});
    }
}

void AddCubic(std::vector<PointF>& out, PointF p0, PointF c1, PointF c2, PointF p1) {
    float dx1 = p0.x - 2 * c1.x + c2.x, dy1 = p0.y - 2 * c1.y + c2.y;
    float dx2 = c1.x - 2 * c2.x + p1.x, dy2 = c1.y - 2 * c2.y + p1.y;
    float spread = 0.75f * std::max(std::hypot(dx1, dy1), std::hypot(dx2, dy2));
    int n = SegmentsFor(spread);
    for (int i = 1; i <= n; ++i) {
        float t = static_cast<float>(i) / n, u = 1 - t;
        float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back({a * p0.x + b * c1.x + c * c2.x + d * p1.x, a * p0.y + b * c1.y + c * c2.y + d * p1.y});
    }
}

struct Edge {
    float x0, y0, x1, y1;  // y0 < y1
    int dir;               // +1 downwards in the figure's order, -1 upwards
};

}  // namespace

std::vector<Polyline> Flatten(const Path& path) {
    std::vector<Polyline> out;
    const auto& verbs = path.Verbs();
    const auto& pts = path.Points();
    size_t pi = 0;
    PointF start{}, cur{};
    auto finish = [&out] {
        if (!out.empty() && out.back().points.size() < 2 && !out.back().closed) out.back().points.clear();
    };
    for (Path::Verb v : verbs) {
        switch (v) {
            case Path::Verb::Move:
                finish();
                start = cur = pts[pi++];
                out.push_back({{cur}, false});
                break;
            case Path::Verb::Line:
                cur = pts[pi++];
                out.back().points.push_back(cur);
                break;
            case Path::Verb::Quad:
                AddQuad(out.back().points, cur, pts[pi], pts[pi + 1]);
                cur = pts[pi + 1];
                pi += 2;
                break;
            case Path::Verb::Cubic:
                AddCubic(out.back().points, cur, pts[pi], pts[pi + 1], pts[pi + 2]);
                cur = pts[pi + 2];
                pi += 3;
                break;
            case Path::Verb::Close:
                out.back().closed = true;
                cur = start;
                // Drawing after a close starts a new figure at the start point, as the usual 2-D
                // libraries do.
                out.push_back({{cur}, false});
                break;
        }
    }
    std::erase_if(out, [](const Polyline& p) { return p.points.size() < 2; });
    return out;
}

Mask Rasterize(const std::vector<Polyline>& polygons, FillRule rule, const Rect& clip) {
    Mask mask;
    std::vector<Edge> edges;
    float minx = 1e30f, miny = 1e30f, maxx = -1e30f, maxy = -1e30f;
    for (const Polyline& poly : polygons) {
        size_t n = poly.points.size();
        for (size_t i = 0; i < n; ++i) {
            PointF a = poly.points[i], b = poly.points[(i + 1) % n];
            if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) continue;
            minx = std::min(minx, a.x);
            maxx = std::max(maxx, a.x);
            miny = std::min(miny, a.y);
            maxy = std::max(maxy, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y) edges.push_back({a.x, a.y, b.x, b.y, 1});
            else edges.push_back({b.x, b.y, a.x, a.y, -1});
        }
    }
    if (edges.empty()) return mask;
    Rect b{static_cast<int>(std::max<float>(std::floor(minx), static_cast<float>(clip.left))),
           static_cast<int>(std::max<float>(std::floor(miny), static_cast<float>(clip.top))),
           static_cast<int>(std::min<float>(std::ceil(maxx) + 1, static_cast<float>(clip.right))),
           static_cast<int>(std::min<float>(std::ceil(maxy) + 1, static_cast<float>(clip.bottom)))};
    if (b.IsEmpty()) return mask;
    mask.bounds = b;
    const int w = b.Width();
    mask.coverage.assign(static_cast<size_t>(w) * b.Height(), 0);

    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });
    std::vector<float> acc(w + 2);      // coverage of partly covered cells
    std::vector<float> full(w + 2);     // difference array of fully covered cells
    struct Crossing {
        float x;
        int dir;
    };
    std::vector<Crossing> xs;
    std::vector<const Edge*> active;
    size_t next = 0;
    const float left = static_cast<float>(b.left);
    const float sub = 1.0f / kSubRows;

    auto add_span = [&](float xa, float xb) {
        xa = std::clamp(xa - left, 0.0f, static_cast<float>(w));
        xb = std::clamp(xb - left, 0.0f, static_cast<float>(w));
        if (xb <= xa) return;
        int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
        if (ia == ib) {
            acc[ia] += (xb - xa) * sub;
            return;
        }
        acc[ia] += (ia + 1 - xa) * sub;
        full[ia + 1] += sub;
        full[ib] -= sub;
        acc[ib] += (xb - ib) * sub;
    };

    for (int y = b.top; y < b.bottom; ++y) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        std::fill(full.begin(), full.end(), 0.0f);
        for (int s = 0; s < kSubRows; ++s) {
            float sy = y + (s + 0.5f) * sub;
            while (next < edges.size() && edges[next].y0 <= sy) active.push_back(&edges[next++]);
            std::erase_if(active, [sy](const Edge* e) { return e->y1 <= sy; });
            xs.clear();
            for (const Edge* e : active) {
                if (sy < e->y0) continue;
                float t = (sy - e->y0) / (e->y1 - e->y0);
                xs.push_back({e->x0 + t * (e->x1 - e->x0), e->dir});
            }
            std::sort(xs.begin(), xs.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
            int winding = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                winding += xs[i].dir;
                bool inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
                if (inside) add_span(xs[i].x, xs[i + 1].x);
            }
        }
        uint8_t* row = mask.coverage.data() + static_cast<size_t>(y - b.top) * w;
        float run = 0;
        for (int x = 0; x < w; ++x) {
            run += full[x];
            float c = std::clamp(run + acc[x], 0.0f, 1.0f);
            row[x] = static_cast<uint8_t>(c * 255.0f + 0.5f);
        }
    }
    return mask;
}

std::vector<Polyline> StrokeOutline(const std::vector<Polyline>& figures, float width) {
    std::vector<Polyline> out;
    if (!(width > 0)) return out;
    const float hw = width / 2;
    auto oriented = [&out](std::vector<PointF> pts) {
        // All pieces wound the same way, so that their non-zero union has no holes.
        float area = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            const PointF& a = pts[i];
            const PointF& b = pts[(i + 1) % pts.size()];
            area += a.x * b.y - b.x * a.y;
        }
        if (area < 0) std::reverse(pts.begin(), pts.end());
        if (area != 0) out.push_back({std::move(pts), true});
    };
    for (const Polyline& fig : figures) {
        std::vector<PointF> p;
        for (const PointF& q : fig.points)
            if (p.empty() || Dist(p.back(), q) > 1e-4f) p.push_back(q);
        if (fig.closed && p.size() > 2 && Dist(p.front(), p.back()) <= 1e-4f) p.pop_back();
        if (p.size() < 2) continue;
        size_t nseg = fig.closed ? p.size() : p.size() - 1;
        std::vector<PointF> normals(nseg);
        for (size_t i = 0; i < nseg; ++i) {
            PointF a = p[i], b = p[(i + 1) % p.size()];
            float len = Dist(a, b);
            normals[i] = {-(b.y - a.y) / len, (b.x - a.x) / len};
            PointF n{normals[i].x * hw, normals[i].y * hw};
            oriented({{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}});
        }
        size_t njoin = fig.closed ? nseg : nseg - 1;
        for (size_t j = 0; j < njoin; ++j) {
            PointF n0 = normals[j], n1 = normals[(j + 1) % nseg];
            PointF v = p[(j + 1) % p.size()];
            float cross = n0.x * n1.y - n0.y * n1.x;
            if (std::fabs(cross) < 1e-6f && n0.x * n1.x + n0.y * n1.y > 0) continue;  // straight on
            float side = cross > 0 ? -1.0f : 1.0f;  // the outer side of the turn
            PointF a{v.x + side * n0.x * hw, v.y + side * n0.y * hw};
            PointF c{v.x + side * n1.x * hw, v.y + side * n1.y * hw};
            float cosine = n0.x * n1.x + n0.y * n1.y;
            float ratio = cosine > -0.999f ? 1.0f / std::sqrt((1 + cosine) / 2) : 1e9f;
            if (ratio <= 10.0f) {
                float k = hw / (1 + cosine);
                PointF m{v.x + side * (n0.x + n1.x) * k, v.y + side * (n0.y + n1.y) * k};
                oriented({v, a, m, c});
            } else {
                oriented({v, a, c});
            }
        }
    }
    return out;
}

}  // namespace mivo::gfx::detail
