"""Rillmark for Blender: a mesh becomes a water whose ripples and wakes,
made by the meshes of an effector collection, are baked by rillmark-bake
and played back by a Mesh Cache modifier.

This file holds the registration, the properties (made from the bake
program's own description of the parameters) and thin operators; the work
is in the modules beside it.
"""

bl_info = {
    "name": "Rillmark",
    "author": "Rillmark team",
    "version": (0, 1, 0),
    "blender": (3, 4, 0),
    "location": "Properties > Physics > Rillmark Water",
    "description": "Ripples and wakes on a water mesh from the objects that touch it, baked to a point cache",
    "category": "Physics",
}

import math

import bpy
from bpy.props import BoolProperty, EnumProperty, FloatProperty, IntProperty, PointerProperty, StringProperty
from bpy_extras.io_utils import ExportHelper, ImportHelper

from . import bake_job, bake_program, cache_modifier, panel, parameters
from .frame_stepping import Refused

description = parameters.description()


def _program_preference(context):
    preferred = context.preferences.addons[__package__].preferences.bake_program
    return bpy.path.abspath(preferred) if preferred else ""


def _program(context):
    return bake_program.find_program(_program_preference(context))


# What a bake can fail with; anything else is a fault, still reported and
# cleaned up after, as an operator must never leave a half-done bake.
_FAILURES = (Refused, bake_program.ProgramError, OSError, ReferenceError)


# Properties ---------------------------------------------------------------

def _parameter_property(p):
    common = {"name": p.caption, "description": p.description}
    if p.kind == "float":
        return FloatProperty(**common, default=p.default, min=p.minimum, max=p.maximum,
                             step=p.increment * 100,  # Blender counts steps in hundredths
                             precision=max(0, round(-math.log10(p.increment))))
    if p.kind == "integer":
        return IntProperty(**common, default=p.default, min=p.minimum, max=p.maximum, step=p.increment)
    if p.kind == "flag":
        return BoolProperty(**common, default=p.default)
    return EnumProperty(**common, items=[(identifier, text, "", index) for identifier, text, index
                                         in p.item_identifiers()], default=p.from_bake(p.default))


def _on_enabled(settings, context):
    # A new water bakes the scene's frame range into a file named after it.
    if settings.enabled and not settings.initialised:
        settings.initialised = True
        settings.frame_start = context.scene.frame_start
        settings.frame_end = context.scene.frame_end
        if not settings.cache_path:
            settings.cache_path = cache_modifier.default_cache_path(settings.id_data)


def _on_wind_source(settings, context):
    # As the plug-in's Get/Make Source does, choosing a source turns the wind on.
    if settings.wind_source is not None:
        settings.wind = True


def _settings_class():
    annotations = {
        "enabled": BoolProperty(name="Rillmark Water", update=_on_enabled,
                                description="Make this mesh a water that effectors set rippling"),
        "initialised": BoolProperty(options={'HIDDEN'}),
        "effectors": PointerProperty(type=bpy.types.Collection, name="Effectors",
                                     description="Every mesh in this collection makes ripples and wakes "
                                                 "where it meets the water"),
        "wind_source": PointerProperty(type=bpy.types.Object, name="Wind Source", update=_on_wind_source,
                                       description="The wind's pattern drifts away from this object; its size "
                                                   "sets the drift (x) and the height of the wind's waves (z)"),
        "cache_path": StringProperty(name="Cache", subtype='FILE_PATH',
                                     description="The point cache (.pc2) the bake writes and the water plays"),
    }
    for p in description.parameters:
        annotations[p.prop] = _parameter_property(p)
    return type("RillmarkWaterSettings", (bpy.types.PropertyGroup,), {"__annotations__": annotations})


RillmarkWaterSettings = _settings_class()


class RillmarkPreferences(bpy.types.AddonPreferences):
    bl_idname = __package__

    bake_program: StringProperty(
        name="rillmark-bake", subtype='FILE_PATH',
        description="The bake program to run; empty: the one that comes with the add-on")

    def draw(self, context):
        self.layout.prop(self)
        if not self.bake_program:
            self.layout.label(text="Using " + bake_program.bundled_program())


# Operators ----------------------------------------------------------------

class RILLMARK_OT_bake(bpy.types.Operator):
    bl_idname = "rillmark.bake"
    bl_label = "Bake"
    bl_description = "Simulate the ripples and wakes over the frame range into the cache, and play it"

    _running = None  # one bake at a time

    def _begin(self, context):
        if RILLMARK_OT_bake._running is not None:
            self.report({'ERROR'}, "A Rillmark bake is already running")
            return None
        try:
            return bake_job.BakeJob(context, context.object, description, _program_preference(context))
        except (Refused, bake_program.ProgramError) as e:
            self.report({'ERROR'}, str(e))
            return None

    def _fail(self, job, error):
        job.cancel()
        self.report({'ERROR'}, str(error))
        return {'CANCELLED'}

    def _done(self, job):
        for warning in job.warnings():
            self.report({'WARNING'}, warning)
        self.report({'INFO'}, job.report())
        return {'FINISHED'}

    def execute(self, context):
        job = self._begin(context)
        if job is None:
            return {'CANCELLED'}
        try:
            job.advance()
        except _FAILURES as e:
            return self._fail(job, e)
        except Exception:
            job.cancel()
            raise
        return self._done(job)

    def invoke(self, context, event):
        if context.window is None:
            return self.execute(context)
        self._job = self._begin(context)
        if self._job is None:
            return {'CANCELLED'}
        RILLMARK_OT_bake._running = self._job
        wm = context.window_manager
        self._timer = wm.event_timer_add(0.05, window=context.window)
        wm.modal_handler_add(self)
        wm.progress_begin(0, 100)
        return {'RUNNING_MODAL'}

    def _end(self, context):
        RILLMARK_OT_bake._running = None
        wm = context.window_manager
        wm.event_timer_remove(self._timer)
        wm.progress_end()
        context.workspace.status_text_set(None)

    def modal(self, context, event):
        job = self._job
        if event.type == 'ESC' and event.value == 'PRESS':
            job.cancel()
            self._end(context)
            self.report({'WARNING'}, "Rillmark bake cancelled; the cache is as it was")
            return {'CANCELLED'}
        if event.type != 'TIMER':
            # While the frames are stepped the scene is the bake's.
            return {'PASS_THROUGH'} if job.stepper.done else {'RUNNING_MODAL'}
        try:
            finished = job.advance(budget=0.05)
        except _FAILURES as e:
            self._end(context)
            return self._fail(job, e)
        except Exception:
            self._end(context)
            job.cancel()
            raise
        fraction, text = job.progress()
        context.window_manager.progress_update(int(100 * fraction))
        context.workspace.status_text_set(text)
        if not finished:
            return {'RUNNING_MODAL'}
        self._end(context)
        return self._done(job)


