"""Steps the scene once through the bake's frame range and collects what
the bake program needs: the water's rest shape, and each simulated frame's
world-space boxes of the effectors and the wind source.

Every frame of the range is visited, not only the simulated ones, so that
physics (rigid bodies, cloth), which Blender advances one frame at a time,
moves the effectors as it does on playback.
"""

import time

import numpy as np

from .scene_export import SceneRecord, to_world, world_box

MODIFIER_NAME = "Rillmark"


class Refused(Exception):
    """A scene the bake cannot take; the text is for the user."""


def _local_vertices(mesh):
    co = np.empty(len(mesh.vertices) * 3, dtype=np.float32)
    mesh.vertices.foreach_get("co", co)
    return co.reshape(-1, 3)


def _local_corners(evaluated):
    """A box around an object of any kind, in its own coordinates."""
    if evaluated.type == 'MESH':
        return _local_vertices(evaluated.data)
    if evaluated.type == 'EMPTY':
        s = evaluated.empty_display_size
        return np.array([[-s, -s, -s], [s, s, s]], dtype=np.float32)
    return np.array(evaluated.bound_box, dtype=np.float32)


class FrameStepper:
    def __init__(self, context, water, effectors, wind_source, first, last, step, names):
        self.context = context
        self.scene = context.scene
        self.water = water
        self.effectors = list(zip(effectors, names))
        self.wind_source = wind_source
        self.frames = list(range(first, last + 1))
        self.simulated = set(range(first, last + 1, step))
        self.position = 0
        self.record = SceneRecord("Water", names)
        if wind_source is not None:
            self.record.wind = []
        self.seconds = 0.0
        self._first_matrix = None
        self._saved_frame = (self.scene.frame_current, self.scene.frame_subframe)
        # The water's own cache must not feed its new rest shape.
        self._modifier = water.modifiers.get(MODIFIER_NAME)
        self._shown = self._modifier.show_viewport if self._modifier else None
        if self._modifier:
            self._modifier.show_viewport = False

    @property
    def done(self):
        return self.position >= len(self.frames)

    def step(self, budget=None):
        """Visits frames until all are done or `budget` seconds are spent."""
        began = time.perf_counter()
        while not self.done:
            self._visit(self.frames[self.position])
            self.position += 1
            if budget is not None and time.perf_counter() - began >= budget:
                break
        self.seconds += time.perf_counter() - began

    def _visit(self, frame):
        self.scene.frame_set(frame)
        depsgraph = self.context.evaluated_depsgraph_get()
        water = self.water.evaluated_get(depsgraph)
        matrix = np.array(water.matrix_world, dtype=np.float64)
        if self._first_matrix is None:
            self._first_matrix = matrix
            rest = _local_vertices(water.data)
            if len(rest) == 0:
                raise Refused(f"The water '{self.water.name}' has no vertices")
            self.record.rest = to_world(rest, matrix)
            self.record.inverse = np.linalg.inv(matrix)
        elif not np.array_equal(matrix, self._first_matrix):
            raise Refused(f"The water '{self.water.name}' moves at frame {frame}; Rillmark bakes a water at rest: "
                          "keep its location, rotation and scale (and its parents') still over the frame range")
        if frame not in self.simulated:
            return
        for effector, name in self.effectors:
            evaluated = effector.evaluated_get(depsgraph)
            box = world_box(_local_vertices(evaluated.data), evaluated.matrix_world)
            self.record.add_box(self.record.effectors[name], frame, box)
        if self.wind_source is not None:
            evaluated = self.wind_source.evaluated_get(depsgraph)
            self.record.add_box(self.record.wind, frame, world_box(_local_corners(evaluated), evaluated.matrix_world))

    def restore(self):
        """The frame and the modifier as they were before."""
        frame, subframe = self._saved_frame
        self.scene.frame_set(frame, subframe=subframe)
        if self._modifier:
            try:
                self._modifier.show_viewport = self._shown
            except ReferenceError:  # removed meanwhile
                pass
