"""One bake of one water, in steps, so that the same job runs to the end in
one call (scripts, background mode) or a slice at a time from a modal
operator (the interface, with progress and Esc).

Until the bake program has written the whole cache, nothing of the user's
is changed: the frame and the modifier are put back, the program writes
under a temporary name, and the modifier is touched only once it succeeded.
"""

import os
import shutil
import tempfile
import time

from . import bake_program, cache_modifier
from .frame_stepping import FrameStepper, Refused

# The last finished bake's seconds: Blender's frame stepping, the bake
# program, and the whole; the benchmark reads them.
last_timings = {}

# The scene file's names for the effectors: none can be the water's or the
# wind source's name, which the bake program reserves.
_EFFECTOR_PREFIX = "Effector-"


def _effector_meshes(settings, water):
    if settings.effectors is None:
        raise Refused("Choose a collection of effectors")
    meshes = [o for o in settings.effectors.all_objects if o.type == 'MESH' and o != water]
    if not meshes:
        raise Refused(f"The effector collection '{settings.effectors.name}' holds no mesh besides the water")
    return meshes


class BakeJob:
    def __init__(self, context, water, description, program_preference):
        began = time.perf_counter()
        if water is None or water.type != 'MESH':
            raise Refused("Select a mesh object as the water")
        settings = water.rillmark
        if not settings.enabled:
            raise Refused(f"Rillmark Water is not enabled on '{water.name}'")
        effectors = _effector_meshes(settings, water)
        if settings.wind and settings.wind_source is None:
            raise Refused("Enable Wind Source is on, but no wind source object is chosen")
        if settings.frame_start > settings.frame_end:
            raise Refused(f"No frame to bake: Start ({settings.frame_start}) is after End ({settings.frame_end})")
        cache_modifier.check_modifier_free(water)
        self.program = bake_program.find_program(program_preference)

        self.water = water
        self.first, self.last, self.step = settings.frame_start, settings.frame_end, settings.frame_step
        self.modifier_path, self.cache_path, self.note = cache_modifier.cache_location(water)
        self.arguments = [word for p in description.parameters for word in p.argument(getattr(settings, p.prop))]
        wind_source = settings.wind_source if settings.wind else None
        names = [_EFFECTOR_PREFIX + o.name for o in effectors]
        self.stepper = FrameStepper(context, water, effectors, wind_source, self.first, self.last, self.step, names)
        self.process = None
        self.folder = None
        self.made_folder = None
        self.started = began
        self.program_seconds = 0.0

    def advance(self, budget=None):
        """Does the next slice of the work (all of it without a budget).
        True once the cache plays; raises Refused or ProgramError on failure,
        after which cancel() puts everything back."""
        if not self.stepper.done:
            self.stepper.step(budget)
            if not self.stepper.done:
                return False
            self.stepper.restore()
            self._start_program()
            if budget is not None:
                return False
        if budget is None:
            self.process.wait()
        status = self.process.poll()
        if status is None:
            return False
        self.program_seconds = time.perf_counter() - self.program_started
        if status != 0:
            raise bake_program.ProgramError(self.process.failure())
        self._finish()
        return True

    def _start_program(self):
        self.folder = tempfile.mkdtemp(prefix="rillmark-")
        scene_file = self.stepper.record.write(self.folder)
        cache_folder = os.path.dirname(self.cache_path)
        if not os.path.isdir(cache_folder):
            try:
                os.makedirs(cache_folder)
            except OSError as e:
                raise Refused(f"Cannot make the cache's folder {cache_folder}: {e.strerror}") from e
            self.made_folder = cache_folder
        self.program_started = time.perf_counter()
        self.process = bake_program.BakeProcess(
            self.program, ["--scene", scene_file, "--pc2", self.cache_path, *self.arguments], self.cache_path)

    def _finish(self):
        cache_modifier.play_cache(self.stepper.context, self.water, self.modifier_path, self.first, self.step)
        self.made_folder = None
        self._clean_up()
        total = time.perf_counter() - self.started
        last_timings.clear()
        last_timings.update(frame_stepping=self.stepper.seconds, bake_program=self.program_seconds, total=total)

    def cancel(self):
        """Stops whatever runs and puts back what the job changed."""
        if not self.stepper.done:
            self.stepper.restore()
        if self.process is not None:
            self.process.stop()
        if self.made_folder:
            try:
                os.rmdir(self.made_folder)  # only if the bake left it empty
            except OSError:
                pass
        self._clean_up()

    def _clean_up(self):
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def progress(self):
        """(fraction done, a line for the status bar)."""
        frames = len(self.stepper.frames)
        if not self.stepper.done or self.process is None:
            text = f"Rillmark: reading frame {self.stepper.position} of {frames} (Esc to cancel)"
            return 0.5 * self.stepper.position / max(frames, 1), text
        p = self.process.progress
        text = f"Rillmark: baking frame {p.done} of {p.total or '?'}"
        if p.left:
            text += f", {p.left} left"
        return 0.5 + 0.5 * p.done / max(p.total, 1), text + " (Esc to cancel)"

    def report(self):
        """What the user is told when the cache plays."""
        text = (f"Rillmark: baked '{self.water.name}' frames {self.first} to {self.last} "
                f"to {self.cache_path} in {last_timings['total']:.2f} s")
        return text + (f". {self.note}" if self.note else "")

    def warnings(self):
        return self.process.warnings() if self.process else []
