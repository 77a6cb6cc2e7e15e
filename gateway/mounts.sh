# Sourced by the image's /init (gateway/init, lava/init; scripts/gateway puts
# it in the image as /etc/mounts.sh): BusyBox's applets as links in /bin, on
# the PATH, and what a gateway has mounted: proc, sysfs, devtmpfs, a tmpfs
# /tmp of 8 MiB.
/bin/busybox mkdir -p /proc /sys /dev /tmp
/bin/busybox mount -t proc proc /proc
/bin/busybox --install -s /bin
export PATH=/usr/bin:/bin
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs -o size=8m tmpfs /tmp
