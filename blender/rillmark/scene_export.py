"""The scene handed to rillmark-bake, made of plain arrays: the water's rest
shape in world space, a world-space bounding box per simulated frame for
each effector and the wind source, and the transform that brings the
samples back into the water's own coordinates. No bpy."""

import json
import os

import numpy as np

POINTS_FILE = "water.f32"
SCENE_FILE = "scene.json"


def to_world(local, matrix):
    """Local vertex coordinates (n x 3, float32) under a 4 x 4 matrix, in
    double, rounded once to float32."""
    m = np.asarray(matrix, dtype=np.float64)
    return (local.astype(np.float64) @ m[:3, :3].T + m[:3, 3]).astype(np.float32)


def world_box(local, matrix):
    """[min x, min y, min z, max x, max y, max z] of the vertices in world
    space. No vertices: an empty box at the object's origin, which reaches
    no water."""
    if len(local) == 0:
        origin = np.asarray(matrix, dtype=np.float64)[:3, 3].astype(np.float32)
        return [float(v) for v in (*origin, *origin)]
    world = to_world(local, matrix)
    return [float(v) for v in (*world.min(axis=0), *world.max(axis=0))]


class SceneRecord:
    """What the frame stepping collects, written out as a scene file."""

    def __init__(self, water_name, effector_names):
        self.water_name = water_name
        self.rest = None            # float32, n x 3, world space
        self.inverse = None         # 4 x 4: world -> the water's coordinates
        self.effectors = {name: [] for name in effector_names}
        self.wind = None            # boxes, when there is a wind source

    def add_box(self, boxes, frame, box):
        boxes.append([int(frame), *box])

    def write(self, folder):
        """Writes the points file and the scene file into the folder;
        returns the scene file's path."""
        self.rest.astype("<f4").tofile(os.path.join(folder, POINTS_FILE))
        doc = {
            "water": {"name": self.water_name, "points": POINTS_FILE},
            "effectors": [{"name": name, "boxes": boxes} for name, boxes in self.effectors.items()],
            "output_transform": [[float(v) for v in row] for row in np.asarray(self.inverse)[:3]],
        }
        if self.wind is not None:
            doc["wind"] = {"boxes": self.wind}
        path = os.path.join(folder, SCENE_FILE)
        with open(path, "w", encoding="utf-8") as f:
            json.dump(doc, f)
        return path
