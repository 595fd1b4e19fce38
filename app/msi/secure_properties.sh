#!/usr/bin/env bash
# Adds the package's public properties to SecureCustomProperties, so that
# they reach the installation's elevated part also when a deployment tool or
# a user without rights starts it.  wixl has no Secure attribute and writes
# that property itself for the upgrade detection, so it is extended here.
#   secure_properties.sh PACKAGE.msi NAME...
set -euo pipefail
msi=$1
shift
have=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^SecureCustomProperties\t//p')
list=$(IFS=';' && echo "${have:+$have;}$*")
if [ -n "$have" ]; then
  query="UPDATE \`Property\` SET \`Value\` = '$list' WHERE \`Property\` = 'SecureCustomProperties'"
else
  query="INSERT INTO \`Property\` (\`Property\`, \`Value\`) VALUES ('SecureCustomProperties', '$list')"
fi
msibuild "$msi" -q "$query"
