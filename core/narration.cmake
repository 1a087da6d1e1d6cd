# The message sets and the narration: the slots of loaded sets and the
# archive reader, fetching messages by id, choosing and loading the sets of
# a match, the entrance and after-match lines, and the end narration. The
# emitters themselves (emit.cpp) are part of the engine's own list.
target_sources(cvcore_engine PRIVATE
  ceremony.cpp
  ceremony.h
  endnarration.cpp
  endnarration.h
  filecache.cpp
  filecache.h
  getmsg.cpp
  getmsg.h
  msgarchive.cpp
  msgarchive.h
  msgsets.cpp
  msgsets.h
)
vell_sjis_table(cvcore_engine msgsets.tbl msgsets_text.h)
# The archive reader compiles in the message-archive library's validating
# view only; stored lines are decoded by the library loaded at run time.
target_link_libraries(cvcore_engine PUBLIC kwphview)

# Message-set reading on hostile bytes: archive images and message files.
vell_fuzz(cvcore_msgset_fuzz SOURCES fuzz/msgset_fuzz.cpp CORPUS fuzz/corpus/msgset LIBS cvcore_engine kwphcore)

if(VELL_TESTS)
  vell_test(core_narration_tests SOURCES
    tests/enginetest.cpp
    tests/enginetest.h
    tests/fighttest.cpp
    tests/fighttest.h
    tests/narrationtest.cpp
    tests/narrationtest.h
    tests/msgarchive_test.cpp
    tests/getmsg_test.cpp
    tests/msgsets_test.cpp
    tests/narration_emit_test.cpp
    tests/endnarration_test.cpp
    LIBS cvcore_engine vellak_logic kwphcore)
  # The tests decode through the message-archive library itself, loaded by
  # name from the program folder, and read the sample sets of data/.
  add_dependencies(core_narration_tests KWPH)
  target_compile_definitions(core_narration_tests PRIVATE
    VELL_PROGRAM_DIR="${VELL_PROGRAM_DIR}/"
    VELL_SAMPLE_DIR="${CMAKE_SOURCE_DIR}/data/")
endif()
