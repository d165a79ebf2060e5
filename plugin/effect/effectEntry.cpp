// The one effect the Darvello module creates for its entry points.

#include "plugin/effect/myVstAudioEffect.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new MyVSTAudioEffect(audioMaster);
}
