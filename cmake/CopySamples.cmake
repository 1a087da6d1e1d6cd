# Lays the sample program folder data/ out in a build's program folder.
# A sample is copied only where the program folder lacks that file (a first
# start, or a sample added since), never over a file that is there: the
# confs, the conf tree, the AKs and the results a game master changed or
# wrote in the program folder survive every build. With REFRESH on (the test
# build, whose program folder is the tests' fixture) every sample is copied
# over a copy that differs. Run by the build (target program_data) and by
# its ctest:
#   cmake -DSRC=<data folder> -DDEST=<program folder> [-DREFRESH=ON] -P CopySamples.cmake
if(NOT IS_DIRECTORY "${SRC}")
  message(FATAL_ERROR "no sample folder ${SRC}")
endif()
file(GLOB_RECURSE samples RELATIVE "${SRC}" LIST_DIRECTORIES false "${SRC}/*")
foreach(f IN LISTS samples)
  set(target "${DEST}/${f}")
  if(REFRESH OR NOT EXISTS "${target}")
    get_filename_component(dir "${target}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${SRC}/${f}" "${target}" ONLY_IF_DIFFERENT)
  endif()
endforeach()
