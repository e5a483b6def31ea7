// A small floating-point RGB canvas with anti-aliased shapes, enough to draw
// the sample pictures and the video frames.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace media {

struct Rgb {
  float r, g, b;  // 0..1
};

Rgb hex(uint32_t rgb);
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);

struct Point {
  float x, y;
};

class Canvas {
 public:
  Canvas(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb get(int x, int y) const;
  void blend(int x, int y, Rgb colour, float alpha);

  // Every row in one colour: row_colour gets the row's centre.
  void fill_rows(const std::function<Rgb(float y)>& row_colour);
  // Fills the inside (negative distance) of a shape, with a one-pixel soft
  // edge, within the box (x0, y0)-(x1, y1).
  void fill_sdf(float x0, float y0, float x1, float y1,
                const std::function<float(float x, float y)>& distance, Rgb colour, float alpha);
  // The same with a colour that varies across the shape.
  void fill_sdf_shaded(float x0, float y0, float x1, float y1,
                       const std::function<float(float x, float y)>& distance,
                       const std::function<Rgb(float x, float y)>& colour, float alpha);
  void circle(float cx, float cy, float radius, Rgb colour, float alpha = 1.0f);
  void rounded_rect(float x0, float y0, float x1, float y1, float radius, Rgb colour,
                    float alpha = 1.0f);
  // A soft round light: alpha falls from `strength` at the centre to 0.
  void glow(float cx, float cy, float radius, Rgb colour, float strength);
  // Fills everything below the curve y = top(x).
  void fill_below(const std::function<float(float x)>& top, Rgb colour, float alpha = 1.0f);
  // Convex or not, 4 x 4 samples per pixel.
  void polygon(const std::vector<Point>& points, Rgb colour, float alpha = 1.0f);

  std::vector<uint16_t> to_rgb565() const;
  std::vector<uint8_t> to_rgb8() const;

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

}  // namespace media
