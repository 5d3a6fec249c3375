# Sourced by the window benchmarks: a private X server (Xvfb) for their programs.
#   start_private_display WORK [XVFB-OPTIONS...]
# starts Xvfb with its log in WORK/xvfb.log, sets `server` to its PID (the caller's cleanup
# kills it) and exports DISPLAY; exits with 2 when the server does not come up.
start_private_display() {
  local work=$1
  shift
  command -v Xvfb >/dev/null || { echo "no Xvfb (scripts/install-deps installs it)" >&2; exit 2; }
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" >"$work/xvfb.log" 2>&1 &
  server=$!
  exec 3>&-
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 2; }
  export DISPLAY=":$(head -1 "$work/display")"
}
