#!/usr/bin/env bash
# Installs every Debian package the two builds and their tests need.
# Idempotent: prints nothing and changes nothing when all is present.
# A query's answer is taken whole before it is searched: grep -q stops reading at
# its first match, and the query it cuts off fails (SIGPIPE) under pipefail.
set -euo pipefail

native=(
  cmake make ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick python3 xauth fp-utils-3.2.2
)
foreign=(wine32:i386 libodbc2:i386 libodbcinst2:i386 libsqliteodbc:i386)

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

missing=()
for p in "${native[@]}" "${foreign[@]}"; do
  status=$(dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null || true)
  grep -qx 'install ok installed' <<<"$status" || missing+=("$p")
done

if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
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

# The shipped programs are 32-bit, so their tests need 32-bit Wine. Where the kernel
# refuses 32-bit programs, i386 code runs through qemu-user instead (qemu 8 or newer:
# Debian 12's own 7.2 takes minutes per Wine process and crashes threaded programs).
# TARN_FORCE_QEMU=1 takes that path on any host, to try it.
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# A static i386 program of 93 bytes that exits with 0 (exit through int 0x80).
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
chmod +x "$probe"

binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/tarn-qemu-i386
stamp=/var/lib/tarn/qemu-i386.stamp

qemu_version() { dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true; }

enable_backports() {
  local codename uri keyring list=/etc/apt/sources.list.d/tarn-backports.sources source sources=()
  [ -f "$list" ] && return 0
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # The mirror this machine already uses for its main suite, from the source files
  # there are (awk fails on a missing one).
  for source in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list; do
    [ -f "$source" ] && sources+=("$source")
  done
  uri=$(awk -v c="$codename" '
    /^URIs:/ { u = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) { print u; exit } }
    $1 == "deb" && $3 == c { print $2; exit }' "${sources[@]}" </dev/null)
  [ -n "$uri" ] || { echo "install-deps: no apt source for $codename to take backports from" >&2; exit 1; }
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
    "$uri" "$codename" "$keyring" | $SUDO tee "$list" >/dev/null
  $SUDO apt-get update -qq
}

register_qemu() {
  local interp=/usr/bin/qemu-i386-static
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
  # The F flag keeps the interpreter open from the moment of registration, so an
  # upgraded qemu is only used once the entry is made anew.
  if [ -e "$entry" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$(qemu_version)" ]; then
    echo -1 | $SUDO tee "$entry" >/dev/null
  fi
  if [ ! -e "$entry" ]; then
    echo ":tarn-qemu-i386:M::$magic:$mask:$interp:F" | $SUDO tee "$binfmt/register" >/dev/null
    $SUDO mkdir -p "$(dirname "$stamp")"
    qemu_version | $SUDO tee "$stamp" >/dev/null
  fi
}

if [ -n "${TARN_FORCE_QEMU:-}" ] || ! "$probe" 2>/dev/null; then
  major=$(qemu_version | sed 's/^[0-9]*://; s/[^0-9].*//')
  if [ "${major:-0}" -lt 8 ]; then
    echo "installing: qemu-user-static (backports), for 32-bit programs"
    enable_backports
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
      -t "$(. /etc/os-release && echo "$VERSION_CODENAME")-backports" qemu-user-static >/dev/null
  fi
  register_qemu
  "$probe" || { echo "install-deps: 32-bit programs still do not run (qemu-user)" >&2; exit 1; }
fi
