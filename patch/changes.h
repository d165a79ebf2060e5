#pragma once

// The one vocabulary of notifications: what the engine reports to the facade
// (one Change at a time) and what the facade hands on to the host bridge and
// the editor (the Changes of a block or of a facade call, merged). The kinds
// are declared once, in K1_CHANGE_KINDS; every receiver reads them from here.
//
// What a kind carries (its shape):
//   Index      first: a working preset index (singles or multis)
//   Range      first, count: a run of working preset indexes (count >= 1)
//   Parameter  param, value: an automation parameter and its normalized value
//   Nothing    no argument
//
// Merging (Changes::add): a kind is held once. A Range grows to the smallest
// run that holds every run reported (a dump of 32 singles is one run of 32);
// an Index keeps the latest index; each parameter is held once, with its
// latest value. Nothing here allocates, locks or throws.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "patch/parameterEnum.h"

// X(kind, shape), in declaration order.
#define K1_CHANGE_KINDS(X)                                                                                             \
    X(ActiveSingleChanged, Index)  /* another single became current */                                                 \
    X(ActiveSingleModified, Index) /* the current single's content changed */                                          \
    X(SinglesModified, Range)      /* stored singles changed (names, marks) */                                         \
    X(ActiveMultiChanged, Index)   /* another multi became current */                                                  \
    X(ActiveMultiModified, Index)  /* the current multi's content changed */                                           \
    X(MultisModified, Range)       /* stored multis changed */                                                         \
    X(ParameterChanged, Parameter) /* an automation parameter's value */                                               \
    X(PlayModeChanged, Nothing)    /* single or multi mode */                                                          \
    X(ConfigChanged, Nothing)      /* the system settings */

namespace k1lib
{
enum class ChangeShape : uint8_t
{
    Index,
    Range,
    Parameter,
    Nothing,
};

enum class ChangeKind : uint8_t
{
#define K1_CHANGE_ENUMERATOR(kind, shape) kind,
    K1_CHANGE_KINDS(K1_CHANGE_ENUMERATOR)
#undef K1_CHANGE_ENUMERATOR
};

namespace changeKinds
{
#define K1_CHANGE_SHAPE(kind, shape) ChangeShape::shape,
#define K1_CHANGE_NAME(kind, shape) #kind,
inline constexpr ChangeShape kShapes[] = {K1_CHANGE_KINDS(K1_CHANGE_SHAPE)};
inline constexpr const char* kNames[] = {K1_CHANGE_KINDS(K1_CHANGE_NAME)};
#undef K1_CHANGE_SHAPE
#undef K1_CHANGE_NAME
} // namespace changeKinds

inline constexpr size_t kChangeKindCount = std::size(changeKinds::kShapes);

constexpr ChangeShape shapeOf(ChangeKind kind)
{
    return changeKinds::kShapes[static_cast<size_t>(kind)];
}

// The kind's name as declared ("SinglesModified"), for logs and tests.
constexpr const char* nameOf(ChangeKind kind)
{
    return changeKinds::kNames[static_cast<size_t>(kind)];
}

// One report. Fields its kind's shape does not use hold their defaults.
struct Change
{
    ChangeKind kind = ChangeKind::ConfigChanged;
    size_t first = 0;
    size_t count = 0;
    EParam param = Param_Count;
    float value = 0.0f;

    bool operator==(const Change&) const = default;
};

// The reports of one delivery, merged as the header says. Kinds are visited
// in declaration order, parameters in ascending order.
class Changes
{
public:
    static constexpr size_t kParamWords = (kParamCount + 63) / 64;
    using ParamWords = std::array<uint64_t, kParamWords>;

    // A parameter outside the table is ignored.
    void add(const Change& change)
    {
        const size_t k = static_cast<size_t>(change.kind);
        if (shapeOf(change.kind) == ChangeShape::Parameter)
        {
            if (change.param >= kParamCount)
                return;
            m_params[change.param / 64] |= uint64_t{1} << (change.param % 64);
            m_values[change.param] = change.value;
        }
        else if (shapeOf(change.kind) == ChangeShape::Range && has(change.kind))
        {
            Change& held = m_held[k];
            const size_t end = held.first + held.count > change.first + change.count ? held.first + held.count
                                                                                     : change.first + change.count;
            held.first = held.first < change.first ? held.first : change.first;
            held.count = end - held.first;
        }
        else
        {
            m_held[k] = change;
        }
        m_kinds |= 1u << k;
    }

    bool empty() const { return m_kinds == 0; }
    bool has(ChangeKind kind) const { return (m_kinds >> static_cast<size_t>(kind)) & 1u; }
    // The held report of a kind (meaningful when has(kind); for parameters
    // see below).
    const Change& get(ChangeKind kind) const { return m_held[static_cast<size_t>(kind)]; }

    template <class Visit> void forEachKind(Visit&& visit) const
    {
        for (size_t k = 0; k < kChangeKindCount; ++k)
            if ((m_kinds >> k) & 1u)
                visit(static_cast<ChangeKind>(k));
    }

    // Parameters: bit p % 64 of word p / 64 stands for parameter p.
    const ParamWords& parameters() const { return m_params; }
    bool hasParameter(EParam param) const
    {
        return param < kParamCount && ((m_params[param / 64] >> (param % 64)) & 1u);
    }
    float value(EParam param) const { return param < kParamCount ? m_values[param] : 0.0f; }
    void setValue(EParam param, float value)
    {
        if (param < kParamCount)
            m_values[param] = value;
    }
    template <class Visit> void forEachParameter(Visit&& visit) const
    {
        for (size_t w = 0; w < kParamWords; ++w)
            for (uint64_t bits = m_params[w]; bits != 0; bits &= bits - 1)
            {
                const auto param = static_cast<EParam>(w * 64 + static_cast<size_t>(std::countr_zero(bits)));
                visit(param, m_values[param]);
            }
    }

    void clear()
    {
        m_kinds = 0;
        m_params.fill(0);
    }

private:
    static_assert(kChangeKindCount <= 32, "one bit per kind");

    uint32_t m_kinds = 0;
    std::array<Change, kChangeKindCount> m_held{};
    ParamWords m_params{};
    std::array<float, kParamCount> m_values{};
};
} // namespace k1lib
