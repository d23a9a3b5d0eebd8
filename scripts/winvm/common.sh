# Shared by the image builder and the runner of the test VM (sourced by bash).
# The image lives outside the clone, in a folder named after a hash of what
# goes into it, so a changed recipe builds a new image and an unchanged one is
# reused by every clone on the machine.
winvm_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winvm_cache_root=${TOLVEX_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvex29}
winvm_key=$(cat "$winvm_here/image" "$winvm_here/guest-init" | sha256sum | cut -c1-16)
winvm_dir=$winvm_cache_root/winvm-$winvm_key

winvm_say() { echo "winvm: $*" >&2; }

# winvm_boot MODE CTL_DIR [SHARE_DIR]: boots the VM once and returns when it
# powers off. MODE "snapshot" throws every write to the image away at power-off;
# "writable" keeps them, which the builder uses to make the Wine prefix.
winvm_boot() {
    local mode=$1 ctl=$2 share=${3:-} disk=snapshot=on,cache=unsafe
    [ "$mode" = writable ] && disk=snapshot=off,cache=writeback
    local append="root=/dev/vda rootfstype=ext4 rw console=ttyS0 panic=-1 quiet loglevel=3 mitigations=off init=/usr/local/sbin/winvm-init"
    local work=()
    [ -n "$share" ] && work=(-virtfs "local,path=$share,mount_tag=work,security_model=none,id=work")
    # Software emulation: these machines' /dev/kvm starts no guest. QEMU 7.2's
    # emulation faults on a 32-bit user-mode iret while SMAP is on, so SMAP is off.
    timeout "${TOLVEX_VM_TIMEOUT:-3600}" qemu-system-x86_64 -m "${TOLVEX_VM_MEMORY:-4096}" -smp "${TOLVEX_VM_CPUS:-2}" \
        -accel tcg,thread=multi -cpu max,-smap -display none -monitor none -serial "file:$ctl/console.log" \
        -nic none -no-reboot -kernel "$winvm_dir/vmlinuz" -initrd "$winvm_dir/initrd.img" -append "$append" \
        -drive "file=$winvm_dir/root.img,format=raw,if=virtio,$disk" -virtfs "local,path=$ctl,mount_tag=ctl,security_model=none,id=ctl" "${work[@]}" </dev/null
}
