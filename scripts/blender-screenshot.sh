#!/bin/bash
# blender-screenshot.sh ADDON.zip OUT.png
# Takes the guide's picture of the Rillmark Water panel in Blender's own
# window under Xvfb, after a bake started as a user starts it (the modal
# bake with its progress). A first run in background mode installs the
# add-on and switches the splash screen off in a user folder of its own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zip=$(realpath "$1")
out=$(realpath -m "$2")
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
export BLENDER_USER_SCRIPTS=$user/scripts BLENDER_USER_CONFIG=$user/config
blender -b --factory-startup --python-exit-code 1 --python-expr "
import bpy
bpy.ops.preferences.addon_install(filepath='$zip')
bpy.ops.preferences.addon_enable(module='rillmark')
bpy.context.preferences.view.show_splash = False
bpy.ops.wm.save_userpref()" >/dev/null
shot=$user/shot.png
timeout 300 xvfb-run -a -s "-screen 0 1400x1500x24" \
  blender --python-exit-code 1 --python "$root/scripts/blender_screenshot.py" -- "$shot"
# No timestamps or other chunks that change from run to run.
convert "$shot" -strip -define png:exclude-chunks=date,time "$out"
echo "wrote $out"
