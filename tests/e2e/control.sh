# The end-to-end cases on one 1024 x 768 true-colour display: command-line
# tails and exit codes, the settings dialog, the password change, previews,
# the full-screen window and its dismissal, a second start, the password.

readonly saver_class=WindowsScreenSaverClass
readonly settings_key='Software\Quillmark\ScreenSavers\Zarvo'
readonly desktop_key='Control Panel\Desktop'
readonly standin_key='Software\ZarvoTest\PasswordStandIn'
readonly mpr_key='Software\ZarvoTest\MprStandIn'
readonly WM_CLOSE=16 WM_SETTEXT=12 WM_COMMAND=273 WM_HSCROLL=276 WM_SYSCOMMAND=274
readonly WM_KEYUP=257 WM_CHAR=258 WM_SYSKEYUP=261 WM_MOUSEWHEEL=522 WM_LBUTTONDBLCLK=515
readonly WM_LBUTTONUP=514 WM_RBUTTONUP=517

# little-endian hex of 32-bit numbers: le32 1 2 3
le32() {
  local v
  for v in "$@"; do printf '%02x%02x%02x%02x' $((v & 255)) $(((v >> 8) & 255)) $(((v >> 16) & 255)) $(((v >> 24) & 255)); done
}

reg_number() {  # reg_number KEY VALUE: a REG_DWORD as a decimal (0 when absent)
  if drv reg-get "$1" "$2"; then
    local hex=${reply#* }
    printf '%d' $((16#${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}))
  else
    printf 0
  fi
}

set_dword() { drv reg-set "$1" "$2" 4 "$(le32 "$3")" >/dev/null || fail "cannot set $2"; }

# wait_shown HWND: FindWindow can see a window while it is still being
# created, before WS_VISIBLE is set; styles are read once it is shown.
wait_shown() { wait_for 5 window_visible "$1"; }

is_foreground() { drv foreground && [ "$reply" = "$1" ]; }

# Waits for the full-screen window to be shown, and to have the focus, as a
# key pressed before Wine gives it the focus goes nowhere; its handle in $saver.
find_saver() {
  saver=""
  drv find "$saver_class" "Screen Saver" $(scaled 15000) || return 1
  saver=$reply
  wait_shown "$saver"
  wait_for 5 is_foreground "$saver"
}

# still_running ID: after input that must not close the saver. A negative
# can only be watched for a while: the saver gets 1 s to (wrongly) end.
still_running() {
  if drv wait-exit "$1" "$(scaled 1000)"; then return 1; fi
  [ "$reply" = timeout ]
}

ends_with() {  # ends_with ID CODE WHAT
  check "$3" "$2" "$(exit_code_of "$1" 15)"
}

# --- command-line tails -----------------------------------------------------

case_refused_tails() {
  log "tails that are refused end with -1 and show nothing"
  local parent tail i=0
  drv parent 0 0 200 150 && parent=$reply
  for tail in "/x" "1" "?" $'/\ts' "/p" "/p 0" "/p abc" $'/p\t'"$parent" "/p 4294967295"; do
    i=$((i + 1))
    saver_start "bad$i" "$tail"
    ends_with "bad$i" -1 "exit code of tail '$tail'"
  done
  drv destroy "$parent" >/dev/null
}

case_change_password() {
  log "change-password tails call the stand-in MPR.DLL with SCRSAVE and a parent"
  local parent foreground
  drv parent 0 0 200 150 && parent=$reply
  drv reg-del "$mpr_key" "" >/dev/null
  saver_start pw1 "/a $parent"
  ends_with pw1 0 "exit code of '/a $parent'"
  check "provider passed by '/a'" "1 53435253415645" "$(drv reg-get "$mpr_key" Provider; echo "$reply" | cut -c1-16)"
  check "parent passed by '/a $parent'" "$parent" "$(reg_number "$mpr_key" Parent)"

  drv forward "$parent" >/dev/null
  drv foreground; foreground=$reply
  for tail in "/a" "/a 999999"; do
    drv reg-del "$mpr_key" "" >/dev/null
    saver_start pw2 "$tail"
    ends_with pw2 0 "exit code of '$tail'"
    check "parent passed by '$tail' is the foreground window" "$foreground" "$(reg_number "$mpr_key" Parent)"
  done
  drv destroy "$parent" >/dev/null
}

# --- the settings dialog ------------------------------------------------------

# The dialog is shown once WM_INITDIALOG has set its scroll bars up.
find_dialog() {
  if drv find "#32770" "Screen Saver Properties" $(scaled 15000); then
    dialog=$reply
    wait_for 15 window_visible "$dialog" && return 0
  fi
  dialog=""
  fail "no settings dialog: $reply"
  return 1
}

# scroll_state ID: "min max position" of scroll bar ID of the dialog
scroll_state() {
  if drv scroll "$dialog" "$1"; then echo "${reply% *}"; else echo "$reply"; fi
}

window_visible() {
  drv info "$1" || return 1
  local -a f
  read -r -a f <<<"$reply"
  [ "${f[10]}" = 1 ]
}

scroll_handle() { drv scroll "$dialog" "$1" && echo "${reply##* }"; }

readonly CB_SETCURSEL=334
# list_state ID: "selection item..." of a drop-down list of the dialog.
list_state() { if drv list "$dialog" "$1"; then echo "${reply#= }"; else echo "$reply"; fi; }
readonly picture_items="Centred Whole%20multiples Fit Fill" monitor_items="Every%20monitor Primary%20only"

select_items() {  # select_items PICTURE-SIZE MONITORS: as the user picks them
  drv item "$dialog" 1110 && drv send "${reply#= }" $CB_SETCURSEL "$1" 0 >/dev/null
  drv item "$dialog" 1111 && drv send "${reply#= }" $CB_SETCURSEL "$2" 0 >/dev/null
}

display_settings_stored() { echo "$(reg_number "$settings_key" PictureSize) $(reg_number "$settings_key" Monitors)"; }

case_configure_tails() {
  log "configure tails open the dialog, owned by the foreground window or by none"
  local owner tail i=0
  drv reg-del "$settings_key" "" >/dev/null
  drv parent 0 0 200 150 && owner=$reply
  saver_start cfg0 ""
  if find_dialog; then
    drv info "$dialog"
    check "owner of the dialog for an empty tail" 0 "$(echo "$reply" | cut -d' ' -f9)"
    drv post "$dialog" $WM_COMMAND 2 0 >/dev/null
  fi
  ends_with cfg0 0 "exit code after Cancel"
  for tail in "/c" "-C" "c:1234" "/c 1234"; do
    i=$((i + 1))
    drv forward "$owner" >/dev/null
    saver_start "cfg$i" "$tail"
    if find_dialog; then
      drv info "$dialog"
      check "owner of the dialog for '$tail'" "$owner" "$(echo "$reply" | cut -d' ' -f9)"
      drv post "$dialog" $WM_COMMAND 2 0 >/dev/null
    fi
    ends_with "cfg$i" 0 "exit code of '$tail' after Cancel"
  done
  drv destroy "$owner" >/dev/null
}

# hscroll BAR CODE [THUMB]: a scroll request as the scroll bar sends it.
hscroll() {
  local bar=$1 code=$2 thumb=${3:-0}
  drv send "$dialog" $WM_HSCROLL $(((thumb << 16) | code)) "$(scroll_handle "$bar")" >/dev/null
}

# rect_of ID: "left top right bottom" of a control of the dialog, or of the
# dialog itself for 0, in screen pixels.
rect_of() {
  local window=$dialog
  if [ "$1" != 0 ]; then
    drv item "$dialog" "$1" || { echo "$reply"; return; }
    window=$reply
  fi
  drv info "$window" || { echo "$reply"; return; }
  local -a f
  read -r -a f <<<"$reply"
  echo "${f[3]} ${f[4]} $((f[3] + f[5])) $((f[4] + f[6]))"
}

# The two lists sit beside the Speed area (its scroll bar 1104) and under
# the Walkway area (1103), one above the other, and above OK and Cancel;
# everything inside the dialog, and the dialog inside 640 x 480.
dialog_layout() {
  local -A r
  local id
  for id in 0 1 2 1103 1104 1110 1111; do r[$id]=$(rect_of "$id"); done
  local -a d pic mon ok cancel walkway speed
  read -r -a d <<<"${r[0]}"
  read -r -a pic <<<"${r[1110]}"
  read -r -a mon <<<"${r[1111]}"
  read -r -a ok <<<"${r[1]}"
  read -r -a cancel <<<"${r[2]}"
  read -r -a walkway <<<"${r[1103]}"
  read -r -a speed <<<"${r[1104]}"
  check "dialog within 640 x 480" "1 1" "$(((d[2] - d[0]) <= 640)) $(((d[3] - d[1]) <= 480))"
  check "picture-size list under the Walkway area, beside the Speed area" "1 1" \
    "$((pic[1] >= walkway[3])) $((pic[0] >= speed[2]))"
  check "picture-size list above the monitors list" 1 "$((pic[3] <= mon[1]))"
  check "monitors list above OK and Cancel" "1 1" "$((mon[3] <= ok[1])) $((mon[3] <= cancel[1]))"
  local rect
  local -a c
  for rect in "${r[1110]}" "${r[1111]}" "${r[1]}" "${r[2]}"; do
    read -r -a c <<<"$rect"
    check "control at $rect inside the dialog at ${r[0]}" "1 1 1 1" \
      "$((c[0] >= d[0])) $((c[1] >= d[1])) $((c[2] <= d[2])) $((c[3] <= d[3]))"
  done
}

case_dialog() {
  log "the dialog opens on the defaults, follows every scroll code, and OK stores 72 bytes"
  drv reg-del "$settings_key" "" >/dev/null
  saver_start dlg1 ""
  find_dialog || return
  # The manifest's dependency brings the controls of Common Controls 6.
  drv info "$dialog"
  drv module "$(echo "$reply" | cut -d' ' -f10)" comctl32.dll
  checks=$((checks + 1))
  grep -qi 'winsxs.*common-controls_6595b64144ccf1df_6\.' <<<"$reply" ||
    fail "the dialog's COMCTL32.DLL: expected Common Controls 6 from winsxs, got '$reply'"
  check "control with the keyboard as the dialog opens is OK" "$(drv item "$dialog" 1; echo "$reply")" \
    "$(drv focus "$dialog"; echo "$reply")"
  check "1100 at start" "20 150 100" "$(scroll_state 1100)"
  check "1101 at start" "30 125 50" "$(scroll_state 1101)"
  check "1102 at start" "1 55 30" "$(scroll_state 1102)"
  check "1103 at start" "5 100 50" "$(scroll_state 1103)"
  check "1104 at start" "0 120 2" "$(scroll_state 1104)"
  check "picture-size list at start" "0 $picture_items" "$(list_state 1110)"
  check "monitors list at start" "0 $monitor_items" "$(list_state 1111)"
  drv texts "$dialog"
  check "labels of the lists, then the buttons" "Picture%20size: ~ Monitors: ~ OK Cancel" \
    "$(grep -o 'Picture.*' <<<"$reply")"
  dialog_layout
  # Fill, Windows' word for cover, the size after Fit: stored as 3.
  select_items 3 1
  local step code thumb expected
  # code thumb expected-position, on 1103 "Number of walkers" (5..100)
  for step in "0 0 49" "1 0 50" "2 0 49" "3 0 50" "4 77 77" "5 10 77" "8 0 77" "9 0 77" \
              "6 0 5" "0 0 5" "7 0 100" "1 0 100" "3 0 100" "4 65535 100" "4 3 5"; do
    read -r code thumb expected <<<"$step"
    hscroll 1103 "$code" "$thumb"
    check "1103 after code $code thumb $thumb" "5 100 $expected" "$(scroll_state 1103)"
  done
  hscroll 1103 7
  hscroll 1104 6
  hscroll 1104 0
  check "1104 after SB_LEFT and a left arrow" "0 120 0" "$(scroll_state 1104)"
  hscroll 1100 1
  check "1100 after a right arrow" "20 150 101" "$(scroll_state 1100)"
  drv post "$dialog" $WM_COMMAND 1 0 >/dev/null
  ends_with dlg1 1 "exit code after OK"
  local stored
  stored="3 $(le32 20 150 101 30 125 50 1 55 30 5 100 100 0 120 0 100 600 120)"
  check "record stored by OK" "$stored" "$(drv reg-get "$settings_key" Config; echo "$reply")"
  check "display settings stored by OK" "3 1" "$(display_settings_stored)"

  log "Cancel after changes stores nothing; the dialog opens on the stored values"
  saver_start dlg2 ""
  find_dialog || return
  check "1103 opens on the stored value" "5 100 100" "$(scroll_state 1103)"
  check "1104 opens on the stored value" "0 120 0" "$(scroll_state 1104)"
  check "picture-size list opens on the stored value" "3 $picture_items" "$(list_state 1110)"
  check "monitors list opens on the stored value" "1 $monitor_items" "$(list_state 1111)"
  select_items 1 0
  hscroll 1103 6
  hscroll 1101 7
  drv post "$dialog" $WM_COMMAND 2 0 >/dev/null
  ends_with dlg2 0 "exit code after Cancel"
  check "record after Cancel" "$stored" "$(drv reg-get "$settings_key" Config; echo "$reply")"
  check "display settings after Cancel" "3 1" "$(display_settings_stored)"

  log "a stored record with other ranges changes the scroll ranges; the sixth entry survives OK"
  drv reg-set "$settings_key" Config 3 \
    "$(le32 20 150 100 30 125 50 1 55 30 10 20 15 0 120 2 100 600 555)" >/dev/null
  saver_start dlg3 ""
  find_dialog || return
  check "1103 with the stored range 10..20" "10 20 15" "$(scroll_state 1103)"
  hscroll 1103 7
  drv post "$dialog" $WM_COMMAND 1 0 >/dev/null
  ends_with dlg3 1 "exit code after OK"
  check "record after OK on the stored ranges" \
    "3 $(le32 20 150 100 30 125 50 1 55 30 10 20 20 0 120 2 100 600 555)" \
    "$(drv reg-get "$settings_key" Config; echo "$reply")"

  log "a stored value of 73 bytes is ignored; unknown display settings open as the defaults"
  drv reg-set "$settings_key" Config 3 "$(le32 1 2 3 1 2 3 1 2 3 1 2 3 1 2 3 1 2 3)00" >/dev/null
  set_dword "$settings_key" PictureSize 4
  drv reg-set "$settings_key" Monitors 3 "$(le32 1)" >/dev/null
  saver_start dlg4 ""
  find_dialog || return
  check "1103 with a 73-byte value" "5 100 50" "$(scroll_state 1103)"
  check "picture-size list with PictureSize 4" "0 $picture_items" "$(list_state 1110)"
  check "monitors list with a REG_BINARY Monitors" "0 $monitor_items" "$(list_state 1111)"
  drv post "$dialog" $WM_COMMAND 2 0 >/dev/null
  ends_with dlg4 0 "exit code after Cancel"
  drv reg-del "$settings_key" "" >/dev/null
}

# --- previews -----------------------------------------------------------------

# find_preview PARENT: the preview child of the driver's window, in $preview.
find_preview() {
  if drv find "$saver_class" "Preview" $(scaled 15000) "$1"; then
    preview=$reply
    wait_shown "$preview" && return 0
  fi
  preview=""
  fail "no preview in window $1: $reply"
  return 1
}

case_preview() {
  log "a preview is a child of the given window, ignores input, and ends with it"
  local parent
  drv parent 100 100 300 200 && parent=$reply
  saver_start prv1 "/p $parent"
  find_preview "$parent" || return
  drv info "$preview"
  local -a f
  read -r -a f <<<"$reply"
  check "preview style" 0x52000000 "${f[1]}"
  check "preview extended style has no WS_EX_TOPMOST" 0 $((f[2] & 8))
  check "preview place and size" "100 100 300 200" "${f[3]} ${f[4]} ${f[5]} ${f[6]}"
  check "preview parent" "$parent" "${f[7]}"
  check "no full-screen window for a preview" "not found" "$(drv find "$saver_class" "Screen Saver" 0; echo "$reply")"
  # Wine draws nothing of a child window whose parent belongs to another
  # process, so the preview's picture itself cannot be looked at here.
  # Input does nothing; a right click reaches the parent as WM_CONTEXTMENU.
  xdotool mousemove 250 200 click 1 key a mousemove 280 230
  xdotool click 3
  check_true "the preview ended on input" still_running prv1
  check_true "a right click did not reach the parent as WM_CONTEXTMENU" \
    wait_for 5 parent_got_context_menu
  drv settext "$preview" "Changed"
  check "WM_SETTEXT result in the preview" 0 "$reply"
  drv info "$preview"
  check "preview title after WM_SETTEXT" Preview "${reply##* }"
  drv destroy "$parent" >/dev/null
  ends_with prv1 0 "preview exit code once its parent is destroyed"

  local form tail i=1
  for form in "/p%s" "-P   %s" "/l %s"; do
    i=$((i + 1))
    drv parent 100 100 300 200 && parent=$reply
    # shellcheck disable=SC2059
    tail=$(printf -- "$form" "$parent")
    saver_start "prv$i" "$tail"
    find_preview "$parent"
    drv destroy "$parent" >/dev/null
    ends_with "prv$i" 0 "exit code of preview tail '$form'"
  done
}


parent_got_context_menu() {
  drv parent-stats
  [ "${reply%% *}" -ge 1 ]
}

parent_helps() { drv parent-stats && echo "${reply##* }"; }
parent_got_help() { [ "$(parent_helps)" -ge "$1" ]; }
less_than() { [ "$1" -lt "$2" ]; }

case_preview_help() {
  log "a preview hands WM_HELP to its parent and waits at most a second for one that does not answer"
  local parent helps
  drv parent 100 100 300 200 && parent=$reply
  saver_start prvh "/p $parent"
  find_preview "$parent" || return
  helps=$(parent_helps)
  drv help "$preview" "$(scaled 5000)" || fail "WM_HELP to a preview whose parent answers: $reply"
  check_true "WM_HELP did not reach the parent" wait_for 5 parent_got_help $((helps + 1))
  # The parents' thread sleeps: the parent is hung for that long.
  drv hang-parents "$(scaled 8000)" >/dev/null
  if drv help "$preview" "$(scaled 6000)"; then
    log "WM_HELP to the preview returned after $reply ms"
    check_true "WM_HELP took $reply ms with a parent that does not answer" less_than "$reply" "$(scaled 3000)"
  else
    fail "the preview waited for a parent that does not answer: $reply"
  fi
  check_true "the preview ended while its parent did not answer" still_running prvh
  drv destroy "$parent" >/dev/null  # once the parents' thread is awake again
  ends_with prvh 0 "preview exit code after its parent stopped answering for a while"
}

case_several_savers() {
  log "two previews and a full-screen saver run at once"
  local p1 p2
  drv parent 0 0 200 150 && p1=$reply
  drv parent 300 0 200 150 && p2=$reply
  saver_start many1 "/p $p1"
  saver_start many2 "/p $p2"
  find_preview "$p1"
  find_preview "$p2"
  xdotool mousemove 700 500
  saver_start many3 "/s"
  find_saver || fail "no full-screen saver beside two previews"
  check_true "first preview ended" still_running many1
  check_true "second preview ended" still_running many2
  xdotool key a
  ends_with many3 0 "full-screen exit code beside previews"
  check_true "a key for the full screen ended a preview" still_running many1
  drv destroy "$p1" >/dev/null
  drv destroy "$p2" >/dev/null
  ends_with many1 0 "first preview exit code"
  ends_with many2 0 "second preview exit code"
}

# --- the full-screen saver ----------------------------------------------------

# start_full_screen ID TAIL: started with the cursor at (500, 400), window found.
start_full_screen() {
  xdotool mousemove 500 400
  saver_start "$1" "$2"
  find_saver || { fail "no full-screen window for '$2'"; return 1; }
}

case_full_screen_window() {
  log "the full-screen window: class, title, styles, place; WM_SETTEXT and SC_SCREENSAVE"
  start_full_screen fs1 "/s" || return
  drv info "$saver"
  local -a f
  read -r -a f <<<"$reply"
  check "full-screen class" "$saver_class" "${f[0]}"
  check "full-screen style" 0x96000000 "${f[1]}"
  check "full-screen extended style has WS_EX_TOPMOST" 8 $((f[2] & 8))
  check "full-screen place and size" "0 0 1024 768" "${f[3]} ${f[4]} ${f[5]} ${f[6]}"
  drv settext "$saver" "Changed"
  check "WM_SETTEXT result" 0 "$reply"
  drv info "$saver"
  check "title after WM_SETTEXT" "Screen%20Saver" "${reply##* }"
  drv send "$saver" $WM_SYSCOMMAND 0xF140 0
  check "SC_SCREENSAVE result" 0 "$reply"
  xdotool click 1
  ends_with fs1 0 "exit code after a mouse button"

  local tail i=1
  for tail in "-s" "S" "/-/S" "  //s" "/sx"; do
    i=$((i + 1))
    start_full_screen "fs$i" "$tail" || continue
    xdotool key space
    ends_with "fs$i" 0 "exit code of '$tail' after a key"
  done
}

case_dismissal() {
  log "mouse moves of 4 pixels from the anchor do not close, 5 do"
  start_full_screen mm1 "/s" || return
  xdotool mousemove 502 402
  check_true "a move of 2 right and 2 down closed the saver" still_running mm1
  xdotool mousemove 503 402
  ends_with mm1 0 "exit code after a move 5 pixels away"

  log "one-pixel steps close on the fifth pixel"
  start_full_screen mm2 "/s" || return
  local x
  for x in 501 502 503 504; do
    xdotool mousemove "$x" 400
    check_true "a move to $((x - 500)) pixels away closed the saver" still_running mm2
  done
  xdotool mousemove 505 400
  ends_with mm2 0 "exit code on the fifth pixel"

  log "key releases, characters, double-clicks and the wheel do not close"
  start_full_screen keys "/s" || return
  xdotool keyup a
  xdotool click 4 click 5
  drv post "$saver" $WM_KEYUP 65 0 >/dev/null
  drv post "$saver" $WM_SYSKEYUP 18 0 >/dev/null
  drv post "$saver" $WM_CHAR 97 0 >/dev/null
  drv post "$saver" $WM_MOUSEWHEEL $((120 << 16)) 0 >/dev/null
  drv post "$saver" $WM_LBUTTONDBLCLK 0 0 >/dev/null
  drv post "$saver" $WM_LBUTTONUP 0 0 >/dev/null
  drv post "$saver" $WM_RBUTTONUP 0 0 >/dev/null
  check_true "releases, characters, double-clicks or the wheel closed the saver" still_running keys
  xdotool key a
  ends_with keys 0 "exit code after a key press"
}

case_second_start() {
  log "a second /s brings the running saver forward and ends with 0, loading no verifier"
  set_dword "$desktop_key" ScreenSaveUsePassword 1
  drv reg-del "$standin_key" "" >/dev/null
  set_dword "$standin_key" Answer 1
  start_full_screen first "/s" || return
  local first=$saver parent
  check "verifier loads by the first saver" 1 "$(reg_number "$standin_key" Loads)"
  drv parent 0 0 200 150 && parent=$reply
  drv forward "$parent" >/dev/null
  saver_start second "/s"
  ends_with second 0 "exit code of the second /s"
  check_true "the first saver ended" still_running first
  check "foreground window after the second /s" "$first" "$(drv foreground; echo "$reply")"
  check "verifier loads after the second /s" 1 "$(reg_number "$standin_key" Loads)"
  drv destroy "$parent" >/dev/null
  xdotool key a
  ends_with first 0 "exit code of the first saver"
}

case_password() {
  log "with ScreenSaveUsePassword: a refused verification keeps the saver, a second close within 200 ms is ignored"
  set_dword "$desktop_key" ScreenSaveUsePassword 1
  drv reg-del "$standin_key" "" >/dev/null
  set_dword "$standin_key" Answer 0
  set_dword "$standin_key" PostClose 1
  start_full_screen pwd1 "/s" || return
  check "verifier loaded once" 1 "$(reg_number "$standin_key" Loads)"
  xdotool key a
  wait_for 10 calls_reach 1 || fail "the verifier was not asked after a key"
  check_true "a refused verification closed the saver" still_running pwd1
  check "verifier calls after a refusal and a close within 200 ms" 1 "$(reg_number "$standin_key" Calls)"
  check "screen-saver-running state during verification (1 on, 2 off)" 1 \
    "$(reg_number "$standin_key" RunningAtVerify)"
  set_dword "$standin_key" PostClose 0
  set_dword "$standin_key" Answer 1
  drv post "$saver" $WM_CLOSE 0 0 >/dev/null
  ends_with pwd1 0 "exit code after a granted verification"
  check "verifier calls in all" 2 "$(reg_number "$standin_key" Calls)"

  log "ScreenSaveUsePassword as 4 zero bytes, or absent: no library is loaded"
  local setting
  for setting in zero absent; do
    drv reg-del "$standin_key" "" >/dev/null
    if [ $setting = zero ]; then set_dword "$desktop_key" ScreenSaveUsePassword 0
    else drv reg-del "$desktop_key" ScreenSaveUsePassword >/dev/null; fi
    start_full_screen "pwd-$setting" "/s" || continue
    xdotool key a
    ends_with "pwd-$setting" 0 "exit code with the setting $setting"
    check "verifier loads with the setting $setting" 0 "$(reg_number "$standin_key" Loads)"
  done

  log "a PASSWORD.CPL in the current folder only, not beside the program, is not loaded"
  mkdir -p "$work/alone" "$work/current"
  cp "$stage/Zarvo.scr" "$work/alone/"
  cp "$stage/PASSWORD.CPL" "$work/current/"
  set_dword "$desktop_key" ScreenSaveUsePassword 1
  drv reg-del "$standin_key" "" >/dev/null
  set_dword "$standin_key" Answer 1
  xdotool mousemove 500 400
  drv start pwd-cwd "$work/alone/Zarvo.scr" /s "$work/current" || fail "cannot start Zarvo.scr in $work/current: $reply"
  find_saver || fail "no full-screen window started in $work/current"
  check "verifier loads from the current folder" 0 "$(reg_number "$standin_key" Loads)"
  xdotool key a
  ends_with pwd-cwd 0 "exit code with a verifier in the current folder only"
}

calls_reach() { [ "$(reg_number "$standin_key" Calls)" -ge "$1" ]; }

run_control_cases() {
  make_prefix || { fail "no Wine prefix"; return; }
  start_xvfb 1024x768x24 || { fail "no display"; return; }
  start_driver || { fail "no driver"; return; }
  case_refused_tails
  case_change_password
  case_configure_tails
  case_dialog
  case_preview
  case_preview_help
  case_several_savers
  case_full_screen_window
  case_dismissal
  case_second_start
  case_password
}
