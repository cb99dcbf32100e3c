#!/bin/bash
# blender-run.sh SCRIPT ADDON.zip [ARGS...]
# Runs a Python script in Debian's Blender, in background mode, with a user
# folder of its own that is removed afterwards, so that the add-on the
# script installs from the zip never reaches the user's own Blender. The
# script gets the zip and the arguments after "--". Blender's exit status
# is the script's (an uncaught error is 1).
set -euo pipefail
script=$(realpath "$1")
zip=$(realpath "$2")
shift 2
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
BLENDER_USER_SCRIPTS=$user/scripts BLENDER_USER_CONFIG=$user/config \
  blender -b --factory-startup --python-exit-code 1 --python "$script" -- "$zip" "$@"
