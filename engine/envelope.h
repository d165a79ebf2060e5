#pragma once

// The amplitude envelope of one source: delay, attack, decay, sustain and
// release, each segment an exponential approach. Output is a linear gain
// 0..1; times are in seconds, the delay in engine samples, rates in hertz. A
// level of 0.001 counts as silence.
//
// Within a segment the state x is multiplied by r = 1 + k per sample. The
// values are taken four samples at a time: after the first three steps of a
// segment, the value of sample j + 4 is the one of sample j times r^4, so the
// four values of a group never wait on one another. They depend only on the
// position within the segment, never on how the samples are cut into spans.
//
// The state is kept in double precision: in single precision a long decay to
// a high sustain level changes the level by less than one unit in the last
// place per sample and stalls, and long segments drift off their times.
//
// Audio thread only; no allocation, logarithms only at segment changes.

#include <cstdint>

namespace k1lib
{
class Env
{
public:
    enum Stage : uint32_t
    {
        StageDelay = 0,
        StageAttack = 1,
        StageDecay = 2,
        StageSustain = 3,
        StageRelease = 4,
        StageFinished = 5,
    };

    // What render() tells of the samples it rendered.
    struct Span
    {
        int delayed = 0;    // leading samples still in the delay (not written)
        int finishedAt = 0; // 1 + the sample at which the envelope finished, 0 if it did not
    };

    // Starts the envelope at silence in its delay stage. delaySamples is the
    // delay in engine samples, attackTime the attack in seconds (0: the level
    // jumps to full on the first sample after the delay).
    void init(uint32_t delaySamples, float attackTime);

    // n engine samples: out[i] = output x level for every sample after the
    // delay. The decay time and sustain level are passed on every call, so
    // that they need not be stored per source.
    Span render(float* out, int n, float level, float decayTime, float sustainLevel, float rate);

    // One engine sample: returns the output 0..1 and advances the envelope.
    float process(float decayTime, float sustainLevel, float rate);

    // One engine sample of a holding envelope (see isHolding): the same as
    // process(), without its segment machinery.
    float hold()
    {
        ++m_counter;
        return static_cast<float>(m_value);
    }

    // Note-off: releases from the level reached, over releaseTime seconds, to
    // silence. A release during the delay finishes at once without sound.
    void release(float releaseTime, float rate);

    uint32_t getStage() const { return m_stage; }
    bool isDelaying() const { return m_stage == StageDelay; }
    bool isFinished() const { return m_stage == StageFinished; }
    // Sustain and finished: the output holds still until the next note-off.
    bool isHolding() const { return m_stage == StageSustain || m_stage == StageFinished; }

private:
    void beginSegment(double start, double factor);
    int renderSegment(float* out, int i, int n, float level, float decayTime, float sustainLevel, float rate,
                      Span& span);
    void endAttack(float decayTime, float sustainLevel, float rate);

    double m_value = 0.0;      // state x of the last sample; output 1 - x in the attack, x otherwise
    double m_ratio = 1.0;      // r = 1 + k: x of one sample from the one before
    double m_ratio4 = 1.0;     // r^4
    double m_history[4] = {};  // x of the segment's last four samples, oldest first
    uint32_t m_segmentSteps = 0; // samples since the segment began, up to 3
    uint32_t m_stage = StageDelay;
    uint32_t m_counter = 0;    // calls since init
    uint32_t m_delay = 0;      // engine samples
    float m_attackTime = 0.0f;
};
} // namespace k1lib
