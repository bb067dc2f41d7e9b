#include "cmdLayerNormalSpacing.h"

cmdLayerNormalSpacing cmdLayerNormalSpacing::ourInstance;

cmdLayerNormalSpacing::cmdLayerNormalSpacing() : cmdLayerSpacing(&normal)
{
}
