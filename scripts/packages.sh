# Package lists shared by run.sh and test.sh.
build_packages=(g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libgl-dev libxml2-dev libvulkan-dev fonts-dejavu-core bsdutils)
test_packages=(libbenchmark-dev xvfb xauth openbox trayer xdotool wmctrl x11-utils
  libxcb-cursor0 openssl)
