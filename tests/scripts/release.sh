#!/usr/bin/env bash
# scripts/release packing a tree as built: every artefact the tree makes, one line each in
# SHA256SUMS that sha256sum -c accepts, a gpg signature of the sums by the key named, and the
# Windows zip named as left out.
# Usage: release.sh RELEASE-SCRIPT BUILD-DIR WORK-DIR WITH-PAGE [POSTGRES-PACKAGE]
set -euo pipefail
release=$1 tree=$2 work=$3 with_page=$4 postgres=${5:-}
rm -rf "$work"
mkdir -p "$work"
# A key of the test's own, in a home short enough for gpg-agent's socket.
GNUPGHOME=$(mktemp -d -t taloma-gpg.XXXXXX)
export GNUPGHOME
trap 'gpgconf --kill gpg-agent 2>/dev/null || true; rm -rf "$GNUPGHOME"' EXIT
gpg --batch --quiet --pinentry-mode loopback --passphrase '' \
  --quick-generate-key 'Taloma release test <release@taloma.test>' ed25519 sign never
"$release" --from "$tree" --out "$work/dist" --sign release@taloma.test >"$work/said"
cat "$work/said"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$tree/CPackConfig.cmake")
patterns=("taloma_${version}_[a-z0-9]+\.deb" "libtaloma1_${version}_[a-z0-9]+\.deb"
          "libtaloma-dev_${version}_[a-z0-9]+\.deb" "python3-taloma_${version}_[a-z0-9]+\.deb"
          "taloma-$version\.tar\.gz" SHA256SUMS SHA256SUMS.asc)
[ -z "$postgres" ] || patterns+=("${postgres}_${version}_[a-z0-9]+\.deb")
if [ "$with_page" = ON ]; then
  patterns+=(taloma\.html "taloma-web-$version\.zip" "taloma-[0-9]+\.[0-9]+\.[0-9]+\.tgz")
fi
cd "$work/dist"
listing=$(ls)
failed=0
for pattern in "${patterns[@]}"; do
  [ "$(grep -c -x -E "$pattern" <<<"$listing")" -eq 1 ] || { echo "FAIL: no $pattern"; failed=1; }
done
[ "$(wc -l <<<"$listing")" -eq ${#patterns[@]} ] || { echo "FAIL: more than expected"; failed=1; }
[ "$(wc -l <SHA256SUMS)" -eq $((${#patterns[@]} - 2)) ] || { echo "FAIL: not every file summed"; failed=1; }
sha256sum --quiet --strict -c SHA256SUMS || failed=1
gpg --batch --quiet --verify SHA256SUMS.asc SHA256SUMS || failed=1
grep -q '^  the Windows zip: ' "$work/said" || { echo "FAIL: the Windows zip is not named as left out"; failed=1; }
[ "$failed" -eq 0 ] && echo "the release folder holds what it should"
exit "$failed"
