# The copy step of the program folder keeps what a game master changed:
# into a scratch program folder the samples are laid out, a conf is edited
# and a sample AK deleted, and the same step run again keeps the edit and
# puts back only the missing file. Run by ctest:
#   cmake -DSCRIPT=<CopySamples.cmake> -DSRC=<data folder> -DOUT=<scratch> -P CopySamplesTest.cmake
file(REMOVE_RECURSE "${OUT}")

function(copy_step)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${SRC} -DDEST=${OUT} ${ARGN} -P ${SCRIPT}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "copy step failed: ${rc}")
  endif()
endfunction()

function(expect_same a b what)
  file(SHA256 "${a}" ha)
  file(SHA256 "${b}" hb)
  if(NOT ha STREQUAL hb)
    message(FATAL_ERROR "${what}")
  endif()
endfunction()

# First start: every sample is there, as committed.
copy_step()
expect_same(${SRC}/Config/VLCNF000001 ${OUT}/Config/VLCNF000001 "first copy differs from the sample conf")
expect_same(${SRC}/Config/VlTreeVw.Dt ${OUT}/Config/VlTreeVw.Dt "first copy differs from the sample tree")
if(NOT EXISTS ${OUT}/AkOut/000001/.gitkeep)
  message(FATAL_ERROR "empty sample folder not laid out")
endif()

# The game master edits a conf and the conf tree, deletes a sample AK and
# writes a file of their own.
file(APPEND ${OUT}/Config/VLCNF000001 "edited")
file(WRITE ${OUT}/Config/VlTreeVw.Dt "renamed node")
file(REMOVE ${OUT}/AkData/ak02.dat)
file(WRITE ${OUT}/AkData/mine.dat "own AK")
file(COPY_FILE ${OUT}/Config/VLCNF000001 ${OUT}/edited.conf)

# The next build: edits and own files stay, the missing sample comes back.
copy_step()
expect_same(${OUT}/edited.conf ${OUT}/Config/VLCNF000001 "an edited conf was overwritten")
file(READ ${OUT}/Config/VlTreeVw.Dt tree)
if(NOT tree STREQUAL "renamed node")
  message(FATAL_ERROR "the edited conf tree was overwritten")
endif()
if(NOT EXISTS ${OUT}/AkData/mine.dat)
  message(FATAL_ERROR "a file of the game master's own was removed")
endif()
expect_same(${SRC}/AkData/ak02.dat ${OUT}/AkData/ak02.dat "a missing sample was not put back")

# The test build's refresh puts every sample back over its copy.
copy_step(-DREFRESH=ON)
expect_same(${SRC}/Config/VLCNF000001 ${OUT}/Config/VLCNF000001 "refresh kept an old copy")
file(REMOVE_RECURSE "${OUT}")
