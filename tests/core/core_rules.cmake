# The core's rules, as a script (cmake -P):
#   -DCHECK=data -DNM=<nm> -DLIBRARY=<libzarvo_core.a>
#       the core keeps no mutable state: nm lists no writable data in it but
#       section names, the guards of function-local constants (_ZGV) and the
#       sanitizers' own indicators.
#   -DCHECK=includes -DROOT=<source dir>
#       the layers point one way: core <- platform <- shared host layer <- hosts.
#       The folders are ordered image, settings, scene (the core), platform,
#       app (the shared host layer), and each includes only itself and the
#       folders before it, so no arrow runs upward and no two folders include
#       each other. The core declares the ports it needs (image/ports.h) and
#       includes nothing of platform/, never <windows.h>, and never tells the
#       platforms apart: it builds alike for every target. The hosts x11 and
#       wayland are siblings under linux/: neither includes the other.
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
  # From the top down, each folder and the lines it may not have: an include
  # of any folder above it, and in the core also <windows.h> or an #if on
  # _WIN32.
  set(above windows linux x11 wayland gtk render web tools bench tests)
  set(layers app platform scene settings image)
  foreach(layer IN LISTS layers)
    list(JOIN above "|" upper)
    set(${layer}_rule "^[ \t]*#[ \t]*include[ \t]*[\"<](${upper})/")
    if(layer MATCHES "^(scene|settings|image)$")
      set(${layer}_rule "^[ \t]*#[ \t]*(include[ \t]*[\"<]((${upper})/|windows\\.h)|if.*_WIN32)")
    endif()
    set(${layer}_globs ${layer}/*.h ${layer}/*.cpp)
    list(APPEND above ${layer})
  endforeach()
  # Sibling hosts: each folder and the sibling it may not include.
  foreach(pair x11:wayland wayland:x11)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 host)
    list(GET pair 1 sibling)
    list(APPEND layers ${host})
    set(${host}_rule "^[ \t]*#[ \t]*include[ \t]*[\"<]${sibling}/")
    set(${host}_globs ${host}/*.h ${host}/*.cpp)
  endforeach()
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
