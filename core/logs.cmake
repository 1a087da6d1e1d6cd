# The match's log files: channels and writers, headers and round lines, the
# match digest, the end-of-match output and the AK sheets of the log.
target_sources(cvcore_engine PRIVATE
  aksheet.cpp
  aksheet.h
  digest.cpp
  digest.h
  endoutput.cpp
  endoutput.h
  logheader.cpp
  logheader.h
  logwriter.cpp
  logwriter.h
  matchfiles.cpp
  matchfiles.h
  outputfault.cpp
  outputfault.h
)
vell_sjis_table(cvcore_engine aksheet.tbl aksheet_text.h)
vell_sjis_table(cvcore_engine endoutput.tbl endoutput_text.h)
vell_sjis_table(cvcore_engine logheader.tbl logheader_text.h)
vell_sjis_table(cvcore_engine logwriter.tbl logwriter_text.h)

if(VELL_TESTS)
  vell_test(core_log_tests SOURCES
    tests/enginetest.cpp
    tests/enginetest.h
    tests/fighttest.cpp
    tests/fighttest.h
    tests/logtest.cpp
    tests/logtest.h
    tests/aksheet_test.cpp
    tests/digest_test.cpp
    tests/endoutput_test.cpp
    tests/logheader_test.cpp
    tests/logwriter_test.cpp
    tests/loggolden_test.cpp
    LIBS cvcore_engine vellak_logic)
  target_compile_definitions(core_log_tests PRIVATE
    VELL_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/data/"
    VELL_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/golden/")
endif()
