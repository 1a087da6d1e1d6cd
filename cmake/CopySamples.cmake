# Lays the sample program folder data/ out in a folder of the build: the
# program folder (the tests' fixture) and the samples that the program lays
# out in the game master's data folder. A sample is copied only where the
# folder lacks that file (a sample added since), never over a file that is
# there, so what a test or a check left in the program folder stays; with
# REFRESH on (the test build, and the samples) every sample is copied over a
# copy that differs. Run by the build (target program_data) and by its ctest:
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
