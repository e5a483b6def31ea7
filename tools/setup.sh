#!/usr/bin/env bash
# Installs the Debian packages TavlinOS needs to build, run and test.
# Only what is missing is installed; the script says what it installs.
set -euo pipefail

packages=(
  build-essential gcc-multilib g++-multilib   # freestanding i386 image
  grub-pc-bin grub-common xorriso mtools      # bootable ISO (BIOS)
  grub-efi-amd64-bin grub-efi-ia32-bin        # the same ISO on UEFI machines
  qemu-system-x86 ovmf                        # the machine, and its UEFI firmware
  cmake libgtest-dev libbenchmark-dev         # host tests and benchmarks
  clang libclang-rt-14-dev                    # fuzzing with sanitizers
  gcovr                                       # make coverage
  zlib1g-dev libpng-dev                       # reference decoders, media tools
  libcpp-httplib-dev                          # the store server
  dnsmasq-base iproute2                       # the private test network
  python3 binutils gdb                        # gdb opens applications in the QEMU bench
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "TavlinOS setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then sudo_cmd=(sudo); else
    echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
