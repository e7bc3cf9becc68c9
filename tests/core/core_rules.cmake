# The core's rules, as a script (cmake -P):
#   -DCHECK=data -DNM=<nm> -DLIBRARY=<libzarvo_core.a>
#       the core keeps no mutable state: nm lists no writable data in it but
#       section names, the guards of function-local constants (_ZGV) and the
#       sanitizers' own indicators.
#   -DCHECK=includes -DROOT=<source dir>
#       the layers point one way: core <- ports <- shared host layer <- hosts.
#       The core (image/, scene/, settings/) includes only the core and the
#       ports' header (platform/ports.h), never <windows.h>, and never tells
#       the platforms apart: it builds alike for every target. The platform
#       (platform/) includes no shared-layer or host header; the shared layer
#       (app/) no host or tool header.
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
  set(hosts "host|x11|wayland|render|web|tools|bench|tests")
  # Each layer, the files it holds, and the include lines it may not have.
  set(layers core platform app)
  set(core_globs image/*.h image/*.cpp scene/*.h scene/*.cpp settings/*.h settings/*.cpp)
  set(core_rule "^[ \t]*#[ \t]*(include[ \t]*[\"<](((app|${hosts})/)|platform/services\\.h|windows\\.h)|if.*_WIN32)")
  set(platform_globs platform/*.h platform/*.cpp)
  set(platform_rule "^[ \t]*#[ \t]*include[ \t]*[\"<](app|${hosts})/")
  set(app_globs app/*.h app/*.cpp)
  set(app_rule "^[ \t]*#[ \t]*include[ \t]*[\"<](${hosts})/")
  set(found "")
  foreach(layer IN LISTS layers)
    list(TRANSFORM ${layer}_globs PREPEND ${ROOT}/)
    file(GLOB files ${${layer}_globs})
    foreach(file IN LISTS files)
      file(STRINGS ${file} lines REGEX "${${layer}_rule}")
      foreach(line IN LISTS lines)
        string(APPEND found "\n  ${layer}: ${file}: ${line}")
      endforeach()
    endforeach()
  endforeach()
  if(found)
    message(FATAL_ERROR "an include points against the layers:${found}")
  endif()
else()
  message(FATAL_ERROR "CHECK is data or includes")
endif()
