# The end-to-end cases that need displays of their own: the picture at each
# standard size and on a larger screen against zarvo-render's, the animated
# strip, a palette display, the refusal on a screen too narrow, a scaled
# display, the strip after something else drew over it, and two monitors
# side by side as Windows sees them.

# Window rectangle of the animated strip at each size: the frame rectangle
# of the resolution class, moved by the picture's offset.
strip_of() {
  case "$1" in
    1024x768) echo "90 366 917 334" ;;
    800x600) echo "70 286 727 271" ;;
    640x480) echo "56 228 592 228" ;;
    1280x1024) echo "218 494 917 334" ;;
    # class 0 on a shorter screen: the 1024 x 768 picture cropped 24 rows top and bottom
    1280x720) echo "218 342 917 334" ;;
  esac
}

# One display session: Xvfb, driver; the Wine server is left to end on its
# own afterwards so the next display starts from a clean state.
with_display() {
  start_xvfb "$1" || { fail "no display $1"; return 1; }
  start_driver || { fail "no driver on $1"; stop_xvfb; return 1; }
}

end_display() {
  stop_driver
  wait_wine_idle
  stop_xvfb
}

static_part_matches() {  # static_part_matches SIZE: the screenshot outside the strip equals the render
  local size=$1 x y w h
  read -r x y w h <<<"$(strip_of "$size")"
  shot "$work/$size-a.png"
  mask "$work/$size-a.png" "$x" "$y" "$w" "$h" "$work/$size-a-masked.png"
  last_difference=$(differing_pixels "$work/$size-ref-masked.png" "$work/$size-a-masked.png")
  [ "$last_difference" = 0 ]
}

case_picture() {  # case_picture WIDTHxHEIGHT [DPI]: DPI is the display's scale the saver sees
  local size=$1 dpi=${2:-96} x y w h
  log "full screen on a $size display at $dpi dpi: the picture matches zarvo-render's outside the strip, the strip moves"
  read -r x y w h <<<"$(strip_of "$size")"
  if ! "$ZARVO_RENDER" --size "$size" --seed 1 --ticks 0 --out "$work/$size-ref.png" >/dev/null; then
    fail "zarvo-render ($ZARVO_RENDER) could not draw $size"; return
  fi
  mask "$work/$size-ref.png" "$x" "$y" "$w" "$h" "$work/$size-ref-masked.png"
  with_display "${size}x24" || return
  drv dpi
  check "pixels per logical inch at $size" "$dpi" "$reply"
  xdotool mousemove 10 10
  saver_start pic "/s"
  if find_saver; then
    drv info "$saver"
    local -a f
    read -r -a f <<<"$reply"
    check "window class and title at $size" "$saver_class Screen%20Saver" "${f[0]} ${f[11]}"
    check "window place at $size" "0 0 ${size%x*} ${size#*x}" "${f[3]} ${f[4]} ${f[5]} ${f[6]}"
    last_difference="no screenshot"
    wait_for 20 static_part_matches "$size" ||
      fail "picture at $size: expected 0 pixels outside the strip to differ from zarvo-render, got $last_difference"
    # The 1024 x 768 picture is centred; the margins keep the black background.
    local margins=""
    [ "$size" = 1280x1024 ] && margins="1280x128+0+0 1280x128+0+896 128x768+0+128 128x768+1152+128"
    [ "$size" = 1280x720 ] && margins="128x720+0+0 128x720+1152+0"
    if [ -n "$margins" ]; then
      local margin
      for margin in $margins; do
        check "brightest pixel of the margin $margin" 0 \
          "$(convert "$work/$size-a.png" -crop "$margin" +repage -format '%[max]' info:)"
      done
    fi
    crop "$work/$size-a.png" "${w}x${h}+${x}+${y}" "$work/$size-strip-a.png"
    wait_for 10 strip_changed "$size" "$w" "$h" "$x" "$y" ||
      fail "the strip at $size did not change between screenshots"
    xdotool key a
    ends_with pic 0 "exit code at $size"
  else
    fail "no full-screen window at $size"
  fi
  end_display
}

