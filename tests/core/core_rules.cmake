# The core's rules, as a script (cmake -P):
#   -DCHECK=data -DNM=<nm> -DLIBRARY=<libzarvo_core.a>
#       the core keeps no mutable state: nm lists no writable data in it but
#       section names, the guards of function-local constants (_ZGV) and the
#       sanitizers' own indicators.
#   -DCHECK=includes -DROOT=<source dir>
#       no file of the core includes a header of a host or a tool, nor
#       <windows.h>, nor tells the platforms apart: it builds alike for every
#       target. The ports' header (platform/platform.h) may do the last.
if(CHECK STREQUAL "data")
  execute_process(COMMAND ${NM} --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
  endif()
  string(REGEX MATCHALL "\n[0-9a-fA-F]+ [bBdDgGsSvVuC] [^\n]+" writable "\n${symbols}")
  list(FILTER writable EXCLUDE REGEX " (\\.|[^ ]*_ZGV|__odr_asan)")
  if(writable)
    string(REPLACE ";" "" writable "${writable}")
    message(FATAL_ERROR "writable data in the core:${writable}")
  endif()
elseif(CHECK STREQUAL "includes")
  file(GLOB core_files ${ROOT}/image/*.h ${ROOT}/image/*.cpp ${ROOT}/scene/*.h ${ROOT}/scene/*.cpp
       ${ROOT}/settings/*.h ${ROOT}/settings/*.cpp ${ROOT}/platform/platform.h)
  set(found "")
  foreach(file IN LISTS core_files)
    # platform.h, the ports' header, may tell the platforms apart; the core may not.
    set(rule "^[ \t]*#[ \t]*(include[ \t]*[\"<]((host|x11|render|web|tools)/|windows\\.h)|if.*_WIN32)")
    if(file MATCHES "/platform/")
      set(rule "^[ \t]*#[ \t]*include[ \t]*[\"<](host|x11|render|web|tools)/")
    endif()
    file(STRINGS ${file} lines REGEX "${rule}")
    foreach(line IN LISTS lines)
      string(APPEND found "\n  ${file}: ${line}")
    endforeach()
  endforeach()
  if(found)
    message(FATAL_ERROR "the core includes host or tool headers:${found}")
  endif()
else()
  message(FATAL_ERROR "CHECK is data or includes")
endif()
