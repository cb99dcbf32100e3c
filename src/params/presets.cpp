#include "params/presets.h"

namespace rillmark {

void applyPreset(ParameterSet& params, const WavePreset& preset) {
  params.spinamp.setValue(preset.amplitude);
  params.spinfreq.setValue(preset.wavelength);
  params.spinvel.setValue(preset.speed);
  params.spindecay.setValue(preset.decay);
  params.spintimedecay.setValue(preset.timeDecay);
  params.spinlat.setValue(preset.lifeSpan);
}

}  // namespace rillmark