strip_changed() {
  shot "$work/$1-b.png"
  crop "$work/$1-b.png" "${2}x${3}+${4}+${5}" "$work/$1-strip-b.png"
  [ "$(differing_pixels "$work/$1-strip-a.png" "$work/$1-strip-b.png")" -gt 0 ]
}

# case_palette_display SIZE PICTURE-SIZE STRIP: the strip ("x y w h") is
# where the frames land at that picture size.
case_palette_display() {
  local size=$1 picture_size=$2 x y w h
  read -r x y w h <<<"$3"
  log "on a $size palette display (depth 8), picture size $picture_size, the saver starts, draws and ends normally"
  with_display "${size}x8" || return
  set_dword "$settings_key" PictureSize "$picture_size"
  xdotool mousemove 10 10
  saver_start pal "/s"
  if find_saver; then
    wait_for 20 picture_drawn ||
      fail "nothing drawn on the depth-8 display: $(convert "$work/pal.png" -format '%k colours' info:)"
    crop "$work/pal.png" "${w}x${h}+${x}+${y}" "$work/pal-strip-a.png"
    wait_for 10 strip_changed pal "$w" "$h" "$x" "$y" ||
      fail "the strip on the $size depth-8 display did not change between screenshots"
    xdotool key a
    ends_with pal 0 "exit code on the $size depth-8 display"
  else
    fail "no full-screen window on the $size depth-8 display"
  fi
  drv reg-del "$settings_key" PictureSize >/dev/null
  end_display
}

picture_drawn() {
  shot "$work/pal.png"
  # Wine maps the palette to a few of its static colours here, so the
  # picture is checked for being drawn, not for its colours.
  [ "$(convert "$work/pal.png" -format '%k' info:)" -ge 3 ]
}

box_says_minimum_configuration() {
  drv texts "$1" &&
    grep -q 'Minimum%20configuration%20required:%0D256%20colors,%20640%20x%20480%20resolution' <<<"$reply"
}

case_narrow_screen() {
  log "a 600-pixel-wide screen shows the minimum-configuration message and ends once it is dismissed, not on a move"
  with_display 600x480x24 || return
  xdotool mousemove 10 10
  saver_start narrow "/s"
  local box
  if drv find "#32770" "Zarvo.scr" $(scaled 20000); then
    box=$reply
    # The box can be found before its text is set.
    checks=$((checks + 1))
    wait_for 10 box_says_minimum_configuration "$box" ||
      fail "message text: expected 'Minimum configuration required:\\r256 colors, 640 x 480 resolution' among '$reply'"
    # The person looks for the pointer to reach the box.
    drv find "$saver_class" "Screen Saver" 0 && saver=$reply
    xdotool mousemove 20 10
    check_true "the saver ended on a mouse move before the message was dismissed" still_running narrow
    check_true "the saver's window went away on a mouse move" window_visible "$saver"
    check_true "the message went away on a mouse move" window_visible "$box"
    drv post "$box" $WM_COMMAND 1 0 >/dev/null
    ends_with narrow 0 "exit code after the message"
  else
    fail "no minimum-configuration message box: $reply"
  fi
  end_display
}

# set_display_dpi DPI: the scale every Wine process reads as it starts ("" for
# the default), set in a display session of its own.
set_display_dpi() {
  with_display 640x480x24 || return 1
  if [ -n "$1" ]; then
    drv reg-set "$desktop_key" LogPixels 4 "$(le32 "$1")"
  else
    drv reg-del "$desktop_key" LogPixels
  fi
  local status=$?
  end_display
  return $status
}

# At 150 %, as on many 4K laptops, the saver still measures and draws real
# pixels: its window covers the screen pixel for pixel and the picture sits
# where it does at 96 dpi.
case_scaled_display() {
  set_display_dpi 144 || { fail "cannot set the display's scale: $reply"; return; }
  case_picture 1024x768 144
  set_display_dpi "" || fail "cannot reset the display's scale: $reply"
}

