"""The add-on's whole bake beside Blender's own Dynamic Paint wave surface,
on scene (a) of the other benchmarks built in Blender: a 300 x 300 water,
ten spheres falling through it, frames 0 to 200. Run by bench.sh:

    blender -b --factory-startup --python blender_bench.py -- ADDON.zip

The add-on's time runs from the operator call to the modifier playing a
frame, split into Blender's frame stepping, the bake program, and the rest
(writing the scene, starting the program, the modifier). Dynamic Paint's is
a frame_set loop over the same frames.
"""

import os
import shutil
import sys
import tempfile
import time

import bpy

ZIP = sys.argv[sys.argv.index("--") + 1]
GRID_SIDE, WATER_SIDE = 300, 10.0
EFFECTORS, FIRST, LAST = 10, 0, 200


class Spread:
    """bench/scene_layout.h's spread of numbers in [0, 1)."""

    def __init__(self):
        self.state = 12345

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.state >> 8) / 16777216.0


def build_scene():
    for data in (bpy.data.objects, bpy.data.meshes, bpy.data.collections, bpy.data.actions):
        for item in list(data):
            data.remove(item)
    scene = bpy.context.scene
    bpy.ops.mesh.primitive_grid_add(x_subdivisions=GRID_SIDE - 1, y_subdivisions=GRID_SIDE - 1, size=WATER_SIDE)
    water = bpy.context.object
    water.name = "Water"
    spheres = bpy.data.collections.new("Effectors")
    scene.collection.children.link(spheres)
    spread = Spread()
    for i in range(EFFECTORS):
        x = (spread.next() - 0.5) * 0.8 * WATER_SIDE
        y = (spread.next() - 0.5) * 0.8 * WATER_SIDE
        entry = 5.0 + 18.0 * i
        bpy.ops.mesh.primitive_uv_sphere_add(segments=12, ring_count=6, radius=0.4)
        sphere = bpy.context.object
        for other in list(sphere.users_collection):
            other.objects.unlink(sphere)
        spheres.objects.link(sphere)
        for frame, z in ((entry - 20.0, 2.0), (entry + 20.0, -2.0)):
            sphere.location = (x, y, z)
            sphere.keyframe_insert("location", frame=frame)
        for curve in sphere.animation_data.action.fcurves:
            for point in curve.keyframe_points:
                point.interpolation = 'LINEAR'
    scene.frame_start, scene.frame_end = FIRST, LAST
    scene.frame_set(FIRST)
    return water, spheres


def addon_bake(folder):
    water, spheres = build_scene()
    bpy.ops.wm.save_as_mainfile(filepath=os.path.join(folder, "bench.blend"))
    bpy.context.view_layer.objects.active = water
    settings = water.rillmark
    settings.enabled = True
    settings.effectors = spheres
    settings.frame_step = 1
    began = time.perf_counter()
    assert bpy.ops.rillmark.bake() == {'FINISHED'}
    bpy.context.scene.frame_set(100)
    water.evaluated_get(bpy.context.evaluated_depsgraph_get()).data.vertices[0].co
    whole = time.perf_counter() - began
    import rillmark.bake_job
    t = rillmark.bake_job.last_timings
    cache = bpy.path.abspath(settings.cache_path)
    return whole, t["frame_stepping"], t["bake_program"], os.path.getsize(cache)


def with_override(obj, operator, **kwargs):
    with bpy.context.temp_override(object=obj, active_object=obj):
        operator(**kwargs)


def dynamic_paint():
    water, spheres = build_scene()
    water.modifiers.new("Dynamic Paint", 'DYNAMIC_PAINT').ui_type = 'CANVAS'
    with_override(water, bpy.ops.dpaint.type_toggle, type='CANVAS')
    surface = water.modifiers["Dynamic Paint"].canvas_settings.canvas_surfaces[0]
    surface.surface_type = 'WAVE'
    surface.frame_start, surface.frame_end = FIRST, LAST
    for sphere in spheres.objects:
        sphere.modifiers.new("Dynamic Paint", 'DYNAMIC_PAINT').ui_type = 'BRUSH'
        with_override(sphere, bpy.ops.dpaint.type_toggle, type='BRUSH')
    scene = bpy.context.scene
    began = time.perf_counter()
    for frame in range(FIRST, LAST + 1):
        scene.frame_set(frame)
    return time.perf_counter() - began


def main():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.ops.preferences.addon_install(filepath=ZIP)
    bpy.ops.preferences.addon_enable(module="rillmark")
    folder = tempfile.mkdtemp(prefix="rillmark-bench-")
    try:
        whole, stepping, program, size = addon_bake(folder)
        paint = dynamic_paint()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    rest = whole - stepping - program
    frames = LAST - FIRST + 1
    print(f"Blender {bpy.app.version_string}: {GRID_SIDE} x {GRID_SIDE} water, {EFFECTORS} spheres, {frames} frames")
    print(f"  add-on bake, operator call to the modifier playing: {whole * 1000:.0f} ms "
          f"(a {size / 1e6:.0f} MB PC2)")
    print(f"    Blender's frame stepping {stepping * 1000:.0f} ms ({stepping / whole:.0%}), "
          f"rillmark-bake {program * 1000:.0f} ms ({program / whole:.0%}), "
          f"the rest {rest * 1000:.0f} ms ({rest / whole:.0%})")
    print(f"  Dynamic Paint wave surface, frame_set over the frames: {paint * 1000:.0f} ms")
    print(f"  Dynamic Paint / add-on: {paint / whole:.1f}x (target: at least 5x)")


main()
