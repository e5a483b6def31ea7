# The store server's starter files: assets/store_seed/ as committed, plus
# pictures drawn at build time by tools/media into $(BUILD)/store_seed.
# tools/run_with_store.sh seeds an empty store folder from both.

# Included before the Makefile's own targets: keep `all` the default goal.
.DEFAULT_GOAL := all

STORE_SEED_DIR := $(BUILD)/store_seed
STORE_SEED_GENERATED := $(STORE_SEED_DIR)/emblem.png

$(STORE_SEED_DIR)/emblem.png: $(MEDIA_DIR)/sample.png
	@mkdir -p $(dir $@)
	cp $< $@

run: $(STORE_SEED_GENERATED)
