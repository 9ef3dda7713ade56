#pragma once

// Straight transcriptions of the high-pass, shelving and dynamic-band stages that recompute every
// coefficient on every frame, as the stages are defined. The stages reuse coefficients while
// their inputs stand still and work on whole blocks (the two bands side by side); the chain
// tests hold the two against each other bit for bit. The header uses the DSP kit alone, so it
// needs no JUCE.

#include <algorithm>
#include <cmath>

#include "RampedValue.h"
#include "VLCompressorSIMD.h"
#include "VLIIRFilterSIMD.h"

namespace quillo::test
{
/** Decibels to the exponent of e: exp (dB * nepers) is the linear gain. */
constexpr float nepers = 0.115129255f;

/** The stages keep every frequency below 0.45 of the sample rate. */
inline float limitBelowNyquist (float hz, float sampleRate)
{
    const float limit = 0.45f * sampleRate;
    return hz <= limit ? hz : limit;
}

struct ReferenceHighPass
{
    double sampleRate = 44100.0;
    double w[2][2][2] = {};   // [channel][section][w1, w2]
    RampedValue cutoff;

    void processFrame (float* frame)
    {
        double fc = cutoff.next();
        fc = fc <= 0.45 * sampleRate ? fc : 0.45 * sampleRate;

        for (int ch = 0; ch < 2; ++ch)
        {
            double x = frame[ch] == 0.0f ? 1e-6 : (double) frame[ch];

            for (int s = 0; s < 2; ++s)
            {
                // Coefficients anew for every section of every frame.
                const double K = std::tan (3.141592653589793 * fc / sampleRate);
                const double r = (K + K) * 0.7071067811865476;
                const double d = K * K + r + 1.0;
                const double g = 1.0 / d;
                const double a1 = ((1.0 - K * K) + (1.0 - K * K)) / d;
                const double a2 = -(K * K - r + 1.0) / d;

                double& w1 = w[ch][s][0];
                double& w2 = w[ch][s][1];
                const double w0 = (a2 * w2 + a1 * w1) + x;
                double y = ((-2.0 * w1 + w0) + w2) * g;
                w2 = w1;
                w1 = w0;

                if (s == 0 && y == 0.0)
                    y = 1e-6;

                x = y;
            }

            frame[ch] = (float) x;
        }
    }
};

struct ReferenceShelves
{
    using v4f = Corvanite::v4f;

    float sampleRate = 44100.0f;
    VLIIRFilterSIMD low, high;
    RampedValue lowBoost, lowAttenuate, lowFrequency, highBoost, highAttenuate, highFrequency;

    void processFrame (float* frame)
    {
        const float gLB = std::exp (lowBoost.next() * nepers);
        const float gLA = std::exp (lowAttenuate.next() * -nepers);
        const float gHB = std::exp (highBoost.next() * nepers);
        const float gHA = std::exp (highAttenuate.next() * -nepers);
        const float fL = limitBelowNyquist (lowFrequency.next(), sampleRate);
        const float fH = limitBelowNyquist (highFrequency.next(), sampleRate);

        low.setCoefficients (VLIIRCoefficientsSIMD::makeLowShelf (v4f (sampleRate), v4f (fL),
                                                                  v4f (0.707f, 1.5f, 0.707f, 1.5f),
                                                                  v4f (gLB, gLA, gLB, gLA)));
        high.setCoefficients (VLIIRCoefficientsSIMD::makeHighShelf (v4f (sampleRate), v4f (fH),
                                                                    v4f (0.707f, 1.0f, 0.707f, 1.0f),
                                                                    v4f (gHB, gHA, gHB, gHA)));

        const v4f x (frame[0], frame[0], frame[1], frame[1]);
        const v4f y = high.processSingleSampleRaw (low.processSingleSampleRaw (x));
        frame[0] = (y[1] + y[0]) - frame[0];
        frame[1] = (y[3] + y[2]) - frame[1];
    }
};
struct ReferenceBand
{
    using v4f = Corvanite::v4f;

    float sampleRate = 44100.0f;
    VLIIRFilterSIMD sidechain, peak;
    VLCompressorSIMD compressor;
    RampedValue q, frequency, gain;
    float reduction = 1.0f;

    ReferenceBand()
    {
        q.current = q.target = 2.0f;   // where a band starts
        frequency.current = frequency.target = 500.0f;
        compressor.setLookAhead (0.002f);
        compressor.setAttack (0.005f);
        compressor.setRelease (0.02f);
    }

    void prepare (float rate)
    {
        sampleRate = rate;
        compressor.setSampleRate (rate);
    }

    void processFrame (float* frame)
    {
        const float gLin = std::exp (gain.next() * nepers);
        const float f = limitBelowNyquist (frequency.next(), sampleRate);
        const float Q = q.next();

        sidechain.setCoefficients (VLIIRCoefficientsSIMD::makeBandPass (v4f (sampleRate), v4f (f), v4f (Q)));
        const v4f x (frame[0], frame[1], 0.0f, 0.0f);
        const v4f sc = sidechain.processSingleSampleRaw (x);
        const v4f delayed = compressor.delay (x);
        const v4f g = compressor.processSidechain (sc);
        reduction = std::min (reduction, (g[1] + g[0]) * 0.5f);
        peak.setCoefficients (
            VLIIRCoefficientsSIMD::makePeakFilter (v4f (sampleRate), v4f (f), v4f (Q), v4f (gLin) * g));
        const v4f y = peak.processSingleSampleRaw (delayed);
        frame[0] = y[0];
        frame[1] = y[1];
    }
};
}   // namespace quillo::test
