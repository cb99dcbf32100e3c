"""Blender's window with the Rillmark Water panel, after a bake started from
the panel's Bake button as a user starts it (the modal bake), for the guide.
Run by blender-screenshot.sh in Blender's interface under Xvfb:

    blender --python blender_screenshot.py -- OUT.png

It quits with status 1 if the bake does not finish with the cache playing.
"""

import math
import os
import sys
import tempfile

import bpy

OUT = sys.argv[sys.argv.index("--") + 1]


def build_pond():
    for data in (bpy.data.objects, bpy.data.meshes, bpy.data.collections):
        for item in list(data):
            data.remove(item)
    scene = bpy.context.scene
    bpy.ops.mesh.primitive_grid_add(x_subdivisions=119, y_subdivisions=119, size=8)
    water = bpy.context.object
    water.name = "Pond"
    stones = bpy.data.collections.new("Stones")
    scene.collection.children.link(stones)
    for i, (x, y, frame) in enumerate(((-1.8, 1.2, 10), (1.5, -1.4, 30), (0.4, 1.9, 50))):
        bpy.ops.mesh.primitive_uv_sphere_add(radius=0.35, location=(x, y, 2.0))
        stone = bpy.context.object
        stone.name = f"Stone.{i + 1}"
        for other in list(stone.users_collection):
            other.objects.unlink(stone)
        stones.objects.link(stone)
        stone.keyframe_insert("location", frame=frame - 15)
        stone.location.z = -2.0
        stone.keyframe_insert("location", frame=frame + 15)
    scene.frame_start, scene.frame_end = 1, 80
    for obj in scene.objects:
        obj.select_set(obj == water)
    bpy.context.view_layer.objects.active = water
    settings = water.rillmark
    settings.enabled = True
    settings.effectors = stones
    return water


def window_areas():
    window = bpy.context.window_manager.windows[0]
    return window, {area.type: area for area in window.screen.areas}


def start():
    bpy.ops.wm.save_as_mainfile(filepath=os.path.join(tempfile.mkdtemp(prefix="rillmark-shot-"), "pond.blend"))
    build_pond()
    # A wider and taller Properties editor, so the whole panel shows: its
    # edges are moved with the pointer on them, where no region is active.
    window, areas = window_areas()
    properties = areas['PROPERTIES']
    edges = [(properties.x - 1, properties.y + properties.height // 2, -380),
             (properties.x + properties.width // 2, properties.y + properties.height + 1, 330)]
    bpy.app.timers.register(lambda: move_edges(edges), first_interval=0.2)


def move_edges(edges):
    window, areas = window_areas()
    if not edges:
        bake_from_the_panel()
        return None
    x, y, delta = edges[0]
    window.cursor_warp(x, y)
    if getattr(move_edges, "warped", False):
        with bpy.context.temp_override(window=window, screen=window.screen):
            bpy.ops.screen.area_move(x=x, y=y, delta=delta)
        edges.pop(0)
    move_edges.warped = not getattr(move_edges, "warped", False)
    return 0.3


def bake_from_the_panel():
    water = bpy.data.objects["Pond"]
    window, areas = window_areas()
    areas['PROPERTIES'].spaces.active.context = 'PHYSICS'
    view = areas['VIEW_3D'].spaces.active
    view.region_3d.view_rotation = (0.82, 0.42, 0.18, 0.35)
    view.region_3d.view_distance = 11.0
    view.region_3d.view_location = (0.0, 0.0, 0.0)
    view.overlay.show_floor = False
    viewport = areas['VIEW_3D']
    with bpy.context.temp_override(window=window, area=viewport, region=viewport.regions[-1]):
        bpy.ops.rillmark.bake('INVOKE_DEFAULT')
    bpy.app.timers.register(lambda: wait_for(water), first_interval=0.5)


def wait_for(water):
    import rillmark
    if rillmark.RILLMARK_OT_bake._running is not None:
        return 0.2
    if not water.modifiers.get("Rillmark"):
        print("blender_screenshot: the bake did not finish with the cache playing", file=sys.stderr)
        sys.exit(1)
    bpy.context.scene.frame_set(42)
    bpy.app.timers.register(shoot, first_interval=1.0)
    return None


def shoot():
    window, areas = window_areas()
    with bpy.context.temp_override(window=window, area=areas['VIEW_3D']):
        bpy.ops.screen.screenshot(filepath=OUT)
    print(f"blender_screenshot: wrote {OUT}")
    bpy.ops.wm.quit_blender()


bpy.app.timers.register(start, first_interval=2.0)
