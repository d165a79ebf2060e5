// Loading a VST 2.4 .so and the host -> plug-in requests.

#include "tools/vsthost/hostedPlugin.h"

#include "patch/log.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace vsthost
{
namespace
{
using EntryPoint = AEffect* (*)(audioMasterCallback);

// dlsym on a library handle also searches the library's dependencies: only a
// symbol defined by the library itself counts as its entry point.
void* ownSymbol(void* library, const char* name)
{
    void* symbol = dlsym(library, name);
    link_map* map = nullptr;
    Dl_info info{};
    if (symbol == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 ||
        dladdr(symbol, &info) == 0 || info.dli_fname == nullptr ||
        std::strcmp(info.dli_fname, map->l_name) != 0)
        return nullptr;
    return symbol;
}
} // namespace

thread_local HostedPlugin* HostedPlugin::loading_ = nullptr;

std::unique_ptr<HostedPlugin> HostedPlugin::load(const std::string& path, float sampleRate,
                                                 int blockSize)
{
    std::unique_ptr<HostedPlugin> host(new HostedPlugin);
    host->sampleRate_ = sampleRate;
    host->blockSize_ = blockSize;
    host->setPosition(0);
    size_t slash = path.find_last_of('/');
    host->directory_ = slash == std::string::npos ? "." : path.substr(0, slash);

    // dlopen searches the library path for a bare name; a plug-in path is a file.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    host->library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (host->library_ == nullptr)
    {
        K1_LOG("Cannot load " << path << ": " << dlerror());
        return nullptr;
    }
    auto entry = reinterpret_cast<EntryPoint>(ownSymbol(host->library_, "VSTPluginMain"));
    if (entry == nullptr)
        entry = reinterpret_cast<EntryPoint>(ownSymbol(host->library_, "main"));
    if (entry == nullptr)
    {
        K1_LOG(path << " has no VSTPluginMain or main entry point");
        return nullptr;
    }
    loading_ = host.get();
    AEffect* effect = entry(&HostedPlugin::callback);
    loading_ = nullptr;
    if (effect == nullptr || effect->magic != kEffectMagic || effect->dispatcher == nullptr)
    {
        K1_LOG(path << " returned no valid effect");
        return nullptr;
    }
    host->effect_ = effect;
    effect->resvd1 = reinterpret_cast<VstIntPtr>(host.get());
    host->dispatch(effOpen);
    host->dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    host->dispatch(effSetBlockSize, 0, blockSize);
    return host;
}

HostedPlugin::~HostedPlugin()
{
    if (effect_ != nullptr)
    {
        suspend();
        dispatch(effClose);
    }
    // The library stays loaded, as hosts commonly keep it: a plug-in may leave
    // threads, thread-local destructors or exit handlers behind in its code.
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt)
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostedPlugin::text(VstInt32 opcode, VstInt32 index)
{
    // Far larger than any limit: a plug-in that overruns its limit is seen
    // doing so instead of corrupting the host.
    char buffer[512] = {};
    dispatch(opcode, index, 0, buffer);
    return std::string(buffer, strnlen(buffer, sizeof buffer - 1));
}

std::string HostedPlugin::effectName() { return text(effGetEffectName, 0); }
std::string HostedPlugin::vendorString() { return text(effGetVendorString, 0); }
std::string HostedPlugin::productString() { return text(effGetProductString, 0); }
std::string HostedPlugin::parameterName(int index) { return text(effGetParamName, index); }
std::string HostedPlugin::parameterDisplay(int index) { return text(effGetParamDisplay, index); }
std::string HostedPlugin::parameterLabel(int index) { return text(effGetParamLabel, index); }
std::string HostedPlugin::currentProgramName() { return text(effGetProgramName, 0); }

VstIntPtr HostedPlugin::canDo(const std::string& query)
{
    std::vector<char> buffer(query.begin(), query.end());
    buffer.push_back('\0');
    return dispatch(effCanDo, 0, 0, buffer.data());
}

float HostedPlugin::parameter(int index)
{
    return effect_->getParameter(effect_, index);
}

void HostedPlugin::setParameter(int index, float value)
{
    effect_->setParameter(effect_, index, value);
}

int HostedPlugin::program()
{
    return static_cast<int>(dispatch(effGetProgram));
}

void HostedPlugin::setProgram(int program)
{
    dispatch(effBeginSetProgram);
    dispatch(effSetProgram, 0, program);
    dispatch(effEndSetProgram);
}

bool HostedPlugin::programName(int index, std::string& name)
{
    char buffer[512] = {};
    if (dispatch(effGetProgramNameIndexed, index, 0, buffer) == 0)
        return false;
    name.assign(buffer, strnlen(buffer, sizeof buffer - 1));
    return true;
}

bool HostedPlugin::saveChunk(bool preset, std::vector<uint8_t>& bytes)
{
    if (!hasFlag(effFlagsProgramChunks))
    {
        K1_LOG("The plug-in keeps its state in parameters, not in chunks");
        return false;
    }
    void* data = nullptr;
    VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr)
    {
        K1_LOG("The plug-in returned no " << (preset ? "program" : "bank") << " chunk");
        return false;
    }
    const auto* begin = static_cast<const uint8_t*>(data);
    bytes.assign(begin, begin + size);
    return true;
}

