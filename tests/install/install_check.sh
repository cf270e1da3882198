#!/usr/bin/env bash
# Checks of the installed program: install_check.sh CHECK ROOT APP_ID [ARGS]
#   stage ROOT ID CMAKE BUILD VERSION    installs into ROOT (DESTDIR, prefix /usr)
#   validate | mime ROOT ID              check what stage installed there
#   package ROOT ID CPACK BUILD VERSION  builds the .deb into ROOT
# A missing tool exits 77 (skipped); scripts/install-deps installs them all.
set -euo pipefail
check=$1 root=$2 id=$3
share=$root/usr/share
installed="usr/bin/pelisto
usr/share/applications/$id.desktop
usr/share/doc/pelisto/changelog.Debian.gz
usr/share/doc/pelisto/copyright
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/pelisto.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/mime/packages/$id.xml"
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { for t; do command -v "$t" >/dev/null || { echo "skipped: $t not found"; exit 77; }; done; }
sorted() { sed 's|^\./||' | LC_ALL=C sort; }

case $check in
stage)
  rm -rf "$root"
  DESTDIR=$root "$4" --install "$5" --prefix /usr --component pelisto >/dev/null
  files=$(cd "$root" && find . -type f | sorted)
  [ "$files" = "$installed" ] || fail "installed files: $files"
  icon=$(sed -n 's/^Icon=//p' "$share/applications/$id.desktop")
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named '$icon'"
  out=$("$root/usr/bin/pelisto" --version)
  [ "$out" = "Pelisto $6" ] || fail "--version printed '$out'"
  ;;
validate)
  need desktop-file-validate appstreamcli
  desktop-file-validate "$share/applications/$id.desktop"
  # No warning, but one: the project has no web site of its own, so there is
  # no homepage to name (AppStream 1.0 warns of that; 0.16 does not).
  for what in "validate $share/metainfo/$id.metainfo.xml" "validate-tree $root"; do
    # shellcheck disable=SC2086 # the command and its argument
    rc=0
    out=$(appstreamcli $what --no-net 2>&1) || rc=$?
    echo "$out"
    warnings=$(grep -E '^ *[EW]: ' <<<"$out" | grep -v ' url-homepage-missing$' || true)
    [ -z "$warnings" ] || fail "appstreamcli $what: $warnings"
    [ $rc -eq 0 ] || grep -q ' url-homepage-missing$' <<<"$out" || fail "appstreamcli $what failed"
  done
  ;;
mime)
  # A scratch database of our type and another one claiming *.prj too; the
  # menu's MIME cache made as dpkg's trigger does; TryExec found on the PATH.
  need xmllint update-mime-database update-desktop-database gio
  xmllint --noout "$share/mime/packages/$id.xml"
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/db/mime/packages" "$tmp/db/applications" "$tmp/home"
  cp "$share/mime/packages/$id.xml" "$tmp/db/mime/packages/"
  cp "$share/applications/$id.desktop" "$tmp/db/applications/"
  cat > "$tmp/db/mime/packages/other.xml" <<'XML'
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/x-other-prj"><glob pattern="*.prj"/></mime-type>
</mime-info>
XML
  XDG_DATA_DIRS=$tmp/db update-mime-database "$tmp/db/mime"
  update-desktop-database "$tmp/db/applications"
  export XDG_DATA_HOME=$tmp/home XDG_DATA_DIRS=$tmp/db:/usr/share PATH=$root/usr/bin:$PATH
  printf 'WAVEEDIT\001\002\000\005/a.wav' > "$tmp/song.PRJ"
  cp "$tmp/song.PRJ" "$tmp/song"
  printf 'RIFF\044\000\000\000WAVEfmt ' > "$tmp/song.wav"
  # WAV is audio/x-wav in older databases and audio/vnd.wave (with the old
  # names as aliases) in newer ones: expect whatever this one calls it.
  wav=$(awk '$1 == "audio/x-wav" {print $2}' /usr/share/mime/aliases)
  while read -r file type; do
    [ "$type" = WAV ] && type=${wav:-audio/x-wav}
    got=$(gio info -a standard::content-type "$tmp/$file" | sed -n 's/.*content-type: //p')
    [ "$got" = "$type" ] || fail "$file is $got, not $type"
    [[ $(gio mime "$type") == *"$id.desktop"* ]] || fail "$id.desktop does not open $type"
  done <<'TABLE'
song.PRJ application/x-pelisto-project
song application/x-pelisto-project
song.wav WAV
TABLE
  ;;
package)
  need dpkg-deb dpkg-shlibdeps
  rm -rf "$root"
  "$4" --config "$5/CPackConfig.cmake" -B "$root" >/dev/null
  deb=$root/pelisto_${6}-1_$(dpkg --print-architecture).deb
  # The fonts first, then what dpkg-shlibdeps found.
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == "fonts-ipafont-gothic, fonts-ipafont-mincho, "*libqt6widgets6* ]] ||
    fail "Depends: $depends"
  files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sorted)
  [ "$files" = "$installed" ] || fail "packaged files: $files"
  # Debian's own checker finds no error (its warnings are in the README).
  if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian found errors in $deb"
  fi
  ;;
*) fail "unknown check $check" ;;
esac
echo "ok: $check"
