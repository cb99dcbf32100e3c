"""The Rillmark Water panel of the Properties editor's Physics tab, and its
toggle among the physics buttons. The parameters are laid out from their
description, in the order and groups of the plug-in's panel."""

import os

import bpy

from . import cache_modifier, parameters
from .frame_stepping import MODIFIER_NAME

_description = parameters.description()


def draw_toggle(self, context):
    """Beside Dynamic Paint, Fluid and the others under "Enable physics for"."""
    obj = context.object
    if obj is None or obj.type != 'MESH':
        return
    settings = obj.rillmark
    self.layout.prop(settings, "enabled", text="Rillmark Water", toggle=True,
                     icon='X' if settings.enabled else 'MOD_WAVE')


def _draw_parameters(layout, settings, group):
    col = layout.column()
    for p in _description.in_group(group):
        if p.kind == "choice":
            # A radio list, its caption where the other captions are.
            split = col.row().split(factor=0.4)
            split.alignment = 'RIGHT'
            split.label(text=p.caption)
            radios = split.column(align=True)
            radios.use_property_split = False
            for identifier, _, index in p.item_identifiers():
                if index >= 0:  # no item chosen shows as no button set
                    radios.prop_enum(settings, p.prop, identifier)
        else:
            col.prop(settings, p.prop)


class _RillmarkPanel:
    bl_space_type = 'PROPERTIES'
    bl_region_type = 'WINDOW'
    bl_context = "physics"

    @classmethod
    def poll(cls, context):
        obj = context.object
        return obj is not None and obj.type == 'MESH' and obj.rillmark.enabled

    def draw(self, context):
        self.layout.use_property_split = True
        self.draw_settings(context.object, context.object.rillmark, self.layout)


class PHYSICS_PT_rillmark(_RillmarkPanel, bpy.types.Panel):
    bl_label = "Rillmark Water"

    def draw_settings(self, obj, settings, layout):
        layout.prop(settings, "effectors")
        _draw_parameters(layout, settings, "run")
        layout.prop(settings, "cache_path")
        note = cache_modifier.cache_location(obj)[2]
        if note:
            layout.label(text=note, icon='INFO')
        modifier = obj.modifiers.get(MODIFIER_NAME)
        if modifier is not None and modifier.type == 'MESH_CACHE':
            state = "Playing " + os.path.basename(bpy.path.abspath(modifier.filepath))
            layout.label(text=state, icon='CHECKMARK')
        row = layout.row(align=True)
        row.scale_y = 1.4
        row.operator("rillmark.bake", icon='PHYSICS')
        row.operator("rillmark.free_bake", icon='TRASH')


class PHYSICS_PT_rillmark_waves(_RillmarkPanel, bpy.types.Panel):
    bl_label = "Waves"
    bl_parent_id = "PHYSICS_PT_rillmark"

    def draw_settings(self, obj, settings, layout):
        _draw_parameters(layout, settings, "waves")
        row = layout.row(align=True)
        for preset in _description.presets:
            row.operator("rillmark.apply_preset", text=preset["caption"]).preset = preset["name"].upper()
        row = layout.row(align=True)
        row.operator("rillmark.load_preset", text="Load", icon='FILEBROWSER')
        row.operator("rillmark.save_preset", text="Save", icon='FILE_TICK')


class PHYSICS_PT_rillmark_wind(_RillmarkPanel, bpy.types.Panel):
    bl_label = "Wind"
    bl_parent_id = "PHYSICS_PT_rillmark"

    def draw_settings(self, obj, settings, layout):
        layout.prop(settings, "wind_source")
        _draw_parameters(layout, settings, "wind")


classes = (PHYSICS_PT_rillmark, PHYSICS_PT_rillmark_waves, PHYSICS_PT_rillmark_wind)
