#!/usr/bin/env bash
# Installs every Debian package the two builds and their tests need.
# Idempotent: prints nothing and changes nothing when all is present.
set -euo pipefail

native=(
  cmake make ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick python3 xauth
)
foreign=(wine32:i386 libodbc2:i386 libodbcinst2:i386 libsqliteodbc:i386)

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

missing=()
for p in "${native[@]}" "${foreign[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
elif [ -n "${need_update:-}" ]; then
  $SUDO apt-get update -qq
fi

# MinGW's posix thread model, so std::thread and friends link.
for tool in {i686,x86_64}-w64-mingw32-g++ {i686,x86_64}-w64-mingw32-gcc; do
  cur=$(readlink -f "/usr/bin/$tool" 2>/dev/null || true)
  case "$cur" in
    *-posix) ;;
    *) $SUDO update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null ;;
  esac
done
