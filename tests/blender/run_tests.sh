#!/bin/bash
# run_tests.sh ADDON.zip
# The add-on's tests in Debian's Blender, in background mode, with a user
# folder of their own so that the add-on installed from the zip never
# reaches the user's Blender.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
zip=$(realpath "$1")
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
BLENDER_USER_SCRIPTS=$user/scripts BLENDER_USER_CONFIG=$user/config \
  blender -b --factory-startup --python-exit-code 1 --python "$here/test_addon.py" -- "$zip"
