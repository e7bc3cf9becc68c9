# How this machine runs the 32-bit Windows tests; sourced by test-all.sh.
# The 32-bit Wine loader is a 32-bit Linux program, which some kernels cannot
# run at all ("Exec format error"). Three routes:
#   native    the kernel runs 32-bit programs: every test, as on Windows;
#   emulated  it does not, but qemu-user can run them through a binfmt_misc
#             handler of ours: the unit program and one end-to-end smoke;
#   skipped   neither: the build and the import/export check only.
# ZARVO_WIN32_ROUTE=native|emulated|skipped forces a route.

readonly handler_name=zarvo-i386
readonly binfmt_dir=/proc/sys/fs/binfmt_misc
# Debian's wine32 package: the loader every 32-bit Windows program starts with.
readonly wine32_loader=/usr/lib/wine/wine
# The ELF identification and header of a 32-bit x86 executable, and the mask
# that leaves out the OS ABI and the version bytes.
readonly i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
readonly i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# A 96-byte 32-bit x86 program that exits with 7 (exit through int 0x80).
runs_i386_program() {
  local probe status
  probe=$(mktemp) || return 1
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ "$status" -eq 7 ]
}

# binfmt_misc mounted and writable: needs root.
binfmt_ready() {
  [ "$(id -u)" -eq 0 ] || return 1
  [ -w "$binfmt_dir/register" ] && return 0
  mount -t binfmt_misc binfmt_misc "$binfmt_dir" 2>/dev/null
  [ -w "$binfmt_dir/register" ]
}

register_i386_handler() {
  [ -e "$binfmt_dir/$handler_name" ] && return 0
  # F: the kernel opens the interpreter now, so it serves every namespace.
  printf ':%s:M::%s:%s:/usr/bin/qemu-i386-static:F' \
    "$handler_name" "$i386_magic" "$i386_mask" >"$binfmt_dir/register"
}

remove_i386_handler() {
  [ -e "$binfmt_dir/$handler_name" ] && echo -1 >"$binfmt_dir/$handler_name"
  return 0
}

# Sets route and route_reason.
choose_win32_route() {
  # A handler of ours is only ever left by an interrupted run; without it
  # the probe below sees what the kernel itself can do.
  [ -e "$binfmt_dir/$handler_name" ] && remove_i386_handler
  case "${ZARVO_WIN32_ROUTE:-}" in
    native|emulated|skipped)
      route=$ZARVO_WIN32_ROUTE
      route_reason="forced by ZARVO_WIN32_ROUTE"
      return ;;
    "") ;;
    *)
      echo "ZARVO_WIN32_ROUTE must be native, emulated or skipped, not '$ZARVO_WIN32_ROUTE'" >&2
      exit 2 ;;
  esac
  if [ ! -x "$wine32_loader" ]; then
    route=skipped
    route_reason="32-bit Wine is not installed ($wine32_loader is missing; see the deps step)"
  elif runs_i386_program; then
    route=native
    route_reason="this kernel runs 32-bit programs"
  elif binfmt_ready; then
    route=emulated
    route_reason="this kernel cannot run 32-bit programs; qemu-user runs the 32-bit Wine"
  else
    route=skipped
    route_reason="this kernel cannot run 32-bit programs and qemu-user cannot be set up (needs root and binfmt_misc)"
  fi
}
