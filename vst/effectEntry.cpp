// The one effect the Darvello module creates for its entry points.

#include "vst/myVstAudioEffect.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new MyVSTAudioEffect(audioMaster);
}
