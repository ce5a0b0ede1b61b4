#!/bin/bash
# Runs one command inside a throw-away Linux virtual machine whose kernel has uhid and
# hidraw, with this machine's file system visible read-only (under a writable tmpfs
# overlay), so programs built here run unchanged in the guest.
#
#   run-in-vm.sh [--timeout SECONDS] [--] COMMAND [ARGS...]
#
# The command runs as root in the guest, in the current directory, with its output on
# the guest's console, which is this script's standard output. The script exits with
# the command's exit status, or with 125 when the machine could not be prepared or
# booted and 124 when it timed out: a machine that does not start is a failure.
#
# Environment:
#   KX_E2E_CACHE   where the downloaded kernel is kept between runs
#                  (default: ${XDG_CACHE_HOME:-$HOME/.cache}/kx5170-e2e)
#   KX_E2E_KERNEL  a Debian kernel package version to use (e.g. 6.1.0-57-amd64)
#                  instead of the one linux-image-amd64 points to
#   KX_E2E_KVM     "0" to force software emulation, "1" to require KVM
#   KX_E2E_MEMORY  guest memory in MiB (default 1024)
#   KX_E2E_VERBOSE "1" to show the kernel's boot messages
set -euo pipefail

timeout_s=600
while [[ $# -gt 0 ]]; do
    case "$1" in
    --timeout) timeout_s=$2; shift 2 ;;
    --) shift; break ;;
    -*) echo "run-in-vm: unknown option $1" >&2; exit 125 ;;
    *) break ;;
    esac
