#include "editor/uiXml.h"

// No panel document is compiled in yet: an empty one, which the editor
// reports as a description that does not parse.
namespace k1editor
{
const unsigned char* getData_uiXml()
{
    static const unsigned char empty[1] = {0};
    return empty;
}

size_t getDataSize_uiXml()
{
    return 0;
}
} // namespace k1editor
