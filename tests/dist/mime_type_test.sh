#!/usr/bin/env bash
# The MIME package in a private data directory: a .qx1 file is image/x-qx1 by its name and by its
# content alone; a BMP, a TIFF and a file that only begins with "XQ" are not.
# Usage: mime_type_test.sh MIME_PACKAGE TEST_DATA_DIR
set -euo pipefail
package=$1
data=$2
for tool in update-mime-database gio; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_DATA_DIRS=/usr/share
mkdir -p "$XDG_DATA_HOME/mime/packages"
cp "$package" "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime"

cp "$data/conformance/graf1-high.qx1" "$work/picture.qx1"
cp "$data/conformance/graf1-high.qx1" "$work/picture"
cp "$data/conformance/flat128.bmp" "$work/flat"
cp "$data/corpus/coffee.tif" "$work/coffee"
{ printf 'XQ'; head -c 62 /dev/zero; } >"$work/xq"

failed=0
for f in picture.qx1 picture flat coffee xq; do
  got=$(gio info -a standard::content-type "$work/$f" | sed -n 's/^ *standard::content-type: //p')
  echo "$f: $got"
  case "$f:$got" in
    picture*:image/x-qx1 | flat:image/bmp | coffee:image/tiff | xq:application/octet-stream) ;;
    *) echo "FAIL: $f"; failed=1 ;;
  esac
done
exit $failed