class RILLMARK_OT_free_bake(bpy.types.Operator):
    bl_idname = "rillmark.free_bake"
    bl_label = "Free Bake"
    bl_description = "Remove the water's Rillmark cache modifier, and its cache file if asked"
    bl_options = {'REGISTER', 'UNDO'}

    delete_cache: BoolProperty(name="Delete the cache file", default=True)

    @classmethod
    def poll(cls, context):
        return context.object is not None and context.object.type == 'MESH'

    def invoke(self, context, event):
        return context.window_manager.invoke_props_dialog(self)

    def draw(self, context):
        self.layout.prop(self, "delete_cache")
        self.layout.label(text=cache_modifier.cache_location(context.object)[1])

    def execute(self, context):
        try:
            removed = cache_modifier.remove_cache(context.object, self.delete_cache)
        except OSError as e:
            self.report({'ERROR'}, f"Cannot delete {e.filename}: {e.strerror}")
            return {'CANCELLED'}
        self.report({'INFO'}, f"Rillmark: deleted {removed}" if removed else "Rillmark: the modifier is removed")
        return {'FINISHED'}


class RILLMARK_OT_apply_preset(bpy.types.Operator):
    bl_idname = "rillmark.apply_preset"
    bl_label = "Preset"
    bl_description = "Set the six wave parameters to a preset"
    bl_options = {'REGISTER', 'UNDO'}

    preset: EnumProperty(items=[(p["name"].upper(), p["caption"], p["hint"]) for p in description.presets])

    @classmethod
    def poll(cls, context):
        return context.object is not None and context.object.type == 'MESH'

    def execute(self, context):
        settings = context.object.rillmark
        for prop, value in description.preset_values(self.preset.lower()).items():
            setattr(settings, prop, value)
        return {'FINISHED'}


class _PresetFile:
    bl_options = {'REGISTER', 'UNDO'}
    filename_ext = ".rmp"
    filter_glob: StringProperty(default="*.rmp", options={'HIDDEN'})

    @classmethod
    def poll(cls, context):
        return context.object is not None and context.object.type == 'MESH'


class RILLMARK_OT_load_preset(_PresetFile, bpy.types.Operator, ImportHelper):
    bl_idname = "rillmark.load_preset"
    bl_label = "Load Parameters"
    bl_description = "Load the wave and wind parameters from a Rillmark preset file (.rmp)"

    def execute(self, context):
        try:
            values = bake_program.read_preset(_program(context), bpy.path.abspath(self.filepath))
        except bake_program.ProgramError as e:
            self.report({'ERROR'}, str(e))
            return {'CANCELLED'}
        settings = context.object.rillmark
        for p in description.in_preset_files():
            setattr(settings, p.prop, p.from_bake(values[p.name]))
        return {'FINISHED'}


class RILLMARK_OT_save_preset(_PresetFile, bpy.types.Operator, ExportHelper):
    bl_idname = "rillmark.save_preset"
    bl_label = "Save Parameters"
    bl_description = "Save the wave and wind parameters as a Rillmark preset file (.rmp), as the plug-in does"

    def execute(self, context):
        settings = context.object.rillmark
        arguments = [word for p in description.in_preset_files() for word in p.argument(getattr(settings, p.prop))]
        try:
            bake_program.write_preset(_program(context), bpy.path.abspath(self.filepath), arguments)
        except bake_program.ProgramError as e:
            self.report({'ERROR'}, str(e))
            return {'CANCELLED'}
        return {'FINISHED'}


_classes = (
    RillmarkWaterSettings,
    RillmarkPreferences,
    RILLMARK_OT_bake,
    RILLMARK_OT_free_bake,
    RILLMARK_OT_apply_preset,
    RILLMARK_OT_load_preset,
    RILLMARK_OT_save_preset,
    *panel.classes,
)


def register():
    for cls in _classes:
        bpy.utils.register_class(cls)
    bpy.types.Object.rillmark = PointerProperty(type=RillmarkWaterSettings)
    bpy.types.PHYSICS_PT_add.append(panel.draw_toggle)


def unregister():
    bpy.types.PHYSICS_PT_add.remove(panel.draw_toggle)
    del bpy.types.Object.rillmark
    for cls in reversed(_classes):
        bpy.utils.unregister_class(cls)
