# What a Windows build takes from elsewhere than the system: SQLite from the
# vendored amalgamation and GoogleTest built from Debian's sources. Unicode
# normalisation uses Windows' own NormalizeString (see dictionary/normaliza.cpp),
# so there is no ICU here.
add_compile_definitions(NOMINMAX)
# IBus is a Linux input-method framework.
set(KALYXON_IBUS OFF CACHE BOOL "" FORCE)
# NormalizeString lives in normaliz.dll on older Windows; every program links it.
link_libraries(normaliz)

add_subdirectory(${PROJECT_SOURCE_DIR}/third_party/sqlite ${CMAKE_BINARY_DIR}/third_party/sqlite)

if(KALYXON_TESTS)
  set(KALYXON_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build the tests with")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KALYXON_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  # Test programs are listed when ctest runs them (under Wine), not at build.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
  # Tests that drive the command line through a POSIX shell (pipes, exit
  # statuses, /dev/null); on Windows the command line is checked instead
  # against the Linux build's output (scripts/build-windows.sh test).
  set(KALYXON_TESTS_EXCLUDE "/(codes/cli_codes|keyboard/cmd_type|dictionary/cli|conversion/cli|dictionary/averias)_test\\.cpp$")
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
