// AudioEffect's value formatting: decibels, hertz and milliseconds from sample
// counts, and the eight-character decimal texts they all end in.

#include "vst/sdk/audioeffect.h"

#include <cmath>
#include <cstdio>

namespace
{
constexpr int kDisplayChars = 8;
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value <= 0.0f)
        vst_strncpy(text, "-oo", maxLen);
    else
        float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text,
                     maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen)
{
    float2string(samples != 0.0f ? sampleRate / samples : 0.0f, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen)
{
    float2string(samples * 1000.0f / sampleRate, text, maxLen);
}

// Sign, integer digits and the point first, then as many fraction digits as
// fit in eight characters (rounded); values too wide for that are "Huge!".
void AudioEffect::float2string(float value, char* text, VstInt32 maxLen)
{
    double v = value;
    if (!std::isfinite(v) || v > 99999999.0 || v < -9999999.0)
    {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    int used = v < 0.0 ? 1 : 0;
    double integer = std::floor(std::fabs(v));
    int digits = 1;
    for (double limit = 10.0; integer >= limit && digits < 8; limit *= 10.0)
        ++digits;
    used += digits + 1;
    int fraction = used < kDisplayChars ? kDisplayChars - used : 0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%#.*f", fraction, v);
    buffer[kDisplayChars] = '\0'; // rounding up may add a digit
    vst_strncpy(text, buffer, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (value >= 100000000)
    {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    vst_strncpy(text, buffer, maxLen);
}
