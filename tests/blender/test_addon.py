"""The Blender add-on, installed from its zip into a fresh user folder and
driven through its Python interface in background Blender:

    blender -b --factory-startup --python-exit-code 1 --python test_addon.py -- ADDON.zip

(scripts/blender-run.sh sets up a user folder of its own). The water's evaluated vertices are
compared with what the bundled rillmark-bake writes for the same scene,
built here by the test's own plain loops rather than the add-on's code.
"""

import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import bpy
import numpy as np

ZIP = sys.argv[sys.argv.index("--") + 1]
FIRST, LAST, STEP = 1, 30, 2


def plain_world(matrix, co):
    """matrix x co in double, rounded to float32, one vertex at a time."""
    m = [list(row) for row in matrix]
    return [struct.unpack("f", struct.pack("f", m[r][0] * co[0] + m[r][1] * co[1] + m[r][2] * co[2] + m[r][3]))[0]
            for r in range(3)]


def world_vertices(obj):
    evaluated = obj.evaluated_get(bpy.context.evaluated_depsgraph_get())
    return [plain_world(evaluated.matrix_world, v.co) for v in evaluated.data.vertices]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def read_pc2(path):
    data = read_bytes(path)
    signature, version, points, start, rate, samples = struct.unpack("<12siiffi", data[:32])
    assert signature == b"POINTCACHE2\0" and version == 1
    values = np.frombuffer(data, dtype="<f4", offset=32)
    return start, rate, values.reshape(samples, points, 3)


def make_mesh_in(collection, name, operator, **kwargs):
    operator(**kwargs)
    obj = bpy.context.object
    obj.name = name
    for other in list(obj.users_collection):
        other.objects.unlink(obj)
    collection.objects.link(obj)
    return obj


def linear_keys(obj, path, keys):
    for frame, value in keys:
        setattr(obj, path, value)
        obj.keyframe_insert(path, frame=frame)
    for curve in obj.animation_data.action.fcurves:
        for point in curve.keyframe_points:
            point.interpolation = 'LINEAR'


class AddonTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        bpy.ops.wm.read_factory_settings(use_empty=True)
        bpy.ops.preferences.addon_install(filepath=ZIP)
        bpy.ops.preferences.addon_enable(module="rillmark")
        import rillmark.bake_program
        cls.program = rillmark.bake_program.bundled_program()
        cls.folder = tempfile.mkdtemp(prefix="rillmark-blender-test-")
        bpy.ops.wm.save_as_mainfile(filepath=os.path.join(cls.folder, "pond.blend"))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        # A water moved, turned and scaled; one stone keyed through it, one
        # boat parented to a moving empty; a keyed wind source.
        for obj in list(bpy.data.objects):
            bpy.data.objects.remove(obj)
        for collection in list(bpy.data.collections):
            bpy.data.collections.remove(collection)
        scene = bpy.context.scene
        scene.frame_set(0)
        self.effectors = bpy.data.collections.new("Effectors")
        scene.collection.children.link(self.effectors)
        root = scene.collection
        self.water = make_mesh_in(root, "Pond", bpy.ops.mesh.primitive_grid_add,
                                  x_subdivisions=24, y_subdivisions=20, size=4)
        self.water.location = (0.4, -0.3, 0.25)
        self.water.rotation_euler = (0.02, -0.01, 0.6)
        self.water.scale = (1.3, 0.9, 1.1)
        make_mesh_in(self.effectors, "Stone", bpy.ops.mesh.primitive_uv_sphere_add, radius=0.25)
        linear_keys(bpy.data.objects["Stone"], "location", [(2, (0.8, 0.1, 1.5)), (20, (0.8, 0.1, -1.0))])
        carrier = bpy.data.objects.new("Carrier", None)
        root.objects.link(carrier)
        linear_keys(carrier, "location", [(1, (-1.2, -0.6, 0.25)), (30, (0.9, 0.7, 0.25))])
        boat = make_mesh_in(self.effectors, "Boat", bpy.ops.mesh.primitive_cube_add, size=0.3)
        boat.parent = carrier
        self.wind = make_mesh_in(root, "Breeze", bpy.ops.mesh.primitive_cube_add, size=1.5)
        linear_keys(self.wind, "location", [(1, (3.0, 2.0, 0.5)), (30, (3.0, -2.0, 0.5))])

        bpy.context.view_layer.objects.active = self.water
        settings = self.water.rillmark
        settings.enabled = True
        settings.effectors = self.effectors
        settings.wind_source = self.wind
        settings.frame_start, settings.frame_end, settings.frame_step = FIRST, LAST, STEP
        self.cache = bpy.path.abspath(settings.cache_path)

    def bake_program_heights(self):
        """The bake program's samples for the scene, in world space, from a
        scene file made here."""
        scene = bpy.context.scene
        frames = range(FIRST, LAST + 1, STEP)
        boxes = {name: [] for name in ("Stone", "Boat", "Breeze")}
        for frame in frames:
            scene.frame_set(frame)
            if frame == FIRST:
                rest = world_vertices(self.water)
            for name, entries in boxes.items():
                points = world_vertices(bpy.data.objects[name])
                entries.append([frame, *[min(p[a] for p in points) for a in range(3)],
                                *[max(p[a] for p in points) for a in range(3)]])
        folder = tempfile.mkdtemp(dir=self.folder)
        np.array(rest, dtype="<f4").tofile(os.path.join(folder, "rest.f32"))
        with open(os.path.join(folder, "scene.json"), "w") as f:
            json.dump({"water": {"points": "rest.f32"},
                       "effectors": [{"name": "Effector-" + n, "boxes": boxes[n]} for n in ("Stone", "Boat")],
                       "wind": {"boxes": boxes["Breeze"]}}, f)
        subprocess.run([self.program, "--scene", os.path.join(folder, "scene.json"), "--pc2",
                        os.path.join(folder, "world.pc2"), "--start", str(FIRST), "--end", str(LAST),
                        "--step", str(STEP)], check=True, capture_output=True)
        return np.array(rest), read_pc2(os.path.join(folder, "world.pc2"))[2]

    def test_the_water_plays_the_bake_programs_heights_in_place(self):
        self.water.modifiers.new("Flat", 'DISPLACE').strength = 0.0
        rest, expected = self.bake_program_heights()
        bpy.context.scene.frame_set(0)
        self.assertEqual(bpy.ops.rillmark.bake(), {'FINISHED'})
        self.assertEqual([m.name for m in self.water.modifiers], ["Flat", "Rillmark"])
        self.assertEqual(bpy.context.scene.frame_current, 0)
        first = read_bytes(self.cache)
        start, rate, samples = read_pc2(self.cache)
        self.assertEqual((start, rate, len(samples)), (FIRST, STEP, len(expected)))

        # Baked again with the cache playing, the modifier moved first: the
        # old cache is not the new rest shape, and the modifier goes last.
        bpy.ops.object.modifier_move_to_index(modifier="Rillmark", index=0)
        self.assertEqual(bpy.ops.rillmark.bake(), {'FINISHED'})
        self.assertEqual(read_bytes(self.cache), first)
        self.assertEqual(self.water.modifiers[-1].name, "Rillmark")

        for i, frame in enumerate(range(FIRST, LAST + 1, STEP)):
            bpy.context.scene.frame_set(frame)
            played = np.array(world_vertices(self.water))
            np.testing.assert_allclose(played, expected[i], atol=2e-5, err_msg=f"frame {frame}")
        self.assertGreater(np.abs(expected[-1] - rest).max(), 1e-3)  # the stone and the boat made waves

        self.assertEqual(bpy.ops.rillmark.free_bake(), {'FINISHED'})
        self.assertEqual([m.name for m in self.water.modifiers], ["Flat"])
        self.assertFalse(os.path.exists(self.cache))

    def test_a_bake_that_cannot_be_done_says_why_and_changes_nothing(self):
        self.assertEqual(bpy.ops.rillmark.bake(), {'FINISHED'})
        before = read_bytes(self.cache)
        preferences = bpy.context.preferences.addons["rillmark"].preferences
        settings = self.water.rillmark

        def without_effectors():
            settings.effectors = None

        def with_no_mesh():
            settings.effectors = bpy.data.collections.new("Empty")

        def program_missing():
            preferences.bake_program = os.path.join(self.folder, "nowhere", "rillmark-bake")

        def water_moving():
            linear_keys(self.water, "location", [(10, (0.4, -0.3, 0.25)), (12, (0.4, -0.3, 0.5))])

        def program_failing():
            os.makedirs(os.path.join(self.folder, "taken.pc2"), exist_ok=True)
            settings.cache_path = "//taken.pc2"

        cases = [
            (without_effectors, "Choose a collection of effectors"),
            (with_no_mesh, "holds no mesh"),
            (program_missing, "rillmark-bake not found"),
            (water_moving, "moves at frame 11"),
            (program_failing, "taken.pc2: something other than a file is there"),
        ]
        for change, message in cases:
            with self.subTest(message):
                saved = {p: getattr(settings, p) for p in ("effectors", "cache_path")}
                change()
                try:
                    with self.assertRaisesRegex(RuntimeError, message):
                        bpy.ops.rillmark.bake()
                    self.assertEqual(read_bytes(self.cache), before)
                    self.assertEqual(self.water.modifiers[-1].filepath, saved["cache_path"])
                    self.assertEqual(bpy.context.scene.frame_current, 0)
                finally:
                    for p, value in saved.items():
                        setattr(settings, p, value)
                    preferences.bake_program = ""
                    if self.water.animation_data:
                        self.water.animation_data_clear()
                        self.water.location = (0.4, -0.3, 0.25)

    def test_a_stopped_bake_leaves_the_cache_as_it_was(self):
        # Esc stops the program: gently where a signal reaches it, else by
        # killing it and removing what it was writing.
        import rillmark.bake_program as bake_program
        folder = tempfile.mkdtemp(dir=self.folder)
        scene, cache = os.path.join(folder, "long.json"), os.path.join(folder, "old.pc2")
        with open(scene, "w") as f:
            json.dump({"water": {"grid": {"sides": 200, "extent": 4}}, "effectors": [{"sphere": {"radius": 0.3}}]}, f)
        for killed in (False, True):
            with self.subTest(killed=killed):
                with open(cache, "wb") as f:
                    f.write(b"the cache before")
                can_signal, bake_program._CAN_SIGNAL = bake_program._CAN_SIGNAL, not killed
                try:
                    process = bake_program.BakeProcess(
                        self.program, ["--scene", scene, "--pc2", cache, "--end", "10000", "--step", "1"], cache)
                    while process.poll() is None and process.progress.done == 0:
                        time.sleep(0.02)
                    self.assertIsNone(process.poll())
                    process.stop()
                finally:
                    bake_program._CAN_SIGNAL = can_signal
                self.assertNotEqual(process.poll(), 0)
                self.assertEqual(sorted(os.listdir(folder)), ["long.json", "old.pc2"])
                self.assertEqual(read_bytes(cache), b"the cache before")

    def test_preset_files_round_trip_with_the_plugins(self):
        # As the plug-in saves Honey with wind settings changed and no
        # Disturbance Type chosen.
        plugin = (b"0.5\r\n0.100000001490116\r\n0.300000011920929\r\n0.100000001490116\r\n"
                  b"0.00999999977648258\r\n50\r\n1.5\r\n0.25\r\n3\r\n-1\r\n")
        loaded = os.path.join(self.folder, "honey.rmp")
        with open(loaded, "wb") as f:
            f.write(plugin)
        settings = self.water.rillmark
        self.assertEqual(bpy.ops.rillmark.load_preset(filepath=loaded), {'FINISHED'})
        self.assertAlmostEqual(settings.speed, 0.3, places=6)
        self.assertEqual((settings.octaves, settings.disturbance_type), (3, "NO_ITEM"))
        saved = os.path.join(self.folder, "saved.rmp")
        self.assertEqual(bpy.ops.rillmark.save_preset(filepath=saved), {'FINISHED'})
        self.assertEqual(read_bytes(saved), plugin)

        with open(loaded, "wb") as f:
            f.write(plugin.replace(b"0.25", b"abc"))
        with self.assertRaisesRegex(RuntimeError, "honey.rmp:8: 'abc' is not a valid floating point value"):
            bpy.ops.rillmark.load_preset(filepath=loaded)
        self.assertEqual(settings.time_scale, 0.25)

        self.assertEqual(bpy.ops.rillmark.apply_preset(preset='SNOW'), {'FINISHED'})
        self.assertEqual((settings.speed, settings.time_decay, settings.octaves), (0.0, 0.0, 3))


if __name__ == "__main__":
    result = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
