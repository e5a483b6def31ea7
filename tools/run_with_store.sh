#!/usr/bin/env bash
# Runs QEMU, with the store server on the host's loopback beside it when it
# has been built (QEMU's user network reaches it as 10.0.2.2:<port>). An
# empty store folder starts with the files of assets/store_seed and of
# build/store_seed (those drawn at build time).
set -u
port=$1; shift
server=build/host/tools/store_server
pid=
if [ -x "$server" ]; then
  mkdir -p build/store
  "$server" --host 127.0.0.1 --port "$port" --dir build/store \
    --seed assets/store_seed --seed build/store_seed &
  pid=$!
  echo "Store server: http://127.0.0.1:$port (http://10.0.2.2:$port from TavlinOS), files in build/store"
fi
"$@"
status=$?
[ -n "$pid" ] && kill "$pid" 2>/dev/null
exit $status