# render_masked NAME SIZE STRIP [OPTION...]: zarvo-render's picture at SIZE
# before any tick, with the strip ("x y w h") painted over, in
# $work/NAME-ref-masked.png.
render_masked() {
  local name=$1 size=$2 x y w h
  read -r x y w h <<<"$3"
  shift 3
  if ! "$ZARVO_RENDER" --size "$size" --seed 1 --ticks 0 "$@" --out "$work/$name-ref.png" >/dev/null; then
    fail "zarvo-render ($ZARVO_RENDER) could not draw $name at $size"; return 1
  fi
  mask "$work/$name-ref.png" "$x" "$y" "$w" "$h" "$work/$name-ref-masked.png"
}

# area_matches NAME GEOMETRY STRIP: the screen's area GEOMETRY (WxH+X+Y) with
# the strip (in the area) painted over equals NAME's masked render; the
# area, strip included, stays in $work/NAME-area.png.
area_matches() {
  local x y w h
  read -r x y w h <<<"$3"
  shot "$work/$1-shot.png"
  crop "$work/$1-shot.png" "$2" "$work/$1-area.png"
  mask "$work/$1-area.png" "$x" "$y" "$w" "$h" "$work/$1-area-masked.png"
  last_difference=$(differing_pixels "$work/$1-ref-masked.png" "$work/$1-area-masked.png")
  [ "$last_difference" = 0 ]
}

# brightest GEOMETRY: the largest channel value in that area of the last shot.
brightest() { convert "$work/$1" -crop "$2" +repage -format '%[max]' info:; }

# The 1024 x 768 picture's strip (90 366 917 334) in fit, at 45/32 from x =
# 240, is 366,514 to 1657,985; in cover, at 15/8 from y = -233 (the crop
# moved to keep the strip whole), 168,453 to 1889,1080. Each mask reaches two
# pixels further each way.
readonly fit_strip="364 512 1295 475" cover_strip="166 451 1725 631"

# case_scaled_picture NAME NUMBER MASK: PictureSize NUMBER (NAME) on a 1920 x
# 1080 display shows zarvo-render's picture outside the strip's MASK, and
# the strip moves.
case_scaled_picture() {
  local name=$1 number=$2 mask=$3 x y w h
  log "PictureSize=$number ($name) on a 1920 x 1080 display: the picture matches zarvo-render --picture-size $name outside the strip"
  render_masked "$name" 1920x1080 "$mask" --picture-size "$name" || return
  with_display 1920x1080x24 || return
  set_dword "$settings_key" PictureSize "$number"
  xdotool mousemove 10 10
  saver_start "$name" "/s"
  if find_saver; then
    last_difference="no screenshot"
    wait_for 20 area_matches "$name" 1920x1080+0+0 "$mask" ||
      fail "$name: expected 0 pixels outside the strip to differ from zarvo-render, got $last_difference"
    read -r x y w h <<<"$mask"
    crop "$work/$name-area.png" "${w}x${h}+${x}+${y}" "$work/$name-strip-a.png"
    wait_for 10 strip_changed "$name" "$w" "$h" "$x" "$y" || fail "the strip did not change in $name"
    xdotool key a
    ends_with "$name" 0 "exit code with PictureSize=$number"
  else
    fail "no full-screen window with PictureSize=$number"
  fi
  drv reg-del "$settings_key" PictureSize >/dev/null
  end_display
}

# monitor_shows NAME GEOMETRY SIZE: the monitor's area shows the picture at
# the monitor's size, as zarvo-render draws it, outside that size's strip.
monitor_shows() {
  last_difference="no screenshot"
  wait_for 20 area_matches "$1" "$2" "$(strip_of "$3")" ||
    fail "monitor $2: expected 0 pixels outside the strip to differ from zarvo-render at $3, got $last_difference"
}

