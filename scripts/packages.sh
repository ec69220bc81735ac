# Package lists shared by run.sh and test.sh.
build_packages=(g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libgl-dev libxcb1-dev libxml2-dev libvulkan-dev fonts-dejavu-core bsdutils fonts-liberation2 xdg-utils)
test_packages=(libbenchmark-dev xvfb xauth openbox trayer xdotool wmctrl x11-utils
  libxcb-cursor0 desktop-file-utils appstream man-db dbus haskell-status-notifier-item-utils
  dpkg-dev lintian openssl mutter xwayland weston qt6-wayland apprise python3-aiosmtpd python3-dbusmock libglib2.0-bin)
# The sanitizer build and the fuzz targets: clang, and the run-times of libFuzzer and the
# sanitizers, which clang only recommends.
test_packages+=(clang libclang-rt-14-dev)
