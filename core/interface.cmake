# The match interface: the system's lifetime, the match steps of the
# exports, the match result and the output AK data files, post-match repair
# and re-buy, the abort logic and the game contexts (in the Qt-free engine),
# and the game processor's one window, the abort dialog (Qt, linked into the
# deliverable only, so the engine's tests need no window system).
target_sources(cvcore_engine PRIVATE
  abortmatch.cpp
  abortmatch.h
  akoutput.cpp
  akoutput.h
  gamecontext.cpp
  gamecontext.h
  matchapi.cpp
  matchapi.h
  repair.cpp
  repair.h
  result.cpp
  result.h
  system.cpp
  system.h
)
vell_sjis_table(cvcore_engine interface.tbl interface_text.h)
# The output AK data files are written in the AK data library's layout; its
# static logic is compiled in (the deliverable exports none of it).
target_link_libraries(cvcore_engine PUBLIC vellak_logic)

add_library(cvcore_quit STATIC cvquit.cpp cvquit.h)
set_target_properties(cvcore_quit PROPERTIES AUTOMOC OFF)
target_link_libraries(cvcore_quit PUBLIC cvcore_engine vellui Qt6::Widgets)
vell_sjis_table(cvcore_quit cvquit.tbl cvquit_text.h)
# The deliverable is declared after this file is read.
cmake_language(DEFER CALL target_link_libraries CVCORE PRIVATE cvcore_quit)

if(VELL_TESTS)
  vell_test(core_interface_tests SOURCES
    tests/enginetest.cpp
    tests/enginetest.h
    tests/interfacetest.cpp
    tests/interfacetest.h
    tests/akoutput_test.cpp
    tests/repair_test.cpp
    tests/result_test.cpp
    tests/exports_match_test.cpp
    LIBS cvcore_engine)
  add_dependencies(core_interface_tests CVCORE KWPH)
  target_compile_definitions(core_interface_tests PRIVATE
    VELL_PROGRAM_DIR="${VELL_PROGRAM_DIR}/"
    VELL_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/data/")

  # The abort dialog, on its own and behind AbortMatch, in a QApplication.
  vell_test(core_quit_tests QT SOURCES
    tests/cvquit_test.cpp
    tests/interfacetest.cpp
    tests/interfacetest.h
    LIBS cvcore_quit)
  add_dependencies(core_quit_tests CVCORE KWPH)
  target_compile_definitions(core_quit_tests PRIVATE
    VELL_PROGRAM_DIR="${VELL_PROGRAM_DIR}/"
    VELL_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/data/")
endif()
