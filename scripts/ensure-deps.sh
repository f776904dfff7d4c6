#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need.
# Idempotent: only what is missing is installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev
  liblldb-15-dev lldb-15 python3-lldb-15
  openjdk-17-jdk-headless junit5
  nodejs libuv1-dev
)

# Node-API headers: a Node.js package from nodejs.org ships them itself; with
# Debian's own nodejs they come in libnode-dev.
if [ ! -f /usr/include/node/node_api.h ] && [ ! -f /usr/local/include/node/node_api.h ]; then
  packages+=(libnode-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
