#!/bin/sh
# Builds the binary Debian package of Vesk (`make deb`) from a copy of the
# sources in OUT_DIR (build-deb by default), so that the build writes nothing
# into the working tree, and checks it with lintian. The version is the
# project's, from CMakeLists.txt; debian/changelog is written for it here.
# The package, with its .buildinfo and .changes, is left in OUT_DIR.
set -eu
cd "$(dirname "$0")/.."
out=${1:-build-deb}

version=$(sed -n 's/^project(Vesk VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "build-deb: no project version in CMakeLists.txt" >&2
    exit 1
fi

rm -rf "$out"
src="$out/vesk-$version"
mkdir -p "$src"
# The files git knows or would add, as they are now, changes not yet
# committed included; a file deleted from the tree is left out.
git ls-files -z --cached --others --exclude-standard --deduplicate |
    tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$src"

# Dated as the last commit, so that the same sources give the same package.
when=$(git log -1 --format=%ct 2>/dev/null || date +%s)
maintainer=$(sed -n 's/^Maintainer: //p' debian/control)
cat >"$src/debian/changelog" <<END
vesk ($version) bookworm; urgency=medium

  * Vesk $version, built from the project's sources.

 -- $maintainer  $(date -u -R -d "@$when")
END

(cd "$src" && dpkg-buildpackage -b -us -uc -j"$(nproc)")
rm -rf "$src"

changes=$(ls "$out"/vesk_"$version"_*.changes)
lintian "$changes"
echo "Built: $(ls "$out"/vesk_"$version"_*.deb)"
