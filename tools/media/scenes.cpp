// The sample pictures. Skies and water change colour by row only and shapes
// are flat-filled with soft edges, so the run-length formats stay compact.
#include "tools/media/scenes.h"

#include <cmath>
#include <cstdint>

namespace media {
namespace {

constexpr float kPi = 3.14159265f;

Rgb gradient(const Rgb* stops, int count, float t) {
  t = std::fmin(1.0f, std::fmax(0.0f, t)) * (count - 1);
  const int i = std::min(count - 2, static_cast<int>(t));
  return mix(stops[i], stops[i + 1], t - i);
}

// A tiny fixed generator so every build draws the same stars and lights.
struct Lcg {
  uint32_t state;
  float next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0f;
  }
};

float ridge(float x, float base, float a1, float f1, float a2, float f2, float phase) {
  return base - a1 * std::sin(x * f1 + phase) - a2 * std::sin(x * f2 + phase * 1.7f);
}

void pine(Canvas& c, float x, float ground, float height, Rgb colour) {
  for (int tier = 0; tier < 3; ++tier) {
    const float top = ground - height + tier * height * 0.22f;
    const float half = height * (0.18f + tier * 0.07f);
    const float bottom = top + height * 0.42f;
    c.polygon({{x, top}, {x + half, bottom}, {x - half, bottom}}, colour);
  }
  c.rounded_rect(x - 1.5f, ground - height * 0.2f, x + 1.5f, ground + 2, 1, colour);
}

}  // namespace

Canvas draw_lake_at_dusk() {
  Canvas c(kLakeWidth, kLakeHeight);
  constexpr float kHorizon = 262;
  const Rgb sky[] = {hex(0x141B45), hex(0x3B2D6E), hex(0x9B4F8E), hex(0xF08A6E), hex(0xFFC980)};
  c.fill_rows([&](float y) { return gradient(sky, 5, y / kHorizon); });

  Lcg random{7};
  for (int i = 0; i < 70; ++i) {
    const float x = random.next() * kLakeWidth, y = random.next() * 120;
    c.circle(x, y, 0.6f + random.next() * 0.7f, hex(0xFFF6E0), 0.5f + 0.5f * (1 - y / 120));
  }

  c.glow(356, 214, 120, hex(0xFFD9A0), 0.45f);
  c.circle(356, 214, 34, hex(0xFFF0C8));

  c.fill_below([](float x) { return ridge(x, 196, 22, 0.013f, 9, 0.041f, 0.6f); }, hex(0xA77AA8));
  c.fill_below([](float x) { return ridge(x, 224, 28, 0.009f, 8, 0.033f, 2.1f); }, hex(0x6B4E85));
  c.fill_below([](float x) { return ridge(x, 248, 14, 0.017f, 6, 0.052f, 4.0f); }, hex(0x3C2F5E));

  // The lake mirrors everything above the horizon, darker and rippled.
  const Rgb water = hex(0x1E2A55);
  for (int y = static_cast<int>(kHorizon); y < kLakeHeight; ++y) {
    const float depth = (y - kHorizon) / (kLakeHeight - kHorizon);
    const int shift = static_cast<int>(std::lround(3 * std::sin(y * 0.9f) * depth));
    const int source_y = static_cast<int>(2 * kHorizon) - y - 1;
    for (int x = 0; x < kLakeWidth; ++x) {
      const Rgb mirrored = c.get(x + shift, source_y);
      c.blend(x, y, mix(scale(mirrored, 0.8f), water, 0.25f + 0.45f * depth), 1);
    }
  }
  for (int i = 0; i < 14; ++i) {
    const float y = kHorizon + 6 + i * 8.2f, half = 30 - i * 1.6f;
    c.rounded_rect(356 - half, y, 356 + half, y + 1.6f, 0.8f, hex(0xFFE2B0), 0.55f - i * 0.03f);
  }

  const Rgb shore = hex(0x171331);
  c.fill_below([](float x) { return 356 - 18 * std::exp(-((x - 60) * (x - 60)) / 9000.0f) + 0.02f * x; },
               shore);
  const float pines[][2] = {{22, 96}, {48, 128}, {78, 104}, {104, 82}, {128, 60}};
  for (const auto& p : pines) pine(c, p[0], 352, p[1], shore);
  return c;
}

