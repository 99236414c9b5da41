# Helpers shared by every folder's CMakeLists.
include(GoogleTest)

# qap_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENVIRONMENT VAR=VALUE...]
#              [LABELS label...])
# The program's main() comes from qap_testing: it gives the test process its
# own scratch HOME, XDG folders, hive, cookie jar and music database. Labels
# only name a kind of test (ctest -L/-LE); every test runs in a plain ctest.
function(qap_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} qap_testing GTest::gtest GTest::gmock Threads::Threads)
  # An empty value would vanish from the list and shift the next name into it.
  set(properties TIMEOUT 300)
  if(T_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  # Two headless chromiums side by side on two cores now and then end on no
  # page at all: browser tests take turns.
  if("browser" IN_LIST T_LABELS)
    list(APPEND properties RESOURCE_LOCK chromium)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# qap_embed_images(TARGET FUNCTION name BITMAPS id=file.png ... ICONS id=file.png ...)
# Compiles PNG files (paths relative to the calling folder) into target as
# the bitmaps and icons of its resources: the generated function
# `void name(ui::res::ModuleResources*)` fills them in.
function(qap_embed_images target)
  cmake_parse_arguments(E "" "FUNCTION" "BITMAPS;ICONS" ${ARGN})
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${E_FUNCTION}.cpp)
  set(depends "")
  set(bitmaps "")
  set(icons "")
  foreach(kind BITMAPS ICONS)
    foreach(pair IN LISTS E_${kind})
      string(REPLACE "=" ";" parts "${pair}")
      list(GET parts 0 id)
      list(GET parts 1 file)
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${file})
      list(APPEND depends ${path})
      string(TOLOWER ${kind} name)
      list(APPEND ${name} "${id}=${path}")
    endforeach()
  endforeach()
  string(REPLACE ";" "|" bitmaps "${bitmaps}")
  string(REPLACE ";" "|" icons "${icons}")
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DFUNCTION=${E_FUNCTION}
            "-DBITMAPS=${bitmaps}" "-DICONS=${icons}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_images.cmake
    DEPENDS ${depends} ${PROJECT_SOURCE_DIR}/cmake/embed_images.cmake
    COMMENT "Embedding images into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# qap_add_fuzzer(NAME SOURCES a.cpp LIBS lib1 lib2 [COMPONENT module EXTENSION ext])
# A libFuzzer target fuzz_NAME (fuzz build only, QAP_FUZZ): its seeds are
# fuzz/corpus/NAME, its dictionary fuzz/dict/NAME.dict when there is one.
# COMPONENT names a converter component the target loads at run time (it is
# built with it, and the target sees QAP_FUZZ_COMPONENT and
# QAP_FUZZ_EXTENSION). Each target is also a CTest test (label "fuzz") that
# runs it for QAP_FUZZ_CHECK_SECONDS through scripts/fuzz.sh --check.
set(QAP_FUZZ_CHECK_SECONDS 20 CACHE STRING "How long CI's fuzz step runs each target")
function(qap_add_fuzzer name)
  if(NOT QAP_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "COMPONENT;EXTENSION" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz_${name} ${F_SOURCES})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  # Modules loaded with dlopen find libFuzzer's hooks in the program.
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer -rdynamic)
  target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS} qap_fuzz_support)
  if(F_COMPONENT)
    add_dependencies(fuzz_${name} ${F_COMPONENT})
    target_compile_definitions(fuzz_${name} PRIVATE QAP_FUZZ_COMPONENT="${F_COMPONENT}"
                               QAP_FUZZ_EXTENSION="${F_EXTENSION}")
  endif()
  add_dependencies(fuzzers fuzz_${name})
  add_test(NAME fuzz_${name}
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh --check ${name} ${QAP_FUZZ_CHECK_SECONDS})
  math(EXPR limit "${QAP_FUZZ_CHECK_SECONDS} + 120")
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT ${limit}
    ENVIRONMENT "QAP_FUZZ_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
endfunction()
