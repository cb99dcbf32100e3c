"""The simulation's parameters as the bake program describes them.

`make package` runs `rillmark-bake --describe-parameters` and puts its
answer beside this file as parameters.json, so the add-on's properties,
presets and command lines come from the same declaration as the plug-in's
panel, never from a second list kept here. No bpy: the property group is
made from these in __init__.py.
"""

import json
import os
import re

DESCRIPTION_FILE = os.path.join(os.path.dirname(__file__), "parameters.json")

# The run's frames are named after Blender's own frame_start/frame_end.
_PROPERTY_NAMES = {"start": "frame_start", "end": "frame_end", "step": "frame_step"}
# A cache holds every simulated frame; keying is the plug-in's business.
_NOT_PROPERTIES = {"record_keys"}
# The choice of no item, which the panel shows as no radio button set.
NO_ITEM = "NO_ITEM"


class Parameter:
    """One parameter: its description, and the name of its property."""

    def __init__(self, described):
        self.name = described["name"]
        self.prop = _PROPERTY_NAMES.get(self.name, self.name)
        self.kind = described["kind"]  # float, integer, flag or choice
        self.group = described["group"]  # waves, wind or run: where the panel shows it
        self.caption = described["caption"]
        self.default = described["default"]
        self.minimum = described.get("min")
        self.maximum = described.get("max")
        self.increment = described.get("increment")
        self.option = described["option"]
        self.negative_option = described.get("negative_option")
        self.preset_line = described.get("preset_line")
        self.presets = described.get("presets", {})
        self.items = described.get("items", [])
        hint, help_text = described.get("hint", ""), described.get("help", "")
        self.description = help_text or hint

    def item_identifiers(self):
        """(identifier, caption, index) of each choice, "Noise (Classical)"
        becoming NOISE_CLASSICAL, and NO_ITEM for the index -1 where the
        parameter allows it (a preset file may hold it: no item chosen)."""
        items = [(enum_identifier(text), text, index) for index, text in enumerate(self.items)]
        if self.minimum == -1:
            items.append((NO_ITEM, "None", -1))
        return items

    def from_bake(self, value):
        """A value as the bake program gives it, as the property holds it."""
        if self.kind == "choice":
            return next(identifier for identifier, _, index in self.item_identifiers() if index == value)
        return value

    def argument(self, value):
        """The bake program's command-line words for a property's value."""
        if self.kind == "choice":
            value = next(index for identifier, _, index in self.item_identifiers() if identifier == value)
        if self.kind == "flag":
            return [self.option if value else self.negative_option]
        if self.kind == "float":
            # repr() of the property's 32-bit value widened to double reads
            # back as that same float.
            return [self.option, repr(float(value))]
        return [self.option, str(int(value))]


class Description:
    def __init__(self, document):
        self.parameters = [Parameter(p) for p in document["parameters"] if p["name"] not in _NOT_PROPERTIES]
        self.presets = document["presets"]  # name, caption, hint

    def parameter(self, name):
        return next(p for p in self.parameters if p.name == name)

    def preset_values(self, preset):
        """Property name -> value of one preset (water, honey or snow)."""
        return {p.prop: p.from_bake(p.presets[preset]) for p in self.parameters if preset in p.presets}

    def in_group(self, group):
        return [p for p in self.parameters if p.group == group]

    def in_preset_files(self):
        return [p for p in self.parameters if p.preset_line]


def enum_identifier(text):
    return re.sub(r"[^A-Z0-9]+", "_", text.upper()).strip("_")


_loaded = None


def description():
    """The parameters.json beside this file, read once."""
    global _loaded
    if _loaded is None:
        try:
            with open(DESCRIPTION_FILE, encoding="utf-8") as f:
                _loaded = Description(json.load(f))
        except FileNotFoundError:
            raise ImportError(f"{DESCRIPTION_FILE} is missing: install the add-on from the zip "
                              "that make package writes, which holds it") from None
    return _loaded
