# Helpers shared by every folder's CMakeLists.
include(GoogleTest)

# qap_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# The program's main() comes from qap_testing: it gives the test process its
# own scratch HOME, XDG folders, hive, cookie jar and music database.
function(qap_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} qap_testing GTest::gtest GTest::gmock Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()