done
if [[ $# -eq 0 ]]; then
    echo "usage: run-in-vm.sh [--timeout SECONDS] [--] COMMAND [ARGS...]" >&2
    exit 125
fi

die() { echo "run-in-vm: $*" >&2; exit 125; }

for tool in qemu-system-x86_64 xz flock timeout; do
    command -v "$tool" >/dev/null || die "$tool is missing (apt-get install qemu-system-x86 xz-utils util-linux coreutils)"
done
busybox=""
for candidate in /bin/busybox /usr/bin/busybox; do
    if [[ -x $candidate ]] && ! LC_ALL=C grep -qa '/lib64/ld-linux' "$candidate"; then
        busybox=$candidate
        break
    fi
done
[[ -n $busybox ]] || die "a static busybox is missing (apt-get install busybox-static)"

cache=${KX_E2E_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/kx5170-e2e}
mkdir -p "$cache" || die "cannot create the cache $cache"

# --- The kernel ------------------------------------------------------------------------

# The modules the guest needs, in an order that satisfies their dependencies; the
# dependencies are read from each module, so a kernel that splits things differently
# still loads.
wanted_modules="hid uhid hid_generic virtio_ring virtio_pci_modern_dev virtio_pci_legacy_dev virtio virtio_pci 9pnet 9pnet_virtio netfs fscache 9p overlay"

resolve_kernel_version() {
    if [[ -n ${KX_E2E_KERNEL:-} ]]; then
        echo "$KX_E2E_KERNEL"
        return
    fi
    local dep
    lookup() {
        apt-cache depends linux-image-amd64 2>/dev/null |
            sed -n 's/^ *Depends: linux-image-\([0-9][^ ]*-amd64\)$/\1/p' | head -n1
    }
    dep=$(lookup) || true
    if [[ -z $dep && $(id -u) -eq 0 ]] && ! ls "$cache"/kernel-*/ready >/dev/null 2>&1; then
        # A fresh machine whose package lists were never fetched.
        apt-get update -qq >/dev/null 2>&1 || true
        dep=$(lookup) || true
    fi
    if [[ -z $dep ]]; then
        # No package lists (offline, or apt-get update never ran): use a cached kernel.
        dep=$(ls -1 "$cache" 2>/dev/null | sed -n 's/^kernel-\(.*-amd64\)$/\1/p' | sort -V | tail -n1)
    fi
    echo "$dep"
}

prepare_kernel() {
    local version=$1 dir=$cache/kernel-$1
    [[ -f $dir/ready ]] && return 0
    local work
    work=$(mktemp -d "$cache/.download.XXXXXX")
    (
        cd "$work"
        if ! apt-get download "linux-image-$version" >/dev/null 2>download.log; then
            cat download.log >&2
            echo "(if the package lists are stale, run apt-get update)" >&2
            exit 1
        fi
        dpkg -x linux-image-"$version"_*.deb tree
        # The uncompressed kernel boots several seconds sooner under emulation.
        local vmlinuz offset
        vmlinuz=tree/boot/vmlinuz-$version
        offset=$(LC_ALL=C grep -obUaP -m1 '\xFD7zXZ\x00' "$vmlinuz" | head -n1 | cut -d: -f1) || true
        mkdir -p out/modules
        if [[ -n $offset ]] && tail -c +$((offset + 1)) "$vmlinuz" >payload.xz &&
           xz -dc --single-stream payload.xz >out/vmlinux 2>/dev/null &&
           [[ $(od -An -c -N4 out/vmlinux | tr -d ' ') == '177ELF' ]]; then
            :
        else
            rm -f out/vmlinux
            cp "$vmlinuz" out/vmlinuz
        fi
        local moddir=tree/lib/modules/$version/kernel
        [[ -d $moddir ]] || { echo "no modules in the package" >&2; exit 1; }
        find "$moddir" -name '*.ko' >all-modules
        local -A path_of=() deps_of=() added=()
        local f name
        while read -r f; do
            name=$(basename "$f" .ko)
            path_of[${name//-/_}]=$f
        done <all-modules
        local order=()
        add_module() {
            local m=${1//-/_} d
            [[ -n ${added[$m]:-} ]] && return 0
            added[$m]=1
            local file=${path_of[$m]:-}
            if [[ -z $file ]]; then
                # Built into this kernel: nothing to load.
                return 0
            fi
            local depends
            depends=$(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | head -n1)
            for d in ${depends//,/ }; do
                add_module "$d"
            done
            cp "$file" "out/modules/$m.ko"
            order+=("$m")
        }
        for name in $wanted_modules; do add_module "$name"; done
        printf '%s\n' "${order[@]}" >out/modules/order
        for name in uhid hid_generic 9p 9pnet_virtio overlay; do
            [[ -f out/modules/$name.ko ]] || grep -q "CONFIG_$(tr a-z A-Z <<<"$name")=y" "tree/boot/config-$version" ||
                echo "warning: module $name not found" >&2
        done
    ) || { rm -rf "$work"; return 1; }
    rm -rf "$dir"
    mv "$work/out" "$dir"
    rm -rf "$work"
    touch "$dir/ready"
    # Kernels that linux-image-amd64 has moved on from are not needed again.
    local old
    for old in "$cache"/kernel-*; do
        [[ $old != "$dir" ]] && rm -rf "$old"
    done
    return 0
}

version=$(resolve_kernel_version)
[[ -n $version ]] || die "cannot tell which kernel to use: run apt-get update, or set KX_E2E_KERNEL"
(
    flock 9
    prepare_kernel "$version"
) 9>"$cache/.lock" || die "cannot prepare the kernel linux-image-$version"
kdir=$cache/kernel-$version
kernel=$kdir/vmlinux
[[ -f $kernel ]] || kernel=$kdir/vmlinuz

# --- The initramfs and the guest's start-up ---------------------------------------------

run=$(mktemp -d "${TMPDIR:-/tmp}/kx5170-vm.XXXXXX")

cleanup() {
    rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$run/initramfs"/{bin,dev,proc,sys,host,rw,root,modules} "$run/share"
cp "$busybox" "$run/initramfs/bin/busybox"
cp "$kdir"/modules/*.ko "$kdir/modules/order" "$run/initramfs/modules/" 2>/dev/null || true

# The command, its working directory and its environment travel in the shared folder.
{
    printf 'cd %q || exit 125\n' "$PWD"
    for var in KX_VIRTUAL_BOARD KX_E2E_ARGS QT_QPA_PLATFORM LC_ALL LANG QTEST_FUNCTION_TIMEOUT ASAN_OPTIONS UBSAN_OPTIONS; do
        if [[ -n ${!var+x} ]]; then printf 'export %s=%q\n' "$var" "${!var}"; fi
    done
    printf 'exec'
    printf ' %q' "$@"
    printf '\n'
} >"$run/share/command"

cat >"$run/initramfs/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
say() { echo "guest: $*" >/dev/console; }
halt_now() { sync; reboot -f; sleep 5; }
for m in $(cat /modules/order 2>/dev/null); do
    insmod /modules/$m.ko 2>/dev/console || say "cannot load $m"
done
# The shared folders come up once virtio has probed the devices.
for i in $(seq 50); do
    grep -q results /sys/bus/virtio/drivers/9pnet_virtio/*/mount_tag 2>/dev/null && break
    sleep 0.1
done
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /host || { say "cannot mount the host"; halt_now; }
mount -t tmpfs -o mode=0755 tmpfs /rw
mkdir -p /rw/upper /rw/work /rw/root
mount -t overlay -o lowerdir=/host,upperdir=/rw/upper,workdir=/rw/work overlay /rw/root || { say "cannot mount the overlay"; halt_now; }
R=/rw/root
mkdir -p $R/kx-e2e-results
mount -t 9p -o trans=virtio,version=9p2000.L,cache=mmap,msize=262144 results $R/kx-e2e-results || { say "cannot mount the results folder"; halt_now; }
mount -t proc proc $R/proc
mount -t sysfs sysfs $R/sys
mount -t devtmpfs devtmpfs $R/dev
mkdir -p $R/dev/pts $R/dev/shm
mount -t devpts devpts $R/dev/pts
mount -t tmpfs tmpfs $R/dev/shm
mount -t tmpfs tmpfs $R/run
mkdir -p $R/run/user/0 && chmod 700 $R/run/user/0
ip link set lo up 2>/dev/null
echo started >$R/kx-e2e-results/started
chroot $R /usr/bin/env -i HOME=/root USER=root LOGNAME=root \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    XDG_RUNTIME_DIR=/run/user/0 TMPDIR=/tmp \
    /bin/sh /kx-e2e-results/command </dev/null >/dev/console 2>&1
echo $? >$R/kx-e2e-results/rc
sync
halt_now
EOF
chmod 755 "$run/initramfs/init"
(cd "$run/initramfs" && find . | "$busybox" cpio -o -H newc 2>/dev/null) >"$run/initramfs.cpio" ||
    die "cannot build the initramfs"

# --- The machine ----------------------------------------------------------------------

accel="tcg,thread=multi"
if [[ ${KX_E2E_KVM:-} != 0 ]] && [[ -w /dev/kvm ]] &&
   { [[ -d /sys/module/kvm_intel ]] || [[ -d /sys/module/kvm_amd ]]; }; then
    accel=kvm
elif [[ ${KX_E2E_KVM:-} == 1 ]]; then
    die "KVM was required but kvm_intel/kvm_amd is not loaded"
fi
cpu=max
[[ $accel == kvm ]] && cpu=host
cpus=$(nproc 2>/dev/null || echo 1)
((cpus > 2)) && cpus=2

append="console=ttyS0 panic=-1 rdinit=/init i8042.noaux i8042.nomux i8042.nopnp"
if [[ ${KX_E2E_VERBOSE:-0} != 1 ]]; then append="$append quiet loglevel=3"; fi

qemu=(qemu-system-x86_64
    -machine q35 -accel "$accel" -cpu "$cpu" -smp "$cpus" -m "${KX_E2E_MEMORY:-1024}"
    -nodefaults -no-user-config -no-reboot -display none -serial stdio -monitor none
    -kernel "$kernel" -initrd "$run/initramfs.cpio" -append "$append"
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap"
    -virtfs "local,path=$run/share,mount_tag=results,security_model=none"
)

start=$(date +%s)
echo "run-in-vm: booting linux $version ($accel)" >&2
set +e
timeout --foreground -k 10 "$timeout_s" "${qemu[@]}" </dev/null
status=$?
set -e
elapsed=$(($(date +%s) - start))

if [[ $status -eq 124 || $status -eq 137 ]]; then
    echo "run-in-vm: the machine did not finish within ${timeout_s}s" >&2
    exit 124
fi
if [[ ! -f $run/share/started ]]; then
    echo "run-in-vm: the machine did not start (qemu exit status $status)" >&2
    exit 125
fi
if [[ ! -s $run/share/rc ]]; then
    echo "run-in-vm: the command did not report an exit status (qemu exit status $status)" >&2
    exit 125
fi
rc=$(cat "$run/share/rc")
echo "run-in-vm: command exited with $rc after ${elapsed}s in the machine" >&2
exit "$rc"
