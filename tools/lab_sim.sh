# shellcheck shell=bash
# The simulated servers (tools/lansim.py) in labB, for the lab's scripts:
#   lab_sim_start LOG MAX_SECONDS [lansim.py ARGS]  start them; wait (5 s at
#                                                   most) until they listen
#   lab_sim_stop                                    stop them
# LAB_SIM_PID is the simulator's own pid (lab.sh execs it): started through
# a shell function instead, $! would be a subshell, and killing that would
# leave the simulator answering.
LAB_SIM_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LAB_SIM_PID=""

lab_sim_start() {
  local log=$1 seconds=$2
  shift 2
  rm -f "$log"
  bash "$LAB_SIM_TOOLS/lab.sh" exec labB /usr/bin/python3 "$LAB_SIM_TOOLS/lansim.py" --log "$log" \
    --max-seconds "$seconds" "$@" >/dev/null 2>&1 &
  LAB_SIM_PID=$!
  for _ in $(seq 100); do
    grep -q '"ready"' "$log" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "lab: the simulated servers did not start" >&2
  return 1
}

# Safe in an EXIT trap under `set -e`.
lab_sim_stop() {
  if [ -n "$LAB_SIM_PID" ]; then
    kill "$LAB_SIM_PID" 2>/dev/null || true
    wait "$LAB_SIM_PID" 2>/dev/null || true
  fi
  LAB_SIM_PID=""
  return 0
}
