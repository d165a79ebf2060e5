#pragma once

// k1lib::Multi: the voice engine. It always plays one multi of eight sections
// (in single mode a fixed multi whose first section plays the current
// single), maps the sixteen MIDI channels to sections, starts and steals
// voices per section by zone, velocity switch and polyphony, runs each used
// section's LFO and vibrato, and mixes the voices into the outputs: stereo
// with pan, one output per section, or in single mode one per source.
//
// Rates in hertz (the engine's processing rate, 49920 Hz); output samples are
// linear floats. Audio thread only, under the engine lock.
//
// Real time: every voice comes from a pool allocated by the constructor and
// sized for the worst case (33 active and 64 released voices per section);
// note events, stealing and mixing never allocate, lock or log.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/noteProcessor.h"
#include "engine/sectionState.h"
#include "engine/voice.h"
#include "engine/voiceList.h"
#include "patch/parameterEnum.h"
#include "patch/presets.h"
#include "patch/staticArray.h"

namespace k1lib
{
class Engine;

// A level the mix applies (volume, pan, multi volume): a new value is
// reached through two smoothing stages in a row instead of at once, so that
// stepped volume curves and automation neither click nor buzz: the level and
// its slope both move without a break, whatever the steps. Once both stages
// sit within a hair of the target the level is the target itself again, and
// a level that holds still is applied as one value, as before it moved.
struct LevelGlide
{
    static constexpr float kTimeConstant = 0.016f; // seconds, of each stage
    // In double precision: a float stage stalls short of its target once
    // its steps fall below the float's resolution.
    double value = 0.0;  // the second stage: the level applied
    double first = 0.0;  // the first stage
    float target = 0.0f;
    bool moving = false;
    // Heads for `to` with the per-sample factor `pull`; fills
    // values[0..n-1] and returns true while the level moves in this span,
    // else leaves value == to and returns false.
    bool follow(float to, double pull, float* values, int n)
    {
        return (to != target || moving) && glide(to, pull, values, n);
    }
    bool glide(float to, double pull, float* values, int n);
    void snap(float to)
    {
        value = first = target = to;
        moving = false;
    }
};

class Multi
{
public:
    static constexpr size_t kSectionCount = 8;
    static constexpr size_t kChannelCount = 16;
    static constexpr size_t kMaxActivePerSection = 33;   // "VR"
    static constexpr size_t kMaxReleasedPerSection = 64; // stolen voices in their 20 ms release
    static constexpr size_t kPoolSize = kSectionCount * (kMaxActivePerSection + kMaxReleasedPerSection);
    static constexpr int kMaxSpan = Voice::kMaxSpan; // samples rendered at once
    static constexpr int kMaxOutputs = 8;
    static constexpr int32_t kCurrentSingle = 255; // section single: the engine's current single
    static constexpr int32_t kDefaultChannel = 255; // section channel: by omni / receive channel

    explicit Multi(Engine& engine);
    Multi(const Multi&) = delete;
    Multi& operator=(const Multi&) = delete;

    void setMulti(const MultiPreset& multi);
    void updateMulti(const MultiPreset& multi, EParam param);
    const MultiPreset& getMulti() const { return m_multi; }
    const MultiPreset& getSingleModeMulti() const { return m_singleModeMulti; }

    void noteOn(uint8_t channel, uint8_t key, uint8_t velocity);
    void noteOff(uint8_t channel, uint8_t key, uint8_t velocity);
    void setHoldPedal(uint8_t channel, bool on);
    void allNotesOff(uint8_t channel);
    void changeSingleForChannel(uint8_t channel, uint8_t program);
    void clearAllVoices();
    // Every channel forgets its keys and its pedal, without note-offs: after
    // a play-mode switch, which sends the channels' notes elsewhere and has
    // cleared the voices they struck.
    void forgetKeys();
    // Every held voice gets its note-off, as at all-notes-off, and every
    // channel forgets its keys and its pedal: when the channels that count
    // the keys change under them, so that their own note-offs and pedal-up
    // would go where nothing counts them (or a Solo single would strike a
    // long-released key again).
    void endHeldNotes();
    // Every section's voices back at the sample they have been heard up to
    // (see render()): before anything but a span's input changes what they
    // play, such as a single they may be playing.
    void settleVoices();
    void setRenderAhead(bool on)
    {
        settleVoices();
        m_renderAhead = on;
    }

    // Active and released voices of all sections.
    size_t getActiveVoiceCount() const;
    size_t getActiveVoiceCount(size_t section) const { return m_active[section].size(); }
    size_t getReleasedVoiceCount(size_t section) const { return m_released[section].size(); }
    const Voice& getActiveVoice(size_t section, size_t i) const { return m_pool[m_active[section][i]]; }

    // One engine sample: adds every voice into out[c][0] (c < numOutputs,
    // which the engine has zeroed). render() does the same for n samples
    // (1..kMaxSpan) in which no event and no parameter change happens; the
    // result equals n calls of process(). sourceMix holds the four source
    // gains per sample when they move within the span; null: the engine's.
    void process(float** out, int numOutputs) { render(out, numOutputs, 1); }
    void render(float* const* out, int numOutputs, int n, const float (*sourceMix)[kMaxSpan] = nullptr);
    // n engine samples in which no voice sounds and nothing happens: only
    // the LFOs of the sections in use move, as render() would move them.
    void runSilence(int64_t n);

