# TavlinOS: build the image, run it, test it.
#   make run     build the ISO and boot it in QEMU
#   make test    host unit tests and QEMU system tests (installs what is missing)
#   make iso     just the bootable ISO (build/tavlinos.iso)
#   make test-iso  the image system tests boot (build/test/tavlinos.iso)
#   make debug   boot paused with QEMU's GDB stub on :1234
#   make fuzz    libFuzzer targets with ASan and UBSan (FUZZ_SECONDS each)
#   make bench   Google Benchmark ratios against memcpy, zlib and libpng
#   make coverage  line coverage of kernel/ by the unit tests (gcovr)
# Variables: NIC=e1000|rtl8139|none  MEM=128  FUZZ_SECONDS=60  UEFI=1 (boot through OVMF)

BUILD      := build
NIC        ?= e1000
MEM        ?= 128
FUZZ_SECONDS ?= 60
STORE_PORT ?= 8088

KERNEL_ELF := $(BUILD)/kernel.elf
ISO        := $(BUILD)/tavlinos.iso

CXX32      := g++
KERNEL_CXXFLAGS := -m32 -march=i686 -std=c++20 -ffreestanding -fno-exceptions -fno-rtti \
	-fno-threadsafe-statics -fno-pic -fno-stack-protector -fno-asynchronous-unwind-tables \
	-fno-tree-loop-distribute-patterns -mgeneral-regs-only -nostdlib -O2 -g \
	-Wall -Wextra -Werror=return-type -I.
KERNEL_ASFLAGS := -m32 -I. -I$(BUILD)
KERNEL_LDFLAGS := -m32 -nostdlib -static -no-pie -Wl,--build-id=none -T boot/linker.ld

# Built only into the test image that system tests boot (make test): the
# command block they drive over QEMU's GDB stub.
TEST_ONLY_CPP := kernel/net/net_debug.cpp
KERNEL_CPP := $(filter-out $(TEST_ONLY_CPP),$(shell find kernel -name '*.cpp' -not -path 'kernel/arch/host/*' | sort))
KERNEL_ASM := $(shell find boot kernel -name '*.S' | sort)
KERNEL_OBJ := $(patsubst %,$(BUILD)/obj/%.o,$(KERNEL_CPP) $(KERNEL_ASM))
TEST_DIR   := $(BUILD)/test
TEST_ELF   := $(TEST_DIR)/kernel.elf
TEST_ISO   := $(TEST_DIR)/tavlinos.iso
TEST_OBJ   := $(KERNEL_OBJ) $(patsubst %,$(BUILD)/obj/%.o,$(TEST_ONLY_CPP))

