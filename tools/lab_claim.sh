# shellcheck shell=bash
# Taking the lab for one run.  The lab's namespaces have fixed names (labA,
# labB; the self-test's labtest1, labtest2) and `lab.sh up` and `down`
# replace or remove whatever holds those names, so a run that shares the
# machine with others (another test suite, the run command) claims the lab:
#   lab_claim_up [lab.sh up ARGS]  wait (polling, at most LAB_WAIT seconds,
#                                  600) while any lab namespace exists, then
#                                  bring the lab up and remember its identity
#   lab_claim_intact               whether the lab is still the one brought up
#   lab_claim_down                 remove labA and labB, only when this run
#                                  brought them up and they are still its own
# Sourced by tools/road.sh and tests/lab/lab_tests.sh.

LAB_CLAIM_SH=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lab.sh
LAB_CLAIM_MINE=0
LAB_CLAIM_IDS=""

lab_claim_say() { echo "lab: $*" >&2; }

lab_claim_wait_free() {
  local limit=${LAB_WAIT:-600} start=$SECONDS busy said=0
  while :; do
    busy=$(ip netns list 2>/dev/null | awk '{print $1}' | grep -xE 'labA|labB|labtest1|labtest2' \
           | paste -sd ' ' || true)
    [ -z "$busy" ] && return 0
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      lab_claim_say "the lab namespaces ($busy) stayed in use for $limit s; giving up"
      return 1
    fi
    [ "$said" = 1 ] || lab_claim_say "waiting for another run's lab ($busy) to end"
    said=1
    sleep 5
  done
}

# The identity of the lab's namespaces (device and inode of each).
lab_claim_ids() { stat -L -c '%d:%i' /run/netns/labA /run/netns/labB 2>/dev/null | paste -sd ' '; }

lab_claim_up() {
  lab_claim_wait_free || return 1
  LAB_CLAIM_MINE=1
  bash "$LAB_CLAIM_SH" up "$@" >/dev/null || return 1
  LAB_CLAIM_IDS=$(lab_claim_ids)
}

lab_claim_intact() {
  [ "$LAB_CLAIM_MINE" = 1 ] && [ -n "$LAB_CLAIM_IDS" ] && [ "$(lab_claim_ids)" = "$LAB_CLAIM_IDS" ] \
    && return 0
  lab_claim_say "the lab namespaces are no longer the ones this run brought up (another run took them)"
  return 1
}

lab_claim_down() {
  [ "$LAB_CLAIM_MINE" = 1 ] || return 0
  LAB_CLAIM_MINE=0
  [ "$(lab_claim_ids)" = "$LAB_CLAIM_IDS" ] || return 0
  local ns pids
  for ns in labA labB; do
    [ -e "/run/netns/$ns" ] || continue
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    # shellcheck disable=SC2086
    if [ -n "$pids" ]; then kill -TERM $pids 2>/dev/null || true; fi
    for _ in $(seq 30); do
      [ -z "$(ip netns pids "$ns" 2>/dev/null)" ] && break
      sleep 0.1
    done
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    # shellcheck disable=SC2086
    if [ -n "$pids" ]; then kill -KILL $pids 2>/dev/null || true; fi
    ip netns delete "$ns" 2>/dev/null || true
  done
}