Canvas draw_emblem() {
  Canvas c(kEmblemWidth, kEmblemHeight);
  const Rgb top = hex(0x1FA2A8), bottom = hex(0x3E3FB8);
  c.fill_rows([&](float y) { return mix(top, bottom, y / kEmblemHeight); });
  c.glow(90, 40, 260, hex(0x7CF0D0), 0.35f);
  c.glow(430, 300, 240, hex(0xB04FD0), 0.45f);

  Lcg random{42};
  for (int i = 0; i < 18; ++i) {
    const float x = random.next() * kEmblemWidth, y = random.next() * kEmblemHeight;
    c.circle(x, y, 8 + random.next() * 30, hex(0xFFFFFF), 0.06f + random.next() * 0.08f);
  }

  const float cx = kEmblemWidth / 2.0f, cy = kEmblemHeight / 2.0f, half = 86;
  for (int i = 0; i < 10; ++i)
    c.rounded_rect(cx - half - i + 4, cy - half - i + 10, cx + half + i + 4, cy + half + i + 10, 38 + i,
                   hex(0x101040), 0.035f);
  c.rounded_rect(cx - half, cy - half, cx + half, cy + half, 38, hex(0xFBFBFF), 0.96f);

  // The T: a bar and a stem in one outline, shaded from orange to pink.
  const Rgb warm = hex(0xFF9A44), pink = hex(0xF0447A);
  auto box = [](float x, float y, float bx, float by, float hw, float hh, float r) {
    const float dx = std::fmax(std::fabs(x - bx) - hw + r, 0.0f);
    const float dy = std::fmax(std::fabs(y - by) - hh + r, 0.0f);
    return std::hypot(dx, dy) - r;
  };
  c.fill_sdf_shaded(
      cx - 58, cy - 54, cx + 58, cy + 60,
      [&](float x, float y) {
        return std::fmin(box(x, y, cx, cy - 37, 56, 15, 6), box(x, y, cx, cy + 16, 15, 42, 6));
      },
      [&](float, float y) { return mix(warm, pink, (y - (cy - 52)) / 110); }, 1);
  c.rounded_rect(cx - 50, cy - 50, cx + 50, cy - 46, 2, hex(0xFFFFFF), 0.3f);
  return c;
}

Canvas draw_meadow_frame(int frame) {
  Canvas c(kMeadowWidth, kMeadowHeight);
  const float t = static_cast<float>(frame) / kMeadowFrames;  // 0..1 over the loop
  const Rgb sky[] = {hex(0x3F8EDB), hex(0x8CC8F2), hex(0xD8F0FF)};
  c.fill_rows([&](float y) { return gradient(sky, 3, y / 100); });
  c.circle(128, 24, 12, hex(0xFFE98A));

  // A cloud drifts across once per loop, entering as the last one leaves.
  const float cloud_x = -40 + t * (kMeadowWidth + 80);
  const float puffs[][3] = {{0, 0, 11}, {12, -5, 13}, {25, 1, 10}};
  for (const auto& puff : puffs) c.circle(cloud_x + puff[0], 34 + puff[1], puff[2], hex(0xFFFFFF), 0.95f);

  c.fill_below([](float x) { return 92 - 10 * std::sin(x * 0.03f + 0.5f); }, hex(0x67B84A));
  c.fill_below([](float x) { return 104 - 6 * std::sin(x * 0.05f + 2.0f); }, hex(0x4E9A3A));

  // The windmill turns a quarter per 12 frames; four sails make that seamless.
  const float hub_x = 34, hub_y = 56;
  c.polygon({{hub_x - 5, hub_y}, {hub_x + 5, hub_y}, {hub_x + 8, 100}, {hub_x - 8, 100}}, hex(0xF3E9D2));
  c.polygon({{hub_x - 7, hub_y + 1}, {hub_x + 7, hub_y + 1}, {hub_x, hub_y - 8}}, hex(0xC0563E));
  const float turn = 2 * kPi * t;
  for (int sail = 0; sail < 4; ++sail) {
    const float a = turn + sail * kPi / 2, ca = std::cos(a), sa = std::sin(a);
    auto at = [&](float along, float across) {
      return Point{hub_x + ca * along - sa * across, hub_y + sa * along + ca * across};
    };
    c.polygon({at(3, -1), at(26, -1), at(26, 6), at(6, 6)}, hex(0xFFFDF5));
  }
  c.circle(hub_x, hub_y, 2.5f, hex(0x6B4A32));

  // The ball rolls left and right once per loop and bounces four times.
  const float ground = 118, radius = 9;
  const float bounce = std::fabs(std::sin(4 * kPi * t));
  const float ball_x = 95 + 40 * std::sin(2 * kPi * t);
  const float squash = bounce < 0.12f ? 1 - (0.12f - bounce) * 1.5f : 1;
  const float ball_y = ground - radius * squash - 44 * bounce;
  c.fill_sdf(ball_x - 20, ground - 3, ball_x + 20, ground + 3,
             [&](float x, float y) {
               const float w = 10 + 6 * (1 - bounce);
               return (std::hypot((x - ball_x) / w, (y - ground) / 2.5f) - 1) * 2.5f;
             },
             hex(0x2E5E24), 0.5f);
  const float rx = radius / squash, ry = radius * squash;
  c.fill_sdf(ball_x - rx, ball_y - ry, ball_x + rx, ball_y + ry,
             [&](float x, float y) { return (std::hypot((x - ball_x) / rx, (y - ball_y) / ry) - 1) * ry; },
             hex(0xE8413A), 1);
  c.circle(ball_x - rx * 0.35f, ball_y - ry * 0.4f, radius * 0.3f, hex(0xFFFFFF), 0.55f);
  return c;
}

}  // namespace media
