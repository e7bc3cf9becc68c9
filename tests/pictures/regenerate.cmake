# Runs the picture generator into a fresh folder and compares every file it
# writes with the committed one, byte for byte.
# cmake -DGENERATOR=... -DRESOURCES=... -DWORK=... -P regenerate.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "picturegen failed: ${result}")
endif()
file(GLOB made RELATIVE "${WORK}" "${WORK}/*")
list(LENGTH made count)
if(count LESS 13)
  message(FATAL_ERROR "expected at least 13 files from picturegen, got ${count}: ${made}")
endif()
set(stale "")
foreach(name IN LISTS made)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${RESOURCES}/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND stale ${name})
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(stale)
  message(FATAL_ERROR "committed pictures differ from the generator's: ${stale} "
                      "(run picturegen resources/ and commit)")
endif()
