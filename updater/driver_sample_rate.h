// The bus driver's stored sample rate, which a firmware download leaves at 48 kHz.
#pragma once

namespace updater {

// Sets "SampleRate[Hz]" in the driver settings of the Velmora PRO Studio to 48000, whichever
// model is connected, if those settings exist.
void resetDriverSampleRate();

}  // namespace updater