    // Entered through the note processors' callbacks.
    void onNoteOn(uint8_t channel, uint8_t key, uint8_t velocity);
    void onNoteOff(uint8_t channel, uint8_t key, uint8_t velocity, uint8_t lastKey, uint8_t lastVelocity);

    void killVoices(size_t section, size_t keep);
    void createVoice(size_t section, const SinglePreset& single, uint8_t key, uint8_t velocity, uint8_t channel,
                     float cycle = 0.0f);
    void mapChannelsToSections();
    void stopVoicesForNote(size_t section, uint8_t key, uint8_t velocity, bool kill);
    // The section's single, null when its number lies outside the store.
    const SinglePreset* getSingle(size_t section) const;
    uint8_t getChannel(size_t section) const;
    const SectionState& getSectionState(size_t section) const { return m_sectionStates[section]; }
    const NoteProcessor& getNoteProcessor(uint8_t channel) const { return *m_noteProcessors[channel]; }
    void logTotalVoiceCount() const;

private:
    struct SectionList
    {
        StaticArray<uint8_t, kSectionCount> sections;
        size_t count = 0;
    };
    using ActiveList = VoiceList<kMaxActivePerSection>;
    using ReleasedList = VoiceList<kMaxReleasedPerSection>;

    static bool listensTo(const SectionList& list, size_t section);
    // The first held voice of the section with this key struck on this
    // channel gets its note-off.
    void releaseStruckOn(size_t section, uint8_t channel, uint8_t key, uint8_t velocity);
    VoiceId allocateVoice();
    void freeVoice(VoiceId id) { m_free[m_freeCount++] = id; }
    void removeActive(size_t section, size_t i);
    template <size_t N>
    void renderList(VoiceList<N>& list, float* const* acc, const VoiceSpanInput& input, int n);
    void updateSectionStates(int n);

    // Rendering ahead (see multiRender.cpp): a section's voices render up
    // to kMaxSpan samples at once into rows handed out span by span.
    struct SectionAhead
    {
        int length = 0;   // samples in the rows; 0: the voices are where they are heard
        int heard = 0;    // of them mixed
        int firstEnd = 0; // the first sample after which a voice has ended
        // What the rows were rendered with.
        SourceSpanInput source;
        float mix[4] = {};
        float vibrato = 0.0f;
        // After input that changed before its rows were heard, the section
        // renders span by span for a while, longer each time it happens
        // again.
        int directSpans = 0;
        int backOff = 0;
        alignas(32) float rows[4][kMaxSpan];
    };
    // The section's sums of the span into m_acc.
    void renderSection(size_t s, const VoiceSpanInput& input, int n, bool inUse);
    // Of the next `limit` samples after the span, how many in a row keep the
    // section's vibrato.
    int vibratoSteadyFor(size_t s, bool inUse, int limit) const;
    // Whether the first `take` samples of the span have the input the rows
    // were rendered with.
    bool aheadHolds(const SectionAhead& ahead, const VoiceSpanInput& input, int take) const;
    template <size_t N>
    void renderListAhead(VoiceList<N>& list, SectionAhead& ahead, const VoiceSpanInput& input, int n);
    // Frees the voices whose end has been heard, as rendering span by span
    // frees them after the span in which they end.
    void releaseEnded(size_t s);
    void settleSection(size_t s);
    void settleChannel(uint8_t channel);

    struct SectionLevels
    {
        LevelGlide gain, left, right;
        bool sounded = false; // the section had voices in the last span
    };

    Engine& m_engine;
    StaticArray<std::unique_ptr<NoteProcessor>, kChannelCount> m_noteProcessors;
    StaticArray<ActiveList, kSectionCount> m_active;
    StaticArray<ReleasedList, kSectionCount> m_released;
    StaticArray<SectionList, kChannelCount> m_channelSections;
    SectionList m_sectionsInUse;
    StaticArray<SectionState, kSectionCount> m_sectionStates;
    MultiPreset m_multi;
    MultiPreset m_singleModeMulti;
    size_t m_singlesOffset = 0;

    std::vector<Voice> m_pool; // kPoolSize voices, never resized
    StaticArray<VoiceId, kPoolSize> m_free;
    size_t m_freeCount = 0;

    // Scratch of render(): per-section vibrato per sample, source sums.
    StaticArray<StaticArray<float, kMaxSpan>, kSectionCount> m_vibrato;
    StaticArray<SpanRuns, kSectionCount> m_vibratoRuns;
    alignas(64) float m_acc[4][kMaxSpan] = {};
    StaticArray<SectionAhead, kSectionCount> m_ahead;
    bool m_renderAhead = true;
    std::vector<Voice::Progress> m_aheadStart; // by voice number: the progress at the rows' first sample
    std::vector<int> m_aheadEnd;               // by voice number: the sample after which it ended within the rows
    StaticArray<SectionLevels, kSectionCount> m_levels;
    LevelGlide m_multiVolume;
    double m_levelPull = 0.0; // each glide stage's step toward its target per sample
    bool m_soundedBefore = false; // a section sounded in the last span
};
} // namespace k1lib
