// Canvas drawing. Edges are anti-aliased by coverage, which keeps the
// pictures soft while flat areas stay flat for the run encoding.
#include "tools/media/canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/media/rle565.h"

namespace media {
namespace {

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

uint8_t to_byte(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }

bool inside_polygon(const std::vector<Point>& p, float x, float y) {
  bool inside = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    if ((p[i].y > y) != (p[j].y > y) &&
        x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
      inside = !inside;
  }
  return inside;
}

}  // namespace

Rgb hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f};
}

Rgb mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, Rgb{0, 0, 0}) {}

Rgb Canvas::get(int x, int y) const {
  x = std::clamp(x, 0, width_ - 1);
  y = std::clamp(y, 0, height_ - 1);
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::blend(int x, int y, Rgb colour, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Rgb& p = pixels_[static_cast<size_t>(y) * width_ + x];
  p = mix(p, colour, clamp01(alpha));
}

void Canvas::fill_rows(const std::function<Rgb(float y)>& row_colour) {
  for (int y = 0; y < height_; ++y) {
    const Rgb c = row_colour(y + 0.5f);
    for (int x = 0; x < width_; ++x) pixels_[static_cast<size_t>(y) * width_ + x] = c;
  }
}

void Canvas::fill_sdf(float x0, float y0, float x1, float y1,
                      const std::function<float(float, float)>& distance, Rgb colour, float alpha) {
  fill_sdf_shaded(x0, y0, x1, y1, distance, [=](float, float) { return colour; }, alpha);
}

void Canvas::fill_sdf_shaded(float x0, float y0, float x1, float y1,
                             const std::function<float(float, float)>& distance,
                             const std::function<Rgb(float, float)>& colour, float alpha) {
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
  const int ix1 = std::min(width_ - 1, static_cast<int>(std::ceil(x1)) + 1);
  const int iy1 = std::min(height_ - 1, static_cast<int>(std::ceil(y1)) + 1);
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float coverage = clamp01(0.5f - distance(px, py));
      if (coverage > 0) blend(x, y, colour(px, py), coverage * alpha);
    }
}

void Canvas::circle(float cx, float cy, float radius, Rgb colour, float alpha) {
  fill_sdf(cx - radius, cy - radius, cx + radius, cy + radius,
           [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, colour, alpha);
}

void Canvas::rounded_rect(float x0, float y0, float x1, float y1, float radius, Rgb colour,
                          float alpha) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hw = (x1 - x0) / 2 - radius, hh = (y1 - y0) / 2 - radius;
  fill_sdf(x0, y0, x1, y1,
           [=](float x, float y) {
             const float dx = std::max(std::fabs(x - cx) - hw, 0.0f);
             const float dy = std::max(std::fabs(y - cy) - hh, 0.0f);
             return std::hypot(dx, dy) - radius;
           },
           colour, alpha);
}

void Canvas::glow(float cx, float cy, float radius, Rgb colour, float strength) {
  for (int y = std::max(0, static_cast<int>(cy - radius)); y < std::min(height_, static_cast<int>(cy + radius) + 1); ++y)
    for (int x = std::max(0, static_cast<int>(cx - radius)); x < std::min(width_, static_cast<int>(cx + radius) + 1); ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d < 1) blend(x, y, colour, strength * (1 - d) * (1 - d));
    }
}

void Canvas::fill_below(const std::function<float(float)>& top, Rgb colour, float alpha) {
  for (int x = 0; x < width_; ++x) {
    const float edge = top(x + 0.5f);
    for (int y = std::max(0, static_cast<int>(std::floor(edge))); y < height_; ++y)
      blend(x, y, colour, clamp01(y + 1 - edge) * alpha);
  }
}

void Canvas::polygon(const std::vector<Point>& points, Rgb colour, float alpha) {
  if (points.size() < 3) return;
  float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const Point& p : points) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  constexpr int kSamples = 4;
  for (int y = std::max(0, static_cast<int>(y0)); y <= std::min(height_ - 1, static_cast<int>(y1)); ++y)
    for (int x = std::max(0, static_cast<int>(x0)); x <= std::min(width_ - 1, static_cast<int>(x1)); ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += inside_polygon(points, x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples);
      blend(x, y, colour, alpha * hits / (kSamples * kSamples));
    }
}

std::vector<uint16_t> Canvas::to_rgb565() const {
  std::vector<uint16_t> out;
  out.reserve(pixels_.size());
  for (const Rgb& p : pixels_) out.push_back(rgb565(to_byte(p.r), to_byte(p.g), to_byte(p.b)));
  return out;
}

std::vector<uint8_t> Canvas::to_rgb8() const {
  std::vector<uint8_t> out;
  out.reserve(pixels_.size() * 3);
  for (const Rgb& p : pixels_) {
    out.push_back(to_byte(p.r));
    out.push_back(to_byte(p.g));
    out.push_back(to_byte(p.b));
  }
  return out;
}

}  // namespace media
