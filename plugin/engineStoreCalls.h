#pragma once

// The facade's calls into the engine's preset store, state chunk and preset
// sending, made through one template each. The engine is gaining these
// operations while the facade is built: each call compiles whether or not
// the engine has the operation yet, uses it as soon as it exists, and until
// then refuses with a log line (queries answer false). Once the engine has
// them all, the facade can call them directly and this file can go.
//
// Threads: as the engine; every call runs under the facade's engine lock.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "patch/log.h"
#include "patch/parameterEnum.h"
#include "patch/presets.h"

namespace k1lib::storeCalls
{
inline bool missing(const char* operation)
{
    K1_LOG("The engine has no " << operation << " yet");
    return false;
}

template <class E>
bool setSingles(E& e, size_t first, const std::vector<SinglePreset>& presets)
{
    if constexpr (requires { e.setSingles(first, presets); })
        return e.setSingles(first, presets);
    else
        return missing("setSingles");
}

template <class E>
bool setMultis(E& e, size_t first, const std::vector<MultiPreset>& presets)
{
    if constexpr (requires { e.setMultis(first, presets); })
        return e.setMultis(first, presets);
    else
        return missing("setMultis");
}

template <class E>
void setCurrentSingleName(E& e, const std::string& name)
{
    if constexpr (requires { e.setCurrentSingleName(name); })
        e.setCurrentSingleName(name);
    else
        missing("setCurrentSingleName");
}

template <class E>
void setCurrentMultiName(E& e, const std::string& name)
{
    if constexpr (requires { e.setCurrentMultiName(name); })
        e.setCurrentMultiName(name);
    else
        missing("setCurrentMultiName");
}

template <class E>
bool isSingleModified(const E& e, size_t index)
{
    if constexpr (requires { e.isSingleModified(index); })
        return e.isSingleModified(index);
    else
        return false;
}

template <class E>
bool isMultiModified(const E& e, size_t index)
{
    if constexpr (requires { e.isMultiModified(index); })
        return e.isMultiModified(index);
    else
        return false;
}

template <class E>
bool restoreFactorySingle(E& e, size_t index)
{
    if constexpr (requires { e.restoreFactorySingle(index); })
        return e.restoreFactorySingle(index);
    else
        return missing("restoreFactorySingle");
}

template <class E>
bool restoreFactoryMulti(E& e, size_t index)
{
    if constexpr (requires { e.restoreFactoryMulti(index); })
        return e.restoreFactoryMulti(index);
    else
        return missing("restoreFactoryMulti");
}

template <class E>
bool swapSources(E& e, size_t a, size_t b)
{
    if constexpr (requires { e.swapSources(a, b); })
        return e.swapSources(a, b);
    else
        return missing("swapSources");
}

template <class E>
bool sendSingle(const E& e, size_t index, uint8_t slot)
{
    if constexpr (requires { e.sendSingle(index, slot); })
        return e.sendSingle(index, slot);
    else
        return missing("sendSingle");
}

template <class E>
bool sendMulti(const E& e, size_t index, uint8_t slot)
{
    if constexpr (requires { e.sendMulti(index, slot); })
        return e.sendMulti(index, slot);
    else
        return missing("sendMulti");
}

template <class E>
bool sendParameterAsSysex(const E& e, EParam param, float normalized)
{
    if constexpr (requires { e.sendParameterAsSysex(param, normalized); })
        return e.sendParameterAsSysex(param, normalized);
    else
        return missing("sendParameterAsSysex");
}

template <class E>
bool saveState(E& e, std::vector<uint8_t>& out)
{
    if constexpr (requires { e.saveState(out); })
        return e.saveState(out);
    else
        return missing("saveState");
}

template <class E>
bool loadState(E& e, const std::vector<uint8_t>& in)
{
    if constexpr (requires { e.loadState(in); })
        return e.loadState(in);
    else
        return missing("loadState");
}

// Whether the engine type already saves and restores its state.
template <class E>
constexpr bool hasStateChunk()
{
    return requires(E& e, std::vector<uint8_t>& out) {
        e.saveState(out);
        e.loadState(out);
    };
}
} // namespace k1lib::storeCalls