case_two_monitors() {
  log "on two monitors side by side Windows sees both and the virtual screen around them"
  start_two_monitors "$work" $((display_base + 5)) || { fail "no two-monitor display"; return; }
  log "display $DISPLAY has two monitors"
  if start_driver; then
    drv monitors
    # Wine reads the monitors once, as its first process starts; on a busy
    # machine that has been seen to come before the server listed the second
    # one. The display is as it should be by now, so a fresh Wine must see it.
    if [ "$reply" = "0 0 1024 768 0,0,1024,768,primary" ]; then
      log "Wine listed one monitor; asking again from a fresh Wine server"
      stop_driver
      wait_wine_idle
      start_driver && drv monitors
    fi
    check "virtual screen and monitors" "0 0 1824 768 0,0,1024,768,primary 1024,0,1824,600" "$reply"
    saver_on_two_monitors
  else
    fail "no driver on the two-monitor display"
  fi
  stop_driver
  wait_wine_idle
  stop_two_monitors
}

saver_on_two_monitors() {
  log "the full-screen saver covers both monitors, each with its own picture; with Monitors=primary the second stays black"
  render_masked primary 1024x768 "$(strip_of 1024x768)" || return
  render_masked second 800x600 "$(strip_of 800x600)" || return
  cp "$work/primary-ref-masked.png" "$work/alone-ref-masked.png"
  drv reg-del "$settings_key" "" >/dev/null
  local monitors
  for monitors in 0 1; do
    set_dword "$settings_key" Monitors "$monitors"
    xdotool mousemove 10 10
    saver_start "two$monitors" "/s"
    if find_saver; then
      drv info "$saver"
      local -a f
      read -r -a f <<<"$reply"
      check "window place over both monitors (Monitors=$monitors)" "0 0 1824 768" "${f[3]} ${f[4]} ${f[5]} ${f[6]}"
      if [ "$monitors" = 0 ]; then
        monitor_shows primary 1024x768+0+0 1024x768
        monitor_shows second 800x600+1024+0 800x600
      else
        monitor_shows alone 1024x768+0+0 1024x768
        check "brightest pixel of the second monitor with Monitors=primary" 0 "$(brightest alone-shot.png 800x600+1024+0)"
      fi
      xdotool key a
      ends_with "two$monitors" 0 "exit code on two monitors (Monitors=$monitors)"
    else
      fail "no full-screen window on two monitors (Monitors=$monitors)"
    fi
  done
  drv reg-del "$settings_key" "" >/dev/null
}

# The display's size changes during a run: the window covers the new screen
# with zarvo-render's picture for it. Xvfb has one size; Xorg's dummy
# driver lets Wine change it.
case_display_change() {
  log "the display shrinks and grows during a run: the saver covers it and draws the picture for the new size"
  local size
  for size in 800x600 1280x720; do render_masked "changed-$size" "$size" "$(strip_of "$size")" || return; done
  if start_dummy_display "$work" $((display_base + 6)) && start_driver; then
    xdotool mousemove 10 10
    saver_start changed "/s"
    find_saver || fail "no full-screen window on the Xorg display"
    for size in 800x600 1280x720; do
      drv resize "${size%x*}" "${size#*x}"
      check "display resized to $size" 0 "$reply"
      wait_for 20 area_matches "changed-$size" "$size+0+0" "$(strip_of "$size")" ||
        fail "display changed to $size: expected 0 pixels outside the strip to differ from zarvo-render, got $last_difference"
      drv info "$saver"
      check "window place after the change to $size" "0 0 ${size%x*} ${size#*x}" "$(cut -d' ' -f4-7 <<<"$reply")"
    done
    xdotool key a
    ends_with changed 0 "exit code after the display changed"
  else
    fail "no Xorg display with the driver"
  fi
  stop_driver
  wait_wine_idle
  stop_two_monitors
}

# --- what the screen shows after something else drew over the saver --------

# magenta_pixels SHOT: how many pixels of the screenshot are exactly magenta,
# the colour of the driver's cover and of the stand-in verifier's scribble.
magenta_pixels() {
  convert "$1" -fill black +opaque '#FF00FF' -fill white -opaque '#FF00FF' -colorspace gray \
    -format '%[fx:round(mean*w*h)]' info:
}

no_magenta_left() {
  shot "$work/$1-now.png"
  last_difference=$(magenta_pixels "$work/$1-now.png")
  [ "$last_difference" = 0 ]
}

magenta_shown() {
  shot "$work/$1-covered.png"
  [ "$(magenta_pixels "$work/$1-covered.png")" -gt 0 ]
}

