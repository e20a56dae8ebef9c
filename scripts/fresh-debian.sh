#!/usr/bin/env bash
# Runs the README's commands as a newcomer does, in a fresh minimal Debian (debootstrap
# --variant=minbase, plus git) made in a folder of its own, from a clone of this repository's HEAD:
#   scripts/fresh-debian.sh SUITE WHO [COMMAND] [FOLDER]
# SUITE is bookworm (Debian 12) or trixie (Debian 13). WHO is root, as root with no locale set (as a
# container, su - or cron leaves it), or user, as a user who may sudo, with LANG=C.UTF-8 (as a
# desktop session sets it). COMMAND is test (bash scripts/test.sh, the default) or run (xvfb-run bash
# scripts/run.sh, ended once its window shows). The system is kept in FOLDER (fresh-SUITE beside this
# clone unless given) for a look afterwards, and made anew at the next call, or with
# BUFREX_FRESH_AGAIN=1 kept as it is, packages and caches, for a later run of a new clone. Its Qt cache is the
# system's own, so a first run builds Qt; BUFREX_FRESH_QT=DIR copies a Qt for Windows built before
# (a qt-* folder of ~/.cache/bufrex) into it, for a later run. Needs root, or sudo, and about 9 GB.
# Not part of test.sh.
set -euo pipefail
suite=${1:?"usage: fresh-debian.sh bookworm|trixie root|user [test|run] [FOLDER]"}
who=${2:?"usage: fresh-debian.sh bookworm|trixie root|user [test|run] [FOLDER]"}
command=${3:-test}
case "$suite" in bookworm | trixie) ;; *) echo "fresh-debian.sh: bookworm or trixie, not $suite" >&2; exit 2 ;; esac
case "$who" in root | user) ;; *) echo "fresh-debian.sh: root or user, not $who" >&2; exit 2 ;; esac
case "$command" in test | run) ;; *) echo "fresh-debian.sh: test or run, not $command" >&2; exit 2 ;; esac
cd "$(dirname "$0")/.."
repo=$PWD
root=$(realpath -m "${4:-../fresh-$suite}")
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

command -v debootstrap >/dev/null ||
  { $sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q debootstrap; }

# Once more after a moment, should a program just ended (Xvfb, say) still hold one.
unmount() {
  local mount
  for _ in 1 2 3; do
    for mount in proc sys dev; do $sudo umount -R "$root/$mount" 2>/dev/null || true; done
    grep -q " $root/" /proc/mounts || return 0
    sleep 2
  done
}
trap unmount EXIT
unmount
# Never a removal through a mount left behind: that would reach into the host's /dev.
! grep -q " $root/" /proc/mounts || { echo "fresh-debian.sh: $root still has mounts" >&2; exit 1; }
if [ -z "${BUFREX_FRESH_AGAIN:-}" ]; then
  $sudo rm -rf "$root"
  echo "fresh-debian.sh: a minimal $suite in $root"
  $sudo debootstrap --variant=minbase --include=git "$suite" "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; exit 1; }
  $sudo cp /etc/resolv.conf "$root/etc/resolv.conf"
  # Debian's own security updates too, as a new install has them.
  printf 'deb http://deb.debian.org/debian-security %s-security main\n' "$suite" |
    $sudo tee "$root/etc/apt/sources.list.d/security.list" >/dev/null
else
  [ -x "$root/bin/bash" ] || { echo "fresh-debian.sh: no system in $root to run again" >&2; exit 1; }
  echo "fresh-debian.sh: the $suite in $root again, with a new clone"
  $sudo rm -rf "$root/root/bufrex" "$root/home/trader/bufrex"
fi
$sudo mount -t proc proc "$root/proc"
# Slaves of the host's mounts, so that unmounting them here unmounts nothing of the host's.
$sudo mount --rbind /sys "$root/sys"
$sudo mount --make-rslave "$root/sys"
$sudo mount --rbind /dev "$root/dev"
$sudo mount --make-rslave "$root/dev"

if [ "$command" = test ]; then
  steps='bash scripts/test.sh'
else
  # run.sh installs and builds, then says there is no display and which package gives one; the
  # window is looked for on that display, then the program is ended.
  steps='bash scripts/run.sh || true
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends xvfb xauth x11-utils
    xvfb-run -a bash -c "bash scripts/run.sh & for _ in \$(seq 600); do xwininfo -root -tree | grep -q \"Bufrex 2 \" && break; sleep 0.1; done; xwininfo -root -tree | grep \"Bufrex 2 \"; kill %1"'
fi
home=/root
[ "$who" = root ] || home=/home/trader
if [ -n "${BUFREX_FRESH_QT:-}" ]; then
  $sudo mkdir -p "$root$home/.cache/bufrex"
  $sudo cp -a "$BUFREX_FRESH_QT" "$root$home/.cache/bufrex/"
fi
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
if [ "$who" = root ]; then
  $sudo git clone -q "$repo" "$root/root/bufrex"
  script="set -euo pipefail; sudo=; cd /root/bufrex; $steps"
  time $sudo chroot "$root" env -i PATH="$path" HOME=/root TERM=dumb bash -c "$script"
else
  $sudo chroot "$root" env -i PATH="$path" bash -c 'set -e
    id trader >/dev/null 2>&1 && exit
    apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends sudo >/dev/null
    useradd -m -s /bin/bash trader
    echo "trader ALL=(ALL) NOPASSWD: ALL" >/etc/sudoers.d/trader'
  $sudo git clone -q "$repo" "$root/home/trader/bufrex"
  $sudo chroot "$root" chown -R trader: /home/trader
  script="set -euo pipefail; sudo=sudo; cd ~/bufrex; $steps"
  time $sudo chroot --userspec=trader:trader "$root" env -i PATH="$path" HOME=/home/trader USER=trader LOGNAME=trader \
    LANG=C.UTF-8 TERM=dumb bash -c "$script"
fi
echo "fresh-debian.sh: $command passed in a fresh minimal $suite as $who"
