"""Where a water's cache goes, and the Mesh Cache modifier that plays it."""

import os
import tempfile

import bpy

from .frame_stepping import MODIFIER_NAME, Refused


def default_cache_path(obj):
    return "//rillmark/" + bpy.path.clean_name(obj.name) + ".pc2"


def _temporary_folder():
    return bpy.context.preferences.filepaths.temporary_directory or tempfile.gettempdir()


def cache_location(obj):
    """(the path for the modifier, the absolute path, a note for the user or
    None). A path relative to an unsaved .blend has no folder yet: the cache
    goes to Blender's temporary folder instead."""
    path = obj.rillmark.cache_path or default_cache_path(obj)
    if path.startswith("//") and not bpy.data.filepath:
        absolute = os.path.join(_temporary_folder(), "rillmark", os.path.basename(path[2:]) or obj.name + ".pc2")
        return absolute, absolute, "The .blend file is not saved: the cache goes to Blender's temporary folder"
    return path, bpy.path.abspath(path), None


def check_modifier_free(obj):
    modifier = obj.modifiers.get(MODIFIER_NAME)
    if modifier is not None and modifier.type != 'MESH_CACHE':
        raise Refused(f"The modifier '{MODIFIER_NAME}' of '{obj.name}' is not a Mesh Cache; "
                      "rename it, and Rillmark adds its own")


def play_cache(context, obj, path, first, step):
    """Adds (or updates) the Mesh Cache modifier last in the stack, playing
    sample i at frame first + i x step in the water's own coordinates."""
    modifier = obj.modifiers.get(MODIFIER_NAME) or obj.modifiers.new(MODIFIER_NAME, 'MESH_CACHE')
    modifier.cache_format = 'PC2'
    modifier.filepath = path
    modifier.deform_mode = 'OVERWRITE'
    modifier.interpolation = 'LINEAR'
    modifier.play_mode = 'SCENE'
    # In frame mode the cache is read at sample frame_scale x frame -
    # frame_start; the header's own start and rate are not used.
    modifier.time_mode = 'FRAME'
    modifier.frame_scale = 1.0 / step
    modifier.frame_start = first / step
    modifier.forward_axis = 'POS_Y'
    modifier.up_axis = 'POS_Z'
    modifier.flip_axis = set()
    modifier.factor = 1.0
    last = len(obj.modifiers) - 1
    if obj.modifiers[last] != modifier:
        with context.temp_override(object=obj):
            bpy.ops.object.modifier_move_to_index(modifier=MODIFIER_NAME, index=last)
    obj.update_tag()


def remove_cache(obj, delete_file):
    """Removes the modifier and, if asked, the file it plays. Returns the
    file removed, or None."""
    modifier = obj.modifiers.get(MODIFIER_NAME)
    path = None
    if modifier is not None and modifier.type == 'MESH_CACHE':
        path = bpy.path.abspath(modifier.filepath)
        obj.modifiers.remove(modifier)
    if not delete_file:
        return None
    path = path or cache_location(obj)[1]
    if os.path.isfile(path):
        os.remove(path)
        return path
    return None