holding() { [ "$(reg_number "$standin_key" Holding)" = "$1" ]; }
held_paints_reach() { [ "$(reg_number "$standin_key" HeldPaints)" -ge "$1" ]; }

# ask_verifier: a close request, which the saver answers by calling the
# stand-in verifier; after the quiet time that follows the last call.
ask_verifier() {
  local calls
  calls=$(reg_number "$standin_key" Calls)
  sleep 0.3
  drv post "$saver" $WM_CLOSE 0 0 >/dev/null
  wait_for 10 calls_reach $((calls + 1))
}

# strip_is_fresh NAME SIZE STRIP WHAT SCALED: the next ticks leave no magenta
# on the screen. Then, with the saver held on one frame by the verifier
# (no ticks, paints still served), the screen outside the strip equals
# zarvo-render's picture, and for a picture scaled through a view (SCALED 1)
# the strip equals a whole paint of the same frame. A centred paint draws
# the bare picture over the strip, so there the magenta alone tells.
strip_is_fresh() {
  local name=$1 size=$2 strip=$3 what=$4 scaled=$5 x y w h paints
  read -r x y w h <<<"$strip"
  last_difference="no screenshot"
  wait_for 10 no_magenta_left "$name" ||
    fail "$what: expected no magenta left after the next ticks, got $last_difference pixels"
  set_dword "$standin_key" Hold 1
  ask_verifier && wait_for 10 holding 1 || { fail "$what: the verifier did not hold the saver"; return; }
  sleep 0.5  # Wine puts the last frame drawn on the display
  area_matches "$name" "$size+0+0" "$strip" ||
    fail "$what: expected 0 pixels outside the strip to differ from zarvo-render, got $last_difference"
  if [ "$scaled" = 1 ]; then
    crop "$work/$name-area.png" "${w}x${h}+${x}+${y}" "$work/$name-held.png"
    paints=$(reg_number "$standin_key" HeldPaints)
    drv invalidate "$saver" >/dev/null
    wait_for 10 held_paints_reach $((paints + 1)) || fail "$what: no paint while held"
    sleep 0.5
    shot "$work/$name-painted.png"
    crop "$work/$name-painted.png" "${w}x${h}+${x}+${y}" "$work/$name-painted-strip.png"
    check "$what: pixels of the strip that differ from a whole paint of the same frame" 0 \
      "$(differing_pixels "$work/$name-held.png" "$work/$name-painted-strip.png")"
  fi
  set_dword "$standin_key" Hold 0
  wait_for 10 holding 0 || fail "$what: the verifier still holds the saver"
}

# case_covered_strip NAME NUMBER STRIP SCRIBBLE SCALED: PictureSize NUMBER
# (zarvo-render's NAME) on a 1920 x 1080 display, a password asked for. A
# CS_SAVEBITS window of the driver's over the strip for some ticks (Wine
# puts the saver's own pixels back when it goes, without a paint), then a
# refused password whose verifier leaves magenta over SCRIBBLE (inside the
# strip) as it returns, where a dialog that puts back the bits it saved
# would leave an older frame: each time the next ticks put the whole strip.
case_covered_strip() {
  local name=covered-$1 size=1920x1080 strip=$3 scribble=$4 scaled=$5 x y w h
  log "PictureSize=$1: after a window over the strip and after a refused password, the next ticks put the whole strip"
  render_masked "$name" "$size" "$strip" --picture-size "$1" || return
  with_display "${size}x24" || return
  set_dword "$settings_key" PictureSize "$2"
  set_dword "$desktop_key" ScreenSaveUsePassword 1
  drv reg-del "$standin_key" "" >/dev/null
  set_dword "$standin_key" Answer 0
  xdotool mousemove 10 10
  saver_start "$name" "/s"
  if find_saver; then
    last_difference="no screenshot"
    wait_for 20 area_matches "$name" "$size+0+0" "$strip" ||
      fail "$1 picture: expected 0 pixels outside the strip to differ from zarvo-render, got $last_difference"
    read -r x y w h <<<"$strip"
    if drv cover $((x - 20)) $((y - 20)) $((w + 40)) $((h + 40)); then
      local cover=$reply
      wait_for 10 magenta_shown "$name" || fail "the cover window never showed ($name)"
      sleep 1.5  # ticks under the cover
      drv destroy "$cover" >/dev/null
    else
      fail "no cover window: $reply"
    fi
    strip_is_fresh "$name" "$size" "$strip" "after a CS_SAVEBITS window ($name)" "$scaled"
    put_back_under_quiet_cover "$name" "$strip"
    set_scribble $scribble
    set_dword "$standin_key" Scribble 1
    ask_verifier || fail "the verifier was not asked ($name)"
    set_dword "$standin_key" Scribble 0
    strip_is_fresh "$name" "$size" "$strip" "after a refused password ($name)" "$scaled"
    set_dword "$standin_key" Answer 1
    ask_verifier
    ends_with "$name" 0 "exit code after a granted password ($name)"
  else
    fail "no full-screen window with PictureSize=$1"
  fi
  drv reg-del "$settings_key" PictureSize >/dev/null
  drv reg-del "$desktop_key" ScreenSaveUsePassword >/dev/null
  end_display
}

