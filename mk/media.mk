# The sample media: drawn and encoded at build time by tools/media (host
# g++, libpng) and embedded into the image by kernel/fs/sample_media.S.

# Included before the Makefile's own targets: keep `all` the default goal.
.DEFAULT_GOAL := all

MEDIA_DIR := $(BUILD)/media
MEDIA_TOOL := $(BUILD)/tools/make_media
MEDIA_TOOL_SOURCES := $(wildcard tools/media/*.cpp)
MEDIA_FILES := $(MEDIA_DIR)/sample.yrf $(MEDIA_DIR)/sample.png $(MEDIA_DIR)/sample.zeva
KERNEL_GENERATED += $(MEDIA_FILES)

$(MEDIA_TOOL): $(MEDIA_TOOL_SOURCES) $(wildcard tools/media/*.h)
	@mkdir -p $(dir $@)
	g++ -std=c++20 -O2 -Wall -Wextra -I. $(MEDIA_TOOL_SOURCES) -lpng -o $@

# One run of the tool writes all three files.
$(MEDIA_FILES) &: $(MEDIA_TOOL)
	@mkdir -p $(MEDIA_DIR)
	$(MEDIA_TOOL) $(MEDIA_DIR)

$(BUILD)/obj/kernel/fs/sample_media.S.o: KERNEL_ASFLAGS += \
	-DTAVLIN_MEDIA_YRF='"$(MEDIA_DIR)/sample.yrf"' \
	-DTAVLIN_MEDIA_PNG='"$(MEDIA_DIR)/sample.png"' \
	-DTAVLIN_MEDIA_ZEVA='"$(MEDIA_DIR)/sample.zeva"'
