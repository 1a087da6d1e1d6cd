# Build helpers shared by every deliverable, test and fuzz target.

set(VELL_COMPANY "Dunmoor")
set(VELL_COPYRIGHT "Copyright (C) Dunmoor")
set(VELL_FILE_VERSION "${PROJECT_VERSION}.0")

# Writes the version sidecar "<file>.ver" that RcVersion reads in place of a
# version resource: UTF-8 Key=Value lines, converted to Shift-JIS on read.
# Every sidecar is installed with the libraries.
function(vell_version_sidecar file description)
  file(CONFIGURE OUTPUT ${VELL_PROGRAM_DIR}/${file}.ver
       CONTENT "FileVersion=${VELL_FILE_VERSION}\nCompanyName=${VELL_COMPANY}\nLegalCopyright=${VELL_COPYRIGHT}\nFileDescription=${description}\n"
       @ONLY)
  set_property(GLOBAL APPEND PROPERTY VELL_VERSION_SIDECARS ${VELL_PROGRAM_DIR}/${file}.ver)
endfunction()

# Generates a header of Shift-JIS byte strings from a UTF-8 table.
#   vell_sjis_table(<target> <table file> <header name>)
# The header lands in the target's generated include folder as
# "sjis/<header name>".
function(vell_sjis_table target table header)
  set(outdir ${CMAKE_CURRENT_BINARY_DIR}/generated/sjis)
  set(out ${outdir}/${header})
  get_filename_component(abs_table ${table} ABSOLUTE)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}
    COMMAND sjisgen ${abs_table} ${out}
    DEPENDS sjisgen ${abs_table}
    COMMENT "Generating Shift-JIS table ${header}")
  target_sources(${target} PRIVATE ${out})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)
endfunction()

# A deliverable shared library: lib<lower name>.so in the program folder,
# exports only what is marked VELL_EXPORT, finds its siblings through $ORIGIN.
#   vell_deliverable(<target> DESCRIPTION <text> SOURCES ... [LIBS ...])
function(vell_deliverable target)
  cmake_parse_arguments(D "" "DESCRIPTION" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${D_SOURCES})
  string(TOLOWER ${target} lower)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${lower}
    BUILD_RPATH "$ORIGIN"
    INSTALL_RPATH "$ORIGIN")
  target_link_libraries(${target} PRIVATE vellplatform ${D_LIBS})
  # Symbols of the static libraries compiled in (and their template
  # instantiations) stay inside the library.
  target_link_options(${target} PRIVATE ${VELL_NO_UNDEFINED} -Wl,--exclude-libs,ALL)
  vell_version_sidecar(lib${lower}.so "${D_DESCRIPTION}")
  set_property(GLOBAL APPEND PROPERTY VELL_DELIVERABLES ${target})
endfunction()

# A GoogleTest program run by ctest (offscreen Qt). With QT, the program runs
# inside one QApplication (testsupport/qt_main.cpp).
#   vell_test(<name> [QT] SOURCES ... [LIBS ...])
function(vell_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE vell_testsupport_qt ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE vell_testsupport_main ${T_LIBS} GTest::gtest)
  endif()
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    BUILD_RPATH "${VELL_PROGRAM_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  # No test reaches the user's own data or settings folders: every test
  # program's main() points them at a scratch home of its own.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp")
endfunction()

# A fuzz target. With VELL_FUZZ it is a libFuzzer program; otherwise it is
# built with a replay driver and ctest runs it over its committed corpus
# (without VELL_TESTS only when asked for by name).
#   vell_fuzz(<name> SOURCES ... CORPUS <dir> [LIBS ...])
function(vell_fuzz name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  if(NOT VELL_FUZZ AND NOT VELL_TESTS)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz
    BUILD_RPATH "${VELL_PROGRAM_DIR}")
  get_filename_component(corpus ${F_CORPUS} ABSOLUTE)
  if(VELL_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    # scripts/fuzz.sh builds fuzz_targets and runs each from its corpus.
    set_property(GLOBAL APPEND PROPERTY VELL_FUZZ_TARGETS ${name})
    set_property(GLOBAL APPEND PROPERTY VELL_FUZZ_LIST "${name} ${corpus}\n")
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    if(VELL_TESTS)
      add_test(NAME ${name}_corpus COMMAND ${name} ${corpus})
      set_tests_properties(${name}_corpus PROPERTIES
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp")
    endif()
  endif()
endfunction()

# A ctest that regenerates committed samples with a host generator and
# compares them byte for byte with data/.
#   vell_sample_check(<name> TOOL <target> FILES <paths under data/>...)
function(vell_sample_check name)
  cmake_parse_arguments(S "" "TOOL" "FILES" ${ARGN})
  if(VELL_TESTS)
    add_test(NAME ${name}
      COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:${S_TOOL}> -DOUT=${CMAKE_BINARY_DIR}/samplecheck/${name}
              -DREF=${CMAKE_SOURCE_DIR}/data "-DFILES=${S_FILES}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckSamples.cmake)
  endif()
endfunction()

# With VELL_FUZZ: the target fuzz_targets builds every fuzz target, and
# fuzz/targets.txt lists them with their corpora ("<name> <corpus folder>").
function(vell_fuzz_list)
  if(VELL_FUZZ)
    get_property(targets GLOBAL PROPERTY VELL_FUZZ_TARGETS)
    get_property(list GLOBAL PROPERTY VELL_FUZZ_LIST)
    string(REPLACE ";" "" list "${list}")
    add_custom_target(fuzz_targets DEPENDS ${targets})
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/targets.txt "${list}")
  endif()
endfunction()