# Subsystems add generated inputs (embedded assets) through these.
KERNEL_GENERATED :=
-include mk/*.mk

.PHONY: all iso test-iso run debug test unit fuzz bench coverage setup clean store-server
all: iso

setup:
	@./tools/setup.sh

$(BUILD)/obj/%.cpp.o: %.cpp
	@mkdir -p $(dir $@)
	$(CXX32) $(KERNEL_CXXFLAGS) -MMD -MP -c $< -o $@

$(BUILD)/obj/%.S.o: %.S $(KERNEL_GENERATED)
	@mkdir -p $(dir $@)
	$(CXX32) $(KERNEL_ASFLAGS) -MMD -MP -c $< -o $@

$(KERNEL_ELF): $(KERNEL_OBJ) boot/linker.ld
	$(CXX32) $(KERNEL_LDFLAGS) -o $@ $(KERNEL_OBJ) -lgcc
	@grub-file --is-x86-multiboot2 $@ || (echo "kernel.elf: Multiboot2 header not found" && false)

$(TEST_ELF): $(TEST_OBJ) boot/linker.ld
	@mkdir -p $(dir $@)
	$(CXX32) $(KERNEL_LDFLAGS) -o $@ $(TEST_OBJ) -lgcc

# An ISO around the kernel.elf beside it.
define make_iso
	@rm -rf $(dir $@)isodir && mkdir -p $(dir $@)isodir/boot/grub
	cp $< $(dir $@)isodir/boot/kernel.elf
	cp boot/grub/grub.cfg $(dir $@)isodir/boot/grub/grub.cfg
	grub-mkrescue -o $@ $(dir $@)isodir 2>/dev/null
endef

$(ISO): $(KERNEL_ELF) boot/grub/grub.cfg
	$(make_iso)

$(TEST_ISO): $(TEST_ELF) boot/grub/grub.cfg
	$(make_iso)

iso: setup
	@$(MAKE) --no-print-directory $(ISO)

test-iso: setup
	@$(MAKE) --no-print-directory $(TEST_ISO)

QEMU_NET_e1000   := -netdev user,id=n0$(QEMU_HOSTFWD) -device e1000,netdev=n0
QEMU_NET_rtl8139 := -netdev user,id=n0$(QEMU_HOSTFWD) -device rtl8139,netdev=n0
QEMU_NET_none    := -net none
QEMU_DISPLAY := $(if $(DISPLAY)$(WAYLAND_DISPLAY),,-display vnc=127.0.0.1:0)
QEMU_ARGS := -m $(MEM) -cdrom $(ISO) -serial stdio -no-reboot $(QEMU_NET_$(NIC)) $(QEMU_DISPLAY)

# UEFI=1: the same ISO through Debian's OVMF firmware, on a 64-bit machine
# (GRUB's x86_64-efi platform loads the 32-bit kernel). The firmware keeps
# its variables in a writable copy of the template.
OVMF_CODE := /usr/share/OVMF/OVMF_CODE_4M.fd
OVMF_VARS := /usr/share/OVMF/OVMF_VARS_4M.fd
ifeq ($(UEFI),1)
QEMU := qemu-system-x86_64 -machine q35 \
	-drive if=pflash,format=raw,readonly=on,file=$(OVMF_CODE) \
	-drive if=pflash,format=raw,file=$(BUILD)/ovmf_vars.fd
QEMU_FIRMWARE := $(BUILD)/ovmf_vars.fd
else
QEMU := qemu-system-i386
QEMU_FIRMWARE :=
endif

$(BUILD)/ovmf_vars.fd:
	@mkdir -p $(BUILD)
	cp $(OVMF_VARS) $@

run: iso store-server $(QEMU_FIRMWARE)
	@$(if $(QEMU_DISPLAY),echo "No display found: QEMU serves VNC on 127.0.0.1:5900 (vncviewer 127.0.0.1:0)",true)
	@./tools/run_with_store.sh $(STORE_PORT) $(QEMU) $(QEMU_ARGS)

# The store server the Store client talks to (build/host/tools/store_server).
store-server: setup
	@cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -DTAVLIN_SANITIZE=ON >/dev/null
	@cmake --build build/host --target store_server

debug: iso $(QEMU_FIRMWARE)
	@echo "QEMU waits for GDB on :1234. In another terminal:"
	@echo "  gdb $(KERNEL_ELF) -ex 'target remote :1234' -ex 'break kmain' -ex continue"
	$(QEMU) $(QEMU_ARGS) -s -S

# Host build: unit tests (with ASan and UBSan) and the QEMU system tests,
# which boot the test image.
test: test-iso
	@cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=Debug -DTAVLIN_SANITIZE=ON \
		-DTAVLIN_BUILD_DIR=$(abspath $(BUILD)) >/dev/null
	@cmake --build $(BUILD)/host -j$$(nproc)
	@cd $(BUILD)/host && ctest --output-on-failure -j2 -L unit
	@# One machine at a time: each QEMU wants a whole core, and the network
	@# tests measure timeouts in guest ticks.
	@cd $(BUILD)/host && ctest --output-on-failure -L system

unit: setup
	@cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=Debug -DTAVLIN_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/host -j$$(nproc)
	@cd $(BUILD)/host && ctest --output-on-failure -L unit

fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVLIN_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j$$(nproc)
	@./tools/run_fuzzers.sh $(BUILD)/fuzz $(FUZZ_SECONDS)

bench: iso
	@cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DTAVLIN_BENCH=ON >/dev/null
	@cmake --build $(BUILD)/bench -j$$(nproc) --target tavlin_bench
	@$(BUILD)/bench/tavlin_bench
	@python3 bench/qemu_bench.py $(BUILD)

coverage: setup
	@cmake -S . -B $(BUILD)/coverage -DCMAKE_BUILD_TYPE=Debug -DTAVLIN_COVERAGE=ON >/dev/null
	@cmake --build $(BUILD)/coverage -j$$(nproc)
	@find $(BUILD)/coverage -name '*.gcda' -delete
	@cd $(BUILD)/coverage && ctest -j2 -L unit >/dev/null
	@gcovr -r . --filter 'kernel/' --exclude 'kernel/arch/' $(BUILD)/coverage --print-summary \
		--html-details $(BUILD)/coverage/index.html | tail -3
	@echo "Line by line: $(BUILD)/coverage/index.html"

clean:
	rm -rf $(BUILD)

-include $(TEST_OBJ:.o=.d)