set_scribble() {  # set_scribble X Y WIDTH HEIGHT: where the stand-in verifier leaves magenta
  set_dword "$standin_key" ScribbleX "$1"
  set_dword "$standin_key" ScribbleY "$2"
  set_dword "$standin_key" ScribbleWidth "$3"
  set_dword "$standin_key" ScribbleHeight "$4"
}

# put_back_under_quiet_cover NAME STRIP: a window that never activates over
# the strip, then the bits it saved put back (magenta, by the stand-in): no
# message tells the saver, yet within 2 s, a tick and a screenshot none is left.
put_back_under_quiet_cover() {
  local x y w h cover
  read -r x y w h <<<"$2"
  set -- "$1" $((x + 20)) $((y + 20)) $((w - 40)) $((h - 40))
  drv cover "$2" "$3" "$4" "$5" quiet || { fail "no quiet cover: $reply"; return; }
  cover=$reply
  wait_for 10 magenta_shown "$1" || fail "the quiet cover never showed ($1)"
  sleep 1
  drv destroy "$cover" >/dev/null
  set_scribble "$2" "$3" "$4" "$5"
  set_dword "$standin_key" PutBack 1
  wait_for 10 put_back || fail "the stand-in did not put the bits back ($1)"
  last_difference="no screenshot"
  wait_for 4 no_magenta_left "$1" ||
    fail "after a quiet window's bits were put back ($1): expected no magenta within 4 s, got $last_difference pixels"
}

put_back() { [ "$(reg_number "$standin_key" PutBack)" = 0 ]; }

have_render() {
  [ -x "$ZARVO_RENDER" ] || { fail "zarvo-render not found at $ZARVO_RENDER (build the native preset)"; return 1; }
}

run_screen_cases() {
  have_render || return
  make_prefix || { fail "no Wine prefix"; return; }
  local size
  for size in 1024x768 800x600 640x480 1280x1024 1280x720; do case_picture "$size"; done
  case_palette_display 800x600 0 "$(strip_of 800x600)"
  # Whole multiples at 2: GDI stretches each frame's strip to 2 x 2 blocks.
  case_palette_display 2048x1536 1 "180 732 1834 668"
  case_narrow_screen
  case_scaled_display
  case_scaled_picture fit 2 "$fit_strip"
  case_scaled_picture cover 3 "$cover_strip"
  # The 1024 x 768 picture's strip centred on 1920 x 1080 is moved by (448, 156).
  case_covered_strip centred 0 "538 522 917 334" "538 522 917 334" 0
  case_covered_strip fit 2 "$fit_strip" "366 514 1291 471" 1
  case_two_monitors
  case_display_change
}

# One full-screen run against zarvo-render's picture, in the shared prefix:
# what the end-to-end cases can afford where every Wine start takes minutes.
run_smoke() {
  have_render || return
  use_shared_prefix || { fail "no Wine prefix"; return; }
  case_picture 1024x768
}