bool HostedPlugin::loadChunk(bool preset, const std::vector<uint8_t>& bytes)
{
    if (!hasFlag(effFlagsProgramChunks) || bytes.empty())
    {
        K1_LOG("The plug-in takes no chunks, or the chunk is empty");
        return false;
    }
    VstPatchChunkInfo info{};
    info.version = 1;
    info.pluginUniqueID = effect_->uniqueID;
    info.pluginVersion = effect_->version;
    info.numElements = preset ? effect_->numParams : effect_->numPrograms;
    if (dispatch(preset ? effBeginLoadProgram : effBeginLoadBank, 0, 0, &info) == -1)
    {
        K1_LOG("The plug-in refused the chunk");
        return false;
    }
    // The plug-in may keep the pointer until the call returns only; it gets its own copy.
    std::vector<uint8_t> copy = bytes;
    dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()), copy.data());
    return true;
}

void HostedPlugin::resume()
{
    if (resumed_)
        return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    resumed_ = true;
}

void HostedPlugin::suspend()
{
    if (!resumed_)
        return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

void HostedPlugin::process(VstEvents* events, float** inputs, float** outputs, int frames)
{
    inProcess_ = true;
    if (events != nullptr && events->numEvents > 0)
        dispatch(effProcessEvents, 0, 0, events);
    if (hasFlag(effFlagsCanReplacing) && effect_->processReplacing != nullptr)
        effect_->processReplacing(effect_, inputs, outputs, frames);
    else if (effect_->process != nullptr)
    {
        // The old accumulating call adds to what the buffers hold.
        for (int c = 0; c < effect_->numOutputs; ++c)
            std::memset(outputs[c], 0, sizeof(float) * static_cast<size_t>(frames));
        effect_->process(effect_, inputs, outputs, frames);
    }
    inProcess_ = false;
}

void HostedPlugin::setPosition(int64_t frame)
{
    position_ = frame;
    constexpr double kTempo = 120.0;
    timeInfo_ = {};
    timeInfo_.samplePos = static_cast<double>(frame);
    timeInfo_.sampleRate = sampleRate_;
    timeInfo_.tempo = kTempo;
    timeInfo_.ppqPos = static_cast<double>(frame) / sampleRate_ * kTempo / 60.0;
    timeInfo_.barStartPos = static_cast<double>(static_cast<int64_t>(timeInfo_.ppqPos / 4.0)) * 4.0;
    timeInfo_.timeSigNumerator = 4;
    timeInfo_.timeSigDenominator = 4;
    timeInfo_.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                      kVstTimeSigValid;
}

bool HostedPlugin::takeIoChange()
{
    std::lock_guard<std::mutex> lock(mutex_);
    bool pending = ioPending_;
    ioPending_ = false;
    return pending;
}

void HostedPlugin::onSizeWindow(std::function<bool(int, int)> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    sizeWindowHandler_ = std::move(handler);
}

HostLog HostedPlugin::log()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

void HostedPlugin::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_ = HostLog{};
}

} // namespace vsthost
