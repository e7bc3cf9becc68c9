# Debian's hardening flags for the native programs, from dpkg-buildflags with
# every hardening feature, as every Debian package carries them: fortified
# libc calls, a stack protector, relocations read-only and bound at start.
# The optimisation and debug flags stay the build type's, so the frames are
# made by the same code. Sanitizer, fuzz, web and Windows builds go without.
find_program(ZARVO_DPKG_BUILDFLAGS dpkg-buildflags)
if(WIN32 OR EMSCRIPTEN OR NOT ZARVO_DPKG_BUILDFLAGS OR CMAKE_CXX_FLAGS MATCHES "sanitize")
  return()
endif()

function(zarvo_deb_flags kind out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${ZARVO_DPKG_BUILDFLAGS} --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

zarvo_deb_flags(CPPFLAGS zarvo_cppflags)
zarvo_deb_flags(CXXFLAGS zarvo_cxxflags)
zarvo_deb_flags(LDFLAGS zarvo_ldflags)
add_compile_options(${zarvo_cppflags} ${zarvo_cxxflags})
add_link_options(${zarvo_ldflags})
