#!/usr/bin/env bash
# The shipped files carry the build's Authenticode signature, SHA-256, and
# it verifies against the signing certificate (CTest shipped.signatures,
# registered when the build signs); the MSI holds the signed actions DLL.
#   signatures_test.sh CERTIFICATE EXE DLL MSI
set -uo pipefail
cert=$1
shift
failures=0
for file in "$@"; do
  out=$(osslsigncode verify -CAfile "$cert" -in "$file" 2>&1)
  rc=$?
  if [ $rc = 0 ] && grep -q '^Signature verification: ok' <<<"$out" \
    && grep -q '^Message digest algorithm *: SHA256' <<<"$out"; then
    echo "ok: $file: signed, SHA-256, verified against $cert"
  else
    echo "FAIL: $file (osslsigncode verify: $rc):"
    echo "$out" | sed 's/^/  /'
    failures=$((failures + 1))
  fi
done
# The actions DLL goes into the package's Binary table as it was signed.
dll=$2 msi=$3
if /usr/bin/python3 - "$dll" "$msi" <<'PY'
import sys, olefile
dll = open(sys.argv[1], "rb").read()
ole = olefile.OleFileIO(sys.argv[2])
sys.exit(0 if any(ole.openstream(s).read() == dll for s in ole.listdir()) else 1)
PY
then
  echo "ok: the package holds the signed $(basename "$dll")"
else
  echo "FAIL: $(basename "$msi") does not hold $(basename "$dll") as signed"
  failures=$((failures + 1))
fi
echo "$failures failed"
[ "$failures" = 0 ]
