// The linear framebuffer the boot loader set up, and how we found it.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr u32 kMaxScreenWidth = 1920;
constexpr u32 kMaxScreenHeight = 1080;

extern uptr fb;          // identity-mapped address of the framebuffer
extern u32 fb_width;     // visible size after clamping
extern u32 fb_height;
extern u32 fb_pitch_px;  // framebuffer line length in pixels
extern u32 fb_ok;

// Walks the Multiboot2 information block for the framebuffer tag and clamps
// the mode to what the back buffer holds. Returns fb_ok.
u32 framebuffer_discover(const void* info);

}  // namespace tavlin
