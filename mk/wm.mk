# The boot logo: drawn and encoded as YRF at build time by tools/boot_logo
# (host g++, the media encoders) and embedded by kernel/init/boot_logo_image.S.

# Included before the Makefile's own targets: keep `all` the default goal.
.DEFAULT_GOAL := all

BOOT_LOGO := $(BUILD)/wm/boot_logo.yrf
BOOT_LOGO_TOOL := $(BUILD)/tools/make_boot_logo
BOOT_LOGO_SOURCES := tools/boot_logo/make_boot_logo.cpp tools/media/canvas.cpp tools/media/rle565.cpp \
	tools/media/yrf.cpp
KERNEL_GENERATED += $(BOOT_LOGO)

$(BOOT_LOGO_TOOL): $(BOOT_LOGO_SOURCES) $(wildcard tools/media/*.h)
	@mkdir -p $(dir $@)
	g++ -std=c++20 -O2 -Wall -Wextra -I. $(BOOT_LOGO_SOURCES) -o $@

$(BOOT_LOGO): $(BOOT_LOGO_TOOL)
	@mkdir -p $(dir $@)
	$(BOOT_LOGO_TOOL) $@

$(BUILD)/obj/kernel/init/boot_logo_image.S.o: KERNEL_ASFLAGS += -DTAVLIN_BOOT_LOGO='"$(BOOT_LOGO)"'
