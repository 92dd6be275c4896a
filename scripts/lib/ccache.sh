# Sourced by the build scripts: when ccache is installed, sets the array
# `launcher` to the CMake options that compile through it, so that several
# checkouts of the tree (and rebuilds after switching branches) share their
# compiled objects; otherwise leaves it empty.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
