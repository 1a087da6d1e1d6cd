# Regenerates sample files into a scratch folder and compares them with the
# committed copies under data/, so that committed samples cannot drift from
# their generator. Run by ctest:
#   cmake -DTOOL=<generator> -DOUT=<scratch> -DREF=<data folder> -DFILES=<a;b;...> -P CheckSamples.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generator failed: ${rc}")
endif()
foreach(f ${FILES})
  if(NOT EXISTS ${REF}/${f})
    message(FATAL_ERROR "missing committed sample ${f}")
  endif()
  file(SHA256 ${OUT}/${f} fresh)
  file(SHA256 ${REF}/${f} committed)
  if(NOT fresh STREQUAL committed)
    message(FATAL_ERROR "committed sample ${f} differs from its generator")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
