// Measures of a mix: loudness after ITU-R BS.1770 (K-weighted mean square
// over 400 ms blocks with 75 % overlap, gated at -70 LUFS and 10 LU under
// the ungated mean), the level step at a loop seam, and how the energy
// spreads over the bass, middle and treble.
#pragma once

#include <array>

#include "Sound.h"

namespace content {

struct Loudness {
    double integrated = -200;    // LUFS; -200 for silence
    double maxMomentary = -200;  // the loudest 400 ms block
};

// A mono sound counts as played on both speakers, as the game's mixer
// plays it; a sound shorter than a block is measured as one block padded
// with silence.
Loudness measureLoudness(const Sound& sound);

// RMS of the first and of the last `ms` milliseconds compared, in dB (0
// when they match; positive either way). A loop that joins smoothly has a
// small step.
double seamStepDb(const Sound& sound, double ms = 50);
// The same for loudness over the last and first 400 ms, in LU: what a
// listener hears as a jump at the loop point.
double seamLoudnessStep(const Sound& sound);

// Shares of the energy below 250 Hz, from 250 to 2000 Hz and above 2000 Hz
// (one-pole splits; they sum to 1).
std::array<double, 3> bandShares(const Sound& sound);

}  // namespace content
