#include "gui/cfont.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <strings.h>

namespace VSTGUI
{
namespace
{
const char* const kFallbackFamily = "DejaVu Sans";

std::string resolveFamily(const std::string& requested)
{
    if (requested.empty())
        return kFallbackFamily;
    std::string result = kFallbackFamily;
    if (FcInit())
    {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(requested.c_str()));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult res = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &res);
        FcChar8* family = nullptr;
        // Only an exact family match counts; anything fontconfig would merely
        // substitute becomes the fallback, so drawings look the same everywhere.
        if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
            strcasecmp(reinterpret_cast<const char*>(family), requested.c_str()) == 0)
            result = requested;
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    return result;
}
} // namespace

std::string CFontDesc::getResolvedFamily() const
{
    // Windows on different threads may draw at once.
    static std::mutex cacheLock;
    static std::map<std::string, std::string> cache;
    std::lock_guard<std::mutex> guard(cacheLock);
    auto it = cache.find(name.getString());
    if (it == cache.end())
        it = cache.emplace(name.getString(), resolveFamily(name.getString())).first;
    return it->second;
}

static CFontDesc g_normalFont("DejaVu Sans", 12, 0);
static CFontDesc g_normalFontBig("DejaVu Sans", 14, 0);
static CFontDesc g_systemFont("DejaVu Sans", 12, 0);
CFontRef kNormalFont = &g_normalFont;
CFontRef kNormalFontBig = &g_normalFontBig;
CFontRef kSystemFont = &g_systemFont;
} // namespace VSTGUI

// fontconfig (through cairo's text drawing) keeps a few allocations that
// LeakSanitizer reports as leaked at exit; they are the library's, not ours,
// so every program that draws text with the toolkit suppresses them.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
